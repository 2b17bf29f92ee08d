// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace ui
{

// Mouse capture in the old style: one widget receives every mouse event until released.
class MouseCapture
{
  public:
    // Captures the mouse for `widget` (replacing any earlier capture); returns the previous holder.
    static QWidget *SetCapture(QWidget *widget);
    static void ReleaseCapture();
    static QWidget *GetCapture();
};

} // namespace ui
