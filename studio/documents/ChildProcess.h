// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <stop_token>

namespace documents
{

// Runs a converter program directly (never through a shell, so no file name is ever parsed as a
// command) and waits for it within a time limit; a program that overstays is killed, and so is
// one whose output grows past what any document could need, or whose caller gives up on it.
class ChildProcess
{
  public:
    // The most a converter may write (standard output and error together) before it is stopped:
    // far beyond any document the editor takes, and a bound on what a flooding program costs.
    static constexpr std::int64_t kMaxOutputBytes = 256 * 1024 * 1024;

    struct Outcome {
        bool started = false;
        bool timedOut = false;
        bool crashed = false;
        bool outputTooLarge = false; // stopped at kMaxOutputBytes
        bool cancelled = false;      // stopped because its caller gave up
        int exitCode = -1;
        QByteArray output; // standard output
        QByteArray errors; // standard error

        bool Succeeded() const
        {
            return started && !timedOut && !crashed && !outputTooLarge && !cancelled && exitCode == 0;
        }
    };

    // `stop`, when requested, ends the wait at once (within a few tens of milliseconds) and kills
    // the program; without one, the stop token of the thread's current StopScope applies.
    static Outcome Run(const QString &program, const QStringList &arguments,
                       std::chrono::milliseconds timeLimit, const QString &workingFolder = {},
                       std::stop_token stop = {});

    // While it lives, every program run on this thread without a stop token of its own is
    // stopped when `stop` is requested: a document read off the window's thread hands the user's
    // Escape down to the converters that the reader runs, without the readers knowing of it.
    class StopScope
    {
      public:
        explicit StopScope(std::stop_token stop);
        ~StopScope();
        StopScope(const StopScope &) = delete;
        StopScope &operator=(const StopScope &) = delete;

      private:
        std::stop_token previous_;
    };

    // The stop token of this thread's innermost StopScope (an empty token outside any).
    static std::stop_token CurrentStopToken();

    // The output limit; tests lower it so that a flood is quick to produce.
    static void SetOutputLimitForTesting(std::int64_t bytes);
};

} // namespace documents
