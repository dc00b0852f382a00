#pragma once
// The preset background pictures of the two MODs, 800 x 600 each.
#include <QImage>

namespace wf::assetgen {

enum class Scene { Meadow, Lake, Mountains, City, StarHills, Harbour };

QImage PaintScene(Scene scene);

// One painter per scene, split over a day and a night file.
QImage PaintMeadow();
QImage PaintLake();
QImage PaintMountains();
QImage PaintCity();
QImage PaintStarHills();
QImage PaintHarbour();

}  // namespace wf::assetgen
