// Starting and aborting games: menus, timers, working copies, both modes and
// their failure roads.
#include <gtest/gtest.h>

#include "GameFixture.h"

namespace wf {
namespace {

using namespace testkit;

TEST_F(GameTest, StartPreparesAWindowModeGame) {
    menu.mnuMusik.checked = true;
    state.selectedBackground = 1;
    ExtraDef& a = AddExtra(state, 1, kFirstExtraSlot, "static", 0, 0, {}, 5, true);
    a.extraState = kExtraDestroyed;
    a.extraTimer = kExtraTimerDestroyed;
    ExtraDef& other = AddExtra(state, 2, kFirstExtraSlot, "static", 0, 0, {}, 5, true);
    other.extraState = 7;
    state.score = 99;
    state.magazine = 2;
    state.shotPending = true;
    random.values = {0.2, 0.4, 0.6};

    game.ter_Click();

    EXPECT_EQ(menu.ter.caption, "Spiel abbrechen");
    EXPECT_TRUE(state.gameRunning);
    EXPECT_TRUE(host.tickOn && host.clockOn && host.titleOn);
    EXPECT_FALSE(menu.fghfgh.enabled);
    EXPECT_FALSE(menu.ansicht.enabled);
    EXPECT_EQ(state.score, 0);
    EXPECT_EQ(state.magazine, 6);
    EXPECT_FALSE(state.shotPending);
    EXPECT_TRUE(host.cursorInvisible);
    EXPECT_EQ(state.drawTarget, DrawTarget::WindowSurface);
    // 150 − 40 − 35 = 75 for the heights.
    EXPECT_EQ(state.birds[0].y, 15);
    EXPECT_EQ(state.birds[1].y, 30);
    EXPECT_EQ(state.birds[2].x, -88);
    EXPECT_EQ(state.birds[2].y, 45);
    EXPECT_EQ(a.extraState, 1);
    EXPECT_EQ(a.extraTimer, 23);
    EXPECT_EQ(other.extraState, 7);  // only the chosen background's extras
    EXPECT_EQ(music.calls, QStringList{"open " + kModDir + "/musik.mid"});

    // The working copies share the pictures: a game copies none of them.
    // Starting again makes no further slots.
    game.ter_Click();
    game.ter_Click();
    const PictureStore& work = stores.RESSOURCEN2;
    ASSERT_EQ(work.SlotCount(), kFirstExtraSlot);
    for (int i :
         {kCartridgeSlot, kBackgroundSlot, kLeftBirdSlot, kRightBirdMaskSlot, kFirstExtraSlot}) {
        EXPECT_EQ(*work.SlotDC(i), *stores.RESSOURCEN.SlotDC(i)) << i;
        EXPECT_EQ(work.SlotDC(i)->constBits(), stores.RESSOURCEN.SlotDC(i)->constBits()) << i;
    }
    EXPECT_TRUE(work.SlotDC(kGameLogoSlot)->isNull());
}

TEST_F(GameTest, LengthAndTickIntervalFollowTheLengthMarks) {
    const struct {
        bool trz, wtu, wetz;
        const char* time;
        const char* fps;
        int length;
        int interval;
    } cases[] = {
        {true, false, false, "200", "30", 30, 40},   {false, true, false, "200", "30", 60, 40},
        {false, false, true, "200", "30", 120, 40},  {false, false, false, "45", "30", 45, 33},
        {false, false, false, "360", "7", 360, 142}, {false, false, false, "360", "100", 360, 10},
        {false, false, false, "", "", 10, 200},
    };
    for (const auto& c : cases) {
        menu.trz.checked = c.trz;
        menu.wtu.checked = c.wtu;
        menu.wetz.checked = c.wetz;
        state.customTime = c.time;
        state.customFps = c.fps;
        game.ter_Click();
        EXPECT_EQ(state.gameLength, c.length) << c.time << "/" << c.fps;
        EXPECT_EQ(host.tickInterval, c.interval) << c.time << "/" << c.fps;
        game.ter_Click();  // abort
        ASSERT_EQ(menu.ter.caption, "Spielen");
    }
}

TEST_F(GameTest, AFailedCopyLeavesTheLoadingTextAndTheAbortCaption) {
    *stores.RESSOURCEN.SlotDC(kLeftBirdMaskSlot) = QImage();
    game.ter_Click();

    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Fehler");
    EXPECT_EQ(platform.messages[0].text, kLoadingFailure);
    EXPECT_FALSE(state.gameRunning || host.tickOn || host.clockOn);
    EXPECT_EQ(menu.ter.caption, "Spiel abbrechen");
    EXPECT_TRUE(menu.fghfgh.enabled);
    EXPECT_GT(CountPixels(host.shownWindow, IsGreenText), 20);

    game.ter_Click();
    EXPECT_EQ(menu.ter.caption, "Spielen");
    EXPECT_TRUE(AllBlack(host.window));
    EXPECT_EQ(music.calls, QStringList{"stoprewind"});
    EXPECT_EQ(platform.messages.size(), 1);
}

TEST_F(GameTest, AbortStopsEverythingAndHandsNothingOver) {
    game.ter_Click();
    state.score = 20;
    game.ter_Click();
    EXPECT_EQ(menu.ter.caption, "Spielen");
    EXPECT_FALSE(host.clockOn || host.tickOn || host.cursorInvisible);
    EXPECT_TRUE(menu.fghfgh.enabled && menu.ansicht.enabled);
    EXPECT_EQ(music.calls, QStringList{"stoprewind"});  // even with the music off
    EXPECT_TRUE(AllBlack(host.window));
    EXPECT_EQ(state.score, 0);
    EXPECT_TRUE(host.handovers.isEmpty());
}

TEST_F(GameTest, FullScreenStartStretchesTheWorkingCopies) {
    menu.vollbild.checked = true;
    host.screen = QSize(320, 240);  // 1.6 × 200 by 150
    game.ter_Click();

    EXPECT_TRUE(host.fullShown);
    EXPECT_FALSE(host.titleOn);
    EXPECT_EQ(state.scaleX.tenThousandths, 16000);
    EXPECT_GT(CountPixels(host.shownFull, IsGreenText), 20);
    // Play-area units stay those of the window-mode surface.
    EXPECT_EQ(host.window.size(), QSize(200, 150));
    EXPECT_EQ(state.birds[0].x, 200);

    const PictureStore& work = stores.RESSOURCEN2;
    EXPECT_EQ(work.SlotDC(kBackgroundSlot)->size(), QSize(320, 240));
    EXPECT_EQ(work.SlotDC(kCartridgeSlot)->size(), QSize(16, 19));  // 10 × 12 → 16 × 19.2
    for (int pair : {kLeftBirdSlot, kRightBirdSlot}) {
        const QImage& sprite = *work.SlotDC(pair);
        const QImage& mask = *work.SlotDC(pair + 1);
        ASSERT_EQ(sprite.size(), QSize(141, 64));
        ASSERT_EQ(mask.size(), sprite.size());
        // Binary masks that cover their sprites exactly.
        for (int y = 0; y < mask.height(); ++y) {
            for (int x = 0; x < mask.width(); ++x) {
                const QRgb m = mask.pixel(x, y) & 0xFFFFFF;
                const QRgb s = sprite.pixel(x, y) & 0xFFFFFF;
                ASSERT_TRUE(m == 0 || m == 0xFFFFFF) << x << "," << y;
                ASSERT_EQ(m == 0xFFFFFF, s == 0) << x << "," << y;
            }
        }
    }
}

// The pointer's screen position is divided by the display scale, so the
// cross-hair is drawn under the pointer and a shot hits what it covers;
// before any move, a game takes the pointer where it stands.
TEST_F(GameTest, FullScreenCrossHairStaysUnderThePointer) {
    // A cursor covered from its corner: the red box starts where it is drawn.
    MakeSprite(*stores.RESSOURCEN.SlotDC(kCursorSlot), *stores.RESSOURCEN.SlotDC(kCursorMaskSlot),
               kCursorSize, kCursorSize, QRect(0, 0, kCursorSize, kCursorSize), kCursorColour);
    menu.vollbild.checked = true;
    const auto drawnCursor = [this] {
        QRect box;
        for (int y = 0; y < host.shownFull.height(); ++y) {
            for (int x = 0; x < host.shownFull.width(); ++x) {
                if (host.shownFull.pixel(x, y) == kCursorColour)
                    box |= QRect(x, y, 1, 1);
            }
        }
        return box.topLeft();
    };
    // Bird 1 at (100, 50) has its centre cell (8, 4): a pointer at play-area
    // (128, 60) aims into it.
    const struct {
        QSize screen;  // over the 200 × 150 play area
        QPointF start, aim;
    } cases[] = {
        {{480, 270}, {101, 77}, {307, 108}},  // 2.4 × 1.8, as 1920 × 1080 over 800 × 600
        {{320, 256}, {33, 255}, {205, 102}},  // 1.6 × 1.7067, as 1280 × 1024
        {{256, 192}, {255, 0}, {164, 77}},    // 1.28
        {{400, 300}, {1, 297}, {256, 121}},   // 2, with halves
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.screen.width());
        host.screen = c.screen;
        host.pointer = c.start;
        StartWithBirds({100, 50}, {0, 130}, {0, 130});
        game.GameTick();
        EXPECT_LE(std::abs(drawnCursor().x() - c.start.x()), 1);
        EXPECT_LE(std::abs(drawnCursor().y() - c.start.y()), 1);

        state.birds = {Bird{100, 50}, Bird{0, 130}, Bird{0, 130}};
        game.FullScreenMouseMove(c.aim.x(), c.aim.y());
        game.FullScreenMouseUp(1, c.aim.x(), c.aim.y());
        game.GameTick();
        EXPECT_LE(std::abs(drawnCursor().x() - c.aim.x()), 1);
        EXPECT_LE(std::abs(drawnCursor().y() - c.aim.y()), 1);
        EXPECT_EQ(state.score, 5) << "the shot missed the bird under the cross-hair";
        game.ter_Click();
    }
}

TEST_F(GameTest, AFailedStretchFallsBackToWindowMode) {
    *stores.RESSOURCEN.SlotDC(kFirstExtraSlot) = FakeGameHost::Filled(1, 1, 0xFF00FF00u);
    menu.vollbild.checked = true;
    host.screen = QSize(60, 40);  // a 1 × 1 picture shrinks to nothing
    game.ter_Click();

    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].text, kFullScreenFailure);
    EXPECT_FALSE(menu.vollbild.checked);
    EXPECT_TRUE(host.mainShown && !host.fullShown && state.gameRunning);
    EXPECT_EQ(state.drawTarget, DrawTarget::WindowSurface);
    EXPECT_EQ(stores.RESSOURCEN2.SlotDC(kBackgroundSlot)->size(), QSize(200, 150));
    EXPECT_EQ(random.seedCalls, 2);
}

TEST_F(GameTest, EscapeLeavesFullScreenAndAbortsOnlyARunningGame) {
    menu.vollbild.checked = true;
    game.ter_Click();
    game.FullScreenEscape();
    EXPECT_TRUE(host.mainShown && !host.fullShown && host.titleOn);
    EXPECT_FALSE(state.gameRunning);
    EXPECT_EQ(music.calls, QStringList{"stoprewind"});

    // A late Esc must not start a game.
    game.FullScreenEscape();
    EXPECT_EQ(menu.ter.caption, "Spielen");
    EXPECT_FALSE(state.gameRunning);
    EXPECT_EQ(random.seedCalls, 1);
}

}  // namespace
}  // namespace wf
