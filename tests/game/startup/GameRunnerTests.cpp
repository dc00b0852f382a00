// Games in the windows: start and abort in both modes, ticks, clicks and the
// clock.
#include <gtest/gtest.h>

#include "GameKit.h"
#include "GameRunner.h"
#include "MainMenu.h"

namespace wf {
namespace {

using namespace testkit;

// A game over the fake host and the pictures of a 200 × 150 background.
class GameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FillSourceStore(stores, 200, 150);
        state.mod.shotSoundFile = "schuss.wav", state.mod.musicFile = "musik.mid";
        random.fallback = 0.5;
    }
    void StartWithBirds(Bird b1, Bird b2, Bird b3) {
        game.PlayOrAbort();
        ASSERT_TRUE(state.Running());
        state.birds = {b1, b2, b3};
    }
    // The menu as the main window shows it now.
    MainMenu Menu() const { return DeriveMenu(settings, state.phase, state.mod); }
    int ShownGreen(const QImage& img) {  // the loading text
        return CountPixels(img,
                           [](QRgb p) { return qGreen(p) > 60 && qRed(p) < 40 && qBlue(p) < 40; });
    }
    // However a game ended: nothing runs, the main window is back and black.
    void ExpectEnded() {
        EXPECT_EQ(Menu().play.caption, "Spielen");
        EXPECT_FALSE(state.Running() || host.clockOn || host.tickOn || host.cursorInvisible ||
                     state.score);
        EXPECT_TRUE(Menu().optionsMenu.enabled && Menu().viewMenu.enabled && host.mainShown &&
                    !host.fullShown && host.titleOn);
        EXPECT_EQ(CountPixels(host.shownWindow, [](QRgb p) { return (p & 0xFFFFFF) != 0; }), 0);
    }
    const QString modDir = QStringLiteral("/nonexistent/wf-mod");
    ScriptedPlatform platform;
    GameSettings settings;
    GameState state;
    PictureStores stores;
    FakeGameHost host;
    ScriptedRandom random;
    SilentSound sound;
    SilentMusic music;
    GameRunner game{state, settings, stores, host, random, sound, music, modDir};
};

constexpr PointerButton kLeft = PointerButton::Left;

TEST_F(GameTest, StartPreparesAWindowModeGame) {
    settings.music = true;
    ExtraDef& a = AddExtra(state, 1, "static", 0, 0);
    a.extraState = kExtraDestroyed, a.extraTimer = kExtraTimerDestroyed;
    AddExtra(state, 2, "static", 0, 0).extraState = 7;
    state.score = 99, state.magazine = 2, state.shotPending = true;
    random.values = {0.2, 0.4, 0.6};
    game.PlayOrAbort();
    EXPECT_EQ(Menu().play.caption, "Spiel abbrechen");
    EXPECT_TRUE(state.Running() && host.tickOn && host.clockOn && host.titleOn &&
                host.cursorInvisible && state.magazine == 6);
    EXPECT_FALSE(Menu().optionsMenu.enabled || Menu().viewMenu.enabled || state.shotPending ||
                 state.score);
    // At the right edge and beyond the left one, at trunc(R × (150 − 40 − 35)).
    for (auto [i, x, y] : {std::tuple{0, 200, 15}, {1, 200, 30}, {2, -88, 45}})
        EXPECT_EQ(At(state.birds[i]), At({float(x), float(y)})) << "bird " << i + 1;
    EXPECT_EQ(std::pair(a.extraState, a.extraTimer), std::pair(1, 23));
    EXPECT_EQ(state.mod.backgrounds[2].extras[1].extraState, 7);  // only the chosen background's
    EXPECT_EQ(music.calls, QStringList{"open " + modDir + "/musik.mid"});
    // The working copies share the pictures; starting again makes no more slots.
    game.PlayOrAbort();
    game.PlayOrAbort();
    ASSERT_EQ(stores.working.SlotCount(), kFirstExtraSlot);
    for (int i = 1; i <= kFirstExtraSlot; ++i)
        EXPECT_EQ(stores.working.Picture(i)->constBits(), stores.sources.Picture(i)->constBits());
}

