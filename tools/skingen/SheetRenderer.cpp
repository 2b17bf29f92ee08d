// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/skingen/SheetRenderer.h"

#include "tools/skingen/SkinColours.h"
#include "tools/skingen/SkinTable.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>

namespace skingen
{

namespace
{

QImage Bitmap(const QString &name)
{
    return RenderSkinBitmap(*FindSkinBitmap(name)).convertToFormat(QImage::Format_RGB32);
}

void Checker(QPainter &p, const QRect &r, int cell)
{
    for (int y = r.top(); y <= r.bottom(); y += cell) {
        for (int x = r.left(); x <= r.right(); x += cell) {
            const bool dark = ((x - r.left()) / cell + (y - r.top()) / cell) % 2 != 0;
            p.fillRect(QRect(x, y, cell, cell).intersected(r),
                       dark ? QColor(0xC8, 0xC8, 0xC8) : QColor(0xE4, 0xE4, 0xE4));
        }
    }
}

// Copies `src` stretched to `dst` pixel for pixel (nearest neighbour, like a block transfer).
void Stretch(QPainter &p, const QRectF &dst, const QImage &src)
{
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(dst, src);
    p.restore();
}

int RoundEven(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

// A horizontal slider of w x h pixels (outer height in twips = h x 15) at value fraction f.
void Slider(QPainter &p, QPoint at, int w, int h, double f)
{
    p.save();
    p.translate(at);
    const QImage tile = Bitmap("MHSCROLL"), left = Bitmap("HLEFT"), right = Bitmap("HRIGHT");
    const int n = RoundEven(double(w) / tile.width());
    p.setClipRect(0, 0, w, h);
    for (int i = 0; i <= n; ++i) {
        Stretch(p, QRectF(i * tile.width(), 0, tile.width(), h), tile);
    }
    const int capW = RoundEven(left.width() * 1.2);
    Stretch(p, QRectF(0, 0, capW, h), left);
    Stretch(p, QRectF(RoundEven(w - right.width() * 1.2), 0, capW, h), right);
    const int k = RoundEven(h * 15 / 50.0);
    const double ah = h - k, aw = ah * 4 / 3.2;
    const double top = (h - ah) / 2;
    Stretch(p, QRectF(2, top, aw, ah), Bitmap("HLEFTUP"));
    const double rightLeft = w - (aw + 2);
    Stretch(p, QRectF(rightLeft, top, aw, ah), Bitmap("HRIGHTUP"));
    const double lo = 2 + aw, hi = rightLeft - aw;
    Stretch(p, QRectF(lo + f * (hi - lo), top, aw, ah), Bitmap("THUMB"));
    p.restore();
}

// A horizontal progress bar: trough from tile and caps, then the fill strip with its key colour
// letting the trough show through.
void Progress(QPainter &p, QPoint at, int w, int h, double f)
{
    QImage bar(w, h, QImage::Format_RGB32);
    bar.fill(Qt::white);
    {
        QPainter q(&bar);
        const QImage tile = Bitmap("HBPROGMID"), left = Bitmap("HBPROGLEFT"), right = Bitmap("HBPROGRIGHT");
        const int n = RoundEven(double(w) / tile.width());
        for (int i = 0; i <= n; ++i) {
            Stretch(q, QRectF(i * tile.width(), 0, tile.width(), h), tile);
        }
        Stretch(q, QRectF(0, 0, RoundEven(1.2 * left.width()), h), left);
        Stretch(q, QRectF(RoundEven(w - 1.2 * right.width()), 0, RoundEven(1.2 * right.width()), h), right);
    }
    const QImage strip = Bitmap("HPROGRESS");
    const QRgb key = strip.pixel(1, 1);
    const int length = RoundEven(f * w);
    const int x0 = length < w / 1.3 ? 4 : 0;
    if (length > 0) {
        const QImage scaled = strip.scaled(length, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < length && x0 + x < w; ++x) {
                const QRgb c = scaled.pixel(x, y);
                if (c != key) {
                    bar.setPixel(x0 + x, y, c);
                }
            }
        }
    }
    p.drawImage(at, bar);
}

// A vertical slider of w x h pixels at value fraction f (Min at the top).
void VerticalSlider(QPainter &p, QPoint at, int w, int h, double f)
{
    p.save();
    p.translate(at);
    p.setClipRect(0, 0, w, h);
    const QImage tile = Bitmap("VMIDSCROLL"), top = Bitmap("VSCROLLTOP"), bottom = Bitmap("VSCROLLBOTTOM");
    const int n = RoundEven(double(h) / tile.height());
    for (int i = 0; i <= n; ++i) {
        Stretch(p, QRectF(0, i * tile.height(), w, tile.height()), tile);
    }
    Stretch(p, QRectF(0, 0, w, top.height()), top);
    Stretch(p, QRectF(0, h - bottom.height(), w, bottom.height()), bottom);
    const int k = RoundEven(w * 15 / 50.0);
    const double aw = w - k, ah = aw * 4 / 3.5;
    const double left = (w - aw) / 2;
    Stretch(p, QRectF(left, 2, aw, ah), Bitmap("VUPUP"));
    const double downTop = h - ah - 2;
    Stretch(p, QRectF(left, downTop, aw, ah), Bitmap("VDNDN"));
    const double lo = 2 + ah, hi = downTop - ah;
    Stretch(p, QRectF(left, lo + f * (hi - lo), aw, ah), Bitmap("VTHUMB"));
    p.restore();
}

// A vertical progress bar: the strip is drawn mirrored, growing up from 4 pixels above the bottom.
void VerticalProgress(QPainter &p, QPoint at, int w, int h, double f)
{
    QImage bar(w, h, QImage::Format_RGB32);
    bar.fill(Qt::white);
    {
        QPainter q(&bar);
        const QImage tile = Bitmap("VBPROGMID"), top = Bitmap("VPROGUP"), bottom = Bitmap("VPROGDN");
        const int n = RoundEven(double(h) / tile.height());
        for (int i = 0; i <= n; ++i) {
            Stretch(q, QRectF(0, i * tile.height(), w, tile.height()), tile);
        }
        Stretch(q, QRectF(0, 0, w, top.height()), top);
        Stretch(q, QRectF(0, h - bottom.height(), w, bottom.height()), bottom);
    }
    const QImage strip = Bitmap("VPROGRESS");
    const QRgb key = strip.pixel(1, 1);
    const int length = RoundEven(f * (h - 4));
    if (length > 0) {
        const QImage scaled =
            strip.scaled(w, length, Qt::IgnoreAspectRatio, Qt::FastTransformation).mirrored(false, true);
        const int y0 = h - 4 - length;
        for (int y = 0; y < length; ++y) {
            for (int x = 0; x < w; ++x) {
                const QRgb c = scaled.pixel(x, y);
                if (c != key) {
                    bar.setPixel(x, y0 + y, c);
                }
            }
        }
    }
    p.drawImage(at, bar);
}

void Label(QPainter &p, QRect r, const QString &text, QColor colour, int pointSize, bool bold = false)
{
    QFont font("DejaVu Sans");
    font.setPixelSize(pointSize);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignVCenter | Qt::AlignLeft, text);
}

} // namespace

