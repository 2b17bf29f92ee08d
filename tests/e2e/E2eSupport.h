// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the end-to-end tests: the desktop provided by scripts/with-desktop, external
// commands with a time limit, and capturing what reaches the PulseAudio null sink.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace e2e {

// True when an X display and a PulseAudio server were handed to the test.
bool HaveDesktop();

struct CommandResult {
    int exitCode = -1;
    bool finished = false;
    QByteArray out;
    QByteArray err;
};

// Runs a program (no shell) and waits up to timeoutMs for it.
CommandResult Run(const QString &program, const QStringList &args, int timeoutMs = 30000);

// Records the null sink's monitor (16-bit mono, 16 kHz) while it is alive.
class SinkCapture {
public:
    SinkCapture();
    ~SinkCapture();
    bool Start();          // returns once parec has had time to connect
    std::vector<short> Stop();
    static constexpr int Rate = 16000;

private:
    struct Impl;
    Impl *impl_;
};

// Root-mean-square level of samples, and the span between the first and last sample above a
// threshold, in seconds.
double Rms(const std::vector<short> &samples);
double AudibleSeconds(const std::vector<short> &samples, short threshold = 500);

} // namespace e2e
