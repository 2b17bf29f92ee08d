// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bevel/bvlBUTTON.h"

#include <QCursor>
#include <QTest>
#include <QWidget>

namespace bevel::test
{

// The button decides "over me" from the real cursor position, so the tests move the cursor
// before they send mouse events.
inline void CursorOver(QWidget *widget, QPoint at = QPoint(-1, -1))
{
    if (at.x() < 0)
        at = widget->rect().center();
    QCursor::setPos(widget->mapToGlobal(at));
}

inline void CursorAway(QWidget *window)
{
    QCursor::setPos(window->mapToGlobal(QPoint(window->width() + 200, window->height() + 200)));
}

// Press and release with the cursor where a user's would be.
inline void Click(QWidget *widget, Qt::MouseButton button = Qt::LeftButton)
{
    CursorOver(widget);
    QTest::mousePress(widget, button, Qt::NoModifier, widget->rect().center());
    QTest::mouseRelease(widget, button, Qt::NoModifier, widget->rect().center());
}

} // namespace bevel::test
