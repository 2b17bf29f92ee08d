// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Dc.h"

#include "platform/gdi/DcPixels.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace gdi
{
namespace
{

using detail::kBlack;
using detail::kWhite;
using detail::ToMonochrome;

// Dash patterns of the styled pens: lengths alternating on, off, on, off...
std::vector<int> DashPattern(int style)
{
    switch (style) {
    case PS_DASH:
        return {18, 6};
    case PS_DOT:
        return {3, 3};
    case PS_DASHDOT:
        return {9, 6, 3, 6};
    case PS_DASHDOTDOT:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

bool StyleOn(const std::vector<int> &pattern, int counter)
{
    int total = 0;
    for (int v : pattern)
        total += v;
    int pos = counter % total;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pos < pattern[i])
            return i % 2 == 0;
        pos -= pattern[i];
    }
    return true;
}

// Erodes a region by one pixel in each of the four directions, `steps` times horizontally and
// vertically; what is lost is the inside frame of that width.
QRegion Eroded(const QRegion &region, int width, int height)
{
    QRegion inner = region;
    for (int i = 1; i <= width; ++i)
        inner = inner.intersected(region.translated(i, 0)).intersected(region.translated(-i, 0));
    for (int i = 1; i <= height; ++i)
        inner = inner.intersected(region.translated(0, i)).intersected(region.translated(0, -i));
    return inner;
}

struct TextLine {
    QString text;
    int underline = -1; // index of the prefixed character in text, or -1
    int width = 0;
};

// Removes the '&' prefixes of one paragraph: "&&" shows '&', "&x" underlines x.
TextLine StripPrefix(const QString &raw, bool prefixes)
{
    TextLine line;
    if (!prefixes) {
        line.text = raw;
        return line;
    }
    for (int i = 0; i < raw.size(); ++i) {
        if (raw[i] == QLatin1Char('&') && i + 1 < raw.size()) {
            ++i;
            if (raw[i] != QLatin1Char('&'))
                line.underline = int(line.text.size());
        } else if (raw[i] == QLatin1Char('&')) {
            continue; // a trailing '&' shows nothing
        }
        line.text += raw[i];
    }
    return line;
}

std::vector<TextLine> LayoutText(const QString &text, unsigned format, int width, const QFontMetrics &fm)
{
    QString body = text;
    if (format & DT_EXPANDTABS)
        body.replace(QLatin1Char('\t'), QString(8, QLatin1Char(' ')));
    QStringList paragraphs;
    if (format & DT_SINGLELINE) {
        QString one = body;
        one.replace(QLatin1String("\r\n"), QLatin1String(" "));
        one.replace(QLatin1Char('\r'), QLatin1Char(' '));
        one.replace(QLatin1Char('\n'), QLatin1Char(' '));
        paragraphs << one;
    } else {
        body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        paragraphs = body.split(QLatin1Char('\n'));
    }
    const bool prefixes = !(format & DT_NOPREFIX);
    const bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    std::vector<TextLine> lines;
    for (const QString &paragraph : paragraphs) {
        TextLine whole = StripPrefix(paragraph, prefixes);
        if (!wrap || fm.horizontalAdvance(whole.text) <= width) {
            whole.width = fm.horizontalAdvance(whole.text);
            lines.push_back(whole);
            continue;
        }
        // Greedy word wrap: a line takes words while they fit; a word wider than the box
        // stands alone on its line. Blanks where a line breaks are dropped.
        const QString &s = whole.text;
        int pos = 0;
        const int n = int(s.size());
        while (pos < n) {
            int lineEnd = pos; // exclusive end of text that fits so far
            int scan = pos;
            while (scan < n) {
                int wordEnd = scan;
                while (wordEnd < n && s[wordEnd] == QLatin1Char(' '))
                    ++wordEnd;
                while (wordEnd < n && s[wordEnd] != QLatin1Char(' '))
                    ++wordEnd;
                if (lineEnd > pos && fm.horizontalAdvance(s.mid(pos, wordEnd - pos)) > width)
                    break;
                lineEnd = wordEnd;
                scan = wordEnd;
                if (fm.horizontalAdvance(s.mid(pos, lineEnd - pos)) > width)
                    break; // a lone word too wide for the box
            }
            TextLine line;
            line.text = s.mid(pos, lineEnd - pos);
            while (line.text.endsWith(QLatin1Char(' ')))
                line.text.chop(1);
            if (whole.underline >= pos && whole.underline < pos + int(line.text.size()))
                line.underline = whole.underline - pos;
            line.width = fm.horizontalAdvance(line.text);
            lines.push_back(line);
            pos = lineEnd;
            while (pos < n && s[pos] == QLatin1Char(' '))
                ++pos;
        }
    }
    return lines;
}

} // namespace

Dc::Dc() = default;

Dc::Dc(QImage *surface, std::function<void(const QRect &)> changed)
    : surface_(surface), changed_(std::move(changed))
{
    if (surface_ && !surface_->isNull() && surface_->format() != QImage::Format_RGB32 &&
        surface_->format() != QImage::Format_ARGB32_Premultiplied)
        *surface_ = surface_->convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

Dc::~Dc() = default;

Bitmap *Dc::SelectObject(Bitmap *bitmap)
{
    if (surface_)
        return nullptr;
    Bitmap *previous = bitmap_;
    bitmap_ = bitmap;
    return previous;
}

Pen Dc::SelectObject(const Pen &pen)
{
    Pen previous = pen_;
    pen_ = pen;
    return previous;
}

Brush Dc::SelectObject(const Brush &brush)
{
    Brush previous = brush_;
    brush_ = brush;
    return previous;
}

Font Dc::SelectObject(const Font &font)
{
    Font previous = font_;
    font_ = font;
    return previous;
}

int Dc::SelectClipRgn(const Region *region)
{
    if (!region) {
        clip_.reset();
        return SIMPLEREGION;
    }
    clip_ = *region;
    return clip_->Type();
}

Colour Dc::SetTextColor(Colour colour)
{
    return std::exchange(textColour_, colour);
}

Colour Dc::SetBkColor(Colour colour)
{
    return std::exchange(bkColour_, colour);
}

int Dc::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(bkMode_, mode);
}

int Dc::SetStretchBltMode(int mode)
{
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return std::exchange(stretchMode_, mode);
}

int Dc::SetPolyFillMode(int mode)
{
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    return std::exchange(polyFillMode_, mode);
}

QImage *Dc::Target() const
{
    QImage *image = bitmap_ ? &bitmap_->Pixels() : surface_;
    return (image && !image->isNull()) ? image : nullptr;
}

int Dc::Width() const
{
    const QImage *t = Target();
    return t ? t->width() : 0;
}

int Dc::Height() const
{
    const QImage *t = Target();
    return t ? t->height() : 0;
}

bool Dc::IsMonochrome() const
{
    return bitmap_ && bitmap_->IsMonochrome();
}

QRegion Dc::Visible(const QRect &area) const
{
    QRegion visible = QRegion(area).intersected(QRect(0, 0, Width(), Height()));
    if (clip_)
        visible = visible.intersected(clip_->ToQRegion());
    return visible;
}

void Dc::Changed(const QRect &area)
{
    if (changed_ && !area.isEmpty())
        changed_(area);
}

// ---------------------------------------------------------------------------------------------
// Pixels

Colour Dc::GetPixel(int x, int y) const
{
    const QImage *t = Target();
    if (!t || x < 0 || y < 0 || x >= t->width() || y >= t->height())
        return CLR_INVALID;
    if (clip_ && !clip_->Contains(x, y))
        return CLR_INVALID;
    return FromQRgb(reinterpret_cast<const QRgb *>(t->constScanLine(y))[x]);
}

bool Dc::SetPixelV(int x, int y, Colour colour)
{
    QImage *t = Target();
    if (!t || x < 0 || y < 0 || x >= t->width() || y >= t->height())
        return false;
    if (clip_ && !clip_->Contains(x, y))
        return false;
    QRgb v = ToQRgb(TranslateColour(colour));
    if (IsMonochrome())
        v = ToMonochrome(v);
    reinterpret_cast<QRgb *>(t->scanLine(y))[x] = v;
    Changed(QRect(x, y, 1, 1));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Lines and shapes

QPoint Dc::MoveTo(int x, int y)
{
    return std::exchange(position_, QPoint(x, y));
}

void Dc::DrawThinLine(QImage &image, QPoint from, QPoint to, const QRegion &visible, int &styleCounter)
{
    const std::vector<int> pattern = DashPattern(pen_.Style());
    QRgb colour = ToQRgb(TranslateColour(pen_.Color()));
    QRgb gap = ToQRgb(TranslateColour(bkColour_));
    if (IsMonochrome()) {
        colour = ToMonochrome(colour);
        gap = ToMonochrome(gap);
    }
    const bool opaqueGaps = bkMode_ == OPAQUE;
    int x = from.x(), y = from.y();
    const int dx = std::abs(to.x() - x), dy = -std::abs(to.y() - y);
    const int stepX = x < to.x() ? 1 : -1, stepY = y < to.y() ? 1 : -1;
    int err = dx + dy;
    const QRect bounds(0, 0, image.width(), image.height());
    const bool clipped = clip_.has_value();
    while (x != to.x() || y != to.y()) { // the end point itself is not drawn
        const bool on = pattern.empty() || StyleOn(pattern, styleCounter);
        ++styleCounter;
        if ((on || opaqueGaps) && bounds.contains(x, y) && (!clipped || visible.contains(QPoint(x, y))))
            reinterpret_cast<QRgb *>(image.scanLine(y))[x] = on ? colour : gap;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += stepX;
        }
        if (e2 <= dx) {
            err += dx;
            y += stepY;
        }
    }
}

bool Dc::Polyline(std::span<const QPoint> points)
{
    QImage *t = Target();
    if (!t || points.size() < 2)
        return t != nullptr;
    if (pen_.IsNull())
        return true;
    if (pen_.Width() <= 1) {
        const QRegion visible = clip_ ? clip_->ToQRegion() : QRegion();
        int counter = 0;
        QRect touched;
        for (std::size_t i = 1; i < points.size(); ++i) {
            DrawThinLine(*t, points[i - 1], points[i], visible, counter);
            touched |= QRect(points[i - 1], points[i]).normalized();
        }
        Changed(touched.adjusted(0, 0, 1, 1));
        return true;
    }
    QPainterPath path;
    path.moveTo(points[0] + QPointF(0.5, 0.5));
    for (std::size_t i = 1; i < points.size(); ++i)
        path.lineTo(points[i] + QPointF(0.5, 0.5));
    return DrawPath(path, false);
}

bool Dc::LineTo(int x, int y)
{
    const QPoint points[2] = {position_, QPoint(x, y)};
    position_ = QPoint(x, y);
    return Polyline(points);
}

// Wide pens, arcs and polygons go through QPainter (no antialiasing, like the old platform).
bool Dc::DrawPath(const QPainterPath &path, bool fill)
{
    QImage *t = Target();
    if (!t)
        return false;
    QPainter painter(t);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (clip_)
        painter.setClipRegion(clip_->ToQRegion());
    auto colourOf = [&](Colour c) {
        QColor q = ToQColor(c);
        if (IsMonochrome())
            q = QColor::fromRgb(ToMonochrome(q.rgb()));
        return q;
    };
    if (fill && !brush_.IsNull()) {
        if (brush_.Style() == BS_PATTERN)
            painter.fillPath(path, QBrush(brush_.PatternImage()));
        else
            painter.fillPath(path, colourOf(brush_.Color()));
    }
    if (!pen_.IsNull()) {
        QPen pen(colourOf(pen_.Color()));
        pen.setWidth(pen_.Width());
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.strokePath(path, pen);
    }
    painter.end();
    Changed(path.boundingRect().toAlignedRect().adjusted(-pen_.Width(), -pen_.Width(), pen_.Width(),
                                                         pen_.Width()));
    return true;
}

bool Dc::Polygon(std::span<const QPoint> points)
{
    if (!Target())
        return false;
    if (points.size() < 2)
        return true;
    // Fill first by the region rules, then outline with the pen.
    const Region inside = CreatePolygonRgn(points, polyFillMode_);
    if (!brush_.IsNull())
        FillRegionWith(inside.ToQRegion(), brush_, 0xF0);
    if (pen_.Width() <= 1) {
        std::vector<QPoint> ring(points.begin(), points.end());
        ring.push_back(points.front());
        return Polyline(ring);
    }
    QPainterPath path;
    path.moveTo(points[0] + QPointF(0.5, 0.5));
    for (std::size_t i = 1; i < points.size(); ++i)
        path.lineTo(points[i] + QPointF(0.5, 0.5));
    path.closeSubpath();
    const Brush savedBrush = std::exchange(brush_, Brush::Null());
    const bool ok = DrawPath(path, false);
    brush_ = savedBrush;
    return ok;
}

bool Dc::Rectangle(int left, int top, int right, int bottom)
{
    if (!Target())
        return false;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    if (pen_.IsNull()) {
        // Without a pen the old platform fills one pixel less on the right and bottom.
        if (!brush_.IsNull())
            FillRegionWith(QRegion(left, top, right - left - 1, bottom - top - 1), brush_, 0xF0);
        return true;
    }
    const int w = pen_.Width();
    if (!brush_.IsNull())
        FillRegionWith(QRegion(left + w, top + w, right - left - 2 * w, bottom - top - 2 * w), brush_, 0xF0);
    // The border lies inside the rectangle.
    const QRegion outer(left, top, right - left, bottom - top);
    return FillRegionWith(outer.subtracted(Eroded(outer, w, w)), Brush(pen_.Color()), 0xF0);
}

bool Dc::Ellipse(int left, int top, int right, int bottom)
{
    if (!Target())
        return false;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    // The figure spans left..right-1; an elliptic region excludes its far edges, hence +1.
    const int grow = pen_.IsNull() ? 0 : 1;
    const Region shape = CreateEllipticRgn(left, top, right + grow, bottom + grow);
    if (!brush_.IsNull())
        FillRegionWith(shape.ToQRegion(), brush_, 0xF0);
    if (!pen_.IsNull()) {
        const QRegion outline =
            shape.ToQRegion().subtracted(Eroded(shape.ToQRegion(), pen_.Width(), pen_.Width()));
        FillRegionWith(outline, Brush(pen_.Color()), 0xF0);
    }
    return true;
}

bool Dc::Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
    if (!Target())
        return false;
    const QRectF box =
        QRectF(QPointF(left, top), QPointF(right - 1, bottom - 1)).normalized().translated(0.5, 0.5);
    const QPointF c = box.center();
    // Angles in degrees, counter-clockwise from three o'clock (screen y grows downwards).
    const double a0 = std::atan2(c.y() - (yStart + 0.5), (xStart + 0.5) - c.x()) * 180.0 / std::numbers::pi;
    const double a1 = std::atan2(c.y() - (yEnd + 0.5), (xEnd + 0.5) - c.x()) * 180.0 / std::numbers::pi;
    double span = a1 - a0;
    while (span <= 0)
        span += 360.0;
    QPainterPath path;
    path.arcMoveTo(box, a0);
    path.arcTo(box, a0, span);
    if (pen_.IsNull())
        return true;
    // Thin pens: trace the arc pixel by pixel so the style and exact colour hold.
    const Brush savedBrush = std::exchange(brush_, Brush::Null());
    bool ok = true;
    if (pen_.Width() <= 1) {
        const QPolygonF poly = path.toFillPolygon();
        std::vector<QPoint> pts;
        for (const QPointF &p : poly) {
            const QPoint q(int(std::floor(p.x())), int(std::floor(p.y())));
            if (pts.empty() || pts.back() != q)
                pts.push_back(q);
        }
        // toFillPolygon closes the figure; drop the closing point.
        if (pts.size() > 2 && pts.back() == pts.front())
            pts.pop_back();
        if (pts.size() >= 2) {
            pts.push_back(pts.back() + QPoint(1, 0)); // keep the last traced pixel
            ok = Polyline(std::span<const QPoint>(pts.data(), pts.size() - 1));
            // Polyline leaves out its final point; draw that pixel too.
            const std::vector<QPoint> tail = {pts[pts.size() - 2], pts[pts.size() - 1]};
            Polyline(tail);
        }
    } else {
        ok = DrawPath(path, false);
    }
    brush_ = savedBrush;
    return ok;
}

