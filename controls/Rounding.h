// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace controls
{

// Nearest integer, ties to even (2.5 -> 2, 3.5 -> 4), the rounding of every layout and value
// computation of the skinned controls. Values beyond the 32-bit range saturate; NaN gives 0.
inline std::int32_t RoundEven(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = std::nearbyint(value);
    if (r >= double(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (r <= double(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(r);
}

// A 64-bit intermediate brought back into the 32-bit range of the properties.
inline std::int32_t Saturate32(std::int64_t value)
{
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(value);
}

} // namespace controls
