// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the studio's window-definition reader: it must refuse or accept without
// crashing, and what it accepts must convert to pixels without overflow at any screen density.
#include "studio/WindowDefinition.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace
{

// The finest scale a screen gives: 1 twip a pixel (1440 dots per inch).
int ToPixels(double twips)
{
    return static_cast<int>(std::nearbyint(twips / 1.0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray json = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QString why;
    const auto definition = studio::WindowDefinition::Parse(json, &why);
    if (!definition) {
        if (why.isEmpty())
            __builtin_trap(); // a refusal always says why
        return 0;
    }
    using studio::WindowDefinition;
    const auto &form = definition->Form();
    volatile int sink = ToPixels(form.clientWidth) + ToPixels(form.clientHeight);
    for (const studio::ControlEntry &c : definition->Controls()) {
        if (!(std::fabs(c.left) <= WindowDefinition::MaxTwips &&
              std::fabs(c.top) <= WindowDefinition::MaxTwips && c.width >= 0 &&
              c.width <= WindowDefinition::MaxTwips && c.height >= 0 &&
              c.height <= WindowDefinition::MaxTwips && c.index >= -1 &&
              c.index <= WindowDefinition::MaxIndex))
            __builtin_trap();
        // The right and bottom edges are sums the window computes too.
        sink = sink + ToPixels(c.left) + ToPixels(c.width) + ToPixels(c.top) + ToPixels(c.height);
        (void)c.IndexedName();
    }
    (void)sink;
    return 0;
}
