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

// Every picture is drawn in logical pixels, the pixels of the game's play
// area. While a ScaledCanvases lives, canvases have that many device pixels
// per logical pixel (the painter scales by itself): the same drawing comes
// out at 1× for the game's picture and at 4× for its hd twin.
class ScaledCanvases {
  public:
    explicit ScaledCanvases(int factor);
    ~ScaledCanvases();
    ScaledCanvases(const ScaledCanvases&) = delete;
    ScaledCanvases& operator=(const ScaledCanvases&) = delete;

  private:
    int previous_;
};
int CanvasScale();  // 1 unless a ScaledCanvases says otherwise

// A premultiplied ARGB canvas of width × height logical pixels filled with
// fill (transparent by default).
QImage NewCanvas(int width, int height, QColor fill = QColor(0, 0, 0, 0));

// The device pixels of a logical rectangle of a canvas.
QRect DeviceRect(const QImage& canvas, const QRect& logical);

// Exact average of every factor × factor block: a 1× picture from its 4×
// drawing, premultiplied.
QImage Downsample(const QImage& image, int factor);

// A painter with antialiasing on, the way every opaque picture is drawn.
void Smooth(QPainter& p);

void FillGradient(QPainter& p, const QRectF& area, std::initializer_list<Stop> stops,
                  bool vertical = true);

// Box blur of all four channels, repeated passes approximate a Gaussian.
void BoxBlur(QImage& image, int radius, int passes = 3);

// Draws layer onto p after blurring it by radius logical pixels: the
// softness of clouds and glows. A layer of a scaled canvas is blurred at 1×
// and drawn smoothly enlarged: after the blur the two look alike.
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
