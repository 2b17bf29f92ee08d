// SPDX-License-Identifier: GPL-3.0-or-later
// The editing commands of the studio window, the rich-text editor's tri-state selection values
// and the level display's arithmetic.
#include "studio/LevelDisplay.h"
#include "studio/Main.h"
#include "studio/ModCmnDlg.h"
#include "studio/RichTextBox.h"
#include "studio/StudioStrings.h"

#include "platform/services/Clipboard.h"
#include "platform/services/MessageBox.h"
#include "platform/ui/Twips.h"
#include "speech/VoiceCatalogue.h"
#include "tests/studio/ScriptedDialogProvider.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

using namespace studio;
using studio::test::ScriptedDialogProvider;

namespace
{

class EditingTest : public ::testing::Test
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
        editor = window->RichTextBox1();
        ModCmnDlg::SetDialogFilterIndex(0);
    }
    void TearDown() override
    {
        window.reset();
        services::MessageBox::SetCurrent(nullptr);
    }

    void Select(int start, int length)
    {
        editor->SetSelStart(start);
        editor->SetSelLength(length);
    }

    QColor ColourAt(int position) const
    {
        QTextCursor c(editor->document());
        c.setPosition(position + 1);
        return c.charFormat().foreground().color();
    }

    services::RecordingMessageBox box;
    ScriptedDialogProvider dialogs;
    ScriptedDialogProvider::Scope scope{dialogs};
    std::unique_ptr<Main> window;
    RichTextBox *editor = nullptr;
};

TEST_F(EditingTest, BoldOnMixedSelectionMakesPlainThenBold)
{
    editor->SetText(QStringLiteral("plain bold"));
    Select(6, 4);
    window->cmdBold_Click();
    EXPECT_EQ(editor->SelBold(), std::optional<bool>(true));
    Select(0, 10);
    EXPECT_EQ(editor->SelBold(), std::nullopt);
    window->cmdBold_Click();
    EXPECT_EQ(editor->SelBold(), std::optional<bool>(false));
    window->cmdBold_Click();
    EXPECT_EQ(editor->SelBold(), std::optional<bool>(true));
    window->cmdItalic_Click();
    EXPECT_EQ(editor->SelItalic(), std::optional<bool>(true));
}

TEST_F(EditingTest, FormattingALongSelectionFormatsAllOfItAndLaysItOutAgain)
{
    // Long enough for the editor to lay the change out in the background.
    QString text;
    for (int i = 0; i < 4000; ++i)
        text += QStringLiteral("Line %1 of a long document to be made bold and red.\n").arg(i);
    editor->SetText(text);
    const QSizeF pageSize = editor->document()->pageSize();
    (void)editor->document()->pageCount();
    const double height = editor->document()->size().height();
    Select(10, editor->TextLength() - 20);
    window->cmdBold_Click();
    dialogs.colourAnswers.push_back(0x0000FFu);
    window->cmdForeColor_Click();
    EXPECT_EQ(editor->SelBold(), std::optional<bool>(true));
    EXPECT_EQ(ColourAt(10), QColor(255, 0, 0));
    EXPECT_EQ(ColourAt(editor->TextLength() - 11), QColor(255, 0, 0));
    EXPECT_NE(ColourAt(editor->TextLength() - 5), QColor(255, 0, 0)) << "nothing past the selection";
    EXPECT_EQ(editor->document()->pageSize(), pageSize);
    (void)editor->document()->pageCount();
    EXPECT_GE(editor->document()->size().height(), height) << "bold text is laid out again, no shorter";
}

