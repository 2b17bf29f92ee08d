// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace services
{

class AppPaths
{
  public:
    // Environment variable that overrides the program folder (tests, unusual installs).
    static constexpr const char *OverrideVariable = "ORVENA_PROGRAM_FOLDER";

    // The folder the program's read-only files (help, resources) live in, with "/" separators
    // and no trailing slash:
    //  - $ORVENA_PROGRAM_FOLDER when set;
    //  - <prefix>/share/orvena-studio when installed (the executable sits in <prefix>/bin and
    //    ../share/orvena-studio exists next to it);
    //  - otherwise the build tree, the folder above the executable's bin/ folder.
    static QString ProgramFolder();
    // The same decision for a given executable folder, without the environment override.
    static QString ProgramFolderFor(const QString &executableFolder);
    // The folder of the running executable (also works before a QCoreApplication exists).
    static QString ExecutableFolder();
};

} // namespace services