TEST_F(GameTest, LengthAndTickIntervalFollowTheLengthMarks) {
    // Marks 30, 60, 120 or none (the user-defined mode with its values; 0
    // before its dialog was ever confirmed).
    const std::tuple<int, int, int, int, int> cases[] = {
        {30, 200, 30, 30, 40}, {60, 200, 30, 60, 40}, {120, 200, 30, 120, 40},
        {0, 45, 30, 45, 33},   {0, 360, 7, 360, 142}, {0, 10, 100, 10, 10},
        {0, 0, 0, 10, 200},    {0, 361, 4, 360, 200}};
    for (auto [mark, time, fps, length, interval] : cases) {
        settings.gameLength = mark;
        settings.userDefined = {time, fps};
        game.PlayOrAbort();
        EXPECT_EQ(std::tuple(state.gameLength, state.secondsLeft, host.tickInterval),
                  std::tuple(length, length, interval))
            << "mark " << mark << ", " << time << " s at " << fps << " fps: length, left, tick";
        game.PlayOrAbort();
    }
}

TEST_F(GameTest, EveryAbortLeavesNothingRunningAndHandsNothingOver) {
    for (const std::string way : {"menu", "Esc in full screen", "failed start"}) {
        SCOPED_TRACE(way);
        settings.fullScreen = way == "Esc in full screen";
        if (way == "failed start")
            *stores.sources.Picture(kLeftBirdMaskSlot) = QImage();
        music.calls.clear();
        game.PlayOrAbort();
        state.score = 20;
        if (way == "failed start") {
            ASSERT_EQ(platform.messages.size(), 1);
            EXPECT_EQ(platform.messages[0].title, "Fehler");
            EXPECT_EQ(platform.messages[0].text,
                      "Ein Fehler beim Starten des Spiels ist aufgetreten !! Spiel wird nicht "
                      "gestartet.");
            EXPECT_FALSE(state.Running() || host.tickOn || host.clockOn ||
                         !Menu().optionsMenu.enabled);
            EXPECT_EQ(Menu().play.caption, "Spiel abbrechen");  // choosing it aborts
            EXPECT_GT(ShownGreen(host.shownWindow), 20) << "the loading text stays";
        }
        if (way == "Esc in full screen") {
            game.LeaveFullScreen();
            game.LeaveFullScreen();  // a late Esc must not start a game
            EXPECT_EQ(random.seedCalls, 1);
        } else {
            game.PlayOrAbort();
        }
        ExpectEnded();
        EXPECT_TRUE(host.handovers.isEmpty());
        EXPECT_EQ(music.calls, QStringList{"stoprewind"});  // even with the music off
        EXPECT_EQ(platform.messages.size(), way == "failed start" ? 1 : 0);
        random.seedCalls = 0;
    }
}

TEST_F(GameTest, FullScreenStartStretchesTheWorkingCopiesOrFallsBackToWindowMode) {
    settings.fullScreen = true;
    game.PlayOrAbort();  // on 320 × 240: 1.6 × 200 by 150
    EXPECT_TRUE(host.fullShown && !host.mainShown && !host.titleOn &&
                state.scaleX.tenThousandths == 16000 &&
                state.drawTarget == DrawTarget::FullScreenSurface &&
                ShownGreen(host.shownFull) > 20);
    EXPECT_EQ(state.birds[0].x, 200);  // play-area units stay the window's
    EXPECT_EQ(stores.working.Picture(kCartridgeSlot)->size(), QSize(16, 19));  // 19.2
    game.PlayOrAbort();

    // A picture that shrinks to nothing fails the stretch.
    *stores.sources.Picture(kFirstExtraSlot) = Solid(1, 1, kExtraColour);
    host.screen = QSize(60, 40);
    game.PlayOrAbort();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Fehler");
    EXPECT_EQ(platform.messages[0].text,
              "Ein Fehler beim Starten des Vollbildmodus ist aufgetreten !! Das Spiel wird im "
              "Fenstermodus ausgeführt.");
    EXPECT_TRUE(host.mainShown && !host.fullShown && state.Running() &&
                !Menu().fullScreen.checked && state.drawTarget == DrawTarget::WindowSurface &&
                random.seedCalls == 3);
    EXPECT_EQ(stores.working.Picture(kBackgroundSlot)->size(), QSize(200, 150));
}

