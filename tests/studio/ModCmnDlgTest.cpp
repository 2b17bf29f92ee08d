// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/ModCmnDlg.h"

#include "studio/documents/DocumentStrings.h"
#include "studio/documents/TextForEditor.h"
#include "tests/studio/ScriptedDialogProvider.h"

#include <QApplication>
#include <QFileDialog>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

using namespace studio;
using studio::test::ScriptedDialogProvider;

namespace {

// The module's values live for the whole run; every case starts from the values at start.
class ModCmnDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ModCmnDlg::SetDialogFilter(QString::fromLatin1(documents::kOpenFilter));
        ModCmnDlg::SetDialogFilterIndex(0);
        ModCmnDlg::SetDialogFileName({});
    }

    ScriptedDialogProvider dialogs;
    ScriptedDialogProvider::Scope scope{dialogs};
};

// The open button's sequence as far as the module decides it: dialog, then the loader of the
// chosen filter; a cancelled dialog or an empty name leaves the editor alone.
void OpenInto(QTextEdit &editor)
{
    if (!ModCmnDlg::ShowOpenDialog() || ModCmnDlg::DialogFileName().isEmpty())
        return;
    editor.clear();
    if (std::optional<QString> text = documents::LoadForEditor(ModCmnDlg::DialogFileName(), ModCmnDlg::DialogFilterIndex()))
        editor.insertPlainText(*text);
}

} // namespace

TEST_F(ModCmnDlgTest, firstDialogStartsOnTheFirstFilterThenOnTheOneUsedLast)
{
    dialogs.openAnswers = {FileDialogAnswer{QStringLiteral("/docs/letter.rtf"), 2}, std::nullopt};
    ASSERT_TRUE(ModCmnDlg::ShowOpenDialog());
    EXPECT_EQ(ModCmnDlg::DialogFileName(), QStringLiteral("/docs/letter.rtf"));
    EXPECT_EQ(ModCmnDlg::DialogFilterIndex(), 2);
    EXPECT_FALSE(ModCmnDlg::ShowOpenDialog());

    ASSERT_EQ(dialogs.openRequests.size(), 2u);
    EXPECT_EQ(dialogs.openRequests[0].filterIndex, 0);
    EXPECT_EQ(dialogs.openRequests[1].filterIndex, 2);
    // The filter pairs reach the dialog in order, the historical four first.
    const std::vector<FileFilter> &filters = dialogs.openRequests[0].filters;
    ASSERT_EQ(filters.size(), 9u); // EPUB books came ninth
    EXPECT_EQ(filters[0].description, QStringLiteral("Text Files (*.txt)"));
    EXPECT_EQ(filters[0].pattern, QStringLiteral("*.txt"));
    EXPECT_EQ(filters[3].description, QStringLiteral("All files (*.*)"));
    EXPECT_EQ(filters[7].pattern, QStringLiteral("*.htm;*.html"));
    // No owner, folder or title is ever given.
    EXPECT_EQ(dialogs.openRequests[0].owner, nullptr);
    EXPECT_TRUE(dialogs.openRequests[0].title.isEmpty());
    EXPECT_TRUE(dialogs.openRequests[0].initialFolder.isEmpty());
}

TEST_F(ModCmnDlgTest, cancelAfterAnEarlierOpenChangesNothingAndLeavesTheEditorUntouched)
{
    QTextEdit editor;
    dialogs.openAnswers = {FileDialogAnswer{QStringLiteral(ORVENA_FIXTURES "/documents/utf8.txt"), 1}, std::nullopt};
    OpenInto(editor);
    const QString opened = editor.toPlainText();
    EXPECT_TRUE(opened.startsWith(u"Grüße aus Köln"));

    editor.append(QStringLiteral("typed afterwards"));
    const QString before = editor.toPlainText();
    OpenInto(editor); // cancelled
    EXPECT_EQ(editor.toPlainText(), before);
    EXPECT_EQ(ModCmnDlg::DialogFileName(), QStringLiteral(ORVENA_FIXTURES "/documents/utf8.txt"));
    EXPECT_EQ(ModCmnDlg::DialogFilterIndex(), 1);
}

TEST_F(ModCmnDlgTest, returnedPathIsCutAtItsFirstNul)
{
    dialogs.openAnswers = {FileDialogAnswer{QStringLiteral("/docs/a.txt") + QChar(u'\0') + QStringLiteral("junk"), 4}};
    ASSERT_TRUE(ModCmnDlg::ShowOpenDialog());
    EXPECT_EQ(ModCmnDlg::DialogFileName(), QStringLiteral("/docs/a.txt"));
    EXPECT_EQ(ModCmnDlg::DialogFilterIndex(), 4);
}

TEST(ModCmnDlg, stripAtNull)
{
    EXPECT_EQ(ModCmnDlg::StripAtNull(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(ModCmnDlg::StripAtNull(QString()), QString());
    EXPECT_EQ(ModCmnDlg::StripAtNull(QString(QChar(u'\0')) + QStringLiteral("abc")), QString());
    EXPECT_EQ(ModCmnDlg::StripAtNull(QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("c") + QChar(u'\0')), QStringLiteral("ab"));
}

TEST(DialogProvider, filterStringsBecomeEntriesAndQtNameFilters)
{
    const std::vector<FileFilter> filters =
        DialogProvider::ParseFilter(QStringLiteral("Wav Files (*.wav)|*.wav|Odd|*.a;*.b|Dangling"));
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(QtDialogProvider::NameFilter(filters[0]), QStringLiteral("Wav Files (*.wav)"));
    EXPECT_EQ(QtDialogProvider::NameFilter(filters[1]), QStringLiteral("Odd (*.a *.b)"));
    EXPECT_EQ(QtDialogProvider::NameFilter({QStringLiteral("Web Page (*.htm *.html)"), QStringLiteral("*.htm;*.html")}),
              QStringLiteral("Web Page (*.htm *.html)"));
    EXPECT_TRUE(DialogProvider::ParseFilter(QString()).empty());
}

TEST(DialogProvider, qtOpenDialogStartsOnTheRequestedFilterAndReportsTheOneChosen)
{
    // Drive the real dialog: wait for it to appear, check where it starts, pick a file and filter.
    QtDialogProvider provider;
    FileDialogRequest request;
    request.filters = DialogProvider::ParseFilter(QString::fromLatin1(documents::kOpenFilter));
    request.filterIndex = 2;
    request.initialFolder = QStringLiteral(ORVENA_FIXTURES "/documents");
    QString startedOn;
    QTimer driver;
    driver.setInterval(10);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        driver.stop();
        startedOn = dialog->selectedNameFilter();
        dialog->selectNameFilter(QStringLiteral("All files (*.*)"));
        dialog->selectFile(QStringLiteral(ORVENA_FIXTURES "/documents/long.doc"));
        static_cast<QDialog *>(dialog)->accept();
    });
    driver.start();
    const std::optional<FileDialogAnswer> answer = provider.GetOpenFileName(request);
    EXPECT_EQ(startedOn, QStringLiteral("Rich Text (*.rtf)"));
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->filterIndex, documents::kFilterAllFiles);
    EXPECT_TRUE(answer->fileName.endsWith(u"/long.doc"));
}
