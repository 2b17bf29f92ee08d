// SPDX-License-Identifier: GPL-3.0-or-later
// What following the reading costs and how closely it follows:
//  - BM_WordEventOffset: a device that plays in real time (a timer pulls what a sound card would
//    have taken); for every WordReached, how long after the word's first sample was pulled it came
//    (the word's samples are known from a recording of the same text, synthesis being repeatable).
//    Counters: median and worst offset in ms.
//  - BM_WordEventOffset_SoundServer: the same against what the sound server plays, with the real
//    output: parec records the default sink's monitor, each word's sound is found where it rises
//    out of silence, and WordReached is compared with it. Run under scripts/with-desktop
//    (bench_follow_along --benchmark_filter=SoundServer); skipped without a sound server.
//  - BM_NextSentenceToFirstSample/<voice>: from NextSentence to the first sample of the next
//    sentence reaching the device.
//  - BM_BackendSynthesis/<voice>/<words>: a backend synthesising a text with and without telling
//    its words: what positions cost synthesis.
//  - BM_RecordCommand/<subtitles>: orvena-speak recording 1,000 words, without and with --subtitles;
//  - BM_SubtitleCues: the subtitles' own work for those 1,000 words (cues and the file's text), to
//    set against the recording's wall time when the machine is too busy for the difference above
//    to show.
#include "BenchText.h"

#include "app/SpeakCommand.h"
#include "speech/AudioDevice.h"
#include "speech/SpeechBackend.h"
#include "speech/SpeechEngine.h"
#include "speech/SubtitleWriter.h"
#include "speech/VoiceCatalogue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIODevice>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <thread>

namespace
{

// Pulls from the engine as a sound card would: what real time says is due, every 10 ms; or, when
// not in real time, everything on request.
class BenchDevice : public speech::AudioDevice
{
  public:
    struct Shared {
        QIODevice *source = nullptr;
        int rate = 0;
    };
    explicit BenchDevice(Shared *shared) : shared_(shared) {}
    bool Start(QIODevice *source, int rate, QString *) override
    {
        shared_->source = source;
        shared_->rate = rate;
        return true;
    }
    void Suspend() override {}
    void Resume() override {}
    void Stop() override { shared_->source = nullptr; }
    bool Idle() const override { return false; }
    bool Failed(QString *) const override { return false; }

  private:
    Shared *shared_;
};

std::unique_ptr<speech::SpeechEngine> MakeEngine(BenchDevice::Shared *shared, const QString &speaker)
{
    speech::SpeechEngine::Environment env;
    env.catalogue = speech::VoiceCatalogue::Installed();
    env.audioDevice = [shared] { return std::make_unique<BenchDevice>(shared); };
    auto engine = std::make_unique<speech::SpeechEngine>(env);
    engine->SelectVoiceMode(env.catalogue->Find(speaker));
    return engine;
}

const QString kSentences = QStringLiteral(
    "The first sentence is here to be skipped. The second one follows it closely. A third comes after. "
    "And a fourth one ends the text.");

void BM_WordEventOffset(benchmark::State &state)
{
    const QString text = BenchText(60);
    // Where each word's sound starts, from a recording of the same text.
    QTemporaryDir dir;
    std::map<int, qint64> begins;
    {
        BenchDevice::Shared unused;
        auto recorder = MakeEngine(&unused, QStringLiteral("Mary"));
        recorder->SetOutputWaveFile(dir.filePath(QStringLiteral("marks.wav")));
        bool done = false;
        QObject::connect(recorder.get(), &speech::SpeechEngine::OutputStopped, [&] { done = true; });
        recorder->Speak(text);
        (void)QTest::qWaitFor([&] { return done; }, 60000);
        for (const speech::SpeechMark &m : recorder->RecordedMarks()) {
            if (m.kind == speech::SpeechMark::Kind::Word)
                begins[static_cast<int>(m.start)] = m.begin;
        }
    }
    BenchDevice::Shared shared;
    auto engine = MakeEngine(&shared, QStringLiteral("Mary"));
    for (auto _ : state) {
        std::vector<std::pair<qint64, qint64>> pulls; // (samples pulled in all, ns when)
        std::vector<std::pair<int, qint64>> told;     // (word start, ns when)
        QElapsedTimer clock;
        QTimer timer;
        qint64 pulled = 0;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (!shared.source)
                return;
            if (!clock.isValid())
                clock.start();
            const qint64 due = clock.elapsed() * shared.rate / 1000 - pulled;
            if (due <= 0)
                return;
            std::vector<char> data(static_cast<std::size_t>(due * 2));
            const qint64 got = shared.source->read(data.data(), due * 2);
            if (got > 0) {
                pulled += got / 2;
                pulls.emplace_back(pulled, clock.nsecsElapsed());
            }
        });
        bool done = false;
        auto c1 = QObject::connect(engine.get(), &speech::SpeechEngine::WordReached,
                                   [&](int start, int) { told.emplace_back(start, clock.nsecsElapsed()); });
        auto c2 = QObject::connect(engine.get(), &speech::SpeechEngine::OutputStopped, [&] { done = true; });
        timer.start();
        engine->Speak(text);
        (void)QTest::qWaitFor([&] { return done; }, 120000);
        QObject::disconnect(c1);
        QObject::disconnect(c2);
        std::vector<double> offsets;
        for (const auto &[start, when] : told) {
            const auto b = begins.find(start);
            if (b == begins.end())
                continue;
            const auto pull =
                std::find_if(pulls.begin(), pulls.end(), [&](const auto &p) { return p.first > b->second; });
            if (pull != pulls.end())
                offsets.push_back(double(when - pull->second) / 1e6);
        }
        std::sort(offsets.begin(), offsets.end());
        if (offsets.empty()) {
            state.SkipWithError("no word was told");
            break;
        }
        state.counters["words"] = double(offsets.size());
        state.counters["median_ms"] = offsets[offsets.size() / 2];
        state.counters["worst_ms"] = std::max(std::abs(offsets.front()), std::abs(offsets.back()));
    }
}
BENCHMARK(BM_WordEventOffset)->Unit(benchmark::kSecond)->Iterations(1);

