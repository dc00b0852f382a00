#pragma once
// An extra's picture and hit cells, made from the scene it stands in.
#include <QImage>
#include <QPoint>
#include <QRect>

#include <vector>

#include "ExtraObjects.h"
#include "ModDefinition.h"
#include "PlayGeometry.h"

namespace wf::assetgen {

// A cell is a hit cell when the object covers at least this share of it.
inline constexpr double kMinCellShare = 0.4;

struct RenderedExtra {
    QImage picture;                // opaque, the size of the box
    QImage layer;                  // the object alone, with transparency
    std::vector<QPoint> hitCells;  // (column, row) of the hit grid, row by row
};

// The extra is drawn opaque at the box's corner, so its picture is the
// scene under the box with the object painted over it: seamless when shown,
// and the bare scene shows when it is hidden or destroyed. A night extra is
// tinted to the moonlight except for its lights.
RenderedExtra RenderExtra(const QImage& scene, const QRect& box, ExtraObject object, bool night);

// Share of the hit-grid cell that the layer (placed with its corner at
// origin in play-area units) covers with pixels at least half opaque.
double CellShare(const QImage& layer, QPoint origin, QPoint cell);

// The cells covered at least kMinCellShare, at most kMaxHitCells of them
// (the best covered when there are more), ordered row by row.
std::vector<QPoint> HitCellsFromLayer(const QImage& layer, QPoint origin);

}  // namespace wf::assetgen
