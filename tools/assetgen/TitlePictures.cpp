#include "TitlePictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

#include "Art.h"
#include "Landscape.h"
#include "Sprites.h"

namespace wf::assetgen {

namespace {

QFont PixelFont(const QString& family, int pixels, int weight = QFont::Bold, bool italic = false) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// Text as a path centred horizontally on centreX with its baseline at
// baseline, drawn with a soft shadow, an outline and the given fill.
void DrawTitleText(QPainter& p, const QString& text, const QFont& font, double centreX,
                   double baseline, const QBrush& fill, QColor outline, double outlineWidth,
                   double letterSpacing = 0) {
    QFont f = font;
    if (letterSpacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    QPainterPath path;
    path.addText(0, 0, f, text);
    const QRectF box = path.boundingRect();
    path.translate(centreX - box.center().x(), baseline);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawPath(path.translated(2.5, 3));
    p.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

// A rounded card with a sky, a pixel inside a w × h picture standing on
// black: the title surface is black. What follows is drawn inside the card.
QRectF PaintSkyCard(QPainter& p, int w, int h, QColor top, QColor bottom, double radius) {
    const QRectF card(1, 1, w - 2, h - 2);
    QPainterPath shape;
    shape.addRoundedRect(card, radius, radius);
    p.setClipPath(shape);
    FillGradient(p, card, {{0, top}, {1, bottom}});
    return card;
}

// The sprite's bird, its picture's top left corner at at.
void PaintBirdAt(QPainter& p, QPointF at, double scale) {
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    PaintBirdShape(p);
    p.restore();
}

}  // namespace

QImage MakeGameLogo() {
    const int w = 400, h = 150;
    QImage image = NewCanvas(w, h, Qt::black);
    QPainter p(&image);
    Smooth(p);
    const QRectF card = PaintSkyCard(p, w, h, QColor(40, 90, 180), QColor(150, 205, 245), 18);
    Rng rng(1101);
    PaintSun(p, QPointF(335, 40), 16, QColor(255, 214, 90), QColor(255, 236, 160), 70);
    PaintCloudLayer(
        p, QSize(w, h),
        {{70, 130, 170, 55}, {220, 140, 200, 50}, {360, 128, 150, 55}, {95, 32, 90, 26, 0.7}},
        CloudLook{}, rng, 2);
    QLinearGradient fill(0, 40, 0, 100);
    fill.setColorAt(0, QColor(255, 255, 255));
    fill.setColorAt(0.6, QColor(255, 241, 190));
    fill.setColorAt(1, QColor(255, 196, 90));
    DrawTitleText(p, QStringLiteral("Wolkenfang"), PixelFont("DejaVu Serif", 54), w / 2.0, 98, fill,
                  QColor(20, 40, 95), 3.0);
    // A small bird above the title.
    PaintBirdAt(p, QPointF(292, 12), 0.42);
    QFont sub = PixelFont("DejaVu Sans", 14, QFont::DemiBold);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(sub);
    p.setPen(QColor(25, 55, 120));
    p.drawText(QRectF(0, 108, w, 24), Qt::AlignCenter, QStringLiteral("DIE JAGD ÜBER DEN WOLKEN"));
    p.setClipping(false);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(card.adjusted(1, 1, -1, -1), 17, 17);
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage MakeMakerLogo() {
    const int w = 360, h = 220;
    QImage image = NewCanvas(w, h, Qt::black);
    QPainter p(&image);
    Smooth(p);
    const QPointF centre(w / 2.0, 78);
    // Emblem: a steel disc with a storm swirl and a lightning bolt.
    QRadialGradient glow(centre, 95);
    glow.setColorAt(0, QColor(40, 90, 170, 120));
    glow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, 95, 95);
    QLinearGradient steel(0, centre.y() - 58, 0, centre.y() + 58);
    steel.setColorAt(0, QColor(215, 225, 240));
    steel.setColorAt(0.5, QColor(110, 125, 150));
    steel.setColorAt(1, QColor(60, 70, 90));
    p.setPen(QPen(QColor(230, 236, 245), 2.5));
    p.setBrush(steel);
    p.drawEllipse(centre, 58, 58);
    p.setBrush(QColor(22, 34, 62));
    p.setPen(QPen(QColor(140, 160, 190), 1.5));
    p.drawEllipse(centre, 48, 48);
    // Three swirl arms.
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(i * 120.0);
        QPainterPath arm;
        arm.moveTo(4, -8);
        arm.cubicTo(30, -30, 40, 5, 22, 30);
        arm.cubicTo(30, 8, 22, -12, 4, -8);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(110, 170, 235));
        p.drawPath(arm);
        p.restore();
    }
    QPainterPath bolt;
    bolt.moveTo(centre + QPointF(6, -40));
    bolt.lineTo(centre + QPointF(-14, 4));
    bolt.lineTo(centre + QPointF(0, 4));
    bolt.lineTo(centre + QPointF(-8, 42));
    bolt.lineTo(centre + QPointF(16, -6));
    bolt.lineTo(centre + QPointF(2, -6));
    bolt.lineTo(centre + QPointF(12, -40));
    bolt.closeSubpath();
    QLinearGradient gold(0, centre.y() - 40, 0, centre.y() + 42);
    gold.setColorAt(0, QColor(255, 245, 170));
    gold.setColorAt(1, QColor(245, 170, 30));
    p.setPen(QPen(QColor(90, 50, 0), 1.5));
    p.setBrush(gold);
    p.drawPath(bolt);

