#pragma once
// Painting helpers shared by every picture of the generator: canvases,
// gradients, soft blur, clouds and the lights of the sky.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSize>

#include <initializer_list>

#include "Rng.h"

namespace wf::assetgen {

struct Stop {
    double at;
    QColor colour;
};

// A premultiplied ARGB canvas filled with fill (transparent by default).
QImage NewCanvas(int width, int height, QColor fill = QColor(0, 0, 0, 0));

// A painter with antialiasing on, the way every opaque picture is drawn.
void Smooth(QPainter& p);

void FillGradient(QPainter& p, const QRectF& area, std::initializer_list<Stop> stops,
                  bool vertical = true);

// Box blur of all four channels, repeated passes approximate a Gaussian.
void BoxBlur(QImage& image, int radius, int passes = 3);

// Draws layer onto p after blurring it: the softness of clouds and glows.
void DrawSoftLayer(QPainter& p, QImage layer, int radius);

struct CloudLook {
    QColor light{255, 255, 255};
    QColor shade{200, 212, 230};
    double opacity = 1.0;
};

// One cumulus cloud: a flat-based cluster of puffs, lit from above.
void PaintCloud(QPainter& p, QPointF centre, double width, double height, const CloudLook& look,
                Rng& rng);

struct CloudAt {
    double x, y, w, h;     // centre and size
    double opacity = 1.0;  // times the look's
};

// Clouds painted together on one layer of the given size, which is blurred
// by blur and drawn onto p.
void PaintCloudLayer(QPainter& p, QSize size, std::initializer_list<CloudAt> clouds,
                     const CloudLook& look, Rng& rng, int blur);

// A soft round light fading out at radius. Leaves the pen off and the
// brush on the glow.
void PaintGlow(QPainter& p, QPointF at, double radius, QColor colour);

// The sun (or a setting sun) with its glow.
void PaintSun(QPainter& p, QPointF centre, double radius, QColor core, QColor glow,
              double glowRadius);

// A full moon with faint maria and a halo.
void PaintMoon(QPainter& p, QPointF centre, double radius, QColor halo);

// Stars above a horizon: points of several sizes, a few with a sparkle.
void PaintStars(QPainter& p, const QRectF& area, int count, Rng& rng, double horizonFade = 0.0);

// Open water: gradient and shimmering horizontal light streaks.
void PaintWater(QPainter& p, const QRectF& area, QColor top, QColor bottom, QColor shimmer,
                int streaks, Rng& rng);

QColor Mix(QColor a, QColor b, double t);
QColor WithAlpha(QColor colour, int alpha);

}  // namespace wf::assetgen
