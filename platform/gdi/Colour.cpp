// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Colour.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace gdi
{
namespace
{

struct SysColourEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    bool valid;
};

// The one table from system colour index to palette colour. The 3-D shades follow the usual
// ordering of both worlds: highlight (Light) > 3-D light (Midlight) > face (Button) > shadow (Dark)
// > dark shadow (Shadow).
constexpr std::array<SysColourEntry, COLOR_COUNT> kSysColours = {{
    {QPalette::Active, QPalette::Midlight, true},        // 0 scroll bar
    {QPalette::Active, QPalette::Dark, true},            // 1 desktop background
    {QPalette::Active, QPalette::Highlight, true},       // 2 active caption
    {QPalette::Inactive, QPalette::Mid, true},           // 3 inactive caption
    {QPalette::Active, QPalette::Window, true},          // 4 menu
    {QPalette::Active, QPalette::Base, true},            // 5 window
    {QPalette::Active, QPalette::Shadow, true},          // 6 window frame
    {QPalette::Active, QPalette::WindowText, true},      // 7 menu text
    {QPalette::Active, QPalette::Text, true},            // 8 window text
    {QPalette::Active, QPalette::HighlightedText, true}, // 9 caption text
    {QPalette::Active, QPalette::Window, true},          // 10 active border
    {QPalette::Inactive, QPalette::Window, true},        // 11 inactive border
    {QPalette::Active, QPalette::Mid, true},             // 12 application workspace
    {QPalette::Active, QPalette::Highlight, true},       // 13 highlight
    {QPalette::Active, QPalette::HighlightedText, true}, // 14 highlight text
    {QPalette::Active, QPalette::Button, true},          // 15 button face
    {QPalette::Active, QPalette::Dark, true},            // 16 button shadow
    {QPalette::Disabled, QPalette::Text, true},          // 17 grey text
    {QPalette::Active, QPalette::ButtonText, true},      // 18 button text
    {QPalette::Inactive, QPalette::WindowText, true},    // 19 inactive caption text
    {QPalette::Active, QPalette::Light, true},           // 20 button highlight
    {QPalette::Active, QPalette::Shadow, true},          // 21 3-D dark shadow
    {QPalette::Active, QPalette::Midlight, true},        // 22 3-D light
    {QPalette::Active, QPalette::ToolTipText, true},     // 23 tool tip text
    {QPalette::Active, QPalette::ToolTipBase, true},     // 24 tool tip background
    {QPalette::Active, QPalette::Window, false},         // 25 (no such colour)
    {QPalette::Active, QPalette::Link, true},            // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight, true},       // 27 active caption gradient
    {QPalette::Inactive, QPalette::Mid, true},           // 28 inactive caption gradient
    {QPalette::Active, QPalette::Highlight, true},       // 29 menu highlight
    {QPalette::Active, QPalette::Window, true},          // 30 menu bar
}};

bool SysColourOf(int index, Colour *out)
{
    if (index < 0 || index >= COLOR_COUNT || !kSysColours[std::size_t(index)].valid) {
        *out = 0;
        return false;
    }
    const SysColourEntry &e = kSysColours[std::size_t(index)];
    const QPalette palette = qGuiApp ? QGuiApplication::palette() : QPalette();
    *out = FromQColor(palette.color(e.group, e.role));
    return true;
}

} // namespace

Colour GetSysColor(int index)
{
    Colour c = 0;
    SysColourOf(index, &c);
    return c;
}

Colour TranslateColour(Colour colour, bool *ok)
{
    bool good = true;
    Colour result = colour & 0x00FFFFFFu;
    if (IsSystemColour(colour))
        good = (colour & 0x7FFFFF00u) == 0 && SysColourOf(int(colour & 0xFF), &result);
    if (ok)
        *ok = good;
    return good ? result : 0;
}

QColor ToQColor(Colour colour)
{
    return QColor::fromRgb(ToQRgb(TranslateColour(colour)));
}

Colour FromQColor(const QColor &colour)
{
    return FromQRgb(colour.rgb());
}

} // namespace gdi
