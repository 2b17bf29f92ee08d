// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace resources
{

// Resource path of a skin bitmap by its name ("BACKGROUND" -> ":/skin/BACKGROUND.bmp").
// Linking orvena_skin_bitmaps embeds the bitmaps; no initialisation call is needed.
QString SkinBitmapPath(const QString &name);

} // namespace resources
