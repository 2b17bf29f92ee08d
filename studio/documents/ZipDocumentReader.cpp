// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/ZipDocumentReader.h"

#include "studio/documents/DocumentFile.h"

#include <QFile>
#include <QIODevice>
#include <QXmlStreamReader>

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace documents {

namespace {

// A packed part inflating to more than this is refused: a few kilobytes of zip can inflate to
// gigabytes. The part is never held whole: it streams through the XML reader in small chunks.
constexpr qint64 kMaxPartBytes = 256 * 1024 * 1024;

// Bounds that keep the XML reader's work proportional to the document. It compares every
// attribute of an element with the ones before it and looks each prefix up through the namespace
// declarations in scope, so both grow quadratically when unbounded; word processors write a few
// dozen of each. Nesting is bounded because every open element is kept on a stack.
constexpr int kMaxAttributesPerElement = 256;
constexpr qsizetype kMaxNamespacesInScope = 1024;
constexpr std::size_t kMaxElementDepth = 10000;

struct ZipCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;

struct ZipFileCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};
using ZipEntry = std::unique_ptr<zip_file_t, ZipFileCloser>;

ZipArchive OpenArchive(const QString &path)
{
    // libzip opens by name: a pipe would block it and a device feed it forever.
    if (!IsRegularFile(path))
        return nullptr;
    int error = 0;
    return ZipArchive(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
}

bool HasEntry(zip_t *archive, const char *name)
{
    return zip_name_locate(archive, name, 0) >= 0;
}

ZipEntry OpenEntry(zip_t *archive, const char *name, zip_uint64_t limit)
{
    const zip_int64_t index = zip_name_locate(archive, name, 0);
    if (index < 0)
        return nullptr;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, zip_uint64_t(index), 0, &stat) != 0)
        return nullptr;
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > limit)
        return nullptr;
    return ZipEntry(zip_fopen_index(archive, zip_uint64_t(index), 0));
}

// A small part read whole (the package's mimetype).
std::optional<QByteArray> ReadSmallEntry(zip_t *archive, const char *name, qsizetype limit)
{
    ZipEntry file = OpenEntry(archive, name, zip_uint64_t(limit));
    if (!file)
        return std::nullopt;
    QByteArray bytes(limit + 1, Qt::Uninitialized);
    qsizetype have = 0;
    while (have <= limit) {
        const zip_int64_t got = zip_fread(file.get(), bytes.data() + have, zip_uint64_t(bytes.size() - have));
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        have += qsizetype(got);
    }
    if (have > limit)
        return std::nullopt;
    bytes.truncate(have);
    return bytes;
}

// Watches the raw markup on its way to the XML reader and stops a start tag with more attributes
// than kMaxAttributesPerElement before the reader spends quadratic time on it. A state machine
// over the bytes, so it works across chunk boundaries; comments, CDATA sections, processing
// instructions and quoted values are passed over.
class MarkupGuard
{
  public:
    bool Scan(const char *data, qint64 size)
    {
        for (qint64 i = 0; i < size; ++i) {
            const char c = data[i];
            switch (state_) {
            case State::Text:
                if (c == '<')
                    state_ = State::Open;
                break;
            case State::Open:
                if (c == '!') {
                    state_ = State::Bang;
                } else if (c == '?') {
                    Enter(State::Instruction);
                } else {
                    attributes_ = 0;
                    quote_ = 0;
                    state_ = State::Tag;
                    if (c == '>')
                        state_ = State::Text;
                }
                break;
            case State::Bang:
                Enter(c == '-' ? State::Comment : c == '[' ? State::CData : State::Declaration);
                break;
            case State::Tag:
                if (quote_ != 0) {
                    if (c == quote_)
                        quote_ = 0;
                } else if (c == '"' || c == '\'') {
                    quote_ = c;
                } else if (c == '=') {
                    if (++attributes_ > kMaxAttributesPerElement)
                        return false;
                } else if (c == '>') {
                    state_ = State::Text;
                }
                break;
            case State::Comment: // ends with "-->"
                EndMarker(c, '-', 2);
                break;
            case State::CData: // ends with "]]>"
                EndMarker(c, ']', 2);
                break;
            case State::Instruction: // ends with "?>"
                EndMarker(c, '?', 1);
                break;
            case State::Declaration:
                if (c == '>')
                    state_ = State::Text;
                break;
            }
        }
        return true;
    }

