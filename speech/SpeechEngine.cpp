// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpeechEngine.h"

#include "platform/services/EventLog.h"
#include "speech/Lexicon.h"
#include "speech/PcmBuffer.h"
#include "speech/PcmSource.h"
#include "speech/QtAudioDevice.h"
#include "speech/ReadingFilters.h"
#include "speech/SentenceSplitter.h"
#include "speech/SpeechBackend.h"
#include "speech/SpeechPositions.h"
#include "speech/SpeechStatus.h"
#include "speech/SpokenText.h"
#include "speech/VoiceCatalogue.h"
#include "speech/WaveWriter.h"

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace speech {

namespace {

// How far synthesis may run ahead of playback.
constexpr int kBufferSeconds = 2;
// The most text handed at once to a synthesiser that streams clause by clause.
constexpr qsizetype kClauseRunLength = 2000;
// The longest first piece for a synthesiser that needs a whole sentence before its first sound.
constexpr qsizetype kFirstPieceLength = 60;
// How long an output may sit idle with speech waiting before it is restarted.
constexpr qint64 kRestallMilliseconds = 100;
// How often the engine looks after the output while something plays.
constexpr int kPollMilliseconds = 10;
// An output that has pulled nothing for this long after its input ended has played everything,
// whatever state it reports.
constexpr qint64 kDrainGraceMilliseconds = QtAudioDevice::kBufferMilliseconds + 1000;

using Sentences = SpeechPositions::Sentences;

// Past every sample: what a recording has written is as far as it has got.
constexpr qint64 kEverything = std::numeric_limits<qint64>::max();

// Turns marks of the text a voice reads into marks of the text as given. A word that rules or
// filters put in stands for nothing there and is left out; several spoken words for one replaced
// word ("5 kilograms" for "5kg") are told once.
class MarkMapper {
public:
    explicit MarkMapper(std::shared_ptr<const SpokenText> map = nullptr) : map_(std::move(map)) {}
    std::optional<SpeechMark> Map(SpeechMark m)
    {
        if (!map_)
            return m;
        const SpokenText::Range r = map_->ToOriginal(m.start, m.length);
        qsizetype &reached = m.kind == SpeechMark::Kind::Word ? wordsReached_ : sentencesReached_;
        if (r.length <= 0 || r.start < reached)
            return std::nullopt;
        reached = r.start + r.length;
        m.start = r.start;
        m.length = r.length;
        return m;
    }

private:
    std::shared_ptr<const SpokenText> map_;
    qsizetype wordsReached_ = 0;
    qsizetype sentencesReached_ = 0;
};

struct Job {
    QString text;         // what the voice reads: the given text after rules and filters
    std::shared_ptr<const SpokenText> map; // back to the given text; none when they changed nothing
    qsizetype offset = 0; // where speech starts in the text
    VoiceMode mode;
    Prosody prosody;
    std::shared_ptr<const Sentences> pieces; // the sentences as cut for synthesis
    std::shared_ptr<const Sentences> sentences;
    std::shared_ptr<SpeechPositions> positions;
    std::shared_ptr<PcmBuffer> buffer;   // speaking aloud
    std::unique_ptr<WaveWriter> writer;  // recording
};

// A text queued or being heard, as the engine's thread keeps it: enough to follow it and to start it
// again at another sentence.
struct Spoken {
    QString given; // the text as handed to Speak
    QString text;  // what the voice reads
    std::shared_ptr<const SpokenText> map;
    MarkMapper mapper;
    qsizetype offset = 0;
    VoiceMode mode;
    Prosody prosody;
    bool recording = false;
    std::shared_ptr<const Sentences> pieces;
    std::shared_ptr<const Sentences> sentences; // without the white space around them
    std::shared_ptr<SpeechPositions> positions;
    int sentence = -1;        // the sentence heard last, -1 before the first
    qint64 sentenceBegin = 0; // its first sample, counted from the text's first one
};

struct Report {
    std::uint32_t status;
    int type;
    QString text;
};

} // namespace

struct SpeechEngine::Private {
    SpeechEngine *q = nullptr;
    Environment env;
    std::atomic<std::uint32_t> status{S_OK};

    // Settings, on the engine's thread.
    int mode = 0;
    int speed = 150;
    int pitch = 170;
    QString waveFile;
    std::shared_ptr<const Lexicon> lexicon;
    unsigned skip = ReadingFilters::None;
    RecordingOptions recordingOptions;

    // Output in progress, on the engine's thread.
    bool active = false;
    bool paused = false;
    std::unique_ptr<AudioDevice> device;
    std::unique_ptr<PcmSource> source;
    QTimer *poll = nullptr;
    qint64 lastSamplesRead = 0;
    QElapsedTimer sinceLastRead;
    // Samples the source had handed out when the current device started: the device counts from there.
    qint64 deviceStartRead = 0;
    // The texts queued or playing, in order; the front one is the one being heard.
    std::deque<Spoken> spoken;
    // Counts each stop and restart of the output, so that a slot of WordReached that stops or
    // skips is noticed by the loop that emitted it.
    quint64 generation = 0;

    // Shared with the synthesis thread.
    std::thread worker;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<std::unique_ptr<Job>> jobs;
    Job *current = nullptr;
    bool busy = false;
    bool quit = false;
    bool holdRecording = false;
    std::atomic<bool> stopping{false};
    std::vector<Report> reports;
    std::vector<SpeechMark> recordedMarks;

    // Samples written for playback since the output stream began: where the next text's sound
    // starts in what the output pulls. The synthesis thread counts it while busy; the engine's
    // thread sets it back to 0, under the mutex, only when synthesis is idle and the stream ends.
    qint64 streamWritten = 0;

    void Log(int type, const QString &text) { services::EventLog::Current().Write(type, QStringLiteral("Speech: ") + text); }
    void Fail(std::uint32_t code, const QString &text)
    {
        status = code;
        Log(services::EVENTLOG_ERROR_TYPE, text);
    }
    void PostOutputStopped()
    {
        QMetaObject::invokeMethod(q, [q = q] { Q_EMIT q->OutputStopped(0, 0); }, Qt::QueuedConnection);
    }
    const VoiceMode *Selected() const { return env.catalogue->Mode(mode); }
    bool Accepts(int value, bool speedSetting) const;
    bool OpenDevice(int sampleRate);
    SpokenText Prepare(const QString &text, const QString &speaker);
    bool Enqueue(Spoken request);
    qint64 HeardSample() const;
    void EmitReached(qint64 heard);
    bool CanSkip() const;
    void Skip(bool forward);
    void Poll();
    void TakeReports();
    void Abort();
    void Finish();
    void WorkerLoop();
    void RunJob(Job &job);
};

bool SpeechEngine::Private::Accepts(int value, bool speedSetting) const
{
    auto accepts = [&](const VoiceMode &m) {
        return speedSetting ? m.voice.speed.Contains(value) : m.voice.pitch.Contains(value);
    };
    if (const VoiceMode *m = Selected())
        return accepts(*m);
    // With no voice selected a value is fine when some voice would take it.
    for (const VoiceMode &m : env.catalogue->Modes()) {
        if (accepts(m))
            return true;
    }
    return false;
}

SpeechEngine::SpeechEngine(QObject *parent) : SpeechEngine(Environment{}, parent) {}

SpeechEngine::SpeechEngine(Environment environment, QObject *parent) : QObject(parent), d_(std::make_unique<Private>())
{
    d_->q = this;
    d_->env = std::move(environment);
    if (!d_->env.catalogue)
        d_->env.catalogue = VoiceCatalogue::Installed();
    if (!d_->env.audioDevice)
        d_->env.audioDevice = [] { return std::make_unique<QtAudioDevice>(); };
    d_->mode = d_->env.catalogue->Count() > 0 ? 1 : 0;
    d_->poll = new QTimer(this);
    d_->poll->setInterval(kPollMilliseconds);
    connect(d_->poll, &QTimer::timeout, this, [this] { d_->Poll(); });
}

SpeechEngine::~SpeechEngine()
{
    d_->Abort();
    {
        std::lock_guard lock(d_->mutex);
        d_->quit = true;
    }
    d_->wake.notify_all();
    if (d_->worker.joinable())
        d_->worker.join();
}

// The engine's public methods run on the thread that owns it (the UI thread); only the worker
// thread inside it touches the queue from elsewhere.
void SpeechEngine::AssertOwnerThread() const
{
    Q_ASSERT_X(QThread::currentThread() == thread(), "SpeechEngine",
               "called from a thread that does not own it");
}

int SpeechEngine::GetModeCount() const
{
    AssertOwnerThread();
    return d_->env.catalogue->Count();
}

QString SpeechEngine::GetModeSpeaker(int index)
{
    AssertOwnerThread();
    const VoiceMode *m = d_->env.catalogue->Mode(index);
    d_->status = m ? S_OK : E_UNEXPECTED;
    return m ? m->speaker : QString();
}

void SpeechEngine::SelectVoiceMode(int index)
{
    AssertOwnerThread();
    if (d_->env.catalogue->Mode(index)) {
        d_->mode = index;
        d_->status = S_OK;
    } else {
        // Later speech must not silently go on with the previous voice.
        d_->mode = 0;
        d_->status = E_UNEXPECTED;
    }
}

void SpeechEngine::SetSpeed(int wordsPerMinute)
{
    AssertOwnerThread();
    d_->speed = wordsPerMinute;
    d_->status = d_->Accepts(wordsPerMinute, true) ? S_OK : E_UNEXPECTED;
}

void SpeechEngine::SetPitch(int hertz)
{
    AssertOwnerThread();
    d_->pitch = hertz;
    d_->status = d_->Accepts(hertz, false) ? S_OK : E_UNEXPECTED;
}

void SpeechEngine::SetOutputWaveFile(const QString &path)
{
    AssertOwnerThread();
    d_->waveFile = path;
    d_->status = S_OK;
}

void SpeechEngine::SetRecordingOptions(const RecordingOptions &options)
{
    AssertOwnerThread();
    d_->recordingOptions = options;
    d_->status = S_OK;
}

std::uint32_t SpeechEngine::GetLastStatus() const
{
    AssertOwnerThread();
    return d_->status;
}

void SpeechEngine::SetLexicon(std::shared_ptr<const Lexicon> lexicon)
{
    AssertOwnerThread();
    d_->lexicon = std::move(lexicon);
}

void SpeechEngine::SetReadingFilters(unsigned skip)
{
    AssertOwnerThread();
    d_->skip = skip;
}

SpokenText SpeechEngine::Private::Prepare(const QString &text, const QString &speaker)
{
    SpokenText spoken(text);
    ReadingFilters::Apply(spoken, skip);
    if (lexicon) {
        std::vector<Lexicon::Problem> skipped;
        lexicon->Apply(spoken, speaker, Lexicon::Limits{}, &skipped);
        for (const Lexicon::Problem &p : skipped)
            Log(services::EVENTLOG_WARNING_TYPE,
                QStringLiteral("pronunciation rule of %1 %2").arg(Lexicon::Where(p), p.message));
    }
    return spoken;
}

bool SpeechEngine::Private::OpenDevice(int sampleRate)
{
    if (!source)
        source = std::make_unique<PcmSource>();
    if (!device)
        device = env.audioDevice();
    source->SetOutputRate(sampleRate);
    QString error;
    if (!device || !device->Start(source.get(), sampleRate, &error)) {
        device.reset();
        Fail(AUDCLNT_E_DEVICE_INVALIDATED, QStringLiteral("cannot play speech: %1").arg(error));
        return false;
    }
    if (paused)
        device->Suspend();
    deviceStartRead = source->SamplesRead();
    lastSamplesRead = source->SamplesRead();
    sinceLastRead.start();
    return true;
}

void SpeechEngine::Speak(const QString &text)
{
    AssertOwnerThread();
    SpeakFrom(text, 0);
}

void SpeechEngine::SpeakFrom(const QString &text, int offset)
{
    AssertOwnerThread();
    const VoiceMode *m = d_->Selected();
    if (!m) {
        d_->Fail(E_UNEXPECTED, QStringLiteral("cannot speak: no voice is selected"));
        if (!d_->active)
            d_->PostOutputStopped();
        return;
    }
    std::uint32_t outcome = S_OK;
    if (!m->voice.speed.Contains(d_->speed) || !m->voice.pitch.Contains(d_->pitch)) {
        // Speak anyway with the nearest values the voice takes, so the output ends as usual, but
        // tell the caller the settings were not accepted.
        outcome = E_UNEXPECTED;
        d_->Log(services::EVENTLOG_WARNING_TYPE,
                QStringLiteral("voice \"%1\" takes %2-%3 words per minute and %4-%5 Hz; asked for %6 and %7")
                    .arg(m->speaker)
                    .arg(m->voice.speed.minimum)
                    .arg(m->voice.speed.maximum)
                    .arg(m->voice.pitch.minimum)
                    .arg(m->voice.pitch.maximum)
                    .arg(d_->speed)
                    .arg(d_->pitch));
    }
    Spoken request;
    auto map = std::make_shared<const SpokenText>(d_->Prepare(text, m->speaker));
    const QString &said = map->Text();
    request.given = text;
    request.text = said;
    request.offset = map->ToSpoken(std::clamp<qsizetype>(offset, 0, text.size()));
    if (said != text)
        request.map = std::move(map);
    request.mode = *m;
    request.prosody = {m->voice.speed.Clamp(d_->speed), m->voice.pitch.Clamp(d_->pitch)};
    request.recording = !d_->waveFile.isEmpty();
    auto pieces = std::make_shared<Sentences>(SentenceSplitter::Split(request.text));
    auto sentences = std::make_shared<Sentences>(*pieces);
    for (SentenceSplitter::Piece &p : *sentences) {
        while (p.length > 0 && request.text.at(p.start).isSpace()) {
            ++p.start;
            --p.length;
        }
        while (p.length > 0 && request.text.at(p.start + p.length - 1).isSpace())
            --p.length;
    }
    request.pieces = std::move(pieces);
    request.sentences = std::move(sentences);
    if (d_->Enqueue(std::move(request)))
        d_->status = outcome;
}

bool SpeechEngine::Private::Enqueue(Spoken request)
{
    auto job = std::make_unique<Job>();
    job->text = request.text;
    job->map = request.map;
    request.mapper = MarkMapper(request.map);
    job->offset = request.offset;
    job->mode = request.mode;
    job->prosody = request.prosody;
    job->pieces = request.pieces;
    job->sentences = request.sentences;
    job->positions =
        std::make_shared<SpeechPositions>(request.sentences, request.text.size(), request.recording);
    request.positions = job->positions;
    const int rate = request.mode.voice.sampleRate;

    if (request.recording) {
        QString error;
        RecordingOptions options = recordingOptions;
        if (options.tags.title.isEmpty())
            options.tags.title = SoundTags::TitleFromText(request.given);
        if (options.tags.artist.isEmpty())
            options.tags.artist = request.mode.speaker.trimmed();
        job->writer = WaveWriter::Create(waveFile, rate, options, &error);
        if (!job->writer) {
            Fail(E_ACCESSDENIED, QStringLiteral("cannot record: %1").arg(error));
            if (!active)
                PostOutputStopped();
            return false;
        }
    } else {
        job->buffer = std::make_shared<PcmBuffer>(rate, static_cast<std::size_t>(rate) * kBufferSeconds);
        if (!source)
            source = std::make_unique<PcmSource>();
        source->Append(job->buffer);
        if (!device && !OpenDevice(rate)) {
            source->Clear();
            if (!active) {
                source.reset();
                PostOutputStopped();
            }
            return false;
        }
    }

    {
        std::lock_guard lock(mutex);
        jobs.push_back(std::move(job));
    }
    spoken.push_back(std::move(request));
    if (!worker.joinable())
        worker = std::thread([this] { WorkerLoop(); });
    wake.notify_all();
    active = true;
    poll->start();
    return true;
}

qint64 SpeechEngine::Private::HeardSample() const
{
    if (!source)
        return 0;
    if (!device)
        return deviceStartRead;
    return deviceStartRead + device->HeardSamples(source->SamplesRead() - deviceStartRead);
}

void SpeechEngine::Private::EmitReached(qint64 heard)
{
    const quint64 now = generation;
    while (!spoken.empty()) {
        Spoken &s = spoken.front();
        if (s.recording) {
            // Only the sentence being written is told: words go by far faster than anyone reads.
            const std::vector<SpeechMark> marks = s.positions->TakeReached(kEverything);
            const SpeechMark *latest = nullptr;
            for (const SpeechMark &m : marks) {
                if (m.kind == SpeechMark::Kind::Sentence)
                    latest = &m;
            }
            const bool done = s.positions->Done(kEverything);
            if (const auto mapped = latest ? s.mapper.Map(*latest) : std::nullopt) {
                Q_EMIT q->SentenceReached(static_cast<int>(mapped->start), static_cast<int>(mapped->length));
                if (generation != now)
                    return;
            }
            if (!done)
                return;
            spoken.pop_front();
            continue;
        }
        const std::optional<qint64> base = s.positions->StreamBase();
        if (!base)
            return; // its synthesis has not started: nothing of it can have been heard
        const qint64 at = heard == kEverything ? kEverything : heard - *base;
        for (const SpeechMark &m : s.positions->TakeReached(at)) {
            if (m.kind == SpeechMark::Kind::Sentence) {
                s.sentence = s.positions->SentenceAt(m.start);
                s.sentenceBegin = m.begin;
            }
            const std::optional<SpeechMark> mapped = s.mapper.Map(m);
            if (!mapped)
                continue;
            if (mapped->kind == SpeechMark::Kind::Sentence)
                Q_EMIT q->SentenceReached(static_cast<int>(mapped->start), static_cast<int>(mapped->length));
            else
                Q_EMIT q->WordReached(static_cast<int>(mapped->start), static_cast<int>(mapped->length));
            if (generation != now)
                return; // a slot stopped or skipped: `s` is gone
        }
        if (!s.positions->Done(at))
            return;
        spoken.pop_front();
    }
}

bool SpeechEngine::Private::CanSkip() const
{
    if (!active || paused || spoken.empty())
        return false;
    for (const Spoken &s : spoken) {
        if (s.recording)
            return false;
    }
    return !spoken.front().sentences->empty();
}

void SpeechEngine::Private::Skip(bool forward)
{
    if (!CanSkip())
        return;
    const Spoken &s = spoken.front();
    const int count = static_cast<int>(s.sentences->size());
    int current = s.sentence >= 0 ? s.sentence : s.positions->SentenceAt(s.offset);
    if (current < 0)
        current = count - 1;
    int target = current + 1;
    if (!forward) {
        const std::optional<qint64> base = s.positions->StreamBase();
        const qint64 heardOfIt = s.sentence >= 0 && base ? HeardSample() - *base - s.sentenceBegin : 0;
        const bool barelyBegun = heardOfIt < kRestartSeconds * s.mode.voice.sampleRate;
        target = barelyBegun && current > 0 ? current - 1 : current;
    }
    if (target >= count)
        return;
    // Everything queued is started again after the skip, the text heard from the target sentence on.
    std::deque<Spoken> again = std::move(spoken);
    spoken.clear();
    Abort();
    again.front().offset = (*again.front().sentences)[static_cast<std::size_t>(target)].start;
    for (Spoken &request : again) {
        request.positions.reset();
        request.sentence = -1;
        if (!Enqueue(std::move(request))) {
            if (active) {
                Abort();
                PostOutputStopped();
            }
            return;
        }
    }
}

void SpeechEngine::NextSentence()
{
    AssertOwnerThread();
    d_->status = S_OK;
    d_->Skip(true);
}

void SpeechEngine::PreviousSentence()
{
    AssertOwnerThread();
    d_->status = S_OK;
    d_->Skip(false);
}

bool SpeechEngine::CanSkipSentence() const
{
    AssertOwnerThread();
    return d_->CanSkip();
}

std::vector<SpeechMark> SpeechEngine::RecordedMarks() const
{
    AssertOwnerThread();
    std::lock_guard lock(d_->mutex);
    return d_->recordedMarks;
}

void SpeechEngine::PauseAudio()
{
    AssertOwnerThread();
    d_->status = S_OK;
    if (!d_->active || d_->paused)
        return;
    d_->paused = true;
    if (d_->device)
        d_->device->Suspend();
    std::lock_guard lock(d_->mutex);
    d_->holdRecording = true;
}

void SpeechEngine::ResumeAudio()
{
    AssertOwnerThread();
    d_->status = S_OK;
    if (!d_->paused)
        return;
    d_->paused = false;
    if (d_->device)
        d_->device->Resume();
    {
        std::lock_guard lock(d_->mutex);
        d_->holdRecording = false;
    }
    d_->wake.notify_all();
    if (d_->source)
        d_->sinceLastRead.start();
}

void SpeechEngine::StopAudio()
{
    AssertOwnerThread();
    d_->status = S_OK;
    if (!d_->active)
        return;
    d_->Abort();
    d_->TakeReports();
    d_->PostOutputStopped();
}

void SpeechEngine::Private::Abort()
{
    {
        std::unique_lock lock(mutex);
        stopping = true;
        holdRecording = false;
        for (auto &job : jobs) {
            if (job->buffer)
                job->buffer->Abort();
        }
        jobs.clear(); // uncommitted recordings remove their temporary files here
        if (current && current->buffer)
            current->buffer->Abort();
        wake.notify_all();
        // Synthesis checks for the stop between chunks of a few milliseconds of sound.
        idle.wait(lock, [this] { return !busy; });
        stopping = false;
        streamWritten = 0;
    }
    if (device)
        device->Stop();
    device.reset();
    source.reset();
    spoken.clear();
    ++generation;
    paused = false;
    active = false;
    poll->stop();
}

void SpeechEngine::Private::TakeReports()
{
    std::vector<Report> taken;
    {
        std::lock_guard lock(mutex);
        taken.swap(reports);
    }
    for (const Report &r : taken) {
        if (r.status != S_OK)
            status = r.status;
        Log(r.type, r.text);
    }
}

void SpeechEngine::Private::Finish()
{
    {
        std::lock_guard lock(mutex);
        streamWritten = 0;
    }
    if (device)
        device->Stop();
    device.reset();
    source.reset();
    spoken.clear();
    ++generation;
    active = false;
    paused = false;
    poll->stop();
    PostOutputStopped();
}

void SpeechEngine::Private::Poll()
{
    if (!active)
        return;
    TakeReports();
    QString error;
    if (device && device->Failed(&error)) {
        Abort();
        Fail(AUDCLNT_E_DEVICE_INVALIDATED, QStringLiteral("speech output stopped: %1").arg(error));
        PostOutputStopped();
        return;
    }
    if (paused)
        return;
    if (source) {
        const qint64 read = source->SamplesRead();
        if (read != lastSamplesRead) {
            lastSamplesRead = read;
            sinceLastRead.start();
        }
        // An output that ran dry while synthesis was busy may not come back by itself once speech
        // is ready again: tell it, and if it still takes nothing, start it afresh where it was.
        if (device && device->Idle() && source->bytesAvailable() > 0) {
            Q_EMIT source->readyRead();
            if (sinceLastRead.elapsed() > kRestallMilliseconds && !OpenDevice(source->OutputRate())) {
                Abort();
                PostOutputStopped();
                return;
            }
        }
        // The next text is at another sample rate: once the output has played out, reopen it.
        if (const int pending = source->PendingRate()) {
            if (!device || device->Idle() || sinceLastRead.elapsed() > kDrainGraceMilliseconds) {
                if (device)
                    device->Stop();
                if (!OpenDevice(pending)) {
                    Abort();
                    PostOutputStopped();
                    return;
                }
            }
        }
    }
    const quint64 now = generation;
    EmitReached(HeardSample());
    if (generation != now)
        return; // a slot stopped or restarted the output
    bool synthesisDone;
    {
        std::lock_guard lock(mutex);
        synthesisDone = jobs.empty() && !busy;
    }
    const bool playbackDone =
        !source || (source->Exhausted() &&
                    (!device || device->Idle() || sinceLastRead.elapsed() > kDrainGraceMilliseconds));
    if (synthesisDone && playbackDone) {
        // Everything has been played: whatever was not told yet has been heard.
        EmitReached(kEverything);
        if (generation != now)
            return;
        TakeReports();
        Finish();
    }
}

void SpeechEngine::Private::WorkerLoop()
{
    std::unique_lock lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return quit || !jobs.empty(); });
        if (quit)
            return;
        std::unique_ptr<Job> job = std::move(jobs.front());
        jobs.pop_front();
        current = job.get();
        busy = true;
        lock.unlock();
        RunJob(*job);
        job.reset();
        lock.lock();
        current = nullptr;
        busy = false;
        idle.notify_all();
        QMetaObject::invokeMethod(
            q, [this] { Poll(); }, Qt::QueuedConnection);
    }
}

