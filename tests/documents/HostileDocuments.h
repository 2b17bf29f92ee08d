// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Small generators for hostile documents: packages written with libzip, whose parts may be far
// larger than anything held in memory (a repeated unit is streamed into the compressor).

#include <QByteArray>
#include <QFile>
#include <QString>

#include <zip.h>

#include <cstring>
#include <utility>
#include <vector>

namespace documents::test {

// head + unit x count + tail, produced on demand.
struct RepeatedBytes {
    QByteArray head;
    QByteArray unit;
    qint64 count = 0;
    QByteArray tail;

    QByteArray Whole() const
    {
        QByteArray bytes = head;
        bytes.reserve(head.size() + unit.size() * count + tail.size());
        for (qint64 i = 0; i < count; ++i)
            bytes.append(unit);
        return bytes + tail;
    }
};

namespace detail {

struct RepeatedSource {
    RepeatedBytes bytes;
    qint64 position = 0; // in the whole stream
    zip_error_t error{};

    qint64 Total() const { return bytes.head.size() + bytes.unit.size() * bytes.count + bytes.tail.size(); }

    zip_int64_t Read(char *out, zip_uint64_t length)
    {
        zip_uint64_t written = 0;
        while (written < length && position < Total()) {
            qint64 at = position;
            const QByteArray *piece = &bytes.head;
            if (at >= bytes.head.size()) {
                at -= bytes.head.size();
                const qint64 repeated = bytes.unit.size() * bytes.count;
                if (at < repeated) {
                    piece = &bytes.unit;
                    at %= bytes.unit.size();
                } else {
                    piece = &bytes.tail;
                    at -= repeated;
                }
            }
            const zip_uint64_t n = std::min<zip_uint64_t>(length - written, zip_uint64_t(piece->size() - at));
            std::memcpy(out + written, piece->constData() + at, n);
            written += n;
            position += qint64(n);
        }
        return zip_int64_t(written);
    }
};

inline zip_int64_t RepeatedCallback(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto *source = static_cast<RepeatedSource *>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        source->position = 0;
        return 0;
    case ZIP_SOURCE_READ:
        return source->Read(static_cast<char *>(data), length);
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto *stat = static_cast<zip_stat_t *>(data);
        zip_stat_init(stat);
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&source->error, data, length);
    case ZIP_SOURCE_FREE:
        delete source;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        return -1;
    }
}

} // namespace detail

// Writes a zip package at `path` with the given parts (name, content); true when written.
inline bool WritePackage(const QString &path,
                         const std::vector<std::pair<const char *, RepeatedBytes>> &parts)
{
    QFile::remove(path);
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const auto &[name, bytes] : parts) {
        auto *state = new detail::RepeatedSource{bytes};
        zip_source_t *source = zip_source_function(archive, detail::RepeatedCallback, state);
        if (!source) {
            delete state;
            zip_discard(archive);
            return false;
        }
        const zip_int64_t index = zip_file_add(archive, name, source, ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

inline constexpr char kDocxHead[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
inline constexpr char kDocxTail[] = "</w:body></w:document>";
inline constexpr char kOdtHead[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:text>";
inline constexpr char kOdtTail[] = "</office:text></office:body></office:document-content>";

// A .docx whose body is `body`.
inline bool WriteDocx(const QString &path, RepeatedBytes body)
{
    body.head.prepend(kDocxHead);
    body.tail.append(kDocxTail);
    return WritePackage(path, {{"word/document.xml", std::move(body)}});
}

// An .odt whose office:text holds `body`.
inline bool WriteOdt(const QString &path, RepeatedBytes body)
{
    body.head.prepend(kOdtHead);
    body.tail.append(kOdtTail);
    return WritePackage(path, {{"mimetype", {"application/vnd.oasis.opendocument.text", {}, 0, {}}},
                               {"content.xml", std::move(body)}});
}

// `count` nested copies of `open` ... `close` around `inner`.
inline RepeatedBytes Nested(const QByteArray &open, const QByteArray &close, qint64 count,
                            const QByteArray &inner)
{
    QByteArray opens, closes;
    for (qint64 i = 0; i < count; ++i) {
        opens.append(open);
        closes.append(close);
    }
    return {opens + inner + closes, {}, 0, {}};
}

} // namespace documents::test
