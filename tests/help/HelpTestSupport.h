// SPDX-License-Identifier: GPL-3.0-or-later
// Shared set-up of the help tests: a scratch registry, a scratch program folder, recording
// message boxes, and the help file the build compiled.
#pragma once

#include "RecordingHelpViewer.h"

#include "platform/services/MessageBox.h"
#include "platform/services/Registry.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <memory>

inline QString BuiltHelpFile()
{
    return QStringLiteral(ORVENA_BINARY_DIR "/help/Orvena.chm");
}

class HelpEnvironment : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        registry = std::make_unique<services::Registry>(dir.filePath("registry.ini"));
        services::Registry::SetCurrent(registry.get());
        services::MessageBox::SetCurrent(&boxes);
        programFolder = dir.filePath("program");
        ASSERT_TRUE(QDir().mkpath(programFolder));
        previousFolder = qgetenv("ORVENA_PROGRAM_FOLDER");
        qputenv("ORVENA_PROGRAM_FOLDER", programFolder.toUtf8());
    }
    void TearDown() override
    {
        if (previousFolder.isEmpty())
            qunsetenv("ORVENA_PROGRAM_FOLDER");
        else
            qputenv("ORVENA_PROGRAM_FOLDER", previousFolder);
        services::MessageBox::SetCurrent(nullptr);
        services::Registry::SetCurrent(nullptr);
        help::HelpViewer::SetCurrent(nullptr);
    }
    // Creates a file (with some bytes) under the scratch folder and returns its path.
    QString MakeFile(const QString &relative, const QByteArray &bytes = "x")
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir;
    QString programFolder;
    QByteArray previousFolder;
    std::unique_ptr<services::Registry> registry;
    services::RecordingMessageBox boxes;
};
