// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SoundFormat.h"

#include <QFileInfo>

#include <sndfile.h>

#include <algorithm>

namespace speech {

namespace {

struct Entry {
    const char *extension;
    SoundFormat format;
};

// One row per extension; "oga" is the other common name of Ogg Vorbis audio. The default
// qualities, measured on flite's 16 kHz voices: MP3 (LAME VBR) about 60 kbit/s, Vorbis about
// 40 kbit/s, Opus about 32 kbit/s, which Opus spends well on speech. FLAC is lossless whatever
// the level; there it only trades encoding time against size.
const Entry kFormats[] = {
    {"wav", {SoundContainer::Wav, SF_FORMAT_WAV | SF_FORMAT_PCM_16, false, 0.5}},
    {"flac", {SoundContainer::Flac, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, false, 0.5}},
    {"ogg", {SoundContainer::OggVorbis, SF_FORMAT_OGG | SF_FORMAT_VORBIS, true, 0.4}},
    {"oga", {SoundContainer::OggVorbis, SF_FORMAT_OGG | SF_FORMAT_VORBIS, true, 0.4}},
    {"opus", {SoundContainer::Opus, SF_FORMAT_OGG | SF_FORMAT_OPUS, true, 0.1}},
    {"mp3", {SoundContainer::Mp3, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, true, 0.9}},
};

} // namespace

std::optional<SoundFormat> SoundFormat::ForExtension(const QString &extension)
{
    const QString wanted = extension.toLower();
    for (const Entry &e : kFormats) {
        if (wanted == QLatin1String(e.extension))
            return e.format;
    }
    return std::nullopt;
}

std::optional<SoundFormat> SoundFormat::ForPath(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    // "take", "take." and ".hidden" have no extension to go by: the classic wave file.
    if (dot <= 0 || dot == name.size() - 1)
        return kFormats[0].format;
    return ForExtension(name.mid(dot + 1));
}

QStringList SoundFormat::Extensions()
{
    return {QStringLiteral("wav"), QStringLiteral("flac"), QStringLiteral("ogg"), QStringLiteral("opus"),
            QStringLiteral("mp3")};
}

QString SoundFormat::UnknownExtensionMessage(const QString &path)
{
    QStringList dotted;
    for (const QString &e : Extensions())
        dotted << QLatin1Char('.') + e;
    const QString last = dotted.takeLast();
    return QStringLiteral("unknown sound file kind \".%1\" (use %2 or %3)")
        .arg(QFileInfo(path).suffix(), dotted.join(QStringLiteral(", ")), last);
}

int SoundFormat::FileRate(int synthesisRate) const
{
    if (container != SoundContainer::Opus)
        return synthesisRate;
    for (const int rate : {8000, 12000, 16000, 24000, 48000}) {
        if (rate >= synthesisRate)
            return rate;
    }
    return 48000;
}

QString SoundTags::TitleFromText(const QString &text)
{
    constexpr int kWords = 8;
    constexpr qsizetype kLength = 60;
    QString title;
    int words = 0;
    qsizetype i = 0;
    while (i < text.size() && words < kWords) {
        while (i < text.size() && !text.at(i).isLetterOrNumber())
            ++i;
        const qsizetype start = i;
        while (i < text.size() && !text.at(i).isSpace())
            ++i;
        QString word = text.mid(start, i - start);
        while (!word.isEmpty() && !word.back().isLetterOrNumber())
            word.chop(1);
        if (word.isEmpty())
            continue;
        if (title.size() + 1 + word.size() > kLength)
            break;
        if (!title.isEmpty())
            title += QLatin1Char(' ');
        title += word;
        ++words;
    }
    return title;
}

double SoundFormat::CompressionLevel(double quality)
{
    return 1.0 - std::clamp(quality, 0.0, 1.0);
}

} // namespace speech
