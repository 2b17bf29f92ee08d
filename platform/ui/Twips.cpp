// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/Twips.h"

#include "platform/gdi/Rounding.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace ui
{

namespace
{
constexpr double TwipsPerInch = 1440.0;
constexpr double FallbackTwipsPerPixel = 15.0;

const QScreen *ScreenOf(const QWidget *widget)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return nullptr;
    if (widget && widget->screen())
        return widget->screen();
    return QGuiApplication::primaryScreen();
}

double Factor(double dpi)
{
    return dpi > 0 ? TwipsPerInch / dpi : FallbackTwipsPerPixel;
}

} // namespace

double Twips::PerPixelX(const QScreen *screen)
{
    return screen ? Factor(screen->logicalDotsPerInchX()) : FallbackTwipsPerPixel;
}

double Twips::PerPixelY(const QScreen *screen)
{
    return screen ? Factor(screen->logicalDotsPerInchY()) : FallbackTwipsPerPixel;
}

double Twips::PerPixelX(const QWidget *widget)
{
    return PerPixelX(ScreenOf(widget));
}

double Twips::PerPixelY(const QWidget *widget)
{
    return PerPixelY(ScreenOf(widget));
}

int Twips::ToPixelsX(double twips, const QWidget *widget)
{
    return gdi::RoundToInt(twips / PerPixelX(widget));
}

int Twips::ToPixelsY(double twips, const QWidget *widget)
{
    return gdi::RoundToInt(twips / PerPixelY(widget));
}

double Twips::FromPixelsX(int pixels, const QWidget *widget)
{
    return pixels * PerPixelX(widget);
}

double Twips::FromPixelsY(int pixels, const QWidget *widget)
{
    return pixels * PerPixelY(widget);
}

} // namespace ui
