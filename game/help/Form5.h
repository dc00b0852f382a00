#pragma once
// The help window: three fixed pages of text chosen with buttons.
#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace wf {

class Form5 : public QWidget {
    Q_OBJECT
  public:
    // The window borrows mainWindow while it is open and deletes itself
    // when it closes.
    explicit Form5(QWidget* mainWindow);

    // The text of page 1, 2 or 3; "" for any other page.
    static QString PageText(int page);

    void Form_Load();       // every opening starts on page 1
    void Command1_Click();  // "Das Spiel"
    void Command2_Click();  // "Optionen"
    void Command3_Click();  // "Datei && Hilfe Menü"
    void Command4_Click();  // "Abbrechen"

    QLabel* Label1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QPointer<QWidget> mainWindow_;
};

}  // namespace wf
