#pragma once
// The masked sprites (cross-hair, birds) and the cartridge of the magazine.
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QSize>

#include "PlayGeometry.h"

namespace wf::assetgen {

// The cross-hair is drawn symmetric about the point the game aims at, and
// the bird around the point it is hit at.
inline constexpr QSize kCrossHairSize{32, 32};
inline constexpr QPoint kAimPoint{kAimOffset, kAimOffset};
inline constexpr QSize kBirdSize{88, 40};
inline constexpr QPoint kBirdHitCentre{kBirdHitCentreX, kBirdHitCentreY};
inline constexpr QSize kCartridgeSize{20, 40};

// A sprite is drawn as mask (AND) then sprite (XOR): the mask is pure black
// where the sprite covers the scene and pure white elsewhere; the sprite is
// pure black exactly where it does not cover.
struct MaskedSprite {
    QImage sprite;
    QImage mask;
};

// Turns a drawing with transparency into such a pair: a pixel counts as
// covered when it is at least half opaque, so the edges come out hard.
MaskedSprite ToMaskedSprite(const QImage& layer);

// The bird flying left in its 88 x 40 picture coordinates, antialiased; the
// title pictures draw it larger.
void PaintBirdShape(QPainter& p);

MaskedSprite MakeCrossHair();
MaskedSprite MakeBird(bool flyingRight);
QImage MakeCartridge();

}  // namespace wf::assetgen
