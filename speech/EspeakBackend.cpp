// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/EspeakBackend.h"

#include "speech/PitchAnalysis.h"
#include "speech/SonicFilter.h"
#include "speech/SpeechStrings.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace speech {

namespace {

constexpr SettingRange kSpeedRange{40, EspeakBackend::kNativeMaximumWpm};
constexpr SettingRange kPitchRange{60, 350};

// espeak-ng is one global synthesiser per process: every use goes through this lock.
std::mutex &EspeakMutex()
{
    static std::mutex mutex;
    return mutex;
}

struct CallbackContext {
    const PcmSink *sink = nullptr;
    bool stopped = false;
};

int SynthCallback(short *wav, int count, espeak_EVENT *events)
{
    auto *context = events ? static_cast<CallbackContext *>(events->user_data) : nullptr;
    if (!context || !wav || count <= 0)
        return 0;
    if (context->stopped)
        return 1;
    if (!(*context->sink)(reinterpret_cast<const std::int16_t *>(wav), static_cast<std::size_t>(count))) {
        context->stopped = true;
        return 1; // espeak-ng ends the utterance early; that is how a stop is meant to look
    }
    return 0;
}

// The voice espeak-ng has loaded: loading one reads its files again, so it is done only on a change.
QString &LoadedVoice()
{
    static QString voice;
    return voice;
}

int InitialiseOnce()
{
    static int rate = [] {
        const int r = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 100, nullptr, 0);
        if (r > 0)
            espeak_SetSynthCallback(SynthCallback);
        return r;
    }();
    return rate;
}

QString FirstLanguage(const char *languages)
{
    // A list of (priority byte, zero-terminated name) pairs, ended by a zero priority.
    if (!languages || !languages[0])
        return {};
    return QString::fromUtf8(languages + 1);
}

} // namespace

EspeakBackend::EspeakBackend()
{
    std::lock_guard lock(EspeakMutex());
    sampleRate_ = InitialiseOnce();
    if (sampleRate_ <= 0)
        return;
    const espeak_VOICE **list = espeak_ListVoices(nullptr);
    for (int i = 0; list && list[i]; ++i) {
        const espeak_VOICE *v = list[i];
        if (!v->identifier || !v->name)
            continue;
        const QString id = QString::fromUtf8(v->identifier);
        // MBROLA voices need separately installed diphone databases; variants are not languages.
        if (id.startsWith(QLatin1String("mb/")) || id.startsWith(QLatin1String("variant")))
            continue;
        BackendVoice voice;
        voice.id = id;
        voice.name = QString::fromUtf8(v->name);
        voice.language = FirstLanguage(v->languages);
        voice.gender = v->gender == 2 ? Gender::Female : (v->gender == 1 ? Gender::Male : Gender::Unspecified);
        voice.sampleRate = sampleRate_;
        voice.speed = kSpeedRange;
        voice.pitch = kPitchRange;
        voices_.push_back(voice);
    }
}

QString EspeakBackend::Name() const
{
    return SpeechStrings::EspeakBackend;
}

std::vector<BackendVoice> EspeakBackend::Voices() const
{
    return voices_;
}

std::optional<BackendVoice> EspeakBackend::Variant(const QString &language, const QString &variant,
                                                   Gender gender) const
{
    for (const BackendVoice &v : voices_) {
        if (v.language != language)
            continue;
        BackendVoice out = v;
        out.id = v.id + QLatin1Char('+') + variant;
        out.name = v.name + QLatin1Char('+') + variant;
        out.gender = gender;
        return out;
    }
    return std::nullopt;
}

bool EspeakBackend::Run(const QString &voiceId, const QByteArray &utf8, int rate, int pitch, const PcmSink &sink,
                        QString *error)
{
    if (LoadedVoice() != voiceId) {
        const QByteArray name = voiceId.toUtf8();
        if (espeak_SetVoiceByName(name.constData()) != EE_OK) {
            LoadedVoice().clear();
            if (error)
                *error = QStringLiteral("espeak-ng cannot load the voice \"%1\"").arg(voiceId);
            return false;
        }
        LoadedVoice() = voiceId;
    }
    espeak_SetParameter(espeakRATE, rate, 0);
    espeak_SetParameter(espeakPITCH, pitch, 0);
    CallbackContext context;
    context.sink = &sink;
    const espeak_ERROR result = espeak_Synth(utf8.constData(), static_cast<size_t>(utf8.size()) + 1, 0,
                                             POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &context);
    if (result != EE_OK && !context.stopped) {
        if (error)
            *error = QStringLiteral("espeak-ng failed to synthesise (error %1)").arg(int(result));
        return false;
    }
    return true;
}

