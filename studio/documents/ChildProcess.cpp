// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/ChildProcess.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace documents
{

namespace
{

// How long one wait for the child lasts before the stop request and the output are looked at
// again: short enough that Escape feels immediate, long enough to cost nothing while waiting.
constexpr int kWaitSliceMs = 25;

thread_local std::stop_token currentStop;
std::atomic<std::int64_t> outputLimit{ChildProcess::kMaxOutputBytes};

} // namespace

ChildProcess::StopScope::StopScope(std::stop_token stop) : previous_(std::move(currentStop))
{
    currentStop = std::move(stop);
}

ChildProcess::StopScope::~StopScope()
{
    currentStop = std::move(previous_);
}

std::stop_token ChildProcess::CurrentStopToken()
{
    return currentStop;
}

void ChildProcess::SetOutputLimitForTesting(std::int64_t bytes)
{
    outputLimit = bytes > 0 ? bytes : kMaxOutputBytes;
}

ChildProcess::Outcome ChildProcess::Run(const QString &program, const QStringList &arguments,
                                        std::chrono::milliseconds timeLimit, const QString &workingFolder,
                                        std::stop_token stop)
{
    Outcome outcome;
    if (program.isEmpty())
        return outcome;
    if (!stop.stop_possible())
        stop = currentStop;
    if (stop.stop_requested()) {
        outcome.cancelled = true;
        return outcome;
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    // Converters write their messages in the user's language; the text itself is asked for in
    // UTF-8 explicitly, so a C locale only steadies their messages.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_MESSAGES"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    // Its own process group, so that a converter that starts helpers of its own (LibreOffice's
    // launcher does) can be stopped with all of them.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });

    const QDeadlineTimer deadline(timeLimit);
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1))))
        return outcome;
    outcome.started = true;
    const qint64 pid = process.processId();
    const auto killGroup = [&] {
        if (pid > 0)
            ::kill(-static_cast<pid_t>(pid), SIGKILL);
    };
    const std::int64_t limit = outputLimit;
    // The output is taken after every slice of the wait, so that what the process object buffers
    // stays one slice's worth, and the child is stopped as soon as it passes the limit.
    const auto collect = [&] {
        outcome.output += process.readAllStandardOutput();
        outcome.errors += process.readAllStandardError();
        return outcome.output.size() + outcome.errors.size() <= limit;
    };
    const auto stopChild = [&] {
        killGroup();
        process.kill();
        process.waitForFinished(-1);
        outcome.output.clear();
        outcome.errors.clear();
        return outcome;
    };
    while (process.state() != QProcess::NotRunning) {
        const qint64 remaining = deadline.remainingTime();
        const int slice =
            remaining < 0 ? kWaitSliceMs : static_cast<int>(std::clamp<qint64>(remaining, 1, kWaitSliceMs));
        if (remaining != 0)
            process.waitForFinished(slice);
        if (!collect()) {
            outcome.outputTooLarge = true;
            return stopChild();
        }
        if (stop.stop_requested()) {
            outcome.cancelled = true;
            return stopChild();
        }
        if (process.state() == QProcess::NotRunning)
            break;
        if (deadline.hasExpired()) {
            outcome.timedOut = true;
            return stopChild();
        }
    }
    process.waitForFinished(-1);
    if (!collect()) {
        outcome.outputTooLarge = true;
        outcome.output.clear();
        outcome.errors.clear();
        killGroup();
        return outcome;
    }
    outcome.crashed = process.exitStatus() == QProcess::CrashExit;
    outcome.exitCode = process.exitCode();
    // Helpers left behind by a converter that has exited are of no further use.
    killGroup();
    return outcome;
}

} // namespace documents
