// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechBackend.h"

#include <array>
#include <map>
#include <optional>

namespace speech {

// The espeak-ng synthesiser: every installed language voice, plus variants ("en+f3") on request.
// espeak-ng clamps rates below 80 wpm without saying so, and its pitch control is a 0-100 scale
// whose meaning in Hz depends on the voice; so slow rates are reached by stretching 80 wpm speech
// with libsonic, and pitch in Hz is mapped through a per-voice calibration measured on first use,
// with libsonic shifting whatever lies beyond the voice's own reach.
class EspeakBackend : public SpeechBackend {
public:
    EspeakBackend();

    // False when the espeak-ng data could not be loaded; the backend then offers no voices.
    bool Available() const { return sampleRate_ > 0; }

    QString Name() const override;
    std::vector<BackendVoice> Voices() const override;
    bool Synthesize(const QString &voiceId, const QString &text, const Prosody &prosody, const PcmSink &sink,
                    QString *error) override;
    bool SynthesizeWithWords(const QString &voiceId, const QString &text, const Prosody &prosody,
                             const PcmSink &sink, const WordSink &words, QString *error) override;
    // espeak-ng's own rate (175 wpm) and the voice's pitch at its middle setting, as measured.
    Prosody NaturalProsody(const QString &voiceId) override;

    // A voice description for a variant of a language voice ("en+f3"), for use as a studio voice
    // when flite is missing.
    bool StreamsClauses() const override { return true; }

    std::optional<BackendVoice> Variant(const QString &language, const QString &variant, Gender gender) const;

    static constexpr int kNativeMinimumWpm = 80;
    static constexpr int kNativeMaximumWpm = 450;

private:
    // Base pitch in Hz measured at espeak pitch settings 0, 50 and 99.
    using Calibration = std::array<double, 3>;
    const Calibration &CalibrationFor(const QString &voiceId);
    bool Run(const QString &voiceId, const QString &text, int rate, int pitch, const PcmSink &sink,
             const WordSink *words, QString *error);
    // The pitch in Hz at the middle setting (espeak-ng's default): one measurement, not three.
    double MiddlePitchHz(const QString &voiceId);

    // espeak-ng leaves out the pause after the last sentence of a call; it is put back by hand.
    static double SentencePauseSeconds(int wordsPerMinute);

    int sampleRate_ = 0;
    std::vector<BackendVoice> voices_;
    std::map<QString, Calibration> calibrations_;
    std::map<QString, double> middlePitches_;
};

} // namespace speech
