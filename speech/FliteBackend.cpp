// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/FliteBackend.h"

#include "speech/PitchAnalysis.h"
#include "speech/SonicFilter.h"
#include "speech/SpeechStrings.h"

#include <flite/flite.h>

#include <cmath>
#include <mutex>
#include <vector>

extern "C" {
cst_voice *register_cmu_us_slt(const char *voxdir);
cst_voice *register_cmu_us_awb(const char *voxdir);
cst_voice *register_cmu_us_kal16(const char *voxdir);
cst_voice *register_cmu_us_rms(const char *voxdir);
cst_voice *register_cmu_us_kal(const char *voxdir);
}

namespace speech {

namespace {

// The ranges every flite voice accepts: wide enough for the studio's sliders (50-270 wpm,
// 90-300 Hz) with room on both sides, narrow enough that the voices stay intelligible.
constexpr SettingRange kSpeedRange{40, 400};
constexpr SettingRange kPitchRange{60, 350};

// flite keeps one registered voice object per voice for the whole process, whichever backend
// object asked for it: every synthesis goes through this lock.
std::mutex &FliteMutex()
{
    static std::mutex mutex;
    return mutex;
}

struct StreamContext {
    const PcmSink *sink = nullptr;
    bool stopped = false;
    const WordSink *words = nullptr;
    const QString *text = nullptr;
    bool wordsReported = false;
};

// The words of a synthesised utterance. Each token of the Token relation is a piece of the text
// between white space, without its punctuation; its words (a number is several) carry the segment
// times. A token's sound runs from the end of the segment before its first word to the end of its
// last word's last segment.
void ReportWords(const cst_utterance *utt, int sampleRate, StreamContext &context)
{
    context.wordsReported = true;
    if (!context.words || !*context.words || !utt)
        return;
    const QString &text = *context.text;
    qsizetype cursor = 0;
    for (const cst_item *token = relation_head(utt_relation(utt, "Token")); token; token = item_next(token)) {
        const QString name = QString::fromUtf8(item_feat_string(token, "name"));
        if (name.isEmpty())
            continue;
        const qsizetype at = text.indexOf(name, cursor);
        if (at < 0)
            continue; // not as written in the text: nothing to point at
        double begin = -1, end = -1;
        for (const cst_item *word = item_daughter(token); word; word = item_next(word)) {
            const double wordEnd = ffeature_float(word, "R:SylStructure.daughtern.daughtern.R:Segment.end");
            if (wordEnd <= 0)
                continue; // a word flite found no sound for
            if (begin < 0)
                begin = ffeature_float(word, "R:SylStructure.daughter1.daughter1.R:Segment.p.end");
            end = std::max(end, wordEnd);
        }
        cursor = at + name.size();
        if (end <= 0)
            continue;
        (*context.words)(at, name.size(), std::llround(std::max(0.0, begin) * sampleRate),
                         std::llround(end * sampleRate));
    }
}

int StreamChunk(const cst_wave *w, int start, int size, int /*last*/, cst_audio_streaming_info *asi)
{
    auto *context = static_cast<StreamContext *>(asi->userdata);
    // By the first piece of sound every segment has its time: tell the words before their sound.
    if (!context->wordsReported)
        ReportWords(asi->utt, w->sample_rate, *context);
    if (context->stopped)
        return CST_AUDIO_STREAM_STOP;
    if (size <= 0)
        return CST_AUDIO_STREAM_CONT;
    const auto *samples = reinterpret_cast<const std::int16_t *>(w->samples + start);
    if (!(*context->sink)(samples, static_cast<std::size_t>(size))) {
        context->stopped = true;
        return CST_AUDIO_STREAM_STOP;
    }
    return CST_AUDIO_STREAM_CONT;
}

} // namespace

FliteBackend::FliteBackend()
{
    std::lock_guard lock(FliteMutex());
    flite_init();
    struct Entry {
        const char *id;
        cst_voice *(*reg)(const char *);
        Gender gender;
        int rate;
        double naturalWpm;
        bool honoursPitch;
    };
    // Natural rates measured on each voice reading ordinary prose with default settings.
    const Entry entries[] = {
        {"slt", register_cmu_us_slt, Gender::Female, 16000, 167, true},
        {"awb", register_cmu_us_awb, Gender::Male, 16000, 165, true},
        {"kal16", register_cmu_us_kal16, Gender::Male, 16000, 161, true},
        {"rms", register_cmu_us_rms, Gender::Male, 16000, 148, false},
        {"kal", register_cmu_us_kal, Gender::Male, 8000, 159, true},
    };
    for (const Entry &e : entries) {
        cst_voice *handle = e.reg(nullptr);
        if (!handle)
            continue;
        Voice v;
        v.info.id = QString::fromLatin1(e.id);
        v.info.name = QStringLiteral("flite %1").arg(v.info.id);
        v.info.language =
            v.info.id == QLatin1String("awb") ? QStringLiteral("en-gb-scotland") : QStringLiteral("en-us");
        v.info.gender = e.gender;
        v.info.sampleRate = e.rate;
        v.info.speed = kSpeedRange;
        v.info.pitch = kPitchRange;
        v.naturalWpm = e.naturalWpm;
        v.honoursPitch = e.honoursPitch;
        v.targetPitchHz = flite_get_param_float(handle->features, "int_f0_target_mean", 100.0f);
        v.handle = handle;
        voices_.push_back(std::move(v));
    }
}

FliteBackend::~FliteBackend() = default; // flite keeps its registered voices for the process's life

QString FliteBackend::Name() const
{
    return SpeechStrings::FliteBackend;
}

std::vector<BackendVoice> FliteBackend::Voices() const
{
    std::vector<BackendVoice> out;
    for (const Voice &v : voices_)
        out.push_back(v.info);
    return out;
}

FliteBackend::Voice *FliteBackend::Find(const QString &id)
{
    for (Voice &v : voices_) {
        if (v.info.id == id)
            return &v;
    }
    return nullptr;
}

bool FliteBackend::Run(Voice &voice, const QString &text, const PcmSink &sink, const WordSink *words)
{
    const QByteArray utf8 = text.toUtf8();
    // Synthesis streams: flite hands over each piece of waveform as its signal generator makes
    // it, so the first sound does not wait for the whole sentence.
    cst_audio_streaming_info *asi = new_audio_streaming_info();
    StreamContext context;
    context.sink = &sink;
    context.words = words;
    context.text = &text;
    asi->asc = StreamChunk;
    asi->userdata = &context;
    feat_set(voice.handle->features, "streaming_info", audio_streaming_info_val(asi));
    cst_utterance *utt = flite_synth_text(utf8.constData(), voice.handle);
    feat_remove(voice.handle->features, "streaming_info"); // frees asi
    if (!context.wordsReported && utt && utt_wave(utt))
        ReportWords(utt, utt_wave(utt)->sample_rate, context); // nothing was streamed
    if (utt)
        delete_utterance(utt);
    return !context.stopped;
}

// Called with the flite lock held.
double FliteBackend::MeasuredPitchHz(Voice &voice)
{
    if (!voice.naturalPitchHz) {
        // Measure the voice's own base pitch once, from a phrase with plenty of voiced sound.
        flite_feat_remove(voice.handle->features, "duration_stretch");
        std::vector<std::int16_t> probe;
        const PcmSink collect = [&probe](const std::int16_t *s, std::size_t n) {
            probe.insert(probe.end(), s, s + n);
            return true;
        };
        Run(voice, QStringLiteral("Where were you a year ago, when we were away all morning?"), collect, nullptr);
        voice.naturalPitchHz =
            PitchAnalysis::MedianPitchHz(probe.data(), probe.size(), voice.info.sampleRate).value_or(110.0);
    }
    return *voice.naturalPitchHz;
}

Prosody FliteBackend::NaturalProsody(const QString &voiceId)
{
    std::lock_guard lock(FliteMutex());
    Voice *voice = Find(voiceId);
    if (!voice)
        return {};
    const double pitch = voice->honoursPitch ? voice->targetPitchHz : MeasuredPitchHz(*voice);
    return {static_cast<int>(std::lround(voice->naturalWpm)), static_cast<int>(std::lround(pitch))};
}

bool FliteBackend::Synthesize(const QString &voiceId, const QString &text, const Prosody &prosody,
                              const PcmSink &sink, QString *error)
{
    return SynthesizeWithWords(voiceId, text, prosody, sink, WordSink(), error);
}

bool FliteBackend::SynthesizeWithWords(const QString &voiceId, const QString &text, const Prosody &prosody,
                                       const PcmSink &sink, const WordSink &words, QString *error)
{
    std::lock_guard lock(FliteMutex());
    Voice *voice = Find(voiceId);
    if (!voice) {
        if (error)
            *error = QStringLiteral("flite has no voice named \"%1\"").arg(voiceId);
        return false;
    }
    cst_features *features = voice->handle->features;

    double pitchFactor = 1.0;
    if (voice->honoursPitch)
        flite_feat_set_float(features, "int_f0_target_mean", static_cast<float>(prosody.pitchHz));
    else
        pitchFactor = prosody.pitchHz / MeasuredPitchHz(*voice);
    flite_feat_set_float(features, "duration_stretch",
                         static_cast<float>(voice->naturalWpm / std::max(1, prosody.wordsPerMinute)));

    SonicFilter filter(voice->info.sampleRate, 1.0, pitchFactor, sink);
    if (filter.Identity()) {
        Run(*voice, text, sink, &words); // a stop asked for by the sink is a normal end
        return true;
    }
    // Shifting pitch keeps the length but delays the sound a little: the words move with it.
    const WordSink shifted = [&](qsizetype start, qsizetype length, qint64 begin, qint64 end) {
        if (words)
            words(start, length, filter.OutputPosition(begin), filter.OutputPosition(end));
    };
    const PcmSink throughFilter = [&filter](const std::int16_t *s, std::size_t n) { return filter.Write(s, n); };
    if (Run(*voice, text, throughFilter, &shifted))
        filter.Flush();
    return true;
}

} // namespace speech
