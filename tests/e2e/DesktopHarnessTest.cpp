// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop that end-to-end tests run on: a window maps on the X server, and sound played into
// the null sink comes back from its monitor.
#include "E2eSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

TEST(DesktopHarness, QtWindowMapsOnTheXServer)
{
    if (!e2e::HaveDesktop())
        GTEST_SKIP() << "needs scripts/with-desktop";
    QWidget window;
    window.setWindowTitle("orvena-e2e-probe");
    window.resize(200, 120);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // Ask the X server itself, not Qt, whether the window is there and viewable.
    const auto info = e2e::Run("xwininfo", {"-name", "orvena-e2e-probe"}, 10000);
    ASSERT_TRUE(info.finished);
    EXPECT_EQ(info.exitCode, 0) << info.err.constData();
    EXPECT_TRUE(info.out.contains("Map State: IsViewable")) << info.out.constData();
}

TEST(DesktopHarness, ToneInTheNullSinkIsCapturedFromItsMonitor)
{
    if (!e2e::HaveDesktop())
        GTEST_SKIP() << "needs scripts/with-desktop";
    QTemporaryDir dir;
    const QString tone = dir.filePath("tone.wav");
    const auto made = e2e::Run("sox", {"-n", "-r", "44100", "-c", "1", "-b", "16", tone, "synth", "1.0",
                                       "sine", "440", "vol", "0.5"});
    ASSERT_EQ(made.exitCode, 0) << made.err.constData();

    e2e::SinkCapture capture;
    ASSERT_TRUE(capture.Start());
    const auto played = e2e::Run("paplay", {"-d", "null", tone}, 15000);
    const auto samples = capture.Stop();
    ASSERT_EQ(played.exitCode, 0) << played.err.constData();

    EXPECT_GT(e2e::Rms(samples), 1000.0);
    const double audible = e2e::AudibleSeconds(samples);
    EXPECT_GT(audible, 0.8);
    EXPECT_LT(audible, 1.5);
}

} // namespace
