#include "Landscape.h"

#include <QLinearGradient>

#include <algorithm>
#include <cmath>

#include "Art.h"

namespace wf::assetgen {

namespace {
constexpr double kSampleStep = 4.0;
}

Ridge::Ridge(double width, std::vector<double> heights) : width_(width), y_(std::move(heights)) {}

double Ridge::At(double x) const {
    const double pos = std::clamp(x, 0.0, width_) / kSampleStep;
    const size_t i = std::min(static_cast<size_t>(pos), y_.size() - 2);
    const double t = pos - static_cast<double>(i);
    return y_[i] + (y_[i + 1] - y_[i]) * t;
}

QPainterPath Ridge::Area(double bottom) const {
    QPainterPath path(QPointF(-2, bottom));
    for (size_t i = 0; i < y_.size(); ++i)
        path.lineTo(i * kSampleStep, y_[i]);
    path.lineTo(width_ + 2, y_.back());
    path.lineTo(width_ + 2, bottom);
    path.closeSubpath();
    return path;
}

Ridge MakeHills(double width, double baseY, double amplitude, double wavelength, Rng& rng) {
    const double p1 = rng.Range(0, 6.28), p2 = rng.Range(0, 6.28), p3 = rng.Range(0, 6.28);
    std::vector<double> y;
    for (double x = 0; x <= width + kSampleStep; x += kSampleStep) {
        const double k = 2 * M_PI * x / wavelength;
        y.push_back(baseY - amplitude * (0.6 * std::sin(k + p1) + 0.3 * std::sin(2.1 * k + p2) +
                                         0.1 * std::sin(4.3 * k + p3)));
    }
    return Ridge(width, std::move(y));
}

Ridge MakeMountains(double width, double baseY, const std::vector<QPointF>& peaks, Rng& rng) {
    std::vector<double> y;
    for (double x = 0; x <= width + kSampleStep; x += kSampleStep) {
        double top = baseY;
        for (const QPointF& peak : peaks) {
            // Each peak is a cone with slightly concave flanks; the range is
            // the highest of them at every x.
            const double slope = 0.9 + 0.25 * std::sin(peak.x() * 0.05);
            const double d = std::abs(x - peak.x());
            const double h = (baseY - peak.y()) *
                             std::pow(std::max(0.0, 1.0 - d * slope / (baseY - peak.y())), 1.3);
            top = std::min(top, baseY - h);
        }
        y.push_back(top + rng.Range(-1.5, 1.5));
    }
    return Ridge(width, std::move(y));
}

void PaintLand(QPainter& p, const Ridge& ridge, double bottom, QColor top, QColor low) {
    double minY = bottom;
    for (double x = 0; x <= ridge.Width(); x += kSampleStep)
        minY = std::min(minY, ridge.At(x));
    QLinearGradient g(0, minY, 0, bottom);
    g.setColorAt(0, top);
    g.setColorAt(1, low);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(ridge.Area(bottom));
    p.restore();
}

void PaintSnow(QPainter& p, const Ridge& ridge, double bottom, double snowLine, Rng& rng) {
    QPainterPath snow(QPointF(0, 0));
    snow.lineTo(ridge.Width(), 0);
    double x = ridge.Width();
    while (x > 0) {
        snow.lineTo(x, snowLine + rng.Range(-6, 14));
        x -= rng.Range(6, 14);
    }
    snow.lineTo(0, snowLine);
    snow.closeSubpath();
    p.save();
    p.setPen(Qt::NoPen);
    p.setClipPath(ridge.Area(bottom));
    QLinearGradient g(0, snowLine - 120, 0, snowLine + 10);
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(1, QColor(215, 225, 240));
    p.setBrush(g);
    p.drawPath(snow);
    p.restore();
}

void PaintTree(QPainter& p, QPointF base, double height, const TreeLook& look, Rng& rng) {
    p.save();
    p.setPen(Qt::NoPen);
    const double trunkW = height * 0.09;
    QPainterPath trunk;
    trunk.moveTo(base.x() - trunkW, base.y());
    trunk.lineTo(base.x() - trunkW * 0.5, base.y() - height * 0.55);
    trunk.lineTo(base.x() + trunkW * 0.5, base.y() - height * 0.55);
    trunk.lineTo(base.x() + trunkW, base.y());
    trunk.closeSubpath();
    p.setBrush(look.trunk);
    p.drawPath(trunk);
    // A shadow on the ground keeps the tree from floating.
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawEllipse(QPointF(base.x() + height * 0.1, base.y()), height * 0.3, height * 0.05);
    const QPointF crown(base.x(), base.y() - height * 0.62);
    const double r = height * 0.3;
    const QColor dark = look.leaf.darker(135);
    const QColor light = look.leaf.lighter(130);
    for (int pass = 0; pass < 3; ++pass) {
        const QColor c = pass == 0 ? dark : (pass == 1 ? look.leaf : light);
        const int blobs = pass == 2 ? 4 : 7;
        for (int i = 0; i < blobs; ++i) {
            const double a = rng.Range(0, 2 * M_PI);
            const double d = rng.Range(0, r * (pass == 2 ? 0.45 : 0.7));
            // Light falls from the upper left: brighter blobs sit there.
            const QPointF shift = pass == 2 ? QPointF(-r * 0.25, -r * 0.3) : QPointF(0, 0);
            const double br = r * rng.Range(0.45, 0.65) * (pass == 2 ? 0.7 : 1.0);
            p.setBrush(c);
            p.drawEllipse(crown + shift + QPointF(std::cos(a) * d, std::sin(a) * d * 0.8), br, br);
        }
    }
    p.restore();
}

void PaintPine(QPainter& p, QPointF base, double height, QColor colour) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour.darker(160));
    p.drawRect(
        QRectF(base.x() - height * 0.03, base.y() - height * 0.2, height * 0.06, height * 0.2));
    const int tiers = 4;
    for (int i = 0; i < tiers; ++i) {
        const double t = static_cast<double>(i) / tiers;
        const double bottom = base.y() - height * (0.12 + 0.2 * t);
        const double w = height * 0.28 * (1.0 - 0.55 * t);
        const double top = base.y() - height * (0.45 + 0.18 * t + (i == tiers - 1 ? 0.37 : 0.0));
        QPainterPath tier;
        tier.moveTo(base.x(), top);
        tier.lineTo(base.x() + w, bottom);
        tier.lineTo(base.x() - w, bottom);
        tier.closeSubpath();
        p.setBrush(colour);
        p.drawPath(tier);
        // The sunny left flank.
        QPainterPath lit;
        lit.moveTo(base.x(), top);
        lit.lineTo(base.x() - w, bottom);
        lit.lineTo(base.x() - w * 0.3, bottom);
        lit.closeSubpath();
        p.setBrush(colour.lighter(125));
        p.drawPath(lit);
    }
    p.restore();
}

