// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Ordinary English prose of a given length, the same every time: a paragraph of varied sentences
// repeated, each time ending with its own number. (compare-recording.sh writes the same text.)
inline QString BenchText(int words)
{
    static const QString paragraph = QStringLiteral(
        "The morning train left the station a little after seven, carrying farmers, clerks and a few "
        "sleepy students towards the city. Outside, the fields were still grey with frost. A woman near "
        "the window opened her newspaper and read about the harbour, where three ships had arrived "
        "overnight with timber, coffee and machine parts. Nobody spoke much. When the conductor came "
        "through, he checked each ticket carefully, nodded, and moved on without a word. By the time the "
        "sun rose over the hills, the carriage was warm, and most of the passengers were asleep again. ");
    static const int paragraphWords = static_cast<int>(paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts).size());
    QString text;
    for (int done = 0, part = 1; done < words; done += paragraphWords + 4, ++part)
        text += paragraph + QStringLiteral("That was part %1.\n").arg(part);
    return text;
}
