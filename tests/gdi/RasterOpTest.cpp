// SPDX-License-Identifier: GPL-3.0-or-later
#include "GdiTestSupport.h"

#include <gtest/gtest.h>

using namespace gdi;
using gdi::test::Canvas;

namespace
{

constexpr Colour Grey(int v)
{
    return RGB(v, v, v);
}

// With pattern 0xF0, source 0xCC and destination 0xAA in every channel, each code's result is its
// own middle byte.
TEST(RasterOp, everyCodeComputesItsTruthTable)
{
    Canvas source(1, 1, Grey(0xCC));
    for (int t = 0; t < 256; ++t) {
        Canvas target(1, 1, Grey(0xAA));
        target.dc.SelectObject(Brush(Grey(0xF0)));
        ASSERT_TRUE(target.dc.BitBlt(0, 0, 1, 1, &source.dc, 0, 0, std::uint32_t(t) << 16)) << t;
        EXPECT_EQ(target.dc.GetPixel(0, 0), Grey(t)) << "truth table 0x" << std::hex << t;
    }
}

TEST(RasterOp, everyCodeWithoutSourceWorksAsPatBlt)
{
    for (int t = 0; t < 256; ++t) {
        Canvas target(2, 1, Grey(0xAA));
        target.dc.SelectObject(Brush(Grey(0xF0)));
        const bool needsSource = RopUsesSource(std::uint8_t(t));
        EXPECT_EQ(target.dc.PatBlt(0, 0, 2, 1, std::uint32_t(t) << 16), !needsSource) << t;
        if (!needsSource)
            EXPECT_EQ(target.dc.GetPixel(1, 0), Grey(t)) << "truth table 0x" << std::hex << t;
        else
            EXPECT_EQ(target.dc.GetPixel(1, 0), Grey(0xAA)) << "PatBlt must refuse source codes";
    }
}

TEST(RasterOp, namedCodesAndUsageFlags)
{
    EXPECT_EQ(RopTruthTable(SRCCOPY), 0xCC);
    EXPECT_EQ(RopTruthTable(MERGEPAINT), 0xBB);
    EXPECT_EQ(RopTruthTable(DSPDxax), 0xB8);
    EXPECT_TRUE(RopUsesSource(0xCC));
    EXPECT_FALSE(RopUsesPattern(0xCC));
    EXPECT_FALSE(RopUsesDestination(0xCC));
    EXPECT_FALSE(RopUsesSource(0xF0));
    EXPECT_TRUE(RopUsesDestination(0x55));
    EXPECT_FALSE(RopUsesSource(0x00) || RopUsesPattern(0xFF) || RopUsesDestination(0x00));
}

TEST(RasterOp, srcAndMergePaintAndGreyMaskOnColourPixels)
{
    const Colour d = RGB(0x12, 0x34, 0x56), s = RGB(0xF0, 0x0F, 0xFF);
    Canvas source(1, 1, s);

    Canvas a(1, 1, d);
    a.dc.BitBlt(0, 0, 1, 1, &source.dc, 0, 0, SRCAND);
    EXPECT_EQ(a.dc.GetPixel(0, 0), RGB(0x10, 0x04, 0x56));

    Canvas m(1, 1, d);
    m.dc.BitBlt(0, 0, 1, 1, &source.dc, 0, 0, MERGEPAINT); // D | ~S
    EXPECT_EQ(m.dc.GetPixel(0, 0), RGB(0x1F, 0xF4, 0x56));

    Canvas p(1, 1, d);
    p.dc.BitBlt(0, 0, 1, 1, &source.dc, 0, 0, SRCPAINT);
    EXPECT_EQ(p.dc.GetPixel(0, 0), RGB(0xF2, 0x3F, 0xFF));
    Canvas x(1, 1, d);
    x.dc.BitBlt(0, 0, 1, 1, &source.dc, 0, 0, SRCINVERT);
    EXPECT_EQ(x.dc.GetPixel(0, 0), RGB(0xE2, 0x3B, 0xA9));
    Canvas n(1, 1, d);
    n.dc.BitBlt(0, 0, 1, 1, &source.dc, 0, 0, NOTSRCCOPY);
    EXPECT_EQ(n.dc.GetPixel(0, 0), RGB(0x0F, 0xF0, 0x00));

    // The disabled-picture transfer: white source keeps the face, black takes the grey brush,
    // anything else mixes bit by bit: ((D ^ P) & S) ^ P.
    Canvas picture(3, 1);
    picture.Fill({0xFFFFFF, 0x000000, RGB(0x0F, 0xF0, 0x3C)});
    Canvas face(3, 1, d);
    face.dc.SelectObject(Brush(0x808080));
    face.dc.SetBkColor(0xFFFFFF);
    face.dc.BitBlt(0, 0, 3, 1, &picture.dc, 0, 0, DSPDxax);
    const Colour mixed =
        RGB(((0x12 ^ 0x80) & 0x0F) ^ 0x80, ((0x34 ^ 0x80) & 0xF0) ^ 0x80, ((0x56 ^ 0x80) & 0x3C) ^ 0x80);
    EXPECT_EQ(face.Row(0), (std::vector<Colour>{d, 0x808080, mixed}));
}

TEST(RasterOp, maskThenSpriteLeavesBackgroundUnderKeyColour)
{
    // Mask white where the sprite is transparent, sprite white there too: MERGEPAINT then SRCAND.
    const Colour back = RGB(10, 20, 30), fill = RGB(200, 100, 50);
    Canvas mask(2, 1);
    mask.Fill({0xFFFFFF, 0x000000});
    Canvas sprite(2, 1);
    sprite.Fill({0xFFFFFF, fill});
    Canvas target(2, 1, back);
    target.dc.BitBlt(0, 0, 2, 1, &mask.dc, 0, 0, MERGEPAINT);
    target.dc.BitBlt(0, 0, 2, 1, &sprite.dc, 0, 0, SRCAND);
    EXPECT_EQ(target.Row(0), (std::vector<Colour>{back, fill}));
}

TEST(RasterOp, hollowBrushAndMissingSourceDrawNothing)
{
    Canvas target(2, 2, 0x123456);
    target.dc.SelectObject(Brush::Null());
    EXPECT_TRUE(target.dc.PatBlt(0, 0, 2, 2, PATCOPY));
    EXPECT_EQ(target.dc.GetPixel(1, 1), 0x123456u);
    EXPECT_FALSE(target.dc.BitBlt(0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    Dc empty; // a memory DC with nothing selected
    EXPECT_FALSE(target.dc.BitBlt(0, 0, 2, 2, &empty, 0, 0, SRCCOPY));
    EXPECT_FALSE(empty.PatBlt(0, 0, 2, 2, WHITENESS));
    EXPECT_EQ(target.dc.GetPixel(0, 0), 0x123456u);
}

TEST(RasterOp, patternBrushRepeatsFromDeviceOrigin)
{
    Bitmap pattern(2, 2, 24, 0x000000);
    pattern.Pixels().setPixel(1, 0, ToQRgb(0x0000FF));
    Canvas target(5, 3, 0xFFFFFF);
    target.dc.SelectObject(Brush::Pattern(pattern));
    target.dc.PatBlt(1, 1, 4, 2, PATCOPY);
    EXPECT_EQ(target.Row(0), (std::vector<Colour>(5, 0xFFFFFF)));
    EXPECT_EQ(target.Row(1), (std::vector<Colour>{0xFFFFFF, 0, 0, 0, 0}));
    EXPECT_EQ(target.Row(2), (std::vector<Colour>{0xFFFFFF, 0x0000FF, 0, 0x0000FF, 0}));
}

TEST(RasterOp, monochromeConversionsUseTheContextColours)
{
    // Colour to monochrome: the source's background colour becomes white, the rest black.
    Canvas colour(3, 1);
    colour.Fill({RGB(255, 0, 255), RGB(1, 2, 3), RGB(255, 0, 255)});
    colour.dc.SetBkColor(RGB(255, 0, 255));
    Canvas mono(3, 1, 0, 1);
    ASSERT_TRUE(mono.dc.IsMonochrome());
    mono.dc.BitBlt(0, 0, 3, 1, &colour.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(mono.Row(0), (std::vector<Colour>{0xFFFFFF, 0, 0xFFFFFF}));

    // Monochrome to colour: black bits take the text colour, white bits the background colour.
    Canvas target(3, 1, 0x111111);
    target.dc.SetTextColor(RGB(0, 0, 200));
    target.dc.SetBkColor(RGB(0, 200, 0));
    target.dc.BitBlt(0, 0, 3, 1, &mono.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(target.Row(0), (std::vector<Colour>{RGB(0, 200, 0), RGB(0, 0, 200), RGB(0, 200, 0)}));
}

} // namespace
