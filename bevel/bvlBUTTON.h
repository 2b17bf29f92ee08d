// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bevel/BevelCodes.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Rect.h"
#include "platform/gdi/Region.h"
#include "platform/ui/Picture.h"
#include "platform/ui/PropertyTable.h"
#include "platform/ui/UserControl.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace ui
{
class Timer;
}

namespace bevel
{

// An owner-drawn button with a bevelled face, an optional caption and pictures and a
// non-rectangular outline. It works as a push button, a toggle button or an option button (one
// of a group of buttons that share a container).
//
// The two faces (raised and sunken) are shaded once per size, outline, colour or bevel change;
// hovering and pressing only copy a face and draw the picture and caption over it.
class bvlBUTTON : public ui::UserControl
{
    Q_OBJECT
  public:
    // Bits of the state flags.
    enum StateFlag : std::uint8_t { Pressed = 1, Hover = 2, Disabled = 4, Flashing = 8 };
    static constexpr std::uint8_t FlashState = Pressed | Hover | Flashing; // 11
    static constexpr int HoverInterval = 125;                              // ms of tmrRCB

    // The stored Behaviour codes.
    static constexpr std::uint8_t PushButton = std::uint8_t(bevel::Behaviour::PushButton);
    static constexpr std::uint8_t ToggleButton = std::uint8_t(bevel::Behaviour::ToggleButton);
    static constexpr std::uint8_t OptionButton = std::uint8_t(bevel::Behaviour::OptionButton);

    // Where a picture goes on the face.
    struct Placement {
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int16_t width = 0;
        std::int16_t height = 0;
        bool operator==(const Placement &) const = default;
    };

    explicit bvlBUTTON(QWidget *parent = nullptr);
    ~bvlBUTTON() override;

    // -- properties ---------------------------------------------------------------------------
    QString AccessKeys() const { return UserControl::AccessKeys(); }
    void SetAccessKeys(const QString &keys);
    std::int32_t Appearance() const { return appearance_; }
    void SetAppearance(std::int32_t appearance);
    std::uint32_t BackColour() const { return backColour_; }
    void SetBackColour(std::uint32_t colour);
    std::uint8_t Behaviour() const { return behaviour_; }
    void SetBehaviour(std::uint8_t behaviour);
    bool BevelAutoAdjust() const { return bevelAutoAdjust_; }
    void SetBevelAutoAdjust(bool automatic);
    std::int16_t BevelHeight() const { return bevelHeight_; }
    void SetBevelHeight(std::int16_t height);
    QString Caption() const { return caption_; }
    void SetCaption(const QString &caption);
    std::uint32_t CaptionColour() const { return captionColour_; }
    void SetCaptionColour(std::uint32_t colour);
    std::uint32_t CaptionHoverColour() const { return captionHoverColour_; }
    void SetCaptionHoverColour(std::uint32_t colour);
    std::int32_t CaptionJustify() const { return captionJustify_; }
    void SetCaptionJustify(std::int32_t justify);
    QString CaptionOffset() const { return captionOffset_; }
    void SetCaptionOffset(const QString &offset);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    const ui::StdFont &Font() const { return UserControl::Font(); }
    void SetFont(const ui::StdFont &font);
    const ui::Picture &MouseIcon() const { return UserControl::MouseIcon(); }
    void SetMouseIcon(const ui::Picture &icon);
    std::int32_t MouseKeys() const { return mouseKeys_; }
    void SetMouseKeys(std::int32_t keys);
    int MousePointer() const { return UserControl::MousePointer(); }
    bool SetMousePointer(int pointer);
    const ui::Picture &Picture() const { return picture_; }
    void SetPicture(const ui::Picture &picture);
    const ui::Picture &PictureHover() const { return pictureHover_; }
    void SetPictureHover(const ui::Picture &picture);
    std::int32_t PictureJustify() const { return pictureJustify_; }
    void SetPictureJustify(std::int32_t justify);
    QString PictureOffset() const { return pictureOffset_; }
    void SetPictureOffset(const QString &offset);
    std::uint32_t Transparency() const { return transparency_; }
    void SetTransparency(std::uint32_t colour);
    bool UseTransparency() const { return useTransparency_; }
    void SetUseTransparency(bool use);
    bool Value() const { return value_; }
    void SetValue(bool value);

    // The window handle of the control surface (the widget itself stands for it here).
    QWidget *hwnd() { return this; }

    // -- methods --------------------------------------------------------------------------------
    // Runs the resize work again: outline, face images, pictures and a full redraw.
    void Refresh();
    // Shows the pressed look briefly (until the next tick of the hover timer).
    void Flash();

