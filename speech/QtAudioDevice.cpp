// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/QtAudioDevice.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace speech {

namespace {

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
}

void QtAudioDevice::Resume()
{
    if (sink_)
        sink_->resume();
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
