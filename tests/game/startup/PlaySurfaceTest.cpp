#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QVariantList>

#include "Form6.h"
#include "PlaySurface.h"

namespace wf {
namespace {

TEST(PlaySurface, ReportsMovesAndReleasesInItsOwnPixels) {
    PlaySurface surface;
    QList<QVariantList> moves;
    QList<QVariantList> releases;
    QObject::connect(&surface, &PlaySurface::PointerMoved, [&](double x, double y) {
        moves.append({x, y});
    });
    QObject::connect(&surface, &PlaySurface::ButtonReleased, [&](int b, double x, double y) {
        releases.append({b, x, y});
    });

    QMouseEvent move(QEvent::MouseMove, QPointF(12.25, 7.5), QPointF(12.25, 7.5), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&surface, &move);
    ASSERT_EQ(moves.size(), 1);
    EXPECT_DOUBLE_EQ(moves[0][0].toDouble(), 12.25);
    EXPECT_DOUBLE_EQ(moves[0][1].toDouble(), 7.5);

    const std::pair<Qt::MouseButton, int> buttons[] = {
        {Qt::LeftButton, 1}, {Qt::RightButton, 2}, {Qt::MiddleButton, 4}, {Qt::BackButton, 0}};
    for (const auto& [button, value] : buttons) {
        releases.clear();
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(3, 4), QPointF(3, 4), button,
                       Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&surface, &up);
        if (value == 0) {
            EXPECT_TRUE(releases.isEmpty());
            continue;
        }
        ASSERT_EQ(releases.size(), 1) << value;
        EXPECT_EQ(releases[0][0].toInt(), value);
        EXPECT_DOUBLE_EQ(releases[0][1].toDouble(), 3.0);
        EXPECT_DOUBLE_EQ(releases[0][2].toDouble(), 4.0);
    }
}

TEST(PlaySurface, KeepsWhatWasDrawnWhenResized) {
    PlaySurface surface;
    surface.SetSurfaceSize(4, 4);
    surface.Image().fill(qRgb(0, 0, 255));
    surface.SetSurfaceSize(6, 3);
    EXPECT_EQ(surface.size(), QSize(6, 3));
    EXPECT_EQ(surface.Image().size(), QSize(6, 3));
    EXPECT_EQ(surface.Image().pixel(3, 2), qRgb(0, 0, 255));
    EXPECT_EQ(surface.Image().pixel(5, 0), qRgb(0, 0, 0));
}

TEST(Form6, ShowsItsTextsAndAGrowingBar) {
    Form6 splash;
    EXPECT_EQ(splash.Label1->text(), "Wird geladen  - Bitte warten ...");
    splash.ShowAndPaint();
    EXPECT_TRUE(splash.isVisible());

    const QImage& bar = splash.Picture1->Image();
    const int w = bar.width();
    const QRgb red = qRgb(128, 0, 0);
    splash.SetProgress(50);
    EXPECT_EQ(bar.pixel(0, 0), red);
    EXPECT_EQ(bar.pixel(w / 2 - 1, bar.height() - 1), red);
    EXPECT_NE(bar.pixel(w / 2 + 2, 0), red);
    // A smaller step draws over the old box and never erases it.
    splash.SetProgress(20);
    EXPECT_EQ(bar.pixel(w / 2 - 1, 0), red);
}

}  // namespace
}  // namespace wf
