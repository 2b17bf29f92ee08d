// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a document: the one-step formatting gives the document the step-by-step sequence gave,
// the reading runs off the window's thread (the window repaints, input waits, Escape abandons),
// and a document that cannot be read leaves the editor as it was.
#include "studio/Main.h"
#include "studio/RichTextBox.h"
#include "studio/StudioStrings.h"
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/ReadTextFile.h"

#include "platform/services/MessageBox.h"
#include "speech/VoiceCatalogue.h"
#include "tests/studio/ScriptedDialogProvider.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

using namespace studio;
using studio::test::ScriptedDialogProvider;

namespace
{

using Format = RichTextBox::CharacterFormat;

// What the open button did before it formatted in one step: empty the editor, insert at the
// caret, select everything, then one property after another over the whole text.
void StepByStep(RichTextBox &editor, const QString &text, const Format &f)
{
    editor.SetText(QString());
    editor.SetSelText(text);
    editor.SetSelStart(0);
    editor.SetSelStart(0);
    editor.SetSelLength(static_cast<int>(editor.Text().size()));
    editor.SetSelFontName(f.fontName);
    editor.SetSelFontSize(f.size);
    editor.SetSelBold(f.bold);
    editor.SetSelItalic(f.italic);
    editor.SetSelUnderline(f.underline);
    editor.SetSelStrikethru(f.strikethru);
    editor.SetSelColor(f.colour);
    editor.SetSelStart(0);
}

// A document with several formats, the caret left in its bold, italic, red part: that is the
// typing format the emptied editor goes on with.
void FillMixed(RichTextBox &editor)
{
    editor.SetText(QStringLiteral("plain\nbold and red\nsmall italic end"));
    editor.SetSelStart(6);
    editor.SetSelLength(12);
    editor.SetSelBold(true);
    editor.SetSelColor(0x0000FF);
    editor.SetSelStart(19);
    editor.SetSelLength(5);
    editor.SetSelFontSize(7);
    editor.SetSelItalic(true);
    editor.SetSelStart(10);
}

// Everything about a document's formats: per paragraph its block format, the format of the
// paragraph end before it and its text; per run of equally formatted characters the format.
struct Snapshot {
    QString text;
    std::vector<QTextBlockFormat> blockFormats;
    std::vector<QTextCharFormat> blockCharFormats;
    std::vector<std::pair<int, QTextCharFormat>> runs; // length, format
    int position = -1;
    int anchor = -1;
    QTextCharFormat typing;

    bool operator==(const Snapshot &) const = default;
};

Snapshot Take(const RichTextBox &editor)
{
    Snapshot s;
    s.text = editor.Text();
    const QTextDocument *doc = editor.document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        s.blockFormats.push_back(block.blockFormat());
        s.blockCharFormats.push_back(block.charFormat());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!s.runs.empty() && s.runs.back().second == fragment.charFormat())
                s.runs.back().first += fragment.length();
            else
                s.runs.emplace_back(fragment.length(), fragment.charFormat());
        }
        // The paragraph end is a character of its own, with the next block's char format.
        s.runs.emplace_back(1, block.next().isValid() ? block.next().charFormat() : QTextCharFormat());
    }
    s.position = editor.textCursor().position();
    s.anchor = editor.textCursor().anchor();
    s.typing = editor.currentCharFormat();
    return s;
}

// Text with every kind of line end, empty paragraphs, tabs, a non-breaking space and characters
// outside the basic plane.
const QString kMixedText = QStringLiteral("First line\r\nsecond\rthird\n\n\tindented\u00A0word \U0001F600"
                                          "\u2029after a paragraph mark\u2028line mark\nlast\n");

TEST(OpenFormatting, oneStepGivesTheDocumentTheStepsGave)
{
    const std::vector<std::pair<const char *, Format>> dialogs = {
        {"at start", {QStringLiteral("Verdana"), 10, false, false, false, false, 0x404040}},
        {"every style", {QStringLiteral("Liberation Serif"), 14.5, true, true, true, true, 0x00C000}},
        {"size the editor refuses", {QStringLiteral("DejaVu Sans"), 0, false, true, false, true, 0x80000008}},
    };
    const std::vector<std::pair<const char *, QString>> texts = {
        {"mixed line ends", kMixedText},
        {"one character", QStringLiteral("x")},
        {"only line ends", QStringLiteral("\n\r\n\n")},
        {"empty", QString()},
    };
    for (const auto &[dialogName, format] : dialogs) {
        for (const auto &[textName, text] : texts) {
            SCOPED_TRACE(std::string(dialogName) + ", " + textName);
            RichTextBox steps;
            RichTextBox once;
            FillMixed(steps);
            FillMixed(once);
            StepByStep(steps, text, format);
            once.ReplaceText(text, format);
            const Snapshot expected = Take(steps);
            const Snapshot actual = Take(once);
            EXPECT_EQ(actual.text, expected.text);
            EXPECT_EQ(actual.position, 0);
            EXPECT_EQ(actual.anchor, 0);
            EXPECT_TRUE(actual == expected);
            // Typing at the caret afterwards goes on in the same format.
            steps.insertPlainText(QStringLiteral("typed"));
            once.insertPlainText(QStringLiteral("typed"));
            EXPECT_TRUE(Take(once) == Take(steps));
        }
    }
}

