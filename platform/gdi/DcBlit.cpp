// SPDX-License-Identifier: GPL-3.0-or-later
// Block transfers of the device context: the mapping of both axes (stretching, mirroring,
// clipping), depth conversion, patterns and the raster operation over each row.
#include "platform/gdi/Dc.h"

#include "platform/gdi/DcPixels.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace gdi
{

using detail::kBlack;
using detail::kWhite;
using detail::ToMonochrome;

namespace
{

// One axis of a blit: for each destination index (after normalising negative extents), the
// range [first, last) of source indices that feed it.
struct AxisMap {
    int dstStart = 0;       // first destination pixel (absolute)
    bool unit = false;      // one source pixel per destination pixel, same order
    std::vector<int> first; // absolute source indices
    std::vector<int> last;
};

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) // b > 0
{
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// dst/dstExtent and src/srcExtent as given by the caller (extents may be negative). Only the
// destination pixels within [clipLo, clipHi) are mapped, so absurd extents cost nothing.
bool MapAxis(int dst, int dstExtent, int src, int srcExtent, bool combine, int clipLo, int clipHi,
             AxisMap &map)
{
    if (dstExtent == 0 || srcExtent == 0)
        return false;
    // A negative extent runs backwards from the origin pixel, which stays included.
    const bool dstBack = dstExtent < 0, srcBack = srcExtent < 0;
    const std::int64_t dw = std::llabs(std::int64_t(dstExtent)), sw = std::llabs(std::int64_t(srcExtent));
    const std::int64_t dstLow = dstBack ? std::int64_t(dst) + dstExtent + 1 : dst;
    const std::int64_t srcLow = srcBack ? std::int64_t(src) + srcExtent + 1 : src;
    const bool mirror = dstBack != srcBack;
    const std::int64_t from = std::max<std::int64_t>(dstLow, clipLo);
    const std::int64_t to = std::min<std::int64_t>(dstLow + dw, clipHi);
    if (from >= to)
        return false;
    map.dstStart = int(from);
    map.unit = dw == sw && !mirror;
    map.first.resize(std::size_t(to - from));
    map.last.resize(std::size_t(to - from));
    // Source indices far outside any bitmap are all alike: clamp them so they fit an int.
    auto clampIndex = [](std::int64_t v) { return int(std::clamp<std::int64_t>(v, -1, INT32_MAX / 2)); };
    for (std::int64_t abs = from; abs < to; ++abs) {
        const std::int64_t di = abs - dstLow;
        const std::int64_t d = mirror ? dw - 1 - di : di;
        std::int64_t j0, j1;
        if (sw > dw && combine) {
            // Shrinking with a combining mode: every source index belongs to the destination
            // index whose span holds its centre, floor((2j + 1) * dw / (2 * sw)) == d.
            j0 = CeilDiv(2 * d * sw - dw, 2 * dw);
            j1 = CeilDiv(2 * (d + 1) * sw - dw, 2 * dw);
        } else {
            // Nearest pixel: the source index under the destination pixel's centre.
            j0 = ((2 * d + 1) * sw) / (2 * dw);
            j1 = j0 + 1;
        }
        map.first[std::size_t(abs - from)] = clampIndex(srcLow + j0);
        map.last[std::size_t(abs - from)] = clampIndex(srcLow + j1);
    }
    return true;
}

// Destination index range [lo, hi) whose sources all lie within [0, size).
std::pair<int, int> ValidRange(const AxisMap &map, int size)
{
    const int n = int(map.first.size());
    int lo = 0;
    while (lo < n && (map.first[std::size_t(lo)] < 0 || map.last[std::size_t(lo)] > size))
        ++lo;
    int hi = lo;
    while (hi < n && map.first[std::size_t(hi)] >= 0 && map.last[std::size_t(hi)] <= size)
        ++hi;
    return {map.dstStart + lo, map.dstStart + hi};
}

QRgb Combine(int mode, const QImage &image, int x0, int x1, int y0, int y1)
{
    if (x1 - x0 == 1 && y1 - y0 == 1)
        return reinterpret_cast<const QRgb *>(image.constScanLine(y0))[x0];
    if (mode == HALFTONE) {
        std::uint64_t r = 0, g = 0, b = 0, n = 0;
        for (int y = y0; y < y1; ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = x0; x < x1; ++x, ++n) {
                r += qRed(row[x]);
                g += qGreen(row[x]);
                b += qBlue(row[x]);
            }
        }
        return qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
    }
    const bool useOr = mode == WHITEONBLACK;
    QRgb acc = useOr ? kBlack : kWhite;
    for (int y = y0; y < y1; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = x0; x < x1; ++x)
            acc = useOr ? (acc | row[x]) : (acc & row[x]);
    }
    return acc | kBlack;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Block transfers

bool Dc::BitBlt(int x, int y, int width, int height, const Dc *src, int srcX, int srcY, std::uint32_t rop)
{
    return Blit({x, y, width, height}, src, srcX, srcY, width, height, rop, false);
}

bool Dc::StretchBlt(int x, int y, int width, int height, const Dc *src, int srcX, int srcY, int srcWidth,
                    int srcHeight, std::uint32_t rop)
{
    return Blit({x, y, width, height}, src, srcX, srcY, srcWidth, srcHeight, rop, true);
}

bool Dc::PatBlt(int x, int y, int width, int height, std::uint32_t rop)
{
    const std::uint8_t t = RopTruthTable(rop);
    if (RopUsesSource(t))
        return false;
    return Blit({x, y, width, height}, nullptr, 0, 0, width, height, rop, false);
}

// What a blit has worked out before it touches a pixel.
struct Dc::BlitPlan {
    std::uint8_t truthTable = 0;
    bool useSource = false;
    bool usePattern = false;
    const QImage *source = nullptr; // where source pixels are read (a snapshot when overlapping)
    int offX = 0, offY = 0;         // where the snapshot sits in the source surface
    AxisMap xs, ys;
    QRegion visible;
    QImage snapshot;
};

// The colours a blit draws with: the source converted between depths and the brush's pattern.
struct Dc::BlitInk {
    BlitInk(const Dc &dst, const Dc *src, bool useSource)
        : srcMono(useSource && src->IsMonochrome()), dstMono(dst.IsMonochrome()),
          fore(ToQRgb(TranslateColour(dst.textColour_))), back(ToQRgb(TranslateColour(dst.bkColour_))),
          srcBack(useSource ? ToQRgb(TranslateColour(src->bkColour_)) : 0), brush(dst.brush_),
          patternImage(brush.PatternImage()),
          patterned(brush.Style() == BS_PATTERN && !patternImage.isNull()),
          solid(ToQRgb(TranslateColour(brush.Color())))
    {
        if (dstMono)
            solid = ToMonochrome(solid);
    }

    QRgb Source(QRgb v) const
    {
        v |= kBlack;
        if (srcMono && !dstMono)
            return (v & 0xFFFFFFu) ? back : fore;
        if (!srcMono && dstMono)
            return ((v & 0xFFFFFFu) == (srcBack & 0xFFFFFFu)) ? kWhite : kBlack;
        return v;
    }

    // The pattern at device pixel (x, y).
    QRgb PatternAt(int x, int y) const
    {
        if (!patterned)
            return solid;
        const int pw = patternImage.width(), ph = patternImage.height();
        const int px = ((x % pw) + pw) % pw, py = ((y % ph) + ph) % ph;
        QRgb v = reinterpret_cast<const QRgb *>(patternImage.constScanLine(py))[px] | kBlack;
        if (brush.PatternIsMonochrome() && !dstMono)
            v = (v & 0xFFFFFFu) ? back : fore;
        else if (dstMono)
            v = ToMonochrome(v);
        return v;
    }

    const bool srcMono, dstMono;
    const QRgb fore, back, srcBack;
    const Brush &brush;
    const QImage &patternImage;
    const bool patterned;
    QRgb solid;
};

// The one raster-operation path. `dst` carries x, y, width, height in left/top/right/bottom.
bool Dc::Blit(const Rect &dst, const Dc *src, int sx, int sy, int sw, int sh, std::uint32_t rop, bool stretch)
{
    QImage *target = Target();
    if (!target)
        return false;
    BlitPlan plan;
    switch (PlanBlit(*target, dst, src, sx, sy, sw, sh, rop, stretch, plan)) {
    case BlitStep::Refused:
        return false;
    case BlitStep::Nothing:
        return true;
    case BlitStep::Draw:
        break;
    }
    if (plan.useSource && plan.source == target)
        SnapshotOverlap(*target, plan);
    BlitRows(*target, plan, BlitInk(*this, src, plan.useSource));
    Changed(plan.visible.boundingRect());
    return true;
}

// Checks the operands and maps both axes; the plan then holds the visible destination pixels.
Dc::BlitStep Dc::PlanBlit(const QImage &target, const Rect &dst, const Dc *src, int sx, int sy, int sw,
                          int sh, std::uint32_t rop, bool stretch, BlitPlan &plan) const
{
    plan.truthTable = RopTruthTable(rop);
    plan.useSource = RopUsesSource(plan.truthTable);
    plan.usePattern = RopUsesPattern(plan.truthTable);
    if (plan.useSource) {
        plan.source = src ? src->Target() : nullptr;
        if (!plan.source)
            return BlitStep::Refused;
    } else {
        sw = dst.right;
        sh = dst.bottom;
    }
    if (plan.usePattern && brush_.IsNull())
        return BlitStep::Nothing; // a hollow brush paints nothing

    // Extents beyond any real surface are refused rather than risk overflowing the mapping.
    constexpr int kMaxExtent = 1 << 28;
    for (int extent : {dst.right, dst.bottom, sw, sh})
        if (extent > kMaxExtent || extent < -kMaxExtent)
            return BlitStep::Refused;
    const bool combine = stretch && stretchMode_ != COLORONCOLOR;
    if (!MapAxis(dst.left, dst.right, plan.useSource ? sx : dst.left, sw, combine, 0, target.width(),
                 plan.xs) ||
        !MapAxis(dst.top, dst.bottom, plan.useSource ? sy : dst.top, sh, combine, 0, target.height(),
                 plan.ys))
        return BlitStep::Nothing;

    QRect area(plan.xs.dstStart, plan.ys.dstStart, int(plan.xs.first.size()), int(plan.ys.first.size()));
    if (plan.useSource) {
        const auto [x0, x1] = ValidRange(plan.xs, plan.source->width());
        const auto [y0, y1] = ValidRange(plan.ys, plan.source->height());
        area = area.intersected(QRect(x0, y0, x1 - x0, y1 - y0));
    }
    plan.visible = Visible(area);
    return plan.visible.isEmpty() ? BlitStep::Nothing : BlitStep::Draw;
}

// Copying within one surface reads from a snapshot of the source rectangle, so nothing the blit
// writes can feed back into what it reads.
void Dc::SnapshotOverlap(const QImage &target, BlitPlan &plan)
{
    const AxisMap &xs = plan.xs, &ys = plan.ys;
    const QRect vb = plan.visible.boundingRect();
    const int i0 = vb.left() - xs.dstStart, i1 = vb.right() - xs.dstStart;
    const int k0 = vb.top() - ys.dstStart, k1 = vb.bottom() - ys.dstStart;
    int cx0 = INT32_MAX, cx1 = INT32_MIN, cy0 = INT32_MAX, cy1 = INT32_MIN;
    for (int i = i0; i <= i1; ++i) {
        cx0 = std::min(cx0, xs.first[std::size_t(i)]);
        cx1 = std::max(cx1, xs.last[std::size_t(i)]);
    }
    for (int k = k0; k <= k1; ++k) {
        cy0 = std::min(cy0, ys.first[std::size_t(k)]);
        cy1 = std::max(cy1, ys.last[std::size_t(k)]);
    }
    plan.snapshot = target.copy(cx0, cy0, cx1 - cx0, cy1 - cy0);
    plan.offX = cx0;
    plan.offY = cy0;
    plan.source = &plan.snapshot;
}

// Runs the raster operation over every visible row, one row of source and pattern at a time.
void Dc::BlitRows(QImage &target, const BlitPlan &plan, const BlitInk &ink) const
{
    const AxisMap &xs = plan.xs, &ys = plan.ys;
    const QImage *source = plan.source;
    const int offX = plan.offX, offY = plan.offY;
    const bool useSource = plan.useSource, usePattern = plan.usePattern;
    const bool direct = xs.unit && !ink.srcMono && !ink.dstMono;
    std::vector<QRgb> srcRow, patRow;
    for (const QRect &r : plan.visible) {
        const int n = r.width();
        srcRow.resize(std::size_t(n));
        patRow.resize(std::size_t(n));
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const int k = y - ys.dstStart;
            const QRgb *srcPixels = srcRow.data();
            if (useSource && direct && ys.last[std::size_t(k)] - ys.first[std::size_t(k)] == 1) {
                // Same depth, one-to-one columns: read the source scan line in place.
                srcPixels =
                    reinterpret_cast<const QRgb *>(source->constScanLine(ys.first[std::size_t(k)] - offY)) +
                    (xs.first[std::size_t(r.left() - xs.dstStart)] - offX);
            } else if (useSource) {
                const int y0 = ys.first[std::size_t(k)] - offY, y1 = ys.last[std::size_t(k)] - offY;
                for (int i = 0; i < n; ++i) {
                    const int c = r.left() + i - xs.dstStart;
                    const int x0 = xs.first[std::size_t(c)] - offX, x1 = xs.last[std::size_t(c)] - offX;
                    srcRow[std::size_t(i)] = ink.Source(Combine(stretchMode_, *source, x0, x1, y0, y1));
                }
            }
            if (usePattern && (ink.patterned || y == r.top()))
                for (int i = 0; i < n; ++i)
                    patRow[std::size_t(i)] = ink.PatternAt(r.left() + i, y);
            QRgb *out = reinterpret_cast<QRgb *>(target.scanLine(y)) + r.left();
            RopRow(plan.truthTable, out, useSource ? srcPixels : nullptr,
                   usePattern ? patRow.data() : nullptr, n);
            if (ink.dstMono)
                for (int i = 0; i < n; ++i)
                    out[i] = ToMonochrome(out[i]);
        }
    }
}

bool Dc::FillRegionWith(const QRegion &region, const Brush &brush, std::uint8_t rop)
{
    if (!Target())
        return false;
    const Brush saved = std::exchange(brush_, brush);
    const std::optional<Region> savedClip = clip_;
    // Clip to the region as well as to the DC's own clip, then pattern-blit its bounding box.
    QRegion clip = region;
    if (clip_)
        clip = clip.intersected(clip_->ToQRegion());
    clip_ = Region(clip);
    const QRect box = region.boundingRect();
    bool ok = true;
    if (!box.isEmpty())
        ok = Blit({box.left(), box.top(), box.width(), box.height()}, nullptr, 0, 0, box.width(),
                  box.height(), std::uint32_t(rop) << 16, false);
    clip_ = savedClip;
    brush_ = saved;
    return ok;
}
} // namespace gdi
