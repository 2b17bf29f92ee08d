// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/CmdAccessible.h"

#include "controls/UcCmd.h"

#include <QVariant>

namespace controls
{

namespace
{

bool Inert(const UcCmd *button)
{
    return button->property("inert").toBool();
}

} // namespace

CmdAccessible::CmdAccessible(UcCmd *button) : ControlAccessible(button, QAccessible::Button) {}

bool CmdAccessible::Pressable() const
{
    return !Inert(Button());
}

UcCmd *CmdAccessible::Button() const
{
    return static_cast<UcCmd *>(widget());
}

QAccessible::Role CmdAccessible::role() const
{
    switch (Button()->Style()) {
    case UcCmd::StyleCheck:
        return QAccessible::CheckBox;
    case UcCmd::StyleOption:
        return QAccessible::RadioButton;
    default:
        return QAccessible::Button;
    }
}

QAccessible::State CmdAccessible::state() const
{
    QAccessible::State s = ControlAccessible::state();
    const UcCmd *button = Button();
    if (Inert(button)) {
        s.disabled = true;
        s.focusable = false;
    }
    s.pressed = button->PressedLook() && button->Style() != UcCmd::StyleCheck &&
                button->Style() != UcCmd::StyleOption;
    if (button->Style() == UcCmd::StyleCheck || button->Style() == UcCmd::StyleOption) {
        s.checkable = true;
        s.checked = button->Value();
    }
    return s;
}

QString CmdAccessible::text(QAccessible::Text t) const
{
    const UcCmd *button = Button();
    switch (t) {
    case QAccessible::Name:
        if (!button->accessibleName().isEmpty())
            return button->accessibleName();
        if (!button->Caption().isEmpty())
            return QString(button->Caption()).remove(QLatin1Char('&'));
        return button->toolTip();
    default:
        return ControlAccessible::text(t);
    }
}

void CmdAccessible::Press(UcCmd *button)
{
    if (!button || !button->isEnabled())
        return;
    QRect picture = button->PictureGeometry();
    const QPoint at = picture.isEmpty() ? button->rect().center() : picture.center();
    LeftClickAt(button, at);
}

} // namespace controls
