// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Dc.h"

#include <initializer_list>
#include <memory>
#include <vector>

namespace gdi::test
{

// A memory DC with its own bitmap, for tiny sentinel images.
struct Canvas {
    Bitmap bitmap;
    Dc dc;
    Canvas(int width, int height, Colour fill = 0, int bitsPerPixel = 24)
        : bitmap(width, height, bitsPerPixel, fill)
    {
        dc.SelectObject(&bitmap);
    }
    // A one-row strip of the given pixels.
    Canvas(std::initializer_list<Colour> row) : Canvas(int(row.size()), 1) { Fill(row); }
    // Row-major pixel values.
    void Fill(std::initializer_list<Colour> values)
    {
        int i = 0;
        for (Colour v : values) {
            dc.SetPixelV(i % bitmap.Width(), i / bitmap.Width(), v);
            ++i;
        }
    }
    std::vector<Colour> Pixels() const
    {
        std::vector<Colour> out;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                out.push_back(dc.GetPixel(x, y));
        return out;
    }
    std::vector<Colour> Row(int y) const
    {
        std::vector<Colour> out;
        for (int x = 0; x < bitmap.Width(); ++x)
            out.push_back(dc.GetPixel(x, y));
        return out;
    }
};

} // namespace gdi::test
