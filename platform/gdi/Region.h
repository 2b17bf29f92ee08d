// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Rect.h"

#include <QBitmap>
#include <QPoint>
#include <QRegion>
#include <span>

namespace gdi
{

// Region types returned by CombineRgn, OffsetRgn and GetRgnBox.
enum RegionType : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
// Combination modes.
enum CombineMode : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
// Polygon fill modes.
enum PolyFillMode : int { ALTERNATE = 1, WINDING = 2 };

// A set of pixels, backed by QRegion. A region is a value: copy it freely; "deleting a region
// handle" is letting it go out of scope. Pixel membership follows the old platform:
//  - rectangles include left/top and exclude right/bottom;
//  - ellipses and rounded rectangles also lose the right column and bottom row of their bounding
//    rectangle, so CreateEllipticRgn(0, 0, 11, 11) is a circle of 10 x 10 pixels;
//  - polygons include the pixels whose centres lie inside, by the chosen fill mode.
class Region
{
  public:
    Region() = default; // empty
    explicit Region(const QRegion &region) : region_(region) {}

    const QRegion &ToQRegion() const { return region_; } // usable as QWidget::setMask
    QBitmap ToMask(const QSize &size) const;             // 1-bit mask: set (color1) where inside

    int Type() const; // NULLREGION, SIMPLEREGION or COMPLEXREGION
    bool IsEmpty() const { return region_.isEmpty(); }
    Rect Box() const; // bounding box; all 0 when empty
    bool Contains(int x, int y) const { return region_.contains(QPoint(x, y)); }
    friend bool operator==(const Region &a, const Region &b) { return a.region_ == b.region_; }

  private:
    QRegion region_;
};

Region CreateRectRgn(int left, int top, int right, int bottom);
Region CreateEllipticRgn(int left, int top, int right, int bottom);
// ellipseWidth x ellipseHeight: size of the corner ellipse (values below 2 give a rectangle).
Region CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
Region CreatePolygonRgn(std::span<const QPoint> points, int fillMode);

// dest := a <mode> b (RGN_COPY ignores b). dest may be a or b. Returns the new region's type, or
// RGN_ERROR for an unknown mode (dest unchanged).
int CombineRgn(Region &dest, const Region &a, const Region &b, int mode);
int OffsetRgn(Region &region, int dx, int dy);
int GetRgnBox(const Region &region, Rect *box);
bool PtInRegion(const Region &region, int x, int y);

} // namespace gdi
