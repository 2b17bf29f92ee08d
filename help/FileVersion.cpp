// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/FileVersion.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextBrowser>

#include <dlfcn.h>

namespace help
{

std::optional<FixedFileInfo> FileVersion::Read(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return std::nullopt;
    const QString real = info.canonicalFilePath();
    const QString viewer = QFileInfo(ViewerFile()).canonicalFilePath();
    if (!viewer.isEmpty() && real == viewer)
        return ViewerVersion;
    static const QRegularExpression library(R"(\.so\.(\d+)(?:\.(\d+))?(?:\.(\d+))?(?:\.(\d+))?$)");
    const auto match = library.match(QFileInfo(real).fileName());
    if (!match.hasMatch())
        return std::nullopt;
    FixedFileInfo version;
    version.major = std::uint16_t(match.captured(1).toUInt());
    version.minor = std::uint16_t(match.captured(2).toUInt());
    version.build = std::uint16_t(match.captured(3).toUInt());
    version.revision = std::uint16_t(match.captured(4).toUInt());
    return version;
}

QString FileVersion::ViewerFile()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString FileVersion::RendererFile()
{
    Dl_info info{};
    const void *symbol = &QTextBrowser::staticMetaObject;
    if (dladdr(symbol, &info) == 0 || !info.dli_fname)
        return {};
    const QString file = QFile::decodeName(info.dli_fname);
    // A statically linked renderer lives in the program file itself.
    return QFileInfo(file).isAbsolute() ? file : ViewerFile();
}

} // namespace help
