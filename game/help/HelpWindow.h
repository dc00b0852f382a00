#pragma once
// The help window: three fixed pages of text chosen with buttons.
#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace wf {

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    // The window borrows mainWindow while it is open and deletes itself
    // when it closes.
    explicit HelpWindow(QWidget* mainWindow);

    // The text of page 1, 2 or 3; "" for any other page.
    static QString PageText(int page);

    void ShowPage(int page);  // every opening starts on page 1
    void Cancel();            // "Abbrechen"

    QLabel* pageText;
    QPushButton* gameButton;     // page 1, "Das Spiel"
    QPushButton* optionsButton;  // page 2, "Optionen"
    QPushButton* menusButton;    // page 3, "Datei && Hilfe Menü"
    QPushButton* cancelButton;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QPointer<QWidget> mainWindow_;
};

}  // namespace wf
