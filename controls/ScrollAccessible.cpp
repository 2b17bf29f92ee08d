// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ScrollAccessible.h"

#include "controls/UcScroll.h"

#include <algorithm>

namespace controls
{

ScrollAccessible::ScrollAccessible(UcScroll *scroll) : QAccessibleWidget(scroll, QAccessible::Slider)
{
    QObject::connect(scroll, &UcScroll::Change, scroll, [scroll] {
        QAccessibleValueChangeEvent event(scroll, scroll->Value());
        QAccessible::updateAccessibility(&event);
    });
}

UcScroll *ScrollAccessible::Scroll() const
{
    return static_cast<UcScroll *>(widget());
}

void *ScrollAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QString ScrollAccessible::text(QAccessible::Text t) const
{
    const UcScroll *scroll = Scroll();
    switch (t) {
    case QAccessible::Name:
        return scroll->accessibleName().isEmpty() ? scroll->toolTip() : scroll->accessibleName();
    case QAccessible::Description:
        return scroll->accessibleDescription().isEmpty() ? scroll->toolTip()
                                                         : scroll->accessibleDescription();
    case QAccessible::Value:
        return QString::number(scroll->Value());
    default:
        return QAccessibleWidget::text(t);
    }
}

QVariant ScrollAccessible::currentValue() const
{
    return Scroll()->Value();
}

void ScrollAccessible::setCurrentValue(const QVariant &value)
{
    bool ok = false;
    const double wanted = value.toDouble(&ok);
    if (!ok || !Scroll()->isEnabled())
        return;
    MoveTo(Scroll(), std::int64_t(std::clamp(wanted, -2147483648.0, 2147483647.0)));
}

QVariant ScrollAccessible::maximumValue() const
{
    return Scroll()->Max();
}

QVariant ScrollAccessible::minimumValue() const
{
    return Scroll()->Min();
}

QVariant ScrollAccessible::minimumStepSize() const
{
    return Scroll()->SmallChange();
}

void ScrollAccessible::MoveTo(UcScroll *scroll, std::int64_t value)
{
    const auto target = std::int32_t(std::clamp<std::int64_t>(value, scroll->Min(), scroll->Max()));
    const std::int32_t before = scroll->Value();
    scroll->SetValue(target); // raises Change
    if (scroll->Value() != before)
        Q_EMIT scroll->Scroll(); // as a drag step that moved the thumb
}

} // namespace controls
