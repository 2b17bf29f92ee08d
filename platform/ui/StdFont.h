// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

namespace ui
{

// A font as controls store and expose it: face name, size in points, style flags and character
// set. Faces of the old platform are mapped to installed ones when the QFont is made.
struct StdFont {
    QString Name = QStringLiteral("MS Sans Serif");
    double Size = 8.25;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;
    int Charset = 0;

    QFont ToQFont() const;
    static StdFont FromQFont(const QFont &font);
    bool operator==(const StdFont &other) const = default;
};

} // namespace ui