TEST(OpenFormatting, richTextRoundTripIsWhatTheControlGivesBack)
{
    RichTextBox control;
    control.setPlainText(kMixedText + QStringLiteral("\r\r\n\uFDD0frame\uFDD1\u00A0"));
    EXPECT_EQ(RichTextBox::PlainTextRoundTrip(kMixedText + QStringLiteral("\r\r\n\uFDD0frame\uFDD1\u00A0")),
              control.Text());
    EXPECT_EQ(RichTextBox::PlainTextRoundTrip(QStringLiteral("ends in a lone\r")),
              QStringLiteral("ends in a lone\n"));
}

// A reader that holds the document back until the test lets it go, or until it is told to stop.
class HeldReader
{
  public:
    documents::DocumentText operator()(const QString &, int, std::stop_token stop)
    {
        std::unique_lock lock(mutex_);
        started_ = true;
        wake_.wait(lock, stop, [this] { return released_; });
        stopped_ = stop.stop_requested();
        return documents::DocumentText::Success(QStringLiteral("The held document."));
    }
    void Release()
    {
        {
            const std::lock_guard lock(mutex_);
            released_ = true;
        }
        wake_.notify_all();
    }
    bool Started()
    {
        const std::lock_guard lock(mutex_);
        return started_;
    }
    bool Stopped()
    {
        const std::lock_guard lock(mutex_);
        return stopped_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable_any wake_;
    bool started_ = false;
    bool released_ = false;
    bool stopped_ = false;
};

// Counts the paints of a widget.
class PaintCounter : public QObject
{
  public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

class OpenDocumentTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        services::MessageBox::SetCurrent(&box);
        Main::Options options;
        options.definition = QStringLiteral(ORVENA_BINARY_DIR "/resources/studio/Main.json");
        options.engine.catalogue = std::make_shared<speech::VoiceCatalogue>(std::vector<speech::VoiceMode>{});
        QString error;
        window = Main::Create(options, &error);
        ASSERT_TRUE(window) << error.toStdString();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        editor = window->RichTextBox1();
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override
    {
        window.reset();
        services::MessageBox::SetCurrent(nullptr);
    }

