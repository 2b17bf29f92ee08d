// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/UcScroll.h"

#include "platform/ui/InputCodes.h"

#include "controls/Rounding.h"
#include "controls/SkinImages.h"
#include "controls/StretchImage.h"
#include "platform/gdi/Colour.h"
#include "platform/ui/Timer.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>

#include <cmath>
#include <limits>

namespace controls
{

namespace
{

// Bitmap names by orientation.
struct ScrollBitmaps {
    const char *firstUp, *firstDown, *secondUp, *secondDown, *thumb, *middle, *nearEnd, *farEnd;
};
constexpr ScrollBitmaps Horizontal{"HLEFTUP", "HLEFTDN",  "HRIGHTUP", "HRIGHTDN",
                                   "THUMB",   "MHSCROLL", "HLEFT",    "HRIGHT"};
constexpr ScrollBitmaps Vertical{"VUPUP",  "VUPDN",      "VDNUP",      "VDNDN",
                                 "VTHUMB", "VMIDSCROLL", "VSCROLLTOP", "VSCROLLBOTTOM"};

// The arrows are 4 : 3.2 wide when horizontal and 3.5 : 4 long when vertical; the caps of the
// horizontal track are drawn a fifth wider than their bitmap.
constexpr double HorizontalArrowDivisor = 3.2;
constexpr double VerticalArrowDivisor = 3.5;
constexpr double CapFactor = 1.2;

bool FitsInt16(int v)
{
    return v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max();
}

} // namespace

UcScroll::UcScroll(QWidget *parent)
    : ui::UserControl(parent), surfaceDc_(&surface_,
                                          [this](const QRect &r) {
                                              if (!painting_)
                                                  update(r.translated(BorderWidth(), BorderWidth()));
                                          }),
      imgLeft_(new StretchImage(this)), imgRight_(new StretchImage(this)), imgThumb_(new StretchImage(this)),
      clickTimer_(new ui::Timer(this)), failures_(QString::fromLatin1(ModuleName))
{
    Properties().ApplyDefaults(*this, ui::PropertyTable<UcScroll>::ConstantFields);
    clickTimer_->SetEnabled(false);
    clickTimer_->SetInterval(FirstRepeatMs);
    connect(clickTimer_, &ui::Timer::Tick, this, &UcScroll::ClickTimer_Timer);
    connect(imgLeft_, &StretchImage::MouseDown, this, &UcScroll::ImgLeft_MouseDown);
    connect(imgLeft_, &StretchImage::MouseUp, this, &UcScroll::ImgLeft_MouseUp);
    connect(imgLeft_, &StretchImage::Click, this, &UcScroll::ImgLeft_Click);
    connect(imgRight_, &StretchImage::MouseDown, this, &UcScroll::ImgRight_MouseDown);
    connect(imgRight_, &StretchImage::MouseUp, this, &UcScroll::ImgRight_MouseUp);
    connect(imgRight_, &StretchImage::Click, this, &UcScroll::ImgRight_Click);
    connect(imgThumb_, &StretchImage::MouseDown, this, &UcScroll::ImgThumb_MouseDown);
    connect(imgThumb_, &StretchImage::MouseMove, this, &UcScroll::ImgThumb_MouseMove);
    connect(imgThumb_, &StretchImage::MouseUp, this, &UcScroll::ImgThumb_MouseUp);
}

UcScroll::~UcScroll() = default;

// -- properties ------------------------------------------------------------------------------

void UcScroll::SetSmallChange(std::int32_t value)
{
    if (value < 1 || value > 32767)
        return;
    smallChange_ = value;
    Q_EMIT PropertyChanged(QString::fromLatin1(KeySmallChange));
}

void UcScroll::SetLargeChange(std::int32_t value)
{
    if (value < 1 || value > 32767)
        return;
    largeChange_ = value;
    Q_EMIT PropertyChanged(QString::fromLatin1(KeyLargeChange));
}

void UcScroll::SetValue(std::int32_t value)
{
    if (value < min_)
        value = min_;
    if (value > max_)
        value = max_;
    value_ = value;
    PositionThumb();
    Q_EMIT PropertyChanged(QString::fromLatin1(KeyValue));
    Q_EMIT Change();
}

// Min + 100 and Max - 100 saturate at the ends of the 32-bit range instead of overflowing.
void UcScroll::SetMin(std::int32_t value)
{
    if (max_ < value)
        max_ = Saturate32(std::int64_t(value) + 100);
    min_ = value;
    Q_EMIT PropertyChanged(QString::fromLatin1(KeyMin));
}

void UcScroll::SetMax(std::int32_t value)
{
    if (value < min_)
        min_ = Saturate32(std::int64_t(value) - 100);
    max_ = value;
    Q_EMIT PropertyChanged(QString::fromLatin1(KeyMax));
}

void UcScroll::SetBorderStyle(std::int16_t style)
{
    ui::UserControl::SetBorderStyle(style);
    const int origin = BorderWidth();
    imgLeft_->SetOrigin(origin);
    imgRight_->SetOrigin(origin);
    imgThumb_->SetOrigin(origin);
    Q_EMIT PropertyChanged(QString::fromLatin1(KeyBorderStyle));
    // The inner area changed size: lay out again as a resize would.
    if (!Restoring())
        UserControl_Resize();
}

void UcScroll::SetOrientation(std::int16_t orientation)
{
    orientation_ = orientation;
    Q_EMIT PropertyChanged(QString::fromLatin1(KeyOrientation));
    pictureFailed_ = false;
    failures_.Reset();
    GetThePict();
    UserResize();
    Repaint();
}

// -- persistence -----------------------------------------------------------------------------

const ui::PropertyTable<UcScroll> &UcScroll::Properties()
{
    using ui::Field;
    const auto key = [](const char *name) { return QString::fromLatin1(name); };
    static const ui::PropertyTable<UcScroll> table{
        // Stored as a 16-bit code: anything wider reads as no border.
        ui::Accessor<UcScroll, int>(
            key(KeyBorderStyle), 0, [](const UcScroll &s) { return s.BorderStyle(); },
            [](UcScroll &s, int style) { s.ui::UserControl::SetBorderStyle(FitsInt16(style) ? style : 0); }),
        Field(key(KeyOrientation), &UcScroll::orientation_, std::int16_t(0)), // horizontal
        Field(key(KeyMin), &UcScroll::min_, std::int32_t(0)),
        Field(key(KeyMax), &UcScroll::max_, std::int32_t(100)),
        Field(key(KeyValue), &UcScroll::value_, std::int32_t(0)),
        Field(key(KeySmallChange), &UcScroll::smallChange_, std::int32_t(1)),
        Field(key(KeyLargeChange), &UcScroll::largeChange_, std::int32_t(10)),
    };
    return table;
}

void UcScroll::InitProperties()
{
    Properties().ApplyDefaults(*this, ui::PropertyTable<UcScroll>::ConstantFields);
}

void UcScroll::ReadProperties(const ui::PropertyBag &bag)
{
    Properties().Read(*this, bag);
    pictureFailed_ = false;
    failures_.Reset();
    GetThePict();
    // The layout follows the orientation just read (the host's own resize comes after siting).
    UserResize();
    Repaint();
}

void UcScroll::WriteProperties(ui::PropertyBag &bag) const
{
    Properties().Write(*this, bag);
}

// -- bitmaps, layout, painting ---------------------------------------------------------------

// The new bitmap is selected before the old one is freed, so the context never holds a dangling one.
void UcScroll::LoadContext(skin::ClsPictureDC &context, std::unique_ptr<gdi::Bitmap> &bitmap,
                           const char *name)
{
    auto loaded = std::make_unique<gdi::Bitmap>(LoadSkinImage(QString::fromLatin1(name)));
    context.SetStdBitmap(loaded.get());
    bitmap = std::move(loaded);
}

void UcScroll::GetThePict()
{
    try {
        const ScrollBitmaps &names = Vertical() ? controls::Vertical : controls::Horizontal;
        if (Vertical()) {
            LoadContext(middle_, middleBitmap_, names.middle);
            LoadContext(farEnd_, farBitmap_, names.farEnd);
            LoadContext(nearEnd_, nearBitmap_, names.nearEnd);
        } else {
            LoadContext(middle_, middleBitmap_, names.middle);
            LoadContext(nearEnd_, nearBitmap_, names.nearEnd);
            LoadContext(farEnd_, farBitmap_, names.farEnd);
        }
        // The pressed arrows are loaded with the rest, so pressing an arrow cannot fail.
        const QImage thumb = LoadSkinImage(QString::fromLatin1(names.thumb));
        secondUp_ = LoadSkinImage(QString::fromLatin1(names.secondUp));
        secondDown_ = LoadSkinImage(QString::fromLatin1(names.secondDown));
        firstUp_ = LoadSkinImage(QString::fromLatin1(names.firstUp));
        firstDown_ = LoadSkinImage(QString::fromLatin1(names.firstDown));
        imgRight_->SetPicture(secondUp_);
        imgLeft_->SetPicture(firstUp_);
        imgThumb_->SetPicture(thumb);
        pictureFailed_ = false;
    } catch (const skin::Failure &failure) {
        pictureFailed_ = true;
        failures_.Report(failure, QStringLiteral("GetThePict"));
    }
}

void UcScroll::UserResize()
{
    const int origin = BorderWidth();
    imgLeft_->SetOrigin(origin);
    imgRight_->SetOrigin(origin);
    imgThumb_->SetOrigin(origin);
    if (!Vertical()) {
        // Whole pixels never above the limit, so the clamp settles at once.
        if (Height() > MaxThicknessTwips)
            SetHeight(std::floor(MaxThicknessTwips / TwipsPerPixelY()) * TwipsPerPixelY());
        const std::int16_t k = std::int16_t(gdi::RoundToInt(Height() / 50.0));
        const double H = ScaleHeight();
        const double W = ScaleWidth();
        const double height = H - k;
        const double width = height * 4 / HorizontalArrowDivisor;
        imgRight_->SetSize(width, height);
        imgRight_->SetLeft(W - (width + 2));
        imgRight_->SetTop((H - height) / 2);
        imgLeft_->SetSize(width, height);
        imgLeft_->SetLeft(2);
        imgLeft_->SetTop((H - height) / 2);
        imgThumb_->SetSize(width, height);
        imgThumb_->SetTop((H - height) / 2);
    } else {
        if (Width() > MaxThicknessTwips)
            SetWidth(std::floor(MaxThicknessTwips / TwipsPerPixelX()) * TwipsPerPixelX());
        const std::int16_t k = std::int16_t(gdi::RoundToInt(Width() / 50.0));
        const double H = ScaleHeight();
        const double W = ScaleWidth();
        const double width = W - k;
        const double height = width * 4 / VerticalArrowDivisor;
        imgRight_->SetSize(width, height);
        imgRight_->SetLeft((W - width) / 2);
        imgRight_->SetTop(H - height - 2);
        imgLeft_->SetSize(width, height);
        imgLeft_->SetLeft((W - width) / 2);
        imgLeft_->SetTop(2);
        imgThumb_->SetSize(width, height);
        imgThumb_->SetLeft((W - width) / 2);
    }
}

void UcScroll::Repaint()
{
    if (repaintBusy_)
        return;
    const QScopedValueRollback busy(repaintBusy_, true);

    const int W = ScaleWidth();
    const int H = ScaleHeight();
    if (surface_.size() != QSize(W, H))
        surface_ = (W > 0 && H > 0) ? QImage(W, H, QImage::Format_RGB32) : QImage();
    if (!surface_.isNull())
        surface_.fill(gdi::ToQColor(BackColor()));
    if (!painting_)
        update();
    // A control that was never restored (a fresh one) gets its bitmaps on its first paint; after a
    // failed load the next attempt waits for an orientation or property read.
    if (!middle_.hDC() && !pictureFailed_)
        GetThePict();
    if (!middle_.hDC() || !nearEnd_.hDC() || !farEnd_.hDC() || middle_.Width() <= 0 || middle_.Height() <= 0)
        return;

    if (!Vertical()) {
        const int tile = middle_.Width();
        const int n = gdi::RoundToInt(double(W) / tile);
        const int T = BorderStyle() != 0 ? H - 2 : H;
        for (int i = 0; i <= n; ++i)
            surfaceDc_.StretchBlt(i * tile, 0, tile, T, middle_.hDC(), 0, 0, tile, middle_.Height(),
                                  gdi::SRCCOPY);
        const int nearWidth = gdi::RoundToInt(nearEnd_.Width() * CapFactor);
        surfaceDc_.StretchBlt(0, 0, nearWidth, T, nearEnd_.hDC(), 0, 0, nearEnd_.Width(), nearEnd_.Height(),
                              gdi::SRCCOPY);
        const int farWidth = gdi::RoundToInt(farEnd_.Width() * CapFactor);
        surfaceDc_.StretchBlt(gdi::RoundToInt(W - farEnd_.Width() * CapFactor), 0, farWidth, T, farEnd_.hDC(),
                              0, 0, farEnd_.Width(), farEnd_.Height(), gdi::SRCCOPY);
    } else {
        const int tile = middle_.Height();
        const int n = gdi::RoundToInt(double(H) / tile);
        for (int i = 0; i <= n; ++i)
            surfaceDc_.StretchBlt(0, i * tile, W, tile, middle_.hDC(), 0, 0, middle_.Width(), tile,
                                  gdi::SRCCOPY);
        surfaceDc_.StretchBlt(0, 0, W, nearEnd_.Height(), nearEnd_.hDC(), 0, 0, nearEnd_.Width(),
                              nearEnd_.Height(), gdi::SRCCOPY);
        surfaceDc_.StretchBlt(0, H - farEnd_.Height(), W, farEnd_.Height(), farEnd_.hDC(), 0, 0,
                              farEnd_.Width(), farEnd_.Height(), gdi::SRCCOPY);
    }
    PositionThumb();
}

double UcScroll::TrackStart() const
{
    return Vertical() ? imgLeft_->Top() + imgLeft_->Height() : imgLeft_->Left() + imgLeft_->Width();
}

double UcScroll::TrackEnd() const
{
    return Vertical() ? imgRight_->Top() - imgThumb_->Height() : imgRight_->Left() - imgThumb_->Width();
}

void UcScroll::PositionThumb()
{
    // An empty range has no place for the thumb: it stays where it is.
    if (max_ == min_)
        return;
    const double lo = TrackStart();
    const double hi = TrackEnd();
    const double f = (double(value_) - double(min_)) / (double(max_) - double(min_));
    if (Vertical())
        imgThumb_->SetTop(lo + f * (hi - lo));
    else
        imgThumb_->SetLeft(lo + f * (hi - lo));
}

// -- events ----------------------------------------------------------------------------------

void UcScroll::paintEvent(QPaintEvent *event)
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
    // Keyboard focus (a host that lets the bar take it): a dotted frame round the track.
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void UcScroll::resizeEvent(QResizeEvent *)
{
    UserControl_Resize();
}

void UcScroll::UserControl_Resize()
{
    UserResize();
    Repaint();
}

void UcScroll::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    const QPointF p = event->position() - QPointF(BorderWidth(), BorderWidth());
    UserControl_MouseDown(ui::MouseButtonCode(event->button()), ui::ShiftCode(event->modifiers()), p.x(),
                          p.y());
}

