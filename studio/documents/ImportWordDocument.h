// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "studio/documents/WordConverter.h"

#include <QString>

#include <optional>

namespace documents {

// The Word loader of the open dialog: converts the document (see WordConverter) under the busy
// pointer. On failure it shows "Error converting Word Document" with the stop icon through the
// current message box and returns nothing; the editor is left as the caller had it. The
// clipboard is never used.
std::optional<QString> ImportWordDocument(const QString &path,
                                          const ConverterTools &tools = ConverterTools::Installed());

} // namespace documents
