// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpokenText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace speech;
using Range = SpokenText::Range;

namespace speech
{
// How Google Test shows a range.
void PrintTo(const SpokenText::Range &r, std::ostream *os)
{
    *os << "{" << r.start << ", " << r.length << "}";
}
} // namespace speech

namespace
{

// The spoken range of the `nth` (from 0) occurrence of `word`.
Range Find(const QString &text, const QString &word, int nth = 0)
{
    qsizetype at = -1;
    for (int i = 0; i <= nth; ++i)
        at = text.indexOf(word, at + 1);
    EXPECT_GE(at, 0) << word.toStdString();
    return {at, word.size()};
}

QString Original(const QString &original, const Range &r)
{
    return original.mid(r.start, r.length);
}

} // namespace

TEST(SpokenTextTest, anUnchangedTextMapsOntoItself)
{
    const SpokenText s(QStringLiteral("Plain words."));
    EXPECT_EQ(s.Text(), QStringLiteral("Plain words."));
    EXPECT_EQ(s.ToOriginal(6, 5), (Range{6, 5}));
    EXPECT_EQ(s.ToSpoken(6), 6);
    EXPECT_EQ(s.PieceCount(), 1u);
    // Out-of-range questions are clamped rather than trusted.
    EXPECT_EQ(s.ToOriginal(-4, 100), (Range{0, 12}));
    EXPECT_EQ(s.ToOriginal(50, 3), (Range{12, 0}));
    const SpokenText empty{QString()};
    EXPECT_EQ(empty.ToOriginal(0, 1), (Range{0, 0}));
    EXPECT_EQ(empty.ToSpoken(3), 0);
}

TEST(SpokenTextTest, longerAndShorterReplacementsMapAsWholesAndShiftWhatFollows)
{
    const QString original = QStringLiteral("Dr. Smith met Dr. Jones at the WHO.");
    SpokenText s(original);
    s.Apply({{0, 3, QStringLiteral("Doctor")},
             {14, 3, QStringLiteral("Doctor")},
             {31, 3, QStringLiteral("W H O")}});
    const QString spoken = QStringLiteral("Doctor Smith met Doctor Jones at the W H O.");
    ASSERT_EQ(s.Text(), spoken);

    EXPECT_EQ(Original(original, s.ToOriginal(Find(spoken, QStringLiteral("Smith")))),
              QStringLiteral("Smith"));
    EXPECT_EQ(Original(original, s.ToOriginal(Find(spoken, QStringLiteral("Jones")))),
              QStringLiteral("Jones"));
    EXPECT_EQ(s.ToOriginal(Find(spoken, QStringLiteral("Doctor"), 1)), (Range{14, 3}));
    // Any part of a replacement stands for all of what it replaced.
    EXPECT_EQ(s.ToOriginal(Find(spoken, QStringLiteral("oct"), 1)), (Range{14, 3}));
    EXPECT_EQ(s.ToOriginal(Find(spoken, QStringLiteral("H"))), (Range{31, 3}));
    // The full stop after a shorter-than-spoken replacement still maps to itself.
    EXPECT_EQ(s.ToOriginal(spoken.size() - 1, 1), (Range{34, 1}));
    // A range reaching from verbatim text into a replacement takes the replaced text whole.
    EXPECT_EQ(Original(original, s.ToOriginal(Find(spoken, QStringLiteral("met Doc")))),
              QStringLiteral("met Dr."));

    // Back the other way: reading from an original word starts at its spoken form.
    EXPECT_EQ(s.ToSpoken(original.indexOf(QStringLiteral("Jones"))), spoken.indexOf(QStringLiteral("Jones")));
    EXPECT_EQ(s.ToSpoken(15), spoken.indexOf(QStringLiteral("Doctor Jones"))); // inside "Dr."
    EXPECT_EQ(s.ToSpoken(original.size()), spoken.size());
}

