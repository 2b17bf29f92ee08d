// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/skingen/ButtonPainter.h"

#include "tools/skingen/FramePainter.h"
#include "tools/skingen/SkinColours.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace skingen
{

namespace
{

// Caption buttons are placed 55 twips (about 4 pixels) below the window's top edge.
constexpr int kCaptionButtonTop = 4;

// The slice of title band a caption button covers, so its rounded corners blend into it.
QImage TitleBandBehind(QSize size)
{
    const QImage band = PaintFramePiece(FramePiece::Top, QSize(1, kFrameTop));
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        const QRgb c = band.pixel(0, std::min(kFrameTop - 1, y + kCaptionButtonTop));
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        std::fill(line, line + size.width(), c);
    }
    return img;
}

// A rounded glossy face: a vertical gradient, a lighter upper half, a dark rim and an inner
// highlight. Pressed faces are darker, lose the gloss and get an inner shadow instead.
void GlossyFace(QPainter &p, const QRectF &r, double radius, const QColor &base, bool pressed)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QColor top = pressed ? Shade(base, -0.30) : Shade(base, 0.28);
    const QColor bottom = pressed ? Shade(base, -0.12) : Shade(base, -0.22);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(0.5, pressed ? Shade(base, -0.22) : base);
    g.setColorAt(1, bottom);
    p.setPen(QPen(Shade(base, -0.72), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    const QRectF inner = r.adjusted(1, 1, -1, -1);
    if (!pressed) {
        QLinearGradient gloss(inner.topLeft(), QPointF(inner.left(), inner.center().y()));
        gloss.setColorAt(0, QColor(255, 255, 255, 120));
        gloss.setColorAt(1, QColor(255, 255, 255, 25));
        p.setPen(Qt::NoPen);
        p.setBrush(gloss);
        QRectF upper = inner;
        upper.setHeight(inner.height() * 0.48);
        p.drawRoundedRect(upper, radius - 1, radius - 1);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
        p.drawLine(QPointF(inner.left() + radius, inner.top() + 0.5),
                   QPointF(inner.right() - radius, inner.top() + 0.5));
    } else {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 0, 0, 90), 1.0));
        p.drawLine(QPointF(inner.left() + radius - 1, inner.top() + 0.5),
                   QPointF(inner.right() - radius + 1, inner.top() + 0.5));
    }
}

// A glyph drawn twice: a dark shadow one pixel down and the light glyph on top, so it stays
// crisp on a small face.
template <typename Draw>
void EmbossedGlyph(QPainter &p, QPointF offset, const QColor &ink, Draw draw, int shadowAlpha = 140)
{
    p.save();
    p.translate(offset + QPointF(0, 1));
    draw(QColor(0, 0, 0, shadowAlpha));
    p.restore();
    p.save();
    p.translate(offset);
    draw(ink);
    p.restore();
}

// A pixel-exact X, two pixels thick, so it stays sharp at 18 x 13.
void CloseGlyph(QPainter &p, const QColor &c, QRectF box)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    const int left = static_cast<int>(box.center().x()) - 3;
    const int top = static_cast<int>(box.center().y()) - 3;
    constexpr int kSize = 6;
    for (int i = 0; i < kSize; ++i) {
        p.fillRect(left + i, top + i, i + 1 < kSize ? 2 : 1, 1, c);
        p.fillRect(left + kSize - 1 - i, top + i, 1, 1, c);
        if (i + 1 < kSize) {
            p.fillRect(left + kSize - 2 - i, top + i, 1, 1, c);
        }
    }
}

void MinimiseGlyph(QPainter &p, const QColor &c, QRectF box)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPointF m = box.center();
    p.fillRect(QRectF(m.x() - 3.0, m.y() + 1.0, 6, 2), c);
}

// Two overlapping windows on a pixel grid; the front one's title bar hides the back one's
// corner, so no line crosses the front window.
void RestoreGlyph(QPainter &p, const QColor &c, QRectF box)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPointF m = box.center();
    const int x = static_cast<int>(m.x()) - 4, y = static_cast<int>(m.y()) - 4;
    p.setPen(c);
    p.setBrush(Qt::NoBrush);
    p.drawRect(x + 3, y, 5, 4);
    p.drawLine(x + 3, y + 1, x + 8, y + 1);
    p.drawRect(x, y + 3, 5, 4);
    p.drawLine(x, y + 4, x + 5, y + 4);
}

} // namespace

