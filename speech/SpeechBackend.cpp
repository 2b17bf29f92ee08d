// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpeechBackend.h"

namespace speech {

SpeechBackend::~SpeechBackend() = default;

} // namespace speech
