// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Colour.h"
#include "platform/gdi/Dc.h"

#include <QImage>
#include <QSize>
#include <memory>

namespace skin
{

// The picture box of a host window as the picture device context sees it (no widget): a picture
// (a bitmap the box owns) and the box's persistent drawing, its "image": the back colour, the
// picture at the top-left corner and whatever was drawn through hDC() afterwards.
//
// Pictures are shared: a ClsPictureDC that selected a copy made by PictBitmap keeps that copy
// alive even after the box has been given another picture.
class PictureBox
{
  public:
    PictureBox() = default;
    explicit PictureBox(const QImage &picture);

    // A new picture; the persistent drawing restarts from it. Unless SetClientSize was called the
    // box takes the picture's size (the picture box's AutoSize).
    void SetPicture(std::shared_ptr<gdi::Bitmap> picture);
    void SetPicture(const QImage &picture);
    std::shared_ptr<gdi::Bitmap> Picture() const { return picture_; }

    // Fixed client size (pixels); an empty size returns to following the picture.
    void SetClientSize(const QSize &size);
    QSize ClientSize() const;
    void SetBackColor(gdi::Colour colour);
    gdi::Colour BackColor() const { return backColour_; }

    // The persistent drawing (what the box shows) and a DC that draws into it.
    QImage Image() const;
    gdi::Dc *hDC();

  private:
    void Rebuild();

    std::shared_ptr<gdi::Bitmap> picture_;
    QSize fixedSize_;
    gdi::Colour backColour_ = 0x8000000F; // button face, like a fresh picture box
    gdi::Bitmap image_;
    gdi::Dc dc_;
};

} // namespace skin
