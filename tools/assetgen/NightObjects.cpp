// Painters of the objects of the night scenes. Lit parts are painted as
// lights, after the night tint, so that they keep their glow.
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

#include "Art.h"
#include "ObjectPainters.h"

namespace wf::assetgen::painters {

namespace {

QPainterPath Star(QPointF c, double outer, double inner, int points = 5) {
    QPainterPath star;
    for (int i = 0; i < 2 * points; ++i) {
        const double a = -M_PI / 2 + i * M_PI / points;
        const double r = i % 2 ? inner : outer;
        const QPointF at = c + QPointF(std::cos(a) * r, std::sin(a) * r);
        if (i == 0) {
            star.moveTo(at);
        } else {
            star.lineTo(at);
        }
    }
    star.closeSubpath();
    return star;
}

}  // namespace

void SkyLantern(QPainter& p, QSizeF s) {
    FitDesign(p, s, 34, 51);
    Glow(p, QPointF(17, 26), 17, QColor(255, 170, 80, 110));
    QPainterPath paper(QPointF(9, 6));
    paper.quadTo(QPointF(17, 1), QPointF(25, 6));
    paper.lineTo(22, 38);
    paper.lineTo(12, 38);
    paper.closeSubpath();
    QLinearGradient g(0, 3, 0, 38);
    g.setColorAt(0, QColor(255, 150, 70));
    g.setColorAt(0.7, QColor(255, 214, 130));
    g.setColorAt(1, QColor(255, 244, 200));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(paper);
    p.setPen(QPen(QColor(220, 120, 60, 150), 0.8));
    p.drawLine(QPointF(17, 3), QPointF(17, 38));
    p.drawLine(QPointF(13, 5), QPointF(14.5, 38));
    p.drawLine(QPointF(21, 5), QPointF(19.5, 38));
    p.setPen(QPen(QColor(120, 70, 40), 0.8));
    p.drawLine(QPointF(12, 38), QPointF(17, 42));
    p.drawLine(QPointF(22, 38), QPointF(17, 42));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 250, 220));
    p.drawEllipse(QPointF(17, 42.5), 2.2, 3);
}

void Rooster(QPainter& p, QSizeF s) {
    FitDesign(p, s, 34, 51);
    const QColor metal(58, 60, 78);
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    p.drawRect(QRectF(15.8, 22, 2.4, 29));
    p.drawRect(QRectF(3, 33, 28, 2));
    QPainterPath head(QPointF(2, 35));
    head.lineTo(7, 31);
    head.lineTo(7, 37);
    head.closeSubpath();
    p.drawPath(head);
    p.drawEllipse(QPointF(17, 30), 2.6, 2.6);
    // The rooster: breast, neck and head on the left, a sweeping tail right.
    QPainterPath bird(QPointF(7, 10));
    bird.cubicTo(QPointF(8, 4), QPointF(13, 3), QPointF(14, 8));
    bird.cubicTo(QPointF(14, 12), QPointF(13, 14), QPointF(15, 15));
    bird.cubicTo(QPointF(20, 13), QPointF(22, 4), QPointF(30, 2));
    bird.cubicTo(QPointF(33, 8), QPointF(32, 18), QPointF(24, 23));
    bird.lineTo(18, 24);
    bird.lineTo(19, 27);
    bird.lineTo(15, 27);
    bird.lineTo(14, 24);
    bird.cubicTo(QPointF(9, 22), QPointF(8, 17), QPointF(10, 13));
    bird.lineTo(5, 12);
    bird.closeSubpath();
    QLinearGradient moonlit(0, 2, 34, 26);
    moonlit.setColorAt(0, QColor(110, 116, 150));
    moonlit.setColorAt(1, QColor(40, 42, 58));
    p.setBrush(moonlit);
    p.drawPath(bird);
    p.setBrush(QColor(150, 60, 60));
    p.drawEllipse(QPointF(10, 4), 2.2, 1.6);  // comb
    p.setPen(QPen(QColor(150, 156, 190), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bird);
}

void PaperLantern(QPainter& p, QSizeF s) {
    FitDesign(p, s, 34, 51);
    Glow(p, QPointF(17, 27), 17, QColor(255, 120, 70, 100));
    p.setPen(QPen(QColor(80, 70, 80), 1.0));
    p.drawLine(QPointF(17, 0), QPointF(17, 12));
    p.setPen(Qt::NoPen);
    QRadialGradient paper(QPointF(15, 24), 17);
    paper.setColorAt(0, QColor(255, 230, 150));
    paper.setColorAt(0.5, QColor(250, 110, 60));
    paper.setColorAt(1, QColor(190, 40, 40));
    p.setBrush(paper);
    p.drawEllipse(QPointF(17, 27), 13.5, 14);
    p.setPen(QPen(QColor(170, 40, 40, 160), 0.9));
    p.setBrush(Qt::NoBrush);
    for (double rx : {4.0, 9.0})
        p.drawEllipse(QPointF(17, 27), rx, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 30, 36));
    p.drawRoundedRect(QRectF(11, 11, 12, 3.5), 1, 1);
    p.drawRoundedRect(QRectF(11, 39.5, 12, 3.5), 1, 1);
    p.setBrush(QColor(240, 190, 60));
    p.drawRect(QRectF(16, 43, 2, 6));
}

