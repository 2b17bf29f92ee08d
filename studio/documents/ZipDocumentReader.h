// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "studio/documents/DocumentText.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace documents {

// Reads the word-processor documents that are zip packages of XML: Word 2007 (.docx, the text in
// word/document.xml) and OpenDocument Text (.odt, the text in content.xml). Paragraphs end in
// "\n", line breaks are "\n", tabs and table cells "\t", table rows end in "\n". Deleted
// revisions, field instructions, hidden runs, notes and annotations are left out.
class ZipDocumentReader {
public:
    enum class Kind { None, Docx, Odt };

    // Which of the two the package at `path` is, by its content; None for anything else.
    static Kind Detect(const QString &path);

    // Reads the package; fails (with an empty error, for the caller to word) when it is neither
    // kind, is damaged, holds XML that does not parse, or breaks the bounds PackageXml.h sets on
    // a part (its inflated size, nesting, attributes, entities) or the text (kMaxDocumentChars).
    static DocumentText Read(const QString &path);

    // The text of the main XML part, exposed for tests and benchmarks.
    static std::optional<QString> DocxText(const QByteArray &documentXml);
    static std::optional<QString> OdtText(const QByteArray &contentXml);
};

} // namespace documents
