// SPDX-License-Identifier: GPL-3.0-or-later
// The studio following the reading: highlight, edits under the speech, the speech keys, the
// context menu and the recording title, with a backend whose every word the test can recognise.
#include "studio/FollowAlong.h"
#include "studio/Main.h"

#include "bevel/bvlBUTTON.h"
#include "platform/services/MessageBox.h"
#include "studio/RichTextBox.h"
#include "studio/StudioStrings.h"
#include "tests/speech/FakeAudioDevice.h"
#include "tests/speech/WordBackend.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace studio;
namespace strings = studio::strings;

namespace
{

const QString kText =
    QStringLiteral("Alpha bravo charlie. Delta echo foxtrot.\nGolf hotel india. Juliet kilo lima.");

class StudioFollowAlongTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        services::MessageBox::SetCurrent(&box);
        Main::Options options;
        options.definition = QStringLiteral(ORVENA_BINARY_DIR "/resources/studio/Main.json");
        options.engine.catalogue = WordBackend::Catalogue(QStringLiteral("Mary"));
        options.engine.audioDevice = FakeAudioDevice::Factory(device);
        QString error;
        window = Main::Create(options, &error);
        ASSERT_TRUE(window) << error.toStdString();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        editor()->SetText(kText);
        editor()->setFocus();
    }
    void TearDown() override
    {
        window.reset();
        services::MessageBox::SetCurrent(nullptr);
    }

    RichTextBox *editor() const { return window->RichTextBox1(); }
    FollowAlong *follow() const { return window->FollowAlongDisplay(); }
    QString Status() const { return window->lblStatus()->text(); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(editor(), static_cast<Qt::Key>(key), modifiers);
    }

    // The text highlighted as the word being heard, or nothing.
    QString WordShown() const
    {
        const auto w = follow()->Word();
        return w ? editor()->Text().mid(w->first, w->second) : QString();
    }
    bool PlayUntilWord(const QString &word, qint64 bytesPerPull = 320)
    {
        return QTest::qWaitFor(
            [&] {
                device->Pull(bytesPerPull);
                return WordShown() == word;
            },
            10000);
    }
    // Plays quickly until the word shown lies at or past `position` of the document.
    bool PlayUntilPast(int position)
    {
        return QTest::qWaitFor(
            [&] {
                device->Pull(9600);
                return follow()->Word() && follow()->Word()->first >= position;
            },
            60000);
    }
    std::int16_t NextSound()
    {
        std::int16_t found = 0;
        const bool sounded = QTest::qWaitFor(
            [&] {
                const std::size_t before = device->played.size();
                device->Pull(320);
                for (std::size_t i = before; i < device->played.size() && !found; ++i)
                    found = device->played[i];
                return found != 0;
            },
            5000);
        return sounded ? found : std::int16_t(0);
    }
    int OwnSelections() const
    {
        int n = 0;
        for (const auto &s : editor()->extraSelections())
            n += s.format.hasProperty(QTextFormat::UserProperty + 0x4641) ? 1 : 0;
        return n;
    }

    services::RecordingMessageBox box;
    std::shared_ptr<FakeAudioDevice::State> device = std::make_shared<FakeAudioDevice::State>();
    std::unique_ptr<Main> window;
};

} // namespace

TEST_F(StudioFollowAlongTest, theHeardWordIsHighlightedStaysWhilePausedAndGoesAtStopWithTheDocumentUntouched)
{
    QTextCursor bold(editor()->document());
    bold.setPosition(6);
    bold.setPosition(11, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    bold.mergeCharFormat(f);
    const QString before = editor()->document()->toHtml();

    Key(Qt::Key_F5);
    EXPECT_EQ(Status(), strings::Speaking);
    ASSERT_TRUE(PlayUntilWord(QStringLiteral("bravo")));
    ASSERT_TRUE(follow()->Sentence());
    EXPECT_EQ(editor()->Text().mid(follow()->Sentence()->first, follow()->Sentence()->second),
              QStringLiteral("Alpha bravo charlie."));
    EXPECT_EQ(OwnSelections(), 2);
    ASSERT_TRUE(PlayUntilWord(QStringLiteral("Delta")));

    Key(Qt::Key_F6);
    EXPECT_EQ(Status(), strings::Paused);
    QTest::qWait(100);
    EXPECT_EQ(WordShown(), QStringLiteral("Delta")) << "the highlight holds while paused";
    Key(Qt::Key_F6);
    EXPECT_EQ(Status(), strings::Speaking);
    ASSERT_TRUE(PlayUntilWord(QStringLiteral("echo")));

    Key(Qt::Key_F7);
    EXPECT_EQ(Status(), strings::Stopped);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !follow()->Word() && OwnSelections() == 0; }, 2000));
    EXPECT_EQ(editor()->document()->toHtml(), before) << "highlighting must not touch the document";
}