QImage SheetRenderer::Gallery()
{
    constexpr int kSheetWidth = 1500, kMargin = 16, kLabelHeight = 30;
    struct Cell {
        QString title;
        QString detail;
        QImage image;
        int scale;
    };
    std::vector<Cell> cells;
    for (const auto &entry : SkinBitmaps()) {
        const QImage img = RenderSkinBitmap(entry).convertToFormat(QImage::Format_RGB32);
        const int longest = std::max(img.width(), img.height());
        const int scale = longest <= 24 ? 4 : (longest <= 100 ? 3 : 2);
        cells.push_back({entry.name,
                         QString("%1 x %2, %3, shown %4x")
                             .arg(img.width())
                             .arg(img.height())
                             .arg(entry.format == BitmapFormat::Rgb24 ? "24-bit" : "8-bit RLE")
                             .arg(scale),
                         img, scale});
    }
    // Flow layout: left to right, wrapping into rows.
    std::vector<QRect> places;
    int x = kMargin, y = kMargin + 40, rowHeight = 0;
    for (const auto &cell : cells) {
        const int w = std::max(cell.image.width() * cell.scale, 150);
        const int h = cell.image.height() * cell.scale + kLabelHeight;
        if (x + w > kSheetWidth - kMargin) {
            x = kMargin;
            y += rowHeight + kMargin;
            rowHeight = 0;
        }
        places.emplace_back(x, y, w, h);
        x += w + kMargin;
        rowHeight = std::max(rowHeight, h);
    }
    QImage sheet(kSheetWidth, y + rowHeight + kMargin, QImage::Format_RGB32);
    sheet.fill(QColor(0x3A, 0x3A, 0x3C));
    QPainter p(&sheet);
    Label(p, QRect(kMargin, 8, 1200, 30),
          "Orvena STUDIO 4 skin - 46 bitmaps (progress key colour: magenta 0xFF00FF at pixel (1,1))",
          QColor(0xEE, 0xEE, 0xEE), 17, true);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Cell &cell = cells[i];
        const QRect place = places[i];
        Label(p, QRect(place.left(), place.top(), place.width() + 60, 15), cell.title,
              QColor(0xFF, 0xD8, 0x90), 12, true);
        Label(p, QRect(place.left(), place.top() + 14, place.width() + 60, 14), cell.detail,
              QColor(0xC0, 0xC0, 0xC0), 10);
        const QRect target(place.left(), place.top() + kLabelHeight, cell.image.width() * cell.scale,
                           cell.image.height() * cell.scale);
        Checker(p, target.adjusted(-3, -3, 3, 3), 6);
        Stretch(p, target, cell.image);
    }
    return sheet;
}

