// The night scenes of the "nachtflug" MOD.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

#include "Art.h"
#include "Landscape.h"
#include "Layout.h"
#include "Scenes.h"

namespace wf::assetgen {

namespace {

constexpr int kW = layout::kSceneSize.width();
constexpr int kH = layout::kSceneSize.height();

const QColor kWindowLight(255, 204, 112);

void PaintNightSky(QPainter& p, double horizon, Rng& rng, int stars) {
    FillGradient(p, QRectF(0, 0, kW, kH),
                 {{0.0, QColor(40, 58, 118)},
                  {horizon / kH * 0.8, QColor(56, 70, 132)},
                  {horizon / kH, QColor(94, 96, 150)},
                  {1.0, QColor(94, 96, 150)}});
    PaintStars(p, QRectF(0, 0, kW, horizon), stars, rng, 0.75);
}

// Clock and score stand in the top corners in black: there the night is lit
// by the haze around the moon or by clouds that the moon lights.
void PaintMoonHaze(QPainter& p, QPointF centre, double radius) {
    QRadialGradient haze(centre, radius);
    haze.setColorAt(0.0, QColor(220, 226, 250, 245));
    haze.setColorAt(0.35, QColor(178, 190, 236, 215));
    haze.setColorAt(0.7, QColor(124, 140, 200, 120));
    haze.setColorAt(1.0, QColor(90, 104, 170, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(haze);
    p.drawEllipse(centre, radius, radius);
}

void PaintMoonlitBank(QPainter& p, std::initializer_list<CloudAt> clouds, Rng& rng) {
    const CloudLook lit{QColor(226, 232, 250), QColor(132, 144, 196), 1.0};
    PaintCloudLayer(p, layout::kSceneSize, clouds, lit, rng, 4);
}

void PaintThinClouds(QPainter& p, std::initializer_list<CloudAt> clouds, Rng& rng) {
    const CloudLook moonlit{QColor(126, 134, 178), QColor(42, 50, 94), 0.7};
    PaintCloudLayer(p, layout::kSceneSize, clouds, moonlit, rng, 4);
}

// A row of houses with lit windows between x0 and x1, their bases at base.
void PaintHouses(QPainter& p, double x0, double x1, double base, double minH, double maxH,
                 QColor wall, double litShare, bool gables, Rng& rng) {
    double x = x0;
    while (x < x1) {
        const double w = rng.Range(40, 78);
        const double h = rng.Range(minH, maxH);
        const double top = base - h;
        p.setPen(Qt::NoPen);
        p.setBrush(wall);
        p.drawRect(QRectF(x, top, w + 1, h));
        if (gables) {
            QPainterPath roof;
            roof.moveTo(x - 3, top);
            roof.lineTo(x + w / 2, top - w * 0.42);
            roof.lineTo(x + w + 4, top);
            roof.closeSubpath();
            p.setBrush(wall.darker(125));
            p.drawPath(roof);
            if (rng.Next() < 0.6)
                p.drawRect(QRectF(x + w * 0.7, top - w * 0.4, 7, w * 0.3));
        }
        for (double wy = top + 10; wy < base - 16; wy += 20) {
            for (double wx = x + 7; wx < x + w - 10; wx += 16) {
                if (rng.Next() > litShare)
                    continue;
                const QColor c = Mix(kWindowLight, QColor(255, 150, 80), rng.Next());
                p.setBrush(c);
                p.drawRect(QRectF(wx, wy, 7, 10));
                QColor halo = c;
                halo.setAlpha(40);
                p.setBrush(halo);
                p.drawRect(QRectF(wx - 2, wy - 2, 11, 14));
            }
        }
        x += w + rng.Range(-4, 3);
    }
}

}  // namespace

QImage PaintCity() {
    QImage image = NewCanvas(kW, kH);
    QPainter p(&image);
    Smooth(p);
    Rng rng(404);
    PaintNightSky(p, 420, rng, 320);
    PaintMoonHaze(p, QPointF(660, 74), 330);
    PaintMoon(p, QPointF(660, 74), 36, QColor(170, 190, 255));
    PaintMoonlitBank(p, {{80, 40, 320, 84}, {250, 18, 260, 58, 0.9}, {-20, 70, 170, 48}}, rng);
    PaintThinClouds(p, {{530, 174, 200, 28}, {300, 245, 240, 30}, {735, 271, 150, 22}}, rng);
    PaintHouses(p, -10, kW + 10, 470, 90, 190, QColor(32, 38, 74), 0.12, false, rng);

    // The church; the weather rooster stands on the tip of its spire.
    const QRect rooster = layout::kCityRooster;
    const double tipX = rooster.left() + rooster.width() / 2.0;
    const double tipY = rooster.top() + rooster.height();
    const QColor stone(40, 44, 78);
    p.setPen(Qt::NoPen);
    p.setBrush(stone);
    p.drawRect(QRectF(tipX - 26, tipY + 70, 52, 420));
    QPainterPath spire;
    spire.moveTo(tipX, tipY);
    spire.lineTo(tipX + 31, tipY + 72);
    spire.lineTo(tipX - 31, tipY + 72);
    spire.closeSubpath();
    p.setBrush(QColor(50, 70, 90));
    p.drawPath(spire);
    p.setBrush(QColor(70, 96, 118));
    QPainterPath lit;
    lit.moveTo(tipX, tipY);
    lit.lineTo(tipX + 31, tipY + 72);
    lit.lineTo(tipX + 12, tipY + 72);
    lit.closeSubpath();
    p.drawPath(lit);  // the moon side
    PaintGlow(p, QPointF(tipX, tipY + 104), 26, QColor(255, 220, 150, 90));
    p.setBrush(QColor(250, 232, 180));
    p.drawEllipse(QPointF(tipX, tipY + 104), 13, 13);
    p.setPen(QPen(QColor(60, 50, 40), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(tipX, tipY + 104), QPointF(tipX, tipY + 95));
    p.drawLine(QPointF(tipX, tipY + 104), QPointF(tipX + 6, tipY + 106));
    p.setPen(Qt::NoPen);
    p.setBrush(kWindowLight.darker(115));
    p.drawRoundedRect(QRectF(tipX - 6, tipY + 130, 12, 24), 6, 6);

    // Front houses and the line that the paper lantern hangs from.
    PaintHouses(p, -10, 360, 560, 110, 170, QColor(18, 20, 44), 0.35, true, rng);
    PaintHouses(p, 460, kW + 10, 560, 110, 170, QColor(18, 20, 44), 0.35, true, rng);
    p.setBrush(QColor(20, 22, 46));
    p.drawRect(QRectF(500, 350, 36, 210));
    p.drawRect(QRectF(660, 350, 40, 210));
    const QRect lantern = layout::kCityPaperLantern;
    const QPointF low(lantern.left() + lantern.width() / 2.0, lantern.top() + 3);
    QPainterPath line(QPointF(536, 356));
    line.quadTo(QPointF(low.x(), 2 * low.y() - 356), QPointF(660, 356));
    p.setPen(QPen(QColor(90, 90, 110), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line);
    // The street with its lamps.
    p.setPen(Qt::NoPen);
    FillGradient(p, QRectF(0, 560, kW, 40), {{0, QColor(30, 30, 50)}, {1, QColor(14, 14, 26)}});
    for (double x = 60; x < kW; x += 180) {
        PaintGlow(p, QPointF(x, 500), 60, QColor(255, 200, 120, 70));
        p.setBrush(QColor(20, 20, 30));
        p.drawRect(QRectF(x - 2, 500, 4, 62));
        p.setBrush(QColor(255, 226, 160));
        p.drawEllipse(QPointF(x, 498), 5, 6);
        PaintGlow(p, QPointF(x, 566), 34, QColor(255, 200, 120, 60));
    }
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage PaintStarHills() {
    QImage image = NewCanvas(kW, kH);
    QPainter p(&image);
    Smooth(p);
    Rng rng(505);
    PaintNightSky(p, 440, rng, 380);
    // The milky way: a soft diagonal band with a denser sprinkle of stars.
    QImage band = NewCanvas(kW, kH);
    {
        QPainter b(&band);
        Smooth(b);
        b.setPen(Qt::NoPen);
        for (int i = 0; i < 90; ++i) {
            const double t = rng.Next();
            const QPointF at(-40 + t * 880, 380 - t * 340 + rng.Range(-30, 30));
            b.setBrush(QColor(150, 150, 210, rng.Int(10, 28)));
            b.drawEllipse(at, rng.Range(20, 50), rng.Range(12, 30));
        }
    }
    DrawSoftLayer(p, band, 10);
    for (int i = 0; i < 260; ++i) {
        const double t = rng.Next();
        const QPointF at(-40 + t * 880, 380 - t * 340 + rng.Range(-40, 40));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(235, 235, 255, rng.Int(60, 200)));
        p.drawEllipse(at, 0.6, 0.6);
    }
    // A slim crescent in its haze, and clouds it lights on the other side.
    const QPointF moon(124, 66);
    PaintMoonHaze(p, moon, 300);
    PaintMoonlitBank(p, {{710, 38, 300, 82}, {560, 14, 240, 54, 0.85}}, rng);
    PaintGlow(p, moon, 70, QColor(200, 210, 255, 90));
    QPainterPath crescent;
    crescent.addEllipse(moon, 20, 20);
    QPainterPath bite;
    bite.addEllipse(moon + QPointF(9, -5), 18, 18);
    p.setBrush(QColor(250, 246, 220));
    p.drawPath(crescent.subtracted(bite));

    const Ridge far = MakeHills(kW, 420, 24, 640, rng);
    PaintLand(p, far, kH, QColor(34, 42, 80), QColor(28, 36, 66));
    const Ridge mid = MakeHills(kW, 445, 22, 520, rng);
    PaintLand(p, mid, kH, QColor(24, 40, 56), QColor(20, 34, 46));
    // Windmill on the middle hill.
    const double millX = 660, millBase = mid.At(660) + 10;
    QPainterPath tower;
    tower.moveTo(millX - 18, millBase);
    tower.lineTo(millX - 10, millBase - 80);
    tower.lineTo(millX + 10, millBase - 80);
    tower.lineTo(millX + 18, millBase);
    tower.closeSubpath();
    p.setBrush(QColor(40, 44, 70));
    p.drawPath(tower);
    p.setBrush(kWindowLight);
    p.drawRect(QRectF(millX - 4, millBase - 44, 8, 10));
    PaintGlow(p, QPointF(millX, millBase - 39), 16, QColor(255, 200, 120, 70));
    p.setPen(QPen(QColor(70, 74, 104), 3, Qt::SolidLine, Qt::RoundCap));
    const QPointF hub(millX, millBase - 82);
    for (int k = 0; k < 4; ++k) {
        const double a = (20 + 90 * k) * M_PI / 180;
        p.drawLine(hub, hub + QPointF(std::cos(a) * 58, std::sin(a) * 58));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 64, 96));
    p.drawEllipse(hub, 4, 4);
    for (double x = 40; x < kW; x += rng.Range(60, 140)) {
        PaintTree(p, QPointF(x, mid.At(x) + 6), rng.Range(36, 52),
                  TreeLook{QColor(20, 36, 44), QColor(16, 22, 30)}, rng);
    }
    const Ridge front = MakeHills(kW, 456, 8, 900, rng);
    PaintLand(p, front, kH, QColor(18, 34, 38), QColor(10, 20, 24));
    PaintGrass(p, front, kH, QColor(18, 34, 36), QColor(40, 62, 66), 900, rng);
    // Fence; the jar of fireflies stands on the post below its box.
    const QRect jar = layout::kHillsJar;
    const double jarX = jar.left() + jar.width() / 2.0;
    const double jarTop = jar.top() + jar.height();
    std::vector<double> posts;
    for (int i = -2; i <= 1; ++i)
        posts.push_back(jarX + 64 * i);
    PaintFence(p, posts, jarTop + 2 * 64 * 0.03, jarTop - 64 * 0.03, 46, QColor(66, 60, 70));
    // Fireflies.
    for (int i = 0; i < 40; ++i) {
        const QPointF at(rng.Range(0, kW), rng.Range(430, 590));
        PaintGlow(p, at, 6, QColor(210, 255, 120, 90));
        p.setBrush(QColor(230, 255, 160));
        p.drawEllipse(at, 1.1, 1.1);
    }
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage PaintHarbour() {
    QImage image = NewCanvas(kW, kH);
    QPainter p(&image);
    Smooth(p);
    Rng rng(606);
    const double horizon = 380;
    PaintNightSky(p, horizon, rng, 300);
    const QPointF moon(612, 88);
    PaintMoonHaze(p, moon, 380);
    PaintMoon(p, moon, 30, QColor(170, 190, 255));
    PaintMoonlitBank(p, {{70, 36, 300, 80}, {230, 14, 230, 54, 0.85}}, rng);
    PaintThinClouds(p, {{300, 150, 220, 30}, {510, 232, 180, 24}}, rng);
    // Far coast with a few lights.
    const Ridge coast = MakeHills(kW, horizon - 6, 6, 400, rng);
    PaintLand(p, coast, horizon + 1, QColor(24, 28, 56), QColor(24, 28, 56));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 18; ++i) {
        p.setBrush(QColor(255, 210, 140, rng.Int(120, 230)));
        const double x = rng.Range(20, 640);
        p.drawEllipse(QPointF(x, coast.At(x) + 3), 1.2, 1.2);
    }
    PaintWater(p, QRectF(0, horizon, kW, kH - horizon), QColor(40, 54, 104), QColor(8, 14, 36),
               QColor(150, 170, 230, 110), 280, rng);
    // The moon's path on the water.
    for (int i = 0; i < 110; ++i) {
        const double fy = rng.Next();
        const double y = horizon + 2 + fy * 200;
        const double x = moon.x() + rng.Range(-10 - 60 * fy, 10 + 60 * fy);
        p.setBrush(QColor(220, 228, 255, static_cast<int>(200 * (1 - 0.6 * fy))));
        p.drawRoundedRect(QRectF(x - (6 + 18 * fy) / 2, y, 6 + 18 * fy, 1 + 1.6 * fy), 1, 1);
    }
    // Lighthouse on its rock.
    QPainterPath rock;
    rock.moveTo(640, kH);
    rock.cubicTo(650, 430, 690, 400, 730, 396);
    rock.cubicTo(770, 392, 790, 400, kW + 2, 410);
    rock.lineTo(kW + 2, kH);
    rock.closeSubpath();
    p.setBrush(QColor(20, 22, 36));
    p.drawPath(rock);
    const double lx = 730;
    QPainterPath beam;
    beam.moveTo(lx, 238);
    beam.lineTo(lx - 330, 200);
    beam.lineTo(lx - 330, 262);
    beam.closeSubpath();
    QLinearGradient beamFade(lx, 0, lx - 330, 0);
    beamFade.setColorAt(0, QColor(255, 240, 190, 110));
    beamFade.setColorAt(1, QColor(255, 240, 190, 0));
    p.setBrush(beamFade);
    p.drawPath(beam);
    QPainterPath tower;
    tower.moveTo(lx - 20, 400);
    tower.lineTo(lx - 12, 250);
    tower.lineTo(lx + 12, 250);
    tower.lineTo(lx + 20, 400);
    tower.closeSubpath();
    p.setBrush(QColor(150, 156, 180));
    p.drawPath(tower);
    p.save();
    p.setClipPath(tower);
    p.setBrush(QColor(130, 40, 50));
    for (double y = 270; y < 400; y += 44)
        p.drawRect(QRectF(lx - 30, y, 60, 20));
    p.restore();
    p.setBrush(QColor(40, 44, 60));
    p.drawRect(QRectF(lx - 16, 246, 32, 6));
    PaintGlow(p, QPointF(lx, 236), 40, QColor(255, 240, 180, 140));
    p.setBrush(QColor(255, 248, 210));
    p.drawRect(QRectF(lx - 8, 228, 16, 18));
    p.setBrush(QColor(40, 44, 60));
    QPainterPath cap;
    cap.moveTo(lx - 12, 228);
    cap.lineTo(lx, 216);
    cap.lineTo(lx + 12, 228);
    cap.closeSubpath();
    p.drawPath(cap);
    // Harbour wall on the left; the life ring hangs on its face.
    const double wallTop = layout::kHarbourRing.top() - 8;
    QLinearGradient stone(0, wallTop, 0, kH);
    stone.setColorAt(0, QColor(70, 72, 96));
    stone.setColorAt(1, QColor(30, 32, 46));
    p.setBrush(stone);
    p.drawRect(QRectF(-2, wallTop, 204, kH - wallTop));
    p.setPen(QPen(QColor(24, 26, 40), 1.2));
    for (double y = wallTop + 18; y < kH; y += 18) {
        p.drawLine(QPointF(0, y), QPointF(202, y));
        const double shift = static_cast<int>((y - wallTop) / 18) % 2 ? 0 : 20;
        for (double x = shift; x < 202; x += 40)
            p.drawLine(QPointF(x, y - 18), QPointF(x, y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(96, 98, 124));
    p.drawRect(QRectF(-2, wallTop - 6, 206, 8));
    p.setBrush(QColor(30, 30, 42));
    p.drawRoundedRect(QRectF(150, wallTop - 20, 18, 16), 5, 5);  // bollard
    const QRect ring = layout::kHarbourRing;
    p.setBrush(QColor(60, 60, 70));
    p.drawRect(QRectF(ring.center().x() - 1.5, wallTop - 2, 3, 8));  // hook
    // A small fishing boat.
    QPainterPath hull;
    hull.moveTo(270, 468);
    hull.lineTo(370, 468);
    hull.lineTo(356, 488);
    hull.lineTo(284, 488);
    hull.closeSubpath();
    p.setBrush(QColor(26, 30, 50));
    p.drawPath(hull);
    p.setBrush(QColor(46, 50, 80));
    p.drawRect(QRectF(300, 452, 30, 16));
    p.setBrush(kWindowLight);
    p.drawRect(QRectF(306, 456, 7, 7));
    p.setPen(QPen(QColor(40, 44, 70), 2));
    p.drawLine(QPointF(340, 468), QPointF(340, 410));
    p.setPen(Qt::NoPen);
    PaintGlow(p, QPointF(340, 408), 10, QColor(255, 120, 100, 120));
    p.setBrush(QColor(255, 150, 130));
    p.drawEllipse(QPointF(340, 408), 2, 2);
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

}  // namespace wf::assetgen
