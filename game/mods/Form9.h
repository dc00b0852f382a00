#pragma once
// The MOD manager window: lists the installed MODs and switches the game to
// one of them by starting the program anew with "-mod:<name>".
#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace wf {

class Form9 : public QWidget {
    Q_OBJECT
  public:
    // The window borrows mainWindow while it is open.
    Form9(QWidget* mainWindow, QString programDir);

    void Form_Load();  // fills the list; runs at every opening
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // Why a name cannot be handed over on the command line; "" when it can.
    static QString UnsafeNameMessage(const QString& name);

    QListWidget* List1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QLabel* Image1;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // The selected name; false after telling the player to choose one.
    bool SelectedName(QString* name);

    QString programDir_;
    QStringList modNames_;
};

}  // namespace wf
