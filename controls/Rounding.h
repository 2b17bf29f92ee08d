// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Rounding.h"

#include <cstdint>
#include <limits>

namespace controls
{

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
