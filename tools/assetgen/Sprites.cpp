#include "Sprites.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

#include "Art.h"

namespace wf::assetgen {

MaskedSprite ToMaskedSprite(const QImage& layer) {
    const QImage argb = layer.convertToFormat(QImage::Format_ARGB32);
    MaskedSprite out{QImage(argb.size(), QImage::Format_RGB888),
                     QImage(argb.size(), QImage::Format_RGB888)};
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const bool covered = qAlpha(in[x]) >= 128;
            QRgb colour = qRgb(0, 0, 0);
            if (covered) {
                colour = qRgb(qRed(in[x]), qGreen(in[x]), qBlue(in[x]));
                // Pure black would make the pixel transparent under XOR.
                if (colour == qRgb(0, 0, 0))
                    colour = qRgb(1, 1, 1);
            }
            out.sprite.setPixel(x, y, colour);
            out.mask.setPixel(x, y, covered ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    return out;
}

MaskedSprite MakeCrossHair() {
    // Built pixel by pixel around the aim point so that the shape is exactly
    // symmetric about it; antialiasing would only be thrown away by the mask.
    // The rules are read at the centre of every device pixel in logical
    // units, so a scaled canvas gets the same shape with finer edges.
    QImage layer = NewCanvas(kCrossHairSize.width(), kCrossHairSize.height());
    const double scale = layer.devicePixelRatio();
    const QRgb red = qRgb(235, 40, 35);
    const QRgb edge = qRgb(25, 22, 30);
    const QRgb glint = qRgb(255, 150, 130);
    for (int y = 0; y < layer.height(); ++y) {
        for (int x = 0; x < layer.width(); ++x) {
            const double dx = (x + 0.5) / scale - 0.5 - kAimPoint.x();
            const double dy = (y + 0.5) / scale - 0.5 - kAimPoint.y();
            const double d = std::sqrt(dx * dx + dy * dy);
            const double ax = std::abs(dx), ay = std::abs(dy);
            QRgb c = 0;
            bool set = false;
            const auto put = [&](QRgb v) {
                c = v;
                set = true;
            };
            // The ring is open at the four diagonals, so that the scene
            // inside it is connected to the scene outside: no closed hole.
            const bool ringGap = std::abs(ax - ay) < 1.5;
            if (d >= 8.6 && d <= 12.4 && !ringGap)
                put(edge);
            if (d >= 9.5 && d <= 11.5 && !ringGap)
                put(dy < 0 && dx < 0 && d < 10.5 ? glint : red);
            // Arms: a red line with a dark border, leaving the centre open.
            const bool onHArm = ay < 1.5 && ax > 2.5 && ax < 15.5;
            const bool onVArm = ax < 1.5 && ay > 2.5 && ay < 15.5;
            if (onHArm || onVArm)
                put(edge);
            if ((ay < 0.5 && ax > 3.5 && ax < 14.5) || (ax < 0.5 && ay > 3.5 && ay < 14.5))
                put(red);
            if (ax < 1.5 && ay < 1.5)
                put(edge);
            if (ax < 0.5 && ay < 0.5)
                put(red);
            if (set)
                layer.setPixel(x, y, c);
        }
    }
    return ToMaskedSprite(layer);
}

// The bird flying right is the same drawing mirrored.
void PaintBirdShape(QPainter& p) {
    const QColor outline(24, 34, 72);
    const QColor back(58, 112, 196);
    const QColor backLight(120, 175, 240);
    const QColor belly(252, 244, 222);
    const QPen pen(outline, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    QPainterPath farWing;  // behind the body and darker
    farWing.moveTo(38, 17);
    farWing.cubicTo(40, 8, 46, 3, 52, 2);
    farWing.cubicTo(52, 8, 51, 13, 50, 17);
    farWing.closeSubpath();
    QPainterPath tail;  // a fan
    tail.moveTo(60, 19);
    tail.lineTo(82, 11);
    tail.quadTo(86, 17, 83, 22);
    tail.lineTo(85, 27);
    tail.quadTo(78, 30, 60, 25);
    tail.closeSubpath();
    // Body and head as one plump shape: the union of the two ellipses (an
    // even-odd fill would leave their overlap, the neck, see-through).
    QPainterPath body;
    body.setFillRule(Qt::WindingFill);
    body.addEllipse(QPointF(44, 21), 21, 10);
    body.addEllipse(QPointF(24, 17), 9, 8.5);
    body = body.simplified();
    QPainterPath beak;
    beak.moveTo(16, 14);
    beak.lineTo(5, 18.5);
    beak.lineTo(16, 21);
    beak.closeSubpath();
    QPainterPath wing;  // the near wing, raised in the up-stroke
    wing.moveTo(36, 19);
    wing.cubicTo(42, 8, 54, 1, 70, 1);
    wing.cubicTo(66, 5, 64, 9, 61, 11);
    wing.cubicTo(60, 15, 56, 20, 48, 22);
    wing.closeSubpath();

    // A pale rim around the dark outline: the outline stands out on a bright
    // sky, the rim on a night sky.
    const QColor rim(236, 240, 250);
    p.setPen(QPen(rim, 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(rim);
    for (const QPainterPath* part : {&farWing, &tail, &body, &beak, &wing})
        p.drawPath(*part);

    p.setPen(pen);
    p.setBrush(back.darker(140));
    p.drawPath(farWing);

    QLinearGradient tailShade(60, 12, 60, 30);
    tailShade.setColorAt(0, backLight);
    tailShade.setColorAt(1, back.darker(120));
    p.setBrush(tailShade);
    p.drawPath(tail);

    QLinearGradient bodyShade(0, 8, 0, 32);
    bodyShade.setColorAt(0.0, backLight);
    bodyShade.setColorAt(0.45, back);
    bodyShade.setColorAt(0.5, belly);
    bodyShade.setColorAt(1.0, belly.darker(112));
    p.setBrush(bodyShade);
    p.drawPath(body);

    p.setBrush(QColor(250, 165, 40));
    p.drawPath(beak);
    p.setPen(QPen(outline, 1.0));
    p.drawLine(QPointF(7, 18.5), QPointF(15, 18));

    // Eye with a glint, and a rosy cheek.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 140, 150));
    p.drawEllipse(QPointF(22, 21), 3, 2);
    p.setPen(QPen(outline, 1.0));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(21, 14.5), 3.2, 3.2);
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    p.drawEllipse(QPointF(20.2, 14.8), 1.7, 1.9);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(19.6, 13.9), 0.7, 0.7);

    // The near wing with feather lines.
    QLinearGradient wingShade(36, 20, 70, 2);
    wingShade.setColorAt(0, back);
    wingShade.setColorAt(1, backLight);
    p.setPen(pen);
    p.setBrush(wingShade);
    p.drawPath(wing);
    p.setPen(QPen(back.darker(150), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(47, 15), QPointF(60, 6));
    p.drawLine(QPointF(50, 18), QPointF(61, 10));
    p.drawLine(QPointF(44, 12), QPointF(57, 4));
}

MaskedSprite MakeBird(bool flyingRight) {
    QImage layer = NewCanvas(kBirdSize.width(), kBirdSize.height());
    QPainter p(&layer);
    Smooth(p);
    if (flyingRight) {
        // Mirror about the hit centre's column so both birds share it.
        p.translate(2 * kBirdHitCentre.x(), 0);
        p.scale(-1, 1);
    }
    PaintBirdShape(p);
    p.end();
    return ToMaskedSprite(layer);
}

QImage MakeCartridge() {
    QImage image = NewCanvas(kCartridgeSize.width(), kCartridgeSize.height(), QColor(22, 24, 30));
    QPainter p(&image);
    Smooth(p);
    const QRectF tile(0.5, 0.5, 19, 39);
    QLinearGradient tileShade(tile.topLeft(), tile.bottomLeft());
    tileShade.setColorAt(0, QColor(56, 62, 74));
    tileShade.setColorAt(1, QColor(30, 33, 42));
    p.setPen(QPen(QColor(86, 94, 110), 1.0));
    p.setBrush(tileShade);
    p.drawRoundedRect(tile, 4, 4);

    // Copper bullet with an ogive nose.
    QPainterPath bullet;
    bullet.moveTo(6, 15);
    bullet.cubicTo(6, 9, 8, 5, 10, 3.5);
    bullet.cubicTo(12, 5, 14, 9, 14, 15);
    bullet.closeSubpath();
    QLinearGradient copper(6, 0, 14, 0);
    copper.setColorAt(0, QColor(150, 70, 40));
    copper.setColorAt(0.35, QColor(240, 160, 110));
    copper.setColorAt(1, QColor(130, 60, 35));
    p.setPen(Qt::NoPen);
    p.setBrush(copper);
    p.drawPath(bullet);

    // Brass case, rim and a dark groove.
    QLinearGradient brass(5, 0, 15, 0);
    brass.setColorAt(0, QColor(140, 100, 35));
    brass.setColorAt(0.3, QColor(252, 222, 130));
    brass.setColorAt(0.6, QColor(215, 170, 70));
    brass.setColorAt(1, QColor(120, 85, 30));
    p.setBrush(brass);
    p.drawRect(QRectF(5.5, 15, 9, 19));
    p.drawRoundedRect(QRectF(4.5, 34, 11, 3), 1, 1);
    p.setBrush(QColor(90, 60, 20));
    p.drawRect(QRectF(5.5, 32.5, 9, 1.2));
    p.setBrush(QColor(255, 245, 200, 150));
    p.drawRect(QRectF(7.5, 16, 1.2, 15));
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

}  // namespace wf::assetgen
