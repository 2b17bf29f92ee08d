// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SonicFilter.h"

#include <sonic.h>

#include <cmath>

namespace speech {

SonicFilter::SonicFilter(int sampleRate, double speed, double pitch, PcmSink sink)
    : sink_(std::move(sink))
{
    if (std::abs(speed - 1.0) < 1e-3 && std::abs(pitch - 1.0) < 1e-3)
        return;
    stream_ = sonicCreateStream(sampleRate, 1);
    if (!stream_)
        return; // out of memory: pass the samples through unchanged rather than lose them
    sonicSetSpeed(stream_, static_cast<float>(speed));
    sonicSetPitch(stream_, static_cast<float>(pitch));
    sonicSetQuality(stream_, 1);
    scratch_.resize(4096);
}

SonicFilter::~SonicFilter()
{
    if (stream_)
        sonicDestroyStream(stream_);
}

bool SonicFilter::Write(const std::int16_t *samples, std::size_t count)
{
    if (!stream_)
        return sink_(samples, count);
    std::size_t done = 0;
    while (done < count) {
        const int piece = static_cast<int>(std::min<std::size_t>(count - done, 8192));
        // sonic's interface is not const-correct; it copies the input.
        if (!sonicWriteShortToStream(stream_, const_cast<short *>(samples + done), piece))
            return sink_(samples + done, count - done);
        done += static_cast<std::size_t>(piece);
        if (!Drain())
            return false;
    }
    return true;
}

bool SonicFilter::Flush()
{
    if (!stream_)
        return true;
    sonicFlushStream(stream_);
    return Drain();
}

bool SonicFilter::Drain()
{
    for (;;) {
        const int got = sonicReadShortFromStream(stream_, scratch_.data(), static_cast<int>(scratch_.size()));
        if (got <= 0)
            return true;
        if (!sink_(scratch_.data(), static_cast<std::size_t>(got)))
            return false;
    }
}

} // namespace speech
