// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace documents::test {

inline QString Fixture(const char *name)
{
    return QStringLiteral(ORVENA_FIXTURES "/documents/") + QString::fromLatin1(name);
}

inline QByteArray FixtureBytes(const char *name)
{
    QFile file(Fixture(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace documents::test
