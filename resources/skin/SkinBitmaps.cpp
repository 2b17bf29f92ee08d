// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/skin/SkinBitmaps.h"

namespace resources
{

QString SkinBitmapPath(const QString &name)
{
    return QStringLiteral(":/skin/") + name + QStringLiteral(".bmp");
}

} // namespace resources
