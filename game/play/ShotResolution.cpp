#include "ShotResolution.h"

#include <algorithm>
#include <cmath>

namespace wf {

namespace {

// Every hit cell of every shown extra is tested: an extra that lists the shot
// cell twice and survives the first hit scores twice.
void ScoreExtras(GameState& state) {
    const int bg = state.selectedBackground;
    if (bg < 1 || bg > kMaxBackgrounds)
        return;
    BackgroundDef& background = state.mod.backgrounds[bg];
    const int count = std::clamp(background.extraCount, 0, kMaxExtras);
    for (int i = 1; i <= count; ++i) {
        ExtraDef& extra = background.extras[i];
        const int cells = std::clamp(extra.hitCellCount, 0, kMaxHitCells);
        for (int k = 1; k <= cells; ++k) {
            const HitCell& cell = extra.hitCells[k];
            if (cell.column != state.shotCellX || cell.row != state.shotCellY)
                continue;
            if (extra.extraState != kExtraShown)
                continue;
            state.score += extra.extraPoints;
            if (extra.destructable) {
                // Its frozen timer never stands at the end of a period
                // again, so the extra stays hidden for the rest of the game.
                extra.extraState = kExtraDestroyed;
                extra.extraTimer = kExtraTimerDestroyed;
            }
        }
    }
}

void ScoreBirds(GameState& state, const PlayArea& area, RandomSource& random) {
    for (int i = 0; i < 3; ++i) {
        Bird& bird = state.birds[i];
        if (!BirdHitByCell(bird, state.shotCellX, state.shotCellY))
            continue;
        state.score += kBirdPoints;
        bird.y = NewBirdHeight(area, random);
        // Sent to its exit edge; this tick's motion carries it over.
        bird.x = i < 2 ? static_cast<float>(-area.birdWidth)
                       : static_cast<float>(area.width + area.birdWidth);
    }
}

}  // namespace

bool BirdHitByCell(const Bird& bird, int32_t cellX, int32_t cellY) {
    const auto cx =
        static_cast<int32_t>(std::trunc((static_cast<double>(bird.x) + 44.0) / kCellSize));
    const auto cy =
        static_cast<int32_t>(std::trunc((static_cast<double>(bird.y) + 20.0) / kCellSize));
    const int dx = cellX - cx;
    const int dy = cellY - cy;
    return (dx == 0 && dy >= -1 && dy <= 1) || (dy == 0 && (dx == -1 || dx == 1));
}

void ResolveShot(GameState& state, const PlayArea& area, RandomSource& random, SoundOutput* sound,
                 const QString& soundPath) {
    state.score -= kShotCost;
    if (sound && !soundPath.isEmpty())
        sound->PlayWave(soundPath);
    ScoreExtras(state);
    ScoreBirds(state, area, random);
    state.shotPending = false;
    state.magazine -= 1;
}

}  // namespace wf
