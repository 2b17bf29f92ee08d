// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/TextForEditor.h"

#include "studio/documents/BusyPointer.h"
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/HtmlTextReader.h"
#include "studio/documents/PdfReader.h"
#include "studio/documents/ReadTextFile.h"
#include "studio/documents/RtfReader.h"
#include "studio/documents/WordConverter.h"

#include "platform/services/MessageBox.h"

#include <QFileInfo>

namespace documents {

DocumentText TextForEditor(const QString &path, int filterIndex)
{
    switch (filterIndex) {
    case kFilterText:
    case kFilterAllFiles:
        // Refused with a message rather than silently shown empty.
        if (QFileInfo(path).size() > kMaxDocumentBytes)
            return DocumentText::Failure(QString::fromLatin1(kErrorTooLarge));
        return DocumentText::Success(ReadTextFile(path));
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
    return kFilterAllFiles;
}

} // namespace documents
