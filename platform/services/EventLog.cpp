// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services/EventLog.h"

#include <mutex>
#include <syslog.h>

namespace services
{

namespace
{
EventLog *currentLog = nullptr;
}

EventLog::~EventLog() = default;

EventLog &EventLog::Current()
{
    static SyslogEventLog real;
    return currentLog ? *currentLog : real;
}

void EventLog::SetCurrent(EventLog *log)
{
    currentLog = log;
}

int EventLog::SyslogPriority(int type)
{
    switch (type) {
    case EVENTLOG_ERROR_TYPE:
    case EVENTLOG_AUDIT_FAILURE:
        return LOG_ERR;
    case EVENTLOG_WARNING_TYPE:
        return LOG_WARNING;
    case EVENTLOG_AUDIT_SUCCESS:
        return LOG_NOTICE;
    default:
        return LOG_INFO;
    }
}

void SyslogEventLog::Write(int type, const QString &text)
{
    static std::once_flag opened;
    std::call_once(opened, [] { openlog(Ident, LOG_PID, LOG_USER); });
    // The text goes through "%s" so a percent sign in a message is never a format directive.
    syslog(SyslogPriority(type), "%s", text.toUtf8().constData());
}

void RecordingEventLog::Write(int type, const QString &text)
{
    entries.push_back({type, text});
}

} // namespace services
