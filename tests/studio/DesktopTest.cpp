// SPDX-License-Identifier: GPL-3.0-or-later
// The studio on the desktop, in-process: files from the command line and from later starts, the
// window as a media player (status, title, play/pause/stop through the real buttons), and the
// notification at the end of a long recording.
#include "bevel/bvlBUTTON.h"
#include "platform/services/MessageBox.h"
#include "platform/services/SingleInstance.h"
#include "speech/VoiceCatalogue.h"
#include "studio/DesktopStrings.h"
#include "studio/FileHandOver.h"
#include "studio/Main.h"
#include "studio/PlayerControl.h"
#include "studio/RecordingNotifier.h"
#include "studio/RichTextBox.h"
#include "studio/StudioStrings.h"
#include "studio/documents/DocumentFile.h"
#include "studio/documents/DocumentStrings.h"
#include "tests/speech/FakeAudioDevice.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace studio;
namespace strings = studio::strings;

namespace
{

const QString kFixtures = QStringLiteral(ORVENA_SOURCE_DIR "/tests/fixtures/documents/");

class DesktopTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        services::MessageBox::SetCurrent(&box);
        Main::Options options;
        options.definition = QStringLiteral(ORVENA_BINARY_DIR "/resources/studio/Main.json");
        options.engine.catalogue = speech::VoiceCatalogue::Installed();
        options.engine.audioDevice = FakeAudioDevice::Factory(device);
        QString error;
        window = Main::Create(options, &error);
        ASSERT_TRUE(window) << error.toStdString();
        window->show();
    }
    void TearDown() override
    {
        window.reset();
        services::MessageBox::SetCurrent(nullptr);
    }

    QString WriteText(const char *name, const QString &text)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toLatin1());
        return path;
    }
    // Typing, as the user does it.
    void Type(const QString &text)
    {
        window->RichTextBox1()->setFocus();
        QTest::keyClicks(window->RichTextBox1(), text);
    }
    QString EditorText() const { return window->RichTextBox1()->Text(); }
    QString Status() const { return window->lblStatus()->text(); }

    QTemporaryDir dir;
    services::RecordingMessageBox box;
    std::shared_ptr<FakeAudioDevice::State> device = std::make_shared<FakeAudioDevice::State>();
    std::unique_ptr<Main> window;
};

// ---- Files from the command line ---------------------------------------------------------------

TEST(FileHandOverMessage, carriesAnAbsolutePathAndNothingElse)
{
    const QString message = FileHandOver::Message(QStringLiteral("notes/a b.txt"));
    EXPECT_EQ(FileHandOver::PathIn(message),
              QDir::current().absoluteFilePath(QStringLiteral("notes/a b.txt")));
    // A plain second start sends an empty message; other text is not a file either.
    EXPECT_FALSE(FileHandOver::PathIn(QString()));
    EXPECT_FALSE(FileHandOver::PathIn(QStringLiteral("/tmp/a.txt")));
    EXPECT_FALSE(FileHandOver::PathIn(desktop::OpenFileMessage));
}

TEST_F(DesktopTest, aFileOpensByItsExtensionInTheDialogsFontWithoutAsking)
{
    FileHandOver handOver(window.get());
    handOver.Open(kFixtures + QStringLiteral("sample.rtf"));
    EXPECT_TRUE(box.calls.empty());
    // Read as rich text (filter 2): the plain text, no control words.
    EXPECT_FALSE(EditorText().isEmpty());
    EXPECT_FALSE(EditorText().contains(QStringLiteral("\\rtf")));
    EXPECT_FALSE(handOver.HoldsTypedText());
    window->RichTextBox1()->SetSelStart(0);
    window->RichTextBox1()->SetSelLength(3);
    EXPECT_EQ(window->RichTextBox1()->currentCharFormat().fontFamilies().toStringList().value(0),
              strings::StartFontName);

    // Another opened document replaces it without a question: nothing typed would be lost.
    const QString second = WriteText("second.txt", QStringLiteral("The second document."));
    handOver.Open(second);
    EXPECT_TRUE(box.calls.empty());
    EXPECT_EQ(EditorText(), QStringLiteral("The second document."));
}

