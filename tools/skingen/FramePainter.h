// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

namespace skingen
{

// The window frame: four edges (stretched along their length, so each is uniform along it),
// four corners (copied as they are, so their outer rows and columns continue the edges) and
// the background tile.
enum class FramePiece { TopLeft, TopRight, BottomLeft, BottomRight, Top, Bottom, Left, Right };

// Frame thickness the edge bitmaps give the window.
inline constexpr int kFrameTop = 26;
inline constexpr int kFrameBottom = 19;
inline constexpr int kFrameLeft = 22;
inline constexpr int kFrameRight = 12;

QImage PaintFramePiece(FramePiece piece, QSize size);

// A seamless tile: the right column continues into the left one, the bottom row into the top.
QImage PaintBackground(QSize size);

} // namespace skingen
