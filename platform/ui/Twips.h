// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QScreen;
class QWidget;

namespace ui
{

// Twips (1/1440 inch) against pixels. The factors come from the screen's logical resolution,
// horizontally and vertically apart: 15 only at 96 dpi, never assumed. Conversions to pixels
// round to the nearest pixel, ties to even.
class Twips
{
  public:
    // Twips per pixel of the widget's screen (the primary screen when the widget is null or not
    // yet on a screen; 15 when there is no screen at all).
    static double PerPixelX(const QWidget *widget = nullptr);
    static double PerPixelY(const QWidget *widget = nullptr);
    static double PerPixelX(const QScreen *screen);
    static double PerPixelY(const QScreen *screen);

    static int ToPixelsX(double twips, const QWidget *widget = nullptr);
    static int ToPixelsY(double twips, const QWidget *widget = nullptr);
    static double FromPixelsX(int pixels, const QWidget *widget = nullptr);
    static double FromPixelsY(int pixels, const QWidget *widget = nullptr);
};

} // namespace ui
