// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/VoiceMode.h"

#include <memory>
#include <vector>

namespace speech {

class FliteBackend;
class EspeakBackend;

// The engine's voice modes, numbered from 1. The studio's three voices come first: "Mary" (female),
// "Mike" and "Sam" (male), built on the flite voices where speed and pitch both work (slt, awb,
// kal16) or, without them, on espeak-ng variants of the same gender. The remaining flite voices and
// every espeak-ng language voice follow.
class VoiceCatalogue {
public:
    // Either backend may be missing (nullptr) or offer no voices.
    VoiceCatalogue(std::shared_ptr<FliteBackend> flite, std::shared_ptr<EspeakBackend> espeak);
    // A catalogue of exactly these modes (for other backends, and for tests).
    explicit VoiceCatalogue(std::vector<VoiceMode> modes) : modes_(std::move(modes)) {}

    // The catalogue of the backends installed on this machine, built on first use and shared.
    static std::shared_ptr<const VoiceCatalogue> Installed();

    int Count() const { return static_cast<int>(modes_.size()); }
    // nullptr when `index` names no mode (0 included).
    const VoiceMode *Mode(int index) const;
    // Index of the first mode whose speaker name is exactly `speaker`; 0 when there is none.
    int Find(const QString &speaker) const;
    const std::vector<VoiceMode> &Modes() const { return modes_; }

private:
    std::vector<VoiceMode> modes_;
};

} // namespace speech
