// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/EpubReader.h"

#include "studio/documents/DocumentStrings.h"
#include "studio/documents/HtmlTextReader.h"
#include "studio/documents/PackageXml.h"

#include <QDir>
#include <QUrl>

#include <algorithm>
#include <map>

namespace documents {

namespace {

// More content documents than any book has; each costs a zip lookup and a parse.
constexpr std::size_t kMaxSpineItems = 10000;
constexpr std::size_t kMaxManifestItems = 50000;
// Bounds of the small XML parts (container, package, navigation).
constexpr qint64 kMaxPackagePartBytes = 16 * 1024 * 1024;

struct ManifestItem {
    QString href; // zip name
    QString mediaType;
    QString properties;
};

// `href` (relative to the part `base`, percent-encoded, maybe with a fragment) as a zip name;
// empty when it leaves the package or is a URL of elsewhere.
QString ResolveHref(const QString &base, const QString &href)
{
    QString path = href.section(u'#', 0, 0);
    if (path.isEmpty() || path.contains(QLatin1String("://")))
        return {};
    path = QUrl::fromPercentEncoding(path.toUtf8());
    QString joined;
    if (path.startsWith(u'/')) {
        joined = path.mid(1);
    } else {
        const qsizetype slash = base.lastIndexOf(u'/');
        joined = (slash < 0 ? QString() : base.left(slash + 1)) + path;
    }
    joined = QDir::cleanPath(joined);
    if (joined.startsWith(QLatin1String("../")) || joined == QLatin1String(".."))
        return {};
    return joined;
}

std::unique_ptr<XmlPartDevice> OpenPart(const ZipPackage &package, const QString &name, qint64 limit)
{
    const QByteArray zipName = name.toUtf8();
    return package.OpenPart(zipName.constData(), limit);
}

// The package document's zip name, from the first rootfile of the container.
QString PackagePath(const ZipPackage &package)
{
    const auto part = package.OpenPart("META-INF/container.xml", kMaxPackagePartBytes);
    if (!part)
        return {};
    QString found;
    const bool read = WalkXml(*part, [&](QXmlStreamReader &xml, QXmlStreamReader::TokenType token) {
        if (token == QXmlStreamReader::StartElement && xml.name() == u"rootfile" && found.isEmpty()) {
            const QStringView type = xml.attributes().value(QStringLiteral("media-type"));
            if (type.isEmpty() || type == u"application/oebps-package+xml")
                found = xml.attributes().value(QStringLiteral("full-path")).toString();
        }
        return XmlWalk::Continue;
    });
    return read ? ResolveHref(QString(), found) : QString();
}

struct PackageDocument {
    QString title;
    std::map<QString, ManifestItem> manifest; // by id
    std::vector<QString> spine;               // manifest ids in reading order
    QString ncxId;                            // the spine's toc attribute
};

std::optional<PackageDocument> ReadPackage(const ZipPackage &package, const QString &path)
{
    const auto part = OpenPart(package, path, kMaxPackagePartBytes);
    if (!part)
        return std::nullopt;
    PackageDocument doc;
    bool inTitle = false;
    bool bounded = true;
    const bool read = WalkXml(*part, [&](QXmlStreamReader &xml, QXmlStreamReader::TokenType token) {
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            const QXmlStreamAttributes attributes = xml.attributes();
            if (name == u"title" && doc.title.isEmpty()) {
                inTitle = true;
            } else if (name == u"item") {
                if (doc.manifest.size() >= kMaxManifestItems)
                    return bounded = false, XmlWalk::Refuse;
                const QString id = attributes.value(QStringLiteral("id")).toString();
                doc.manifest[id] = {ResolveHref(path, attributes.value(QStringLiteral("href")).toString()),
                                    attributes.value(QStringLiteral("media-type")).toString(),
                                    attributes.value(QStringLiteral("properties")).toString()};
            } else if (name == u"spine") {
                doc.ncxId = attributes.value(QStringLiteral("toc")).toString();
            } else if (name == u"itemref") {
                if (doc.spine.size() >= kMaxSpineItems)
                    return bounded = false, XmlWalk::Refuse;
                doc.spine.push_back(attributes.value(QStringLiteral("idref")).toString());
            }
        } else if (token == QXmlStreamReader::EndElement) {
            inTitle = false;
        } else if (token == QXmlStreamReader::Characters && inTitle) {
            doc.title += xml.text();
        }
        return XmlWalk::Continue;
    });
    if (!read || !bounded)
        return std::nullopt;
    doc.title = doc.title.simplified();
    return doc;
}

// Titles of the table of contents by the zip name of the document they point into (the first
// entry pointing into a document names it).
using Titles = std::map<QString, QString>;

void AddTitle(Titles &titles, const QString &zipName, const QString &title)
{
    const QString clean = title.simplified();
    if (!zipName.isEmpty() && !clean.isEmpty())
        titles.emplace(zipName, clean);
}

// EPUB 3: the <nav epub:type="toc"> of the navigation document.
bool ReadNavTitles(const ZipPackage &package, const QString &navPath, Titles &titles)
{
    const auto part = OpenPart(package, navPath, kMaxPackagePartBytes);
    if (!part)
        return false;
    std::size_t navDepth = 0, depth = 0;
    bool inLink = false;
    QString href, label;
    const bool read = WalkXml(*part, [&](QXmlStreamReader &xml, QXmlStreamReader::TokenType token) {
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (navDepth == 0 && xml.name() == u"nav") {
                const QXmlStreamAttributes attributes = xml.attributes();
                for (const QXmlStreamAttribute &a : attributes) {
                    if (a.name() == u"type" && a.value().split(u' ').contains(u"toc"))
                        navDepth = depth;
                }
            } else if (navDepth > 0 && xml.name() == u"a") {
                inLink = true;
                href = xml.attributes().value(QStringLiteral("href")).toString();
                label.clear();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (inLink && xml.name() == u"a") {
                AddTitle(titles, ResolveHref(navPath, href), label);
                inLink = false;
            }
            if (depth == navDepth)
                navDepth = 0;
            --depth;
        } else if (inLink && (token == QXmlStreamReader::Characters || token == QXmlStreamReader::EntityReference)) {
            label += xml.text();
        }
        return XmlWalk::Continue;
    });
    return read && !titles.empty();
}

// EPUB 2: the navMap of the NCX, each navPoint a label and a content source.
bool ReadNcxTitles(const ZipPackage &package, const QString &ncxPath, Titles &titles)
{
    const auto part = OpenPart(package, ncxPath, kMaxPackagePartBytes);
    if (!part)
        return false;
    bool inLabelText = false;
    QString label;
    const bool read = WalkXml(*part, [&](QXmlStreamReader &xml, QXmlStreamReader::TokenType token) {
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"navPoint") {
                label.clear();
            } else if (xml.name() == u"text") {
                inLabelText = true;
            } else if (xml.name() == u"content") {
                AddTitle(titles, ResolveHref(ncxPath, xml.attributes().value(QStringLiteral("src")).toString()), label);
            }
        } else if (token == QXmlStreamReader::EndElement) {
            inLabelText = false;
        } else if (inLabelText && token == QXmlStreamReader::Characters) {
            label += xml.text();
        }
        return XmlWalk::Continue;
    });
    return read && !titles.empty();
}

