// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

// The codes the multi-style button stores in its properties, with names. The stored integers are
// the enumerators' values and never change.
namespace multibutton
{

// The eight looks (ButtonStyle), named after how each draws its edges.
enum class Look : std::int32_t {
    Classic = 0,  // light and grey inner rings in a black outer one; the default button in black
    Bevelled = 1, // two rings of white and grey in a black outline
    Shaded = 2,   // a face darkening downwards, coloured rings and a dark blue outline
    Etched = 3,   // a grey etched line; its caption never moves
    Thin = 4,     // one ring of white and grey
    Flat = 5,     // no edges until the pointer comes
    Soft = 6,     // two rings of light grey and grey
    Outlined = 7, // white and shaded inner rings with a black outline
};

// The nine outlines (ButtonShape).
enum class Shape : std::int32_t {
    Rectangle = 0,
    SlantedLeft = 1,
    SlantedRight = 2,
    SlantedBoth = 3,
    OvalLightRim = 4,
    OvalDarkRim = 5,
    OvalBlackRim = 6,
    CustomFlatRim = 7,  // the picture's opaque part, a flat rim in BackColor
    CustomBevelRim = 8, // the picture's opaque part, a light and dark rim
};

// What a press does (Mode).
enum class Mode : std::int32_t { Command = 0, Check = 1, Option = 2 };

// Where the caption sits across the face (CaptionAlign).
enum class CaptionAlign : std::int32_t { Left = 0, Right = 1, Centre = 2 };

// Where the picture sits (PictureAlign): at an edge, next to the caption, or above or below it.
enum class PictureAlign : std::int32_t {
    LeftEdge = 0,
    LeftOfCaption = 1,
    RightEdge = 2,
    RightOfCaption = 3,
    Above = 4,
    Below = 5,
};

inline constexpr bool IsSlanted(Shape s)
{
    return s == Shape::SlantedLeft || s == Shape::SlantedRight || s == Shape::SlantedBoth;
}
inline constexpr bool IsOval(Shape s)
{
    return s == Shape::OvalLightRim || s == Shape::OvalDarkRim || s == Shape::OvalBlackRim;
}
inline constexpr bool IsCustom(Shape s)
{
    return s == Shape::CustomFlatRim || s == Shape::CustomBevelRim;
}

} // namespace multibutton
