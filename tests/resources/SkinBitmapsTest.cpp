// SPDX-License-Identifier: GPL-3.0-or-later
// The skin bitmaps as the program finds them: embedded under ":/skin/", by name.

#include "resources/skin/SkinBitmaps.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdint>

namespace
{

struct Expected {
    const char *name;
    int width;
    int height;
    bool rle8;
};

// The bitmap table, written out independently of the generator's own table.
constexpr Expected kSkin[] = {
    {"BACKGROUND", 57, 56, false},   {"TOPLEFT", 70, 38, false},      {"TOPRIGHT", 44, 33, false},
    {"BOTTOMLEFT", 79, 22, false},   {"BOTTOMRIGHT", 20, 26, false},  {"TOPFORM", 54, 26, false},
    {"BOTTOMFORM", 55, 19, false},   {"LEFTFORM", 22, 45, false},     {"RIGHTFORM", 12, 27, false},
    {"BUTTONUP", 95, 23, false},     {"BUTTONDN", 95, 23, false},     {"CHECKOFF", 15, 15, false},
    {"CHECKON", 15, 15, false},      {"RADIOOFF", 15, 15, false},     {"RADIOON", 15, 15, false},
    {"CLOSEUP", 18, 13, false},      {"CLOSEDN", 18, 13, false},      {"MINIUP", 18, 12, false},
    {"MINIDN", 18, 12, false},       {"RESTOREUP", 18, 12, false},    {"RESTOREDN", 18, 12, false},
    {"SBACKGROUND", 271, 58, false}, {"HLEFT", 14, 14, true},         {"HRIGHT", 14, 14, true},
    {"MHSCROLL", 13, 14, true},      {"HLEFTUP", 18, 12, true},       {"HLEFTDN", 18, 12, true},
    {"HRIGHTUP", 18, 12, true},      {"HRIGHTDN", 18, 12, true},      {"THUMB", 12, 10, true},
    {"VSCROLLTOP", 14, 14, true},    {"VSCROLLBOTTOM", 14, 14, true}, {"VMIDSCROLL", 14, 13, true},
    {"VUPUP", 12, 18, true},         {"VUPDN", 12, 18, true},         {"VDNUP", 12, 18, true},
    {"VDNDN", 12, 18, true},         {"VTHUMB", 10, 12, true},        {"HPROGRESS", 400, 14, true},
    {"HBPROGLEFT", 10, 14, true},    {"HBPROGMID", 34, 14, true},     {"HBPROGRIGHT", 10, 14, true},
    {"VPROGRESS", 14, 400, true},    {"VPROGUP", 14, 10, true},       {"VPROGDN", 14, 10, true},
    {"VBPROGMID", 14, 34, true},
};

QString PathOf(const char *name)
{
    return resources::SkinBitmapPath(QLatin1String(name));
}

std::uint32_t Le32(const QByteArray &b, int at)
{
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}
std::uint16_t Le16(const QByteArray &b, int at)
{
    return std::uint16_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

QImage Load(const char *name)
{
    return QImage(PathOf(name)).convertToFormat(QImage::Format_RGB32);
}

TEST(SkinBitmaps, EveryNameLoadsWithItsExactSizeAndFormat)
{
    for (const Expected &e : kSkin) {
        SCOPED_TRACE(e.name);
        QFile file(PathOf(e.name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        ASSERT_GE(bytes.size(), 54);
        EXPECT_EQ(bytes.left(2), QByteArray("BM"));
        EXPECT_EQ(Le32(bytes, 2), std::uint32_t(bytes.size()));
        EXPECT_EQ(Le32(bytes, 14), 40u); // BITMAPINFOHEADER
        EXPECT_EQ(Le32(bytes, 18), std::uint32_t(e.width));
        EXPECT_EQ(Le32(bytes, 22), std::uint32_t(e.height)); // positive: bottom-up rows
        EXPECT_EQ(Le16(bytes, 28), e.rle8 ? 8 : 24);         // biBitCount
        EXPECT_EQ(Le32(bytes, 30), e.rle8 ? 1u : 0u);        // biCompression: BI_RLE8 or BI_RGB
        if (e.rle8) {
            EXPECT_GE(Le32(bytes, 46), 1u); // palette entries
            EXPECT_LE(Le32(bytes, 46), 256u);
            EXPECT_EQ(Le32(bytes, 34), std::uint32_t(bytes.size()) - Le32(bytes, 10)); // compressed size
        }

        const QImage image(PathOf(e.name));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(e.width, e.height));
        EXPECT_EQ(image.depth(), e.rle8 ? 8 : 32); // Qt widens 24-bit pixels to 32
    }
}

TEST(SkinBitmaps, HoldsNothingButTheTable)
{
    QStringList expected;
    for (const Expected &e : kSkin) {
        expected << QStringLiteral("%1.bmp").arg(QLatin1String(e.name));
    }
    QStringList present = QDir(QStringLiteral(":/skin")).entryList(QDir::Files);
    expected.sort();
    present.sort();
    EXPECT_EQ(present, expected);
}

TEST(SkinBitmaps, ProgressStripsCarryTheKeyColourAtPixelOneOne)
{
    for (const char *name : {"HPROGRESS", "VPROGRESS"}) {
        SCOPED_TRACE(name);
        const QImage strip = Load(name);
        const QRgb key = strip.pixel(1, 1);
        EXPECT_EQ(key, qRgb(255, 0, 255));
        // The fill itself must survive the mask: plenty of pixels are not the key.
        int keyed = 0;
        for (int y = 0; y < strip.height(); ++y) {
            for (int x = 0; x < strip.width(); ++x) {
                keyed += strip.pixel(x, y) == key;
            }
        }
        EXPECT_GT(keyed, 0);
        EXPECT_LT(keyed, strip.width() * strip.height() / 2);
    }
}

// Edges are stretched along their length, so every row (vertical edges) or column (horizontal
// edges) must be the same, or the stretch would smear a pattern.
TEST(SkinBitmaps, EdgesAndTrackTilesAreUniformAlongTheirLength)
{
    for (const char *name : {"TOPFORM", "BOTTOMFORM", "MHSCROLL"}) {
        SCOPED_TRACE(name);
        const QImage img = Load(name);
        for (int x = 1; x < img.width(); ++x) {
            ASSERT_EQ(img.copy(x, 0, 1, img.height()), img.copy(0, 0, 1, img.height())) << "column " << x;
        }
    }
    for (const char *name : {"LEFTFORM", "RIGHTFORM", "VMIDSCROLL"}) {
        SCOPED_TRACE(name);
        const QImage img = Load(name);
        for (int y = 1; y < img.height(); ++y) {
            ASSERT_EQ(img.copy(0, y, img.width(), 1), img.copy(0, 0, img.width(), 1)) << "row " << y;
        }
    }
}

// Corners are copied next to the stretched edges: where they meet, the corner's outermost row
// or column must continue the edge exactly, or the frame shows a seam.
TEST(SkinBitmaps, CornersContinueTheEdgesBesideThem)
{
    const QImage top = Load("TOPFORM"), bottom = Load("BOTTOMFORM"), left = Load("LEFTFORM"),
                 right = Load("RIGHTFORM");
    const QImage tl = Load("TOPLEFT"), tr = Load("TOPRIGHT"), bl = Load("BOTTOMLEFT"),
                 br = Load("BOTTOMRIGHT");
    const int t = top.height(), b = bottom.height(), l = left.width(), r = right.width();
    // Along the top band.
    EXPECT_EQ(tl.copy(tl.width() - 1, 0, 1, t), top.copy(0, 0, 1, t));
    EXPECT_EQ(tr.copy(0, 0, 1, t), top.copy(0, 0, 1, t));
    // Along the bottom band (the corners sit on the window's bottom edge).
    EXPECT_EQ(bl.copy(bl.width() - 1, bl.height() - b, 1, b), bottom.copy(0, 0, 1, b));
    EXPECT_EQ(br.copy(0, br.height() - b, 1, b), bottom.copy(0, 0, 1, b));
    // Along the side edges.
    EXPECT_EQ(tl.copy(0, tl.height() - 1, l, 1), left.copy(0, 0, l, 1));
    EXPECT_EQ(bl.copy(0, 0, l, 1), left.copy(0, 0, l, 1));
    EXPECT_EQ(tr.copy(tr.width() - r, tr.height() - 1, r, 1), right.copy(0, 0, r, 1));
    EXPECT_EQ(br.copy(br.width() - r, 0, r, 1), right.copy(0, 0, r, 1));
}

} // namespace