  private:
    enum class State { Text, Open, Bang, Tag, Comment, CData, Instruction, Declaration };

    void Enter(State state)
    {
        state_ = state;
        marks_ = 0;
    }
    // The end of a section is `count` times `mark` and then '>'.
    void EndMarker(char c, char mark, int count)
    {
        if (c == '>' && marks_ >= count)
            state_ = State::Text;
        else if (c == mark)
            ++marks_;
        else
            marks_ = 0;
    }

    State state_ = State::Text;
    int attributes_ = 0;
    int marks_ = 0;
    char quote_ = 0;
};

// One part of the package as a sequential device the XML reader pulls from: chunks come from
// `source`, at most `limit` bytes in all, each scanned by the markup guard first.
class PartDevice : public QIODevice
{
  public:
    using Source = std::function<qint64(char *, qint64)>;

    PartDevice(Source source, qint64 limit) : source_(std::move(source)), limit_(limit)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    bool Refused() const { return refused_; }

  protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (refused_)
            return -1;
        const qint64 got = source_(data, std::min(maxSize, limit_ - total_ + 1));
        total_ += std::max<qint64>(got, 0);
        if (got < 0 || total_ > limit_ || !guard_.Scan(data, got)) {
            refused_ = true;
            return -1;
        }
        return got;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

  private:
    Source source_;
    qint64 limit_;
    qint64 total_ = 0;
    MarkupGuard guard_;
    bool refused_ = false;
};

// What a reader's visitor asks of the walk after a token.
enum class Walk { Continue, SkipElement, Refuse };

// Walks the part's XML one token at a time, never recursively, handing every token to `visit`
// (a start element answered with SkipElement has its content and end tag passed over). False
// when the XML is malformed, a bound is exceeded or the visitor refuses.
template <typename Visit> bool WalkXml(PartDevice &part, Visit &&visit)
{
    QXmlStreamReader xml(&part);
    std::vector<qsizetype> declared; // namespace declarations of each open element
    qsizetype inScope = 0;
    std::size_t skipDepth = 0; // while skipping: the depth of the skipped element, else 0
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const qsizetype count = xml.namespaceDeclarations().size();
            if (declared.size() >= kMaxElementDepth || inScope + count > kMaxNamespacesInScope)
                return false;
            declared.push_back(count);
            inScope += count;
        }
        if (skipDepth == 0) {
            const Walk next = visit(xml, token);
            if (next == Walk::Refuse)
                return false;
            if (next == Walk::SkipElement && token == QXmlStreamReader::StartElement)
                skipDepth = declared.size();
        }
        if (token == QXmlStreamReader::EndElement && !declared.empty()) {
            if (skipDepth == declared.size())
                skipDepth = 0;
            inScope -= declared.back();
            declared.pop_back();
        }
    }
    return !xml.hasError() && !part.Refused();
}

PartDevice::Source BytesSource(const QByteArray &bytes)
{
    return [&bytes, at = qsizetype(0)](char *data, qint64 maxSize) mutable -> qint64 {
        const qsizetype n = std::min<qsizetype>(qsizetype(maxSize), bytes.size() - at);
        std::memcpy(data, bytes.constData() + at, std::size_t(n));
        at += n;
        return n;
    };
}

