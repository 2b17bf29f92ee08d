// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/ManualClock.h"

#include "platform/ui/Timer.h"

#include <QTimer>

#include <algorithm>

namespace ui
{

ManualClock::~ManualClock()
{
    // Timers that outlive the clock go back to real time (stopped until restarted).
    const std::vector<Timer *> attached = timers_;
    for (Timer *timer : attached) {
        timer->clock_ = nullptr;
        timer->qtimer_->stop();
    }
}

void ManualClock::Attach(Timer *timer)
{
    timers_.push_back(timer);
}

void ManualClock::Detach(Timer *timer)
{
    std::erase(timers_, timer);
}

int ManualClock::Advance(qint64 milliseconds)
{
    const qint64 target = now_ + std::max<qint64>(0, milliseconds);
    int fired = 0;
    for (;;) {
        Timer *next = nullptr;
        for (Timer *timer : timers_) {
            if (timer->Running() && timer->due_ <= target && (!next || timer->due_ < next->due_))
                next = timer;
        }
        if (!next)
            break;
        now_ = next->due_;
        next->due_ = now_ + next->interval_;
        ++fired;
        Q_EMIT next->Tick(); // may stop, restart or delete any timer, this one included
    }
    now_ = target;
    return fired;
}

} // namespace ui
