// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/Lexicon.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace speech;

namespace
{

QString Spoken(const Lexicon &lexicon, const QString &text, const QString &speaker = QStringLiteral("Mary"))
{
    SpokenText s(text);
    lexicon.Apply(s, speaker);
    return s.Text();
}

Lexicon Rules(const QString &text)
{
    Lexicon lexicon;
    EXPECT_TRUE(lexicon.Add(text, QStringLiteral("rules.txt")))
        << lexicon.ProblemLines().join(QLatin1Char('\n')).toStdString();
    return lexicon;
}

} // namespace

TEST(LexiconTest, wordRulesMatchWholeWordsInAnyLetterCase)
{
    const Lexicon lexicon =
        Rules(QStringLiteral("Dr = Doctor\nNew York = Noo Yawk\ncafé = caff\nC# = C sharp\n"));
    EXPECT_EQ(Spoken(lexicon, QStringLiteral("Dr Smith, DR Who, dr. No; Drive, Adr")),
              QStringLiteral("Doctor Smith, Doctor Who, Doctor. No; Drive, Adr"));
    // Several words match across any white space, a line break included.
    EXPECT_EQ(Spoken(lexicon, QStringLiteral("new  york and New\nYork, not New Yorker")),
              QStringLiteral("Noo Yawk and Noo Yawk, not New Yorker"));
    // Letters beyond ASCII are letters: "cafés" is another word.
    EXPECT_EQ(Spoken(lexicon, QStringLiteral("Café au lait at the CAFÉ, two cafés")),
              QStringLiteral("caff au lait at the caff, two cafés"));
    // An edge that is not a letter needs no word boundary.
    EXPECT_EQ(Spoken(lexicon, QStringLiteral("I write C#.")), QStringLiteral("I write C sharp."));
}

TEST(LexiconTest, patternRulesPutBackWhatTheirGroupsMatched)
{
    const Lexicon lexicon = Rules(QStringLiteral("/\\b(\\d+)kg\\b/ = \\1 kilograms\n"
                                                 "/(\\w+)@(\\w+)/ = \\2 of \\1, \\0\n"
                                                 "/back\\\\slash/ = a \\\\ b\n"
                                                 "/km\\/h/ = kilometres an hour\n"
                                                 "/\\bOK\\b/i = okay\n"));
    EXPECT_EQ(Spoken(lexicon, QStringLiteral("5kg and 10kg, not 3kgs")),
              QStringLiteral("5 kilograms and 10 kilograms, not 3kgs"));
    EXPECT_EQ(Spoken(lexicon, QStringLiteral("ann@home")), QStringLiteral("home of ann, ann@home"));
    EXPECT_EQ(Spoken(lexicon, QStringLiteral("back\\slash")), QStringLiteral("a \\ b"));
    EXPECT_EQ(Spoken(lexicon, QStringLiteral("50 km/h")), QStringLiteral("50 kilometres an hour"));
    EXPECT_EQ(Spoken(lexicon, QStringLiteral("ok, OK, Ok")), QStringLiteral("okay, okay, okay"));
    // Case matters for a pattern without the i flag.
    EXPECT_EQ(Spoken(Rules(QStringLiteral("/OK/ = okay")), QStringLiteral("ok OK")),
              QStringLiteral("ok okay"));
}

TEST(LexiconTest, rulesApplyInFileOrderEachToWhatTheOnesBeforeLeft)
{
    const Lexicon lexicon =
        Rules(QStringLiteral("# comments and blank lines are ignored\n\n  A = B\nB = C\n"));
    EXPECT_EQ(Spoken(lexicon, QStringLiteral("A B")), QStringLiteral("C C"));
    // The map still points at the user's words after both rules.
    SpokenText s(QStringLiteral("xA yB"));
    lexicon.Apply(s, QStringLiteral("Mary"));
    EXPECT_EQ(s.Text(), QStringLiteral("xA yB")); // "xA" is not the word "A"
    SpokenText t(QStringLiteral("Dr Smith"));
    Rules(QStringLiteral("Dr = Doctor")).Apply(t, QStringLiteral("Mary"));
    EXPECT_EQ(t.ToOriginal(0, 6), (SpokenText::Range{0, 2}));
    EXPECT_EQ(t.ToOriginal(7, 5), (SpokenText::Range{3, 5}));
}

TEST(LexiconTest, aVoiceSectionLeavesTheOtherVoicesAlone)
{
    Lexicon lexicon = Rules(
        QStringLiteral("tomato = tomahto\n[Sam]\nlive = liv\n[  mary ]\nread = red\n[*]\nlead = led\n"));
    const QString text = QStringLiteral("tomato live read lead");
    EXPECT_EQ(Spoken(lexicon, text, QStringLiteral("Sam")), QStringLiteral("tomahto liv read led"));
    EXPECT_EQ(Spoken(lexicon, text, QStringLiteral("Mary")), QStringLiteral("tomahto live red led"));
    EXPECT_EQ(Spoken(lexicon, text, QStringLiteral("Mike")), QStringLiteral("tomahto live read led"));
    // A second file starts with rules for every voice again.
    lexicon.Add(QStringLiteral("live = lyve\n"), QStringLiteral("more.txt"));
    EXPECT_EQ(Spoken(lexicon, text, QStringLiteral("Mike")), QStringLiteral("tomahto lyve read led"));
}

