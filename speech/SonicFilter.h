// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechBackend.h"

#include <cstdint>
#include <vector>

struct sonicStreamStruct;

namespace speech {

// Changes tempo and pitch of a mono 16-bit stream independently (libsonic), for the settings a
// backend cannot reach by itself: espeak-ng below its slowest rate, a flite voice that ignores pitch.
// Samples written are passed on to the sink given at construction as they come out.
class SonicFilter {
public:
    // speed < 1 slows down, pitch > 1 raises; 1.0 for both passes samples through untouched.
    SonicFilter(int sampleRate, double speed, double pitch, PcmSink sink);
    ~SonicFilter();
    SonicFilter(const SonicFilter &) = delete;
    SonicFilter &operator=(const SonicFilter &) = delete;

    bool Identity() const { return stream_ == nullptr; }
    // Returns false when the sink asked to stop.
    bool Write(const std::int16_t *samples, std::size_t count);
    // Pushes out what the filter still holds at the end of a piece of text.
    bool Flush();

private:
    bool Drain();

    sonicStreamStruct *stream_ = nullptr;
    PcmSink sink_;
    std::vector<short> scratch_;
};

} // namespace speech
