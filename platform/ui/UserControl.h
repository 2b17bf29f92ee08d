// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/AmbientProperties.h"
#include "platform/ui/Picture.h"
#include "platform/ui/PropertyBag.h"
#include "platform/ui/StdFont.h"

#include <QCursor>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

class QShortcut;

namespace ui
{

// The standard mouse pointer numbers.
enum : int {
    vbDefault = 0,
    vbArrow = 1,
    vbCrosshair = 2,
    vbIbeam = 3,
    vbIconPointer = 4,
    vbSizePointer = 5,
    vbSizeNESW = 6,
    vbSizeNS = 7,
    vbSizeNWSE = 8,
    vbSizeWE = 9,
    vbUpArrow = 10,
    vbHourglass = 11,
    vbNoDrop = 12,
    vbArrowHourglass = 13,
    vbArrowQuestion = 14,
    vbSizeAll = 15,
    vbCustom = 99,
};

// The host of every owner-drawn control: geometry in twips, the common appearance properties,
// ambient properties from the container and the persistence hooks.
//
// Controls derive from it, paint themselves in paintEvent (calling UserControl::paintEvent first
// if they want the background and border drawn), and call PropertyChanged(key) from their property
// setters. While Restoring() is true (ReadProperties running) they should skip redrawing.
class UserControl : public QWidget
{
    Q_OBJECT
  public:
    explicit UserControl(QWidget *parent = nullptr);
    ~UserControl() override;

    // Geometry in twips of the screen the control is on (position relative to its parent).
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void SetLeft(double twips);
    void SetTop(double twips);
    void SetWidth(double twips);
    void SetHeight(double twips);
    void Move(double left, double top, double width, double height);
    // The drawable area in pixels (inside the border).
    int ScaleWidth() const;
    int ScaleHeight() const;
    double TwipsPerPixelX() const;
    double TwipsPerPixelY() const;

    QString Tag() const { return tag_; }
    void SetTag(const QString &tag) { tag_ = tag; }
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled);
    const StdFont &Font() const { return font_; }
    void SetFont(const StdFont &font);
    std::uint32_t ForeColor() const { return foreColor_; }
    void SetForeColor(std::uint32_t colour);
    std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t colour);
    // 0 none, 1 fixed single (a one-pixel frame that takes from the scale area).
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    int MousePointer() const { return mousePointer_; }
    // Values other than 0-15 and 99 are refused (the pointer stays as it was); returns false then.
    bool SetMousePointer(int pointer);
    const Picture &MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(const Picture &icon);
    // Characters that, pressed with Alt, give the control an AccessKeyPress.
    QString AccessKeys() const { return accessKeys_; }
    void SetAccessKeys(const QString &keys);

    // Ambient properties as the container supplies them.
    const AmbientProperties &Ambient() const { return ambient_; }
    void SetAmbient(const AmbientProperties &ambient);

    // Persistence hooks: a fresh control gets InitProperties, a restored one ReadProperties.
    virtual void InitProperties() {}
    virtual void ReadProperties(const PropertyBag &bag) { Q_UNUSED(bag); }
    virtual void WriteProperties(PropertyBag &bag) const { Q_UNUSED(bag); }
    // The host side of the hooks: runs them with Restoring() set and repaints afterwards.
    void InitNew();
    void Restore(const PropertyBag &bag);
    PropertyBag Save(bool caseInsensitive = false) const;
    bool Restoring() const { return restoring_; }

    // The Qt cursor for a pointer number (nullopt for vbDefault: inherit the parent's, and for
    // invalid numbers). vbCustom gives the bitmap cursor made from `icon`, or nullopt without one.
    static std::optional<QCursor> CursorFor(int pointer, const Picture &icon = Picture());
    static bool IsValidMousePointer(int pointer);

  Q_SIGNALS:
    // A property whose saved value changed (the host marks the form as modified).
    void PropertyChanged(const QString &key);
    // An ambient property changed; `name` is its name ("UserMode", "BackColor", ...).
    void AmbientChanged(const QString &name);
    // Alt + one of AccessKeys was pressed; the character's code.
    void AccessKeyPress(int keyAscii);

  protected:
    void paintEvent(QPaintEvent *event) override;
    // Draws the background (BackColor) and the border; paintEvent calls it.
    void PaintBackground(QPainter &painter);
    int BorderWidth() const { return borderStyle_ == 1 ? 1 : 0; }

  private:
    void ApplyCursor();

    QString tag_;
    StdFont font_;
    std::uint32_t foreColor_ = 0x80000012u;
    std::uint32_t backColor_ = 0x8000000Fu;
    int borderStyle_ = 0;
    int mousePointer_ = vbDefault;
    Picture mouseIcon_;
    QString accessKeys_;
    std::vector<QShortcut *> shortcuts_;
    AmbientProperties ambient_;
    bool restoring_ = false;
};

} // namespace ui
