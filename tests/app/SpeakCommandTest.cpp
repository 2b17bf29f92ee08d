// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SpeakCommand.h"
#include "SpeakToolRunner.h"
#include "speech/SpeechStrings.h"
#include "speech/VoiceCatalogue.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringConverter>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/stat.h>

namespace
{

int SampleRateOf(const QString &path, sf_count_t *frames = nullptr)
{
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f)
        return 0;
    sf_close(f);
    if (frames)
        *frames = info.frames;
    return info.samplerate;
}

} // namespace

TEST(SpeakCommand, helpAndVersionAnswerAndSucceed)
{
    const Result help = RunTool({QStringLiteral("--help")});
    EXPECT_EQ(help.code, SpeakCommand::kDone);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: orvena-speak")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("--list-voices")));
    const Result version = RunTool({QStringLiteral("--version")});
    EXPECT_EQ(version.code, SpeakCommand::kDone);
    EXPECT_EQ(version.out.trimmed(), QStringLiteral("orvena-speak ") + QStringLiteral(ORVENA_VERSION));
}

TEST(SpeakCommand, listsEveryVoiceAsSevenTabSeparatedFields)
{
    const Result r = RunTool({QStringLiteral("--list-voices")});
    ASSERT_EQ(r.code, SpeakCommand::kDone);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), speech::VoiceCatalogue::Installed()->Count());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(QLatin1Char('\t'));
        ASSERT_EQ(fields.size(), 7) << lines[i].toStdString();
        EXPECT_EQ(fields[0].toInt(), i + 1);
        EXPECT_TRUE(fields[5].contains(QLatin1Char('-')) && fields[6].contains(QLatin1Char('-')));
    }
    EXPECT_EQ(lines[0], QStringLiteral("1\tMary\ten-us\tfemale\tflite\t40-400\t60-350"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2\tMike\t")) && lines[1].contains(QStringLiteral("\tmale\t")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("3\tSam\t")) && lines[2].contains(QStringLiteral("\tmale\t")));
}

TEST(SpeakCommand, wrongCommandLinesAreUsageErrors)
{
    const QList<QStringList> wrong = {
        {},
        {QStringLiteral("--text"), QStringLiteral("a"), QStringLiteral("file.txt")},
        {QStringLiteral("one.txt"), QStringLiteral("two.txt")},
        {QStringLiteral("--speed"), QStringLiteral("fast"), QStringLiteral("--text"), QStringLiteral("a")},
        {QStringLiteral("--pitch"), QStringLiteral("12.5"), QStringLiteral("--text"), QStringLiteral("a")},
        {QStringLiteral("--bogus"), QStringLiteral("--text"), QStringLiteral("a")},
        {QStringLiteral("--text")},
        {QStringLiteral("--list-voices"), QStringLiteral("file.txt")},
        {QStringLiteral("--speed"), QStringLiteral("100"), QStringLiteral("--speed"), QStringLiteral("120"),
         QStringLiteral("--text"), QStringLiteral("a")},
    };
    for (const QStringList &arguments : wrong) {
        const Result r = RunTool(arguments);
        EXPECT_EQ(r.code, SpeakCommand::kUsage) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
}

TEST(SpeakCommand, rejectedVoicesAndSettingsSayWhy)
{
    const Result unknown = RunTool({QStringLiteral("--voice"), QStringLiteral("Nobody"), QStringLiteral("--text"), QStringLiteral("a")});
    EXPECT_EQ(unknown.code, SpeakCommand::kRejected);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("Nobody")));
    EXPECT_EQ(RunTool({QStringLiteral("--voice"), QStringLiteral("0"), QStringLiteral("--text"), QStringLiteral("a")}).code,
              SpeakCommand::kRejected);
    const Result fast = RunTool({QStringLiteral("--speed"), QStringLiteral("1000"), QStringLiteral("--text"), QStringLiteral("a")});
    EXPECT_EQ(fast.code, SpeakCommand::kRejected);
    EXPECT_TRUE(fast.err.contains(QStringLiteral("40-400"))) << fast.err.toStdString();
    const Result low = RunTool({QStringLiteral("--voice"), QStringLiteral("sam"), QStringLiteral("--pitch"), QStringLiteral("10"),
                            QStringLiteral("--text"), QStringLiteral("a")});
    EXPECT_EQ(low.code, SpeakCommand::kRejected);
    EXPECT_TRUE(low.err.contains(QStringLiteral("60-350"))) << low.err.toStdString();
}

TEST(SpeakCommand, unreadableInputAndUnwritableOutputHaveTheirOwnStatus)
{
    QTemporaryDir dir;
    EXPECT_EQ(RunTool({dir.filePath(QStringLiteral("missing.txt"))}).code, SpeakCommand::kInputUnreadable);
    EXPECT_EQ(RunTool({dir.path()}).code, SpeakCommand::kInputUnreadable);
    const QString target = dir.filePath(QStringLiteral("no/folder/out.wav"));
    const Result r = RunTool({QStringLiteral("--output"), target, QStringLiteral("--text"), QStringLiteral("Hello.")});
    EXPECT_EQ(r.code, SpeakCommand::kOutputFailed);
    EXPECT_TRUE(r.err.contains(QStringLiteral("out.wav"))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(target));
}

