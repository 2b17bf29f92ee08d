// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/skingen/SkinColours.h"

#include <algorithm>

namespace skingen
{

namespace colours
{

QColor FromBgr(std::uint32_t bbggrr)
{
    return QColor(static_cast<int>(bbggrr & 0xFF), static_cast<int>((bbggrr >> 8) & 0xFF),
                  static_cast<int>((bbggrr >> 16) & 0xFF));
}

QColor Window()
{
    return FromBgr(kWindowBgr);
}
QColor Brick()
{
    return FromBgr(kBrickPanelBgr);
}
QColor Sage()
{
    return FromBgr(kSagePanelBgr);
}
QColor Amber()
{
    return FromBgr(kAmberDisplayBgr);
}

QColor FrameOutline()
{
    return QColor(0x24, 0x15, 0x13);
}
QColor FrameHighlight()
{
    return Shade(Brick(), 0.38);
}
QColor FrameShadow()
{
    return Shade(Brick(), -0.62);
}
QColor FrameBodyOuter()
{
    return Shade(Brick(), 0.06);
}
QColor FrameBodyInner()
{
    return Shade(Brick(), -0.45);
}
QColor FrameGroove()
{
    return Shade(Brick(), -0.70);
}
QColor FramePinstripe()
{
    return Shade(Amber(), -0.12);
}

QColor CloseRed()
{
    return QColor(0xC8, 0x4E, 0x42);
}

QColor ChannelDark()
{
    return Shade(Sage(), -0.72);
}
QColor ChannelMid()
{
    return Shade(Sage(), -0.55);
}
QColor ChannelLight()
{
    return Shade(Sage(), 0.35);
}

} // namespace colours

QColor Mix(const QColor &a, const QColor &b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    auto blend = [t](int x, int y) { return static_cast<int>(x + (y - x) * t + 0.5); };
    return QColor(blend(a.red(), b.red()), blend(a.green(), b.green()), blend(a.blue(), b.blue()));
}

QColor Shade(const QColor &c, double amount)
{
    return amount >= 0 ? Mix(c, Qt::white, amount) : Mix(c, Qt::black, -amount);
}

double Noise(int a, int b, int seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(a) * 0x9E3779B1u ^
                      static_cast<std::uint32_t>(b) * 0x85EBCA77u ^
                      static_cast<std::uint32_t>(seed) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return (h & 0xFFFF) / 32767.5 - 1.0;
}

double SmoothStep(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

} // namespace skingen
