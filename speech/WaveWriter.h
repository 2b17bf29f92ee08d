// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

struct sf_private_tag;

namespace speech {

class RecordingTarget;

// Writes mono 16-bit speech into a sound file through libsndfile: WAV (16-bit PCM) unless the
// name ends in .flac (FLAC) or .ogg (Ogg Vorbis). Where the sound goes is RecordingTarget's
// business: for a file, a temporary beside it that replaces it only on Commit, so an unfinished or
// failed recording never touches a file that was there before; for a pipe, a character device or
// "-" (standard output), the stream itself. Destroying an uncommitted writer discards the recording.
class WaveWriter {
public:
    ~WaveWriter();
    WaveWriter(const WaveWriter &) = delete;
    WaveWriter &operator=(const WaveWriter &) = delete;

    // nullptr with `error` filled when the target is refused or cannot be opened.
    static std::unique_ptr<WaveWriter> Create(const QString &target, int sampleRate, QString *error);

    bool Write(const std::int16_t *samples, std::size_t count);
    // Closes the file and moves it over the target (or ends the stream). False (and no change to an
    // existing file) on failure.
    bool Commit(QString *error);
    // Closes and removes the temporary file (or closes the stream).
    void Abort();

    QString Target() const { return target_; }
    // True when the sound goes straight into a pipe, a device or standard output.
    bool IsStream() const;
    QString Error() const { return error_; }
    qint64 FramesWritten() const { return frames_; }

private:
    struct StreamCursor;
    WaveWriter();
    bool OpenSoundFile(int sampleRate, QString *why);
    bool CloseSoundFile();

    QString target_;
    std::unique_ptr<RecordingTarget> destination_;
    std::unique_ptr<StreamCursor> stream_;
    sf_private_tag *file_ = nullptr;
    QString error_;
    qint64 frames_ = 0;
};

} // namespace speech
