#pragma once
// Which extras a tick shows: the visibility schedule of the "sequenziell"
// extras, run once per tick before the frame is drawn.
#include "GameState.h"
#include "ModDefinition.h"
#include "Random.h"

namespace wf {

// True when the extra is shown this tick. Shown for a whole period after
// each restart (every game starts part-way into one); whenever the timer
// stands at the period's end a draw decides, with one chance in
// kExtraShowOdds, whether it shows again.
bool UpdateSequenziell(ExtraDef& extra, RandomSource& random);

// Runs the update of every extra of the selected background in order; a
// "static" extra has none. Stops at the first extra of any other kind and
// returns its number: the frame draws the extras before it, then the program
// ends. 0 when every kind is known.
int UpdateExtraVisibility(GameState& state, RandomSource& random);

}  // namespace wf
