// Starting, running, ending and aborting games through GameController with a
// host over plain images.
#include <gtest/gtest.h>

#include "GameController.h"
#include "GameTestKit.h"

namespace wf {
namespace {

using testkit::AddExtra;
using testkit::FakeGameHost;

const QString kModDir = QStringLiteral("/nonexistent/wf-mod");
const QString kLoadingFailure = QStringLiteral(
    "Ein Fehler beim Starten des Spiels ist aufgetreten !! Spiel wird nicht gestartet.");
const QString kFullScreenFailure = QStringLiteral(
    "Ein Fehler beim Starten des Vollbildmodus ist aufgetreten !! Das Spiel wird im "
    "Fenstermodus ausgeführt.");

int CountPixels(const QImage& img, const std::function<bool(QRgb)>& match) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x)
            n += match(img.pixel(x, y)) ? 1 : 0;
    }
    return n;
}

bool IsGreenText(QRgb p) {
    return qGreen(p) > 60 && qRed(p) < 40 && qBlue(p) < 40;
}
bool AllBlack(const QImage& img) {
    return CountPixels(img, [](QRgb p) { return (p & 0xFFFFFF) != 0; }) == 0;
}

class GameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testkit::FillSourceStore(stores, 200, 150, {0xFFFF00FFu});
        state.mod.shotSoundFile = "schuss.wav";
        state.mod.musicFile = "musik.mid";
        random.fallback = 0.5;
    }

    // A started window-mode game with the birds where a test wants them.
    void StartWithBirds(Bird b1, Bird b2, Bird b3) {
        game.ter_Click();
        ASSERT_TRUE(state.gameRunning);
        state.birds = {b1, b2, b3};
    }

    ScriptedPlatform platform;
    GameState state;
    MenuModel menu;
    PictureStores stores;
    FakeGameHost host;
    ScriptedRandom random;
    SilentSound sound;
    SilentMusic music;
    GameController game{state, menu, stores, host, random, sound, music, kModDir};
};

TEST_F(GameTest, StartPreparesAWindowModeGame) {
    menu.mnuMusik.checked = true;
    state.selectedBackground = 1;
    ExtraDef& a = AddExtra(state, 1, 22, "static", 0, 0, {}, 5, true);
    a.extraState = 49;
    a.extraTimer = 200;
    ExtraDef& other = AddExtra(state, 2, 22, "static", 0, 0, {}, 5, true);
    other.extraState = 7;
    state.score = 99;
    state.magazine = 2;
    state.shotPending = true;
    state.elapsedSeconds = 5;
    random.values = {0.2, 0.4, 0.6};

    game.ter_Click();

    EXPECT_EQ(menu.ter.caption, "Spiel abbrechen");
    EXPECT_TRUE(state.gameRunning);
    EXPECT_TRUE(host.tickOn);
    EXPECT_TRUE(host.clockOn);
    EXPECT_TRUE(host.titleOn);
    EXPECT_EQ(host.tickInterval, 40);
    EXPECT_EQ(state.gameLength, 30);
    EXPECT_EQ(state.secondsLeft, 30);
    EXPECT_FALSE(menu.fghfgh.enabled);
    EXPECT_FALSE(menu.ansicht.enabled);
    EXPECT_GE(host.menuChanges, 2);
    EXPECT_EQ(state.score, 0);
    EXPECT_EQ(state.magazine, 6);
    EXPECT_FALSE(state.shotPending);
    EXPECT_EQ(state.elapsedSeconds, 0);
    EXPECT_EQ(random.seedCalls, 1);
    EXPECT_TRUE(host.cursorInvisible);
    EXPECT_TRUE(host.mainShown);
    EXPECT_FALSE(host.fullShown);
    EXPECT_EQ(state.drawTarget, DrawTarget::WindowSurface);
    EXPECT_EQ(state.scaleX, FixedScale::One());
    // 150 − 40 − 35 = 75 for the heights.
    EXPECT_EQ(state.birds[0].x, 200);
    EXPECT_EQ(state.birds[0].y, 15);
    EXPECT_EQ(state.birds[1].x, 200);
    EXPECT_EQ(state.birds[1].y, 30);
    EXPECT_EQ(state.birds[2].x, -88);
    EXPECT_EQ(state.birds[2].y, 45);
    EXPECT_EQ(a.extraState, 1);
    EXPECT_EQ(a.extraTimer, 23);
    EXPECT_EQ(other.extraState, 7);
    EXPECT_EQ(music.calls, QStringList{"open " + kModDir + "/musik.mid"});

    const PictureStore& work = stores.RESSOURCEN2;
    ASSERT_EQ(work.SlotCount(), 22);
    for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 22}) {
        EXPECT_EQ(*work.SlotDC(i), *stores.RESSOURCEN.SlotDC(i)) << i;
        EXPECT_NE(work.SlotDC(i)->constBits(), stores.RESSOURCEN.SlotDC(i)->constBits()) << i;
    }
    for (int i = 9; i <= 21; ++i)
        EXPECT_TRUE(work.SlotDC(i)->isNull()) << i;
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
        EXPECT_EQ(state.secondsLeft, c.length);
        EXPECT_EQ(host.tickInterval, c.interval) << c.time << "/" << c.fps;
        game.ter_Click();  // abort
        ASSERT_EQ(menu.ter.caption, "Spielen");
    }
}

