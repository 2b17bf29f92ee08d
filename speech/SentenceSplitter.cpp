// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SentenceSplitter.h"

namespace speech {

namespace {

bool Blank(const QString &text, qsizetype start, qsizetype end)
{
    for (qsizetype i = start; i < end; ++i) {
        if (!text.at(i).isSpace())
            return false;
    }
    return true;
}

} // namespace

std::vector<SentenceSplitter::Piece> SentenceSplitter::Split(const QString &text, qsizetype maximumLength)
{
    std::vector<Piece> pieces;
    if (maximumLength < 2)
        maximumLength = 2;
    const qsizetype size = text.size();
    qsizetype start = 0;
    auto take = [&](qsizetype end) {
        if (end > start && !Blank(text, start, end))
            pieces.push_back({start, end - start});
        start = end;
    };
    qsizetype lastComma = -1, lastSpace = -1;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            take(i + 1);
            lastComma = lastSpace = -1;
            continue;
        }
        const bool terminator = c == QLatin1Char('.') || c == QLatin1Char('!') || c == QLatin1Char('?') ||
                                c == QLatin1Char(';') || c == QLatin1Char(':');
        if (terminator && (i + 1 == size || text.at(i + 1).isSpace())) {
            take(i + 1);
            lastComma = lastSpace = -1;
            continue;
        }
        if (c == QLatin1Char(','))
            lastComma = i + 1;
        else if (c.isSpace())
            lastSpace = i + 1;
        if (i + 1 - start >= maximumLength) {
            // Too long to wait for: cut at the last comma, else the last space, else right here.
            qsizetype cut = i + 1;
            if (lastComma > start + maximumLength / 3)
                cut = lastComma;
            else if (lastSpace > start)
                cut = lastSpace;
            take(cut);
            lastComma = lastSpace = -1;
        }
    }
    take(size);
    return pieces;
}

} // namespace speech
