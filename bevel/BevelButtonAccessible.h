// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/ControlAccessible.h"

namespace bevel
{

class bvlBUTTON;

// What a screen reader finds of a bevel button: a push, toggle or radio button by its Behaviour,
// named by its caption (or the widget's accessible name when the host gave one), described by its
// tip, with its pressed, checked and unavailable states and a press action that clicks it as the
// left mouse button would. The host may name the action's key in the dynamic property
// "keyBinding".
class BevelButtonAccessible : public ui::ControlAccessible
{
  public:
    explicit BevelButtonAccessible(bvlBUTTON *button);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;

    // Clicks the button as a left-button press and release over it would; nothing when disabled.
    static void Press(bvlBUTTON *button);

  private:
    void Press() override { Press(Button()); }
    bvlBUTTON *Button() const;
};

} // namespace bevel
