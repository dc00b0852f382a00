#include "PointerInput.h"

#include <cmath>

namespace wf {

int32_t AimCell(double pointer) {
    return static_cast<int32_t>(std::trunc((pointer + kAimOffset) / kCellSize));
}

void PointerMoved(GameState& state, double x, double y) {
    state.mouseX = NearestEven(x);
    state.mouseY = NearestEven(y);
}

int32_t ScreenToPlayArea(double screen, FixedScale scale) {
    if (scale.tenThousandths <= 0)
        return NearestEven(screen);
    return NearestEven(screen * 10000.0 / static_cast<double>(scale.tenThousandths));
}

void ButtonReleased(GameState& state, PointerButton button, double x, double y) {
    switch (button) {
        case PointerButton::Left:
            state.shotCellX = AimCell(x);
            state.shotCellY = AimCell(y);
            state.shotPending = true;
            break;
        case PointerButton::Right:
            state.shotPending = false;
            if (state.magazine == 0)
                state.magazine = kMagazineSize;
            break;
        case PointerButton::Middle:
            break;
    }
}

}  // namespace wf
