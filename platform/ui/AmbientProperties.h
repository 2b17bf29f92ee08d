// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/StdFont.h"

#include <QString>

#include <cstdint>

namespace ui
{

// What the host (the form or designer a control sits on) tells its controls. UserMode false is
// design time: controls show their design-time messages then.
struct AmbientProperties {
    bool UserMode = true;
    QString DisplayName;
    std::uint32_t BackColor = 0x8000000Fu; // button face
    std::uint32_t ForeColor = 0x80000012u; // button text
    StdFont Font;
    bool DisplayAsDefault = false;

    bool operator==(const AmbientProperties &other) const = default;
};

} // namespace ui
