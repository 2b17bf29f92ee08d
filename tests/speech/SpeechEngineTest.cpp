// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeAudioDevice.h"
#include "SpeechTestSupport.h"

#include "platform/services/EventLog.h"
#include "speech/SpeechBackend.h"
#include "speech/SpeechEngine.h"
#include "speech/SpeechStatus.h"
#include "speech/SpeechStrings.h"
#include "speech/VoiceCatalogue.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <sndfile.h>

using namespace speech;

namespace {

const QString kShortText = QStringLiteral("The quick brown fox jumps over the lazy dog. It was not amused.");

// Installs a recording event log for the test's lifetime.
struct EventLogScope {
    services::RecordingEventLog log;
    EventLogScope() { services::EventLog::SetCurrent(&log); }
    ~EventLogScope() { services::EventLog::SetCurrent(nullptr); }
    bool HasError() const
    {
        for (const auto &e : log.entries) {
            if (e.type == services::EVENTLOG_ERROR_TYPE)
                return true;
        }
        return false;
    }
};

class SpeechEngineTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeAudioDevice::State> device = std::make_shared<FakeAudioDevice::State>();
    std::atomic<qint64> progressDone{0};
    std::atomic<qint64> progressTotal{-1};
    QTemporaryDir dir;
    EventLogScope events;

    std::unique_ptr<SpeechEngine> MakeEngine(std::shared_ptr<const VoiceCatalogue> catalogue = nullptr)
    {
        SpeechEngine::Environment env;
        env.catalogue = catalogue;
        env.audioDevice = FakeAudioDevice::Factory(device);
        env.progress = [this](qint64 done, qint64 total) {
            progressDone = done;
            progressTotal = total;
        };
        return std::make_unique<SpeechEngine>(env);
    }

    // Plays like a device would until the engine reports the end of output.
    bool PlayToEnd(QSignalSpy &stopped, int expected = 1)
    {
        return QTest::qWaitFor(
            [&] {
                device->Pull();
                return stopped.count() >= expected;
            },
            30000);
    }
};

// A backend that produces a little sound and then fails, like a synthesiser running out of memory.
class FailingBackend : public SpeechBackend {
public:
    QString Name() const override { return QStringLiteral("failing"); }
    std::vector<BackendVoice> Voices() const override { return {Voice()}; }
    static BackendVoice Voice()
    {
        BackendVoice v;
        v.id = QStringLiteral("broken");
        v.name = v.id;
        v.language = QStringLiteral("en");
        v.speed = {40, 400};
        v.pitch = {60, 350};
        return v;
    }
    bool Synthesize(const QString &, const QString &, const Prosody &, const PcmSink &sink, QString *error) override
    {
        std::vector<std::int16_t> noise(1600, 1000);
        sink(noise.data(), noise.size());
        *error = QStringLiteral("synthesiser broke down");
        return false;
    }
};

// A backend whose samples count up across all it ever produced (200 per character), so any sample
// lost, repeated or reordered on the way to the device shows.
class CountingBackend : public SpeechBackend {
public:
    QString Name() const override { return QStringLiteral("counting"); }
    std::vector<BackendVoice> Voices() const override { return {FailingBackend::Voice()}; }
    bool Synthesize(const QString &, const QString &text, const Prosody &, const PcmSink &sink, QString *) override
    {
        for (qsizetype c = 0; c < text.size(); ++c) {
            std::int16_t chunk[200];
            for (std::int16_t &s : chunk)
                s = static_cast<std::int16_t>(next_++ % 30000);
            if (!sink(chunk, 200))
                return true;
        }
        return true;
    }

private:
    int next_ = 0;
};

std::shared_ptr<const VoiceCatalogue> CountingCatalogue()
{
    VoiceMode mode{QStringLiteral("Counter"), FailingBackend::Voice(), std::make_shared<CountingBackend>()};
    return std::make_shared<VoiceCatalogue>(std::vector<VoiceMode>{mode});
}

bool CountsUpFromZero(const std::vector<std::int16_t> &played, std::size_t expectedSize)
{
    if (played.size() != expectedSize)
        return false;
    for (std::size_t i = 0; i < played.size(); ++i) {
        if (played[i] != static_cast<std::int16_t>(i % 30000))
            return false;
    }
    return true;
}

} // namespace