// Sample offsets where sound rises out of at least 60 ms of silence, by 5 ms frames.
std::vector<qint64> Onsets(const std::vector<std::int16_t> &samples, int rate)
{
    const std::size_t frame = static_cast<std::size_t>(rate / 200);
    std::vector<qint64> out;
    int quiet = 12;
    for (std::size_t i = 0; i + frame <= samples.size(); i += frame) {
        double sum = 0;
        for (std::size_t j = i; j < i + frame; ++j)
            sum += double(samples[j]) * samples[j];
        if (std::sqrt(sum / double(frame)) < 300) {
            ++quiet;
            continue;
        }
        if (quiet >= 12)
            out.push_back(static_cast<qint64>(i));
        quiet = 0;
    }
    return out;
}

void BM_WordEventOffset_SoundServer(benchmark::State &state)
{
    if (qEnvironmentVariableIsEmpty("PULSE_SERVER")) {
        state.SkipWithError("needs the sound server of scripts/with-desktop");
        for (auto _ : state) {
        }
        return;
    }
    constexpr int kRate = 16000;
    const QString list =
        QStringLiteral("Melon. Lemon. Orange. Mango. Olive. Almond. Walnut. Yellow. Marrow. Lime.");
    for (auto _ : state) {
        QProcess parec;
        parec.start(QStringLiteral("parec"), {QStringLiteral("--format=s16le"),
                                              QStringLiteral("--rate=16000"), QStringLiteral("--channels=1"),
                                              QStringLiteral("--raw"), QStringLiteral("--latency-msec=5"),
                                              QStringLiteral("-d"), QStringLiteral("@DEFAULT_MONITOR@")});
        QElapsedTimer clock;
        clock.start();
        std::vector<std::int16_t> heard;
        // The stream's first sample in clock time: each chunk arrives at or after its last sample.
        qint64 origin = std::numeric_limits<qint64>::max();
        QObject::connect(&parec, &QProcess::readyReadStandardOutput, [&] {
            const QByteArray bytes = parec.readAllStandardOutput();
            const auto *s = reinterpret_cast<const std::int16_t *>(bytes.constData());
            heard.insert(heard.end(), s, s + bytes.size() / 2);
            origin = std::min(origin, clock.nsecsElapsed() - qint64(heard.size()) * 1000000000 / kRate);
        });
        QTest::qWait(1200); // parec needs a moment to connect
        speech::SpeechEngine engine;
        engine.SelectVoiceMode(1);
        std::vector<qint64> told;
        bool done = false;
        QObject::connect(&engine, &speech::SpeechEngine::WordReached,
                         [&] { told.push_back(clock.nsecsElapsed()); });
        QObject::connect(&engine, &speech::SpeechEngine::OutputStopped, [&] { done = true; });
        engine.Speak(list);
        (void)QTest::qWaitFor([&] { return done; }, 30000);
        QTest::qWait(500);
        parec.terminate();
        parec.waitForFinished(3000);
        const std::vector<qint64> onsets = Onsets(heard, kRate);
        if (told.empty() || onsets.size() < told.size()) {
            state.SkipWithError("the sound server heard fewer words than were told");
            break;
        }
        // Each told word against the nearest rise of sound.
        std::vector<double> offsets;
        for (qint64 t : told) {
            double best = 1e9;
            for (qint64 o : onsets) {
                const double ms = double(t - (origin + o * 1000000000 / kRate)) / 1e6;
                if (std::abs(ms) < std::abs(best))
                    best = ms;
            }
            offsets.push_back(best);
        }
        std::sort(offsets.begin(), offsets.end());
        state.counters["words"] = double(offsets.size());
        state.counters["median_ms"] = offsets[offsets.size() / 2];
        state.counters["min_ms"] = offsets.front();
        state.counters["max_ms"] = offsets.back();
    }
}
BENCHMARK(BM_WordEventOffset_SoundServer)->Unit(benchmark::kSecond)->Iterations(1);

