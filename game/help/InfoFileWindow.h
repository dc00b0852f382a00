#pragma once
// The game's information text (Info.txt) in a window of the game's own. The
// file is 8-bit text in the game's code page; an editor of the desktop would
// take it for UTF-8 and show its umlauts as garbage, and a desktop without
// one would show nothing at all.
#include <QDialog>
#include <QPointer>

class QPlainTextEdit;
class QPushButton;

namespace wf {

class InfoFileWindow : public QDialog {
    Q_OBJECT
  public:
    // Shows the file in a window that borrows mainWindow and deletes itself
    // when it closes; a file that cannot be read gives a message instead.
    static void Show(QWidget* mainWindow, const QString& path);

    // The text of the file; empty, with the reason in German in *problem,
    // when it cannot be read.
    static QString ReadText(const QString& path, QString* problem);

    QPlainTextEdit* text;
    QPushButton* okButton;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    InfoFileWindow(QWidget* mainWindow, const QString& content);

    QPointer<QWidget> mainWindow_;
};

}  // namespace wf