TEST(LexiconTest, brokenLinesAreReportedByNumberAndTheOthersStillApply)
{
    Lexicon lexicon;
    EXPECT_FALSE(lexicon.Add(QStringLiteral("\xFEFFone = 1\r\n"
                                            "no equals sign here\r\n"
                                            "/(unclosed/ = x\r\n"
                                            "/no closing slash = x\r\n"
                                            "/(a)/ = \\2\r\n"
                                            "/a/x = y\r\n"
                                            "= nothing\r\n"
                                            "[Sam\r\n"
                                            "[]\r\n"
                                            "/a/ b\r\n"
                                            "two = 2\r\n"),
                             QStringLiteral("rules.txt")));
    ASSERT_EQ(lexicon.Problems().size(), 9u) << lexicon.ProblemLines().join(QLatin1Char('\n')).toStdString();
    std::vector<int> lines;
    for (const Lexicon::Problem &p : lexicon.Problems())
        lines.push_back(p.line);
    EXPECT_EQ(lines, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
    const QStringList shown = lexicon.ProblemLines();
    EXPECT_TRUE(shown.at(0).startsWith(QStringLiteral("rules.txt line 2: no \"=\"")))
        << shown.at(0).toStdString();
    EXPECT_TRUE(shown.at(1).contains(QStringLiteral("bad pattern"))) << shown.at(1).toStdString();
    EXPECT_TRUE(shown.at(3).contains(QStringLiteral("\\2 names no group"))) << shown.at(3).toStdString();
    EXPECT_EQ(lexicon.RuleCount(), 2u);
    EXPECT_EQ(Spoken(lexicon, QStringLiteral("one two")), QStringLiteral("1 2"));
}

TEST(LexiconTest, filesThatCannotBeReadAreOneProblemAndNotAFailureToSpeak)
{
    QTemporaryDir dir;
    Lexicon lexicon;
    EXPECT_FALSE(lexicon.AddFile(dir.filePath(QStringLiteral("missing.txt"))));
    EXPECT_FALSE(lexicon.AddFile(dir.path()));
    QFile latin1(dir.filePath(QStringLiteral("latin1.txt")));
    ASSERT_TRUE(latin1.open(QIODevice::WriteOnly));
    latin1.write("caf\xE9 = caff\n");
    latin1.close();
    EXPECT_FALSE(lexicon.AddFile(latin1.fileName()));
    ASSERT_EQ(lexicon.Problems().size(), 3u);
    EXPECT_EQ(lexicon.Problems().at(0).line, 0);
    EXPECT_TRUE(lexicon.ProblemLines().at(2).contains(QStringLiteral("not UTF-8")))
        << lexicon.ProblemLines().at(2).toStdString();
    EXPECT_TRUE(lexicon.IsEmpty());

    QFile good(dir.filePath(QStringLiteral("good.txt")));
    ASSERT_TRUE(good.open(QIODevice::WriteOnly));
    good.write("Orvena = Or vay na\n");
    good.close();
    Lexicon fromFile;
    EXPECT_TRUE(fromFile.AddFile(good.fileName()));
    EXPECT_EQ(Spoken(fromFile, QStringLiteral("Orvena studio")), QStringLiteral("Or vay na studio"));
}

TEST(LexiconTest, aPatternThatBacktracksWithoutEndIsLeftOutAndTheOthersStillApply)
{
    const Lexicon lexicon = Rules(QStringLiteral("/(a+)+[bc]/ = x\nhello = hi\n"));
    const QString text = QString(5000, QLatin1Char('a')) + QStringLiteral("! hello");
    SpokenText s(text);
    std::vector<Lexicon::Problem> skipped;
    lexicon.Apply(s, QStringLiteral("Mary"), Lexicon::Limits{}, &skipped);
    EXPECT_EQ(s.Text(), QString(5000, QLatin1Char('a')) + QStringLiteral("! hi"));
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped.front().line, 1);

    // A rule that is merely slow on a long text is given up at the time limit.
    const Lexicon slow = Rules(QStringLiteral("/a/ = b\nhello = hi\n"));
    SpokenText t(QString(200000, QLatin1Char('a')) + QStringLiteral(" hello"));
    skipped.clear();
    slow.Apply(t, QStringLiteral("Mary"), Lexicon::Limits{0, 1000}, &skipped);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_TRUE(t.Text().endsWith(QStringLiteral(" hi")));
    EXPECT_TRUE(t.Text().startsWith(QStringLiteral("aaa")));
}

TEST(LexiconTest, patternsThatMatchNothingAtAllEndAndKeepSurrogatePairsWhole)
{
    const QString face = QString::fromUcs4(U"\U0001F600");
    const Lexicon lexicon = Rules(QStringLiteral("/x*/ = -\n"));
    EXPECT_EQ(Spoken(lexicon, QStringLiteral("ab")), QStringLiteral("-a-b-"));
    EXPECT_EQ(Spoken(lexicon, face), QStringLiteral("-") + face + QStringLiteral("-"));
    EXPECT_EQ(Spoken(lexicon, QString()), QStringLiteral("-"));
}

TEST(LexiconTest, loneSurrogatesAreReadAsReplacementCharactersAndMoveNothing)
{
    const QString text = QStringLiteral("a") + QChar(0xD800) + QStringLiteral(" Dr x ") + QChar(0xDC00);
    SpokenText s(text);
    Rules(QStringLiteral("dr = Doctor\n/x/ = ex\n")).Apply(s, QStringLiteral("Mary"));
    EXPECT_EQ(s.Text(), QStringLiteral("a\uFFFD Doctor ex \uFFFD"));
    EXPECT_EQ(s.ToOriginal(s.Text().indexOf(QStringLiteral("ex")), 2),
              (SpokenText::Range{text.indexOf(QLatin1Char('x')), 1}));
    EXPECT_EQ(s.ToOriginal(1, 1), (SpokenText::Range{1, 1}));
}
