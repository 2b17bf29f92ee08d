// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

// Rounding of every layout, colour and value computation of the program: to the nearest
// integer, ties to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
namespace gdi
{

// The nearest integer as a double. It rounds to nearest even when the floating-point
// environment has been switched to another rounding direction.
inline double RoundEven(double value)
{
    if (std::fegetround() != FE_TONEAREST) {
        const int saved = std::fegetround();
        std::fesetround(FE_TONEAREST);
        const double r = std::nearbyint(value);
        std::fesetround(saved);
        return r;
    }
    return std::nearbyint(value);
}

// The nearest integer as an int. Values beyond the 32-bit range saturate; NaN gives 0.
inline std::int32_t RoundToInt(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = RoundEven(value);
    if (r >= double(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (r <= double(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(r);
}

} // namespace gdi
