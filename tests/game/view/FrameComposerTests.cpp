// The pixels of a game frame on a small synthetic picture set.
#include <gtest/gtest.h>

#include "Blit.h"
#include "ExtraVisibility.h"
#include "FileLimits.h"
#include "FrameComposer.h"
#include "GameClock.h"
#include "GameTestKit.h"
#include "WorkingCopies.h"

namespace wf {
namespace {

using testkit::AddExtra;
using Outcome = FrameComposer::Outcome;

constexpr int kW = 200;
constexpr int kH = 150;
constexpr QRgb kExtraColour = 0xFFFF00FFu;
constexpr QRgb kOrange = 0xFFE65A00u;

bool IsDark(QRgb p) {
    return qRed(p) < 90 && qGreen(p) < 90 && qBlue(p) < 90;
}

// Dark pixels (text) inside a rectangle.
QList<QPoint> DarkPixels(const QImage& img, const QRect& area) {
    QList<QPoint> found;
    const QRect r = area.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (IsDark(img.pixel(x, y)))
                found.append(QPoint(x, y));
        }
    }
    return found;
}

QRgb Rgb(QRgb p) {
    return p | 0xFF000000u;
}

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testkit::FillSourceStore(stores, kW, kH, {kExtraColour});
        ASSERT_TRUE(MakeWindowCopies(stores));
        host.window = testkit::FakeGameHost::Filled(kW, kH, testkit::kGrey);
        state.gameRunning = true;
        state.secondsLeft = 30;
        UpdateCountdown(state);
        state.magazine = 6;
        state.selectedBackground = 1;
        // Out of the way unless a test places them.
        state.birds = {Bird{-300, -300}, Bird{-300, -300}, Bird{-300, -300}};
        state.mouseX = 150;
        state.mouseY = 90;
    }

    void GoFullScreen(int screenW, int screenH) {
        host.screen = QSize(screenW, screenH);
        host.full = testkit::FakeGameHost::Filled(screenW, screenH, testkit::kGrey);
        state.scaleX = FixedScale::Ratio(screenW, kW);
        state.scaleY = FixedScale::Ratio(screenH, kH);
        state.drawTarget = DrawTarget::FullScreenSurface;
        ASSERT_TRUE(MakeStretchedCopies(stores, state.scaleX, state.scaleY));
    }

    // Every pixel of a masked sprite at (x, y) against the background copy.
    void ExpectMasked(const QImage& frame, int x, int y, int sprite, int mask) {
        const QImage& s = *stores.RESSOURCEN2.SlotDC(sprite);
        const QImage& m = *stores.RESSOURCEN2.SlotDC(mask);
        const QImage& bg = *stores.RESSOURCEN2.SlotDC(kBackgroundSlot);
        for (int dy = 0; dy < s.height(); ++dy) {
            for (int dx = 0; dx < s.width(); ++dx) {
                const QPoint p(x + dx, y + dy);
                if (!frame.rect().contains(p))
                    continue;
                const QRgb expected = Rgb((bg.pixel(p) & m.pixel(dx, dy)) ^ s.pixel(dx, dy));
                ASSERT_EQ(Rgb(frame.pixel(p)), expected) << p.x() << "," << p.y();
            }
        }
    }

    ScriptedPlatform platform;
    GameState state;
    PictureStores stores;
    testkit::FakeGameHost host;
    ScriptedRandom random;
    FrameComposer composer{state, stores, host};
};

TEST_F(FrameTest, BirdsAndCrossHairAreMaskedExactlyAndShownOnce) {
    state.birds = {Bird{5, 45}, Bird{100, 40}, Bird{40, 100}};
    EXPECT_EQ(composer.ComposeFrame(), Outcome::Shown);
    EXPECT_EQ(host.windowRefreshes, 1);
    EXPECT_EQ(host.shownWindow, host.window);
    ExpectMasked(host.window, 5, 45, kLeftBirdSlot, kLeftBirdMaskSlot);
    ExpectMasked(host.window, 100, 40, kLeftBirdSlot, kLeftBirdMaskSlot);
    ExpectMasked(host.window, 40, 100, kRightBirdSlot, kRightBirdMaskSlot);
    ExpectMasked(host.window, 150, 90, kCursorSlot, kCursorMaskSlot);
    EXPECT_EQ(host.window.pixel(40 + 44, 100 + 20), testkit::kRightBirdColour);
}

