// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/skingen/FramePainter.h"

#include "tools/skingen/SkinColours.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <vector>

namespace skingen
{

namespace
{

// A rectangle of the client area in the piece's own coordinates; INT_MIN/INT_MAX leave a
// side open, so an edge's client area is a half plane.
struct Area {
    int x0 = INT_MIN, y0 = INT_MIN, x1 = INT_MAX, y1 = INT_MAX;
};

enum Side { kTop = 1, kLeft = 2, kRight = 4, kBottom = 8 };

struct Geometry {
    int outerSides = 0;
    std::vector<Area> client;
};

// Where the client area lies around each piece once the frame is assembled: the corners are
// rectangles, so where one reaches past the edges beside it the frame locally gets thicker.
Geometry GeometryOf(FramePiece piece, QSize s)
{
    const int w = s.width(), h = s.height();
    switch (piece) {
    case FramePiece::Top:
        return {kTop, {{INT_MIN, kFrameTop, INT_MAX, INT_MAX}}};
    case FramePiece::Bottom:
        return {kBottom, {{INT_MIN, INT_MIN, INT_MAX, h - kFrameBottom - 1}}};
    case FramePiece::Left:
        return {kLeft, {{kFrameLeft, INT_MIN, INT_MAX, INT_MAX}}};
    case FramePiece::Right:
        return {kRight, {{INT_MIN, INT_MIN, w - kFrameRight - 1, INT_MAX}}};
    case FramePiece::TopLeft:
        return {kTop | kLeft, {{kFrameLeft, h, INT_MAX, INT_MAX}, {w, kFrameTop, INT_MAX, INT_MAX}}};
    case FramePiece::TopRight:
        return {kTop | kRight,
                {{INT_MIN, h, w - kFrameRight - 1, INT_MAX}, {INT_MIN, kFrameTop, -1, INT_MAX}}};
    case FramePiece::BottomLeft:
        return {kBottom | kLeft,
                {{kFrameLeft, INT_MIN, INT_MAX, -1}, {w, INT_MIN, INT_MAX, h - kFrameBottom - 1}}};
    case FramePiece::BottomRight:
        return {kBottom | kRight,
                {{INT_MIN, INT_MIN, w - kFrameRight - 1, -1}, {INT_MIN, INT_MIN, -1, h - kFrameBottom - 1}}};
    }
    return {};
}

long long Gap(int p, int lo, int hi)
{
    if (p < lo)
        return static_cast<long long>(lo) - p;
    if (p > hi)
        return static_cast<long long>(p) - hi;
    return 0;
}

// Rings of pixels around the client area: 0 touches it. Chessboard distance, so the
// pinstripe turns square corners where the frame steps.
int InnerDistance(const Geometry &g, int x, int y)
{
    long long best = LLONG_MAX;
    for (const Area &a : g.client) {
        best = std::min(best, std::max(Gap(x, a.x0, a.x1), Gap(y, a.y0, a.y1)));
    }
    return static_cast<int>(std::min<long long>(best - 1, 1000));
}

// Distance to the window's outer border and whether that border faces the light (top, left).
std::pair<int, bool> OuterDistance(const Geometry &g, QSize s, int x, int y)
{
    int best = INT_MAX;
    bool lit = true;
    auto consider = [&](int side, int distance, bool sideLit) {
        if ((g.outerSides & side) && (distance < best || (distance == best && sideLit))) {
            best = distance;
            lit = sideLit;
        }
    };
    consider(kTop, y, true);
    consider(kLeft, x, true);
    consider(kRight, s.width() - 1 - x, false);
    consider(kBottom, s.height() - 1 - y, false);
    return {best, lit};
}

// The brushed body: a gradient from the outer border to the pinstripe with a soft sheen near
// the outside, and fibres that run along the frame (a function of the outer distance only,
// so edges stay uniform along their length and corners turn the fibres with them).
QColor Body(int e, int d)
{
    const double span = std::max(1, (e - 2) + (d - 4));
    const double t = std::clamp((e - 2) / span, 0.0, 1.0);
    QColor c = Mix(colours::FrameBodyOuter(), colours::FrameBodyInner(), SmoothStep(t));
    const double sheen = std::exp(-std::pow((t - 0.18) / 0.16, 2.0)) * 0.16;
    c = Shade(c, sheen);
    return Shade(c, 0.045 * Noise(e, 0, 71));
}

QColor FrameColour(int e, bool lit, int d)
{
    switch (d) {
    case 0:
        return colours::FrameOutline();
    case 1:
        return colours::FrameGroove();
    case 2:
        return colours::FramePinstripe();
    case 3:
        return Shade(colours::FrameGroove(), 0.12);
    default:
        break;
    }
    if (e == 0)
        return colours::FrameOutline();
    if (e == 1)
        return lit ? colours::FrameHighlight() : colours::FrameShadow();
    return Body(e, d);
}

// A domed screw head with a slot, sitting in the frame's body.
void Rivet(QPainter &p, QPointF centre, double radius)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(centre + QPointF(0.6, 0.8), radius, radius);
    QRadialGradient dome(centre - QPointF(radius * 0.35, radius * 0.4), radius * 1.6);
    dome.setColorAt(0, Shade(colours::Amber(), 0.55));
    dome.setColorAt(0.5, Shade(colours::Amber(), -0.25));
    dome.setColorAt(1, Shade(colours::Amber(), -0.65));
    p.setBrush(dome);
    p.setPen(QPen(colours::FrameOutline(), 0.8));
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(Shade(colours::Amber(), -0.7), 1.0));
    p.drawLine(centre + QPointF(-radius * 0.55, radius * 0.55),
               centre + QPointF(radius * 0.55, -radius * 0.55));
}

