// SPDX-License-Identifier: GPL-3.0-or-later
#include "HostileDocuments.h"

#include "studio/documents/DocumentStrings.h"
#include "studio/documents/EpubReader.h"
#include "studio/documents/PackageXml.h"
#include "studio/documents/TextForEditor.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace documents;

namespace {

QString Book(const char *name)
{
    return QStringLiteral(ORVENA_EPUB_FIXTURES "/") + QLatin1String(name);
}

QStringList Titles(const EpubReader::Book &book)
{
    QStringList titles;
    for (const auto &chapter : book.chapters)
        titles << chapter.title;
    return titles;
}

const QByteArray kContainer =
    "<?xml version=\"1.0\"?><container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">"
    "<rootfiles><rootfile full-path=\"book.opf\" media-type=\"application/oebps-package+xml\"/></rootfiles></container>";

} // namespace

TEST(EpubReader, readsTheSpineInReadingOrderWithTheNavigationTitlesAndWithoutScriptsOrStyles)
{
    QString why;
    const std::optional<EpubReader::Book> book = EpubReader::Read(Book("spine-order.epub"), &why);
    ASSERT_TRUE(book) << why.toStdString();
    EXPECT_EQ(book->title, QStringLiteral("The Order of Things"));
    EXPECT_EQ(book->text, QStringLiteral("The Opening\n\nIt began on a Monday.\n\n"
                                         "The Middle\n\nThen came the middle.\n\nMuch later.\n\n"
                                         "Epilogue\n\nAnd so it ended.\n"));
    // The cover holds no text and starts no chapter; a nested entry does not name its document.
    EXPECT_EQ(Titles(*book), (QStringList{QStringLiteral("Chapter 1: The Opening"), QStringLiteral("Chapter 2: The Middle"),
                                          QStringLiteral("Epilogue")}));
    EXPECT_EQ(book->chapters[0].start, 0);
    EXPECT_EQ(book->text.mid(book->chapters[1].start, 10), QStringLiteral("The Middle"));
    EXPECT_EQ(book->text.mid(book->chapters[2].start, 8), QStringLiteral("Epilogue"));
    EXPECT_FALSE(book->text.contains(QStringLiteral("SCRIPT TEXT")) || book->text.contains(QStringLiteral("STYLE TEXT")));
}

TEST(EpubReader, anEpub2BookTakesItsTitlesFromTheNcxAndDecodesNamedEntities)
{
    QString why;
    const std::optional<EpubReader::Book> book = EpubReader::Read(Book("ncx.epub"), &why);
    ASSERT_TRUE(book) << why.toStdString();
    EXPECT_EQ(book->text, QStringLiteral("Morning\n\nCaf\u00e9 first, then work.\n\nEvening\n\nThe sun went down\u00a0slowly.\n"));
    EXPECT_EQ(Titles(*book), (QStringList{QStringLiteral("I. Morning"), QStringLiteral("II. Evening")}));
}

TEST(EpubReader, brokenBooksAreRefusedWithTheReason)
{
    const struct {
        const char *book;
        const char *reason;
    } rows[] = {
        {"broken-container.epub", "missing.opf"},
        {"no-container.epub", "container.xml"},
        {"missing-chapter.epub", "b-middle.xhtml"},
        {"not-a-zip.epub", "zip"},
    };
    for (const auto &row : rows) {
        QString why;
        EXPECT_FALSE(EpubReader::Read(Book(row.book), &why)) << row.book;
        EXPECT_TRUE(why.contains(QLatin1String(row.reason))) << row.book << ": " << why.toStdString();
        const DocumentText loaded = TextForEditor(Book(row.book), kFilterEpub);
        EXPECT_FALSE(loaded.ok);
        EXPECT_TRUE(loaded.error.startsWith(QLatin1String(kErrorLoadingEpub))) << loaded.error.toStdString();
    }
}

TEST(EpubReader, hostileBooksAreRefusedWithinBounds)
{
    QTemporaryDir dir;
    const QByteArray opf = "<package xmlns=\"http://www.idpf.org/2007/opf\"><manifest>"
                           "<item id=\"c\" href=\"c.xhtml\" media-type=\"application/xhtml+xml\"/></manifest>";
    // A content document inflating far past the size of any real chapter (a few kilobytes of zip).
    const QString bomb = dir.filePath(QStringLiteral("bomb.epub"));
    ASSERT_TRUE(test::WritePackage(bomb, {{"META-INF/container.xml", {kContainer, {}, 0, {}}},
                                          {"book.opf", {opf + "<spine><itemref idref=\"c\"/></spine></package>", {}, 0, {}}},
                                          {"c.xhtml", {"<html><body>", "<p>words words</p>", 5'000'000, "</body></html>"}}}));
    QString why;
    EXPECT_FALSE(EpubReader::Read(bomb, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("c.xhtml"))) << why.toStdString();

    // A spine of more documents than any book has.
    const QString endless = dir.filePath(QStringLiteral("endless.epub"));
    ASSERT_TRUE(test::WritePackage(endless, {{"META-INF/container.xml", {kContainer, {}, 0, {}}},
                                             {"book.opf", {opf + "<spine>", "<itemref idref=\"c\"/>", 20000, "</spine></package>"}},
                                             {"c.xhtml", {"<html><body><p>Hello.</p></body></html>", {}, 0, {}}}}));
    EXPECT_FALSE(EpubReader::Read(endless, &why));

    // Deep nesting in the navigation document is walked without recursion and refused; the
    // book is still read, without titles from it.
    const QString deep = dir.filePath(QStringLiteral("deep.epub"));
    const QByteArray navOpf = "<package xmlns=\"http://www.idpf.org/2007/opf\"><manifest>"
                              "<item id=\"n\" href=\"nav.xhtml\" properties=\"nav\" media-type=\"application/xhtml+xml\"/>"
                              "<item id=\"c\" href=\"c.xhtml\" media-type=\"application/xhtml+xml\"/></manifest>"
                              "<spine><itemref idref=\"c\"/></spine></package>";
    ASSERT_TRUE(test::WritePackage(
        deep, {{"META-INF/container.xml", {kContainer, {}, 0, {}}},
               {"book.opf", {navOpf, {}, 0, {}}},
               {"nav.xhtml", test::Nested("<ol>", "</ol>", qint64(kMaxElementDepth) + 10, "<a href=\"c.xhtml\">Deep</a>")},
               {"c.xhtml", {"<html><body><p>Hello.</p></body></html>", {}, 0, {}}}}));
    const std::optional<EpubReader::Book> book = EpubReader::Read(deep, &why);
    ASSERT_TRUE(book) << why.toStdString();
    EXPECT_EQ(book->text, QStringLiteral("Hello.\n"));
    EXPECT_EQ(Titles(*book), QStringList{QStringLiteral("Hello.")});
}

TEST(EpubReader, theOpenFilterOffersBooksNinthAndTheirExtensionChoosesIt)
{
    const QStringList parts = QString::fromLatin1(kOpenFilter).split(u'|');
    ASSERT_EQ(parts.size(), 18);
    EXPECT_EQ(parts[16], QStringLiteral("EPUB Book (*.epub)"));
    EXPECT_EQ(parts[17], QStringLiteral("*.epub"));
    EXPECT_EQ(FilterIndexForPath(QStringLiteral("/books/Novel.EPUB")), kFilterEpub);
    const DocumentText loaded = TextForEditor(Book("ncx.epub"), kFilterEpub);
    ASSERT_TRUE(loaded.ok);
    EXPECT_TRUE(loaded.text.startsWith(QStringLiteral("Morning")));
}
