// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/FailureReporter.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Dc.h"
#include "platform/ui/PropertyTable.h"
#include "platform/ui/UserControl.h"
#include "skin/ClsPictureDC.h"

#include <QImage>

#include <cstdint>
#include <memory>

namespace ui
{
class Timer;
}

namespace controls
{

class StretchImage;

// A scroll bar drawn entirely from skin bitmaps: a track painted onto the control's own surface
// (a middle tile repeated between two end caps), two arrow images, a thumb image and one repeat
// timer for held arrows. Horizontal (Orientation 0) or vertical (any other Orientation), where the
// first arrow (left / up) lowers Value and Min sits at the left / top.
//
// The outer size is twips, as the host sets it; everything inside is pixels of the inner area.
// Value writes always raise Change, also when the value stays the same; Scroll follows the Change
// of every drag step that moved the thumb.
class UcScroll : public ui::UserControl
{
    Q_OBJECT
  public:
    explicit UcScroll(QWidget *parent = nullptr);
    ~UcScroll() override;

    std::int32_t SmallChange() const { return smallChange_; }
    void SetSmallChange(std::int32_t value); // 1..32767, anything else is ignored
    std::int32_t LargeChange() const { return largeChange_; }
    void SetLargeChange(std::int32_t value); // 1..32767, anything else is ignored
    std::int32_t Value() const { return value_; }
    void SetValue(std::int32_t value); // clamped to Min..Max; always raises Change
    std::int32_t Min() const { return min_; }
    void SetMin(std::int32_t value); // a Max below it becomes Min + 100
    std::int32_t Max() const { return max_; }
    void SetMax(std::int32_t value); // a Min above it becomes Max - 100
    std::int16_t BorderStyle() const { return std::int16_t(ui::UserControl::BorderStyle()); }
    void SetBorderStyle(std::int16_t style);
    std::int16_t Orientation() const { return orientation_; }
    void SetOrientation(std::int16_t orientation);
    bool Vertical() const { return orientation_ != 0; }

    void InitProperties() override;
    void ReadProperties(const ui::PropertyBag &bag) override;
    void WriteProperties(ui::PropertyBag &bag) const override;

    // The parts, for hosts and tests that look at the layout (read only).
    const StretchImage &ImgLeft() const { return *imgLeft_; }
    const StretchImage &ImgRight() const { return *imgRight_; }
    const StretchImage &ImgThumb() const { return *imgThumb_; }
    const ui::Timer &ClickTimer() const { return *clickTimer_; }
    // The persistent drawing of the inner area: the track as last painted.
    const QImage &Surface() const { return surface_; }

    // The program's own strings.
    static constexpr const char *ModuleName = "UcScroll";
    static constexpr const char *KeyBorderStyle = "BorderStyle";
    static constexpr const char *KeyOrientation = "Orientation";
    static constexpr const char *KeyMin = "Min";
    static constexpr const char *KeyMax = "Max";
    static constexpr const char *KeyValue = "Value";
    static constexpr const char *KeySmallChange = "SmallChange";
    static constexpr const char *KeyLargeChange = "LargeChange";

    // Timing of the arrow repeat: the first ticks, how many of them, and the fast rate after.
    static constexpr int FirstRepeatMs = 333;
    static constexpr int SlowRepeatTicks = 4;
    static constexpr int FastRepeatMs = 3;
    // The largest outer thickness (height when horizontal, width when vertical), in twips.
    static constexpr double MaxThicknessTwips = 350;

  Q_SIGNALS:
    void Change();
    void Scroll();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

  private:
    // The table of stored properties, in the order they are saved.
    static const ui::PropertyTable<UcScroll> &Properties();

    void GetThePict();
    void UserResize();
    void Repaint();
    void PositionThumb();
    void UserControl_Resize();
    void UserControl_MouseDown(int button, int shift, double x, double y);
    void ImgLeft_MouseDown(int button, int shift, double x, double y);
    void ImgLeft_MouseUp(int button, int shift, double x, double y);
    void ImgLeft_Click();
    void ImgRight_MouseDown(int button, int shift, double x, double y);
    void ImgRight_MouseUp(int button, int shift, double x, double y);
    void ImgRight_Click();
    void ImgThumb_MouseDown(int button, int shift, double x, double y);
    void ImgThumb_MouseMove(int button, int shift, double x, double y);
    void ImgThumb_MouseUp(int button, int shift, double x, double y);
    void ClickTimer_Timer();

    void StartRepeat(bool increase);
    void Step(std::int64_t delta); // Value + delta, without 32-bit overflow
    double TrackStart() const;     // lo of the thumb's travel
    double TrackEnd() const;       // hi of the thumb's travel
    void LoadContext(skin::ClsPictureDC &context, std::unique_ptr<gdi::Bitmap> &bitmap, const char *name);

    // Stored properties; their defaults are in the property table.
    std::int32_t min_ = 0;
    std::int32_t max_ = 0;
    std::int32_t value_ = 0;
    std::int32_t smallChange_ = 0;
    std::int32_t largeChange_ = 0;
    std::int16_t orientation_ = 0;

    bool repeatIncrease_ = false;
    std::int32_t repeatCount_ = 0;
    bool dragging_ = false;
    std::int32_t grabX_ = 0;
    std::int32_t grabY_ = 0;
    std::int32_t lastThumb_ = 0;
    bool repaintBusy_ = false;
    bool painting_ = false;      // inside a paint event: the surface is shown right after
    bool pictureFailed_ = false; // the bitmaps of this orientation could not be loaded

    // Track pieces: the picture device contexts and the bitmaps they select (owned here).
    // The bitmaps come first so they outlive the contexts that select them.
    std::unique_ptr<gdi::Bitmap> middleBitmap_;
    std::unique_ptr<gdi::Bitmap> nearBitmap_;
    std::unique_ptr<gdi::Bitmap> farBitmap_;
    skin::ClsPictureDC middle_;
    skin::ClsPictureDC nearEnd_;
    skin::ClsPictureDC farEnd_;
    // Arrow pictures of the orientation, released and pressed.
    QImage firstUp_, firstDown_, secondUp_, secondDown_;

    QImage surface_;
    gdi::Dc surfaceDc_;
    StretchImage *imgLeft_;
    StretchImage *imgRight_;
    StretchImage *imgThumb_;
    ui::Timer *clickTimer_;
    FailureReporter failures_;
};

} // namespace controls
