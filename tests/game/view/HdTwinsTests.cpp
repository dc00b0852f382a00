// Full-screen copies are scaled from the hd twins of pictures.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "FileLimits.h"
#include "HdTwins.h"
#include "HostileMedia.h"
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
    StretchedCopies kept;
    const FixedScale sx = FixedScale::Ratio(96, 40), sy = FixedScale::Ratio(54, 30);
    ASSERT_TRUE(MakeStretchedCopies(stores, sx, sy, &kept));
    for (int slot = 1; slot <= kLastGameSlot; ++slot) {
        SCOPED_TRACE(slot);
        const QImage& source = *stores.sources.Picture(slot);
        const QImage twin = ReadHdTwin(stores.sources.SlotFile(slot), source.size());
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

// The game's pictures (8 × 8) and one extra per size given, each loaded from
// dir in a colour of its own.
PictureStores PictureSet(const QString& dir, const QList<QSize>& extras) {
    PictureStores stores;
    for (int slot = 1; slot < kFirstExtraSlot + extras.size(); ++slot) {
        stores.sources.NewSlot();
        QImage picture(slot < kFirstExtraSlot ? QSize(8, 8) : extras[slot - kFirstExtraSlot],
                       QImage::Format_RGB32);
        picture.fill(QColor::fromHsv(slot * 7 % 360, 200, 200));
        const QString path = dir + QStringLiteral("/%1.png").arg(slot);
        EXPECT_TRUE(picture.save(path, "PNG") && stores.sources.LoadSlotPicture(slot, path));
    }
    return stores;
}

// In place of a twin, something that must not be read or decoded: the copy
// is stretched from the picture itself, without a wait, and one line names
// the twin and what is wrong with it.
TEST(HdTwins, ATwinThatMustNotBeReadLeavesThePictureStretchedAndIsNamedOnce) {
    using Make = std::function<bool(const QString&)>;
    const auto file = [](const QByteArray& bytes) -> Make {
        return [bytes](const QString& p) {
            QFile f(p);
            return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
        };
    };
    const struct {
        const char* what;
        Make make;
        const char* problem;
    } faults[] = {
        {"FIFO", [](const QString& p) { return ::mkfifo(QFile::encodeName(p), 0644) == 0; },
         "keine gewöhnliche Datei"},
        {"link to /dev/zero", [](const QString& p) { return QFile::link("/dev/zero", p); },
         "keine gewöhnliche Datei"},
        {"over the limit",
         [](const QString& p) {
             QFile f(p);
             return f.open(QIODevice::WriteOnly) && f.resize(kMaxHdTwinFileBytes + 1);
         },
         "größer als 64 MiB"},
        {"JPEG of 2000 scans", file(test::ScanBombJpeg({160, 120}, 2000)),
         "ein JPEG aus 2000 Durchgängen"},
        {"2.5 times", file(test::ScanBombJpeg({100, 75}, 10)),
         "100 × 75 Bildpunkte sind nicht das Zwei-"},
        {"no picture", file("kein Bild"), "kein lesbares Bild"},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + "/hd");
        PictureStores stores = PictureSet(dir.path(), {QSize(40, 30)});
        const QString twin = HdTwinPath(stores.sources.SlotFile(kFirstExtraSlot));
        ASSERT_TRUE(fault.make(twin));
        StretchedCopies kept;
        testing::internal::CaptureStderr();
        ASSERT_TRUE(MakeStretchedCopies(stores, FixedScale{30000}, FixedScale{20000}, &kept));
        const QString err = QString::fromStdString(testing::internal::GetCapturedStderr());
        EXPECT_TRUE(*stores.working.Picture(kFirstExtraSlot) ==
                    stores.sources.Picture(kFirstExtraSlot)
                        ->scaled(120, 60, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
        EXPECT_TRUE(err.contains("hd-Bild '" + twin + "': " + QString::fromUtf8(fault.problem)))
            << err.toStdString();
    }
}

// Five full-size extras whose twins (30 MB each decoded) are more than a
// budget of the twins themselves could hold: the second full-screen start
// takes the copies of the first, and reads no twin again.
TEST(HdTwins, LaterFullScreenStartsTakeTheCopiesOfTheFirst) {
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/hd");
    const QList<QSize> extras(5, QSize(800, 600));
    PictureStores stores = PictureSet(dir.path(), extras);
    for (int i = 0; i < extras.size(); ++i) {
        QImage twin(3200, 2400, QImage::Format_RGB32);
        twin.fill(QColor::fromHsv(i * 50, 255, 120));
        ASSERT_TRUE(twin.save(HdTwinPath(stores.sources.SlotFile(kFirstExtraSlot + i)), "PNG"));
    }
    StretchedCopies kept;
    ASSERT_TRUE(MakeStretchedCopies(stores, FixedScale::One(), FixedScale::One(), &kept));
    const PictureStore first = stores.working;
    ASSERT_EQ(first.Picture(kFirstExtraSlot)->pixel(0, 0), QColor::fromHsv(0, 255, 120).rgb());
    ASSERT_TRUE(MakeWindowCopies(stores) && QDir(dir.path() + "/hd").removeRecursively());
    ASSERT_TRUE(MakeStretchedCopies(stores, FixedScale::One(), FixedScale::One(), &kept));
    for (int i = 0; i < extras.size(); ++i) {
        EXPECT_TRUE(*stores.working.Picture(kFirstExtraSlot + i) ==
                    *first.Picture(kFirstExtraSlot + i))
            << "extra " << i + 1;
    }
}

}  // namespace
}  // namespace wf
