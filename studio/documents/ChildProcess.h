// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>

namespace documents {

// Runs a converter program directly (never through a shell, so no file name is ever parsed as a
// command) and waits for it within a time limit; a program that overstays is killed.
class ChildProcess {
public:
    struct Outcome {
        bool started = false;
        bool timedOut = false;
        bool crashed = false;
        int exitCode = -1;
        QByteArray output; // standard output
        QByteArray errors; // standard error

        bool Succeeded() const { return started && !timedOut && !crashed && exitCode == 0; }
    };

    static Outcome Run(const QString &program, const QStringList &arguments, std::chrono::milliseconds timeLimit,
                       const QString &workingFolder = {});
};

} // namespace documents
