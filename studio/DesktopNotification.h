// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace studio
{

// Shows a desktop notification through org.freedesktop.Notifications on the session bus. It does
// not wait for the server: without a session bus or a notification server nothing happens.
void SendDesktopNotification(const QString &summary, const QString &body);

} // namespace studio
