#pragma once
// Where the birds fly: placement at the start of a game, the motion of one
// tick with the edge tests, and the height at which a bird (re-)enters.
#include "GameState.h"
#include "Random.h"

namespace wf {

// trunc(R × (H − birdHeight − 35)) with the next random number; at or above
// the top edge when the surface is too low for a bird.
float NewBirdHeight(const PlayArea& area, RandomSource& random);

// Birds 1 and 2 at the right edge, bird 3 just beyond the left edge; the
// heights are drawn in the order bird 1, 2, 3.
void PlaceBirds(GameState& state, const PlayArea& area, RandomSource& random);

// One tick: birds 1 and 2 six units left, bird 3 six units right, then the
// edge tests of bird 3, bird 2 and bird 1, each re-entry with a new height.
void MoveBirds(GameState& state, const PlayArea& area, RandomSource& random);

}  // namespace wf
