// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/EspeakBackend.h"

#include "speech/PitchAnalysis.h"
#include "speech/SonicFilter.h"
#include "speech/SpeechStrings.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

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

// Below this a sample counts as silence: espeak-ng's pauses are exact zeros, its quietest
// speech sounds are far above it.
constexpr int kSilenceLevel = 64;

struct CallbackContext {
    const PcmSink *sink = nullptr;
    bool stopped = false;

    // Words, when asked for: espeak-ng reports where each word starts (a text position counted in
    // characters from 1, and a sample), counting a pause before it as part of it. A word is taken
    // to begin where its sound does, after that pause, and to end where its sound does, before the
    // silence that leads to the next word or the end of the clause.
    const WordSink *words = nullptr;
    const std::vector<qsizetype> *utf16At = nullptr; // character index -> UTF-16 offset, one past the end too
    qint64 delivered = 0;                            // samples handed over before the current buffer
    qint64 scanned = 0;                              // samples looked at for sound so far
    qint64 lastSound = -1;                           // the last sample that was not silence
    bool wordOpen = false;
    qsizetype wordStart = 0, wordLength = 0;
    qint64 wordBegin = 0;
    qint64 wordSound = -1; // the word's first sample that is not silence

    qsizetype Utf16(int characters) const
    {
        const qsizetype last = static_cast<qsizetype>(utf16At->size()) - 1;
        return (*utf16At)[static_cast<std::size_t>(std::clamp<qsizetype>(characters, 0, last))];
    }
    void Scan(const short *wav, qint64 upTo)
    {
        if (!wav) {
            scanned = std::max(scanned, upTo);
            return;
        }
        for (; scanned < upTo; ++scanned) {
            if (std::abs(wav[scanned - delivered]) > kSilenceLevel) {
                lastSound = scanned;
                if (wordOpen && wordSound < 0)
                    wordSound = scanned;
            }
        }
    }
    void CloseWord(qint64 at)
    {
        if (!wordOpen)
            return;
        wordOpen = false;
        const qint64 begin = wordSound >= 0 ? wordSound : wordBegin;
        const qint64 end = lastSound >= begin ? std::min(at, lastSound + 1) : at;
        (*words)(wordStart, wordLength, begin, std::max(end, begin));
    }
};

int SynthCallback(short *wav, int count, espeak_EVENT *events)
{
    auto *context = events ? static_cast<CallbackContext *>(events->user_data) : nullptr;
    if (!context)
        return 0;
    if (context->stopped)
        return 1;
    const qint64 bufferEnd = context->delivered + std::max(count, 0);
    if (context->words) {
        for (const espeak_EVENT *e = events; e->type != espeakEVENT_LIST_TERMINATED; ++e) {
            const qint64 at = std::clamp<qint64>(e->sample, context->scanned, bufferEnd);
            context->Scan(wav, at);
            if (e->type == espeakEVENT_WORD || e->type == espeakEVENT_END ||
                e->type == espeakEVENT_SENTENCE || e->type == espeakEVENT_MSG_TERMINATED)
                context->CloseWord(at);
            if (e->type == espeakEVENT_WORD && e->length > 0) {
                const int first = e->text_position - 1;
                context->wordOpen = true;
                context->wordStart = context->Utf16(first);
                context->wordLength = context->Utf16(first + e->length) - context->wordStart;
                context->wordBegin = at;
                context->wordSound = -1;
            }
        }
        context->Scan(wav, bufferEnd);
    }
    context->delivered = bufferEnd;
    if (!wav || count <= 0)
        return 0;
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
        voice.gender =
            v->gender == 2 ? Gender::Female : (v->gender == 1 ? Gender::Male : Gender::Unspecified);
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

bool EspeakBackend::Run(const QString &voiceId, const QString &text, int rate, int pitch, const PcmSink &sink,
                        const WordSink *words, QString *error)
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
    const QByteArray utf8 = text.toUtf8();
    std::vector<qsizetype> utf16At;
    CallbackContext context;
    context.sink = &sink;
    if (words && *words) {
        utf16At.reserve(static_cast<std::size_t>(text.size()) + 1);
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!text.at(i).isLowSurrogate())
                utf16At.push_back(i);
        }
        utf16At.push_back(text.size());
        context.words = words;
        context.utf16At = &utf16At;
    }
    const espeak_ERROR result = espeak_Synth(utf8.constData(), static_cast<size_t>(utf8.size()) + 1, 0,
                                             POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &context);
    if (result != EE_OK && !context.stopped) {
        if (error)
            *error = QStringLiteral("espeak-ng failed to synthesise (error %1)").arg(int(result));
        return false;
    }
    if (context.words && !context.stopped)
        context.CloseWord(context.delivered);
    return true;
}

