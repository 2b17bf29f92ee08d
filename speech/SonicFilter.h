// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechBackend.h"

#include <QtGlobal>

#include <cstdint>
#include <utility>
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

    // Where the sound of input sample `input` comes out in the output. Counted from what has come
    // out so far, so the filter's small departures from its nominal speed do not add up over a
    // long text, and corrected by the delay the filter puts on its content, measured once for each
    // setting.
    qint64 OutputPosition(qint64 input) const;

private:
    bool Drain();
    qint64 Predicted(qint64 input) const;
    // The delay counted from a checkpoint, and counted from the start.
    static std::pair<qint64, qint64> MeasuredDelay(int sampleRate, double speed, double pitch);

    sonicStreamStruct *stream_ = nullptr;
    PcmSink sink_;
    std::vector<short> scratch_;
    double speed_ = 1.0;
    qint64 delay_ = 0;
    qint64 startDelay_ = 0;
    qint64 in_ = 0;  // samples written
    qint64 out_ = 0; // samples handed on
    // (written, handed on) after each write, for OutputPosition.
    std::vector<std::pair<qint64, qint64>> checkpoints_;
};

} // namespace speech
