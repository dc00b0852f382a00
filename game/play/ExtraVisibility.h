#pragma once
// The visibility schedule of a "sequenziell" extra, run once per tick while
// the frame is drawn. Header-only because the frame composer uses it.
#include <cmath>

#include "ModDefinition.h"
#include "Random.h"

namespace wf {

// True when the extra is to be drawn this tick. Shown for 100 ticks after
// each restart (the first showing starts at timer 23); whenever the timer
// stands at 100 a draw decides, with one chance in 490, whether it shows
// again. A destroyed extra's timer (200) never stands at 100 again.
inline bool UpdateSequenziell(ExtraDef& extra, RandomSource& random) {
    if (extra.extraTimer == 100) {
        extra.extraState = static_cast<int32_t>(std::trunc(random.Next() * 490.0));
    }
    if (extra.extraState != 1)
        return false;
    if (extra.extraTimer == 100)
        extra.extraTimer = 0;
    ++extra.extraTimer;
    return true;
}

}  // namespace wf
