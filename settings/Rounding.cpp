// RoundToPlaces: the power of ten is built by squaring so that any place count costs at most
// 32 steps and overflows only into infinity, never into undefined behaviour.
#include "settings/Rounding.h"

#include <cmath>
#include <cstdint>

namespace {

// 10^exponent, +inf once it leaves the range of double.
double PowerOfTen(uint32_t exponent) {
    double result = 1.0;
    double base = 10.0;
    while (exponent != 0) {
        if (exponent & 1u) result *= base;
        base *= base;
        exponent >>= 1;
    }
    return result;
}

}  // namespace

double RoundToPlaces(double value, int places) {
    // |INT_MIN| does not fit an int; take the magnitude in unsigned arithmetic.
    const uint32_t magnitude =
        places < 0 ? 0u - static_cast<uint32_t>(places) : static_cast<uint32_t>(places);
    const double power = PowerOfTen(magnitude);
    const double scale = places < 0 ? 1.0 / power : power;

    const double scaled = value * scale;
    if (!std::isfinite(scaled)) return value;
    const double shifted = value > 0 ? scaled + 0.5 : scaled - 0.5;
    // [-2^63, 2^63): every double in it truncates to a representable int64_t.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(shifted >= -kLimit && shifted < kLimit)) return value;
    const int64_t whole = static_cast<int64_t>(shifted);
    // Zero needs no division; it also avoids 0 / 0 when the scale underflowed to zero.
    if (whole == 0) return 0.0;
    return static_cast<double>(whole) / scale;
}
