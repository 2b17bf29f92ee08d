// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>

namespace services
{

// The program's built-in resources: the skin bitmaps (generated at build time into the Qt
// resource system) and the small string table.
class Resources
{
  public:
    // Skin bitmap by name, from ":/skin/<name>.bmp"; a null image when there is no such bitmap.
    static QImage Bitmap(const QString &name);
    // The resource path a bitmap name is looked up at.
    static QString BitmapPath(const QString &name);
    // String table: 101 "65535", 102 "12", 103 "&HFFFFFF"; an empty string for unknown ids.
    static QString String(int id);
    // A string table entry read as a number; nullopt when the id is unknown or the text malformed.
    static std::optional<std::int64_t> StringAsNumber(int id);
    // The number a text denotes: "&H" prefix = hexadecimal (an optional trailing "&" is allowed),
    // decimal otherwise. Surrounding blanks are ignored; anything else malformed gives nullopt.
    static std::optional<std::int64_t> ParseNumber(const QString &text);
};

} // namespace services
