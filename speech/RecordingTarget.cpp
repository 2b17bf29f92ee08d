// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/RecordingTarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace speech {

namespace {

// The kernel gives up on a chain of symbolic links after 40 (ELOOP); so do we.
constexpr int kMaxLinks = 40;
// How many temporary names to try before deciding the folder is the problem.
constexpr int kTemporaryAttempts = 100;

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray Encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// What the name finally stands for once every symbolic link on the way is followed.
struct Followed {
    QString path; // the last name in the chain: the file to replace or create, or the node to open
    bool exists = false;
    struct stat status {};
};

bool FollowLinks(const QString &start, Followed *out, QString *why)
{
    QString path = start;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat st {};
        if (::lstat(Encoded(path).constData(), &st) != 0) {
            if (errno != ENOENT) {
                *why = SystemError(errno);
                return false;
            }
            // A new file, or a link pointing at a file still to be made: it is made where the link points.
            out->path = path;
            out->exists = false;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            out->path = path;
            out->exists = true;
            out->status = st;
            return true;
        }
        const QString next = QFileInfo(path).symLinkTarget();
        if (next.isEmpty()) {
            *why = QStringLiteral("the symbolic link cannot be read");
            return false;
        }
        path = next;
    }
    *why = SystemError(ELOOP);
    return false;
}

// Writing to a reader that has gone away raises SIGPIPE, which would end the whole program. Hold
// the signal back on this thread for one write, and take it back if the write raised it, so the
// write just fails with EPIPE.
class SigpipeBlock {
public:
    SigpipeBlock()
    {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
    }
    ~SigpipeBlock()
    {
        if (!wasPending_) {
            sigset_t pending;
            sigpending(&pending);
            if (sigismember(&pending, SIGPIPE) == 1) {
                const timespec now{0, 0};
                sigtimedwait(&pipe_, nullptr, &now);
            }
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    SigpipeBlock(const SigpipeBlock &) = delete;
    SigpipeBlock &operator=(const SigpipeBlock &) = delete;

private:
    sigset_t pipe_{};
    sigset_t previous_{};
    bool wasPending_ = false;
};

} // namespace

RecordingTarget::~RecordingTarget()
{
    Discard();
}

std::unique_ptr<RecordingTarget> RecordingTarget::Open(const QString &target, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("cannot write \"%1\": %2").arg(target, why);
        return nullptr;
    };
    if (target.isEmpty())
        return fail(QStringLiteral("no file name"));

    std::unique_ptr<RecordingTarget> out(new RecordingTarget);
    QString why;
    if (target == QLatin1String("-")) {
        out->name_ = target;
        out->kind_ = Kind::Stream;
        out->fd_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        if (out->fd_ < 0)
            return fail(QStringLiteral("standard output is closed"));
        return out;
    }

    out->name_ = QFileInfo(target).absoluteFilePath();
    Followed followed;
    if (!FollowLinks(out->name_, &followed, &why))
        return fail(why);
    const mode_t type = followed.status.st_mode & S_IFMT;
    if (followed.exists && type == S_IFDIR)
        return fail(QStringLiteral("it is a folder"));
    if (followed.exists && (type == S_IFIFO || type == S_IFCHR)) {
        out->kind_ = Kind::Stream;
        if (!out->OpenStream(followed.path, &why))
            return fail(why);
        return out;
    }
    if (followed.exists && type != S_IFREG)
        return fail(QStringLiteral("it is not a file, a pipe or a character device"));

    out->kind_ = Kind::File;
    out->replaced_ = followed.path;
    out->replacesExisting_ = followed.exists;
    out->mode_ = followed.status.st_mode & 07777;
    out->owner_ = followed.status.st_uid;
    out->group_ = followed.status.st_gid;
    if (!QFileInfo(followed.path).absoluteDir().exists())
        return fail(QStringLiteral("the folder does not exist"));
    if (!out->OpenTemporaryBeside(followed.path, &why))
        return fail(why);
    return out;
}

bool RecordingTarget::OpenStream(const QString &path, QString *why)
{
    // Without O_NONBLOCK, opening a pipe nobody reads waits for a reader forever.
    fd_ = ::open(Encoded(path).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        *why = errno == ENXIO ? QStringLiteral("no program is reading from the pipe") : SystemError(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))) {
        // Replaced by something else between the look and the open.
        *why = QStringLiteral("it is not a file, a pipe or a character device");
        CloseDescriptor();
        return false;
    }
    // From here on a full pipe should hold the writer back, as in any pipeline.
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        *why = SystemError(errno);
        CloseDescriptor();
        return false;
    }
    return true;
}

bool RecordingTarget::OpenTemporaryBeside(const QString &path, QString *why)
{
    const QFileInfo info(path);
    const QString prefix = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1Char('.');
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    // A new file is made with 0666 so that the umask (and a default ACL) decide its mode, as for any
    // file a program creates. A replacement starts private and takes the old file's mode at once.
    const mode_t createMode = replacesExisting_ ? 0600 : 0666;
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        QString name = prefix;
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))]);
        name += QStringLiteral(".part");
        fd_ = ::open(Encoded(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
        if (fd_ >= 0) {
            temporary_ = name;
            break;
        }
        if (errno != EEXIST) {
            *why = SystemError(errno);
            return false;
        }
    }
    if (fd_ < 0) {
        *why = SystemError(EEXIST);
        return false;
    }
    if (replacesExisting_) {
        // Only root can give a file away; for anyone else the recording is theirs, as any new file is.
        // Changing the owner clears set-id bits, so the mode comes after.
        if (::geteuid() == 0 && ::fchown(fd_, owner_, group_) != 0) {
            // Keeping root as the owner is the safe side of failing here.
        }
        if (::fchmod(fd_, mode_) != 0) {
            *why = SystemError(errno);
            Discard();
            return false;
        }
    }
    return true;
}

bool RecordingTarget::WriteStream(const void *data, qint64 size)
{
    if (fd_ < 0 || kind_ != Kind::Stream)
        return false;
    SigpipeBlock block;
    const char *bytes = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, bytes, static_cast<std::size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            streamError_ =
                errno == EPIPE ? QStringLiteral("the program reading the recording has stopped") : SystemError(errno);
            return false;
        }
        bytes += n;
        size -= n;
    }
    return true;
}

void RecordingTarget::CloseDescriptor()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool RecordingTarget::Finish(QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        Discard();
        return false;
    };
    if (fd_ < 0)
        return fail(QStringLiteral("the recording of \"%1\" was already closed").arg(name_));
    if (kind_ == Kind::Stream) {
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0 && errno != EINTR)
            return fail(QStringLiteral("finishing \"%1\" failed: %2").arg(name_, SystemError(errno)));
        return true;
    }
    // The data must be on disk before the rename makes it the only copy.
    if (::fsync(fd_) != 0)
        return fail(QStringLiteral("finishing \"%1\" failed: %2").arg(name_, SystemError(errno)));
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        return fail(QStringLiteral("finishing \"%1\" failed: %2").arg(name_, SystemError(errno)));
    if (std::rename(Encoded(temporary_).constData(), Encoded(replaced_).constData()) != 0)
        return fail(QStringLiteral("cannot replace \"%1\": %2").arg(name_, SystemError(errno)));
    temporary_.clear();
    return true;
}

void RecordingTarget::Discard()
{
    CloseDescriptor();
    if (!temporary_.isEmpty()) {
        ::unlink(Encoded(temporary_).constData());
        temporary_.clear();
    }
}

} // namespace speech
