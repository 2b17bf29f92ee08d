// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Colour.h"

#include <QImage>

namespace gdi
{

class Bitmap;

enum BrushStyle : int { BS_SOLID = 0, BS_NULL = 1, BS_PATTERN = 3 };

// A brush: solid colour (CreateSolidBrush), hollow (the NULL_BRUSH stock object) or a pattern
// (CreatePatternBrush, which copies the bitmap so the caller may delete it afterwards). A pattern
// repeats from the device origin (0, 0) of the surface it paints. Drawing calls that need a
// pattern and get a hollow brush leave the destination untouched.
class Brush
{
  public:
    Brush() = default; // white solid brush (the default of a DC)
    explicit Brush(Colour colour) : style_(BS_SOLID), colour_(colour) {}
    static Brush Null()
    {
        Brush b;
        b.style_ = BS_NULL;
        return b;
    }
    static Brush Pattern(const Bitmap &bitmap); // a monochrome pattern takes the DC's text
                                                // (black bits) and background (white bits) colours

    int Style() const { return style_; }
    Colour Color() const { return colour_; }
    bool IsNull() const { return style_ == BS_NULL; }
    const QImage &PatternImage() const { return pattern_; } // Format_RGB32
    bool PatternIsMonochrome() const { return monoPattern_; }

  private:
    int style_ = BS_SOLID;
    Colour colour_ = 0xFFFFFF;
    QImage pattern_;
    bool monoPattern_ = false;
};

} // namespace gdi
