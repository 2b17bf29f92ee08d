// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Colours the multi-style button's drawing files share.

#include "platform/gdi/Colour.h"

#include <cstdint>

namespace multibutton::palette
{

inline constexpr gdi::Colour White = 0xFFFFFF;
inline constexpr gdi::Colour Grey = 0x808080;
inline constexpr gdi::Colour Black = 0x000000;
// An edge colour below 0 leaves its line undrawn.
inline constexpr std::int64_t Skip = -1;

} // namespace multibutton::palette
