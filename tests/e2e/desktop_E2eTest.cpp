// SPDX-License-Identifier: GPL-3.0-or-later
// The studio as a desktop citizen, end to end: files on its command line and handed over by later
// starts, media keys through a real MPRIS client (playerctl) on a private session bus, and the
// notification of a long recording as dbus-monitor sees it on that bus.
#include "E2eSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

const QString kStudio = QStringLiteral(ORVENA_BINARY_DIR "/bin/orvena-studio");

// Window pixels of the controls at 96 dots per inch (twips / 15).
const QPoint kEditor(500, 250);
const QPoint kRecordButton(107, 257);
const QPoint kFileBox(164, 281);

QString Xdo(const QStringList &args, int timeoutMs = 20000)
{
    return QString::fromLocal8Bit(e2e::Run(QStringLiteral("xdotool"), args, timeoutMs).out).trimmed();
}

QStringList WindowsOf(qint64 pid)
{
    return Xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                QString::number(pid)},
               5000)
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// A private session bus for the test (what dbus-run-session gives a command), ended with it.
class SessionBus
{
  public:
    SessionBus()
    {
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                       QStringLiteral("--print-address=1")});
        if (!daemon_.waitForStarted(5000))
            return;
        (void)QTest::qWaitFor([this] { return daemon_.canReadLine(); }, 5000);
        address_ = QString::fromLatin1(daemon_.readLine()).trimmed();
    }
    ~SessionBus()
    {
        daemon_.terminate();
        if (!daemon_.waitForFinished(3000)) {
            daemon_.kill();
            daemon_.waitForFinished(2000);
        }
    }
    QString Address() const { return address_; }

  private:
    QProcess daemon_;
    QString address_;
};

// A program that keeps running beside the test, with its output collected.
struct Watcher {
    QProcess process;
    QByteArray out;
    bool Start(const QString &program, const QStringList &args)
    {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, args);
        return process.waitForStarted(5000);
    }
    bool Saw(const QByteArray &text, int timeoutMs)
    {
        return QTest::qWaitFor(
            [&] {
                out += process.readAll();
                return out.contains(text);
            },
            timeoutMs);
    }
    ~Watcher()
    {
        process.kill();
        process.waitForFinished(2000);
    }
};

class DesktopCitizen : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!e2e::HaveDesktop())
            GTEST_SKIP() << "needs the desktop of scripts/with-desktop";
        bus = std::make_unique<SessionBus>();
        ASSERT_FALSE(bus->Address().isEmpty()) << "dbus-daemon did not start";
        // Every program the test starts (the studio, playerctl, dbus-monitor) meets on this bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus->Address().toLocal8Bit());
        env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    }
    void TearDown() override
    {
        if (studio.state() != QProcess::NotRunning) {
            studio.kill();
            studio.waitForFinished();
        }
        bus.reset();
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    }

    QString WriteText(const char *name, const QString &text)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        return path;
    }

    void StartStudio(const QStringList &args)
    {
        studio.setProcessEnvironment(env);
        studio.start(kStudio, args);
        ASSERT_TRUE(studio.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !(window = WindowsOf(studio.processId()).value(0)).isEmpty(); }, 20000))
            << "the studio window did not appear; running: " << (studio.state() == QProcess::Running)
            << "; said: " << studio.readAllStandardError().toStdString();
        // On the bus once the event loop runs.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Player(QStringLiteral("status")).isEmpty(); }, 10000))
            << "the studio is not on the session bus";
        QTest::qWait(300); // first paint, before any typing
    }

    // A later start of the program; returns its result once it has ended.
    e2e::CommandResult StartAgain(const QStringList &args)
    {
        QProcess later;
        later.setProcessEnvironment(env);
        later.start(kStudio, args);
        e2e::CommandResult r;
        if (!later.waitForStarted(5000))
            return r;
        r.finished = later.waitForFinished(15000);
        r.exitCode = later.exitCode();
        r.err = later.readAllStandardError();
        if (!r.finished)
            later.kill();
        return r;
    }

    QString Player(const QString &command, const QStringList &more = {})
    {
        const e2e::CommandResult r =
            e2e::Run(QStringLiteral("playerctl"),
                     QStringList{QStringLiteral("--player=orvena_studio"), command} + more, 10000);
        return QString::fromUtf8(r.out).trimmed();
    }
    std::string Title()
    {
        return Player(QStringLiteral("metadata"), {QStringLiteral("xesam:title")}).toStdString();
    }
    bool StatusBecomes(const QString &status)
    {
        return QTest::qWaitFor([&] { return Player(QStringLiteral("status")) == status; }, 10000);
    }

    void Click(QPoint at)
    {
        Xdo({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(at.x()),
             QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
    }
    void Type(const QString &text)
    {
        Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("2"), text});
    }

    // The studio's message box: its second visible window.
    QString MessageBoxWindow()
    {
        QString box;
        (void)QTest::qWaitFor(
            [&] {
                for (const QString &w : WindowsOf(studio.processId()))
                    if (w != window)
                        box = w;
                return !box.isEmpty();
            },
            15000);
        return box;
    }
    void Answer(const QString &box, const char *key)
    {
        Xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), box});
        Xdo({QStringLiteral("key"), QString::fromLatin1(key)});
    }

    std::unique_ptr<SessionBus> bus;
    QProcessEnvironment env;
    QTemporaryDir dir;
    QProcess studio;
    QString window;
};

