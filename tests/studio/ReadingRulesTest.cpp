// SPDX-License-Identifier: GPL-3.0-or-later
// The studio's pronunciation rules file, its rules dialog and the reading filters of the editor's
// context menu, in the real window with voices that write down what they are given.
#include "studio/Main.h"

#include "studio/FollowAlong.h"

#include "platform/services/EventLog.h"
#include "platform/services/MessageBox.h"
#include "speech/SpeechBackend.h"
#include "speech/VoiceCatalogue.h"
#include "studio/PronunciationDialog.h"
#include "studio/ReadingRules.h"
#include "studio/ReadingStrings.h"
#include "studio/RichTextBox.h"
#include "tests/speech/FakeAudioDevice.h"
#include "tests/speech/ListeningBackend.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace studio;
namespace texts = studio::strings::reading;

namespace
{

class ReadingRulesTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        services::MessageBox::SetCurrent(&box);
        services::EventLog::SetCurrent(&log);
        previousConfig = qgetenv("XDG_CONFIG_HOME");
        hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    }
    void TearDown() override
    {
        window.reset();
        if (hadConfig)
            qputenv("XDG_CONFIG_HOME", previousConfig);
        else
            qunsetenv("XDG_CONFIG_HOME");
        services::EventLog::SetCurrent(nullptr);
        services::MessageBox::SetCurrent(nullptr);
    }

    void Open()
    {
        window.reset();
        Main::Options options;
        options.definition = QStringLiteral(ORVENA_BINARY_DIR "/resources/studio/Main.json");
        std::vector<speech::VoiceMode> modes;
        for (const char *speaker : {"Mary", "Mike", "Sam"})
            modes.push_back({QLatin1String(speaker), ListeningBackend::Voice(), backend});
        options.engine.catalogue = std::make_shared<speech::VoiceCatalogue>(modes);
        options.engine.audioDevice = FakeAudioDevice::Factory(device);
        QString error;
        window = Main::Create(options, &error);
        ASSERT_TRUE(window) << error.toStdString();
        window->show();
    }

    QString RulesPath() const { return config.filePath(QStringLiteral("orvena-studio/lexicon.txt")); }

    void WriteRules(const QByteArray &content)
    {
        ASSERT_TRUE(QDir().mkpath(config.filePath(QStringLiteral("orvena-studio"))));
        QFile f(RulesPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    // What the voice is given when SPEAK reads `text` from the editor.
    QString Spoken(const QString &text)
    {
        window->RichTextBox1()->SetText(text);
        QSignalSpy stopped(window->DirectSS1(), &speech::SpeechEngine::OutputStopped);
        window->cmdSpkText_Click();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                device->Pull(32000);
                return !stopped.isEmpty();
            },
            20000));
        QCoreApplication::processEvents();
        return backend->TakeHeard();
    }

    QAction *MenuItem(QMenu &menu, const QString &caption)
    {
        for (QAction *a : menu.actions()) {
            if (a->text() == caption)
                return a;
        }
        ADD_FAILURE() << "no item " << caption.toStdString();
        return nullptr;
    }

    QTemporaryDir config;
    QByteArray previousConfig;
    bool hadConfig = false;
    services::RecordingMessageBox box;
    services::RecordingEventLog log;
    std::shared_ptr<ListeningBackend> backend = std::make_shared<ListeningBackend>();
    std::shared_ptr<FakeAudioDevice::State> device = std::make_shared<FakeAudioDevice::State>();
    std::unique_ptr<Main> window;
};

} // namespace

TEST_F(ReadingRulesTest, theRulesFileIsReadAtStartAndWithoutItTheStudioReadsAsBeforeAndWritesNothing)
{
    Open();
    EXPECT_EQ(ReadingRules::RulesFile(), RulesPath());
    EXPECT_EQ(Spoken(QStringLiteral("Dr Smith (aside).")), QStringLiteral("Dr Smith (aside)."));
    window.reset();
    EXPECT_TRUE(QDir(config.path()).isEmpty()) << "the studio writes no settings by itself";

    WriteRules("Dr = Doctor\nno rule here\n[Mike]\nSmith = Smithy\n");
    Open();
    EXPECT_EQ(Spoken(QStringLiteral("Dr Smith (aside).")), QStringLiteral("Doctor Smith (aside)."));
    window->optVoice(1)->click();
    EXPECT_EQ(Spoken(QStringLiteral("Dr Smith.")), QStringLiteral("Doctor Smithy."));
    bool reported = false;
    for (const auto &e : log.entries)
        reported = reported || e.text.contains(QStringLiteral("lexicon.txt line 2"));
    EXPECT_TRUE(reported) << "a broken line is written to the event log";
    EXPECT_TRUE(box.calls.empty()) << "and does not stop the start with a message";
}

