// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Colour.h"
#include "platform/gdi/Dc.h"

#include <cstdint>
#include <memory>

namespace skin
{

class PictureBox;

// One bitmap selected into a memory device context, with the bitmap's description and a
// transparent colour, so skin elements can be copied with BitBlt / StretchBlt.
//
// The context owns its DC and never deletes a bitmap: a bitmap given to StdBitmap belongs to the
// caller and must outlive its selection here. All read properties are 0 (hDC nullptr) until the
// first assignment.
class ClsPictureDC
{
  public:
    ClsPictureDC();
    ~ClsPictureDC();
    ClsPictureDC(const ClsPictureDC &) = delete;
    ClsPictureDC &operator=(const ClsPictureDC &) = delete;

    // Selects `bitmap` into a fresh memory DC (the previous DC is released, the previous bitmap
    // is only deselected) and reads its description. A null handle (or an empty bitmap) leaves
    // the description as it was.
    void SetStdBitmap(gdi::Bitmap *bitmap);

    // Turns the picture box's current image (its persistent drawing) into a standalone bitmap
    // in memory, makes it the box's picture, takes TransColor from pixel (1, 1) of the box's DC
    // and selects the copy as SetStdBitmap does. Nothing is written to disk.
    // Throws skin::Failure when the box has no image; this context is then unchanged.
    void SetPictBitmap(PictureBox &box);

    gdi::Colour TransColor() const { return transColor_; }
    void SetTransColor(gdi::Colour colour) { transColor_ = colour; }

    gdi::Dc *hDC() const { return dc_.get(); }
    std::int32_t bmType() const { return description_.bmType; }
    std::int32_t Width() const { return description_.bmWidth; }
    std::int32_t Height() const { return description_.bmHeight; }
    std::int32_t WidthBytes() const { return description_.bmWidthBytes; }
    std::int16_t Planes() const { return std::int16_t(description_.bmPlanes); }
    std::int16_t BitsPerPixel() const { return std::int16_t(description_.bmBitsPixel); }
    std::int32_t Bits() const { return std::int32_t(description_.bmBits); }

  private:
    void Release();

    std::unique_ptr<gdi::Dc> dc_;
    gdi::Bitmap *current_ = nullptr;
    gdi::Bitmap *previous_ = nullptr;
    std::shared_ptr<gdi::Bitmap> held_; // the copy made by SetPictBitmap, kept while selected
    gdi::BITMAP description_;
    gdi::Colour transColor_ = 0;
};

} // namespace skin
