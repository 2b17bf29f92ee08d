// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/PictureBox.h"

namespace skin
{

PictureBox::PictureBox(const QImage &picture)
{
    SetPicture(picture);
}

void PictureBox::SetPicture(std::shared_ptr<gdi::Bitmap> picture)
{
    picture_ = std::move(picture);
    Rebuild();
}

void PictureBox::SetPicture(const QImage &picture)
{
    SetPicture(picture.isNull() ? nullptr : std::make_shared<gdi::Bitmap>(picture));
}

void PictureBox::SetClientSize(const QSize &size)
{
    fixedSize_ = size;
    Rebuild();
}

QSize PictureBox::ClientSize() const
{
    if (fixedSize_.isValid() && !fixedSize_.isEmpty())
        return fixedSize_;
    return picture_ ? QSize(picture_->Width(), picture_->Height()) : QSize();
}

void PictureBox::SetBackColor(gdi::Colour colour)
{
    backColour_ = colour;
    Rebuild();
}

QImage PictureBox::Image() const
{
    return image_.Image();
}

gdi::Dc *PictureBox::hDC()
{
    return &dc_;
}

// The persistent drawing restarts from the back colour with the picture at the top-left corner.
void PictureBox::Rebuild()
{
    dc_.SelectObject(static_cast<gdi::Bitmap *>(nullptr));
    const QSize size = ClientSize();
    image_ = size.isEmpty() ? gdi::Bitmap()
                            : gdi::Bitmap(size.width(), size.height(), 24, gdi::TranslateColour(backColour_));
    if (image_.IsNull())
        return;
    dc_.SelectObject(&image_);
    if (picture_ && !picture_->IsNull()) {
        gdi::Dc source;
        source.SelectObject(picture_.get());
        dc_.BitBlt(0, 0, picture_->Width(), picture_->Height(), &source, 0, 0, gdi::SRCCOPY);
        source.SelectObject(static_cast<gdi::Bitmap *>(nullptr));
    }
}

} // namespace skin
