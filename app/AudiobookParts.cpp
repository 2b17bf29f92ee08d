// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AudiobookParts.h"

#include "speech/SentenceSplitter.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace audiobook {

namespace {

// A chapter heading is a short line; a longer one is prose that happens to begin with the word.
constexpr qsizetype kMaxHeadingLength = 80;

std::vector<Part> FromStarts(const QString &text, std::vector<ChapterStart> starts)
{
    std::vector<Part> parts;
    if (starts.empty())
        return {{QString(), 0, text.size()}};
    starts.front().start = 0;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const qsizetype end = i + 1 < starts.size() ? starts[i + 1].start : text.size();
        parts.push_back({starts[i].title, starts[i].start, end - starts[i].start});
    }
    return parts;
}

qsizetype CountWords(QStringView text)
{
    qsizetype words = 0;
    bool inWord = false;
    for (const QChar ch : text) {
        const bool letter = ch.isLetterOrNumber();
        if (letter && !inWord)
            ++words;
        inWord = letter;
    }
    return words;
}

} // namespace

std::vector<Part> ChapterParts(const QString &text, const std::vector<ChapterStart> &chapters)
{
    if (!chapters.empty())
        return FromStarts(text, chapters);
    static const QRegularExpression kHeading(QStringLiteral("^\\s*chapter\\b"), QRegularExpression::CaseInsensitiveOption);
    std::vector<ChapterStart> found;
    bool afterBlank = true; // the text's start counts as one
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QStringView line = QStringView(text).sliced(lineStart, lineEnd - lineStart).trimmed();
        if (afterBlank && !line.isEmpty() && line.size() <= kMaxHeadingLength && kHeading.match(line.toString()).hasMatch())
            found.push_back({line.toString(), lineStart});
        afterBlank = line.isEmpty();
        lineStart = lineEnd + 1;
    }
    return FromStarts(text, std::move(found));
}

std::vector<Part> TimedParts(const QString &text, int minutes, int wordsPerMinute)
{
    const qsizetype wordsPerPart = qsizetype(std::max(1, minutes)) * std::max(1, wordsPerMinute);
    const auto sentences = speech::SentenceSplitter::Split(text);
    std::vector<Part> parts;
    qsizetype partStart = 0, words = 0, partFirstWord = 0;
    for (const auto &sentence : sentences) {
        const qsizetype before = words;
        words += CountWords(QStringView(text).sliced(sentence.start, sentence.length));
        const qsizetype mark = partFirstWord + wordsPerPart;
        if (words < mark)
            continue;
        // The cut goes before or after this sentence, whichever lies nearer the mark.
        const bool cutBefore = sentence.start > partStart && mark - before < words - mark;
        const qsizetype cut = cutBefore ? sentence.start : sentence.start + sentence.length;
        parts.push_back({QString(), partStart, cut - partStart});
        partStart = cut;
        partFirstWord = cutBefore ? before : words;
    }
    const QStringView rest = QStringView(text).sliced(partStart);
    if (!rest.trimmed().isEmpty() || parts.empty())
        parts.push_back({QString(), partStart, text.size() - partStart});
    else
        parts.back().length += rest.size();
    return parts;
}

QString PartPath(const QString &output, int number, int count)
{
    const QFileInfo info(output);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    const int digits = std::max(2, int(QString::number(count).size()));
    const QString numbered = QStringLiteral("%1-%2%3").arg(base).arg(number, digits, 10, QLatin1Char('0')).arg(extension);
    return output.left(output.size() - name.size()) + numbered;
}

QString PlaylistPath(const QString &output)
{
    const QFileInfo info(output);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return output.left(output.size() - name.size()) + (dot > 0 ? name.left(dot) : name) + QStringLiteral(".m3u");
}

QByteArray PlaylistText(const std::vector<PlaylistEntry> &entries)
{
    QString out = QStringLiteral("#EXTM3U\n");
    for (const PlaylistEntry &e : entries) {
        QString title = e.title;
        title.replace(u'\n', u' ');
        out += QStringLiteral("#EXTINF:%1,%2\n%3\n").arg(e.seconds).arg(title, e.file);
    }
    return out.toUtf8();
}

} // namespace audiobook