namespace
{

constexpr int kCalibrationSettings[3] = {0, 50, 99};
// The shape measured on espeak-ng's English voice, used where a measurement finds no voicing.
constexpr double kCalibrationFallback[3] = {71.0, 101.0, 170.0};

} // namespace

double EspeakBackend::MiddlePitchHz(const QString &voiceId)
{
    if (const auto c = calibrations_.find(voiceId); c != calibrations_.end())
        return c->second[1];
    if (const auto m = middlePitches_.find(voiceId); m != middlePitches_.end())
        return m->second;
    std::vector<std::int16_t> samples;
    const PcmSink collect = [&samples](const std::int16_t *s, std::size_t n) {
        samples.insert(samples.end(), s, s + n);
        return true;
    };
    QString ignored;
    Run(voiceId, QStringLiteral("Where were you a year ago, when we were all away?"), 175, kCalibrationSettings[1],
        collect, nullptr, &ignored);
    const double hz = PitchAnalysis::MedianPitchHz(samples.data(), samples.size(), sampleRate_)
                          .value_or(kCalibrationFallback[1]);
    return middlePitches_.emplace(voiceId, hz).first->second;
}

const EspeakBackend::Calibration &EspeakBackend::CalibrationFor(const QString &voiceId)
{
    auto found = calibrations_.find(voiceId);
    if (found != calibrations_.end())
        return found->second;
    static const QString phrase = QStringLiteral("Where were you a year ago, when we were all away?");
    Calibration c{};
    for (int i = 0; i < 3; ++i) {
        std::vector<std::int16_t> samples;
        const PcmSink collect = [&samples](const std::int16_t *s, std::size_t n) {
            samples.insert(samples.end(), s, s + n);
            return true;
        };
        QString ignored;
        Run(voiceId, phrase, 175, kCalibrationSettings[i], collect, nullptr, &ignored);
        c[i] = PitchAnalysis::MedianPitchHz(samples.data(), samples.size(), sampleRate_)
                   .value_or(kCalibrationFallback[i]);
    }
    // Keep the mapping increasing even when a measurement wobbles.
    c[1] = std::max(c[1], c[0] + 1);
    c[2] = std::max(c[2], c[1] + 1);
    return calibrations_.emplace(voiceId, c).first->second;
}

Prosody EspeakBackend::NaturalProsody(const QString &voiceId)
{
    // espeakRATE's and espeakPITCH's defaults.
    constexpr int kDefaultWpm = 175;
    std::lock_guard lock(EspeakMutex());
    if (!Available())
        return {};
    return {kDefaultWpm, static_cast<int>(std::lround(MiddlePitchHz(voiceId)))};
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
    return SynthesizeWithWords(voiceId, text, prosody, sink, WordSink(), error);
}

bool EspeakBackend::SynthesizeWithWords(const QString &voiceId, const QString &text, const Prosody &prosody,
                                        const PcmSink &sink, const WordSink &words, QString *error)
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
    // Through sonic the words lie where the filter puts their sound.
    const WordSink stretched = [&](qsizetype start, qsizetype length, qint64 begin, qint64 end) {
        words(start, length, filter.OutputPosition(begin), filter.OutputPosition(end));
    };
    if (!Run(voiceId, text, rate, setting, watch, words ? &stretched : nullptr, error))
        return false;
    if (stopped)
        return true;
    // A piece that ends a sentence gets the pause espeak-ng would have made before the next one.
    const QString trimmed = text.trimmed();
    const QChar last = trimmed.isEmpty() ? QChar() : trimmed.back();
    double pause = 0;
    if (last == QLatin1Char('.') || last == QLatin1Char('!') || last == QLatin1Char('?') ||
        text.endsWith(QLatin1Char('\n')))
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
