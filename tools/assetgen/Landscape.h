#pragma once
// Ground, hills, mountains and the plants and buildings that stand on them.
#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <vector>

#include "Rng.h"

namespace wf::assetgen {

// The upper edge of a band of land, sampled every few pixels across the
// picture, so that trees, fences and houses can stand on it.
class Ridge {
  public:
    Ridge(double width, std::vector<double> heights);
    double At(double x) const;
    double Width() const { return width_; }
    // The land below the edge down to bottom, as a closed path.
    QPainterPath Area(double bottom) const;

  private:
    double width_;
    std::vector<double> y_;
};

// Rolling hills: a sum of gentle waves around baseY.
Ridge MakeHills(double width, double baseY, double amplitude, double wavelength, Rng& rng);
// A mountain range: sharp peaks between startX and width with valleys at baseY.
Ridge MakeMountains(double width, double baseY, const std::vector<QPointF>& peaks, Rng& rng);

void PaintLand(QPainter& p, const Ridge& ridge, double bottom, QColor top, QColor low);
// Snow on the parts of a range above snowLine, with a ragged lower edge.
void PaintSnow(QPainter& p, const Ridge& ridge, double bottom, double snowLine, Rng& rng);

struct TreeLook {
    QColor leaf{70, 140, 50};
    QColor trunk{100, 70, 45};
};
void PaintTree(QPainter& p, QPointF base, double height, const TreeLook& look, Rng& rng);
void PaintPine(QPainter& p, QPointF base, double height, QColor colour);
void PaintGrass(QPainter& p, const Ridge& ground, double bottom, QColor a, QColor b, int count,
                Rng& rng);
void PaintFlowers(QPainter& p, const Ridge& ground, double bottom, int count, Rng& rng);
void PaintReeds(QPainter& p, QRectF area, QColor colour, int count, Rng& rng);

// A wooden post-and-rail fence running straight: the post tops lie on the
// line from firstTop (at the first post) to lastTop (at the last); every post
// is postHeight long and casts a shadow where it stands.
void PaintFence(QPainter& p, const std::vector<double>& postCentres, double firstTop,
                double lastTop, double postHeight, QColor wood);

}  // namespace wf::assetgen
