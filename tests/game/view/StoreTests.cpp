// The raster operations on pictures, clipped without overflow.
#include <gtest/gtest.h>

#include <climits>

#include "Blit.h"
#include "GameKit.h"

namespace wf {
namespace {

using testkit::Filled;

int CountColour(const QImage& img, QRgb colour) {
    return testkit::CountPixels(img, [colour](QRgb p) { return p == colour; });
}

TEST(Blit, CopiesAndFillsClippedByTheDestinationWithoutOverflow) {
    const QRgb red = qRgb(255, 0, 0);
    for (auto [x, y, count] : {std::tuple{0, 0, 9},
                               {8, 8, 4},
                               {-2, -2, 1},
                               {-3, 0, 0},
                               {10, 10, 0},
                               {4, -1, 6},
                               {INT_MAX, 0, 0},
                               {INT_MAX - 1, INT_MAX - 1, 0},
                               {INT_MIN, 0, 0},
                               {0, INT_MIN, 0}}) {
        QImage dst = Filled(10, 10, qRgb(0, 0, 0));
        EXPECT_TRUE(Blit::Copy(dst, x, y, Filled(3, 3, red), RasterOp::SrcCopy));
        EXPECT_EQ(CountColour(dst, red), count) << x << "," << y;
    }
    QImage dst = Filled(2, 2, 0), none;
    EXPECT_FALSE(Blit::Copy(dst, 0, 0, QImage(), RasterOp::SrcCopy));
    EXPECT_FALSE(Blit::Copy(none, 0, 0, Filled(1, 1, red), RasterOp::SrcCopy));
    // Boxes by both corners in any order.
    for (auto [x1, y1, x2, y2, count] :
         {std::tuple<double, double, double, double, int>{2, 3, 4, 5, 9},
          {4, 5, 2, 3, 9},
          {-5, -5, 100, 100, 100},
          {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 100},
          {INT_MAX - 1, 0, INT_MAX, 5, 0},
          {1.6, 1.4, 3.5, 2.5, 6}}) {
        QImage img = Filled(10, 10, 0);
        Blit::FillBox(img, x1, y1, x2, y2, QColor(128, 0, 0));
        EXPECT_EQ(CountColour(img, qRgb(128, 0, 0)), count) << x1 << "," << y1;
    }
}

}  // namespace
}  // namespace wf
