#pragma once
// The timed game lengths and the highscore table each one fills. The game
// picks its table from here and the online site keeps one table per length,
// so a new length is added in this one place.
#include <array>

namespace wf {

// In the order the tables are numbered (1, 2, 3) and shown.
inline constexpr std::array<int, 3> kTimedGameLengths = {30, 60, 120};
inline constexpr int kHighscoreTables = static_cast<int>(kTimedGameLengths.size());

// The table (1 to 3) of a timed game of this many seconds; 0 for any other
// length.
constexpr int TableOfGameLength(int seconds) {
    for (int t = 0; t < kHighscoreTables; ++t) {
        if (kTimedGameLengths[t] == seconds)
            return t + 1;
    }
    return 0;
}

// The seconds of table 1 to 3; 0 for any other number.
constexpr int GameLengthOfTable(int table) {
    return table >= 1 && table <= kHighscoreTables ? kTimedGameLengths[table - 1] : 0;
}

}  // namespace wf
