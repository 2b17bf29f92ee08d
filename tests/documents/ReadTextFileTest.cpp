// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/ReadTextFile.h"
#include "studio/documents/TextDecoding.h"

#include "tests/documents/Fixtures.h"

#include <gtest/gtest.h>

using namespace documents;
using documents::test::Fixture;

namespace {

const QString kUnicodeText = QStringLiteral("Grüße aus Köln — 東京 ✓ 😀\nSecond line\n");

} // namespace

TEST(ReadTextFile, decodesEveryUnicodeFormWithItsMarkOrWithoutOne)
{
    // UTF-16 in both byte orders keeps characters far above U+00FF, surrogate pairs included.
    for (const char *name : {"utf8.txt", "utf8-bom.txt", "utf16le.txt", "utf16be.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ReadTextFile(Fixture(name)), kUnicodeText);
    }
}

TEST(ReadTextFile, fallsBackToWindows1252WhenTheBytesAreNotUtf8)
{
    EXPECT_EQ(ReadTextFile(Fixture("cp1252.txt")),
              QStringLiteral("Café costs €5, “quoted” \u0081end\r\n"));
}

TEST(ReadTextFile, emptyMissingAndFolderPathsGiveAnEmptyText)
{
    EXPECT_TRUE(ReadTextFile(Fixture("empty.txt")).isEmpty());
    EXPECT_TRUE(ReadTextFile(Fixture("no-such-file.txt")).isEmpty());
    EXPECT_TRUE(ReadTextFile(QStringLiteral(ORVENA_FIXTURES)).isEmpty());
}

TEST(ReadTextFile, binaryFileBecomesItsBytesAsCharactersWithoutNuls)
{
    const QString text = ReadTextFile(Fixture("binary.bin"));
    // 256 byte values plus two NULs and "tail": every NUL dropped, every other byte one character.
    ASSERT_EQ(text.size(), 255 + 4);
    EXPECT_FALSE(text.contains(QChar(u'\0')));
    EXPECT_EQ(text.at(0), QChar(u'\x01'));
    EXPECT_EQ(text.at(0x80 - 1), QChar(u'\u20AC')); // 0x80 is the euro sign in Windows-1252
    EXPECT_EQ(text.at(0xFF - 1), QChar(u'\u00FF'));
    EXPECT_TRUE(text.endsWith(u"tail"));
}

TEST(DecodeTextFileBytes, markDecidesOverContentAndOddTrailingByteIsDropped)
{
    // "AB" in UTF-16 LE followed by a stray byte.
    EXPECT_EQ(DecodeTextFileBytes(QByteArray("\xFF\xFE" "A\0B\0C", 7)), QStringLiteral("AB"));
    // A mark alone is an empty text.
    EXPECT_EQ(DecodeTextFileBytes(QByteArray("\xFE\xFF")), QString());
    // Overlong and surrogate encodings are not UTF-8: the bytes are read as Windows-1252.
    EXPECT_EQ(DecodeTextFileBytes(QByteArray("\xC0\xAF")), QStringLiteral("À¯"));
    EXPECT_EQ(DecodeTextFileBytes(QByteArray("\xED\xA0\x80")), QStringLiteral("í\u00A0€"));
    // Truncated UTF-8 sequence at the very end.
    EXPECT_EQ(DecodeTextFileBytes(QByteArray("ok\xE6\x9D")), QStringLiteral("okæ\u009D"));
}

TEST(TextDecoding, utf8CheckAgreesWithTheStandardOnBoundaryCodePoints)
{
    struct Case { const char *bytes; bool utf8; };
    const Case cases[] = {
        {"\x7F", true}, {"\xC2\x80", true}, {"\xC1\xBF", false}, {"\xDF\xBF", true},
        {"\xE0\xA0\x80", true}, {"\xE0\x9F\xBF", false}, {"\xEF\xBF\xBF", true},
        {"\xF0\x90\x80\x80", true}, {"\xF0\x8F\xBF\xBF", false}, {"\xF4\x8F\xBF\xBF", true},
        {"\xF4\x90\x80\x80", false}, {"\xF5\x80\x80\x80", false}, {"\x80", false},
        {"abcdefgh\xC3\xA9ijklmnop", true}, {"abcdefgh\xC3", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(TextDecoding::IsUtf8(QByteArrayView(c.bytes)), c.utf8);
    }
}

TEST(TextDecoding, codePagesBeyondWindows1252)
{
    EXPECT_EQ(TextDecoding::CodePage(QByteArray("\xCF\xF0\xE8"), 1251), QStringLiteral("При"));
    EXPECT_EQ(TextDecoding::CodePage(QByteArray("\x93\x8C"), 932), QStringLiteral("東"));
    // An unknown code page is read as Windows-1252 rather than lost.
    EXPECT_EQ(TextDecoding::CodePage(QByteArray("\xE9"), 99999), QStringLiteral("é"));
}
