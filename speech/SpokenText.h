// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

namespace speech
{

// The text a voice is given after pronunciation rules and reading filters have changed it, with the
// way back to the text the user gave: every position of the spoken text maps to a position of the
// original, so a word the voice reads can be shown where the user wrote it.
//
// Offsets count UTF-16 code units, as QString does. A replacement maps as a whole: any part of
// "Doctor" spoken for "Dr." maps to all of "Dr."; text taken out maps to nothing, so no spoken
// range ever points into it.
class SpokenText
{
  public:
    struct Range {
        qsizetype start = 0;
        qsizetype length = 0;
        bool operator==(const Range &other) const { return start == other.start && length == other.length; }
    };
    // One change to the current spoken text: `length` code units at `start` become `replacement`.
    struct Edit {
        qsizetype start = 0;
        qsizetype length = 0;
        QString replacement;
    };

    SpokenText() = default;
    explicit SpokenText(const QString &original);

    const QString &Text() const { return text_; }
    qsizetype OriginalLength() const { return originalLength_; }

    // Applies edits given in positions of the current text; they must be sorted and must not
    // overlap (edits that do are left out). The map keeps pointing at the original.
    void Apply(const std::vector<Edit> &edits);

    // Makes the text valid UTF-16, as a pattern matcher needs it: each lone surrogate becomes a
    // replacement character (one for one, so no position moves).
    void ReplaceLoneSurrogates();

    // The original range a spoken range stands for. A range that lies wholly in inserted text, or
    // is empty, comes back empty at the original position it was inserted at.
    Range ToOriginal(qsizetype start, qsizetype length) const;
    Range ToOriginal(const Range &spoken) const { return ToOriginal(spoken.start, spoken.length); }
    // Where reading from `originalOffset` starts in the spoken text: inside a replaced part, at the
    // start of its replacement; inside a removed part, at what follows it.
    qsizetype ToSpoken(qsizetype originalOffset) const;

    // How many pieces the map holds (for tests and benchmarks: a plain text holds at most one).
    std::size_t PieceCount() const { return pieces_.size(); }

  private:
    // A stretch of the spoken text and what it stands for. Verbatim pieces are copies, position by
    // position; the others stand for their original range as a whole. Spoken stretches follow each
    // other without gaps; original stretches are in order and do not overlap, with gaps where text
    // was removed. Pieces that speak nothing are not kept.
    struct Piece {
        qsizetype spoken = 0;
        qsizetype spokenLength = 0;
        qsizetype original = 0;
        qsizetype originalLength = 0;
        bool verbatim = true;
        qsizetype SpokenEnd() const { return spoken + spokenLength; }
        qsizetype OriginalEnd() const { return original + originalLength; }
    };

    static void Append(std::vector<Piece> &pieces, Piece piece);
    // Copies the map of the spoken stretch [from, to) onto the end of `pieces`.
    void CopyMap(qsizetype from, qsizetype to, std::vector<Piece> &pieces) const;
    // The index of the piece that holds spoken position `position`, or the count when none does.
    std::size_t PieceAt(qsizetype position) const;
    qsizetype OriginalStartOf(qsizetype spokenPosition) const;
    qsizetype OriginalEndOf(qsizetype spokenEnd) const;

    QString text_;
    qsizetype originalLength_ = 0;
    std::vector<Piece> pieces_;
};

} // namespace speech