TEST_F(DesktopTest, typedTextIsReplacedOnlyAfterOk)
{
    FileHandOver handOver(window.get());
    const QString path = WriteText("doc.txt", QStringLiteral("From the file."));
    Type(QStringLiteral("My own words"));
    EXPECT_TRUE(handOver.HoldsTypedText());

    box.answers.push_back(services::IDCANCEL);
    handOver.Open(path);
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, desktop::ReplaceQuestion);
    EXPECT_EQ(box.calls[0].flags, unsigned(services::MB_OKCANCEL | services::MB_ICONQUESTION));
    EXPECT_EQ(EditorText(), QStringLiteral("My own words"));

    box.answers.push_back(services::IDOK);
    handOver.Open(path);
    ASSERT_EQ(box.calls.size(), 2u);
    EXPECT_EQ(EditorText(), QStringLiteral("From the file."));

    // An opened document the user then edits is the user's text again.
    Type(QStringLiteral(" More."));
    box.answers.push_back(services::IDCANCEL);
    handOver.Open(path);
    EXPECT_EQ(box.calls.size(), 3u);
    EXPECT_TRUE(EditorText().contains(QStringLiteral("More.")));
    // An empty editor holds nothing to lose.
    window->cmdClearText_Click();
    handOver.Open(path);
    EXPECT_EQ(box.calls.size(), 3u);
    EXPECT_EQ(EditorText(), QStringLiteral("From the file."));
}

TEST_F(DesktopTest, aLaterStartHandsItsFileOverTheSingleInstanceSocket)
{
    QTemporaryDir runtime;
    services::SingleInstance running(strings::ApplicationName, runtime.path());
    ASSERT_EQ(running.Acquire(), services::SingleInstance::Result::Primary);
    FileHandOver handOver(window.get());
    QObject::connect(&running, &services::SingleInstance::MessageReceived, &handOver, &FileHandOver::Receive);
    const QString path = WriteText("handed.txt", QStringLiteral("Handed over."));

    // A plain second start only learns that the studio runs; the editor is not touched.
    Type(QStringLiteral("typed"));
    {
        services::SingleInstance later(strings::ApplicationName, runtime.path());
        EXPECT_EQ(later.Acquire(), services::SingleInstance::Result::AlreadyRunning);
        EXPECT_TRUE(later.MessageDelivered());
    }
    QTest::qWait(200);
    EXPECT_TRUE(box.calls.empty());
    EXPECT_EQ(EditorText(), QStringLiteral("typed"));

    // With a file: the question about the typed text, then the file.
    services::SingleInstance later(strings::ApplicationName, runtime.path());
    EXPECT_EQ(later.Acquire(FileHandOver::Message(path)), services::SingleInstance::Result::AlreadyRunning);
    EXPECT_TRUE(later.MessageDelivered());
    QTRY_COMPARE(EditorText(), QStringLiteral("Handed over."));
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, desktop::ReplaceQuestion);

    // A running studio whose socket has gone cannot take the file, and the later start knows it.
    QFile::remove(running.ServerName());
    services::SingleInstance unheard(strings::ApplicationName, runtime.path());
    EXPECT_EQ(unheard.Acquire(FileHandOver::Message(path)), services::SingleInstance::Result::AlreadyRunning);
    EXPECT_FALSE(unheard.MessageDelivered());
}

