// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/DesktopNotification.h"

#include "studio/DesktopStrings.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace studio
{

void SendDesktopNotification(const QString &summary, const QString &body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), desktop::DesktopEntry}};
    // app name, replaces id, icon, summary, body, actions, hints, expiry (-1: the server's default)
    call << desktop::NotificationApp << 0u << desktop::NotificationIcon << summary << body << QStringList()
         << hints << -1;
    // The reply (the notification's id, or an error when no server runs) is of no use here.
    bus.send(call);
}

} // namespace studio
