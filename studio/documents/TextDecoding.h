// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace documents {

// Byte-to-character conversions shared by the importers.
class TextDecoding {
public:
    // Windows-1252, the legacy code page of the documents the studio opens. The five bytes the
    // code page leaves undefined map to the C1 control of the same value, as Windows does.
    static QString Windows1252(QByteArrayView bytes);
    static char16_t Windows1252Char(unsigned char byte);

    // True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
    static bool IsUtf8(QByteArrayView bytes);

    // Decodes in a Windows code page number (1250-1258, 874, 932, 936, 949, 950, 437, 850,
    // 10000, 65001 ...). Unknown code pages fall back to Windows-1252.
    static QString CodePage(QByteArrayView bytes, int codePage);

    // Decodes by a charset name as documents write it ("utf-8", "windows-1251", "iso-8859-1").
    // Returns nothing when the name is unknown.
    static std::optional<QString> Charset(QByteArrayView bytes, const QByteArray &name);
};

} // namespace documents
