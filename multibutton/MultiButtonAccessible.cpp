// SPDX-License-Identifier: GPL-3.0-or-later
#include "multibutton/MultiButtonAccessible.h"

#include "multibutton/zqButtons_H.h"

namespace multibutton
{

namespace
{

// The stored Mode codes.
constexpr int Command = 0;
constexpr int Option = 2;

int ModeOf(const zqButtons_H *button)
{
    return static_cast<int>(button->Mode());
}

} // namespace

MultiButtonAccessible::MultiButtonAccessible(zqButtons_H *button)
    : ControlAccessible(button, QAccessible::Button)
{
}

zqButtons_H *MultiButtonAccessible::Button() const
{
    return static_cast<zqButtons_H *>(widget());
}

QAccessible::Role MultiButtonAccessible::role() const
{
    return ModeOf(Button()) == Option ? QAccessible::RadioButton : QAccessible::Button;
}

QAccessible::State MultiButtonAccessible::state() const
{
    QAccessible::State s = ControlAccessible::state();
    const zqButtons_H *button = Button();
    s.pressed = button->ShowPressed();
    if (ModeOf(button) != Command) {
        s.checkable = true;
        s.checked = button->Value();
    }
    return s;
}

QString MultiButtonAccessible::text(QAccessible::Text t) const
{
    const zqButtons_H *button = Button();
    switch (t) {
    case QAccessible::Name: {
        if (!button->accessibleName().isEmpty())
            return button->accessibleName();
        const QString caption = QString(button->Caption()).remove(QLatin1Char('&')).trimmed();
        return caption.size() > 1 || button->toolTip().isEmpty() ? caption : button->toolTip();
    }
    default:
        return ControlAccessible::text(t);
    }
}

void MultiButtonAccessible::Press(zqButtons_H *button)
{
    if (!button || !button->Enabled())
        return;
    // A point of the button's outline: its middle, or the middle of the outline's first piece.
    QPoint at = button->rect().center();
    const QRegion outline = button->mask();
    if (!outline.isEmpty() && !outline.contains(at))
        at = outline.begin()->center();
    LeftClickAt(button, at);
}

} // namespace multibutton
