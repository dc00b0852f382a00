#pragma once
// The one source of randomness of a game: uniform numbers in [0, 1).
#include <cstdint>
#include <random>

namespace wf {

class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual void Seed(uint32_t seed) = 0;
    virtual double Next() = 0;  // uniform in [0, 1)
};

// The game's generator, seeded from the seconds since midnight at each start.
class SeededRandom : public RandomSource {
  public:
    void Seed(uint32_t seed) override { engine_.seed(seed); }
    double Next() override { return std::generate_canonical<double, 53>(engine_); }

  private:
    std::mt19937 engine_{0};
};

}  // namespace wf
