// SPDX-License-Identifier: GPL-3.0-or-later
// Regression tests for hostile documents, devices and pipes: each is generated here, and each
// must be read or refused with a message, never crash the reader, hang it or exhaust memory.
#include "studio/documents/DocumentFile.h"
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/HtmlTextReader.h"
#include "studio/documents/RtfReader.h"
#include "studio/documents/TextForEditor.h"
#include "studio/documents/ZipDocumentReader.h"

#include "tests/documents/HostileDocuments.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace documents;
using namespace documents::test;

namespace {

const QString kConversionError = QString::fromLatin1(kErrorConvertingWord);
const QString kTooLarge = QString::fromLatin1(kErrorTooLarge);

// Runs the loader on a thread of its own so that a loader blocking in open() or read() fails the
// test instead of hanging it (the blocked thread is left behind).
std::optional<DocumentText> LoadWithin(const QString &path, int filter, std::chrono::seconds limit)
{
    auto promise = std::make_shared<std::promise<DocumentText>>();
    std::future<DocumentText> result = promise->get_future();
    std::thread([promise, path, filter] { promise->set_value(TextForEditor(path, filter)); }).detach();
    if (result.wait_for(limit) != std::future_status::ready)
        return std::nullopt;
    return result.get();
}

class HostileDocument : public ::testing::Test {
protected:
    QString Path(const char *name) const { return folder.filePath(QString::fromLatin1(name)); }
    QString Write(const char *name, const QByteArray &bytes) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(HostileDocument, deepNestingInsideWordTextIsWalkedWithoutRecursion)
{
    // 100,000 levels inside one w:t overflowed the stack; a document that deep is refused.
    const RepeatedBytes deep = Nested("<x>", "</x>", 100000, "deep");
    ASSERT_TRUE(
        WriteDocx(Path("deep.docx"), {"<w:p><w:r><w:t>" + deep.head + "</w:t></w:r></w:p>", {}, 0, {}}));
    EXPECT_EQ(TextForEditor(Path("deep.docx"), kFilterWord2007).error, kConversionError);
    // The same file under a legacy Word name goes the same way.
    ASSERT_TRUE(QFile::copy(Path("deep.docx"), Path("deep.doc")));
    EXPECT_EQ(TextForEditor(Path("deep.doc"), kFilterWord).error, kConversionError);

    ASSERT_TRUE(WriteOdt(Path("deep.odt"), Nested("<text:span>", "</text:span>", 100000, "deep")));
    EXPECT_EQ(TextForEditor(Path("deep.odt"), kFilterOpenDocument).error, kConversionError);

    // Moderate nesting inside w:t keeps all the nested text, as a word processor shows it.
    const RepeatedBytes some = Nested("<x>", "</x>", 500, "middle");
    EXPECT_EQ(ZipDocumentReader::DocxText(
                  kDocxHead + ("<w:p><w:r><w:t>a" + some.head + "z</w:t></w:r></w:p>") + kDocxTail),
              QStringLiteral("amiddlez\n"));
}

TEST(HtmlTextReader, markupHeavyPagesAreReadInOnePass)
{
    // Each of these took time quadratic in the page (or never ended) when every '<' copied the
    // rest of the page.
    EXPECT_EQ(HtmlTextReader::VisibleText(QString(1 << 20, QChar(u'<'))).size(), 1 << 20);
    const QString divs = QString(QStringLiteral("<div>")).repeated(1000000) + QStringLiteral("inside") +
                         QString(QStringLiteral("</div>")).repeated(1000000);
    EXPECT_EQ(HtmlTextReader::VisibleText(divs), QStringLiteral("inside"));
    EXPECT_EQ(HtmlTextReader::VisibleText(QString(QStringLiteral("<!---->a")).repeated(200000)).size(),
              200000);
    EXPECT_EQ(HtmlTextReader::VisibleText(QString(QStringLiteral("<a b='>")).repeated(200000)), QString());
}

TEST_F(HostileDocument, elementsWithThousandsOfAttributesOrNamespacesAreRefused)
{
    // The XML reader compares each attribute with those before it: 200,000 of them took a minute.
    const RepeatedBytes attributes{"<w:p><w:r ", " a=\"1\"", 200000, "><w:t>never</w:t></w:r></w:p>"};
    ASSERT_TRUE(WriteDocx(Path("attributes.docx"), attributes));
    EXPECT_EQ(TextForEditor(Path("attributes.docx"), kFilterWord2007).error, kConversionError);
    ASSERT_TRUE(WriteOdt(Path("attributes.odt"), {"<text:p ", " a=\"1\"", 200000, ">never</text:p>"}));
    EXPECT_EQ(TextForEditor(Path("attributes.odt"), kFilterOpenDocument).error, kConversionError);
    // Unique names, quoted '>' and '=' and a split across the reader's chunks change nothing.
    QByteArray unique = "<w:p";
    for (int i = 0; i < 5000; ++i)
        unique += " a" + QByteArray::number(i) + "='=>'";
    EXPECT_FALSE(ZipDocumentReader::DocxText(kDocxHead + unique + "/>" + kDocxTail).has_value());

    // Every prefix is looked up through the declarations in scope.
    const RepeatedBytes namespaces = Nested("<w:r xmlns:a=\"urn:a\">", "</w:r>", 5000, "");
    EXPECT_FALSE(ZipDocumentReader::DocxText(kDocxHead + namespaces.head + kDocxTail).has_value());

    // Entities declared in the document could expand without bound, a thousand characters for
    // every few bytes of text.
    const QByteArray head(kDocxHead);
    const QByteArray withEntities = head.first(head.indexOf("<w:document")) + "<!DOCTYPE w:document [<!ENTITY e \""
                                    + QByteArray(1000, 'e') + "\">]>" + head.sliced(head.indexOf("<w:document"))
                                    + "<w:p><w:r><w:t>" + QByteArray("&e;").repeated(1000000) + "</w:t></w:r></w:p>"
                                    + kDocxTail;
    EXPECT_FALSE(ZipDocumentReader::DocxText(withEntities).has_value());

    // What word processors write passes: a few dozen attributes, comments and CDATA with quotes.
    QByteArray ordinary = "<!-- \" ' < = --><w:p";
    for (int i = 0; i < 60; ++i)
        ordinary += " w:a" + QByteArray::number(i) + "=\"x\"";
    ordinary += "><w:r><w:t><![CDATA[\"<'=]]>ok</w:t></w:r></w:p>";
    EXPECT_EQ(ZipDocumentReader::DocxText(kDocxHead + ordinary + kDocxTail), QStringLiteral("\"<'=ok\n"));
}

TEST_F(HostileDocument, zipBombsAreRefusedWhileInflating)
{
    // 300 MB of markup in a package of a few hundred kilobytes: refused at the part's cap.
    ASSERT_TRUE(WriteDocx(Path("markup.docx"), {"", "<w:p/>", 50 * 1024 * 1024, ""}));
    EXPECT_LT(QFileInfo(Path("markup.docx")).size(), 1024 * 1024);
    EXPECT_EQ(TextForEditor(Path("markup.docx"), kFilterWord2007).error, kConversionError);
    // Text inflating beyond what the editor takes: refused at the text's cap.
    ASSERT_TRUE(WriteOdt(Path("text.odt"), {"<text:p>", "wordy ", 12 * 1024 * 1024, "</text:p>"}));
    EXPECT_EQ(TextForEditor(Path("text.odt"), kFilterOpenDocument).error, kConversionError);
}

TEST_F(HostileDocument, devicesAndPipesAreReadWithTheCapAndNeverBlock)
{
    // Devices report a size of 0; what they deliver is capped like a file's bytes.
    EXPECT_EQ(LoadWithin(QStringLiteral("/dev/zero"), kFilterText, std::chrono::seconds(60))->error,
              kTooLarge);
    EXPECT_EQ(LoadWithin(QStringLiteral("/dev/urandom"), kFilterRichText, std::chrono::seconds(60))->error,
              kTooLarge);
    EXPECT_EQ(LoadWithin(QStringLiteral("/dev/zero"), kFilterWebPage, std::chrono::seconds(60))->error,
              kTooLarge);
    EXPECT_EQ(LoadWithin(QStringLiteral("/dev/zero"), kFilterWord, std::chrono::seconds(60))->error,
              kConversionError);

    // A pipe nobody writes to: every loader returns at once (with nothing, or its failure).
    const QString fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (int filter = 1; filter <= OpenFilterCount(); ++filter) {
        SCOPED_TRACE(filter);
        const std::optional<DocumentText> result = LoadWithin(fifo, filter, std::chrono::seconds(20));
        ASSERT_TRUE(result.has_value()) << "blocked on a pipe";
        EXPECT_TRUE(result->ok ? result->text.isEmpty() : !result->error.isEmpty());
    }
    EXPECT_TRUE(LoadWithin(fifo, kFilterText, std::chrono::seconds(20))->ok);

    // A regular file is capped by what it holds, not what it reports.
    const DocumentBytes head = ReadDocumentBytes(Write("big.txt", QByteArray(10000, 'x')), 4096);
    EXPECT_EQ(head.status, DocumentBytes::Status::TooLarge);
    EXPECT_EQ(head.bytes.size(), 4096);
}

TEST_F(HostileDocument, unreadableTextFilesFailNamingTheFileAndTheReason)
{
    struct Case {
        const char *edgeCase;
        QString path;
        const char *reason;
    };
    const int badName = ::open(QFile::encodeName(folder.path()) + "/bad\xff.txt", O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(badName, 0);
    ::close(badName);
    const std::vector<Case> cases = {
        {"missing file", Path("missing.txt"), "No such file"},
        {"folder", folder.path(), "folder"},
        {"name bytes invalid in UTF-8", folder.path() + QString::fromLocal8Bit("/bad\xff.txt"), "encoding"},
        {"lone surrogate", folder.path() + QStringLiteral("/") + QChar(0xD800) + QStringLiteral(".txt"),
         "encoding"},
    };
    for (const Case &c : cases) {
        for (int filter : {int(kFilterText), int(kFilterAllFiles)}) {
            SCOPED_TRACE(std::string(c.edgeCase) + ", filter " + std::to_string(filter));
            const DocumentText result = TextForEditor(c.path, filter);
            EXPECT_FALSE(result.ok);
            EXPECT_TRUE(result.error.contains(c.path)) << qPrintable(result.error);
            EXPECT_TRUE(result.error.contains(QLatin1String(c.reason))) << qPrintable(result.error);
        }
    }

    // Permissions do not stop root, who runs the suite in CI; elsewhere they are checked too.
    if (::geteuid() != 0) {
        const QString locked = Write("locked.txt", "secret");
        ASSERT_TRUE(QFile::setPermissions(locked, {}));
        const DocumentText result = TextForEditor(locked, kFilterText);
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.error.contains(QLatin1String("Permission denied"))) << qPrintable(result.error);
    }
}

TEST(RtfReader, hexEscapedNulIsDroppedLikeEveryReaderDropsNul)
{
    EXPECT_EQ(RtfReader::Read("{\\rtf1\\ansi a\\'00b\\u0?c}").text, QStringLiteral("abc"));
}
