// SPDX-License-Identifier: GPL-3.0-or-later
#include "GdiTestSupport.h"

#include <gtest/gtest.h>

using namespace gdi;
using gdi::test::Canvas;

namespace
{

using Row = std::vector<Colour>;
constexpr Colour A = 0x0000F1, B = 0x00F200, C = 0xF30000, D = 0x0F0F0F, Z = 0x777777;

TEST(StretchBlt, negativeDestinationWidthMirrorsAroundItsOrigin)
{
    Canvas src{A, B, C, D};
    Canvas dst(6, 1, Z);
    // Width -4 from x = 4 covers pixels 1..4, first source pixel landing on x = 4.
    ASSERT_TRUE(dst.dc.StretchBlt(4, 0, -4, 1, &src.dc, 0, 0, 4, 1, SRCCOPY));
    EXPECT_EQ(dst.Row(0), (Row{Z, D, C, B, A, Z}));
}

TEST(StretchBlt, negativeSourceWidthMirrorsAndBothNegativeDoesNot)
{
    Canvas src{A, B, C, D};
    Canvas one(4, 1, Z);
    one.dc.StretchBlt(0, 0, 4, 1, &src.dc, 3, 0, -4, 1, SRCCOPY);
    EXPECT_EQ(one.Row(0), (Row{D, C, B, A}));
    Canvas both(4, 1, Z);
    both.dc.StretchBlt(3, 0, -4, 1, &src.dc, 3, 0, -4, 1, SRCCOPY);
    EXPECT_EQ(both.Row(0), (Row{A, B, C, D}));
}

TEST(StretchBlt, negativeHeightDrawsUpwardsMirrored)
{
    // The vertical progress fill: from a base line upwards, the strip upside down.
    Canvas src(1, 3);
    src.Fill({A, B, C});
    Canvas dst(1, 5, Z);
    dst.dc.StretchBlt(0, 3, 1, -3, &src.dc, 0, 0, 1, 3, SRCCOPY);
    EXPECT_EQ(dst.Pixels(), (Row{Z, C, B, A, Z}));
    // Raster operations other than a copy mirror the same way.
    Canvas mask(1, 3, 0xFFFFFF);
    mask.dc.SetPixelV(0, 0, 0x000000);
    Canvas target(1, 5, 0x000000);
    target.dc.StretchBlt(0, 3, 1, -3, &mask.dc, 0, 0, 1, 3, MERGEPAINT);
    EXPECT_EQ(target.Pixels(), (Row{0, 0, 0, 0xFFFFFF, 0}));
}

TEST(StretchBlt, enlargingRepeatsNearestPixels)
{
    Canvas src{A, B};
    Canvas dst(5, 1, Z);
    dst.dc.StretchBlt(0, 0, 4, 1, &src.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dst.Row(0), (Row{A, A, B, B, Z}));
    Canvas wide(3, 1, Z);
    Canvas single{C};
    wide.dc.StretchBlt(0, 0, 3, 1, &single.dc, 0, 0, 1, 1, SRCCOPY);
    EXPECT_EQ(wide.Row(0), (Row{C, C, C}));
}

TEST(StretchBlt, shrinkingFollowsTheStretchMode)
{
    const Colour p = RGB(0xF0, 0x0F, 0x80), q = RGB(0x3C, 0xFF, 0x01), r = RGB(0x10, 0x20, 0x30),
                 s = RGB(0x50, 0x60, 0x70);
    Canvas src{p, q, r, s};
    auto shrink = [&](int mode) {
        Canvas dst(2, 1, Z);
        dst.dc.SetStretchBltMode(mode);
        dst.dc.StretchBlt(0, 0, 2, 1, &src.dc, 0, 0, 4, 1, SRCCOPY);
        return dst.Row(0);
    };
    // The default keeps the old platform's BLACKONWHITE: eliminated pixels are ANDed in.
    EXPECT_EQ(shrink(BLACKONWHITE), (Row{p & q, r & s}));
    EXPECT_EQ(shrink(WHITEONBLACK), (Row{p | q, r | s}));
    EXPECT_EQ(shrink(COLORONCOLOR), (Row{q, s}));
    EXPECT_EQ(shrink(HALFTONE), (Row{RGB(0x96, 0x87, 0x41), RGB(0x30, 0x40, 0x50)}));
    Canvas defaulted(2, 1, Z);
    defaulted.dc.StretchBlt(0, 0, 2, 1, &src.dc, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(defaulted.Row(0), shrink(BLACKONWHITE));
}

TEST(StretchBlt, shrinkingMirroredCombinesTheSameGroups)
{
    Canvas src{A, B, C, D};
    Canvas dst(2, 1, Z);
    dst.dc.SetStretchBltMode(COLORONCOLOR);
    dst.dc.StretchBlt(1, 0, -2, 1, &src.dc, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(dst.Row(0), (Row{D, B}));
}

TEST(BitBlt, sourceOutsideItsBitmapLeavesDestinationUntouched)
{
    Canvas src{A, B};
    Canvas dst(4, 1, Z);
    dst.dc.BitBlt(0, 0, 4, 1, &src.dc, -1, 0, SRCCOPY);
    EXPECT_EQ(dst.Row(0), (Row{Z, A, B, Z}));
}

TEST(BitBlt, clipsToTheSurfaceAndTheClipRegion)
{
    Canvas src(3, 3, A);
    Canvas dst(3, 3, Z);
    const Region clip = CreateRectRgn(1, 1, 3, 2);
    dst.dc.SelectClipRgn(&clip);
    dst.dc.BitBlt(-5, -5, 20, 20, &src.dc, -5, -5, SRCCOPY);
    EXPECT_EQ(dst.dc.GetPixel(0, 0), CLR_INVALID); // outside the clip reads as invalid
    EXPECT_EQ(dst.dc.GetPixel(1, 1), A);
    dst.dc.SelectClipRgn(nullptr);
    EXPECT_EQ(dst.Pixels(), (Row{Z, Z, Z, Z, A, A, Z, Z, Z}));
}

TEST(BitBlt, overlappingCopiesWithinOneSurfaceDoNotSmear)
{
    Canvas right(8, 1);
    right.Fill({0, 1, 2, 3, 4, 5, 6, 7});
    right.dc.BitBlt(2, 0, 6, 1, &right.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(right.Row(0), (Row{0, 1, 0, 1, 2, 3, 4, 5}));

    Canvas left(8, 1);
    left.Fill({0, 1, 2, 3, 4, 5, 6, 7});
    left.dc.BitBlt(0, 0, 6, 1, &left.dc, 2, 0, SRCCOPY);
    EXPECT_EQ(left.Row(0), (Row{2, 3, 4, 5, 6, 7, 6, 7}));

    Canvas down(1, 5);
    down.Fill({0, 1, 2, 3, 4});
    down.dc.BitBlt(0, 1, 1, 4, &down.dc, 0, 0, SRCINVERT); // a non-copy code takes the same care
    EXPECT_EQ(down.Pixels(), (Row{0, 1 ^ 0, 2 ^ 1, 3 ^ 2, 4 ^ 3}));

    Canvas mirrored(4, 1);
    mirrored.Fill({A, B, C, D});
    mirrored.dc.StretchBlt(3, 0, -4, 1, &mirrored.dc, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(mirrored.Row(0), (Row{D, C, B, A}));
}

TEST(BitBlt, surfaceContextReportsWhatChanged)
{
    QImage surface(4, 4, QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::white);
    QRect changed;
    Dc dc(&surface, [&](const QRect &r) { changed |= r; });
    EXPECT_EQ(dc.SelectObject(static_cast<Bitmap *>(nullptr)), nullptr); // surfaces take no bitmap
    dc.SelectObject(Brush(RGB(255, 0, 0)));
    dc.PatBlt(1, 1, 2, 5, PATCOPY);
    EXPECT_EQ(changed, QRect(1, 1, 2, 3));
    EXPECT_EQ(surface.pixel(2, 3), 0xFFFF0000u);
    EXPECT_EQ(dc.GetPixel(2, 3), RGB(255, 0, 0));
}

TEST(Bitmap, descriptionKeepsDepthAndWordAlignedRows)
{
    const BITMAP tile = Bitmap(57, 56, 24).Description();
    EXPECT_EQ(tile.bmType, 0);
    EXPECT_EQ(tile.bmWidth, 57);
    EXPECT_EQ(tile.bmHeight, 56);
    EXPECT_EQ(tile.bmWidthBytes, 172); // 171 bytes rounded up to a whole word
    EXPECT_EQ(tile.bmPlanes, 1);
    EXPECT_EQ(tile.bmBitsPixel, 24);
    EXPECT_EQ(tile.bmBits, 0u);

    QImage indexed(5, 3, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0)});
    indexed.fill(1);
    const Bitmap eight(indexed);
    EXPECT_EQ(eight.Description().bmBitsPixel, 8);
    EXPECT_EQ(eight.Description().bmWidthBytes, 6);
    Bitmap copy = eight;
    Dc dc;
    dc.SelectObject(&copy);
    EXPECT_EQ(dc.GetPixel(4, 2), RGB(255, 0, 0)); // indexed pixels read as colours

    EXPECT_EQ(Bitmap(10, 1, 1).Description().bmWidthBytes, 2);
    EXPECT_EQ(Bitmap(QImage(3, 3, QImage::Format_ARGB32)).Description().bmBitsPixel, 32);
    EXPECT_EQ(Bitmap().Description().bmWidth, 0);
    EXPECT_EQ(Bitmap().Description().bmPlanes, 0);
}

} // namespace

namespace
{

TEST(StretchBlt, hugeExtentsOnlyCostTheVisiblePart)
{
    Canvas src{A, B};
    Canvas dst(3, 1, Z);
    // Two source pixels stretched a hundred million times: the three visible pixels show A.
    EXPECT_TRUE(dst.dc.StretchBlt(-1000, 0, 200000000, 1, &src.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.Row(0), (Row{A, A, A}));
    EXPECT_FALSE(dst.dc.StretchBlt(0, 0, INT32_MAX, 1, &src.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_TRUE(
        dst.dc.StretchBlt(0, 0, 3, 1, &src.dc, 0, 0, 100000000, 1, SRCCOPY)); // source outside: untouched
    EXPECT_EQ(dst.Row(0), (Row{A, A, A}));
}

} // namespace
