// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/Timer.h"
#include "platform/ui/ManualClock.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <memory>

using ui::ManualClock;
using ui::Timer;

TEST(Timer, manualClockTicksOncePerElapsedInterval)
{
    ManualClock clock;
    Timer timer;
    timer.SetClock(&clock);
    QSignalSpy ticks(&timer, &Timer::Tick);
    EXPECT_EQ(clock.Advance(1000), 0); // Interval 0: stopped, although Enabled
    timer.SetInterval(100);
    EXPECT_EQ(clock.Advance(350), 3);
    EXPECT_EQ(clock.Advance(49), 0);
    EXPECT_EQ(clock.Advance(1), 1); // the count carried over: due at 400
    timer.SetEnabled(false);
    EXPECT_EQ(clock.Advance(1000), 0);
    timer.SetEnabled(true); // enabling restarts the count from now
    EXPECT_EQ(clock.Advance(99), 0);
    EXPECT_EQ(clock.Advance(1), 1);
    EXPECT_EQ(ticks.count(), 5);
}

TEST(Timer, handlersMayChangeTimersWhileTheClockRuns)
{
    ManualClock clock;
    Timer::SetDefaultClock(&clock);
    Timer repeat; // like a scroll arrow: a long first delay, then a short repeat
    auto other = std::make_unique<Timer>();
    Timer::SetDefaultClock(nullptr);
    ASSERT_EQ(repeat.Clock(), &clock);

    std::vector<qint64> at;
    QObject::connect(&repeat, &Timer::Tick, [&] {
        at.push_back(clock.Now());
        if (repeat.Interval() == 300)
            repeat.SetInterval(50);
        if (at.size() == 4)
            repeat.SetEnabled(false);
    });
    QObject::connect(other.get(), &Timer::Tick, [&] { other.reset(); }); // deletes itself mid-run
    repeat.SetInterval(300);
    other->SetInterval(320);
    clock.Advance(1000);
    EXPECT_EQ(at, (std::vector<qint64>{300, 350, 400, 450}));
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(clock.Now(), 1000);
}

TEST(Timer, fireTicksOnlyWhileRunningAndNegativeIntervalsAreRefused)
{
    ManualClock clock;
    Timer timer;
    timer.SetClock(&clock);
    QSignalSpy ticks(&timer, &Timer::Tick);
    timer.Fire();
    EXPECT_EQ(ticks.count(), 0);
    timer.SetInterval(10);
    EXPECT_FALSE(timer.SetInterval(-5));
    EXPECT_EQ(timer.Interval(), 10);
    clock.Advance(5);
    timer.Fire(); // restarts the count
    EXPECT_EQ(ticks.count(), 1);
    EXPECT_EQ(clock.Advance(9), 0);
    EXPECT_EQ(clock.Advance(1), 1);
}

TEST(Timer, realTimeTimerTicks)
{
    Timer timer;
    QSignalSpy ticks(&timer, &Timer::Tick);
    timer.SetInterval(5);
    QTRY_VERIFY(ticks.count() >= 2);
}
