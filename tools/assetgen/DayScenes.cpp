// The day scenes of the default MOD.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "Art.h"
#include "Landscape.h"
#include "Layout.h"
#include "Scenes.h"

namespace wf::assetgen {

namespace {

constexpr int kW = layout::kSceneSize.width();
constexpr int kH = layout::kSceneSize.height();

// A sandy path winding from the bottom edge towards the hills.
void PaintPath(QPainter& p, double bottomX, double topX, double topY, QColor colour) {
    QPainterPath path;
    path.moveTo(bottomX - 70, kH);
    path.cubicTo(bottomX - 40, kH - 60, topX - 60, topY + 60, topX - 4, topY);
    path.lineTo(topX + 4, topY);
    path.cubicTo(topX + 10, topY + 60, bottomX + 60, kH - 60, bottomX + 70, kH);
    path.closeSubpath();
    QLinearGradient g(0, topY, 0, kH);
    g.setColorAt(0, colour.darker(108));
    g.setColorAt(1, colour.lighter(108));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
    p.restore();
}

}  // namespace

QImage PaintMeadow() {
    QImage image = NewCanvas(kW, kH);
    QPainter p(&image);
    Smooth(p);
    Rng rng(101);
    FillGradient(p, QRectF(0, 0, kW, kH),
                 {{0.0, QColor(70, 138, 220)},
                  {0.5, QColor(160, 206, 244)},
                  {0.68, QColor(212, 234, 250)},
                  {1.0, QColor(212, 234, 250)}});
    PaintSun(p, QPointF(660, 100), 36, QColor(255, 214, 90), QColor(255, 240, 180), 190);
    PaintCloudLayer(p, layout::kSceneSize,
                    {{200, 150, 230, 70},
                     {470, 85, 170, 50},
                     {740, 215, 160, 45},
                     {360, 250, 280, 58},
                     {70, 300, 170, 42},
                     {600, 310, 200, 40}},
                    CloudLook{}, rng, 3);
    const Ridge far = MakeHills(kW, 382, 20, 720, rng);
    PaintLand(p, far, kH, QColor(150, 188, 196), QColor(132, 176, 160));
    const Ridge mid = MakeHills(kW, 418, 26, 540, rng);
    PaintLand(p, mid, kH, QColor(116, 176, 78), QColor(86, 150, 58));
    TreeLook tree{QColor(64, 132, 52), QColor(96, 68, 44)};
    for (double x : {60.0, 250.0, 300.0, 470.0, 720.0, 770.0}) {
        PaintTree(p, QPointF(x, mid.At(x) + 6), rng.Range(38, 58), tree, rng);
    }
    const Ridge near = MakeHills(kW, 446, 9, 900, rng);
    PaintLand(p, near, kH, QColor(132, 198, 74), QColor(70, 150, 44));
    PaintPath(p, 430, 505, near.At(505) + 2, QColor(214, 190, 136));
    PaintTree(p, QPointF(745, near.At(745) + 14), 120,
              TreeLook{QColor(70, 145, 52), QColor(100, 70, 45)}, rng);
    PaintGrass(p, near, kH, QColor(70, 140, 40), QColor(160, 215, 90), 1300, rng);
    PaintFlowers(p, near, kH, 160, rng);
    // The fence; the bottle extra stands on the post below its box.
    const QRect bottle = layout::kMeadowBottle;
    const double bottleX = bottle.left() + bottle.width() / 2.0;
    const double bottleTop = bottle.top() + bottle.height();
    const double slope = 0.044;
    std::vector<double> posts;
    for (int i = -2; i <= 2; ++i)
        posts.push_back(bottleX + 68 * i);
    PaintFence(p, posts, bottleTop - 2 * 68 * slope, bottleTop + 2 * 68 * slope, 46,
               QColor(150, 108, 66));
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage PaintLake() {
    QImage image = NewCanvas(kW, kH);
    QPainter p(&image);
    Smooth(p);
    Rng rng(202);
    const double horizon = 330;
    FillGradient(p, QRectF(0, 0, kW, horizon),
                 {{0.0, QColor(46, 42, 108)},
                  {0.45, QColor(150, 90, 150)},
                  {0.8, QColor(240, 140, 116)},
                  {1.0, QColor(255, 192, 120)}});
    PaintSun(p, QPointF(400, horizon - 8), 34, QColor(255, 176, 84), QColor(255, 196, 130), 220);
    // High up, a bank of clouds still lit by the sun from below the horizon:
    // warm and bright on the dark zenith, where clock and score stand.
    PaintGlow(p, QPointF(400, -120), 560, QColor(236, 150, 160, 150));
    const CloudLook afterglow{QColor(255, 224, 196), QColor(226, 150, 160), 1.0};
    PaintCloudLayer(
        p, layout::kSceneSize,
        {{90, 34, 300, 84}, {300, 8, 260, 60, 0.9}, {540, 12, 250, 58, 0.9}, {730, 36, 300, 82}},
        afterglow, rng, 4);
    CloudLook dusk{QColor(255, 196, 176), QColor(160, 96, 140), 0.95};
    PaintCloudLayer(
        p, layout::kSceneSize,
        {{520, 150, 300, 30}, {300, 210, 220, 24}, {720, 250, 160, 22}, {60, 250, 150, 20}}, dusk,
        rng, 4);
    const Ridge hills = MakeHills(kW, horizon - 4, 12, 520, rng);
    PaintLand(p, hills, horizon + 2, QColor(104, 66, 106), QColor(88, 58, 98));
    // The lake.
    PaintWater(p, QRectF(0, horizon, kW, kH - horizon), QColor(236, 152, 128), QColor(52, 44, 96),
               QColor(255, 222, 176, 150), 300, rng);
    // The sun's glitter path.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 120; ++i) {
        const double fy = rng.Next();
        const double y = horizon + 2 + fy * 230;
        const double spread = 12 + 70 * fy;
        const double x = 400 + rng.Range(-spread, spread);
        p.setBrush(QColor(255, 226, 160, static_cast<int>(220 * (1 - fy * 0.7))));
        p.drawRoundedRect(QRectF(x - (8 + 20 * fy) / 2, y, 8 + 20 * fy, 1 + 2 * fy), 1, 1);
    }
    // Dark wooded shore on the right, steep towards the lake.
    const auto shoreTop = [](double x) {
        const double steep = std::max(0.0, (660 - x) / 120);
        return 356 + 0.1 * (kW - x) + 244 * steep * steep;
    };
    QPainterPath shore(QPointF(530, kH));
    for (double x = 530; x <= kW + 2; x += 4)
        shore.lineTo(x, std::min<double>(kH, shoreTop(x)));
    shore.lineTo(kW + 2, kH);
    shore.closeSubpath();
    p.setBrush(QColor(44, 30, 56));
    p.drawPath(shore);
    for (double x = 596; x < kW + 20; x += rng.Range(14, 24)) {
        PaintPine(p, QPointF(x, shoreTop(x) + 8), rng.Range(50, 90), QColor(36, 26, 48));
    }
    // Reeds on the left and the jetty with the lantern post.
    PaintReeds(p, QRectF(0, 470, 190, 130), QColor(60, 44, 50), 90, rng);
    const QRect lantern = layout::kLakeLantern;
    const double postX = lantern.left() + lantern.width() / 2.0;
    const double postTop = lantern.top() + lantern.height();
    const QColor wood(92, 62, 58);
    for (double x = 20; x < postX; x += 54) {
        p.setBrush(wood.darker(130));
        p.drawRect(QRectF(x - 4, 466, 8, 40));
        p.setBrush(QColor(255, 200, 150, 40));
        p.drawRect(QRectF(x - 4, 506, 8, 14));  // reflection
    }
    QLinearGradient deck(0, 454, 0, 468);
    deck.setColorAt(0, wood.lighter(150));
    deck.setColorAt(1, wood);
    p.setBrush(deck);
    p.drawRect(QRectF(-2, 454, postX + 8, 13));
    p.setPen(QPen(wood.darker(140), 1));
    for (double x = 14; x < postX; x += 14)
        p.drawLine(QPointF(x, 455), QPointF(x, 466));
    p.setPen(Qt::NoPen);
    QLinearGradient postShade(postX - 6, 0, postX + 6, 0);
    postShade.setColorAt(0, wood.lighter(140));
    postShade.setColorAt(1, wood.darker(130));
    p.setBrush(postShade);
    p.drawRect(QRectF(postX - 6, postTop, 12, 66));
    p.setBrush(QColor(255, 200, 150, 50));
    p.drawRect(QRectF(postX - 6, postTop + 66, 12, 18));
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage PaintMountains() {
    QImage image = NewCanvas(kW, kH);
    QPainter p(&image);
    Smooth(p);
    Rng rng(303);
    FillGradient(p, QRectF(0, 0, kW, kH),
                 {{0.0, QColor(72, 138, 222)},
                  {0.5, QColor(166, 208, 246)},
                  {0.7, QColor(206, 230, 250)},
                  {1.0, QColor(206, 230, 250)}});
    PaintSun(p, QPointF(110, 80), 30, QColor(255, 220, 110), QColor(255, 244, 200), 150);
    PaintCloudLayer(p, layout::kSceneSize,
                    {{420, 90, 190, 48}, {700, 150, 150, 40}, {250, 190, 140, 30}}, CloudLook{},
                    rng, 3);
    const Ridge far =
        MakeMountains(kW, 370, {{80, 175}, {250, 120}, {420, 185}, {590, 105}, {770, 165}}, rng);
    PaintLand(p, far, kH, QColor(150, 170, 206), QColor(122, 144, 184));
    PaintSnow(p, far, kH, 200, rng);
    const Ridge near =
        MakeMountains(kW, 410, {{-20, 250}, {170, 236}, {350, 286}, {520, 228}, {730, 262}}, rng);
    PaintLand(p, near, kH, QColor(98, 116, 150), QColor(72, 96, 118));
    PaintSnow(p, near, kH, 262, rng);
    // A band of forest in front of the rock.
    const Ridge forest = MakeHills(kW, 412, 8, 300, rng);
    PaintLand(p, forest, kH, QColor(36, 78, 50), QColor(30, 66, 44));
    for (double x = -6; x < kW + 10; x += rng.Range(7, 13)) {
        PaintPine(p, QPointF(x, forest.At(x) + 14), rng.Range(30, 52), QColor(34, 80, 48));
    }
    const Ridge meadow = MakeHills(kW, 440, 10, 860, rng);
    PaintLand(p, meadow, kH, QColor(128, 190, 76), QColor(72, 142, 46));
    PaintPath(p, 360, 640, 468, QColor(200, 178, 130));
    PaintGrass(p, meadow, kH, QColor(70, 140, 40), QColor(170, 220, 96), 1200, rng);
    PaintFlowers(p, meadow, kH, 140, rng);

    // The alpine hut; the weather vane stands on the middle of its ridge.
    const QRect vane = layout::kMountainVane;
    const double ridgeX = vane.left() + vane.width() / 2.0;
    const double ridgeY = vane.top() + vane.height();
    const double wallTop = ridgeY + 46, wallBottom = ridgeY + 112;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(QPointF(ridgeX + 10, wallBottom + 2), 82, 8);
    p.setBrush(QColor(128, 124, 118));
    p.drawRect(QRectF(ridgeX - 64, wallBottom - 12, 128, 14));  // stone base
    QLinearGradient logs(0, wallTop, 0, wallBottom);
    logs.setColorAt(0, QColor(120, 76, 44));
    logs.setColorAt(1, QColor(150, 98, 58));
    p.setBrush(logs);
    p.drawRect(QRectF(ridgeX - 60, wallTop, 120, wallBottom - wallTop - 12));
    p.setPen(QPen(QColor(92, 58, 34), 1.2));
    for (double y = wallTop + 7; y < wallBottom - 12; y += 7) {
        p.drawLine(QPointF(ridgeX - 60, y), QPointF(ridgeX + 60, y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(84, 52, 30));
    p.drawRect(QRectF(ridgeX - 12, wallTop + 20, 24, wallBottom - wallTop - 32));  // door
    for (double wx : {ridgeX - 44, ridgeX + 22}) {
        p.setBrush(QColor(250, 246, 230));
        p.drawRect(QRectF(wx - 2, wallTop + 12, 26, 22));
        p.setBrush(QColor(120, 170, 210));
        p.drawRect(QRectF(wx, wallTop + 14, 22, 18));
        p.setBrush(QColor(250, 246, 230));
        p.drawRect(QRectF(wx + 10, wallTop + 14, 2, 18));
        p.setBrush(QColor(200, 50, 50));
        for (int k = 0; k < 5; ++k)
            p.drawEllipse(QPointF(wx + 2 + 5 * k, wallTop + 36), 2.6, 2.6);
    }
    QPainterPath roof;
    roof.moveTo(ridgeX, ridgeY);
    roof.lineTo(ridgeX + 76, wallTop + 4);
    roof.lineTo(ridgeX - 76, wallTop + 4);
    roof.closeSubpath();
    QLinearGradient shingles(0, ridgeY, 0, wallTop);
    shingles.setColorAt(0, QColor(150, 64, 48));
    shingles.setColorAt(1, QColor(110, 44, 36));
    p.setBrush(shingles);
    p.drawPath(roof);
    p.setPen(QPen(QColor(80, 30, 24), 1.0));
    for (double k = 0.25; k < 1.0; k += 0.25) {
        const double y = ridgeY + (wallTop + 4 - ridgeY) * k;
        const double half = 76 * k;
        p.drawLine(QPointF(ridgeX - half, y), QPointF(ridgeX + half, y));
    }
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

}  // namespace wf::assetgen
