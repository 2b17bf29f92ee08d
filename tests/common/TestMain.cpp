// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>
#include <memory>

int main(int argc, char **argv)
{
    // Listing the cases (CTest does this before every run) needs no application object.
    bool listing = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0)
            listing = true;
    }
    // Unit and GUI tests draw offscreen so they never depend on a window manager; end-to-end
    // cases ask for the real display with ORVENA_USE_DISPLAY=1.
    if (qEnvironmentVariable("ORVENA_USE_DISPLAY") != QLatin1String("1"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (!listing)
        app = std::make_unique<QApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
