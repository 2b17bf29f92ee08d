// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

namespace skingen
{

// Slider and progress pieces share one recessed channel. Horizontal pieces are drawn directly;
// vertical ones are the horizontal drawing mirrored about the diagonal, which keeps the light
// falling from the top-left in both.
enum class TrackEnd { None, Near, Far }; // Near = left / top, Far = right / bottom
enum class ArrowDirection { Left, Right, Up, Down };

// A channel piece across `thickness` pixels: uniform along its length (None) or with a
// rounded end. `ticks` adds a faint notch at the tile's end (progress trough).
QImage PaintChannel(QSize size, Qt::Orientation orientation, TrackEnd end, bool ticks = false);

QImage PaintArrowButton(ArrowDirection direction, bool pressed, QSize size);
QImage PaintThumb(Qt::Orientation orientation, QSize size);

// The picture mirrored about its main diagonal (width and height swap).
QImage Transposed(const QImage &image);

// Colour of the channel's profile at position i of n across its thickness.
QColor ChannelProfile(int i, int n);

} // namespace skingen
