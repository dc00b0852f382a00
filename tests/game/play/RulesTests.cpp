// The game rules without windows: pointer input, hit tests, shot scoring,
// bird motion, the visibility schedule of "sequenziell" extras, the clock.
#include <gtest/gtest.h>

#include "BirdMotion.h"
#include "ExtraVisibility.h"
#include "GameClock.h"
#include "GameTestKit.h"
#include "PointerInput.h"
#include "ShotResolution.h"

namespace wf {
namespace {

using testkit::AddExtra;

const PlayArea kArea{640, 480, 80, 40};

TEST(PointerInput, MoveRoundsHalvesToEvenAndLeftReleaseRecordsTheAimCell) {
    GameState s;
    for (auto [in, out] : {std::pair{2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {10.51, 11}}) {
        PointerMoved(s, in, in);
        EXPECT_EQ(s.mouseX, out) << in;
        EXPECT_EQ(s.mouseY, out) << in;
    }
    // The aim point lies 16 units right of and below the pointer; cells
    // truncate toward zero, so -16..16 all fall into cell 0.
    for (auto [pointer, cell] :
         {std::pair{0.0, 0}, {-32.0, 0}, {-33.0, -1}, {17.9, 1}, {18.0, 2}}) {
        GameState t;
        ButtonReleased(t, kLeftButton, pointer, 0);
        EXPECT_TRUE(t.shotPending);
        EXPECT_EQ(t.shotCellX, cell) << pointer;
        EXPECT_EQ(t.shotCellY, 0);
        EXPECT_EQ(t.magazine, kMagazineSize);  // nothing fires on release
    }
}

TEST(PointerInput, RightReleaseDropsTheShotAndRefillsOnlyAnEmptyMagazine) {
    GameState s;
    s.magazine = 3;
    s.shotPending = true;
    ButtonReleased(s, kRightButton, 5, 5);
    EXPECT_FALSE(s.shotPending);
    EXPECT_EQ(s.magazine, 3);
    s.magazine = 0;
    ButtonReleased(s, kRightButton, 5, 5);
    EXPECT_EQ(s.magazine, kMagazineSize);
}

TEST(ShotRules, BirdIsHitInAPlusShapeAroundItsCentreCell) {
    const Bird bird{100, 50};  // centre (144, 70): cell (8, 4)
    const struct {
        Bird bird;
        int x, y;
        bool hit;
    } cases[] = {
        {bird, 8, 4, true},
        {bird, 8, 3, true},
        {bird, 8, 5, true},
        {bird, 7, 4, true},
        {bird, 9, 4, true},
        {bird, 9, 5, false},
        {bird, 7, 3, false},
        {bird, 10, 4, false},
        {bird, 8, 6, false},
        // Partly beyond the left edge the centre column truncates toward zero.
        {{-60, 0}, 0, 1, true},
        {{-61, 0}, 1, 1, false},
        {{-61, 0}, -1, 1, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BirdHitByCell(c.bird, c.x, c.y), c.hit) << c.bird.x << ": " << c.x << "," << c.y;
}

TEST(ShotRules, TwoBirdsInOneShotScoreTwelveAndLeaveByTheirExitEdges) {
    GameState s;
    s.birds = {Bird{100, 50}, Bird{100, 50}, Bird{300, 300}};
    s.shotCellX = 8;
    s.shotCellY = 4;
    s.shotPending = true;
    ScriptedRandom r;
    r.values = {0.5, 0.25};
    ResolveShot(s, kArea, r, nullptr, QString());
    EXPECT_EQ(s.score, 12);
    EXPECT_FALSE(s.shotPending);
    EXPECT_EQ(s.magazine, 5);
    EXPECT_EQ(s.birds[0].x, -80);
    EXPECT_EQ(s.birds[0].y, 202);  // trunc(0.5 × (480 − 40 − 35))
    EXPECT_EQ(s.birds[1].x, -80);
    EXPECT_EQ(s.birds[1].y, 101);
    EXPECT_EQ(s.birds[2].x, 300);

    // Bird 3 leaves by the right edge.
    s.birds = {Bird{500, 400}, Bird{500, 400}, Bird{100, 50}};
    s.score = 0;
    ResolveShot(s, kArea, r, nullptr, QString());
    EXPECT_EQ(s.score, 5);
    EXPECT_EQ(s.birds[2].x, 640 + 80);
}

TEST(ShotRules, AMissCostsTwoPointsAndPlaysTheSoundWhenGiven) {
    GameState s;
    s.birds = {Bird{100, 50}, Bird{100, 50}, Bird{100, 50}};
    s.shotCellX = 9;
    s.shotCellY = 5;
    ScriptedRandom r;
    SilentSound sound;
    ResolveShot(s, kArea, r, &sound, QStringLiteral("/mod/schuss.wav"));
    EXPECT_EQ(s.score, -2);
    EXPECT_EQ(sound.played, QStringList{"/mod/schuss.wav"});
    EXPECT_EQ(r.draws, 0);
}

TEST(ShotRules, ExtrasScoreByTheirCellsAndState) {
    const struct {
        const char* name;
        int background;
        const char* kind;
        int state;
        bool destructable;
        QList<HitCell> cells;
        int firstScore;
        int secondScore;  // a second shot at the same cell
        int stateAfter;
    } cases[] = {
        {"destructable", 2, "static", 1, true, {{3, 2}}, 30 - 2, -2, 49},
        {"not destructable", 2, "static", 1, false, {{3, 2}}, 30 - 2, 30 - 2, 1},
        {"hidden sequenziell", 2, "sequenziell", 17, false, {{3, 2}}, -2, -2, 17},
        {"destroyed", 2, "static", 49, false, {{3, 2}}, -2, -2, 49},
        {"cell listed twice", 2, "static", 1, false, {{3, 2}, {3, 2}}, 60 - 2, 60 - 2, 1},
        {"twice, destructable", 2, "static", 1, true, {{3, 2}, {3, 2}}, 30 - 2, -2, 49},
        {"other cell", 2, "static", 1, true, {{2, 3}, {4, 2}}, -2, -2, 1},
        {"no preset background", 0, "static", 1, false, {{3, 2}}, -2, -2, 1},
    };
    for (const auto& c : cases) {
        GameState s;
        s.selectedBackground = c.background;
        s.birds = {Bird{500, 400}, Bird{500, 400}, Bird{500, 400}};
        ExtraDef& extra =
            AddExtra(s, c.background, kFirstExtraSlot, c.kind, 0, 0, c.cells, 30, c.destructable);
        extra.extraState = c.state;
        extra.extraTimer = 50;
        s.shotCellX = 3;
        s.shotCellY = 2;
        ScriptedRandom r;
        ResolveShot(s, kArea, r, nullptr, QString());
        EXPECT_EQ(s.score, c.firstScore) << c.name;
        s.score = 0;
        ResolveShot(s, kArea, r, nullptr, QString());
        EXPECT_EQ(s.score, c.secondScore) << c.name;
        EXPECT_EQ(extra.extraState, c.stateAfter) << c.name;
        if (c.stateAfter == 49 && c.state == 1) {
            EXPECT_EQ(extra.extraTimer, 200) << c.name;
        }
    }
}

TEST(BirdMotion, PlacementAndReEntryDrawHeightsInTheirOrder) {
    GameState s;
    ScriptedRandom r;
    r.values = {0.1, 0.5, 0.9};
    PlaceBirds(s, kArea, r);
    EXPECT_EQ(s.birds[0].x, 640);
    EXPECT_EQ(s.birds[2].x, -80);
    EXPECT_EQ(s.birds[0].y, 40);  // trunc(40.5)
    EXPECT_EQ(s.birds[1].y, 202);
    EXPECT_EQ(s.birds[2].y, 364);

    // Re-entry tests bird 3 first, then 2, then 1.
    s.birds = {Bird{-80, 0}, Bird{-80, 0}, Bird{720, 0}};
    r.values = {0.1, 0.5, 0.9};
    MoveBirds(s, kArea, r);
    EXPECT_EQ(s.birds[2].y, 40);
    EXPECT_EQ(s.birds[1].y, 202);
    EXPECT_EQ(s.birds[0].y, 364);

    const PlayArea low{640, 70, 80, 40};  // 70 − 40 − 35 = −5
    r.values = {0.5};
    EXPECT_EQ(NewBirdHeight(low, r), -2);  // trunc(−2.5) toward zero
}

TEST(BirdMotion, BirdsReEnterOnlyBeyondTheEdge) {
    // Left birds move 6 left, the right one 6 right; W + birdWidth = 720.
    const struct {
        float left, right;
        bool leftReenters, rightReenters;
    } cases[] = {{-75, 714, true, false}, {-74, 715, false, true}, {100, 300, false, false}};
    for (const auto& c : cases) {
        GameState s;
        s.birds = {Bird{c.left, 10}, Bird{c.left, 10}, Bird{c.right, 10}};
        ScriptedRandom r;
        r.fallback = 0.5;
        MoveBirds(s, kArea, r);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(s.birds[i].x, c.leftReenters ? 720 : c.left - 6) << c.left;
        EXPECT_EQ(s.birds[2].x, c.rightReenters ? -80 : c.right + 6) << c.right;
        EXPECT_EQ(r.draws, (c.leftReenters ? 2 : 0) + (c.rightReenters ? 1 : 0));
        if (!c.leftReenters) {
            EXPECT_EQ(s.birds[0].y, 10);
        }
    }
}

TEST(ExtraVisibility, ShownForTheFirst77TicksThenByChance) {
    for (auto [draw, shownOn78] : {std::pair{0.5, false},
                                   {0.0, false},
                                   {1.5 / 490.0, true},
                                   {1.999 / 490.0, true},
                                   {2.001 / 490.0, false}}) {
        ExtraDef extra;
        extra.extraKind = "sequenziell";
        extra.extraState = kExtraShown;
        extra.extraTimer = kExtraTimerAtGameStart;
        ScriptedRandom r;
        r.values = {draw, 0.5};
        for (int tick = 1; tick <= 77; ++tick)
            ASSERT_TRUE(UpdateSequenziell(extra, r)) << tick;
        EXPECT_EQ(r.draws, 0);
        EXPECT_EQ(UpdateSequenziell(extra, r), shownOn78) << draw;
        EXPECT_EQ(r.draws, 1);
        if (!shownOn78)
            continue;
        // A restart shows it for another 100 ticks, then the chance applies again.
        for (int tick = 2; tick <= 100; ++tick)
            ASSERT_TRUE(UpdateSequenziell(extra, r));
        EXPECT_EQ(r.draws, 1);
        EXPECT_FALSE(UpdateSequenziell(extra, r));
    }

    ExtraDef destroyed;
    destroyed.extraState = kExtraDestroyed;
    destroyed.extraTimer = kExtraTimerDestroyed;
    ScriptedRandom r;
    r.fallback = 1.5 / 490.0;
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(UpdateSequenziell(destroyed, r));
    EXPECT_EQ(r.draws, 0);
}

TEST(GameClock, CountdownPartsFollowTheSecondsLeft) {
    const struct {
        int left, minutes, seconds;
        const char* zero;
    } cases[] = {{65, 1, 5, "0"}, {60, 1, 0, "0"}, {75, 1, 15, ""}, {-1, 0, -1, "0"}};
    GameState state;
    for (const auto& c : cases) {
        state.secondsLeft = c.left;
        UpdateCountdown(state);
        EXPECT_EQ(state.countdownMinutes, c.minutes) << c.left;
        EXPECT_EQ(state.countdownSeconds, c.seconds) << c.left;
        EXPECT_EQ(state.countdownLeadingZero, c.zero) << c.left;
    }
}

TEST(GameClock, ScoreSaturatesAndTheTableFollowsTheLength) {
    for (auto [in, out] : {std::pair<int64_t, int16_t>{32767, 32767},
                           {32768, 32767},
                           {-32769, -32768},
                           {INT64_MAX, 32767},
                           {INT64_MIN, -32768}})
        EXPECT_EQ(SaturatedScore(in), out) << in;
    EXPECT_EQ(HighscoreTableFor(45, 2), 2);  // another length keeps the last table
    EXPECT_EQ(HighscoreTableFor(360, 0), 0);
}

}  // namespace
}  // namespace wf
