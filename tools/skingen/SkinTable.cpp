// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/skingen/SkinTable.h"

#include "tools/skingen/ButtonPainter.h"
#include "tools/skingen/FramePainter.h"
#include "tools/skingen/PaletteQuantiser.h"
#include "tools/skingen/ProgressPainter.h"
#include "tools/skingen/SkinColours.h"
#include "tools/skingen/TrackPainter.h"

#include <stdexcept>

namespace skingen
{

namespace
{

using F = BitmapFormat;

std::function<QImage(QSize)> Frame(FramePiece piece)
{
    return [piece](QSize s) { return PaintFramePiece(piece, s); };
}
std::function<QImage(QSize)> Caption(CaptionGlyph glyph, bool pressed)
{
    return [glyph, pressed](QSize s) { return PaintCaptionButton(glyph, pressed, s); };
}
std::function<QImage(QSize)> Channel(Qt::Orientation o, TrackEnd end, bool ticks = false)
{
    return [o, end, ticks](QSize s) { return PaintChannel(s, o, end, ticks); };
}
std::function<QImage(QSize)> Arrow(ArrowDirection d, bool pressed)
{
    return [d, pressed](QSize s) { return PaintArrowButton(d, pressed, s); };
}

std::vector<SkinBitmap> BuildTable()
{
    using enum FramePiece;
    return {
        {"BACKGROUND", {57, 56}, F::Rgb24, PaintBackground},
        {"TOPLEFT", {70, 38}, F::Rgb24, Frame(TopLeft)},
        {"TOPRIGHT", {44, 33}, F::Rgb24, Frame(TopRight)},
        {"BOTTOMLEFT", {79, 22}, F::Rgb24, Frame(BottomLeft)},
        {"BOTTOMRIGHT", {20, 26}, F::Rgb24, Frame(BottomRight)},
        {"TOPFORM", {54, 26}, F::Rgb24, Frame(Top)},
        {"BOTTOMFORM", {55, 19}, F::Rgb24, Frame(Bottom)},
        {"LEFTFORM", {22, 45}, F::Rgb24, Frame(Left)},
        {"RIGHTFORM", {12, 27}, F::Rgb24, Frame(Right)},
        {"BUTTONUP", {95, 23}, F::Rgb24, [](QSize s) { return PaintPushButton(false, s); }},
        {"BUTTONDN", {95, 23}, F::Rgb24, [](QSize s) { return PaintPushButton(true, s); }},
        {"CHECKOFF", {15, 15}, F::Rgb24, [](QSize s) { return PaintCheckBox(false, s); }},
        {"CHECKON", {15, 15}, F::Rgb24, [](QSize s) { return PaintCheckBox(true, s); }},
        {"RADIOOFF", {15, 15}, F::Rgb24, [](QSize s) { return PaintRadioButton(false, s); }},
        {"RADIOON", {15, 15}, F::Rgb24, [](QSize s) { return PaintRadioButton(true, s); }},
        {"CLOSEUP", {18, 13}, F::Rgb24, Caption(CaptionGlyph::Close, false)},
        {"CLOSEDN", {18, 13}, F::Rgb24, Caption(CaptionGlyph::Close, true)},
        {"MINIUP", {18, 12}, F::Rgb24, Caption(CaptionGlyph::Minimise, false)},
        {"MINIDN", {18, 12}, F::Rgb24, Caption(CaptionGlyph::Minimise, true)},
        {"RESTOREUP", {18, 12}, F::Rgb24, Caption(CaptionGlyph::Restore, false)},
        {"RESTOREDN", {18, 12}, F::Rgb24, Caption(CaptionGlyph::Restore, true)},
        {"SBACKGROUND", {271, 58}, F::Rgb24, PaintOptionBackground},
        {"HLEFT", {14, 14}, F::Rle8, Channel(Qt::Horizontal, TrackEnd::Near)},
        {"HRIGHT", {14, 14}, F::Rle8, Channel(Qt::Horizontal, TrackEnd::Far)},
        {"MHSCROLL", {13, 14}, F::Rle8, Channel(Qt::Horizontal, TrackEnd::None)},
        {"HLEFTUP", {18, 12}, F::Rle8, Arrow(ArrowDirection::Left, false)},
        {"HLEFTDN", {18, 12}, F::Rle8, Arrow(ArrowDirection::Left, true)},
        {"HRIGHTUP", {18, 12}, F::Rle8, Arrow(ArrowDirection::Right, false)},
        {"HRIGHTDN", {18, 12}, F::Rle8, Arrow(ArrowDirection::Right, true)},
        {"THUMB", {12, 10}, F::Rle8, [](QSize s) { return PaintThumb(Qt::Horizontal, s); }},
        {"VSCROLLTOP", {14, 14}, F::Rle8, Channel(Qt::Vertical, TrackEnd::Near)},
        {"VSCROLLBOTTOM", {14, 14}, F::Rle8, Channel(Qt::Vertical, TrackEnd::Far)},
        {"VMIDSCROLL", {14, 13}, F::Rle8, Channel(Qt::Vertical, TrackEnd::None)},
        {"VUPUP", {12, 18}, F::Rle8, Arrow(ArrowDirection::Up, false)},
        {"VUPDN", {12, 18}, F::Rle8, Arrow(ArrowDirection::Up, true)},
        {"VDNUP", {12, 18}, F::Rle8, Arrow(ArrowDirection::Down, false)},
        {"VDNDN", {12, 18}, F::Rle8, Arrow(ArrowDirection::Down, true)},
        {"VTHUMB", {10, 12}, F::Rle8, [](QSize s) { return PaintThumb(Qt::Vertical, s); }},
        {"HPROGRESS", {400, 14}, F::Rle8, [](QSize s) { return PaintProgressFill(Qt::Horizontal, s); }},
        {"HBPROGLEFT", {10, 14}, F::Rle8, Channel(Qt::Horizontal, TrackEnd::Near)},
        {"HBPROGMID", {34, 14}, F::Rle8, Channel(Qt::Horizontal, TrackEnd::None, true)},
        {"HBPROGRIGHT", {10, 14}, F::Rle8, Channel(Qt::Horizontal, TrackEnd::Far)},
        {"VPROGRESS", {14, 400}, F::Rle8, [](QSize s) { return PaintProgressFill(Qt::Vertical, s); }},
        {"VPROGUP", {14, 10}, F::Rle8, Channel(Qt::Vertical, TrackEnd::Near)},
        {"VPROGDN", {14, 10}, F::Rle8, Channel(Qt::Vertical, TrackEnd::Far)},
        {"VBPROGMID", {14, 34}, F::Rle8, Channel(Qt::Vertical, TrackEnd::None, true)},
    };
}

} // namespace

const std::vector<SkinBitmap> &SkinBitmaps()
{
    static const std::vector<SkinBitmap> table = BuildTable();
    return table;
}

const SkinBitmap *FindSkinBitmap(const QString &name)
{
    for (const auto &entry : SkinBitmaps()) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

QImage RenderSkinBitmap(const SkinBitmap &bitmap)
{
    QImage drawn = bitmap.paint(bitmap.size).convertToFormat(QImage::Format_RGB32);
    if (drawn.size() != bitmap.size) {
        throw std::logic_error("skin bitmap " + bitmap.name.toStdString() + " drawn at the wrong size");
    }
    if (bitmap.format == BitmapFormat::Rgb24) {
        return drawn;
    }
    const bool hasKey =
        bitmap.name == QLatin1String("HPROGRESS") || bitmap.name == QLatin1String("VPROGRESS");
    return PaletteQuantiser::Quantise(drawn, hasKey ? QList<QRgb>{colours::kProgressKey} : QList<QRgb>{});
}

} // namespace skingen
