// Painters of the objects that stand in the day scenes. Each is designed for
// its box size in Layout.h and scales to the size it is given.
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

#include "Art.h"
#include "ObjectPainters.h"

namespace wf::assetgen::painters {

namespace {

const QColor kInk(40, 30, 30);

}  // namespace

void FitDesign(QPainter& p, QSizeF s, double w, double h) {
    const double k = std::min(s.width() / w, s.height() / h);
    p.translate((s.width() - w * k) / 2, (s.height() - h * k) / 2);
    p.scale(k, k);
}

void Glow(QPainter& p, QPointF at, double radius, QColor colour) {
    p.save();
    PaintGlow(p, at, radius, colour);
    p.restore();
}

void HotAirBalloon(QPainter& p, QSizeF s) {
    FitDesign(p, s, 68, 85);
    QPainterPath envelope;
    envelope.moveTo(34, 62);
    envelope.cubicTo(14, 50, 6, 40, 6, 29);
    envelope.cubicTo(6, 12, 19, 3, 34, 3);
    envelope.cubicTo(49, 3, 62, 12, 62, 29);
    envelope.cubicTo(62, 40, 54, 50, 34, 62);
    envelope.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 60, 50));
    p.drawPath(envelope);
    p.save();
    p.setClipPath(envelope);
    // Gores: narrow vertical stripes that bulge with the envelope.
    static const QColor kGores[] = {QColor(255, 205, 60), QColor(255, 130, 40),
                                    QColor(40, 70, 170)};
    for (int i = 0; i < 3; ++i) {
        const double half = 5.0 + 9.0 * i;
        QPainterPath gore;
        gore.moveTo(34, 2);
        gore.cubicTo(34 - half * 1.6, 12, 34 - half * 1.6, 46, 34, 63);
        gore.cubicTo(34 - half * 1.1, 46, 34 - half * 1.1, 12, 34, 2);
        QPainterPath mirrored;
        mirrored.moveTo(34, 2);
        mirrored.cubicTo(34 + half * 1.6, 12, 34 + half * 1.6, 46, 34, 63);
        mirrored.cubicTo(34 + half * 1.1, 46, 34 + half * 1.1, 12, 34, 2);
        p.setBrush(kGores[i]);
        p.drawPath(gore);
        p.drawPath(mirrored);
    }
    QRadialGradient shade(QPointF(24, 18), 44);
    shade.setColorAt(0, QColor(255, 255, 255, 90));
    shade.setColorAt(0.5, QColor(255, 255, 255, 0));
    shade.setColorAt(1, QColor(40, 0, 40, 110));
    p.setBrush(shade);
    p.drawRect(QRectF(0, 0, 68, 64));
    p.restore();
    p.setPen(QPen(QColor(120, 80, 50), 1.0));
    p.drawLine(QPointF(28, 59), QPointF(28.5, 72));
    p.drawLine(QPointF(40, 59), QPointF(39.5, 72));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 80, 50));
    p.drawRoundedRect(QRectF(27, 56, 14, 5), 2, 2);
    QLinearGradient wicker(0, 71, 0, 82);
    wicker.setColorAt(0, QColor(190, 140, 80));
    wicker.setColorAt(1, QColor(130, 90, 50));
    p.setBrush(wicker);
    p.drawRoundedRect(QRectF(26, 71, 16, 11), 2, 2);
    p.setPen(QPen(QColor(110, 75, 40), 0.8));
    for (double x = 29; x < 42; x += 3)
        p.drawLine(QPointF(x, 72), QPointF(x, 81));
}

