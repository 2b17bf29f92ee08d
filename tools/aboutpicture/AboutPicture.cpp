// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutPicture.h"

#include <QPainter>
#include <QPainterPath>

namespace tools
{

namespace
{

// Studio colours (as RGB): the level display's amber, the status label's plum, light yellow.
const QColor Amber(0xEC, 0xB0, 0x60);
const QColor Plum(0x9C, 0x57, 0x50);
const QColor Yellow(0xFF, 0xFF, 0xC0);
const QColor Frame(0x40, 0x40, 0x40);

QColor Mix(const QColor &a, const QColor &b, double t)
{
    return QColor(int(a.red() + (b.red() - a.red()) * t), int(a.green() + (b.green() - a.green()) * t),
                  int(a.blue() + (b.blue() - a.blue()) * t));
}

} // namespace

QImage AboutPicture::Draw()
{
    QImage image(Size, Size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Background: sixteen bands from plum to a darker plum.
    const int bands = 16;
    for (int i = 0; i < bands; ++i) {
        const int top = i * Size / bands;
        const int bottom = (i + 1) * Size / bands;
        p.fillRect(0, top, Size, bottom - top, Mix(Plum, Plum.darker(170), double(i) / (bands - 1)));
    }

    // Level bars along the bottom, in the display's ramp.
    const int bars = 12;
    const int heights[bars] = {10, 16, 12, 22, 18, 26, 14, 20, 24, 12, 18, 9};
    for (int i = 0; i < bars; ++i) {
        const int v = std::min(255, int((i + 5) * 255.0 / (bars + 5)));
        const QColor bar(v, std::min(255, v + 50), std::min(255, v + 50));
        const int x = 6 + i * 7;
        p.fillRect(x, Size - 8 - heights[i], 5, heights[i], bar);
    }
    // Segment lines across the bars, as the studio's display draws them.
    for (int y = Size - 8; y > Size - 40; y -= 4)
        p.fillRect(4, y, Size - 8, 1, Plum.darker(170));

    // The speaker: a box and a cone.
    p.setPen(QPen(Frame, 2));
    p.setBrush(Amber);
    p.drawRect(14, 22, 14, 20);
    QPainterPath cone;
    cone.moveTo(28, 22);
    cone.lineTo(44, 10);
    cone.lineTo(44, 54);
    cone.lineTo(28, 42);
    cone.closeSubpath();
    p.drawPath(cone);

    // Three sound waves.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(Mix(Yellow, Amber, i / 2.0), 3));
        const int r = 10 + i * 9;
        p.drawArc(QRect(44 - r, 32 - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
    }

    // A thin light frame.
    p.setPen(QPen(Yellow, 1));
    p.drawRect(0, 0, Size - 1, Size - 1);
    p.end();
    return image;
}

} // namespace tools
