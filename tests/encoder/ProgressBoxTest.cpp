// The progress bar: the filled part for a percentage, and what is painted.
#include <gtest/gtest.h>

#include <QImage>

#include "ProgressBox.h"

namespace wf {
namespace {

TEST(ProgressBox, BarRect) {
    struct Case {
        int percent;
        QRect bar;
    };
    const QSize size(200, 20);
    const Case cases[] = {
        {0, QRect()},
        {1, QRect()},  // 2 - 2 = 0: nothing inside the border yet
        {5, QRect(QPoint(1, 1), QPoint(8, 18))},
        {100, QRect(QPoint(1, 1), QPoint(198, 18))},
        {385, QRect(QPoint(1, 1), QPoint(198, 18))},
        {2000000000, QRect(QPoint(1, 1), QPoint(198, 18))},
        {-5, QRect()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        EXPECT_EQ(ProgressBox::BarRect(size, c.percent), c.bar);
    }
}

TEST(ProgressBox, PaintsDarkBlueOnWhite) {
    ProgressBox box;
    box.resize(200, 20);
    box.show();
    const QColor blue(0, 0, 128);
    box.ShowProgress(50);
    QImage shot = box.grab().toImage();
    EXPECT_EQ(box.Percent(), 50);
    EXPECT_EQ(shot.pixelColor(50, 10), blue);
    EXPECT_EQ(shot.pixelColor(150, 10), QColor(Qt::white));
    box.ShowProgress(300);
    shot = box.grab().toImage();
    EXPECT_EQ(shot.pixelColor(197, 10), blue);
}

}  // namespace
}  // namespace wf
