// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Dc.h"

#include <array>
#include <cstdint>
#include <optional>

// The codes the bevel button stores in its properties, with names. The stored integers are the
// enumerators' values and never change; a stored code outside a set keeps its documented fallback.
namespace bevel
{

// The outline of the button (its Appearance property).
enum class Appearance : std::int32_t { Rectangle = 0, Circle = 1, RoundedRectangle = 2, Capsule = 3 };

// How a press changes the button's value (its Behaviour property).
enum class Behaviour : std::uint8_t { PushButton = 0, ToggleButton = 1, OptionButton = 2 };

// Where the caption or the picture sits on the face (CaptionJustify and PictureJustify): the
// nine places of a 3 x 3 grid, row by row from the top left.
enum class Justify : std::int32_t {
    TopLeft = 0,
    TopCentre = 1,
    TopRight = 2,
    MiddleLeft = 3,
    Centre = 4,
    MiddleRight = 5,
    BottomLeft = 6,
    BottomCentre = 7,
    BottomRight = 8,
};

// One axis of a place: at the start (left, top), in the middle or at the end (right, bottom).
enum class Along : std::uint8_t { Start, Middle, End };

struct Placing {
    Along across; // horizontally
    Along down;   // vertically
};

// The nine places of Justify, in the order of their codes.
inline constexpr std::array<Placing, 9> JustifyPlaces = {{
    {Along::Start, Along::Start},
    {Along::Middle, Along::Start},
    {Along::End, Along::Start},
    {Along::Start, Along::Middle},
    {Along::Middle, Along::Middle},
    {Along::End, Along::Middle},
    {Along::Start, Along::End},
    {Along::Middle, Along::End},
    {Along::End, Along::End},
}};

// The place a stored justification code names; none for a code outside 0..8.
constexpr std::optional<Placing> PlacingOf(std::int32_t code)
{
    if (code < 0 || code >= std::int32_t(JustifyPlaces.size()))
        return std::nullopt;
    return JustifyPlaces[std::size_t(code)];
}

// The DrawText format that puts a one-line caption at the place `code` names. A code outside
// 0..8 draws from the top left, wrapping no lines into one.
constexpr unsigned CaptionFormat(std::int32_t code)
{
    const std::optional<Placing> place = PlacingOf(code);
    if (!place)
        return gdi::DT_LEFT | gdi::DT_TOP;
    constexpr unsigned across[] = {gdi::DT_LEFT, gdi::DT_CENTER, gdi::DT_RIGHT};
    constexpr unsigned down[] = {gdi::DT_TOP, gdi::DT_VCENTER, gdi::DT_BOTTOM};
    return across[unsigned(place->across)] | down[unsigned(place->down)] | gdi::DT_SINGLELINE;
}

// The outline a stored Appearance names; none for an unknown code (which leaves the outline
// the button has).
constexpr std::optional<Appearance> AppearanceOf(std::int32_t code)
{
    if (code < 0 || code > std::int32_t(Appearance::Capsule))
        return std::nullopt;
    return Appearance(code);
}

} // namespace bevel
