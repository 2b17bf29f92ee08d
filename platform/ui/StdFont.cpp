// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/StdFont.h"

#include "platform/gdi/Font.h"

namespace ui
{

QFont StdFont::ToQFont() const
{
    QFont font(gdi::Font::Substitute(Name));
    if (Size > 0)
        font.setPointSizeF(Size);
    font.setBold(Bold);
    font.setItalic(Italic);
    font.setUnderline(Underline);
    font.setStrikeOut(Strikethrough);
    return font;
}

StdFont StdFont::FromQFont(const QFont &font)
{
    StdFont f;
    f.Name = font.family();
    f.Size = font.pointSizeF() > 0 ? font.pointSizeF() : f.Size;
    f.Bold = font.bold();
    f.Italic = font.italic();
    f.Underline = font.underline();
    f.Strikethrough = font.strikeOut();
    return f;
}

} // namespace ui
