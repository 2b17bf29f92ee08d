// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AudiobookParts.h"
#include "app/SpeakOptions.h"
#include "speech/SpeechBackend.h"
#include "speech/SpeechEngine.h"

#include <QStringList>

#include <cstdio>
#include <functional>
#include <vector>
#include <vector>

class QIODevice;
namespace speech {
class SubtitleWriter;
}
class QTextStream;

// The orvena-speak tool: parses the command line and lists voices, speaks, or records. Runs
// inside an existing Qt application object (a QCoreApplication in the tool; the test runner's in
// tests) and needs no display.
class SpeakCommand {
public:
    // The speed and pitch a voice speaks with when the command line gives none: the studio's own
    // settings for its three voices, the voice's natural ones for the others.
    static speech::Prosody DefaultProsody(const speech::VoiceMode &mode, int index);

    enum ExitCode : int {
        kDone = 0,
        kSynthesisFailed = 1,
        kUsage = 2,
        kRejected = 3,
        kInputUnreadable = 4,
        kOutputFailed = 5,
        kInterrupted = 130,
    };

    struct Io {
        QTextStream *out = nullptr;
        QTextStream *err = nullptr;
        QIODevice *input = nullptr;  // standard input, for "-"
        bool progress = false;       // draw recording progress on err (a terminal)
    };

    SpeakCommand(Io io, speech::SpeechEngine::Environment environment = {});

    int Run(const QStringList &arguments);
    // Stops the speech in progress; Run then returns kInterrupted. Safe to call at any time.
    void Interrupt();

private:
    const speech::VoiceCatalogue &Catalogue();
    int ListVoices(const SpeakOptions &options);
    // 1-based mode index of --voice (a number, or a speaker name compared without the blanks around
    // it, exactly first, then ignoring case); 0 when there is none.
    int FindVoice(const QString &voice);
    int PrintText(const SpeakOptions &options);
    int Speak(const SpeakOptions &options);
    // The text to speak; a document is read as the studio opens it, an EPUB book with its chapters.
    bool ReadInput(const SpeakOptions &options, QString *text, std::vector<audiobook::ChapterStart> *chapters = nullptr);
    // --split: one recording per part, numbered and tagged as tracks, and their playlist.
    int RecordParts(const SpeakOptions &options, const QString &text, const std::vector<audiobook::ChapterStart> &chapters,
                    int wordsPerMinute, speech::SpeechEngine &engine,
                    const std::function<int(const QString &, const QString &)> &run);
    // --output-dir: every input into its own recording; a failure is named and skipped.
    int Batch(const SpeakOptions &options);
    bool ApplyReadingOptions(const SpeakOptions &options, speech::SpeechEngine &engine);
    int WriteSubtitles(const SpeakOptions &options, speech::SubtitleWriter &writer, const QString &text,
                       const std::vector<speech::SpeechMark> &marks, int sampleRate);
    void Message(const QString &text);

    Io io_;
    speech::SpeechEngine::Environment environment_;
    speech::SpeechEngine *engine_ = nullptr;
    bool interrupted_ = false;
};
