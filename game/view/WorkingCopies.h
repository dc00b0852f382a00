#pragma once
// The per-game working copies in store 1, made from the source pictures of
// store 0 at every start of a game: the game's pictures and the extras. The
// working slots of the title pictures stay empty, since a game never draws
// them.
#include <QImage>
#include <map>
#include <tuple>

#include "FixedScale.h"
#include "PictureStore.h"

namespace wf {

// The full-screen copies of the last full-screen start, kept while the
// program runs. A later start at the same scale takes every copy whose
// source picture is unchanged instead of reading its hd twin and stretching
// again, so only the first start pays for the twins, and a MOD's twins can
// never be read over and over in a cycle. They hold what one full-screen
// game holds anyway (within kMaxWorkingCopyPixels) and share it with store 1.
class StretchedCopies {
  public:
    int Count() const { return static_cast<int>(copies_.size()); }

  private:
    friend bool MakeStretchedCopies(PictureStores&, FixedScale, FixedScale, StretchedCopies*);
    // The source picture (QImage::cacheKey), smooth, width, height.
    using Key = std::tuple<qint64, bool, int, int>;
    std::map<Key, QImage> copies_;
    FixedScale scaleX_, scaleY_;  // of the copies
};

// Identical copies for window mode. False as soon as a copy fails (a missing
// or empty source picture); the slots made so far stay as they are.
bool MakeWindowCopies(PictureStores& stores);

// Copies stretched by the display scale for full-screen mode, so that every
// frame blits at 1:1. With kept copies, a picture with an hd twin is scaled
// from the twin to the same size, which keeps it crisp, and what was made is
// kept for the next start; without, every picture is stretched itself.
// Sprites and masks are stretched nearest-neighbour so that they stay binary
// and cover each other exactly; opaque pictures smoothly. False as soon as a
// stretch fails.
bool MakeStretchedCopies(PictureStores& stores, FixedScale scaleX, FixedScale scaleY,
                         StretchedCopies* kept = nullptr);

}  // namespace wf
