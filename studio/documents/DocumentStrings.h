// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's own texts for opening documents, kept in one place so the tests compare against
// the same strings the studio shows.

namespace documents {

// The open dialog's filter: the four historical entries keep their indexes (1 to 4), the newer
// document kinds follow them.
inline constexpr const char kOpenFilter[] =
    "Text Files (*.txt)|*.txt|Rich Text (*.rtf)|*.rtf|Word Document (*.doc)|*.doc|All files (*.*)|*.*"
    "|OpenDocument Text (*.odt)|*.odt|Word 2007 Document (*.docx)|*.docx|PDF Document (*.pdf)|*.pdf"
    "|Web Page (*.htm *.html)|*.htm;*.html|EPUB Book (*.epub)|*.epub";

// The filter as the old program had it, before the newer document kinds were added.
inline constexpr const char kLegacyOpenFilter[] =
    "Text Files (*.txt)|*.txt|Rich Text (*.rtf)|*.rtf|Word Document (*.doc)|*.doc|All files (*.*)|*.*";

// 1-based indexes of the open filter; each decides which loader reads the chosen file.
enum FilterIndex : int {
    kFilterText = 1,
    kFilterRichText = 2,
    kFilterWord = 3,
    kFilterAllFiles = 4,
    kFilterOpenDocument = 5,
    kFilterWord2007 = 6,
    kFilterPdf = 7,
    kFilterWebPage = 8,
    kFilterEpub = 9,
};

// Title of the message boxes the importers show.
inline constexpr const char kMessageTitle[] = "Orvena STUDIO 4";

inline constexpr const char kErrorConvertingWord[] = "Error converting Word Document";
inline constexpr const char kErrorLoadingRichText[] = "Error loading Rich Text document";
inline constexpr const char kErrorLoadingPdf[] = "Error loading PDF document";
inline constexpr const char kErrorLoadingWebPage[] = "Error loading Web Page";
inline constexpr const char kErrorLoadingEpub[] = "Error loading EPUB book";
inline constexpr const char kErrorTooLarge[] = "The document is too large to open";
// A file that could not be read at all: %1 its name, %2 the reason.
inline constexpr const char kErrorCannotRead[] = "Cannot read \"%1\": %2";

} // namespace documents
