// SPDX-License-Identifier: GPL-3.0-or-later
// orvena-speak: the command-line companion of Orvena STUDIO (see SpeakCommand).
#include "app/SpeakCommand.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto ignored = ::write(signalPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char **argv)
{
    // A command-line tool: no display needed, so no GUI application object.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvena-speak"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVENA_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);
    QFile input;
    input.open(stdin, QIODevice::ReadOnly);

    SpeakCommand::Io io;
    io.out = &out;
    io.err = &err;
    io.input = &input;
    io.progress = ::isatty(STDERR_FILENO) == 1;
    SpeakCommand command(io);

    QStringList arguments = QCoreApplication::arguments();

    // Ctrl-C or a termination request stops the speech cleanly, so an interrupted recording leaves
    // no partial file behind. The stop is handled by the event loop that speaking runs; the other
    // actions run none, so for them the signals keep ending the program at once (a long document
    // conversion could not be interrupted otherwise).
    const std::optional<SpeakOptions> options = SpeakOptions::Parse(arguments, nullptr);
    const bool speaking = options && options->action == SpeakOptions::Action::Speak;
    if (speaking && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [&command] {
            char byte;
            [[maybe_unused]] const auto ignored = ::read(signalPipe[0], &byte, 1);
            command.Interrupt();
        });
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    }

    return command.Run(arguments);
}
