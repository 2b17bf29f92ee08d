// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/TextForEditor.h"

#include "studio/documents/BusyPointer.h"
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/EpubReader.h"
#include "studio/documents/HtmlTextReader.h"
#include "studio/documents/PdfReader.h"
#include "studio/documents/ReadTextFile.h"
#include "studio/documents/RtfReader.h"
#include "studio/documents/WordConverter.h"

#include "platform/services/MessageBox.h"

#include <QFileInfo>

#include <algorithm>
#include <string_view>

namespace documents {

DocumentText TextForEditor(const QString &path, int filterIndex)
{
    switch (filterIndex) {
    case kFilterText:
    case kFilterAllFiles:
        // A file that cannot be read, or is too large, is refused with a message rather than
        // shown as an empty text.
        return LoadTextFile(path);
    case kFilterRichText:
        return RtfReader::LoadFile(path);
    case kFilterWord:
    case kFilterOpenDocument:
    case kFilterWord2007:
        return WordConverter::Convert(path);
    case kFilterPdf:
        return PdfReader::LoadFile(path);
    case kFilterWebPage:
        return HtmlTextReader::LoadFile(path);
    case kFilterEpub:
        return EpubReader::LoadFile(path);
    default:
        return DocumentText::Success({});
    }
}

std::optional<QString> LoadForEditor(const QString &path, int filterIndex)
{
    DocumentText result;
    {
        const BusyPointer busy;
        result = TextForEditor(path, filterIndex);
    }
    if (!result.ok) {
        services::MessageBox::Current().Show(result.error, QString::fromLatin1(kMessageTitle),
                                             services::MB_OK | services::MB_ICONSTOP);
        return std::nullopt;
    }
    return std::move(result.text);
}

int FilterIndexForPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"txt")
        return kFilterText;
    if (suffix == u"rtf")
        return kFilterRichText;
    if (suffix == u"doc")
        return kFilterWord;
    if (suffix == u"odt")
        return kFilterOpenDocument;
    if (suffix == u"docx")
        return kFilterWord2007;
    if (suffix == u"pdf")
        return kFilterPdf;
    if (suffix == u"htm" || suffix == u"html")
        return kFilterWebPage;
    if (suffix == u"epub")
        return kFilterEpub;
    return kFilterAllFiles;
}

int OpenFilterCount()
{
    // The filter is "caption|pattern" pairs joined by '|'.
    const std::string_view filter(kOpenFilter);
    return int((std::count(filter.begin(), filter.end(), '|') + 1) / 2);
}

bool IsOpenFilterIndex(int index)
{
    return index >= 1 && index <= OpenFilterCount();
}

} // namespace documents
