// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "skin/Failure.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace skin
{

// The one failure report of the window skin and the skinned controls: a modal message box
// (warning icon, OK button) through services::MessageBox::Current() and the same words in the
// application event log through services::EventLog::Current().
//   title: "ERROR - " + number + " - " + operation + " - " + module
//   text:  "ERROR  " + number + " - " + description
//   log:   title + ": " + text, with the given event type (callers pass 1, an error)
//
// A failure that keeps recurring must not bury the user in boxes: a report whose title and text
// equal one shown less than ReportRepeatWindowMs ago, or one raised while a report box is still
// open (a repaint under the modal box failing again), is written to the log only.
// Returns true when the box was shown.
bool ReportError(long number, const QString &description, const QString &operation, const QString &module,
                 int eventLogType = 1);
bool ReportError(const Failure &failure, const QString &operation, const QString &module);

// The texts, built exactly as the report shows them.
QString ReportErrorTitle(long number, const QString &operation, const QString &module);
QString ReportErrorText(long number, const QString &description);

constexpr std::int64_t ReportRepeatWindowMs = 5000;

// Tests: replace the millisecond clock the repeat guard reads (nullptr restores the steady
// clock) and forget the reports seen so far.
void SetReportErrorClock(std::function<std::int64_t()> clock);
void ResetReportErrorGuard();

} // namespace skin
