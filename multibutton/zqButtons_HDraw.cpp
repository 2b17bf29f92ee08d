// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing of the multi-style button: the back buffer, face fills, gradients, rims, edges, focus,
// caption and picture (the eight looks that use them are in zqButtons_HLooks.cpp).
#include "multibutton/zqButtons_H.h"

#include "multibutton/ButtonPalette.h"
#include "platform/gdi/Rounding.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace multibutton
{

using namespace palette;

namespace
{

gdi::Rect Offset(gdi::Rect r, int dx, int dy)
{
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Colour arithmetic

gdi::Colour zqButtons_H::ShadeColor(gdi::Colour colour, int amount, bool scaleBlue, bool avoidBlackAndWhite,
                                    bool invert)
{
    colour = gdi::TranslateColour(colour);
    gdi::Colour result = 0;
    // Reversing the amount can only be needed twice (0 becomes 64, which may itself hit white).
    for (int attempt = 0; attempt < 4; ++attempt) {
        int red = gdi::GetRValue(colour) + amount;
        int green = gdi::GetGValue(colour) + amount;
        const int blueIn = gdi::GetBValue(colour);
        int blue = scaleBlue ? blueIn + amount * blueIn / 192 : blueIn + amount;
        red = std::clamp(red, 0, 255);
        green = std::clamp(green, 0, 255);
        blue = std::clamp(blue, 0, 255);
        if (invert) {
            red = 255 - red;
            green = 255 - green;
            blue = 255 - blue;
        }
        result = gdi::Colour(red + green * 256 + blue * 65536);
        if (!(avoidBlackAndWhite && (result == 0 || result == 0xFFFFFF)))
            break;
        amount = amount == 0 ? 64 : -amount;
    }
    return result;
}

std::vector<gdi::Colour> zqButtons_H::GradientTable(gdi::Colour colour1, gdi::Colour colour2, int n)
{
    std::vector<gdi::Colour> table;
    if (n < 1)
        return table;
    colour1 = gdi::TranslateColour(colour1);
    colour2 = gdi::TranslateColour(colour2);
    table.reserve(std::size_t(n));
    table.push_back(colour1);
    if (n == 1)
        return table;
    const float steps = float(n - 1);
    const float dr = float(gdi::GetRValue(colour2) - gdi::GetRValue(colour1)) / steps;
    const float dg = float(gdi::GetGValue(colour2) - gdi::GetGValue(colour1)) / steps;
    const float db = float(gdi::GetBValue(colour2) - gdi::GetBValue(colour1)) / steps;
    float r = float(gdi::GetRValue(colour1)), g = float(gdi::GetGValue(colour1)),
          b = float(gdi::GetBValue(colour1));
    for (int i = 1; i < n; ++i) {
        r = std::clamp(r + dr, 0.0f, 255.0f);
        g = std::clamp(g + dg, 0.0f, 255.0f);
        b = std::clamp(b + db, 0.0f, 255.0f);
        table.push_back(gdi::Colour(int(r) + int(g) * 256 + int(b) * 65536));
    }
    return table;
}

// ---------------------------------------------------------------------------------------------
// Resources

void zqButtons_H::RefreshResources(const QString &what)
{
    if (what == QLatin1String("Font")) {
        const ui::StdFont &f = UserControl::Font();
        const int height = -gdi::RoundToInt(f.Size * 20.0 / TwipsPerPixelY());
        captionFont_ = gdi::Font(f.Name, height, f.Bold ? gdi::FW_BOLD : gdi::FW_NORMAL, f.Italic,
                                 f.Underline, f.Strikethrough);
        backDc_.SelectObject(captionFont_);
    } else if (what == QLatin1String("Picture")) {
        scaled_ = Prepared();
        if (picture_.IsNull()) {
            custom_ = Prepared();
            pictureWidth_ = 0;
            pictureHeight_ = 0;
            pictureIsIcon_ = false;
        } else {
            pictureIsIcon_ = picture_.Type() == ui::Picture::Icon;
            pictureWidth_ = picture_.Width();
            pictureHeight_ = picture_.Height();
        }
    } else if (what == QLatin1String("BackColor")) {
        rgbBack_ = gdi::TranslateColour(backColor_);
        rgbGradient_ = gdi::TranslateColour(gradientColor_);
        rgbHoverBack_ = gdi::TranslateColour(hoverBackColor_);
        rgbHoverFore_ = gdi::TranslateColour(hoverForeColor_);
        rgbFore_ = gdi::TranslateColour(UserControl::ForeColor());
        switch (buttonStyle_) {
        case 2: {
            const gdi::Colour face = ShadeColor(rgbBack_, 48, true);
            style_ = {face, ShadeColor(face, -32, true), ShadeColor(rgbHoverBack_, 48, true),
                      ShadeColor(White, -32, true)};
            break;
        }
        case 3:
            style_ = {rgbBack_, ShadeColor(Grey, 12), rgbHoverBack_, ShadeColor(ShadeColor(Grey, 12), 31)};
            break;
        case 7:
            style_ = {ShadeColor(rgbBack_, 31), ShadeColor(Grey, -16), ShadeColor(rgbHoverBack_, 31),
                      ShadeColor(Grey, 16, true)};
            break;
        default:
            style_ = {rgbBack_, rgbBack_, rgbHoverBack_, ShadeColor(White, -32)};
            break;
        }
    }
}

void zqButtons_H::PrepareBackBuffer(bool copyToWindow)
{
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    if (copyToWindow) {
        surfaceDc_.BitBlt(0, 0, w, h, &backDc_, 0, 0, gdi::SRCCOPY);
        ++copies_;
        return;
    }
    if (backBitmap_.Width() != w || backBitmap_.Height() != h) {
        // Let go of the old bitmap before the new one takes its place.
        backDc_.SelectObject(static_cast<gdi::Bitmap *>(nullptr));
        backBitmap_ = gdi::Bitmap(w, h);
        backDc_.SelectObject(&backBitmap_);
    }
    if (surface_.width() != w || surface_.height() != h) {
        surface_ = QImage(w, h, QImage::Format_RGB32);
        surface_.fill(gdi::ToQRgb(rgbBack_));
    }
    backDc_.SelectObject(gdi::Pen(gdi::PS_SOLID, 1, Black));
    backDc_.SelectObject(gdi::Brush(Black));
    backDc_.SelectObject(captionFont_);
    backDc_.SetBkMode(gdi::TRANSPARENT);
}

// ---------------------------------------------------------------------------------------------
// RedrawButton

void zqButtons_H::RedrawButton()
{
    if (delayDrawing_ || width() < 1 || height() < 1)
        return;
    if (backBitmap_.Width() != width() || backBitmap_.Height() != height())
        PrepareBackBuffer(false);
    StyleResult result;
    switch (buttonStyle_) {
    case 0:
        result = DrawStyle0();
        break;
    case 1:
        result = DrawStyle1();
        break;
    case 2:
        result = DrawStyle2();
        break;
    case 3:
        result = DrawStyle3();
        break;
    case 4:
        result = DrawStyle4();
        break;
    case 5:
        result = DrawStyle5();
        break;
    case 6:
        result = DrawStyle6();
        break;
    default:
        result = DrawStyle7();
        break;
    }
    if (result.drawn)
        PrepareBackBuffer(true);

    if (result.drawn && result.frame && buttonShape_ >= 4) {
        const auto frame = [this](const gdi::Region &region, gdi::Colour colour) {
            if (!region.IsEmpty())
                surfaceDc_.FrameRgn(region, gdi::Brush(colour), 1, 1);
        };
        if (buttonShape_ >= 7) {
            if (!hovering_ || PressedHovered()) {
                if (flags_ & DefaultFrame) {
                    const gdi::Colour colour =
                        (value_ && buttonStyle_ != 2) ? ShadeColor(result.second, -32) : result.frameColour;
                    frame(buttonShape_ == 8 ? inner2_ : inner1_, colour);
                }
            } else {
                const gdi::Colour colour = buttonStyle_ == 2 ? result.frameColour : style_.hover;
                if (buttonStyle_ == 2 || colour != rgbBack_)
                    frame(windowRegion_, colour);
            }
        } else if (buttonStyle_ == 2 && !PressedHovered()) {
            frame(inner1_, result.frameColour);
        } else if (buttonShape_ == 6) {
            frame(windowRegion_, result.frameColour);
        }
    }
    if (!painting_)
        update();
}

// ---------------------------------------------------------------------------------------------
// Face

gdi::Colour zqButtons_H::FaceColour() const
{
    return (mode_ != CommandMode && value_) ? style_.checked : style_.face;
}

// Check boxes and option buttons grey their caption while disabled; a command button keeps it.
std::int64_t zqButtons_H::GreyCaptionWhenDisabled() const
{
    return (!UserControl::Enabled() && mode_ != CommandMode) ? std::int64_t(Grey) : Skip;
}

zqButtons_H::EdgeColours zqButtons_H::NoEdges()
{
    EdgeColours c;
    c.fill(Skip);
    return c;
}

bool zqButtons_H::PressedLookOf() const
{
    return PressedHovered() || (mode_ != CommandMode && showPressed_);
}

void zqButtons_H::SetRegionClip(const gdi::Region *region)
{
    backDc_.SelectClipRgn(region && !region->IsEmpty() ? region : nullptr);
}

bool zqButtons_H::ApplyClickMovement()
{
    if (mode_ != CommandMode || customClick_ == 0)
        return false;
    static constexpr int dx[] = {0, 0, 1, -1, 1, -1, 1, 0, -1};
    static constexpr int dy[] = {0, -1, -1, -1, 1, 1, 0, 1, 0};
    const QPoint step(dx[customClick_], dy[customClick_]);
    const bool pressedHovered = (flags_ & (PressedFlag | HoverFlag)) == (PressedFlag | HoverFlag);
    if (pressedHovered && !(flags_ & MovedFlag)) {
        move(geometry().topLeft() + step);
        flags_ |= MovedFlag;
        PrepareBackBuffer(false);
        update();
        return true;
    }
    if ((flags_ & MovedFlag) && !pressedHovered) {
        move(geometry().topLeft() - step);
        flags_ &= ~MovedFlag;
    }
    return false;
}

bool zqButtons_H::FillFace(gdi::Colour face, gdi::Colour gradientSecond, int &state)
{
    if (ApplyClickMovement())
        return true;
    if (buttonShape_ >= 4)
        DrawRim();
    const int w = width(), h = height();
    state = PressedHovered() ? 2 : ((flags_ & DefaultFrame) ? 1 : 0);
    gdi::Colour fill = face;
    if (hovering_ && ((mode_ == CommandMode && !(flags_ & PressedFlag)) || (mode_ != CommandMode && !value_)))
        fill = style_.hover;
    if (value_ || buttonShape_ >= 7 || gradientMode_ == 0) {
        if (buttonStyle_ == 2 && (UserControl::Enabled() || mode_ != CommandMode)) {
            // The face darkens by up to 25 towards the bottom.
            for (int i = 0; i <= h; ++i) {
                const int amount = gdi::RoundToInt(-(25.0f / float(h)) * float(i));
                backDc_.FillRect({0, i, w, i + 1}, gdi::Brush(ShadeColor(fill, amount)));
            }
        } else {
            backDc_.FillRect({0, 0, w, h}, gdi::Brush(fill));
        }
    } else if (!hovering_ || PressedHovered() || gradientColor_ == hoverBackColor_) {
        PaintGradient(face, gradientSecond);
    } else {
        backDc_.FillRect({0, 0, w, h}, gdi::Brush(style_.hover));
    }
    return false;
}

void zqButtons_H::DrawRim()
{
    const std::int32_t savedMode = gradientMode_;
    gradientMode_ = 3;
    SetRegionClip(nullptr);
    const bool pressedHovered = PressedHovered();
    bool done = false;
    if (buttonStyle_ == 5 && !hovering_ && !pressedHovered && !value_) {
        done = true; // a flat style 5 button has no rim until the pointer comes
    } else if (buttonStyle_ == 5 && (value_ || (buttonShape_ != 6 && buttonShape_ != 7))) {
        PaintGradient(White, Grey);
        SetRegionClip(&inner2_);
    }
    if (!done) {
        if ((!pressedHovered && !value_) || buttonShape_ == 6 || buttonShape_ == 7) {
            if (buttonShape_ == 6 && !hovering_) {
                SetRegionClip(nullptr);
            } else {
                if (buttonShape_ == 6)
                    backDc_.FrameRgn(windowRegion_, gdi::Brush(Black), 1, 1);
                else if (buttonShape_ == 7)
                    backDc_.FrameRgn(windowRegion_, gdi::Brush(rgbBack_), 1, 1);
                SetRegionClip(&inner1_);
            }
        } else {
            SetRegionClip(&inner1_);
            PaintGradient(Grey, White);
            SetRegionClip(&inner2_);
        }
    }
    gradientMode_ = savedMode;
}

void zqButtons_H::PaintGradient(gdi::Colour colour1, gdi::Colour colour2)
{
    const int w = width(), h = height();
    const bool sideBySide = gradientMode_ == 1 || gradientMode_ == 2;
    const int extent = sideBySide ? w : h;
    if (extent < 1)
        return;
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize(1024, 768);
    const int screenExtent = sideBySide ? screenSize.width() : screenSize.height();
    // Large buttons take 2-pixel bands: half the fills for a gradient the eye cannot tell apart.
    const int band = (screenExtent / extent > 3) ? 1 : 2;
    const int n = std::max(1, extent / band);
    std::vector<gdi::Colour> table = GradientTable(colour1, colour2, n);
    if (gradientMode_ == 2 || gradientMode_ == 4)
        std::reverse(table.begin(), table.end());
    for (int i = 0; i < n; ++i) {
        const int from = i * band;
        const int to = (i == n - 1) ? extent : from + band; // the last band reaches the edge
        const gdi::Rect r = sideBySide ? gdi::Rect{from, 0, to, h} : gdi::Rect{0, from, w, to};
        backDc_.FillRect(r, gdi::Brush(table[std::size_t(i)]));
    }
}

// ---------------------------------------------------------------------------------------------
// Edges and focus

void zqButtons_H::DrawEdges(const EdgeColours &colours)
{
    if (buttonShape_ > 3)
        return;
    const int w = width(), h = height();
    const int l = leftSlantInset_, r = rightSlantEdge_;
    // Left lines end further right at the bottom on a slanted left side; right lines start
    // further left at the top on a slanted right side.
    const QPoint lines[12][2] = {
        {{l + 2, h - 3}, {2, 2}},     {{2, 2}, {r - 3, 2}},
        {{r - 3, 2}, {w - 3, h - 3}}, {{w - 3, h - 3}, {l + 1, h - 3}},
        {{l + 1, h - 2}, {1, 1}},     {{1, 1}, {r - 2, 1}},
        {{r - 2, 1}, {w - 2, h - 2}}, {{w - 2, h - 2}, {l, h - 2}},
        {{l, h - 1}, {0, 0}},         {{0, 0}, {r - 1, 0}},
        {{r - 1, 0}, {w - 1, h - 1}}, {{w - 1, h - 1}, {l - 1, h - 1}},
    };
    std::int64_t penColour = -2;
    for (std::size_t i = 0; i < 12; ++i) {
        if (colours[i] < 0)
            continue;
        if (colours[i] != penColour) {
            penColour = colours[i];
            backDc_.SelectObject(gdi::Pen(gdi::PS_SOLID, 1, gdi::Colour(penColour)));
        }
        backDc_.Polyline(std::span<const QPoint>(lines[i], 2));
    }
    backDc_.SelectObject(gdi::Pen(gdi::PS_SOLID, 1, Black));
}

gdi::Colour zqButtons_H::FocusColour(gdi::Colour face, bool pressedLook) const
{
    const bool slanted = buttonShape_ >= 1 && buttonShape_ <= 3;
    return (slanted && !pressedLook) ? ShadeColor(face, -48) : Black;
}

void zqButtons_H::DrawFocus(gdi::Colour solidColour, bool solid)
{
    if (!(flags_ & DefaultFrame) || buttonShape_ > 6 || buttonStyle_ == 2)
        return;
    const int w = width(), h = height();
    const gdi::Rect r = buttonShape_ <= 3 ? gdi::Rect{leftSlantInset_ + 4, 4, rightSlantEdge_ - 4, h - 4}
                                          : gdi::Rect{4, 4, w - 4, h - 4};
    if (r.IsEmpty())
        return;
    if (!solid) {
        backDc_.DrawFocusRect(r);
        return;
    }
    const QPoint corners[5] = {{r.left, r.top},
                               {r.right - 1, r.top},
                               {r.right - 1, r.bottom - 1},
                               {r.left, r.bottom - 1},
                               {r.left, r.top}};
    backDc_.SelectObject(gdi::Pen(gdi::PS_SOLID, 1, solidColour));
    backDc_.Polyline(std::span<const QPoint>(corners, 5));
    backDc_.SelectObject(gdi::Pen(gdi::PS_SOLID, 1, Black));
}

// ---------------------------------------------------------------------------------------------
// Caption and picture

layout::Input zqButtons_H::LayoutInput() const
{
    layout::Input in;
    in.width = width();
    in.height = height();
    in.shape = Shape(buttonShape_);
    in.leftSlantInset = leftSlantInset_;
    in.rightSlantEdge = rightSlantEdge_;
    in.captionAlign = multibutton::CaptionAlign(captionAlign_);
    in.shadowedCaption = captionStyle_ == 1 || captionStyle_ == 2;
    in.pictureAlign = multibutton::PictureAlign(pictureAlign_);
    in.pictureSizeCode = pictureSizeCode_;
    in.hasPicture = HasPicture();
    in.picture = QSize(pictureWidth_, pictureHeight_);
    return in;
}

void zqButtons_H::LayoutCaption(bool pictureChanged)
{
    const layout::Input in = LayoutInput();
    layoutText_ = caption_;
    layoutText_.replace(QStringLiteral("||"), QStringLiteral("\r\n"));
    std::optional<QSize> text;
    if (!layoutText_.isEmpty()) {
        const QSize room = layout::TextBox(in);
        gdi::Rect box{0, 0, room.width(), room.height()};
        backDc_.SelectObject(captionFont_);
        backDc_.DrawText(layoutText_, &box, gdi::DT_CALCRECT | gdi::DT_WORDBREAK);
        text = QSize(box.Width(), box.Height());
    }
    const layout::Result placed = layout::Place(in, text);
    captionRect_ = placed.caption;
    const gdi::Rect &pic = placed.picture;
    if (pictureChanged || pic.Width() != pictureRect_.Width() || pic.Height() != pictureRect_.Height())
        scaled_ = Prepared();
    pictureRect_ = pic;
}

QImage zqButtons_H::NormalisedPicture(int width, int height) const
{
    QImage source = picture_.Image();
    if (source.hasAlphaChannel()) {
        // See-through parts of a bitmap take the colour of its top-left pixel, so they are
        // masked out like its transparent colour.
        QImage flat(source.size(), QImage::Format_RGB32);
        flat.fill(source.pixel(0, 0) | 0xFF000000u);
        QPainter painter(&flat);
        painter.drawImage(0, 0, source);
        painter.end();
        source = flat;
    }
    QImage scaled = gdi::Bitmap(source).Copy(width, height).Image().convertToFormat(QImage::Format_RGB32);
    if (scaled.isNull())
        return scaled;
    const QRgb key = scaled.pixel(0, 0) | 0xFF000000u;
    for (int y = 0; y < scaled.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(scaled.scanLine(y));
        for (int x = 0; x < scaled.width(); ++x) {
            const QRgb p = row[x];
            if (std::abs(qRed(p) - qRed(key)) <= 3 && std::abs(qGreen(p) - qGreen(key)) <= 3 &&
                std::abs(qBlue(p) - qBlue(key)) <= 3)
                row[x] = key;
        }
    }
    return scaled;
}

void zqButtons_H::Prepare(Prepared &prepared, int width, int height) const
{
    prepared = Prepared();
    prepared.size = QSize(width, height);
    if (width < 1 || height < 1 || picture_.IsNull())
        return;
    if (pictureIsIcon_) {
        prepared.icon = picture_.Image();
        return;
    }
    prepared.colour = gdi::Bitmap(NormalisedPicture(width, height));
    // The mask is white where the picture shows its transparent colour.
    gdi::Dc colourDc;
    colourDc.SelectObject(&prepared.colour);
    colourDc.SetBkColor(colourDc.GetPixel(0, 0));
    prepared.mask = gdi::Bitmap(width, height, 1);
    gdi::Dc maskDc;
    maskDc.SelectObject(&prepared.mask);
    maskDc.BitBlt(0, 0, width, height, &colourDc, 0, 0, gdi::SRCCOPY);
    // The colour bits with the transparent pixels black, ready to be ORed over the hole.
    prepared.black = prepared.colour.Copy();
    gdi::Dc blackDc;
    blackDc.SelectObject(&prepared.black);
    blackDc.SetTextColor(Black);
    blackDc.SetBkColor(White);
    blackDc.BitBlt(0, 0, width, height, &maskDc, 0, 0, 0x00220326); // D & ~S
}

void zqButtons_H::DrawPrepared(gdi::Dc &dc, const Prepared &prepared, const gdi::Rect &rect) const
{
    if (!prepared.icon.isNull()) {
        dc.DrawIconEx(rect.left, rect.top, prepared.icon, rect.Width(), rect.Height());
        return;
    }
    if (prepared.colour.IsNull())
        return;
    gdi::Dc maskDc, blackDc;
    maskDc.SelectObject(const_cast<gdi::Bitmap *>(&prepared.mask));
    blackDc.SelectObject(const_cast<gdi::Bitmap *>(&prepared.black));
    const gdi::Colour text = dc.SetTextColor(Black), back = dc.SetBkColor(White);
    const int w = prepared.size.width(), h = prepared.size.height();
    dc.StretchBlt(rect.left, rect.top, rect.Width(), rect.Height(), &maskDc, 0, 0, w, h, gdi::SRCAND);
    dc.StretchBlt(rect.left, rect.top, rect.Width(), rect.Height(), &blackDc, 0, 0, w, h, gdi::SRCPAINT);
    dc.SetTextColor(text);
    dc.SetBkColor(back);
}

void zqButtons_H::DrawPicture(const gdi::Rect &given)
{
    if (pictureWidth_ == 0 && pictureHeight_ == 0)
        return;
    gdi::Rect rect = given;
    const Prepared *prepared = nullptr;
    if (buttonShape_ >= 7) {
        const int w = width(), h = height();
        rect = PressedHovered() ? gdi::Rect{1, 1, w - 1, h - 1} : gdi::Rect{0, 0, w, h};
        if (custom_.size != QSize(w, h) || custom_.colour.IsNull())
            Prepare(custom_, w, h);
        prepared = &custom_;
    } else {
        if (rect.IsEmpty())
            return;
        if (scaled_.size != QSize(rect.Width(), rect.Height()))
            Prepare(scaled_, rect.Width(), rect.Height());
        prepared = &scaled_;
    }
    if (rect.IsEmpty())
        return;
    if (UserControl::Enabled()) {
        DrawPrepared(backDc_, *prepared, rect);
        return;
    }
    // Disabled: the picture drawn on white, then laid on the face through a grey brush, so
    // white leaves the face alone and black turns grey.
    gdi::Bitmap temp(rect.Width(), rect.Height(), 24, White);
    gdi::Dc tempDc;
    tempDc.SelectObject(&temp);
    DrawPrepared(tempDc, *prepared, {0, 0, rect.Width(), rect.Height()});
    const gdi::Brush savedBrush = backDc_.SelectObject(gdi::Brush(Grey));
    const gdi::Colour savedBack = backDc_.SetBkColor(White);
    backDc_.BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &tempDc, 0, 0, gdi::DSPDxax);
    backDc_.SelectObject(savedBrush);
    backDc_.SetBkColor(savedBack);
}

void zqButtons_H::DrawCaptionAndPicture(gdi::Colour face, std::int64_t captionColour, bool pressedLook)
{
    gdi::Rect caption = captionRect_, picture = pictureRect_;
    if ((pressedLook || PressedHovered()) && buttonStyle_ != 3) {
        const int dx = buttonShape_ <= 3 ? 1 : 0;
        caption = Offset(caption, dx, 1);
        picture = Offset(picture, dx, 1);
    }
    if (!(value_ && buttonShape_ >= 7))
        DrawPicture(picture);
    if (caption_.isEmpty() || (buttonShape_ >= 5 && !value_))
        return;

    unsigned format = gdi::DT_WORDBREAK;
    if (captionAlign_ == 1)
        format |= gdi::DT_RIGHT;
    else if (captionAlign_ == 2)
        format |= gdi::DT_CENTER;
    backDc_.SetBkMode(gdi::TRANSPARENT);
    const auto draw = [&](gdi::Colour colour, const gdi::Rect &at) {
        backDc_.SetTextColor(colour);
        gdi::Rect r = at;
        backDc_.DrawText(layoutText_, &r, format);
    };
    if (UserControl::Enabled()) {
        gdi::Colour colour = rgbFore_;
        if (hovering_ && !PressedHovered())
            colour = rgbHoverFore_;
        else if (buttonStyle_ == 7 && captionColour >= 0 && (value_ || gradientMode_ == 0))
            colour = gdi::Colour(captionColour);
        if (captionStyle_ == 1 || captionStyle_ == 2) {
            const int amount = captionStyle_ == 1 ? -40 : 40;
            draw(ShadeColor(face, amount), Offset(caption, -1, 0));
            draw(ShadeColor(face, -amount), Offset(caption, 1, 2));
            draw(colour, Offset(caption, 0, 1));
        } else {
            draw(colour, caption);
        }
    } else if (captionColour < 0 || gradientMode_ != 0) {
        draw(White, Offset(caption, 1, 1));
        draw(Grey, caption);
    } else {
        draw(gdi::Colour(captionColour), caption);
    }
}

// ---------------------------------------------------------------------------------------------
// Paint

void zqButtons_H::paintEvent(QPaintEvent *)
{
    if (!painting_ && !Restoring()) {
        const QScopedValueRollback painting(painting_, true);
        delayDrawing_ = false;
        RedrawButton();
    }
    QPainter painter(this);
    painter.drawImage(0, 0, surface_);
}

} // namespace multibutton
