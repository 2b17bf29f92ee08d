// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Colour.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/RasterOp.h"
#include "platform/gdi/Rect.h"
#include "platform/gdi/Region.h"

#include <QIcon>
#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace gdi
{

enum BackgroundMode : int { TRANSPARENT = 1, OPAQUE = 2 };
enum StretchMode : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };

enum DrawTextFormat : unsigned {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4, // single line only
    DT_BOTTOM = 0x8,  // single line only
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_HIDEPREFIX = 0x100000
};

// A device context: the target of every drawing call, with the selected pen, brush, font, text
// and background colours, background mode, stretch mode and clip region.
//
// Two kinds:
//  - a memory DC (CreateCompatibleDC): draws into the Bitmap selected with SelectObject; with no
//    bitmap selected every drawing call does nothing and GetPixel returns CLR_INVALID;
//  - a surface DC: draws into a QImage owned by someone else, typically a control's back buffer
//    that its paint event shows. The optional callback hears about every changed rectangle so
//    the owner can schedule a repaint.
// A Dc* is the program's DC handle; nullptr stands for 0. Coordinates are device pixels.
//
// Defaults, as on the old platform: black 1-pixel pen, white solid brush, application font,
// text colour black, background colour white, background mode OPAQUE, stretch mode BLACKONWHITE,
// no clip region, current position (0, 0).
class Dc
{
  public:
    Dc();
    explicit Dc(QImage *surface, std::function<void(const QRect &)> changed = {});
    ~Dc();
    Dc(const Dc &) = delete;
    Dc &operator=(const Dc &) = delete;

    // -- selection --------------------------------------------------------------------------
    // Memory DCs only (a surface DC ignores it and returns nullptr). Returns the bitmap selected
    // before (nullptr if none). The DC never deletes a bitmap.
    Bitmap *SelectObject(Bitmap *bitmap);
    Bitmap *SelectedBitmap() const { return bitmap_; }
    // Pens, brushes and fonts are values: the DC keeps a copy; the previous one comes back so it
    // can be selected again afterwards.
    Pen SelectObject(const Pen &pen);
    Brush SelectObject(const Brush &brush);
    Font SelectObject(const Font &font);
    const Pen &CurrentPen() const { return pen_; }
    const Brush &CurrentBrush() const { return brush_; }
    const Font &CurrentFont() const { return font_; }

    // nullptr removes the clip. The region is copied; device coordinates.
    int SelectClipRgn(const Region *region);
    std::optional<Region> ClipRegion() const { return clip_; }

    Colour SetTextColor(Colour colour); // each setter returns the previous value
    Colour SetBkColor(Colour colour);
    int SetBkMode(int mode);
    int SetStretchBltMode(int mode);
    int SetPolyFillMode(int mode);
    Colour TextColor() const { return textColour_; }
    Colour BkColor() const { return bkColour_; }
    int BkMode() const { return bkMode_; }

    // The drawing target: null when nothing is selected. Width/Height are 0 then.
    QImage *Target() const;
    int Width() const;
    int Height() const;
    bool IsMonochrome() const;

    // -- block transfers (all through the one ternary raster-operation path) ------------------
    // src may be this DC (overlapping copies never smear). Parts of the source rectangle outside
    // the source surface leave the matching destination pixels untouched. Returns false when
    // the operation needs a source and src has none, or the DC has no target.
    //
    // Colour conversion between depths: from a monochrome source into a colour DC, black bits
    // take this DC's text colour and white bits its background colour; from a colour source into
    // a monochrome DC, pixels equal to the source DC's background colour become white, others black.
    bool BitBlt(int x, int y, int width, int height, const Dc *src, int srcX, int srcY, std::uint32_t rop);
    // Negative extents mirror: a negative width runs leftwards from x (covering x - |w| + 1 .. x);
    // source and destination of opposite sign flip the image. Nearest-pixel scaling; when
    // shrinking, the eliminated pixels are ANDed (BLACKONWHITE, the default), ORed (WHITEONBLACK),
    // dropped (COLORONCOLOR) or averaged (HALFTONE).
    bool StretchBlt(int x, int y, int width, int height, const Dc *src, int srcX, int srcY, int srcWidth,
                    int srcHeight, std::uint32_t rop);
    // With the selected brush as pattern (negative extents allowed, as above).
    bool PatBlt(int x, int y, int width, int height, std::uint32_t rop);

