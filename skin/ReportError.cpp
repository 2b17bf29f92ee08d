// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/ReportError.h"

#include "platform/services/EventLog.h"
#include "platform/services/MessageBox.h"

#include <QHash>
#include <QScopedValueRollback>
#include <chrono>

namespace skin
{
namespace
{

struct Guard {
    std::function<std::int64_t()> clock;
    QHash<QString, std::int64_t> lastShown; // title + text -> time the box was shown
    bool showing = false;
};

Guard &TheGuard()
{
    static Guard guard;
    return guard;
}

std::int64_t Now()
{
    Guard &g = TheGuard();
    if (g.clock)
        return g.clock();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

QString ReportErrorTitle(long number, const QString &operation, const QString &module)
{
    return QStringLiteral("ERROR - ") + QString::number(number) + QStringLiteral(" - ") + operation +
           QStringLiteral(" - ") + module;
}

QString ReportErrorText(long number, const QString &description)
{
    return QStringLiteral("ERROR  ") + QString::number(number) + QStringLiteral(" - ") + description;
}

bool ReportError(long number, const QString &description, const QString &operation, const QString &module,
                 int eventLogType)
{
    const QString title = ReportErrorTitle(number, operation, module);
    const QString text = ReportErrorText(number, description);
    Guard &g = TheGuard();
    const QString key = title + QLatin1Char('\n') + text;
    const std::int64_t now = Now();
    const auto last = g.lastShown.constFind(key);
    const bool repeated = last != g.lastShown.constEnd() && now - *last < ReportRepeatWindowMs;
    bool shown = false;
    if (!g.showing && !repeated) {
        {
            const QScopedValueRollback showing(g.showing, true);
            services::MessageBox::Warn(text, title);
        }
        // The window runs from when the box closed, so a failure that recurs as soon as the user
        // dismisses the box does not bring it straight back.
        g.lastShown.insert(key, Now());
        shown = true;
    }
    services::EventLog::Current().Write(eventLogType, title + QStringLiteral(": ") + text);
    return shown;
}

bool ReportError(const Failure &failure, const QString &operation, const QString &module)
{
    return ReportError(failure.Number(), failure.Description(), operation, module,
                       services::EVENTLOG_ERROR_TYPE);
}

void SetReportErrorClock(std::function<std::int64_t()> clock)
{
    TheGuard().clock = std::move(clock);
}

void ResetReportErrorGuard()
{
    TheGuard().lastShown.clear();
    TheGuard().showing = false;
}

} // namespace skin
