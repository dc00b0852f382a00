#pragma once
// The one-second clock of a game and the score its end hands over.
#include <cstdint>

#include "GameState.h"

namespace wf {

// One clock tick; true when the game's time is over (tick gameLength + 1).
bool AdvanceClock(GameState& state);

// The countdown's minutes, seconds and leading zero from secondsLeft, as the
// frame shows them: 65 seconds read 1.05, 9 read 0.09.
void UpdateCountdown(GameState& state);

// The score as the 16-bit value the highscore flow takes, saturated at the
// bounds instead of wrapping round.
int16_t SaturatedScore(int64_t score);

}  // namespace wf
