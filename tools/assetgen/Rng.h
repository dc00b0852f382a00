#pragma once
// A small deterministic random source (splitmix64) for the generator: the
// same seed gives the same pictures and music on every machine, which the
// standard distributions do not promise.
#include <cstdint>

namespace wf::assetgen {

class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed) {}

    uint64_t NextBits() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double Next() { return static_cast<double>(NextBits() >> 11) * (1.0 / 9007199254740992.0); }
    double Range(double lo, double hi) { return lo + (hi - lo) * Next(); }
    // Uniform whole number in [lo, hi].
    int Int(int lo, int hi) { return lo + static_cast<int>(Next() * (hi - lo + 1)); }

  private:
    uint64_t state_;
};

}  // namespace wf::assetgen
