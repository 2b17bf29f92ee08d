// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/ZipDocumentReader.h"

#include "studio/documents/PackageXml.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <vector>

namespace documents {

namespace {

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

std::optional<QString> DocxPartText(XmlPartDevice &part)
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
            return out.size() > kMaxDocumentChars ? XmlWalk::Refuse : XmlWalk::Continue;
        }
        if (token == QXmlStreamReader::StartElement) {
            const QStringView uri = xml.namespaceUri();
            const QString name = xml.name().toString();
            const QString parentName = names.empty() ? QString() : names.back();
            // The same content again for older readers: reading it would double text boxes.
            if (IsMarkupCompatibility(uri) && name == u"Fallback")
                return XmlWalk::SkipElement;
            if (!IsWordNamespace(uri)) {
                names.push_back(name);
                return XmlWalk::Continue;
            }
            if (name == u"delText" || name == u"instrText" || name == u"delInstrText")
                return XmlWalk::SkipElement;
            if (name == u"r") {
                runHidden = false;
            } else if (name == u"rPr" && parentName == u"r") {
                ++runPropertiesDepth;
            } else if (name == u"vanish" && runPropertiesDepth > 0) {
                runHidden = IsTrue(xml.attributes().value(QStringLiteral("w:val")));
            } else if (name == u"t") {
                textDepth = 1;
                return XmlWalk::Continue; // its end tag closes textDepth, not `names`
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
                return XmlWalk::Continue;
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
        return out.size() > kMaxDocumentChars ? XmlWalk::Refuse : XmlWalk::Continue;
    });
    if (!read)
        return std::nullopt;
    return out;
}

std::optional<QString> OdtPartText(XmlPartDevice &part)
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
                return XmlWalk::Continue;
            }
            if (bodyDepth == 0)
                return XmlWalk::Continue;
            if ((uri == kOffice && name == u"annotation") ||
                (uri == kText && (name == u"note" || name == u"tracked-changes")) ||
                (uri == kSvg && (name == u"title" || name == u"desc")))
                return XmlWalk::SkipElement;
            if (uri != kText)
                return XmlWalk::Continue;
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
                return XmlWalk::Continue;
            }
            if (bodyDepth == 0)
                return XmlWalk::Continue;
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
        return out.size() > kMaxDocumentChars ? XmlWalk::Refuse : XmlWalk::Continue;
    });
    if (!read)
        return std::nullopt;
    return out;
}

} // namespace

ZipDocumentReader::Kind ZipDocumentReader::Detect(const QString &path)
{
    const std::optional<ZipPackage> package = ZipPackage::Open(path);
    if (!package)
        return Kind::None;
    if (package->Has("word/document.xml"))
        return Kind::Docx;
    if (package->Has("content.xml")) {
        // Spreadsheets and presentations are packages with a content.xml too; only text counts.
        const std::optional<QByteArray> mime = package->ReadSmall("mimetype", 1024);
        if (!mime || mime->trimmed().startsWith("application/vnd.oasis.opendocument.text"))
            return Kind::Odt;
    }
    return Kind::None;
}

DocumentText ZipDocumentReader::Read(const QString &path)
{
    const Kind kind = Detect(path);
    const std::optional<ZipPackage> package = ZipPackage::Open(path);
    if (kind == Kind::None || !package)
        return DocumentText::Failure({});
    const std::unique_ptr<XmlPartDevice> part = package->OpenPart(kind == Kind::Docx ? "word/document.xml" : "content.xml");
    if (!part)
        return DocumentText::Failure({});
    std::optional<QString> text = kind == Kind::Docx ? DocxPartText(*part) : OdtPartText(*part);
    if (!text)
        return DocumentText::Failure({});
    return DocumentText::Success(std::move(*text));
}

std::optional<QString> ZipDocumentReader::DocxText(const QByteArray &documentXml)
{
    return DocxPartText(*XmlPartDevice::FromBytes(documentXml));
}

std::optional<QString> ZipDocumentReader::OdtText(const QByteArray &contentXml)
{
    return OdtPartText(*XmlPartDevice::FromBytes(contentXml));
}

} // namespace documents
