// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/MprisRootAdaptor.h"

#include "studio/DesktopStrings.h"
#include "studio/Main.h"

#include <QTimer>

namespace studio
{

MprisRootAdaptor::MprisRootAdaptor(Main *window, QObject *parent)
    : QDBusAbstractAdaptor(parent), window_(window)
{
}

QString MprisRootAdaptor::Identity() const
{
    return desktop::MprisIdentity;
}

QString MprisRootAdaptor::DesktopEntry() const
{
    return desktop::DesktopEntry;
}

void MprisRootAdaptor::Raise()
{
    window_->setWindowState((window_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void MprisRootAdaptor::Quit()
{
    // After the reply has gone: closing the window ends the program and this adaptor with it.
    QTimer::singleShot(0, window_, [window = window_] { window->UcCmd1_Click(); });
}

} // namespace studio
