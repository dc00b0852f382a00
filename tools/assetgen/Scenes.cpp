#include "Scenes.h"

namespace wf::assetgen {

QImage PaintScene(Scene scene) {
    switch (scene) {
        case Scene::Meadow:
            return PaintMeadow();
        case Scene::Lake:
            return PaintLake();
        case Scene::Mountains:
            return PaintMountains();
        case Scene::City:
            return PaintCity();
        case Scene::StarHills:
            return PaintStarHills();
        case Scene::Harbour:
            return PaintHarbour();
    }
    return QImage();
}

}  // namespace wf::assetgen