void Pumpkin(QPainter& p, QSizeF s) {
    FitDesign(p, s, 51, 51);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawEllipse(QPointF(26, 48), 22, 3);
    p.setBrush(QColor(80, 110, 40));
    QPainterPath stem(QPointF(23, 18));
    stem.cubicTo(QPointF(23, 12), QPointF(26, 9), QPointF(30, 8));
    stem.lineTo(31, 11);
    stem.cubicTo(QPointF(28, 12), QPointF(27, 15), QPointF(28, 18));
    stem.closeSubpath();
    p.drawPath(stem);
    // Ribs, darker at the sides.
    const double ribs[] = {-15, -8, 0, 8, 15};
    for (double dx : ribs) {
        const double w = 12 - std::abs(dx) * 0.25;
        QRadialGradient g(QPointF(25.5 + dx - 3, 28), 18);
        const QColor base = std::abs(dx) > 10 ? QColor(210, 100, 20) : QColor(240, 130, 30);
        g.setColorAt(0, base.lighter(125));
        g.setColorAt(1, base.darker(130));
        p.setBrush(g);
        p.drawEllipse(QPointF(25.5 + dx, 33), w, 14.5);
    }
}

void PumpkinFace(QPainter& p, QSizeF s) {
    FitDesign(p, s, 51, 51);
    Glow(p, QPointF(25.5, 33), 22, QColor(255, 180, 60, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 226, 110));
    QPainterPath face;
    face.moveTo(13, 31);
    face.lineTo(18, 23);
    face.lineTo(22, 31);
    face.closeSubpath();
    face.moveTo(29, 31);
    face.lineTo(33, 23);
    face.lineTo(38, 31);
    face.closeSubpath();
    face.moveTo(12, 36);
    face.quadTo(25.5, 48, 39, 36);
    face.lineTo(33, 38);
    face.lineTo(30, 36);
    face.lineTo(27, 39);
    face.lineTo(24, 36);
    face.lineTo(21, 39);
    face.lineTo(18, 36);
    face.closeSubpath();
    p.drawPath(face);
}

void FireflyJar(QPainter& p, QSizeF s) {
    FitDesign(p, s, 17, 34);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 124, 130));
    p.drawRoundedRect(QRectF(2.5, 3.5, 12, 4), 1, 1);
    p.setBrush(QColor(190, 160, 110));
    p.drawRect(QRectF(3, 6.5, 11, 2));  // string round the neck
}

void FireflyJarLights(QPainter& p, QSizeF s) {
    FitDesign(p, s, 17, 34);
    // The glass, lit green-gold by the fireflies inside.
    QRadialGradient inside(QPointF(8.5, 22), 13);
    inside.setColorAt(0, QColor(220, 255, 150));
    inside.setColorAt(1, QColor(70, 120, 90));
    p.setPen(QPen(QColor(170, 210, 200), 0.8));
    p.setBrush(inside);
    p.drawRoundedRect(QRectF(1.5, 8.5, 14, 25), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 210));
    const QPointF flies[] = {{5, 14}, {11, 18}, {7, 24}, {12, 28}, {4.5, 29}, {9, 12}};
    for (const QPointF& f : flies)
        p.drawEllipse(f, 1.2, 1.2);
    p.setBrush(QColor(255, 255, 255, 140));
    p.drawRect(QRectF(3.5, 11, 1.2, 18));
}

void LightBuoy(QPainter& p, QSizeF s) {
    FitDesign(p, s, 34, 68);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 210, 255, 50));
    for (double y : {60.0, 63.5})
        p.drawRoundedRect(QRectF(3 + (y - 60), y, 28 - 2 * (y - 60), 1.4), 1, 1);
    // Lattice mast.
    p.setPen(QPen(QColor(60, 60, 70), 1.6));
    p.drawLine(QPointF(11, 38), QPointF(15, 14));
    p.drawLine(QPointF(23, 38), QPointF(19, 14));
    p.drawLine(QPointF(12, 30), QPointF(22, 22));
    p.drawLine(QPointF(22, 30), QPointF(12, 22));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 70, 80));
    p.drawRect(QRectF(13, 11, 8, 3));
    QLinearGradient body(4, 0, 30, 0);
    body.setColorAt(0, QColor(230, 80, 70));
    body.setColorAt(0.4, QColor(200, 40, 40));
    body.setColorAt(1, QColor(110, 20, 30));
    p.setBrush(body);
    QPainterPath hull(QPointF(8, 38));
    hull.lineTo(26, 38);
    hull.lineTo(30, 58);
    hull.quadTo(17, 62, 4, 58);
    hull.closeSubpath();
    p.drawPath(hull);
    p.save();
    p.setClipPath(hull);
    p.setBrush(QColor(235, 235, 240));
    p.drawRect(QRectF(0, 45, 34, 5));
    p.restore();
}

