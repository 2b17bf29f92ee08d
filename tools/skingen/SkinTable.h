// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

namespace skingen
{

enum class BitmapFormat { Rgb24, Rle8 };

// One named skin bitmap: its exact size, its storage format and how to draw it.
struct SkinBitmap {
    QString name;
    QSize size;
    BitmapFormat format;
    std::function<QImage(QSize)> paint;
};

// All 46 skin bitmaps the program loads by name.
const std::vector<SkinBitmap> &SkinBitmaps();

const SkinBitmap *FindSkinBitmap(const QString &name);

// Draws the bitmap and, for the 8-bit ones, reduces it to its palette: the exact picture that
// gets written (as RGB32 for 24-bit entries, Indexed8 for the others).
QImage RenderSkinBitmap(const SkinBitmap &bitmap);

} // namespace skingen
