// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/FliteBackend.h"

#include "speech/PitchAnalysis.h"
#include "speech/SonicFilter.h"
#include "speech/SpeechStrings.h"

#include <flite/flite.h>

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
};

int StreamChunk(const cst_wave *w, int start, int size, int /*last*/, cst_audio_streaming_info *asi)
{
    auto *context = static_cast<StreamContext *>(asi->userdata);
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
        v.info.language = v.info.id == QLatin1String("awb") ? QStringLiteral("en-gb-scotland") : QStringLiteral("en-us");
        v.info.gender = e.gender;
        v.info.sampleRate = e.rate;
        v.info.speed = kSpeedRange;
        v.info.pitch = kPitchRange;
        v.naturalWpm = e.naturalWpm;
        v.honoursPitch = e.honoursPitch;
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

bool FliteBackend::Run(Voice &voice, const QByteArray &utf8, const PcmSink &sink)
{
    // Synthesis streams: flite hands over each piece of waveform as its signal generator makes
    // it, so the first sound does not wait for the whole sentence.
    cst_audio_streaming_info *asi = new_audio_streaming_info();
    StreamContext context;
    context.sink = &sink;
    asi->asc = StreamChunk;
    asi->userdata = &context;
    feat_set(voice.handle->features, "streaming_info", audio_streaming_info_val(asi));
    cst_wave *wave = flite_text_to_wave(utf8.constData(), voice.handle);
    feat_remove(voice.handle->features, "streaming_info"); // frees asi
    delete_wave(wave);
    return !context.stopped;
}

bool FliteBackend::Synthesize(const QString &voiceId, const QString &text, const Prosody &prosody,
                              const PcmSink &sink, QString *error)
{
    std::lock_guard lock(FliteMutex());
    Voice *voice = Find(voiceId);
    if (!voice) {
        if (error)
            *error = QStringLiteral("flite has no voice named \"%1\"").arg(voiceId);
        return false;
    }
    const QByteArray utf8 = text.toUtf8();
    cst_features *features = voice->handle->features;

    double pitchFactor = 1.0;
    if (voice->honoursPitch) {
        flite_feat_set_float(features, "int_f0_target_mean", static_cast<float>(prosody.pitchHz));
    } else {
        if (!voice->naturalPitchHz) {
            // Measure the voice's own base pitch once, from a phrase with plenty of voiced sound.
            flite_feat_remove(features, "duration_stretch");
            std::vector<std::int16_t> probe;
            const PcmSink collect = [&probe](const std::int16_t *s, std::size_t n) {
                probe.insert(probe.end(), s, s + n);
                return true;
            };
            Run(*voice, QByteArrayLiteral("Where were you a year ago, when we were away all morning?"), collect);
            voice->naturalPitchHz =
                PitchAnalysis::MedianPitchHz(probe.data(), probe.size(), voice->info.sampleRate).value_or(110.0);
        }
        pitchFactor = prosody.pitchHz / *voice->naturalPitchHz;
    }
    flite_feat_set_float(features, "duration_stretch",
                         static_cast<float>(voice->naturalWpm / std::max(1, prosody.wordsPerMinute)));

    SonicFilter filter(voice->info.sampleRate, 1.0, pitchFactor, sink);
    if (filter.Identity()) {
        Run(*voice, utf8, sink); // a stop asked for by the sink is a normal end
        return true;
    }
    const PcmSink throughFilter = [&filter](const std::int16_t *s, std::size_t n) { return filter.Write(s, n); };
    if (Run(*voice, utf8, throughFilter))
        filter.Flush();
    return true;
}

} // namespace speech
