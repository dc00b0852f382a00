#include "BirdMotion.h"

#include <cmath>

namespace wf {

float NewBirdHeight(const PlayArea& area, RandomSource& random) {
    const double span = static_cast<double>(area.height - area.birdHeight - kSpawnMargin);
    return static_cast<float>(std::trunc(random.Next() * span));
}

void PlaceBirds(GameState& state, const PlayArea& area, RandomSource& random) {
    state.birds[0].x = static_cast<float>(area.width);
    state.birds[1].x = static_cast<float>(area.width);
    state.birds[2].x = static_cast<float>(-area.birdWidth);
    for (Bird& bird : state.birds)
        bird.y = NewBirdHeight(area, random);
}

void MoveBirds(GameState& state, const PlayArea& area, RandomSource& random) {
    state.birds[0].x -= kBirdSpeed;
    state.birds[1].x -= kBirdSpeed;
    state.birds[2].x += kBirdSpeed;

    const float leftExit = static_cast<float>(-area.birdWidth);
    const float rightExit = static_cast<float>(area.width + area.birdWidth);
    Bird& third = state.birds[2];
    if (third.x > rightExit) {
        third.x = leftExit;
        third.y = NewBirdHeight(area, random);
    }
    for (int i : {1, 0}) {
        Bird& bird = state.birds[i];
        if (bird.x < leftExit) {
            bird.x = rightExit;
            bird.y = NewBirdHeight(area, random);
        }
    }
}

}  // namespace wf
