// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the .docx and .odt readers as their main XML part: they must neither
// crash, nor hang, nor exhaust memory, whatever the nesting, attributes or entities.
#include "studio/documents/ZipDocumentReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray xml = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    // A Word part yields at most one character per byte: every tab, break and paragraph end
    // takes a tag of several bytes.
    if (const std::optional<QString> text = documents::ZipDocumentReader::DocxText(xml);
        text && text->size() > qsizetype(size))
        __builtin_trap();
    // An OpenDocument space element may stand for up to 1000 spaces; nothing else more than one.
    if (const std::optional<QString> text = documents::ZipDocumentReader::OdtText(xml);
        text && text->size() > qsizetype(size) * 1000)
        __builtin_trap();
    return 0;
}
