// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/BusyPointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace documents {

BusyPointer::BusyPointer()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        shown_ = true;
    }
}

BusyPointer::~BusyPointer()
{
    if (shown_)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace documents
