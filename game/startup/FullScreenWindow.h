#pragma once
// The full-screen window of a full-screen game: a frameless window covering
// the screen that shows the main window, whose surface takes the pointer,
// the clicks and Esc and hands them to the game.
#include <QWidget>

class QScreen;

namespace wf {

class GameRunner;
class PlaySurface;

class FullScreenWindow : public QWidget {
    Q_OBJECT

  public:
    explicit FullScreenWindow(GameRunner& game, QWidget* parent = nullptr);

    // Covers screen and shows the window in front.
    void ShowOn(QScreen* screen);
    PlaySurface* surface;

  signals:
    // Esc, or the window closed: full-screen play is left.
    void leaveRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Closing the window leaves full-screen play as Esc does.
    void closeEvent(QCloseEvent* event) override;

  private:
    GameRunner& game_;
};

}  // namespace wf