// Diagonal ridges of a resize grip, in the bottom-right corner's body.
void Grip(QPainter &p, QSize s)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    const int right = s.width() - 3;
    const int bottom = s.height() - 3;
    for (int k = 0; k < 3; ++k) {
        const int reach = 4 + 3 * k;
        p.setPen(colours::FrameHighlight());
        p.drawLine(right - reach + 1, bottom, right, bottom - reach + 1);
        p.setPen(colours::FrameShadow());
        p.drawLine(right - reach + 2, bottom, right, bottom - reach + 2);
    }
}

// The studio's badge in the top-left corner: an amber disc with sound waves.
void Badge(QPainter &p, QPointF centre, double radius)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawEllipse(centre + QPointF(0.7, 1.0), radius + 1, radius + 1);
    p.setBrush(colours::FrameOutline());
    p.drawEllipse(centre, radius + 1, radius + 1);
    QRadialGradient face(centre - QPointF(radius * 0.4, radius * 0.5), radius * 1.8);
    face.setColorAt(0, Shade(colours::Amber(), 0.45));
    face.setColorAt(0.55, colours::Amber());
    face.setColorAt(1, Shade(colours::Amber(), -0.45));
    p.setBrush(face);
    p.drawEllipse(centre, radius, radius);
    const QColor ink = Shade(colours::Brick(), -0.55);
    p.setBrush(ink);
    p.drawEllipse(centre + QPointF(-radius * 0.42, 0), radius * 0.2, radius * 0.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, 1.1, Qt::SolidLine, Qt::RoundCap));
    for (int k = 1; k <= 2; ++k) {
        const double r = radius * (0.3 + 0.3 * k);
        const QPointF c = centre + QPointF(-radius * 0.42, 0);
        p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 80));
    p.drawEllipse(QRectF(centre.x() - radius * 0.6, centre.y() - radius * 0.85, radius * 1.1, radius * 0.6));
}

} // namespace

QImage PaintFramePiece(FramePiece piece, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    const Geometry g = GeometryOf(piece, size);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const auto [e, lit] = OuterDistance(g, size, x, y);
            line[x] = FrameColour(e, lit, InnerDistance(g, x, y)).rgb();
        }
    }
    QPainter p(&img);
    switch (piece) {
    case FramePiece::TopLeft:
        Badge(p, QPointF(12.5, 12.5), 7.5);
        Rivet(p, QPointF(size.width() - 11.5, 30.5), 2.6);
        Rivet(p, QPointF(11.5, 30.5), 2.6);
        break;
    case FramePiece::BottomLeft:
        Rivet(p, QPointF(10.5, size.height() - 9.5), 2.6);
        break;
    case FramePiece::BottomRight:
        Grip(p, size);
        break;
    default:
        break;
    }
    return img;
}

QImage PaintBackground(QSize size)
{
    const int w = size.width(), h = size.height();
    // Whole periods across the tile in both directions, so the texture wraps without a seam.
    struct Wave {
        int kx, ky;
        double amplitude, phase;
    };
    const Wave waves[] = {{1, 0, 1.3, 0.4}, {0, 1, 1.1, 2.1},  {1, 1, 1.0, 4.0},  {2, -1, 0.8, 1.3},
                          {3, 2, 0.6, 5.2}, {-2, 3, 0.6, 0.7}, {5, 1, 0.35, 2.9}, {1, 6, 0.35, 3.6}};
    QImage img(size, QImage::Format_RGB32);
    const QColor base = colours::Window();
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            double v = 0;
            for (const Wave &wave : waves) {
                v += wave.amplitude *
                     std::cos(2 * std::numbers::pi * (wave.kx * double(x) / w + wave.ky * double(y) / h) +
                              wave.phase);
            }
            // Fine grain and a faint woven texture: rows every 2 pixels (56 is even), columns
            // every 3 (57 = 3 x 19).
            v = 0.45 * v + 1.3 * Noise(x, y, 5);
            v += (y % 2 == 0 ? 0.6 : -0.6) + (x % 3 == 0 ? 0.7 : -0.35);
            const int level = std::clamp(base.red() + static_cast<int>(std::lround(v * 1.4)), 0, 255);
            line[x] = qRgb(level, std::clamp(level + 1, 0, 255), level);
        }
    }
    return img;
}

} // namespace skingen
