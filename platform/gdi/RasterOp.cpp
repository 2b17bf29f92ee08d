// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/RasterOp.h"

#include <cstring>

namespace gdi
{

void RopRow(std::uint8_t t, QRgb *dst, const QRgb *src, const QRgb *pat, int count)
{
    if (count <= 0)
        return;
    // Fast path with the same result as the generic evaluation: a plain source copy.
    if (t == 0xCC && src) {
        if (dst != src)
            std::memmove(dst, src, std::size_t(count) * sizeof(QRgb));
        for (int i = 0; i < count; ++i)
            dst[i] |= 0xFF000000u;
        return;
    }
    // The eight minterms of the truth table as all-ones/all-zero masks, computed once per row.
    std::uint32_t m[8];
    for (int i = 0; i < 8; ++i)
        m[i] = (t & (1u << i)) ? 0xFFFFFFFFu : 0u;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t p = pat ? pat[i] : 0u;
        const std::uint32_t s = src ? src[i] : 0u;
        const std::uint32_t d = dst[i];
        const std::uint32_t np = ~p, ns = ~s, nd = ~d;
        const std::uint32_t r = (m[0] & np & ns & nd) | (m[1] & np & ns & d) | (m[2] & np & s & nd) |
                                (m[3] & np & s & d) | (m[4] & p & ns & nd) | (m[5] & p & ns & d) |
                                (m[6] & p & s & nd) | (m[7] & p & s & d);
        dst[i] = 0xFF000000u | (r & 0x00FFFFFFu);
    }
}

} // namespace gdi
