// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

namespace services
{

// Keeps a program to one running instance per user. The first instance holds a lock file and a
// local server in the user's runtime folder; a later one finds the lock held, passes its message
// (e.g. its command line) to the first and is told it is already running. A lock left behind by
// a crashed instance (its process gone, or its pid now used by another program) is taken over.
class SingleInstance : public QObject
{
    Q_OBJECT
  public:
    enum class Result { Primary, AlreadyRunning, Failed };

    // `folder` defaults to the user's runtime folder ($XDG_RUNTIME_DIR).
    explicit SingleInstance(const QString &applicationName, const QString &folder = QString(),
                            QObject *parent = nullptr);
    ~SingleInstance() override;

    // Tries to become the running instance. On AlreadyRunning, `message` has been delivered to
    // the running instance when it could be reached. Calling it again after Primary is harmless.
    Result Acquire(const QString &message = QString());
    bool IsPrimary() const;
    // After AlreadyRunning: whether the running instance could be reached and took the message.
    bool MessageDelivered() const;
    // Pid of the instance that holds the lock (after AlreadyRunning), 0 if unknown.
    qint64 RunningPid() const;
    // Why Acquire failed, or "already running" text for the user.
    QString ErrorString() const;
    QString LockFileName() const;
    QString ServerName() const;
    // Releases the lock and closes the server (also done by the destructor).
    void Release();

  Q_SIGNALS:
    // The running instance received a message from a later start.
    void MessageReceived(const QString &message);

  private:
    void OnNewConnection();
    bool SendToPrimary(const QString &message);

    QString name_;
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer *server_ = nullptr;
    bool primary_ = false;
    qint64 runningPid_ = 0;
    bool delivered_ = false;
    QString error_;
};

} // namespace services
