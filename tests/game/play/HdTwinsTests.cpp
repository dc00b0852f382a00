// Full-screen copies are scaled from the hd twins of pictures.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

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

TEST_F(TwinFiles, FullScreenCopiesAreScaledFromTheTwinToTheSameSize) {
    PictureStores stores;
    for (int slot = 1; slot <= kLastGameSlot; ++slot) {
        stores.RESSOURCEN.NewSlot();
        // The background and a bird with its mask have twins.
        const bool twin = slot >= kBackgroundSlot && slot <= kLeftBirdMaskSlot;
        const QSize size = slot < kBackgroundSlot ? QSize(8, 8)
                           : slot > 4             ? QSize(20, 10)
                                                  : QSize(40, 30);
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