QString FirstLine(QStringView text)
{
    QStringView line = text.trimmed();
    const qsizetype end = line.indexOf(u'\n');
    if (end >= 0)
        line = line.left(end);
    return line.left(80).trimmed().toString();
}

} // namespace

std::optional<EpubReader::Book> EpubReader::Read(const QString &path, QString *why)
{
    auto fail = [&](const QString &reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const std::optional<ZipPackage> package = ZipPackage::Open(path);
    if (!package)
        return fail(QStringLiteral("it is not a zip package"));
    const QString packagePath = PackagePath(*package);
    if (packagePath.isEmpty())
        return fail(QStringLiteral("META-INF/container.xml names no package document"));
    const std::optional<PackageDocument> doc = ReadPackage(*package, packagePath);
    if (!doc)
        return fail(QStringLiteral("the package document \"%1\" is missing or damaged").arg(packagePath));
    if (doc->spine.empty())
        return fail(QStringLiteral("the package document lists no content in its spine"));

    Titles titles;
    bool haveTitles = false;
    for (const auto &[id, item] : doc->manifest) {
        if (item.properties.split(u' ').contains(QLatin1String("nav"))) {
            haveTitles = ReadNavTitles(*package, item.href, titles);
            break;
        }
    }
    if (!haveTitles) {
        titles.clear();
        auto ncx = doc->manifest.find(doc->ncxId);
        if (ncx == doc->manifest.end()) {
            ncx = std::find_if(doc->manifest.begin(), doc->manifest.end(),
                               [](const auto &entry) { return entry.second.mediaType == u"application/x-dtbncx+xml"; });
        }
        if (ncx != doc->manifest.end())
            ReadNcxTitles(*package, ncx->second.href, titles);
    }

    Book book;
    book.title = doc->title;
    qint64 budget = kMaxPartBytes; // all content documents together
    for (const QString &id : doc->spine) {
        const auto item = doc->manifest.find(id);
        if (item == doc->manifest.end() || item->second.href.isEmpty())
            return fail(QStringLiteral("the spine names \"%1\", which the manifest does not have").arg(id));
        const auto part = OpenPart(*package, item->second.href, std::min<qint64>(budget, kMaxDocumentBytes));
        if (!part)
            return fail(QStringLiteral("\"%1\" is missing from the book, or too large").arg(item->second.href));
        QByteArray bytes;
        char chunk[65536];
        for (;;) {
            const qint64 got = part->read(chunk, sizeof chunk);
            if (got < 0 || part->Refused())
                return fail(QStringLiteral("\"%1\" is damaged or too large").arg(item->second.href));
            if (got == 0)
                break;
            bytes.append(chunk, got);
        }
        budget -= bytes.size();
        QString text = HtmlTextReader::PageText(bytes).trimmed();
        text.remove(QChar(u'\0'));
        if (text.isEmpty())
            continue; // a cover picture, an empty title page
        if (!book.text.isEmpty())
            book.text += QStringLiteral("\n\n");
        const auto title = titles.find(item->second.href);
        book.chapters.push_back({title != titles.end() ? title->second : FirstLine(text), book.text.size()});
        book.text += text;
        if (book.text.size() > kMaxDocumentChars)
            return fail(QString::fromLatin1(kErrorTooLarge));
    }
    if (!book.text.isEmpty())
        book.text += u'\n';
    return book;
}

DocumentText EpubReader::LoadFile(const QString &path)
{
    QString why;
    std::optional<Book> book = Read(path, &why);
    if (!book) {
        if (why == QLatin1String(kErrorTooLarge))
            return DocumentText::Failure(why);
        return DocumentText::Failure(QStringLiteral("%1: %2").arg(QLatin1String(kErrorLoadingEpub), why));
    }
    return DocumentText::Success(std::move(book->text));
}

} // namespace documents
