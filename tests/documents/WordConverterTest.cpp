// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/ImportWordDocument.h"
#include "studio/documents/WordConverter.h"

#include "platform/services/MessageBox.h"
#include "tests/documents/Fixtures.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace documents;
using documents::test::Fixture;

namespace {

const QString kSampleText = QStringLiteral("Orvena reads documents aloud.\nLine one\nline two\nName\tValue\n"
                                           "A1\tB1\nA2\tB2\nCafé, naïve, 東京 — done.");

// Writes an executable shell script standing in for a converter program.
QString FakeProgram(const QTemporaryDir &folder, const char *name, const QByteArray &body)
{
    const QString path = folder.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\n" + body + "\n");
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

class MessageBoxScope {
public:
    MessageBoxScope() { services::MessageBox::SetCurrent(&box); }
    ~MessageBoxScope() { services::MessageBox::SetCurrent(nullptr); }
    services::RecordingMessageBox box;
};

} // namespace

TEST(WordConverter, formatIsDecidedByContentNotByName)
{
    using F = WordConverter::Format;
    EXPECT_EQ(WordConverter::Detect(Fixture("long.doc")), F::LegacyWord);
    EXPECT_EQ(WordConverter::Detect(Fixture("sample.docx")), F::Docx);
    EXPECT_EQ(WordConverter::Detect(Fixture("sample.odt")), F::Odt);
    EXPECT_EQ(WordConverter::Detect(Fixture("nested.rtf")), F::RichText);
    EXPECT_EQ(WordConverter::Detect(Fixture("two-pages.pdf")), F::Pdf);
    EXPECT_EQ(WordConverter::Detect(Fixture("page.html")), F::WebPage);
    EXPECT_EQ(WordConverter::Detect(Fixture("utf16le.txt")), F::PlainText);
    EXPECT_EQ(WordConverter::Detect(Fixture("binary.bin")), F::Unknown);
    EXPECT_EQ(WordConverter::Detect(Fixture("no-such.doc")), F::Missing);
}

TEST(WordConverter, legacyDocumentsThroughAntiwordAndShortOnesThroughCatdoc)
{
    const DocumentText longDoc = WordConverter::Convert(Fixture("long.doc"));
    ASSERT_TRUE(longDoc.ok);
    EXPECT_TRUE(longDoc.text.startsWith(u"The first paragraph of a longer document"));
    EXPECT_TRUE(longDoc.text.endsWith(u"closes the document with a short sentence."));
    EXPECT_EQ(longDoc.text.count(QChar(u'\n')), 2);

    // antiword refuses a document this short; the chain goes on to catdoc.
    ConverterTools tools = ConverterTools::Installed();
    EXPECT_FALSE(WordConverter::RunAntiword(Fixture("short.doc"), tools).ok);
    const DocumentText shortDoc = WordConverter::Convert(Fixture("short.doc"), tools);
    ASSERT_TRUE(shortDoc.ok);
    EXPECT_EQ(shortDoc.text, QStringLiteral("A short note.\nIt has two paragraphs."));
}

TEST(WordConverter, antiwordTablesBecomeTabSeparatedCells)
{
    const DocumentText result = WordConverter::RunAntiword(Fixture("sample.doc"), ConverterTools::Installed());
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(result.text.contains(u"\nA1\tB1\nA2\tB2\n")) << result.text.toStdString();
    EXPECT_FALSE(result.text.contains(u'|'));
    EXPECT_TRUE(result.text.endsWith(u"Café, naïve, 東京 — done."));
}

TEST(WordConverter, word2007AndOpenDocumentAreReadDirectly)
{
    // No converter program at all: these never need one.
    const ConverterTools none{};
    for (const char *name : {"sample.docx", "sample.odt"}) {
        SCOPED_TRACE(name);
        const DocumentText result = WordConverter::Convert(Fixture(name), none);
        ASSERT_TRUE(result.ok);
        EXPECT_EQ(result.text, kSampleText + u'\n');
    }
}

TEST(WordConverter, word2007LeavesOutHiddenDeletedInstructionAndFallbackText)
{
    const DocumentText result = WordConverter::Convert(Fixture("edge-cases.docx"), ConverterTools{});
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.text, QStringLiteral("Kept text\tafter tab\nlink\nnext\u2011line\nbox\nshown\n"));
}