const EspeakBackend::Calibration &EspeakBackend::CalibrationFor(const QString &voiceId)
{
    auto found = calibrations_.find(voiceId);
    if (found != calibrations_.end())
        return found->second;
    static const QByteArray phrase = QByteArrayLiteral("Where were you a year ago, when we were all away?");
    const int settings[3] = {0, 50, 99};
    // The shape measured on espeak-ng's English voice, used where a measurement finds no voicing.
    const double fallback[3] = {71.0, 101.0, 170.0};
    Calibration c{};
    for (int i = 0; i < 3; ++i) {
        std::vector<std::int16_t> samples;
        const PcmSink collect = [&samples](const std::int16_t *s, std::size_t n) {
            samples.insert(samples.end(), s, s + n);
            return true;
        };
        QString ignored;
        Run(voiceId, phrase, 175, settings[i], collect, &ignored);
        c[i] = PitchAnalysis::MedianPitchHz(samples.data(), samples.size(), sampleRate_).value_or(fallback[i]);
    }
    // Keep the mapping increasing even when a measurement wobbles.
    c[1] = std::max(c[1], c[0] + 1);
    c[2] = std::max(c[2], c[1] + 1);
    return calibrations_.emplace(voiceId, c).first->second;
}

double EspeakBackend::SentencePauseSeconds(int wordsPerMinute)
{
    // Measured on espeak-ng 1.51 (joined sentences against the same sentences spoken one by one):
    // 0.86 s at 80 wpm, 0.29 s at 175, 0.14 s at 250, 0.02 s at 400; close to linear in 1/rate.
    const double pause = 83.9 / std::max(1, wordsPerMinute) - 0.186;
    return std::max(0.0, pause);
}

bool EspeakBackend::Synthesize(const QString &voiceId, const QString &text, const Prosody &prosody,
                               const PcmSink &sink, QString *error)
{
    std::lock_guard lock(EspeakMutex());
    if (!Available()) {
        if (error)
            *error = QStringLiteral("espeak-ng is not available");
        return false;
    }
    const Calibration &c = CalibrationFor(voiceId);
    const double target = prosody.pitchHz;
    int setting;
    double pitchFactor = 1.0;
    if (target <= c[0]) {
        setting = 0;
        pitchFactor = target / c[0];
    } else if (target >= c[2]) {
        setting = 99;
        pitchFactor = target / c[2];
    } else if (target <= c[1]) {
        setting = static_cast<int>(std::lround(50.0 * (target - c[0]) / (c[1] - c[0])));
    } else {
        setting = 50 + static_cast<int>(std::lround(49.0 * (target - c[1]) / (c[2] - c[1])));
    }
    const int rate = std::clamp(prosody.wordsPerMinute, kNativeMinimumWpm, kNativeMaximumWpm);
    const double speedFactor = double(prosody.wordsPerMinute) / rate;

    SonicFilter filter(sampleRate_, speedFactor, pitchFactor, sink);
    bool stopped = false;
    const PcmSink watch = [&](const std::int16_t *s, std::size_t n) {
        if (!filter.Write(s, n))
            stopped = true;
        return !stopped;
    };
    if (!Run(voiceId, text.toUtf8(), rate, setting, watch, error))
        return false;
    if (stopped)
        return true;
    // A piece that ends a sentence gets the pause espeak-ng would have made before the next one.
    const QString trimmed = text.trimmed();
    const QChar last = trimmed.isEmpty() ? QChar() : trimmed.back();
    double pause = 0;
    if (last == QLatin1Char('.') || last == QLatin1Char('!') || last == QLatin1Char('?') || text.endsWith(QLatin1Char('\n')))
        pause = SentencePauseSeconds(rate);
    else if (last == QLatin1Char(',') || last == QLatin1Char(';') || last == QLatin1Char(':'))
        pause = SentencePauseSeconds(rate) / 2;
    if (pause > 0) {
        const std::vector<std::int16_t> silence(static_cast<std::size_t>(pause * sampleRate_), 0);
        if (!filter.Write(silence.data(), silence.size()))
            return true;
    }
    filter.Flush();
    return true;
}

} // namespace speech