QImage SheetRenderer::Preview()
{
    constexpr int kWidth = 793, kHeight = 508;
    QImage window(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&window);
    // Background tiles, columns and rows inclusive, clipped by the window.
    const QImage back = Bitmap("BACKGROUND");
    for (int i = 0; i <= kWidth / back.width(); ++i) {
        for (int j = 0; j <= kHeight / back.height(); ++j) {
            p.drawImage(i * back.width(), j * back.height(), back);
        }
    }
    // A few of the studio's panels and controls, at their places in the window definition.
    p.fillRect(QRect(40, 48, 244, 79), colours::Window());
    p.fillRect(QRect(156, 64, 121, 47), colours::Amber());
    p.fillRect(QRect(48, 76, 102, 25), colours::Brick());
    Label(p, QRect(56, 76, 100, 25), "SPEAKING", colours::FromBgr(0xEBF4B5), 15, true);
    Label(p, QRect(44, 48, 100, 16), "  DISPLAY", Qt::white, 11, true);
    p.fillRect(QRect(40, 136, 245, 169), QColor(0xC0, 0xC0, 0xC0));
    p.fillRect(QRect(300, 48, 461, 425), colours::Sage());
    Label(p, QRect(308, 56, 200, 17), "Orvena STUDIO 4", colours::FromBgr(0xC0FFFF), 14, true);
    p.fillRect(QRect(308, 92, 395, 333), QColor(0xFA, 0xFA, 0xF7));
    VerticalSlider(p, QPoint(712, 92), 15, 333, 0.3);
    VerticalProgress(p, QPoint(734, 92), 15, 333, 0.65);
    p.fillRect(QRect(52, 320, 41, 15), colours::Brick());
    Label(p, QRect(56, 320, 41, 15), "SPEED", Qt::white, 10, true);
    Slider(p, QPoint(100, 320), 171, 15, 0.45);
    p.fillRect(QRect(52, 356, 41, 15), colours::Brick());
    Label(p, QRect(56, 356, 41, 15), "TONE", Qt::white, 10, true);
    Slider(p, QPoint(100, 356), 171, 15, 0.8);
    // Voice choice on the option background, and a check box.
    const QImage sback = Bitmap("SBACKGROUND");
    const char *voices[] = {"FEMALE VOICE", "MALE VOICE 1", "MALE VOICE 2"};
    for (int i = 0; i < 3; ++i) {
        const QPoint at(108, 400 + i * 18);
        p.drawImage(at, sback.copy(0, 0, 100, 15));
        p.drawImage(at, Bitmap(i == 0 ? "RADIOON" : "RADIOOFF"));
        Label(p, QRect(at.x() + 17, at.y(), 90, 15), voices[i], QColor(0x0C, 0, 0), 10);
    }
    p.drawImage(QPoint(190, 400), sback.copy(0, 0, 90, 15));
    p.drawImage(QPoint(190, 400), Bitmap("CHECKON"));
    Label(p, QRect(207, 400, 80, 15), "Loop", QColor(0x0C, 0, 0), 10);
    p.drawImage(QPoint(190, 418), sback.copy(0, 0, 90, 15));
    p.drawImage(QPoint(190, 418), Bitmap("CHECKOFF"));
    Label(p, QRect(207, 418, 80, 15), "Echo", QColor(0x0C, 0, 0), 10);
    // Push buttons: released with a yellow caption, pressed with a white one.
    p.drawImage(QPoint(48, 150), Bitmap("BUTTONUP"));
    p.setPen(QColor(0xFF, 0xFF, 0x00));
    p.setFont(QFont("DejaVu Sans", 8, QFont::Bold));
    p.drawText(QRect(48, 150, 95, 23), Qt::AlignCenter, "SPEAK");
    p.drawImage(QPoint(150, 150), Bitmap("BUTTONDN"));
    p.setPen(Qt::white);
    p.drawText(QRect(150, 150, 95, 23), Qt::AlignCenter, "PAUSE");
    p.drawImage(QPoint(48, 180), Bitmap("BUTTONUP"));
    p.setPen(QColor(0x0C, 0, 0));
    p.drawText(QRect(48, 180, 95, 23), Qt::AlignCenter, "STOP");
    Progress(p, QPoint(48, 220), 220, 15, 0.5);
    Progress(p, QPoint(48, 245), 220, 15, 0.9);
    Progress(p, QPoint(48, 270), 220, 15, 0.12);

    // The frame, in the skin's order: edges stretched along their length, then the corners.
    const QImage top = Bitmap("TOPFORM"), bottom = Bitmap("BOTTOMFORM"), left = Bitmap("LEFTFORM"),
                 right = Bitmap("RIGHTFORM");
    Stretch(p, QRectF(0, 0, kWidth, top.height()), top);
    Stretch(p, QRectF(0, kHeight - bottom.height(), kWidth, bottom.height()), bottom);
    Stretch(p, QRectF(kWidth - right.width(), 0, right.width(), kHeight), right);
    Stretch(p, QRectF(0, 0, left.width(), kHeight), left);
    const QImage tl = Bitmap("TOPLEFT"), tr = Bitmap("TOPRIGHT"), bl = Bitmap("BOTTOMLEFT"),
                 br = Bitmap("BOTTOMRIGHT");
    p.drawImage(0, 0, tl);
    p.drawImage(kWidth - tr.width(), 0, tr);
    p.drawImage(0, kHeight - bl.height(), bl);
    p.drawImage(kWidth - br.width(), kHeight - br.height(), br);
    // Caption label and caption buttons (minimise, restore, close) in the title band.
    Label(p, QRect(32, 3, 300, 18), "Orvena STUDIO 4", QColor(0xFF, 0xFF, 0x00), 12, true);
    p.drawImage(733, 4, Bitmap("MINIUP"));
    p.drawImage(751, 4, Bitmap("RESTOREUP"));
    p.drawImage(769, 4, Bitmap("CLOSEUP"));
    return window;
}

} // namespace skingen
