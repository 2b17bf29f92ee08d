// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing of the bevel button: outline, faces, pictures and caption.
#include "bevel/bvlBUTTON.h"

#include "bevel/mdlSHPCLR.h"

#include <QPainter>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>

namespace bevel
{

using namespace mdlSHPCLR;

namespace
{

// An image with an alpha channel is laid over the transparent colour, so its see-through parts
// are masked out like the transparent colour of a plain bitmap.
QImage OverTransparentColour(const QImage &image, gdi::Colour transparent)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(gdi::ToQRgb(transparent));
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Drawing

void bvlBUTTON::resizeEvent(QResizeEvent *event)
{
    UserControl::resizeEvent(event);
    ResizeWork();
}

void bvlBUTTON::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (surface_.isNull() || reading_)
        painter.fillRect(rect(), gdi::ToQColor(backColour_));
    else
        painter.drawImage(0, 0, surface_);
    // Keyboard focus: a dotted frame inside the bevel (the surface itself stays as drawn).
    if (hasFocus() && enabled_) {
        const int inset = std::max<int>(bevelHeight_, 1) + 2;
        const QRect frame = rect().adjusted(inset, inset, -inset - 1, -inset - 1);
        if (frame.width() > 2 && frame.height() > 2) {
            painter.setPen(QPen(gdi::ToQColor(CaptionColourNow()), 1, Qt::DotLine));
            painter.drawRect(frame);
        }
    }
}

void bvlBUTTON::ResizeWork()
{
    if (resizeBusy_ || terminated_)
        return;
    const QScopedValueRollback busy(resizeBusy_, true);
    int w = int(RoundEven(UserControl::Width() / TwipsPerPixelX()));
    int h = int(RoundEven(UserControl::Height() / TwipsPerPixelY()));
    UpdateOutline(w, h);
    ResizeSurface(w, h);
    RebuildBevels();
}

// The outline of the Appearance for a w x h control; a circle makes the control square first.
void bvlBUTTON::UpdateOutline(int &w, int &h)
{
    const std::optional<bevel::Appearance> appearance = AppearanceOf(appearance_);
    if (!appearance)
        return; // an unknown outline leaves the present one in place
    std::optional<gdi::Region> outline;
    switch (*appearance) {
    case bevel::Appearance::Rectangle:
        outline = gdi::CreateRectRgn(0, 0, w + 1, h + 1);
        break;
    case bevel::Appearance::Circle: {
        const int s = std::max(w, h);
        if (w != s || h != s)
            resize(s, s);
        w = h = s;
        outline = gdi::CreateEllipticRgn(0, 0, s + 1, s + 1);
        break;
    }
    case bevel::Appearance::RoundedRectangle: {
        const int r = int(RoundEven(h < w ? h / 2.0 : w / 2.0));
        outline = gdi::CreateRoundRectRgn(0, 0, w + 1, h + 1, r, r);
        break;
    }
    case bevel::Appearance::Capsule: {
        const int r = h < w ? h : w;
        outline = gdi::CreateRoundRectRgn(0, 0, w + 1, h + 1, r, r);
        break;
    }
    }
    outline_ = outline;
    if (outline_->IsEmpty())
        clearMask();
    else
        setMask(outline_->ToQRegion());
    update();
}

// The face images and the surface take the control's size.
void bvlBUTTON::ResizeSurface(int w, int h)
{
    raised_.bitmap = gdi::Bitmap(std::max(w, 0), std::max(h, 0), 24);
    sunken_.bitmap = gdi::Bitmap(std::max(w, 0), std::max(h, 0), 24);
    if (surface_.size() == QSize(w, h))
        return;
    surfaceDc_.reset();
    surface_ = (w > 0 && h > 0) ? QImage(w, h, QImage::Format_RGB32) : QImage();
    if (!surface_.isNull()) {
        surface_.fill(gdi::ToQRgb(TranslateColour(backColour_)));
        surfaceDc_ = std::make_unique<gdi::Dc>(&surface_, [this](const QRect &area) { update(area); });
    }
}

void bvlBUTTON::RebuildBevels()
{
    if (reading_)
        return;
    if (bevelAutoAdjust_)
        bevelHeight_ = 0;
    // The shader hands back the band region each time; it is not needed beyond the shading.
    ShadeBevel(raised_.bitmap, bevelHeight_, backColour_, appearance_, 2, false);
    ShadeBevel(sunken_.bitmap, bevelHeight_, backColour_, appearance_, 1, true);
    ++bevelBuilds_;
    PreparePictures();
    DrawState(true);
}

void bvlBUTTON::LoadPictureElement(HiddenPicture &element, const ui::Picture &picture)
{
    // A face picture larger than any screen cannot be shown, and its work strip (four copies
    // side by side, prepared pixel by pixel) would take gigabytes and minutes: it is left out.
    constexpr int largest = 4096;
    if (picture.IsNull() || picture.Width() > largest || picture.Height() > largest) {
        element.bitmap = gdi::Bitmap();
        return;
    }
    element.bitmap = gdi::Bitmap(OverTransparentColour(picture.Image(), TranslateColour(transparency_)));
}

void bvlBUTTON::LayoutContent()
{
    const int b = bevelHeight_;
    const int w = ScaleWidth();
    const int h = ScaleHeight();
    captionRect_ = {b + captionX_, b + captionY_, w - b + captionX_ - 1, h - b + captionY_ - 1};
    pictureRect_ = {b + pictureX_, b + pictureY_, w - b + pictureX_ - 1, h - b + pictureY_ - 1};
    PlacePicture(basic_.bitmap, normal_);
    PlacePicture(hoverPicture_.bitmap, hover_);
}

void bvlBUTTON::PlacePicture(const gdi::Bitmap &element, Placement &placement)
{
    if (reading_)
        return;
    if (element.IsNull()) {
        placement = {};
        return;
    }
    placement.width = std::int16_t(element.Width());
    placement.height = std::int16_t(element.Height());
    // A code outside 0..8 places the picture at the top left.
    const Placing place = PlacingOf(pictureJustify_).value_or(Placing{Along::Start, Along::Start});
    const gdi::Rect &r = pictureRect_;
    const auto at = [](Along along, int start, int end, int extent) {
        switch (along) {
        case Along::Middle:
            return start + int(std::floor((end - start - extent) / 2.0));
        case Along::End:
            return end - extent;
        case Along::Start:
            break;
        }
        return start;
    };
    placement.x = at(place.across, r.left, r.right, placement.width);
    placement.y = at(place.down, r.top, r.bottom, placement.height);
}

void bvlBUTTON::PreparePictures()
{
    if (reading_)
        return;
    LoadPictureElement(basic_, picture_);
    LoadPictureElement(hoverPicture_, pictureHover_);
    LayoutContent();
    PrepareWorkStrip();
}

// The work strip: the normal picture's mask, its masked colours, a grey copy and the masked grey
// copy side by side on the first row; the hover picture's mask and masked colours on the second.
void bvlBUTTON::PrepareWorkStrip()
{
    if (picture_.IsNull() && pictureHover_.IsNull()) {
        work_.bitmap = gdi::Bitmap();
        return;
    }
    const int nw = normal_.width, nh = normal_.height;
    const int hw = hover_.width, hh = hover_.height;
    const gdi::Colour t = TranslateColour(transparency_);
    constexpr gdi::Colour black = 0x000000, white = 0xFFFFFF;

    work_.bitmap = gdi::Bitmap(std::max(4 * nw, 2 * hw), nh + hh, 24);
    gdi::Dc &work = work_.dc;
    if (!picture_.IsNull()) {
        for (int i = 0; i < 4; ++i)
            work.BitBlt(i * nw, 0, nw, nh, &basic_.dc, 0, 0, gdi::SRCCOPY);
        for (int y = 0; y < nh; ++y) {
            for (int x = 0; x < nw; ++x) {
                const gdi::Colour c = basic_.dc.GetPixel(x, y);
                HLS grey = RGBToHLS(c);
                grey.Saturation = 0;
                grey.Luminance = grey.Luminance < 220 ? std::int16_t(grey.Luminance + 20) : std::int16_t(240);
                const gdi::Colour g = HLSToRGB(grey);
                if (c != t) {
                    work.SetPixelV(x, y, black);
                    work.SetPixelV(3 * nw + x, y, g);
                } else {
                    work.SetPixelV(x, y, white);
                    work.SetPixelV(nw + x, y, black);
                    work.SetPixelV(3 * nw + x, y, black);
                }
                work.SetPixelV(2 * nw + x, y, g);
            }
        }
    }
    if (!pictureHover_.IsNull()) {
        work.BitBlt(0, nh, hw, hh, &hoverPicture_.dc, 0, 0, gdi::SRCCOPY);
        work.BitBlt(hw, nh, hw, hh, &hoverPicture_.dc, 0, 0, gdi::SRCCOPY);
        for (int y = 0; y < hh; ++y) {
            for (int x = 0; x < hw; ++x) {
                if (hoverPicture_.dc.GetPixel(x, y) != t) {
                    work.SetPixelV(x, nh + y, black);
                } else {
                    work.SetPixelV(x, nh + y, white);
                    work.SetPixelV(hw + x, nh + y, black);
                }
            }
        }
    }
}

void bvlBUTTON::DrawState(bool force)
{
    if (reading_) {
        lastState_ = -1;
        return;
    }
    if (state_ == lastState_ && !force)
        return;
    if (surfaceDc_) {
        const HiddenPicture &face = (state_ & Pressed) ? sunken_ : raised_;
        surfaceDc_->BitBlt(0, 0, surface_.width(), surface_.height(), &face.dc, 0, 0, gdi::SRCCOPY);
        DrawPicture();
        DrawCaption();
    }
    lastState_ = state_;
}

void bvlBUTTON::DrawPicture()
{
    Placement normal = normal_, hover = hover_;
    if (state_ & Pressed) {
        ++normal.x, ++normal.y;
        ++hover.x, ++hover.y;
    }
    const bool disabled = state_ & Disabled;
    enum { None, Normal, HoverPicture } which = None;
    if ((state_ & Hover) && !disabled)
        which = !pictureHover_.IsNull() ? HoverPicture : (!picture_.IsNull() ? Normal : None);
    else
        which = !picture_.IsNull() ? Normal : None;
    if (which == None)
        return;

    gdi::Dc &dc = *surfaceDc_;
    const int nw = normal_.width, nh = normal_.height;
    const int hw = hover_.width, hh = hover_.height;
    if (useTransparency_) {
        if (which == HoverPicture) {
            dc.BitBlt(hover.x, hover.y, hw, hh, &work_.dc, 0, nh, gdi::SRCAND);
            dc.BitBlt(hover.x, hover.y, hw, hh, &work_.dc, hw, nh, gdi::SRCPAINT);
        } else {
            dc.BitBlt(normal.x, normal.y, nw, nh, &work_.dc, 0, 0, gdi::SRCAND);
            dc.BitBlt(normal.x, normal.y, nw, nh, &work_.dc, disabled ? 3 * nw : nw, 0, gdi::SRCPAINT);
        }
    } else if (which == HoverPicture) {
        dc.BitBlt(hover.x, hover.y, hw, hh, &hoverPicture_.dc, 0, 0, gdi::SRCCOPY);
    } else if (disabled) {
        dc.BitBlt(normal.x, normal.y, nw, nh, &work_.dc, 2 * nw, 0, gdi::SRCCOPY);
    } else {
        dc.BitBlt(normal.x, normal.y, nw, nh, &basic_.dc, 0, 0, gdi::SRCCOPY);
    }
}

gdi::Colour bvlBUTTON::CaptionColourNow() const
{
    if (state_ & Disabled) {
        // Disabled captions are the face colour, lightened by a fifth.
        HLS hls = RGBToHLS(TranslateColour(backColour_));
        const double lighter = RoundEven(hls.Luminance * 1.2);
        hls.Luminance = lighter < 240.0 ? std::int16_t(lighter) : std::int16_t(240);
        return HLSToRGB(hls);
    }
    return TranslateColour((state_ & Hover) ? captionHoverColour_ : captionColour_);
}

void bvlBUTTON::DrawCaption()
{
    using namespace gdi;
    const unsigned format = CaptionFormat(captionJustify_);
    Rect rect = captionRect_;
    if (state_ & Pressed) {
        ++rect.left, ++rect.top, ++rect.right, ++rect.bottom;
    }
    Dc &dc = *surfaceDc_;
    const gdi::Font previous = dc.SelectObject(gdi::Font(font()));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(CaptionColourNow());
    dc.DrawText(caption_, &rect, format);
    dc.SelectObject(previous);
    update();
}

} // namespace bevel
