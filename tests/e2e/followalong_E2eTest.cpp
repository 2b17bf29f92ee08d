// SPDX-License-Identifier: GPL-3.0-or-later
// Following the reading in the real studio on the desktop: keys pressed with xdotool, the null
// sink listened to with parec, the highlight seen in screenshots taken with import.
#include "E2eSupport.h"

#include "studio/FollowAlong.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <sndfile.h>

namespace
{

const QString kStudio = QStringLiteral(ORVENA_BINARY_DIR "/bin/orvena-studio");
const QString kSpeak = QStringLiteral(ORVENA_BINARY_DIR "/bin/orvena-speak");
const QString kArtefacts = QStringLiteral(ORVENA_BINARY_DIR "/artefacts");
// The editor in window pixels (its twips / 15), a little inside its border.
const QRect kEditorRect(312, 96, 433, 325);
const QPoint kEditor(500, 250);

QString Xdo(const QStringList &args, int timeoutMs = 20000)
{
    return QString::fromLocal8Bit(e2e::Run(QStringLiteral("xdotool"), args, timeoutMs).out).trimmed();
}

QImage Shot(const QString &window, const QString &name)
{
    QDir().mkpath(kArtefacts);
    const QString path = kArtefacts + QLatin1Char('/') + name;
    QFile::remove(path);
    e2e::Run(QStringLiteral("import"), {QStringLiteral("-window"), window, path});
    return QImage(path).convertToFormat(QImage::Format_RGB32).copy(kEditorRect);
}

QColor Background(const QImage &editor)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < editor.height(); y += 3)
        for (int x = 0; x < editor.width(); x += 3)
            ++counts[editor.pixel(x, y)];
    QRgb best = 0;
    int most = -1;
    for (const auto &[rgb, n] : counts) {
        if (n > most) {
            most = n;
            best = rgb;
        }
    }
    return QColor(best);
}

// The box of the pixels painted in `colour` (the highlight, where no glyph covers it).
QRect PixelsOf(const QImage &image, const QColor &colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c(image.pixel(x, y));
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <=
                12)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

int DifferentPixels(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return n;
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

class FollowAlongEndToEnd : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!e2e::HaveDesktop())
            GTEST_SKIP() << "needs the desktop of scripts/with-desktop";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        studio.setProcessEnvironment(env);
        studio.start(kStudio, {});
        ASSERT_TRUE(studio.waitForStarted());
        (void)QTest::qWaitFor(
            [&] {
                window = Xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--pid"), QString::number(studio.processId())},
                             5000)
                             .section(QLatin1Char('\n'), -1);
                return !window.isEmpty();
            },
            20000);
        ASSERT_FALSE(window.isEmpty()) << "the studio window did not appear";
        QTest::qWait(300);
    }
    void TearDown() override
    {
        if (studio.state() != QProcess::NotRunning) {
            studio.kill();
            studio.waitForFinished();
        }
    }
    void ClickEditor()
    {
        Xdo({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(kEditor.x()),
             QString::number(kEditor.y()), QStringLiteral("click"), QStringLiteral("1")});
    }
    void Key(const QString &keys) { Xdo({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys}); }
    // What the sink hears over `ms` milliseconds.
    std::vector<short> Listen(int ms)
    {
        e2e::SinkCapture capture;
        if (!capture.Start())
            return {};
        QTest::qWait(ms);
        return capture.Stop();
    }

    QProcess studio;
    QString window;
};

} // namespace

TEST_F(FollowAlongEndToEnd, f5SpeaksWithAMovingHighlightF6PausesAndResumesF7StopsAndTheEditorLooksAsBefore)
{
    ClickEditor();
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("2"),
         QStringLiteral(
             "The studio reads this text aloud, one word after the other, and marks each word as it "
             "is heard. There is plenty here to read, so the reading goes on for a good while.")});
    Key(QStringLiteral("ctrl+Home"));
    QTest::qWait(700); // past a caret blink, so the before picture is a steady one
    const QImage before = Shot(window, QStringLiteral("follow-before.png"));
    const QColor highlight = studio::FollowAlong::ColoursFor(Background(before)).word;

    e2e::SinkCapture capture;
    ASSERT_TRUE(capture.Start());
    Key(QStringLiteral("F5"));
    QTest::qWait(1500);
    const QRect first = PixelsOf(Shot(window, QStringLiteral("follow-word-1.png")), highlight);
    QTest::qWait(1000);
    const QRect second = PixelsOf(Shot(window, QStringLiteral("follow-word-2.png")), highlight);
    EXPECT_GT(e2e::Rms(capture.Stop()), 300) << "the sink heard no speech";
    ASSERT_FALSE(first.isEmpty()) << "no highlighted word in the first screenshot";
    ASSERT_FALSE(second.isEmpty()) << "no highlighted word in the second screenshot";
    EXPECT_NE(first, second) << "the highlight did not move on";

    Key(QStringLiteral("F6"));
    QTest::qWait(400);
    EXPECT_LT(e2e::Rms(Listen(1000)), 50) << "F6 did not silence the speech";
    Key(QStringLiteral("F6"));
    EXPECT_GT(e2e::Rms(Listen(1000)), 300) << "F6 did not resume the speech";
    Key(QStringLiteral("F7"));
    QTest::qWait(400);
    EXPECT_LT(e2e::Rms(Listen(1000)), 50) << "F7 did not silence the speech";
    QTest::qWait(700);
    const QImage after = Shot(window, QStringLiteral("follow-after.png"));
    // The caret may blink in one picture and not the other: a caret's worth of pixels is allowed.
    EXPECT_LE(DifferentPixels(before, after), 40) << "the editor does not look as before speaking";
}

TEST_F(FollowAlongEndToEnd, shiftF5WithTheCaretOnTheLastLineSpeaksOnlyThatLine)
{
    const QString last = QStringLiteral("Only this last line is read.");
    QTemporaryDir dir;
    const QString reference = dir.filePath(QStringLiteral("last.wav"));
    ASSERT_EQ(e2e::Run(kSpeak, {QStringLiteral("--voice"), QStringLiteral("Mary"), QStringLiteral("--output"),
                                reference, QStringLiteral("--text"), last})
                  .exitCode,
              0);
    const double expected = WaveSeconds(reference);
    ASSERT_GT(expected, 0.8);

    ClickEditor();
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("2"),
         QStringLiteral(
             "A first line that is long enough to be heard if it were read, which it must not be.")});
    Key(QStringLiteral("Return"));
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("2"), last});
    Key(QStringLiteral("Home"));

    e2e::SinkCapture capture;
    ASSERT_TRUE(capture.Start());
    Key(QStringLiteral("shift+F5"));
    QTest::qWait(static_cast<int>(expected * 1000) + 2500);
    const std::vector<short> heard = capture.Stop();
    EXPECT_GT(e2e::Rms(heard), 300) << "the sink heard silence";
    const double audible = e2e::AudibleSeconds(heard);
    EXPECT_GT(audible, expected * 0.7) << "heard " << audible << " s, the last line alone lasts " << expected;
    EXPECT_LT(audible, expected * 1.3) << "heard " << audible << " s, the last line alone lasts " << expected;
}