TEST_F(DesktopTest, aFileThatCannotBeOpenedIsReportedAndLosesNothing)
{
    FileHandOver handOver(window.get());
    Type(QStringLiteral("keep me"));
    // A mistyped name, a folder or a pipe: said at once, no question, the editor untouched.
    const QString fifo = dir.filePath(QStringLiteral("pipe.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const std::pair<QString, QString> unusable[] = {
        {dir.filePath(QStringLiteral("missing.docx")), desktop::NoSuchFile},
        {dir.path(), desktop::IsAFolder},
        {fifo, desktop::NotARegularFile}};
    for (const auto &[path, reason] : unusable) {
        box.calls.clear();
        handOver.Open(path);
        ASSERT_EQ(box.calls.size(), 1u) << path.toStdString();
        EXPECT_EQ(box.calls[0].text, documents::CannotReadMessage(path, reason));
        EXPECT_TRUE(box.calls[0].flags & services::MB_ICONSTOP);
        EXPECT_EQ(EditorText(), QStringLiteral("keep me"));
    }

    // A file that is there but cannot be converted gives Open File's own message.
    window->cmdClearText_Click();
    box.calls.clear();
    handOver.Open(WriteText("broken.pdf", QStringLiteral("not a PDF at all")));
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_TRUE(box.calls[0].text.startsWith(QString::fromLatin1(documents::kErrorLoadingPdf)))
        << box.calls[0].text.toStdString();
    EXPECT_TRUE(box.calls[0].flags & services::MB_ICONSTOP);
}

// ---- The window as a media player --------------------------------------------------------------

TEST(PlayerControlTitle, firstWordsOfTheText)
{
    struct Row {
        const char *name;
        QString text;
        QString title;
    };
    const Row rows[] = {
        {"empty", QString(), QString()},
        {"short text whole", QStringLiteral("  Good\n evening. "), QStringLiteral("Good evening.")},
        {"eight words then an ellipsis", QStringLiteral("one two three four five six seven eight nine ten"),
         QStringLiteral("one two three four five six seven eight") + QChar(0x2026)},
        {"long words stop at sixty characters",
         QStringLiteral("abcdefghijklmnopqrstuvwxyz abcdefghijklmnopqrstuvwxyz abcdefghij"),
         QStringLiteral("abcdefghijklmnopqrstuvwxyz abcdefghijklmnopqrstuvwxyz") + QChar(0x2026)},
        {"one huge word is cut", QString(100, QLatin1Char('x')),
         QString(60, QLatin1Char('x')) + QChar(0x2026)},
    };
    for (const Row &row : rows)
        EXPECT_EQ(PlayerControl::FirstWords(row.text), row.title) << row.name;
}

TEST_F(DesktopTest, nextSkipsASentenceWhileSpeakingOnly)
{
    PlayerControl player(window.get());
    QSignalSpy changed(&player, &PlayerControl::Changed);
    const QString text =
        QStringLiteral("First sentence is here. Second sentence is here. Third sentence ends it.");
    window->RichTextBox1()->SetText(text);
    EXPECT_FALSE(player.CanGoNext());
    player.Next(); // nothing to skip: nothing happens
    EXPECT_EQ(Status(), strings::Stopped);

    QSignalSpy sentences(window->DirectSS1(), &speech::SpeechEngine::SentenceReached);
    player.Play();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            device->Pull(320);
            return player.CanGoNext();
        },
        20000));
    EXPECT_TRUE(player.CanGoPrevious());
    // The listeners hear of it.
    QTRY_VERIFY(changed.count() > 0);
    const int changesSoFar = changed.count();

    player.Next();
    const int second = static_cast<int>(text.indexOf(QStringLiteral("Second")));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            device->Pull(320);
            for (const QList<QVariant> &s : sentences)
                if (s.at(0).toInt() >= second)
                    return true;
            return false;
        },
        20000))
        << "Next did not reach the second sentence";

    player.Pause();
    EXPECT_FALSE(player.CanGoNext()) << "no skipping while paused";
    QTRY_VERIFY(changed.count() > changesSoFar);
    player.Stop();
}

TEST_F(DesktopTest, playerFollowsTheStateTableAndPressesOnlyEnabledButtons)
{
    PlayerControl player(window.get());
    QSignalSpy changed(&player, &PlayerControl::Changed);
    using S = PlayerControl::Status;
    EXPECT_EQ(player.PlaybackStatus(), S::Stopped);
    EXPECT_TRUE(player.CanPlay());
    EXPECT_FALSE(player.CanPause());
    EXPECT_FALSE(player.CanGoNext());
    EXPECT_EQ(player.TrackNumber(), 0);

    // Play while idle is SPEAK, with its warning for an empty editor.
    player.Play();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, strings::EnterText);

    window->RichTextBox1()->SetText(QStringLiteral("Read this text aloud, please. It has two sentences."));
    player.PlayPause();
    EXPECT_EQ(Status(), strings::Speaking);
    EXPECT_EQ(player.PlaybackStatus(), S::Playing);
    EXPECT_EQ(PlayerControl::StatusName(player.PlaybackStatus()), QStringLiteral("Playing"));
    EXPECT_EQ(player.Title(), QStringLiteral("Read this text aloud, please. It has two") + QChar(0x2026));
    EXPECT_EQ(player.TrackNumber(), 1);
    EXPECT_TRUE(player.CanPause());
    // Changes of one handler reach listeners once, after the handler.
    EXPECT_EQ(changed.count(), 0);
    QTRY_COMPARE(changed.count(), 1);

    // Play while speaking does not start the text again.
    player.Play();
    EXPECT_EQ(player.TrackNumber(), 1);

    player.Pause();
    EXPECT_EQ(Status(), strings::Paused);
    EXPECT_EQ(player.PlaybackStatus(), S::Paused);
    EXPECT_EQ(window->cmdPauseText()->Caption(), strings::Resume);
    EXPECT_TRUE(player.CanPlay()); // as RESUME, though SPEAK is disabled
    player.Pause();                // already paused: nothing
    EXPECT_EQ(window->cmdPauseText()->Caption(), strings::Resume);
    player.Play();
    EXPECT_EQ(Status(), strings::Speaking);
    EXPECT_EQ(player.TrackNumber(), 1); // resumed, not spoken anew
    player.PlayPause();
    EXPECT_EQ(player.PlaybackStatus(), S::Paused);
    player.PlayPause();
    EXPECT_EQ(player.PlaybackStatus(), S::Playing);

    player.Stop();
    EXPECT_EQ(Status(), strings::Stopped);
    EXPECT_EQ(player.PlaybackStatus(), S::Stopped);
    EXPECT_FALSE(player.CanPause());
    EXPECT_EQ(player.Title(), QStringLiteral("Read this text aloud, please. It has two") + QChar(0x2026));

    // Recording is Stopped to a player, and neither play nor pause can touch it.
    window->txtFile()->setText(dir.filePath(QStringLiteral("rec.wav")));
    window->cmdRec_Click();
    ASSERT_TRUE(window->Recording());
    EXPECT_EQ(player.PlaybackStatus(), S::Stopped);
    EXPECT_FALSE(player.CanPlay());
    EXPECT_FALSE(player.CanPause());
    player.Play();
    player.PlayPause();
    EXPECT_EQ(Status(), strings::RecordingCaption);
    EXPECT_EQ(player.TrackNumber(), 1);
    QSignalSpy stopped(window->DirectSS1(), &speech::SpeechEngine::OutputStopped);
    ASSERT_TRUE(stopped.wait(60000));
    QTRY_VERIFY(!window->Recording());
    EXPECT_TRUE(player.CanPlay());
}

