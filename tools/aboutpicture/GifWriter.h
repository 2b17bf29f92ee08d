// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

#include <optional>

namespace tools
{

// Writes an image with at most 256 distinct colours as a GIF89a file: one global colour table,
// one LZW-compressed frame. Qt reads GIF but cannot write it, and the About picture is embedded
// as a GIF.
class GifWriter
{
  public:
    // nullopt when the image is null or has more than 256 colours (alpha is ignored).
    static std::optional<QByteArray> Encode(const QImage &image);
};

} // namespace tools
