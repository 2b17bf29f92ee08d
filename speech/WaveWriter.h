// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

struct sf_private_tag;
class QTemporaryFile;

namespace speech {

// Writes mono 16-bit speech into a sound file through libsndfile: WAV (16-bit PCM) unless the
// name ends in .flac (FLAC) or .ogg (Ogg Vorbis). Everything goes into a temporary file beside the
// target, which replaces the target only on Commit, so an unfinished or failed recording never
// touches a file that was there before. Destroying an uncommitted writer removes the temporary file.
class WaveWriter {
public:
    ~WaveWriter();
    WaveWriter(const WaveWriter &) = delete;
    WaveWriter &operator=(const WaveWriter &) = delete;

    // nullptr with `error` filled when the temporary file cannot be created.
    static std::unique_ptr<WaveWriter> Create(const QString &target, int sampleRate, QString *error);

    bool Write(const std::int16_t *samples, std::size_t count);
    // Closes the file and moves it over the target. False (and no target change) on failure.
    bool Commit(QString *error);
    // Closes and removes the temporary file.
    void Abort();

    QString Target() const { return target_; }
    QString Error() const { return error_; }
    qint64 FramesWritten() const { return frames_; }

private:
    WaveWriter() = default;
    bool Close();

    QString target_;
    std::unique_ptr<QTemporaryFile> temp_;
    sf_private_tag *file_ = nullptr;
    QString error_;
    qint64 frames_ = 0;
};

} // namespace speech
