// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Bitmap.h"

#include "platform/gdi/Colour.h"

namespace gdi
{
namespace
{

int DepthOf(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_Invalid:
        return 0;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8:
        return 8;
    case QImage::Format_RGB16:
    case QImage::Format_RGB555:
    case QImage::Format_RGB444:
        return 16;
    default:
        return image.hasAlphaChannel() ? 32 : 24;
    }
}

// Every bitmap keeps its pixels as opaque RGB32 so the raster operations see one layout.
QImage Normalised(const QImage &image, bool monochrome)
{
    if (image.isNull())
        return {};
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    if (monochrome) {
        // A 1-bit bitmap holds only black and white: anything not black is white.
        for (int y = 0; y < out.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x)
                row[x] = (row[x] & 0xFFFFFFu) ? 0xFFFFFFFFu : 0xFF000000u;
        }
    }
    return out;
}

} // namespace

Bitmap::Bitmap(const QImage &image) : Bitmap(image, DepthOf(image)) {}

Bitmap::Bitmap(const QImage &image, int bitsPerPixel)
    : image_(Normalised(image, bitsPerPixel == 1)), bitsPerPixel_(image_.isNull() ? 0 : bitsPerPixel)
{
}

Bitmap::Bitmap(int width, int height, int bitsPerPixel, std::uint32_t fill)
{
    if (width <= 0 || height <= 0)
        return;
    image_ = QImage(width, height, QImage::Format_RGB32);
    if (image_.isNull()) // allocation refused (absurd size): stay a null bitmap
        return;
    QRgb value = ToQRgb(fill & 0xFFFFFFu);
    if (bitsPerPixel == 1)
        value = (value & 0xFFFFFFu) ? 0xFFFFFFFFu : 0xFF000000u;
    image_.fill(value);
    bitsPerPixel_ = bitsPerPixel;
}

BITMAP Bitmap::Description() const
{
    BITMAP bm;
    if (image_.isNull())
        return bm;
    bm.bmType = 0;
    bm.bmWidth = image_.width();
    bm.bmHeight = image_.height();
    bm.bmWidthBytes = ((image_.width() * bitsPerPixel_ + 15) / 16) * 2;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = std::uint16_t(bitsPerPixel_);
    bm.bmBits = 0;
    return bm;
}

Bitmap Bitmap::Copy(int width, int height) const
{
    Bitmap copy;
    if (image_.isNull())
        return copy;
    if (width <= 0)
        width = image_.width();
    if (height <= 0)
        height = image_.height();
    copy.image_ = (width == image_.width() && height == image_.height())
                      ? image_.copy()
                      : image_.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    copy.bitsPerPixel_ = copy.image_.isNull() ? 0 : bitsPerPixel_;
    return copy;
}

} // namespace gdi
