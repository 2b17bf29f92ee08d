// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/ReadTextFile.h"

#include "studio/documents/DocumentText.h"
#include "studio/documents/TextDecoding.h"

#include <QFile>
#include <QStringDecoder>

namespace documents {

QString ReadTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // A file too large to hold is as unreadable as a missing one; the caller reports the size.
    if (file.size() > kMaxDocumentBytes)
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    return DecodeTextFileBytes(bytes);
}

QString DecodeTextFileBytes(QByteArrayView bytes)
{
    QString text;
    const auto byteAt = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && ((byteAt(0) == 0xFF && byteAt(1) == 0xFE) || (byteAt(0) == 0xFE && byteAt(1) == 0xFF))) {
        const bool littleEndian = byteAt(0) == 0xFF;
        QStringDecoder decoder(littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        // A dangling odd byte at the end is no character; leave it out rather than show U+FFFD.
        text = decoder.decode(bytes.sliced(2, (bytes.size() - 2) & ~qsizetype(1)));
    } else if (bytes.size() >= 3 && byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF) {
        text = QString::fromUtf8(bytes.sliced(3));
    } else if (TextDecoding::IsUtf8(bytes)) {
        text = QString::fromUtf8(bytes);
    } else {
        text = TextDecoding::Windows1252(bytes);
    }
    text.remove(QChar(u'\0'));
    return text;
}

} // namespace documents
