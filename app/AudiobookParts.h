// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

// How orvena-speak cuts a text into the files of an audiobook (--split), and names them.
namespace audiobook {

struct Part {
    QString title;
    qsizetype start = 0;
    qsizetype length = 0;
};

// A chapter as an importer found it: its title and where it starts in the text.
struct ChapterStart {
    QString title;
    qsizetype start = 0;
};

// One part per chapter. Without chapters from the importer, a chapter starts at every line that
// stands alone (first in the text or after a blank line), is short, and begins with the word
// "Chapter". What comes before the first chapter belongs to it. No chapter at all: one part.
std::vector<Part> ChapterParts(const QString &text, const std::vector<ChapterStart> &chapters = {});

// Parts of about `minutes` each at `wordsPerMinute`, cut at the sentence end nearest to every
// multiple of that many words.
std::vector<Part> TimedParts(const QString &text, int minutes, int wordsPerMinute);

// "book.mp3", part 3 of 12 -> "book-03.mp3" (at least two digits, more for longer books).
QString PartPath(const QString &output, int number, int count);
// "book.mp3" -> "book.m3u".
QString PlaylistPath(const QString &output);

struct PlaylistEntry {
    QString file;   // as written into the playlist: the name beside it
    QString title;
    int seconds = -1; // -1 when unknown
};
// An extended M3U playlist, UTF-8.
QByteArray PlaylistText(const std::vector<PlaylistEntry> &entries);

} // namespace audiobook
