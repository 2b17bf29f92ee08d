// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

namespace skingen
{

// Writes Windows bitmap files (BITMAPFILEHEADER + BITMAPINFOHEADER, bottom-up rows).
class BmpFile
{
  public:
    // 24 bits per pixel, uncompressed, rows padded to four bytes.
    static QByteArray Encode24(const QImage &image);

    // 8 bits per pixel with BI_RLE8 compression. `indexed` must be Format_Indexed8 with at most
    // 256 colours in its colour table; the table becomes the file's palette.
    static QByteArray EncodeRle8(const QImage &indexed);
};

} // namespace skingen
