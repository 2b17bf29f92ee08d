// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpeechBackend.h"

namespace speech {

SpeechBackend::~SpeechBackend() = default;

bool SpeechBackend::SynthesizeWithWords(const QString &voiceId, const QString &text, const Prosody &prosody,
                                        const PcmSink &sink, const WordSink &, QString *error)
{
    return Synthesize(voiceId, text, prosody, sink, error);
}

Prosody SpeechBackend::NaturalProsody(const QString &)
{
    return {};
}

} // namespace speech
