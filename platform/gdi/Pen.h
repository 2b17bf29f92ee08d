// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Colour.h"

namespace gdi
{

enum PenStyle : int {
    PS_SOLID = 0,
    PS_DASH = 1,       // 18 on, 6 off
    PS_DOT = 2,        // 3 on, 3 off
    PS_DASHDOT = 3,    // 9 on, 6 off, 3 on, 6 off
    PS_DASHDOTDOT = 4, // 9 on, 3 off, 3 on, 3 off, 3 on, 3 off
    PS_NULL = 5,
    PS_INSIDEFRAME = 6 // drawn as solid
};

// CreatePen: a style, a width in pixels (0 and 1 both mean one pixel) and a colour (system
// colours are translated when the pen draws). Lines of width 1 are drawn pixel-exact with the last
// point excluded; the gaps of styled lines take the background colour when the DC's background
// mode is OPAQUE. Wider lines have round ends and are always solid.
class Pen
{
  public:
    Pen() = default; // black, solid, 1 pixel
    Pen(int style, int width, Colour colour) : style_(style), width_(width < 1 ? 1 : width), colour_(colour)
    {
    }

    int Style() const { return style_; }
    int Width() const { return width_; }
    Colour Color() const { return colour_; }
    bool IsNull() const { return style_ == PS_NULL; }

  private:
    int style_ = PS_SOLID;
    int width_ = 1;
    Colour colour_ = 0;
};

} // namespace gdi
