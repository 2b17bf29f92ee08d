// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/StdFont.h"

#include <QFont>
#include <QString>

namespace studio
{

// The window keeps the font names it was designed with; each is drawn with an installed free
// look-alike, mapped explicitly so the window looks the same on every machine.
class FontSubstitutes
{
  public:
    struct Entry {
        const char *design;
        const char *installed;
        int weight; // QFont::Weight the look-alike needs to match the design face's heaviness; 0 keeps the
                    // asked weight
    };
    static const Entry *Entries(int *count);

    // Registers every mapping with Qt and with the drawing layer. Call once at start.
    static void Install();
    // The installed face for a design name (case ignored), or the name itself when it has none.
    static QString Installed(const QString &design);
    // The QFont that draws `font`, with the look-alike's weight where the design face is heavy.
    static QFont ToQFont(const ui::StdFont &font);
};

} // namespace studio
