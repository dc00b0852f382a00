// The title sequence over simulated ticks on an off-screen surface.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "Blit.h"
#include "TitleSequence.h"

namespace wf {
namespace {

QImage Surface(int w, int h) {
    QImage s(w, h, QImage::Format_RGB32);
    s.fill(QColor(90, 90, 90));
    return s;
}

// Rows of the surface holding at least one light pixel.
std::vector<int> LitRows(const QImage& s) {
    std::vector<int> rows;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            if (qGray(s.pixel(x, y)) > 128) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

TEST(TitleSequence, StagesRunInOrderWithTheirLengthsAndRepeatButNotDuringAGame) {
    TitleSequence title;
    title.SetCredits(TitleSequence::DefaultCredits());
    PictureStore store;
    QImage surface = Surface(120, 90);
    std::vector<std::pair<int, int>> runs;  // (stage, ticks spent) over one pass
    for (int tick = 0; tick < 765; ++tick) {
        if (runs.empty() || runs.back().first != title.titleStage)
            runs.emplace_back(title.titleStage, 0);
        ++runs.back().second;
        title.TitleTick(surface, store, false);
        if (tick == 700) {  // a game in between changes nothing
            const QImage before = surface;
            for (int i = 0; i < 50; ++i)
                title.TitleTick(surface, store, true);
            ASSERT_EQ(surface, before);
        }
    }
    const std::vector<std::pair<int, int>> expected = {
        {0, 65},  {1, 65},  {2, 50},  {9, 65},  {10, 65}, {11, 65},
        {12, 65}, {13, 65}, {14, 65}, {15, 65}, {16, 65}, {17, 65},
    };
    EXPECT_EQ(runs, expected);
    EXPECT_EQ(title.titleStage, 0);
    EXPECT_EQ(title.titleTicks, 0);
}

TEST(TitleSequence, EachPictureStageShowsItsPictureCentredWithHalvesToEven) {
    // Surface 101 × 80: a 40 × 21 picture lands at x = 30.5 → 30, y = 29.5 → 30;
    // a 38 × 23 picture at x = 31.5 → 32, y = 28.5 → 28.
    const struct {
        int stage, slot, w, h, x, y;
        QRgb colour;
    } cases[] = {
        {0, 12, 40, 21, 30, 30, 0xFFFF0000u},
        {1, 13, 38, 23, 32, 28, 0xFF00FF00u},
        {9, 20, 38, 23, 32, 28, 0xFFFFFF00u},
    };
    PictureStore store;
    for (int i = 1; i <= 21; ++i)
        store.NewSlot();
    for (const auto& c : cases) {
        store.SetSlotSize(c.slot, c.w, c.h);
        store.SlotDC(c.slot)->fill(c.colour);
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stage);
        TitleSequence title;
        title.titleStage = c.stage;
        QImage surface = Surface(101, 80);
        title.TitleTick(surface, store, false);
        QImage expected(101, 80, QImage::Format_RGB32);
        expected.fill(Qt::black);  // the rest of the surface is painted black
        Blit::Copy(expected, c.x, c.y, *store.SlotDC(c.slot), RasterOp::SrcCopy);
        EXPECT_EQ(surface, expected);
    }
}

TEST(TitleSequence, CreditsRiseTwoPixelsATickAndHandTheFontSizeBack) {
    TitleSequence title;
    title.SetCredits({QStringLiteral("DDDD"), QString(), QStringLiteral("DDDD")});
    title.surfaceFont.setPointSizeF(8.5);
    PictureStore store;
    const int height = 300;
    QImage surface = Surface(200, height);
    title.titleStage = 11;
    title.creditScrollY = 12345;  // whatever an earlier pass left

    title.TitleTick(surface, store, false);
    EXPECT_EQ(title.creditScrollY, height - 2) << "the credits enter at the bottom";
    EXPECT_EQ(title.savedFontSize, QStringLiteral("8.5"));
    EXPECT_EQ(title.surfaceFont.pointSizeF(), 8.5);
    for (int y : LitRows(surface))
        EXPECT_GE(y, height - 2);

    for (int i = 0; i < 59; ++i)
        title.TitleTick(surface, store, false);
    const int top = height - 120;
    ASSERT_EQ(title.creditScrollY, top);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(13);
    const int lineHeight = Blit::TextHeight(font, QStringLiteral("D"));
    // Lines 0 and 2 are lit, the empty line 1 between them is not.
    std::vector<int> lines(3, 0);
    for (int y : LitRows(surface)) {
        ASSERT_GE(y, top);
        ASSERT_LT(y, top + 3 * lineHeight);
        ++lines[(y - top) / lineHeight];
    }
    EXPECT_GT(lines[0], 0);
    EXPECT_EQ(lines[1], 0);
    EXPECT_GT(lines[2], 0);

    // The rise goes on through the following stages without a new start.
    for (int i = 0; i < 10; ++i)
        title.TitleTick(surface, store, false);
    EXPECT_EQ(title.titleStage, 12);
    EXPECT_EQ(title.creditScrollY, top - 20);
}

}  // namespace
}  // namespace wf