TEST(SpokenTextTest, removedTextIsNeverPointedAtAndReadingFromItStartsAfterIt)
{
    const QString original = QStringLiteral("see (note 3) here (and here)");
    SpokenText s(original);
    s.Apply({{4, 9, QString()}, {18, 10, QString()}});
    ASSERT_EQ(s.Text(), QStringLiteral("see here "));
    EXPECT_EQ(s.ToOriginal(4, 4), (Range{13, 4}));
    EXPECT_EQ(s.ToOriginal(0, 3), (Range{0, 3}));
    // Every single spoken character lies outside the removed stretches.
    for (qsizetype i = 0; i < s.Text().size(); ++i) {
        const Range r = s.ToOriginal(i, 1);
        EXPECT_EQ(r.length, 1);
        EXPECT_EQ(original.at(r.start), s.Text().at(i)) << i;
    }
    EXPECT_EQ(s.ToSpoken(6), 4);  // inside "(note 3)": the next spoken word
    EXPECT_EQ(s.ToSpoken(20), 9); // inside the trailing aside: the end
    // The end of the spoken text is the end of the original, past the text removed there.
    EXPECT_EQ(s.ToOriginal(9, 0), (Range{28, 0}));
}

TEST(SpokenTextTest, insertedTextMapsToAnEmptyRangeWhereItWasInserted)
{
    const QString original = QStringLiteral("Smith came.");
    SpokenText s(original);
    s.Apply({{0, 0, QStringLiteral("Mister ")}});
    ASSERT_EQ(s.Text(), QStringLiteral("Mister Smith came."));
    EXPECT_EQ(s.ToOriginal(0, 6), (Range{0, 0}));
    EXPECT_EQ(s.ToOriginal(7, 5), (Range{0, 5}));
    EXPECT_EQ(s.ToOriginal(0, 12), (Range{0, 5}));
    // Reading from "Smith" includes what was put before it.
    EXPECT_EQ(s.ToSpoken(0), 0);
    EXPECT_EQ(s.ToSpoken(6), 13);
}

TEST(SpokenTextTest, aLaterEditOverlappingAnEarlierReplacementStandsForBothOriginals)
{
    const QString original = QStringLiteral("Dr. Smith");
    SpokenText s(original);
    s.Apply({{0, 3, QStringLiteral("Doctor")}});
    // "tor Sm" spans the end of the replacement and the start of a verbatim word.
    s.Apply({{3, 6, QStringLiteral("X")}});
    ASSERT_EQ(s.Text(), QStringLiteral("DocXith"));
    EXPECT_EQ(s.ToOriginal(0, 1), (Range{0, 6}));
    EXPECT_EQ(s.ToOriginal(3, 1), (Range{0, 6}));
    EXPECT_EQ(s.ToOriginal(4, 3), (Range{6, 3}));
    EXPECT_EQ(s.ToSpoken(6), 4);

    // An edit wholly inside an earlier replacement leaves one replacement of the same words.
    SpokenText t(original);
    t.Apply({{0, 3, QStringLiteral("Doctor")}});
    t.Apply({{2, 1, QStringLiteral("k")}, {6, 0, QStringLiteral(",")}});
    ASSERT_EQ(t.Text(), QStringLiteral("Doktor, Smith"));
    EXPECT_EQ(t.ToOriginal(0, 7), (Range{0, 3}));
    EXPECT_EQ(t.ToOriginal(8, 5), (Range{4, 5}));
}

TEST(SpokenTextTest, surrogatePairsKeepTheirTwoUnitsOnBothSides)
{
    // U+1F600 and U+1D11E take two UTF-16 units each.
    const QString face = QString::fromUcs4(U"\U0001F600");
    const QString clef = QString::fromUcs4(U"\U0001D11E");
    const QString original =
        face + QStringLiteral(" Dr. ") + clef + QStringLiteral("x (") + face + QStringLiteral(") y");
    SpokenText s(original);
    s.Apply({{3, 3, QStringLiteral("Doctor")}});
    s.Apply({{s.Text().indexOf(QLatin1Char('(')) - 1, 5, QString()}});
    const QString spoken = face + QStringLiteral(" Doctor ") + clef + QStringLiteral("x y");
    ASSERT_EQ(s.Text(), spoken);
    EXPECT_EQ(s.ToOriginal(0, 2), (Range{0, 2}));
    EXPECT_EQ(s.ToOriginal(spoken.indexOf(clef), 3), (Range{original.indexOf(clef), 3}));
    EXPECT_EQ(s.ToOriginal(spoken.size() - 1, 1), (Range{original.size() - 1, 1}));
    EXPECT_EQ(s.ToSpoken(original.indexOf(clef)), spoken.indexOf(clef));
}

