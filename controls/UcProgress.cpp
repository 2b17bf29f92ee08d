// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/UcProgress.h"

#include "controls/Rounding.h"
#include "controls/SkinImages.h"
#include "platform/gdi/Colour.h"

#include <QPainter>
#include <QScopedValueRollback>

#include <cmath>
#include <limits>

namespace controls
{

namespace
{

struct ProgressBitmaps {
    const char *tile, *firstCap, *secondCap, *strip;
};
constexpr ProgressBitmaps Horizontal{"HBPROGMID", "HBPROGRIGHT", "HBPROGLEFT", "HPROGRESS"};
constexpr ProgressBitmaps Vertical{"VBPROGMID", "VPROGUP", "VPROGDN", "VPROGRESS"};

// The horizontal trough's caps are drawn a fifth wider than their bitmap; a short fill starts a
// little in, clear of the left cap; the vertical fill keeps clear of the bottom cap.
constexpr double CapFactor = 1.2;
constexpr double ShortFillRatio = 1.3;
constexpr int ShortFillInset = 4;
constexpr int VerticalInset = 4;

constexpr gdi::Colour White = 0xFFFFFF;
constexpr gdi::Colour Black = 0x000000;

} // namespace

UcProgress::UcProgress(QWidget *parent)
    : ui::UserControl(parent), surfaceDc_(&surface_,
                                          [this](const QRect &r) {
                                              if (!painting_)
                                                  update(r.translated(BorderWidth(), BorderWidth()));
                                          }),
      failures_(QString::fromLatin1(ModuleName))
{
    Properties().ApplyDefaults(*this, ui::PropertyTable<UcProgress>::ConstantFields);
}

UcProgress::~UcProgress()
{
    pictDc_.SelectObject(static_cast<gdi::Bitmap *>(nullptr));
}

// -- properties ------------------------------------------------------------------------------

void UcProgress::SetValue(std::int32_t value)
{
    if (value > max_ || value < min_)
        return;
    value_ = value;
    Q_EMIT PropertyChanged(QString::fromLatin1(KeyValue));
    Repaint();
}

void UcProgress::SetMin(std::int32_t value)
{
    min_ = value < 0 ? 0 : value;
    failures_.Reset();
    Q_EMIT PropertyChanged(QString::fromLatin1(KeyMin));
}

void UcProgress::SetMax(std::int32_t value)
{
    max_ = value;
    failures_.Reset();
    Q_EMIT PropertyChanged(QString::fromLatin1(KeyMax));
}

void UcProgress::SetOrientation(std::int16_t orientation)
{
    orientation_ = orientation;
    failures_.Reset();
    Q_EMIT PropertyChanged(QString::fromLatin1(KeyOrientation));
    GetThePict();
    UserResize();
    Repaint();
}

void UcProgress::Refresh()
{
    Repaint();
}

// -- persistence -----------------------------------------------------------------------------

const ui::PropertyTable<UcProgress> &UcProgress::Properties()
{
    using ui::Field;
    const auto key = [](const char *name) { return QString::fromLatin1(name); };
    static const ui::PropertyTable<UcProgress> table{
        Field(key(KeyOrientation), &UcProgress::orientation_, std::int16_t(0)), // horizontal
        Field(key(KeyMin), &UcProgress::min_, std::int32_t(0)),
        Field(key(KeyMax), &UcProgress::max_, std::int32_t(100)),
        Field(key(KeyValue), &UcProgress::value_, std::int32_t(0)),
    };
    return table;
}

void UcProgress::InitProperties()
{
    Properties().ApplyDefaults(*this, ui::PropertyTable<UcProgress>::ConstantFields);
    // The border is not stored; a new bar has none.
    ui::UserControl::SetBorderStyle(0);
}

void UcProgress::ReadProperties(const ui::PropertyBag &bag)
{
    Properties().Read(*this, bag);
    // The bitmaps held so far may be of the other orientation: the next paint loads them again.
    pictureStale_ = true;
    pictureFailed_ = false;
    failures_.Reset();
}

void UcProgress::WriteProperties(ui::PropertyBag &bag) const
{
    Properties().Write(*this, bag);
}

// -- bitmaps ---------------------------------------------------------------------------------

void UcProgress::LoadContext(Context context, const char *name)
{
    auto loaded = std::make_unique<gdi::Bitmap>(LoadSkinImage(QString::fromLatin1(name)));
    contexts_[context].SetStdBitmap(loaded.get());
    troughBitmaps_[context] = std::move(loaded);
}

void UcProgress::GetThePict()
{
    try {
        const ProgressBitmaps &names = Vertical() ? controls::Vertical : controls::Horizontal;
        LoadContext(TroughTile, names.tile);
        LoadContext(SecondCap, names.secondCap);
        LoadContext(FirstCap, names.firstCap);
        pictBar_.SetPicture(LoadSkinImage(QString::fromLatin1(names.strip)));
        // Two independent copies of the strip: one becomes the sprite, the other the mask.
        contexts_[FillSprite].SetPictBitmap(pictBar_);
        contexts_[FillMask].SetPictBitmap(pictBar_);
        pictureFailed_ = false;
        pictureStale_ = false;
    } catch (const skin::Failure &failure) {
        pictureFailed_ = true;
        failures_.Report(failure, QStringLiteral("GetThePict"));
        return;
    }
    MaskSprite();
}

void UcProgress::MaskSprite()
{
    gdi::Dc *sprite = contexts_[FillSprite].hDC();
    gdi::Dc *mask = contexts_[FillMask].hDC();
    if (!sprite || !mask)
        return;
    const gdi::Colour key = sprite->GetPixel(1, 1);
    const int height = contexts_[FillSprite].Height();
    const int width = contexts_[FillSprite].Width();
    for (int i = 0; i < height; ++i) {
        for (int j = 0; j < width; ++j) {
            if (sprite->GetPixel(j, i) == key) {
                mask->SetPixelV(j, i, White);
                sprite->SetPixelV(j, i, White);
            } else {
                mask->SetPixelV(j, i, Black);
            }
        }
    }
}

// -- layout and painting ---------------------------------------------------------------------

void UcProgress::UserResize()
{
    // Whole pixels never above the limit, so the clamp settles at once.
    if (!Vertical() && Height() > MaxThicknessTwips)
        SetHeight(std::floor(MaxThicknessTwips / TwipsPerPixelY()) * TwipsPerPixelY());
    if (Vertical() && Width() > MaxThicknessTwips)
        SetWidth(std::floor(MaxThicknessTwips / TwipsPerPixelX()) * TwipsPerPixelX());
    // PictDC covers the inner area, off screen.
    const int w = ScaleWidth();
    const int h = ScaleHeight();
    if (pictDcBitmap_.Width() != w || pictDcBitmap_.Height() != h) {
        pictDc_.SelectObject(static_cast<gdi::Bitmap *>(nullptr));
        pictDcBitmap_ = (w > 0 && h > 0) ? gdi::Bitmap(w, h) : gdi::Bitmap();
        if (!pictDcBitmap_.IsNull())
            pictDc_.SelectObject(&pictDcBitmap_);
    }
}

void UcProgress::Repaint()
{
    if (repaintBusy_)
        return;
    const QScopedValueRollback busy(repaintBusy_, true);

    // A bar painted before its first resize event still composes at its current size.
    if (pictDcBitmap_.Width() != ScaleWidth() || pictDcBitmap_.Height() != ScaleHeight())
        UserResize();
    if (!pictDcBitmap_.IsNull())
        pictDcBitmap_.Pixels().fill(gdi::ToQColor(BackColor()));
    if ((!contexts_[TroughTile].hDC() || pictureStale_) && !pictureFailed_)
        GetThePict();

    sw_ = ScaleWidth();
    sh_ = ScaleHeight();
    if (surface_.size() != QSize(sw_, sh_))
        surface_ = (sw_ > 0 && sh_ > 0) ? QImage(sw_, sh_, QImage::Format_RGB32) : QImage();
    if (!painting_)
        update();
    for (const skin::ClsPictureDC &context : contexts_) {
        if (!context.hDC() || context.Width() <= 0 || context.Height() <= 0) {
            // Nothing to compose (the bitmaps could not be loaded; that was reported).
            if (!surface_.isNull())
                surface_.fill(gdi::ToQColor(BackColor()));
            return;
        }
    }

    const skin::ClsPictureDC &tile = contexts_[TroughTile];
    const skin::ClsPictureDC &first = contexts_[FirstCap];
    const skin::ClsPictureDC &second = contexts_[SecondCap];
    if (!Vertical()) {
        const int n = gdi::RoundToInt(double(sw_) / tile.Width());
        const int T = BorderStyle() != 0 ? sh_ - 2 : sh_;
        for (int i = 0; i <= n; ++i)
            pictDc_.StretchBlt(i * tile.Width(), 0, tile.Width(), T, tile.hDC(), 0, 0, tile.Width(),
                               tile.Height(), gdi::SRCCOPY);
        pictDc_.StretchBlt(0, 0, gdi::RoundToInt(CapFactor * second.Width()), T, second.hDC(), 0, 0,
                           second.Width(), second.Height(), gdi::SRCCOPY);
        pictDc_.StretchBlt(gdi::RoundToInt(sw_ - CapFactor * first.Width()), 0,
                           gdi::RoundToInt(CapFactor * first.Width()), T, first.hDC(), 0, 0, first.Width(),
                           first.Height(), gdi::SRCCOPY);
    } else {
        const int n = gdi::RoundToInt(double(sh_) / tile.Height());
        for (int i = 0; i <= n; ++i)
            pictDc_.StretchBlt(0, i * tile.Height(), sw_, tile.Height(), tile.hDC(), 0, 0, tile.Width(),
                               tile.Height(), gdi::SRCCOPY);
        pictDc_.StretchBlt(0, 0, sw_, first.Height(), first.hDC(), 0, 0, first.Width(), first.Height(),
                           gdi::SRCCOPY);
        pictDc_.StretchBlt(0, sh_ - second.Height(), sw_, second.Height(), second.hDC(), 0, 0, second.Width(),
                           second.Height(), gdi::SRCCOPY);
    }
    CopyTransPict();
}

std::int32_t UcProgress::GetHorizontalPos()
{
    try {
        if (max_ == min_)
            throw skin::Failure(ErrDivisionByZero, QStringLiteral("Division by zero"));
        return gdi::RoundToInt((double(value_) - double(min_)) / (double(max_) - double(min_)) * sw_);
    } catch (const skin::Failure &failure) {
        failures_.Report(failure, QStringLiteral("GetHorizontalPos"));
        return 0;
    }
}

std::int32_t UcProgress::GetVerticalPos()
{
    try {
        if (max_ == min_)
            throw skin::Failure(ErrDivisionByZero, QStringLiteral("Division by zero"));
        return gdi::RoundToInt(-(double(value_) - double(min_)) / (double(max_) - double(min_)) *
                               (sh_ - VerticalInset));
    } catch (const skin::Failure &failure) {
        failures_.Report(failure, QStringLiteral("GetVerticalPos"));
        return 0;
    }
}

void UcProgress::CopyTransPict()
{
    const skin::ClsPictureDC &sprite = contexts_[FillSprite];
    const skin::ClsPictureDC &mask = contexts_[FillMask];
    int x = 0, y = 0, width = 0, height = 0;
    if (!Vertical()) {
        const std::int32_t L = GetHorizontalPos();
        x = L < sw_ / ShortFillRatio ? ShortFillInset : 0;
        width = L;
        height = sh_;
    } else {
        const std::int32_t L = GetVerticalPos();
        y = sh_ - VerticalInset;
        width = sw_;
        height = L; // not positive: drawn upward, the strip mirrored
    }
    pictDc_.StretchBlt(x, y, width, height, mask.hDC(), 0, 0, mask.Width(), mask.Height(), gdi::MERGEPAINT);
    pictDc_.StretchBlt(x, y, width, height, sprite.hDC(), 0, 0, sprite.Width(), sprite.Height(), gdi::SRCAND);
    surfaceDc_.BitBlt(0, 0, sw_, sh_, &pictDc_, 0, 0, gdi::SRCCOPY);
}

// -- events ----------------------------------------------------------------------------------

void UcProgress::paintEvent(QPaintEvent *event)
{
    ui::UserControl::paintEvent(event);
    if (Restoring())
        return;
    {
        const QScopedValueRollback painting(painting_, true);
        Repaint();
    }
    if (surface_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(BorderWidth(), BorderWidth(), surface_);
}

void UcProgress::resizeEvent(QResizeEvent *)
{
    UserControl_Resize();
}

void UcProgress::UserControl_Resize()
{
    UserResize();
}

} // namespace controls
