// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "studio/documents/DocumentText.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

class QIODevice;

namespace documents {

// A document's bytes as read with a size cap. The size a file reports is never trusted: devices
// and pipes report 0, and a file may grow while it is read, so the cap holds for what is read.
struct DocumentBytes {
    enum class Status { Read, TooLarge, Unreadable };

    Status status = Status::Unreadable;
    QByteArray bytes; // Read: all of it; TooLarge: the first `limit` bytes
    QString reason;   // Unreadable: why, in words for a message ("Permission denied")

    bool ok() const { return status == Status::Read; }
};

// Reads the file at `path`, at most `limit` bytes. Opening never blocks (a pipe with no writer
// reads as empty); a folder, a missing or unreadable file and a name that cannot be spelled in
// the file system's encoding are Unreadable with their reason.
DocumentBytes ReadDocumentBytes(const QString &path, std::int64_t limit = kMaxDocumentBytes);

// Reads an open device (standard input) to its end, at most `limit` bytes.
DocumentBytes ReadDeviceBytes(QIODevice &device, std::int64_t limit = kMaxDocumentBytes);

// True for a regular file (after following links). The converter programs and libraries that
// open a document by its name would block on a pipe or read a device forever.
bool IsRegularFile(const QString &path);

// "Cannot read "name": reason", the message for an Unreadable result.
QString CannotReadMessage(const QString &path, const QString &reason);

} // namespace documents
