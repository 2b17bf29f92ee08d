// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services/Resources.h"

#include <QFile>

#include <cctype>
#include <limits>

namespace services
{

QString Resources::BitmapPath(const QString &name)
{
    return QStringLiteral(":/skin/") + name + QStringLiteral(".bmp");
}

QImage Resources::Bitmap(const QString &name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return {};
    const QString path = BitmapPath(name);
    if (!QFile::exists(path))
        return {};
    return QImage(path, "BMP");
}

QString Resources::String(int id)
{
    switch (id) {
    case 101:
        return QStringLiteral("65535");
    case 102:
        return QStringLiteral("12");
    case 103:
        return QStringLiteral("&HFFFFFF");
    default:
        return {};
    }
}

std::optional<std::int64_t> Resources::StringAsNumber(int id)
{
    return ParseNumber(String(id));
}

std::optional<std::int64_t> Resources::ParseNumber(const QString &text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        t = t.mid(2);
        if (t.endsWith(QLatin1Char('&')))
            t.chop(1);
        // Only hex digits: toLongLong would also accept a sign or a "0x" prefix.
        if (t.isEmpty() || t.size() > 16)
            return std::nullopt;
        for (QChar c : t) {
            if (!isxdigit(c.toLatin1()) || c.unicode() > 0x7F)
                return std::nullopt;
        }
        const qulonglong v = t.toULongLong(&ok, 16);
        if (!ok || v > static_cast<qulonglong>(std::numeric_limits<std::int64_t>::max()))
            return std::nullopt;
        return static_cast<std::int64_t>(v);
    }
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        const bool sign = i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+'));
        if (!sign && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return std::nullopt;
    }
    const qlonglong v = t.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return static_cast<std::int64_t>(v);
}

} // namespace services
