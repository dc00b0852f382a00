#include "ShotResolution.h"

#include <cmath>

#include "BirdMotion.h"
#include "PlayGeometry.h"

namespace wf {

namespace {

// Every hit cell of every shown extra is tested: an extra that lists the shot
// cell twice and survives the first hit scores twice.
void ScoreExtras(GameState& state) {
    for (ExtraDef& extra : ExtrasOf(state.mod, state.selectedBackground)) {
        for (const HitCell& cell : HitCellsOf(extra)) {
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
    for (size_t i = 0; i < state.birds.size(); ++i) {
        Bird& bird = state.birds[i];
        if (!BirdHitByCell(bird, state.shotCellX, state.shotCellY))
            continue;
        state.score += kBirdPoints;
        bird.y = NewBirdHeight(area, random);
        // Sent to its exit edge; this tick's motion carries it over.
        bird.x = i != kRightwardBird ? static_cast<float>(-area.birdWidth)
                                     : static_cast<float>(area.width + area.birdWidth);
    }
}

}  // namespace

int32_t BirdHitColumn(const Bird& bird) {
    return static_cast<int32_t>(
        std::trunc((static_cast<double>(bird.x) + kBirdHitCentreX) / kCellSize));
}

int32_t BirdHitRow(const Bird& bird) {
    return static_cast<int32_t>(
        std::trunc((static_cast<double>(bird.y) + kBirdHitCentreY) / kCellSize));
}

bool BirdHitByCell(const Bird& bird, int32_t cellX, int32_t cellY) {
    const int dx = cellX - BirdHitColumn(bird);
    const int dy = cellY - BirdHitRow(bird);
    return (dx == 0 && dy >= -1 && dy <= 1) || (dy == 0 && (dx == -1 || dx == 1));
}

void ResolveShot(GameState& state, const PlayArea& area, RandomSource& random) {
    state.score -= kShotCost;
    ScoreExtras(state);
    ScoreBirds(state, area, random);
    state.shotPending = false;
    state.magazine -= 1;
}

}  // namespace wf
