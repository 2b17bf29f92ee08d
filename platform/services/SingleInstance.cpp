// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace services
{

namespace
{

QString SafeName(const QString &name)
{
    QString out;
    for (QChar c : name)
        out +=
            (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_') || c == QLatin1Char('.'))
                ? c
                : QLatin1Char('_');
    return out.isEmpty() ? QStringLiteral("instance") : out;
}

// A running holder keeps an flock on its lock file for as long as it lives; the kernel drops it
// when the process dies, however it dies. A lock file nobody holds that way is left over.
bool NobodyHolds(const QString &fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

constexpr int ConnectTimeoutMs = 2000;

} // namespace

SingleInstance::SingleInstance(const QString &applicationName, const QString &folder, QObject *parent)
    : QObject(parent), name_(SafeName(applicationName)), folder_(folder)
{
    if (folder_.isEmpty())
        folder_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder_.isEmpty())
        folder_ = QDir::tempPath();
}

SingleInstance::~SingleInstance()
{
    Release();
}

QString SingleInstance::LockFileName() const
{
    return folder_ + QLatin1Char('/') + name_ + QStringLiteral(".lock");
}

QString SingleInstance::ServerName() const
{
    return folder_ + QLatin1Char('/') + name_ + QStringLiteral(".socket");
}

bool SingleInstance::IsPrimary() const
{
    return primary_;
}

qint64 SingleInstance::RunningPid() const
{
    return runningPid_;
}

bool SingleInstance::MessageDelivered() const
{
    return delivered_;
}

QString SingleInstance::ErrorString() const
{
    return error_;
}

SingleInstance::Result SingleInstance::Acquire(const QString &message)
{
    if (primary_)
        return Result::Primary;
    error_.clear();
    runningPid_ = 0;
    delivered_ = false;
    if (!QDir().mkpath(folder_)) {
        error_ = QStringLiteral("Cannot create the folder %1.").arg(folder_);
        return Result::Failed;
    }

    lock_ = std::make_unique<QLockFile>(LockFileName());
    // A live holder's lock never goes stale with age: only a dead (or replaced) process frees it.
    lock_->setStaleLockTime(0);
    bool locked = lock_->tryLock(0);
    if (!locked && lock_->error() == QLockFile::LockFailedError && NobodyHolds(LockFileName())) {
        // Qt keeps a lock whose contents it cannot read (e.g. emptied by a crash during start-up);
        // nothing holds it, so it is ours to replace.
        QFile::remove(LockFileName());
        locked = lock_->tryLock(0);
    }

    if (locked) {
        primary_ = true;
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        // Holding the lock means any socket file there is a crashed instance's leftover.
        QLocalServer::removeServer(ServerName());
        if (!server_->listen(ServerName()))
            error_ = server_->errorString(); // still the only instance; later starts just can't talk to it
        connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
        return Result::Primary;
    }

    switch (lock_->error()) {
    case QLockFile::LockFailedError: {
        qint64 pid = 0;
        QString host, app;
        if (lock_->getLockInfo(&pid, &host, &app))
            runningPid_ = pid;
        lock_.reset();
        delivered_ = SendToPrimary(message);
        error_ = QStringLiteral("%1 is already running.").arg(name_);
        return Result::AlreadyRunning;
    }
    case QLockFile::PermissionError:
        error_ = QStringLiteral("No permission to create the lock file %1.").arg(LockFileName());
        break;
    default:
        error_ = QStringLiteral("Cannot create the lock file %1.").arg(LockFileName());
        break;
    }
    lock_.reset();
    return Result::Failed;
}

bool SingleInstance::SendToPrimary(const QString &message)
{
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    socket.write(message.toUtf8());
    const bool written = socket.bytesToWrite() == 0 || socket.waitForBytesWritten(ConnectTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(ConnectTimeoutMs);
    return written;
}

void SingleInstance::OnNewConnection()
{
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [socket, buffer] { *buffer += socket->readAll(); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            socket->deleteLater();
            Q_EMIT MessageReceived(QString::fromUtf8(*buffer));
        });
        if (socket->state() != QLocalSocket::ConnectedState) {
            *buffer += socket->readAll();
            socket->deleteLater();
            Q_EMIT MessageReceived(QString::fromUtf8(*buffer));
        }
    }
}

void SingleInstance::Release()
{
    if (server_) {
        server_->close();
        delete server_;
        server_ = nullptr;
    }
    if (lock_) {
        lock_->unlock();
        lock_.reset();
    }
    primary_ = false;
}

} // namespace services
