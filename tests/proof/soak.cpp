// A long user-defined game on the real main window, started from a real game
// directory: the pointer moves every 10 ms, a shot goes every 50 ms (the
// magazine refilled when empty), and resident memory is sampled every second
// (printed every 10 s). Meant for a sanitizer build with leak detection;
// fails when memory or the heap grew more than the limit after the
// baseline, or when anything showed a message.
//
//   soak [--game-dir DIR] [--seconds N] [--baseline S] [--limit-kib K] [--silent]
//
// N (10..360, default 360) is the length of the game; it runs one second
// more, as every game does. The growth is measured from S seconds (default
// 60) to the end, between the lowest samples of a window at either end: a
// picture-sized buffer that is allocated and freed now and then moves single
// samples by a megabyte, while memory that is kept raises the lowest ones.
#include <malloc.h>
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "Form1.h"
#include "GameController.h"
#include "PlaySurface.h"
#include "ScriptedPlatform.h"
#include "SilentAudio.h"

namespace {

constexpr int kMoveMs = 10;
constexpr int kShotMs = 50;
constexpr int kSampleMs = 1000;
constexpr int kPrintEvery = 10;  // samples
constexpr double kWindowS = 10;

struct Options {
    QString gameDir = QStringLiteral(WF_GAME_DIR);
    int seconds = 360;
    int baseline = 60;
    long limitKib = 1024;
    bool silent = false;
};

long ResidentKib() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return -1;
    long size = 0, resident = 0;
    const int n = std::fscanf(f, "%ld %ld", &size, &resident);
    std::fclose(f);
    return n == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime (its header does not come with every compiler).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

// The bytes the program holds on the heap: exact, where the resident size
// also counts the allocator's free reserves.
long HeapKib() {
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
#endif
}

bool ParseArgs(const QStringList& args, Options* o) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == "--silent") {
            o->silent = true;
        } else if (a == "--game-dir" && hasValue) {
            o->gameDir = args[++i];
        } else if (a == "--seconds" && hasValue) {
            o->seconds = args[++i].toInt(&ok);
        } else if (a == "--baseline" && hasValue) {
            o->baseline = args[++i].toInt(&ok);
        } else if (a == "--limit-kib" && hasValue) {
            o->limitKib = args[++i].toLong(&ok);
        } else {
            return false;
        }
        if (!ok)
            return false;
    }
    // The user-defined mode allows 10 to 360 seconds.
    return o->seconds >= 10 && o->seconds <= 360 && o->baseline >= 0 && o->baseline < o->seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("SDL_AUDIODRIVER"))
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    QApplication app(argc, argv);
    Options opt;
    if (!ParseArgs(app.arguments(), &opt)) {
        std::fprintf(stderr,
                     "usage: soak [--game-dir DIR] [--seconds 10..360] [--baseline S] "
                     "[--limit-kib K] [--silent]\n");
        return 2;
    }
    // Nothing should ask during the game; if something does, no dialog blocks
    // and the message counts as a failure.
    wf::ScriptedPlatform platform;

    std::unique_ptr<wf::Form1> form;
    try {
        form = opt.silent
                   ? std::make_unique<wf::Form1>(opt.gameDir, std::make_unique<wf::SilentSound>(),
                                                 std::make_unique<wf::SilentMusic>())
                   : std::make_unique<wf::Form1>(opt.gameDir);
        form->Form_Load({});
    } catch (const wf::ProgramExit&) {
        for (const wf::ShownMessage& m : platform.messages)
            std::fprintf(stderr, "soak: start-up: %s\n", qPrintable(m.text));
        return 1;
    }
    form->show();

    wf::GameState& state = form->State();
    state.customMode = true;
    state.customTime = QString::number(opt.seconds);
    state.customFps = QStringLiteral("100");
    wf::MenuModel& menu = form->Menu();
    menu.trz.checked = menu.wtu.checked = menu.wetz.checked = false;
    form->SyncMenu();

    form->ter_Click();
    if (!state.gameRunning) {
        std::fprintf(stderr, "soak: the game did not start\n");
        return 1;
    }
    const int width = form->Picture1()->width();
    const int height = form->Picture1()->height();
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> px(0, width - 1), py(0, height - 1);
    wf::GameController& controller = form->Controller();
    long shots = 0, reloads = 0, ticks = 0;

    QTimer move, shoot, sample;
    QObject::connect(&move, &QTimer::timeout, [&] { controller.MouseMove(px(rng), py(rng)); });
    QObject::connect(&shoot, &QTimer::timeout, [&] {
        const double x = px(rng), y = py(rng);
        if (state.magazine == 0) {
            controller.MouseUp(2, x, y);
            ++reloads;
        } else {
            controller.MouseUp(1, x, y);
            ++shots;
        }
    });
    int64_t lowest = 0, highest = 0;  // the score while the game ran
    QObject::connect(form->tmrSpiel(), &QTimer::timeout, [&] {
        ++ticks;
        lowest = std::min(lowest, state.score);
        highest = std::max(highest, state.score);
    });

    QElapsedTimer clock;
    struct Sample {
        double at;  // seconds
        long rssKib, heapKib;
    };
    std::vector<Sample> samples;
    const auto takeSample = [&] {
        const double at = static_cast<double>(clock.elapsed()) / 1000.0;
        samples.push_back({at, ResidentKib(), HeapKib()});
        if (samples.size() % kPrintEvery == 1) {
            std::printf("soak: %6.1f s  RSS %ld KiB  heap %ld KiB\n", at, samples.back().rssKib,
                        samples.back().heapKib);
            std::fflush(stdout);
        }
    };
    QObject::connect(&sample, &QTimer::timeout, takeSample);
    sample.setTimerType(Qt::PreciseTimer);

    // The game ends by itself one second after its clock reached zero; the
    // watchdog only guards against a game that never ends.
    QTimer finished, watchdog;
    QObject::connect(&finished, &QTimer::timeout, [&] {
        if (!state.gameRunning)
            QCoreApplication::exit(0);
    });
    bool timedOut = false;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        if (state.gameRunning)
            form->ter_Click();
        QCoreApplication::exit(0);
    });

    clock.start();
    takeSample();
    move.start(kMoveMs);
    shoot.start(kShotMs);
    sample.start(kSampleMs);
    finished.start(100);
    watchdog.start((opt.seconds + 15) * 1000);
    app.exec();
    move.stop();
    shoot.stop();
    sample.stop();
    takeSample();

    // The sample nearest to the baseline, and the lowest ones of a window
    // from the baseline on and of one before the end (a fifth of the time
    // between, 10 s at most).
    const double endAt = samples.back().at;
    const double window = std::min(kWindowS, (endAt - opt.baseline) / 5);
    Sample atBaseline{0, -1, -1}, lowStart{0, -1, -1}, lowEnd{0, -1, -1};
    double nearest = 1e9;
    const auto lower = [](Sample& low, const Sample& s) {
        low.rssKib = low.rssKib < 0 ? s.rssKib : std::min(low.rssKib, s.rssKib);
        low.heapKib = low.heapKib < 0 ? s.heapKib : std::min(low.heapKib, s.heapKib);
    };
    for (const Sample& s : samples) {
        if (std::abs(s.at - opt.baseline) < nearest) {
            nearest = std::abs(s.at - opt.baseline);
            atBaseline = s;
        }
        if (s.at >= opt.baseline - 0.5 && s.at < opt.baseline + window)
            lower(lowStart, s);
        if (s.at > endAt - window)
            lower(lowEnd, s);
    }
    const long growth = lowEnd.rssKib - lowStart.rssKib;
    const long heapGrowth = lowEnd.heapKib - lowStart.heapKib;
    std::printf(
        "soak: game of %d s at 100 frames per second: %ld ticks, %ld shots, %ld reloads, "
        "score between %lld and %lld\n",
        opt.seconds, ticks, shots, reloads, static_cast<long long>(lowest),
        static_cast<long long>(highest));
    std::printf("soak: RSS after %d s %ld KiB, at the end (%.0f s) %ld KiB\n", opt.baseline,
                atBaseline.rssKib, endAt, samples.back().rssKib);
    std::printf(
        "soak: lowest RSS in the %.0f s from %d s %ld KiB, in the last %.0f s %ld KiB: growth "
        "%ld KiB\n",
        window, opt.baseline, lowStart.rssKib, window, lowEnd.rssKib, growth);
    std::printf("soak: heap in use likewise %ld KiB and %ld KiB: growth %ld KiB\n",
                lowStart.heapKib, lowEnd.heapKib, heapGrowth);
    std::fflush(stdout);  // a leak report at exit ends the program without flushing

    int status = 0;
    if (timedOut) {
        std::fprintf(stderr, "soak: the game did not end by itself\n");
        status = 1;
    }
    if (lowStart.rssKib < 0 || lowEnd.rssKib < 0 || growth > opt.limitKib ||
        heapGrowth > opt.limitKib) {
        std::fprintf(stderr, "soak: memory grew by %ld KiB, the heap by %ld KiB (limit %ld KiB)\n",
                     growth, heapGrowth, opt.limitKib);
        status = 1;
    }
    for (const wf::ShownMessage& m : platform.messages) {
        std::fprintf(stderr, "soak: unexpected message: %s: %s\n", qPrintable(m.title),
                     qPrintable(m.text));
        status = 1;
    }
    form.reset();  // everything freed before the leak check at exit
    return status;
}
