// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace speech {

// Status codes the engine reports through GetLastStatus. They keep the values of the COM result
// codes the studio was written against, so a caller can compare with the familiar numbers.
enum : std::uint32_t {
    S_OK = 0x00000000u,
    // The selected voice does not accept the current settings, or no voice is selected.
    E_UNEXPECTED = 0x8000FFFFu,
    // Synthesis itself failed (backend error).
    E_FAIL = 0x80004005u,
    // The wave file (or its folder) cannot be written.
    E_ACCESSDENIED = 0x80070005u,
    // A recording was started but could not be completed; the target was left untouched.
    STG_E_CANTSAVE = 0x80030103u,
    // There is no audio device to play on (no sound server, or it went away).
    AUDCLNT_E_DEVICE_INVALIDATED = 0x88890004u,
};

} // namespace speech