TEST_F(ReadingRulesTest, theContextMenuOffersTheRulesAndTwoFiltersKeptForTheSessionOnly)
{
    Open();
    {
        const std::unique_ptr<QMenu> menu = window->RichTextBox1()->ContextMenu(QPoint());
        ASSERT_TRUE(MenuItem(*menu, texts::RulesItem));
        QAction *brackets = MenuItem(*menu, texts::SkipBracketsItem);
        QAction *addresses = MenuItem(*menu, texts::SkipAddressesItem);
        ASSERT_TRUE(brackets && addresses);
        EXPECT_TRUE(brackets->isCheckable() && !brackets->isChecked());
        EXPECT_TRUE(addresses->isCheckable() && !addresses->isChecked());
        brackets->trigger();
    }
    EXPECT_EQ(Spoken(QStringLiteral("Read (not this) see www.example.org now.")),
              QStringLiteral("Read  see www.example.org now."));
    {
        const std::unique_ptr<QMenu> menu = window->RichTextBox1()->ContextMenu(QPoint());
        EXPECT_TRUE(MenuItem(*menu, texts::SkipBracketsItem)->isChecked());
        MenuItem(*menu, texts::SkipAddressesItem)->trigger();
    }
    EXPECT_EQ(Spoken(QStringLiteral("Read (not this) see www.example.org now.")),
              QStringLiteral("Read  see  now."));
    {
        const std::unique_ptr<QMenu> menu = window->RichTextBox1()->ContextMenu(QPoint());
        MenuItem(*menu, texts::SkipBracketsItem)->trigger();
    }
    EXPECT_EQ(Spoken(QStringLiteral("Read (this) now.")), QStringLiteral("Read (this) now."));

    // A new session starts without filters, and nothing was written for them.
    Open();
    const std::unique_ptr<QMenu> menu = window->RichTextBox1()->ContextMenu(QPoint());
    EXPECT_FALSE(MenuItem(*menu, texts::SkipAddressesItem)->isChecked());
    EXPECT_EQ(Spoken(QStringLiteral("see www.example.org")), QStringLiteral("see www.example.org"));
    EXPECT_TRUE(QDir(config.path()).isEmpty());
}

TEST_F(ReadingRulesTest, theDialogReportsBrokenLinesTriesUnsavedRulesAndTheStudioReadsThemOnceSaved)
{
    WriteRules("# mine\nDr = Doctor\n");
    Open();
    window->RichTextBox1()->SetText(QStringLiteral("Dr Smith came at 5pm."));
    window->RichTextBox1()->SetSelStart(0);
    window->RichTextBox1()->SetSelLength(8);
    {
        const std::unique_ptr<QMenu> menu = window->RichTextBox1()->ContextMenu(QPoint());
        MenuItem(*menu, texts::RulesItem)->trigger();
    }
    PronunciationDialog *dialog = window->Reading()->Dialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Editor()->toPlainText(), QStringLiteral("# mine\nDr = Doctor\n"));
    EXPECT_EQ(dialog->Sample()->text(), QStringLiteral("Dr Smith")) << "the editor's selection is the sample";
    EXPECT_EQ(dialog->ProblemsText(), texts::NoProblems);

    dialog->Editor()->setPlainText(
        QStringLiteral("Dr = Doctor\nSmith = Smithers\nthis is no rule\n/(/ = x\n"));
    EXPECT_TRUE(dialog->ProblemsText().contains(QStringLiteral("lexicon.txt line 3")))
        << dialog->ProblemsText().toStdString();
    EXPECT_TRUE(dialog->ProblemsText().contains(QStringLiteral("lexicon.txt line 4")))
        << dialog->ProblemsText().toStdString();

    // Try speaks the sample with the rules as they stand in the dialog.
    dialog->TryButton()->click();
    ASSERT_TRUE(dialog->TryEngine());
    QString tried;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            device->Pull(32000);
            tried += backend->TakeHeard();
            return !tried.isEmpty();
        },
        20000));
    EXPECT_EQ(tried, QStringLiteral("Doctor Smithers"));
    // Enter in the sample tries it again and saves nothing.
    dialog->Sample()->setFocus();
    QTest::keyClick(dialog->Sample(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            device->Pull(32000);
            return !backend->TakeHeard().isEmpty();
        },
        20000));
    QFile unchanged(RulesPath());
    ASSERT_TRUE(unchanged.open(QIODevice::ReadOnly));
    EXPECT_EQ(unchanged.readAll(), QByteArray("# mine\nDr = Doctor\n"));
    dialog->Sample()->clear();
    dialog->TryButton()->click();
    EXPECT_EQ(dialog->StatusText(), texts::NothingToTry);
    dialog->TryEngine()->StopAudio();

    // Until saved, the studio reads with the rules it read at start.
    EXPECT_EQ(Spoken(QStringLiteral("Dr Smith.")), QStringLiteral("Doctor Smith."));
    dialog->SaveButton()->click();
    QFile saved(RulesPath());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("Dr = Doctor\nSmith = Smithers\nthis is no rule\n/(/ = x\n"));
    EXPECT_TRUE(dialog->StatusText().startsWith(texts::Saved.left(8))) << dialog->StatusText().toStdString();
    EXPECT_EQ(Spoken(QStringLiteral("Dr Smith.")), QStringLiteral("Doctor Smithers."));

    // Opening again brings the same dialog forward.
    EXPECT_EQ(window->Reading()->OpenDialog(), dialog);
}

