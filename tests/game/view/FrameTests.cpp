// The pixels of a game frame on the synthetic picture set, and that a running
// game's frame allocates nothing (counted by replacing the global allocation
// functions of this program).
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <new>
#include <set>
#include <tuple>

#include "Blit.h"
#include "FileLimits.h"
#include "FrameComposer.h"
#include "GameClock.h"
#include "GameKit.h"
#include "WorkingCopies.h"

namespace {
long g_allocations = 0;
bool g_counting = false;
}  // namespace

void* operator new(std::size_t size) {
    g_allocations += g_counting ? 1 : 0;
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

using namespace testkit;
using Outcome = FrameComposer::Outcome;

constexpr int kW = 200, kH = 150;
constexpr QRgb kOrange = 0xFFE65A00u;

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FillSourceStore(stores, kW, kH);
        ASSERT_TRUE(MakeWindowCopies(stores));
        state.gameRunning = true;
        state.secondsLeft = 30;
        state.birds = {Bird{-300, -300}, Bird{-300, -300}, Bird{-300, -300}};  // unless placed
        state.mouseX = 150, state.mouseY = 90;
    }
    void GoFullScreen(int screenW, int screenH) {
        host.screen = QSize(screenW, screenH);
        host.full = Filled(screenW, screenH, kGrey);
        state.scaleX = FixedScale::Ratio(screenW, kW);
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
    const QImage& Work(int slot) const { return *stores.RESSOURCEN2.SlotDC(slot); }
    // Every pixel of a masked sprite at (x, y) against the background copy.
    void ExpectMasked(int x, int y, int sprite) {
        const QImage &s = Work(sprite), &m = Work(sprite + 1), &bg = Work(kBackgroundSlot);
        for (int dy = 0; dy < s.height(); ++dy) {
            for (int dx = 0; dx < s.width(); ++dx) {
                const QPoint p(x + dx, y + dy);
                if (!Frame().rect().contains(p))
                    continue;
                const QRgb expected =
                    ((bg.pixel(p) & m.pixel(dx, dy)) ^ s.pixel(dx, dy)) | 0xFF000000u;
                ASSERT_EQ(Frame().pixel(p), expected) << sprite << ": " << dx << "," << dy;
            }
        }
    }
    ScriptedPlatform platform;
    GameState state;
    PictureStores stores;
    FakeGameHost host;
    FrameComposer composer{state, stores, host};
};

TEST_F(FrameTest, SpritesExtrasAndCartridgesStandAtTheirScaledPlaces) {
    const struct {
        QSize screen;
        QPoint bird1, bird3, cursor, extra, cartridge1, cartridge2;  // where they are drawn
    } cases[] = {
        {{kW, kH}, {5, 45}, {40, 100}, {151, 90}, {150, 120}, {190, 138}, {180, 138}},
        // 1.6: 241.6 to the nearest; cartridge offsets 10 − 4 and 12 − 4,
        // then 16 more for the second.
        {{320, 240}, {8, 72}, {64, 160}, {242, 144}, {240, 192}, {310, 227}, {294, 227}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.screen.width());
        if (c.screen.width() != kW)
            GoFullScreen(c.screen.width(), c.screen.height());
        state.birds = {Bird{5, 45}, Bird{100, 40}, Bird{40, 100}};
        state.mouseX = 151, state.magazine = 2;
        state.mod.backgrounds[1].extraCount = 0;
        AddExtra(state, 1, "static", 150, 120);
        AddExtra(state, 1, "static", 0, 0).extraState = kExtraDestroyed;
        AddExtra(state, 1, "static", 0, 40).extraState = 2;
        EXPECT_EQ(Compose(), Outcome::Shown);
        const bool full = c.screen.width() != kW;
        EXPECT_EQ(host.windowRefreshes, 1);
        EXPECT_EQ(host.fullRefreshes, full ? 1 : 0);
        EXPECT_EQ(full ? host.shownFull : host.shownWindow, Frame());
        ExpectMasked(c.bird1.x(), c.bird1.y(), kLeftBirdSlot);
        ExpectMasked(c.bird3.x(), c.bird3.y(), kRightBirdSlot);
        ExpectMasked(c.cursor.x(), c.cursor.y(), kCursorSlot);
        EXPECT_EQ(Frame().pixel(c.bird3 + QPoint(44, 20) * (full ? 1.6 : 1)), kRightBirdColour)
            << "bird 3 has its own picture";
        EXPECT_EQ(Frame().pixel(c.extra), kExtraColour);
        EXPECT_NE(Frame().pixel(c.extra - QPoint(1, 1)), kExtraColour);
        for (const QPoint hidden : {QPoint(5, 5), QPoint(5, 45)})
            EXPECT_NE(Frame().pixel(hidden * (full ? 1.6 : 1)), kExtraColour);
        for (const QPoint cartridge : {c.cartridge1, c.cartridge2}) {
            EXPECT_EQ(Frame().pixel(cartridge), kCartridgeColour);
            EXPECT_NE(Frame().pixel(cartridge - QPoint(0, 1)), kCartridgeColour);
        }
        EXPECT_NE(Frame().pixel(c.cartridge2 - QPoint(1, 0)), kCartridgeColour);
        EXPECT_NE(Frame().pixel(2 * c.cartridge2 - c.cartridge1), kCartridgeColour) << "a third";
    }
}

