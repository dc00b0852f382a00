#pragma once
// The user-defined mode dialog: the length of a game and the speed of the
// game loop. Confirming selects the user-defined mode by taking the check
// marks off the three fixed lengths.
#include <QPointer>
#include <QWidget>
#include <functional>

#include "GameState.h"
#include "MenuModel.h"

class QLabel;
class QPushButton;
class QScrollBar;

namespace wf {

class Form3 : public QWidget {
    Q_OBJECT
  public:
    // The dialog borrows mainWindow while it is open and deletes itself when
    // it closes. menuChanged lets the main window mirror the changed check
    // marks.
    Form3(QWidget* mainWindow, GameState& state, MenuModel& menu,
          std::function<void()> menuChanged);

    void Form_Load();
    void HScroll1_Change();
    void HScroll2_Change();
    void Command2_Click();  // O.K.
    void Command1_Click();  // Abbrechen

    QScrollBar* HScroll1;
    QLabel* Label3;
    QLabel* Label2;
    QScrollBar* HScroll2;
    QLabel* Label4;
    QLabel* Label1;
    QPushButton* Command2;
    QPushButton* Command1;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QPointer<QWidget> mainWindow_;
    GameState& state_;
    MenuModel& menu_;
    std::function<void()> menuChanged_;
};

}  // namespace wf
