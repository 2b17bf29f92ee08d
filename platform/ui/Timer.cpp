// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/Timer.h"

#include "platform/ui/ManualClock.h"

#include <QTimer>

namespace ui
{

namespace
{
ManualClock *defaultClock = nullptr;
}

void Timer::SetDefaultClock(ManualClock *clock)
{
    defaultClock = clock;
}

ManualClock *Timer::DefaultClock()
{
    return defaultClock;
}

Timer::Timer(QObject *parent) : QObject(parent), qtimer_(new QTimer(this))
{
    qtimer_->setTimerType(Qt::PreciseTimer);
    connect(qtimer_, &QTimer::timeout, this, &Timer::Tick);
    SetClock(defaultClock);
}

Timer::~Timer()
{
    if (clock_)
        clock_->Detach(this);
}

bool Timer::SetInterval(int milliseconds)
{
    if (milliseconds < 0)
        return false;
    interval_ = milliseconds;
    Restart();
    return true;
}

void Timer::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Restart();
}

void Timer::SetClock(ManualClock *clock)
{
    if (clock == clock_)
        return;
    if (clock_)
        clock_->Detach(this);
    clock_ = clock;
    if (clock_)
        clock_->Attach(this);
    Restart();
}

void Timer::Restart()
{
    qtimer_->stop();
    if (!Running())
        return;
    if (clock_)
        due_ = clock_->Now() + interval_;
    else
        qtimer_->start(interval_);
}

void Timer::Fire()
{
    if (!Running())
        return;
    if (clock_)
        due_ = clock_->Now() + interval_;
    else
        qtimer_->start(interval_);
    Q_EMIT Tick();
}

} // namespace ui
