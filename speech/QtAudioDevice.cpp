// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/QtAudioDevice.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include <algorithm>

namespace speech {

namespace {

// The longest the play position is carried on between two reports of the sound server: about
// twice the interval at which it reports, so a stalled stream does not run ahead for long.
constexpr qint64 kCarryOnMilliseconds = 120;

QString ErrorText(QAudio::Error error)
{
    switch (error) {
    case QAudio::NoError:
        return QStringLiteral("no error");
    case QAudio::OpenError:
        return QStringLiteral("the audio device could not be opened");
    case QAudio::IOError:
        return QStringLiteral("the audio device failed while playing");
    case QAudio::UnderrunError:
        return QStringLiteral("the audio device ran out of data");
    case QAudio::FatalError:
        return QStringLiteral("the audio device is no longer available");
    }
    return QStringLiteral("unknown audio error");
}

} // namespace

QtAudioDevice::QtAudioDevice() = default;

QtAudioDevice::~QtAudioDevice()
{
    Stop();
}

bool QtAudioDevice::Start(QIODevice *source, int sampleRate, QString *error)
{
    Stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        if (error)
            *error = QStringLiteral("no audio output device is available (is a sound server running?)");
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->setBufferSize(format.bytesForDuration(qint64(kBufferMilliseconds) * 1000));
    sampleRate_ = sampleRate;
    lastProcessedUSecs_ = -1;
    sinceProcessed_.invalidate();
    sink_->start(source);
    // Without a server the sink stays stopped with an open error and never reports a state
    // change, so look at once instead of waiting for one.
    if (sink_->state() == QAudio::StoppedState || sink_->error() == QAudio::OpenError ||
        sink_->error() == QAudio::FatalError) {
        if (error)
            *error = QStringLiteral("%1 (%2)").arg(ErrorText(sink_->error()), device.description());
        sink_.reset();
        return false;
    }
    return true;
}

void QtAudioDevice::Suspend()
{
    if (sink_)
        sink_->suspend();
    sinceProcessed_.invalidate();
}

void QtAudioDevice::Resume()
{
    if (sink_)
        sink_->resume();
    sinceProcessed_.start();
}

void QtAudioDevice::Stop()
{
    if (sink_) {
        sink_->stop();
        sink_.reset();
    }
}

bool QtAudioDevice::Idle() const
{
    return sink_ && sink_->state() == QAudio::IdleState;
}

qint64 QtAudioDevice::HeardSamples(qint64 pulled)
{
    if (!sink_ || sampleRate_ <= 0)
        return pulled;
    const qint64 usecs = sink_->processedUSecs();
    if (usecs != lastProcessedUSecs_) {
        lastProcessedUSecs_ = usecs;
        sinceProcessed_.start();
    }
    qint64 at = usecs;
    if (sink_->state() == QAudio::ActiveState && sinceProcessed_.isValid())
        at += std::min(sinceProcessed_.elapsed(), kCarryOnMilliseconds) * 1000;
    return std::clamp<qint64>(at * sampleRate_ / 1000000, 0, pulled);
}

bool QtAudioDevice::Failed(QString *error) const
{
    if (!sink_)
        return false;
    const QAudio::Error e = sink_->error();
    if (e == QAudio::OpenError || e == QAudio::IOError || e == QAudio::FatalError ||
        sink_->state() == QAudio::StoppedState) {
        if (error)
            *error = ErrorText(e);
        return true;
    }
    return false;
}

} // namespace speech
