// SPDX-License-Identifier: GPL-3.0-or-later
#include "multibutton/modZqTimer.h"

#include "multibutton/zqButtons_H.h"
#include "multibutton/zqStrings.h"
#include "platform/ui/Timer.h"
#include "platform/ui/WindowProps.h"

#include <QPointer>
#include <QWidget>

namespace multibutton::modZqTimer
{

namespace
{

QString TimerName(int id)
{
    return QStringLiteral("zqTimer%1").arg(id);
}

ui::Timer *FindTimer(const QWidget *window, int id)
{
    return window ? window->findChild<ui::Timer *>(TimerName(id), Qt::FindDirectChildrenOnly) : nullptr;
}

} // namespace

bool SetTimer(QWidget *window, int id, int intervalMs)
{
    if (!window)
        return false;
    ui::Timer *timer = FindTimer(window, id);
    if (!timer) {
        // The timer belongs to the window, so it cannot outlive it.
        timer = new ui::Timer(window);
        timer->setObjectName(TimerName(id));
        QPointer<QWidget> guard(window);
        QObject::connect(timer, &ui::Timer::Tick, window, [guard, id] {
            if (guard)
                HoverTimerProc(guard, id);
        });
    }
    timer->SetEnabled(false);
    timer->SetInterval(intervalMs);
    timer->SetEnabled(true);
    return true;
}

bool KillTimer(QWidget *window, int id)
{
    ui::Timer *timer = FindTimer(window, id);
    if (!timer || !timer->Enabled())
        return false;
    timer->SetEnabled(false);
    return true;
}

bool TimerRunning(const QWidget *window, int id)
{
    const ui::Timer *timer = FindTimer(window, id);
    return timer && timer->Running();
}

void HoverTimerProc(QWidget *window, int id)
{
    // The window property holds a plain, non-owning reference; it is only trusted when it
    // names this very window, so a stale or foreign value cannot be followed.
    const qintptr object = ui::WindowProps::GetProp(window, strings::ClassID);
    const int timerId = int(ui::WindowProps::GetProp(window, strings::TimerID));
    auto *button = qobject_cast<zqButtons_H *>(window);
    if (!button || object != reinterpret_cast<qintptr>(button) || timerId != id)
        return;
    button->HoverCheck(timerId);
}

} // namespace multibutton::modZqTimer
