// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/FailureReporter.h"

#include "platform/services/EventLog.h"
#include "skin/ReportError.h"

namespace controls
{

bool FailureReporter::Report(const skin::Failure &failure, const QString &operation)
{
    const QString key = operation + QLatin1Char('\n') + QString::number(failure.Number());
    if (reported_.contains(key)) {
        services::EventLog::Current().Write(
            services::EVENTLOG_ERROR_TYPE,
            skin::ReportErrorTitle(failure.Number(), operation, module_) + QStringLiteral(": ") +
                skin::ReportErrorText(failure.Number(), failure.Description()));
        return false;
    }
    reported_.insert(key);
    return skin::ReportError(failure, operation, module_);
}

} // namespace controls