    QString Write(const char *name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // Runs `during` once the open is waiting for its reader, then opens.
    void OpenWhileWaiting(HeldReader &reader, const std::function<void()> &during)
    {
        window->SetDocumentReader(
            [&reader](const QString &p, int i, std::stop_token s) { return reader(p, i, s); });
        QTimer::singleShot(0, window.get(), [&] {
            ASSERT_TRUE(QTest::qWaitFor([&] { return reader.Started(); }, 10000));
            during();
        });
        window->OpenDocumentFile(QStringLiteral("/any/held.txt"), documents::kFilterText);
    }

    services::RecordingMessageBox box;
    ScriptedDialogProvider dialogs;
    ScriptedDialogProvider::Scope scope{dialogs};
    QTemporaryDir dir;
    std::unique_ptr<Main> window;
    RichTextBox *editor = nullptr;
};

TEST_F(OpenDocumentTest, openedFileGetsTheDialogsFormatAsTheStepsGaveIt)
{
    const QByteArray bytes = "Windows lines\r\nand \xC3\xA9 accents\r\n\r\nend";
    const QString path = Write("doc.txt", bytes);
    // The same editor state on both sides: the typing format the window starts with.
    RichTextBox reference;
    reference.setFont(editor->font());
    reference.setCurrentCharFormat(editor->currentCharFormat());
    FillMixed(reference);
    FillMixed(*editor);
    window->CommonDialog1().SetFontName(QStringLiteral("Liberation Serif"));
    window->CommonDialog1().SetFontSize(13);
    window->CommonDialog1().SetFontBold(true);
    window->CommonDialog1().SetFontUnderline(true);
    window->CommonDialog1().SetColor(0x008000);

    StepByStep(reference, documents::ReadTextFile(path),
               {QStringLiteral("Liberation Serif"), 13, true, false, true, false, 0x008000});

    dialogs.openAnswers.push_back(FileDialogAnswer{path, documents::kFilterText});
    window->cmdOpen_Click();
    EXPECT_EQ(editor->Text(), QStringLiteral("Windows lines\nand é accents\n\nend"));
    EXPECT_TRUE(Take(*editor) == Take(reference));
    EXPECT_EQ(editor->Tag(), path);
    EXPECT_EQ(editor->SelLength(), 0);
    EXPECT_FALSE(window->IsOpening());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the hourglass is gone";
}

TEST_F(OpenDocumentTest, windowRepaintsAndInputWaitsWhileASlowReaderRuns)
{
    editor->SetText(QStringLiteral("before"));
    HeldReader reader;
    PaintCounter paints(editor->viewport());
    bool hourglass = false;
    OpenWhileWaiting(reader, [&] {
        EXPECT_TRUE(window->IsOpening());
        hourglass =
            QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        const int before = paints.paints;
        editor->viewport()->update();
        EXPECT_TRUE(QTest::qWaitFor([&] { return paints.paints > before; }, 5000)) << "the window repaints";
        // Typing and clicking wait for the document, as with any busy window.
        QTest::keyClicks(editor, QStringLiteral("xyz"));
        QTest::mouseClick(editor->viewport(), Qt::LeftButton);
        EXPECT_EQ(editor->Text(), QStringLiteral("before"));
        reader.Release();
    });
    EXPECT_TRUE(hourglass);
    EXPECT_FALSE(reader.Stopped());
    EXPECT_EQ(editor->Text(), QStringLiteral("The held document."));
    EXPECT_EQ(editor->Tag(), QStringLiteral("/any/held.txt"));
    EXPECT_FALSE(window->IsOpening());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(OpenDocumentTest, escapeAbandonsTheOpenAndLeavesTheEditorAsItWas)
{
    FillMixed(*editor);
    editor->SetTag(QStringLiteral("/earlier.txt"));
    const Snapshot before = Take(*editor);
    HeldReader reader;
    OpenWhileWaiting(reader, [&] { QTest::keyClick(editor, Qt::Key_Escape); });
    EXPECT_FALSE(window->IsOpening());
    EXPECT_TRUE(Take(*editor) == before);
    EXPECT_EQ(editor->Tag(), QStringLiteral("/earlier.txt"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(box.calls.empty());
    // The reader was told to stop, and its late result goes nowhere.
    EXPECT_TRUE(QTest::qWaitFor([&] { return reader.Stopped(); }, 10000));
    QTest::qWait(50);
    EXPECT_TRUE(Take(*editor) == before);
}

TEST_F(OpenDocumentTest, failedOpensAreReportedAndLeaveTheEditorAsItWas)
{
    FillMixed(*editor);
    editor->SetTag(QStringLiteral("/earlier.txt"));
    const Snapshot before = Take(*editor);

    // Past the size caps (sparse files: no disk is spent on them).
    const QString bigText = Write("big.txt", {});
    const QString bigRtf = Write("big.rtf", {});
    ASSERT_TRUE(QFile::resize(bigText, documents::kMaxDocumentBytes + 1));
    ASSERT_TRUE(QFile::resize(bigRtf, documents::kMaxDocumentBytes + 1));
    const QString notRtf = Write("plain.rtf", "not rich text at all");
    const QString notWord = Write("binary.doc", QByteArray("\x01\x02\x00\x03\xFF\xFE\x00", 7).repeated(100));

    const std::vector<std::tuple<const char *, QString, int, QString>> cases = {
        {"plain text past the cap", bigText, documents::kFilterText,
         QString::fromLatin1(documents::kErrorTooLarge)},
        {"all files past the cap", bigText, documents::kFilterAllFiles,
         QString::fromLatin1(documents::kErrorTooLarge)},
        {"rich text past the cap", bigRtf, documents::kFilterRichText,
         QString::fromLatin1(documents::kErrorTooLarge)},
        {"rich text that is not", notRtf, documents::kFilterRichText,
         QString::fromLatin1(documents::kErrorLoadingRichText)},
        {"missing rich text", dir.filePath(QStringLiteral("gone.rtf")), documents::kFilterRichText,
         QString::fromLatin1(documents::kErrorLoadingRichText)},
        {"word document that is not", notWord, documents::kFilterWord,
         QString::fromLatin1(documents::kErrorConvertingWord)},
    };
    for (const auto &[name, path, filter, message] : cases) {
        SCOPED_TRACE(name);
        box.calls.clear();
        window->OpenDocumentFile(path, filter);
        ASSERT_EQ(box.calls.size(), 1u);
        EXPECT_EQ(box.calls[0].text, message);
        EXPECT_EQ(box.calls[0].flags, services::MB_OK | services::MB_ICONSTOP);
        EXPECT_TRUE(Take(*editor) == before);
        EXPECT_EQ(editor->Tag(), QStringLiteral("/earlier.txt"));
    }

    // A plain-text file that cannot be read is named in its message, and costs nothing either.
    box.calls.clear();
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    window->OpenDocumentFile(missing, documents::kFilterText);
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_TRUE(box.calls[0].text.contains(QStringLiteral("missing.txt"))) << box.calls[0].text.toStdString();
    EXPECT_TRUE(Take(*editor) == before);
}

} // namespace
