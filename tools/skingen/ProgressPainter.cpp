// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/skingen/ProgressPainter.h"

#include "tools/skingen/SkinColours.h"
#include "tools/skingen/TrackPainter.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace skingen
{

namespace
{

// Rows of the channel the capsule occupies (of 14), leaving the trough's rim and lips visible.
constexpr int kInset = 3;
// Below this coverage an edge pixel becomes transparent; above it, it is blended with the
// channel colour it will sit on, so the edge looks smooth without a fringe of key colour.
constexpr int kCoverageCut = 96;

QColor FillColour(double along, double across)
{
    const QColor start = Shade(QColor(0x7F, 0xB0, 0x5A), -0.05);
    const QColor end = colours::Amber();
    QColor c = Mix(start, end, SmoothStep(along));
    // Glass: bright upper third, a soft band and a darker lower edge.
    const double gloss = across < 0.45 ? 0.42 - across * 0.6 : -0.18 * (across - 0.45) / 0.55;
    return Shade(c, gloss);
}

QImage HorizontalFill(QSize size)
{
    const int w = size.width(), h = size.height();
    // Coverage of the capsule, as an 8-bit mask drawn with antialiasing.
    QImage mask(size, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        const double radius = (h - 2.0 * kInset) / 2.0;
        p.drawRoundedRect(QRectF(1, kInset, w - 2.0, h - 2.0 * kInset), radius, radius);
    }
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const auto *cover = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        const double across = (y - kInset + 0.5) / (h - 2.0 * kInset);
        for (int x = 0; x < w; ++x) {
            const int a = qAlpha(cover[x]);
            if (a < kCoverageCut) {
                line[x] = colours::kProgressKey;
                continue;
            }
            const QColor fill = FillColour(double(x) / (w - 1), across);
            line[x] = Mix(ChannelProfile(y, h), fill, a / 255.0).rgb();
        }
    }
    return img;
}

} // namespace

QImage PaintProgressFill(Qt::Orientation orientation, QSize size)
{
    if (orientation == Qt::Horizontal) {
        return HorizontalFill(size);
    }
    return Transposed(HorizontalFill(size.transposed()));
}

} // namespace skingen