TEST(SpeakCommand, recordingTargetsThatAreNotFilesAreStreamedOrRefused)
{
    QTemporaryDir dir;
    const QStringList hello = {QStringLiteral("--text"), QStringLiteral("Hello.")};
    // A folder is refused with the output status; nothing replaces it.
    const Result folder = RunTool(QStringList{QStringLiteral("-o"), dir.path()} + hello);
    EXPECT_EQ(folder.code, SpeakCommand::kOutputFailed);
    EXPECT_TRUE(folder.err.contains(QStringLiteral("folder"))) << folder.err.toStdString();
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());

    // /dev/null swallows the recording and stays a device, also for root.
    EXPECT_EQ(RunTool(QStringList{QStringLiteral("-o"), QStringLiteral("/dev/null")} + hello).code,
              SpeakCommand::kDone);
    struct stat st{};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    // "-" writes the recording to standard output, as the real tool does.
    QProcess tool;
    tool.start(QStringLiteral(ORVENA_BINARY_DIR "/bin/orvena-speak"),
               QStringList{QStringLiteral("-o"), QStringLiteral("-")} + hello);
    ASSERT_TRUE(tool.waitForFinished(60000)) << "the tool hung";
    EXPECT_EQ(tool.exitCode(), SpeakCommand::kDone) << tool.readAllStandardError().toStdString();
    const QString captured = dir.filePath(QStringLiteral("stdout.wav"));
    {
        QFile f(captured);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(tool.readAllStandardOutput());
    }
    sf_count_t frames = 0;
    EXPECT_EQ(SampleRateOf(captured, &frames), 16000);
    EXPECT_GT(frames, 4000);
    EXPECT_FALSE(QFile::exists(QStringLiteral("-")));
}

TEST(SpeakCommand, recordsTextFromAFileOrStandardInputWithTheChosenVoice)
{
    QTemporaryDir dir;
    // A UTF-16 file with its byte-order mark.
    const QString textFile = dir.filePath(QStringLiteral("text.txt"));
    {
        QFile f(textFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QStringEncoder encoder(QStringConverter::Utf16LE, QStringEncoder::Flag::WriteBom);
        f.write(encoder.encode(QStringLiteral("Good morning. The weather is fine.")));
    }
    const QString fromFile = dir.filePath(QStringLiteral("file.wav"));
    ASSERT_EQ(RunTool({QStringLiteral("--voice"), QStringLiteral("Sam"), QStringLiteral("-o"), fromFile, textFile}).code,
              SpeakCommand::kDone);
    sf_count_t fileFrames = 0;
    EXPECT_EQ(SampleRateOf(fromFile, &fileFrames), 16000);
    EXPECT_GT(fileFrames, 16000) << "the decoded text should take over a second";

    const QString fromStdin = dir.filePath(QStringLiteral("stdin.flac"));
    ASSERT_EQ(RunTool({QStringLiteral("--voice"), QStringLiteral("English (America)"), QStringLiteral("--output"), fromStdin,
                   QStringLiteral("-")},
                  QByteArrayLiteral("Read from standard input."))
                  .code,
              SpeakCommand::kDone);
    EXPECT_EQ(SampleRateOf(fromStdin), 22050);
}

TEST(SpeakCommand, theToolFailsCleanlyWithoutASoundServer)
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent/orvena-test/native"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral(ORVENA_BINARY_DIR "/bin/orvena-speak"), {QStringLiteral("--text"), QStringLiteral("Hello.")});
    ASSERT_TRUE(tool.waitForFinished(20000)) << "the tool hung";
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), SpeakCommand::kOutputFailed);
    EXPECT_TRUE(QString::fromLocal8Bit(tool.readAllStandardError()).contains(QStringLiteral("audio")));
}

TEST(SpeakCommand, textFromDevicesAndStandardInputIsCappedLikeAFile)
{
    // /dev/zero reports a size of 0 and never ends: reading it used to run out of memory.
    const Result device = RunTool({QStringLiteral("/dev/zero")});
    EXPECT_EQ(device.code, SpeakCommand::kInputUnreadable);
    EXPECT_TRUE(device.err.contains(QStringLiteral("The document is too large to open"))) << device.err.toStdString();

    Result piped;
    {
        QTextStream out(&piped.out), err(&piped.err);
        QFile zero(QStringLiteral("/dev/zero"));
        ASSERT_TRUE(zero.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        SpeakCommand::Io io;
        io.out = &out;
        io.err = &err;
        io.input = &zero;
        piped.code = SpeakCommand(io).Run({QStringLiteral("orvena-speak"), QStringLiteral("-")});
    }
    EXPECT_EQ(piped.code, SpeakCommand::kInputUnreadable);
    EXPECT_TRUE(piped.err.contains(QStringLiteral("too large"))) << piped.err.toStdString();

    // A pipe nobody writes to is an empty text, not a process stuck in open().
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const Result empty = RunTool({QStringLiteral("--print-text"), fifo});
    EXPECT_EQ(empty.code, SpeakCommand::kDone);
    EXPECT_TRUE(empty.out.isEmpty());
}