TEST_F(FrameTest, CartridgesStandInARowFromTheBottomRightCorner) {
    for (int magazine : {0, 1, 6}) {
        state.magazine = magazine;
        composer.ComposeFrame();
        for (int k = 0; k < 7; ++k) {
            const int left = kW - (k + 1) * testkit::kCartridgeW;
            const QRgb topLeft = host.window.pixel(left, kH - testkit::kCartridgeH);
            const QRgb bottomRight = host.window.pixel(left + testkit::kCartridgeW - 1, kH - 1);
            const bool drawn = k < magazine;
            EXPECT_EQ(topLeft == testkit::kCartridgeColour, drawn) << magazine << "/" << k;
            EXPECT_EQ(bottomRight == testkit::kCartridgeColour, drawn) << magazine << "/" << k;
        }
        EXPECT_NE(host.window.pixel(kW - 1, kH - testkit::kCartridgeH - 1),
                  testkit::kCartridgeColour);
    }
}

TEST_F(FrameTest, CountdownAtTheLeftAndScoreAtTheRightOfTheTopEdge) {
    state.score = 1234;
    composer.ComposeFrame();
    const QFont font(QStringLiteral("Verdana"), 20, QFont::Bold);
    const int scoreWidth = Blit::TextWidth(font, QStringLiteral("1234"));
    const int textHeight = Blit::TextHeight(font, QStringLiteral("1234"));
    const int countdownWidth = Blit::TextWidth(font, QStringLiteral("0.30"));

    const QList<QPoint> left = DarkPixels(host.window, QRect(0, 0, kW / 2 - 20, 60));
    const QList<QPoint> right = DarkPixels(host.window, QRect(kW / 2 - 20, 0, kW, 60));
    ASSERT_GT(left.size(), 20);
    ASSERT_GT(right.size(), 20);
    for (const QPoint& p : left) {
        EXPECT_LE(p.x(), countdownWidth);
        EXPECT_LT(p.y(), textHeight);
    }
    int minX = kW, maxX = 0;
    for (const QPoint& p : right) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        EXPECT_LT(p.y(), textHeight);
    }
    EXPECT_GE(minX, kW - (scoreWidth + 10));
    EXPECT_LT(maxX, kW - 10);
    EXPECT_GT(maxX, kW - 10 - scoreWidth / 2);
}

