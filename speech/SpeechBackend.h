// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/VoiceMode.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace speech {

// Receives synthesised mono signed 16-bit samples at the voice's rate. Returning false asks the
// backend to stop at once; that is a normal end, not a failure.
using PcmSink = std::function<bool(const std::int16_t *samples, std::size_t count)>;

// Receives each word of a text being synthesised: its range in that text (UTF-16 offset and
// length) and the samples of the call's output its sound spans (counted from the call's first
// sample, one past its last).
using WordSink = std::function<void(qsizetype start, qsizetype length, qint64 begin, qint64 end)>;

struct Prosody {
    int wordsPerMinute = 150;
    int pitchHz = 170;
};

// What the engine needs from a synthesiser. Implementations serialise their own calls: a backend
// library may keep global state, and several engines may exist at once.
class SpeechBackend {
public:
    virtual ~SpeechBackend();

    virtual QString Name() const = 0;
    virtual std::vector<BackendVoice> Voices() const = 0;

    // Synthesises a short piece of text (a sentence) with the voice `voiceId`, handing the samples to
    // `sink` as they are produced. Returns false and fills `error` when synthesis failed.
    virtual bool Synthesize(const QString &voiceId, const QString &text, const Prosody &prosody,
                            const PcmSink &sink, QString *error) = 0;

    // As Synthesize, telling `words` where each word's sound lies, as the synthesiser itself knows
    // it. Words are reported in text order, each soon after its sound (flite: before it) and at
    // the latest when the call returns. A backend that knows nothing of words reports none.
    virtual bool SynthesizeWithWords(const QString &voiceId, const QString &text, const Prosody &prosody,
                                     const PcmSink &sink, const WordSink &words, QString *error);

    // True when the synthesiser hands out sound clause by clause by itself, so that several
    // sentences can go in one call without delaying the first sound. The pauses between sentences
    // then come out as the synthesiser means them.
    virtual bool StreamsClauses() const { return false; }

    // The speed and pitch the voice speaks with when nobody asks for others (the voice's own; it
    // may be measured on the first call). A backend that cannot tell gives Prosody's defaults.
    virtual Prosody NaturalProsody(const QString &voiceId);
};

} // namespace speech
