// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The window messages, hit-test zones and system commands that forms pass through their message
// filter chain, with the numbers the callers have always used.
namespace ui
{

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

enum : unsigned {
    WM_NCDESTROY = 0x0082,
    WM_NCHITTEST = 0x0084,
    WM_NCLBUTTONDOWN = 0x00A1,
    WM_SYSCOMMAND = 0x0112,
};

// Hit-test zones (WM_NCHITTEST results, the wParam of WM_NCLBUTTONDOWN).
enum : int {
    HTNOWHERE = 0,
    HTCLIENT = 1,
    HTCAPTION = 2,
    HTSYSMENU = 3,
    HTMINBUTTON = 8,
    HTMAXBUTTON = 9,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17,
    HTCLOSE = 20,
};

// System commands (the wParam of WM_SYSCOMMAND; the low four bits carry extra detail).
enum : unsigned {
    SC_SIZE = 0xF000,
    SC_MOVE = 0xF010,
    SC_MINIMIZE = 0xF020,
    SC_MAXIMIZE = 0xF030,
    SC_CLOSE = 0xF060,
    SC_RESTORE = 0xF120,
    SC_COMMAND_MASK = 0xFFF0,
};

// The edge a SC_SIZE command drags (its low four bits).
enum : unsigned {
    WMSZ_LEFT = 1,
    WMSZ_RIGHT = 2,
    WMSZ_TOP = 3,
    WMSZ_TOPLEFT = 4,
    WMSZ_TOPRIGHT = 5,
    WMSZ_BOTTOM = 6,
    WMSZ_BOTTOMLEFT = 7,
    WMSZ_BOTTOMRIGHT = 8,
};

constexpr LPARAM MAKELPARAM(int low, int high)
{
    return static_cast<LPARAM>(static_cast<std::uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
// Signed coordinates out of an lParam (screen positions can be negative on multi-monitor setups).
constexpr int GET_X_LPARAM(LPARAM lp)
{
    return static_cast<std::int16_t>(lp & 0xFFFF);
}
constexpr int GET_Y_LPARAM(LPARAM lp)
{
    return static_cast<std::int16_t>((lp >> 16) & 0xFFFF);
}

} // namespace ui
