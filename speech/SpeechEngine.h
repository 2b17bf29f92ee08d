// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/AudioDevice.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace speech {

class VoiceCatalogue;

// The speech engine the studio drives: voice modes, speed in words per minute, pitch as the base
// pitch in Hz, speaking in the background with pause, resume and stop, and recording into a sound
// file. Every call leaves a status for GetLastStatus: 0 when accepted, E_UNEXPECTED when the mode
// index names no mode or the selected voice does not accept a setting, another failure code (see
// SpeechStatus.h) when speaking or recording could not start. Failures are also written to the
// application event log.
//
// Speak returns at once; a worker thread synthesises sentence by sentence into a bounded buffer the
// audio output pulls from (or into the wave file). Text spoken while speaking is queued after the
// current text. OutputStopped is raised once for each end of output (the queue ran out, StopAudio,
// or a Speak that could not start), always queued on the engine's thread after the call that caused
// it has returned; pausing raises none.
class SpeechEngine : public QObject {
    Q_OBJECT
public:
    struct Environment {
        // The voices; the installed ones when empty.
        std::shared_ptr<const VoiceCatalogue> catalogue;
        // The sound output; Qt Multimedia's default output when empty.
        AudioDeviceFactory audioDevice;
        // Called on the synthesis thread after each sentence: characters of the current text done, total.
        std::function<void(qint64 done, qint64 total)> progress;
    };

    explicit SpeechEngine(QObject *parent = nullptr);
    explicit SpeechEngine(Environment environment, QObject *parent = nullptr);
    ~SpeechEngine() override;

    int GetModeCount() const;
    QString GetModeSpeaker(int index);
    void SelectVoiceMode(int index);
    void SetSpeed(int wordsPerMinute);
    void SetPitch(int hertz);
    void SetOutputWaveFile(const QString &path);
    void Speak(const QString &text);
    void PauseAudio();
    void ResumeAudio();
    void StopAudio();
    std::uint32_t GetLastStatus() const;

Q_SIGNALS:
    void OutputStopped(int reserved1, int reserved2);

private:
    struct Private;
    std::unique_ptr<Private> d_;
};

} // namespace speech
