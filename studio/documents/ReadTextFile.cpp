// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/ReadTextFile.h"

#include "studio/documents/DocumentFile.h"
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/DocumentText.h"
#include "studio/documents/TextDecoding.h"

#include <QStringDecoder>

namespace documents {

DocumentText LoadTextFile(const QString &path)
{
    DocumentBytes file = ReadDocumentBytes(path);
    switch (file.status) {
    case DocumentBytes::Status::Read:
        return DocumentText::Success(DecodeTextFileBytes(file.bytes));
    case DocumentBytes::Status::TooLarge:
        return DocumentText::Failure(QString::fromLatin1(kErrorTooLarge));
    case DocumentBytes::Status::Unreadable:
        break;
    }
    return DocumentText::Failure(CannotReadMessage(path, file.reason));
}

QString ReadTextFile(const QString &path)
{
    return LoadTextFile(path).text;
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
