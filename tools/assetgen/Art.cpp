#include "Art.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace wf::assetgen {

namespace {
int g_canvasScale = 1;
}  // namespace

ScaledCanvases::ScaledCanvases(int factor) : previous_(g_canvasScale) {
    g_canvasScale = std::max(1, factor);
}

ScaledCanvases::~ScaledCanvases() {
    g_canvasScale = previous_;
}

int CanvasScale() {
    return g_canvasScale;
}

QImage NewCanvas(int width, int height, QColor fill) {
    QImage image(width * g_canvasScale, height * g_canvasScale,
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(g_canvasScale);
    image.fill(fill);
    return image;
}

QRect DeviceRect(const QImage& canvas, const QRect& logical) {
    const int s = static_cast<int>(std::lround(canvas.devicePixelRatio()));
    return QRect(logical.x() * s, logical.y() * s, logical.width() * s, logical.height() * s);
}

QImage Downsample(const QImage& image, int factor) {
    const QImage in = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(in.width() / factor, in.height() / factor, QImage::Format_ARGB32_Premultiplied);
    const int n = factor * factor;
    for (int y = 0; y < out.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            int sum[4] = {0, 0, 0, 0};
            for (int dy = 0; dy < factor; ++dy) {
                const QRgb* src =
                    reinterpret_cast<const QRgb*>(in.constScanLine(y * factor + dy)) + x * factor;
                for (int dx = 0; dx < factor; ++dx) {
                    for (int k = 0; k < 4; ++k)
                        sum[k] += (src[dx] >> (8 * k)) & 0xFF;
                }
            }
            QRgb v = 0;
            for (int k = 0; k < 4; ++k)
                v |= static_cast<QRgb>((sum[k] + n / 2) / n) << (8 * k);
            row[x] = v;
        }
    }
    return out;
}

void Smooth(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

void FillGradient(QPainter& p, const QRectF& area, std::initializer_list<Stop> stops,
                  bool vertical) {
    QLinearGradient g(area.topLeft(), vertical ? area.bottomLeft() : area.topRight());
    for (const Stop& s : stops)
        g.setColorAt(s.at, s.colour);
    p.fillRect(area, g);
}

QColor Mix(QColor a, QColor b, double t) {
    const auto lerp = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                  lerp(a.alpha(), b.alpha()));
}

QColor WithAlpha(QColor colour, int alpha) {
    colour.setAlpha(alpha);
    return colour;
}

