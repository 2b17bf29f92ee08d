// SPDX-License-Identifier: GPL-3.0-or-later
// Time from Speak to the first samples the audio output can take, for a short sentence and for a
// 10,000-word text. The output here is a device that pulls as fast as it can, so what is measured
// is the engine: splitting, the first sentence's synthesis, and the buffer hand-over.
#include "BenchText.h"

#include "speech/AudioDevice.h"
#include "speech/SpeechEngine.h"
#include "speech/VoiceCatalogue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIODevice>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

class PullingDevice : public speech::AudioDevice {
public:
    explicit PullingDevice(QIODevice **slot) : slot_(slot) {}
    bool Start(QIODevice *source, int, QString *) override
    {
        *slot_ = source;
        return true;
    }
    void Suspend() override {}
    void Resume() override {}
    void Stop() override { *slot_ = nullptr; }
    bool Idle() const override { return false; }
    bool Failed(QString *) const override { return false; }

private:
    QIODevice **slot_;
};

void FirstBuffer(benchmark::State &state, const QString &text, const QString &speaker)
{
    const auto catalogue = speech::VoiceCatalogue::Installed();
    QIODevice *source = nullptr;
    speech::SpeechEngine::Environment env;
    env.catalogue = catalogue;
    env.audioDevice = [&source] { return std::make_unique<PullingDevice>(&source); };
    speech::SpeechEngine engine(env);
    engine.SelectVoiceMode(catalogue->Find(speaker));
    char buffer[4096];
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        engine.Speak(text);
        qint64 got = 0;
        while (got <= 0 && source) {
            got = source->read(buffer, sizeof buffer);
            if (got <= 0)
                std::this_thread::yield();
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        if (got <= 0)
            state.SkipWithError("no sound came out");
        engine.StopAudio();
        QCoreApplication::processEvents(); // deliver the stop's OutputStopped
    }
}

void BM_FirstBuffer_ShortSentence(benchmark::State &state)
{
    FirstBuffer(state, QStringLiteral("Hello, this is a short sentence."), QStringLiteral("Mary"));
}
void BM_FirstBuffer_TenThousandWords(benchmark::State &state)
{
    static const QString text = BenchText(10000);
    FirstBuffer(state, text, QStringLiteral("Mary"));
}
void BM_FirstBuffer_TenThousandWords_Espeak(benchmark::State &state)
{
    static const QString text = BenchText(10000);
    FirstBuffer(state, text, QStringLiteral("English (America)"));
}

// How long StopAudio takes to discard the speech in progress (synthesis and playback) while a long
// text is being spoken.
void BM_StopAudio_WhileSpeaking(benchmark::State &state)
{
    static const QString text = BenchText(10000);
    const auto catalogue = speech::VoiceCatalogue::Installed();
    QIODevice *source = nullptr;
    speech::SpeechEngine::Environment env;
    env.catalogue = catalogue;
    env.audioDevice = [&source] { return std::make_unique<PullingDevice>(&source); };
    speech::SpeechEngine engine(env);
    engine.SelectVoiceMode(catalogue->Find(QStringLiteral("Mary")));
    char buffer[4096];
    for (auto _ : state) {
        engine.Speak(text);
        qint64 got = 0;
        while (got <= 0 && source)
            got = source->read(buffer, sizeof buffer);
        QElapsedTimer timer;
        timer.start();
        engine.StopAudio();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        QCoreApplication::processEvents();
    }
}

BENCHMARK(BM_StopAudio_WhileSpeaking)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_FirstBuffer_ShortSentence)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_FirstBuffer_TenThousandWords)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_FirstBuffer_TenThousandWords_Espeak)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
