// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace help
{

// The fixed version numbers of a program file.
struct FixedFileInfo {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;
};

// Version information of files on this system, where there are no version resources:
//  - the running program carries the help viewer, whose version is ViewerVersion;
//  - a shared library's version is in its real file name (libQt6Widgets.so.6.4.2 → 6.4.2.0).
class FileVersion
{
  public:
    // The command set this viewer implements is that of HTML Help 1.3 (4.74.8702).
    static constexpr FixedFileInfo ViewerVersion{4, 74, 8702, 0};

    // nullopt when the file is missing or carries no version.
    static std::optional<FixedFileInfo> Read(const QString &path);
    // The program file the help viewer lives in (the running executable).
    static QString ViewerFile();
    // The library file holding the page renderer of the help window (Qt's widgets library).
    static QString RendererFile();
};

} // namespace help
