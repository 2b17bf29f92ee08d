// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/TextDecoding.h"

#include <QStringDecoder>

#include <array>
#include <cstdint>
#include <cstring>

namespace documents {

namespace {

// 0x80..0x9F of Windows-1252; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char16_t TextDecoding::Windows1252Char(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kCp1252High[byte - 0x80];
    return char16_t(byte);
}

QString TextDecoding::Windows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(Windows1252Char(static_cast<unsigned char>(bytes[i])));
    return text;
}

bool TextDecoding::IsUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        // Skip ASCII eight bytes at a time where possible: most text is ASCII.
        while (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, p + i, 8);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0)
                lo = 0xA0;
            else if (c == 0xED)
                hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        if (n - i <= extra)
            return false;
        if (p[i + 1] < lo || p[i + 1] > hi)
            return false;
        for (int k = 2; k <= extra; ++k) {
            if (p[i + k] < 0x80 || p[i + k] > 0xBF)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

QString TextDecoding::CodePage(QByteArrayView bytes, int codePage)
{
    switch (codePage) {
    case 1252:
    case 0:
        return Windows1252(bytes);
    case 65001:
        return QString::fromUtf8(bytes);
    case 20127:
    case 28591:
        return QString::fromLatin1(bytes);
    default:
        break;
    }
    QByteArray name;
    switch (codePage) {
    case 932: name = "Shift_JIS"; break;
    case 936: name = "GBK"; break;
    case 949: name = "windows-949"; break;
    case 950: name = "Big5"; break;
    case 10000: name = "macintosh"; break;
    case 1361: name = "johab"; break;
    case 874: name = "windows-874"; break;
    default:
        // The DOS code pages (437, 850, 866 ...) go by "cp", the Windows ones by "windows-".
        name = (codePage < 1250 ? "cp" : "windows-") + QByteArray::number(codePage);
        break;
    }
    std::optional<QString> decoded = Charset(bytes, name);
    return decoded ? *decoded : Windows1252(bytes);
}

std::optional<QString> TextDecoding::Charset(QByteArrayView bytes, const QByteArray &name)
{
    const QByteArray lower = name.trimmed().toLower();
    // Web pages label Windows-1252 as Latin-1 or ASCII; browsers decode them as Windows-1252.
    if (lower == "windows-1252" || lower == "cp1252" || lower == "iso-8859-1" || lower == "latin1"
        || lower == "us-ascii" || lower == "ascii" || lower == "iso8859-1")
        return Windows1252(bytes);
    if (lower == "utf-8" || lower == "utf8")
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(lower.constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    return QString(decoder.decode(bytes));
}

} // namespace documents
