// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Region.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <vector>

namespace gdi
{
namespace
{

// Builds a region from one horizontal span per row (x0 inclusive, x1 exclusive), merging equal
// neighbouring rows into bands so the QRegion comes out in its canonical form.
QRegion FromSpans(int top, const std::vector<std::pair<int, int>> &spans)
{
    std::vector<QRect> rects;
    int y = top;
    for (std::size_t i = 0; i < spans.size();) {
        std::size_t j = i + 1;
        while (j < spans.size() && spans[j] == spans[i])
            ++j;
        if (spans[i].second > spans[i].first)
            rects.emplace_back(spans[i].first, y + int(i), spans[i].second - spans[i].first, int(j - i));
        i = j;
    }
    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), int(rects.size()));
    return region;
}

// Half-width of an ellipse of diameters w x h at the centre of pixel row `row` (0-based from the
// top of the ellipse). A pixel belongs when its centre lies inside the ellipse.
std::pair<double, double> EllipseRow(double w, double h, int row)
{
    const double a = w / 2.0, b = h / 2.0;
    const double dy = (row + 0.5) - b;
    const double t = 1.0 - (dy * dy) / (b * b);
    const double half = t > 0 ? a * std::sqrt(t) : -1.0;
    return {a, half};
}

void Normalise(int &left, int &top, int &right, int &bottom)
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

} // namespace

QBitmap Region::ToMask(const QSize &size) const
{
    QBitmap mask(size);
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setClipRegion(region_);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::color1);
    return mask;
}

int Region::Type() const
{
    if (region_.isEmpty())
        return NULLREGION;
    return region_.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

Rect Region::Box() const
{
    if (region_.isEmpty())
        return {};
    return Rect::FromQRect(region_.boundingRect());
}

Region CreateRectRgn(int left, int top, int right, int bottom)
{
    Normalise(left, top, right, bottom);
    if (right == left || bottom == top)
        return Region();
    return Region(QRegion(left, top, right - left, bottom - top));
}

Region CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    Normalise(left, top, right, bottom);
    // Like the old platform, the right column and bottom row of the rectangle are left out.
    right -= 1;
    bottom -= 1;
    const int w = right - left, h = bottom - top;
    if (w <= 0 || h <= 0)
        return Region();
    const int ew = std::min(w, std::abs(ellipseWidth));
    const int eh = std::min(h, std::abs(ellipseHeight));
    if (ew < 2 || eh < 2)
        return CreateRectRgn(left, top, right, bottom);

    // Rows in the top and bottom bands are inset by the corner ellipse; the middle rows are full.
    std::vector<std::pair<int, int>> spans(std::size_t(h), {left, right});
    const int band = (eh + 1) / 2;
    for (int r = 0; r < band; ++r) {
        const auto [a, half] = EllipseRow(ew, eh, r);
        std::pair<int, int> span{0, 0};
        if (half >= 0) {
            // Left corner centre at left + a, right corner centre at right - a (continuous x).
            const double lx = left + a - half, rx = right - a + half;
            span = {int(std::ceil(lx - 0.5)), int(std::floor(rx - 0.5)) + 1};
            span.first = std::max(span.first, left);
            span.second = std::min(span.second, right);
        }
        spans[std::size_t(r)] = span;
        spans[std::size_t(h - 1 - r)] = span; // the shape is symmetric top to bottom
    }
    return Region(FromSpans(top, spans));
}

Region CreateEllipticRgn(int left, int top, int right, int bottom)
{
    Normalise(left, top, right, bottom);
    return CreateRoundRectRgn(left, top, right, bottom, right - left, bottom - top);
}

Region CreatePolygonRgn(std::span<const QPoint> points, int fillMode)
{
    if (points.size() < 3)
        return Region();
    QPolygon polygon(int(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i)
        polygon[int(i)] = points[i];
    // QRegion's polygon scan conversion descends from the same X11 region code as the old
    // platform's, with the same pixel-centre rule.
    return Region(QRegion(polygon, fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

int CombineRgn(Region &dest, const Region &a, const Region &b, int mode)
{
    const QRegion &ra = a.ToQRegion();
    const QRegion &rb = b.ToQRegion();
    QRegion result;
    switch (mode) {
    case RGN_AND:
        result = ra.intersected(rb);
        break;
    case RGN_OR:
        result = ra.united(rb);
        break;
    case RGN_XOR:
        result = ra.xored(rb);
        break;
    case RGN_DIFF:
        result = ra.subtracted(rb);
        break;
    case RGN_COPY:
        result = ra;
        break;
    default:
        return RGN_ERROR;
    }
    dest = Region(result);
    return dest.Type();
}

int OffsetRgn(Region &region, int dx, int dy)
{
    region = Region(region.ToQRegion().translated(dx, dy));
    return region.Type();
}

int GetRgnBox(const Region &region, Rect *box)
{
    if (box)
        *box = region.Box();
    return region.Type();
}

bool PtInRegion(const Region &region, int x, int y)
{
    return region.Contains(x, y);
}

} // namespace gdi
