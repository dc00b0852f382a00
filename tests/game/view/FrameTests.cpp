// The pixels of a game frame on the synthetic picture set.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "Blit.h"
#include "FileLimits.h"
#include "FrameComposer.h"
#include "GameClock.h"
#include "GameKit.h"
#include "WorkingCopies.h"

namespace wf {
namespace {

using namespace testkit;
using Outcome = FrameComposer::Outcome;

constexpr int kW = 200, kH = 150;
constexpr QRgb kOrange = 0xFFE65A00u;

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FillSourceStore(stores, kW, kH);
        ASSERT_TRUE(MakeWindowCopies(stores));
        state.phase = GamePhase::Running, state.secondsLeft = 30;
        state.birds = {Bird{-300, -300}, Bird{-300, -300}, Bird{-300, -300}};  // unless placed
        state.mouseX = 150, state.mouseY = 90;
    }
    void GoFullScreen(int screenW, int screenH) {
        host.screen = QSize(screenW, screenH);
        host.full = Solid(screenW, screenH, kGrey);
        state.scaleX = FixedScale::Ratio(screenW, kW),
        state.scaleY = FixedScale::Ratio(screenH, kH);
        state.drawTarget = DrawTarget::FullScreenSurface;
        ASSERT_TRUE(MakeStretchedCopies(stores, state.scaleX, state.scaleY));
    }
    Outcome Compose() {
        UpdateCountdown(state);
        return composer.ComposeFrame();
    }
    const QImage& Frame() const {
        return state.drawTarget == DrawTarget::WindowSurface ? host.window : host.full;
    }
    const QImage& Work(int slot) const { return *stores.working.Picture(slot); }
    // Every pixel of a masked sprite at (x, y) against the background copy.
    void ExpectMasked(int x, int y, int sprite) {
        const QImage &s = Work(sprite), &m = Work(sprite + 1), &bg = Work(kBackgroundSlot);
        for (int i = 0; i < s.width() * s.height(); ++i) {
            const int dx = i % s.width(), dy = i / s.width();
            const QPoint p(x + dx, y + dy);
            if (!Frame().rect().contains(p))
                continue;
            const QRgb expected = ((bg.pixel(p) & m.pixel(dx, dy)) ^ s.pixel(dx, dy)) | 0xFF000000u;
            ASSERT_EQ(Frame().pixel(p), expected) << sprite << ": " << dx << "," << dy;
        }
    }
    ScriptedPlatform platform;
    GameState state;
    PictureStores stores;
    FakeGameHost host;
    FrameComposer composer{state, stores, host};
};

TEST_F(FrameTest, SpritesExtrasAndCartridgesStandAtTheirScaledPlaces) {
    // Where bird 1, bird 3, the cross-hair, the extra and two cartridges are
    // drawn; at 1.6: 241.6 to the nearest; the cartridges (offsets 10 − 4 and
    // 12 − 4, then 16 more for the second) moved back by the 6 pixels they
    // would stand past the screen's corner.
    for (const bool full : {false, true}) {
        const auto [bird1, bird3, cursor, extra, cartridge1, cartridge2] =
            full ? std::tuple{QPoint(8, 72),    QPoint(64, 160),  QPoint(242, 144),
                              QPoint(240, 192), QPoint(304, 221), QPoint(288, 221)}
                 : std::tuple{QPoint(5, 45),    QPoint(40, 100),  QPoint(151, 90),
                              QPoint(150, 120), QPoint(190, 138), QPoint(180, 138)};
        if (full)
            GoFullScreen(320, 240);
        state.birds = {Bird{5, 45}, Bird{100, 40}, Bird{40, 100}};
        state.mouseX = 151, state.magazine = 2;
        state.mod.backgrounds[1].extraCount = 0;
        AddExtra(state, 1, "static", 150, 120);
        AddExtra(state, 1, "static", 0, 0).extraState = kExtraDestroyed;
        AddExtra(state, 1, "static", 0, 40).extraState = 2;
        EXPECT_EQ(Compose(), Outcome::Shown);
        EXPECT_TRUE(host.windowRefreshes == 1 && host.fullRefreshes == (full ? 1 : 0));
        EXPECT_EQ(full ? host.shownFull : host.shownWindow, Frame());
        ExpectMasked(bird1.x(), bird1.y(), kLeftBirdSlot);
        ExpectMasked(bird3.x(), bird3.y(), kRightBirdSlot);
        ExpectMasked(cursor.x(), cursor.y(), kCursorSlot);
        EXPECT_EQ(Frame().pixel(bird3 + QPoint(44, 20) * (full ? 1.6 : 1)), kRightBirdColour)
            << "bird 3 has its own picture";
        // Exactly where they start: the extra, two cartridges and no third.
        for (auto [at, colour, shown] :
             {std::tuple{extra, kExtraColour, true},
              {extra - QPoint(1, 1), kExtraColour, false},
              {QPoint(5, 5) * (full ? 1.6 : 1), kExtraColour, false},   // destroyed
              {QPoint(5, 45) * (full ? 1.6 : 1), kExtraColour, false},  // hidden
              {cartridge1, kCartridgeColour, true},
              {cartridge2, kCartridgeColour, true},
              {Frame().rect().bottomRight(), kCartridgeColour, true},  // seen whole
              {cartridge1 - QPoint(0, 1), kCartridgeColour, false},
              {cartridge2 - QPoint(1, 0), kCartridgeColour, false},
              {2 * cartridge2 - cartridge1, kCartridgeColour, false}})
            EXPECT_EQ(Frame().pixel(at) == colour, shown) << at.x() << "," << at.y();
    }
}