// The cross-hair is drawn under the pointer and a shot hits what it covers,
// also before any move.
TEST_F(GameTest, FullScreenCrossHairStaysUnderThePointer) {
    MakeSprite(stores.sources, kCursorSlot, {8, 8}, QRect(0, 0, 8, 8), kCursorColour);
    settings.fullScreen = true;
    const auto cursorMissesBy = [this](QPoint at) {
        QRect box;
        for (int i = 0, w = host.shownFull.width(); i < w * host.shownFull.height(); ++i)
            box |= host.shownFull.pixel(i % w, i / w) == kCursorColour ? QRect(i % w, i / w, 1, 1)
                                                                       : QRect();
        return std::max(std::abs(box.left() - at.x()), std::abs(box.top() - at.y()));
    };
    // Over the 200 × 150 play area; a pointer at play-area (128, 60) aims
    // into the centre cell (8, 4) of bird 1 at (100, 50). With the aspect
    // ratio kept the play area stands between black bars.
    for (auto [screen, keep, start, aim, bars] :
         {std::tuple{QSize(480, 270), false, QPoint(101, 77), QPoint(307, 108),
                     QRect()},                                                   // 2.4×1.8
          {QSize(320, 256), false, QPoint(33, 255), QPoint(205, 102), QRect()},  // 1.6 × 1.7067
          {QSize(256, 192), false, QPoint(255, 0), QPoint(164, 77), QRect()},    // 1.28
          {QSize(400, 300), false, QPoint(1, 297), QPoint(256, 121), QRect()},   // 2, with halves
          {QSize(480, 270), true, QPoint(101, 77), QPoint(290, 108), QRect(0, 0, 60, 270)},  // 1.8
          {QSize(320, 400), true, QPoint(33, 255), QPoint(205, 176), QRect(0, 320, 320, 80)}}) {
        SCOPED_TRACE(testing::Message() << screen.width() << "x" << screen.height()
                                        << (keep ? ", aspect ratio kept" : ""));
        host.screen = screen;
        host.pointer = start;
        settings.keepAspectRatio = keep;
        StartWithBirds({100, 50}, {0, 130}, {0, 130});
        game.Tick();
        EXPECT_LE(cursorMissesBy(start), 1) << screen.width();
        const auto lit = [](QRgb p) { return (p & 0xFFFFFF) != 0; };
        EXPECT_TRUE(bars.isNull() || CountPixels(host.shownFull.copy(bars), lit) == 0)
            << "the bars are black";
        state.birds = {Bird{100, 50}, Bird{0, 130}, Bird{0, 130}};
        game.ScreenPointerMoved(aim.x(), aim.y());
        game.ScreenButtonReleased(kLeft, aim.x(), aim.y());
        game.Tick();
        EXPECT_LE(cursorMissesBy(aim), 1) << screen.width();
        EXPECT_EQ(state.score, 5) << screen.width()
                                  << ": the shot missed the bird under the cross-hair";
        game.PlayOrAbort();
    }
}

TEST_F(GameTest, ATickRestartsEndedMusicServesEventsDrawsShootsAtTheDrawnBirdsAndMovesThem) {
    settings.sound = settings.music = true;
    StartWithBirds({100, 50}, {150, 100}, {0, 100});
    music.calls.clear();
    music.running = 0;  // the piece has reached its end
    random.values = {0.2, 0.4};
    const int refreshes = host.windowRefreshes;
    QStringList atServe;
    host.onServe = [&] {
        atServe = music.calls + QStringList{QString::number(host.windowRefreshes - refreshes)};
    };
    game.PointerMoved(125, 55);
    game.ButtonReleased(kLeft, 125, 55);  // aim point (141, 71): cell (8, 4), bird 1's centre
    game.Tick();
    EXPECT_EQ(atServe, QStringList({"stoprewind", "play", "0"}));
    EXPECT_EQ(host.shownWindow.pixel(144, 70), kLeftBirdColour) << "bird 1 shown where it was hit";
    EXPECT_TRUE(state.score == 5 && !state.shotPending && state.magazine == 5 &&
                host.windowRefreshes == refreshes + 1);
    EXPECT_EQ(sound.played, QStringList{modDir + "/schuss.wav"});
    // Bird 1 sent to −88, moved to −94 and re-entered at its second height.
    for (auto [i, x, y] : {std::tuple{0, 288, 30}, {1, 144, 100}, {2, 6, 100}})
        EXPECT_EQ(At(state.birds[i]), At({float(x), float(y)})) << "bird " << i + 1;
}

