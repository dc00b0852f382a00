#pragma once
// A random source that hands out the numbers it was given, then `fallback`.
// The game's random source interface comes from the game library the test
// links.
#include <cstdint>
#include <deque>

#include "Random.h"

namespace wf {

class ScriptedRandom : public RandomSource {
  public:
    std::deque<double> values;
    double fallback = 0.0;
    int seedCalls = 0;
    int draws = 0;
    void Seed(uint32_t) override { ++seedCalls; }
    double Next() override {
        ++draws;
        if (values.empty())
            return fallback;
        const double v = values.front();
        values.pop_front();
        return v;
    }
};

}  // namespace wf
