// Composes game frames with the real frame composer and compares the time
// with a plain memcpy of one frame of the same size.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../tests/support/NullGameHost.h"
#include "BenchPictures.h"
#include "BirdMotion.h"
#include "FrameComposer.h"
#include "GameClock.h"
#include "WorkingCopies.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 300;
constexpr int kWarmUp = 20;
constexpr int kPlayW = 640;
constexpr int kPlayH = 480;

// Exits rather than throws: nothing in the benchmark would catch it.
class BenchHost : public wf::NullGameHost {
  public:
    BenchHost() {
        window = wf::bench::Solid(kPlayW, kPlayH, 0xFF000000u);
        screen = QSize(kPlayW, kPlayH);
    }
    [[noreturn]] void EndProgram(int status) override { std::exit(status); }
};

double MedianUs(std::vector<double>& samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

template <typename F>
double MedianOf(F&& once) {
    std::vector<double> samples;
    samples.reserve(kFrames);
    for (int i = 0; i < kWarmUp + kFrames; ++i) {
        const auto start = Clock::now();
        once(i);
        const auto end = Clock::now();
        if (i >= kWarmUp) {
            samples.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
    }
    return MedianUs(samples);
}

// Screen size 0 × 0 means window mode at the play area's size.
void Run(int screenW, int screenH) {
    const bool fullScreen = screenW > 0;
    wf::GameState state;
    wf::PictureStores stores;
    BenchHost host;
    wf::SeededRandom random;
    random.Seed(1);
    wf::bench::FillStore(stores, kPlayW, kPlayH);
    if (fullScreen) {
        host.screen = QSize(screenW, screenH);
        host.full = wf::bench::Solid(screenW, screenH, 0xFF000000u);
        state.scaleX = wf::FixedScale::Ratio(screenW, kPlayW);
        state.scaleY = wf::FixedScale::Ratio(screenH, kPlayH);
        state.drawTarget = wf::DrawTarget::FullScreenSurface;
        wf::MakeStretchedCopies(stores, state.scaleX, state.scaleY);
    } else {
        wf::MakeWindowCopies(stores);
    }
    state.phase = wf::GamePhase::Running;
    state.secondsLeft = 119;
    state.magazine = 6;
    state.score = 1234;
    state.selectedBackground = 0;
    const wf::PlayArea area{kPlayW, kPlayH, 88, 48};
    wf::PlaceBirds(state, area, random);

    wf::FrameComposer composer(state, stores, host);
    const double compose = MedianOf([&](int i) {
        state.secondsLeft = 119 - i / 25;  // the countdown text changes once a second
        state.mouseX = 100 + i % 400;
        state.mouseY = 50 + i % 300;
        wf::UpdateCountdown(state);
        composer.ComposeFrame();
        wf::MoveBirds(state, area, random);
    });

    const QImage& frame = fullScreen ? host.full : host.window;
    const size_t bytes = static_cast<size_t>(frame.sizeInBytes());
    std::vector<unsigned char> from(bytes, 1), to(bytes, 0);
    const double copy = MedianOf([&](int i) {
        from[static_cast<size_t>(i) % bytes] = static_cast<unsigned char>(i);
        std::memcpy(to.data(), from.data(), bytes);
    });
    volatile unsigned char sink = to[bytes / 2];
    (void)sink;

    std::printf("frame %dx%d: compose %.0f us, memcpy %.0f us, ratio %.2f\n", frame.width(),
                frame.height(), compose, copy, compose / copy);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    Run(0, 0);
    Run(1920, 1080);
    Run(3840, 2160);
    return 0;
}
