// The picture stores and the raster operations on their pictures.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <climits>

#include "Blit.h"
#include "PictureStore.h"

namespace wf {
namespace {

QImage Filled(int w, int h, QRgb colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

int CountColour(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) == colour ? 1 : 0;
    }
    return n;
}

TEST(PictureStore, NumbersSlotsPerStoreAndKeepsThemWhereTheyAre) {
    PictureStores stores;
    EXPECT_EQ(RES::NewSlot(stores, 0), 1);
    QImage* first = RES::SlotDC(stores, 0, 1);
    EXPECT_EQ(RES::NewSlot(stores, 1), 1);
    for (int i = 2; i <= 80; ++i)
        ASSERT_EQ(RES::NewSlot(stores, 0), i);
    EXPECT_EQ(RES::SlotDC(stores, 0, 1), first) << "a held slot stays where it is";
    EXPECT_EQ(stores.RESSOURCEN2.SlotCount(), 1);
    for (auto [store, slot] : {std::pair{0, 0}, {0, 81}, {1, 2}, {2, 1}, {-1, 1}, {255, 1}})
        EXPECT_EQ(RES::SlotDC(stores, store, slot), nullptr) << store << "/" << slot;
    for (int store : {2, -1, 255})
        EXPECT_EQ(RES::NewSlot(stores, store), 0);
    EXPECT_EQ(stores.RESSOURCEN.SlotCount(), 80);
}

TEST(PictureStore, LoadsByContentAndAFailedLoadKeepsTheSlot) {
    QTemporaryDir dir;
    PictureStores stores;
    RES::NewSlot(stores, 0);
    const QString jpgName = dir.filePath("Vogel.jpg");  // a PNG in fact, of 8-bit colours
    Filled(7, 5, qRgb(10, 20, 30)).convertToFormat(QImage::Format_Indexed8).save(jpgName, "PNG");
    ASSERT_EQ(RES::LoadSlotPicture(stores, 0, 1, jpgName), 1);
    const QImage* slot = RES::SlotDC(stores, 0, 1);
    EXPECT_EQ(slot->format(), QImage::Format_RGB32);  // what the blits expect
    EXPECT_EQ(*slot, Filled(7, 5, qRgb(10, 20, 30)));

    QFile text(dir.filePath("kaputt.jpg"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("kein Bild") > 0);
    text.close();
    const QString wide = dir.filePath("breit.png");  // wider than any picture may be
    Filled(8193, 1, qRgb(255, 0, 0)).save(wide, "PNG");
    for (const QString& bad : {dir.filePath("fehlt.jpg"), text.fileName(), QString(), wide}) {
        EXPECT_EQ(RES::LoadSlotPicture(stores, 0, 1, bad), 0) << bad.toStdString();
        EXPECT_EQ(*RES::SlotDC(stores, 0, 1), Filled(7, 5, qRgb(10, 20, 30)));
    }
    // Neither a slot that does not exist yet nor another store loads.
    EXPECT_EQ(RES::LoadSlotPicture(stores, 0, 2, jpgName), 0);
    EXPECT_EQ(RES::LoadSlotPicture(stores, 2, 1, jpgName), 0);
    EXPECT_EQ(stores.RESSOURCEN.SlotCount(), 1);
}

TEST(Blit, CopiesWholePicturesClippedByTheDestination) {
    const QRgb red = qRgb(255, 0, 0);
    const struct {
        int x, y, red;
    } cases[] = {{0, 0, 9},       {8, 8, 4},      {-2, -2, 1},     {-3, 0, 0},
                 {10, 10, 0},     {4, -1, 6},     {INT_MAX, 0, 0}, {INT_MAX - 1, INT_MAX - 1, 0},
                 {INT_MIN, 0, 0}, {0, INT_MIN, 0}};
    for (const auto& c : cases) {
        QImage dst = Filled(10, 10, qRgb(0, 0, 0));
        EXPECT_TRUE(Blit::Copy(dst, c.x, c.y, Filled(3, 3, red), RasterOp::SrcCopy));
        EXPECT_EQ(CountColour(dst, red), c.red) << c.x << "," << c.y;
    }
    QImage dst = Filled(2, 2, 0), none;
    EXPECT_FALSE(Blit::Copy(dst, 0, 0, QImage(), RasterOp::SrcCopy));
    EXPECT_FALSE(Blit::Copy(none, 0, 0, Filled(1, 1, red), RasterOp::SrcCopy));
}

TEST(Blit, StretchesToTheGivenSizeKeepingMasksBinary) {
    QImage src = Filled(2, 2, qRgb(255, 255, 255));
    src.setPixel(0, 0, qRgb(0, 0, 0));
    QImage dst;
    ASSERT_TRUE(Blit::Stretch(dst, src, 5, 3, false));
    EXPECT_EQ(dst.format(), QImage::Format_RGB32);
    EXPECT_EQ(CountColour(dst, qRgb(0, 0, 0)) + CountColour(dst, qRgb(255, 255, 255)), 15);
    EXPECT_EQ(dst.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(dst.pixel(4, 2), qRgb(255, 255, 255));
    EXPECT_FALSE(Blit::Stretch(dst, src, 0, 3, false));
    EXPECT_FALSE(Blit::Stretch(dst, QImage(), 2, 2, true));
}

TEST(Blit, FillsBoxesWithBothCornersInAnyOrderClipped) {
    const struct {
        double x1, y1, x2, y2;
        int expected;
    } cases[] = {{2, 3, 4, 5, 9},
                 {4, 5, 2, 3, 9},
                 {-5, -5, 100, 100, 100},
                 {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 100},
                 {INT_MAX - 1, 0, INT_MAX, 5, 0},
                 {1.6, 1.4, 3.5, 2.5, 6}};
    for (const auto& b : cases) {
        QImage img = Filled(10, 10, 0);
        Blit::FillBox(img, b.x1, b.y1, b.x2, b.y2, QColor(128, 0, 0));
        EXPECT_EQ(CountColour(img, qRgb(128, 0, 0)), b.expected) << b.x1 << "," << b.y1;
    }
}

}  // namespace
}  // namespace wf
