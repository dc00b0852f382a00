#pragma once
// The fixed picture set and the MOD's extra pictures, loaded into store 0 in
// slot order, and the tests of which gaps are fatal.
#include <QString>
#include <array>
#include <functional>

#include "ModDefinition.h"
#include "PictureSlots.h"
#include "PictureStore.h"

namespace wf {

struct LoadedPictures {
    std::array<int, kLoadedFlagCount> pictureLoaded{};  // 1 loaded, 0 failed, per slot
    int nextPictureSlot = kFirstExtraSlot;
};

// The fixed slots from "Grafiken" (the background slot: the MOD's first
// background), then one slot per extra in MOD order; each extra learns its
// pictureSlot. progress is told 20, 40, 50 and 65 on the way.
LoadedPictures LoadPictureSet(PictureStores& stores, const QString& programDir,
                              const QString& modDir, ModDefinition& mod,
                              const std::function<void(int)>& progress);

// The first fixed slot that is drawn and has no picture; 0 when all are
// there.
int FirstMissingFixedSlot(const LoadedPictures& pictures);

// True when every extra slot holds its picture.
bool AllExtrasLoaded(const LoadedPictures& pictures);

}  // namespace wf
