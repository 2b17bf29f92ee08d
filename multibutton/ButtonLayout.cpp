// SPDX-License-Identifier: GPL-3.0-or-later
#include "multibutton/ButtonLayout.h"

#include "platform/gdi/Rounding.h"

#include <algorithm>

namespace multibutton::layout
{

namespace
{

// The span across the face the caption and picture share: slanted edges give up part of
// their width, custom outlines keep clear of their rim.
struct Span {
    int left = 0, right = 0;
};

Span FaceSpan(const Input &in)
{
    const int w = in.width;
    const int inset = in.leftSlantInset, edge = in.rightSlantEdge > 0 ? in.rightSlantEdge : w;
    switch (in.shape) {
    case Shape::SlantedLeft:
        return {inset - inset / 3 + 3, w};
    case Shape::SlantedRight:
        return {0, edge + (w - edge) / 3};
    case Shape::SlantedBoth:
        return {inset - inset / 3 + 3, edge + (w - edge) / 3};
    case Shape::CustomFlatRim:
    case Shape::CustomBevelRim:
        return {3, edge - 3};
    default:
        return {0, edge};
    }
}

// Where a small picture (16 to 32 pixels) goes beside the caption.
struct Beside {
    int code = 16;
    bool room = false; // a small picture is shown beside or above/below the text
    bool left = false, right = false, above = false, below = false;
    bool nextTo = false; // kept next to the caption rather than at the edge
};

Beside PictureBeside(const Input &in)
{
    Beside b;
    b.code = in.pictureSizeCode == 0 ? 16 : in.pictureSizeCode;
    b.room = in.hasPicture && b.code <= 32;
    if (!b.room)
        return b;
    const PictureAlign a = in.pictureAlign;
    b.left = a == PictureAlign::LeftEdge || a == PictureAlign::LeftOfCaption;
    b.right = a == PictureAlign::RightEdge || a == PictureAlign::RightOfCaption;
    b.above = a == PictureAlign::Above;
    b.below = a == PictureAlign::Below;
    b.nextTo = a == PictureAlign::LeftOfCaption || a == PictureAlign::RightOfCaption;
    return b;
}

int CaptionX(const Input &in, const Span &s, const Beside &b, int textW)
{
    switch (in.captionAlign) {
    case CaptionAlign::Left:
        return s.left + 4 + (b.left ? b.code + 4 : 0);
    case CaptionAlign::Right:
        return s.right - textW - 4 - (b.right ? b.code + 4 : 0);
    case CaptionAlign::Centre:
        break;
    }
    if (b.nextTo) {
        const int pair = textW + b.code + 4;
        const int start = s.left + (s.right - s.left - pair) / 2;
        return in.pictureAlign == PictureAlign::LeftOfCaption ? start + b.code + 4 : start;
    }
    const int lo = s.left + (b.left ? b.code + 4 : 0), hi = s.right - (b.right ? b.code + 4 : 0);
    return lo + (hi - lo - textW) / 2;
}

int SmallPictureX(const Input &in, const Span &s, int code, int captionX, int textW)
{
    switch (in.pictureAlign) {
    case PictureAlign::LeftEdge:
        return s.left + 4;
    case PictureAlign::LeftOfCaption:
        return captionX - 4 - code;
    case PictureAlign::RightEdge:
        return s.right - 4 - code;
    case PictureAlign::RightOfCaption:
        return captionX + textW + 4;
    default:
        return s.left + (s.right - s.left - code) / 2;
    }
}

// A large picture: stretched over the face, over the whole custom outline, or fitted.
gdi::Rect LargePicture(const Input &in, const Span &s, int code)
{
    const int w = in.width, h = in.height;
    if (code == 40)
        return in.shape == Shape::OvalBlackRim ? gdi::Rect{1, 1, w - 1, h - 1}
                                               : gdi::Rect{3, 3, w - 3, h - 3};
    if (IsCustom(in.shape))
        return {0, 0, w, h};
    const QSize fit = FitPictureSize(in.picture.width(), in.picture.height(), s.right - 12, h - 12);
    const int px = s.left + (s.right - s.left - fit.width()) / 2, py = (h - fit.height()) / 2;
    return {px, py, px + fit.width(), py + fit.height()};
}

} // namespace

QSize TextBox(const Input &in)
{
    const Span s = FaceSpan(in);
    const Beside b = PictureBeside(in);
    const int reserveW = (b.left || b.right) ? b.code : 0;
    const int reserveH = (b.above || b.below) ? b.code : 0;
    return {std::max(1, s.right - s.left - reserveW - 8), std::max(1, in.height - 8 - reserveH)};
}

Result Place(const Input &in, std::optional<QSize> text)
{
    const int h = in.height;
    const Span s = FaceSpan(in);
    const Beside b = PictureBeside(in);
    const int code = b.code;
    int textW = text ? text->width() : 0, textH = text ? text->height() : 0;
    if (text && in.shadowedCaption) {
        textW += 2;
        textH += 2;
    }
    const int x = CaptionX(in, s, b, textW);
    // Vertically the text alone is centred; a picture above or below is centred with it.
    int y = (h - textH) / 2;
    int picY = (h - code) / 2;
    if (b.above || b.below) {
        const int top = (h - (code + 2 + textH)) / 2;
        picY = b.above ? top : top + textH + 2;
        y = b.above ? top + code + 2 : top;
    }
    const auto clamp = [&](gdi::Rect r) {
        r.top = std::max(r.top, 4);
        r.left = std::max(r.left, s.left + 4);
        r.right = std::min(r.right, s.right - 4);
        r.bottom = std::min(r.bottom, h - 5);
        return r;
    };
    Result result;
    result.caption = clamp({x, y, x + textW, y + textH});
    if (code <= 32) {
        const int picX = SmallPictureX(in, s, code, x, textW);
        if (in.pictureAlign < PictureAlign::Above || !b.room)
            picY = (h - code) / 2;
        result.picture = clamp({picX, picY, picX + code, picY + code});
    } else {
        result.picture = LargePicture(in, s, code);
    }
    return result;
}

QSize FitPictureSize(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight)
{
    if (pictureWidth < 1 || pictureHeight < 1 || boxWidth < 1 || boxHeight < 1)
        return QSize(0, 0);
    const double ratio = std::min(double(boxWidth) / pictureWidth, double(boxHeight) / pictureHeight);
    return QSize(gdi::RoundToInt(pictureWidth * ratio), gdi::RoundToInt(pictureHeight * ratio));
}

} // namespace multibutton::layout
