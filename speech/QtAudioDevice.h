// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/AudioDevice.h"

#include <QElapsedTimer>

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
    qint64 HeardSamples(qint64 pulled) override;

    // Enough to ride out a busy moment of the user interface, short enough that pause and stop
    // are heard at once.
    static constexpr int kBufferMilliseconds = 200;

private:
    std::unique_ptr<QAudioSink> sink_;
    int sampleRate_ = 0;
    // The sink's play position (the sound server's clock, its latency included: measured on the
    // null sink, words are told 0-15 ms after their sound reaches the sink's monitor) moves in
    // steps; between steps it is carried on by the wall clock.
    qint64 lastProcessedUSecs_ = -1;
    QElapsedTimer sinceProcessed_;
};

} // namespace speech
