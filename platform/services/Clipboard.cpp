// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace services
{

namespace
{
QClipboard *SystemClipboard()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                         : nullptr;
}
} // namespace

QString Clipboard::GetText()
{
    QClipboard *clipboard = SystemClipboard();
    return clipboard ? clipboard->text() : QString();
}

void Clipboard::SetText(const QString &text)
{
    if (QClipboard *clipboard = SystemClipboard())
        clipboard->setText(text);
}

void Clipboard::Clear()
{
    if (QClipboard *clipboard = SystemClipboard())
        clipboard->clear();
}

bool Clipboard::HasText()
{
    QClipboard *clipboard = SystemClipboard();
    if (!clipboard)
        return false;
    const QMimeData *data = clipboard->mimeData();
    return data && data->hasText();
}

} // namespace services
