// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class QIODevice;

namespace speech {

// The sound output the engine plays through. The program uses QtAudioDevice (Qt Multimedia);
// unit tests put a device of their own in its place and pull the samples themselves.
class AudioDevice {
public:
    virtual ~AudioDevice();

    // Starts pulling mono signed 16-bit samples at `sampleRate` from `source`. Returns false and
    // fills `error` when there is no device to play on.
    virtual bool Start(QIODevice *source, int sampleRate, QString *error) = 0;
    virtual void Suspend() = 0;
    virtual void Resume() = 0;
    virtual void Stop() = 0;
    // Started, not suspended, and everything it pulled has been played.
    virtual bool Idle() const = 0;
    // The device failed after starting (the sound server went away); fills `error`.
    virtual bool Failed(QString *error) const = 0;
    // Of the `pulled` samples taken from the source since Start, how many the listener has heard:
    // what still waits in the output's buffer or in the sound server is not heard yet. An output
    // that plays what it pulls at once (the test devices) has heard them all.
    virtual qint64 HeardSamples(qint64 pulled) { return pulled; }
};

using AudioDeviceFactory = std::function<std::unique_ptr<AudioDevice>()>;

} // namespace speech
