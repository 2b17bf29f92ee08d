// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QtGui/qrgb.h>
#include <cstdint>

namespace gdi
{

// A colour as every API of the program passes it: 0x00BBGGRR (red in the low byte).
// A value with the top bit set (0x80000000 + index) names a system colour; TranslateColour
// turns it into the palette's current colour.
using Colour = std::uint32_t;

constexpr Colour CLR_INVALID = 0xFFFFFFFFu; // GetPixel outside the surface or the clip
constexpr Colour SYSTEM_COLOUR_FLAG = 0x80000000u;

constexpr Colour RGB(int red, int green, int blue)
{
    return Colour(red & 0xFF) | (Colour(green & 0xFF) << 8) | (Colour(blue & 0xFF) << 16);
}
constexpr int GetRValue(Colour c)
{
    return int(c & 0xFF);
}
constexpr int GetGValue(Colour c)
{
    return int((c >> 8) & 0xFF);
}
constexpr int GetBValue(Colour c)
{
    return int((c >> 16) & 0xFF);
}
constexpr bool IsSystemColour(Colour c)
{
    return (c & SYSTEM_COLOUR_FLAG) != 0;
}

// System colour indices (the classic COLOR_* numbers).
enum SysColour : int {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30,
    COLOR_COUNT = 31
};

// Current colour of a system colour index, taken from the application palette (QGuiApplication).
// Indices outside 0..30 (and the unused 25) give black.
Colour GetSysColor(int index);

// Plain colours come back unchanged (top byte cleared); 0x80000000 + index becomes the palette's
// colour for that index. *ok (optional) is false for an unknown system index, which gives black.
Colour TranslateColour(Colour colour, bool *ok = nullptr);

// Conversions to and from Qt. ToQRgb gives an opaque 0xFFRRGGBB value.
constexpr QRgb ToQRgb(Colour c)
{
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr Colour FromQRgb(QRgb rgb)
{
    return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}
QColor ToQColor(Colour colour); // translates system colours first
Colour FromQColor(const QColor &colour);

} // namespace gdi
