// SPDX-License-Identifier: GPL-3.0-or-later
// orvena-speak --print-text: the studio's loaders from the command line, run as the real tool.
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/ReadTextFile.h"
#include "studio/documents/TextForEditor.h"

#include "tests/documents/Fixtures.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace documents;
using documents::test::Fixture;
using documents::test::FixtureBytes;

namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray out, err;
};

ToolRun PrintText(const QStringList &arguments)
{
    ToolRun run;
    QProcess tool;
    tool.start(QStringLiteral(ORVENA_BINARY_DIR "/bin/orvena-speak"), QStringList{QStringLiteral("--print-text")} + arguments);
    if (!tool.waitForFinished(60000))
        return run;
    run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.out = tool.readAllStandardOutput();
    run.err = tool.readAllStandardError();
    return run;
}

class PrintTextTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo(QStringLiteral(ORVENA_BINARY_DIR "/bin/orvena-speak")).isExecutable())
            GTEST_SKIP() << "orvena-speak is not built";
    }
};

} // namespace

TEST_F(PrintTextTool, printsTheEditorTextAsUtf8WithTheFilterOfTheExtension)
{
    for (const char *name : {"sample.docx", "unicode.rtf", "utf16be.txt", "two-pages.pdf", "page.html"}) {
        SCOPED_TRACE(name);
        const ToolRun run = PrintText({Fixture(name)});
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        EXPECT_EQ(QString::fromUtf8(run.out), TextForEditor(Fixture(name), FilterIndexForPath(Fixture(name))).text);
    }
}

TEST_F(PrintTextTool, filterChoosesTheLoaderAsTheDialogWould)
{
    const ToolRun raw = PrintText({Fixture("long.doc"), QStringLiteral("--filter"), QStringLiteral("4")});
    EXPECT_EQ(raw.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(raw.out), DecodeTextFileBytes(FixtureBytes("long.doc")));
}

TEST_F(PrintTextTool, failureExitsWithFourAndTheStudiosMessage)
{
    const ToolRun run = PrintText({Fixture("not-rtf.rtf")});
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(kErrorLoadingRichText)) << run.err.constData();

    const ToolRun word = PrintText({Fixture("binary.bin"), QStringLiteral("--filter"), QStringLiteral("3")});
    EXPECT_EQ(word.exitCode, 4);
    EXPECT_TRUE(word.err.contains(kErrorConvertingWord));
}