void SpeechEngine::Private::RunJob(Job &job)
{
    // The sentences from the start offset on, the first one from the offset.
    std::vector<SentenceSplitter::Piece> pieces;
    for (const SentenceSplitter::Piece &p : *job.pieces) {
        const qsizetype end = p.start + p.length;
        if (end <= job.offset)
            continue;
        if (p.start >= job.offset)
            pieces.push_back(p);
        else if (!job.text.mid(job.offset, end - job.offset).trimmed().isEmpty())
            pieces.push_back({job.offset, end - job.offset});
    }
    if (job.mode.backend->StreamsClauses()) {
        // Hand such a synthesiser whole paragraphs: its own pauses between sentences sound right.
        // A line break ends a run, so a heading without a full stop is not read into the next line.
        std::vector<SentenceSplitter::Piece> runs;
        for (const SentenceSplitter::Piece &p : pieces) {
            const bool lineEnded =
                !runs.empty() && job.text.at(runs.back().start + runs.back().length - 1) == QLatin1Char('\n');
            if (!runs.empty() && !lineEnded && p.start + p.length - runs.back().start <= kClauseRunLength)
                runs.back().length = p.start + p.length - runs.back().start;
            else
                runs.push_back(p);
        }
        pieces.swap(runs);
    } else if (!pieces.empty() && pieces.front().length > kFirstPieceLength) {
        // The listener waits for the whole first piece: start with its first phrase (up to a
        // comma, or a few words) and let the rest of that sentence follow while it plays.
        const SentenceSplitter::Piece first = pieces.front();
        const auto phrases =
            SentenceSplitter::Split(job.text.mid(first.start, first.length), kFirstPieceLength);
        if (phrases.size() > 1) {
            const qsizetype head = phrases.front().start + phrases.front().length;
            pieces.front() = {first.start, head};
            pieces.insert(pieces.begin() + 1, {first.start + head, first.length - head});
        }
    }
    const qint64 total = job.text.size();
    bool writeFailed = false;
    qint64 written = 0; // samples of this text's sound so far
    const PcmSink sink = [&](const std::int16_t *samples, std::size_t count) {
        if (stopping)
            return false;
        if (job.writer) {
            if (!job.writer->Write(samples, count)) {
                writeFailed = true;
                return false;
            }
        } else if (!job.buffer->Write(samples, count)) {
            return false;
        }
        written += static_cast<qint64>(count);
        return true;
    };
    job.positions->Start(job.buffer ? streamWritten : 0);
    QString error;
    bool synthesisFailed = false;
    for (const SentenceSplitter::Piece &piece : pieces) {
        if (job.writer) {
            // A paused recording waits here; speech aloud is held back by the full buffer instead.
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return !holdRecording || stopping; });
        }
        if (stopping || writeFailed)
            break;
        const qint64 pieceBase = written;
        const WordSink words = [&](qsizetype start, qsizetype length, qint64 begin, qint64 end) {
            job.positions->AddWord(piece.start + start, length, pieceBase + begin, pieceBase + end);
        };
        if (!job.mode.backend->SynthesizeWithWords(job.mode.voice.id, job.text.mid(piece.start, piece.length),
                                                   job.prosody, sink, words, &error)) {
            synthesisFailed = true;
            break;
        }
        if (env.progress)
            env.progress(piece.start + piece.length, total);
    }
    job.positions->Finish(written);
    if (job.buffer) {
        streamWritten += written;
        job.buffer->Finish();
    }

    std::vector<Report> out;
    if (job.writer) {
        const QString target = job.writer->Target();
        if (stopping) {
            job.writer->Abort();
            out.push_back(
                {S_OK, services::EVENTLOG_WARNING_TYPE,
                 QStringLiteral("recording into \"%1\" was stopped; the file was not written").arg(target)});
        } else if (synthesisFailed || writeFailed) {
            const QString why = writeFailed ? job.writer->Error() : error;
            job.writer->Abort();
            out.push_back(
                {STG_E_CANTSAVE, services::EVENTLOG_ERROR_TYPE,
                 QStringLiteral("recording into \"%1\" failed and was not saved: %2").arg(target, why)});
        } else {
            QString commitError;
            if (!job.writer->Commit(&commitError)) {
                out.push_back({STG_E_CANTSAVE, services::EVENTLOG_ERROR_TYPE,
                               QStringLiteral("recording could not be saved: %1").arg(commitError)});
            } else {
                MarkMapper mapper(job.map);
                std::vector<SpeechMark> marks;
                for (const SpeechMark &m : job.positions->All()) {
                    if (const auto mapped = mapper.Map(m))
                        marks.push_back(*mapped);
                }
                std::lock_guard lock(mutex);
                recordedMarks = std::move(marks);
            }
        }
    } else if (synthesisFailed) {
        out.push_back(
            {E_FAIL, services::EVENTLOG_ERROR_TYPE, QStringLiteral("synthesis failed: %1").arg(error)});
    }
    if (!out.empty()) {
        std::lock_guard lock(mutex);
        reports.insert(reports.end(), out.begin(), out.end());
    }
}

} // namespace speech
