// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/PcmBuffer.h"

#include <QIODevice>

#include <deque>
#include <memory>

namespace speech {

// What the audio output pulls from: the playback buffers of the queued texts, read one after the
// other. It only moves on to a buffer of the rate the output is playing at; a buffer at another
// rate waits until the output has been reopened at that rate. Lives on the engine's thread.
class PcmSource : public QIODevice {
    Q_OBJECT
public:
    explicit PcmSource(QObject *parent = nullptr);

    void Append(std::shared_ptr<PcmBuffer> buffer);
    void SetOutputRate(int sampleRate) { outputRate_ = sampleRate; }
    int OutputRate() const { return outputRate_; }
    // Everything appended has been read to its end.
    bool Exhausted();
    // The rate of the next buffer when it differs from the output's rate and all before it is read; else 0.
    int PendingRate();
    // Samples handed to the output so far; what QIODevice holds read ahead has not been handed over.
    qint64 SamplesRead() const { return (bytesRead_ - QIODevice::bytesAvailable()) / 2; }
    void Clear();

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    // Not at its end while more speech is to come, even when none is ready yet: an output that
    // saw "at end" would stop pulling.
    bool atEnd() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    void DropExhausted();

    std::deque<std::shared_ptr<PcmBuffer>> chain_;
    int outputRate_ = 0;
    qint64 bytesRead_ = 0;
};

} // namespace speech
