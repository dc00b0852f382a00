#pragma once
// The state of one game, owned by the main window for the life of the
// program. Plain data: the game session changes it, the frame composer draws
// what it says.
#include <QString>
#include <array>
#include <cstdint>

#include "FixedScale.h"
#include "ModDefinition.h"

namespace wf {

struct Bird {
    float x = 0;
    float y = 0;
};

// Birds 1 and 2 fly to the left; bird 3, at this index, to the right.
inline constexpr size_t kRightwardBird = 2;

inline constexpr int kMagazineSize = 6;
inline constexpr int kShotCost = 2;
inline constexpr int kBirdPoints = 7;
inline constexpr int kBirdSpeed = 6;
inline constexpr int kSpawnMargin = 35;

// The window-mode playing surface and the bird picture, in play-area units.
// The same in full-screen mode: only drawing is scaled.
struct PlayArea {
    int width = 0;
    int height = 0;
    int birdWidth = 0;
    int birdHeight = 0;
};

// Where a game stands.
enum class GamePhase {
    Idle,      // no game: the title sequence runs, the menu offers a new one
    Starting,  // a start that has not (yet) succeeded: only its abort is offered
    Running,
};

// The surface a game draws into, fixed by the start of the game.
enum class DrawTarget { WindowSurface, FullScreenSurface };

// Where on the full-screen surface the play area is drawn, in its pixels. An
// empty one is the whole surface (the play area stretched to the screen);
// with the aspect ratio kept it is a centred part, with black bars around.
struct DisplayArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool Whole() const { return width <= 0 || height <= 0; }
    bool operator==(const DisplayArea&) const = default;
};

struct GameState {
    GamePhase phase = GamePhase::Idle;
    bool Running() const { return phase == GamePhase::Running; }

    int32_t mouseX = 0;
    int32_t mouseY = 0;
    int32_t shotCellX = 0;
    int32_t shotCellY = 0;
    int magazine = kMagazineSize;
    bool shotPending = false;
    int16_t finalScore = 0;

    int32_t gameLength = 0;
    PlayArea area;
    FixedScale scaleX = FixedScale::One();
    FixedScale scaleY = FixedScale::One();
    int32_t elapsedSeconds = 0;
    int32_t secondsLeft = 0;
    std::array<Bird, 3> birds{};
    int64_t score = 0;
    DrawTarget drawTarget = DrawTarget::WindowSurface;
    DisplayArea display;

    // Taken from the settings when a game starts.
    bool debugMode = false;
    uint8_t debugStyle = 2;
    int32_t selectedBackground = 1;

    // The MOD's backgrounds with their extras and the extras' run-time state.
    ModDefinition mod;

    // Countdown text parts, recomputed every tick.
    int32_t countdownMinutes = 0;
    int32_t countdownSeconds = 0;
    QString countdownLeadingZero;
};

}  // namespace wf