TEST_F(GameTest, StartingAgainMakesNoFurtherWorkingSlots) {
    game.ter_Click();
    game.ter_Click();
    game.ter_Click();
    EXPECT_EQ(stores.RESSOURCEN2.SlotCount(), 22);
    EXPECT_EQ(*stores.RESSOURCEN2.SlotDC(22), *stores.RESSOURCEN.SlotDC(22));
}

TEST_F(GameTest, AFailedCopyLeavesTheLoadingTextAndTheAbortCaption) {
    *stores.RESSOURCEN.SlotDC(6) = QImage();
    game.ter_Click();

    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Fehler");
    EXPECT_EQ(platform.messages[0].text, kLoadingFailure);
    EXPECT_FALSE(state.gameRunning);
    EXPECT_FALSE(host.tickOn);
    EXPECT_FALSE(host.clockOn);
    EXPECT_EQ(menu.ter.caption, "Spiel abbrechen");
    EXPECT_TRUE(menu.fghfgh.enabled);
    EXPECT_GT(CountPixels(host.shownWindow, IsGreenText), 20);
    EXPECT_GT(CountPixels(host.window, IsGreenText), 20);

    game.ter_Click();
    EXPECT_EQ(menu.ter.caption, "Spielen");
    EXPECT_TRUE(AllBlack(host.window));
    EXPECT_EQ(music.calls, QStringList{"stoprewind"});
    EXPECT_EQ(platform.messages.size(), 1);
}

TEST_F(GameTest, AbortStopsEverythingAndDropsTheScore) {
    game.ter_Click();
    state.score = 20;
    game.ter_Click();
    EXPECT_EQ(menu.ter.caption, "Spielen");
    EXPECT_FALSE(host.clockOn);
    EXPECT_FALSE(host.tickOn);
    EXPECT_TRUE(menu.fghfgh.enabled);
    EXPECT_TRUE(menu.ansicht.enabled);
    EXPECT_EQ(music.calls, QStringList{"stoprewind"});  // even with the music off
    EXPECT_TRUE(AllBlack(host.window));
    EXPECT_EQ(state.score, 0);
    EXPECT_FALSE(state.gameRunning);
    EXPECT_FALSE(host.cursorInvisible);
    EXPECT_TRUE(host.handovers.isEmpty());
}

