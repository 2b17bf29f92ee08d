// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/ReadingFilters.h"

#include <gtest/gtest.h>

using namespace speech;

namespace
{

QString Skipped(const QString &text, unsigned skip)
{
    SpokenText s(text);
    ReadingFilters::Apply(s, skip);
    return s.Text();
}

} // namespace

TEST(ReadingFiltersTest, bracketsOfEveryKindAreSkippedNestedOrNot)
{
    const unsigned b = ReadingFilters::Brackets;
    EXPECT_EQ(Skipped(QStringLiteral("A study (Smith [2001], {p. 3}) found it [1]."), b),
              QStringLiteral("A study  found it ."));
    // Two words are not run together where an aside sat between them.
    EXPECT_EQ(Skipped(QStringLiteral("foo(bar)baz and x(1)."), b), QStringLiteral("foo baz and x."));
    // A bracket never closed is read, and so is what it holds; pairs inside it are still skipped.
    EXPECT_EQ(Skipped(QStringLiteral("a :( sad (b [c] d"), b), QStringLiteral("a :( sad (b  d"));
    // A closing bracket without its opener, or of the wrong kind, is read.
    EXPECT_EQ(Skipped(QStringLiteral("1) one 2) two (x ] y)"), b), QStringLiteral("1) one 2) two "));
    // No aside reaches over a blank line.
    EXPECT_EQ(Skipped(QStringLiteral("(open\n\nnext) para (x)"), b), QStringLiteral("(open\n\nnext) para "));
    EXPECT_EQ(Skipped(QStringLiteral("(one\nline)"), b), QString());
}

TEST(ReadingFiltersTest, webAndMailAddressesAreSkippedButTheSentenceEndIsKept)
{
    const unsigned u = ReadingFilters::WebAddresses;
    EXPECT_EQ(Skipped(QStringLiteral("See https://example.org/a/b?x=1&y=2#top. Then"), u),
              QStringLiteral("See . Then"));
    EXPECT_EQ(Skipped(QStringLiteral("Go to www.example.com, or ftp://files.example.com/pub!"), u),
              QStringLiteral("Go to , or !"));
    EXPECT_EQ(
        Skipped(QStringLiteral("Write to Ann.Lee+news@mail.example.co.uk. Or mailto:bob@example.org"), u),
        QStringLiteral("Write to . Or "));
    // A bracket the address opens itself is part of it; one around the address is not.
    EXPECT_EQ(Skipped(QStringLiteral("(https://en.wikipedia.org/wiki/Foo_(bar))"), u), QStringLiteral("()"));
    EXPECT_EQ(Skipped(QStringLiteral("\"http://example.org\""), u), QStringLiteral("\"\""));
    // A lone surrogate elsewhere in the text does not hide an address.
    EXPECT_EQ(Skipped(QChar(0xDC00) + QStringLiteral(" see www.example.org"), u), QStringLiteral("\uFFFD see "));
    // Ordinary words with dots or at signs are read.
    EXPECT_EQ(Skipped(QStringLiteral("e.g. 3 @ 5, node.js, user@localhost"), u),
              QStringLiteral("e.g. 3 @ 5, node.js, user@localhost"));
}

TEST(ReadingFiltersTest, bothFiltersTogetherMapWhatIsLeftBackToTheOriginal)
{
    const QString original = QStringLiteral("Read (see https://x.org/a_(b)) this, mail me@x.org [ref] now.");
    SpokenText s(original);
    ReadingFilters::Apply(s, ReadingFilters::Brackets | ReadingFilters::WebAddresses);
    ASSERT_EQ(s.Text(), QStringLiteral("Read  this, mail   now."));
    for (const QString &word :
         {QStringLiteral("Read"), QStringLiteral("this"), QStringLiteral("mail"), QStringLiteral("now")}) {
        const SpokenText::Range r = s.ToOriginal(s.Text().indexOf(word), word.size());
        EXPECT_EQ(original.mid(r.start, r.length), word);
    }
    EXPECT_EQ(Skipped(original, ReadingFilters::None), original);
}

TEST(ReadingFiltersTest, theFilterListNamesBracketsAndUrls)
{
    QString error;
    EXPECT_EQ(ReadingFilters::Parse(QStringLiteral("brackets"), &error), unsigned(ReadingFilters::Brackets));
    EXPECT_EQ(ReadingFilters::Parse(QStringLiteral("urls"), &error), unsigned(ReadingFilters::WebAddresses));
    EXPECT_EQ(ReadingFilters::Parse(QStringLiteral(" URLs , Brackets"), &error),
              unsigned(ReadingFilters::Brackets | ReadingFilters::WebAddresses));
    EXPECT_FALSE(ReadingFilters::Parse(QStringLiteral("brackets,links"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("\"links\""))) << error.toStdString();
    EXPECT_FALSE(ReadingFilters::Parse(QString(), &error));
}
