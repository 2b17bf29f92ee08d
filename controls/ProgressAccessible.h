// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

namespace controls
{

class UcProgress;

// What a screen reader finds of a skinned progress bar: a progress bar with its value and bounds
// (read only), named by the widget's accessible name or its tip.
class ProgressAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
  public:
    explicit ProgressAccessible(UcProgress *progress);

    void *interface_cast(QAccessible::InterfaceType t) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

  private:
    UcProgress *Progress() const;
};

} // namespace controls
