// SPDX-License-Identifier: GPL-3.0-or-later
#include "multibutton/MultiButtonAccessible.h"

#include "multibutton/zqButtons_H.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QVariant>

namespace multibutton
{

namespace
{

// The stored Mode codes.
constexpr int Command = 0;
constexpr int Option = 2;

int ModeOf(const zqButtons_H *button)
{
    return static_cast<int>(button->Mode());
}

} // namespace

MultiButtonAccessible::MultiButtonAccessible(zqButtons_H *button)
    : QAccessibleWidget(button, QAccessible::Button)
{
    QObject::connect(button, &ui::UserControl::PropertyChanged, button, [button](const QString &key) {
        if (key == QLatin1String("Caption")) {
            QAccessibleEvent event(button, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        } else if (key == QLatin1String("Enabled") || key == QLatin1String("Value")) {
            QAccessible::State changed;
            changed.disabled = true;
            changed.checked = true;
            QAccessibleStateChangeEvent event(button, changed);
            QAccessible::updateAccessibility(&event);
        }
    });
}

zqButtons_H *MultiButtonAccessible::Button() const
{
    return static_cast<zqButtons_H *>(widget());
}

QAccessible::Role MultiButtonAccessible::role() const
{
    return ModeOf(Button()) == Option ? QAccessible::RadioButton : QAccessible::Button;
}

QAccessible::State MultiButtonAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    const zqButtons_H *button = Button();
    s.pressed = button->ShowPressed();
    if (ModeOf(button) != Command) {
        s.checkable = true;
        s.checked = button->Value();
    }
    return s;
}

QString MultiButtonAccessible::text(QAccessible::Text t) const
{
    const zqButtons_H *button = Button();
    switch (t) {
    case QAccessible::Name: {
        if (!button->accessibleName().isEmpty())
            return button->accessibleName();
        const QString caption = QString(button->Caption()).remove(QLatin1Char('&')).trimmed();
        return caption.size() > 1 || button->toolTip().isEmpty() ? caption : button->toolTip();
    }
    case QAccessible::Description:
        return button->accessibleDescription().isEmpty() ? button->toolTip()
                                                         : button->accessibleDescription();
    default:
        return QAccessibleWidget::text(t);
    }
}

QStringList MultiButtonAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    names.prepend(pressAction());
    return names;
}

void MultiButtonAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction())
        Press(Button());
    else
        QAccessibleWidget::doAction(actionName);
}

QStringList MultiButtonAccessible::keyBindingsForAction(const QString &actionName) const
{
    const QString key = widget()->property("keyBinding").toString();
    if (actionName == pressAction() && !key.isEmpty())
        return {key};
    return {};
}

void MultiButtonAccessible::Press(zqButtons_H *button)
{
    if (!button || !button->Enabled())
        return;
    // A point of the button's outline: its middle, or the middle of the outline's first piece.
    QPoint at = button->rect().center();
    const QRegion outline = button->mask();
    if (!outline.isEmpty() && !outline.contains(at))
        at = outline.begin()->center();
    const QPointF local(at);
    const QPointF global(button->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(button, &release);
}

} // namespace multibutton
