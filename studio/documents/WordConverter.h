// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "studio/documents/DocumentText.h"

#include <QString>

#include <chrono>

namespace documents {

// The converter programs a legacy binary Word document goes through, tried in this order.
// An empty path means the program is not installed.
struct ConverterTools {
    QString antiword;
    QString catdoc;
    QString office; // LibreOffice's soffice, used headless
    std::chrono::milliseconds timeLimit{30000};
    std::chrono::milliseconds officeTimeLimit{90000}; // it takes seconds just to start

    // The programs found on the search path.
    static ConverterTools Installed();
};

// Turns a word-processor document into plain text, deciding the format by the file's content,
// never by its name: a legacy binary document goes to antiword, then catdoc when antiword
// refuses it (it does for documents under about 300 characters), then LibreOffice; Word 2007 and
// OpenDocument packages are read directly; rich text goes to the RTF reader, PDF to the PDF
// reader, a web page to the visible-text reader and plain text to the text loader, as a word
// processor would open them. Every failure is "Error converting Word Document".
class WordConverter {
public:
    enum class Format { Missing, LegacyWord, Docx, Odt, RichText, Pdf, WebPage, PlainText, Unknown };

    static Format Detect(const QString &path);
    static DocumentText Convert(const QString &path, const ConverterTools &tools = ConverterTools::Installed());

    // The steps of the legacy chain, each failing with an empty error.
    static DocumentText RunAntiword(const QString &path, const ConverterTools &tools);
    static DocumentText RunCatdoc(const QString &path, const ConverterTools &tools);
    static DocumentText RunOffice(const QString &path, const ConverterTools &tools);
};

} // namespace documents
