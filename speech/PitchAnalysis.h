// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace speech {

// Estimates the base pitch of speech: the median fundamental frequency of its voiced frames, found
// by normalised autocorrelation. Used to calibrate voices whose pitch control is not in Hz.
class PitchAnalysis {
public:
    // Returns nothing when the signal holds no voiced frame (silence, noise, too short).
    static std::optional<double> MedianPitchHz(const std::int16_t *samples, std::size_t count, int sampleRate,
                                               double minimumHz = 50.0, double maximumHz = 500.0);
};

} // namespace speech
