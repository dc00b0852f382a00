#pragma once
// A MOD as its definition files describe it, plus the run-time state of each
// extra. Storage is indexed from 1 as in the files; index 0 is never used.
#include <QByteArray>
#include <QColor>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace wf {

inline constexpr int kMaxBackgrounds = 10;
inline constexpr int kMaxExtras = 5;
inline constexpr int kMaxHitCells = 20;

// An extra's run-time state: shown, destroyed (hidden for the rest of the
// game); any other value hides it.
inline constexpr int32_t kExtraShown = 1;
inline constexpr int32_t kExtraDestroyed = 49;
// An extra's timer counts the ticks of a "sequenziell" extra's showing. A
// loaded MOD leaves it at the end of a showing period, every game starts it
// part-way into one, and a destroyed extra's timer is frozen beyond the
// period's end, where it never stands at the end again.
inline constexpr int32_t kExtraTimerAtGameStart = 23;
inline constexpr int32_t kExtraTimerPeriod = 100;
inline constexpr int32_t kExtraTimerDestroyed = 200;
// At the end of each period a "sequenziell" extra shows again with one
// chance in this many.
inline constexpr int kExtraShowOdds = 490;

struct HitCell {
    int32_t column = 0;
    int32_t row = 0;
};

struct ExtraDef {
    QByteArray pictureFile;   // relative to the MOD directory, as stored
    int32_t pictureSlot = 0;  // assigned when start-up loads the pictures
    int32_t x = 0;
    int32_t y = 0;
    int32_t hitCellCount = 0;
    std::array<HitCell, kMaxHitCells + 1> hitCells{};
    int32_t extraPoints = 0;
    QByteArray extraKind;  // "static" or "sequenziell"
    bool destructable = false;
    // Run-time state, see above.
    int32_t extraState = kExtraShown;
    int32_t extraTimer = kExtraTimerPeriod;
};

struct BackgroundDef {
    QByteArray title;  // menu caption, 8-bit text
    bool isPicture = false;
    QByteArray pictureFile;  // relative to the MOD directory; empty for colours
    int32_t width = 0;
    int32_t height = 0;
    QColor colour = QColor(0, 0, 0);
    int32_t extraCount = 0;
    std::array<ExtraDef, kMaxExtras + 1> extras{};
};

struct ModDefinition {
    QByteArray modName;
    QByteArray shotSoundFile;
    QByteArray musicFile;
    bool modIsEncoded = false;
    int32_t backgroundCount = 0;
    std::array<BackgroundDef, kMaxBackgrounds + 1> backgrounds{};
};

// The extras that background number `background` defines, in order; none
// for a number outside 1 to kMaxBackgrounds (a picture of the player's own
// has none).
inline std::span<ExtraDef> ExtrasOf(ModDefinition& mod, int background) {
    if (background < 1 || background > kMaxBackgrounds)
        return {};
    BackgroundDef& def = mod.backgrounds[background];
    return {def.extras.data() + 1, static_cast<size_t>(std::clamp(def.extraCount, 0, kMaxExtras))};
}
inline std::span<const ExtraDef> ExtrasOf(const ModDefinition& mod, int background) {
    return ExtrasOf(const_cast<ModDefinition&>(mod), background);
}

// An extra's hit cells, in order.
inline std::span<const HitCell> HitCellsOf(const ExtraDef& extra) {
    return {extra.hitCells.data() + 1,
            static_cast<size_t>(std::clamp(extra.hitCellCount, 0, kMaxHitCells))};
}

}  // namespace wf
