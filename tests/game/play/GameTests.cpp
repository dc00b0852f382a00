// Starting, running, ending and aborting games through the controller: menus,
// timers, working copies in both modes, ticks, clicks and the clock.
#include <gtest/gtest.h>

#include "GameKit.h"

namespace wf {
namespace {

using namespace testkit;

int GreenTextPixels(const QImage& img) {
    return CountPixels(img, [](QRgb p) { return qGreen(p) > 60 && qRed(p) < 40 && qBlue(p) < 40; });
}

TEST_F(GameTest, StartPreparesAWindowModeGame) {
    menu.mnuMusik.checked = true;
    ExtraDef& a = AddExtra(state, 1, "static", 0, 0);
    a.extraState = kExtraDestroyed, a.extraTimer = kExtraTimerDestroyed;
    AddExtra(state, 2, "static", 0, 0).extraState = 7;
    state.score = 99, state.magazine = 2, state.shotPending = true;
    random.values = {0.2, 0.4, 0.6};
    game.ter_Click();

    EXPECT_EQ(menu.ter.caption, "Spiel abbrechen");
    EXPECT_TRUE(state.gameRunning && host.tickOn && host.clockOn && host.titleOn &&
                host.cursorInvisible);
    EXPECT_FALSE(menu.fghfgh.enabled || menu.ansicht.enabled || state.shotPending);
    EXPECT_EQ(state.score, 0);
    EXPECT_EQ(state.magazine, 6);
    EXPECT_EQ(state.drawTarget, DrawTarget::WindowSurface);
    // At the right edge and beyond the left one, at trunc(R × (150 − 40 − 35)).
    for (auto [i, x, y] : {std::tuple{0, 200, 15}, {1, 200, 30}, {2, -88, 45}})
        EXPECT_TRUE(state.birds[i].x == x && state.birds[i].y == y) << i;
    EXPECT_TRUE(a.extraState == 1 && a.extraTimer == 23);
    EXPECT_EQ(state.mod.backgrounds[2].extras[1].extraState, 7);  // only the chosen background's
    EXPECT_EQ(music.calls, QStringList{"open " + modDir + "/musik.mid"});

    // The working copies share the pictures; starting again makes no more slots.
    game.ter_Click();
    game.ter_Click();
    ASSERT_EQ(stores.RESSOURCEN2.SlotCount(), kFirstExtraSlot);
    for (int i = 1; i <= kFirstExtraSlot; ++i)
        EXPECT_EQ(stores.RESSOURCEN2.SlotDC(i)->constBits(),
                  stores.RESSOURCEN.SlotDC(i)->constBits())
            << i;
}

TEST_F(GameTest, LengthAndTickIntervalFollowTheLengthMarks) {
    const struct {
        bool trz, wtu, wetz;
        const char *time, *fps;
        int length, interval;
    } cases[] = {
        {true, false, false, "200", "30", 30, 40},   {false, true, false, "200", "30", 60, 40},
        {false, false, true, "200", "30", 120, 40},  {false, false, false, "45", "30", 45, 33},
        {false, false, false, "360", "7", 360, 142}, {false, false, false, "10", "100", 10, 10},
        {false, false, false, "", "", 10, 200},      {false, false, false, "361", "4", 360, 200},
    };
    for (const auto& c : cases) {
        menu.trz.checked = c.trz, menu.wtu.checked = c.wtu, menu.wetz.checked = c.wetz;
        state.customTime = c.time, state.customFps = c.fps;
        game.ter_Click();
        EXPECT_TRUE(state.gameLength == c.length && state.secondsLeft == c.length) << c.time;
        EXPECT_EQ(host.tickInterval, c.interval) << c.fps;
        game.ter_Click();
    }
}

TEST_F(GameTest, EveryAbortLeavesNothingRunningAndHandsNothingOver) {
    for (const std::string way : {"menu", "Esc in full screen", "failed start"}) {
        SCOPED_TRACE(way);
        menu.vollbild.checked = way == "Esc in full screen";
        if (way == "failed start")
            *stores.RESSOURCEN.SlotDC(kLeftBirdMaskSlot) = QImage();
        music.calls.clear();
        game.ter_Click();
        state.score = 20;
        if (way == "failed start") {
            ASSERT_EQ(platform.messages.size(), 1);
            EXPECT_EQ(platform.messages[0].title, "Fehler");
            EXPECT_EQ(platform.messages[0].text,
                      "Ein Fehler beim Starten des Spiels ist aufgetreten !! Spiel wird nicht "
                      "gestartet.");
            EXPECT_FALSE(state.gameRunning || host.tickOn || host.clockOn || !menu.fghfgh.enabled);
            EXPECT_EQ(menu.ter.caption, "Spiel abbrechen");  // choosing it aborts
            EXPECT_GT(GreenTextPixels(host.shownWindow), 20) << "the loading text stays";
        }
        if (way == "Esc in full screen") {
            game.FullScreenEscape();
            game.FullScreenEscape();  // a late Esc must not start a game
            EXPECT_EQ(random.seedCalls, 1);
        } else {
            game.ter_Click();
        }
        EXPECT_EQ(menu.ter.caption, "Spielen");
        EXPECT_FALSE(state.gameRunning || host.clockOn || host.tickOn || host.cursorInvisible);
        EXPECT_TRUE(menu.fghfgh.enabled && menu.ansicht.enabled);
        EXPECT_TRUE(host.mainShown && !host.fullShown && host.titleOn);
        EXPECT_EQ(music.calls, QStringList{"stoprewind"});  // even with the music off
        EXPECT_TRUE(ShownBlack());
        EXPECT_EQ(state.score, 0);
        EXPECT_TRUE(host.handovers.isEmpty());
        EXPECT_EQ(platform.messages.size(), way == "failed start" ? 1 : 0);
        random.seedCalls = 0;
    }
}

TEST_F(GameTest, FullScreenStartStretchesTheWorkingCopiesOrFallsBackToWindowMode) {
    menu.vollbild.checked = true;
    game.ter_Click();  // on 320 × 240: 1.6 × 200 by 150
    EXPECT_TRUE(host.fullShown && !host.mainShown && !host.titleOn);
    EXPECT_EQ(state.scaleX.tenThousandths, 16000);
    EXPECT_EQ(state.drawTarget, DrawTarget::FullScreenSurface);
    EXPECT_GT(GreenTextPixels(host.shownFull), 20);
    EXPECT_EQ(state.birds[0].x, 200);  // play-area units stay the window's
    const PictureStore& work = stores.RESSOURCEN2;
    EXPECT_EQ(work.SlotDC(kBackgroundSlot)->size(), QSize(320, 240));
    EXPECT_EQ(work.SlotDC(kCartridgeSlot)->size(), QSize(16, 19));  // 10 × 12 → 16 × 19.2
    for (int pair : {kCursorSlot, kLeftBirdSlot, kRightBirdSlot}) {
        const QImage &sprite = *work.SlotDC(pair), &mask = *work.SlotDC(pair + 1);
        ASSERT_EQ(sprite.size(), pair == kCursorSlot ? QSize(13, 13) : QSize(141, 64));
        ASSERT_EQ(mask.size(), sprite.size());
        // Binary masks that cover their sprites exactly.
        for (int y = 0; y < mask.height(); ++y) {
            for (int x = 0; x < mask.width(); ++x) {
                const QRgb m = mask.pixel(x, y) & 0xFFFFFF, s = sprite.pixel(x, y) & 0xFFFFFF;
                ASSERT_TRUE((m == 0 || m == 0xFFFFFF) && (m == 0xFFFFFF) == (s == 0))
                    << x << "," << y;
            }
        }
    }
    game.ter_Click();

    // A picture that shrinks to nothing fails the stretch.
    *stores.RESSOURCEN.SlotDC(kFirstExtraSlot) = Filled(1, 1, kExtraColour);
    host.screen = QSize(60, 40);
    game.ter_Click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Fehler");
    EXPECT_EQ(platform.messages[0].text,
              "Ein Fehler beim Starten des Vollbildmodus ist aufgetreten !! Das Spiel wird im "
              "Fenstermodus ausgeführt.");
    EXPECT_FALSE(menu.vollbild.checked);
    EXPECT_TRUE(host.mainShown && !host.fullShown && state.gameRunning);
    EXPECT_EQ(state.drawTarget, DrawTarget::WindowSurface);
    EXPECT_EQ(work.SlotDC(kBackgroundSlot)->size(), QSize(200, 150));
    EXPECT_EQ(random.seedCalls, 3);
}

// The pointer's screen position is divided by the display scale, so the
// cross-hair is drawn under the pointer and a shot hits what it covers;
// before any move, a game takes the pointer where it stands.
TEST_F(GameTest, FullScreenCrossHairStaysUnderThePointer) {
    MakeSprite(stores.RESSOURCEN, kCursorSlot, {8, 8}, QRect(0, 0, 8, 8), kCursorColour);
    menu.vollbild.checked = true;
    const auto drawnCursor = [this] {
        QRect box;
        for (int y = 0; y < host.shownFull.height(); ++y) {
            for (int x = 0; x < host.shownFull.width(); ++x)
                box |= host.shownFull.pixel(x, y) == kCursorColour ? QRect(x, y, 1, 1) : QRect();
        }
        return box.topLeft();
    };
    // Bird 1 at (100, 50) has its centre cell (8, 4): a pointer at play-area
    // (128, 60) aims into it.
    const struct {
        QSize screen;  // over the 200 × 150 play area
        QPoint start, aim;
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
        const QPoint start = drawnCursor() - c.start;
        EXPECT_TRUE(std::abs(start.x()) <= 1 && std::abs(start.y()) <= 1)
            << start.x() << "," << start.y();
        state.birds = {Bird{100, 50}, Bird{0, 130}, Bird{0, 130}};
        game.FullScreenMouseMove(c.aim.x(), c.aim.y());
        game.FullScreenMouseUp(1, c.aim.x(), c.aim.y());
        game.GameTick();
        const QPoint aim = drawnCursor() - c.aim;
        EXPECT_TRUE(std::abs(aim.x()) <= 1 && std::abs(aim.y()) <= 1) << aim.x() << "," << aim.y();
        EXPECT_EQ(state.score, 5) << "the shot missed the bird under the cross-hair";
        game.ter_Click();
    }
}

TEST_F(GameTest, ATickRestartsTheMusicDrawsThenShootsAtTheDrawnPositionsThenMoves) {
    menu.mnuSound.checked = menu.mnuMusik.checked = true;
    StartWithBirds({100, 50}, {150, 100}, {0, 100});
    music.calls.clear();
    music.running = 0;  // the piece has reached its end
    random.values = {0.2, 0.4};
    const int refreshes = host.windowRefreshes;
    int refreshesAtServe = -1;
    QStringList musicAtServe;
    host.onServe = [&] { refreshesAtServe = host.windowRefreshes, musicAtServe = music.calls; };
    game.MouseMove(125, 55);
    game.MouseUp(1, 125, 55);  // aim point (141, 71): cell (8, 4), bird 1's centre
    game.GameTick();
    EXPECT_EQ(musicAtServe, QStringList({"stoprewind", "play"}));
    EXPECT_EQ(music.calls, musicAtServe);
    EXPECT_EQ(refreshesAtServe, refreshes) << "events are served before the frame";
    EXPECT_EQ(host.windowRefreshes, refreshes + 1);
    EXPECT_EQ(host.shownWindow.pixel(144, 70), kLeftBirdColour) << "bird 1 shown where it was hit";
    EXPECT_EQ(state.score, 5);
    EXPECT_FALSE(state.shotPending);
    EXPECT_EQ(sound.played, QStringList{modDir + "/schuss.wav"});
    EXPECT_EQ(state.birds[0].x, 200 + 88);  // sent to −88, moved to −94, re-entered
    EXPECT_EQ(state.birds[0].y, 30);        // the re-entry height, drawn second
    EXPECT_EQ(state.birds[1].x, 144);
    EXPECT_EQ(state.birds[2].x, 6);
}

TEST_F(GameTest, ClicksBetweenTicks) {
    struct Click {
        int button;
        double x, y;
    };
    const struct {
        const char* name;
        int magazine;
        QList<Click> clicks;
        int score, magazineAfter;
        bool pendingAfter;
    } cases[] = {
        {"second left click wins", 6, {{1, 125, 55}, {1, 0, 0}}, -2, 5, false},
        {"left then right", 3, {{1, 125, 55}, {2, 125, 55}}, 0, 3, false},
        {"empty magazine", 0, {{1, 125, 55}}, 0, 0, true},
        {"empty, then reload", 0, {{1, 125, 55}, {2, 0, 0}}, 0, 6, false},
        {"middle button", 6, {{3, 125, 55}}, 0, 6, false},
        {"last shot", 1, {{1, 0, 0}}, -2, 0, false},
    };
    menu.mnuMusik.checked = true;  // still running: not restarted
    for (const auto& c : cases) {
        StartWithBirds({100, 50}, {150, 100}, {0, 100});
        state.magazine = c.magazine;
        music.calls.clear();
        for (const Click& click : c.clicks)
            game.MouseUp(click.button, click.x, click.y);
        for (int tick = 0; tick < 3; ++tick)
            game.GameTick();
        EXPECT_EQ(state.score, c.score) << c.name;
        EXPECT_EQ(state.magazine, c.magazineAfter) << c.name;
        EXPECT_EQ(state.shotPending, c.pendingAfter) << c.name;
        EXPECT_EQ(state.birds[0].x, 100 - 18) << c.name;  // never hit
        EXPECT_TRUE(music.calls.isEmpty()) << c.name;
        game.ter_Click();
    }
    EXPECT_TRUE(sound.played.isEmpty()) << "the sound is off";
}

TEST_F(GameTest, EventsServedInsideATickCannotRunItTwiceOrPastTheEnd) {
    StartWithBirds({100, 50}, {150, 100}, {0, 100});
    int nested = 0;
    host.onServe = [&] { ++nested, game.GameTick(); };
    const int refreshes = host.windowRefreshes;
    game.GameTick();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(host.windowRefreshes, refreshes + 1);
    EXPECT_EQ(state.birds[0].x, 94);
    EXPECT_FALSE(game.InTick());

    // A clock tick that ends the game inside the tick: no shot, no motion,
    // no new frame; a late tick after the end does nothing either.
    state.elapsedSeconds = 30, state.secondsLeft = 0;
    game.MouseUp(1, 125, 55);
    host.onServe = [&] { game.Timer1_Timer(); };
    game.GameTick();
    host.onServe = nullptr;
    game.GameTick();
    EXPECT_FALSE(state.gameRunning);
    EXPECT_TRUE(state.shotPending);
    EXPECT_EQ(state.birds[0].x, 94);
    EXPECT_TRUE(ShownBlack());
    EXPECT_EQ(host.handovers, (QList<QPair<int, QString>>{{1, "0"}}));
}

TEST_F(GameTest, TheClockEndsTheGameAndHandsTimedScoresOver) {
    const struct {
        int length;  // 30, 60 and 120 set their mark; others none
        bool customMode, debug, musik, full;
        int64_t score;
        int16_t finalScore;
        int table;  // 0: no hand-over
        const char* scoreText;
    } cases[] = {
        {60, false, false, true, false, 14, 14, 2, "14"},
        // The user-defined dialog cancelled after a confirmation: no length
        // mark and customMode off keep the last table.
        {15, false, false, false, false, 3, 3, 2, "3"},
        {30, false, false, true, true, -14, -14, 1, "-14"},
        {120, false, false, true, false, 40000, 32767, 3, "32767"},
        {30, false, false, true, false, -40000, -32768, 1, "-32768"},
        {10, true, false, true, false, 50, 50, 0, ""},
        {60, false, true, true, false, -50, -50, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.score);
        menu.trz.checked = c.length == 30, menu.wtu.checked = c.length == 60;
        menu.wetz.checked = c.length == 120;
        menu.mnuMusik.checked = c.musik, menu.vollbild.checked = c.full;
        state.customMode = c.customMode, state.debugMode = c.debug;
        state.customTime = QString::number(c.length);
        host.handovers.clear();
        game.ter_Click();
        music.calls.clear();
        state.score = c.score;
        for (int tick = 1; tick <= c.length; ++tick)
            game.Timer1_Timer();
        ASSERT_TRUE(state.gameRunning && state.secondsLeft == 0);
        game.Timer1_Timer();

        EXPECT_EQ(menu.ter.caption, "Spielen");
        EXPECT_FALSE(state.gameRunning || host.clockOn || host.tickOn || host.cursorInvisible);
        EXPECT_TRUE(menu.ansicht.enabled && menu.fghfgh.enabled);
        EXPECT_TRUE(host.mainShown && !host.fullShown && host.titleOn);
        EXPECT_EQ(menu.vollbild.checked, c.full);
        EXPECT_TRUE(ShownBlack());
        EXPECT_EQ(music.calls, c.musik ? QStringList{"stoprewind"} : QStringList());
        EXPECT_EQ(state.score, 0);
        EXPECT_EQ(state.finalScore, c.finalScore);
        ASSERT_EQ(host.handovers.size(), c.table ? 1 : 0);
        if (c.table) {
            EXPECT_EQ(host.handovers[0], qMakePair(c.table, QString(c.scoreText)));
        }
    }
}

TEST_F(GameTest, AnUnknownExtraKindEndsTheProgram) {
    AddExtra(state, 1, "static", 0, 0);
    AddExtra(state, 1, "Static", 40, 0);
    game.ter_Click();
    const int refreshes = host.windowRefreshes;
    EXPECT_THROW(game.GameTick(), ProgramExit);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Fehler!");
    EXPECT_EQ(platform.messages[0].text, "'Extra' Fehler - Programm wird beendet");
    EXPECT_FALSE(game.InTick());
    // The frame drew the extras before the unknown one and was not shown.
    EXPECT_EQ(host.window.pixel(5, 5), kExtraColour);
    EXPECT_NE(host.window.pixel(45, 5), kExtraColour);
    EXPECT_EQ(host.windowRefreshes, refreshes);
}

}  // namespace
}  // namespace wf
