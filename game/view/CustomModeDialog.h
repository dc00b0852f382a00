#pragma once
// The user-defined mode dialog: the length of a game and the speed of the
// game loop. The dialog only shows and returns values; the main window
// decides what confirming and cancelling change.
#include <QPointer>
#include <QWidget>
#include <functional>

#include "GameSettings.h"

class QLabel;
class QPushButton;
class QScrollBar;

namespace wf {

class CustomModeDialog : public QWidget {
    Q_OBJECT
  public:
    // The dialog borrows mainWindow while it is open and deletes itself when
    // it closes. It opens with the last confirmed values (none before the
    // first confirmation).
    CustomModeDialog(QWidget* mainWindow, const UserDefinedMode& last,
                     std::function<void(UserDefinedMode)> confirmed,
                     std::function<void()> cancelled);

    void Confirm();  // "O.K."
    void Cancel();   // "Abbrechen"

    QScrollBar* secondsBar;
    QLabel* secondsValue;
    QLabel* secondsCaption;
    QScrollBar* speedBar;
    QLabel* speedValue;
    QLabel* speedCaption;
    QPushButton* okButton;
    QPushButton* cancelButton;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QPointer<QWidget> mainWindow_;
    std::function<void(UserDefinedMode)> confirmed_;
    std::function<void()> cancelled_;
};

}  // namespace wf
