#pragma once
// A MOD as its definition files describe it, plus the run-time state of each
// extra. Storage is indexed from 1 as in the files; index 0 is never used.
#include <QByteArray>
#include <QColor>
#include <QString>
#include <array>
#include <cstdint>

namespace wf {

inline constexpr int kMaxBackgrounds = 10;
inline constexpr int kMaxExtras = 5;
inline constexpr int kMaxHitCells = 20;

struct HitCell {
    int32_t column = 0;
    int32_t row = 0;
};

struct ExtraDef {
    QByteArray pictureFile;  // relative to the MOD directory, as stored
    int32_t pictureSlot = 0; // assigned when start-up loads the pictures
    int32_t x = 0;
    int32_t y = 0;
    int32_t hitCellCount = 0;
    std::array<HitCell, kMaxHitCells + 1> hitCells{};
    int32_t extraPoints = 0;
    QByteArray extraKind;  // "static" or "sequenziell"
    bool destructable = false;
    // Run-time state: 1 shown, 49 destroyed, anything else hidden.
    int32_t extraState = 1;
    int32_t extraTimer = 100;
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

}  // namespace wf
