// The hd twins of pictures: which twin is used, that each is decoded once and
// kept within the budget, and that full-screen copies are scaled from it.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <tuple>

#include "HdTwins.h"
#include "PictureSlots.h"
#include "WorkingCopies.h"

namespace wf {
namespace {

class TwinFiles : public ::testing::Test {
  protected:
    // A striped PNG picture of `size`, with a twin of `twin` when given.
    QString Picture(const QString& name, QSize size, QSize twin = QSize()) {
        const auto striped = [](QSize s, QRgb colour) {
            QImage img(s, QImage::Format_RGB32);
            for (int y = 0; y < s.height(); ++y) {
                for (int x = 0; x < s.width(); ++x)
                    img.setPixel(x, y, x % 2 || y % 3 == 0 ? colour : 0xFF204060u);
            }
            return img;
        };
        const QString path = dir.path() + "/" + name;
        striped(size, 0xFFC0A080u).save(path, "PNG");
        QDir().mkpath(dir.path() + "/hd");
        if (!twin.isEmpty())
            striped(twin, 0xFFFFE0C0u).save(HdTwinPath(path), "PNG");
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(TwinFiles, OnlyWholeMultiplesAreUsedEachDecodedOnceWithinTheBudget) {
    const QSize picture(10, 8);
    const int64_t kept = (40 * 32 + 20 * 16) * 4;
    HdTwins twins(kept + 30 * 24 * 4 - 1);  // no room for three times
    for (auto [name, twin, used] : {std::tuple{"four.png", QSize(40, 32), true},
                                    {"two.png", QSize(20, 16), true},
                                    {"none.png", QSize(), false},
                                    {"five.png", QSize(50, 40), false},
                                    {"uneven.png", QSize(40, 24), false},
                                    {"bigger.png", QSize(41, 32), false}}) {
        const QString path = Picture(name, picture, twin);
        EXPECT_EQ(twins.Twin(path, picture).size(), used ? twin : QSize(0, 0)) << name;
        const int decodes = twins.Decodes();
        EXPECT_EQ(twins.Twin(path, picture).isNull(), !used) << name;
        EXPECT_EQ(twins.Decodes(), decodes) << name << " was decoded again";
    }
    EXPECT_EQ(twins.Decodes(), 2) << "only whole multiples are read past their header";
    EXPECT_EQ(twins.BytesKept(), kept);

    // A new twin lets go of the one used longest ago; one bigger than the
    // whole budget is never decoded.
    const QString three = Picture("three.png", picture, {30, 24});
    EXPECT_FALSE(twins.Twin(dir.path() + "/four.png", picture).isNull());  // used last
    EXPECT_FALSE(twins.Twin(three, picture).isNull());
    EXPECT_EQ(twins.Decodes(), 3);
    EXPECT_FALSE(twins.Twin(dir.path() + "/four.png", picture).isNull());
    EXPECT_EQ(twins.Decodes(), 3) << "four.png was let go instead of two.png";
    EXPECT_TRUE(twins.Twin(Picture("huge.png", {30, 30}, {120, 120}), {30, 30}).isNull());
    EXPECT_EQ(twins.Decodes(), 3);
    EXPECT_LE(twins.BytesKept(), kept + 30 * 24 * 4 - 1);
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
        ASSERT_EQ(stores.RESSOURCEN.LoadSlotPicture(slot, Picture(QString::number(slot) + ".png",
                                                                  size, twin ? size * 4 : QSize())),
                  1);
    }
    HdTwins twins;
    const FixedScale sx = FixedScale::Ratio(96, 40), sy = FixedScale::Ratio(54, 30);
    ASSERT_TRUE(MakeStretchedCopies(stores, sx, sy, &twins));
    for (int slot = 1; slot <= kLastGameSlot; ++slot) {
        SCOPED_TRACE(slot);
        const QImage& source = *stores.RESSOURCEN.SlotDC(slot);
        const QImage twin = twins.Twin(stores.RESSOURCEN.SlotFile(slot), source.size());
        EXPECT_EQ(twin.isNull(), slot < kBackgroundSlot || slot > kLeftBirdMaskSlot);
        // Masks and sprites nearest-neighbour, the opaque cartridge and
        // background smoothly.
        const bool opaque = slot == kCartridgeSlot || slot == kBackgroundSlot;
        const QImage expected =
            (twin.isNull() ? source : twin)
                .scaled(sx.Apply(source.width()), sy.Apply(source.height()), Qt::IgnoreAspectRatio,
                        opaque ? Qt::SmoothTransformation : Qt::FastTransformation)
                .convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(*stores.RESSOURCEN2.SlotDC(slot) == expected);
    }
}

}  // namespace
}  // namespace wf