TEST_F(FrameTest, CountdownAndScoreAreDrawnExactly) {
    // The top rows hold only the background and the two texts in black: the
    // countdown at the left edge, the score 10 (20 in full screen) from the right.
    const struct {
        int secondsLeft;
        int64_t score;
        const char *countdown, *text;
        bool full;
    } cases[] = {
        {30, 1234, "0.30", "1234", false}, {65, -7, "1.05", "-7", false},
        {60, 10, "1.00", "10", false},     {0, 98765, "0.00", "98765", false},
        {9, 0, "0.09", "0", true},         {610, -40, "10.10", "-40", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.full)
            GoFullScreen(320, 240);
        state.secondsLeft = c.secondsLeft;
        state.score = c.score;
        Compose();
        QFont font(QStringLiteral("Verdana"), c.full ? 240 / 20 : 20, QFont::Bold);
        font.setStyleStrategy(QFont::NoAntialias);
        const QString score = QString::fromLatin1(c.text);
        QImage expected = Work(kBackgroundSlot).copy(0, 0, Frame().width(), 40);
        Blit::Text(expected, 0, 0, QString::fromLatin1(c.countdown), font, Qt::black);
        Blit::Text(expected, expected.width() - Blit::TextWidth(font, score) - (c.full ? 20 : 10),
                   0, score, font, Qt::black);
        EXPECT_TRUE(Frame().copy(0, 0, Frame().width(), 40) == expected);
    }
}

TEST_F(FrameTest, EarlyStopsShowNothing) {
    // An ended clock stops before the texts; no running game after the texts
    // and cartridges but before the birds. An extra of an unknown kind is the
    // tick's concern: the frame draws it by its state like any other.
    for (auto [running, secondsLeft, outcome] :
         {std::tuple{true, -1, Outcome::ClockOver}, {false, 30, Outcome::NotRunning}}) {
        host.window = Filled(kW, kH, kGrey);
        state.mod.backgrounds[1].extraCount = 0;
        AddExtra(state, 1, running ? "static" : "Static", 60, 60);
        state.birds = {Bird{5, 45}, Bird{100, 40}, Bird{40, 100}};
        state.gameRunning = running;
        state.secondsLeft = secondsLeft;
        EXPECT_EQ(Compose(), outcome);
        EXPECT_EQ(host.windowRefreshes, 0);
        EXPECT_EQ(
            CountPixels(host.window.copy(0, 0, kW, 40), [](QRgb p) { return qGray(p) < 90; }) > 20,
            !running);
        EXPECT_EQ(host.window.pixel(kW - 1, kH - 1) == kCartridgeColour, !running);
        EXPECT_EQ(host.window.pixel(65, 65), kExtraColour);
        EXPECT_NE(host.window.pixel(5 + 44, 45 + 20), kLeftBirdColour);
        EXPECT_NE(host.window.pixel(153, 93), kCursorColour);
    }
}

