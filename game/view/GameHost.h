#pragma once
// What running a game needs from the windows: surfaces, window changes,
// timers and the hand-over to the highscore window. The main window
// implements it; tests implement it with plain images.
#include <QImage>
#include <QPointF>
#include <QSize>
#include <optional>

namespace wf {

class GameHost {
  public:
    virtual ~GameHost() = default;

    // The window-mode playing surface and its refresh.
    virtual QImage& WindowSurface() = 0;
    virtual void RefreshWindowSurface() = 0;
    // Applies the window layout rule: the surface takes w × h pixels and the
    // main window's client area below the menu bar is exactly the surface.
    virtual void SizeWindowToSurface(int widthPx, int heightPx) = 0;
    virtual void SetSurfaceCursorInvisible(bool invisible) = 0;

    virtual void HideMainWindow() = 0;
    virtual void ShowMainWindow() = 0;

    // The full-screen window: shown covering the screen that shows the main
    // window; its surface has the screen's size in pixels.
    virtual void ShowFullScreen() = 0;
    virtual void HideFullScreen() = 0;
    virtual QImage& FullScreenSurface() = 0;
    virtual void RefreshFullScreenSurface() = 0;
    virtual QSize ScreenSizePx() = 0;
    // Where the pointer is now, in the pixels of the full-screen surface or
    // of the window-mode surface (also when it lies outside); none when that
    // cannot be told.
    virtual std::optional<QPointF> PointerOnSurface(bool fullScreen) {
        Q_UNUSED(fullScreen);
        return std::nullopt;
    }

    // Timers of the main window.
    virtual void SetTickInterval(int ms) = 0;  // the game tick
    virtual void SetTickTimerEnabled(bool on) = 0;
    virtual void SetClockTimerEnabled(bool on) = 0;  // the clock, 1000 ms
    virtual void SetTitleTimerEnabled(bool on) = 0;  // the title sequence, 40 ms

    // Serves pending window events once (inside a game tick).
    virtual void ServePendingEvents() = 0;

    // End of a timed game: the highscore window with the game's table and
    // score, not modal.
    virtual void ShowHighscoreWindow(int entryTable, int score) = 0;

    // Ends the program after a fatal message.
    [[noreturn]] virtual void EndProgram(int status) = 0;
};

}  // namespace wf