TEST_F(FrameTest, CountdownAndScoreAreDrawnExactly) {
    // The top rows hold only the background and the two texts in black: the
    // countdown at the left edge, the score 10 (20 in full screen) from the right.
    for (auto [secondsLeft, score, countdown, full] : {std::tuple{30, 1234, "0.30", false},
                                                       {65, -7, "1.05", false},
                                                       {70, 10, "1.10", false},
                                                       {0, 98765, "0.00", false},
                                                       {9, 0, "0.09", true},
                                                       {610, -40, "10.10", true}}) {
        SCOPED_TRACE(countdown);
        if (full)
            GoFullScreen(320, 240);
        state.secondsLeft = secondsLeft, state.score = score;
        Compose();
        QFont font(QStringLiteral("Verdana"), full ? 240 / 20 : 20, QFont::Bold);
        font.setStyleStrategy(QFont::NoAntialias);
        const QString text = QString::number(score);
        QImage expected = Work(kBackgroundSlot).copy(0, 0, Frame().width(), 40);
        Blit::Text(expected, 0, 0, QString::fromLatin1(countdown), font, Qt::black);
        Blit::Text(expected, expected.width() - Blit::TextWidth(font, text) - (full ? 20 : 10), 0,
                   text, font, Qt::black);
        EXPECT_TRUE(Frame().copy(0, 0, Frame().width(), 40) == expected);
    }
}

TEST_F(FrameTest, EarlyStopsShowNothing) {
    // An ended clock stops before the texts; no running game after the texts
    // and cartridges but before the birds.
    AddExtra(state, 1, "static", 60, 60);
    state.birds = {Bird{5, 45}, Bird{100, 40}, Bird{40, 100}};
    for (auto [running, secondsLeft, outcome] :
         {std::tuple{true, -1, Outcome::ClockOver}, {false, 30, Outcome::NotRunning}}) {
        host.window = Solid(kW, kH, kGrey);
        state.phase = running ? GamePhase::Running : GamePhase::Idle,
        state.secondsLeft = secondsLeft;
        EXPECT_EQ(Compose(), outcome);
        const int dark =
            CountPixels(host.window.copy(0, 0, kW, 40), [](QRgb p) { return qGray(p) < 90; });
        EXPECT_TRUE(host.windowRefreshes == 0 && (dark > 20) == !running &&
                    (host.window.pixel(kW - 1, kH - 1) == kCartridgeColour) == !running);
        EXPECT_TRUE(host.window.pixel(65, 65) == kExtraColour &&
                    host.window.pixel(5 + 44, 45 + 20) != kLeftBirdColour &&
                    host.window.pixel(153, 93) != kCursorColour);
    }
}

