// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/ClsPictureDC.h"

#include "skin/Failure.h"
#include "skin/PictureBox.h"

namespace skin
{

ClsPictureDC::ClsPictureDC() = default;

ClsPictureDC::~ClsPictureDC()
{
    Release();
}

// Puts the DC's original bitmap back and lets the DC go; the bitmap itself stays with its owner.
void ClsPictureDC::Release()
{
    if (dc_ && current_)
        dc_->SelectObject(previous_);
    dc_.reset();
}

void ClsPictureDC::SetStdBitmap(gdi::Bitmap *bitmap)
{
    Release();
    // A memory DC compatible with the screen; every screen DC here is the same kind.
    dc_ = std::make_unique<gdi::Dc>();
    current_ = bitmap;
    previous_ = dc_->SelectObject(bitmap);
    if (bitmap && !bitmap->IsNull())
        description_ = bitmap->Description();
    if (held_.get() != bitmap)
        held_.reset();
}

void ClsPictureDC::SetPictBitmap(PictureBox &box)
{
    // The standalone copy of what the box shows is made in memory: the program folder may be
    // read-only, and no temporary file is needed for a copy.
    const QImage image = box.Image();
    if (image.isNull())
        throw Failure(Failure::InvalidPicture, QStringLiteral("Invalid picture"));
    auto copy = std::make_shared<gdi::Bitmap>(image.copy(), 24);
    if (copy->IsNull())
        throw Failure(Failure::OutOfMemory, QStringLiteral("Out of memory"));
    box.SetPicture(copy);
    transColor_ = box.hDC()->GetPixel(1, 1);
    held_ = copy;
    SetStdBitmap(copy.get());
}

} // namespace skin
