// SPDX-License-Identifier: GPL-3.0-or-later
#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <QPixmap>
#include <cmath>

using namespace gdi;
using gdi::test::Canvas;

namespace
{

using Row = std::vector<Colour>;
constexpr Colour W = 0xFFFFFF, K = 0x000000, R = 0x0000FF;

// Bounding box of the pixels that differ from `back`.
QRect Inked(const Canvas &c, Colour back)
{
    QRect box;
    for (int y = 0; y < c.bitmap.Height(); ++y)
        for (int x = 0; x < c.bitmap.Width(); ++x)
            if (c.dc.GetPixel(x, y) != back)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(Colour, systemColoursComeFromThePaletteThroughOneTable)
{
    const QPalette palette = QGuiApplication::palette();
    EXPECT_EQ(TranslateColour(0x8000000F), FromQColor(palette.color(QPalette::Active, QPalette::Button)));
    EXPECT_EQ(TranslateColour(0x80000012), FromQColor(palette.color(QPalette::Active, QPalette::ButtonText)));
    EXPECT_EQ(TranslateColour(0x80000000 | COLOR_3DDKSHADOW), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(TranslateColour(RGB(1, 2, 3)), RGB(1, 2, 3));
    bool ok = false;
    EXPECT_EQ(TranslateColour(0x12345678, &ok), 0x345678u); // a plain colour drops its top byte
    EXPECT_TRUE(ok);
    EXPECT_EQ(TranslateColour(0x80000019, &ok), 0u); // 25 names no colour
    EXPECT_FALSE(ok);
    EXPECT_EQ(TranslateColour(0x80000100, &ok), 0u);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ToQColor(RGB(0x11, 0x22, 0x33)), QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(FromQColor(QColor(0x11, 0x22, 0x33)), 0x332211u);
}

TEST(Drawing, contextDefaultsAndSelectionReturnsThePrevious)
{
    Canvas c(2, 2);
    Bitmap other(3, 3);
    EXPECT_EQ(c.dc.SelectObject(&other), &c.bitmap);
    EXPECT_EQ(c.dc.SelectObject(&c.bitmap), &other);
    const Pen old = c.dc.SelectObject(Pen(PS_DOT, 1, R));
    EXPECT_EQ(old.Style(), PS_SOLID);
    EXPECT_EQ(old.Color(), K);
    EXPECT_EQ(c.dc.SelectObject(old).Style(), PS_DOT);
    EXPECT_EQ(c.dc.SelectObject(Brush::Null()).Color(), W); // white brush by default
    EXPECT_EQ(c.dc.SetTextColor(R), K);
    EXPECT_EQ(c.dc.SetBkColor(R), W);
    EXPECT_EQ(c.dc.SetBkMode(TRANSPARENT), OPAQUE);
    EXPECT_EQ(c.dc.SetBkMode(7), 0);
    Dc empty;
    EXPECT_EQ(empty.GetPixel(0, 0), CLR_INVALID);
    EXPECT_FALSE(empty.SetPixelV(0, 0, R));
    EXPECT_EQ(c.dc.GetPixel(2, 0), CLR_INVALID);
    EXPECT_EQ(c.dc.GetPixel(-1, 0), CLR_INVALID);
}

TEST(Drawing, linesLeaveOutTheirEndPoint)
{
    Canvas c(6, 3, W);
    c.dc.MoveTo(0, 0);
    c.dc.LineTo(4, 0);
    EXPECT_EQ(c.Row(0), (Row{K, K, K, K, W, W}));
    EXPECT_EQ(c.dc.CurrentPosition(), QPoint(4, 0));
    // A polyline leaves out only its final point.
    const QPoint corner[] = {{5, 0}, {5, 2}, {2, 2}};
    c.dc.SelectObject(Pen(PS_SOLID, 1, R));
    c.dc.Polyline(corner);
    EXPECT_EQ(c.Row(2), (Row{W, W, W, R, R, R}));
    EXPECT_EQ(c.dc.GetPixel(5, 0), R);
    // A null pen draws nothing.
    c.dc.SelectObject(Pen(PS_NULL, 1, R));
    c.dc.MoveTo(0, 1);
    c.dc.LineTo(5, 1);
    EXPECT_EQ(c.Row(1), (Row{W, W, W, W, W, R}));
}

TEST(Drawing, dottedPenFillsGapsOnlyWhenOpaque)
{
    Canvas c(8, 2, W);
    c.dc.SelectObject(Pen(PS_DOT, 1, K));
    c.dc.SetBkColor(R);
    c.dc.SetBkMode(TRANSPARENT);
    c.dc.MoveTo(0, 0);
    c.dc.LineTo(8, 0);
    EXPECT_EQ(c.Row(0), (Row{K, K, K, W, W, W, K, K}));
    c.dc.SetBkMode(OPAQUE);
    c.dc.MoveTo(0, 1);
    c.dc.LineTo(8, 1);
    EXPECT_EQ(c.Row(1), (Row{K, K, K, R, R, R, K, K}));
}

TEST(Drawing, widePenCoversMorePixels)
{
    Canvas c(10, 10, W);
    c.dc.SelectObject(Pen(PS_SOLID, 3, K));
    c.dc.MoveTo(1, 5);
    c.dc.LineTo(8, 5);
    EXPECT_EQ(c.dc.GetPixel(4, 4), K);
    EXPECT_EQ(c.dc.GetPixel(4, 6), K);
    EXPECT_EQ(c.dc.GetPixel(4, 2), W);
}

TEST(Drawing, rectanglesAndFrames)
{
    Canvas c(5, 4, K);
    c.dc.SelectObject(Brush(R));
    c.dc.Rectangle(0, 0, 5, 4); // black pen border inside the rectangle, red inside
    EXPECT_EQ(c.Row(0), (Row{K, K, K, K, K}));
    EXPECT_EQ(c.Row(1), (Row{K, R, R, R, K}));

    Canvas f(5, 4, K);
    f.dc.FrameRect({0, 0, 5, 4}, Brush(W));
    EXPECT_EQ(f.Row(1), (Row{W, K, K, K, W}));
    EXPECT_EQ(f.Row(3), (Row{W, W, W, W, W}));

    Canvas g(6, 6, K);
    g.dc.FrameRgn(CreateRectRgn(1, 1, 5, 5), Brush(W), 1, 1);
    EXPECT_EQ(g.Row(1), (Row{K, W, W, W, W, K}));
    EXPECT_EQ(g.Row(2), (Row{K, W, K, K, W, K}));
    EXPECT_EQ(g.Row(5), (Row(6, K)));

    Canvas h(6, 6, K);
    h.dc.FrameRgn(CreateRectRgn(0, 0, 6, 6), Brush(W), 2, 1); // 2 wide at the sides, 1 high
    EXPECT_EQ(h.Row(0), (Row(6, W)));
    EXPECT_EQ(h.Row(3), (Row{W, W, K, K, W, W}));

    Canvas e(12, 12, W);
    e.dc.SelectObject(Brush(R));
    e.dc.Ellipse(1, 1, 11, 11); // spans 1..10
    EXPECT_EQ(Inked(e, W), QRect(1, 1, 10, 10));
    EXPECT_EQ(e.dc.GetPixel(6, 6), R);
    EXPECT_EQ(e.dc.GetPixel(1, 6), K);
}

TEST(Drawing, focusRectangleTwiceRestoresThePixels)
{
    Canvas c(7, 5, RGB(10, 200, 30));
    const std::vector<Colour> before = c.Pixels();
    c.dc.DrawFocusRect({1, 1, 6, 5});
    EXPECT_EQ(c.dc.GetPixel(1, 1), RGB(10, 200, 30) ^ 0xFFFFFF); // dotted: every other pixel
    EXPECT_EQ(c.dc.GetPixel(2, 1), RGB(10, 200, 30));
    EXPECT_EQ(c.dc.GetPixel(3, 3), RGB(10, 200, 30)); // inside untouched
    c.dc.DrawFocusRect({1, 1, 6, 5});
    EXPECT_EQ(c.Pixels(), before);
}

TEST(Drawing, fillRegionClipsToTheRegionAndTheContextClip)
{
    Canvas c(6, 1, K);
    const Region clip = CreateRectRgn(0, 0, 3, 1);
    c.dc.SelectClipRgn(&clip);
    c.dc.FillRgn(CreateRectRgn(1, 0, 6, 1), Brush(W));
    c.dc.SelectClipRgn(nullptr);
    EXPECT_EQ(c.Row(0), (Row{K, W, W, K, K, K}));
    c.dc.InvertRgn(CreateRectRgn(0, 0, 2, 1));
    EXPECT_EQ(c.Row(0), (Row{W, K, W, K, K, K}));
}

TEST(DrawText, calcRectMeasuresWithoutDrawing)
{
    Canvas c(200, 100, W);
    const QSize extent = c.dc.GetTextExtent(QStringLiteral("File"));
    Rect r{10, 20, 10, 20};
    const int height = c.dc.DrawText(QStringLiteral("&File"), &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(height, extent.height());
    EXPECT_EQ(r, (Rect{10, 20, 10 + extent.width(), 20 + extent.height()}));
    EXPECT_EQ(Inked(c, W), QRect());

    Rect amp{0, 0, 0, 0};
    c.dc.DrawText(QStringLiteral("A&&B"), &amp, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(amp.Width(), c.dc.GetTextExtent(QStringLiteral("A&B")).width());
    Rect raw{0, 0, 0, 0};
    c.dc.DrawText(QStringLiteral("A&&B"), &raw, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(raw.Width(), c.dc.GetTextExtent(QStringLiteral("A&&B")).width());

    Rect lines{0, 0, 0, 0};
    EXPECT_EQ(c.dc.DrawText(QStringLiteral("one\r\ntwo\nthree"), &lines, DT_CALCRECT), 3 * extent.height());
    EXPECT_EQ(lines.Width(), c.dc.GetTextExtent(QStringLiteral("three")).width());
}

TEST(DrawText, wordBreakWrapsBetweenWords)
{
    Canvas c(300, 200, W);
    const int lineHeight = c.dc.GetTextExtent(QStringLiteral("x")).height();
    const int width = c.dc.GetTextExtent(QStringLiteral("Speak the text")).width() + 2;
    Rect r{0, 0, width, 0};
    const int h =
        c.dc.DrawText(QStringLiteral("Speak the text aloud now please"), &r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_GE(h, 2 * lineHeight);
    EXPECT_LE(h, 3 * lineHeight);
    EXPECT_LE(r.Width(), width);
    EXPECT_EQ(r.bottom, h);

    // A single word wider than the box stays whole and widens the measured rectangle.
    Rect narrow{0, 0, 5, 0};
    EXPECT_EQ(c.dc.DrawText(QStringLiteral("Recording"), &narrow, DT_CALCRECT | DT_WORDBREAK), lineHeight);
    EXPECT_EQ(narrow.Width(), c.dc.GetTextExtent(QStringLiteral("Recording")).width());
    // Without word break the text stays on one line.
    Rect one{0, 0, width, 0};
    EXPECT_EQ(c.dc.DrawText(QStringLiteral("Speak the text aloud now please"), &one, DT_CALCRECT),
              lineHeight);
}

TEST(DrawText, alignmentPlacesTheInk)
{
    for (unsigned align : {unsigned(DT_LEFT), unsigned(DT_CENTER), unsigned(DT_RIGHT)}) {
        Canvas c(200, 40, W);
        c.dc.SetBkMode(TRANSPARENT);
        Rect r{0, 0, 200, 40};
        c.dc.DrawText(QStringLiteral("STOP"), &r, align | DT_SINGLELINE | DT_VCENTER);
        const QRect ink = Inked(c, W);
        ASSERT_FALSE(ink.isEmpty());
        const int centre = ink.center().x();
        if (align == DT_LEFT)
            EXPECT_LT(centre, 50);
        else if (align == DT_CENTER)
            EXPECT_NEAR(centre, 100, 10);
        else
            EXPECT_GT(centre, 150);
        EXPECT_NEAR(ink.center().y(), 20, 6);
    }
    // Text is clipped to the rectangle unless DT_NOCLIP.
    Canvas clipped(100, 30, W);
    Rect small{0, 0, 3, 30};
    clipped.dc.DrawText(QStringLiteral("WWWW"), &small, DT_SINGLELINE);
    EXPECT_LE(Inked(clipped, W).right(), 2);
}

TEST(DrawText, prefixUnderlinesTheMarkedLetter)
{
    Canvas with(80, 30, W), without(80, 30, W);
    Rect r1{0, 0, 80, 30}, r2{0, 0, 80, 30};
    with.dc.DrawText(QStringLiteral("&Exit"), &r1, DT_SINGLELINE);
    without.dc.DrawText(QStringLiteral("Exit"), &r2, DT_SINGLELINE);
    EXPECT_GT(Inked(with, W).bottom(), Inked(without, W).bottom());
}

TEST(DrawIconEx, blendsByAlphaAndScales)
{
    QImage icon(2, 2, QImage::Format_ARGB32);
    icon.fill(qRgba(255, 0, 0, 255));
    icon.setPixel(1, 1, qRgba(0, 0, 0, 0));
    Canvas c(6, 6, RGB(0, 0, 255));
    ASSERT_TRUE(c.dc.DrawIconEx(1, 1, QIcon(QPixmap::fromImage(icon)), 4, 4));
    EXPECT_EQ(c.dc.GetPixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(c.dc.GetPixel(4, 4), RGB(0, 0, 255)); // the transparent quarter, scaled up
    EXPECT_EQ(c.dc.GetPixel(0, 0), RGB(0, 0, 255));
    EXPECT_FALSE(c.dc.DrawIconEx(0, 0, QIcon(), 4, 4));
}

} // namespace

namespace
{

TEST(Drawing, arcRunsCounterClockwiseFromStartToEnd)
{
    // From three o'clock to twelve o'clock: the top-right quarter only.
    Canvas c(21, 21, W);
    ASSERT_TRUE(c.dc.Arc(0, 0, 21, 21, 20, 10, 10, 0));
    const QRect ink = Inked(c, W);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 9);
    EXPECT_LE(ink.bottom(), 11);
    EXPECT_GE(ink.right(), 19);
    EXPECT_LE(ink.top(), 1);
    // Every inked pixel lies near the circle.
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x)
            if (c.dc.GetPixel(x, y) != W) {
                const double r = std::hypot(x + 0.5 - 10.5, y + 0.5 - 10.5);
                EXPECT_NEAR(r, 10, 1.5) << x << "," << y;
            }
    // The other way round covers the remaining three quarters.
    Canvas d(21, 21, W);
    d.dc.Arc(0, 0, 21, 21, 10, 0, 20, 10);
    EXPECT_EQ(Inked(d, W).left(), 0);
    EXPECT_EQ(Inked(d, W).bottom(), 20);
}

} // namespace
