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

TEST(PointerInput, MoveRoundsToNearestWithHalvesToEven) {
    GameState s;
    const struct {
        double in;
        int out;
    } cases[] = {{2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {10.49, 10}, {10.51, 11}};
    for (const auto& c : cases) {
        PointerMoved(s, c.in, c.in);
        EXPECT_EQ(s.mouseX, c.out) << c.in;
        EXPECT_EQ(s.mouseY, c.out) << c.in;
    }
}

TEST(PointerInput, LeftReleaseRecordsTheAimCell) {
    // The aim point lies 16 units right of and below the pointer; cells
    // truncate toward zero, so -16..16 all fall into cell 0.
    const struct {
        double pointer;
        int cell;
    } cases[] = {{0, 0}, {1, 1}, {-32, 0}, {-33, -1}, {17.9, 1}, {18, 2}, {84, 5}};
    for (const auto& c : cases) {
        GameState s;
        ButtonReleased(s, kLeftButton, c.pointer, 0);
        EXPECT_TRUE(s.shotPending);
        EXPECT_EQ(s.shotCellX, c.cell) << c.pointer;
        EXPECT_EQ(s.shotCellY, 0);
        EXPECT_EQ(s.magazine, kMagazineSize);  // nothing fires on release
        EXPECT_EQ(s.score, 0);
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

TEST(PointerInput, OtherButtonsAreIgnored) {
    GameState s;
    s.magazine = 0;
    for (int button : {0, 3, 4, 16}) {
        ButtonReleased(s, button, 100, 100);
        EXPECT_FALSE(s.shotPending);
        EXPECT_EQ(s.magazine, 0);
        EXPECT_EQ(s.shotCellX, 0);
    }
}

TEST(ShotRules, BirdIsHitInAPlusShapeAroundItsCentreCell) {
    const Bird bird{100, 50};  // centre (144, 70): cell (8, 4)
    const struct {
        int x, y;
        bool hit;
    } cases[] = {{8, 4, true},  {8, 3, true},  {8, 5, true},   {7, 4, true},  {9, 4, true},
                 {9, 5, false}, {7, 3, false}, {10, 4, false}, {8, 6, false}, {6, 4, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(BirdHitByCell(bird, c.x, c.y), c.hit) << c.x << "," << c.y;
    }
}

TEST(ShotRules, BirdPartlyBeyondTheLeftEdgeHasCentreColumnZero) {
    EXPECT_TRUE(BirdHitByCell(Bird{-60, 0}, 0, 1));   // x + 44 = -16
    EXPECT_TRUE(BirdHitByCell(Bird{-28, 0}, 0, 1));   // x + 44 = 16
    EXPECT_FALSE(BirdHitByCell(Bird{-61, 0}, 1, 1));  // x + 44 = -17: column -1
    EXPECT_TRUE(BirdHitByCell(Bird{-61, 0}, -1, 1));
}

TEST(ShotRules, TwoBirdsInOneShotScoreTwelveAndLeaveByTheirExitEdges) {
    GameState s;
    s.birds = {Bird{100, 50}, Bird{100, 50}, Bird{100, 50}};
    s.birds[2] = Bird{300, 300};
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
    EXPECT_EQ(s.birds[1].y, 101);  // trunc(0.25 × 405)
    EXPECT_EQ(s.birds[2].x, 300);
    EXPECT_EQ(r.draws, 2);
}

TEST(ShotRules, HitBirdThreeGoesToTheRightEdge) {
    GameState s;
    s.birds = {Bird{500, 400}, Bird{500, 400}, Bird{100, 50}};
    s.shotCellX = 9;
    s.shotCellY = 4;
    ScriptedRandom r;
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

struct ExtraCase {
    const char* name;
    const char* kind;
    int state;
    bool destructable;
    QList<HitCell> cells;
    int firstScore;
    int secondScore;  // a second shot at the same cell
    int stateAfter;
};

TEST(ShotRules, ExtrasScoreByTheirCellsAndState) {
    const ExtraCase cases[] = {
        {"destructable", "static", 1, true, {{3, 2}}, 30 - 2, -2, 49},
        {"not destructable", "static", 1, false, {{3, 2}}, 30 - 2, 30 - 2, 1},
        {"hidden sequenziell", "sequenziell", 17, false, {{3, 2}}, -2, -2, 17},
        {"destroyed", "static", 49, false, {{3, 2}}, -2, -2, 49},
        {"cell listed twice", "static", 1, false, {{3, 2}, {3, 2}}, 60 - 2, 60 - 2, 1},
        {"twice, destructable", "static", 1, true, {{3, 2}, {3, 2}}, 30 - 2, -2, 49},
        {"other cell", "static", 1, true, {{2, 3}, {4, 2}}, -2, -2, 1},
    };
    for (const ExtraCase& c : cases) {
        GameState s;
        s.selectedBackground = 2;
        s.birds = {Bird{500, 400}, Bird{500, 400}, Bird{500, 400}};
        ExtraDef& extra = AddExtra(s, 2, 22, c.kind, 0, 0, c.cells, 30, c.destructable);
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

TEST(ShotRules, NoExtrasWithoutAPresetBackground) {
    GameState s;
    s.selectedBackground = 0;
    s.birds = {Bird{500, 400}, Bird{500, 400}, Bird{500, 400}};
    AddExtra(s, 0, 22, "static", 0, 0, {{3, 2}}, 30, false);
    s.shotCellX = 3;
    s.shotCellY = 2;
    ScriptedRandom r;
    ResolveShot(s, kArea, r, nullptr, QString());
    EXPECT_EQ(s.score, -2);
}

TEST(BirdMotion, PlacementDrawsHeightsInBirdOrder) {
    GameState s;
    ScriptedRandom r;
    r.values = {0.1, 0.5, 0.9};
    PlaceBirds(s, kArea, r);
    EXPECT_EQ(s.birds[0].x, 640);
    EXPECT_EQ(s.birds[1].x, 640);
    EXPECT_EQ(s.birds[2].x, -80);
    EXPECT_EQ(s.birds[0].y, 40);   // trunc(40.5)
    EXPECT_EQ(s.birds[1].y, 202);  // trunc(202.5)
    EXPECT_EQ(s.birds[2].y, 364);  // trunc(364.5)
}

TEST(BirdMotion, LeftBirdsReEnterOnlyBeyondTheEdge) {
    // Before the move; after the move x is 6 less.
    const struct {
        float before;
        bool reenters;
    } cases[] = {{-75, true}, {-74, false}, {100, false}};  // after: -81, -80, 94
    for (const auto& c : cases) {
        GameState s;
        s.birds = {Bird{c.before, 10}, Bird{c.before, 10}, Bird{0, 10}};
        ScriptedRandom r;
        r.values = {0.5, 0.25};
        MoveBirds(s, kArea, r);
        for (int i = 0; i < 2; ++i) {
            if (c.reenters) {
                EXPECT_EQ(s.birds[i].x, 640 + 80) << c.before;
            } else {
                EXPECT_EQ(s.birds[i].x, c.before - 6) << c.before;
                EXPECT_EQ(s.birds[i].y, 10);
            }
        }
        if (c.reenters) {
            // Bird 2 is tested before bird 1 and draws first.
            EXPECT_EQ(s.birds[1].y, 202);
            EXPECT_EQ(s.birds[0].y, 101);
        }
        EXPECT_EQ(s.birds[2].x, 6);
    }
}

TEST(BirdMotion, RightBirdReEntersOnlyBeyondTheRightEdge) {
    GameState s;
    s.birds = {Bird{300, 0}, Bird{300, 0}, Bird{714, 0}};  // after: 720 = W + birdWidth
    ScriptedRandom r;
    r.values = {0.5};
    MoveBirds(s, kArea, r);
    EXPECT_EQ(s.birds[2].x, 720);
    EXPECT_EQ(r.draws, 0);
    MoveBirds(s, kArea, r);
    EXPECT_EQ(s.birds[2].x, -80);
    EXPECT_EQ(s.birds[2].y, 202);
}

TEST(BirdMotion, ReEntryOrderIsBirdThreeThenTwoThenOne) {
    GameState s;
    s.birds = {Bird{-80, 0}, Bird{-80, 0}, Bird{720, 0}};
    ScriptedRandom r;
    r.values = {0.1, 0.5, 0.9};
    MoveBirds(s, kArea, r);
    EXPECT_EQ(s.birds[2].y, 40);
    EXPECT_EQ(s.birds[1].y, 202);
    EXPECT_EQ(s.birds[0].y, 364);
}

TEST(BirdMotion, ALowSurfaceGivesHeightsAtOrAboveTheTop) {
    ScriptedRandom r;
    r.values = {0.5, 0.0};
    const PlayArea low{640, 70, 80, 40};   // 70 − 40 − 35 = −5
    EXPECT_EQ(NewBirdHeight(low, r), -2);  // trunc(−2.5) toward zero
    EXPECT_EQ(NewBirdHeight(low, r), 0);
}

TEST(BirdMotion, AReEnteredBirdCrossesIn134TicksAt640By80) {
    GameState s;
    s.birds = {Bird{720, 0}, Bird{720, 0}, Bird{-80, 0}};
    ScriptedRandom r;
    int ticks = 0;
    do {
        MoveBirds(s, kArea, r);
        ++ticks;
    } while (r.draws == 0 && ticks < 1000);
    EXPECT_EQ(ticks, 134);
    EXPECT_EQ(r.draws, 3);
}

TEST(ExtraVisibility, ShownForTheFirst77TicksThenByChance) {
    const struct {
        double draw;
        bool shownOn78;
    } cases[] = {{0.5, false},
                 {0.0, false},
                 {1.5 / 490.0, true},
                 {1.999 / 490.0, true},
                 {2.001 / 490.0, false}};
    for (const auto& c : cases) {
        ExtraDef extra;
        extra.extraKind = "sequenziell";
        extra.extraState = 1;
        extra.extraTimer = 23;  // as every game starts
        ScriptedRandom r;
        r.values = {c.draw, 0.5};
        for (int tick = 1; tick <= 77; ++tick)
            ASSERT_TRUE(UpdateSequenziell(extra, r)) << tick;
        EXPECT_EQ(extra.extraTimer, 100);
        EXPECT_EQ(r.draws, 0);
        EXPECT_EQ(UpdateSequenziell(extra, r), c.shownOn78) << c.draw;
        EXPECT_EQ(r.draws, 1);
        if (!c.shownOn78)
            continue;
        // A restart shows it for another 100 ticks, then the chance applies again.
        EXPECT_EQ(extra.extraTimer, 1);
        for (int tick = 2; tick <= 100; ++tick)
            ASSERT_TRUE(UpdateSequenziell(extra, r));
        EXPECT_EQ(r.draws, 1);
        EXPECT_FALSE(UpdateSequenziell(extra, r));
        EXPECT_EQ(r.draws, 2);
    }
}

TEST(ExtraVisibility, AHiddenExtraDrawsEveryTickAndADestroyedOneNever) {
    ExtraDef hidden;
    hidden.extraState = 300;
    hidden.extraTimer = 100;
    ScriptedRandom r;
    r.fallback = 0.5;
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(UpdateSequenziell(hidden, r));
    EXPECT_EQ(r.draws, 5);

    ExtraDef destroyed;
    destroyed.extraState = 49;
    destroyed.extraTimer = 200;
    ScriptedRandom r2;
    r2.fallback = 1.5 / 490.0;
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(UpdateSequenziell(destroyed, r2));
    EXPECT_EQ(r2.draws, 0);
}

TEST(GameClock, EndsOnTickGameLengthPlusOne) {
    GameState s;
    s.gameLength = s.secondsLeft = 60;
    for (int tick = 1; tick <= 60; ++tick) {
        ASSERT_FALSE(AdvanceClock(s)) << tick;
        EXPECT_EQ(s.secondsLeft, 60 - tick);
    }
    EXPECT_TRUE(AdvanceClock(s));
    EXPECT_EQ(s.secondsLeft, -1);
}

TEST(GameClock, ScoreSaturatesToSixteenBits) {
    const struct {
        int64_t in;
        int16_t out;
    } cases[] = {{0, 0},           {-14, -14},         {32767, 32767},
                 {32768, 32767},   {40000, 32767},     {-32768, -32768},
                 {-32769, -32768}, {INT64_MAX, 32767}, {INT64_MIN, -32768}};
    for (const auto& c : cases)
        EXPECT_EQ(SaturatedScore(c.in), c.out) << c.in;
}

TEST(GameClock, TableByGameLength) {
    EXPECT_EQ(HighscoreTableFor(30, 0), 1);
    EXPECT_EQ(HighscoreTableFor(60, 0), 2);
    EXPECT_EQ(HighscoreTableFor(120, 0), 3);
    EXPECT_EQ(HighscoreTableFor(45, 2), 2);
    EXPECT_EQ(HighscoreTableFor(360, 0), 0);
}

}  // namespace
}  // namespace wf
