// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/ControlAccessible.h"

namespace multibutton
{

class zqButtons_H;

// What a screen reader finds of a multi-style button: a push button (command mode), a checkable
// push button (check mode) or a radio button (option mode), named by its caption, or by its tip
// when the caption is empty or a single letter that means nothing read aloud (the widget's
// accessible name wins when the host gave one); described by its tip; with a press action that
// clicks it as the left mouse button would. The host may name the action's key in the dynamic
// property "keyBinding".
class MultiButtonAccessible : public ui::ControlAccessible
{
  public:
    explicit MultiButtonAccessible(zqButtons_H *button);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;

    // A left-button press and release over the button; nothing when it is disabled.
    static void Press(zqButtons_H *button);

  private:
    void Press() override { Press(Button()); }
    zqButtons_H *Button() const;
};

} // namespace multibutton
