// SPDX-License-Identifier: GPL-3.0-or-later
// The eight looks of the multi-style button: each chooses its colours, fills the face, draws the
// caption and picture and its three rings of edge lines, and reports the frame it wants.
#include "multibutton/ButtonPalette.h"
#include "multibutton/zqButtons_H.h"

#include <algorithm>

namespace multibutton
{

using namespace palette;

namespace
{

// Colours for the four lines of one ring: left and top share `lt`, right and bottom `rb`.
void Ring(std::array<std::int64_t, 12> &c, int ring, std::int64_t lt, std::int64_t rb)
{
    c[std::size_t(ring * 4 + 0)] = lt;
    c[std::size_t(ring * 4 + 1)] = lt;
    c[std::size_t(ring * 4 + 2)] = rb;
    c[std::size_t(ring * 4 + 3)] = rb;
}

enum { Inner = 0, Middle = 1, Outer = 2 };

} // namespace

// ---------------------------------------------------------------------------------------------
// The eight looks

zqButtons_H::StyleResult zqButtons_H::DrawStyle0()
{
    const gdi::Colour face = FaceColour();
    const std::int64_t caption = GreyCaptionWhenDisabled();
    int state = 0;
    if (FillFace(face, rgbGradient_, state))
        return {};
    if (value_ || (mode_ != CommandMode && showPressed_))
        state = 3;
    DrawCaptionAndPicture(face, caption, state >= 2);
    const std::int64_t light = PressedHovered() ? std::int64_t(face) : std::int64_t(gdi::RGB(233, 233, 233));
    const std::int64_t outerLT = (flags_ & DefaultFrame) ? Black : White;
    EdgeColours c = NoEdges();
    switch (state) {
    case 0:
        Ring(c, Middle, light, Grey);
        Ring(c, Outer, outerLT, Black);
        break;
    case 1:
        Ring(c, Inner, light, Grey);
        Ring(c, Middle, White, Black);
        Ring(c, Outer, outerLT, Black);
        break;
    case 2:
        Ring(c, Middle, Skip, Grey);
        Ring(c, Outer, outerLT, Black);
        break;
    default:
        Ring(c, Middle, Skip, light);
        Ring(c, Outer, Black, White);
        break;
    }
    DrawEdges(c);
    DrawFocus(FocusColour(face, state >= 2), value_ || (buttonShape_ >= 1 && buttonShape_ <= 3));
    return {true, true, Black, style_.second};
}

zqButtons_H::StyleResult zqButtons_H::DrawStyle1()
{
    const gdi::Colour face = FaceColour();
    const std::int64_t caption = GreyCaptionWhenDisabled();
    int state = 0;
    if (FillFace(face, rgbGradient_, state))
        return {};
    state = (value_ || (mode_ != CommandMode && showPressed_)) ? 2 : std::max(state, 1);
    DrawCaptionAndPicture(face, caption, state == 2);
    EdgeColours c = NoEdges();
    const std::int64_t lt = state == 2 ? Grey : White, rb = state == 2 ? White : Grey;
    Ring(c, Inner, lt, rb);
    Ring(c, Middle, lt, rb);
    Ring(c, Outer, Black, Black);
    DrawEdges(c);
    DrawFocus(FocusColour(face, state == 2), value_ || (buttonShape_ >= 1 && buttonShape_ <= 3));
    return {true, true, Black, style_.second};
}

zqButtons_H::StyleResult zqButtons_H::DrawStyle2()
{
    const bool disabledCommand = !UserControl::Enabled() && mode_ == CommandMode;
    gdi::Colour face = FaceColour();
    std::int64_t caption = Skip;
    if (disabledCommand) {
        caption = ShadeColor(face, -104, true);
        face = ShadeColor(face, -24, true);
    }
    int state = 0;
    if (FillFace(face, ShadeColor(rgbGradient_, 48, true), state))
        return {};
    const bool pressedLook = value_ || (mode_ != CommandMode && showPressed_);
    if (pressedLook)
        state = (flags_ & DefaultFrame) ? 1 : 2;
    if ((flags_ & HoverFlag) && !(flags_ & PressedFlag))
        state = 3;
    if (state == 1 && !showFocusRect_)
        state = 0;
    DrawCaptionAndPicture(face, caption, state == 2 || PressedHovered());

    const gdi::Colour outer = disabledCommand ? ShadeColor(face, -84, true) : gdi::Colour(0x733C00);
    if (buttonShape_ <= 3) {
        EdgeColours c = NoEdges();
        if (!disabledCommand) {
            const auto s = [face](int amount) { return std::int64_t(ShadeColor(face, amount, true)); };
            switch (state) {
            case 0:
                c = {s(-10), s(10), s(-24), s(-32), s(-5), s(16), s(-36), s(-48), 0, 0, 0, 0};
                break;
            case 1:
                c = {0xF0D1B5, 0xF7D7BD, 0xF0D1B5, 0xE7AE8C, 0xE7AE8C, 0xFFDFBF,
                     0xE7AE8C, 0xEF826B, 0,        0,        0,        0};
                break;
            case 2:
                c = {s(-22), s(-24), face, s(10), s(-32), s(-32), s(5), s(16), 0, 0, 0, 0};
                break;
            default:
                c = {0x6BCBFF, 0x8CDBFF, 0x6BCBFF, 0x31B2FF, 0x31B2FF, 0xA6E9FF,
                     0x31B2FF, 0x0096E7, 0,        0,        0,        0};
                break;
            }
        }
        Ring(c, Outer, outer, outer);
        DrawEdges(c);
        const int w = width(), h = height();
        backDc_.SetPixelV(1, 1, outer);
        backDc_.SetPixelV(1, h - 2, outer);
        if (buttonShape_ == 0 || buttonShape_ == 1) {
            backDc_.SetPixelV(w - 2, 1, outer);
            backDc_.SetPixelV(w - 2, h - 2, outer);
        }
    }
    gdi::Colour frameColour = outer;
    if (hovering_)
        frameColour = 0x0096E7;
    else if (flags_ & DefaultFrame)
        frameColour = 0xEF826B;
    return {true, true, frameColour, style_.second};
}

zqButtons_H::StyleResult zqButtons_H::DrawStyle3()
{
    const bool enabled = UserControl::Enabled();
    const gdi::Colour face = FaceColour();
    const std::int64_t caption = enabled ? Skip : std::int64_t(ShadeColor(Grey, -16));
    int state = 0;
    if (FillFace(face, rgbGradient_, state))
        return {};
    if (mode_ != CommandMode)
        state = (value_ || showPressed_ || PressedHovered()) ? 2 : 3;
    else
        state = std::max(state, 1);
    DrawCaptionAndPicture(face, caption, false); // this look never moves its caption
    EdgeColours c = NoEdges();
    if (!enabled && mode_ == CommandMode) {
        Ring(c, Inner, face, face);
        Ring(c, Middle, face, face);
        Ring(c, Outer, 0x666666, 0x666666);
    } else {
        Ring(c, Middle, state == 2 ? std::int64_t(face) : std::int64_t(White), 0x666666);
        Ring(c, Outer, 0x666666, White);
    }
    DrawEdges(c);
    DrawFocus(0xCC9999, true);
    return {true, true, Black, style_.second};
}

zqButtons_H::StyleResult zqButtons_H::DrawStyle4()
{
    const gdi::Colour face = FaceColour();
    const std::int64_t caption = GreyCaptionWhenDisabled();
    int state = 0;
    if (FillFace(face, rgbGradient_, state))
        return {};
    const bool pressed = value_ || PressedLookOf();
    DrawCaptionAndPicture(face, caption, pressed);
    EdgeColours c = NoEdges();
    Ring(c, Outer, pressed ? Grey : White, pressed ? White : Grey);
    DrawEdges(c);
    DrawFocus(FocusColour(face, pressed), value_ || (buttonShape_ >= 1 && buttonShape_ <= 3));
    return {true, true, Black, style_.second};
}

zqButtons_H::StyleResult zqButtons_H::DrawStyle5()
{
    const gdi::Colour face = FaceColour();
    const std::int64_t caption = GreyCaptionWhenDisabled();
    int state = 0;
    if (FillFace(face, rgbGradient_, state))
        return {};
    const bool pressed = value_ || PressedLookOf();
    DrawCaptionAndPicture(face, caption, pressed);
    EdgeColours c = NoEdges();
    if (hovering_ || value_) {
        Ring(c, Outer, pressed ? Grey : White, pressed ? White : Grey);
    } else if (DesignTime()) {
        // A flat button stays visible while its form is designed.
        const gdi::Colour outline = ShadeColor(ambientBack_, -64);
        Ring(c, Outer, outline, outline);
        if (buttonShape_ >= 4 && buttonShape_ <= 6) {
            SetRegionClip(nullptr);
            backDc_.SelectObject(gdi::Pen(gdi::PS_SOLID, 1, ShadeColor(ambientBack_, -32)));
            backDc_.Arc(0, 0, width(), height(), width(), height() / 2, width(), height() / 2);
            backDc_.SelectObject(gdi::Pen(gdi::PS_SOLID, 1, Black));
        }
    }
    DrawEdges(c);
    DrawFocus(FocusColour(face, pressed), value_ || (buttonShape_ >= 1 && buttonShape_ <= 3));
    return {true, true, Black, style_.second};
}

zqButtons_H::StyleResult zqButtons_H::DrawStyle6()
{
    const gdi::Colour face = FaceColour();
    const std::int64_t caption = GreyCaptionWhenDisabled();
    int state = 0;
    if (FillFace(face, rgbGradient_, state))
        return {};
    const bool pressed = value_ || (mode_ != CommandMode && showPressed_) || PressedHovered();
    DrawCaptionAndPicture(face, caption, pressed);
    EdgeColours c = NoEdges();
    const std::int64_t light = 0xE7E7E7;
    Ring(c, Middle, pressed ? Grey : light, pressed ? light : Grey);
    Ring(c, Outer, pressed ? Grey : light, pressed ? light : Grey);
    DrawEdges(c);
    DrawFocus(FocusColour(face, pressed), value_ || (buttonShape_ >= 1 && buttonShape_ <= 3));
    return {true, true, Black, style_.second};
}

zqButtons_H::StyleResult zqButtons_H::DrawStyle7()
{
    const gdi::Colour face = FaceColour();
    const std::int64_t caption = GreyCaptionWhenDisabled();
    int state = 0;
    if (FillFace(face, ShadeColor(rgbGradient_, 31, true), state))
        return {};
    if (value_)
        state = 2;
    else if (mode_ != CommandMode && showPressed_)
        state = 0;
    DrawCaptionAndPicture(face, caption, state == 2);
    EdgeColours c = NoEdges();
    std::int64_t innerLT, innerRB, middleLT, middleRB;
    if (state == 2) {
        const gdi::Colour g = gradientMode_ != 0 ? face : Grey;
        innerLT = ShadeColor(g, -32);
        innerRB = g;
        middleLT = ShadeColor(g, -64);
        middleRB = ShadeColor(g, -16);
    } else {
        innerLT = White;
        innerRB = face;
        middleLT = ShadeColor(face, 31, true);
        middleRB = ShadeColor(face, -64, true);
    }
    Ring(c, Inner, innerLT, innerRB);
    Ring(c, Middle, middleLT, middleRB);
    Ring(c, Outer, Black, Black);
    DrawEdges(c);
    if (buttonShape_ <= 3) {
        const int h = height();
        backDc_.SetPixelV(3, 3, gdi::Colour(innerLT));
        backDc_.SetPixelV(2, 2, gdi::Colour(middleLT));
        backDc_.SetPixelV(1, h - 3, gdi::Colour(innerRB));
        backDc_.SetPixelV(1, 1, Black);
        backDc_.SetPixelV(1, h - 2, Black);
    }
    DrawFocus(FocusColour(face, state == 2), value_ || (buttonShape_ >= 1 && buttonShape_ <= 3));
    return {true, true, Black, style_.second};
}

} // namespace multibutton