TEST(WordConverter, officeIsTheLastResortAndItsEmptySuccessIsAFailure)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ConverterTools tools;
    tools.antiword = FakeProgram(folder, "antiword", "exit 1");
    tools.catdoc = FakeProgram(folder, "catdoc", "exit 1");
    tools.office = FakeProgram(folder, "soffice", R"(printf '\357\273\277Converted by office\n')");
    const DocumentText converted = WordConverter::Convert(Fixture("long.doc"), tools);
    ASSERT_TRUE(converted.ok);
    EXPECT_EQ(converted.text, QStringLiteral("Converted by office"));

    // It exits with 0 and prints only its byte-order mark when it could not load the file.
    tools.office = FakeProgram(folder, "soffice-failing", R"(printf '\357\273\277'; echo 'Error: source file could not be loaded' >&2)");
    const DocumentText failed = WordConverter::Convert(Fixture("long.doc"), tools);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, QString::fromLatin1(kErrorConvertingWord));
}

TEST(WordConverter, installedOfficeConvertsWhenTheOtherConvertersFail)
{
    ConverterTools tools = ConverterTools::Installed();
    if (tools.office.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed (it is optional)";
    tools.antiword.clear();
    tools.catdoc.clear();
    const DocumentText result = WordConverter::Convert(Fixture("short.doc"), tools);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.text, QStringLiteral("A short note.\nIt has two paragraphs."));
}

TEST(WordConverter, converterThatHangsIsStoppedAtItsTimeLimit)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ConverterTools tools;
    // A child of its own that keeps the output pipe open, as a stuck office launcher would.
    tools.antiword = FakeProgram(folder, "antiword", "sleep 600 & sleep 600");
    tools.catdoc = tools.antiword;
    tools.timeLimit = std::chrono::milliseconds(300);
    const DocumentText result = WordConverter::Convert(Fixture("long.doc"), tools);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, QString::fromLatin1(kErrorConvertingWord));
}

TEST(WordConverter, missingProgramsAndUnreadableFilesFail)
{
    EXPECT_FALSE(WordConverter::Convert(Fixture("long.doc"), ConverterTools{}).ok);
    EXPECT_FALSE(WordConverter::Convert(Fixture("binary.bin")).ok);
    EXPECT_FALSE(WordConverter::Convert(Fixture("no-such.doc")).ok);
    // A zip that is neither kind of document.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile zip(folder.filePath(QStringLiteral("fake.docx")));
    ASSERT_TRUE(zip.open(QIODevice::WriteOnly));
    zip.write("PK\x03\x04 this is no zip archive");
    zip.close();
    EXPECT_FALSE(WordConverter::Convert(zip.fileName()).ok);
}

TEST(ImportWordDocument, failureShowsTheStopMessageAndReturnsNothing)
{
    MessageBoxScope scope;
    EXPECT_FALSE(ImportWordDocument(Fixture("binary.bin")).has_value());
    ASSERT_EQ(scope.box.calls.size(), 1u);
    EXPECT_EQ(scope.box.calls[0].text, QString::fromLatin1(kErrorConvertingWord));
    EXPECT_EQ(scope.box.calls[0].flags, services::MB_OK | services::MB_ICONSTOP);
}

TEST(ImportWordDocument, neverTouchesTheClipboard)
{
    MessageBoxScope scope;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("what the user copied"));
    for (const char *name : {"long.doc", "short.doc", "sample.docx", "sample.odt"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(ImportWordDocument(Fixture(name)).has_value());
        EXPECT_EQ(clipboard->text(), QStringLiteral("what the user copied"));
    }
    EXPECT_TRUE(scope.box.calls.empty());
}
