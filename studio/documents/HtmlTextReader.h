// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "studio/documents/DocumentText.h"

#include <QByteArrayView>
#include <QString>

namespace documents {

// The visible text of a web page, as a browser lays it out for reading: scripts, styles, the
// title, comments and markup left out; white space collapsed outside <pre>; paragraphs and
// headings separated by a blank line, other blocks and <br> by a line end, table cells by tabs;
// character references decoded. The page's encoding comes from its byte-order mark or its
// <meta> charset, else UTF-8 when the bytes are UTF-8, else Windows-1252.
class HtmlTextReader {
public:
    static QString PageText(QByteArrayView bytes); // decodes, then VisibleText
    static QString VisibleText(const QString &html);

    // Decodes the page's bytes into characters (the first step of VisibleText).
    static QString Decode(QByteArrayView bytes);

    static DocumentText LoadFile(const QString &path);
};

} // namespace documents
