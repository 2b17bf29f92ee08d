// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/ControlAccessible.h"

namespace controls
{

class UcCmd;

// What a screen reader finds of a skinned button: a push button, check box or radio button by
// its Style, named by the widget's accessible name, else its caption, else its tip ("Close",
// "Minimize Window"); its press action presses and releases the mouse over its picture. A button
// the host marks with the dynamic property "inert" (it does nothing) is reported unavailable
// and its press action does nothing.
class CmdAccessible : public ui::ControlAccessible
{
  public:
    explicit CmdAccessible(UcCmd *button);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;

    // A left-button press and release over the button's picture; nothing when it is disabled.
    static void Press(UcCmd *button);

  private:
    void Press() override { Press(Button()); }
    bool Pressable() const override;
    UcCmd *Button() const;
};

} // namespace controls
