// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary XML to the EPUB reader as the parts of a book: the input is cut at each "\n%%\n"
// into the container, the package document, the navigation document and one content document,
// which are stored in a zip and read back. The reader must neither crash, nor hang, nor exhaust
// memory, whatever they hold, and its chapters must point into its text.
#include "studio/documents/EpubReader.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

#include <cstddef>
#include <cstdint>

namespace {

bool WriteBook(const QString &path, const QByteArrayList &parts)
{
    static const char *const kNames[] = {"META-INF/container.xml", "book.opf", "nav.xhtml", "c.xhtml"};
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (qsizetype i = 0; i < parts.size() && i < 4; ++i) {
        zip_source_t *source = zip_source_buffer(archive, parts[i].constData(), zip_uint64_t(parts[i].size()), 0);
        if (!source || zip_file_add(archive, kNames[i], source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

QByteArrayList Cut(const QByteArray &input)
{
    static const QByteArray kMark("\n%%\n");
    QByteArrayList parts;
    qsizetype from = 0;
    for (qsizetype at; parts.size() < 3 && (at = input.indexOf(kMark, from)) >= 0; from = at + kMark.size())
        parts << input.mid(from, at - from);
    parts << input.mid(from);
    return parts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = dir.filePath(QStringLiteral("fuzz.epub"));
    if (!WriteBook(path, Cut(input)))
        return 0;
    QString why;
    const std::optional<documents::EpubReader::Book> book = documents::EpubReader::Read(path, &why);
    if (!book && why.isEmpty())
        __builtin_trap(); // a refusal always says why
    if (book) {
        qsizetype last = -1;
        for (const auto &chapter : book->chapters) {
            if (chapter.start <= last || chapter.start > book->text.size())
                __builtin_trap();
            last = chapter.start;
        }
    }
    return 0;
}
