#pragma once
// The resolution of one recorded shot, at the positions the frame has just
// shown: cost, extras, birds, magazine.
#include "GameState.h"
#include "Random.h"

namespace wf {

// Only call with a pending shot and a magazine above 0.
void ResolveShot(GameState& state, const PlayArea& area, RandomSource& random);

// The cell of a bird's hit centre.
int32_t BirdHitColumn(const Bird& bird);
int32_t BirdHitRow(const Bird& bird);

// True when the cell is the bird's centre cell or one of its four edge
// neighbours.
bool BirdHitByCell(const Bird& bird, int32_t cellX, int32_t cellY);

}  // namespace wf
