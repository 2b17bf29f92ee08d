// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/skingen/TrackPainter.h"

#include "tools/skingen/SkinColours.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace skingen
{

QColor ChannelProfile(int i, int n)
{
    if (i == 0 || i == n - 1) {
        return colours::ChannelDark(); // rim
    }
    if (i == 1) {
        return Shade(colours::ChannelDark(), -0.25); // the lip's shadow falls inside
    }
    if (i == n - 2) {
        return Shade(colours::ChannelMid(), 0.22); // light catching the lower inner edge
    }
    const double t = double(i - 2) / std::max(1, n - 5);
    QColor c = Mix(Shade(colours::ChannelDark(), 0.04), colours::ChannelMid(), t);
    // A hairline groove along the middle where thumb and fill ride.
    if (i == n / 2 - 1) {
        c = Shade(c, -0.25);
    } else if (i == n / 2) {
        c = Shade(c, 0.06);
    }
    return c;
}

QImage Transposed(const QImage &image)
{
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    QImage out(src.height(), src.width(), QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y) {
        for (int x = 0; x < src.width(); ++x) {
            out.setPixel(y, x, src.pixel(x, y));
        }
    }
    return out;
}

namespace
{

QImage HorizontalChannel(QSize size, TrackEnd end, bool ticks)
{
    QImage img(size, QImage::Format_RGB32);
    const int n = size.height();
    for (int y = 0; y < n; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        std::fill(line, line + size.width(), ChannelProfile(y, n).rgb());
    }
    if (ticks) {
        QPainter p(&img);
        const int x = size.width() - 1;
        p.setPen(Shade(colours::ChannelMid(), -0.18));
        p.drawLine(x, 3, x, n - 4);
    }
    if (end == TrackEnd::None) {
        return img;
    }
    // Round the end: outside the rounded outline the window shows, and the rim follows the curve.
    const double radius = n / 2.0 - 0.5;
    const QRectF body = end == TrackEnd::Near
                            ? QRectF(0.5, 0.5, size.width() + radius * 2, n - 1.0)
                            : QRectF(-radius * 2 - 0.5, 0.5, size.width() + radius * 2, n - 1.0);
    QPainterPath outside;
    outside.addRect(QRectF(-1, -1, size.width() + 2, n + 2));
    QPainterPath inside;
    inside.addRoundedRect(body, radius, radius);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colours::Window());
    p.drawPath(outside.subtracted(inside));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colours::ChannelDark(), 1.0));
    p.drawPath(inside);
    return img;
}

void ArrowGlyph(QPainter &p, ArrowDirection direction, QRectF box, const QColor &ink)
{
    const QPointF c = box.center();
    const double a = std::min(box.width(), box.height()) * 0.36;
    QPolygonF tri;
    switch (direction) {
    case ArrowDirection::Left:
        tri << c + QPointF(-a * 0.8, 0) << c + QPointF(a * 0.6, -a) << c + QPointF(a * 0.6, a);
        break;
    case ArrowDirection::Right:
        tri << c + QPointF(a * 0.8, 0) << c + QPointF(-a * 0.6, -a) << c + QPointF(-a * 0.6, a);
        break;
    case ArrowDirection::Up:
        tri << c + QPointF(0, -a * 0.8) << c + QPointF(-a, a * 0.6) << c + QPointF(a, a * 0.6);
        break;
    case ArrowDirection::Down:
        tri << c + QPointF(0, a * 0.8) << c + QPointF(-a, -a * 0.6) << c + QPointF(a, -a * 0.6);
        break;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawPolygon(tri.translated(0, 1));
    p.setBrush(ink);
    p.drawPolygon(tri);
}

} // namespace

QImage PaintChannel(QSize size, Qt::Orientation orientation, TrackEnd end, bool ticks)
{
    if (orientation == Qt::Horizontal) {
        return HorizontalChannel(size, end, ticks);
    }
    return Transposed(HorizontalChannel(size.transposed(), end, ticks));
}

QImage PaintArrowButton(ArrowDirection direction, bool pressed, QSize size)
{
    // Behind the button lies the middle of the channel.
    QImage img(size, QImage::Format_RGB32);
    img.fill(colours::ChannelMid());
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF face(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    const QColor base = colours::Sage();
    QLinearGradient g(face.topLeft(), face.bottomLeft());
    g.setColorAt(0, pressed ? Shade(base, -0.35) : Shade(base, 0.42));
    g.setColorAt(0.5, pressed ? Shade(base, -0.20) : Shade(base, 0.08));
    g.setColorAt(1, pressed ? Shade(base, -0.05) : Shade(base, -0.25));
    p.setPen(QPen(colours::ChannelDark(), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(face, 2.5, 2.5);
    if (!pressed) {
        p.setPen(QPen(QColor(255, 255, 255, 110), 1.0));
        p.drawLine(QPointF(2.5, 1.5), QPointF(size.width() - 2.5, 1.5));
    }
    const QRectF glyphBox = face.translated(pressed ? 0.5 : 0, pressed ? 0.5 : 0);
    ArrowGlyph(p, direction, glyphBox, pressed ? Shade(colours::Amber(), 0.2) : QColor(0x2A, 0x2D, 0x2A));
    return img;
}

QImage PaintThumb(Qt::Orientation orientation, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colours::ChannelMid());
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF face(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    const QColor base = colours::Amber();
    QLinearGradient g(face.topLeft(), orientation == Qt::Horizontal ? face.bottomLeft() : face.topRight());
    g.setColorAt(0, Shade(base, 0.45));
    g.setColorAt(0.45, base);
    g.setColorAt(1, Shade(base, -0.35));
    p.setPen(QPen(Shade(base, -0.70), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(face, 3, 3);
    // Three grip ridges across the thumb.
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPoint c(size.width() / 2, size.height() / 2);
    for (int k = -1; k <= 1; ++k) {
        if (orientation == Qt::Horizontal) {
            const int x = c.x() + 2 * k - 1;
            p.setPen(Shade(base, -0.55));
            p.drawLine(x, 3, x, size.height() - 4);
            p.setPen(Shade(base, 0.5));
            p.drawLine(x + 1, 3, x + 1, size.height() - 4);
        } else {
            const int y = c.y() + 2 * k - 1;
            p.setPen(Shade(base, -0.55));
            p.drawLine(3, y, size.width() - 4, y);
            p.setPen(Shade(base, 0.5));
            p.drawLine(3, y + 1, size.width() - 4, y + 1);
        }
    }
    return img;
}

} // namespace skingen
