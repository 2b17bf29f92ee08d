// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/HtmlTextReader.h"
#include "studio/documents/PdfReader.h"
#include "studio/documents/ReadTextFile.h"
#include "studio/documents/TextForEditor.h"

#include "platform/services/MessageBox.h"
#include "tests/documents/Fixtures.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace documents;
using documents::test::Fixture;
using documents::test::FixtureBytes;

TEST(OpenFilter, keepsTheFourHistoricalEntriesFirstAndAddsTheNewKindsAfterThem)
{
    const QString filter = QString::fromLatin1(kOpenFilter);
    EXPECT_TRUE(filter.startsWith(QString::fromLatin1(kLegacyOpenFilter) + u'|'));
    const QStringList parts = filter.split(u'|');
    ASSERT_EQ(parts.size(), 18); // nine entries since EPUB books came ninth
    EXPECT_EQ(parts[2 * (kFilterAllFiles - 1)], QStringLiteral("All files (*.*)"));
    EXPECT_EQ(parts[2 * (kFilterOpenDocument - 1)], QStringLiteral("OpenDocument Text (*.odt)"));
    EXPECT_EQ(parts[2 * (kFilterWord2007 - 1)], QStringLiteral("Word 2007 Document (*.docx)"));
    EXPECT_EQ(parts[2 * (kFilterPdf - 1)], QStringLiteral("PDF Document (*.pdf)"));
    EXPECT_EQ(parts[2 * (kFilterWebPage - 1)], QStringLiteral("Web Page (*.htm *.html)"));
    EXPECT_EQ(parts[2 * (kFilterEpub - 1)], QStringLiteral("EPUB Book (*.epub)"));
}

TEST(TextForEditor, theLoaderFollowsTheFilterNotTheExtension)
{
    // "All files" with a Word document reads its raw bytes as text.
    const DocumentText raw = TextForEditor(Fixture("long.doc"), kFilterAllFiles);
    ASSERT_TRUE(raw.ok);
    EXPECT_EQ(raw.text, DecodeTextFileBytes(FixtureBytes("long.doc")));
    EXPECT_TRUE(raw.text.startsWith(QStringLiteral("ÐÏ\u0011à¡±\u001Aá")));

    // The Word filter with the same file converts it; with a text file it reads the text.
    const DocumentText converted = TextForEditor(Fixture("long.doc"), kFilterWord);
    ASSERT_TRUE(converted.ok);
    EXPECT_TRUE(converted.text.startsWith(u"The first paragraph"));
    EXPECT_EQ(TextForEditor(Fixture("utf8.txt"), kFilterWord).text, ReadTextFile(Fixture("utf8.txt")));

    // The rich-text filter with a text file is an error; the text filter shows RTF source.
    EXPECT_FALSE(TextForEditor(Fixture("utf8.txt"), kFilterRichText).ok);
    EXPECT_TRUE(TextForEditor(Fixture("nested.rtf"), kFilterText).text.startsWith(u"{\\rtf1"));
}

// An unreadable text file used to open as an empty text and report success; it now fails with a
// message naming the file (the cases of unreadable files are in HostileDocumentTest).
TEST(TextForEditor, unreadableFilesOfEveryKindReportTheirFailure)
{
    const DocumentText text = TextForEditor(Fixture("missing.txt"), kFilterText);
    EXPECT_FALSE(text.ok);
    EXPECT_TRUE(text.error.contains(Fixture("missing.txt"))) << qPrintable(text.error);
    EXPECT_EQ(TextForEditor(Fixture("missing.rtf"), kFilterRichText).error,
              QString::fromLatin1(kErrorLoadingRichText));
    EXPECT_EQ(TextForEditor(Fixture("missing.doc"), kFilterWord).error,
              QString::fromLatin1(kErrorConvertingWord));
    EXPECT_EQ(TextForEditor(Fixture("utf8.txt"), kFilterPdf).error, QString::fromLatin1(kErrorLoadingPdf));
    EXPECT_EQ(TextForEditor(Fixture("missing.html"), kFilterWebPage).error, QString::fromLatin1(kErrorLoadingWebPage));
}

