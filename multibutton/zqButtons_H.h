// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "multibutton/ButtonCodes.h"
#include "multibutton/ButtonLayout.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Colour.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Rect.h"
#include "platform/gdi/Region.h"
#include "platform/ui/Picture.h"
#include "platform/ui/PropertyTable.h"
#include "platform/ui/UserControl.h"

#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QMimeData;
class QShortcut;

namespace multibutton
{

// A button with eight looks (ButtonStyle), nine outlines (ButtonShape) and three modes
// (command button, check box, option button). It draws into its own back buffer and shows it
// with one copy per redraw; the outline is the widget's mask.
//
// The option group of a button is every option-mode button on the same container; the group
// lives in the container's window properties so buttons find each other without a registry.
class zqButtons_H : public ui::UserControl
{
    Q_OBJECT
  public:
    // Bits of the state flags.
    enum StateFlag : std::uint16_t { DefaultFrame = 1, PressedFlag = 2, HoverFlag = 4, MovedFlag = 0x400 };
    // The stored Mode codes.
    static constexpr std::int32_t CommandMode = std::int32_t(multibutton::Mode::Command);
    static constexpr std::int32_t CheckMode = std::int32_t(multibutton::Mode::Check);
    static constexpr std::int32_t OptionMode = std::int32_t(multibutton::Mode::Option);
    // OptionToggle actions.
    enum : int { OptionLeave = -1, OptionClearOthers = 0, OptionJoin = 1, OptionQuery = 2 };
    static constexpr int HoverTimerId = 237;
    static constexpr int HoverInterval = 50; // ms

    explicit zqButtons_H(QWidget *parent = nullptr);
    ~zqButtons_H() override;

