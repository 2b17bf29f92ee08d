// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SpeakOptions.h"

#include "speech/ReadingFilters.h"

#include <QCommandLineParser>

namespace {

struct OptionTable {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{QStringLiteral("version"), QStringLiteral("Show the version and exit.")};
    QCommandLineOption listVoices{QStringLiteral("list-voices"),
                                  QStringLiteral("List the voices: index, speaker, language, gender, backend, "
                                                 "speed range (wpm), pitch range (Hz), separated by tabs.")};
    QCommandLineOption voice{QStringLiteral("voice"),
                             QStringLiteral("Voice by speaker name or index (default Mary)."), QStringLiteral("NAME|INDEX")};
    QCommandLineOption speed{QStringLiteral("speed"), QStringLiteral("Speed in words per minute (default 150)."),
                             QStringLiteral("WPM")};
    QCommandLineOption pitch{QStringLiteral("pitch"), QStringLiteral("Base pitch in Hz (default 170)."),
                             QStringLiteral("HZ")};
    QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("Record into FILE (.wav, .flac or .ogg) instead of speaking aloud."),
                              QStringLiteral("FILE")};
    QCommandLineOption text{QStringLiteral("text"), QStringLiteral("Speak TEXT."), QStringLiteral("TEXT")};
    QCommandLineOption printText{QStringLiteral("print-text"),
                                 QStringLiteral("Print the text the studio would open from FILE."), QStringLiteral("FILE")};
    QCommandLineOption filter{QStringLiteral("filter"),
                              QStringLiteral("Open dialog filter index for --print-text."), QStringLiteral("N")};
    QCommandLineOption lexicon{QStringLiteral("lexicon"),
                               QStringLiteral("Pronunciation rules from FILE (repeatable)."), QStringLiteral("FILE")};
    QCommandLineOption skip{QStringLiteral("skip"), QStringLiteral("Do not read brackets, urls or brackets,urls."),
                            QStringLiteral("LIST")};

    void AddTo(QCommandLineParser &parser) const
    {
        parser.addOptions({help, version, listVoices, voice, speed, pitch, output, text, printText, filter});
        parser.addOptions({lexicon, skip});
        parser.addPositionalArgument(QStringLiteral("FILE"),
                                     QStringLiteral("Text file to speak; - reads standard input."),
                                     QStringLiteral("[FILE | -]"));
    }
};

std::optional<int> ParseInt(const QString &value)
{
    bool ok = false;
    const int v = value.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(v) : std::nullopt;
}

} // namespace

QString SpeakOptions::HelpText()
{
    return QStringLiteral(
        "Usage: orvena-speak [--voice NAME|INDEX] [--speed WPM] [--pitch HZ] [--output FILE]\n"
        "                    [--lexicon FILE]... [--skip brackets|urls|brackets,urls]\n"
        "                    (--text TEXT | FILE | -)\n"
        "       orvena-speak --list-voices\n"
        "       orvena-speak --print-text FILE [--filter N]\n"
        "\n"
        "Speaks text aloud with the Orvena STUDIO speech engine, or records it into a sound file.\n"
        "\n"
        "Options:\n"
        "  --voice NAME|INDEX  voice by speaker name (as --list-voices shows it) or index; default Mary\n"
        "  --speed WPM         speed in words per minute; default 150\n"
        "  --pitch HZ          base pitch in Hz; default 170\n"
        "  -o, --output FILE   record into FILE (.wav 16-bit PCM, .flac or .ogg) instead of speaking aloud;\n"
        "                      - records to standard output, a pipe or a device is written as a stream\n"
        "  --text TEXT         speak TEXT; otherwise the text comes from FILE, or from standard input with -\n"
        "  --lexicon FILE      pronunciation rules (word = replacement, /regex/ = replacement,\n"
        "                      [Voice] sections; see the manual page); repeatable, applied in order\n"
        "  --skip LIST         do not read text in brackets (brackets), web and e-mail addresses\n"
        "                      (urls), or both (brackets,urls)\n"
        "  --list-voices       list the voices, one per line: index, speaker, language, gender, backend,\n"
        "                      speed range (wpm), pitch range (Hz), separated by tabs\n"
        "  --print-text FILE   print (UTF-8) the text the studio would place into its editor when\n"
        "                      opening FILE; with --filter N as if the open dialog's filter N was\n"
        "                      chosen (1 text, 2 rich text, 3 Word, 4 all files, 5 OpenDocument,\n"
        "                      6 Word 2007, 7 PDF, 8 web page), else the filter of its extension\n"
        "  -h, --help          show this help\n"
        "  --version           show the version\n"
        "\n"
        "Exit status: 0 done; 2 usage error; 3 voice or setting rejected; 4 input unreadable;\n"
        "5 output unwritable or no audio device; 1 synthesis failed.\n");
}

