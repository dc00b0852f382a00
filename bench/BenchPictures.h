#pragma once
// Synthetic pictures for the benchmarks: a patterned background, a
// cartridge, the cross-hair and the two bird pictures with their masks.
#include <QImage>

#include "PictureSlots.h"
#include "PictureStore.h"
#include "Solid.h"

namespace wf::bench {

using test::Solid;

// Sprite black where transparent; mask black where the sprite covers.
inline void Sprite(QImage& sprite, QImage& mask, int w, int h, QRgb colour) {
    sprite = Solid(w, h, 0xFF000000u);
    mask = Solid(w, h, 0xFFFFFFFFu);
    const double cx = w / 2.0, cy = h / 2.0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x - cx) / cx, dy = (y - cy) / cy;
            if (dx * dx + dy * dy > 0.8)
                continue;
            sprite.setPixel(x, y, colour);
            mask.setPixel(x, y, 0xFF000000u);
        }
    }
}

// Store 0 as start-up leaves it, with a background of w × h.
inline void FillStore(PictureStores& stores, int w, int h) {
    PictureStore& s = stores.sources;
    while (s.SlotCount() < kLastFixedSlot)
        s.NewSlot();
    *s.Picture(kCartridgeSlot) = Solid(16, 40, 0xFFC8A000u);
    Sprite(*s.Picture(kCursorSlot), *s.Picture(kCursorMaskSlot), 32, 32, 0xFFFF0000u);
    QImage background(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(background.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb(120 + x % 100, 160 + y % 80, 230);
    }
    *s.Picture(kBackgroundSlot) = background;
    Sprite(*s.Picture(kLeftBirdSlot), *s.Picture(kLeftBirdMaskSlot), 88, 48, 0xFF302010u);
    Sprite(*s.Picture(kRightBirdSlot), *s.Picture(kRightBirdMaskSlot), 88, 48, 0xFF103020u);
}

}  // namespace wf::bench
