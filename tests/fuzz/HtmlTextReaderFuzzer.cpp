// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the web-page reader: it must neither crash, nor hang, nor take time
// growing faster than the page.
#include "studio/documents/HtmlTextReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // The whole path, charset detection included.
    const QString page = documents::HtmlTextReader::PageText(bytes);
    // On characters one to one with the bytes, the visible text is never longer than the page:
    // a reference or a block break takes more characters than it yields.
    const QString html = QString::fromLatin1(bytes);
    if (documents::HtmlTextReader::VisibleText(html).size() > html.size())
        __builtin_trap();
    (void)page;
    return 0;
}