bool Dc::FillRect(const Rect &rect, const Brush &brush)
{
    if (!Target())
        return false;
    if (rect.IsEmpty())
        return true;
    return FillRegionWith(QRegion(rect.ToQRect()), brush, 0xF0);
}

bool Dc::FrameRect(const Rect &rect, const Brush &brush)
{
    if (!Target())
        return false;
    if (rect.IsEmpty())
        return true;
    const QRegion outer(rect.ToQRect());
    return FillRegionWith(outer.subtracted(outer.intersected(QRect(rect.ToQRect().adjusted(1, 1, -1, -1)))),
                          brush, 0xF0);
}

bool Dc::FillRgn(const Region &region, const Brush &brush)
{
    return FillRegionWith(region.ToQRegion(), brush, 0xF0);
}

bool Dc::FrameRgn(const Region &region, const Brush &brush, int width, int height)
{
    if (width < 1 || height < 1)
        return FillRegionWith(QRegion(), brush, 0xF0);
    const QRegion &r = region.ToQRegion();
    return FillRegionWith(r.subtracted(Eroded(r, width, height)), brush, 0xF0);
}

bool Dc::InvertRgn(const Region &region)
{
    return FillRegionWith(region.ToQRegion(), Brush(), 0x55);
}

bool Dc::DrawFocusRect(const Rect &rect)
{
    if (!Target())
        return false;
    if (rect.IsEmpty())
        return true;
    // A checker pattern anchored at the device origin, XORed onto the 1-pixel border.
    Bitmap checker(2, 2, 24, 0x000000);
    checker.Pixels().setPixel(0, 0, kWhite);
    checker.Pixels().setPixel(1, 1, kWhite);
    const QRegion outer(rect.ToQRect());
    const QRegion frame = outer.subtracted(QRegion(rect.ToQRect().adjusted(1, 1, -1, -1)));
    return FillRegionWith(frame, Brush::Pattern(checker), 0x5A);
}

