// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QTimer;

namespace ui
{

class ManualClock;

// The old timer control: it ticks every Interval milliseconds while Enabled is true and Interval
// is above 0. Changing Interval or Enabled restarts the count. The tick is the Tick signal (the
// control's Timer event; a member cannot share its class's name).
//
// By default a Timer runs on real time (QTimer). Attached to a ManualClock (SetClock, or
// SetDefaultClock before it is created) it ticks only as the test advances that clock.
class Timer : public QObject
{
    Q_OBJECT
  public:
    explicit Timer(QObject *parent = nullptr);
    ~Timer() override;

    int Interval() const { return interval_; }
    // Negative intervals are refused (the timer keeps its interval); returns false then.
    bool SetInterval(int milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Whether ticks are currently being counted (Enabled and Interval > 0).
    bool Running() const { return enabled_ && interval_ > 0; }

    // Fires one tick now, as if the interval had elapsed (only while Running).
    void Fire();

    // nullptr returns the timer to real time.
    void SetClock(ManualClock *clock);
    ManualClock *Clock() const { return clock_; }
    // The clock new timers attach to (nullptr: real time). For tests of controls whose timers
    // are created inside them.
    static void SetDefaultClock(ManualClock *clock);
    static ManualClock *DefaultClock();

  Q_SIGNALS:
    void Tick();

  private:
    friend class ManualClock;
    void Restart();

    int interval_ = 0;
    bool enabled_ = true;
    QTimer *qtimer_ = nullptr;
    ManualClock *clock_ = nullptr;
    qint64 due_ = 0; // next tick on the manual clock
};

} // namespace ui
