// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>
#include <sys/types.h>

namespace speech {

// Where a recording goes, decided from the name the user gave before any sound is written.
//  - A file (new or existing, reached directly or through symbolic links): the sound goes into a
//    temporary file beside it, which replaces it only when Finish succeeds. The link stays a link
//    (the file it points at is replaced), a replaced file keeps its permission bits, and a new file
//    gets 0666 less the umask.
//  - A pipe, a character device (/dev/null, a terminal) or "-" (standard output): the sound is
//    written straight through as a stream; the device node or pipe itself is never replaced.
//  - Anything else (a folder, a block device, a socket) is refused.
// Opening never blocks: a pipe with no reader is refused instead of waiting for one.
class RecordingTarget {
public:
    enum class Kind { File, Stream };

    ~RecordingTarget(); // discards an unfinished recording
    RecordingTarget(const RecordingTarget &) = delete;
    RecordingTarget &operator=(const RecordingTarget &) = delete;

    // nullptr with `error` filled ("cannot write "<name>": <why>") when the target is refused.
    static std::unique_ptr<RecordingTarget> Open(const QString &target, QString *error);

    Kind GetKind() const { return kind_; }
    // The absolute name the user gave (or "-"), for messages.
    QString Name() const { return name_; }
    // The file descriptor to write to: the temporary file for a File, the stream itself otherwise.
    int Descriptor() const { return fd_; }

    // Appends to a Stream, retrying short writes. A reader that went away gives an error, not SIGPIPE.
    bool WriteStream(const void *data, qint64 size);
    // Why the last WriteStream failed, empty otherwise.
    QString StreamError() const { return streamError_; }

    // File: flushes the temporary to disk, gives it the mode it should have and renames it over the
    // file. Stream: closes it. False with `error` filled on failure; the old file is then untouched.
    bool Finish(QString *error);
    // File: removes the temporary. Stream: closes it (what was written is gone already).
    void Discard();

private:
    RecordingTarget() = default;
    bool OpenStream(const QString &path, QString *why);
    bool OpenTemporaryBeside(const QString &path, QString *why);
    void CloseDescriptor();

    Kind kind_ = Kind::File;
    QString name_;
    // File only: what gets replaced, the temporary beside it, and the old file's mode and owner.
    QString replaced_;
    QString temporary_;
    bool replacesExisting_ = false;
    mode_t mode_ = 0;
    uid_t owner_ = 0;
    gid_t group_ = 0;
    int fd_ = -1;
    QString streamError_;
};

} // namespace speech
