// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace speech {

// The kinds of sound file a recording can be, chosen by the file's extension.
enum class SoundContainer { Wav, Flac, OggVorbis, Opus, Mp3 };

// How one kind of sound file is written through libsndfile.
struct SoundFormat {
    SoundContainer container = SoundContainer::Wav;
    int sndfileFormat = 0; // SF_FORMAT_* major | subtype
    bool lossy = false;    // quality means bit rate, not just encoding effort
    // The quality used when the caller asks for none: good speech at a small size (MP3 VBR
    // comes out near 60 kbit/s for a 16 kHz voice).
    double defaultQuality = 0.5;

    // The format for `path` by its extension: none for an extension that names no sound file kind
    // this writer knows; WAV for a name without an extension.
    static std::optional<SoundFormat> ForPath(const QString &path);
    // The format for an extension without its dot ("mp3", "OGG"); none when unknown.
    static std::optional<SoundFormat> ForExtension(const QString &extension);
    // The extensions ForExtension knows, in the order help texts list them.
    static QStringList Extensions();
    // "unknown sound file kind ".xyz" (use .wav, .flac, .ogg, .opus or .mp3)".
    static QString UnknownExtensionMessage(const QString &path);

    // The sample rate the file is written at for speech made at `synthesisRate`: the same rate
    // unless the encoder does not take it (Opus knows only 8, 12, 16, 24 and 48 kHz).
    int FileRate(int synthesisRate) const;
    // libsndfile's compression level for a quality between 0 (smallest) and 1 (best).
    static double CompressionLevel(double quality);
};

// Tags written into the file's metadata through libsndfile's string fields. Empty fields are
// left out; a track of 0 is none.
struct SoundTags {
    QString title;
    QString artist;
    QString album;
    int track = 0;
    int trackCount = 0;

    // A title made of the text's first words (at most eight, and no more than 60 characters),
    // for recordings nobody named.
    static QString TitleFromText(const QString &text);
};

// Everything about a recording besides its name and sample rate.
struct RecordingOptions {
    SoundTags tags;
    std::optional<double> quality; // 0..1; the format's default when empty
};

} // namespace speech
