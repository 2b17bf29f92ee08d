// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>
#include <memory>

int main(int argc, char **argv)
{
    // Listing the cases (CTest does this before every run) needs no application object.
    // CTest hands the test's environment over as --orvena-env=NAME=VALUE arguments.
    bool listing = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0)
            listing = true;
        if (std::strncmp(argv[i], "--orvena-env=", 13) == 0) {
            const char *assignment = argv[i] + 13;
            if (const char *eq = std::strchr(assignment, '='))
                qputenv(QByteArray(assignment, int(eq - assignment)), QByteArray(eq + 1));
            continue;
        }
        argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    // Unit and GUI tests draw offscreen so they never depend on a window manager; end-to-end
    // cases ask for the real display with ORVENA_USE_DISPLAY=1.
    // Without a display those cases skip themselves, so they draw offscreen too.
    if (qEnvironmentVariable("ORVENA_USE_DISPLAY") != QLatin1String("1")
        || (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (!listing)
        app = std::make_unique<QApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
