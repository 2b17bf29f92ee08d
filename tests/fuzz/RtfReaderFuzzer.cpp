// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the RTF reader: it must neither crash, nor hang, nor invent text.
#include "studio/documents/RtfReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const documents::RtfReader::Result result = documents::RtfReader::Read(bytes);
    // Every character of the text comes from at least one byte of the document.
    if (result.text.size() > qsizetype(size))
        __builtin_trap();
    if (!result.isRtf && !result.text.isEmpty())
        __builtin_trap();
    return 0;
}
