// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

namespace skingen
{

enum class CaptionGlyph { Close, Minimise, Restore };

// Window caption buttons, drawn over the title band they sit on (top 4 pixels into it).
QImage PaintCaptionButton(CaptionGlyph glyph, bool pressed, QSize size);

// Glossy brick push button; its caption (yellow, near black or white) is drawn on top by the
// control, so the face stays mid-dark enough for all three.
QImage PaintPushButton(bool pressed, QSize size);

// Check and option boxes drawn on the check/option background they sit on.
QImage PaintCheckBox(bool on, QSize size);
QImage PaintRadioButton(bool on, QSize size);

// Background of the check and option controls: the window's own texture, so a check box on
// the window surface blends in.
QImage PaintOptionBackground(QSize size);

} // namespace skingen