    QLinearGradient silver(0, 150, 0, 185);
    silver.setColorAt(0, QColor(255, 255, 255));
    silver.setColorAt(1, QColor(150, 170, 200));
    DrawTitleText(p, QStringLiteral("STURMWERK"), PixelFont("DejaVu Sans", 36), w / 2.0, 182,
                  silver, QColor(20, 30, 60), 1.2, 4);
    QFont small = PixelFont("DejaVu Sans", 15, QFont::Normal);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 9);
    p.setFont(small);
    p.setPen(QColor(120, 175, 235));
    p.drawText(QRectF(0, 188, w, 24), Qt::AlignCenter, QStringLiteral("SPIELE"));
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage MakePresents() {
    const int w = 360, h = 90;
    QImage image = NewCanvas(w, h, Qt::black);
    QPainter p(&image);
    Smooth(p);
    QLinearGradient fill(0, 25, 0, 60);
    fill.setColorAt(0, QColor(255, 255, 255));
    fill.setColorAt(1, QColor(175, 195, 225));
    DrawTitleText(p, QStringLiteral("präsentiert"),
                  PixelFont("DejaVu Serif", 40, QFont::Normal, true), w / 2.0, 56, fill,
                  QColor(40, 50, 80), 0.8);
    for (int side : {-1, 1}) {
        QLinearGradient line(w / 2.0, 0, w / 2.0 + side * 170, 0);
        line.setColorAt(0, QColor(200, 215, 240, 220));
        line.setColorAt(1, QColor(200, 215, 240, 0));
        p.setPen(QPen(QBrush(line), 1.2));
        p.drawLine(QPointF(w / 2.0 + side * 40, 74), QPointF(w / 2.0 + side * 170, 74));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 90));
    p.drawEllipse(QPointF(w / 2.0, 74), 2.5, 2.5);
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage MakeTitleBird() {
    const int w = 480, h = 320;
    QImage image = NewCanvas(w, h, Qt::black);
    QPainter p(&image);
    Smooth(p);
    PaintSkyCard(p, w, h, QColor(70, 70, 150), QColor(255, 175, 120), 22);
    Rng rng(7007);
    PaintSun(p, QPointF(360, 250), 40, QColor(255, 190, 90), QColor(255, 210, 150), 180);
    PaintCloudLayer(p, QSize(w, h),
                    {{110, 290, 260, 80},
                     {380, 305, 240, 70},
                     {350, 80, 130, 35, 0.75},
                     {80, 120, 110, 30, 0.75}},
                    CloudLook{QColor(255, 232, 220), QColor(226, 160, 170), 1.0}, rng, 5);
    // Two small birds far away and one big one close by.
    PaintBirdAt(p, QPointF(70, 60), 0.5);
    PaintBirdAt(p, QPointF(400, 150), 0.5);
    PaintBirdAt(p, QPointF(100, 110), 3.2);
    QFont f = PixelFont("DejaVu Sans", 22);
    QLinearGradient fill(0, 0, 0, 30);
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(1, QColor(255, 235, 200));
    DrawTitleText(p, QStringLiteral("Drei Vögel. Sechs Schuss."), f, w / 2.0, 46, fill,
                  QColor(60, 40, 90), 1.2);
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage MakeHaveFun() {
    const int w = 420, h = 220;
    QImage image = NewCanvas(w, h, Qt::black);
    QPainter p(&image);
    Smooth(p);
    PaintSkyCard(p, w, h, QColor(30, 110, 200), QColor(170, 225, 250), 22);
    Rng rng(8008);
    PaintCloudLayer(p, QSize(w, h), {{90, 210, 220, 70}, {330, 215, 240, 65}}, CloudLook{}, rng, 2);
    // Confetti.
    static const QColor kConfetti[] = {QColor(255, 90, 90), QColor(255, 210, 60),
                                       QColor(120, 220, 120), QColor(255, 255, 255),
                                       QColor(200, 120, 255)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 70; ++i) {
        p.save();
        p.translate(rng.Range(10, w - 10), rng.Range(10, h - 40));
        p.rotate(rng.Range(0, 180));
        p.setBrush(kConfetti[rng.Int(0, 4)]);
        p.drawRoundedRect(QRectF(-3, -1.5, 6, 3), 1, 1);
        p.restore();
    }
    QLinearGradient fill(0, 60, 0, 130);
    fill.setColorAt(0, QColor(255, 255, 255));
    fill.setColorAt(0.6, QColor(255, 238, 170));
    fill.setColorAt(1, QColor(255, 180, 70));
    DrawTitleText(p, QStringLiteral("Viel Spaß!"), PixelFont("DejaVu Serif", 64), w / 2.0, 122,
                  fill, QColor(20, 45, 110), 3.0);
    QFont hint = PixelFont("DejaVu Sans", 13, QFont::DemiBold);
    p.setFont(hint);
    p.setPen(QColor(20, 50, 110));
    p.drawText(QRectF(0, 150, w, 20), Qt::AlignCenter,
               QStringLiteral("Links: Schuss  ·  Rechts: Nachladen"));
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage MakeSmallPicture(int number) {
    // Small postcards; number 1 must stay 200 pixels high.
    struct Card {
        int w, h;
        QColor top, bottom;
        bool night;
    };
    static const Card kCards[] = {{300, 200, QColor(70, 140, 220), QColor(195, 228, 250), false},
                                  {200, 140, QColor(90, 80, 160), QColor(255, 180, 120), false},
                                  {200, 140, QColor(60, 130, 210), QColor(200, 230, 250), false},
                                  {200, 140, QColor(12, 18, 48), QColor(50, 60, 120), true},
                                  {200, 140, QColor(110, 170, 235), QColor(220, 240, 255), false}};
    const Card& c = kCards[(number - 1) % 5];
    QImage image = NewCanvas(c.w, c.h, Qt::black);
    QPainter p(&image);
    Smooth(p);
    Rng rng(500 + number);
    FillGradient(p, QRectF(0, 0, c.w, c.h), {{0, c.top}, {1, c.bottom}});
    if (c.night) {
        PaintStars(p, QRectF(0, 0, c.w, c.h * 0.7), 60, rng, 0.5);
        PaintMoon(p, QPointF(c.w * 0.72, c.h * 0.3), 16, QColor(200, 210, 255));
    } else {
        PaintSun(p, QPointF(c.w * 0.75, c.h * 0.28), c.h * 0.09, QColor(255, 214, 90),
                 QColor(255, 236, 170), c.h * 0.4);
    }
    const CloudLook look =
        c.night ? CloudLook{QColor(110, 120, 170), QColor(50, 55, 100), 0.8} : CloudLook{};
    PaintCloudLayer(p, QSize(c.w, c.h), {{c.w * 0.3, c.h * 0.35, c.w * 0.4, c.h * 0.16}}, look, rng,
                    2);
    const QColor far = c.night ? QColor(30, 40, 70) : QColor(130, 185, 140);
    const QColor near = c.night ? QColor(15, 22, 40) : QColor(90, 165, 60);
    const Ridge back = MakeHills(c.w, c.h * 0.68, c.h * 0.07, c.w * 0.9, rng);
    PaintLand(p, back, c.h, far, far.darker(110));
    const Ridge front = MakeHills(c.w, c.h * 0.8, c.h * 0.05, c.w * 1.3, rng);
    PaintLand(p, front, c.h, near, near.darker(130));
    TreeLook tree;
    if (c.night)
        tree = TreeLook{QColor(20, 35, 45), QColor(15, 20, 30)};
    PaintTree(p, QPointF(c.w * 0.2, front.At(c.w * 0.2) + 3), c.h * 0.3, tree, rng);
    if (!c.night)
        PaintFlowers(p, front, c.h, 25, rng);
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

}  // namespace wf::assetgen
