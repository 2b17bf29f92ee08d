// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QWidget;

namespace ui
{

// Named values attached to a window (SetProp/GetProp/RemoveProp), kept as dynamic properties of
// the widget so they live exactly as long as it does. Names match regardless of case.
class WindowProps
{
  public:
    // False when there is no widget or no name.
    static bool SetProp(QWidget *widget, const QString &name, qintptr value);
    // 0 when the property is not set.
    static qintptr GetProp(const QWidget *widget, const QString &name);
    // Removes the property and returns the value it had (0 when it was not set).
    static qintptr RemoveProp(QWidget *widget, const QString &name);
    // The names currently set, lower-cased.
    static QStringList PropNames(const QWidget *widget);
};

} // namespace ui
