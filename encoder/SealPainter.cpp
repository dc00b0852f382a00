#include "SealPainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace wf {
namespace {

// Wax spreads unevenly: a circle whose rim swells in soft lobes.
QPainterPath WaxOutline(double radius) {
    QPainterPath path;
    constexpr int kSteps = 96;
    constexpr int kLobes = 11;
    for (int i = 0; i <= kSteps; ++i) {
        const double a = 2.0 * std::numbers::pi * i / kSteps;
        const double r = radius * (0.93 + 0.07 * std::sin(kLobes * a) * std::cos(3.0 * a + 0.4));
        const QPointF pt(r * std::cos(a), r * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

QPainterPath Cloud(double r) {
    QPainterPath cloud;
    cloud.addEllipse(QPointF(-0.28 * r, 0.06 * r), 0.22 * r, 0.18 * r);
    cloud.addEllipse(QPointF(0.0, -0.06 * r), 0.26 * r, 0.24 * r);
    cloud.addEllipse(QPointF(0.27 * r, 0.05 * r), 0.2 * r, 0.17 * r);
    cloud.addRect(QRectF(-0.45 * r, 0.06 * r, 0.9 * r, 0.16 * r));
    return cloud.simplified();
}

}  // namespace

void PaintSeal(QPainter& painter, const QPointF& centre, double radius, double squash) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(centre);
    painter.scale(1.0 + (1.0 - squash) * 0.5, squash);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawPath(WaxOutline(radius).translated(radius * 0.06, radius * 0.08));

    QRadialGradient wax(QPointF(-radius * 0.3, -radius * 0.35), radius * 1.4);
    wax.setColorAt(0.0, QColor(232, 72, 60));
    wax.setColorAt(0.55, QColor(178, 28, 30));
    wax.setColorAt(1.0, QColor(110, 12, 18));
    painter.setBrush(wax);
    painter.setPen(QPen(QColor(96, 10, 14), radius * 0.03));
    painter.drawPath(WaxOutline(radius));

    // The pressed ring and the cloud: a dark groove with a light edge below
    // it reads as an impression.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 150, 140, 110), radius * 0.05));
    painter.drawEllipse(QPointF(radius * 0.015, radius * 0.02), radius * 0.68, radius * 0.68);
    painter.setPen(QPen(QColor(90, 8, 12), radius * 0.05));
    painter.drawEllipse(QPointF(0, 0), radius * 0.68, radius * 0.68);

    const QPainterPath cloud = Cloud(radius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 150, 140, 120));
    painter.drawPath(cloud.translated(radius * 0.03, radius * 0.04));
    painter.setBrush(QColor(120, 14, 20));
    painter.drawPath(cloud);
    painter.restore();
}

}  // namespace wf
