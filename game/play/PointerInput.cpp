#include "PointerInput.h"

#include <cmath>

#include "FixedScale.h"

namespace wf {

namespace {
int32_t AimCell(double v) {
    return static_cast<int32_t>(std::trunc((v + 16.0) / kCellSize));
}
}  // namespace

void PointerMoved(GameState& state, double x, double y) {
    state.mouseX = NearestEven(x);
    state.mouseY = NearestEven(y);
}

int32_t ScreenToPlayArea(double screen, FixedScale scale) {
    if (scale.tenThousandths <= 0)
        return NearestEven(screen);
    return NearestEven(screen * 10000.0 / static_cast<double>(scale.tenThousandths));
}

void ButtonReleased(GameState& state, int button, double x, double y) {
    if (button == kLeftButton) {
        state.shotCellX = AimCell(x);
        state.shotCellY = AimCell(y);
        state.shotPending = true;
    } else if (button == kRightButton) {
        state.shotPending = false;
        if (state.magazine == 0)
            state.magazine = kMagazineSize;
    }
}

}  // namespace wf
