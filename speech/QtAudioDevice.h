// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/AudioDevice.h"

#include <memory>

class QAudioSink;

namespace speech {

// Plays through the default output of Qt Multimedia with a QAudioSink in pull mode.
class QtAudioDevice : public AudioDevice {
public:
    QtAudioDevice();
    ~QtAudioDevice() override;

    bool Start(QIODevice *source, int sampleRate, QString *error) override;
    void Suspend() override;
    void Resume() override;
    void Stop() override;
    bool Idle() const override;
    bool Failed(QString *error) const override;

    // Enough to ride out a busy moment of the user interface, short enough that pause and stop
    // are heard at once.
    static constexpr int kBufferMilliseconds = 200;

private:
    std::unique_ptr<QAudioSink> sink_;
};

} // namespace speech