// ---- The notification of a long recording ------------------------------------------------------

// Every recording is long enough, even one that fails at once.
constexpr std::chrono::milliseconds kAnyLength{-1};

class NotifierTest : public DesktopTest
{
  protected:
    struct Sent {
        QString summary, body;
    };
    // Records into `name` to the end (or until STOP when `stop`), with `other` active or not.
    void Record(const char *name, bool otherWindowActive, bool stop = false)
    {
        QWidget other;
        if (otherWindowActive) {
            other.show();
            QApplication::setActiveWindow(&other);
        } else {
            QApplication::setActiveWindow(window.get());
        }
        window->RichTextBox1()->SetText(QStringLiteral("A short recording. ").repeated(stop ? 40 : 2));
        window->txtFile()->setText(dir.filePath(QString::fromLatin1(name)));
        QSignalSpy stopped(window->DirectSS1(), &speech::SpeechEngine::OutputStopped);
        window->cmdRec_Click();
        ASSERT_TRUE(window->Recording());
        if (stop)
            Q_EMIT window->cmdStopText()->Click();
        ASSERT_TRUE(stopped.wait(60000));
        QTRY_VERIFY(!window->Recording());
    }
    std::vector<Sent> sent;
    RecordingNotifier::Sender Collect()
    {
        return [this](const QString &summary, const QString &body) { sent.push_back({summary, body}); };
    }
};

TEST_F(NotifierTest, aLongRecordingEndingBehindAnotherWindowNamesItsFile)
{
    RecordingNotifier notifier(window.get(), Collect(), kAnyLength);
    Record("active.wav", false);
    EXPECT_TRUE(sent.empty()) << "the user was looking";

    Record("behind.wav", true);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].summary, desktop::RecordingSaved);
    EXPECT_TRUE(sent[0].body.contains(dir.filePath(QStringLiteral("behind.wav"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("behind.wav"))));

    Record("stopped.wav", true, true);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].summary, desktop::RecordingStopped);
    EXPECT_TRUE(sent[1].body.contains(QStringLiteral("stopped.wav")));

    // Speaking aloud is not a recording.
    window->RichTextBox1()->SetText(QStringLiteral("Aloud."));
    window->cmdSpkText_Click();
    window->cmdStopText_Click();
    QTest::qWait(100);
    EXPECT_EQ(sent.size(), 2u);
}

TEST_F(NotifierTest, aFailedRecordingSaysWhyAndAShortOneSaysNothing)
{
    {
        RecordingNotifier notifier(window.get(), Collect(), kAnyLength);
        Record("no/such/folder/x.wav", true);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].summary, desktop::RecordingNotSavedSummary);
        EXPECT_TRUE(sent[0].body.contains(QStringLiteral("no/such/folder/x.wav")));
        EXPECT_TRUE(sent[0].body.contains(strings::RecordingDenied));
        // The window's own message box still comes.
        EXPECT_EQ(box.calls.size(), 1u);
    }
    RecordingNotifier notifier(window.get(), Collect(), std::chrono::hours(1));
    Record("short.wav", true);
    EXPECT_EQ(sent.size(), 1u);
}

} // namespace
