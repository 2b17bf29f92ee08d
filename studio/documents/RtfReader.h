// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "studio/documents/DocumentText.h"

#include <QByteArrayView>
#include <QString>

namespace documents {

// Reads a rich-text (RTF) document as the plain text a word processor shows for it: paragraphs
// and line breaks become "\n", tabs and table cells "\t", the end of a table row "\n"; text in
// the document's code page (\ansicpg, or the code page of the font in use) and Unicode escapes
// are decoded; tables of fonts, colours and styles, document information, pictures, headers,
// footers, footnotes, field instructions, hidden text and every \* destination are left out.
//
// The reader works on bytes in one pass with an explicit group stack, so malformed, truncated or
// deeply nested input costs at most linear time and yields the text that was readable.
class RtfReader {
public:
    struct Result {
        bool isRtf = false; // false: the bytes do not start a rich-text document at all
        QString text;
    };

    // True when the bytes begin (after blanks or a UTF-8 byte-order mark) with "{\rtf".
    static bool LooksLikeRtf(QByteArrayView bytes);

    static Result Read(QByteArrayView bytes);

    // The rich-text loader: reads the file; a missing, unreadable, oversized or non-RTF file
    // fails with "Error loading Rich Text document".
    static DocumentText LoadFile(const QString &path);
};

} // namespace documents
