#pragma once
// A host that does nothing but hand out its surfaces: the base for tests
// (and the benchmark) that only need somewhere to draw. Override what a test
// wants to watch.
#include <QImage>
#include <QSize>
#include <QString>

#include "GameHost.h"
#include "ScriptedPlatform.h"

namespace wf {

class NullGameHost : public GameHost {
  public:
    QImage window;
    QImage full;
    QSize screen{1920, 1080};

    QImage& WindowSurface() override { return window; }
    void RefreshWindowSurface() override {}
    void SizeWindowToSurface(int, int) override {}
    void SetSurfaceCursorInvisible(bool) override {}
    void HideMainWindow() override {}
    void ShowMainWindow() override {}
    void ShowFullScreen() override {}
    void HideFullScreen() override {}
    QImage& FullScreenSurface() override { return full; }
    void RefreshFullScreenSurface() override {}
    QSize ScreenSizePx() override { return screen; }
    void SetTickInterval(int) override {}
    void SetTickTimerEnabled(bool) override {}
    void SetClockTimerEnabled(bool) override {}
    void SetTitleTimerEnabled(bool) override {}
    void ServePendingEvents() override {}
    void ShowHighscoreWindow(int, int) override {}
    // Thrown, not exited, so that a test sees where the program would end.
    [[noreturn]] void EndProgram(int status) override { throw ProgramExit(status); }
};

}  // namespace wf
