// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/UserControl.h"

#include "platform/gdi/Colour.h"
#include "platform/ui/Twips.h"

#include <QKeySequence>
#include <QPainter>
#include <QPixmap>
#include <QShortcut>

#include <algorithm>
#include <cmath>

namespace ui
{

UserControl::UserControl(QWidget *parent) : QWidget(parent)
{
    font_ = ambient_.Font;
    setFont(font_.ToQFont());
}

UserControl::~UserControl() = default;

double UserControl::TwipsPerPixelX() const
{
    return Twips::PerPixelX(this);
}

double UserControl::TwipsPerPixelY() const
{
    return Twips::PerPixelY(this);
}

double UserControl::Left() const
{
    return x() * TwipsPerPixelX();
}

double UserControl::Top() const
{
    return y() * TwipsPerPixelY();
}

double UserControl::Width() const
{
    return width() * TwipsPerPixelX();
}

double UserControl::Height() const
{
    return height() * TwipsPerPixelY();
}

void UserControl::SetLeft(double twips)
{
    move(Twips::ToPixelsX(twips, this), y());
}

void UserControl::SetTop(double twips)
{
    move(x(), Twips::ToPixelsY(twips, this));
}

void UserControl::SetWidth(double twips)
{
    resize(std::max(0, Twips::ToPixelsX(twips, this)), height());
}

void UserControl::SetHeight(double twips)
{
    resize(width(), std::max(0, Twips::ToPixelsY(twips, this)));
}

void UserControl::Move(double left, double top, double width, double height)
{
    setGeometry(Twips::ToPixelsX(left, this), Twips::ToPixelsY(top, this),
                std::max(0, Twips::ToPixelsX(width, this)), std::max(0, Twips::ToPixelsY(height, this)));
}

int UserControl::ScaleWidth() const
{
    return std::max(0, width() - 2 * BorderWidth());
}

int UserControl::ScaleHeight() const
{
    return std::max(0, height() - 2 * BorderWidth());
}

void UserControl::SetEnabled(bool enabled)
{
    if (enabled == isEnabled())
        return;
    setEnabled(enabled);
    update();
}

void UserControl::SetFont(const StdFont &font)
{
    font_ = font;
    setFont(font_.ToQFont());
    update();
}

void UserControl::SetForeColor(std::uint32_t colour)
{
    if (colour == foreColor_)
        return;
    foreColor_ = colour;
    update();
}

void UserControl::SetBackColor(std::uint32_t colour)
{
    if (colour == backColor_)
        return;
    backColor_ = colour;
    update();
}

void UserControl::SetBorderStyle(int style)
{
    style = style == 1 ? 1 : 0;
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    update();
}

bool UserControl::IsValidMousePointer(int pointer)
{
    return (pointer >= vbDefault && pointer <= vbSizeAll) || pointer == vbCustom;
}

std::optional<QCursor> UserControl::CursorFor(int pointer, const Picture &icon)
{
    switch (pointer) {
    case vbArrow:
        return QCursor(Qt::ArrowCursor);
    case vbCrosshair:
        return QCursor(Qt::CrossCursor);
    case vbIbeam:
        return QCursor(Qt::IBeamCursor);
    case vbIconPointer:
        return QCursor(Qt::ArrowCursor); // no icon-square pointer here; an arrow is closest
    case vbSizePointer:
        return QCursor(Qt::SizeAllCursor);
    case vbSizeNESW:
        return QCursor(Qt::SizeBDiagCursor);
    case vbSizeNS:
        return QCursor(Qt::SizeVerCursor);
    case vbSizeNWSE:
        return QCursor(Qt::SizeFDiagCursor);
    case vbSizeWE:
        return QCursor(Qt::SizeHorCursor);
    case vbUpArrow:
        return QCursor(Qt::UpArrowCursor);
    case vbHourglass:
        return QCursor(Qt::WaitCursor);
    case vbNoDrop:
        return QCursor(Qt::ForbiddenCursor);
    case vbArrowHourglass:
        return QCursor(Qt::BusyCursor);
    case vbArrowQuestion:
        return QCursor(Qt::WhatsThisCursor);
    case vbSizeAll:
        return QCursor(Qt::SizeAllCursor);
    case vbCustom:
        if (icon.IsNull())
            return std::nullopt;
        // Icons carry their hot spot in the middle unless they say otherwise; cursors made from
        // bitmaps point with their top-left corner.
        return icon.Type() == Picture::Icon ? QCursor(QPixmap::fromImage(icon.Image()))
                                            : QCursor(QPixmap::fromImage(icon.Image()), 0, 0);
    default:
        return std::nullopt;
    }
}

bool UserControl::SetMousePointer(int pointer)
{
    if (!IsValidMousePointer(pointer))
        return false;
    mousePointer_ = pointer;
    ApplyCursor();
    return true;
}

void UserControl::SetMouseIcon(const Picture &icon)
{
    mouseIcon_ = icon;
    ApplyCursor();
}

void UserControl::ApplyCursor()
{
    if (const auto cursor = CursorFor(mousePointer_, mouseIcon_))
        setCursor(*cursor);
    else
        unsetCursor();
}

void UserControl::SetAccessKeys(const QString &keys)
{
    for (QShortcut *shortcut : shortcuts_)
        delete shortcut;
    shortcuts_.clear();
    accessKeys_ = keys;
    for (QChar c : keys) {
        if (c.isSpace())
            continue;
        const QKeySequence sequence(QStringLiteral("Alt+") + c.toUpper());
        if (sequence.isEmpty())
            continue;
        auto *shortcut = new QShortcut(sequence, this);
        shortcut->setContext(Qt::WindowShortcut);
        const int code = c.unicode();
        connect(shortcut, &QShortcut::activated, this, [this, code] {
            if (isEnabled())
                Q_EMIT AccessKeyPress(code);
        });
        shortcuts_.push_back(shortcut);
    }
}

void UserControl::SetAmbient(const AmbientProperties &ambient)
{
    const AmbientProperties old = ambient_;
    ambient_ = ambient;
    if (old.UserMode != ambient.UserMode)
        Q_EMIT AmbientChanged(QStringLiteral("UserMode"));
    if (old.DisplayName != ambient.DisplayName)
        Q_EMIT AmbientChanged(QStringLiteral("DisplayName"));
    if (old.BackColor != ambient.BackColor)
        Q_EMIT AmbientChanged(QStringLiteral("BackColor"));
    if (old.ForeColor != ambient.ForeColor)
        Q_EMIT AmbientChanged(QStringLiteral("ForeColor"));
    if (!(old.Font == ambient.Font))
        Q_EMIT AmbientChanged(QStringLiteral("Font"));
    if (old.DisplayAsDefault != ambient.DisplayAsDefault)
        Q_EMIT AmbientChanged(QStringLiteral("DisplayAsDefault"));
}

void UserControl::InitNew()
{
    restoring_ = true;
    InitProperties();
    restoring_ = false;
    update();
}

void UserControl::Restore(const PropertyBag &bag)
{
    restoring_ = true;
    ReadProperties(bag);
    restoring_ = false;
    update();
}

PropertyBag UserControl::Save(bool caseInsensitive) const
{
    PropertyBag bag(caseInsensitive);
    WriteProperties(bag);
    return bag;
}

void UserControl::PaintBackground(QPainter &painter)
{
    painter.fillRect(rect(), gdi::ToQColor(backColor_));
    if (borderStyle_ == 1) {
        painter.setPen(QPen(gdi::ToQColor(0x80000006u), 1)); // window frame
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void UserControl::paintEvent(QPaintEvent *)
{
    if (restoring_)
        return;
    QPainter painter(this);
    PaintBackground(painter);
}

} // namespace ui
