#pragma once
// The per-game working copies in store 1, made from the source pictures of
// store 0 at every start of a game: the game's pictures and the extras. The
// working slots of the title pictures stay empty, since a game never draws
// them.
#include "FixedScale.h"
#include "HdTwins.h"
#include "PictureStore.h"

namespace wf {

// Identical copies for window mode. False as soon as a copy fails (a missing
// or empty source picture); the slots made so far stay as they are.
bool MakeWindowCopies(PictureStores& stores);

// Copies stretched by the display scale for full-screen mode, so that every
// frame blits at 1:1. A picture with an hd twin is scaled from the twin to
// the same size, which keeps it crisp. Sprites and masks are stretched
// nearest-neighbour so that they stay binary and cover each other exactly;
// opaque pictures smoothly. False as soon as a stretch fails.
bool MakeStretchedCopies(PictureStores& stores, FixedScale scaleX, FixedScale scaleY,
                         HdTwins* twins = nullptr);

}  // namespace wf
