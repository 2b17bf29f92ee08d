// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services/Resources.h"

#include <gtest/gtest.h>

using services::Resources;

TEST(Resources, stringTableEntriesReadAsTheirNumbers)
{
    EXPECT_EQ(Resources::StringAsNumber(101), 65535);
    EXPECT_EQ(Resources::StringAsNumber(102), 12);
    EXPECT_EQ(Resources::StringAsNumber(103), 0xFFFFFF);
    EXPECT_EQ(Resources::StringAsNumber(104), std::nullopt);
}

TEST(Resources, hexadecimalAndDecimalTextsParseStrictly)
{
    EXPECT_EQ(Resources::ParseNumber(QStringLiteral("&hff")), 255);
    EXPECT_EQ(Resources::ParseNumber(QStringLiteral("&HFFFFFF&")), 0xFFFFFF);
    EXPECT_EQ(Resources::ParseNumber(QStringLiteral(" 12 ")), 12);
    EXPECT_EQ(Resources::ParseNumber(QStringLiteral("-7")), -7);
    for (const char *bad : {"", "&H", "&HXYZ", "&H-1", "&H0x10", "12a", "1 2", "+", "0x10",
                            "&H10000000000000000", "99999999999999999999"})
        EXPECT_EQ(Resources::ParseNumber(QString::fromLatin1(bad)), std::nullopt) << bad;
}

TEST(Resources, unknownBitmapIsNullNotAnError)
{
    EXPECT_TRUE(Resources::Bitmap(QStringLiteral("NO_SUCH_BITMAP")).isNull());
    EXPECT_TRUE(Resources::Bitmap(QStringLiteral("../etc/passwd")).isNull());
    EXPECT_TRUE(Resources::Bitmap(QString()).isNull());
}

#ifdef ORVENA_HAVE_SKIN_BITMAPS
TEST(Resources, skinBitmapsLoadByName)
{
    // The generated resources link in through the services library itself.
    const QImage image = Resources::Bitmap(QStringLiteral("BUTTONUP"));
    EXPECT_FALSE(image.isNull());
}
#endif
