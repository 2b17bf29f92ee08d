// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/PcmSource.h"

namespace speech {

PcmSource::PcmSource(QObject *parent) : QIODevice(parent)
{
    open(QIODevice::ReadOnly);
}

void PcmSource::Append(std::shared_ptr<PcmBuffer> buffer)
{
    chain_.push_back(std::move(buffer));
}

void PcmSource::DropExhausted()
{
    while (!chain_.empty() && chain_.front()->Exhausted())
        chain_.pop_front();
}

bool PcmSource::Exhausted()
{
    DropExhausted();
    return chain_.empty();
}

int PcmSource::PendingRate()
{
    DropExhausted();
    if (chain_.empty() || chain_.front()->SampleRate() == outputRate_)
        return 0;
    return chain_.front()->SampleRate();
}

void PcmSource::Clear()
{
    for (auto &buffer : chain_)
        buffer->Abort();
    chain_.clear();
}

qint64 PcmSource::bytesAvailable() const
{
    qint64 available = QIODevice::bytesAvailable();
    if (!chain_.empty() && chain_.front()->SampleRate() == outputRate_)
        available += chain_.front()->BytesAvailable();
    return available;
}

bool PcmSource::atEnd() const
{
    for (const auto &buffer : chain_) {
        if (!buffer->Exhausted())
            return false;
    }
    return true;
}

qint64 PcmSource::readData(char *data, qint64 maxSize)
{
    qint64 total = 0;
    for (;;) {
        DropExhausted();
        if (chain_.empty() || total >= maxSize || chain_.front()->SampleRate() != outputRate_)
            break;
        const qint64 got = chain_.front()->Read(data + total, maxSize - total);
        total += got;
        if (got == 0)
            break; // synthesis has not caught up yet
    }
    bytesRead_ += total;
    return total;
}

qint64 PcmSource::writeData(const char *, qint64)
{
    return -1;
}

} // namespace speech
