// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace services
{

QString AppPaths::ExecutableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return QFileInfo(self.canonicalFilePath()).absolutePath();
}

QString AppPaths::ProgramFolderFor(const QString &executableFolder)
{
    const QDir bin(executableFolder);
    const QString installed = QDir::cleanPath(bin.absoluteFilePath(QStringLiteral("../share/orvena-studio")));
    if (QFileInfo(installed).isDir())
        return installed;
    return QDir::cleanPath(bin.absoluteFilePath(QStringLiteral("..")));
}

QString AppPaths::ProgramFolder()
{
    const QString forced = qEnvironmentVariable(OverrideVariable);
    if (!forced.isEmpty())
        return QDir::cleanPath(QDir::fromNativeSeparators(forced));
    return ProgramFolderFor(ExecutableFolder());
}

} // namespace services
