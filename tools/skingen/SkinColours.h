// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QRgb>

#include <cstdint>

namespace skingen
{

// The studio's own colours (given as 0x00BBGGRR like everywhere else in the program) and the
// skin's palette derived from them, in one place so every bitmap family agrees.
namespace colours
{

QColor FromBgr(std::uint32_t bbggrr);

inline constexpr std::uint32_t kWindowBgr = 0x999999;       // window background, neutral grey
inline constexpr std::uint32_t kBrickPanelBgr = 0x50579C;   // warm brick / rose panels
inline constexpr std::uint32_t kSagePanelBgr = 0x898F8B;    // grey-green panels
inline constexpr std::uint32_t kAmberDisplayBgr = 0x60B0EC; // level display amber

// The progress fill strip's transparent key colour (magenta); pixel (1, 1) of each strip.
inline constexpr QRgb kProgressKey = 0xFFFF00FFu;

QColor Window();
QColor Brick();
QColor Sage();
QColor Amber();

// Frame material: dark brushed brick with an amber pinstripe around the client area.
QColor FrameOutline();
QColor FrameHighlight();
QColor FrameShadow();
QColor FrameBodyOuter();
QColor FrameBodyInner();
QColor FrameGroove();
QColor FramePinstripe();

// The close button's face: the brick pushed towards a clear warning red.
QColor CloseRed();

// Recessed channel of the slider track and the progress trough.
QColor ChannelDark();
QColor ChannelMid();
QColor ChannelLight();

} // namespace colours

// Straight blend: t = 0 gives a, t = 1 gives b.
QColor Mix(const QColor &a, const QColor &b, double t);
// Moves a colour towards white (amount > 0) or black (amount < 0) by |amount| (0..1).
QColor Shade(const QColor &c, double amount);
// Deterministic pseudo-random value in [-1, 1] for texture: same inputs, same value.
double Noise(int a, int b = 0, int seed = 0);
double SmoothStep(double t);

} // namespace skingen