TEST_F(StudioFollowAlongTest, editsUnderTheSpeechAreFollowedAndNothingWrongIsEverShown)
{
    Key(Qt::Key_F5);
    ASSERT_TRUE(PlayUntilWord(QStringLiteral("Alpha")));
    // Text put in front moves everything after it.
    QTextCursor c(editor()->document());
    c.insertText(QStringLiteral("New words first. "));
    ASSERT_TRUE(PlayUntilWord(QStringLiteral("bravo")));
    EXPECT_EQ(follow()->Word()->first, 6 + 17);
    // A word edited away is skipped: "charlie" is replaced, so "Delta" is the next one shown.
    c.setPosition(static_cast<int>(editor()->Text().indexOf(QLatin1String("charlie"))));
    c.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 7);
    c.insertText(QStringLiteral("carol"));
    QStringList shown;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            device->Pull(320);
            if (shown.isEmpty() || shown.last() != WordShown())
                shown << WordShown();
            return WordShown() == QLatin1String("Delta");
        },
        10000));
    EXPECT_FALSE(shown.contains(QStringLiteral("carol")));
    EXPECT_FALSE(shown.contains(QStringLiteral("arol ")));
    // The document cut short under the speech: nothing crashes, nothing out of range is shown.
    editor()->SetText(QStringLiteral("Short."));
    for (int i = 0; i < 50; ++i) {
        device->Pull(3200);
        QTest::qWait(5);
        if (const auto w = follow()->Word()) {
            EXPECT_LE(w->first + w->second, editor()->Text().size());
        }
    }
    EXPECT_FALSE(follow()->Word()) << "the spoken words are gone from the document";
}

TEST_F(StudioFollowAlongTest, speechKeysActAsTheirButtonsWhereverTheFocusIs)
{
    // Stopped: pause, stop and skipping are disabled, so their keys do nothing.
    Key(Qt::Key_F6);
    Key(Qt::Key_F7);
    Key(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(Status(), strings::Stopped);
    EXPECT_FALSE(window->CanSkipSentence());
    // Ctrl+F5 without a selection does nothing.
    Key(Qt::Key_F5, Qt::ControlModifier);
    EXPECT_EQ(Status(), strings::Stopped);

    // Shift+F5 with the caret in the middle of a word on the last line: from that word on.
    QTextCursor caret = editor()->textCursor();
    caret.setPosition(static_cast<int>(kText.indexOf(QLatin1String("Golf"))) + 2);
    editor()->setTextCursor(caret);
    Key(Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(Status(), strings::Speaking);
    EXPECT_EQ(NextSound(), WordBackend::Value(QLatin1Char('g')));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->CanSkipSentence(); }, 2000));

    // Alt+Right: on to the next sentence; Alt+Left at once: back to the one before.
    Key(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(NextSound(), WordBackend::Value(QLatin1Char('j')));
    Key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(NextSound(), WordBackend::Value(QLatin1Char('g')));

    // Paused, skipping is off.
    Key(Qt::Key_F6);
    EXPECT_FALSE(window->CanSkipSentence());
    Key(Qt::Key_F6);
    Key(Qt::Key_F7);
    QTest::qWait(50);

    // Ctrl+F5 with a selection: only the selection, its words shown where they are.
    QTextCursor selection = editor()->textCursor();
    selection.setPosition(static_cast<int>(kText.indexOf(QLatin1String("echo"))));
    selection.setPosition(static_cast<int>(kText.indexOf(QLatin1String("foxtrot"))) + 7,
                          QTextCursor::KeepAnchor);
    editor()->setTextCursor(selection);
    Key(Qt::Key_F5, Qt::ControlModifier);
    EXPECT_EQ(Status(), strings::Speaking);
    ASSERT_TRUE(PlayUntilWord(QStringLiteral("foxtrot")));
    QSignalSpy stopped(window->DirectSS1(), &speech::SpeechEngine::OutputStopped);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            device->Pull();
            return stopped.count() > 0;
        },
        10000));
    std::set<std::int16_t> heard(device->played.begin(), device->played.end());
    EXPECT_EQ(heard.count(WordBackend::Value(QLatin1Char('g'))), 1u) << "heard before";
    EXPECT_EQ(heard.count(WordBackend::Value(QLatin1Char('h'))), 0u) << "hotel was never selected";
}

