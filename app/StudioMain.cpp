// SPDX-License-Identifier: GPL-3.0-or-later
// orvena-studio: the text-to-speech studio window. It takes no arguments and runs once per user.
#include "platform/services/MessageBox.h"
#include "platform/services/SingleInstance.h"
#include "studio/FontSubstitutes.h"
#include "studio/Main.h"
#include "studio/StudioStrings.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(studio::strings::ApplicationName);
    QApplication::setApplicationDisplayName(studio::strings::WindowTitle);
    QApplication::setDesktopFileName(QStringLiteral("orvena-studio"));

    services::SingleInstance instance(studio::strings::ApplicationName);
    if (instance.Acquire() == services::SingleInstance::Result::AlreadyRunning) {
        services::MessageBox::Current().Show(studio::strings::AlreadyRunning, studio::strings::WindowTitle,
                                             services::MB_OK);
        return 0;
    }

    studio::FontSubstitutes::Install();

    QString error;
    std::unique_ptr<studio::Main> window = studio::Main::Create({}, &error);
    if (!window) {
        services::MessageBox::Current().Show(error, studio::strings::WindowTitle,
                                             services::MB_OK | services::MB_ICONSTOP);
        return 1;
    }
    window->show();
    return QApplication::exec();
}
