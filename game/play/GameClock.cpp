#include "GameClock.h"

#include <algorithm>
#include <limits>

namespace wf {

bool AdvanceClock(GameState& state) {
    state.elapsedSeconds += 1;
    state.secondsLeft -= 1;
    return state.elapsedSeconds > state.gameLength;
}

void UpdateCountdown(GameState& state) {
    if (state.secondsLeft >= 60) {
        state.countdownMinutes = state.secondsLeft / 60;
        state.countdownSeconds = state.secondsLeft - 60 * state.countdownMinutes;
    } else {
        state.countdownMinutes = 0;
        state.countdownSeconds = state.secondsLeft;
    }
    if (state.countdownSeconds < 10) {
        state.countdownLeadingZero = QStringLiteral("0");
    } else {
        state.countdownLeadingZero = QString();
    }
}

int16_t SaturatedScore(int64_t score) {
    return static_cast<int16_t>(std::clamp<int64_t>(score, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

}  // namespace wf
