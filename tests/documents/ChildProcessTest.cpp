// SPDX-License-Identifier: GPL-3.0-or-later
// Converter children that flood their output or never end: stopped at the output limit, at their
// time limit, or as soon as their caller gives up, with nothing of them left running.
#include "studio/documents/ChildProcess.h"
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/WordConverter.h"

#include "tests/documents/Fixtures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

using namespace documents;
using namespace std::chrono_literals;

namespace
{

const QString kShell = QStringLiteral("/bin/sh");

// A lower output limit for one test, so that a flood is quick to produce.
class OutputLimitScope
{
  public:
    explicit OutputLimitScope(std::int64_t bytes) { ChildProcess::SetOutputLimitForTesting(bytes); }
    ~OutputLimitScope() { ChildProcess::SetOutputLimitForTesting(0); }
};

// Whether a process whose pid the script wrote into `pidFile` still runs (a killed one may stay
// a zombie for a while when nothing reaps orphans).
bool StillRunning(const QString &pidFile)
{
    QFile file(pidFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray pid = file.readAll().trimmed();
    QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid)));
    if (pid.isEmpty() || !stat.open(QIODevice::ReadOnly))
        return false;
    // "pid (name) state ...": dead and zombie processes no longer run.
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    const char state = close >= 0 && close + 2 < line.size() ? line.at(close + 2) : 'X';
    return state != 'Z' && state != 'X';
}

QString WriteScript(const QTemporaryDir &folder, const QByteArray &body)
{
    const QString path = folder.filePath(QStringLiteral("converter"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\n" + body + "\n");
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

} // namespace

TEST(ChildProcess, floodingOutputIsStoppedAtTheLimitWithTheChildAndItsHelpers)
{
    const OutputLimitScope limit(4 * 1024 * 1024);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString pidFile = folder.filePath(QStringLiteral("helper.pid"));
    // A helper of its own floods too, as a converter's launcher might.
    const QString script =
        WriteScript(folder, "yes flood >&2 & echo $! > '" + pidFile.toUtf8() + "'\nexec yes flood");
    QElapsedTimer clock;
    clock.start();
    const ChildProcess::Outcome outcome = ChildProcess::Run(script, {}, 60s);
    EXPECT_LT(clock.elapsed(), 30000) << "stopped at the limit, not at the time limit";
    EXPECT_TRUE(outcome.started);
    EXPECT_TRUE(outcome.outputTooLarge);
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_FALSE(outcome.Succeeded());
    EXPECT_TRUE(outcome.output.isEmpty()) << "what was taken is let go";
    EXPECT_TRUE(outcome.errors.isEmpty());
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(StillRunning(pidFile));
}

TEST(ChildProcess, outputBelowTheLimitArrivesWholeAcrossManyReads)
{
    // Several megabytes: many slices of the wait, none of them lost or repeated.
    const ChildProcess::Outcome outcome =
        ChildProcess::Run(kShell, {QStringLiteral("-c"), QStringLiteral("seq 1 600000; echo done >&2")}, 60s);
    ASSERT_TRUE(outcome.Succeeded());
    const QList<QByteArray> lines = outcome.output.split('\n');
    ASSERT_EQ(lines.size(), 600001);
    EXPECT_EQ(lines.first(), "1");
    EXPECT_EQ(lines.at(299999), "300000");
    EXPECT_EQ(lines.at(599999), "600000");
    EXPECT_EQ(outcome.errors, "done\n");
}

TEST(ChildProcess, stuckChildIsStoppedWhenItsCallerGivesUp)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString pidFile = folder.filePath(QStringLiteral("helper.pid"));
    const QString script = WriteScript(folder, "sleep 600 & echo $! > '" + pidFile.toUtf8() + "'\nsleep 600");

    // Asked directly, from another thread, while it waits.
    std::stop_source stop;
    std::jthread giveUp([&] {
        std::this_thread::sleep_for(300ms);
        stop.request_stop();
    });
    QElapsedTimer clock;
    clock.start();
    const ChildProcess::Outcome outcome = ChildProcess::Run(script, {}, 600s, {}, stop.get_token());
    EXPECT_LT(clock.elapsed(), 30000);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_FALSE(outcome.Succeeded());
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(StillRunning(pidFile));

    // A request made before the start runs nothing.
    EXPECT_FALSE(ChildProcess::Run(script, {}, 600s, {}, stop.get_token()).started);
}

TEST(ChildProcess, readersThatRunConvertersAreStoppedThroughTheThreadsScope)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ConverterTools tools;
    tools.antiword = WriteScript(folder, "sleep 600");
    tools.catdoc = tools.antiword;
    tools.office = tools.antiword;
    tools.timeLimit = 600s;
    tools.officeTimeLimit = 600s;

    std::stop_source stop;
    DocumentText result;
    QElapsedTimer clock;
    clock.start();
    std::jthread reader([&] {
        const ChildProcess::StopScope scope(stop.get_token());
        result = WordConverter::Convert(test::Fixture("long.doc"), tools);
    });
    std::this_thread::sleep_for(300ms);
    stop.request_stop();
    reader.join();
    // The whole chain gives up at once: none of the later converters waits out its limit.
    EXPECT_LT(clock.elapsed(), 30000);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, QString::fromLatin1(kErrorConvertingWord));
    // Outside the scope the thread has no stop token again.
    EXPECT_FALSE(ChildProcess::CurrentStopToken().stop_possible());
}

TEST(ChildProcess, timeLimitStillApplies)
{
    QElapsedTimer clock;
    clock.start();
    const ChildProcess::Outcome outcome =
        ChildProcess::Run(kShell, {QStringLiteral("-c"), QStringLiteral("sleep 600")}, 300ms);
    EXPECT_TRUE(outcome.timedOut);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_LT(clock.elapsed(), 30000);
}
