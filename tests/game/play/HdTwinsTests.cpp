// The hd twins of pictures: which twin is used, that each is decoded once
// and kept within the budget, and that full-screen copies come from it.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "HdTwins.h"
#include "PictureSlots.h"
#include "WorkingCopies.h"

namespace wf {
namespace {

// A picture of w × h with a one-pixel grid that only a twin of this size
// shows, written as PNG.
QImage Striped(int w, int h, QRgb colour) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, x % 2 || y % 3 == 0 ? colour : 0xFF204060u);
    }
    return img;
}

class TwinFiles : public ::testing::Test {
  protected:
    QString Picture(const QString& name, QSize size, QSize twin = QSize()) {
        const QString path = dir.path() + "/" + name;
        Striped(size.width(), size.height(), 0xFFC0A080u).save(path, "PNG");
        if (!twin.isEmpty()) {
            QDir().mkpath(dir.path() + "/hd");
            Striped(twin.width(), twin.height(), 0xFFFFE0C0u).save(HdTwinPath(path), "PNG");
        }
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(TwinFiles, OnlyAWholeMultipleIsUsedAndEachTwinIsDecodedOnce) {
    const QSize picture(10, 8);
    const struct {
        const char* name;
        QSize twin;
        bool used;
    } cases[] = {
        {"four.png", {40, 32}, true},    {"two.png", {20, 16}, true},
        {"none.png", {}, false},         {"five.png", {50, 40}, false},
        {"uneven.png", {40, 24}, false}, {"bigger.png", {41, 32}, false},
    };
    HdTwins twins;
    for (const auto& c : cases) {
        const QString path = Picture(c.name, picture, c.twin);
        const QImage first = twins.Twin(path, picture);
        EXPECT_EQ(!first.isNull(), c.used) << c.name;
        if (c.used) {
            EXPECT_EQ(first.size(), c.twin) << c.name;
        }
        const int decodes = twins.Decodes();
        EXPECT_EQ(twins.Twin(path, picture).isNull(), first.isNull()) << c.name;
        EXPECT_EQ(twins.Decodes(), decodes) << c.name << " was decoded again";
    }
    EXPECT_EQ(twins.Decodes(), 2) << "only whole multiples are read past their header";
    EXPECT_EQ(twins.BytesKept(), (40 * 32 + 20 * 16) * 4);
}

TEST_F(TwinFiles, TwinsStayWithinTheBudgetTheLongestUnusedGoFirst) {
    const QSize picture(10, 10);
    const int64_t one = 40 * 40 * 4;
    HdTwins twins(2 * one + one / 2);  // room for two
    const QString a = Picture("a.png", picture, {40, 40});
    const QString b = Picture("b.png", picture, {40, 40});
    const QString c = Picture("c.png", picture, {40, 40});
    const QString huge = Picture("huge.png", {30, 30}, {120, 120});
    for (const QString& path : {a, b, a, c})  // b is the one used longest ago
        EXPECT_FALSE(twins.Twin(path, picture).isNull());
    EXPECT_EQ(twins.Decodes(), 3);
    EXPECT_LE(twins.BytesKept(), 2 * one + one / 2);
    twins.Twin(a, picture);
    EXPECT_EQ(twins.Decodes(), 3) << "a was let go instead of b";
    twins.Twin(b, picture);
    EXPECT_EQ(twins.Decodes(), 4);
    // A twin bigger than the whole budget is never decoded.
    EXPECT_TRUE(twins.Twin(huge, {30, 30}).isNull());
    EXPECT_EQ(twins.Decodes(), 4);
    EXPECT_LE(twins.BytesKept(), 2 * one + one / 2);
}

TEST_F(TwinFiles, FullScreenCopiesAreScaledFromTheTwinToTheSameSize) {
    PictureStores stores;
    const QSize sizes[] = {{8, 8},   {8, 8},   {8, 8},   {40, 30},
                           {20, 10}, {20, 10}, {20, 10}, {20, 10}};
    for (int slot = 1; slot <= kLastGameSlot; ++slot) {
        stores.RESSOURCEN.NewSlot();
        // The background and a bird with its mask have twins.
        const bool twin = slot >= kBackgroundSlot && slot <= kLeftBirdMaskSlot;
        const QSize size = sizes[slot - 1];
        ASSERT_EQ(
            stores.RESSOURCEN.LoadSlotPicture(
                slot, Picture(QStringLiteral("%1.png").arg(slot), size, twin ? size * 4 : QSize())),
            1);
    }
    HdTwins twins;
    const FixedScale sx = FixedScale::Ratio(96, 40), sy = FixedScale::Ratio(54, 30);
    ASSERT_TRUE(MakeStretchedCopies(stores, sx, sy, &twins));
    for (int slot = 1; slot <= kLastGameSlot; ++slot) {
        SCOPED_TRACE(slot);
        const QImage& source = *stores.RESSOURCEN.SlotDC(slot);
        const QSize size(sx.Apply(source.width()), sy.Apply(source.height()));
        const QImage twin = twins.Twin(stores.RESSOURCEN.SlotFile(slot), source.size());
        const QImage& from = twin.isNull() ? source : twin;
        // Masks and sprites nearest-neighbour, the opaque cartridge and
        // background smoothly.
        const bool opaque = slot == kCartridgeSlot || slot == kBackgroundSlot;
        const QImage expected =
            from.scaled(size, Qt::IgnoreAspectRatio,
                        opaque ? Qt::SmoothTransformation : Qt::FastTransformation)
                .convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(twin.isNull(), slot < kBackgroundSlot || slot > kLeftBirdMaskSlot);
        EXPECT_TRUE(*stores.RESSOURCEN2.SlotDC(slot) == expected);
    }
}

}  // namespace
}  // namespace wf
