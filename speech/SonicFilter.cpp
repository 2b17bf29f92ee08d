// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SonicFilter.h"

#include <sonic.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

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
    speed_ = speed;
    // The probe that measures the delay is itself a filter: it starts from none.
    static thread_local bool measuring = false;
    if (!measuring) {
        measuring = true;
        std::tie(delay_, startDelay_) = MeasuredDelay(sampleRate, speed, pitch);
        measuring = false;
    }
}

std::pair<qint64, qint64> SonicFilter::MeasuredDelay(int sampleRate, double speed, double pitch)
{
    static std::mutex mutex;
    static std::map<std::tuple<int, long, long>, std::pair<qint64, qint64>> measured;
    const auto key = std::make_tuple(sampleRate, std::lround(speed * 1000), std::lround(pitch * 1000));
    {
        std::lock_guard lock(mutex);
        const auto found = measured.find(key);
        if (found != measured.end())
            return found->second;
    }
    // A tone rising out of silence, in pieces the size synthesisers hand over: where the tone
    // comes out against where the nominal speed puts it is the delay.
    const qint64 onset = sampleRate / 2;
    std::vector<std::int16_t> input(static_cast<std::size_t>(sampleRate), 0);
    for (std::size_t i = static_cast<std::size_t>(onset); i < input.size(); ++i)
        input[i] = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 200.0 * double(i) / sampleRate));
    qint64 heard = -1, position = 0;
    SonicFilter probe(sampleRate, speed, pitch, [&](const std::int16_t *s, std::size_t n) {
        for (std::size_t i = 0; i < n && heard < 0; ++i) {
            if (std::abs(s[i]) > 1000)
                heard = position + static_cast<qint64>(i);
        }
        position += static_cast<qint64>(n);
        return true;
    });
    std::pair<qint64, qint64> delay{0, 0};
    if (!probe.Identity()) {
        const std::size_t piece = static_cast<std::size_t>(sampleRate / 10);
        for (std::size_t i = 0; i < input.size(); i += piece)
            probe.Write(input.data() + i, std::min(piece, input.size() - i));
        probe.Flush();
        if (heard >= 0)
            delay = {heard - probe.Predicted(onset), heard - std::llround(double(onset) / speed)};
    }
    std::lock_guard lock(mutex);
    measured[key] = delay;
    return delay;
}

qint64 SonicFilter::Predicted(qint64 input) const
{
    // From the last checkpoint at or before the input sample, else from the start.
    const auto after = std::upper_bound(checkpoints_.begin(), checkpoints_.end(), input,
                                        [](qint64 v, const std::pair<qint64, qint64> &c) { return v < c.first; });
    if (after == checkpoints_.begin())
        return std::llround(double(input) / speed_);
    return (after - 1)->second + std::llround(double(input - (after - 1)->first) / speed_);
}

qint64 SonicFilter::OutputPosition(qint64 input) const
{
    if (!stream_)
        return input;
    const bool fromStart = checkpoints_.empty() || checkpoints_.front().first > input;
    return std::max<qint64>(0, Predicted(input) + (fromStart ? startDelay_ : delay_));
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
        in_ += piece;
        if (!Drain())
            return false;
        checkpoints_.emplace_back(in_, out_);
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
        out_ += got;
        if (!sink_(scratch_.data(), static_cast<std::size_t>(got)))
            return false;
    }
}

} // namespace speech
