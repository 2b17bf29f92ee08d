// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

namespace services
{

enum : int {
    EVENTLOG_SUCCESS = 0,
    EVENTLOG_ERROR_TYPE = 1,
    EVENTLOG_WARNING_TYPE = 2,
    EVENTLOG_INFORMATION_TYPE = 4,
    EVENTLOG_AUDIT_SUCCESS = 8,
    EVENTLOG_AUDIT_FAILURE = 16,
};

// The application event log. The shipped program writes to syslog(3) (which reaches the
// journal) under the ident "orvena-studio"; unit tests install a RecordingEventLog.
class EventLog
{
  public:
    virtual ~EventLog();
    virtual void Write(int type, const QString &text) = 0;

    static EventLog &Current();
    // nullptr restores the syslog one. The caller keeps ownership of `log`.
    static void SetCurrent(EventLog *log);

    // The syslog priority an event type is written with (LOG_ERR, LOG_WARNING, ...).
    static int SyslogPriority(int type);
};

class SyslogEventLog : public EventLog
{
  public:
    static constexpr const char *Ident = "orvena-studio";
    void Write(int type, const QString &text) override;
};

// Test double: keeps every entry in order.
class RecordingEventLog : public EventLog
{
  public:
    struct Entry {
        int type;
        QString text;
    };
    std::vector<Entry> entries;
    void Write(int type, const QString &text) override;
};

} // namespace services
