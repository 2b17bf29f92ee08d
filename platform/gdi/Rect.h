// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

namespace gdi
{

// A rectangle the way the drawing calls take it: right and bottom are exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
    static Rect FromQRect(const QRect &r)
    {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    friend constexpr bool operator==(const Rect &, const Rect &) = default;
};

} // namespace gdi
