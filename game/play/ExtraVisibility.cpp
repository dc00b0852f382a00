#include "ExtraVisibility.h"

#include <algorithm>
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
    const int bg = state.selectedBackground;
    if (bg < 1 || bg > kMaxBackgrounds)
        return 0;
    BackgroundDef& background = state.mod.backgrounds[bg];
    const int count = std::clamp(background.extraCount, 0, kMaxExtras);
    for (int j = 1; j <= count; ++j) {
        ExtraDef& extra = background.extras[j];
        if (extra.extraKind == "sequenziell") {
            UpdateSequenziell(extra, random);
        } else if (extra.extraKind != "static") {
            return j;
        }
    }
    return 0;
}

}  // namespace wf
