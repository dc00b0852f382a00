// Full-screen copies are scaled from the hd twins of pictures.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "HdTwins.h"
#include "PictureSlots.h"
#include "WorkingCopies.h"

namespace wf {
namespace {

// The background and a bird with its mask have twins of four times their size.
TEST(HdTwins, FullScreenCopiesAreScaledFromTheTwinToTheSameSize) {
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/hd");
    const auto striped = [](QSize s, QRgb colour) {
        QImage img(s, QImage::Format_RGB32);
        for (int i = 0; i < s.width() * s.height(); ++i) {
            const int x = i % s.width(), y = i / s.width();
            img.setPixel(x, y, x % 2 || y % 3 == 0 ? colour : 0xFF204060u);
        }
        return img;
    };
    PictureStores stores;
    for (int slot = 1; slot <= kLastGameSlot; ++slot) {
        stores.sources.NewSlot();
        const bool twin = slot >= kBackgroundSlot && slot <= kLeftBirdMaskSlot;
        const QSize size = slot < kBackgroundSlot ? QSize(8, 8)
                           : slot > 4             ? QSize(20, 10)
                                                  : QSize(40, 30);
        const QString path = dir.filePath(QString::number(slot) + ".png");
        ASSERT_TRUE(striped(size, 0xFFC0A080u).save(path, "PNG"));
        ASSERT_TRUE(!twin || striped(size * 4, 0xFFFFE0C0u).save(HdTwinPath(path), "PNG"));
        ASSERT_EQ(stores.sources.LoadSlotPicture(slot, path), 1);
    }
    HdTwins twins;
    const FixedScale sx = FixedScale::Ratio(96, 40), sy = FixedScale::Ratio(54, 30);
    ASSERT_TRUE(MakeStretchedCopies(stores, sx, sy, &twins));
    for (int slot = 1; slot <= kLastGameSlot; ++slot) {
        SCOPED_TRACE(slot);
        const QImage& source = *stores.sources.Picture(slot);
        const QImage twin = twins.Twin(stores.sources.SlotFile(slot), source.size());
        EXPECT_EQ(twin.isNull(), slot < kBackgroundSlot || slot > kLeftBirdMaskSlot);
        // Masks and sprites nearest-neighbour, the opaque cartridge and
        // background smoothly.
        const bool opaque = slot == kCartridgeSlot || slot == kBackgroundSlot;
        const QImage expected =
            (twin.isNull() ? source : twin)
                .scaled(sx.Apply(source.width()), sy.Apply(source.height()), Qt::IgnoreAspectRatio,
                        opaque ? Qt::SmoothTransformation : Qt::FastTransformation)
                .convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(*stores.working.Picture(slot) == expected);
    }
}

}  // namespace
}  // namespace wf
