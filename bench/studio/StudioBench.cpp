// SPDX-License-Identifier: GPL-3.0-or-later
// The studio window's costs, in process, with the installed voices and a sound device that
// plays in real time (pulling 16-bit samples at the voice's rate, as a sound card would):
//  - BM_StartToFirstFrame: building the window from its definition and painting it once;
//  - BM_SpeakClickToFirstSample: from the SPEAK click to the first sample taken by the device;
//  - BM_SpeakingWithLevelDisplay: 3 s of speaking with the level display running; counters give
//    the GUI thread's CPU share (the studio's own work, not the synthesis thread) and the
//    display's frames per second;
//  - BM_ResidentMemory: resident memory at idle and while speaking a 10,000-word text.
#include "bench/speech/BenchText.h"
#include "platform/ui/Timer.h"
#include "speech/VoiceCatalogue.h"
#include "studio/FontSubstitutes.h"
#include "studio/LevelDisplay.h"
#include "studio/Main.h"
#include "studio/RichTextBox.h"
#include "tests/speech/FakeAudioDevice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

namespace
{

// A device that plays in real time: a timer pulls what a sound card would have consumed.
struct RealTimeDevice {
    std::shared_ptr<FakeAudioDevice::State> state = std::make_shared<FakeAudioDevice::State>();
    QTimer timer;
    QElapsedTimer clock;
    qint64 pulled = 0;
    RealTimeDevice()
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (!state->source)
                return;
            if (!clock.isValid())
                clock.start();
            const qint64 due = clock.elapsed() * state->sampleRate / 1000 - pulled;
            if (due > 0)
                pulled += static_cast<qint64>(state->Pull(due * 2));
        });
        timer.start();
    }
};

std::unique_ptr<studio::Main> MakeWindow(RealTimeDevice *device)
{
    studio::Main::Options options;
    options.definition = QStringLiteral(ORVENA_BINARY_DIR "/resources/studio/Main.json");
    options.iconFolder = QStringLiteral(ORVENA_BINARY_DIR "/resources/studio/icons/");
    options.engine.catalogue = speech::VoiceCatalogue::Installed();
    if (device)
        options.engine.audioDevice = FakeAudioDevice::Factory(device->state);
    QString error;
    auto window = studio::Main::Create(options, &error);
    if (!window)
        qFatal("%s", qPrintable(error));
    return window;
}

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double ResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void BM_StartToFirstFrame(benchmark::State &state)
{
    for (auto _ : state) {
        auto window = MakeWindow(nullptr);
        window->show();
        const QPixmap frame = window->grab(); // paints every control once
        benchmark::DoNotOptimize(frame.cacheKey());
    }
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SpeakClickToFirstSample(benchmark::State &state)
{
    RealTimeDevice device;
    auto window = MakeWindow(&device);
    window->show();
    window->RichTextBox1()->SetText(BenchText(60));
    for (auto _ : state) {
        device.state->played.clear();
        device.pulled = 0;
        device.clock.invalidate();
        QElapsedTimer t;
        t.start();
        window->cmdSpkText_Click();
        (void)QTest::qWaitFor([&] { return !device.state->played.empty(); }, 10000);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        window->cmdStopText_Click();
        QTest::qWait(20);
    }
}
BENCHMARK(BM_SpeakClickToFirstSample)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SpeakingWithLevelDisplay(benchmark::State &state)
{
    RealTimeDevice device;
    auto window = MakeWindow(&device);
    window->show();
    window->RichTextBox1()->SetText(BenchText(2000));
    for (auto _ : state) {
        window->cmdSpkText_Click();
        QTest::qWait(300);
        const int rendersBefore = window->Picture1()->RenderCount();
        const double cpuBefore = ThreadCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(3000);
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        state.counters["gui_cpu_percent"] = (ThreadCpuSeconds() - cpuBefore) / seconds * 100;
        state.counters["display_fps"] = (window->Picture1()->RenderCount() - rendersBefore) / seconds;
        window->cmdStopText_Click();
    }
}
BENCHMARK(BM_SpeakingWithLevelDisplay)->Unit(benchmark::kSecond)->Iterations(1);

void BM_ResidentMemory(benchmark::State &state)
{
    RealTimeDevice device;
    auto window = MakeWindow(&device);
    window->show();
    QTest::qWait(200);
    const double idle = ResidentMiB();
    window->RichTextBox1()->SetText(BenchText(10000));
    double speaking = 0;
    for (auto _ : state) {
        window->cmdSpkText_Click();
        QTest::qWait(2000);
        speaking = std::max(speaking, ResidentMiB());
        window->cmdStopText_Click();
    }
    state.counters["idle_MiB"] = idle;
    state.counters["speaking_10000_words_MiB"] = speaking;
}
BENCHMARK(BM_ResidentMemory)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    studio::FontSubstitutes::Install();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
