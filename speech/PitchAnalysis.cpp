// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/PitchAnalysis.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace speech {

std::optional<double> PitchAnalysis::MedianPitchHz(const std::int16_t *samples, std::size_t count, int sampleRate,
                                                   double minimumHz, double maximumHz)
{
    if (!samples || sampleRate <= 0 || minimumHz <= 0 || maximumHz <= minimumHz)
        return std::nullopt;
    if (sampleRate >= 16000) {
        // Voice pitch lies far below 4 kHz: halving the rate first quarters the work.
        std::vector<std::int16_t> half(count / 2);
        for (std::size_t i = 0; i < half.size(); ++i)
            half[i] = static_cast<std::int16_t>((int(samples[2 * i]) + int(samples[2 * i + 1])) / 2);
        return MedianPitchHz(half.data(), half.size(), sampleRate / 2, minimumHz, maximumHz);
    }
    const std::size_t frame = static_cast<std::size_t>(sampleRate * 0.040);
    const std::size_t hop = static_cast<std::size_t>(sampleRate * 0.010);
    const std::size_t minLag = std::max<std::size_t>(2, static_cast<std::size_t>(sampleRate / maximumHz));
    const std::size_t maxLag = static_cast<std::size_t>(sampleRate / minimumHz);
    if (frame == 0 || hop == 0 || count < frame + maxLag)
        return std::nullopt;

    // Frames quieter than a tenth of the loudest one are pauses or breath, not voice.
    std::vector<double> energies;
    for (std::size_t start = 0; start + frame + maxLag <= count; start += hop) {
        double e = 0;
        for (std::size_t i = 0; i < frame; ++i)
            e += double(samples[start + i]) * samples[start + i];
        energies.push_back(e / frame);
    }
    const double loudest = energies.empty() ? 0 : *std::max_element(energies.begin(), energies.end());
    if (loudest <= 0)
        return std::nullopt;

    std::vector<double> pitches;
    std::vector<double> corr(maxLag + 1);
    std::size_t index = 0;
    for (std::size_t start = 0; start + frame + maxLag <= count; start += hop, ++index) {
        if (energies[index] < loudest * 0.1)
            continue;
        const std::int16_t *x = samples + start;
        double e0 = 0;
        for (std::size_t i = 0; i < frame; ++i)
            e0 += double(x[i]) * x[i];
        double best = 0;
        std::size_t bestLag = 0;
        for (std::size_t lag = minLag; lag <= maxLag; ++lag) {
            double c = 0, e1 = 0;
            for (std::size_t i = 0; i < frame; ++i) {
                c += double(x[i]) * x[i + lag];
                e1 += double(x[i + lag]) * x[i + lag];
            }
            corr[lag] = (e0 > 0 && e1 > 0) ? c / std::sqrt(e0 * e1) : 0;
            if (corr[lag] > best) {
                best = corr[lag];
                bestLag = lag;
            }
        }
        if (best < 0.6 || bestLag == 0)
            continue; // unvoiced
        // A period's multiples correlate as well as the period itself; prefer the shortest lag
        // that does nearly as well, so the estimate does not drop an octave.
        for (std::size_t divisor = 4; divisor >= 2; --divisor) {
            const std::size_t lag = static_cast<std::size_t>(std::lround(double(bestLag) / divisor));
            if (lag < minLag)
                continue;
            double local = 0;
            for (std::size_t l = std::max(minLag, lag - 1); l <= std::min(maxLag, lag + 1); ++l)
                local = std::max(local, corr[l]);
            if (local > 0.85 * best) {
                bestLag = lag;
                break;
            }
        }
        pitches.push_back(double(sampleRate) / double(bestLag));
    }
    if (pitches.size() < 3)
        return std::nullopt;
    std::nth_element(pitches.begin(), pitches.begin() + pitches.size() / 2, pitches.end());
    return pitches[pitches.size() / 2];
}

} // namespace speech
