// SPDX-License-Identifier: GPL-3.0-or-later
// orvena-studio [FILE...]: the text-to-speech studio window. It runs once per user: a later start
// with a file hands the file to the running studio, a later start without one is refused.
#include "platform/services/MessageBox.h"
#include "platform/services/SingleInstance.h"
#include "studio/DesktopStrings.h"
#include "studio/FileHandOver.h"
#include "studio/FontSubstitutes.h"
#include "studio/Main.h"
#include "studio/MprisService.h"
#include "studio/RecordingNotifier.h"
#include "studio/StudioStrings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace
{

void Note(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(studio::strings::ApplicationName);
    QApplication::setApplicationDisplayName(studio::strings::WindowTitle);
    QApplication::setApplicationVersion(QStringLiteral(ORVENA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("orvena-studio"));

    QCommandLineParser parser;
    parser.setApplicationDescription(studio::strings::WindowTitle);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A document to open into the editor (one at a time)."),
                                 QStringLiteral("[file]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        Note(studio::desktop::ExtraFilesIgnored.arg(files.mid(1).join(QStringLiteral(", "))));
    const QString file = files.isEmpty() ? QString() : QFileInfo(files.front()).absoluteFilePath();

    services::SingleInstance instance(studio::strings::ApplicationName);
    if (instance.Acquire(file.isEmpty() ? QString() : studio::FileHandOver::Message(file)) ==
        services::SingleInstance::Result::AlreadyRunning) {
        if (!file.isEmpty() && instance.MessageDelivered())
            return 0;
        if (!file.isEmpty())
            Note(studio::desktop::HandOverFailed.arg(file));
        services::MessageBox::Current().Show(studio::strings::AlreadyRunning, studio::strings::WindowTitle,
                                             services::MB_OK);
        return file.isEmpty() ? 0 : 1;
    }

    studio::FontSubstitutes::Install();

    QString error;
    std::unique_ptr<studio::Main> window = studio::Main::Create({}, &error);
    if (!window) {
        services::MessageBox::Current().Show(error, studio::strings::WindowTitle,
                                             services::MB_OK | services::MB_ICONSTOP);
        return 1;
    }
    studio::FileHandOver handOver(window.get());
    QObject::connect(&instance, &services::SingleInstance::MessageReceived, &handOver,
                     &studio::FileHandOver::Receive);
    const std::unique_ptr<studio::MprisService> mpris = studio::MprisService::Register(window.get());
    studio::RecordingNotifier notifier(window.get());

    window->show();
    if (!file.isEmpty())
        handOver.Open(file);
    return QApplication::exec();
}
