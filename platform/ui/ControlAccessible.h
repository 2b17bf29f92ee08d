// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

namespace ui
{

class UserControl;

// What the owner-drawn buttons share before a screen reader: the description is the tip (unless
// the host gave an accessible description), the first action is "press", the key the host names
// in the dynamic property "keyBinding" is the press action's, and the control's Caption, Enabled
// and Value writes reach the screen reader as name and state changes. Each control family says
// what pressing it means.
class ControlAccessible : public QAccessibleWidget
{
  public:
    ControlAccessible(UserControl *control, QAccessible::Role role);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

    // A left-button press and release at `at` (widget pixels), delivered as the mouse's would be.
    static void LeftClickAt(QWidget *widget, QPoint at);

  protected:
    virtual void Press() = 0;
    // False for a control that has nothing to press (its actions are then empty).
    virtual bool Pressable() const { return true; }
};

} // namespace ui
