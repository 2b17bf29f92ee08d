// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechMark.h"

#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace speech {

// Subtitles for a recording, from the words and sentences the engine marked in it: one cue per
// sentence, a sentence too long for two lines of kLineLength characters cut into several cues at
// word boundaries. A cue runs from its first word's start to its last word's end; its text is the
// text's own, from the cue's first word to the next cue's, so every word of the text appears once,
// in order. The kind of file is chosen by the extension: SubRip (.srt), WebVTT (.vtt) or LRC (.lrc).
//
// The file is written atomically: Open makes a temporary file beside the target (so a target that
// cannot be written is known before the recording starts), Commit puts it in place, and a writer
// dropped without Commit leaves nothing behind.
class SubtitleWriter {
public:
    enum class Format { SubRip, WebVtt, Lrc };
    struct Cue {
        double begin = 0; // seconds
        double end = 0;
        QStringList lines;
    };

    static constexpr int kLineLength = 42;
    static constexpr int kLinesPerCue = 2;

    // The format of `path` by its extension, if it names one.
    static std::optional<Format> FormatFor(const QString &path);
    static QString UnknownExtensionMessage(const QString &path);

    // `marks` in samples at `sampleRate`, offsets into `text`.
    static std::vector<Cue> Cues(const QString &text, const std::vector<SpeechMark> &marks, int sampleRate);
    static QByteArray Render(Format format, const std::vector<Cue> &cues);

    // Starts the file at `path`; nullptr with `error` filled when it cannot be written.
    static std::unique_ptr<SubtitleWriter> Open(const QString &path, QString *error);
    // Writes the cues and puts the file in place; false with `error` filled when that failed, and
    // then nothing is left.
    bool Commit(const std::vector<Cue> &cues, QString *error);

private:
    SubtitleWriter(Format format, std::unique_ptr<QSaveFile> file) : format_(format), file_(std::move(file)) {}

    Format format_;
    std::unique_ptr<QSaveFile> file_;
};

} // namespace speech
