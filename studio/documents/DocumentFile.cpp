// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/DocumentFile.h"

#include "studio/documents/DocumentStrings.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace documents {

namespace {

// How much is read at a time; also the most a read past the cap costs.
constexpr std::int64_t kChunkBytes = 64 * 1024;

// The system's wording ("No such file or directory"); safe off the UI thread, unlike strerror.
QString ErrnoReason(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

QString BadNameReason()
{
    return QStringLiteral("the name is not valid in the file system's encoding");
}

struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Reads chunks with `read` (the bytes it read, 0 at the end, -1 on an error, with `reason` set)
// until the end or one byte past `limit`.
template <typename Read>
DocumentBytes ReadCapped(Read &&read, std::int64_t limit, std::int64_t sizeHint)
{
    DocumentBytes result;
    // The reported size only sizes the buffer; what counts is what is actually read.
    result.bytes.reserve(qsizetype(std::clamp<std::int64_t>(sizeHint, 0, limit) + 1));
    for (;;) {
        const qsizetype at = result.bytes.size();
        const std::int64_t want = std::min<std::int64_t>(kChunkBytes, limit + 1 - at);
        result.bytes.resize(at + qsizetype(want));
        const std::int64_t got = read(result.bytes.data() + at, want, result.reason);
        if (got < 0) {
            result.bytes.clear();
            result.status = DocumentBytes::Status::Unreadable;
            return result;
        }
        result.bytes.resize(at + qsizetype(got));
        if (got == 0)
            break;
        if (result.bytes.size() > limit) {
            result.bytes.truncate(qsizetype(limit));
            result.status = DocumentBytes::Status::TooLarge;
            return result;
        }
    }
    result.status = DocumentBytes::Status::Read;
    return result;
}

} // namespace

DocumentBytes ReadDocumentBytes(const QString &path, std::int64_t limit)
{
    DocumentBytes failed;
    if (path.isEmpty()) {
        failed.reason = ErrnoReason(ENOENT);
        return failed;
    }
    const QByteArray name = QFile::encodeName(path);
    // A name that does not survive the round trip (a lone surrogate) names some other file.
    if (QFile::decodeName(name) != path) {
        failed.reason = BadNameReason();
        return failed;
    }
    FileDescriptor file;
    // Non-blocking so that opening a pipe nobody writes to returns at once.
    file.fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file.fd < 0) {
        const int error = errno;
        // Bytes that were not valid in the encoding arrive as U+FFFD and so name no file.
        failed.reason =
            error == ENOENT && path.contains(QChar(0xFFFD)) ? BadNameReason() : ErrnoReason(error);
        return failed;
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) {
        failed.reason = ErrnoReason(errno);
        return failed;
    }
    if (S_ISDIR(info.st_mode)) {
        failed.reason = QStringLiteral("it is a folder");
        return failed;
    }
    // Reads block again: a pipe with a writer is read until the writer closes it.
    const int flags = ::fcntl(file.fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(file.fd, F_SETFL, flags & ~O_NONBLOCK);
    const auto read = [fd = file.fd](char *data, std::int64_t size, QString &reason) -> std::int64_t {
        for (;;) {
            const ssize_t got = ::read(fd, data, std::size_t(size));
            if (got >= 0 || errno != EINTR) {
                if (got < 0)
                    reason = ErrnoReason(errno);
                return got;
            }
        }
    };
    return ReadCapped(read, limit, S_ISREG(info.st_mode) ? std::int64_t(info.st_size) : 0);
}

DocumentBytes ReadDeviceBytes(QIODevice &device, std::int64_t limit)
{
    if (!device.isReadable()) {
        DocumentBytes failed;
        failed.reason = QStringLiteral("it is not open for reading");
        return failed;
    }
    const auto read = [&device](char *data, std::int64_t size, QString &reason) -> std::int64_t {
        const qint64 got = device.read(data, size);
        if (got < 0)
            reason = device.errorString();
        return got;
    };
    return ReadCapped(read, limit, 0);
}

bool IsRegularFile(const QString &path)
{
    struct stat info {
    };
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

QString CannotReadMessage(const QString &path, const QString &reason)
{
    return QString::fromLatin1(kErrorCannotRead).arg(path, reason);
}

} // namespace documents
