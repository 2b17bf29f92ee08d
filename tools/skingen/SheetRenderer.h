// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace skingen
{

// Review sheets for people judging the skin (text needs a QGuiApplication).
class SheetRenderer
{
  public:
    // Every bitmap as it is written, enlarged, on a checkerboard, labelled with name, size and format.
    static QImage Gallery();

    // A mock 793 x 508 studio window: tiled background, the frame assembled in the order the
    // window skin uses, caption buttons, a slider, a progress bar and the buttons.
    static QImage Preview();
};

} // namespace skingen
