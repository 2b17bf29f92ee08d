// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QList>
#include <QRgb>

namespace skingen
{

// Reduces an opaque picture to an 8-bit palette picture for the run-length coded bitmaps.
class PaletteQuantiser
{
  public:
    // Colours listed in `exact` keep their own palette entry and only pixels of exactly that
    // colour map to it (a transparent key must neither bleed into nor absorb other pixels).
    // Pictures with at most 256 distinct colours come out unchanged; larger ones are reduced
    // by median cut, each pixel taking the nearest palette colour (no dithering, so runs stay
    // long and edges crisp).
    static QImage Quantise(const QImage &image, const QList<QRgb> &exact = {});
};

} // namespace skingen
