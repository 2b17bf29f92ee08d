// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services/AppPaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using services::AppPaths;

TEST(AppPaths, buildTreeIsTheFolderAboveBin)
{
    // Test binaries run from <build>/bin like the program does.
    qunsetenv(AppPaths::OverrideVariable);
    EXPECT_EQ(AppPaths::ProgramFolder(), QDir::cleanPath(QStringLiteral(ORVENA_BINARY_DIR)));
}

TEST(AppPaths, installedLayoutIsDetectedBySharedFolder)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    QDir root(prefix.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("bin")));
    EXPECT_EQ(AppPaths::ProgramFolderFor(root.filePath(QStringLiteral("bin"))),
              QDir::cleanPath(prefix.path()));
    ASSERT_TRUE(root.mkpath(QStringLiteral("share/orvena-studio")));
    EXPECT_EQ(AppPaths::ProgramFolderFor(root.filePath(QStringLiteral("bin"))),
              QDir::cleanPath(prefix.path()) + QStringLiteral("/share/orvena-studio"));
}

TEST(AppPaths, environmentOverridesAndIsNormalised)
{
    qputenv(AppPaths::OverrideVariable, "/tmp/some//where/");
    EXPECT_EQ(AppPaths::ProgramFolder(), QStringLiteral("/tmp/some/where"));
    qunsetenv(AppPaths::OverrideVariable);
}