TEST(TextForEditor, indexesOutsideTheFilterLoadNothing)
{
    for (int index : {0, 10, -1}) { // 10: one past the last entry (EPUB books are 9)
        const DocumentText result = TextForEditor(Fixture("utf8.txt"), index);
        EXPECT_TRUE(result.ok);
        EXPECT_TRUE(result.text.isEmpty());
    }
}

TEST(TextForEditor, filterIndexFromTheExtension)
{
    EXPECT_EQ(FilterIndexForPath(QStringLiteral("/a/b.TXT")), kFilterText);
    EXPECT_EQ(FilterIndexForPath(QStringLiteral("b.rtf")), kFilterRichText);
    EXPECT_EQ(FilterIndexForPath(QStringLiteral("b.doc")), kFilterWord);
    EXPECT_EQ(FilterIndexForPath(QStringLiteral("b.odt")), kFilterOpenDocument);
    EXPECT_EQ(FilterIndexForPath(QStringLiteral("b.docx")), kFilterWord2007);
    EXPECT_EQ(FilterIndexForPath(QStringLiteral("b.pdf")), kFilterPdf);
    EXPECT_EQ(FilterIndexForPath(QStringLiteral("b.htm")), kFilterWebPage);
    EXPECT_EQ(FilterIndexForPath(QStringLiteral("b.html")), kFilterWebPage);
    EXPECT_EQ(FilterIndexForPath(QStringLiteral("README")), kFilterAllFiles);
}

TEST(LoadForEditor, failureIsShownWithTheStopIcon)
{
    services::RecordingMessageBox box;
    services::MessageBox::SetCurrent(&box);
    EXPECT_FALSE(LoadForEditor(Fixture("not-rtf.rtf"), kFilterRichText).has_value());
    EXPECT_EQ(LoadForEditor(Fixture("utf8.txt"), kFilterText), ReadTextFile(Fixture("utf8.txt")));
    services::MessageBox::SetCurrent(nullptr);
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, QString::fromLatin1(kErrorLoadingRichText));
    EXPECT_EQ(box.calls[0].flags, services::MB_OK | services::MB_ICONSTOP);
}

TEST(PdfReader, twoPagesInReadingOrder)
{
    const DocumentText result = PdfReader::LoadFile(Fixture("two-pages.pdf"));
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.text, QStringLiteral("This is the first page.\nThis is the second page.\n"));
}

TEST(PdfReader, damagedOrForeignFilesFail)
{
    for (const char *name : {"utf8.txt", "binary.bin", "missing.pdf"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(PdfReader::LoadFile(Fixture(name)).ok);
    }
}

TEST(HtmlTextReader, visibleTextOnlyWithBlocksCellsAndPreformattedText)
{
    const DocumentText result = HtmlTextReader::LoadFile(Fixture("page.html"));
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.text, QStringLiteral("Heading\n\n"
                                          "First paragraph spans lines & has <entities> ééé €\u00A05.\n\n"
                                          "Line one\nline two\n\n"
                                          "A1\tB1\nA2\tB2\n"
                                          "  keep   this\n  spacing\n"
                                          "item one\nitem two"));
}

TEST(HtmlTextReader, charsetFromTheMetaDeclaration)
{
    const DocumentText result = HtmlTextReader::LoadFile(Fixture("latin1.htm"));
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.text, QStringLiteral("Привет"));
}

TEST(HtmlTextReader, malformedMarkupKeepsTheText)
{
    EXPECT_EQ(HtmlTextReader::VisibleText(QStringLiteral("a <b>bold</b> & more")), QStringLiteral("a bold & more"));
    EXPECT_EQ(HtmlTextReader::VisibleText(QStringLiteral("x < y and a<3")), QStringLiteral("x < y and a<3"));
    EXPECT_EQ(HtmlTextReader::VisibleText(QStringLiteral("<p title=\"a>b\">text</p>")), QStringLiteral("text"));
    EXPECT_EQ(HtmlTextReader::VisibleText(QStringLiteral("before<script>never ends")), QStringLiteral("before"));
    EXPECT_EQ(HtmlTextReader::VisibleText(QStringLiteral("&#0;&#x110000;&#99999999999;&bogus;&#128;")),
              QStringLiteral("\uFFFD\uFFFD\uFFFD&bogus;€"));
    EXPECT_EQ(HtmlTextReader::VisibleText(QStringLiteral("<!-- never closed")), QString());
}