TEST_F(EditingTest, CancelledFontDialogAppliesThePreviousChoice)
{
    editor->SetText(QStringLiteral("some text"));
    Select(0, 4);
    dialogs.fontAnswers.push_back(
        FontChoice{QStringLiteral("Liberation Serif"), 14, true, false, true, false});
    window->cmdFont_Click();
    EXPECT_EQ(window->CommonDialog1().Flags(), 3);
    Select(5, 4);
    dialogs.fontAnswers.push_back(std::nullopt);
    window->cmdFont_Click();
    QTextCursor c(editor->document());
    c.setPosition(7);
    EXPECT_EQ(c.charFormat().fontFamilies().toStringList().value(0), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(c.charFormat().fontPointSize(), 14);
    EXPECT_TRUE(c.charFormat().fontUnderline());
    EXPECT_EQ(editor->SelBold(), std::optional<bool>(true));
}

TEST_F(EditingTest, ClipboardCommands)
{
    editor->SetText(QStringLiteral("cut this"));
    Select(0, 4);
    window->cmdCut_Click();
    EXPECT_EQ(editor->Text(), QStringLiteral("this"));
    EXPECT_EQ(services::Clipboard::GetText(), QStringLiteral("cut "));
    editor->SetSelStart(4);
    window->cmdPaste_Click();
    EXPECT_EQ(editor->Text(), QStringLiteral("thiscut "));
    window->cmdClear_Click();
    Select(0, 2);
    window->cmdPaste_Click(); // empty clipboard: nothing happens
    EXPECT_EQ(editor->Text(), QStringLiteral("thiscut "));
    EXPECT_EQ(editor->SelLength(), 2);
    window->cmdDelete_Click();
    EXPECT_EQ(editor->Text(), QStringLiteral("iscut "));
    window->cmdAll_Click();
    EXPECT_EQ(editor->SelLength(), 6);
}

TEST_F(EditingTest, SelectAllOnEmptyEditorFocusesIt)
{
    window->activateWindow();
    window->cmdAll_Click();
    EXPECT_EQ(editor->SelLength(), 0);
    EXPECT_TRUE(editor->hasFocus() || QApplication::focusWidget() == editor || !window->isActiveWindow());
}

TEST_F(EditingTest, BackColourReachesNextOpenedDocument)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Opened text");
    file.close();

    dialogs.colourAnswers.push_back(0x0000FFu); // red
    window->cmdBackColor_Click();
    EXPECT_EQ(editor->BackColor(), 0x0000FFu);

    dialogs.openAnswers.push_back(FileDialogAnswer{path, 1});
    window->cmdOpen_Click();
    EXPECT_EQ(editor->Text(), QStringLiteral("Opened text"));
    EXPECT_EQ(editor->SelStart(), 0);
    EXPECT_EQ(editor->SelLength(), 0);
    EXPECT_EQ(ColourAt(3), QColor(255, 0, 0));
    EXPECT_EQ(editor->Tag(), path);

    // A cancelled dialog leaves the editor as it is.
    window->cmdOpen_Click();
    EXPECT_EQ(editor->Text(), QStringLiteral("Opened text"));
}

TEST_F(EditingTest, OpenOffersTheHistoricalFiltersFirstAndReadsABookFromTheNinth)
{
    dialogs.openAnswers.push_back(FileDialogAnswer{QStringLiteral(ORVENA_EPUB_FIXTURES "/ncx.epub"), 9});
    window->cmdOpen_Click();
    ASSERT_FALSE(dialogs.openRequests.empty());
    const auto &filters = dialogs.openRequests.back().filters;
    ASSERT_EQ(filters.size(), 9u);
    EXPECT_EQ(filters[0].description, QStringLiteral("Text Files (*.txt)"));
    EXPECT_EQ(filters[3].description, QStringLiteral("All files (*.*)"));
    EXPECT_EQ(filters[8].description, QStringLiteral("EPUB Book (*.epub)"));
    EXPECT_TRUE(editor->Text().startsWith(QStringLiteral("Morning"))) << editor->Text().toStdString();
    EXPECT_TRUE(editor->Text().contains(QStringLiteral("The sun went down")));
}

TEST_F(EditingTest, ClearEmptiesEditor)
{
    editor->SetText(QStringLiteral("gone"));
    window->cmdClearText_Click();
    EXPECT_TRUE(editor->Text().isEmpty());
}

