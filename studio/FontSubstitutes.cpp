// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/FontSubstitutes.h"

#include "platform/gdi/Font.h"

#include <QStringList>

#include <iterator>

namespace studio
{

namespace
{

const FontSubstitutes::Entry kEntries[] = {
    {"Verdana", "DejaVu Sans", 0},
    {"MS Sans Serif", "DejaVu Sans", 0},
    {"Small Fonts", "DejaVu Sans Condensed", 0},
    {"Impact", "DejaVu Sans Condensed", QFont::Bold},
    {"Arial Black", "DejaVu Sans", QFont::Bold},
    {"Arial", "Liberation Sans", 0},
    {"Times New Roman", "Liberation Serif", 0},
};

} // namespace

const FontSubstitutes::Entry *FontSubstitutes::Entries(int *count)
{
    *count = static_cast<int>(std::size(kEntries));
    return kEntries;
}

void FontSubstitutes::Install()
{
    for (const Entry &e : kEntries) {
        QFont::removeSubstitutions(QString::fromLatin1(e.design));
        QFont::insertSubstitution(QString::fromLatin1(e.design), QString::fromLatin1(e.installed));
        gdi::Font::SetSubstitute(QString::fromLatin1(e.design), QString::fromLatin1(e.installed));
    }
}

QString FontSubstitutes::Installed(const QString &design)
{
    for (const Entry &e : kEntries)
        if (design.compare(QLatin1String(e.design), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(e.installed);
    return design;
}

QFont FontSubstitutes::ToQFont(const ui::StdFont &font)
{
    QFont f = font.ToQFont();
    f.setFamilies(QStringList{Installed(font.Name)});
    for (const Entry &e : kEntries)
        if (e.weight != 0 && font.Name.compare(QLatin1String(e.design), Qt::CaseInsensitive) == 0)
            f.setWeight(static_cast<QFont::Weight>(e.weight));
    return f;
}

} // namespace studio
