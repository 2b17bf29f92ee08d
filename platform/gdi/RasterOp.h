// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGui/qrgb.h>
#include <cstdint>

namespace gdi
{

// Ternary raster operations (ROP3). The middle byte of a code is its truth table: bit
// (P << 2 | S << 1 | D), with P, S and D the pattern, source and destination bits, holds the
// result bit. With pattern 0xF0, source 0xCC and destination 0xAA the result of a code is
// therefore exactly that byte. Every blit goes through the same evaluation of that byte.
enum RasterOp : std::uint32_t {
    BLACKNESS = 0x00000042,   // 0
    NOTSRCERASE = 0x001100A6, // ~(S | D)
    NOTSRCCOPY = 0x00330008,  // ~S
    SRCERASE = 0x00440328,    // S & ~D
    DSTINVERT = 0x00550009,   // ~D
    PATINVERT = 0x005A0049,   // P ^ D
    SRCINVERT = 0x00660046,   // S ^ D
    SRCAND = 0x008800C6,      // S & D
    MERGEPAINT = 0x00BB0226,  // ~S | D
    MERGECOPY = 0x00C000CA,   // P & S
    SRCCOPY = 0x00CC0020,     // S
    SRCPAINT = 0x00EE0086,    // S | D
    PATCOPY = 0x00F00021,     // P
    PATPAINT = 0x00FB0A09,    // P | ~S | D
    WHITENESS = 0x00FF0062,   // 1
    DSPDxax = 0x00B8074A      // (D ^ P) & S ^ P: where S is 1 keep D, where S is 0 take P
};

constexpr std::uint8_t RopTruthTable(std::uint32_t rop)
{
    return std::uint8_t((rop >> 16) & 0xFF);
}
// Whether the result depends on the source / pattern / destination at all.
constexpr bool RopUsesSource(std::uint8_t t)
{
    return ((t >> 2) ^ t) & 0x33;
}
constexpr bool RopUsesPattern(std::uint8_t t)
{
    return ((t >> 4) ^ t) & 0x0F;
}
constexpr bool RopUsesDestination(std::uint8_t t)
{
    return ((t >> 1) ^ t) & 0x55;
}

// One row of a blit on 0xFFRRGGBB pixels: dst[i] = rop(pat[i], src[i], dst[i]) on the colour
// bits, alpha forced to 0xFF. src and pat may be null when the operation does not use them.
void RopRow(std::uint8_t truthTable, QRgb *dst, const QRgb *src, const QRgb *pat, int count);

} // namespace gdi
