#pragma once
// What the player has chosen: the options of the menu and the user-defined
// mode, and the debug display of the command line. A plain value: the menu
// shows it and the commands change it; a game copies it when it starts.
#include <algorithm>
#include <cstdint>

namespace wf {

// The game length of the user-defined mode in GameSettings::gameLength.
inline constexpr int kUserDefinedLength = 0;
// The preset backgrounds are 1 to kMaxBackgrounds (ModDefinition.h); a
// picture of the player's own is this one.
inline constexpr int kOwnBackground = 0;

// The fixed tick of the timed games.
inline constexpr int kFixedTickMs = 40;

// The user-defined mode's values as its dialog confirmed them; 0 before the
// first confirmation.
struct UserDefinedMode {
    int32_t seconds = 0;
    int32_t framesPerSecond = 0;

    static constexpr int kMinSeconds = 10;
    static constexpr int kMaxSeconds = 360;
    static constexpr int kMinFramesPerSecond = 5;
    static constexpr int kMaxFramesPerSecond = 100;

    bool operator==(const UserDefinedMode&) const = default;
};

struct GameSettings {
    // 30, 60 or 120 seconds, or kUserDefinedLength.
    int gameLength = 30;
    UserDefinedMode userDefined;
    // The user-defined mode's dialog was confirmed last: a game then enters
    // no highscore. Choosing a fixed length clears it, and so does
    // cancelling the dialog, even while no fixed length is chosen.
    bool userDefinedConfirmed = false;
    bool sound = false;
    bool music = false;
    bool fullScreen = false;
    // Full screen scales the play area uniformly and centres it; otherwise
    // it is stretched to the screen. Remembered in game.ini.
    bool keepAspectRatio = false;
    int background = 1;  // 1 to 10, or kOwnBackground
    bool debugMode = false;
    uint8_t debugStyle = 2;  // the look of the debug cell markers, 1 or 2

    bool operator==(const GameSettings&) const = default;
};

// The seconds a game of these settings lasts: the user-defined mode's value
// within its range, the lower bound before the dialog was ever confirmed.
inline int GameSeconds(const GameSettings& s) {
    if (s.gameLength != kUserDefinedLength)
        return s.gameLength;
    const UserDefinedMode& m = s.userDefined;
    return m.seconds == 0 ? m.kMinSeconds : std::clamp(m.seconds, m.kMinSeconds, m.kMaxSeconds);
}

// The game tick's interval in milliseconds.
inline int TickIntervalMs(const GameSettings& s) {
    if (s.gameLength != kUserDefinedLength)
        return kFixedTickMs;
    const UserDefinedMode& m = s.userDefined;
    const int fps = m.framesPerSecond == 0 ? m.kMinFramesPerSecond
                                           : std::clamp(m.framesPerSecond, m.kMinFramesPerSecond,
                                                        m.kMaxFramesPerSecond);
    return 1000 / fps;
}

}  // namespace wf
