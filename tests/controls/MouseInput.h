// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace controls_test
{

// Delivers one mouse event straight to a widget at a position relative to it (no hit testing,
// no window system), the way the element under the pointer or the one holding the grab gets it.
inline void SendMouse(QWidget *widget, QEvent::Type type, QPointF position,
                      Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, position, widget->mapToGlobal(position),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

inline void Press(QWidget *widget, QPointF position, Qt::MouseButton button = Qt::LeftButton)
{
    SendMouse(widget, QEvent::MouseButtonPress, position, button);
}

inline void Release(QWidget *widget, QPointF position, Qt::MouseButton button = Qt::LeftButton)
{
    SendMouse(widget, QEvent::MouseButtonRelease, position, button);
}

inline void MoveTo(QWidget *widget, QPointF position)
{
    SendMouse(widget, QEvent::MouseMove, position);
}

} // namespace controls_test
