// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SentenceSplitter.h"

#include <QStringList>

#include <gtest/gtest.h>

using speech::SentenceSplitter;

namespace {

QStringList Pieces(const QString &text, qsizetype limit = SentenceSplitter::kMaximumLength)
{
    QStringList out;
    for (const auto &p : SentenceSplitter::Split(text, limit))
        out << text.mid(p.start, p.length).trimmed();
    return out;
}

} // namespace

TEST(SentenceSplitter, cutsAtSentenceEndsAndLineBreaksButNotInsideNumbersOrNames)
{
    EXPECT_EQ(Pieces(QStringLiteral("One. Two? Three! Four")),
              (QStringList{"One.", "Two?", "Three!", "Four"}));
    EXPECT_EQ(Pieces(QStringLiteral("Pi is 3.14 today.")), QStringList{"Pi is 3.14 today."});
    EXPECT_EQ(Pieces(QStringLiteral("Heading\nBody text")), (QStringList{"Heading", "Body text"}));
    EXPECT_TRUE(Pieces(QStringLiteral("  \n\n \t ")).isEmpty());
    EXPECT_TRUE(Pieces(QString()).isEmpty());
}

TEST(SentenceSplitter, cutsOverlongSentencesAtACommaOrSpaceWithoutLosingText)
{
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QStringLiteral("word%1%2").arg(i).arg(i % 7 == 6 ? QStringLiteral(", ") : QStringLiteral(" "));
    const auto pieces = SentenceSplitter::Split(text, 100);
    ASSERT_GT(pieces.size(), 10u);
    qsizetype next = 0;
    for (const auto &p : pieces) {
        EXPECT_LE(p.length, 100);
        EXPECT_EQ(p.start, next) << "pieces must cover the text in order";
        next = p.start + p.length;
        const QString piece = text.mid(p.start, p.length);
        EXPECT_TRUE(piece.endsWith(QLatin1Char(' ')) || piece.endsWith(QLatin1Char(','))) << "cut inside a word: " << piece.toStdString();
    }
    EXPECT_EQ(next, text.size());
    // A single word longer than the limit is cut anyway rather than held back.
    EXPECT_EQ(SentenceSplitter::Split(QString(250, QLatin1Char('a')), 100).size(), 3u);
}
