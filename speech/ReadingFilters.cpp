// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/ReadingFilters.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace speech
{

namespace
{

bool IsWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isSurrogate() || c == QLatin1Char('_');
}

// What is left where a part was taken out: nothing, unless that would run two words together.
QString Gap(const QString &text, qsizetype start, qsizetype end)
{
    if (start > 0 && end < text.size() && IsWordCharacter(text.at(start - 1)) &&
        IsWordCharacter(text.at(end)))
        return QStringLiteral(" ");
    return QString();
}

const QRegularExpression &AddressPattern()
{
    static const QRegularExpression pattern = [] {
        QRegularExpression p(
            QStringLiteral(
                "(?<![\\p{L}\\p{N}])(?:(?:https?|ftp|file)://|www\\.|mailto:)[^\\s<>\"]+"
                "|(?<![\\p{L}\\p{N}._%+-])[\\p{L}\\p{N}._%+-]+@[\\p{L}\\p{N}-]+(?:\\.[\\p{L}\\p{N}-]+)+"),
            QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
        p.optimize();
        return p;
    }();
    return pattern;
}

// Sentence punctuation after an address belongs to the sentence; a closing bracket does only when
// the address does not open one itself (as in wiki/Foo_(bar)).
qsizetype AddressEnd(const QString &text, qsizetype start, qsizetype end)
{
    static const QString trailing = QStringLiteral(".,;:!?'\")]}");
    while (end > start && trailing.contains(text.at(end - 1))) {
        const QChar c = text.at(end - 1);
        if (c == QLatin1Char(')') || c == QLatin1Char(']') || c == QLatin1Char('}')) {
            const QChar open = c == QLatin1Char(')')
                                   ? QLatin1Char('(')
                                   : (c == QLatin1Char(']') ? QLatin1Char('[') : QLatin1Char('{'));
            const QStringView address = QStringView(text).mid(start, end - start);
            if (address.count(open) >= address.count(c))
                break;
        }
        --end;
    }
    return end;
}

void SkipAddresses(SpokenText &spoken)
{
    const QString &text = spoken.Text();
    std::vector<SpokenText::Edit> edits;
    auto matches = AddressPattern().globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch m = matches.next();
        const qsizetype start = m.capturedStart(0);
        const qsizetype end = AddressEnd(text, start, m.capturedEnd(0));
        if (end > start)
            edits.push_back({start, end - start, Gap(text, start, end)});
    }
    spoken.Apply(edits);
}

bool IsBlankLineAt(const QString &text, qsizetype i)
{
    // A line break followed, after spaces only, by another.
    if (text.at(i) == QChar::ParagraphSeparator)
        return true;
    if (text.at(i) != QLatin1Char('\n'))
        return false;
    for (qsizetype k = i + 1; k < text.size(); ++k) {
        const QChar c = text.at(k);
        if (c == QLatin1Char('\n'))
            return true;
        if (!c.isSpace())
            return false;
    }
    return false;
}

void SkipBrackets(SpokenText &spoken)
{
    const QString &text = spoken.Text();
    struct Open {
        QChar closer;
        qsizetype at;
    };
    std::vector<Open> open;
    std::vector<std::pair<qsizetype, qsizetype>> pairs; // [start, end)
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('('))
            open.push_back({QLatin1Char(')'), i});
        else if (c == QLatin1Char('['))
            open.push_back({QLatin1Char(']'), i});
        else if (c == QLatin1Char('{'))
            open.push_back({QLatin1Char('}'), i});
        else if (!open.empty() && c == open.back().closer) {
            pairs.emplace_back(open.back().at, i + 1);
            open.pop_back();
        } else if (!open.empty() && IsBlankLineAt(text, i)) {
            open.clear();
        }
    }
    // Inner pairs were found before the pairs around them: keep the outermost ones.
    std::sort(pairs.begin(), pairs.end());
    std::vector<SpokenText::Edit> edits;
    qsizetype reached = 0;
    for (const auto &[start, end] : pairs) {
        if (start < reached)
            continue;
        edits.push_back({start, end - start, Gap(text, start, end)});
        reached = end;
    }
    spoken.Apply(edits);
}

} // namespace

void ReadingFilters::Apply(SpokenText &text, unsigned skip)
{
    if (skip & WebAddresses)
        text.ReplaceLoneSurrogates(); // the address pattern finds nothing in text that is not valid UTF-16
    if (skip & WebAddresses)
        SkipAddresses(text);
    if (skip & Brackets)
        SkipBrackets(text);
}

std::optional<unsigned> ReadingFilters::Parse(const QString &list, QString *error)
{
    unsigned skip = None;
    for (const QString &word : list.split(QLatin1Char(','))) {
        const QString w = word.trimmed().toLower();
        if (w == QLatin1String("brackets")) {
            skip |= Brackets;
        } else if (w == QLatin1String("urls")) {
            skip |= WebAddresses;
        } else {
            if (error)
                *error = QStringLiteral(
                             "\"%1\" names no reading filter: give brackets, urls, or both as brackets,urls")
                             .arg(word.trimmed());
            return std::nullopt;
        }
    }
    return skip;
}

} // namespace speech