void PaintGrass(QPainter& p, const Ridge& ground, double bottom, QColor a, QColor b, int count,
                Rng& rng) {
    p.save();
    for (int i = 0; i < count; ++i) {
        const double x = rng.Range(0, ground.Width());
        const double top = ground.At(x) + 4;
        if (top >= bottom)
            continue;
        const double fy = rng.Next();
        const double y = top + fy * fy * (bottom - top);
        // Blades nearer the viewer are longer.
        const double len = 3 + 10 * (y - top) / std::max(1.0, bottom - top) * rng.Range(0.6, 1.2);
        const double lean = rng.Range(-0.5, 0.5) * len;
        p.setPen(QPen(Mix(a, b, rng.Next()), rng.Range(0.8, 1.6), Qt::SolidLine, Qt::RoundCap));
        QPainterPath blade(QPointF(x, y));
        blade.quadTo(QPointF(x + lean * 0.3, y - len * 0.6), QPointF(x + lean, y - len));
        p.drawPath(blade);
    }
    p.restore();
}

void PaintFlowers(QPainter& p, const Ridge& ground, double bottom, int count, Rng& rng) {
    static const QColor kColours[] = {QColor(255, 255, 255), QColor(255, 220, 60),
                                      QColor(230, 70, 60), QColor(150, 110, 220),
                                      QColor(255, 160, 200)};
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const double x = rng.Range(0, ground.Width());
        const double top = ground.At(x) + 8;
        if (top >= bottom)
            continue;
        const double fy = rng.Next();
        const double y = top + fy * (bottom - top);
        const double r = 1.0 + 2.2 * (y - top) / (bottom - top);
        p.setBrush(kColours[rng.Int(0, 4)]);
        for (int k = 0; k < 5; ++k) {
            const double a = k * 2 * M_PI / 5;
            p.drawEllipse(QPointF(x + std::cos(a) * r, y + std::sin(a) * r * 0.7), r * 0.75,
                          r * 0.6);
        }
        p.setBrush(QColor(240, 190, 40));
        p.drawEllipse(QPointF(x, y), r * 0.5, r * 0.5);
    }
    p.restore();
}