TEST_F(DesktopCitizen, fileArgumentOpensAndLaterStartsHandTheirFilesOver)
{
    StartStudio({WriteText("alpha.txt", QStringLiteral("Alpha document, first of two. It is read aloud."))});
    EXPECT_EQ(Player(QStringLiteral("status")).toStdString(), "Stopped");
    EXPECT_EQ(Title(), "") << "nothing spoken yet";
    Player(QStringLiteral("play"));
    ASSERT_TRUE(StatusBecomes(QStringLiteral("Playing")));
    EXPECT_EQ(Title(), "Alpha document, first of two. It is read\u2026");
    Player(QStringLiteral("stop"));
    ASSERT_TRUE(StatusBecomes(QStringLiteral("Stopped")));

    // A later start with a file gives it to the running studio and ends at once, quietly; the
    // opened document is replaced without a question.
    const e2e::CommandResult later = StartAgain({WriteText("bravo.txt", QStringLiteral("Bravo document.")),
                                                 WriteText("charlie.txt", QStringLiteral("Charlie."))});
    ASSERT_TRUE(later.finished) << "the later start did not end";
    EXPECT_EQ(later.exitCode, 0);
    EXPECT_TRUE(later.err.contains("not opened: " + dir.filePath(QStringLiteral("charlie.txt")).toUtf8()))
        << later.err.toStdString();
    EXPECT_EQ(WindowsOf(studio.processId()).size(), 1) << "a question was asked";
    QTest::qWait(500);
    Player(QStringLiteral("play"));
    ASSERT_TRUE(StatusBecomes(QStringLiteral("Playing")));
    EXPECT_EQ(Title(), "Bravo document.");
    EXPECT_EQ(studio.state(), QProcess::Running);
}

TEST_F(DesktopCitizen, typedTextIsReplacedOnlyWhenTheUserSaysOk)
{
    StartStudio({});
    Click(kEditor);
    Type(QStringLiteral("Typed by hand"));
    const QString file = WriteText("delta.txt", QStringLiteral("Delta document."));

    ASSERT_TRUE(StartAgain({file}).finished);
    const QString question = MessageBoxWindow();
    ASSERT_FALSE(question.isEmpty()) << "no question about the typed text";
    Answer(question, "Escape");
    ASSERT_TRUE(QTest::qWaitFor([&] { return WindowsOf(studio.processId()).size() == 1; }, 10000));
    Player(QStringLiteral("play"));
    ASSERT_TRUE(StatusBecomes(QStringLiteral("Playing")));
    EXPECT_EQ(Title(), "Typed by hand");
    Player(QStringLiteral("stop"));
    ASSERT_TRUE(StatusBecomes(QStringLiteral("Stopped")));

    ASSERT_TRUE(StartAgain({file}).finished);
    const QString again = MessageBoxWindow();
    ASSERT_FALSE(again.isEmpty());
    Answer(again, "Return");
    ASSERT_TRUE(QTest::qWaitFor([&] { return WindowsOf(studio.processId()).size() == 1; }, 10000));
    Player(QStringLiteral("play"));
    ASSERT_TRUE(StatusBecomes(QStringLiteral("Playing")));
    EXPECT_EQ(Title(), "Delta document.");
}

