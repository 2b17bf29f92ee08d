// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

namespace studio
{

class Main;

// Tells the user, with a desktop notification, that a long recording has ended while they were
// working in another window: where the speech was saved, or why it was not.
class RecordingNotifier : public QObject
{
    Q_OBJECT
  public:
    using Sender = std::function<void(const QString &summary, const QString &body)>;
    // Recordings that end sooner than this are watched by the user anyway.
    static constexpr std::chrono::milliseconds LongRecording{10000};

    explicit RecordingNotifier(Main *window, Sender send = {},
                               std::chrono::milliseconds longRecording = LongRecording,
                               QObject *parent = nullptr);

  private:
    void Started(const QString &path);
    void Ended(const QString &failure);

    Main *window_;
    Sender send_;
    std::chrono::milliseconds longRecording_;
    QElapsedTimer running_;
    QString path_;
    bool stopped_ = false;
};

} // namespace studio
