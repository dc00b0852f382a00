#pragma once
// What the pointer does on either playing surface. The handlers only record:
// the next game tick resolves a recorded shot.
#include "GameState.h"

namespace wf {

inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;

// mouseX/mouseY to the nearest whole unit, halves to even.
void PointerMoved(GameState& state, double x, double y);

// Left: records the aim point's cell (the cross-hair aims 16 units right of
// and below the pointer) and a pending shot; a second click replaces it.
// Right: drops a pending shot and refills only an empty magazine.
// Any other button is ignored.
void ButtonReleased(GameState& state, int button, double x, double y);

}  // namespace wf
