// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

namespace gdi
{

enum FontWeight : int { FW_NORMAL = 400, FW_BOLD = 700 };

// A font for text drawing (CreateFontIndirectA). Height follows the old convention: a negative
// height is the character (em) height in pixels, a positive one the cell height (ascent + descent),
// 0 the default size. Face names pass through the substitution table first, so a face of the old
// platform ("MS Sans Serif") can be mapped to one installed here.
class Font
{
  public:
    Font(); // the application's default font
    explicit Font(const QFont &font) : font_(font) {}
    Font(const QString &face, int height, int weight = FW_NORMAL, bool italic = false, bool underline = false,
         bool strikeOut = false);

    const QFont &ToQFont() const { return font_; }

    // Face-name substitution used by every Font created afterwards. An empty replacement removes
    // the entry. Lookups ignore case.
    static void SetSubstitute(const QString &face, const QString &replacement);
    static QString Substitute(const QString &face);

  private:
    QFont font_;
};

} // namespace gdi