TEST(SpokenTextTest, overlappingOrOutOfRangeEditsAreLeftOut)
{
    SpokenText s(QStringLiteral("abcdefgh"));
    s.Apply({{2, 2, QStringLiteral("X")},
             {3, 2, QStringLiteral("Y")},
             {6, 5, QStringLiteral("Z")},
             {-1, 1, QStringLiteral("W")}});
    EXPECT_EQ(s.Text(), QStringLiteral("abXefgh"));
    EXPECT_EQ(s.ToOriginal(3, 4), (Range{4, 4}));
}

// Random edits, checked against a plain model that follows every character: a character copied
// from the original maps to exactly that character; one written by an edit maps to at least the
// original text its edit replaced, and never onto an original character still spoken verbatim;
// reading from an original character starts at it, or at text inserted right before it.
TEST(SpokenTextTest, randomEditRoundsAgreeWithACharacterByCharacterModel)
{
    std::mt19937 random(20261209);
    const QString original = QStringLiteral("The quick brown fox jumps over the lazy dog again and again.");
    for (int trial = 0; trial < 300; ++trial) {
        SpokenText s(original);
        struct Model {
            qsizetype lo, hi;
            bool verbatim;
        };
        std::vector<Model> model;
        for (qsizetype i = 0; i < original.size(); ++i)
            model.push_back({i, i + 1, true});
        const int rounds = 1 + int(random() % 4);
        for (int round = 0; round < rounds; ++round) {
            std::vector<SpokenText::Edit> edits;
            qsizetype at = 0;
            const qsizetype size = s.Text().size();
            while (at <= size) {
                const qsizetype start = at + qsizetype(random() % 12);
                if (start > size)
                    break;
                const qsizetype length = std::min<qsizetype>(qsizetype(random() % 5), size - start);
                edits.push_back({start, length, QString(int(random() % 4), QLatin1Char('#'))});
                at = start + length + 1;
            }
            // The model, from the back so earlier positions stay valid.
            for (auto e = edits.rbegin(); e != edits.rend(); ++e) {
                qsizetype lo, hi;
                if (e->length > 0) {
                    lo = model[std::size_t(e->start)].lo;
                    hi = model[std::size_t(e->start + e->length - 1)].hi;
                } else {
                    lo = hi = e->start < qsizetype(model.size()) ? model[std::size_t(e->start)].lo
                                                                 : original.size();
                }
                model.erase(model.begin() + e->start, model.begin() + e->start + e->length);
                model.insert(model.begin() + e->start, std::size_t(e->replacement.size()),
                             Model{lo, hi, false});
            }
            s.Apply(edits);
        }
        ASSERT_EQ(std::size_t(s.Text().size()), model.size());
        std::vector<bool> spokenVerbatim(std::size_t(original.size()), false);
        for (const Model &m : model) {
            if (m.verbatim)
                spokenVerbatim[std::size_t(m.lo)] = true;
        }
        Range previous;
        for (qsizetype i = 0; i < s.Text().size(); ++i) {
            const Model &m = model[std::size_t(i)];
            const Range r = s.ToOriginal(i, 1);
            // Neighbours stand for the same words, or for words one after the other.
            if (i > 0 && !(r == previous)) {
                ASSERT_GE(r.start, previous.start + previous.length) << "trial " << trial << " at " << i;
            }
            previous = r;
            if (m.verbatim) {
                ASSERT_EQ(r, (Range{m.lo, 1})) << "trial " << trial << " at " << i;
                ASSERT_EQ(s.Text().at(i), original.at(m.lo));
                // Reading from it starts there, or at text inserted just before it.
                const qsizetype from = s.ToSpoken(m.lo);
                ASSERT_LE(from, i) << "trial " << trial << " at " << i;
                for (qsizetype j = from; j < i; ++j) {
                    const Model &inserted = model[std::size_t(j)];
                    ASSERT_TRUE(!inserted.verbatim && inserted.lo == m.lo && inserted.hi == m.lo)
                        << "trial " << trial << " at " << i;
                }
            } else {
                ASSERT_LE(r.start, m.lo) << "trial " << trial << " at " << i;
                ASSERT_GE(r.start + r.length, m.hi) << "trial " << trial << " at " << i;
                for (qsizetype k = r.start; k < r.start + r.length; ++k)
                    ASSERT_FALSE(spokenVerbatim[std::size_t(k)]) << "trial " << trial << " at " << i;
            }
        }
    }
}