TEST_F(GameTest, ClicksBetweenTicks) {
    using Clicks = QList<std::pair<int, int>>;  // button, x; y = 55
    settings.music = true;                      // still running: not restarted
    for (auto [magazine, clicks, score, magazineAfter, pendingAfter] :
         {std::tuple{6, Clicks{{1, 125}, {1, 0}}, -2, 5, false},  // the second left click wins
          {3, Clicks{{1, 125}, {2, 125}}, 0, 3, false},           // the right one drops the shot
          {0, Clicks{{1, 125}}, 0, 0, true},                      // the magazine is empty
          {0, Clicks{{1, 125}, {2, 0}}, 0, 6, false},             // and is reloaded
          {6, Clicks{{3, 125}}, 0, 6, false},                     // the middle button
          {1, Clicks{{1, 0}}, -2, 0, false}}) {                   // the last shot
        StartWithBirds({100, 50}, {150, 100}, {0, 100});
        state.magazine = magazine;
        music.calls.clear();
        for (auto [button, x] : clicks)
            game.ButtonReleased(PointerButton(button), x, 55);
        for (int tick = 0; tick < 3; ++tick)
            game.Tick();
        SCOPED_TRACE(testing::Message() << "magazine " << magazine << ", " << clicks.size()
                                        << " clicks, first button " << clicks[0].first);
        EXPECT_EQ(std::tuple(state.score, state.magazine, state.shotPending),
                  std::tuple(int64_t{score}, magazineAfter, pendingAfter))
            << "score, magazine, pending";
        EXPECT_TRUE(music.calls.isEmpty());
        EXPECT_EQ(state.birds[0].x, 100 - 18);  // never hit
        game.PlayOrAbort();
    }
    EXPECT_TRUE(sound.played.isEmpty()) << "the sound is off";
}

TEST_F(GameTest, EventsServedInsideATickCannotRunItTwiceOrPastTheEnd) {
    StartWithBirds({100, 50}, {150, 100}, {0, 100});
    int nested = 0;
    host.onServe = [&] { ++nested, game.Tick(); };
    game.Tick();
    EXPECT_TRUE(nested == 1 && host.windowRefreshes == 2 && state.birds[0].x == 94 &&
                !game.InTick());
    // A clock tick that ends the game inside the tick: no shot, no motion,
    // no new frame; a late tick after the end does nothing either.
    state.elapsedSeconds = 30, state.secondsLeft = 0;
    game.ButtonReleased(kLeft, 125, 55);
    host.onServe = [&] { game.ClockSecond(); };
    game.Tick();
    host.onServe = nullptr;
    game.Tick();
    ExpectEnded();
    EXPECT_TRUE(state.shotPending && state.birds[0].x == 94);
    EXPECT_EQ(host.handovers, (QList<QPair<int, int>>{{1, 0}}));
}

TEST_F(GameTest, TheClockEndsTheGameAndHandsTimedScoresOver) {
    // The lengths 30, 60 and 120 set their mark, others none: the dialog
    // cancelled after a confirmation keeps the last table.
    const std::tuple<int, bool, bool, bool, bool, int, const char*> cases[] = {
        {60, false, false, true, false, 14, "2: 14"},
        {15, false, false, false, false, 3, "2: 3"},
        {30, false, false, true, true, -14, "1: -14"},
        {120, false, false, true, false, 40000, "3: 32767"},
        {30, false, false, true, false, -40000, "1: -32768"},
        {10, true, false, true, false, 50, ""},
        {60, false, true, true, false, -50, ""}};
    for (auto [length, custom, debug, musik, full, score, handedOver] : cases) {
        SCOPED_TRACE(score);
        settings.gameLength =
            length == 30 || length == 60 || length == 120 ? length : kUserDefinedLength;
        settings.music = musik, settings.fullScreen = full;
        settings.userDefinedConfirmed = custom, settings.debugMode = debug,
        settings.userDefined.seconds = length;
        host.handovers.clear();
        game.PlayOrAbort();
        music.calls.clear();
        state.score = score;
        for (int tick = 1; tick <= length; ++tick)
            game.ClockSecond();
        ASSERT_TRUE(state.Running() && state.secondsLeft == 0);
        game.ClockSecond();
        ExpectEnded();
        EXPECT_EQ(Menu().fullScreen.checked, full);
        EXPECT_EQ(music.calls, musik ? QStringList{"stoprewind"} : QStringList());
        QStringList shown;
        for (const auto& [table, text] : host.handovers)
            shown << QString::number(table) + ": " + QString::number(text);
        EXPECT_EQ(shown.join(""), handedOver);
        EXPECT_TRUE(!*handedOver ||
                    QString::number(state.finalScore) == QString(handedOver).section(' ', 1));
    }
}

TEST_F(GameTest, AnUnknownExtraKindEndsTheProgramAfterDrawingTheExtrasBeforeIt) {
    AddExtra(state, 1, "static", 0, 0);
    AddExtra(state, 1, "Static", 40, 0);
    game.PlayOrAbort();
    EXPECT_THROW(game.Tick(), ProgramExit);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title + platform.messages[0].text,
              "Fehler!'Extra' Fehler - Programm wird beendet");
    EXPECT_FALSE(game.InTick());
    EXPECT_TRUE(host.window.pixel(5, 5) == kExtraColour &&
                host.window.pixel(45, 5) != kExtraColour);
    EXPECT_EQ(host.windowRefreshes, 1) << "only the loading text was shown";
}

}  // namespace
}  // namespace wf