TEST_F(SpeechEngineTest, rejectsModesThatNameNoVoiceAndSettingsTheVoiceDoesNotTake)
{
    auto engine = MakeEngine();
    const int count = engine->GetModeCount();
    ASSERT_GE(count, 3);
    EXPECT_EQ(engine->GetModeSpeaker(1), SpeechStrings::FemaleSpeaker);
    EXPECT_EQ(engine->GetLastStatus(), S_OK);
    EXPECT_TRUE(engine->GetModeSpeaker(0).isEmpty());
    EXPECT_EQ(engine->GetLastStatus(), E_UNEXPECTED);

    for (int bad : {0, -1, count + 1}) {
        engine->SelectVoiceMode(1);
        engine->SelectVoiceMode(bad);
        EXPECT_EQ(engine->GetLastStatus(), E_UNEXPECTED) << "mode " << bad;
    }
    engine->SelectVoiceMode(1);
    EXPECT_EQ(engine->GetLastStatus(), S_OK);
    for (int speed : {50, 150, 270}) {
        engine->SetSpeed(speed);
        EXPECT_EQ(engine->GetLastStatus(), S_OK) << speed << " wpm";
    }
    for (int pitch : {90, 170, 300}) {
        engine->SetPitch(pitch);
        EXPECT_EQ(engine->GetLastStatus(), S_OK) << pitch << " Hz";
    }
    for (int speed : {0, -150, 39, 401, 5000}) {
        engine->SetSpeed(speed);
        EXPECT_EQ(engine->GetLastStatus(), E_UNEXPECTED) << speed << " wpm";
    }
    engine->SetSpeed(150);
    for (int pitch : {0, 59, 351, 1000}) {
        engine->SetPitch(pitch);
        EXPECT_EQ(engine->GetLastStatus(), E_UNEXPECTED) << pitch << " Hz";
    }
    engine->SetPitch(170);
    EXPECT_EQ(engine->GetLastStatus(), S_OK);
}

TEST_F(SpeechEngineTest, speakingWithRejectedSettingsReportsItYetEndsItsOutput)
{
    auto engine = MakeEngine();
    QSignalSpy stopped(engine.get(), &SpeechEngine::OutputStopped);
    engine->SelectVoiceMode(1);
    engine->SetSpeed(900);
    engine->Speak(QStringLiteral("Hello."));
    EXPECT_EQ(engine->GetLastStatus(), E_UNEXPECTED);
    EXPECT_TRUE(PlayToEnd(stopped));

    // No voice at all: nothing is spoken, the caller is told, and the output still "ends".
    engine->SelectVoiceMode(0);
    engine->Speak(QStringLiteral("Hello."));
    EXPECT_EQ(engine->GetLastStatus(), E_UNEXPECTED);
    EXPECT_TRUE(events.HasError());
    EXPECT_TRUE(QTest::qWaitFor([&] { return stopped.count() == 2; }, 5000));
}

TEST_F(SpeechEngineTest, pauseHoldsThePlayPositionAndResumeGoesOnWithoutGapOrRepeat)
{
    auto engine = MakeEngine(CountingCatalogue());
    QSignalSpy stopped(engine.get(), &SpeechEngine::OutputStopped);
    engine->Speak(kShortText);
    ASSERT_EQ(engine->GetLastStatus(), S_OK);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        device->Pull(1600);
        return device->played.size() >= 8000;
    }, 10000));

    engine->PauseAudio();
    EXPECT_EQ(engine->GetLastStatus(), S_OK);
    EXPECT_TRUE(device->suspended);
    const std::size_t position = device->played.size();
    // Let synthesis run to the end of the text while paused: the device takes nothing meanwhile
    // and no end of output is reported.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        device->Pull();
        return progressDone == progressTotal;
    }, 10000));
    for (int i = 0; i < 20; ++i) {
        device->Pull();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(device->played.size(), position);
    EXPECT_EQ(stopped.count(), 0);

    engine->ResumeAudio();
    EXPECT_FALSE(device->suspended);
    ASSERT_TRUE(PlayToEnd(stopped));
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_TRUE(CountsUpFromZero(device->played, 200u * kShortText.size()))
        << "played " << device->played.size() << " samples";
}