TEST_F(ReadingRulesTest, aFileTheDialogCannotSaveOrReadLosesNothing)
{
    // The folder the file belongs in is taken by a file: saving fails and says so; the text stays.
    {
        QFile blocker(config.filePath(QStringLiteral("orvena-studio")));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    Open();
    PronunciationDialog *dialog = window->Reading()->OpenDialog();
    dialog->Editor()->setPlainText(QStringLiteral("Dr = Doctor\n"));
    EXPECT_FALSE(dialog->Save());
    EXPECT_TRUE(dialog->StatusText().contains(QStringLiteral("could not be saved")))
        << dialog->StatusText().toStdString();
    EXPECT_EQ(dialog->Editor()->toPlainText(), QStringLiteral("Dr = Doctor\n"));
    dialog->close();
    QCoreApplication::processEvents();
    ASSERT_TRUE(QFile::remove(config.filePath(QStringLiteral("orvena-studio"))));

    // A file that is not UTF-8 is neither read as rules nor offered for saving over.
    WriteRules("caf\xE9 = caff\n");
    Open();
    EXPECT_EQ(Spoken(QStringLiteral("caf\u00E9")), QStringLiteral("caf\u00E9"));
    dialog = window->Reading()->OpenDialog();
    EXPECT_FALSE(dialog->SaveButton()->isEnabled());
    EXPECT_TRUE(dialog->StatusText().contains(QStringLiteral("not UTF-8")))
        << dialog->StatusText().toStdString();
    QFile kept(RulesPath());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("caf\xE9 = caff\n"));
}

TEST_F(ReadingRulesTest, theHighlightShowsTheWordsAsWrittenAndNeverSkippedText)
{
    WriteRules("Dr = Doctor\n/\\b(\\d+)kg\\b/ = \\1 kilograms\n");
    Open();
    {
        const std::unique_ptr<QMenu> menu = window->RichTextBox1()->ContextMenu(QPoint());
        MenuItem(*menu, texts::SkipBracketsItem)->trigger();
    }
    {
        const std::unique_ptr<QMenu> menu = window->RichTextBox1()->ContextMenu(QPoint());
        MenuItem(*menu, texts::SkipAddressesItem)->trigger();
    }
    const QString text = QStringLiteral("Dr Smith (an aside) took 5kg from www.example.org home.");
    window->RichTextBox1()->SetText(text);
    QSignalSpy stopped(window->DirectSS1(), &speech::SpeechEngine::OutputStopped);
    window->cmdSpkText_Click();
    QStringList shown;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            device->Pull(200);
            if (const auto w = window->FollowAlongDisplay()->Word()) {
                const QString word = window->RichTextBox1()->Text().mid(w->first, w->second);
                if (shown.isEmpty() || shown.constLast() != word)
                    shown << word;
            }
            return !stopped.isEmpty();
        },
        20000));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Dr"), QStringLiteral("Smith"), QStringLiteral("took"),
                                  QStringLiteral("5kg"), QStringLiteral("from"), QStringLiteral("home")}));
    EXPECT_EQ(backend->TakeHeard(), QStringLiteral("Doctor Smith  took 5 kilograms from  home."));
    EXPECT_EQ(window->RichTextBox1()->Text(), text) << "the editor's text is never changed";
}
