// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechBackend.h"

#include <map>
#include <optional>

struct cst_voice_struct;

namespace speech {

// The flite synthesiser with its US English voices slt, awb, kal16, rms and kal.
// Speed is a duration stretch against each voice's measured natural rate; pitch is the target mean
// f0 in Hz, except on rms, which ignores it: there the output is pitch-shifted with libsonic by the
// ratio to the voice's own measured base pitch.
class FliteBackend : public SpeechBackend {
public:
    FliteBackend();
    ~FliteBackend() override;

    QString Name() const override;
    std::vector<BackendVoice> Voices() const override;
    bool Synthesize(const QString &voiceId, const QString &text, const Prosody &prosody, const PcmSink &sink,
                    QString *error) override;
    bool SynthesizeWithWords(const QString &voiceId, const QString &text, const Prosody &prosody,
                             const PcmSink &sink, const WordSink &words, QString *error) override;
    Prosody NaturalProsody(const QString &voiceId) override;

private:
    struct Voice {
        BackendVoice info;
        double naturalWpm = 160;
        bool honoursPitch = true;
        cst_voice_struct *handle = nullptr;
        std::optional<double> naturalPitchHz; // measured on first use where pitch is shifted by sonic
        double targetPitchHz = 100;           // the voice's own f0 target, where it honours one
    };
    Voice *Find(const QString &id);
    bool Run(Voice &voice, const QString &text, const PcmSink &sink, const WordSink *words);
    double MeasuredPitchHz(Voice &voice);

    std::vector<Voice> voices_;
};

} // namespace speech
