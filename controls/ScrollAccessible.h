// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

namespace controls
{

class UcScroll;

// What a screen reader finds of a skinned scroll bar: a slider with its value, bounds and step,
// named by the widget's accessible name (the host names it from its heading) or else its tip.
// Setting the value moves the thumb and raises Change and Scroll as a drag to it would.
class ScrollAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
  public:
    explicit ScrollAccessible(UcScroll *scroll);

    void *interface_cast(QAccessible::InterfaceType t) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    // Moves the thumb to `value` (clamped) as a drag would.
    static void MoveTo(UcScroll *scroll, std::int64_t value);

  private:
    UcScroll *Scroll() const;
};

} // namespace controls
