// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/PropertyTable.h"
#include "platform/ui/UserControl.h"

#include <QImage>
#include <QString>

#include <cstdint>

class QLabel;

namespace controls
{

class UcCmdImage;

// A button drawn from a pair of skin bitmaps (released and pressed, or off and on), with an
// optional caption on it or beside it. One control serves seven styles: a plain picture button,
// the close, restore and minimise buttons of a skinned window (tagged so the window skin finds
// them), a push button with a caption, a check box and an option button.
//
// Layout is in twips: the pictures are shown at ScaleFactor times their natural size and the
// control takes the size of the picture (plus the caption, for check and option buttons).
// Click comes on the release of a press on the released image or on the caption, wherever the
// pointer is then; check and option buttons switch on the press and raise no Click.
class UcCmd : public ui::UserControl
{
    Q_OBJECT
  public:
    enum StyleValue : int {
        StylePlain = 0,
        StyleClose = 1,
        StyleRestore = 2,
        StyleMinimise = 3,
        StylePush = 4,
        StyleCheck = 5,
        StyleOption = 6,
    };

    // The program's own strings.
    static constexpr const char *ModuleName = "UcCmd";
    static constexpr const char *TagPush = "BOUTON";
    static constexpr const char *TagCheck = "CHECKBUTTON";
    static constexpr const char *TagOption = "OPTBUTTON";
    static constexpr const char *DefaultOptionGroup = "OPT1";
    static constexpr const char *CheckBackground = "SBACKGROUND";
    // Layout constants (twips).
    static constexpr double NoPictureWidth = 600;
    static constexpr double NoPictureHeight = 300;
    static constexpr double CaptionGap = 20; // between the picture and a check/option caption
    static constexpr double MaxScaleFactor = 3;
    // Error of a control that is not placed on a host yet (ignored where the layout needs one).
    static constexpr long ErrNoHost = 398;

    explicit UcCmd(QWidget *parent = nullptr);
    ~UcCmd() override;

    // -- properties (each write tells the host through PropertyChanged) ------------------------
    void SetBorderStyle(int style);
    Q_INVOKABLE void SetEnabled(bool enabled);
    QString PictureUP() const { return pictureUp_; }
    // Throws skin::Failure when the name is not a skin bitmap (the name is stored all the same).
    void SetPictureUP(const QString &name);
    QString PictureDN() const { return pictureDn_; }
    void SetPictureDN(const QString &name);
    int Style() const { return style_; }
    void SetStyle(int style);
    void SetFont(const ui::StdFont &font);
    QString Caption() const;
    void SetCaption(const QString &caption);
    double ScaleFactor() const { return scaleFactor_; }
    // Values above 3 are stored as 3.
    void SetScaleFactor(double factor);
    bool Value() const { return value_; }
    void SetValue(bool value);
    QString OptionGroup() const { return optionGroup_; }
    void SetOptionGroup(const QString &group);

    // -- operations --------------------------------------------------------------------------
    // Lays the control out again from its pictures, caption, ScaleFactor and style.
    void RePaint();
    // Clears the other option buttons of this one's OptionGroup on the host window.
    void ResetParent();

    // -- what the control shows (for the host's diagnostics and the tests) ---------------------
    std::uint32_t CaptionColour() const { return captionColour_; }
    bool CaptionShown() const;
    bool PressedLook() const;      // the pressed (on) picture is the one shown
    QRect CaptionGeometry() const; // pixels, in the control
    QRect PictureGeometry() const; // pixels, in the control

    void InitProperties() override;
    void ReadProperties(const ui::PropertyBag &bag) override;
    void WriteProperties(ui::PropertyBag &bag) const override;

  Q_SIGNALS:
    void Click();
    void MouseMove(short button, short shift, float x, float y);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

  private:
    // The table of stored properties, in the order they are saved.
    static const ui::PropertyTable<UcCmd> &Properties();

    enum class Element { None, Surface, Up, Down, Caption };

    Element ElementAt(const QPoint &p) const;
    void LoadPicture1(const QString &name, UcCmdImage *target);
    void SetCaptionColour(std::uint32_t colour);
    void ShowPressed(bool pressed);
    void FitCaption();
    QWidget *HostWindow() const;
    void SetBackgroundPicture(const QString &name);
    void ApplyLoadedState();

    UcCmdImage *imgUp_;
    UcCmdImage *imgDn_;
    QLabel *label1_;
    QImage picture1_;          // the hidden natural-size picture the layout measures
    double picture1Width_ = 0; // twips
    double picture1Height_ = 0;
    QImage background_; // control background picture (check and option styles)

    QString pictureUp_;
    QString pictureDn_;
    // Stored properties; their defaults are in the property table.
    int style_ = StylePlain;
    double scaleFactor_ = 0;
    bool value_ = false;
    QString optionGroup_;
    std::uint32_t captionColour_ = 0;
    bool firstPaintDone_ = false;
    bool layoutBusy_ = false;
    Element pressedOn_ = Element::None;
};

} // namespace controls
