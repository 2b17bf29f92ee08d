// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Brush.h"

#include "platform/gdi/Bitmap.h"

namespace gdi
{

Brush Brush::Pattern(const Bitmap &bitmap)
{
    if (bitmap.IsNull())
        return Null();
    Brush b;
    b.style_ = BS_PATTERN;
    b.pattern_ = bitmap.Image().copy(); // the brush keeps its own pixels
    b.monoPattern_ = bitmap.IsMonochrome();
    return b;
}

} // namespace gdi
