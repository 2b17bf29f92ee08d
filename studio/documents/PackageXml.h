// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QXmlStreamReader>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct zip;

namespace documents {

// Reading the XML parts of zip packages (.docx, .odt) with bounded memory and time, whatever the
// package holds: a part streams from the archive through the XML reader in small chunks and is
// never held whole, and the markup is held to bounds that keep the XML reader's work
// proportional to the part.

// A part inflating to more than this is refused: a few kilobytes of zip can inflate to gigabytes.
inline constexpr qint64 kMaxPartBytes = 256 * 1024 * 1024;

// One part as a sequential device for QXmlStreamReader: chunks come from `source` (which returns
// the bytes it wrote, 0 at the end, or -1 on an error), at most `limit` bytes in all, each looked
// over by a guard before the XML reader sees it. The guard refuses a start tag with more than 256
// attributes (the XML reader compares each with those before it), any single text run, tag,
// comment or CDATA section over 16 MB (the XML reader holds each whole before handing it over)
// and an internal DTD subset (whose entities could expand without bound).
class XmlPartDevice : public QIODevice {
public:
    using Source = std::function<qint64(char *data, qint64 maxSize)>;

    XmlPartDevice(Source source, qint64 limit = kMaxPartBytes);
    ~XmlPartDevice() override;

    // A part already in memory (tests, fuzzing); `bytes` must outlive the device.
    static std::unique_ptr<XmlPartDevice> FromBytes(const QByteArray &bytes);

    bool isSequential() const override { return true; }
    // True once the part broke a bound or its source failed; the XML reader then sees an error.
    bool Refused() const { return refused_; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    class Guard;
    Source source_;
    qint64 limit_;
    qint64 total_ = 0;
    std::unique_ptr<Guard> guard_;
    bool refused_ = false;
};

// A zip package opened for reading. Only regular files are opened: libzip opens by name, and
// would block on a pipe or read a device without end.
class ZipPackage {
public:
    static std::optional<ZipPackage> Open(const QString &path);

    ZipPackage(ZipPackage &&) noexcept;
    ZipPackage &operator=(ZipPackage &&) noexcept;
    ~ZipPackage();

    bool Has(const char *name) const;
    // A small part read whole; nothing when missing, damaged or larger than `limit`.
    std::optional<QByteArray> ReadSmall(const char *name, qsizetype limit) const;
    // A part to stream; nothing when missing or declared larger than `limit` (what actually
    // inflates is held to `limit` too). The device must not outlive the package.
    std::unique_ptr<XmlPartDevice> OpenPart(const char *name, qint64 limit = kMaxPartBytes) const;

private:
    explicit ZipPackage(zip *archive) : archive_(archive) {}
    zip *archive_ = nullptr;
};

// What a visitor of WalkXml asks after a token.
enum class XmlWalk { Continue, SkipElement, Refuse };

// Bounds of the element tree: every open element sits on the XML reader's stack, and every
// prefix is looked up through the namespace declarations in scope.
inline constexpr std::size_t kMaxElementDepth = 10000;
inline constexpr qsizetype kMaxNamespacesInScope = 1024;

// Walks the part's XML one token at a time, never recursively, handing every token to
// `visit(QXmlStreamReader &, QXmlStreamReader::TokenType)`; a start element answered with
// SkipElement has its content and its end tag passed over. False when the XML is malformed, a
// bound is broken or the visitor refuses.
template <typename Visit>
bool WalkXml(XmlPartDevice &part, Visit &&visit)
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
            const XmlWalk next = visit(xml, token);
            if (next == XmlWalk::Refuse)
                return false;
            if (next == XmlWalk::SkipElement && token == QXmlStreamReader::StartElement)
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

} // namespace documents
