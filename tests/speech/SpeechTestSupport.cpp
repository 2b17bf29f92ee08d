// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpeechTestSupport.h"

#include <QFile>

#include <cmath>
#include <sndfile.h>

SoundFile SoundFile::Read(const QString &path)
{
    SoundFile out;
    SF_INFO info{};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return out;
    out.sampleRate = info.samplerate;
    out.channels = info.channels;
    out.format = info.format;
    out.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t got = sf_read_short(file, out.samples.data(), static_cast<sf_count_t>(out.samples.size()));
    out.samples.resize(static_cast<std::size_t>(got));
    sf_close(file);
    out.ok = true;
    return out;
}

double SoundFile::Rms() const
{
    if (samples.empty())
        return 0;
    double sum = 0;
    for (std::int16_t s : samples)
        sum += double(s) * s;
    return std::sqrt(sum / samples.size());
}