void Scarecrow(QPainter& p, QSizeF s) {
    FitDesign(p, s, 51, 85);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(QPointF(28, 82), 13, 2.5);
    const QColor wood(120, 84, 50);
    p.setBrush(wood);
    p.drawRect(QRectF(23.5, 22, 4, 60));
    p.drawRect(QRectF(3, 34, 45, 3.5));
    // Straw poking out of sleeves and hem.
    p.setPen(QPen(QColor(230, 196, 90), 1.3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(QPointF(6, 36), QPointF(1 + i * 0.3, 32 + i * 2.5));
        p.drawLine(QPointF(45, 36), QPointF(50 - i * 0.3, 32 + i * 2.5));
        p.drawLine(QPointF(18 + i * 5, 60), QPointF(17 + i * 5.5, 66));
    }
    // Checked shirt.
    QPainterPath shirt;
    shirt.moveTo(14, 31);
    shirt.lineTo(37, 31);
    shirt.lineTo(46, 33);
    shirt.lineTo(46, 41);
    shirt.lineTo(37, 40);
    shirt.lineTo(36, 61);
    shirt.lineTo(15, 61);
    shirt.lineTo(14, 40);
    shirt.lineTo(5, 41);
    shirt.lineTo(5, 33);
    shirt.closeSubpath();
    p.setPen(QPen(QColor(90, 20, 20), 1.0));
    p.setBrush(QColor(200, 45, 45));
    p.drawPath(shirt);
    p.save();
    p.setClipPath(shirt);
    p.setPen(QPen(QColor(255, 230, 200, 120), 1.2));
    for (double x = 4; x < 48; x += 5)
        p.drawLine(QPointF(x, 30), QPointF(x, 62));
    for (double y = 33; y < 62; y += 5)
        p.drawLine(QPointF(4, y), QPointF(47, y));
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 80, 160));
    p.drawRect(QRectF(22, 44, 7, 6));  // a patch
    // Sack head with a stitched face.
    p.setPen(QPen(QColor(130, 100, 60), 1.0));
    p.setBrush(QColor(222, 196, 144));
    p.drawEllipse(QPointF(25.5, 22), 8.5, 9);
    p.setPen(QPen(kInk, 1.3, Qt::SolidLine, Qt::RoundCap));
    for (double ex : {22.0, 29.0}) {
        p.drawLine(QPointF(ex - 1.5, 19.5), QPointF(ex + 1.5, 22.5));
        p.drawLine(QPointF(ex + 1.5, 19.5), QPointF(ex - 1.5, 22.5));
    }
    QPainterPath smile(QPointF(21, 26));
    smile.quadTo(QPointF(25.5, 29.5), QPointF(30, 26));
    p.setBrush(Qt::NoBrush);
    p.drawPath(smile);
    // Straw hat.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 170, 70));
    p.drawEllipse(QPointF(25.5, 14.5), 17, 4);
    p.setBrush(QColor(232, 192, 92));
    p.drawRoundedRect(QRectF(17, 3, 17, 12), 5, 5);
    p.setBrush(QColor(170, 40, 40));
    p.drawRect(QRectF(17, 10, 17, 3));
}

void Bottle(QPainter& p, QSizeF s) {
    FitDesign(p, s, 17, 34);
    QPainterPath glass;
    glass.moveTo(5.5, 1.5);
    glass.lineTo(11.5, 1.5);
    glass.lineTo(11.5, 8);
    glass.quadTo(15.5, 10, 15.5, 14);
    glass.lineTo(15.5, 33);
    glass.lineTo(1.5, 33);
    glass.lineTo(1.5, 14);
    glass.quadTo(1.5, 10, 5.5, 8);
    glass.closeSubpath();
    QLinearGradient g(1.5, 0, 15.5, 0);
    g.setColorAt(0, QColor(20, 90, 40));
    g.setColorAt(0.3, QColor(90, 190, 110));
    g.setColorAt(1, QColor(16, 70, 30));
    p.setPen(QPen(QColor(12, 50, 20), 0.8));
    p.setBrush(g);
    p.drawPath(glass);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 235, 205));
    p.drawRect(QRectF(2, 18, 13, 8));
    p.setBrush(QColor(200, 50, 40));
    p.drawEllipse(QPointF(8.5, 22), 2.5, 2.5);
    p.setBrush(QColor(255, 255, 255, 160));
    p.drawRect(QRectF(4, 10, 1.3, 20));
    p.setBrush(QColor(200, 160, 60));
    p.drawRect(QRectF(5, 0.5, 7, 2.5));  // cap
}

void Kite(QPainter& p, QSizeF s, QColor a, QColor b) {
    FitDesign(p, s, 51, 68);
    const QPointF top(25, 3), right(47, 22), bottom(25, 50), left(4, 22), centre(25, 22);
    const QPointF corners[] = {top, right, bottom, left};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        QPainterPath tri(centre);
        tri.lineTo(corners[i]);
        tri.lineTo(corners[(i + 1) % 4]);
        tri.closeSubpath();
        p.setBrush(i % 2 ? a : b);
        p.drawPath(tri);
    }
    QPainterPath outline(top);
    for (int i = 1; i <= 4; ++i)
        outline.lineTo(corners[i % 4]);
    QLinearGradient sheen(0, 3, 0, 50);
    sheen.setColorAt(0, QColor(255, 255, 255, 70));
    sheen.setColorAt(1, QColor(0, 0, 0, 50));
    p.setBrush(sheen);
    p.drawPath(outline);
    p.setPen(QPen(QColor(70, 50, 40), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outline);
    p.drawLine(top, bottom);
    p.drawLine(left, right);
    // Tail with bows.
    QPainterPath tail(bottom);
    tail.cubicTo(QPointF(34, 56), QPointF(16, 60), QPointF(30, 67));
    p.setPen(QPen(QColor(70, 50, 40), 1.0));
    p.drawPath(tail);
    p.setPen(Qt::NoPen);
    for (double t : {0.3, 0.65}) {
        const QPointF at = tail.pointAtPercent(t);
        p.setBrush(t < 0.5 ? a : b.darker(110));
        QPainterPath bow(at);
        bow.lineTo(at + QPointF(-5, -3));
        bow.lineTo(at + QPointF(-5, 3));
        bow.closeSubpath();
        bow.moveTo(at);
        bow.lineTo(at + QPointF(5, -3));
        bow.lineTo(at + QPointF(5, 3));
        bow.closeSubpath();
        p.drawPath(bow);
    }
}

