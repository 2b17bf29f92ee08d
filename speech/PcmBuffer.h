// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace speech {

// A bounded ring of mono 16-bit samples between the synthesis thread (writer) and the audio
// output (reader). The writer blocks while the ring is full, so synthesis never runs further ahead
// of playback than the ring holds; the reader never blocks.
class PcmBuffer {
public:
    PcmBuffer(int sampleRate, std::size_t capacitySamples);

    int SampleRate() const { return sampleRate_; }

    // Blocks while full. Returns false once the buffer has been aborted.
    bool Write(const std::int16_t *samples, std::size_t count);
    // The writer has nothing more to add.
    void Finish();
    // Discards everything and releases a blocked writer; later writes fail.
    void Abort();

    // Copies up to maxBytes (whole samples only) into data; returns the bytes copied.
    qint64 Read(char *data, qint64 maxBytes);
    qint64 BytesAvailable() const;
    // Finished (or aborted) and everything read.
    bool Exhausted() const;

private:
    const int sampleRate_;
    std::vector<std::int16_t> ring_;
    std::size_t head_ = 0; // next sample to read
    std::size_t size_ = 0; // samples held
    bool finished_ = false;
    bool aborted_ = false;
    mutable std::mutex mutex_;
    std::condition_variable space_;
};

} // namespace speech
