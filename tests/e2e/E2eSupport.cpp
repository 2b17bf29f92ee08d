// SPDX-License-Identifier: GPL-3.0-or-later
#include "E2eSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cmath>
#include <cstring>

namespace e2e {

bool HaveDesktop()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsEmpty("PULSE_SERVER");
}

CommandResult Run(const QString &program, const QStringList &args, int timeoutMs)
{
    CommandResult result;
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted(5000))
        return result;
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(2000);
    }
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

struct SinkCapture::Impl {
    QProcess parec;
    QTemporaryDir dir;
    QString file;
};

SinkCapture::SinkCapture() : impl_(new Impl) {}

SinkCapture::~SinkCapture()
{
    if (impl_->parec.state() != QProcess::NotRunning) {
        impl_->parec.kill();
        impl_->parec.waitForFinished(2000);
    }
    delete impl_;
}

bool SinkCapture::Start()
{
    // parec writes straight into a file, so a test that blocks its thread meanwhile loses nothing.
    impl_->file = impl_->dir.filePath("capture.raw");
    impl_->parec.setStandardOutputFile(impl_->file);
    impl_->parec.start("parec", {"-d", "null.monitor", "--format=s16le", "--rate=16000", "--channels=1",
                                 "--raw", "--latency-msec=20"});
    if (!impl_->parec.waitForStarted(5000))
        return false;
    // parec takes about a second to connect to the server before it records reliably.
    QThread::msleep(1200);
    return impl_->parec.state() == QProcess::Running;
}

std::vector<short> SinkCapture::Stop()
{
    impl_->parec.terminate();
    impl_->parec.waitForFinished(3000);
    QFile file(impl_->file);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    std::vector<short> samples(static_cast<size_t>(data.size()) / 2);
    std::memcpy(samples.data(), data.constData(), samples.size() * 2);
    return samples;
}

double Rms(const std::vector<short> &samples)
{
    if (samples.empty())
        return 0.0;
    double sum = 0.0;
    for (short s : samples)
        sum += double(s) * double(s);
    return std::sqrt(sum / double(samples.size()));
}

double AudibleSeconds(const std::vector<short> &samples, short threshold)
{
    size_t first = samples.size(), last = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(int(samples[i])) > threshold) {
            if (first == samples.size())
                first = i;
            last = i;
        }
    }
    if (first == samples.size())
        return 0.0;
    return double(last - first) / SinkCapture::Rate;
}

} // namespace e2e
