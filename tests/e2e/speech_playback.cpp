// SPDX-License-Identifier: GPL-3.0-or-later
// orvena-speak plays through the real sound server: what reaches the null sink is speech of the
// length the same text has when recorded.
#include "E2eSupport.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sndfile.h>

namespace {

const QString kTool = QStringLiteral(ORVENA_BINARY_DIR "/bin/orvena-speak");
const QString kText = QStringLiteral("Good evening. This sentence is spoken through the sound server, "
                                     "and the null sink hears every word of it.");

double RecordedSeconds(const QString &path)
{
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f)
        return 0;
    sf_close(f);
    return info.samplerate > 0 ? double(info.frames) / info.samplerate : 0;
}

} // namespace

TEST(SpeechEndToEnd, orvenaSpeakPlaysIntoTheSoundServer)
{
    if (!e2e::HaveDesktop())
        GTEST_SKIP() << "needs the sound server of scripts/with-desktop";
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("reference.wav"));
    const auto recorded = e2e::Run(kTool, {QStringLiteral("--voice"), QStringLiteral("Mike"), QStringLiteral("--output"), wav,
                                           QStringLiteral("--text"), kText});
    ASSERT_TRUE(recorded.finished);
    ASSERT_EQ(recorded.exitCode, 0) << recorded.err.toStdString();
    const double expected = RecordedSeconds(wav);
    ASSERT_GT(expected, 3.0);

    e2e::SinkCapture capture;
    ASSERT_TRUE(capture.Start());
    // Run the tool without blocking this thread, so the capture keeps draining parec meanwhile.
    QProcess tool;
    tool.start(kTool, {QStringLiteral("--voice"), QStringLiteral("Mike"), QStringLiteral("--text"), kText});
    const bool finished = QTest::qWaitFor([&] { return tool.state() == QProcess::NotRunning; }, 60000);
    const std::vector<short> heard = capture.Stop();
    ASSERT_TRUE(finished) << "orvena-speak hung";
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_GT(e2e::Rms(heard), 300) << "the sink heard silence";
    // All of the speech, and no more: the tool must not quit before its sound has played out.
    const double audible = e2e::AudibleSeconds(heard);
    EXPECT_GT(audible, expected * 0.85) << "heard " << audible << " s of " << expected << " s";
    EXPECT_LT(audible, expected * 1.25) << "heard " << audible << " s of " << expected << " s";
}
