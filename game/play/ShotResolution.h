#pragma once
// The resolution of one recorded shot, at the positions the frame has just
// shown: cost, sound, extras, birds, magazine.
#include <QString>

#include "Audio.h"
#include "BirdMotion.h"
#include "GameState.h"
#include "Random.h"

namespace wf {

// Only call with a pending shot and a magazine above 0. `sound` is null when
// the sound is switched off.
void ResolveShot(GameState& state, const PlayArea& area, RandomSource& random, SoundOutput* sound,
                 const QString& soundPath);

// True when the cell is the bird's centre cell or one of its four edge
// neighbours.
bool BirdHitByCell(const Bird& bird, int32_t cellX, int32_t cellY);

}  // namespace wf
