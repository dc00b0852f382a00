#include "SplashPicture.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace wf {
namespace {

void Cloud(QPainter& p, QPointF at, double size) {
    p.setBrush(QColor(255, 255, 255, 210));
    p.setPen(Qt::NoPen);
    p.drawEllipse(at, size, size * 0.55);
    p.drawEllipse(at + QPointF(size * 0.8, size * 0.1), size * 0.7, size * 0.45);
    p.drawEllipse(at + QPointF(-size * 0.8, size * 0.15), size * 0.6, size * 0.4);
}

// A gliding bird seen from below: two swept wings and a small body.
void Bird(QPainter& p, QPointF c, double span) {
    const double h = span / 2;
    QPainterPath path;
    path.moveTo(c + QPointF(-h, -h * 0.35));
    path.quadTo(c + QPointF(-h * 0.45, -h * 0.45), c + QPointF(-h * 0.08, -h * 0.02));
    path.quadTo(c + QPointF(0, -h * 0.12), c + QPointF(h * 0.08, -h * 0.02));
    path.quadTo(c + QPointF(h * 0.45, -h * 0.45), c + QPointF(h, -h * 0.35));
    path.quadTo(c + QPointF(h * 0.45, -h * 0.12), c + QPointF(h * 0.06, h * 0.12));
    path.lineTo(c + QPointF(0, h * 0.22));
    path.lineTo(c + QPointF(-h * 0.06, h * 0.12));
    path.quadTo(c + QPointF(-h * 0.45, -h * 0.12), c + QPointF(-h, -h * 0.35));
    p.setBrush(QColor(30, 30, 45));
    p.setPen(Qt::NoPen);
    p.drawPath(path);
}

}  // namespace

QImage SplashPicture(int widthPx, int heightPx) {
    QImage img(widthPx, heightPx, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, heightPx);
    sky.setColorAt(0.0, QColor(40, 90, 170));
    sky.setColorAt(0.7, QColor(135, 190, 235));
    sky.setColorAt(1.0, QColor(235, 200, 150));
    p.fillRect(img.rect(), sky);

    Cloud(p, QPointF(widthPx * 0.18, heightPx * 0.86), heightPx * 0.1);
    Cloud(p, QPointF(widthPx * 0.8, heightPx * 0.88), heightPx * 0.08);
    Bird(p, QPointF(widthPx * 0.8, heightPx * 0.25), heightPx * 0.3);
    Bird(p, QPointF(widthPx * 0.66, heightPx * 0.33), heightPx * 0.14);

    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(std::max(8, heightPx / 4));
    font.setBold(true);
    p.setFont(font);
    const QRect textRect(0, heightPx * 2 / 5, widthPx, heightPx / 3);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(textRect.translated(3, 3), Qt::AlignCenter, QStringLiteral("Wolkenfang"));
    p.setPen(Qt::white);
    p.drawText(textRect, Qt::AlignCenter, QStringLiteral("Wolkenfang"));
    return img;
}

}  // namespace wf
