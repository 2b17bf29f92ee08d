// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/MprisService.h"

#include "studio/DesktopStrings.h"
#include "studio/MprisPlayerAdaptor.h"
#include "studio/MprisRootAdaptor.h"
#include "studio/PlayerControl.h"

#include <QDBusConnection>

namespace studio
{

MprisService::MprisService(Main *window) : player_(new PlayerControl(window, this))
{
    // The adaptors are children of this object and exported with it.
    new MprisRootAdaptor(window, this);
    new MprisPlayerAdaptor(player_, this);
}

MprisService::~MprisService()
{
    if (!registered_)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(desktop::MprisServiceName);
    bus.unregisterObject(desktop::MprisObjectPath);
}

std::unique_ptr<MprisService> MprisService::Register(Main *window)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return nullptr;
    std::unique_ptr<MprisService> service(new MprisService(window));
    if (!bus.registerObject(desktop::MprisObjectPath, service.get(), QDBusConnection::ExportAdaptors))
        return nullptr;
    if (!bus.registerService(desktop::MprisServiceName)) {
        bus.unregisterObject(desktop::MprisObjectPath);
        return nullptr;
    }
    service->registered_ = true;
    return service;
}

} // namespace studio