void BM_NextSentenceToFirstSample(benchmark::State &state, const QString &speaker)
{
    BenchDevice::Shared shared;
    auto engine = MakeEngine(&shared, speaker);
    char buffer[3200];
    for (auto _ : state) {
        bool reached = false, done = false;
        auto c1 = QObject::connect(engine.get(), &speech::SpeechEngine::WordReached, [&] { reached = true; });
        auto c2 = QObject::connect(engine.get(), &speech::SpeechEngine::OutputStopped, [&] { done = true; });
        engine->Speak(kSentences);
        // Play a little of the first sentence, at any pace.
        (void)QTest::qWaitFor(
            [&] {
                if (shared.source)
                    shared.source->read(buffer, sizeof buffer);
                return reached;
            },
            10000);
        QElapsedTimer timer;
        timer.start();
        engine->NextSentence();
        qint64 got = 0;
        while (got <= 0 && timer.elapsed() < 5000) {
            got = shared.source ? shared.source->read(buffer, sizeof buffer) : 0;
            if (got <= 0) {
                QCoreApplication::processEvents();
                std::this_thread::yield();
            }
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (got <= 0)
            state.SkipWithError("nothing came after the skip");
        engine->StopAudio();
        (void)QTest::qWaitFor([&] { return done; }, 5000);
        QObject::disconnect(c1);
        QObject::disconnect(c2);
    }
}
BENCHMARK_CAPTURE(BM_NextSentenceToFirstSample, Mary_flite, QStringLiteral("Mary"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_NextSentenceToFirstSample, espeak, QStringLiteral("English (America)"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

void BM_BackendSynthesis(benchmark::State &state, const QString &speaker, bool words)
{
    const auto catalogue = speech::VoiceCatalogue::Installed();
    const speech::VoiceMode *mode = catalogue->Mode(catalogue->Find(speaker));
    if (!mode) {
        state.SkipWithError("voice not installed");
        return;
    }
    const QString text = BenchText(300);
    std::size_t samples = 0, told = 0;
    const speech::PcmSink sink = [&](const std::int16_t *, std::size_t n) {
        samples += n;
        return true;
    };
    const speech::WordSink wordSink = [&](qsizetype, qsizetype, qint64, qint64) { ++told; };
    for (auto _ : state) {
        QString error;
        mode->backend->SynthesizeWithWords(mode->voice.id, text, speech::Prosody{150, 170}, sink,
                                           words ? wordSink : speech::WordSink(), &error);
    }
    state.counters["words_told"] = double(told) / double(state.iterations());
}
BENCHMARK_CAPTURE(BM_BackendSynthesis, flite_without_words, QStringLiteral("Mary"), false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_BackendSynthesis, flite_with_words, QStringLiteral("Mary"), true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_BackendSynthesis, espeak_without_words, QStringLiteral("English (America)"), false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_BackendSynthesis, espeak_with_words, QStringLiteral("English (America)"), true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void BM_RecordCommand(benchmark::State &state, bool subtitles)
{
    QTemporaryDir dir;
    const QString text = BenchText(1000);
    for (auto _ : state) {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        SpeakCommand::Io io;
        io.out = &outStream;
        io.err = &errStream;
        SpeakCommand command(io);
        QStringList args{QStringLiteral("orvena-speak"), QStringLiteral("--output"),
                         dir.filePath(QStringLiteral("bench.wav")), QStringLiteral("--text"), text};
        if (subtitles)
            args << QStringLiteral("--subtitles") << dir.filePath(QStringLiteral("bench.srt"));
        if (command.Run(args) != SpeakCommand::kDone)
            state.SkipWithError("the recording failed");
    }
}
BENCHMARK_CAPTURE(BM_RecordCommand, without_subtitles, false)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_RecordCommand, with_subtitles, true)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SubtitleCues(benchmark::State &state)
{
    const QString text = BenchText(1000);
    QTemporaryDir dir;
    BenchDevice::Shared unused;
    auto recorder = MakeEngine(&unused, QStringLiteral("Mary"));
    recorder->SetOutputWaveFile(dir.filePath(QStringLiteral("cues.wav")));
    bool done = false;
    QObject::connect(recorder.get(), &speech::SpeechEngine::OutputStopped, [&] { done = true; });
    recorder->Speak(text);
    (void)QTest::qWaitFor([&] { return done; }, 120000);
    const std::vector<speech::SpeechMark> marks = recorder->RecordedMarks();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto cues = speech::SubtitleWriter::Cues(text, marks, 16000);
        bytes = static_cast<std::size_t>(
            speech::SubtitleWriter::Render(speech::SubtitleWriter::Format::SubRip, cues).size());
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["marks"] = double(marks.size());
    state.counters["srt_bytes"] = double(bytes);
}
BENCHMARK(BM_SubtitleCues)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
