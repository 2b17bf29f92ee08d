// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/PcmBuffer.h"

#include <algorithm>
#include <cstring>

namespace speech {

PcmBuffer::PcmBuffer(int sampleRate, std::size_t capacitySamples)
    : sampleRate_(sampleRate), ring_(std::max<std::size_t>(capacitySamples, 256))
{
}

bool PcmBuffer::Write(const std::int16_t *samples, std::size_t count)
{
    std::unique_lock lock(mutex_);
    while (count > 0) {
        space_.wait(lock, [this] { return aborted_ || size_ < ring_.size(); });
        if (aborted_)
            return false;
        const std::size_t tail = (head_ + size_) % ring_.size();
        const std::size_t run = std::min({count, ring_.size() - size_, ring_.size() - tail});
        std::memcpy(ring_.data() + tail, samples, run * sizeof(std::int16_t));
        size_ += run;
        samples += run;
        count -= run;
    }
    return true;
}

void PcmBuffer::Finish()
{
    std::lock_guard lock(mutex_);
    finished_ = true;
}

void PcmBuffer::Abort()
{
    {
        std::lock_guard lock(mutex_);
        aborted_ = true;
        finished_ = true;
        size_ = 0;
    }
    space_.notify_all();
}

qint64 PcmBuffer::Read(char *data, qint64 maxBytes)
{
    std::size_t wanted = maxBytes > 0 ? static_cast<std::size_t>(maxBytes) / sizeof(std::int16_t) : 0;
    std::size_t copied = 0;
    {
        std::lock_guard lock(mutex_);
        while (wanted > 0 && size_ > 0) {
            const std::size_t run = std::min({wanted, size_, ring_.size() - head_});
            std::memcpy(data + copied * sizeof(std::int16_t), ring_.data() + head_, run * sizeof(std::int16_t));
            head_ = (head_ + run) % ring_.size();
            size_ -= run;
            wanted -= run;
            copied += run;
        }
    }
    if (copied > 0)
        space_.notify_all();
    return static_cast<qint64>(copied * sizeof(std::int16_t));
}

qint64 PcmBuffer::BytesAvailable() const
{
    std::lock_guard lock(mutex_);
    return static_cast<qint64>(size_ * sizeof(std::int16_t));
}

bool PcmBuffer::Exhausted() const
{
    std::lock_guard lock(mutex_);
    return finished_ && size_ == 0;
}

} // namespace speech
