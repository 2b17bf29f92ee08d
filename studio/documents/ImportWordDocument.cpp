// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/ImportWordDocument.h"

#include "studio/documents/BusyPointer.h"
#include "studio/documents/DocumentStrings.h"

#include "platform/services/MessageBox.h"

namespace documents {

std::optional<QString> ImportWordDocument(const QString &path, const ConverterTools &tools)
{
    DocumentText result;
    {
        const BusyPointer busy;
        result = WordConverter::Convert(path, tools);
    }
    if (!result.ok) {
        services::MessageBox::Current().Show(result.error, QString::fromLatin1(kMessageTitle),
                                             services::MB_OK | services::MB_ICONSTOP);
        return std::nullopt;
    }
    return std::move(result.text);
}

} // namespace documents
