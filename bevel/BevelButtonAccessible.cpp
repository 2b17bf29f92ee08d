// SPDX-License-Identifier: GPL-3.0-or-later
#include "bevel/BevelButtonAccessible.h"

#include "bevel/bvlBUTTON.h"

namespace bevel
{

BevelButtonAccessible::BevelButtonAccessible(bvlBUTTON *button)
    : ControlAccessible(button, QAccessible::Button)
{
}

bvlBUTTON *BevelButtonAccessible::Button() const
{
    return static_cast<bvlBUTTON *>(widget());
}

// A toggle button is a push button that is checkable, as Qt reports its own.
QAccessible::Role BevelButtonAccessible::role() const
{
    switch (Button()->Behaviour()) {
    case bvlBUTTON::OptionButton:
        return QAccessible::RadioButton;
    default:
        return QAccessible::Button;
    }
}

QAccessible::State BevelButtonAccessible::state() const
{
    QAccessible::State s = ControlAccessible::state();
    const bvlBUTTON *button = Button();
    s.disabled = !button->Enabled() || !button->isEnabled();
    s.focusable = s.focusable && !s.disabled;
    s.pressed = (button->StateFlags() & bvlBUTTON::Pressed) != 0;
    if (button->Behaviour() != bvlBUTTON::PushButton) {
        s.checkable = true;
        s.checked = button->Value();
    }
    return s;
}

QString BevelButtonAccessible::text(QAccessible::Text t) const
{
    const bvlBUTTON *button = Button();
    switch (t) {
    case QAccessible::Name:
        if (!button->accessibleName().isEmpty())
            return button->accessibleName();
        return QString(button->Caption()).remove(QLatin1Char('&'));
    default:
        return ControlAccessible::text(t);
    }
}

void BevelButtonAccessible::Press(bvlBUTTON *button)
{
    if (!button || !button->Enabled() || !button->isEnabled())
        return;
    // The mouse's click: a push button shows itself pressed and clicks; a toggle button turns
    // over and an option button turns on (each write clicks once); an option button already on
    // clicks again without changing.
    switch (button->Behaviour()) {
    case bvlBUTTON::ToggleButton:
        button->SetValue(!button->Value());
        break;
    case bvlBUTTON::OptionButton:
        if (!button->Value())
            button->SetValue(true);
        else
            Q_EMIT button->Click();
        break;
    default:
        button->Flash();
        Q_EMIT button->Click();
        break;
    }
}

} // namespace bevel
