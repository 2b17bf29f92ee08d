// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechBackend.h"

#include <QRegularExpression>
#include <QString>

#include <mutex>
#include <utility>
#include <vector>

// A voice that writes down every text it is given, and tells each of its words (runs of letters or
// digits) with kWordSamples of sound: a test sees exactly what rules and filters handed the voice.
class ListeningBackend : public speech::SpeechBackend
{
  public:
    static constexpr int kWordSamples = 800;

    QString Name() const override { return QStringLiteral("listening"); }
    std::vector<speech::BackendVoice> Voices() const override { return {Voice()}; }
    static speech::BackendVoice Voice()
    {
        speech::BackendVoice v;
        v.id = QStringLiteral("ear");
        v.name = v.id;
        v.language = QStringLiteral("en");
        v.speed = {40, 400};
        v.pitch = {40, 400};
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
        {
            std::lock_guard lock(mutex_);
            heard_ += text;
        }
        static const QRegularExpression word(QStringLiteral("\\w+"));
        qint64 at = 0;
        for (auto it = word.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            if (words)
                words(m.capturedStart(), m.capturedLength(), at, at + kWordSamples);
            const std::vector<std::int16_t> sound(kWordSamples, 500);
            if (!sink(sound.data(), sound.size()))
                return true;
            at += kWordSamples;
        }
        return true;
    }
    // What the voice was given since the last call.
    QString TakeHeard()
    {
        std::lock_guard lock(mutex_);
        return std::exchange(heard_, QString());
    }

  private:
    std::mutex mutex_;
    QString heard_;
};
