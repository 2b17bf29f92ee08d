// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/StudioAccessibility.h"

#include "bevel/BevelButtonAccessible.h"
#include "bevel/bvlBUTTON.h"
#include "controls/CmdAccessible.h"
#include "controls/ProgressAccessible.h"
#include "controls/ScrollAccessible.h"
#include "controls/UcCmd.h"
#include "controls/UcProgress.h"
#include "controls/UcScroll.h"
#include "multibutton/MultiButtonAccessible.h"
#include "multibutton/zqButtons_H.h"
#include "studio/LevelDisplay.h"

#include <QAccessible>

namespace studio
{

namespace
{

// Qt asks with the class name of the object and then of each of its base classes.
QAccessibleInterface *ControlInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String(bevel::bvlBUTTON::staticMetaObject.className()))
        if (auto *button = qobject_cast<bevel::bvlBUTTON *>(object))
            return new bevel::BevelButtonAccessible(button);
    if (className == QLatin1String(multibutton::zqButtons_H::staticMetaObject.className()))
        if (auto *button = qobject_cast<multibutton::zqButtons_H *>(object))
            return new multibutton::MultiButtonAccessible(button);
    if (className == QLatin1String(controls::UcScroll::staticMetaObject.className()))
        if (auto *scroll = qobject_cast<controls::UcScroll *>(object))
            return new controls::ScrollAccessible(scroll);
    if (className == QLatin1String(controls::UcCmd::staticMetaObject.className()))
        if (auto *button = qobject_cast<controls::UcCmd *>(object))
            return new controls::CmdAccessible(button);
    if (className == QLatin1String(controls::UcProgress::staticMetaObject.className()))
        if (auto *progress = qobject_cast<controls::UcProgress *>(object))
            return new controls::ProgressAccessible(progress);
    if (className == QLatin1String(LevelDisplay::staticMetaObject.className()))
        if (auto *display = qobject_cast<LevelDisplay *>(object))
            return new QAccessibleWidget(display, QAccessible::Graphic);
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(&ControlInterface);
}

} // namespace studio
