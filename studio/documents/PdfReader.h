// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "studio/documents/DocumentText.h"

#include <QString>

namespace documents {

// Reads a PDF document's text in reading order, page after page (each page ends in "\n").
// A damaged, encrypted or missing file fails with "Error loading PDF document".
class PdfReader {
public:
    static bool LooksLikePdf(const QByteArray &head);
    static DocumentText LoadFile(const QString &path);
};

} // namespace documents
