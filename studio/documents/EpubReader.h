// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "studio/documents/DocumentText.h"

#include <QString>

#include <optional>
#include <vector>

namespace documents {

// Reads EPUB books (2 and 3): META-INF/container.xml names the package document, whose spine
// gives the reading order of the XHTML content documents; their visible text (scripts and styles
// left out, as the web-page reader does) follows that order, one blank line between documents.
// Chapter titles come from the navigation document (EPUB 3) or, without one, the NCX (EPUB 2).
// A book is held to the bounds of the other zip packages: no part inflates past kMaxPartBytes,
// all parts together neither, and the text stays within kMaxDocumentChars.
class EpubReader {
public:
    struct Chapter {
        QString title;   // from the table of contents; else the chapter's first line
        qsizetype start; // where it begins in the book's text
    };
    struct Book {
        QString title;   // the package's dc:title
        QString text;
        std::vector<Chapter> chapters; // in reading order; empty documents have none
    };

    // The book, or nothing with `why` saying what is wrong with it.
    static std::optional<Book> Read(const QString &path, QString *why);
    // The book's text, or the studio's message for a book that cannot be read ("Error loading
    // EPUB book: " and why).
    static DocumentText LoadFile(const QString &path);
};

} // namespace documents
