// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services/SingleInstance.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using services::SingleInstance;

namespace
{
void WriteLock(const QString &fileName, const QByteArray &contents)
{
    QFile f(fileName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(contents);
}
} // namespace

TEST(SingleInstance, secondInstanceIsToldAndItsMessageArrives)
{
    QTemporaryDir dir;
    SingleInstance first(QStringLiteral("orvena-test"), dir.path());
    ASSERT_EQ(first.Acquire(), SingleInstance::Result::Primary);
    QSignalSpy received(&first, &SingleInstance::MessageReceived);

    SingleInstance second(QStringLiteral("orvena-test"), dir.path());
    EXPECT_EQ(second.Acquire(QStringLiteral("open /tmp/a.txt")), SingleInstance::Result::AlreadyRunning);
    EXPECT_FALSE(second.IsPrimary());
    EXPECT_EQ(second.RunningPid(), QCoreApplication::applicationPid());
    EXPECT_TRUE(second.ErrorString().contains(QStringLiteral("already running")));
    QTRY_COMPARE(received.count(), 1);
    EXPECT_EQ(received.at(0).at(0).toString(), QStringLiteral("open /tmp/a.txt"));

    // Once the first one ends, the next start runs.
    first.Release();
    EXPECT_EQ(second.Acquire(), SingleInstance::Result::Primary);
}

TEST(SingleInstance, staleLocksFromCrashedInstancesNeverBlock)
{
    QTemporaryDir dir;
    SingleInstance probe(QStringLiteral("orvena-test"), dir.path());
    const QByteArray host = QSysInfo::machineHostName().toUtf8();

    // A process that is gone.
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForFinished());
    const QByteArray deadPid = QByteArray::number(gone.processId() ? gone.processId() : 999999);
    // A process that lives, but is some other program that now has the crashed instance's pid.
    QProcess other;
    other.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(other.waitForStarted());
    const QByteArray reusedPid = QByteArray::number(other.processId());

    for (const QByteArray &contents :
         {QByteArray("999999999\ntest_services\n" + host + "\n"), deadPid + "\ntest_services\n" + host + "\n",
          reusedPid + "\ntest_services\n" + host + "\n", QByteArray(), QByteArray("garbage\x01\x02")}) {
        WriteLock(probe.LockFileName(), contents);
        // A crashed instance also leaves its socket file behind.
        WriteLock(probe.ServerName(), "left over");
        SingleInstance next(QStringLiteral("orvena-test"), dir.path());
        EXPECT_EQ(next.Acquire(), SingleInstance::Result::Primary)
            << contents.toStdString() << next.ErrorString().toStdString();
        EXPECT_TRUE(next.ErrorString().isEmpty()) << next.ErrorString().toStdString();
    }
    other.kill();
    other.waitForFinished();
}

TEST(SingleInstance, unusableFolderFailsClearly)
{
    QTemporaryDir dir;
    WriteLock(dir.filePath(QStringLiteral("file")), "x");
    SingleInstance inst(QStringLiteral("orvena-test"), dir.filePath(QStringLiteral("file/sub")));
    EXPECT_EQ(inst.Acquire(), SingleInstance::Result::Failed);
    EXPECT_FALSE(inst.ErrorString().isEmpty());
}

// Runs twice: as the test, and (with ORVENA_SI_CHILD set) as the first instance in a process of
// its own that the test then kills the hard way.
TEST(SingleInstance, crashedProcessFreesTheLockForTheNextStart)
{
    const QString childFolder = qEnvironmentVariable("ORVENA_SI_CHILD");
    if (!childFolder.isEmpty()) {
        SingleInstance first(QStringLiteral("orvena-test"), childFolder);
        QString message;
        QObject::connect(&first, &SingleInstance::MessageReceived, [&](const QString &m) { message = m; });
        std::printf("result=%d\n", int(first.Acquire()));
        std::fflush(stdout);
        QTRY_VERIFY_WITH_TIMEOUT(!message.isEmpty(), 20000);
        std::printf("message=%s\n", qPrintable(message));
        std::fflush(stdout);
        QTest::qWait(20000); // until killed
        return;
    }

    QTemporaryDir dir;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ORVENA_SI_CHILD"), dir.path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SingleInstance.crashedProcessFreesTheLockForTheNextStart")});
    ASSERT_TRUE(child.waitForStarted());
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += child.readAllStandardOutput()).contains("result="), 20000);
    ASSERT_TRUE(out.contains("result=0")) << out.toStdString();

    SingleInstance second(QStringLiteral("orvena-test"), dir.path());
    EXPECT_EQ(second.Acquire(QStringLiteral("open b.txt")), SingleInstance::Result::AlreadyRunning);
    EXPECT_EQ(second.RunningPid(), child.processId());
    QTRY_VERIFY_WITH_TIMEOUT((out += child.readAllStandardOutput()).contains("message=open b.txt"), 20000);

    child.kill();
    ASSERT_TRUE(child.waitForFinished());
    EXPECT_EQ(second.Acquire(), SingleInstance::Result::Primary) << second.ErrorString().toStdString();
}