void LightBuoyLamp(QPainter& p, QSizeF s) {
    FitDesign(p, s, 34, 68);
    Glow(p, QPointF(17, 8), 10, QColor(120, 255, 150, 150));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 255, 220));
    p.drawRoundedRect(QRectF(14, 4, 6, 7.5), 2, 2);
}

void MessageBottle(QPainter& p, QSizeF s) {
    FitDesign(p, s, 51, 34);
    p.save();
    p.translate(25, 16);
    p.rotate(-8);
    QPainterPath glass;
    glass.addRoundedRect(QRectF(-22, -7, 32, 14), 6, 6);
    glass.addRoundedRect(QRectF(8, -3.5, 13, 7), 2, 2);
    glass = glass.simplified();
    QLinearGradient g(0, -7, 0, 7);
    g.setColorAt(0, QColor(150, 220, 200));
    g.setColorAt(0.5, QColor(70, 150, 140));
    g.setColorAt(1, QColor(30, 80, 80));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(glass);
    p.setBrush(QColor(240, 225, 180));
    p.drawRoundedRect(QRectF(-17, -4, 22, 8), 3, 3);  // the rolled letter
    p.setBrush(QColor(190, 60, 50));
    p.drawRect(QRectF(-7, -4, 2, 8));  // its ribbon
    p.setBrush(QColor(170, 120, 70));
    p.drawRect(QRectF(20, -3, 4, 6));  // cork
    // The lower half lies under water: darker, with a glinting water line.
    p.setClipPath(glass);
    p.setBrush(QColor(20, 30, 70, 140));
    p.drawRect(QRectF(-30, 1, 60, 10));
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 190, 240, 110));
    p.drawRoundedRect(QRectF(6, 19, 38, 1.4), 1, 1);
    p.drawRoundedRect(QRectF(12, 24, 26, 1.2), 1, 1);
}

void LifeRing(QPainter& p, QSizeF s) {
    FitDesign(p, s, 34, 34);
    const QPointF c(17, 18);
    p.setPen(QPen(QColor(200, 180, 130), 1.2));
    p.drawLine(QPointF(17, 0), QPointF(12, 4));
    p.drawLine(QPointF(17, 0), QPointF(22, 4));
    p.setPen(Qt::NoPen);
    QPainterPath ring;
    ring.addEllipse(c, 15.5, 15.5);
    QPainterPath hole;
    hole.addEllipse(c, 7.5, 7.5);
    ring = ring.subtracted(hole);
    p.setBrush(QColor(235, 60, 50));
    p.drawPath(ring);
    p.save();
    p.setClipPath(ring);
    p.setBrush(QColor(245, 245, 240));
    for (int i = 0; i < 4; ++i)
        p.drawPie(QRectF(1, 2, 32, 32), (45 + i * 90) * 16 - 12 * 16, 24 * 16);
    QRadialGradient shade(c + QPointF(-4, -4), 18);
    shade.setColorAt(0, QColor(255, 255, 255, 60));
    shade.setColorAt(1, QColor(0, 0, 0, 90));
    p.setBrush(shade);
    p.drawRect(QRectF(0, 0, 34, 34));
    p.restore();
    p.setPen(QPen(QColor(220, 200, 150), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 11.5, 11.5);
}

void StarTarget(QPainter& p, QSizeF s) {
    FitDesign(p, s, 51, 51);
    const QPointF c(25.5, 26.5);
    Glow(p, c, 23.5, QColor(255, 230, 140, 90));
    const QPainterPath star = Star(c, 23, 10.5);
    QRadialGradient gold(c + QPointF(-4, -5), 26);
    gold.setColorAt(0, QColor(255, 250, 200));
    gold.setColorAt(0.6, QColor(255, 205, 60));
    gold.setColorAt(1, QColor(210, 140, 20));
    p.setPen(QPen(QColor(150, 90, 10), 1.0));
    p.setBrush(gold);
    p.drawPath(star);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 50, 40));
    p.drawEllipse(c, 6, 6);
    p.setBrush(QColor(255, 245, 220));
    p.drawEllipse(c, 3.6, 3.6);
    p.setBrush(QColor(200, 50, 40));
    p.drawEllipse(c, 1.6, 1.6);
}

}  // namespace wf::assetgen::painters
