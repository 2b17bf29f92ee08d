// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "studio/documents/DocumentText.h"

#include <QString>

#include <optional>

namespace documents {

// The loaders of the open dialog, chosen by the filter the user ended on, not by the file's
// name: 1 and 4 the plain-text loader, 2 the rich-text reader, 3, 5 and 6 the Word importer,
// 7 the PDF reader, 8 the web-page reader, 9 the EPUB reader; any other index loads nothing (an empty text).
// A plain-text file that cannot be read fails with a message naming it and the reason.
DocumentText TextForEditor(const QString &path, int filterIndex);

// The same with the user-facing side: the busy pointer while converting, and a failure shown in
// a message box with the stop icon (through the current message box). Returns the text to put
// into the editor, or nothing on failure.
std::optional<QString> LoadForEditor(const QString &path, int filterIndex);

// The filter index the dialog would most likely end on for this file, from its extension
// ("All files" for an unknown one); used where no dialog is involved, as on the command line.
int FilterIndexForPath(const QString &path);

// How many filters the open dialog offers (the entries of kOpenFilter), and whether `index` is
// one of them (1-based).
int OpenFilterCount();
bool IsOpenFilterIndex(int index);

} // namespace documents