TEST(LevelDisplayTest, LevelsClampAtZeroAndHeight)
{
    LevelDisplay display;
    display.resize(121, 47);
    display.Prepare(20);
    const float h = static_cast<float>(display.H());
    display.SetStepSource([] { return 9; });
    for (int i = 0; i < 200; ++i)
        display.Tick();
    EXPECT_EQ(display.Level(0), h);
    EXPECT_EQ(display.Level(19), h);
    display.SetStepSource([] { return 10; });
    for (int i = 0; i < 200; ++i)
        display.Tick();
    EXPECT_EQ(display.Level(5), 0.0f);
}

TEST(LevelDisplayTest, ColourRampAndBarPixels)
{
    LevelDisplay display;
    display.resize(121, 47);
    display.Prepare(20);
    // v = (i + 5) x 10.2: bar 0 is 51, 101, 101; the last bar's green and blue stop at 255.
    EXPECT_EQ(display.BarColour(0), 0x656533u);
    EXPECT_EQ(display.BarColour(19) & 0xFF, 245u);
    EXPECT_EQ((display.BarColour(19) >> 8) & 0xFF, 255u);
    display.SetStepSource([] { return 10; });
    for (int i = 0; i < 10; ++i)
        display.Tick();
    display.Flush();
    // Level 0 fills the whole bar; the segment line cuts it at the top row.
    const QImage &picture = display.Picture();
    EXPECT_EQ(picture.pixelColor(3, 22), QColor(51, 101, 101));
    EXPECT_EQ(picture.pixelColor(3, 0), QColor(0xEC, 0xB0, 0x60));
}

TEST(LevelDisplayTest, PictureIsOneLinePerTwipOfEveryBarCutBySegmentLines)
{
    LevelDisplay display;
    display.resize(161, 53);
    display.Prepare(7); // bars of a width in twips that is no whole number of pixels
    const float h = static_cast<float>(display.H());
    const std::vector<float> levels = {0, 1, 33.3f, 50, 99.9f, 100, h};
    for (int i = 0; i < 7; ++i)
        display.SetLevel(i, levels[std::size_t(i)]);
    display.SetStepSource([] { return 2; }); // one tick: every level 2 lower (clamped at 0)
    display.Tick();
    display.Flush();

    // The picture drawn the long way: a line for every twip across each bar.
    const double px = ui::Twips::PerPixelX(&display);
    const double py = ui::Twips::PerPixelY(&display);
    const auto colour = [](std::uint32_t c) {
        return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
    };
    QImage expected(display.size(), QImage::Format_RGB32);
    expected.fill(colour(display.BackColor()));
    QPainter painter(&expected);
    const double height = display.H();
    for (int i = 0; i < 7; ++i) {
        painter.setPen(QPen(colour(display.BarColour(i)), 1));
        for (int j = 1; j <= static_cast<int>(std::nearbyint(display.BarWidth())); ++j) {
            const double x = (i * display.BarWidth() + j) / px;
            const double top = height / 100 * display.Level(i) / py;
            if (top < height / py)
                painter.drawLine(QPointF(static_cast<int>(x), top),
                                 QPointF(static_cast<int>(x), height / py));
        }
    }
    painter.setPen(QPen(colour(display.BackColor()), 1));
    for (double y = 1; y <= std::nearbyint(height); y += LevelDisplay::SegmentStep)
        painter.drawLine(QPointF(0, y / py), QPointF(display.W() / px, y / py));
    painter.end();
    EXPECT_EQ(display.Picture(), expected);
    EXPECT_EQ(display.Level(0), 0.0f);
    EXPECT_EQ(display.Level(6), h - 2);
}

TEST(LevelDisplayTest, TicksFasterThanFramesDrawOncePerFrame)
{
    LevelDisplay display;
    display.resize(121, 47);
    display.Prepare(20);
    display.show();
    for (int i = 0; i < 500; ++i)
        display.Tick();
    QCoreApplication::processEvents();
    EXPECT_LE(display.RenderCount(), 1);
}

} // namespace
