// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/FailureReporter.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Dc.h"
#include "platform/ui/PropertyTable.h"
#include "platform/ui/UserControl.h"
#include "skin/ClsPictureDC.h"
#include "skin/PictureBox.h"

#include <QImage>

#include <cstdint>
#include <memory>

namespace controls
{

// A progress bar drawn from skin bitmaps: a trough of a repeated tile between two end caps, and
// a fill strip laid over it whose key colour (its pixel (1, 1)) lets the trough show through.
// Horizontal (Orientation 0) fills from the left; vertical (any other Orientation) fills upward
// from just above the bottom, the strip mirrored.
//
// Every repaint composes trough and fill in an off-screen buffer (PictDC) and copies it to the
// control's surface in one block copy. The fill is the strip's mask merged in (MERGEPAINT: the
// fill area turns white except where the strip is transparent), then the strip with its
// transparent pixels whitened ANDed over it (SRCAND).
class UcProgress : public ui::UserControl
{
    Q_OBJECT
  public:
    explicit UcProgress(QWidget *parent = nullptr);
    ~UcProgress() override;

    std::int32_t Value() const { return value_; }
    void SetValue(std::int32_t value); // outside Min..Max is ignored; repaints
    std::int32_t Min() const { return min_; }
    void SetMin(std::int32_t value); // negative becomes 0
    std::int32_t Max() const { return max_; }
    void SetMax(std::int32_t value);
    std::int16_t Orientation() const { return orientation_; }
    void SetOrientation(std::int16_t orientation);
    bool Vertical() const { return orientation_ != 0; }
    void Refresh();

    void InitProperties() override;
    void ReadProperties(const ui::PropertyBag &bag) override;
    void WriteProperties(ui::PropertyBag &bag) const override;

    // The control's surface as last composed (inner area).
    const QImage &Surface() const { return surface_; }

    // The program's own strings.
    static constexpr const char *ModuleName = "UcProgress";
    static constexpr const char *KeyOrientation = "Orientation";
    static constexpr const char *KeyMin = "Min";
    static constexpr const char *KeyMax = "Max";
    static constexpr const char *KeyValue = "Value";
    // The largest outer thickness (height when horizontal, width when vertical), in twips.
    static constexpr double MaxThicknessTwips = 400;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    // The table of stored properties, in the order they are saved.
    static const ui::PropertyTable<UcProgress> &Properties();

    // The picture device contexts, in the order they are made.
    enum Context : int { TroughTile = 0, FirstCap, SecondCap, FillSprite, FillMask, ContextCount };

    void GetThePict();
    void UserResize();
    void Repaint();
    std::int32_t GetHorizontalPos();
    std::int32_t GetVerticalPos();
    void CopyTransPict();
    void MaskSprite();
    void UserControl_Resize();
    void LoadContext(Context context, const char *name);

    // Stored properties; their defaults are in the property table.
    std::int16_t orientation_ = 0;
    std::int32_t min_ = 0;
    std::int32_t max_ = 0;
    std::int32_t value_ = 0;
    bool repaintBusy_ = false;
    bool painting_ = false;      // inside a paint event: the surface is shown right after
    bool pictureFailed_ = false; // the bitmaps of this orientation could not be loaded
    bool pictureStale_ = false;  // properties were read: load the bitmaps again
    int sw_ = 0;                 // inner size of the current repaint
    int sh_ = 0;

    // The trough bitmaps come first so they outlive the contexts that select them.
    std::unique_ptr<gdi::Bitmap> troughBitmaps_[3]; // selected by the first three contexts
    skin::ClsPictureDC contexts_[ContextCount];
    skin::PictureBox pictBar_;
    // PictDC: the off-screen composition buffer, the size of the inner area.
    gdi::Bitmap pictDcBitmap_;
    gdi::Dc pictDc_;

    QImage surface_;
    gdi::Dc surfaceDc_;
    FailureReporter failures_;
};

} // namespace controls
