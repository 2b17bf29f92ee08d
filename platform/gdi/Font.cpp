// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Font.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>

namespace gdi
{
namespace
{

QHash<QString, QString> &Substitutes()
{
    static QHash<QString, QString> table;
    return table;
}

} // namespace

Font::Font() : font_(qGuiApp ? QGuiApplication::font() : QFont()) {}

Font::Font(const QString &face, int height, int weight, bool italic, bool underline, bool strikeOut) : Font()
{
    const QString family = Substitute(face);
    if (!family.isEmpty())
        font_.setFamily(family);
    font_.setWeight(QFont::Weight(std::clamp(weight <= 0 ? int(FW_NORMAL) : weight, 1, 1000)));
    font_.setItalic(italic);
    font_.setUnderline(underline);
    font_.setStrikeOut(strikeOut);
    if (height < 0) {
        font_.setPixelSize(-height);
    } else if (height > 0) {
        // A positive height is the cell height: scale the em size so ascent + descent fits it.
        font_.setPixelSize(height);
        const int cell = QFontMetrics(font_).ascent() + QFontMetrics(font_).descent();
        if (cell > height)
            font_.setPixelSize(std::max(1, height * height / cell));
    }
}

void Font::SetSubstitute(const QString &face, const QString &replacement)
{
    if (replacement.isEmpty())
        Substitutes().remove(face.toLower());
    else
        Substitutes().insert(face.toLower(), replacement);
}

QString Font::Substitute(const QString &face)
{
    return Substitutes().value(face.toLower(), face);
}

} // namespace gdi