void Lantern(QPainter& p, QSizeF s) {
    FitDesign(p, s, 34, 51);
    const QColor iron(46, 44, 48);
    p.setPen(QPen(iron, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(10, 1, 14, 12), 0, 180 * 16);  // handle
    p.setPen(Qt::NoPen);
    QPainterPath cap(QPointF(17, 5));
    cap.lineTo(27, 15);
    cap.lineTo(7, 15);
    cap.closeSubpath();
    p.setBrush(iron);
    p.drawPath(cap);
    p.drawRect(QRectF(6, 15, 22, 3));
    p.drawRect(QRectF(6, 45, 22, 5));
    // Glass, lit from inside (the flame itself is one of the lights).
    QLinearGradient glass(0, 18, 0, 45);
    glass.setColorAt(0, QColor(255, 226, 150));
    glass.setColorAt(1, QColor(240, 170, 80));
    p.setBrush(glass);
    p.drawRect(QRectF(9, 18, 16, 27));
    p.setBrush(iron);
    for (double x : {8.0, 16.0, 24.0})
        p.drawRect(QRectF(x, 18, 2, 27));
}

void LanternFlame(QPainter& p, QSizeF s) {
    FitDesign(p, s, 34, 51);
    Glow(p, QPointF(17, 31), 16.5, QColor(255, 210, 120, 120));
    QPainterPath flame(QPointF(13, 36));
    flame.cubicTo(QPointF(13, 30), QPointF(17, 28), QPointF(13, 24));
    flame.cubicTo(QPointF(19, 27), QPointF(21, 32), QPointF(13, 36));
    flame.translate(2.5, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 250, 210));
    p.drawPath(flame);
}

void Buoy(QPainter& p, QSizeF s) {
    FitDesign(p, s, 34, 51);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 200, 60));
    for (double y : {44.0, 47.5})
        p.drawRoundedRect(QRectF(4 + (y - 44), y, 26 - 2 * (y - 44), 1.5), 1, 1);
    QPainterPath body(QPointF(11, 14));
    body.lineTo(23, 14);
    body.lineTo(30, 40);
    body.quadTo(17, 45, 4, 40);
    body.closeSubpath();
    p.setBrush(QColor(220, 50, 45));
    p.drawPath(body);
    p.save();
    p.setClipPath(body);
    p.setBrush(QColor(250, 245, 235));
    p.drawRect(QRectF(0, 23, 34, 7));
    QLinearGradient shade(4, 0, 30, 0);
    shade.setColorAt(0, QColor(255, 255, 255, 70));
    shade.setColorAt(0.4, QColor(255, 255, 255, 0));
    shade.setColorAt(1, QColor(40, 0, 30, 110));
    p.setBrush(shade);
    p.drawRect(QRectF(0, 10, 34, 40));
    p.restore();
    p.setPen(QPen(QColor(50, 40, 50), 1.8));
    p.drawLine(QPointF(17, 14), QPointF(17, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 60));
    p.drawEllipse(QPointF(17, 4), 3, 3);
    p.setBrush(QColor(60, 40, 60, 120));
    p.drawEllipse(QPointF(17, 41.5), 14, 2.5);
}

