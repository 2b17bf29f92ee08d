// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/AudioDevice.h"
#include "speech/SoundFormat.h"
#include "speech/SpeechMark.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace speech {

class Lexicon;
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
//
// The engine knows where each word and sentence of a text lies in its sound, as the synthesiser
// reports it. Speaking aloud, WordReached and SentenceReached tell when the listener hears a word
// or a sentence begin (by the samples the output has played, not those synthesised): none while
// paused, none after StopAudio, none for a queued text before it starts. Recording, SentenceReached
// tells which sentence is being written, and RecordedMarks gives every word and sentence of the
// last recording with sample offsets into its file.
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
    // Tags and quality of the recordings that follow. An empty title becomes the text's first
    // words, an empty artist the speaker name of the voice.
    void SetRecordingOptions(const RecordingOptions &options);
    void Speak(const QString &text);
    // Speaks `text` from the UTF-16 `offset` on; positions still count from the start of `text`.
    void SpeakFrom(const QString &text, int offset);
    // While speaking aloud: synthesis and playback start again at the next sentence; or at the
    // start of the current one, or of the one before when less than kRestartSeconds of the current
    // one has been heard. Nothing of the part skipped is played after the call. Anything else
    // (paused, recording, nothing spoken, no such sentence) leaves the output as it is.
    void NextSentence();
    void PreviousSentence();
    // Whether NextSentence / PreviousSentence would act now.
    bool CanSkipSentence() const;
    // The words and sentences of the last recording that was written, in order.
    std::vector<SpeechMark> RecordedMarks() const;
    void PauseAudio();
    void ResumeAudio();
    void StopAudio();
    std::uint32_t GetLastStatus() const;

    // Pronunciation rules (none when null) and reading filters (ReadingFilters::Skip values) for
    // the texts spoken from now on; a text already given keeps what it was given with. They change
    // only what the voice reads, per voice; positions (WordReached, SentenceReached, RecordedMarks)
    // still point into the text as given, and skipped text has none.
    void SetLexicon(std::shared_ptr<const Lexicon> lexicon);
    void SetReadingFilters(unsigned skip);

    // How much of a sentence must have been heard for PreviousSentence to go back to its start
    // rather than to the sentence before, as media players do with tracks.
    static constexpr double kRestartSeconds = 1.5;

Q_SIGNALS:
    void OutputStopped(int reserved1, int reserved2);
    // `start` and `length` are UTF-16 offsets into the text handed to Speak / SpeakFrom.
    void WordReached(int start, int length);
    void SentenceReached(int start, int length);

private:
    struct Private;
    void AssertOwnerThread() const;
    std::unique_ptr<Private> d_;
};

} // namespace speech
