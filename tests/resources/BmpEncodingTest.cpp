// SPDX-License-Identifier: GPL-3.0-or-later
// The bitmap file writer behind the skin: run-length coding, palettes and plain 24-bit files,
// each checked by decoding with Qt's own bitmap reader.

#include "tools/skingen/BmpFile.h"
#include "tools/skingen/PaletteQuantiser.h"
#include "tools/skingen/Rle8Encoder.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace
{

using skingen::BmpFile;
using skingen::PaletteQuantiser;
using skingen::Rle8Encoder;

QImage Indexed(const std::vector<std::vector<std::uint8_t>> &rows)
{
    QImage img(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), QImage::Format_Indexed8);
    QList<QRgb> palette;
    for (int i = 0; i < 256; ++i) {
        palette << qRgb(i, 255 - i, (i * 37) & 0xFF);
    }
    img.setColorTable(palette);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            img.setPixel(x, y, rows[y][x]);
        }
    }
    return img;
}

void ExpectRoundTrip(const QImage &indexed)
{
    const QImage back = QImage::fromData(BmpFile::EncodeRle8(indexed), "BMP");
    ASSERT_FALSE(back.isNull());
    ASSERT_EQ(back.size(), indexed.size());
    for (int y = 0; y < indexed.height(); ++y) {
        for (int x = 0; x < indexed.width(); ++x) {
            ASSERT_EQ(back.pixel(x, y), indexed.pixel(x, y)) << "pixel " << x << "," << y;
        }
    }
}

std::vector<std::uint8_t> Row(std::initializer_list<std::pair<int, std::uint8_t>> runs)
{
    std::vector<std::uint8_t> row;
    for (const auto &[count, value] : runs) {
        row.insert(row.end(), static_cast<std::size_t>(count), value);
    }
    return row;
}

std::vector<std::uint8_t> Encoded(const std::vector<std::uint8_t> &row)
{
    std::vector<std::uint8_t> out;
    Rle8Encoder::EncodeRow(row, out);
    return out;
}

TEST(Rle8Encoder, CodesRunsAndAbsoluteStretchesAsTheFormatDefines)
{
    // Repeats become (count, index); 255 is the longest run, so 256 takes two.
    EXPECT_EQ(Encoded(Row({{2, 7}})), (std::vector<std::uint8_t>{2, 7}));
    EXPECT_EQ(Encoded(Row({{256, 9}})), (std::vector<std::uint8_t>{255, 9, 1, 9}));
    // An odd absolute run is padded to a 16-bit boundary; an even one is not.
    EXPECT_EQ(Encoded({1, 2, 3}), (std::vector<std::uint8_t>{0, 3, 1, 2, 3, 0}));
    EXPECT_EQ(Encoded({1, 2, 3, 4}), (std::vector<std::uint8_t>{0, 4, 1, 2, 3, 4}));
    // One or two lone pixels cannot be absolute (0 1 and 0 2 are escapes): single runs instead.
    EXPECT_EQ(Encoded({5}), (std::vector<std::uint8_t>{1, 5}));
    EXPECT_EQ(Encoded({5, 6}), (std::vector<std::uint8_t>{1, 5, 1, 6}));
    EXPECT_EQ(Encoded({5, 6, 6, 6}), (std::vector<std::uint8_t>{1, 5, 3, 6}));
}

TEST(Rle8Encoder, EndsLinesAndTheBitmapWithTheirMarkers)
{
    const std::vector<std::uint8_t> two = {4, 4, 8, 8}; // top row 4 4, bottom row 8 8
    EXPECT_EQ(Rle8Encoder::EncodeImage(two, 2, 2), (std::vector<std::uint8_t>{2, 8, 0, 0, 2, 4, 0, 1}));
    EXPECT_THROW(Rle8Encoder::EncodeImage(two, 3, 2), std::invalid_argument);
}

TEST(Rle8Encoder, TrickyRowsDecodeExactly)
{
    std::vector<std::uint8_t> ramp(300);
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = static_cast<std::uint8_t>(i * 7); // 300 pixels without repeats: absolute runs of 255 + 45
    }
    std::vector<std::uint8_t> mixed =
        Row({{1, 1}, {2, 2}, {1, 3}, {255, 4}, {3, 5}, {1, 6}, {256, 7}, {2, 8}});
    mixed.resize(ramp.size(), 9);
    ExpectRoundTrip(Indexed({ramp, mixed, Row({{300, 0}}), ramp}));

    // Odd absolute runs needing padding, runs of 1 and 2 between them.
    ExpectRoundTrip(Indexed({{1, 2, 3, 4, 4, 5, 6, 7, 8, 8, 8, 9, 10, 11, 12, 13}, Row({{16, 3}})}));
    // Width 1 and height 1.
    ExpectRoundTrip(Indexed({{3}, {200}, {200}, {0}}));
    ExpectRoundTrip(Indexed({Row({{255, 1}, {1, 2}})}));
    ExpectRoundTrip(Indexed({{0, 255, 0, 255, 0}}));
}

TEST(BmpFile, WritesPadded24BitRowsBottomUp)
{
    for (int width : {1, 2, 3, 5}) {
        SCOPED_TRACE(width);
        QImage img(width, 3, QImage::Format_RGB32);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < width; ++x) {
                img.setPixel(x, y, qRgb(x * 40, y * 90, 200 - x * 10 - y));
            }
        }
        const QByteArray bytes = BmpFile::Encode24(img);
        EXPECT_EQ(bytes.size(), 54 + 3 * ((width * 3 + 3) & ~3));
        EXPECT_EQ(QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32), img);
    }
}

TEST(PaletteQuantiser, KeepsTheKeyExactAndFitsManyColoursInto256)
{
    const QRgb key = qRgb(255, 0, 255);
    QImage img(400, 14, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            // 5600 distinct colours, some of them a hair away from the key, framed by the key.
            const bool edge = y < 3 || y > 10;
            img.setPixel(x, y, edge ? key : qRgb(254 - x % 3, y, 250 - x / 2));
        }
    }
    const QImage q = PaletteQuantiser::Quantise(img, {key});
    ASSERT_EQ(q.format(), QImage::Format_Indexed8);
    EXPECT_LE(q.colorCount(), 256);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const bool wasKey = img.pixel(x, y) == key;
            ASSERT_EQ(q.pixel(x, y) == key, wasKey) << x << "," << y;
            if (!wasKey) {
                EXPECT_LE(std::abs(qRed(q.pixel(x, y)) - qRed(img.pixel(x, y))), 8);
                EXPECT_LE(std::abs(qBlue(q.pixel(x, y)) - qBlue(img.pixel(x, y))), 8);
            }
        }
    }
    ExpectRoundTrip(q);
}

TEST(PaletteQuantiser, LeavesPicturesWithFewColoursUnchanged)
{
    QImage img(13, 14, QImage::Format_RGB32);
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 13; ++x) {
            img.setPixel(x, y, qRgb(y * 10, 50, x * 19));
        }
    }
    EXPECT_EQ(PaletteQuantiser::Quantise(img).convertToFormat(QImage::Format_RGB32), img);
}

} // namespace
