// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/ZipDocumentReader.h"

#include <QFile>
#include <QXmlStreamReader>

#include <zip.h>

#include <memory>
#include <vector>

namespace documents {

namespace {

// A packed part larger than this is refused: a few kilobytes of zip can inflate to gigabytes.
constexpr zip_uint64_t kMaxPartBytes = 256 * 1024 * 1024;

struct ZipCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;

struct ZipFileCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

ZipArchive OpenArchive(const QString &path)
{
    int error = 0;
    return ZipArchive(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
}

bool HasEntry(zip_t *archive, const char *name)
{
    return zip_name_locate(archive, name, 0) >= 0;
}

std::optional<QByteArray> ReadEntry(zip_t *archive, const char *name, zip_uint64_t limit)
{
    const zip_int64_t index = zip_name_locate(archive, name, 0);
    if (index < 0)
        return std::nullopt;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, zip_uint64_t(index), 0, &stat) != 0)
        return std::nullopt;
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > limit)
        return std::nullopt;
    std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive, zip_uint64_t(index), 0));
    if (!file)
        return std::nullopt;
    QByteArray bytes;
    char buffer[64 * 1024];
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        // The declared size may lie; the limit holds for what actually inflates.
        if (zip_uint64_t(bytes.size()) + zip_uint64_t(got) > limit)
            return std::nullopt;
        bytes.append(buffer, qsizetype(got));
    }
    return bytes;
}

bool IsWordNamespace(QStringView uri)
{
    return uri.endsWith(u"wordprocessingml/2006/main") || uri.endsWith(u"wordprocessingml/main");
}

bool IsMarkupCompatibility(QStringView uri)
{
    return uri.endsWith(u"markup-compatibility/2006");
}

// Table cells and rows share one rule in both formats: a cell's last paragraph end becomes the
// cell separator, and the row's last separator becomes the end of the row.
void EndCell(QString &out)
{
    if (out.endsWith(QChar(u'\n')))
        out.chop(1);
    out.append(QChar(u'\t'));
}

void EndRow(QString &out)
{
    if (out.endsWith(QChar(u'\t')))
        out.chop(1);
    out.append(QChar(u'\n'));
}

bool IsTrue(QStringView value)
{
    return value.isEmpty() || !(value == u"0" || value == u"false" || value == u"off");
}

} // namespace

ZipDocumentReader::Kind ZipDocumentReader::Detect(const QString &path)
{
    ZipArchive archive = OpenArchive(path);
    if (!archive)
        return Kind::None;
    if (HasEntry(archive.get(), "word/document.xml"))
        return Kind::Docx;
    if (HasEntry(archive.get(), "content.xml")) {
        // Spreadsheets and presentations are packages with a content.xml too; only text counts.
        const std::optional<QByteArray> mime = ReadEntry(archive.get(), "mimetype", 1024);
        if (!mime || mime->trimmed().startsWith("application/vnd.oasis.opendocument.text"))
            return Kind::Odt;
    }
    return Kind::None;
}

DocumentText ZipDocumentReader::Read(const QString &path)
{
    ZipArchive archive = OpenArchive(path);
    if (!archive)
        return DocumentText::Failure({});
    std::optional<QString> text;
    if (HasEntry(archive.get(), "word/document.xml")) {
        if (std::optional<QByteArray> xml = ReadEntry(archive.get(), "word/document.xml", kMaxPartBytes))
            text = DocxText(*xml);
    } else if (Detect(path) == Kind::Odt) {
        if (std::optional<QByteArray> xml = ReadEntry(archive.get(), "content.xml", kMaxPartBytes))
            text = OdtText(*xml);
    }
    if (!text)
        return DocumentText::Failure({});
    return DocumentText::Success(std::move(*text));
}

