// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpokenText.h"

#include <algorithm>

namespace speech
{

SpokenText::SpokenText(const QString &original) : text_(original), originalLength_(original.size())
{
    if (!original.isEmpty())
        pieces_.push_back({0, original.size(), 0, original.size(), true});
}

void SpokenText::Append(std::vector<Piece> &pieces, Piece piece)
{
    if (piece.spokenLength <= 0)
        return;
    piece.spoken = pieces.empty() ? 0 : pieces.back().SpokenEnd();
    if (!pieces.empty()) {
        Piece &last = pieces.back();
        if (piece.original < last.OriginalEnd()) {
            // Two spoken stretches claim the same original words (a later rule rewrote part of an
            // earlier replacement): they stand for those words together.
            const qsizetype end = std::max(last.OriginalEnd(), piece.OriginalEnd());
            last.spokenLength += piece.spokenLength;
            last.originalLength = end - last.original;
            last.verbatim = false;
            return;
        }
        if (last.verbatim && piece.verbatim && piece.original == last.OriginalEnd()) {
            last.spokenLength += piece.spokenLength;
            last.originalLength += piece.originalLength;
            return;
        }
    }
    pieces.push_back(piece);
}

std::size_t SpokenText::PieceAt(qsizetype position) const
{
    auto after = std::upper_bound(pieces_.begin(), pieces_.end(), position,
                                  [](qsizetype p, const Piece &piece) { return p < piece.spoken; });
    if (after == pieces_.begin())
        return pieces_.size();
    const auto index = static_cast<std::size_t>(after - pieces_.begin() - 1);
    return position < pieces_[index].SpokenEnd() ? index : pieces_.size();
}

void SpokenText::CopyMap(qsizetype from, qsizetype to, std::vector<Piece> &pieces) const
{
    for (std::size_t i = PieceAt(from); i < pieces_.size() && pieces_[i].spoken < to; ++i) {
        const Piece &p = pieces_[i];
        const qsizetype a = std::max(from, p.spoken);
        const qsizetype b = std::min(to, p.SpokenEnd());
        if (p.verbatim)
            Append(pieces, {0, b - a, p.original + (a - p.spoken), b - a, true});
        else
            Append(pieces, {0, b - a, p.original, p.originalLength, false});
    }
}

qsizetype SpokenText::OriginalStartOf(qsizetype spokenPosition) const
{
    const std::size_t i = PieceAt(spokenPosition);
    if (i == pieces_.size())
        return originalLength_;
    const Piece &p = pieces_[i];
    return p.verbatim ? p.original + (spokenPosition - p.spoken) : p.original;
}

qsizetype SpokenText::OriginalEndOf(qsizetype spokenEnd) const
{
    const std::size_t i = PieceAt(spokenEnd - 1);
    if (i == pieces_.size())
        return originalLength_;
    const Piece &p = pieces_[i];
    return p.verbatim ? p.original + (spokenEnd - p.spoken) : p.OriginalEnd();
}

void SpokenText::Apply(const std::vector<Edit> &edits)
{
    if (edits.empty())
        return;
    QString text;
    text.reserve(text_.size());
    std::vector<Piece> pieces;
    pieces.reserve(pieces_.size() + edits.size() * 2);
    qsizetype position = 0;
    for (const Edit &e : edits) {
        if (e.start < position || e.length < 0 || e.start + e.length > text_.size())
            continue;
        CopyMap(position, e.start, pieces);
        text += QStringView(text_).mid(position, e.start - position);
        const qsizetype originalStart = OriginalStartOf(e.start);
        const qsizetype originalEnd = e.length > 0 ? OriginalEndOf(e.start + e.length) : originalStart;
        Append(pieces, {0, e.replacement.size(), originalStart, originalEnd - originalStart, false});
        text += e.replacement;
        position = e.start + e.length;
    }
    CopyMap(position, text_.size(), pieces);
    text += QStringView(text_).mid(position);
    text_ = std::move(text);
    pieces_ = std::move(pieces);
}

void SpokenText::ReplaceLoneSurrogates()
{
    std::vector<Edit> lone;
    for (qsizetype i = 0; i < text_.size(); ++i) {
        const QChar c = text_.at(i);
        if (c.isHighSurrogate() && i + 1 < text_.size() && text_.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            lone.push_back({i, 1, QString(QChar::ReplacementCharacter)});
    }
    Apply(lone);
}

SpokenText::Range SpokenText::ToOriginal(qsizetype start, qsizetype length) const
{
    start = std::clamp<qsizetype>(start, 0, text_.size());
    length = std::clamp<qsizetype>(length, 0, text_.size() - start);
    const qsizetype originalStart = OriginalStartOf(start);
    if (length == 0)
        return {originalStart, 0};
    return {originalStart, std::max<qsizetype>(0, OriginalEndOf(start + length) - originalStart)};
}

qsizetype SpokenText::ToSpoken(qsizetype originalOffset) const
{
    // The first piece that reaches past the offset; text inserted exactly there belongs to it.
    auto it = std::partition_point(pieces_.begin(), pieces_.end(), [originalOffset](const Piece &p) {
        return p.OriginalEnd() < originalOffset ||
               (p.OriginalEnd() == originalOffset && p.originalLength > 0);
    });
    if (it == pieces_.end())
        return text_.size();
    if (originalOffset <= it->original || !it->verbatim)
        return it->spoken;
    return it->spoken + (originalOffset - it->original);
}

} // namespace speech
