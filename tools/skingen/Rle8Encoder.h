// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace skingen
{

// Run-length coding of 8-bit palette indices as Windows bitmaps store them (BI_RLE8).
class Rle8Encoder
{
  public:
    // Appends one row: encoded runs (count, index) for repeats, absolute runs (0, n, n indices,
    // padded to an even length) for stretches without repeats. No line or bitmap end marker.
    static void EncodeRow(std::span<const std::uint8_t> row, std::vector<std::uint8_t> &out);

    // Encodes a whole bitmap given top-down rows of `width` indices: rows are stored bottom-up,
    // each followed by an end-of-line marker except the last, which ends with end-of-bitmap.
    static std::vector<std::uint8_t> EncodeImage(std::span<const std::uint8_t> topDownIndices, int width,
                                                 int height);
};

} // namespace skingen
