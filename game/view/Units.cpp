#include "Units.h"

namespace wf {
namespace {
int g_twipsPerPixel = 15;
}

int TwipsPerPixel() {
    return g_twipsPerPixel;
}
void SetTwipsPerPixel(int tpp) {
    g_twipsPerPixel = tpp > 0 ? tpp : 15;
}

}  // namespace wf