// ---------------------------------------------------------------------------------------------
// Text

QSize Dc::GetTextExtent(const QString &text) const
{
    const QFontMetrics fm(font_.ToQFont());
    return QSize(fm.horizontalAdvance(text), fm.height());
}

int Dc::DrawText(const QString &text, Rect *rect, unsigned format)
{
    if (!rect)
        return 0;
    const QFontMetrics fm(font_.ToQFont());
    const int lineHeight = fm.height();
    const std::vector<TextLine> lines = LayoutText(text, format, rect->Width(), fm);
    const int total = lineHeight * int(lines.size());
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine &l : lines)
            widest = std::max(widest, l.width);
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }
    QImage *t = Target();
    if (!t)
        return 0;
    int y = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect->top + (rect->Height() - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect->bottom - lineHeight;
    }
    QPainter painter(t);
    QRegion clip = (format & DT_NOCLIP) ? QRegion(0, 0, t->width(), t->height()) : QRegion(rect->ToQRect());
    if (clip_)
        clip = clip.intersected(clip_->ToQRegion());
    painter.setClipRegion(clip);
    painter.setFont(font_.ToQFont());
    QColor textColour = ToQColor(textColour_);
    QColor backColour = ToQColor(bkColour_);
    if (IsMonochrome()) {
        textColour = QColor::fromRgb(ToMonochrome(textColour.rgb()));
        backColour = QColor::fromRgb(ToMonochrome(backColour.rgb()));
    }
    QRect touched;
    for (const TextLine &line : lines) {
        int x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (rect->Width() - line.width) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - line.width;
        const QRect box(x, y, line.width, lineHeight);
        if (bkMode_ == OPAQUE && line.width > 0)
            painter.fillRect(box, backColour);
        painter.setPen(textColour);
        painter.drawText(QPoint(x, y + fm.ascent()), line.text);
        if (line.underline >= 0 && !(format & DT_HIDEPREFIX)) {
            const int ux = x + fm.horizontalAdvance(line.text.left(line.underline));
            const int uw = fm.horizontalAdvance(line.text.mid(line.underline, 1));
            const int uy = y + fm.ascent() + std::max(1, fm.underlinePos());
            painter.fillRect(QRect(ux, uy, std::max(1, uw), std::max(1, fm.lineWidth())), textColour);
        }
        touched |= box;
        y += lineHeight;
    }
    painter.end();
    Changed(touched.intersected(clip.boundingRect()));
    return total;
}