TEST_F(SpeechEngineTest, stopDiscardsTheRestAndRaisesExactlyOneQueuedOutputStopped)
{
    auto engine = MakeEngine();
    QSignalSpy stopped(engine.get(), &SpeechEngine::OutputStopped);
    QString longText;
    for (int i = 0; i < 200; ++i)
        longText += kShortText + QLatin1Char(' ');
    engine->Speak(longText);
    ASSERT_TRUE(QTest::qWaitFor([&] { return device->Pull() > 0; }, 10000));
    engine->StopAudio();
    EXPECT_EQ(engine->GetLastStatus(), S_OK);
    EXPECT_EQ(stopped.count(), 0) << "raised inside StopAudio instead of after it returned";
    EXPECT_EQ(device->source, nullptr) << "the device must stop at once";
    EXPECT_TRUE(QTest::qWaitFor([&] { return stopped.count() == 1; }, 5000));
    EXPECT_LT(progressDone, progressTotal) << "synthesis ran on after the stop";

    // Stopping again when nothing plays raises nothing; the next text ends with exactly one more.
    engine->StopAudio();
    engine->Speak(QStringLiteral("Again."));
    ASSERT_TRUE(PlayToEnd(stopped, 2));
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(stopped.count(), 2);
}

TEST_F(SpeechEngineTest, speakWhileSpeakingQueuesTheNewTextAfterTheCurrentOne)
{
    const QString first = QStringLiteral("First sentence here.");
    const QString second = QStringLiteral("And then the second one.");
    auto engine = MakeEngine(CountingCatalogue());
    QSignalSpy stopped(engine.get(), &SpeechEngine::OutputStopped);
    engine->Speak(first);
    engine->Speak(second);
    EXPECT_EQ(engine->GetLastStatus(), S_OK);
    ASSERT_TRUE(PlayToEnd(stopped));
    EXPECT_EQ(stopped.count(), 1) << "one end of output for the whole queue";
    EXPECT_TRUE(CountsUpFromZero(device->played, 200u * (first.size() + second.size())))
        << "played " << device->played.size() << " samples";
}

