#include "TrophyPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace wf {

TrophyPicture::TrophyPicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void TrophyPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 100 × 120 grid and scaled to the control.
    const qreal scale = std::min(width() / 100.0, height() / 120.0);
    painter.translate((width() - 100 * scale) / 2, (height() - 120 * scale) / 2);
    painter.scale(scale, scale);

    QLinearGradient gold(20, 0, 80, 0);
    gold.setColorAt(0.0, QColor(150, 100, 10));
    gold.setColorAt(0.35, QColor(255, 225, 110));
    gold.setColorAt(0.6, QColor(230, 175, 35));
    gold.setColorAt(1.0, QColor(130, 85, 5));
    const QPen outline(QColor(90, 55, 0), 1.5);

    // Handles.
    painter.setPen(QPen(QColor(200, 150, 30), 6, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(8, 16, 28, 34), 90 * 16, 180 * 16);
    painter.drawArc(QRectF(64, 16, 28, 34), -90 * 16, 180 * 16);

    // Bowl.
    QPainterPath bowl;
    bowl.moveTo(22, 12);
    bowl.lineTo(78, 12);
    bowl.cubicTo(78, 48, 66, 64, 50, 66);
    bowl.cubicTo(34, 64, 22, 48, 22, 12);
    painter.setPen(outline);
    painter.setBrush(gold);
    painter.drawPath(bowl);
    painter.drawEllipse(QRectF(22, 8, 56, 8));

    // Stem, knot and base.
    painter.drawRect(QRectF(45, 66, 10, 16));
    painter.drawEllipse(QRectF(40, 78, 20, 8));
    painter.drawRect(QRectF(30, 88, 40, 8));
    painter.setBrush(QColor(70, 40, 20));
    painter.drawRect(QRectF(24, 96, 52, 16));
    painter.setPen(QPen(QColor(230, 180, 50), 1));
    painter.setBrush(QColor(210, 160, 40));
    painter.drawRect(QRectF(38, 100, 24, 8));

    // Star and shine.
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const qreal r = i % 2 == 0 ? 9.0 : 3.8;
        const qreal a = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const QPointF p(50 + r * std::cos(a), 34 + r * std::sin(a));
        if (i == 0) {
            star.moveTo(p);
        } else {
            star.lineTo(p);
        }
    }
    star.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 245, 190));
    painter.drawPath(star);
    QRadialGradient shine(34, 24, 10);
    shine.setColorAt(0.0, QColor(255, 255, 255, 200));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setBrush(shine);
    painter.drawEllipse(QRectF(24, 14, 20, 20));
}

}  // namespace wf
