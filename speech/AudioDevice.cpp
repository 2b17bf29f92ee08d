// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/AudioDevice.h"

namespace speech {

AudioDevice::~AudioDevice() = default;

} // namespace speech
