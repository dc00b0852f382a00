// Runs the real main window's game loop offscreen in the user-defined mode
// at 100 frames per second for five seconds and reports how regularly the
// ticks came.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "BenchPictures.h"
#include "GameRunner.h"
#include "MainWindow.h"
#include "ScriptedPlatform.h"
#include "SilentAudio.h"

namespace {

constexpr int kRunMs = 5000;

double Percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())));
    return v[i];
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    wf::ScriptedPlatform platform;  // nothing should ask; if it does, no dialog blocks

    // The pictures are made here rather than loaded, so that the loop runs
    // without a game directory.
    wf::MainWindow form(QCoreApplication::applicationDirPath(), std::make_unique<wf::SilentSound>(),
                        std::make_unique<wf::SilentMusic>());
    wf::bench::FillStore(form.Stores(), 640, 480);
    form.SizeWindowToSurface(640, 480);
    form.show();

    wf::GameState& state = form.State();
    wf::GameSettings& settings = form.Settings();
    settings.userDefinedConfirmed = true;
    settings.userDefined = {360, 100};
    settings.gameLength = wf::kUserDefinedLength;
    form.ShowMenu();

    QElapsedTimer clock;
    std::vector<qint64> ticks;
    ticks.reserve(1000);
    // Runs after the window's own handler: a tick dropped because it came
    // inside another one is not counted.
    QObject::connect(form.TickTimer(), &QTimer::timeout, &form, [&] {
        if (!form.Game().InTick())
            ticks.push_back(clock.nsecsElapsed());
    });

    clock.start();
    form.PlayOrAbort();
    if (!state.Running()) {
        std::fprintf(stderr, "tick_bench: the game did not start\n");
        return 1;
    }
    const int interval = form.TickTimer()->interval();
    // Aborted before leaving the loop, so that nothing asks about a running
    // game; quit() would try to close the window and ask.
    QTimer::singleShot(kRunMs, &form, [&] {
        form.PlayOrAbort();
        QCoreApplication::exit(0);
    });
    app.exec();

    std::vector<double> gaps;
    for (size_t i = 1; i < ticks.size(); ++i) {
        gaps.push_back(static_cast<double>(ticks[i] - ticks[i - 1]) / 1e6);
    }
    std::printf("ticks %zu of %d expected, interval p50 %.2f ms, p99 %.2f ms\n", ticks.size(),
                kRunMs / interval, Percentile(gaps, 0.50), Percentile(gaps, 0.99));
    return platform.messages.isEmpty() ? 0 : 1;
}