std::optional<SpeakOptions> SpeakOptions::Parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const OptionTable table;
    table.AddTo(parser);
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());

    SpeakOptions o;
    if (parser.isSet(table.help)) {
        o.action = Action::Help;
        return o;
    }
    if (parser.isSet(table.version)) {
        o.action = Action::Version;
        return o;
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(table.printText)) {
        if (!positional.isEmpty() || parser.isSet(table.text) || parser.values(table.printText).size() > 1)
            return fail(QStringLiteral("--print-text takes one file and no other text"));
        o.action = Action::PrintText;
        o.inputFile = parser.value(table.printText);
        if (parser.isSet(table.filter)) {
            const auto n = ParseInt(parser.value(table.filter));
            if (!n)
                return fail(QStringLiteral("--filter needs a filter index, not \"%1\"").arg(parser.value(table.filter)));
            o.filter = *n;
        }
        return o;
    }
    if (parser.isSet(table.filter))
        return fail(QStringLiteral("--filter goes with --print-text"));
    if (parser.isSet(table.listVoices)) {
        if (!positional.isEmpty() || parser.isSet(table.text))
            return fail(QStringLiteral("--list-voices takes no text"));
        o.action = Action::ListVoices;
        return o;
    }
    for (const QCommandLineOption *single : {&table.voice, &table.speed, &table.pitch, &table.output, &table.text}) {
        if (parser.values(*single).size() > 1)
            return fail(QStringLiteral("--%1 given more than once").arg(single->names().constLast()));
    }
    o.voice = parser.isSet(table.voice) ? parser.value(table.voice) : QString::fromLatin1(kDefaultVoice);
    if (o.voice.trimmed().isEmpty())
        return fail(QStringLiteral("--voice needs a name or an index"));
    if (parser.isSet(table.speed)) {
        const auto v = ParseInt(parser.value(table.speed));
        if (!v)
            return fail(QStringLiteral("--speed needs a whole number of words per minute, not \"%1\"")
                            .arg(parser.value(table.speed)));
        o.speed = *v;
    }
    if (parser.isSet(table.pitch)) {
        const auto v = ParseInt(parser.value(table.pitch));
        if (!v)
            return fail(QStringLiteral("--pitch needs a whole number of Hz, not \"%1\"").arg(parser.value(table.pitch)));
        o.pitch = *v;
    }
    if (parser.isSet(table.output)) {
        o.output = parser.value(table.output);
        if (o.output.isEmpty())
            return fail(QStringLiteral("--output needs a file name"));
    }
    if (parser.isSet(table.text))
        o.text = parser.value(table.text);
    if (positional.size() > 1)
        return fail(QStringLiteral("give one text file at most"));
    if (o.text && !positional.isEmpty())
        return fail(QStringLiteral("give either --text or a file, not both"));
    if (!o.text && positional.isEmpty())
        return fail(QStringLiteral("nothing to speak: give --text TEXT, a file, or - for standard input"));
    if (!positional.isEmpty())
        o.inputFile = positional.constFirst();
    o.lexicons = parser.values(table.lexicon);
    for (const QString &file : std::as_const(o.lexicons)) {
        if (file.isEmpty())
            return fail(QStringLiteral("--lexicon needs a file name"));
    }
    for (const QString &list : parser.values(table.skip)) {
        QString why;
        const auto skip = speech::ReadingFilters::Parse(list, &why);
        if (!skip)
            return fail(QStringLiteral("--skip: %1").arg(why));
        o.skip |= *skip;
    }
    return o;
}
