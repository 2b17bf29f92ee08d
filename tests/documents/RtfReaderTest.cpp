// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/RtfReader.h"

#include "tests/documents/Fixtures.h"

#include <gtest/gtest.h>

using namespace documents;
using documents::test::Fixture;

namespace {

QString TextOf(const char *fixture)
{
    const DocumentText result = RtfReader::LoadFile(Fixture(fixture));
    EXPECT_TRUE(result.ok) << fixture;
    return result.text;
}

QString Read(const QByteArray &rtf)
{
    const RtfReader::Result result = RtfReader::Read(rtf);
    EXPECT_TRUE(result.isRtf);
    return result.text;
}

} // namespace

TEST(RtfReader, nestedGroupsControlSymbolsAndSkippedTables)
{
    EXPECT_EQ(TextOf("nested.rtf"),
              QStringLiteral("Plain bold bold italic bold plain.\n"
                             "Line one\nline two\n"
                             "Name\tValue\n"
                             "A\u00A0B, softhyphen, non\u2011breaking, braces {x}, backslash \\.\n"
                             "Visible\u2014end.\n"));
}

TEST(RtfReader, unicodeEscapesSkipTheirFallbacksWithinTheGroup)
{
    EXPECT_EQ(TextOf("unicode.rtf"),
              QStringLiteral("Euro € sign.\n"
                             "Tokyo 東京.\n"
                             "Zero éfallback\n"
                             "Face 😀 end.\n"
                             "Group ☃ after.\n"
                             "Short ☃b.\n"));
}

TEST(RtfReader, hexEscapesInTheCodePageOfTheDocumentAndOfEachFont)
{
    EXPECT_EQ(TextOf("hex.rtf"),
              QStringLiteral("Café € “quoted”.\n"
                             "Привет\n"
                             "šč\n"
                             "Upper É and bad zz end.\n"));
}

TEST(RtfReader, doubleByteCodePagesJoinTheirEscapedBytes)
{
    // Shift-JIS: two escaped bytes make one character, also when the second is a plain letter.
    EXPECT_EQ(Read("{\\rtf1\\ansi\\ansicpg932 \\'93\\'8c\\'82`}"), QStringLiteral("東Ａ"));
}

TEST(RtfReader, tableCellsAreTabSeparatedAndRowsEndLines)
{
    EXPECT_EQ(TextOf("table.rtf"), QStringLiteral("Before the table.\nA1\tB1\nA2\tB2\nAfter the table.\n"));
}

TEST(RtfReader, picturesBinaryDataAndFieldInstructionsShowNothing)
{
    // The \bin data holds closing braces: read as RTF they would end the document early.
    EXPECT_EQ(TextOf("pict.rtf"),
              QStringLiteral("Before picture.After picture.\n"
                             "Binary  follows.\n"
                             "Object result text.\n"
                             "Link text\n"));
}

TEST(RtfReader, wordProcessorOutputReadsAsTheDocumentShowsIt)
{
    // Written by LibreOffice from the same source as the .doc, .docx and .odt samples.
    EXPECT_EQ(TextOf("sample.rtf"), QStringLiteral("Orvena reads documents aloud.\nLine one\nline two\nName\tValue\n"
                                                   "A1\tB1\nA2\tB2\nCafé, naïve, 東京 — done.\n"));
}

TEST(RtfReader, truncatedDocumentYieldsWhatWasReadable)
{
    EXPECT_EQ(TextOf("truncated.rtf"), QStringLiteral("Complete paragraph.\nInside a group €"));
}

TEST(RtfReader, fileThatIsNotRichTextIsReported)
{
    for (const char *name : {"not-rtf.rtf", "empty.txt", "no-such-file.rtf", "binary.bin"}) {
        SCOPED_TRACE(name);
        const DocumentText result = RtfReader::LoadFile(Fixture(name));
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, QString::fromLatin1(kErrorLoadingRichText));
    }
}

TEST(RtfReader, malformedInputNeverLosesTheReadableText)
{
    // Unbalanced groups, a dangling backslash, a huge parameter, a negative \bin, a \bin longer
    // than the data, a control word longer than the format allows.
    EXPECT_EQ(Read("{\\rtf1 a{{{b"), QStringLiteral("ab"));
    EXPECT_EQ(Read("{\\rtf1 a\\"), QStringLiteral("a"));
    EXPECT_EQ(Read("{\\rtf1 a\\u99999999999999999999 b}"), QStringLiteral("a\uFFFD"));
    EXPECT_EQ(Read("{\\rtf1 a\\bin-5 b}"), QStringLiteral("ab"));
    EXPECT_EQ(Read("{\\rtf1 a\\bin999 bc}"), QStringLiteral("a"));
    EXPECT_EQ(Read("{\\rtf1 a\\" + QByteArray(100, 'x') + " b}"), QStringLiteral("ab"));
    EXPECT_EQ(Read("{\\rtf1 a\\uc99999999\\u65 bcdefghijklmnopqrstuvwxyz}"), QStringLiteral("aArstuvwxyz"));
}

TEST(RtfReader, deepNestingCostsNoStackAndKeepsText)
{
    const int depth = 200000;
    const QByteArray rtf = "{\\rtf1 " + QByteArray(depth, '{') + "deep" + QByteArray(depth, '}') + " out}";
    EXPECT_EQ(Read(rtf), QStringLiteral("deep out"));
}

TEST(RtfReader, hiddenTextAndDestinationsStayGroupScoped)
{
    EXPECT_EQ(Read("{\\rtf1 a{\\v b\\v0 c}d{\\v e}f}"), QStringLiteral("acdf"));
    EXPECT_EQ(Read("{\\rtf1 {\\upr{ansi}{\\*\\ud{uni}}}x}"), QStringLiteral("unix"));
    EXPECT_EQ(Read("{\\rtf1 {\\header head}{\\footnote note}{\\*\\bkmkstart m}body}"), QStringLiteral("body"));
}

TEST(RtfReader, signatureMayFollowBlanksOrAByteOrderMark)
{
    EXPECT_TRUE(RtfReader::LooksLikeRtf("\xEF\xBB\xBF {\\rtf1}"));
    EXPECT_TRUE(RtfReader::LooksLikeRtf("\r\n{\\rtf1}"));
    EXPECT_FALSE(RtfReader::LooksLikeRtf("x{\\rtf1}"));
    EXPECT_FALSE(RtfReader::LooksLikeRtf("{\\rt"));
}