// A press on the track pages towards it: beyond the thumb's leading edge raises Value.
void UcScroll::UserControl_MouseDown(int, int, double x, double y)
{
    const double press = Vertical() ? y : x;
    const double edge = Vertical() ? imgThumb_->Top() : imgThumb_->Left();
    Step(press > edge ? std::int64_t(largeChange_) : -std::int64_t(largeChange_));
}

void UcScroll::Step(std::int64_t delta)
{
    SetValue(Saturate32(std::int64_t(value_) + delta));
}

void UcScroll::StartRepeat(bool increase)
{
    repeatIncrease_ = increase;
    clickTimer_->SetInterval(FirstRepeatMs);
    clickTimer_->SetEnabled(true);
    repeatCount_ = 0;
}

void UcScroll::ImgLeft_MouseDown(int, int, double, double)
{
    imgLeft_->SetPicture(firstDown_);
    StartRepeat(false);
}

void UcScroll::ImgLeft_MouseUp(int, int, double, double)
{
    clickTimer_->SetEnabled(false);
    imgLeft_->SetPicture(firstUp_);
}

void UcScroll::ImgLeft_Click()
{
    Step(-std::int64_t(smallChange_));
}

void UcScroll::ImgRight_MouseDown(int, int, double, double)
{
    imgRight_->SetPicture(secondDown_);
    StartRepeat(true);
}

