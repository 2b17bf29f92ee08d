// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/WaveWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sndfile.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace speech {

namespace {

int FormatFor(const QString &target)
{
    const QString suffix = QFileInfo(target).suffix().toLower();
    if (suffix == QLatin1String("flac"))
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    if (suffix == QLatin1String("ogg") || suffix == QLatin1String("oga"))
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
}

} // namespace

WaveWriter::~WaveWriter()
{
    Abort();
}

std::unique_ptr<WaveWriter> WaveWriter::Create(const QString &target, int sampleRate, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("cannot write \"%1\": %2").arg(target, why);
        return nullptr;
    };
    if (target.isEmpty())
        return fail(QStringLiteral("no file name"));
    const QFileInfo info(target);
    if (info.isDir())
        return fail(QStringLiteral("it is a folder"));
    if (!info.absoluteDir().exists())
        return fail(QStringLiteral("the folder does not exist"));

    std::unique_ptr<WaveWriter> writer(new WaveWriter);
    writer->target_ = info.absoluteFilePath();
    writer->temp_ = std::make_unique<QTemporaryFile>(
        info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX.part"));
    writer->temp_->setAutoRemove(false); // removed by hand, so a committed file is never deleted
    if (!writer->temp_->open())
        return fail(writer->temp_->errorString());

    SF_INFO format{};
    format.samplerate = sampleRate;
    format.channels = 1;
    format.format = FormatFor(target);
    writer->file_ = sf_open_fd(writer->temp_->handle(), SFM_WRITE, &format, SF_FALSE);
    if (!writer->file_) {
        const QString why = QString::fromUtf8(sf_strerror(nullptr));
        writer->Abort();
        return fail(why);
    }
    return writer;
}

bool WaveWriter::Write(const std::int16_t *samples, std::size_t count)
{
    if (!file_)
        return false;
    const sf_count_t written = sf_write_short(file_, samples, static_cast<sf_count_t>(count));
    frames_ += written;
    if (written != static_cast<sf_count_t>(count)) {
        error_ = QStringLiteral("writing \"%1\" failed: %2").arg(target_, QString::fromUtf8(sf_strerror(file_)));
        return false;
    }
    return true;
}

bool WaveWriter::Close()
{
    bool ok = true;
    if (file_) {
        ok = sf_close(file_) == 0;
        file_ = nullptr;
    }
    if (temp_ && temp_->isOpen()) {
        // Make sure the data is on disk before the rename makes it the only copy.
        ok = temp_->flush() && ok;
        ok = ::fsync(temp_->handle()) == 0 && ok;
        temp_->close();
    }
    return ok;
}

bool WaveWriter::Commit(QString *error)
{
    if (!temp_) {
        if (error)
            *error = QStringLiteral("the recording of \"%1\" was already closed").arg(target_);
        return false;
    }
    const QString tempName = temp_->fileName();
    if (!error_.isEmpty() || !Close()) {
        if (error)
            *error = error_.isEmpty() ? QStringLiteral("finishing \"%1\" failed").arg(target_) : error_;
        Abort();
        return false;
    }
    // QTemporaryFile creates the file private to its owner; a recording is an ordinary document.
    ::chmod(QFile::encodeName(tempName).constData(), 0644);
    if (std::rename(QFile::encodeName(tempName).constData(), QFile::encodeName(target_).constData()) != 0) {
        if (error)
            *error = QStringLiteral("cannot replace \"%1\": %2").arg(target_, QString::fromLocal8Bit(std::strerror(errno)));
        Abort();
        return false;
    }
    temp_.reset();
    return true;
}

void WaveWriter::Abort()
{
    if (!temp_)
        return;
    const QString tempName = temp_->fileName();
    Close();
    QFile::remove(tempName);
    temp_.reset();
}

} // namespace speech
