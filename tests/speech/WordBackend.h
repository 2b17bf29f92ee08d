// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechBackend.h"
#include "speech/VoiceCatalogue.h"

#include <QRegularExpression>

#include <memory>
#include <vector>

// A range of a text: UTF-16 offset and length.
struct Range {
    qsizetype start = 0;
    qsizetype length = 0;
    bool operator==(const Range &o) const { return start == o.start && length == o.length; }
};

// The words of a text as a reader counts them: runs of letters, digits and apostrophes.
inline std::vector<Range> WordsOf(const QString &text)
{
    std::vector<Range> out;
    static const QRegularExpression word(QStringLiteral("[\\w']+"));
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out.push_back({m.capturedStart(), m.capturedLength()});
    }
    return out;
}

// A backend whose every word is kWordSamples of one value (the word's first letter times 100)
// followed by kGapSamples of silence, reported before its sound: a test knows exactly what plays.
class WordBackend : public speech::SpeechBackend
{
  public:
    static constexpr int kWordSamples = 8000; // half a second at 16 kHz
    static constexpr int kGapSamples = 1600;

    QString Name() const override { return QStringLiteral("words"); }
    std::vector<speech::BackendVoice> Voices() const override { return {Voice()}; }
    static speech::BackendVoice Voice()
    {
        speech::BackendVoice v;
        v.id = QStringLiteral("words");
        v.name = v.id;
        v.language = QStringLiteral("en");
        v.speed = {40, 400};
        v.pitch = {60, 350};
        return v;
    }
    bool Synthesize(const QString &id, const QString &text, const speech::Prosody &p,
                    const speech::PcmSink &sink, QString *error) override
    {
        return SynthesizeWithWords(id, text, p, sink, speech::WordSink(), error);
    }
    bool SynthesizeWithWords(const QString &, const QString &text, const speech::Prosody &,
                             const speech::PcmSink &sink, const speech::WordSink &words, QString *) override
    {
        qint64 at = 0;
        for (const Range &w : WordsOf(text)) {
            if (words)
                words(w.start, w.length, at, at + kWordSamples);
            const std::vector<std::int16_t> sound(kWordSamples, Value(text.at(w.start)));
            const std::vector<std::int16_t> gap(kGapSamples, 0);
            if (!sink(sound.data(), sound.size()) || !sink(gap.data(), gap.size()))
                return true;
            at += kWordSamples + kGapSamples;
        }
        return true;
    }
    static std::int16_t Value(QChar first)
    {
        return static_cast<std::int16_t>(first.toLower().unicode() * 100);
    }

    // A catalogue of this one voice under `speaker`.
    static std::shared_ptr<const speech::VoiceCatalogue>
    Catalogue(const QString &speaker = QStringLiteral("Words"))
    {
        speech::VoiceMode mode{speaker, Voice(), std::make_shared<WordBackend>()};
        return std::make_shared<speech::VoiceCatalogue>(std::vector<speech::VoiceMode>{mode});
    }
};
