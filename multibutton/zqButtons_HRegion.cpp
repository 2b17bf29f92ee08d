// SPDX-License-Identifier: GPL-3.0-or-later
// Outlines of the multi-style button: the window region of each shape and the two inner
// regions that the rims of ovals and custom shapes are painted between.
#include "multibutton/zqButtons_H.h"

#include "platform/gdi/Rounding.h"

#include <QBitmap>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>

namespace multibutton
{

namespace
{

gdi::Region Triangle(QPoint a, QPoint b, QPoint c)
{
    const QPoint points[3] = {a, b, c};
    return gdi::CreatePolygonRgn(points, gdi::WINDING);
}

void Subtract(gdi::Region &region, const gdi::Region &part)
{
    gdi::CombineRgn(region, region, part, gdi::RGN_DIFF);
}

// Cuts the corners a look wants away from a rectangle-based outline.
void TrimCorners(gdi::Region &region, int style, bool enabled, int w, int h, bool leftSide, bool rightSide)
{
    if (style == 1) {
        if (leftSide) {
            Subtract(region, gdi::CreateRectRgn(0, 0, 1, 1));
            Subtract(region, gdi::CreateRectRgn(0, h - 1, 1, h));
        }
        if (rightSide) {
            Subtract(region, gdi::CreateRectRgn(w - 1, h - 1, w, h));
            Subtract(region, gdi::CreateRectRgn(w - 1, 0, w, 1));
        }
    } else if (style == 2 || style == 7) {
        if (leftSide) {
            Subtract(region, Triangle({0, 0}, {2, 0}, {0, 2}));
            Subtract(region, Triangle({0, h}, {3, h}, {0, h - 3}));
        }
        if (rightSide) {
            Subtract(region, Triangle({w, 0}, {w - 2, 0}, {w, 2}));
            Subtract(region, Triangle({w, h}, {w - 3, h}, {w, h - 3}));
        }
    } else if (style == 3 && enabled) {
        if (leftSide)
            Subtract(region, gdi::CreateRectRgn(0, h - 1, 1, h));
        if (rightSide)
            Subtract(region, gdi::CreateRectRgn(w - 1, 0, w, 1));
    }
}

// The set of pixels within `radius` (a square neighbourhood) of a marked pixel.
QImage Dilate(const QImage &marks, int radius)
{
    const int w = marks.width(), h = marks.height();
    QImage wide(w + 2 * radius, h + 2 * radius, QImage::Format_Grayscale8);
    wide.fill(0);
    for (int y = 0; y < h; ++y) {
        const uchar *in = marks.constScanLine(y);
        uchar *out = wide.scanLine(y + radius);
        for (int x = 0; x < w; ++x)
            if (in[x])
                for (int k = 0; k <= 2 * radius; ++k)
                    out[x + k] = 1;
    }
    QImage result(wide.size(), QImage::Format_Grayscale8);
    result.fill(0);
    for (int y = 0; y < wide.height(); ++y) {
        const uchar *in = wide.constScanLine(y);
        for (int x = 0; x < wide.width(); ++x) {
            if (!in[x])
                continue;
            for (int k = -radius; k <= radius; ++k) {
                const int yy = y + k;
                if (yy >= 0 && yy < result.height())
                    result.scanLine(yy)[x] = 1;
            }
        }
    }
    return result;
}

// A region of the marked pixels of a grey mask whose (0, 0) lies at `origin`.
gdi::Region RegionOfMarks(const QImage &marks, QPoint origin)
{
    QImage mono(marks.size(), QImage::Format_MonoLSB);
    mono.setColorCount(2);
    mono.setColor(0, qRgb(255, 255, 255));
    mono.setColor(1, qRgb(0, 0, 0));
    mono.fill(0);
    for (int y = 0; y < marks.height(); ++y) {
        const uchar *in = marks.constScanLine(y);
        for (int x = 0; x < marks.width(); ++x)
            if (in[x])
                mono.setPixel(x, y, 1);
    }
    QRegion region(QBitmap::fromImage(mono));
    region.translate(origin);
    return gdi::Region(region);
}

} // namespace

void zqButtons_H::BuildButtonRegion()
{
    const int w = width(), h = height();
    if (w < 1 || h < 1)
        return;
    leftSlantInset_ = 0;
    rightSlantEdge_ = w;
    backDc_.SelectClipRgn(nullptr);
    inner1_ = gdi::Region();
    inner2_ = gdi::Region();

    std::optional<gdi::Region> region;
    const multibutton::Shape shape = multibutton::Shape(buttonShape_);
    if (shape == Shape::Rectangle) {
        region = gdi::CreateRectRgn(0, 0, w + 1, h + 1);
        TrimCorners(*region, buttonStyle_, UserControl::Enabled(), w, h, true, true);
    } else if (IsSlanted(shape)) {
        region = SlantedRegion();
    } else if (IsOval(shape)) {
        region = OvalRegion();
    } else {
        region = CustomRegion();
        if (!region)
            return; // no usable picture: the outline stays as it was
    }
    windowRegion_ = *region;
    setMask(region->ToQRegion());
    if (rightSlantEdge_ == 0)
        rightSlantEdge_ = width();
}

// A 45-degree slant on the left, the right or both sides; the straight part between the slants
// must stay wider than 4 pixels, so a narrow button grows by steps of 5.
gdi::Region zqButtons_H::SlantedRegion()
{
    int w = width();
    const int h = height();
    const int slant = h + 1;
    int needed = w;
    while (needed - slant <= 4)
        needed += 5;
    if (needed != w) {
        delayDrawing_ = true;
        resize(needed, height());
        PrepareBackBuffer(false);
        w = width();
        delayDrawing_ = false;
    }
    rightSlantEdge_ = w;
    QPoint p[4] = {{0, 0}, {0, h + 1}, {w + 1, h + 1}, {w + 1, 0}};
    if (buttonShape_ == 1 || buttonShape_ == 3) {
        p[1] = {slant, h + 1};
        leftSlantInset_ = slant;
    }
    if (buttonShape_ == 2 || buttonShape_ == 3) {
        p[3] = {w - slant + 1, 0};
        rightSlantEdge_ = w - slant;
    }
    gdi::Region region = gdi::CreatePolygonRgn(p, gdi::WINDING);
    const bool enabled = UserControl::Enabled();
    if (buttonShape_ == 2)
        TrimCorners(region, buttonStyle_, enabled, w, h, true, false);
    else if (buttonShape_ == 1)
        TrimCorners(region, buttonStyle_, enabled, w, h, false, true);
    return region;
}

// An oval, with its first rim painted into the back buffer (none for the flat look).
gdi::Region zqButtons_H::OvalRegion()
{
    const int w = width(), h = height();
    gdi::Region region = gdi::CreateEllipticRgn(0, 0, w, h);
    if (buttonStyle_ != 5) {
        if (buttonShape_ == 6)
            backDc_.FrameRgn(region, gdi::Brush(0), 1, 1);
        else
            PaintRaisedRim();
    }
    inner1_ = gdi::CreateEllipticRgn(1, 1, w - 1, h - 1);
    inner2_ = gdi::CreateEllipticRgn(2, 2, w - 2, h - 2);
    return region;
}

// The opaque part of the picture, which the button is first fitted to; none without a picture.
std::optional<gdi::Region> zqButtons_H::CustomRegion()
{
    if (pictureWidth_ < 1 || pictureHeight_ < 1)
        return std::nullopt;
    delayDrawing_ = true;
    const QSize fit = FitPictureSize(pictureWidth_, pictureHeight_, width(), height());
    if (fit.width() >= 1 && fit.height() >= 1 && fit != size()) {
        resize(fit);
        PrepareBackBuffer(false);
    }
    const int w = width(), h = height();
    rightSlantEdge_ = w;
    delayDrawing_ = false;
    gdi::Region region = gdi::CreateRectRgn(0, 0, w, h);
    inner1_ = region;
    inner2_ = region;
    BuildPictureRegion(region, inner1_, inner2_);
    gdi::Rect box, box1, box2;
    gdi::GetRgnBox(region, &box);
    if (gdi::GetRgnBox(inner1_, &box1) != gdi::NULLREGION)
        gdi::OffsetRgn(inner1_, box.left + 1 - box1.left, box.top + 1 - box1.top);
    if (gdi::GetRgnBox(inner2_, &box2) != gdi::NULLREGION)
        gdi::OffsetRgn(inner2_, box.left + 2 - box2.left, box.top + 2 - box2.top);
    if (buttonShape_ == 8)
        PaintRaisedRim();
    else
        backDc_.FrameRgn(region, gdi::Brush(rgbBack_), 1, 1);
    SetRegionClip(&inner1_);
    return region;
}

// The light-to-dark rim: the vertical gradient from white at the top to grey at the bottom.
void zqButtons_H::PaintRaisedRim()
{
    const QScopedValueRollback vertical(gradientMode_, std::int32_t(3));
    PaintGradient(0xFFFFFF, 0x808080);
}

void zqButtons_H::BuildPictureRegion(gdi::Region &region, gdi::Region &inner1, gdi::Region &inner2)
{
    const int w = width(), h = height();
    Prepare(custom_, w, h);
    const QImage pixels = custom_.colour.Image();
    if (pixels.isNull())
        return;
    // Every transparent pixel was set to exactly the colour of the top-left one.
    const QRgb key = pixels.pixel(0, 0) | 0xFF000000u;
    QImage holes(w, h, QImage::Format_Grayscale8);
    holes.fill(0);
    bool any = false;
    for (int y = 0; y < h; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        uchar *out = holes.scanLine(y);
        for (int x = 0; x < w; ++x)
            if ((row[x] | 0xFF000000u) == key) {
                out[x] = 1;
                any = true;
            }
    }
    if (!any)
        return;
    // Each transparent run leaves the outline; the inner regions lose it grown by 1 and 2
    // pixels on every side, which is the same as losing the holes widened by that much.
    Subtract(region, RegionOfMarks(holes, {0, 0}));
    Subtract(inner1, RegionOfMarks(Dilate(holes, 1), {-1, -1}));
    Subtract(inner2, RegionOfMarks(Dilate(holes, 2), {-2, -2}));
}

} // namespace multibutton
