// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Region.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <numbers>
#include <vector>

using namespace gdi;

namespace
{

// Row strings of a region over a small grid: '#' inside, '.' outside.
std::vector<std::string> Picture(const Region &r, int width, int height)
{
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x)
            row += r.Contains(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

int Area(const Region &r)
{
    int n = 0;
    for (const QRect &rect : r.ToQRegion())
        n += rect.width() * rect.height();
    return n;
}

TEST(Region, rectangleExcludesRightAndBottom)
{
    const Region r = CreateRectRgn(1, 1, 4, 3);
    EXPECT_EQ(Picture(r, 5, 4), (std::vector<std::string>{".....", ".###.", ".###.", "....."}));
    EXPECT_EQ(r.Type(), SIMPLEREGION);
    EXPECT_EQ(CreateRectRgn(4, 3, 1, 1).ToQRegion(), r.ToQRegion()); // corners in any order
    EXPECT_EQ(CreateRectRgn(2, 2, 2, 9).Type(), NULLREGION);
}

TEST(Region, ellipseLosesItsRightColumnAndBottomRow)
{
    const Region r = CreateEllipticRgn(0, 0, 11, 11); // a 10 x 10 circle
    Rect box;
    EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
    EXPECT_EQ(box, (Rect{0, 0, 10, 10}));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(r.Contains(x, y), r.Contains(9 - x, y)) << x << "," << y; // symmetric
            EXPECT_EQ(r.Contains(x, y), r.Contains(y, x)) << x << "," << y;     // a true circle
        }
    EXPECT_FALSE(r.Contains(0, 0));
    EXPECT_TRUE(r.Contains(0, 5));
    EXPECT_TRUE(r.Contains(9, 4));
    EXPECT_FALSE(r.Contains(10, 5));
    // Pixel centres inside: the area is close to that of the circle.
    EXPECT_NEAR(Area(r), std::numbers::pi * 25, 6);
    EXPECT_EQ(Picture(CreateEllipticRgn(0, 0, 6, 4), 6, 4),
              (std::vector<std::string>{".###..", "#####.", ".###..", "......"}));
}

TEST(Region, roundRectangleCutsOnlyItsCorners)
{
    const Region r = CreateRoundRectRgn(0, 0, 21, 11, 6, 6); // 20 x 10 pixels, 6 x 6 corners
    Rect box = r.Box();
    EXPECT_EQ(box, (Rect{0, 0, 20, 10}));
    EXPECT_FALSE(r.Contains(0, 0));
    EXPECT_FALSE(r.Contains(19, 9));
    EXPECT_TRUE(r.Contains(0, 5));  // straight left edge
    EXPECT_TRUE(r.Contains(10, 0)); // straight top edge
    EXPECT_TRUE(r.Contains(19, 5));
    EXPECT_TRUE(r.Contains(10, 9));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(r.Contains(x, y), r.Contains(19 - x, 9 - y)) << x << "," << y;
    // Corner ellipses below 2 pixels make a plain rectangle, still without the far edges.
    EXPECT_EQ(CreateRoundRectRgn(0, 0, 5, 5, 1, 1).ToQRegion(), CreateRectRgn(0, 0, 4, 4).ToQRegion());
    // A corner ellipse as large as the shape is an ellipse.
    EXPECT_EQ(CreateRoundRectRgn(0, 0, 11, 7, 10, 6).ToQRegion(), CreateEllipticRgn(0, 0, 11, 7).ToQRegion());
}

TEST(Region, polygonFillModes)
{
    // A pentagram: its centre is inside by winding, a hole by alternate filling.
    std::vector<QPoint> star;
    for (int i = 0; i < 5; ++i) {
        const double a = -std::numbers::pi / 2 + i * 4 * std::numbers::pi / 5;
        star.emplace_back(int(std::lround(20 + 18 * std::cos(a))), int(std::lround(20 + 18 * std::sin(a))));
    }
    const Region winding = CreatePolygonRgn(star, WINDING);
    const Region alternate = CreatePolygonRgn(star, ALTERNATE);
    EXPECT_TRUE(winding.Contains(20, 20));
    EXPECT_FALSE(alternate.Contains(20, 20));
    EXPECT_TRUE(alternate.Contains(20, 6)); // a point of the star
    EXPECT_GT(Area(winding), Area(alternate));

    const QPoint triangle[] = {{0, 0}, {4, 0}, {0, 4}};
    EXPECT_EQ(Picture(CreatePolygonRgn(triangle, WINDING), 5, 5),
              (std::vector<std::string>{"####.", "###..", "##...", "#....", "....."}));
    const QPoint line[] = {{0, 0}, {4, 4}};
    EXPECT_EQ(CreatePolygonRgn(line, WINDING).Type(), NULLREGION);
}

TEST(Region, combineReturnsTheResultType)
{
    const Region a = CreateRectRgn(0, 0, 4, 4);
    const Region b = CreateRectRgn(2, 2, 6, 6);
    Region out;
    EXPECT_EQ(CombineRgn(out, a, b, RGN_AND), SIMPLEREGION);
    EXPECT_EQ(out.Box(), (Rect{2, 2, 4, 4}));
    EXPECT_EQ(CombineRgn(out, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(Area(out), 28);
    EXPECT_EQ(CombineRgn(out, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_EQ(Area(out), 24);
    EXPECT_FALSE(out.Contains(3, 3));
    EXPECT_EQ(CombineRgn(out, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_EQ(Area(out), 12);
    EXPECT_TRUE(out.Contains(1, 3));
    EXPECT_FALSE(out.Contains(2, 2));
    EXPECT_EQ(CombineRgn(out, a, b, RGN_COPY), SIMPLEREGION);
    EXPECT_EQ(out, a);
    EXPECT_EQ(CombineRgn(out, a, CreateRectRgn(10, 10, 12, 12), RGN_AND), NULLREGION);
    EXPECT_EQ(CombineRgn(out, a, a, RGN_DIFF), NULLREGION);
    Region kept = a;
    EXPECT_EQ(CombineRgn(kept, b, b, 99), RGN_ERROR);
    EXPECT_EQ(kept, a);

    // Destination may be one of the operands: the bevel band is outer XOR inner in place.
    Region band = CreateEllipticRgn(0, 0, 21, 21);
    EXPECT_EQ(CombineRgn(band, band, CreateEllipticRgn(3, 3, 18, 18), RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(band.Contains(10, 10));
    EXPECT_TRUE(band.Contains(10, 0));
}

TEST(Region, cornerTrimsOffsetAndMask)
{
    // A rectangle with its corner pixels removed, as the flat buttons trim themselves.
    Region r = CreateRectRgn(0, 0, 5, 4);
    for (const QPoint &p : {QPoint(0, 0), QPoint(0, 3), QPoint(4, 3), QPoint(4, 0)})
        CombineRgn(r, r, CreateRectRgn(p.x(), p.y(), p.x() + 1, p.y() + 1), RGN_DIFF);
    EXPECT_EQ(Picture(r, 5, 4), (std::vector<std::string>{".###.", "#####", "#####", ".###."}));

    EXPECT_EQ(OffsetRgn(r, 2, -1), COMPLEXREGION);
    EXPECT_EQ(r.Box(), (Rect{2, -1, 7, 3}));
    EXPECT_TRUE(PtInRegion(r, 2, 0));
    EXPECT_FALSE(PtInRegion(r, 2, -1));

    const QImage mask = r.ToMask(QSize(8, 4)).toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(qGray(mask.pixel(x, y)) < 128, r.Contains(x, y)) << x << "," << y;
}

} // namespace
