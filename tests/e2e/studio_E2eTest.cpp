// SPDX-License-Identifier: GPL-3.0-or-later
// The studio program on the desktop: typed text spoken into the sound server, a recording read
// back with libsndfile, the refusal of a second start, and screenshots of Idle, Speaking and
// Paused kept under <build>/artefacts.
#include "E2eSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sndfile.h>

namespace
{

const QString kStudio = QStringLiteral(ORVENA_BINARY_DIR "/bin/orvena-studio");
const QString kSpeak = QStringLiteral(ORVENA_BINARY_DIR "/bin/orvena-speak");
const QString kArtefacts = QStringLiteral(ORVENA_BINARY_DIR "/artefacts");
const QString kText = QStringLiteral("Good evening. The studio reads this text aloud.");

// Centres of the controls in window pixels at 96 dots per inch (twips / 15).
const QPoint kEditor(500, 250);
const QPoint kSpeakButton(103, 195);
const QPoint kPauseButton(211, 173);
const QPoint kStopButton(217, 197);
const QPoint kRecordButton(107, 257);
const QPoint kFileBox(164, 281);

QString Xdo(const QStringList &args, int timeoutMs = 20000)
{
    const e2e::CommandResult r = e2e::Run(QStringLiteral("xdotool"), args, timeoutMs);
    return QString::fromLocal8Bit(r.out).trimmed();
}

QString WindowOf(qint64 pid)
{
    QString id;
    (void)QTest::qWaitFor(
        [&] {
            id = Xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                      QString::number(pid)},
                     5000)
                     .section(QLatin1Char('\n'), -1);
            return !id.isEmpty();
        },
        20000);
    return id;
}

void Click(const QString &window, QPoint at)
{
    Xdo({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(at.x()),
         QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
}

void Shot(const QString &window, const QString &name)
{
    QDir().mkpath(kArtefacts);
    e2e::Run(QStringLiteral("import"),
             {QStringLiteral("-window"), window, kArtefacts + QLatin1Char('/') + name});
}

double WaveSeconds(const QString &path)
{
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f)
        return 0;
    sf_close(f);
    return info.samplerate > 0 ? double(info.frames) / info.samplerate : 0;
}

// The program draws on the X server whatever platform this test process was given.
QProcessEnvironment DesktopEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return env;
}

class StudioEndToEnd : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!e2e::HaveDesktop())
            GTEST_SKIP() << "needs the desktop of scripts/with-desktop";
        studio.setProcessEnvironment(DesktopEnvironment());
        studio.start(kStudio, {});
        ASSERT_TRUE(studio.waitForStarted());
        window = WindowOf(studio.processId());
        ASSERT_FALSE(window.isEmpty()) << "the studio window did not appear";
        QTest::qWait(300); // first paint
    }
    void TearDown() override
    {
        if (studio.state() != QProcess::NotRunning) {
            studio.kill();
            studio.waitForFinished();
        }
    }
    void TypeText(const QString &text)
    {
        Click(window, kEditor);
        Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("2"), text});
    }

    QProcess studio;
    QString window;
};

TEST_F(StudioEndToEnd, speaksTypedTextIntoTheSoundServerAndClosesFromItsButton)
{
    QTemporaryDir dir;
    const QString reference = dir.filePath(QStringLiteral("reference.wav"));
    ASSERT_EQ(e2e::Run(kSpeak, {QStringLiteral("--voice"), QStringLiteral("Mary"), QStringLiteral("--output"),
                                reference, QStringLiteral("--text"), kText})
                  .exitCode,
              0);
    const double expected = WaveSeconds(reference);
    ASSERT_GT(expected, 1.0);

    Shot(window, QStringLiteral("studio-idle.png"));
    TypeText(kText);
    e2e::SinkCapture capture;
    ASSERT_TRUE(capture.Start());
    Click(window, kSpeakButton);
    QTest::qWait(static_cast<int>(expected * 1000) + 2500);
    const std::vector<short> heard = capture.Stop();
    EXPECT_GT(e2e::Rms(heard), 300) << "the sink heard silence";
    const double audible = e2e::AudibleSeconds(heard);
    EXPECT_GT(audible, expected * 0.8) << "heard " << audible << " s of " << expected << " s";
    EXPECT_LT(audible, expected * 1.3) << "heard " << audible << " s of " << expected << " s";

    // The skinned close button ends the program.
    Click(window, QPoint(778, 10));
    EXPECT_TRUE(studio.waitForFinished(15000));
    EXPECT_EQ(studio.exitCode(), 0);
}

TEST_F(StudioEndToEnd, screenshotsOfSpeakingAndPaused)
{
    TypeText(QStringLiteral("A longer text, so that there is time to look at the window while it speaks. ")
                 .repeated(4));
    Click(window, kSpeakButton);
    QTest::qWait(700);
    Shot(window, QStringLiteral("studio-speaking.png"));
    Click(window, kPauseButton);
    QTest::qWait(300);
    Shot(window, QStringLiteral("studio-paused.png"));
    Click(window, kStopButton);
    EXPECT_TRUE(QFile::exists(kArtefacts + QStringLiteral("/studio-speaking.png")));
    EXPECT_TRUE(QFile::exists(kArtefacts + QStringLiteral("/studio-paused.png")));
}

TEST_F(StudioEndToEnd, recordsIntoAWaveFile)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("studio.wav"));
    TypeText(kText);
    Click(window, kFileBox);
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("2"), wav});
    Click(window, kRecordButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return WaveSeconds(wav) > 1.0; }, 60000)) << "no readable recording";
}

TEST_F(StudioEndToEnd, secondStartIsRefused)
{
    QProcess second;
    second.setProcessEnvironment(DesktopEnvironment());
    second.start(kStudio, {});
    ASSERT_TRUE(second.waitForStarted());
    const QString box = WindowOf(second.processId());
    ASSERT_FALSE(box.isEmpty()) << "the second start showed nothing";
    Shot(box, QStringLiteral("studio-already-running.png"));
    // It waits for the message to be acknowledged, then ends.
    EXPECT_FALSE(second.waitForFinished(500));
    Xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), box});
    Xdo({QStringLiteral("key"), QStringLiteral("Return")});
    EXPECT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(studio.state(), QProcess::Running);
}

} // namespace