TEST_F(FrameTest, EarlyStopsShowNothing) {
    // An ended clock stops before the texts; no running game after the texts
    // and cartridges but before the birds. An extra of an unknown kind is the
    // tick's concern: the frame draws it by its state like any other.
    const struct {
        bool running;
        int secondsLeft;
        const char* kind;
        Outcome outcome;
        bool textsAndCartridges;
    } cases[] = {{true, -1, "static", Outcome::ClockOver, false},
                 {false, 30, "Static", Outcome::NotRunning, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        host.window = testkit::FakeGameHost::Filled(kW, kH, testkit::kGrey);
        state.mod.backgrounds[1].extraCount = 0;
        AddExtra(state, 1, kFirstExtraSlot, c.kind, 60, 60, {}, 0, false);
        state.birds = {Bird{5, 45}, Bird{100, 40}, Bird{40, 100}};
        state.gameRunning = c.running;
        state.secondsLeft = c.secondsLeft;
        EXPECT_EQ(composer.ComposeFrame(), c.outcome);
        EXPECT_EQ(host.windowRefreshes, 0);
        EXPECT_EQ(DarkPixels(host.window, QRect(0, 0, kW, 60)).isEmpty(), !c.textsAndCartridges);
        EXPECT_EQ(host.window.pixel(kW - 1, kH - 1) == testkit::kCartridgeColour,
                  c.textsAndCartridges);
        EXPECT_EQ(host.window.pixel(65, 65), kExtraColour);
        EXPECT_NE(host.window.pixel(5 + 44, 45 + 20), testkit::kLeftBirdColour);
        EXPECT_NE(host.window.pixel(153, 93), testkit::kCursorColour);
    }
}

TEST_F(FrameTest, ExtrasByKindAndState) {
    // Each extra in its own place: static shown, static destroyed,
    // sequenziell early in its showing, sequenziell at 100 losing the draw.
    AddExtra(state, 1, kFirstExtraSlot, "static", 0, 60, {}, 0, false);
    AddExtra(state, 1, kFirstExtraSlot, "static", 20, 60, {}, 0, false).extraState =
        kExtraDestroyed;
    ExtraDef& early = AddExtra(state, 1, kFirstExtraSlot, "sequenziell", 40, 60, {}, 0, false);
    early.extraTimer = kExtraTimerAtGameStart;
    ExtraDef& due = AddExtra(state, 1, kFirstExtraSlot, "sequenziell", 60, 60, {}, 0, false);
    due.extraTimer = kExtraTimerPeriod;
    random.values = {0.5};
    UpdateExtraVisibility(state, random);
    composer.ComposeFrame();
    EXPECT_EQ(host.window.pixel(5, 65), kExtraColour);
    EXPECT_NE(host.window.pixel(25, 65), kExtraColour);
    EXPECT_EQ(host.window.pixel(45, 65), kExtraColour);
    EXPECT_NE(host.window.pixel(65, 65), kExtraColour);
    EXPECT_EQ(early.extraTimer, 24);
    EXPECT_EQ(due.extraState, 245);
    EXPECT_EQ(random.draws, 1);
}

TEST_F(FrameTest, DebugOverlayGridHitPointsAndExtraCells) {
    state.debugMode = true;
    state.birds[0] = Bird{100, 50};  // centre cell (8, 4)
    AddExtra(state, 1, kFirstExtraSlot, "static", 0, 0, {{2, 6}}, 0, false).extraState =
        3;  // hidden
    const struct {
        int style;
        bool boxes, crosses;
    } cases[] = {{2, true, false}, {1, false, true}, {0, false, false}};
    for (const auto& c : cases) {
        state.debugStyle = static_cast<uint8_t>(c.style);
        composer.ComposeFrame();
        const QImage& f = host.window;
        for (const QPoint cell :
             {QPoint(8, 4), QPoint(9, 4), QPoint(8, 5), QPoint(8, 3), QPoint(7, 4), QPoint(2, 6)}) {
            const int x1 = 17 * cell.x() + 1;
            const int y1 = 17 * cell.y() + 1;
            // The middle of the cell lies on both diagonals; the middle of
            // its top row only inside the box.
            EXPECT_EQ(f.pixel(x1 + 7, y1 + 7) == kOrange, c.boxes || c.crosses)
                << c.style << " " << cell.x() << "," << cell.y();
            EXPECT_EQ(f.pixel(x1 + 7, y1) == kOrange, c.boxes) << c.style;
            EXPECT_EQ(f.pixel(x1 + 15, y1 + 15) == kOrange, c.boxes || c.crosses) << c.style;
        }
        EXPECT_NE(f.pixel(17 * 3 + 8, 17 * 6 + 8), kOrange);
        EXPECT_NE(f.pixel(5, 5), kExtraColour);  // the hidden extra is not drawn
        // The grid: one-pixel black lines every 17 units.
        EXPECT_EQ(f.pixel(17, 140) & 0xFFFFFF, 0u);
        EXPECT_EQ(f.pixel(190, 136) & 0xFFFFFF, 0u);
        EXPECT_NE(f.pixel(18, 140) & 0xFFFFFF, 0u);
    }
}

TEST_F(FrameTest, ExtrasAndMarksFarOutsideAreClippedAway) {
    // The largest positions a MOD may give, and beyond (a definition made in
    // code is not checked), in window mode and at a large full-screen scale.
    state.debugMode = true;
    for (const int scale : {1, 16}) {
        SCOPED_TRACE(scale);
        if (scale > 1)
            GoFullScreen(kW * scale, kH * scale);
        state.mod.backgrounds[1].extraCount = 0;
        AddExtra(state, 1, kFirstExtraSlot, "static", kW - 3, 60, {{INT32_MAX, INT32_MAX}}, 0,
                 false);
        for (const int32_t far : {kMaxPlayPosition, INT32_MAX - 1, INT32_MAX})
            AddExtra(state, 1, kFirstExtraSlot, "static", far, far, {{far, far}}, 0, false);
        EXPECT_EQ(composer.ComposeFrame(), Outcome::Shown);
        const QImage& f = scale > 1 ? host.full : host.window;
        // The extra at the edge shows its first three columns, scaled.
        EXPECT_EQ(f.pixel(f.width() - 1, 61 * scale), kExtraColour);
        EXPECT_EQ(f.pixel((kW - 3) * scale, 61 * scale), kExtraColour);
        EXPECT_NE(f.pixel((kW - 3) * scale - 1, 61 * scale), kExtraColour);
    }
}

TEST_F(FrameTest, FullScreenDrawsAtScaledPositionsOnTheFullScreenSurface) {
    GoFullScreen(320, 240);  // 1.6 in both directions
    state.birds = {Bird{100, 50}, Bird{-300, -300}, Bird{10, 120}};
    state.mouseX = 151;
    state.mouseY = 21;
    state.magazine = 2;
    AddExtra(state, 1, kFirstExtraSlot, "static", 50, 100, {}, 0, false);
    EXPECT_EQ(composer.ComposeFrame(), Outcome::Shown);
    EXPECT_EQ(host.fullRefreshes, 1);
    EXPECT_EQ(host.windowRefreshes, 0);
    EXPECT_EQ(host.window, testkit::FakeGameHost::Filled(kW, kH, testkit::kGrey));

    const QImage& f = host.full;
    ExpectMasked(f, 160, 80, kLeftBirdSlot, kLeftBirdMaskSlot);
    ExpectMasked(f, 16, 192, kRightBirdSlot, kRightBirdMaskSlot);
    ExpectMasked(f, 242, 34, kCursorSlot, kCursorMaskSlot);  // 241.6 and 33.6 to the nearest
    EXPECT_EQ(f.pixel(80, 160), kExtraColour);
    EXPECT_NE(f.pixel(79, 159), kExtraColour);
    // Cartridges: offsets 10 − 4 and 12 − 4, then 16 more for the second.
    EXPECT_EQ(f.pixel(310, 227), testkit::kCartridgeColour);
    EXPECT_NE(f.pixel(310, 226), testkit::kCartridgeColour);
    EXPECT_EQ(f.pixel(294, 227), testkit::kCartridgeColour);
    EXPECT_NE(f.pixel(293, 227), testkit::kCartridgeColour);
}

TEST_F(FrameTest, FullScreenDebugMarksAndGridAreScaled) {
    GoFullScreen(320, 240);
    state.debugMode = true;
    state.debugStyle = 2;
    state.birds[0] = Bird{100, 50};
    composer.ComposeFrame();
    const QImage& f = host.full;
    // Cell (8, 4): x 137..152 and y 69..84, times 1.6.
    EXPECT_EQ(f.pixel(231, 122), kOrange);
    EXPECT_EQ(f.pixel(220, 111), kOrange);
    EXPECT_NE(f.pixel(218, 122), kOrange);
    // Grid rows at trunc(1.6 × 17 × i), two pixels wide.
    EXPECT_EQ(f.pixel(5, 27) & 0xFFFFFF, 0u);
    EXPECT_EQ(f.pixel(5, 28) & 0xFFFFFF, 0u);
    EXPECT_NE(f.pixel(5, 29) & 0xFFFFFF, 0u);
    EXPECT_EQ(f.pixel(54, 200) & 0xFFFFFF, 0u);  // trunc(54.4)
}

}  // namespace
}  // namespace wf