void WeatherVane(QPainter& p, QSizeF s) {
    FitDesign(p, s, 34, 68);
    const QColor iron(44, 44, 52);
    p.setPen(Qt::NoPen);
    p.setBrush(iron);
    p.drawRect(QRectF(15.5, 12, 3, 56));
    p.drawRect(QRectF(6, 40, 22, 2.2));  // the cross arms
    p.setBrush(QColor(230, 180, 60));
    for (double x : {6.0, 28.0})
        p.drawEllipse(QPointF(x, 41.1), 2.4, 2.4);
    p.drawEllipse(QPointF(17, 28), 3.5, 3.5);
    // The banner, cut into a swallowtail, flies out to the right.
    QPainterPath banner(QPointF(17, 1));
    banner.lineTo(33, 2);
    banner.lineTo(28, 9.5);
    banner.lineTo(33, 17);
    banner.lineTo(17, 18);
    banner.closeSubpath();
    QLinearGradient metal(0, 1, 0, 18);
    metal.setColorAt(0, QColor(90, 90, 104));
    metal.setColorAt(1, QColor(36, 36, 44));
    p.setBrush(metal);
    p.drawPath(banner);
    p.setBrush(QColor(230, 180, 60));
    p.drawEllipse(QPointF(24, 9.5), 3, 3);
    p.setBrush(iron);
    p.drawRect(QRectF(15.5, 0, 3, 20));
    // A short arrow below the banner pointing into the wind.
    p.drawRect(QRectF(1, 22.5, 30, 2));
    QPainterPath head(QPointF(0, 23.5));
    head.lineTo(6, 19.5);
    head.lineTo(6, 27.5);
    head.closeSubpath();
    p.drawPath(head);
}

void SunflowerTarget(QPainter& p, QSizeF s) {
    FitDesign(p, s, 68, 85);
    const QPointF c(34, 32);
    const QColor wood(130, 92, 56);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 55));
    p.drawEllipse(QPointF(36, 82), 26, 3);
    p.setBrush(wood);
    QPainterPath legs;
    legs.moveTo(26, 50);
    legs.lineTo(30, 50);
    legs.lineTo(18, 83);
    legs.lineTo(13, 83);
    legs.closeSubpath();
    legs.moveTo(38, 50);
    legs.lineTo(42, 50);
    legs.lineTo(55, 83);
    legs.lineTo(50, 83);
    legs.closeSubpath();
    p.drawPath(legs);
    p.drawRect(QRectF(18, 68, 32, 3));
    // Petals around the target.
    for (int i = 0; i < 16; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 22.5);
        QPainterPath petal(QPointF(0, -14));
        petal.cubicTo(QPointF(-7, -20), QPointF(-4, -28), QPointF(0, -31));
        petal.cubicTo(QPointF(4, -28), QPointF(7, -20), QPointF(0, -14));
        p.setBrush(i % 2 ? QColor(255, 200, 30) : QColor(250, 170, 20));
        p.drawPath(petal);
        p.restore();
    }
    // The centre is a target: rings of seed brown and a red bull's-eye.
    const QColor rings[] = {QColor(110, 60, 24), QColor(240, 230, 200), QColor(110, 60, 24),
                            QColor(240, 230, 200), QColor(210, 40, 40)};
    for (int i = 0; i < 5; ++i) {
        const double r = 17 - i * 3.4;
        p.setBrush(rings[i]);
        p.drawEllipse(c, r, r);
    }
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawEllipse(c + QPointF(-1.2, -1.2), 1.2, 1.2);
}

void PartyBalloons(QPainter& p, QSizeF s) {
    FitDesign(p, s, 51, 68);
    struct Balloon {
        QPointF at;
        QColor colour;
    };
    const Balloon balloons[] = {{QPointF(14, 17), QColor(235, 60, 60)},
                                {QPointF(37, 14), QColor(255, 200, 40)},
                                {QPointF(25, 30), QColor(60, 120, 230)}};
    const QPointF knot(25, 64);
    p.setPen(QPen(QColor(90, 90, 110), 0.9));
    for (const Balloon& b : balloons) {
        QPainterPath string(b.at + QPointF(0, 13));
        string.quadTo(QPointF((b.at.x() + knot.x()) / 2 + 3, 50), knot);
        p.setBrush(Qt::NoBrush);
        p.drawPath(string);
    }
    p.setPen(Qt::NoPen);
    for (const Balloon& b : balloons) {
        QRadialGradient g(b.at + QPointF(-3, -4), 14);
        g.setColorAt(0, b.colour.lighter(150));
        g.setColorAt(0.5, b.colour);
        g.setColorAt(1, b.colour.darker(140));
        p.setBrush(g);
        p.drawEllipse(b.at, 10, 12.5);
        QPainterPath tie(b.at + QPointF(0, 12));
        tie.lineTo(b.at + QPointF(-2, 15));
        tie.lineTo(b.at + QPointF(2, 15));
        tie.closeSubpath();
        p.setBrush(b.colour.darker(130));
        p.drawPath(tie);
        p.setBrush(QColor(255, 255, 255, 170));
        p.drawEllipse(b.at + QPointF(-4, -5), 2, 3);
    }
    p.setBrush(QColor(230, 60, 150));
    p.drawEllipse(knot, 2.2, 1.6);
}

}  // namespace wf::assetgen::painters
