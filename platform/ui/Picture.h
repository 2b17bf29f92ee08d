// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace ui
{

// A picture property value: an image that knows whether it is a bitmap or an icon (icons keep
// their transparency and are drawn with DrawIconEx-style calls; bitmaps are blitted).
class Picture
{
  public:
    enum PictureType { None = 0, Bitmap = 1, Metafile = 2, Icon = 3 };

    Picture() = default;
    static Picture FromBitmap(const QImage &image);
    static Picture FromIcon(const QImage &image);
    // Reads a picture file: .ico/.cur become icons, every other readable image a bitmap.
    // A null picture (with *error set) when the file cannot be read.
    static Picture Load(const QString &fileName, QString *error = nullptr);

    PictureType Type() const { return image_.isNull() ? None : type_; }
    bool IsNull() const { return image_.isNull(); }
    const QImage &Image() const { return image_; }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }

    // Serialised form: PNG data for bitmaps, ICO data for icons (PNG where no ICO writer exists).
    QByteArray Encode() const;
    // The reverse; the format is detected from the data. A null picture when the data is bad.
    static Picture Decode(PictureType type, const QByteArray &data);

    bool operator==(const Picture &other) const;

  private:
    PictureType type_ = None;
    QImage image_;
};

} // namespace ui
