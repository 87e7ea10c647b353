#pragma once
// The two roundings of the layout, the composition and the printing, and the
// millimetre / inch constants. They must never be mixed up: the border
// widths in pixels use roundEven, the field values derived from them use
// halfUp.

#include <cmath>
#include <cstdint>
#include <limits>

#include "base/int32.h"

namespace quillet::base {

// Inches per millimetre, the constant the layout divides by 25.4 with.
inline constexpr double kInchesPerMm = 0.039370078740157480314;
// Millimetres per inch.
inline constexpr double kMmPerInch = 25.4;

namespace detail {
// Results are saturated to this bound so that a huge quotient (a divisor
// close to zero) never overflows an integer; NaN becomes 0.
inline constexpr double kRoundLimit = 4.0e18;
inline std::int64_t saturate(double x) {
    if (std::isnan(x)) return 0;
    if (x >= kRoundLimit) return std::int64_t(kRoundLimit);
    if (x <= -kRoundLimit) return -std::int64_t(kRoundLimit);
    return std::int64_t(x);
}
}  // namespace detail

// round(x): nearest whole number, halves to the even neighbour
// (roundEven(2.5) == 2, roundEven(3.5) == 4). Uses the default
// floating-point rounding mode, which is round-to-nearest-even.
inline std::int64_t roundEven(double x) { return detail::saturate(std::nearbyint(x)); }

// half-up(x): add 0.5 and truncate toward zero (halfUp(2.5) == 3,
// halfUp(-0.7) == 0).
inline std::int64_t halfUp(double x) { return detail::saturate(std::trunc(x + 0.5)); }

// Integer division and remainder truncating toward zero (C++'s own / and %),
// named for readability where the rules say div and mod.
inline std::int64_t intDiv(std::int64_t a, std::int64_t b) { return a / b; }
inline std::int64_t intMod(std::int64_t a, std::int64_t b) { return a % b; }

}  // namespace quillet::base
