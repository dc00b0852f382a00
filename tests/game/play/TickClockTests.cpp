// Game ticks, clicks between them, the clock and the end of a game.
#include <gtest/gtest.h>

#include "GameFixture.h"

namespace wf {
namespace {

using namespace testkit;

TEST_F(GameTest, ATickDrawsThenShootsAtTheDrawnPositionsThenMoves) {
    menu.mnuSound.checked = true;
    StartWithBirds({100, 50}, {150, 100}, {0, 100});
    random.values = {0.2, 0.4};
    host.calls.clear();
    game.MouseMove(125, 55);
    game.MouseUp(1, 125, 55);  // aim point (141, 71): cell (8, 4), bird 1's centre
    game.GameTick();

    EXPECT_EQ(host.calls.indexOf("Serve"), 0);
    EXPECT_EQ(host.calls.indexOf("RefreshWindow"), 1);
    // The frame shows bird 1 where it was hit.
    EXPECT_EQ(host.shownWindow.pixel(144, 70), testkit::kLeftBirdColour);
    EXPECT_EQ(state.score, 5);
    EXPECT_FALSE(state.shotPending);
    EXPECT_EQ(sound.played, QStringList{kModDir + "/schuss.wav"});
    // Sent to x = −88, moved to −94, re-entered at the right.
    EXPECT_EQ(state.birds[0].x, 200 + 88);
    EXPECT_EQ(state.birds[0].y, 30);  // the re-entry height, drawn second
    EXPECT_EQ(state.birds[2].x, 6);
}

TEST_F(GameTest, ClicksBetweenTicks) {
    const Bird b1{100, 50}, b2{150, 100}, b3{0, 100};
    struct Click {
        int button;
        double x, y;
    };
    const struct {
        const char* name;
        int magazine;
        QList<Click> clicks;
        int score;
        int magazineAfter;
        bool pendingAfter;
    } cases[] = {
        {"second left click wins", 6, {{1, 125, 55}, {1, 0, 0}}, -2, 5, false},
        {"left then right", 3, {{1, 125, 55}, {2, 125, 55}}, 0, 3, false},
        {"empty magazine", 0, {{1, 125, 55}}, 0, 0, true},
        {"empty, then reload", 0, {{1, 125, 55}, {2, 0, 0}}, 0, 6, false},
        {"middle button", 6, {{3, 125, 55}}, 0, 6, false},
    };
    for (const auto& c : cases) {
        StartWithBirds(b1, b2, b3);
        state.magazine = c.magazine;
        sound.played.clear();
        for (const Click& click : c.clicks)
            game.MouseUp(click.button, click.x, click.y);
        for (int tick = 0; tick < 3; ++tick)
            game.GameTick();
        EXPECT_EQ(state.score, c.score) << c.name;
        EXPECT_EQ(state.magazine, c.magazineAfter) << c.name;
        EXPECT_EQ(state.shotPending, c.pendingAfter) << c.name;
        EXPECT_EQ(state.birds[0].x, 100 - 18) << c.name;  // never hit
        EXPECT_TRUE(sound.played.isEmpty()) << c.name;    // the sound is off
        game.ter_Click();
    }
}

TEST_F(GameTest, ATickThatArrivesInsideATickIsIgnored) {
    StartWithBirds({100, 50}, {150, 100}, {0, 100});
    int nested = 0;
    host.onServe = [&] {
        ++nested;
        EXPECT_TRUE(game.InTick());
        game.GameTick();
    };
    const int refreshes = host.windowRefreshes;
    game.GameTick();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(host.serves, 1);
    EXPECT_EQ(host.windowRefreshes, refreshes + 1);
    EXPECT_EQ(state.birds[0].x, 94);
    EXPECT_FALSE(game.InTick());

    // A late tick after the end neither draws, shoots nor moves.
    host.onServe = nullptr;
    game.ter_Click();
    game.MouseUp(1, 125, 55);
    const int afterEnd = host.windowRefreshes;
    game.GameTick();
    EXPECT_EQ(host.windowRefreshes, afterEnd);
    EXPECT_TRUE(state.shotPending);
    EXPECT_EQ(state.birds[0].x, 94);
}

TEST_F(GameTest, AClockTickThatEndsTheGameInsideATickStopsTheTick) {
    StartWithBirds({100, 50}, {150, 100}, {0, 100});
    state.elapsedSeconds = 30;
    state.secondsLeft = 0;
    game.MouseUp(1, 125, 55);
    host.onServe = [&] { game.Timer1_Timer(); };
    game.GameTick();
    EXPECT_FALSE(state.gameRunning);
    EXPECT_TRUE(state.shotPending);  // never resolved
    EXPECT_EQ(state.birds[0].x, 100);
    EXPECT_TRUE(AllBlack(host.shownWindow));  // the cleared surface, no new frame
    ASSERT_EQ(host.handovers.size(), 1);
    EXPECT_EQ(host.handovers[0].score, "0");
}

TEST_F(GameTest, TheClockEndsTheGameAndHandsTimedScoresOver) {
    const struct {
        const char* name;
        int length;  // 30, 60 and 120 set their mark; others none
        bool customMode, debug, musik, full;
        int64_t score;
        int16_t finalScore;
        int table;  // 0: no hand-over
        const char* scoreText;
    } cases[] = {
        {"60 seconds", 60, false, false, true, false, 14, 14, 2, "14"},
        // The user-defined dialog cancelled after a confirmation: no length
        // mark and customMode off keep the last table.
        {"other length, music off", 15, false, false, false, false, 3, 3, 2, "3"},
        {"30 seconds, negative", 30, false, false, true, true, -14, -14, 1, "-14"},
        {"120 seconds, saturated", 120, false, false, true, false, 40000, 32767, 3, "32767"},
        {"saturated below", 30, false, false, true, false, -40000, -32768, 1, "-32768"},
        {"user-defined", 10, true, false, true, false, 50, 50, 0, ""},
        {"debug display", 60, false, true, true, false, -50, -50, 0, ""},
    };
    for (const auto& c : cases) {
        menu.trz.checked = c.length == 30;
        menu.wtu.checked = c.length == 60;
        menu.wetz.checked = c.length == 120;
        menu.mnuMusik.checked = c.musik;
        menu.vollbild.checked = c.full;
        state.customMode = c.customMode;
        state.customTime = QString::number(c.length);
        state.customFps = "25";
        state.debugMode = c.debug;
        host.handovers.clear();
        game.ter_Click();
        music.calls.clear();
        state.score = c.score;
        for (int tick = 1; tick <= c.length; ++tick)
            game.Timer1_Timer();
        ASSERT_TRUE(state.gameRunning) << c.name;
        EXPECT_EQ(state.secondsLeft, 0) << c.name;
        game.Timer1_Timer();

        EXPECT_FALSE(state.gameRunning) << c.name;
        EXPECT_EQ(menu.ter.caption, "Spielen");
        EXPECT_TRUE(menu.ansicht.enabled && menu.fghfgh.enabled);
        EXPECT_FALSE(host.clockOn || host.tickOn || host.cursorInvisible);
        EXPECT_TRUE(host.mainShown && !host.fullShown && host.titleOn) << c.name;
        EXPECT_EQ(menu.vollbild.checked, c.full);
        EXPECT_TRUE(AllBlack(host.window));
        EXPECT_EQ(music.calls, c.musik ? QStringList{"stoprewind"} : QStringList()) << c.name;
        EXPECT_EQ(state.score, 0);
        EXPECT_EQ(state.finalScore, c.finalScore) << c.name;
        ASSERT_EQ(host.handovers.size(), c.table ? 1 : 0) << c.name;
        if (c.table) {
            EXPECT_EQ(host.handovers[0].table, c.table) << c.name;
            EXPECT_EQ(host.handovers[0].score, c.scoreText) << c.name;
        }
    }
}

TEST_F(GameTest, MusicRestartsAtItsEndBeforeEventsAreServed) {
    const struct {
        bool musik;
        int running;
        QStringList calls;
    } cases[] = {
        {true, 0, {"stoprewind", "play"}},
        {true, 1, {}},
        {false, 0, {}},
    };
    for (const auto& c : cases) {
        menu.mnuMusik.checked = c.musik;
        game.ter_Click();
        music.calls.clear();
        music.running = c.running;
        QStringList atServe;
        host.onServe = [&] { atServe = music.calls; };
        game.GameTick();
        EXPECT_EQ(music.calls, c.calls);
        EXPECT_EQ(atServe, c.calls);
        host.onServe = nullptr;
        game.ter_Click();
    }
}

TEST_F(GameTest, AnUnknownExtraKindEndsTheProgram) {
    state.selectedBackground = 1;
    AddExtra(state, 1, kFirstExtraSlot, "static", 0, 0, {}, 5, false);
    AddExtra(state, 1, kFirstExtraSlot, "Static", 40, 0, {}, 5, false);
    game.ter_Click();
    const int refreshes = host.windowRefreshes;
    try {
        game.GameTick();
        FAIL() << "the program should end";
    } catch (const ProgramExit& e) {
        EXPECT_EQ(e.status, 1);
    }
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Fehler!");
    EXPECT_EQ(platform.messages[0].text, "'Extra' Fehler - Programm wird beendet");
    EXPECT_FALSE(game.InTick());
    // The frame drew the extras before the unknown one and was not shown.
    EXPECT_EQ(host.window.pixel(5, 5), 0xFFFF00FFu);
    EXPECT_NE(host.window.pixel(45, 5), 0xFFFF00FFu);
    EXPECT_EQ(host.windowRefreshes, refreshes);
}

}  // namespace
}  // namespace wf