QImage PaintCaptionButton(CaptionGlyph glyph, bool pressed, QSize size)
{
    QImage img = TitleBandBehind(size);
    QPainter p(&img);
    const QColor base = glyph == CaptionGlyph::Close ? colours::CloseRed() : colours::Sage();
    const QRectF face(1.5, 0.5, size.width() - 3.0, size.height() - 2.0);
    // A dark socket under the face, so the button reads as set into the band.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(face.translated(0, 1), 3, 3);
    GlossyFace(p, face, 3, base, pressed);
    const QPointF shift = pressed ? QPointF(1, 1) : QPointF(0, 0); // pressed glyphs sink a pixel
    const QColor ink = QColor(0xFF, 0xF8, 0xEC);
    QRectF glyphBox = face;
    glyphBox.moveTopLeft(face.topLeft() + QPointF(0.5, 0));
    glyphBox.setHeight(face.height() - 0.5);
    switch (glyph) {
    case CaptionGlyph::Close:
        EmbossedGlyph(p, shift, ink, [&](const QColor &c) { CloseGlyph(p, c, glyphBox); });
        break;
    case CaptionGlyph::Minimise:
        EmbossedGlyph(p, shift, ink, [&](const QColor &c) { MinimiseGlyph(p, c, glyphBox); });
        break;
    case CaptionGlyph::Restore:
        // Thin double lines would blur with a full shadow under them.
        EmbossedGlyph(
            p, shift, ink, [&](const QColor &c) { RestoreGlyph(p, c, glyphBox); }, 45);
        break;
    }
    return img;
}

QImage PaintPushButton(bool pressed, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colours::Window());
    QPainter p(&img);
    const QRectF face(0.5, 0.5, size.width() - 1.0, size.height() - 2.0);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(face.translated(0, 1), 5, 5);
    GlossyFace(p, face, 5, colours::Brick(), pressed);
    if (!pressed) {
        // amber hairline along the bottom lip, echoing the frame's pinstripe
        p.setPen(QPen(QColor(colours::Amber().red(), colours::Amber().green(), colours::Amber().blue(), 110),
                      1.0));
        p.drawLine(QPointF(6, face.bottom() - 1.5), QPointF(face.right() - 6, face.bottom() - 1.5));
    }
    return img;
}

QImage PaintOptionBackground(QSize size)
{
    const QImage tile = PaintBackground(QSize(57, 56));
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            img.setPixel(x, y, tile.pixel(x % tile.width(), y % tile.height()));
        }
    }
    return img;
}

namespace
{

QImage CheckBackground(QSize size)
{
    return PaintOptionBackground(QSize(271, 58)).copy(QRect(QPoint(0, 0), size));
}

// A recessed light well: the shared base of check and option boxes.
void Well(QPainter &p, const QRectF &r, bool round)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0xD6, 0xD3, 0xCB));
    g.setColorAt(1, QColor(0xF6, 0xF2, 0xE8));
    p.setBrush(g);
    p.setPen(QPen(Shade(colours::Brick(), -0.6), 1.0));
    if (round) {
        p.drawEllipse(r);
    } else {
        p.drawRoundedRect(r, 2.5, 2.5);
    }
    // inner shadow along the top
    p.setPen(QPen(QColor(0, 0, 0, 50), 1.0));
    p.setBrush(Qt::NoBrush);
    if (round) {
        p.drawArc(r.adjusted(1, 1, -1, -1), 30 * 16, 120 * 16);
    } else {
        p.drawLine(QPointF(r.left() + 2, r.top() + 1.5), QPointF(r.right() - 2, r.top() + 1.5));
    }
}

} // namespace

QImage PaintCheckBox(bool on, QSize size)
{
    QImage img = CheckBackground(size);
    QPainter p(&img);
    const QRectF box(1.5, 1.5, size.width() - 3.0, size.height() - 3.0);
    Well(p, box, false);
    if (on) {
        QPainterPath tick;
        tick.moveTo(box.left() + 2.6, box.center().y() + 0.2);
        tick.lineTo(box.left() + 5.2, box.bottom() - 3.0);
        tick.lineTo(box.right() - 2.4, box.top() + 2.6);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 0, 0, 60), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(tick.translated(0, 0.8));
        p.setPen(QPen(Shade(colours::Brick(), -0.15), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(tick);
    }
    return img;
}

QImage PaintRadioButton(bool on, QSize size)
{
    QImage img = CheckBackground(size);
    QPainter p(&img);
    const QRectF well(1.5, 1.5, size.width() - 3.0, size.height() - 3.0);
    Well(p, well, true);
    if (on) {
        const QPointF c = well.center();
        QRadialGradient dot(c - QPointF(1.0, 1.2), 4.2);
        dot.setColorAt(0, Shade(colours::Brick(), 0.45));
        dot.setColorAt(1, Shade(colours::Brick(), -0.35));
        p.setPen(Qt::NoPen);
        p.setBrush(dot);
        p.drawEllipse(c, 3.2, 3.2);
    }
    return img;
}

} // namespace skingen
