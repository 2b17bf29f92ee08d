// SPDX-License-Identifier: GPL-3.0-or-later
// orvena-speak --print-text: the studio's loaders from the command line, run as the real tool.
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/ReadTextFile.h"
#include "studio/documents/TextForEditor.h"

#include "tests/documents/Fixtures.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace documents;
using documents::test::Fixture;
using documents::test::FixtureBytes;

namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray out, err;
};

ToolRun PrintText(const QStringList &arguments, const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    ToolRun run;
    QProcess tool;
    tool.setProcessEnvironment(environment);
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

TEST_F(PrintTextTool, unknownFilterNumbersAreUsageErrorsAndEveryDialogFilterIsKnown)
{
    for (const char *number : {"0", "10", "99", "-1"}) {
        SCOPED_TRACE(number);
        const ToolRun run = PrintText({Fixture("utf8.txt"), QStringLiteral("--filter"), QString::fromLatin1(number)});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains("--filter")) << run.err.constData();
    }
    // The valid numbers are the dialog's filters, however many it has.
    for (int filter = 1; filter <= OpenFilterCount(); ++filter) {
        SCOPED_TRACE(filter);
        EXPECT_NE(PrintText({Fixture("utf8.txt"), QStringLiteral("--filter"), QString::number(filter)}).exitCode, 2);
    }
}

TEST_F(PrintTextTool, unreadableTextExitsWithFourNamingTheFileAndTheReason)
{
    const QTemporaryDir folder;
    for (const QString &path : {folder.filePath(QStringLiteral("missing.txt")), folder.path()}) {
        for (const char *filter : {"1", "4"}) {
            SCOPED_TRACE(path.toStdString() + " filter " + filter);
            const ToolRun run = PrintText({path, QStringLiteral("--filter"), QString::fromLatin1(filter)});
            EXPECT_EQ(run.exitCode, 4);
            EXPECT_TRUE(run.out.isEmpty());
            EXPECT_TRUE(QString::fromUtf8(run.err).contains(path)) << run.err.constData();
        }
    }
}

TEST_F(PrintTextTool, printingTextNeedsNeitherTheSpeechLibrariesNorAWritableHome)
{
    // The voices used to be loaded up front, and the sound server's client complained on
    // standard error about the configuration folder it could not create.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), QStringLiteral("/proc/no-home"));
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    environment.remove(QStringLiteral("PULSE_SERVER"));
    const ToolRun run = PrintText({Fixture("utf8.txt")}, environment);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(run.out), ReadTextFile(Fixture("utf8.txt")));
    EXPECT_TRUE(run.err.isEmpty()) << run.err.constData();
}

TEST_F(PrintTextTool, aTerminationRequestEndsAReadThatWaitsForAWriter)
{
    // The handlers that let speaking stop cleanly used to swallow the signal here, where no event
    // loop runs to act on it: a read waiting on a pipe could not be interrupted.
    const QTemporaryDir folder;
    const QString fifo = folder.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int writer = ::open(QFile::encodeName(fifo).constData(), O_RDWR); // a writer that never writes
    ASSERT_GE(writer, 0);
    QProcess tool;
    tool.start(QStringLiteral(ORVENA_BINARY_DIR "/bin/orvena-speak"), {QStringLiteral("--print-text"), fifo});
    ASSERT_TRUE(tool.waitForStarted());
    EXPECT_FALSE(tool.waitForFinished(500)); // still waiting for the writer
    tool.terminate();
    const bool ended = tool.waitForFinished(10000);
    if (!ended) {
        tool.kill();
        tool.waitForFinished();
    }
    ::close(writer);
    EXPECT_TRUE(ended);
}
