// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/ChildProcess.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace documents {

ChildProcess::Outcome ChildProcess::Run(const QString &program, const QStringList &arguments,
                                        std::chrono::milliseconds timeLimit, const QString &workingFolder)
{
    Outcome outcome;
    if (program.isEmpty())
        return outcome;
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
    while (process.state() != QProcess::NotRunning) {
        const qint64 remaining = deadline.remainingTime();
        if (remaining == 0 || !process.waitForFinished(static_cast<int>(std::max<qint64>(remaining, 1)))) {
            if (process.state() == QProcess::NotRunning)
                break;
            if (deadline.hasExpired()) {
                outcome.timedOut = true;
                if (pid > 0)
                    ::kill(-static_cast<pid_t>(pid), SIGKILL);
                process.kill();
                process.waitForFinished(-1);
                return outcome;
            }
        }
    }
    outcome.crashed = process.exitStatus() == QProcess::CrashExit;
    outcome.exitCode = process.exitCode();
    outcome.output = process.readAllStandardOutput();
    outcome.errors = process.readAllStandardError();
    // Helpers left behind by a converter that has exited are of no further use.
    if (pid > 0)
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
    return outcome;
}

} // namespace documents
