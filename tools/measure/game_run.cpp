// Plays games on the real main window, brought up by its start-up from a game
// directory, the pointer moving every 10 ms, a shot every 50 ms (a reload
// when the magazine is empty); messages show on stderr.
//
//   game_run soak [--game-dir DIR] [--seconds N] [--baseline S] [--limit-kib K]
//   game_run timed [--game-dir DIR] [--games N]
//   game_run start [--game-dir DIR]
//   game_run fullscreen [--game-dir DIR] [--games N]
//   game_run scan-bomb OUT WIDTH HEIGHT SCANS [all] | note-bomb OUT NOTES TICKS_APART [TEMPO]
//   game_run decode FILE
//
// soak: a user-defined game of N seconds (10..360, default 360) at 100
// frames per second; fails on a message, a game that does not end, or a
// resident size or heap that grew by more than K KiB (default 1024) from S
// seconds (default 60) on, taken between the lowest samples (one a second)
// of a window at either end: a picture-sized buffer allocated now and then
// moves single samples by a megabyte, kept memory raises the lowest ones.
// timed: N games of 30 seconds, the clock hurried after a second of play;
// fails unless each ended with the highscore window.
// start: the time the main window's start-up takes, and the message it ends
// with if it refuses (exit 1 then).
// fullscreen: N full-screen games on the platform's screen, each aborted as
// soon as it runs; the time each start takes. Fails unless each started.
// soak and fullscreen play with the desktop's sound and music (the audio
// driver the environment names); the game directory's settings say whether
// they are on.
// scan-bomb, note-bomb: the hostile media of the tests (all: the JPEG's
// costliest scan repeated); decode: the time the game's decoder takes.
#include <malloc.h>
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "GameRunner.h"
#include "HighscoreWindow.h"
#include "HostileMedia.h"
#include "MainWindow.h"
#include "ModMedia.h"
#include "PlaySurface.h"
#include "ScriptedPlatform.h"
#include "SilentAudio.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

struct Sample {
    double at;  // seconds
    long rssKib, heapKib;
};

Sample Now(double at) {
    long size = 0, resident = -1;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &size, &resident) == 2)
            resident *= sysconf(_SC_PAGESIZE) / 1024;
        std::fclose(f);
    }
    // The heap exactly; the resident size also counts the allocator's reserves.
#if defined(__SANITIZE_ADDRESS__)
    const long heap = static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    const struct mallinfo2 info = mallinfo2();
    const long heap = static_cast<long>((info.uordblks + info.hblkhd) / 1024);
#endif
    return {at, resident, heap};
}

// The lowest samples taken in [from, to).
Sample Lowest(const std::vector<Sample>& samples, double from, double to) {
    Sample low{from, -1, -1};
    for (const Sample& s : samples) {
        if (s.at < from || s.at >= to)
            continue;
        low.rssKib = low.rssKib < 0 ? s.rssKib : std::min(low.rssKib, s.rssKib);
        low.heapKib = low.heapKib < 0 ? s.heapKib : std::min(low.heapKib, s.heapKib);
    }
    return low;
}

