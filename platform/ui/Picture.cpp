// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/Picture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

namespace ui
{

namespace
{
// Larger pictures than this are refused rather than decoded (a damaged file can claim any size).
constexpr int MaxPictureSide = 16384;

bool Acceptable(const QImage &image)
{
    return !image.isNull() && image.width() <= MaxPictureSide && image.height() <= MaxPictureSide;
}
} // namespace

Picture Picture::FromBitmap(const QImage &image)
{
    Picture p;
    p.type_ = Bitmap;
    p.image_ = image;
    return p;
}

Picture Picture::FromIcon(const QImage &image)
{
    Picture p;
    p.type_ = Icon;
    p.image_ = image.convertToFormat(QImage::Format_ARGB32);
    return p;
}

Picture Picture::Load(const QString &fileName, QString *error)
{
    QImageReader reader(fileName);
    const QSize size = reader.size();
    if (size.width() > MaxPictureSide || size.height() > MaxPictureSide) {
        if (error)
            *error = QStringLiteral("The picture is too large.");
        return {};
    }
    const QImage image = reader.read();
    if (!Acceptable(image)) {
        if (error)
            *error = reader.errorString();
        return {};
    }
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const bool icon = suffix == QLatin1String("ico") || suffix == QLatin1String("cur") ||
                      reader.format() == "ico" || reader.format() == "cur";
    return icon ? FromIcon(image) : FromBitmap(image);
}

QByteArray Picture::Encode() const
{
    if (image_.isNull())
        return {};
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    const bool ico = type_ == Icon && QImageWriter::supportedImageFormats().contains("ico");
    // ICO holds at most 256x256; bigger icons fall back to PNG, which decodes the same way.
    const bool fits = image_.width() <= 256 && image_.height() <= 256;
    if (!(ico && fits && image_.save(&buffer, "ICO"))) {
        data.clear();
        buffer.seek(0);
        image_.save(&buffer, "PNG");
    }
    return data;
}

Picture Picture::Decode(PictureType type, const QByteArray &data)
{
    if (data.isEmpty() || (type != Bitmap && type != Icon && type != Metafile))
        return {};
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.width() > MaxPictureSide || size.height() > MaxPictureSide)
        return {};
    const QImage image = reader.read();
    if (!Acceptable(image))
        return {};
    return type == Icon ? FromIcon(image) : FromBitmap(image);
}

bool Picture::operator==(const Picture &other) const
{
    return Type() == other.Type() && image_ == other.image_;
}

} // namespace ui
