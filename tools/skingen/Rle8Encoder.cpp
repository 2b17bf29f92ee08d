// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/skingen/Rle8Encoder.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

namespace skingen
{

namespace
{

constexpr std::size_t kMaxRun = 255;
// An absolute run shorter than this cannot be written (0 1 and 0 2 are escape codes).
constexpr std::size_t kMinAbsolute = 3;
// A repeat this long is cheaper as an encoded run than inside an absolute run.
constexpr std::size_t kWorthEncoding = 3;

std::size_t RepeatLength(std::span<const std::uint8_t> row, std::size_t from)
{
    std::size_t n = 1;
    while (from + n < row.size() && n < kMaxRun && row[from + n] == row[from]) {
        ++n;
    }
    return n;
}

} // namespace

void Rle8Encoder::EncodeRow(std::span<const std::uint8_t> row, std::vector<std::uint8_t> &out)
{
    std::size_t i = 0;
    while (i < row.size()) {
        const std::size_t repeat = RepeatLength(row, i);
        if (repeat >= 2) {
            out.push_back(static_cast<std::uint8_t>(repeat));
            out.push_back(row[i]);
            i += repeat;
            continue;
        }
        // Gather pixels up to the next worthwhile repeat (or the row's end, or 255 pixels).
        std::size_t end = i;
        while (end < row.size() && end - i < kMaxRun && RepeatLength(row, end) < kWorthEncoding) {
            ++end;
        }
        const std::size_t count = end - i;
        if (count < kMinAbsolute) {
            for (std::size_t k = i; k < end; ++k) {
                out.push_back(1);
                out.push_back(row[k]);
            }
        } else {
            out.push_back(0);
            out.push_back(static_cast<std::uint8_t>(count));
            out.insert(out.end(), row.begin() + static_cast<std::ptrdiff_t>(i),
                       row.begin() + static_cast<std::ptrdiff_t>(end));
            if (count % 2 != 0) {
                out.push_back(0); // absolute runs end on a 16-bit boundary
            }
        }
        i = end;
    }
}

std::vector<std::uint8_t> Rle8Encoder::EncodeImage(std::span<const std::uint8_t> topDownIndices, int width,
                                                   int height)
{
    if (width <= 0 || height <= 0 ||
        topDownIndices.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        throw std::invalid_argument("RLE8 image size does not match its pixel count");
    }
    std::vector<std::uint8_t> out;
    const auto w = static_cast<std::size_t>(width);
    for (int y = height - 1; y >= 0; --y) {
        EncodeRow(topDownIndices.subspan(static_cast<std::size_t>(y) * w, w), out);
        out.push_back(0);
        out.push_back(y == 0 ? 1 : 0); // end of bitmap after the top row, else end of line
    }
    return out;
}

} // namespace skingen
