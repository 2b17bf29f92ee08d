// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// Reads a sound file back through libsndfile, as a user's player would.
struct SoundFile {
    bool ok = false;
    int sampleRate = 0;
    int channels = 0;
    int format = 0;
    std::vector<std::int16_t> samples;

    static SoundFile Read(const QString &path);
    double Seconds() const { return sampleRate > 0 ? double(samples.size()) / channels / sampleRate : 0; }
    double Rms() const;
};