void PaintGlow(QPainter& p, QPointF at, double radius, QColor colour) {
    QRadialGradient g(at, radius);
    g.setColorAt(0, colour);
    g.setColorAt(1, WithAlpha(colour, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(at, radius, radius);
}

namespace {

// One pass of a running-sum box blur along rows (horizontal) or columns.
void BlurPass(QImage& image, int radius, bool horizontal) {
    const int w = image.width();
    const int h = image.height();
    const int lines = horizontal ? h : w;
    const int length = horizontal ? w : h;
    const int window = 2 * radius + 1;
    std::vector<uint32_t> source(length);
    for (int line = 0; line < lines; ++line) {
        const auto at = [&](int i) -> QRgb& {
            return horizontal ? reinterpret_cast<QRgb*>(image.scanLine(line))[i]
                              : reinterpret_cast<QRgb*>(image.scanLine(i))[line];
        };
        for (int i = 0; i < length; ++i)
            source[i] = at(i);
        int sum[4] = {0, 0, 0, 0};
        const auto add = [&](int i, int sign) {
            const uint32_t c = source[std::clamp(i, 0, length - 1)];
            for (int k = 0; k < 4; ++k)
                sum[k] += sign * static_cast<int>((c >> (8 * k)) & 0xFF);
        };
        for (int i = -radius; i <= radius; ++i)
            add(i, 1);
        for (int i = 0; i < length; ++i) {
            uint32_t out = 0;
            for (int k = 0; k < 4; ++k)
                out |= static_cast<uint32_t>(sum[k] / window) << (8 * k);
            at(i) = out;
            add(i + radius + 1, 1);
            add(i - radius, -1);
        }
    }
}

}  // namespace

void BoxBlur(QImage& image, int radius, int passes) {
    if (radius <= 0)
        return;
    if (image.format() != QImage::Format_ARGB32_Premultiplied) {
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    for (int i = 0; i < passes; ++i) {
        BlurPass(image, radius, true);
        BlurPass(image, radius, false);
    }
}

void DrawSoftLayer(QPainter& p, QImage layer, int radius) {
    const int scale = static_cast<int>(std::lround(layer.devicePixelRatio()));
    const QRectF logical(0, 0, layer.width() / scale, layer.height() / scale);
    if (scale > 1)
        layer = Downsample(layer, scale);
    BoxBlur(layer, radius);
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(logical, layer);
    p.restore();
}

void PaintCloud(QPainter& p, QPointF centre, double width, double height, const CloudLook& look,
                Rng& rng) {
    const double baseY = centre.y() + height * 0.35;
    // Wide, flat clouds get more and smaller puffs than tall ones.
    const int puffs = std::clamp(static_cast<int>(width / height * 2.2), 5, 14) + rng.Int(0, 2);
    std::vector<std::pair<QPointF, double>> circles;
    QPainterPath body;
    body.setFillRule(Qt::WindingFill);  // overlapping puffs stay solid
    for (int i = 0; i < puffs; ++i) {
        const double t = (i + rng.Range(0.2, 0.8)) / puffs;
        const double dome = std::sin(t * M_PI);
        const double r = height * (0.22 + 0.36 * dome) * rng.Range(0.75, 1.2);
        const double x = centre.x() - width / 2 + r * 0.8 + (width - 1.6 * r) * t;
        const double y = baseY - r * 0.6 - height * 0.4 * dome * rng.Range(0.7, 1.15);
        circles.push_back({QPointF(x, y), r});
        body.addEllipse(QPointF(x, y), r, r * 0.92);
    }
    // A second, smaller row on top breaks up the outline.
    for (int i = 0; i < puffs / 2; ++i) {
        const double t = rng.Range(0.25, 0.75);
        const double r = height * rng.Range(0.18, 0.3);
        const QPointF at(centre.x() - width / 2 + width * t,
                         baseY - height * (0.55 + 0.35 * std::sin(t * M_PI)) * rng.Range(0.9, 1.1));
        circles.push_back({at, r});
        body.addEllipse(at, r, r * 0.9);
    }
    body.addRoundedRect(QRectF(centre.x() - width / 2 + height * 0.2, baseY - height * 0.3,
                               width - height * 0.4, height * 0.3),
                        height * 0.15, height * 0.15);
    body = body.simplified();
    QPainterPath flatBase;
    flatBase.addRect(QRectF(centre.x() - width, baseY - 3 * height, 2 * width, 3 * height));
    body = body.intersected(flatBase);

    p.save();
    p.setOpacity(look.opacity);
    p.setPen(Qt::NoPen);
    QLinearGradient g(0, baseY - height * 1.1, 0, baseY);
    g.setColorAt(0.0, Mix(look.light, look.shade, 0.15));
    g.setColorAt(0.6, Mix(look.light, look.shade, 0.5));
    g.setColorAt(1.0, look.shade);
    p.setBrush(g);
    p.drawPath(body);
    // Every puff is lit on its upper side; soft radial light, no hard rims.
    p.setClipPath(body);
    for (const auto& [at, r] : circles) {
        const QPointF hot = at + QPointF(-0.15 * r, -0.35 * r);
        QRadialGradient light(hot, r * 1.05);
        const QColor c0 = WithAlpha(look.light, 235);
        const QColor c1 = WithAlpha(look.light, 0);
        light.setColorAt(0, c0);
        light.setColorAt(0.55, Mix(c0, c1, 0.4));
        light.setColorAt(1, c1);
        p.setBrush(light);
        p.drawEllipse(hot, r * 1.05, r * 1.05);
    }
    p.restore();
}

void PaintCloudLayer(QPainter& p, QSize size, std::initializer_list<CloudAt> clouds,
                     const CloudLook& look, Rng& rng, int blur) {
    QImage layer = NewCanvas(size.width(), size.height());
    QPainter c(&layer);
    Smooth(c);
    for (const CloudAt& cl : clouds) {
        CloudLook faded = look;
        faded.opacity *= cl.opacity;
        PaintCloud(c, QPointF(cl.x, cl.y), cl.w, cl.h, faded, rng);
    }
    c.end();
    DrawSoftLayer(p, layer, blur);
}

void PaintSun(QPainter& p, QPointF centre, double radius, QColor core, QColor glow,
              double glowRadius) {
    p.save();
    p.setPen(Qt::NoPen);
    QRadialGradient halo(centre, glowRadius);
    halo.setColorAt(0.0, WithAlpha(glow, 170));
    halo.setColorAt(radius / glowRadius, WithAlpha(glow, 170));
    halo.setColorAt(std::min(0.99, radius / glowRadius * 2.2), WithAlpha(glow, 60));
    halo.setColorAt(1.0, WithAlpha(glow, 0));
    p.setBrush(halo);
    p.drawEllipse(centre, glowRadius, glowRadius);
    QRadialGradient disc(centre - QPointF(radius * 0.25, radius * 0.25), radius * 1.2);
    disc.setColorAt(0.0, Mix(core, Qt::white, 0.6));
    disc.setColorAt(1.0, core);
    p.setBrush(disc);
    p.drawEllipse(centre, radius, radius);
    p.restore();
}

void PaintMoon(QPainter& p, QPointF centre, double radius, QColor halo) {
    p.save();
    p.setPen(Qt::NoPen);
    QRadialGradient glow(centre, radius * 4.5);
    glow.setColorAt(0.0, WithAlpha(halo, 110));
    glow.setColorAt(0.25, WithAlpha(halo, 35));
    glow.setColorAt(1.0, WithAlpha(halo, 0));
    p.setBrush(glow);
    p.drawEllipse(centre, radius * 4.5, radius * 4.5);
    QRadialGradient disc(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.4);
    disc.setColorAt(0.0, QColor(255, 253, 236));
    disc.setColorAt(1.0, QColor(226, 220, 190));
    p.setBrush(disc);
    p.drawEllipse(centre, radius, radius);
    // Maria: faint darker patches, kept inside the disc.
    QPainterPath rim;
    rim.addEllipse(centre, radius, radius);
    p.setClipPath(rim);
    p.setBrush(QColor(170, 165, 140, 70));
    const double r = radius;
    p.drawEllipse(QPointF(centre.x() - 0.30 * r, centre.y() - 0.20 * r), 0.32 * r, 0.26 * r);
    p.drawEllipse(QPointF(centre.x() + 0.25 * r, centre.y() + 0.05 * r), 0.22 * r, 0.30 * r);
    p.drawEllipse(QPointF(centre.x() - 0.05 * r, centre.y() + 0.42 * r), 0.18 * r, 0.14 * r);
    p.setBrush(QColor(150, 145, 125, 50));
    p.drawEllipse(QPointF(centre.x() + 0.45 * r, centre.y() - 0.45 * r), 0.09 * r, 0.09 * r);
    p.restore();
}

void PaintStars(QPainter& p, const QRectF& area, int count, Rng& rng, double horizonFade) {
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const double x = rng.Range(area.left(), area.right());
        const double fy = rng.Next();
        const double y = area.top() + fy * fy * area.height();  // denser higher up
        const double fade = 1.0 - horizonFade * (y - area.top()) / area.height();
        const double size = rng.Next() < 0.08 ? rng.Range(1.2, 1.8) : rng.Range(0.4, 1.0);
        const int warm = rng.Int(0, 40);
        QColor c(255, 250 - warm / 2, 235 - warm,
                 static_cast<int>(255 * fade * rng.Range(0.5, 1.0)));
        p.setBrush(c);
        p.drawEllipse(QPointF(x, y), size, size);
        if (size > 1.4) {
            c.setAlpha(c.alpha() / 3);
            p.setBrush(c);
            p.drawRect(QRectF(x - 4 * size, y - 0.3, 8 * size, 0.6));
            p.drawRect(QRectF(x - 0.3, y - 4 * size, 0.6, 8 * size));
        }
    }
    p.restore();
}

void PaintWater(QPainter& p, const QRectF& area, QColor top, QColor bottom, QColor shimmer,
                int streaks, Rng& rng) {
    FillGradient(p, area, {{0.0, top}, {1.0, bottom}});
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < streaks; ++i) {
        const double fy = rng.Next();
        const double y = area.top() + fy * area.height();
        // Streaks grow longer and thicker towards the viewer.
        const double len = rng.Range(10, 60) * (0.4 + fy);
        const double x = rng.Range(area.left() - 20, area.right());
        QColor c = shimmer;
        c.setAlpha(static_cast<int>(shimmer.alpha() * rng.Range(0.3, 1.0)));
        p.setBrush(c);
        p.drawRoundedRect(QRectF(x, y, len, 0.8 + 1.6 * fy), 1, 1);
    }
    p.restore();
}

}  // namespace wf::assetgen
