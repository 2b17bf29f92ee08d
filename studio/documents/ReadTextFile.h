// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "studio/documents/DocumentText.h"

#include <QByteArrayView>
#include <QString>

namespace documents {

// The plain-text loader: the whole file as text. A UTF-16 file with either byte-order mark is
// decoded as UTF-16, a UTF-8 file (with or without its mark) as UTF-8, anything else as
// Windows-1252. A file that cannot be read fails with a message naming it and the reason; one
// larger than kMaxDocumentBytes with "The document is too large to open".
DocumentText LoadTextFile(const QString &path);

// LoadTextFile's text; empty when the file cannot be read.
QString ReadTextFile(const QString &path);

// The decoding step of ReadTextFile on bytes already in memory. NUL characters are dropped: the
// editor and the speech engines would cut the text short at the first one.
QString DecodeTextFileBytes(QByteArrayView bytes);

} // namespace documents