TEST_F(FrameTest, DebugOverlayMarksTheHitCellsOnTheGrid) {
    state.debugMode = true;
    state.magazine = 0;
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
        QList<int> rows, columns, expectedRows, expectedColumns;
        for (int y = 30; y < f.height(); ++y) {
            if ((f.pixel(1, y) & 0xFFFFFF) == 0)
                rows << y;
        }
        for (int x = 0; x < f.width(); ++x) {
            if ((f.pixel(x, f.height() - 3) & 0xFFFFFF) == 0)
                columns << x;
        }
        for (int i = 1; i <= kW / 17; ++i) {
            for (int t = 0; t < (screenW == kW ? 1 : 2); ++t) {
                if (i <= kH / 17 && int(sy * 17 * i) + t >= 30)
                    expectedRows << int(sy * 17 * i) + t;
                expectedColumns << int(sx * 17 * i) + t;
            }
        }
        EXPECT_EQ(rows, expectedRows);
        EXPECT_EQ(columns, expectedColumns);
        // Style 2 fills the cell inside its grid lines, 1 crosses it, other
        // styles mark nothing.
        std::map<std::pair<int, int>, QRect> marked;
        for (int y = 0; y < f.height(); ++y) {
            for (int x = 0; x < f.width(); ++x) {
                if (f.pixel(x, y) == kOrange)
                    marked[{int(x / sx / 17), int(y / sy / 17)}] |= QRect(x, y, 1, 1);
            }
        }
        EXPECT_TRUE(style == 1 || marked.size() == (style ? cells.size() : 0));
        for (const auto& [column, row] : cells) {
            const QPoint from(std::lround(sx * (17 * column + 1)),
                              std::lround(sy * (17 * row + 1)));
            const QPoint to(std::lround(sx * (17 * column + 16)),
                            std::lround(sy * (17 * row + 16)));
            const QRect box = marked[{column, row}];
            if (style == 2) {
                EXPECT_EQ(box, QRect(from, to)) << column << "," << row;
            } else if (style == 1) {
                EXPECT_EQ(f.pixel((from + to) / 2), kOrange) << column << "," << row;
                EXPECT_NE(f.pixel((from.x() + to.x()) / 2, from.y()), kOrange)
                    << column << "," << row;
            }
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
        EXPECT_EQ(Frame().pixel(Frame().width() - 1, 61 * scale), kExtraColour) << scale;
        EXPECT_EQ(Frame().pixel((kW - 3) * scale, 61 * scale), kExtraColour) << scale;
        EXPECT_NE(Frame().pixel((kW - 3) * scale - 1, 61 * scale), kExtraColour) << scale;
    }
}

TEST(FrameAllocation, SteadyFramesAllocateNothing) {
    for (const bool fullScreen : {false, true}) {
        GameState state;
        PictureStores stores;
        NullGameHost host;
        host.window = Filled(kW, kH, kGrey);
        ScriptedRandom random;
        FillSourceStore(stores, kW, kH);
        AddExtra(state, 1, "sequenziell", 10, 60, {{1, 4}});
        if (fullScreen) {
            host.full = Filled(320, 240, kGrey);
            state.scaleX = state.scaleY = FixedScale::Ratio(320, kW);
            state.drawTarget = DrawTarget::FullScreenSurface;
            ASSERT_TRUE(MakeStretchedCopies(stores, state.scaleX, state.scaleY));
        } else {
            ASSERT_TRUE(MakeWindowCopies(stores));
        }
        state.gameRunning = state.debugMode = true;  // the grid and the boxes of style 2
        state.secondsLeft = 42, state.score = -12;
        const PlayArea area{kW, kH, kBirdW, kBirdH};
        PlaceBirds(state, area, random);
        FrameComposer composer(state, stores, host);
        const auto allocationsOfAFrame = [&] {
            UpdateCountdown(state);
            const long before = g_allocations;
            g_counting = true;
            composer.ComposeFrame();
            g_counting = false;
            return g_allocations - before;
        };
        allocationsOfAFrame();  // the first frame makes the text masks
        for (int frame = 0; frame < 10; ++frame) {
            state.mouseX = 20 + 7 * frame;
            state.magazine = 6 - frame % 7;
            MoveBirds(state, area, random);
            EXPECT_EQ(allocationsOfAFrame(), 0) << fullScreen << " frame " << frame;
        }
        // A new text is drawn once, then stamped again without allocating.
        state.secondsLeft = 41;
        EXPECT_GT(allocationsOfAFrame(), 0);
        EXPECT_EQ(allocationsOfAFrame(), 0);
    }
}

}  // namespace
}  // namespace wf
