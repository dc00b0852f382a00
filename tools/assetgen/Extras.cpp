#include "Extras.h"

#include <QPainter>

#include <algorithm>
#include <utility>

#include "Art.h"

namespace wf::assetgen {

RenderedExtra RenderExtra(const QImage& scene, const QRect& box, ExtraObject object, bool night) {
    RenderedExtra out;
    out.layer = NewCanvas(box.width(), box.height());
    {
        QPainter p(&out.layer);
        Smooth(p);
        p.save();
        PaintObjectBody(object, p, QSizeF(box.size()));
        p.restore();
        if (night) {
            // Moonlight: darker and bluer, only where the object already is.
            p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
            p.fillRect(QRectF(QPointF(0, 0), QSizeF(box.size())), QColor(30, 40, 96, 85));
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        PaintObjectLights(object, p, QSizeF(box.size()));
    }
    QImage picture =
        scene.copy(DeviceRect(scene, box)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(out.layer.devicePixelRatio());
    {
        QPainter p(&picture);
        p.drawImage(0, 0, out.layer);
    }
    out.picture = picture.convertToFormat(QImage::Format_RGB888);
    // Hit cells are play-area cells: counted on the 1× drawing only.
    if (CanvasScale() == 1)
        out.hitCells = HitCellsFromLayer(out.layer, box.topLeft());
    return out;
}

double CellShare(const QImage& layer, QPoint origin, QPoint cell) {
    int covered = 0;
    for (int y = cell.y() * kCellSize; y < (cell.y() + 1) * kCellSize; ++y) {
        for (int x = cell.x() * kCellSize; x < (cell.x() + 1) * kCellSize; ++x) {
            const QPoint at(x - origin.x(), y - origin.y());
            if (layer.valid(at) && qAlpha(layer.pixel(at)) >= 128)
                ++covered;
        }
    }
    return static_cast<double>(covered) / (kCellSize * kCellSize);
}

std::vector<QPoint> HitCellsFromLayer(const QImage& layer, QPoint origin) {
    std::vector<std::pair<double, QPoint>> found;
    const int c0 = origin.x() / kCellSize;
    const int r0 = origin.y() / kCellSize;
    const int c1 = (origin.x() + layer.width() - 1) / kCellSize;
    const int r1 = (origin.y() + layer.height() - 1) / kCellSize;
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            const double share = CellShare(layer, origin, QPoint(c, r));
            if (share >= kMinCellShare)
                found.emplace_back(share, QPoint(c, r));
        }
    }
    if (found.size() > static_cast<size_t>(kMaxHitCells)) {
        std::stable_sort(found.begin(), found.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        found.resize(kMaxHitCells);
    }
    std::vector<QPoint> cells;
    for (const auto& f : found)
        cells.push_back(f.second);
    std::sort(cells.begin(), cells.end(),
              [](QPoint a, QPoint b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); });
    return cells;
}

}  // namespace wf::assetgen
