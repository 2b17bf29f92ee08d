// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The command line of orvena-speak, parsed. Each action the tool offers is one value of Action; a
// new action adds its options in SpeakOptions.cpp (one table) and its branch in SpeakCommand::Run.
struct SpeakOptions {
    enum class Action { Speak, ListVoices, Help, Version, PrintText, Batch };

    Action action = Action::Speak;
    QString voice;                 // speaker name or 1-based mode index; empty: the default voice
    std::optional<int> speed;      // words per minute; empty: the voice's default (VoiceDefaults)
    std::optional<int> pitch;      // base pitch in Hz; empty: the voice's default
    QString output;                // sound file to record into; empty: speak aloud
    QString subtitles;             // --subtitles: .srt, .vtt or .lrc written beside a recording
    std::optional<double> quality; // --quality 0..1 of a recording; the format's default when empty
    QString title, artist, album;  // tags of a recording; empty: the defaults (see SpeakCommand)
    bool withDefaults = false;     // --list-voices --with-defaults
    std::optional<QString> text;   // --text
    QString inputFile;             // FILE, or "-" for standard input; the document of --print-text
    std::optional<int> filter;     // --filter: the open dialog's filter index for --print-text
    QStringList lexicons;          // --lexicon: pronunciation rules files, applied in this order
    unsigned skip = 0;             // --skip: speech::ReadingFilters::Skip values
    bool splitChapters = false;    // --split chapters
    std::optional<int> splitMinutes; // --split MINUTES
    QString outputDir;             // --output-dir: Batch records each of inputFiles into it
    QString format;                // --format: the extension of the batch's recordings, without a dot
    QString subtitlesFormat;       // --subtitles-format: srt, vtt or lrc beside each batch recording
    QStringList inputFiles;        // the documents of a batch
    bool quiet = false;            // --quiet: no progress on the terminal

    static constexpr const char *kDefaultVoice = "Mary";

    // Returns the options, or nothing with `error` set to what is wrong with the command line.
    static std::optional<SpeakOptions> Parse(const QStringList &arguments, QString *error);
    static QString HelpText();
};
