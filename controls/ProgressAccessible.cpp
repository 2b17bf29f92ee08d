// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ProgressAccessible.h"

#include "controls/UcProgress.h"

namespace controls
{

ProgressAccessible::ProgressAccessible(UcProgress *progress)
    : QAccessibleWidget(progress, QAccessible::ProgressBar)
{
    QObject::connect(progress, &ui::UserControl::PropertyChanged, progress, [progress](const QString &key) {
        if (key == QLatin1String(UcProgress::KeyValue)) {
            QAccessibleValueChangeEvent event(progress, progress->Value());
            QAccessible::updateAccessibility(&event);
        }
    });
}

UcProgress *ProgressAccessible::Progress() const
{
    return static_cast<UcProgress *>(widget());
}

void *ProgressAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QString ProgressAccessible::text(QAccessible::Text t) const
{
    const UcProgress *progress = Progress();
    switch (t) {
    case QAccessible::Name:
        return progress->accessibleName().isEmpty() ? progress->toolTip() : progress->accessibleName();
    case QAccessible::Value:
        return QString::number(progress->Value());
    default:
        return QAccessibleWidget::text(t);
    }
}

QVariant ProgressAccessible::currentValue() const
{
    return Progress()->Value();
}

void ProgressAccessible::setCurrentValue(const QVariant &)
{
    // A progress bar shows the work's progress; nobody else sets it.
}

QVariant ProgressAccessible::maximumValue() const
{
    return Progress()->Max();
}

QVariant ProgressAccessible::minimumValue() const
{
    return Progress()->Min();
}

QVariant ProgressAccessible::minimumStepSize() const
{
    return 0;
}

} // namespace controls
