// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/CmdAccessible.h"

#include "controls/UcCmd.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QVariant>

namespace controls
{

namespace
{

bool Inert(const UcCmd *button)
{
    return button->property("inert").toBool();
}

} // namespace

CmdAccessible::CmdAccessible(UcCmd *button) : QAccessibleWidget(button, QAccessible::Button)
{
    QObject::connect(button, &ui::UserControl::PropertyChanged, button, [button](const QString &key) {
        if (key == QLatin1String("Caption")) {
            QAccessibleEvent event(button, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        } else if (key == QLatin1String("Value") || key == QLatin1String("Enabled")) {
            QAccessible::State changed;
            changed.checked = true;
            changed.disabled = true;
            QAccessibleStateChangeEvent event(button, changed);
            QAccessible::updateAccessibility(&event);
        }
    });
}

UcCmd *CmdAccessible::Button() const
{
    return static_cast<UcCmd *>(widget());
}

QAccessible::Role CmdAccessible::role() const
{
    switch (Button()->Style()) {
    case UcCmd::StyleCheck:
        return QAccessible::CheckBox;
    case UcCmd::StyleOption:
        return QAccessible::RadioButton;
    default:
        return QAccessible::Button;
    }
}

QAccessible::State CmdAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    const UcCmd *button = Button();
    if (Inert(button)) {
        s.disabled = true;
        s.focusable = false;
    }
    s.pressed = button->PressedLook() && button->Style() != UcCmd::StyleCheck &&
                button->Style() != UcCmd::StyleOption;
    if (button->Style() == UcCmd::StyleCheck || button->Style() == UcCmd::StyleOption) {
        s.checkable = true;
        s.checked = button->Value();
    }
    return s;
}

QString CmdAccessible::text(QAccessible::Text t) const
{
    const UcCmd *button = Button();
    switch (t) {
    case QAccessible::Name:
        if (!button->accessibleName().isEmpty())
            return button->accessibleName();
        if (!button->Caption().isEmpty())
            return QString(button->Caption()).remove(QLatin1Char('&'));
        return button->toolTip();
    case QAccessible::Description:
        return button->accessibleDescription().isEmpty() ? button->toolTip()
                                                         : button->accessibleDescription();
    default:
        return QAccessibleWidget::text(t);
    }
}

QStringList CmdAccessible::actionNames() const
{
    if (Inert(Button()))
        return {};
    QStringList names = QAccessibleWidget::actionNames();
    names.prepend(pressAction());
    return names;
}

void CmdAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction()) {
        if (!Inert(Button()))
            Press(Button());
    } else {
        QAccessibleWidget::doAction(actionName);
    }
}

QStringList CmdAccessible::keyBindingsForAction(const QString &actionName) const
{
    const QString key = widget()->property("keyBinding").toString();
    if (actionName == pressAction() && !key.isEmpty())
        return {key};
    return {};
}

void CmdAccessible::Press(UcCmd *button)
{
    if (!button || !button->isEnabled())
        return;
    QRect picture = button->PictureGeometry();
    const QPoint at = picture.isEmpty() ? button->rect().center() : picture.center();
    const QPointF local(at);
    const QPointF global(button->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(button, &release);
}

} // namespace controls