TEST_F(SpeechEngineTest, recordsIntoWavFlacAndOggThatReadBack)
{
    auto engine = MakeEngine();
    QSignalSpy stopped(engine.get(), &SpeechEngine::OutputStopped);
    const struct {
        const char *name;
        int major;
    } files[] = {{"speech.wav", SF_FORMAT_WAV}, {"speech.flac", SF_FORMAT_FLAC}, {"speech.ogg", SF_FORMAT_OGG}};
    int expectedStops = 0;
    for (const auto &f : files) {
        const QString path = dir.filePath(QLatin1String(f.name));
        engine->SetOutputWaveFile(path);
        engine->Speak(kShortText);
        ASSERT_EQ(engine->GetLastStatus(), S_OK);
        ASSERT_TRUE(QTest::qWaitFor([&] { return stopped.count() == expectedStops + 1; }, 20000));
        ++expectedStops;
        EXPECT_EQ(engine->GetLastStatus(), S_OK);
        const SoundFile sound = SoundFile::Read(path);
        ASSERT_TRUE(sound.ok) << f.name;
        EXPECT_EQ(sound.format & SF_FORMAT_TYPEMASK, f.major) << f.name;
        EXPECT_EQ(sound.sampleRate, 16000) << f.name;
        EXPECT_EQ(sound.channels, 1) << f.name;
        EXPECT_GT(sound.Seconds(), 2.0) << f.name;
        EXPECT_GT(sound.Rms(), 300) << f.name << " is silent";
    }
    EXPECT_EQ(SoundFile::Read(dir.filePath(QStringLiteral("speech.wav"))).format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
    EXPECT_EQ(device->starts, 0) << "recording must not touch the audio device";

    // An empty path returns to the device.
    engine->SetOutputWaveFile(QString());
    engine->Speak(QStringLiteral("Aloud."));
    ASSERT_TRUE(PlayToEnd(stopped, expectedStops + 1));
    EXPECT_GT(device->played.size(), 1000u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3) << "no temporary files left";
}

TEST_F(SpeechEngineTest, recordingIntoAFolderThatCannotBeWrittenFailsAndLeavesNoFile)
{
    auto engine = MakeEngine();
    QSignalSpy stopped(engine.get(), &SpeechEngine::OutputStopped);
    // Missing folders and folders in the place of files fail the same way for every user, root included.
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/out.wav"));
    const QString folder = dir.filePath(QStringLiteral("a-folder"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("a-folder")));
    for (const QString &path : {missing, folder}) {
        engine->SetOutputWaveFile(path);
        engine->Speak(kShortText);
        EXPECT_EQ(engine->GetLastStatus(), E_ACCESSDENIED) << path.toStdString();
    }
    EXPECT_TRUE(events.HasError());
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_TRUE(QTest::qWaitFor([&] { return stopped.count() == 2; }, 5000));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST_F(SpeechEngineTest, aFailedOrStoppedRecordingLeavesTheExistingFileIntact)
{
    const QString path = dir.filePath(QStringLiteral("precious.wav"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("precious contents");
    }
    auto readBack = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    // Synthesis breaks down half-way.
    VoiceMode broken{QStringLiteral("Broken"), FailingBackend::Voice(), std::make_shared<FailingBackend>()};
    auto failing = MakeEngine(std::make_shared<VoiceCatalogue>(std::vector<VoiceMode>{broken}));
    QSignalSpy failStopped(failing.get(), &SpeechEngine::OutputStopped);
    failing->SetOutputWaveFile(path);
    failing->Speak(kShortText);
    ASSERT_TRUE(QTest::qWaitFor([&] { return failStopped.count() == 1; }, 10000));
    EXPECT_EQ(failing->GetLastStatus(), STG_E_CANTSAVE) << "a failed recording must not look like success";
    EXPECT_TRUE(events.HasError());
    EXPECT_EQ(readBack(), QByteArray("precious contents"));

    // The user stops a recording.
    auto engine = MakeEngine();
    QSignalSpy stopped(engine.get(), &SpeechEngine::OutputStopped);
    QString longText;
    for (int i = 0; i < 100; ++i)
        longText += kShortText + QLatin1Char(' ');
    engine->SetOutputWaveFile(path);
    engine->Speak(longText);
    ASSERT_TRUE(QTest::qWaitFor([&] { return progressDone > 0; }, 10000));
    engine->StopAudio();
    ASSERT_TRUE(QTest::qWaitFor([&] { return stopped.count() == 1; }, 5000));
    EXPECT_EQ(readBack(), QByteArray("precious contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("precious.wav")});
}

TEST_F(SpeechEngineTest, withoutASoundServerSpeakFailsClearlyAndNothingHangs)
{
    // Point Qt Multimedia at a server that does not exist before anything in this process uses it.
    qputenv("PULSE_SERVER", "unix:/nonexistent/orvena-test/native");
    SpeechEngine engine; // the real audio output
    QSignalSpy stopped(&engine, &SpeechEngine::OutputStopped);
    engine.SelectVoiceMode(1);
    engine.Speak(kShortText);
    EXPECT_EQ(engine.GetLastStatus(), AUDCLNT_E_DEVICE_INVALIDATED);
    ASSERT_TRUE(events.HasError());
    EXPECT_TRUE(events.log.entries.back().text.contains(QStringLiteral("audio")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return stopped.count() == 1; }, 5000));

    // Recording needs no device and still works.
    const QString path = dir.filePath(QStringLiteral("offline.wav"));
    engine.SetOutputWaveFile(path);
    engine.Speak(QStringLiteral("Recorded without a sound server."));
    EXPECT_EQ(engine.GetLastStatus(), S_OK);
    EXPECT_TRUE(QTest::qWaitFor([&] { return stopped.count() == 2; }, 20000));
    EXPECT_GT(SoundFile::Read(path).Rms(), 300);
}
