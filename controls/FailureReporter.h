// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "skin/Failure.h"

#include <QSet>
#include <QString>

#include <utility>

namespace controls
{

// Hands a control's failures to the shared error report, once per operation and error: a failure
// that recurs on every paint or every tick (a bitmap that cannot be loaded, an empty value range)
// shows one box, and its repetitions only reach the event log, until Reset (a property write
// that may have cured it) rearms the report.
class FailureReporter
{
  public:
    explicit FailureReporter(QString module) : module_(std::move(module)) {}

    // Returns true when the message box was shown.
    bool Report(const skin::Failure &failure, const QString &operation);
    void Reset() { reported_.clear(); }
    const QString &Module() const { return module_; }

  private:
    QString module_;
    QSet<QString> reported_;
};

} // namespace controls