    // -- run-time state, for hosts and tests ---------------------------------------------------
    std::uint8_t StateFlags() const { return state_; }
    const QImage &Surface() const { return surface_; }
    const gdi::Bitmap &RaisedFace() const { return raised_.bitmap; }
    const gdi::Bitmap &SunkenFace() const { return sunken_.bitmap; }
    const gdi::Bitmap &WorkPictures() const { return work_.bitmap; }
    gdi::Rect CaptionRect() const { return captionRect_; }
    gdi::Rect PictureRect() const { return pictureRect_; }
    Placement NormalPlacement() const { return normal_; }
    Placement HoverPlacement() const { return hover_; }
    std::optional<gdi::Region> Outline() const { return outline_; }
    // How many times the faces have been shaded (each RebuildBevels counts once).
    int BevelBuilds() const { return bevelBuilds_; }

    // Persistence (keys and defaults of every stored property are in one table).
    void InitProperties() override;
    void ReadProperties(const ui::PropertyBag &bag) override;
    void WriteProperties(ui::PropertyBag &bag) const override;

    // Drawing steps; public so a host can time them.
    void RebuildBevels();
    void DrawState(bool force);

  Q_SIGNALS:
    void Click();
    void DblClick();
    void KeyDown(std::int16_t &KeyCode, std::int16_t &Shift);
    void KeyPress(std::int16_t &KeyAscii);
    void KeyUp(std::int16_t &KeyCode, std::int16_t &Shift);
    void MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void MouseExit();
    void MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

  private:
    // A hidden off-screen picture: a bitmap selected into its own memory device context.
    struct HiddenPicture {
        HiddenPicture() { dc.SelectObject(&bitmap); }
        gdi::Bitmap bitmap;
        gdi::Dc dc;
    };

    void ResizeWork();
    void PreparePictures();
    void LayoutContent();
    void PlacePicture(const gdi::Bitmap &element, Placement &placement);
    void DrawPicture();
    void DrawCaption();
    void LoadPictureElement(HiddenPicture &element, const ui::Picture &picture);
    void ResetOptionGroup();
    void tmrRCB_Timer();
    void UserControl_AccessKeyPress(int keyAscii);
    void Changed(const char *key);
    QString OwnName() const;
    bool ReportsAtDesignTime() const;
    void SetState(std::uint8_t state) { state_ = state; }
    bevel::Behaviour BehaviourCode() const { return bevel::Behaviour(behaviour_); }
    void UpdateOutline(int &w, int &h);
    void ResizeSurface(int w, int h);
    void PrepareWorkStrip();
    gdi::Colour CaptionColourNow() const;

    // The table of stored properties, in the order they are saved.
    static const ui::PropertyTable<bvlBUTTON> &Properties();

    // Stored properties; their defaults are in the property table.
    std::int32_t appearance_ = 0;
    std::uint32_t backColour_ = 0;
    std::uint8_t behaviour_ = 0;
    bool bevelAutoAdjust_ = false;
    std::int16_t bevelHeight_ = 0;
    QString caption_;
    std::uint32_t captionColour_ = 0;
    std::uint32_t captionHoverColour_ = 0;
    std::int32_t captionJustify_ = 0;
    QString captionOffset_;
    bool enabled_ = false;
    std::int32_t mouseKeys_ = 0;
    ui::Picture picture_;
    ui::Picture pictureHover_;
    std::int32_t pictureJustify_ = 0;
    QString pictureOffset_;
    std::uint32_t transparency_ = 0;
    bool useTransparency_ = false;
    bool value_ = false;

    // Run-time state.
    std::uint8_t state_ = 0;
    bool pressInProgress_ = false;
    bool reading_ = false;
    bool terminated_ = false;
    bool resizeBusy_ = false;
    Qt::MouseButton clickButton_ = Qt::NoButton; // the press the platform may turn into a click
    std::int16_t captionX_ = 0, captionY_ = 0;
    std::int16_t pictureX_ = 0, pictureY_ = 0;
    gdi::Rect captionRect_;
    gdi::Rect pictureRect_;
    Placement normal_;
    Placement hover_;
    int lastState_ = -1;
    std::optional<gdi::Region> outline_;
    int bevelBuilds_ = 0;

    ui::Timer *tmrRCB_ = nullptr;
    HiddenPicture raised_;       // picRAISED
    HiddenPicture sunken_;       // picSUNKEN
    HiddenPicture basic_;        // picBASIC
    HiddenPicture hoverPicture_; // picHOVER
    HiddenPicture work_;         // picWORK
    QImage surface_;
    std::unique_ptr<gdi::Dc> surfaceDc_;
};

} // namespace bevel
