// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers owner-drawn controls report in their mouse and key events, as hosts of the old
// platform expect them.
#pragma once

#include <Qt>

#include <cstdint>

class QKeyEvent;

namespace ui
{

// Mouse buttons: 1 left, 2 right, 4 middle.
std::int16_t MouseButtonCode(Qt::MouseButtons buttons);

// Shift state: 1 Shift, 2 Ctrl, 4 Alt.
std::int16_t ShiftCode(Qt::KeyboardModifiers modifiers);

// The classic virtual-key number of a key event (letters and digits as their ASCII codes,
// F1 = 0x70, arrows 0x25..0x28, ...).
std::int16_t VirtualKeyCode(const QKeyEvent *event);

} // namespace ui