bool Dc::TextOut(int x, int y, const QString &text)
{
    QImage *t = Target();
    if (!t)
        return false;
    const QSize extent = GetTextExtent(text);
    Rect r{x, y, x + extent.width(), y + extent.height()};
    DrawText(text, &r, DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Pictures

bool Dc::DrawIconEx(int x, int y, const QIcon &icon, int cx, int cy)
{
    if (icon.isNull())
        return false;
    QSize size(cx, cy);
    if (cx <= 0 || cy <= 0) {
        const QList<QSize> sizes = icon.availableSizes();
        const QSize natural = sizes.isEmpty() ? QSize(32, 32) : sizes.last();
        size = QSize(cx > 0 ? cx : natural.width(), cy > 0 ? cy : natural.height());
    }
    return DrawIconEx(x, y, icon.pixmap(size).toImage(), size.width(), size.height());
}

bool Dc::DrawIconEx(int x, int y, const QImage &image, int cx, int cy)
{
    QImage *t = Target();
    if (!t || image.isNull())
        return false;
    const int w = cx > 0 ? cx : image.width();
    const int h = cy > 0 ? cy : image.height();
    QPainter painter(t);
    if (clip_)
        painter.setClipRegion(clip_->ToQRegion());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRect(x, y, w, h), image);
    painter.end();
    Changed(QRect(x, y, w, h));
    return true;
}

} // namespace gdi
