#pragma once
// A montage of everything the generator draws, for looking it over at once.
#include <QImage>

#include "AssetGenerator.h"

namespace wf::assetgen {

// Background number (0-based) of the MOD as a game frame shows it: the
// extras laid on, birds and cross-hair drawn with their masks the way the
// game draws them (AND, then XOR), the magazine, and the hit cells outlined.
QImage MakeScenePreview(const GameData& data, const BuiltMod& mod, size_t background);

QImage MakeContactSheet(const GameData& data);

}  // namespace wf::assetgen
