// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Pixel values the device-context code shares between its source files.

#include <QColor>
#include <QRgb>

namespace gdi::detail
{

inline constexpr QRgb kWhite = 0xFFFFFFFFu;
inline constexpr QRgb kBlack = 0xFF000000u;

// A colour as it lands on a monochrome surface.
inline QRgb ToMonochrome(QRgb rgb)
{
    return qGray(rgb) >= 128 ? kWhite : kBlack;
}

} // namespace gdi::detail
