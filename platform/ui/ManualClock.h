// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <vector>

namespace ui
{

class Timer;

// A clock that only moves when told to, for testing code that repeats on timers (auto-repeat of
// scroll arrows, hover checks) without sleeping. Timers attached to it never use real time:
// Advance(ms) fires every tick that falls due in that span, in time order.
class ManualClock
{
  public:
    ManualClock() = default;
    ~ManualClock();
    ManualClock(const ManualClock &) = delete;
    ManualClock &operator=(const ManualClock &) = delete;

    qint64 Now() const { return now_; }
    // Moves time forward, firing due ticks one at a time (a handler may stop, restart or delete
    // timers, and the rest of the span sees the change). Returns the number of ticks fired.
    int Advance(qint64 milliseconds);

  private:
    friend class Timer;
    void Attach(Timer *timer);
    void Detach(Timer *timer);

    qint64 now_ = 0;
    std::vector<Timer *> timers_;
};

} // namespace ui