PartDevice::Source EntrySource(zip_file_t *file)
{
    return
        [file](char *data, qint64 maxSize) -> qint64 { return zip_fread(file, data, zip_uint64_t(maxSize)); };
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

std::optional<QString> DocxPartText(PartDevice &part)
{
    QString out;
    bool runHidden = false;
    int runPropertiesDepth = 0; // inside a run's own properties (not a paragraph mark's)
    int textDepth = 0;          // inside a w:t: its text and that of anything nested in it
    std::vector<QString> names; // local names of the open elements

    const bool read = WalkXml(part, [&](QXmlStreamReader &xml, QXmlStreamReader::TokenType token) {
        if (textDepth > 0) {
            if (token == QXmlStreamReader::StartElement) {
                ++textDepth;
            } else if (token == QXmlStreamReader::EndElement) {
                --textDepth;
            } else if ((token == QXmlStreamReader::Characters ||
                        token == QXmlStreamReader::EntityReference) &&
                       !runHidden) {
                out.append(xml.text());
            }
            return out.size() > kMaxDocumentChars ? Walk::Refuse : Walk::Continue;
        }
        if (token == QXmlStreamReader::StartElement) {
            const QStringView uri = xml.namespaceUri();
            const QString name = xml.name().toString();
            const QString parentName = names.empty() ? QString() : names.back();
            // The same content again for older readers: reading it would double text boxes.
            if (IsMarkupCompatibility(uri) && name == u"Fallback")
                return Walk::SkipElement;
            if (!IsWordNamespace(uri)) {
                names.push_back(name);
                return Walk::Continue;
            }
            if (name == u"delText" || name == u"instrText" || name == u"delInstrText")
                return Walk::SkipElement;
            if (name == u"r") {
                runHidden = false;
            } else if (name == u"rPr" && parentName == u"r") {
                ++runPropertiesDepth;
            } else if (name == u"vanish" && runPropertiesDepth > 0) {
                runHidden = IsTrue(xml.attributes().value(QStringLiteral("w:val")));
            } else if (name == u"t") {
                textDepth = 1;
                return Walk::Continue; // its end tag closes textDepth, not `names`
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
                return Walk::Continue;
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
        return out.size() > kMaxDocumentChars ? Walk::Refuse : Walk::Continue;
    });
    if (!read)
        return std::nullopt;
    return out;
}

std::optional<QString> OdtPartText(PartDevice &part)
{
    static const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
    static const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
    static const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
    static const QString kSvg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");

    QString out;
    int bodyDepth = 0;         // inside office:text
    bool collapsing = true;    // the last character written was collapsible white space (or none)

    const bool read = WalkXml(part, [&](QXmlStreamReader &xml, QXmlStreamReader::TokenType token) {
        if (token == QXmlStreamReader::StartElement) {
            const QStringView uri = xml.namespaceUri();
            const QStringView name = xml.name();
            if (uri == kOffice && name == u"text") {
                ++bodyDepth;
                return Walk::Continue;
            }
            if (bodyDepth == 0)
                return Walk::Continue;
            if ((uri == kOffice && name == u"annotation") ||
                (uri == kText && (name == u"note" || name == u"tracked-changes")) ||
                (uri == kSvg && (name == u"title" || name == u"desc")))
                return Walk::SkipElement;
            if (uri != kText)
                return Walk::Continue;
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
                return Walk::Continue;
            }
            if (bodyDepth == 0)
                return Walk::Continue;
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
        return out.size() > kMaxDocumentChars ? Walk::Refuse : Walk::Continue;
    });
    if (!read)
        return std::nullopt;
    return out;
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
        const std::optional<QByteArray> mime = ReadSmallEntry(archive.get(), "mimetype", 1024);
        if (!mime || mime->trimmed().startsWith("application/vnd.oasis.opendocument.text"))
            return Kind::Odt;
    }
    return Kind::None;
}

DocumentText ZipDocumentReader::Read(const QString &path)
{
    const Kind kind = Detect(path);
    ZipArchive archive = OpenArchive(path);
    if (kind == Kind::None || !archive)
        return DocumentText::Failure({});
    ZipEntry entry = OpenEntry(archive.get(), kind == Kind::Docx ? "word/document.xml" : "content.xml",
                               zip_uint64_t(kMaxPartBytes));
    if (!entry)
        return DocumentText::Failure({});
    // The declared size may lie; the limit holds for what actually inflates.
    PartDevice part(EntrySource(entry.get()), kMaxPartBytes);
    std::optional<QString> text = kind == Kind::Docx ? DocxPartText(part) : OdtPartText(part);
    if (!text)
        return DocumentText::Failure({});
    return DocumentText::Success(std::move(*text));
}

std::optional<QString> ZipDocumentReader::DocxText(const QByteArray &documentXml)
{
    PartDevice part(BytesSource(documentXml), kMaxPartBytes);
    return DocxPartText(part);
}

std::optional<QString> ZipDocumentReader::OdtText(const QByteArray &contentXml)
{
    PartDevice part(BytesSource(contentXml), kMaxPartBytes);
    return OdtPartText(part);
}

} // namespace documents
