// A running game's frame allocates no memory while its texts stay the same:
// counted by replacing the global allocation functions of this program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "BirdMotion.h"
#include "FrameComposer.h"
#include "GameClock.h"
#include "GameTestKit.h"
#include "WorkingCopies.h"

namespace {
long g_allocations = 0;
bool g_counting = false;
}  // namespace

void* operator new(std::size_t size) {
    if (g_counting)
        ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace wf {
namespace {

// The frame only, after the countdown that the tick computes first.
long AllocationsOf(FrameComposer& composer, GameState& state) {
    UpdateCountdown(state);
    const long before = g_allocations;
    g_counting = true;
    composer.ComposeFrame();
    g_counting = false;
    return g_allocations - before;
}

TEST(FrameAllocation, SteadyFramesAllocateNothing) {
    for (const bool fullScreen : {false, true}) {
        GameState state;
        PictureStores stores;
        testkit::FakeGameHost host;
        host.record = false;
        ScriptedRandom random;
        testkit::FillSourceStore(stores, 200, 150, {0xFFFF00FFu});
        testkit::AddExtra(state, 1, kFirstExtraSlot, "sequenziell", 10, 60, {{1, 4}}, 5, false)
            .extraTimer = kExtraTimerAtGameStart;
        state.selectedBackground = 1;
        if (fullScreen) {
            host.full = testkit::FakeGameHost::Filled(320, 240, testkit::kGrey);
            state.scaleX = state.scaleY = FixedScale::Ratio(320, 200);
            state.drawTarget = DrawTarget::FullScreenSurface;
            ASSERT_TRUE(MakeStretchedCopies(stores, state.scaleX, state.scaleY));
        } else {
            ASSERT_TRUE(MakeWindowCopies(stores));
        }
        state.gameRunning = true;
        state.secondsLeft = 42;
        state.score = -12;
        state.magazine = 6;
        state.debugMode = true;  // the grid and the boxes of style 2
        const PlayArea area{200, 150, testkit::kBirdW, testkit::kBirdH};
        PlaceBirds(state, area, random);
        FrameComposer composer(state, stores, host);
        AllocationsOf(composer, state);  // the first frame makes the text masks

        for (int frame = 0; frame < 10; ++frame) {
            state.mouseX = 20 + 7 * frame;
            state.magazine = 6 - frame % 7;
            MoveBirds(state, area, random);
            EXPECT_EQ(AllocationsOf(composer, state), 0) << fullScreen << " frame " << frame;
        }
        // A new text is drawn once, then stamped again without allocating.
        state.secondsLeft = 41;
        EXPECT_GT(AllocationsOf(composer, state), 0);
        EXPECT_EQ(AllocationsOf(composer, state), 0);
    }
}

}  // namespace
}  // namespace wf
