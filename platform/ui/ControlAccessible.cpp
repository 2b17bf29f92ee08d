// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/ControlAccessible.h"

#include "platform/ui/UserControl.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QVariant>

namespace ui
{

ControlAccessible::ControlAccessible(UserControl *control, QAccessible::Role role)
    : QAccessibleWidget(control, role)
{
    QObject::connect(control, &UserControl::PropertyChanged, control, [control](const QString &key) {
        if (key == QLatin1String("Caption")) {
            QAccessibleEvent event(control, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        } else if (key == QLatin1String("Enabled") || key == QLatin1String("Value")) {
            QAccessible::State changed;
            changed.disabled = true;
            changed.checked = true;
            changed.pressed = true;
            QAccessibleStateChangeEvent event(control, changed);
            QAccessible::updateAccessibility(&event);
        }
    });
}

QString ControlAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Description)
        return widget()->accessibleDescription().isEmpty() ? widget()->toolTip()
                                                           : widget()->accessibleDescription();
    return QAccessibleWidget::text(t);
}

QStringList ControlAccessible::actionNames() const
{
    if (!Pressable())
        return {};
    QStringList names = QAccessibleWidget::actionNames();
    names.prepend(pressAction());
    return names;
}

void ControlAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction()) {
        if (Pressable())
            Press();
    } else {
        QAccessibleWidget::doAction(actionName);
    }
}

QStringList ControlAccessible::keyBindingsForAction(const QString &actionName) const
{
    const QString key = widget()->property("keyBinding").toString();
    if (actionName == pressAction() && !key.isEmpty())
        return {key};
    return {};
}

void ControlAccessible::LeftClickAt(QWidget *widget, QPoint at)
{
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

} // namespace ui
