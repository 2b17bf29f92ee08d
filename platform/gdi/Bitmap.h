// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <cstdint>

namespace gdi
{

// The 24-byte description of a bitmap (the BITMAP record). bmBits is 0 for every bitmap here:
// they behave as device-dependent bitmaps whose bits are reached through a Dc, not a pointer.
struct BITMAP {
    std::int32_t bmType = 0;
    std::int32_t bmWidth = 0;
    std::int32_t bmHeight = 0;
    std::int32_t bmWidthBytes = 0; // bytes per scan line, rounded up to a 16-bit word
    std::uint16_t bmPlanes = 0;
    std::uint16_t bmBitsPixel = 0;
    std::uint32_t bmBits = 0;
};

// A bitmap: a shared QImage plus its description. The pixels are always kept as
// QImage::Format_RGB32 so every drawing call and raster operation works on one layout; the
// description keeps the colour depth the bitmap was made with (1, 8, 16, 24 or 32 bits per pixel)
// so an 8-bit indexed bitmap still reports 8.
//
// A Bitmap* is the program's bitmap handle; nullptr stands for 0. Whoever creates a Bitmap owns
// it; selecting it into a Dc does not transfer ownership (delete it only after selecting it out).
// A monochrome bitmap (depth 1) holds only black and white; blits into and out of it convert
// colours the way the old platform did (see Dc::BitBlt).
class Bitmap
{
  public:
    Bitmap() = default;                   // null bitmap (0 x 0)
    explicit Bitmap(const QImage &image); // depth from the image: indexed/grey 8 -> 8, mono -> 1,
                                          // with alpha -> 32, 16-bit -> 16, otherwise 24
    Bitmap(const QImage &image, int bitsPerPixel);
    Bitmap(int width, int height, int bitsPerPixel = 24, std::uint32_t fill = 0); // fill is 0x00BBGGRR

    // CreateCompatibleBitmap of a screen DC is Bitmap(width, height) (24 bits, black); a
    // monochrome bitmap is Bitmap(width, height, 1).

    bool IsNull() const { return image_.isNull(); }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    int BitsPerPixel() const { return bitsPerPixel_; }
    bool IsMonochrome() const { return bitsPerPixel_ == 1; }

    // GetObjectA: the description. All fields are 0 for a null bitmap.
    BITMAP Description() const;

    // The pixels (Format_RGB32, alpha byte 0xFF). Image() is a cheap shared copy; Pixels() is the
    // live image that Dc draws into.
    QImage Image() const { return image_; }
    QImage &Pixels() { return image_; }

    // A standalone deep copy (CopyImage), optionally scaled (nearest pixel) to width x height.
    Bitmap Copy(int width = 0, int height = 0) const;

  private:
    QImage image_;
    int bitsPerPixel_ = 0;
};

} // namespace gdi