std::optional<QString> ZipDocumentReader::DocxText(const QByteArray &documentXml)
{
    QXmlStreamReader xml(documentXml);
    QString out;
    bool runHidden = false;
    int runPropertiesDepth = 0; // inside a run's own properties (not a paragraph mark's)
    std::vector<QString> names; // local names of the open elements

    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView uri = xml.namespaceUri();
            const QString name = xml.name().toString();
            const QString parentName = names.empty() ? QString() : names.back();
            if (IsMarkupCompatibility(uri) && name == u"Fallback") {
                // The same content again for older readers: reading it would double text boxes.
                xml.skipCurrentElement();
                continue;
            }
            if (!IsWordNamespace(uri)) {
                names.push_back(name);
                continue;
            }
            if (name == u"delText" || name == u"instrText" || name == u"delInstrText") {
                xml.skipCurrentElement();
                continue;
            }
            if (name == u"r") {
                runHidden = false;
            } else if (name == u"rPr" && parentName == u"r") {
                ++runPropertiesDepth;
            } else if (name == u"vanish" && runPropertiesDepth > 0) {
                runHidden = IsTrue(xml.attributes().value(QStringLiteral("w:val")));
            } else if (name == u"t") {
                const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                if (!runHidden)
                    out.append(text);
                continue; // readElementText consumed the end tag
            } else if (parentName == u"r" && !runHidden) {
                if (name == u"tab")
                    out.append(QChar(u'\t'));
                else if (name == u"br" || name == u"cr")
                    out.append(QChar(u'\n'));
                else if (name == u"noBreakHyphen")
                    out.append(QChar(u'\u2011'));
            }
            names.push_back(name);
        } else if (token == QXmlStreamReader::EndElement) {
            if (!names.empty())
                names.pop_back();
            if (!IsWordNamespace(xml.namespaceUri()))
                continue;
            const QStringView name = xml.name();
            if (name == u"p")
                out.append(QChar(u'\n'));
            else if (name == u"tc")
                EndCell(out);
            else if (name == u"tr")
                EndRow(out);
            else if (name == u"rPr" && runPropertiesDepth > 0 && !names.empty() && names.back() == u"r")
                --runPropertiesDepth;
            else if (name == u"r")
                runHidden = false;
        }
        if (out.size() > kMaxDocumentChars)
            return std::nullopt;
    }
    if (xml.hasError())
        return std::nullopt;
    return out;
}

std::optional<QString> ZipDocumentReader::OdtText(const QByteArray &contentXml)
{
    static const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
    static const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
    static const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
    static const QString kSvg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");

    QXmlStreamReader xml(contentXml);
    QString out;
    int bodyDepth = 0;         // inside office:text
    bool collapsing = true;    // the last character written was collapsible white space (or none)

    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView uri = xml.namespaceUri();
            const QStringView name = xml.name();
            if (uri == kOffice && name == u"text") {
                ++bodyDepth;
                continue;
            }
            if (bodyDepth == 0)
                continue;
            if ((uri == kOffice && name == u"annotation") || (uri == kText && (name == u"note" || name == u"tracked-changes"))
                || (uri == kSvg && (name == u"title" || name == u"desc"))) {
                xml.skipCurrentElement();
                continue;
            }
            if (uri != kText)
                continue;
            if (name == u"p" || name == u"h") {
                collapsing = true; // leading white space of a paragraph is not shown
            } else if (name == u"s") {
                bool ok = false;
                const int count = xml.attributes().value(kText, QStringLiteral("c")).toInt(&ok);
                out.append(QString(ok && count > 0 ? std::min(count, 1000) : 1, QChar(u' ')));
                collapsing = false;
            } else if (name == u"tab") {
                out.append(QChar(u'\t'));
                collapsing = false;
            } else if (name == u"line-break") {
                out.append(QChar(u'\n'));
                collapsing = true;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            const QStringView uri = xml.namespaceUri();
            const QStringView name = xml.name();
            if (uri == kOffice && name == u"text") {
                --bodyDepth;
                continue;
            }
            if (bodyDepth == 0)
                continue;
            if (uri == kText && (name == u"p" || name == u"h")) {
                out.append(QChar(u'\n'));
                collapsing = true;
            } else if (uri == kTable && name == u"table-cell") {
                EndCell(out);
            } else if (uri == kTable && name == u"table-row") {
                EndRow(out);
            }
        } else if (token == QXmlStreamReader::Characters && bodyDepth > 0) {
            // Runs of white space in the XML show as one space.
            for (const QChar ch : xml.text()) {
                if (ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r') {
                    if (!collapsing)
                        out.append(QChar(u' '));
                    collapsing = true;
                } else {
                    out.append(ch);
                    collapsing = false;
                }
            }
        }
        if (out.size() > kMaxDocumentChars)
            return std::nullopt;
    }
    if (xml.hasError())
        return std::nullopt;
    return out;
}

} // namespace documents