void PaintReeds(QPainter& p, QRectF area, QColor colour, int count, Rng& rng) {
    p.save();
    for (int i = 0; i < count; ++i) {
        const double x = rng.Range(area.left(), area.right());
        const double y = area.bottom() - rng.Range(0, area.height() * 0.15);
        const double len = area.height() * rng.Range(0.5, 1.0);
        const double lean = rng.Range(-0.15, 0.25) * len;
        p.setPen(QPen(Mix(colour, colour.lighter(140), rng.Next()), rng.Range(1.0, 2.0),
                      Qt::SolidLine, Qt::RoundCap));
        QPainterPath stalk(QPointF(x, y));
        stalk.quadTo(QPointF(x + lean * 0.2, y - len * 0.6), QPointF(x + lean, y - len));
        p.drawPath(stalk);
        if (rng.Next() < 0.35) {
            // Bulrush heads.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(90, 55, 35));
            p.drawRoundedRect(QRectF(x + lean - 2, y - len + 2, 4, 11), 2, 2);
        }
    }
    p.restore();
}

void PaintFence(QPainter& p, const std::vector<double>& postCentres, double firstTop,
                double lastTop, double postHeight, QColor wood) {
    if (postCentres.empty())
        return;
    const double x0 = postCentres.front();
    const double span = std::max(1.0, postCentres.back() - x0);
    const auto topAt = [&](double x) { return firstTop + (lastTop - firstTop) * (x - x0) / span; };
    p.save();
    p.setPen(Qt::NoPen);
    const double postW = 12;
    // Two rails between neighbouring posts, drawn first so posts overlap them.
    for (size_t i = 0; i + 1 < postCentres.size(); ++i) {
        const double x1 = postCentres[i], x2 = postCentres[i + 1];
        for (double drop : {9.0, 24.0}) {
            QPainterPath rail;
            rail.moveTo(x1, topAt(x1) + drop);
            rail.lineTo(x2, topAt(x2) + drop);
            rail.lineTo(x2, topAt(x2) + drop + 5);
            rail.lineTo(x1, topAt(x1) + drop + 5);
            rail.closeSubpath();
            p.setBrush(wood.darker(115));
            p.drawPath(rail);
            p.setBrush(wood.lighter(120));
            QPainterPath edge;
            edge.moveTo(x1, topAt(x1) + drop);
            edge.lineTo(x2, topAt(x2) + drop);
            edge.lineTo(x2, topAt(x2) + drop + 1.2);
            edge.lineTo(x1, topAt(x1) + drop + 1.2);
            edge.closeSubpath();
            p.drawPath(edge);
        }
    }
    for (double x : postCentres) {
        const double top = topAt(x);
        const double bottom = top + postHeight;
        const QRectF post(x - postW / 2, top, postW, bottom - top);
        QLinearGradient shade(post.topLeft(), post.topRight());
        shade.setColorAt(0, wood.lighter(125));
        shade.setColorAt(0.6, wood);
        shade.setColorAt(1, wood.darker(140));
        p.setBrush(shade);
        p.drawRect(post);
        p.setBrush(wood.lighter(145));
        p.drawRect(QRectF(post.left(), post.top(), postW, 2));
        p.setBrush(QColor(0, 0, 0, 45));
        p.drawEllipse(QPointF(x + 3, bottom), 9, 2.5);
    }
    p.restore();
}

}  // namespace wf::assetgen
