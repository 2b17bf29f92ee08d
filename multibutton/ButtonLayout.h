// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "multibutton/ButtonCodes.h"
#include "platform/gdi/Rect.h"

#include <QSize>

#include <optional>

// Where the multi-style button puts its caption and picture: pure functions of the button's size,
// outline and property values, shared by drawing, the widget and the tests.
namespace multibutton::layout
{

struct Input {
    int width = 0, height = 0;
    Shape shape = Shape::Rectangle;
    int leftSlantInset = 0; // x of the bottom-left corner of a slanted left edge
    int rightSlantEdge = 0; // x of the top-right corner of a slanted right edge (0: the width)
    CaptionAlign captionAlign = CaptionAlign::Centre;
    bool shadowedCaption = false; // embossed or engraved: the text takes two pixels more each way
    PictureAlign pictureAlign = PictureAlign::LeftEdge;
    int pictureSizeCode = 16; // 16, 24, 32 (square), 40 (stretched) or 48 (fitted); 0 means 16
    bool hasPicture = false;
    QSize picture; // the picture's natural size
};

struct Result {
    gdi::Rect caption;
    gdi::Rect picture;
};

// The box the caption's text is measured in (word-wrapped to its width).
QSize TextBox(const Input &in);

// The caption and picture rectangles for a caption of the measured size `text` (none without a
// caption).
Result Place(const Input &in, std::optional<QSize> text);

// The size that fits a width x height picture into a box, keeping its aspect ratio.
QSize FitPictureSize(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight);

} // namespace multibutton::layout
