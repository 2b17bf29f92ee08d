// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// The hover timer of the multi-style buttons: a window timer identified by its window and id,
// whose callback finds its button through the window properties "zq_ClassID" and "zq_TimerID".
// Timers run on ui::Timer, so a test's ManualClock drives them.
namespace multibutton::modZqTimer
{

// Starts (or restarts) timer `id` on `window`; each tick calls HoverTimerProc(window, id).
// A timer already running with that id on that window is replaced. False without a window.
bool SetTimer(QWidget *window, int id, int intervalMs);
// Stops timer `id` on `window`; false when no such timer runs.
bool KillTimer(QWidget *window, int id);
bool TimerRunning(const QWidget *window, int id);
// The timer callback: reads the button and the timer id from the window's properties and asks
// the button whether the pointer is still over it.
void HoverTimerProc(QWidget *window, int id);

} // namespace multibutton::modZqTimer
