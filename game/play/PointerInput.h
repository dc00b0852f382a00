#pragma once
// What the pointer does on either playing surface. The handlers only record:
// the next game tick resolves a recorded shot.
#include "FixedScale.h"
#include "GameState.h"
#include "PlayGeometry.h"

namespace wf {

// mouseX/mouseY to the nearest whole unit, halves to even.
void PointerMoved(GameState& state, double x, double y);

// The full-screen surface measures in screen pixels, while the cross-hair is
// drawn at the play-area position times the display scale: a screen
// position becomes play-area units by dividing by the scale, to the nearest
// whole unit, so that the cross-hair stays under the pointer.
int32_t ScreenToPlayArea(double screen, FixedScale scale);

// The cell a pointer position aims at: the cross-hair's aim point, truncated
// toward zero.
int32_t AimCell(double pointer);

// Left: records the aim point's cell and a pending shot; a second click
// replaces it. Right: drops a pending shot and refills only an empty
// magazine. Any other button is ignored.
void ButtonReleased(GameState& state, PointerButton button, double x, double y);

}  // namespace wf