void UcScroll::ImgRight_MouseUp(int, int, double, double)
{
    clickTimer_->SetEnabled(false);
    imgRight_->SetPicture(secondUp_);
}

void UcScroll::ImgRight_Click()
{
    Step(smallChange_);
}

void UcScroll::ClickTimer_Timer()
{
    Step(repeatIncrease_ ? std::int64_t(smallChange_) : -std::int64_t(smallChange_));
    ++repeatCount_;
    if (repeatCount_ > SlowRepeatTicks - 1)
        clickTimer_->SetInterval(FastRepeatMs);
}

void UcScroll::ImgThumb_MouseDown(int, int, double x, double y)
{
    dragging_ = true;
    if (Vertical()) {
        grabY_ = gdi::RoundToInt(y / TwipsPerPixelY());
        lastThumb_ = gdi::RoundToInt(y / TwipsPerPixelY() + imgThumb_->Top());
    } else {
        grabX_ = gdi::RoundToInt(x / TwipsPerPixelX());
        lastThumb_ = gdi::RoundToInt(x / TwipsPerPixelX() + imgThumb_->Left());
    }
}

void UcScroll::ImgThumb_MouseMove(int, int, double x, double y)
{
    if (!dragging_)
        return;
    try {
        const double lo = TrackStart();
        const double hi = TrackEnd();
        std::int32_t p = Vertical() ? gdi::RoundToInt(y / TwipsPerPixelY() + imgThumb_->Top() - grabY_)
                                    : gdi::RoundToInt(x / TwipsPerPixelX() + imgThumb_->Left() - grabX_);
        if (p >= hi)
            p = gdi::RoundToInt(hi);
        if (lo >= p)
            p = gdi::RoundToInt(lo);
        if (p == lastThumb_)
            return;
        if (Vertical())
            imgThumb_->SetTop(p);
        else
            imgThumb_->SetLeft(p);
        lastThumb_ = p;
        if (hi == lo)
            throw skin::Failure(ErrDivisionByZero, QStringLiteral("Division by zero"));
        const double edge = Vertical() ? imgThumb_->Top() : imgThumb_->Left();
        SetValue(gdi::RoundToInt((edge - lo) / (hi - lo) * (double(max_) - double(min_)) + double(min_)));
        Q_EMIT Scroll();
    } catch (const skin::Failure &failure) {
        // The drag cannot go on meaningfully; ending it keeps the failure to one report.
        dragging_ = false;
        failures_.Report(failure, QStringLiteral("ImgThumb_MouseMove"));
    }
}

void UcScroll::ImgThumb_MouseUp(int, int, double, double)
{
    dragging_ = false;
}

} // namespace controls
