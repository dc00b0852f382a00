#include "ExtraVisibility.h"

#include <cmath>

namespace wf {

bool UpdateSequenziell(ExtraDef& extra, RandomSource& random) {
    if (extra.extraTimer == kExtraTimerPeriod) {
        extra.extraState = static_cast<int32_t>(std::trunc(random.Next() * kExtraShowOdds));
    }
    if (extra.extraState != kExtraShown)
        return false;
    if (extra.extraTimer == kExtraTimerPeriod)
        extra.extraTimer = 0;
    ++extra.extraTimer;
    return true;
}

int UpdateExtraVisibility(GameState& state, RandomSource& random) {
    int number = 0;
    for (ExtraDef& extra : ExtrasOf(state.mod, state.selectedBackground)) {
        ++number;
        if (extra.extraKind == "sequenziell") {
            UpdateSequenziell(extra, random);
        } else if (extra.extraKind != "static") {
            return number;
        }
    }
    return 0;
}

}  // namespace wf