TEST_F(FrameTest, DebugOverlayMarksTheHitCellsOnTheGrid) {
    state.debugMode = true, state.magazine = 0;
    // Each hit point of bird 1 at the last unit of its cell, so that any
    // other offset marks another cell: its centre (169, 84) is in cell (9, 4).
    state.birds[0] = Bird{125, 64};
    AddExtra(state, 1, "static", 0, 0, {{2, 6}}).extraState = 3;  // hidden, still marked
    const std::set<std::pair<int, int>> cells = {{9, 4}, {10, 4}, {9, 5}, {9, 3}, {8, 4}, {2, 6}};
    for (auto [style, screenW, screenH] :
         {std::tuple{2, kW, kH}, {1, kW, kH}, {0, kW, kH}, {2, 320, 240}, {1, 340, 225}}) {
        SCOPED_TRACE(testing::Message() << style << " at " << screenW);
        if (screenW != kW)
            GoFullScreen(screenW, screenH);
        state.debugStyle = static_cast<uint8_t>(style);
        Compose();
        const QImage& f = Frame();
        const double sx = state.scaleX.value(), sy = state.scaleY.value();
        // Grid lines every 17 units, two pixels wide in full screen, met
        // along the left edge below the texts and along the bottom edge.
        std::vector<int> rows, columns, expectedRows, expectedColumns;
        for (int i = 0; i < std::max(f.height(), f.width()); ++i) {
            if (i >= 30 && i < f.height() && (f.pixel(1, i) & 0xFFFFFF) == 0)
                rows.push_back(i);
            if (i < f.width() && (f.pixel(i, f.height() - 3) & 0xFFFFFF) == 0)
                columns.push_back(i);
        }
        for (int i = 1; i <= kW / 17; ++i) {
            for (int t = 0; t < (screenW == kW ? 1 : 2); ++t) {
                if (i <= kH / 17 && int(sy * 17 * i) + t >= 30)
                    expectedRows.push_back(int(sy * 17 * i) + t);
                expectedColumns.push_back(int(sx * 17 * i) + t);
            }
        }
        EXPECT_TRUE(rows == expectedRows && columns == expectedColumns);
        // Style 2 fills the cell inside its grid lines, 1 crosses it, other
        // styles mark nothing.
        std::map<std::pair<int, int>, QRect> marked;
        for (int i = 0; i < f.width() * f.height(); ++i) {
            const int x = i % f.width(), y = i / f.width();
            if (f.pixel(x, y) == kOrange)
                marked[{int(x / sx / 17), int(y / sy / 17)}] |= QRect(x, y, 1, 1);
        }
        EXPECT_TRUE(style == 1 || marked.size() == (style ? cells.size() : 0));
        for (const auto& [column, row] : cells) {
            const QPoint from(std::lround(sx * (17 * column + 1)),
                              std::lround(sy * (17 * row + 1)));
            const QPoint to(std::lround(sx * (17 * column + 16)),
                            std::lround(sy * (17 * row + 16)));
            const QRect box = marked[{column, row}];
            // A cross: its middle marked, the middle of its top edge not.
            EXPECT_TRUE(style != 2 || box == QRect(from, to)) << column << "," << row;
            EXPECT_TRUE(style != 1 || (f.pixel((from + to) / 2) == kOrange &&
                                       f.pixel((from.x() + to.x()) / 2, from.y()) != kOrange))
                << column << "," << row;
        }
        EXPECT_NE(f.pixel(5, 5), kExtraColour);  // the hidden extra is not drawn
    }
}

TEST_F(FrameTest, ExtrasAndMarksFarOutsideAreClippedAway) {
    // The largest positions a MOD may give, and beyond (a definition made in
    // code is not checked), in window mode and at a large full-screen scale.
    state.debugMode = true;
    for (const int scale : {1, 16}) {
        if (scale > 1)
            GoFullScreen(kW * scale, kH * scale);
        state.mod.backgrounds[1].extraCount = 0;
        AddExtra(state, 1, "static", kW - 3, 60, {{INT32_MAX, INT32_MAX}});
        for (const int32_t far : {kMaxPlayPosition, INT32_MAX - 1, INT32_MAX})
            AddExtra(state, 1, "static", far, far, {{far, far}});
        EXPECT_EQ(Compose(), Outcome::Shown);
        // The extra at the edge shows its first three columns, scaled.
        EXPECT_TRUE(Frame().pixel(Frame().width() - 1, 61 * scale) == kExtraColour &&
                    Frame().pixel((kW - 3) * scale, 61 * scale) == kExtraColour &&
                    Frame().pixel((kW - 3) * scale - 1, 61 * scale) != kExtraColour)
            << scale;
    }
}

}  // namespace
}  // namespace wf
