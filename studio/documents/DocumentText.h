// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <utility>

namespace documents {

// A file read whole into memory (plain text, rich text, web page) may be at most this large, and
// no importer hands the editor more characters than this: the editor needs roughly ten times the
// text's size in memory, so larger documents are refused with a message instead.
inline constexpr std::int64_t kMaxDocumentBytes = 64 * 1024 * 1024;
inline constexpr std::int64_t kMaxDocumentChars = 64 * 1024 * 1024;

// What an importer hands back: the document's plain text, or the message the studio shows when
// the document could not be read. `ok` false always comes with a non-empty `error`.
struct DocumentText {
    bool ok = false;
    QString text;
    QString error;

    static DocumentText Success(QString text) { return {true, std::move(text), {}}; }
    static DocumentText Failure(QString error) { return {false, {}, std::move(error)}; }
};

} // namespace documents
