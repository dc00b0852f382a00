#pragma once
// Display scale as a fixed-point number with four decimals, and the rounding
// rule used for every drawn position: nearest integer, halves to even.
#include <cmath>
#include <cstdint>

namespace wf {

// Nearest integer, halves to even.
inline int32_t NearestEven(double v) {
    return static_cast<int32_t>(std::nearbyint(v));
}

struct FixedScale {
    int64_t tenThousandths = 10000;

    static constexpr FixedScale One() { return FixedScale{10000}; }
    // numerator / denominator brought to the nearest ten-thousandth.
    static FixedScale Ratio(double numerator, double denominator) {
        return FixedScale{static_cast<int64_t>(std::nearbyint(numerator * 10000.0 / denominator))};
    }
    double value() const { return static_cast<double>(tenThousandths) / 10000.0; }
    // nearest(v × scale), halves to even.
    int32_t Apply(double v) const {
        return NearestEven(v * static_cast<double>(tenThousandths) / 10000.0);
    }
    bool operator==(const FixedScale&) const = default;
};

}  // namespace wf