    // -- properties -------------------------------------------------------------------------
    std::int32_t ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(std::int32_t style);
    std::int32_t Mode() const { return mode_; }
    void SetMode(std::int32_t mode);
    QString Caption() const { return caption_; }
    void SetCaption(const QString &caption);
    std::int32_t CaptionAlign() const { return captionAlign_; }
    void SetCaptionAlign(std::int32_t align);
    std::int32_t CaptionStyle() const { return captionStyle_; }
    void SetCaptionStyle(std::int32_t style);
    std::int32_t CustomClick() const { return customClick_; }
    void SetCustomClick(std::int32_t direction);
    std::int32_t ButtonShape() const { return buttonShape_; }
    void SetButtonShape(std::int32_t shape);
    const ui::Picture &Picture() const { return picture_; }
    void SetPicture(const ui::Picture &picture);
    std::int32_t PictureAlign() const { return pictureAlign_; }
    void SetPictureAlign(std::int32_t align);
    bool Enabled() const { return UserControl::Enabled(); }
    void SetEnabled(bool enabled);
    bool ShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool show);
    bool Value() const { return value_; }
    void SetValue(bool value);
    std::int32_t PictureSize() const;
    void SetPictureSize(std::int32_t size);
    int MousePointer() const { return UserControl::MousePointer(); }
    void SetMousePointer(int pointer);
    const ui::Picture &MouseIcon() const { return UserControl::MouseIcon(); }
    void SetMouseIcon(const ui::Picture &icon);
    const ui::StdFont &Font() const { return UserControl::Font(); }
    void SetFont(const ui::StdFont &font);
    int FontStyle() const;
    void SetFontStyle(int style);
    std::uint32_t ForeColor() const { return UserControl::ForeColor(); }
    void SetForeColor(std::uint32_t colour);
    std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t colour);
    std::uint32_t GradientColor() const { return gradientColor_; }
    void SetGradientColor(std::uint32_t colour);
    std::int32_t GradientMode() const { return gradientMode_; }
    void SetGradientMode(std::int32_t mode);
    bool ResetDefaultColors() const { return false; }
    void SetResetDefaultColors(bool reset);
    std::int32_t HoverColorLocks() const { return hoverColorLocks_; }
    void SetHoverColorLocks(std::int32_t locks);
    std::uint32_t HoverForeColor() const { return hoverForeColor_; }
    void SetHoverForeColor(std::uint32_t colour);
    std::uint32_t HoverBackColor() const { return hoverBackColor_; }
    void SetHoverBackColor(std::uint32_t colour);
    gdi::Dc *hDC() { return &surfaceDc_; }
    QWidget *hwnd() { return this; }

    // The container's default and cancel buttons: Enter (default) and Escape (cancel) pressed
    // anywhere in the window reach the button as access keys, as the container would send them.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool isCancel);

    // -- methods ------------------------------------------------------------------------------
    void Refresh();
    void DelayDrawing(bool delay);
    // Starts a drag with this button as the source (OLEStartDrag ... OLECompleteDrag).
    void OLEDrag();

    // -- drawing and regions (public so hosts and benchmarks can drive them) ------------------
    void RedrawButton();
    void LayoutCaption(bool pictureChanged);
    void BuildButtonRegion();
    void PrepareBackBuffer(bool copyToWindow);
    void RefreshResources(const QString &what);
    bool OptionToggle(int action);
    void HoverCheck(int timerId);

    // Colour arithmetic of every style.
    static gdi::Colour ShadeColor(gdi::Colour colour, int amount, bool scaleBlue = false,
                                  bool avoidBlackAndWhite = false, bool invert = false);
    // The gradient's colour table: n entries from colour1 to colour2 in single-precision steps.
    static std::vector<gdi::Colour> GradientTable(gdi::Colour colour1, gdi::Colour colour2, int n);
    // The size that fits a width x height picture into a box, keeping its aspect ratio.
    static QSize FitPictureSize(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight)
    {
        return layout::FitPictureSize(pictureWidth, pictureHeight, boxWidth, boxHeight);
    }

    // -- run-time state, for hosts and tests -----------------------------------------------------
    std::uint16_t StateFlags() const { return flags_; }
    bool Hovering() const { return hovering_; }
    bool ShowPressed() const { return showPressed_; }
    std::int16_t LastMouseButton() const { return lastMouseButton_; }
    int PictureSizeCode() const { return pictureSizeCode_; }
    bool DelayDrawingFlag() const { return delayDrawing_; }
    int LeftSlantInset() const { return leftSlantInset_; }
    int RightSlantEdge() const { return rightSlantEdge_; }
    gdi::Rect CaptionRect() const { return captionRect_; }
    gdi::Rect PictureRect() const { return pictureRect_; }
    const gdi::Region &WindowRegion() const { return windowRegion_; }
    const gdi::Region &InnerRegion1() const { return inner1_; }
    const gdi::Region &InnerRegion2() const { return inner2_; }
    // What the window shows (the last copy of the back buffer plus the frames drawn on it).
    const QImage &Surface() const { return surface_; }
    const gdi::Bitmap &BackBuffer() const { return backBitmap_; }
    const gdi::Bitmap &CustomShapeBitmap() const { return custom_.colour; }
    // How many times the back buffer has been copied to the window.
    int Copies() const { return copies_; }

    // Persistence.
    void InitProperties() override;
    void ReadProperties(const ui::PropertyBag &bag) override;
    void WriteProperties(ui::PropertyBag &bag) const override;

  Q_SIGNALS:
    void MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void KeyDown(std::int16_t &KeyCode, std::int16_t Shift);
    void KeyPress(std::int16_t &KeyAscii);
    void KeyUp(std::int16_t &KeyCode, std::int16_t Shift);
    void MouseOnButton(bool OnButton);
    void Click();
    void DoubleClick(std::int16_t Button);
    void OLECompleteDrag(std::int32_t &Effect);
    void OLEDragDrop(const QMimeData *Data, std::int32_t &Effect, std::int16_t Button, std::int16_t Shift,
                     float X, float Y);
    void OLEDragOver(const QMimeData *Data, std::int32_t &Effect, std::int16_t Button, std::int16_t Shift,
                     float X, float Y, std::int16_t State);
    void OLEGiveFeedback(std::int32_t &Effect, bool &DefaultCursors);
    void OLESetData(const QMimeData *Data, std::int16_t &DataFormat);
    void OLEStartDrag(QMimeData *Data, std::int32_t &AllowedEffects);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

  private:
    // What a style routine reports to RedrawButton.
    struct StyleResult {
        bool drawn = false;
        bool frame = false;
        gdi::Colour frameColour = 0;
        gdi::Colour second = 0;
    };
    // Colours of the current style, made by RefreshResources("BackColor").
    struct StyleColours {
        gdi::Colour face = 0, second = 0, hover = 0, checked = 0;
    };
    using EdgeColours = std::array<std::int64_t, 12>; // below 0: line not drawn

    // Input handlers (named as the host's notifications).
    void UserControl_MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void UserControl_MouseUp(std::int16_t button, std::int16_t shift, float x, float y);
    void UserControl_MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    void UserControl_Click();
    void UserControl_DblClick();
    void UserControl_KeyDown(std::int16_t &keyCode, std::int16_t shift);
    void UserControl_KeyUp(std::int16_t &keyCode, std::int16_t shift);
    void UserControl_AccessKeyPress(int keyAscii);
    void UserControl_AmbientChanged(const QString &name);
    void UserControl_Resize();

    // Drawing.
    StyleResult DrawStyle0();
    StyleResult DrawStyle1();
    StyleResult DrawStyle2();
    StyleResult DrawStyle3();
    StyleResult DrawStyle4();
    StyleResult DrawStyle5();
    StyleResult DrawStyle6();
    StyleResult DrawStyle7();
    // Fills the face; true when the click movement moved the button (nothing more is drawn).
    bool FillFace(gdi::Colour face, gdi::Colour gradientSecond, int &state);
    void DrawRim();
    void PaintGradient(gdi::Colour colour1, gdi::Colour colour2);
    bool ApplyClickMovement();
    void DrawCaptionAndPicture(gdi::Colour face, std::int64_t captionColour, bool pressedLook);
    void DrawPicture(const gdi::Rect &rect);
    void DrawEdges(const EdgeColours &colours);
    void DrawFocus(gdi::Colour solidColour, bool solid);
    void SetRegionClip(const gdi::Region *region);
    void BuildPictureRegion(gdi::Region &region, gdi::Region &inner1, gdi::Region &inner2);
    gdi::Region SlantedRegion();
    gdi::Region OvalRegion();
    std::optional<gdi::Region> CustomRegion();
    void PaintRaisedRim();
    QImage NormalisedPicture(int width, int height) const;
    layout::Input LayoutInput() const;
    gdi::Colour FaceColour() const;
    std::int64_t GreyCaptionWhenDisabled() const;
    static EdgeColours NoEdges();
    gdi::Colour FocusColour(gdi::Colour face, bool pressedLook) const;
    bool PressedLookOf() const;

    // The table of stored properties, in the order they are saved.
    static const ui::PropertyTable<zqButtons_H> &Properties();

    // Helpers.
    void Changed(const char *key);
    bool DesignTime() const { return !Ambient().UserMode; }
    void DesignMessage(const QString &text);
    QWidget *Container() const;
    // Pressed with the pointer over it; a button moved by CustomClick shows that instead.
    bool PressedHovered() const
    {
        return (flags_ & (PressedFlag | HoverFlag)) == (PressedFlag | HoverFlag) && !(flags_ & MovedFlag);
    }
    bool HasPicture() const { return pictureWidth_ + pictureHeight_ >= 1; }
    void RememberContainer();
    void UpdateShortcuts();
    bool CursorOverMe() const;

    // Stored properties; their defaults are in the property table. The two whose stored default
    // depends on the container start as the button face colour of a new button.
    QString caption_;
    std::int32_t captionAlign_ = 0;
    std::int32_t captionStyle_ = 0;
    std::int32_t buttonStyle_ = 0;
    std::int32_t buttonShape_ = 0;
    std::uint32_t hoverBackColor_ = 0x8000000Fu;
    std::uint32_t hoverForeColor_ = 0;
    std::int32_t hoverColorLocks_ = 0;
    std::int32_t gradientMode_ = 0;
    std::uint32_t gradientColor_ = 0;
    std::int32_t mode_ = 0;
    bool value_ = false;
    std::int32_t customClick_ = 0;
    ui::Picture picture_;
    std::int32_t pictureAlign_ = 0;
    int pictureSizeCode_ = 16;
    bool showFocusRect_ = false;
    std::uint32_t backColor_ = 0x8000000Fu;
    bool default_ = false;
    bool cancel_ = false;

    // Run-time state.
    std::uint16_t flags_ = 0;
    int leftSlantInset_ = 0;
    int rightSlantEdge_ = 0;
    bool pictureIsIcon_ = false;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    gdi::Colour ambientBack_ = 0;
    bool delayDrawing_ = false;
    std::int16_t lastMouseButton_ = 0;
    bool hovering_ = false;
    bool showPressed_ = false;
    bool reading_ = false;
    bool painting_ = false;
    bool clickArmed_ = false; // a press on the button that its release may turn into a click
    Qt::MouseButton armedButton_ = Qt::NoButton;
    int copies_ = 0;

    // Translated colours (RefreshResources "BackColor").
    gdi::Colour rgbBack_ = 0, rgbGradient_ = 0, rgbHoverBack_ = 0, rgbHoverFore_ = 0, rgbFore_ = 0;
    StyleColours style_;

    // Layout.
    gdi::Rect captionRect_;
    gdi::Rect pictureRect_;
    QString layoutText_;

    // Regions.
    gdi::Region windowRegion_;
    gdi::Region inner1_;
    gdi::Region inner2_;

    // Back buffer and window surface.
    gdi::Bitmap backBitmap_;
    gdi::Dc backDc_;
    QImage surface_;
    gdi::Dc surfaceDc_;
    gdi::Font captionFont_;

    // A picture scaled for drawing: the colour bits, the mask of its transparent colour and the
    // colour bits with the transparent pixels blacked out (icons keep their own transparency).
    struct Prepared {
        gdi::Bitmap colour;
        gdi::Bitmap mask;
        gdi::Bitmap black;
        QImage icon;
        QSize size;
    };
    void Prepare(Prepared &prepared, int width, int height) const;
    void DrawPrepared(gdi::Dc &dc, const Prepared &prepared, const gdi::Rect &rect) const;

    // The custom-shape bitmap (shapes 7, 8) and the copy scaled to the picture rectangle.
    Prepared custom_;
    Prepared scaled_;

    std::vector<QShortcut *> keyShortcuts_;
};

} // namespace multibutton
