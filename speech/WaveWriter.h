// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SoundFormat.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct sf_private_tag;
struct soxr;

namespace speech {

class RecordingTarget;

// Writes mono 16-bit speech into a sound file through libsndfile, of the kind the name's extension
// gives (see SoundFormat: WAV 16-bit PCM, FLAC, Ogg Vorbis, Ogg Opus, MP3; WAV without one), with
// the tags and quality of its RecordingOptions. Where the sound goes is RecordingTarget's
// business: for a file, a temporary beside it that replaces it only on Commit, so an unfinished or
// failed recording never touches a file that was there before; for a pipe, a character device or
// "-" (standard output), the stream itself. Destroying an uncommitted writer discards the recording.
class WaveWriter {
public:
    ~WaveWriter();
    WaveWriter(const WaveWriter &) = delete;
    WaveWriter &operator=(const WaveWriter &) = delete;

    // nullptr with `error` filled when the target is refused or cannot be opened, or its extension
    // names no sound file kind the writer knows.
    static std::unique_ptr<WaveWriter> Create(const QString &target, int sampleRate, QString *error);
    static std::unique_ptr<WaveWriter> Create(const QString &target, int sampleRate, const RecordingOptions &options,
                                              QString *error);

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
    // The rate the file holds: the speech's own unless the format needs another (then resampled).
    int FileRate() const { return fileRate_; }

private:
    struct StreamCursor;
    WaveWriter();
    bool OpenSoundFile(const SoundFormat &format, int sampleRate, QString *why);
    // Finishing flushes what the resampler still holds; discarding does not bother.
    bool CloseSoundFile(bool finishing);
    bool Encode(const std::int16_t *samples, std::size_t count);
    bool FlushResampler();

    QString target_;
    std::unique_ptr<RecordingTarget> destination_;
    std::unique_ptr<StreamCursor> stream_;
    sf_private_tag *file_ = nullptr;
    QString error_;
    qint64 frames_ = 0;
    int fileRate_ = 0;
    soxr *resampler_ = nullptr;
    std::vector<std::int16_t> resampled_;
};

} // namespace speech
