#include <gtest/gtest.h>

#include <QImage>
#include <climits>

#include "Blit.h"

namespace wf {
namespace {

QImage Filled(int w, int h, QRgb colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

int CountColour(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) == colour ? 1 : 0;
    return n;
}

TEST(Blit, CopiesWholePicturesClippedByTheDestination) {
    const QRgb red = qRgb(255, 0, 0);
    struct Case {
        int x, y, expectedRed;
    } cases[] = {{0, 0, 9},       {8, 8, 4},      {-2, -2, 1},     {-3, 0, 0},
                 {10, 10, 0},     {4, -1, 6},     {INT_MAX, 0, 0}, {INT_MAX - 1, INT_MAX - 1, 0},
                 {INT_MIN, 0, 0}, {0, INT_MIN, 0}};
    for (const Case& c : cases) {
        QImage dst = Filled(10, 10, qRgb(0, 0, 0));
        EXPECT_TRUE(Blit::Copy(dst, c.x, c.y, Filled(3, 3, red), RasterOp::SrcCopy));
        EXPECT_EQ(CountColour(dst, red), c.expectedRed) << c.x << "," << c.y;
    }
    QImage dst = Filled(2, 2, 0);
    EXPECT_FALSE(Blit::Copy(dst, 0, 0, QImage(), RasterOp::SrcCopy));
    QImage none;
    EXPECT_FALSE(Blit::Copy(none, 0, 0, Filled(1, 1, red), RasterOp::SrcCopy));
}

TEST(Blit, MaskThenSpriteLeavesTheBackgroundAroundTheSprite) {
    const QRgb background = qRgb(10, 200, 30);
    const QRgb bird = qRgb(90, 60, 40);
    QImage mask = Filled(2, 1, qRgb(255, 255, 255));  // white: transparent
    mask.setPixel(0, 0, qRgb(0, 0, 0));               // black: opaque
    QImage sprite = Filled(2, 1, qRgb(0, 0, 0));      // black where transparent
    sprite.setPixel(0, 0, bird);

    QImage dst = Filled(3, 1, background);
    ASSERT_TRUE(Blit::Copy(dst, 1, 0, mask, RasterOp::SrcAnd));
    ASSERT_TRUE(Blit::Copy(dst, 1, 0, sprite, RasterOp::SrcInvert));
    EXPECT_EQ(dst.pixel(0, 0), background);
    EXPECT_EQ(dst.pixel(1, 0), bird);
    EXPECT_EQ(dst.pixel(2, 0), background);
}

TEST(Blit, StretchesToTheGivenSizeKeepingMasksBinary) {
    QImage src = Filled(2, 2, qRgb(255, 255, 255));
    src.setPixel(0, 0, qRgb(0, 0, 0));
    QImage dst;
    ASSERT_TRUE(Blit::Stretch(dst, src, 5, 3, false));
    EXPECT_EQ(dst.size(), QSize(5, 3));
    EXPECT_EQ(dst.format(), QImage::Format_RGB32);
    EXPECT_EQ(CountColour(dst, qRgb(0, 0, 0)) + CountColour(dst, qRgb(255, 255, 255)), 15);
    EXPECT_EQ(dst.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(dst.pixel(4, 2), qRgb(255, 255, 255));
    EXPECT_FALSE(Blit::Stretch(dst, src, 0, 3, false));
    EXPECT_FALSE(Blit::Stretch(dst, QImage(), 2, 2, true));
}

TEST(Blit, FillsBoxesWithBothCornersInAnyOrderClipped) {
    const QRgb c = qRgb(128, 0, 0);
    const struct {
        int x1, y1, x2, y2, expected;
    } cases[] = {{2, 3, 4, 5, 9},
                 {4, 5, 2, 3, 9},
                 {-5, -5, 100, 100, 100},
                 {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 100},
                 {INT_MAX - 1, 0, INT_MAX, 5, 0}};
    for (const auto& b : cases) {
        QImage img = Filled(10, 10, 0);
        Blit::FillBox(img, b.x1, b.y1, b.x2, b.y2, QColor(c));
        EXPECT_EQ(CountColour(img, c), b.expected) << b.x1 << "," << b.y1;
    }
}

}  // namespace
}  // namespace wf