TEST_F(GameTest, FullScreenStartStretchesTheWorkingCopies) {
    menu.vollbild.checked = true;
    host.screen = QSize(320, 240);  // 1.6 × 200 by 150
    game.ter_Click();

    EXPECT_TRUE(state.gameRunning);
    EXPECT_FALSE(host.mainShown);
    EXPECT_TRUE(host.fullShown);
    EXPECT_FALSE(host.titleOn);
    EXPECT_EQ(state.drawTarget, DrawTarget::FullScreenSurface);
    EXPECT_EQ(state.scaleX.tenThousandths, 16000);
    EXPECT_EQ(state.scaleY.tenThousandths, 16000);
    EXPECT_GT(CountPixels(host.shownFull, IsGreenText), 20);
    EXPECT_TRUE(platform.messages.isEmpty());
    // Play-area units stay those of the window-mode surface.
    EXPECT_EQ(host.window.size(), QSize(200, 150));
    EXPECT_EQ(state.birds[0].x, 200);

    const PictureStore& work = stores.RESSOURCEN2;
    EXPECT_EQ(work.SlotDC(4)->size(), QSize(320, 240));
    EXPECT_EQ(work.SlotDC(1)->size(), QSize(16, 19));  // 10 × 12 → 16 × 19.2
    EXPECT_EQ(work.SlotDC(22)->size(), QSize(27, 27));
    for (int pair : {5, 7}) {
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

TEST_F(GameTest, AFailedStretchFallsBackToWindowMode) {
    *stores.RESSOURCEN.SlotDC(22) = FakeGameHost::Filled(1, 1, 0xFF00FF00u);
    menu.vollbild.checked = true;
    host.screen = QSize(60, 40);  // a 1 × 1 picture shrinks to nothing
    game.ter_Click();

    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Fehler");
    EXPECT_EQ(platform.messages[0].text, kFullScreenFailure);
    EXPECT_FALSE(menu.vollbild.checked);
    EXPECT_FALSE(host.fullShown);
    EXPECT_TRUE(host.mainShown);
    EXPECT_TRUE(state.gameRunning);
    EXPECT_EQ(state.drawTarget, DrawTarget::WindowSurface);
    EXPECT_EQ(state.scaleX, FixedScale::One());
    EXPECT_EQ(stores.RESSOURCEN2.SlotDC(22)->size(), QSize(1, 1));
    EXPECT_EQ(stores.RESSOURCEN2.SlotDC(4)->size(), QSize(200, 150));
    EXPECT_EQ(random.seedCalls, 2);
}

TEST_F(GameTest, EscapeLeavesFullScreenAndAbortsOnlyARunningGame) {
    menu.vollbild.checked = true;
    game.ter_Click();
    game.FullScreenEscape();
    EXPECT_FALSE(host.fullShown);
    EXPECT_TRUE(host.mainShown);
    EXPECT_TRUE(host.titleOn);
    EXPECT_EQ(menu.ter.caption, "Spielen");
    EXPECT_FALSE(state.gameRunning);
    EXPECT_EQ(music.calls, QStringList{"stoprewind"});

    // A late Esc must not start a game.
    game.FullScreenEscape();
    EXPECT_EQ(menu.ter.caption, "Spielen");
    EXPECT_FALSE(state.gameRunning);
    EXPECT_EQ(random.seedCalls, 1);
}

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
    EXPECT_EQ(state.magazine, 5);
    EXPECT_FALSE(state.shotPending);
    EXPECT_EQ(sound.played, QStringList{kModDir + "/schuss.wav"});
    // Sent to x = −88, moved to −94, re-entered at the right.
    EXPECT_EQ(state.birds[0].x, 200 + 88);
    EXPECT_EQ(state.birds[0].y, 30);  // the re-entry height, drawn second
    EXPECT_EQ(state.birds[1].x, 144);
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
    EXPECT_EQ(state.magazine, 6);
    EXPECT_EQ(state.birds[0].x, 100);
    EXPECT_TRUE(AllBlack(host.shownWindow));  // the cleared surface, no new frame
    ASSERT_EQ(host.handovers.size(), 1);
    EXPECT_EQ(host.handovers[0].score, "0");
}

TEST_F(GameTest, ALateTickAfterTheEndNeitherShootsNorMoves) {
    StartWithBirds({100, 50}, {150, 100}, {0, 100});
    game.ter_Click();
    game.MouseUp(1, 125, 55);
    const int refreshes = host.windowRefreshes;
    game.GameTick();
    EXPECT_EQ(host.windowRefreshes, refreshes);
    EXPECT_TRUE(state.shotPending);
    EXPECT_EQ(state.birds[0].x, 100);
}

struct EndCase {
    const char* name;
    int length;  // 30, 60, 120 or a user-defined length
    bool customMode;
    bool debug;
    int64_t score;
    int16_t finalScore;
    bool handover;
    const char* scoreText;
};

TEST_F(GameTest, TheClockEndsTheGameAndHandsTimedScoresOver) {
    const EndCase cases[] = {
        {"60 seconds", 60, false, false, 14, 14, true, "14"},
        {"30 seconds, negative", 30, false, false, -14, -14, true, "-14"},
        {"120 seconds, saturated", 120, false, false, 40000, 32767, true, "32767"},
        {"saturated below", 30, false, false, -40000, -32768, true, "-32768"},
        {"user-defined", 10, true, false, 50, 50, false, ""},
        {"debug display", 60, false, true, -50, -50, false, ""},
    };
    for (const EndCase& c : cases) {
        menu.trz.checked = c.length == 30;
        menu.wtu.checked = c.length == 60;
        menu.wetz.checked = c.length == 120;
        state.customMode = c.customMode;
        state.customTime = QString::number(c.length);
        state.customFps = "25";
        state.debugMode = c.debug;
        menu.mnuMusik.checked = true;
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
        EXPECT_TRUE(menu.ansicht.enabled);
        EXPECT_TRUE(menu.fghfgh.enabled);
        EXPECT_FALSE(host.clockOn);
        EXPECT_FALSE(host.tickOn);
        EXPECT_FALSE(host.cursorInvisible);
        EXPECT_TRUE(AllBlack(host.window));
        EXPECT_EQ(music.calls, QStringList{"stoprewind"}) << c.name;
        EXPECT_EQ(state.score, 0);
        EXPECT_EQ(state.finalScore, c.finalScore) << c.name;
        if (c.handover) {
            ASSERT_EQ(host.handovers.size(), 1) << c.name;
            EXPECT_EQ(host.handovers[0].table, c.length == 30 ? 1 : c.length == 60 ? 2 : 3);
            EXPECT_EQ(host.handovers[0].score, c.scoreText) << c.name;
        } else {
            EXPECT_TRUE(host.handovers.isEmpty()) << c.name;
        }
    }
}

TEST_F(GameTest, AnOtherLengthKeepsTheLastTableAndMusicOffIsLeftAlone) {
    menu.trz.checked = false;
    menu.wtu.checked = true;
    game.ter_Click();
    for (int tick = 0; tick <= 60; ++tick)
        game.Timer1_Timer();
    ASSERT_EQ(host.handovers.size(), 1);

    // The user-defined dialog cancelled after a confirmation: no length mark,
    // customMode off.
    menu.wtu.checked = false;
    state.customTime = "15";
    state.customFps = "5";
    game.ter_Click();
    music.calls.clear();
    for (int tick = 0; tick <= 15; ++tick)
        game.Timer1_Timer();
    ASSERT_EQ(host.handovers.size(), 2);
    EXPECT_EQ(host.handovers[1].table, 2);
    EXPECT_TRUE(music.calls.isEmpty());
}

TEST_F(GameTest, AFullScreenGameEndsOnTheMainWindow) {
    menu.vollbild.checked = true;
    game.ter_Click();
    for (int tick = 0; tick <= 30; ++tick)
        game.Timer1_Timer();
    EXPECT_FALSE(host.fullShown);
    EXPECT_TRUE(host.mainShown);
    EXPECT_TRUE(host.titleOn);
    EXPECT_TRUE(menu.vollbild.checked);
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
    AddExtra(state, 1, 22, "static", 0, 0, {}, 5, false);
    AddExtra(state, 1, 22, "Static", 0, 0, {}, 5, false);
    game.ter_Click();
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
}

}  // namespace
}  // namespace wf
