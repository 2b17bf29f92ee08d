// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

namespace controls
{

// A skin bitmap of the program's resources by name. Throws skin::Failure (326, the missing
// resource) when the program carries no bitmap of that name.
QImage LoadSkinImage(const QString &name);

constexpr long ErrResourceNotFound = 326;
constexpr long ErrDivisionByZero = 11;

} // namespace controls
