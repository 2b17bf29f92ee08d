// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/SkinImages.h"

#include "platform/services/Resources.h"
#include "skin/Failure.h"

namespace controls
{

QImage LoadSkinImage(const QString &name)
{
    QImage image = services::Resources::Bitmap(name);
    if (image.isNull())
        throw skin::Failure(ErrResourceNotFound,
                            QStringLiteral("Resource with identifier '%1' not found").arg(name));
    return image;
}

} // namespace controls
