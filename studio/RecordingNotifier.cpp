// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/RecordingNotifier.h"

#include "bevel/bvlBUTTON.h"
#include "studio/DesktopNotification.h"
#include "studio/DesktopStrings.h"
#include "studio/Main.h"

namespace studio
{

RecordingNotifier::RecordingNotifier(Main *window, Sender send, std::chrono::milliseconds longRecording,
                                     QObject *parent)
    : QObject(parent), window_(window), send_(send ? std::move(send) : Sender(&SendDesktopNotification)),
      longRecording_(longRecording)
{
    connect(window_, &Main::RecordingStarted, this, &RecordingNotifier::Started);
    connect(window_, &Main::RecordingEnded, this, &RecordingNotifier::Ended);
    // A recording stopped with STOP is not saved; the engine reports that as a normal end.
    connect(window_->cmdStopText(), &bevel::bvlBUTTON::Click, this, [this] {
        if (window_->Recording())
            stopped_ = true;
    });
}

void RecordingNotifier::Started(const QString &path)
{
    path_ = path;
    stopped_ = false;
    running_.start();
}

void RecordingNotifier::Ended(const QString &failure)
{
    if (!running_.isValid())
        return;
    const bool longEnough = running_.elapsed() > longRecording_.count();
    running_.invalidate();
    if (!longEnough || window_->isActiveWindow())
        return;
    if (!failure.isEmpty())
        send_(desktop::RecordingNotSavedSummary, desktop::RecordingNotSavedBody.arg(path_, failure));
    else if (stopped_)
        send_(desktop::RecordingStopped, desktop::RecordingStoppedBody.arg(path_));
    else
        send_(desktop::RecordingSaved, desktop::RecordingSavedBody.arg(path_));
}

} // namespace studio
