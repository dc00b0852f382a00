// The rules of play without windows: aiming, hit tests, scoring, bird motion
// and the visibility of "sequenziell" extras.
#include <gtest/gtest.h>

#include "BirdMotion.h"
#include "ExtraVisibility.h"
#include "GameKit.h"
#include "PointerInput.h"
#include "ShotResolution.h"

namespace wf {
namespace {

using testkit::AddExtra;

const PlayArea kArea{640, 480, 80, 40};  // heights: trunc(R × 405)

TEST(ShotRules, PointerAimCellsAndTheBirdsPlusShape) {
    // Moves round halves to even; the aim point lies 16 units right of and
    // below the pointer, its cell truncated toward zero (-16..16 is cell 0).
    const std::tuple<double, int, int> aims[] = {{2.5, 2, 1},   {3.5, 4, 1},     {-0.5, 0, 0},
                                                 {-1.5, -2, 0}, {-32.0, -32, 0}, {-33.0, -33, -1},
                                                 {17.9, 18, 1}, {18.0, 18, 2}};
    for (auto [pointer, mouse, cell] : aims) {
        GameState s;
        PointerMoved(s, pointer, -pointer);
        ButtonReleased(s, PointerButton::Left, pointer, pointer);
        EXPECT_EQ(std::tuple(s.mouseX, s.mouseY, s.shotCellX, s.shotCellY),
                  std::tuple(mouse, -mouse, cell, cell))
            << "pointer at " << pointer << ": mouse x, y, shot cell x, y";
    }
    // (100, 50): its centre (144, 70) in cell (8, 4); (23, 13) at the last
    // unit of cell (3, 1); partly beyond the left edge the column truncates
    // toward zero.
    const std::tuple<int, int, int, int, bool> hits[] = {
        {100, 50, 8, 4, true},  {100, 50, 8, 3, true},   {100, 50, 8, 5, true},
        {100, 50, 7, 4, true},  {100, 50, 9, 4, true},   {100, 50, 9, 5, false},
        {100, 50, 7, 3, false}, {100, 50, 10, 4, false}, {100, 50, 8, 6, false},
        {100, 50, 6, 4, false}, {100, 50, 8, 2, false},  {23, 13, 3, 1, true},
        {24, 14, 3, 1, false},  {24, 14, 4, 2, true},    {-60, 0, 0, 1, true},
        {-61, 0, 1, 1, false},  {-61, 0, -1, 1, true}};
    for (auto [x, y, column, row, hit] : hits)
        EXPECT_EQ(BirdHitByCell(Bird{float(x), float(y)}, column, row), hit)
            << x << ": " << column << "," << row;
}

TEST(ShotRules, EveryHitScoresAndHitBirdsLeaveByTheirExitEdges) {
    GameState s;
    s.birds = {Bird{100, 50}, Bird{300, 300}, Bird{100, 50}};
    s.shotCellX = 8, s.shotCellY = 4;
    ScriptedRandom r;
    r.values = {0.5, 0.25};
    ResolveShot(s, kArea, r);
    EXPECT_EQ(std::pair(s.score, s.magazine), std::pair(int64_t{12}, 5));  // -2 + 7 + 7
    for (auto [i, x, y] : {std::tuple{0, -80, 202}, {1, 300, 300}, {2, 720, 101}})
        EXPECT_EQ(testkit::At(s.birds[i]), testkit::At({float(x), float(y)})) << "bird " << i + 1;

    // Extras score by their cells while shown (points 30), a destructable one
    // once; on backgrounds 1 and 10, none without a preset background.
    using Cells = QList<HitCell>;
    for (auto [bg, kind, state, destructable, cells, first, second, stateAfter] :
         {std::tuple{1, "static", 1, true, Cells{{3, 2}}, 28, -2, 49},
          {10, "static", 1, false, Cells{{3, 2}}, 28, 28, 1},
          {1, "sequenziell", 17, false, Cells{{3, 2}}, -2, -2, 17},  // hidden
          {1, "static", 49, false, Cells{{3, 2}}, -2, -2, 49},       // destroyed
          {1, "static", 1, false, Cells{{3, 2}, {3, 2}}, 58, 58, 1},
          {1, "static", 1, true, Cells{{3, 2}, {3, 2}}, 28, -2, 49},
          {1, "static", 1, true, Cells{{2, 2}, {3, 3}, {2, 3}}, -2, -2, 1},
          {0, "static", 1, false, Cells{{3, 2}}, -2, -2, 1}}) {
        GameState t;
        t.selectedBackground = bg;
        ExtraDef& extra = AddExtra(t, bg, kind, 0, 0, cells, 30, destructable);
        extra.extraState = state, extra.extraTimer = 50;
        t.shotCellX = 3, t.shotCellY = 2;
        ResolveShot(t, kArea, r);
        const int64_t firstScore = t.score;
        ResolveShot(t, kArea, r);
        EXPECT_EQ(std::tuple(firstScore, t.score - first, extra.extraState, extra.extraTimer),
                  std::tuple(int64_t{first}, int64_t{second}, stateAfter,
                             stateAfter == 49 && state == 1 ? 200 : 50))
            << "background " << bg << ", " << kind << " extra in state " << state
            << ": first score, second shot's points, state, timer";
    }
}

TEST(BirdMotion, BirdsReEnterOnlyBeyondTheEdgeBird3First) {
    // Birds 1 and 2 move 6 left, bird 3 six right; W + birdWidth = 720.
    const std::tuple<float, float, bool, bool> edges[] = {
        {-75.f, 714.f, true, false}, {-74.f, 715.f, false, true}, {-75.f, 715.f, true, true}};
    for (auto [left, right, leftOut, rightOut] : edges) {
        GameState s;
        s.birds = {Bird{left, 10}, Bird{left, 10}, Bird{right, 10}};
        ScriptedRandom r;
        r.values = {0.1, 0.5, 0.9};
        MoveBirds(s, kArea, r);
        float heights[] = {40, 202, 364}, *next = heights;  // drawn in the order of the tests
        EXPECT_EQ(s.birds[2].x, rightOut ? -80 : right + 6);
        EXPECT_EQ(s.birds[2].y, rightOut ? *next++ : 10);
        EXPECT_EQ(s.birds[1].x, leftOut ? 720 : left - 6);
        EXPECT_EQ(s.birds[1].y, leftOut ? *next++ : 10);
        EXPECT_EQ(s.birds[0].y, leftOut ? *next++ : 10);
    }
    ScriptedRandom r;
    r.values = {0.5};
    EXPECT_EQ(NewBirdHeight({640, 70, 80, 40}, r), -2);  // trunc(0.5 × -5) toward zero
}

TEST(ExtraVisibility, ShownForTheFirst77TicksThenByChance) {
    // On backgrounds 1 and 10, with the draw of the 78th tick: 1 in 490 shows.
    const std::tuple<int, double, bool> draws[] = {{1, 0.5, false},
                                                   {10, 0.0, false},
                                                   {1, 1.5 / 490, true},
                                                   {10, 1.999 / 490, true},
                                                   {1, 2.001 / 490, false}};
    for (auto [bg, draw, shownOn78] : draws) {
        GameState s;
        s.selectedBackground = bg;
        ExtraDef& extra = AddExtra(s, bg, "sequenziell", 0, 0);
        extra.extraTimer = kExtraTimerAtGameStart;
        ExtraDef& destroyed = AddExtra(s, bg, "sequenziell", 0, 0);
        destroyed.extraState = kExtraDestroyed, destroyed.extraTimer = kExtraTimerDestroyed;
        ScriptedRandom r;
        r.values = {draw};
        r.fallback = 1.5 / 490;
        for (int tick = 1; tick <= 77; ++tick) {
            ASSERT_EQ(UpdateExtraVisibility(s, r), 0);
            ASSERT_EQ(extra.extraState, kExtraShown) << tick;
        }
        EXPECT_EQ(r.draws, 0);
        UpdateExtraVisibility(s, r);
        EXPECT_EQ(std::pair(extra.extraState == kExtraShown, r.draws), std::pair(shownOn78, 1))
            << "draw " << draw << ": shown on tick 78, draws";
        EXPECT_EQ(destroyed.extraState, kExtraDestroyed);
        // A restart shows it for another 100 ticks, then the chance applies again.
        r.fallback = 0.5;
        for (int tick = 2; shownOn78 && tick <= 100; ++tick)
            ASSERT_TRUE(UpdateSequenziell(extra, r));
        EXPECT_EQ(r.draws, 1);
        EXPECT_FALSE(UpdateSequenziell(extra, r));
    }
}

}  // namespace
}  // namespace wf