    // -- pixels -----------------------------------------------------------------------------
    Colour GetPixel(int x, int y) const; // CLR_INVALID outside the target or the clip
    bool SetPixelV(int x, int y, Colour colour);

    // -- lines and shapes (selected pen outlines, selected brush fills) ----------------------
    QPoint MoveTo(int x, int y); // returns the previous position
    QPoint CurrentPosition() const { return position_; }
    bool LineTo(int x, int y); // the end point itself is not drawn
    bool Polyline(std::span<const QPoint> points);
    bool Polygon(std::span<const QPoint> points); // closed, filled by the poly fill mode
    bool Rectangle(int left, int top, int right, int bottom);
    bool Ellipse(int left, int top, int right, int bottom);
    // Counter-clockwise arc of the ellipse in the rectangle, from the radial through
    // (xStart, yStart) to the radial through (xEnd, yEnd).
    bool Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);

    bool FillRect(const Rect &rect, const Brush &brush);
    bool FrameRect(const Rect &rect, const Brush &brush); // 1-pixel border inside rect
    bool FillRgn(const Region &region, const Brush &brush);
    // A frame width x height pixels wide along the inside of the region's outline.
    bool FrameRgn(const Region &region, const Brush &brush, int width, int height);
    bool InvertRgn(const Region &region);
    // XOR of a dotted 1-pixel border: drawing it twice restores the pixels.
    bool DrawFocusRect(const Rect &rect);

    // -- text -------------------------------------------------------------------------------
    // DrawText with the DT_ flags above. Lines break at CR LF / LF (unless DT_SINGLELINE) and,
    // with DT_WORDBREAK, between words to fit the rectangle's width (a word wider than the
    // rectangle stays whole). "&x" underlines x and "&&" shows "&" unless DT_NOPREFIX.
    // DT_CALCRECT draws nothing: it sets rect's right and bottom to the text's extent (the width
    // of the widest line, the height of all lines). Text is clipped to rect unless DT_NOCLIP.
    // Returns the height of the text in pixels (0 on failure).
    int DrawText(const QString &text, Rect *rect, unsigned format);
    QSize GetTextExtent(const QString &text) const;  // GetTextExtentPoint32
    bool TextOut(int x, int y, const QString &text); // top-left at (x, y)

    // -- pictures ---------------------------------------------------------------------------
    // Draws the icon (or an image with alpha) at (x, y) scaled to cx x cy, blended by its alpha.
    // cx or cy 0 means the picture's own size.
    bool DrawIconEx(int x, int y, const QIcon &icon, int cx, int cy);
    bool DrawIconEx(int x, int y, const QImage &image, int cx, int cy);

  private:
    struct BlitPlan;
    struct BlitInk;
    enum class BlitStep { Refused, Nothing, Draw };
    bool Blit(const Rect &dst, const Dc *src, int sx, int sy, int sw, int sh, std::uint32_t rop,
              bool stretch);
    BlitStep PlanBlit(const QImage &target, const Rect &dst, const Dc *src, int sx, int sy, int sw, int sh,
                      std::uint32_t rop, bool stretch, BlitPlan &plan) const;
    static void SnapshotOverlap(const QImage &target, BlitPlan &plan);
    void BlitRows(QImage &target, const BlitPlan &plan, const BlitInk &ink) const;
    QRegion Visible(const QRect &area) const; // area within target and clip
    void Changed(const QRect &area);
    bool FillRegionWith(const QRegion &region, const Brush &brush, std::uint8_t rop);
    void DrawThinLine(QImage &image, QPoint from, QPoint to, const QRegion &visible, int &styleCounter);
    bool DrawPath(const QPainterPath &path, bool fill);

    Bitmap *bitmap_ = nullptr;
    QImage *surface_ = nullptr;
    std::function<void(const QRect &)> changed_;
    Pen pen_;
    Brush brush_;
    Font font_;
    std::optional<Region> clip_;
    Colour textColour_ = 0x000000;
    Colour bkColour_ = 0xFFFFFF;
    int bkMode_ = OPAQUE;
    int stretchMode_ = BLACKONWHITE;
    int polyFillMode_ = ALTERNATE;
    QPoint position_;
};

} // namespace gdi
