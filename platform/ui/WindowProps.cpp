// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/WindowProps.h"

#include <QVariant>
#include <QWidget>

namespace ui
{

namespace
{
// Our own prefix keeps these apart from every other dynamic property of the widget.
constexpr char Prefix[] = "_orvena_prop_";

QByteArray Key(const QString &name)
{
    return QByteArray(Prefix) + name.toLower().toUtf8();
}
} // namespace

bool WindowProps::SetProp(QWidget *widget, const QString &name, qintptr value)
{
    if (!widget || name.isEmpty())
        return false;
    widget->setProperty(Key(name).constData(), QVariant::fromValue<qlonglong>(value));
    return true;
}

qintptr WindowProps::GetProp(const QWidget *widget, const QString &name)
{
    if (!widget || name.isEmpty())
        return 0;
    const QVariant v = widget->property(Key(name).constData());
    return v.isValid() ? static_cast<qintptr>(v.toLongLong()) : 0;
}

qintptr WindowProps::RemoveProp(QWidget *widget, const QString &name)
{
    const qintptr old = GetProp(widget, name);
    if (widget && !name.isEmpty())
        widget->setProperty(Key(name).constData(), QVariant());
    return old;
}

QStringList WindowProps::PropNames(const QWidget *widget)
{
    QStringList names;
    if (!widget)
        return names;
    for (const QByteArray &key : widget->dynamicPropertyNames()) {
        if (key.startsWith(Prefix))
            names << QString::fromUtf8(key.mid(int(sizeof(Prefix) - 1)));
    }
    return names;
}

} // namespace ui
