// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace tools
{

// The product picture of the About window: a speaker in the studio's colours sending sound
// waves over the bars of its level display. Drawn without antialiasing and with stepped
// gradients, so it keeps to a small palette that a GIF holds exactly.
class AboutPicture
{
  public:
    static constexpr int Size = 96;
    static QImage Draw();
};

} // namespace tools
