// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace studio
{

class Main;

// The window's keyboard and screen-reader wiring beyond its speech keys: names for the controls
// whose heading or purpose is elsewhere on the window, the keys each button's action reports,
// Ctrl+O, Ctrl+R, Ctrl+Shift+S, F1 and Ctrl+Q (and Ctrl+B / Ctrl+I in the editor) acting exactly
// as their controls do, Space and Enter pressing a focused bevel button, and the scroll bars
// reachable with Tab and moved with the arrow, page, Home and End keys.
void SetUpKeyboard(Main &window);

} // namespace studio
