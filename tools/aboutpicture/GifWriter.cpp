// SPDX-License-Identifier: GPL-3.0-or-later
#include "GifWriter.h"

#include <QHash>

#include <cstdint>
#include <vector>

namespace tools
{

namespace
{

void PutWord(QByteArray &out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// Packs variable-width codes least significant bit first into 255-byte sub-blocks.
class CodeWriter
{
  public:
    explicit CodeWriter(QByteArray &out) : out_(out) {}
    void Put(int code, int width)
    {
        buffer_ |= std::uint32_t(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            Byte(char(buffer_ & 0xFF));
            buffer_ >>= 8;
            bits_ -= 8;
        }
    }
    void Finish()
    {
        if (bits_ > 0)
            Byte(char(buffer_ & 0xFF));
        Flush();
        out_.append('\0'); // block terminator
    }

  private:
    void Byte(char b)
    {
        block_.append(b);
        if (block_.size() == 255)
            Flush();
    }
    void Flush()
    {
        if (block_.isEmpty())
            return;
        out_.append(char(block_.size()));
        out_.append(block_);
        block_.clear();
    }
    QByteArray &out_;
    QByteArray block_;
    std::uint32_t buffer_ = 0;
    int bits_ = 0;
};

} // namespace

std::optional<QByteArray> GifWriter::Encode(const QImage &source)
{
    if (source.isNull())
        return std::nullopt;
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    if (width > 0xFFFF || height > 0xFFFF)
        return std::nullopt;

    // Palette in order of first appearance, and the index of every pixel.
    QHash<QRgb, int> indexOf;
    std::vector<QRgb> palette;
    std::vector<std::uint8_t> pixels;
    pixels.reserve(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb colour = line[x] | 0xFF000000u;
            auto it = indexOf.find(colour);
            if (it == indexOf.end()) {
                if (palette.size() == 256)
                    return std::nullopt;
                it = indexOf.insert(colour, int(palette.size()));
                palette.push_back(colour);
            }
            pixels.push_back(std::uint8_t(it.value()));
        }
    }
    int depth = 1; // colour table of 2^depth entries
    while ((1 << depth) < int(palette.size()))
        ++depth;

    QByteArray out("GIF89a");
    PutWord(out, width);
    PutWord(out, height);
    out.append(char(0x80 | ((depth - 1) << 4) | (depth - 1)));
    out.append('\0'); // background colour index
    out.append('\0'); // pixel aspect ratio
    for (int i = 0; i < (1 << depth); ++i) {
        const QRgb c = i < int(palette.size()) ? palette[std::size_t(i)] : 0;
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    out.append(char(0x2C));
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, width);
    PutWord(out, height);
    out.append('\0'); // no local table, not interlaced

    const int minimumCodeSize = std::max(2, depth);
    out.append(char(minimumCodeSize));
    const int clearCode = 1 << minimumCodeSize;
    const int endCode = clearCode + 1;
    CodeWriter writer(out);

    // Dictionary: (prefix code << 8 | next byte) → code.
    QHash<std::uint32_t, int> dictionary;
    int nextCode = endCode + 1;
    int codeWidth = minimumCodeSize + 1;
    writer.Put(clearCode, codeWidth);
    if (pixels.empty()) {
        writer.Put(endCode, codeWidth);
        writer.Finish();
        out.append(char(0x3B));
        return out;
    }
    int prefix = pixels[0];
    for (std::size_t i = 1; i < pixels.size(); ++i) {
        const std::uint8_t next = pixels[i];
        const std::uint32_t key = (std::uint32_t(prefix) << 8) | next;
        const auto found = dictionary.constFind(key);
        if (found != dictionary.constEnd()) {
            prefix = found.value();
            continue;
        }
        writer.Put(prefix, codeWidth);
        if (nextCode < 4096) {
            dictionary.insert(key, nextCode);
            // The decoder widens its codes once the code it would assign next needs more bits.
            if (nextCode == (1 << codeWidth) && codeWidth < 12)
                ++codeWidth;
            ++nextCode;
        } else {
            writer.Put(clearCode, codeWidth);
            dictionary.clear();
            nextCode = endCode + 1;
            codeWidth = minimumCodeSize + 1;
        }
        prefix = next;
    }
    writer.Put(prefix, codeWidth);
    writer.Put(endCode, codeWidth);
    writer.Finish();
    out.append(char(0x3B));
    return out;
}

} // namespace tools