TEST_F(StudioFollowAlongTest, contextMenuOffersSpeakingFromHereAndTheSelectionByTheSpeakRules)
{
    auto actions = [&] {
        const std::unique_ptr<QMenu> menu = editor()->ContextMenu(QPoint(5, 5));
        std::map<QString, bool> out;
        for (QAction *a : menu->actions())
            out[a->text()] = a->isEnabled();
        return out;
    };
    auto menu = actions();
    ASSERT_TRUE(menu.count(strings::SpeakFromHere));
    EXPECT_TRUE(menu[strings::SpeakFromHere]);
    EXPECT_FALSE(menu[strings::SpeakSelection]) << "greyed without a selection";
    editor()->SetSelStart(0);
    editor()->SetSelLength(5);
    EXPECT_TRUE(actions()[strings::SpeakSelection]);

    // Recording disables SPEAK, and with it both.
    QTemporaryDir dir;
    window->txtFile()->setText(dir.filePath(QStringLiteral("out.wav")));
    QSignalSpy titles(window.get(), &QWidget::windowTitleChanged);
    const QString caption = window->windowTitle();
    window->cmdRec_Click();
    menu = actions();
    EXPECT_FALSE(menu[strings::SpeakFromHere]);
    EXPECT_FALSE(menu[strings::SpeakSelection]);
    QSignalSpy stopped(window->DirectSS1(), &speech::SpeechEngine::OutputStopped);
    ASSERT_TRUE(stopped.wait(10000));
    QCoreApplication::processEvents();
    bool sawProgress = false;
    for (const auto &t : titles)
        sawProgress =
            sawProgress || t.at(0).toString().startsWith(caption + QStringLiteral(" \u2014 recording "));
    EXPECT_TRUE(sawProgress) << "the title tells how far the recording has got";
    EXPECT_EQ(window->windowTitle(), caption);
}

TEST_F(StudioFollowAlongTest, theEditorScrollsToTheWordUnlessTheUserScrolledLately)
{
    QString text;
    for (int i = 0; i < 80; ++i)
        text += QStringLiteral("Line number w%1.\n").arg(i);
    editor()->SetText(text);
    auto visible = [&] {
        QTextCursor at(editor()->document());
        at.setPosition(follow()->Word()->first);
        return editor()->viewport()->rect().contains(editor()->cursorRect(at));
    };
    Key(Qt::Key_F5);
    ASSERT_TRUE(PlayUntilPast(static_cast<int>(text.indexOf(QLatin1String("w40")))));
    EXPECT_GT(editor()->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(visible());

    // The user looks elsewhere: the reading does not pull the view back for a while.
    editor()->verticalScrollBar()->setValue(0);
    ASSERT_TRUE(PlayUntilPast(static_cast<int>(text.indexOf(QLatin1String("w45")))));
    EXPECT_EQ(editor()->verticalScrollBar()->value(), 0);
    EXPECT_FALSE(visible());
}

TEST(FollowAlongColoursTest, highlightsStayOnTheSideOfThePageTheyAreOn)
{
    for (const QColor back : {QColor(Qt::white), QColor(255, 255, 200), QColor(Qt::black), QColor(20, 30, 90),
                              QColor(128, 128, 128)}) {
        const FollowAlong::Colours c = FollowAlong::ColoursFor(back);
        const bool light = back.lightnessF() >= 0.5;
        EXPECT_EQ(c.word.lightnessF() >= 0.5, light) << back.name().toStdString();
        EXPECT_NE(c.word, back);
        EXPECT_NE(c.sentence, back);
        EXPECT_NE(c.word, c.sentence);
    }
}