void Run(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

QString Option(const QStringList& args, const char* name, const QString& fallback) {
    const qsizetype i = args.indexOf(QLatin1String(name));
    return i > 0 && i + 1 < args.size() ? args[i + 1] : fallback;
}

int Media(const QStringList& a) {
    QByteArray bytes;
    if (a[1] == "decode") {
        QFile f(a[2]);
        bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        QElapsedTimer t;
        t.start();
        const QImage picture = wf::DecodePicture(bytes);
        const QString what =
            picture.isNull()
                ? "refused: " + wf::PictureWorkProblem(bytes)
                : QStringLiteral("%1 × %2 pixels").arg(picture.width()).arg(picture.height());
        std::printf("%lld ms, %s\n", static_cast<long long>(t.elapsed()), qPrintable(what));
        return 0;
    }
    bytes = a[1] == "note-bomb" ? wf::test::NoteBombMidi(a.value(3).toInt(), a.value(4).toInt(),
                                                         a.value(5, "500000").toInt())
                                : wf::test::ScanBombJpeg({a.value(3).toInt(), a.value(4).toInt()},
                                                         a.value(5).toInt(), a.size() > 6);
    QFile out(a[2]);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    const QString gameDir = Option(args, "--game-dir", qEnvironmentVariable("WF_GAME_DIR"));
    const int seconds = Option(args, "--seconds", "360").toInt();
    const int baseline = Option(args, "--baseline", "60").toInt();
    const long limitKib = Option(args, "--limit-kib", "1024").toLong();
    const int games = Option(args, "--games", "1").toInt();
    if (args.size() >= 3 && (mode == "scan-bomb" || mode == "note-bomb" || mode == "decode"))
        return Media(args);
    const QStringList modes{"soak", "timed", "start", "fullscreen"};
    if (!modes.contains(mode) || gameDir.isEmpty() || seconds < 10 || seconds > 360 ||
        baseline < 0 || baseline >= seconds || games < 1) {
        std::fprintf(stderr,
                     "usage: game_run soak|timed|start|fullscreen [--game-dir DIR] [--seconds N] "
                     "[--baseline S] [--limit-kib K] [--games N]\n");
        return 2;
    }
    // Nothing blocks: the name prompt takes the answers given, boxes say OK.
    wf::ScriptedPlatform platform;
    std::unique_ptr<wf::MainWindow> form;
    QElapsedTimer startup;
    startup.start();
    try {
        form = mode != "timed"
                   ? std::make_unique<wf::MainWindow>(gameDir)
                   : std::make_unique<wf::MainWindow>(gameDir, std::make_unique<wf::SilentSound>(),
                                                      std::make_unique<wf::SilentMusic>());
        form->Load({});
    } catch (const wf::ProgramExit&) {
        if (mode == "start" && !platform.messages.isEmpty()) {
            std::printf("start-up: %lld ms, refused: %s\n",
                        static_cast<long long>(startup.elapsed()),
                        qPrintable(platform.messages[0].text));
        }
        return 1;  // the reason is on stderr
    }
    if (mode == "start") {
        std::printf("start-up: %lld ms, main window ready\n",
                    static_cast<long long>(startup.elapsed()));
        return 0;
    }
    form->show();
    wf::GameState& state = form->State();
    wf::GameRunner& game = form->Game();
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> px(0, form->Surface()->width() - 1),
        py(0, form->Surface()->height() - 1);
    long shots = 0, reloads = 0, ticks = 0;
    QTimer move, shoot;
    QObject::connect(&move, &QTimer::timeout, [&] { game.PointerMoved(px(rng), py(rng)); });
    QObject::connect(&shoot, &QTimer::timeout, [&] {
        const bool reload = state.magazine == 0;
        game.ButtonReleased(reload ? wf::PointerButton::Right : wf::PointerButton::Left, px(rng),
                            py(rng));
        ++(reload ? reloads : shots);
    });
    QObject::connect(form->TickTimer(), &QTimer::timeout, [&] { ++ticks; });

    if (mode == "timed") {
        int ended = 0;
        for (int game = 1; game <= games; ++game) {
            platform.inputAnswers.push_back(QStringLiteral("Prüfer %1").arg(game));
            form->ChooseLength30();  // 30 seconds: a timed game goes to the highscores
            form->PlayOrAbort();
            move.start(10);
            shoot.start(50);
            Run(1000);
            move.stop();
            shoot.stop();
            for (int i = 0; i < 40 && state.Running(); ++i) {
                form->ClockSecond();
                Run(20);
            }
            Run(200);
            int windows = 0;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (qobject_cast<wf::HighscoreWindow*>(w) && w->isVisible() && w->close())
                    ++windows;
            }
            ended += !state.Running() && windows == 1;
        }
        std::printf("%d timed games, %d ended with the highscore window, %lld messages\n", games,
                    ended, static_cast<long long>(platform.messages.size()));
        return ended == games ? 0 : 1;
    }

    wf::GameSettings& settings = form->Settings();
    if (mode == "fullscreen") {
        int started = 0;
        for (int game = 1; game <= games; ++game) {
            settings.fullScreen = true;
            QElapsedTimer start;
            start.start();
            form->PlayOrAbort();
            const long long ms = start.elapsed();
            started += state.Running() && settings.fullScreen;
            std::printf("full-screen start %d: %lld ms%s\n", game, ms,
                        state.Running() && settings.fullScreen ? "" : " (did not start)");
            std::fflush(stdout);
            Run(100);
            form->PlayOrAbort();
            Run(100);
        }
        return started == games ? 0 : 1;
    }
    settings.userDefinedConfirmed = true;
    settings.userDefined = {seconds, 100};
    settings.gameLength = wf::kUserDefinedLength;
    form->ShowMenu();
    form->PlayOrAbort();
    if (!state.Running()) {
        std::fprintf(stderr, "game_run: the game did not start\n");
        return 1;
    }
    // Sampled every second until the game ends, one second after its clock
    // reached zero; one that does not is stopped.
    QElapsedTimer clock;
    clock.start();
    std::vector<Sample> samples{Now(0)};
    move.start(10);
    shoot.start(50);
    while (state.Running() && clock.elapsed() < (seconds + 15) * 1000) {
        Run(static_cast<int>(1000 - clock.elapsed() % 1000));
        samples.push_back(Now(static_cast<double>(clock.elapsed()) / 1000));
    }
    const bool timedOut = state.Running();
    if (timedOut)
        form->PlayOrAbort();

    // A fifth of the time after the baseline, 10 s at most, at either end.
    const double end = samples.back().at;
    const double window = std::min(10.0, (end - baseline) / 5);
    const Sample first = Lowest(samples, baseline - 0.5, baseline + window);
    const Sample last = Lowest(samples, end - window + 0.01, end + 1);
    const long growth = last.rssKib - first.rssKib, heapGrowth = last.heapKib - first.heapKib;
    const Sample atBaseline =
        *std::min_element(samples.begin(), samples.end(), [&](const Sample& a, const Sample& b) {
            return std::abs(a.at - baseline) < std::abs(b.at - baseline);
        });
    std::printf("soak: game of %d s at 100 frames per second: %ld ticks, %ld shots, %ld reloads\n",
                seconds, ticks, shots, reloads);
    std::printf("soak: RSS after %d s %ld KiB, at the end (%.0f s) %ld KiB\n", baseline,
                atBaseline.rssKib, end, samples.back().rssKib);
    std::printf(
        "soak: lowest RSS in the %.0f s from %d s %ld KiB, in the last %.0f s %ld KiB: "
        "growth %ld KiB\n",
        window, baseline, first.rssKib, window, last.rssKib, growth);
    std::printf("soak: heap in use likewise %ld KiB and %ld KiB: growth %ld KiB\n", first.heapKib,
                last.heapKib, heapGrowth);
    std::fflush(stdout);  // a leak report at exit ends the program without flushing
    const bool grew =
        first.rssKib < 0 || last.rssKib < 0 || growth > limitKib || heapGrowth > limitKib;
    if (grew)
        std::fprintf(stderr, "soak: memory grew by more than %ld KiB\n", limitKib);
    if (timedOut)
        std::fprintf(stderr, "soak: the game did not end by itself\n");
    form.reset();  // everything freed before the leak check at exit
    return grew || timedOut || !platform.messages.isEmpty() ? 1 : 0;
}
