// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

namespace skingen
{

// The progress fill strip: a glossy capsule running from sage green at its start to the level
// display's amber at its end, inside the trough's channel. Everything around the capsule is the
// key colour (colours::kProgressKey), pixel (1, 1) included, so the trough shows through there.
// Vertical strips are laid out bottom-up by the control (drawn mirrored), so their start is row 0.
QImage PaintProgressFill(Qt::Orientation orientation, QSize size);

} // namespace skingen
