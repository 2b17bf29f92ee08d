// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/SpeakCommand.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextStream>

// Runs orvena-speak's command in this process, with its standard streams in strings.
struct Result {
    int code = -1;
    QString out;
    QString err;
};

inline Result RunTool(const QStringList &arguments, const QByteArray &standardInput = {})
{
    Result r;
    QTextStream out(&r.out), err(&r.err);
    QBuffer input;
    input.setData(standardInput);
    input.open(QIODevice::ReadOnly);
    SpeakCommand::Io io;
    io.out = &out;
    io.err = &err;
    io.input = &input;
    SpeakCommand command(io);
    r.code = command.Run(QStringList{QStringLiteral("orvena-speak")} + arguments);
    out.flush();
    err.flush();
    return r;
}
