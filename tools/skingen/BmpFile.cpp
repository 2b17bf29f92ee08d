// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/skingen/BmpFile.h"

#include "tools/skingen/Rle8Encoder.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace skingen
{

namespace
{

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::int32_t kPixelsPerMetre = 3780; // 96 dots per inch

void Put16(QByteArray &out, std::uint16_t v)
{
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

void Put32(QByteArray &out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out.append(static_cast<char>((v >> shift) & 0xFF));
    }
}

struct Layout {
    int width;
    int height;
    std::uint16_t bitCount;
    std::uint32_t compression;
    std::uint32_t paletteEntries;
    std::uint32_t imageBytes;
};

QByteArray Headers(const Layout &l)
{
    const std::uint32_t offBits = kFileHeaderSize + kInfoHeaderSize + 4 * l.paletteEntries;
    QByteArray out;
    out.reserve(static_cast<qsizetype>(offBits + l.imageBytes));
    // BITMAPFILEHEADER
    out.append("BM", 2);
    Put32(out, offBits + l.imageBytes);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, offBits);
    // BITMAPINFOHEADER (positive height: rows stored bottom-up)
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<std::uint32_t>(l.width));
    Put32(out, static_cast<std::uint32_t>(l.height));
    Put16(out, 1);
    Put16(out, l.bitCount);
    Put32(out, l.compression);
    Put32(out, l.imageBytes);
    Put32(out, static_cast<std::uint32_t>(kPixelsPerMetre));
    Put32(out, static_cast<std::uint32_t>(kPixelsPerMetre));
    Put32(out, l.paletteEntries);
    Put32(out, 0); // all colours important
    return out;
}

void RequireSize(const QImage &image)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        throw std::invalid_argument("cannot encode an empty image");
    }
}

} // namespace

QByteArray BmpFile::Encode24(const QImage &image)
{
    RequireSize(image);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int stride = (rgb.width() * 3 + 3) & ~3;
    const Layout layout{
        rgb.width(), rgb.height(),
        24,          kBiRgb,
        0,           static_cast<std::uint32_t>(stride) * static_cast<std::uint32_t>(rgb.height())};
    QByteArray out = Headers(layout);
    for (int y = rgb.height() - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            out.append(static_cast<char>(qBlue(line[x])));
            out.append(static_cast<char>(qGreen(line[x])));
            out.append(static_cast<char>(qRed(line[x])));
        }
        for (int pad = rgb.width() * 3; pad < stride; ++pad) {
            out.append('\0');
        }
    }
    return out;
}

QByteArray BmpFile::EncodeRle8(const QImage &indexed)
{
    RequireSize(indexed);
    if (indexed.format() != QImage::Format_Indexed8 || indexed.colorCount() < 1 ||
        indexed.colorCount() > 256) {
        throw std::invalid_argument("RLE8 needs an 8-bit image with 1 to 256 palette colours");
    }
    std::vector<std::uint8_t> indices;
    indices.reserve(static_cast<std::size_t>(indexed.width()) * static_cast<std::size_t>(indexed.height()));
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar *line = indexed.constScanLine(y);
        indices.insert(indices.end(), line, line + indexed.width());
    }
    const std::vector<std::uint8_t> bits =
        Rle8Encoder::EncodeImage(indices, indexed.width(), indexed.height());
    const auto palette = indexed.colorTable();
    const Layout layout{indexed.width(),
                        indexed.height(),
                        8,
                        kBiRle8,
                        static_cast<std::uint32_t>(palette.size()),
                        static_cast<std::uint32_t>(bits.size())};
    QByteArray out = Headers(layout);
    for (const QRgb c : palette) {
        out.append(static_cast<char>(qBlue(c)));
        out.append(static_cast<char>(qGreen(c)));
        out.append(static_cast<char>(qRed(c)));
        out.append('\0');
    }
    out.append(reinterpret_cast<const char *>(bits.data()), static_cast<qsizetype>(bits.size()));
    return out;
}

} // namespace skingen