TEST_F(DesktopCitizen, mediaKeysSpeakPauseResumeAndStopWithEveryChangeAnnounced)
{
    Watcher monitor;
    ASSERT_TRUE(monitor.Start(QStringLiteral("dbus-monitor"),
                              {QStringLiteral("--session"),
                               QStringLiteral("type='signal',interface='org.freedesktop.DBus.Properties',"
                                              "member='PropertiesChanged',path='/org/mpris/MediaPlayer2'")}));
    StartStudio({WriteText("echo.txt",
                           QStringLiteral("Echo is a longer document for the media keys. ").repeated(12))});

    e2e::SinkCapture speaking;
    ASSERT_TRUE(speaking.Start());
    Player(QStringLiteral("play-pause"));
    ASSERT_TRUE(StatusBecomes(QStringLiteral("Playing")));
    QTest::qWait(2000);
    EXPECT_GT(e2e::Rms(speaking.Stop()), 300) << "PlayPause did not speak";

    Player(QStringLiteral("pause"));
    ASSERT_TRUE(StatusBecomes(QStringLiteral("Paused")));
    QTest::qWait(300);
    e2e::SinkCapture paused;
    ASSERT_TRUE(paused.Start());
    QTest::qWait(1500);
    EXPECT_LT(e2e::Rms(paused.Stop()), 30) << "sound while paused";

    Player(QStringLiteral("play"));
    ASSERT_TRUE(StatusBecomes(QStringLiteral("Playing")));
    e2e::SinkCapture resumed;
    ASSERT_TRUE(resumed.Start());
    QTest::qWait(1000);
    EXPECT_GT(e2e::Rms(resumed.Stop()), 300) << "Play did not resume";
    EXPECT_EQ(Title(), "Echo is a longer document for the media\u2026");

    Player(QStringLiteral("stop"));
    ASSERT_TRUE(StatusBecomes(QStringLiteral("Stopped")));
    EXPECT_TRUE(monitor.Saw("string \"Stopped\"", 5000));
    for (const char *seen : {"string \"PlaybackStatus\"", "string \"Playing\"", "string \"Paused\"",
                             "string \"xesam:title\"", "string \"CanPause\""})
        EXPECT_TRUE(monitor.out.contains(seen)) << seen << " was never announced:\n"
                                                << monitor.out.toStdString();
    EXPECT_TRUE(Player(QStringLiteral("metadata"), {QStringLiteral("mpris:trackid")})
                    .contains(QStringLiteral("/org/orvena/studio/speech/1")));
}

TEST_F(DesktopCitizen, longRecordingEndingBehindAnotherWindowIsNotified)
{
    Watcher monitor;
    ASSERT_TRUE(monitor.Start(QStringLiteral("dbus-monitor"),
                              {QStringLiteral("--session"),
                               QStringLiteral("interface='org.freedesktop.Notifications',member='Notify'")}));
    // Long enough that writing it takes well over ten seconds.
    StartStudio(
        {WriteText("long.txt", QStringLiteral("This sentence is part of a long recording that runs for a "
                                              "while, so the user works in another window. ")
                                   .repeated(220))});
    const QString wav = dir.filePath(QStringLiteral("long.wav"));
    // A slow start (a sanitizer build) can still be laying out the document when the first clicks
    // arrive; the title says when the recording really runs, and the name is typed again if not.
    QElapsedTimer recording;
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        Click(kFileBox);
        Xdo({QStringLiteral("key"), QStringLiteral("ctrl+a")});
        Type(wav);
        Click(kRecordButton);
        recording.start();
        started = QTest::qWaitFor(
            [&] {
                return Xdo({QStringLiteral("getwindowname"), window}).contains(QStringLiteral("recording"));
            },
            15000);
    }
    ASSERT_TRUE(started) << "the recording did not start";

    // Another window takes the focus while the studio records.
    Watcher other;
    ASSERT_TRUE(other.Start(QStringLiteral("xmessage"), {QStringLiteral("Working elsewhere")}));
    QString otherWindow;
    // xmessage does not say its pid: found by its class.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            otherWindow = Xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                               QStringLiteral("--classname"), QStringLiteral("xmessage")},
                              5000)
                              .section(QLatin1Char('\n'), 0, 0);
            return !otherWindow.isEmpty();
        },
        10000));
    Xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), otherWindow});

    ASSERT_TRUE(monitor.Saw("Recording finished", 240000)) << monitor.out.toStdString();
    EXPECT_GT(recording.elapsed(), 10000) << "the recording was not long: the test proves nothing";
    EXPECT_TRUE(monitor.Saw(wav.toUtf8(), 2000)) << monitor.out.toStdString();
    EXPECT_TRUE(QFile::exists(wav));
    // No notification server runs on this bus: the call goes unanswered, and the studio says nothing.
    QTest::qWait(500);
    const QByteArray said = studio.readAllStandardError();
    EXPECT_FALSE(said.contains("DBus") || said.contains("Notifications")) << said.toStdString();
}

} // namespace
