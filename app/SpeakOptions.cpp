// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SpeakOptions.h"

#include "speech/ReadingFilters.h"
#include "speech/SoundFormat.h"
#include "speech/SubtitleWriter.h"

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
    QCommandLineOption withDefaults{
        QStringLiteral("with-defaults"),
        QStringLiteral("With --list-voices: add each voice's default speed and pitch.")};
    QCommandLineOption speed{QStringLiteral("speed"),
                             QStringLiteral("Speed in words per minute (default: the voice's own)."),
                             QStringLiteral("WPM")};
    QCommandLineOption pitch{QStringLiteral("pitch"),
                             QStringLiteral("Base pitch in Hz (default: the voice's own)."),
                             QStringLiteral("HZ")};
    QCommandLineOption output{
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Record into FILE (.wav, .flac, .ogg, .opus or .mp3) instead of speaking aloud."),
        QStringLiteral("FILE")};
    QCommandLineOption subtitles{QStringLiteral("subtitles"),
                                 QStringLiteral("With --output: subtitles of the recording into FILE (.srt, .vtt or .lrc)."),
                                 QStringLiteral("FILE")};
    QCommandLineOption quality{QStringLiteral("quality"),
                               QStringLiteral("Quality of a recording, 0 (smallest) to 1 (best)."),
                               QStringLiteral("Q")};
    QCommandLineOption title{QStringLiteral("title"), QStringLiteral("Title tag of a recording."),
                             QStringLiteral("TEXT")};
    QCommandLineOption artist{QStringLiteral("artist"), QStringLiteral("Artist tag of a recording."),
                              QStringLiteral("TEXT")};
    QCommandLineOption album{QStringLiteral("album"), QStringLiteral("Album tag of a recording."),
                             QStringLiteral("TEXT")};
    QCommandLineOption text{QStringLiteral("text"), QStringLiteral("Speak TEXT."), QStringLiteral("TEXT")};
    QCommandLineOption printText{QStringLiteral("print-text"),
                                 QStringLiteral("Print the text the studio would open from FILE."), QStringLiteral("FILE")};
    QCommandLineOption filter{QStringLiteral("filter"),
                              QStringLiteral("Open dialog filter index for --print-text."), QStringLiteral("N")};
    QCommandLineOption lexicon{QStringLiteral("lexicon"),
                               QStringLiteral("Pronunciation rules from FILE (repeatable)."), QStringLiteral("FILE")};
    QCommandLineOption skip{QStringLiteral("skip"), QStringLiteral("Do not read brackets, urls or brackets,urls."),
                            QStringLiteral("LIST")};

    QCommandLineOption split{QStringLiteral("split"),
                             QStringLiteral("With --output: one file per chapter, or per MINUTES of speech."),
                             QStringLiteral("chapters|MINUTES")};
    QCommandLineOption outputDir{QStringLiteral("output-dir"),
                                 QStringLiteral("Record each FILE into DIR/<its name>.EXT (with --format)."),
                                 QStringLiteral("DIR")};
    QCommandLineOption format{QStringLiteral("format"), QStringLiteral("The sound file kind of --output-dir."),
                              QStringLiteral("EXT")};
    QCommandLineOption subtitlesFormat{QStringLiteral("subtitles-format"),
                                       QStringLiteral("With --output-dir: subtitles beside each recording."),
                                       QStringLiteral("srt|vtt|lrc")};
    QCommandLineOption quiet{{QStringLiteral("q"), QStringLiteral("quiet")},
                             QStringLiteral("No progress on the terminal.")};

    void AddTo(QCommandLineParser &parser) const
    {
        parser.addOptions({split, outputDir, format, subtitlesFormat, quiet});
        parser.addOptions({help, version, listVoices, withDefaults, voice, speed, pitch, output, quality,
                           title, artist, album, text, printText, filter});
        parser.addOptions({lexicon, skip});
        parser.addOption(subtitles);
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

std::optional<double> ParseQuality(const QString &value)
{
    bool ok = false;
    const double v = value.trimmed().toDouble(&ok);
    return ok && v >= 0.0 && v <= 1.0 ? std::optional<double>(v) : std::nullopt;
}

} // namespace

QString SpeakOptions::HelpText()
{
    return QStringLiteral(
        "Usage: orvena-speak [--voice NAME|INDEX] [--speed WPM] [--pitch HZ] [--output FILE]\n"
        "                    [--lexicon FILE]... [--skip brackets|urls|brackets,urls]\n"
        "                    [--quality Q] [--title TEXT] [--artist TEXT] [--album TEXT]\n"
        "                    [--subtitles FILE]\n"
        "                    (--text TEXT | FILE | -)\n"
        "       orvena-speak --output-dir DIR --format EXT [--subtitles-format srt|vtt|lrc] FILE...\n"
        "       orvena-speak --list-voices [--with-defaults]\n"
        "       orvena-speak --print-text FILE [--filter N]\n"
        "\n"
        "Speaks text aloud with the Orvena STUDIO speech engine, or records it into a sound file.\n"
        "\n"
        "Options:\n"
        "  --voice NAME|INDEX  voice by speaker name (as --list-voices shows it) or index; default Mary\n"
        "  --speed WPM         speed in words per minute; default: the voice's own (Mary 150, Mike 170,\n"
        "                      Sam 150, as in the studio; other voices their natural speed)\n"
        "  --pitch HZ          base pitch in Hz; default: the voice's own (Mary 170, Mike 90, Sam 120;\n"
        "                      other voices their natural pitch)\n"
        "  -o, --output FILE   record into FILE instead of speaking aloud; its extension picks the kind:\n"
        "                      .wav (16-bit PCM, also without an extension), .flac, .ogg (Vorbis),\n"
        "                      .opus, .mp3; - records to standard output, a pipe or a device is\n"
        "                      written as a stream\n"
        "  --subtitles FILE    with --output: also write subtitles of the recording, one cue per\n"
        "                      sentence (cut to two lines of 42 characters), timed by the words as\n"
        "                      spoken; SubRip (.srt), WebVTT (.vtt) or LRC (.lrc) by the extension\n"
        "  --quality Q         quality of the recording from 0 (smallest) to 1 (best); defaults made\n"
        "                      for speech: MP3 0.9 (VBR, about 60 kbit/s), Vorbis 0.4 (40 kbit/s),\n"
        "                      Opus 0.1 (32 kbit/s); for FLAC only the effort of packing, 0.5\n"
        "  --title TEXT        title tag; default the input file's name, else the text's first words\n"
        "  --artist TEXT       artist tag; default the voice's speaker name\n"
        "  --album TEXT        album tag; none by default (a split book: its title)\n"
        "  --split chapters    with --output book.EXT: one file per chapter (an EPUB's chapters, else\n"
        "                      lines that stand alone and start with \"Chapter\"), book-01.EXT ...,\n"
        "                      tagged with track numbers, and the playlist book.m3u\n"
        "  --split MINUTES     the same, cut at the sentence end nearest every MINUTES of speech\n"
        "  --output-dir DIR    record each FILE (any document the studio opens) into DIR/<name>.EXT\n"
        "  --format EXT        the kind of those recordings: wav, flac, ogg, opus or mp3\n"
        "  --subtitles-format F  with --output-dir: also DIR/<name>.F (srt, vtt or lrc)\n"
        "  -q, --quiet         no progress bar on the terminal\n"
        "  --text TEXT         speak TEXT; otherwise the text comes from FILE, or from standard input with -\n"
        "  --lexicon FILE      pronunciation rules (word = replacement, /regex/ = replacement,\n"
        "                      [Voice] sections; see the manual page); repeatable, applied in order\n"
        "  --skip LIST         do not read text in brackets (brackets), web and e-mail addresses\n"
        "                      (urls), or both (brackets,urls)\n"
        "  --list-voices       list the voices, one per line: index, speaker, language, gender, backend,\n"
        "                      speed range (wpm), pitch range (Hz), separated by tabs; with\n"
        "                      --with-defaults also the default speed and pitch\n"
        "  --print-text FILE   print (UTF-8) the text the studio would place into its editor when\n"
        "                      opening FILE; with --filter N as if the open dialog's filter N was\n"
        "                      chosen (1 text, 2 rich text, 3 Word, 4 all files, 5 OpenDocument,\n"
        "                      6 Word 2007, 7 PDF, 8 web page, 9 EPUB), else the filter of its\n"
        "                      extension\n"
        "  -h, --help          show this help\n"
        "  --version           show the version\n"
        "\n"
        "Exit status: 0 done; 1 synthesis failed, or a document of --output-dir was not recorded;\n"
        "2 usage error; 3 voice or setting rejected; 4 input unreadable; 5 output unwritable or no\n"
        "audio device.\n");
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
        o.withDefaults = parser.isSet(table.withDefaults);
        return o;
    }
    if (parser.isSet(table.withDefaults))
        return fail(QStringLiteral("--with-defaults goes with --list-voices"));
    for (const QCommandLineOption *single :
         {&table.voice, &table.speed, &table.pitch, &table.output, &table.text, &table.quality, &table.title,
          &table.artist, &table.album, &table.subtitles, &table.split, &table.outputDir, &table.format,
          &table.subtitlesFormat}) {
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
        if (!speech::SoundFormat::ForPath(o.output))
            return fail(QStringLiteral("cannot record into \"%1\": %2")
                            .arg(o.output, speech::SoundFormat::UnknownExtensionMessage(o.output)));
    }
    if (parser.isSet(table.subtitles)) {
        o.subtitles = parser.value(table.subtitles);
        if (o.subtitles.isEmpty())
            return fail(QStringLiteral("--subtitles needs a file name"));
        if (o.output.isEmpty())
            return fail(QStringLiteral("--subtitles goes with --output"));
        if (!speech::SubtitleWriter::FormatFor(o.subtitles))
            return fail(QStringLiteral("cannot write subtitles into \"%1\": %2")
                            .arg(o.subtitles, speech::SubtitleWriter::UnknownExtensionMessage(o.subtitles)));
    }
    if (parser.isSet(table.quality)) {
        o.quality = ParseQuality(parser.value(table.quality));
        if (!o.quality)
            return fail(QStringLiteral("--quality needs a number from 0 to 1, not \"%1\"")
                            .arg(parser.value(table.quality)));
    }
    o.title = parser.value(table.title);
    o.artist = parser.value(table.artist);
    o.album = parser.value(table.album);
    if (parser.isSet(table.text))
        o.text = parser.value(table.text);
    o.quiet = parser.isSet(table.quiet);
    if (parser.isSet(table.split)) {
        const QString how = parser.value(table.split).trimmed();
        if (how == QLatin1String("chapters")) {
            o.splitChapters = true;
        } else {
            const auto minutes = ParseInt(how);
            if (!minutes || *minutes < 1)
                return fail(QStringLiteral("--split needs \"chapters\" or a whole number of minutes, not \"%1\"").arg(how));
            o.splitMinutes = *minutes;
        }
        if (o.output.isEmpty() && !parser.isSet(table.outputDir))
            return fail(QStringLiteral("--split goes with --output or --output-dir"));
        if (!o.subtitles.isEmpty() || parser.isSet(table.subtitlesFormat))
            return fail(QStringLiteral("--split writes no subtitles: leave out --subtitles"));
    }
    if (parser.isSet(table.subtitlesFormat) && !parser.isSet(table.outputDir))
        return fail(QStringLiteral("--subtitles-format goes with --output-dir"));
    if (parser.isSet(table.format) && !parser.isSet(table.outputDir))
        return fail(QStringLiteral("--format goes with --output-dir"));
    if (parser.isSet(table.outputDir)) {
        o.outputDir = parser.value(table.outputDir);
        o.format = parser.value(table.format).trimmed();
        if (o.format.startsWith(u'.'))
            o.format.remove(0, 1);
        if (o.outputDir.isEmpty())
            return fail(QStringLiteral("--output-dir needs a folder"));
        if (o.format.isEmpty())
            return fail(QStringLiteral("--output-dir needs --format (%1)").arg(speech::SoundFormat::Extensions().join(u'|')));
        if (!speech::SoundFormat::ForExtension(o.format))
            return fail(QStringLiteral("--format: %1").arg(speech::SoundFormat::UnknownExtensionMessage(QStringLiteral("x.") + o.format)));
        if (!o.output.isEmpty() || o.text || !o.subtitles.isEmpty())
            return fail(QStringLiteral("--output-dir records files: no --output, --text or --subtitles with it"));
        if (positional.isEmpty())
            return fail(QStringLiteral("--output-dir needs the files to record"));
        if (positional.contains(QStringLiteral("-")))
            return fail(QStringLiteral("--output-dir records files, not standard input"));
        if (parser.isSet(table.subtitlesFormat)) {
            o.subtitlesFormat = parser.value(table.subtitlesFormat).trimmed();
            if (!speech::SubtitleWriter::FormatFor(QStringLiteral("x.") + o.subtitlesFormat))
                return fail(QStringLiteral("--subtitles-format: %1")
                                .arg(speech::SubtitleWriter::UnknownExtensionMessage(QStringLiteral("x.") + o.subtitlesFormat)));
        }
        o.inputFiles = positional;
        o.action = Action::Batch;
    } else {
        if (positional.size() > 1)
            return fail(QStringLiteral("give one text file at most (or --output-dir DIR --format EXT FILE...)"));
        if (o.text && !positional.isEmpty())
            return fail(QStringLiteral("give either --text or a file, not both"));
        if (!o.text && positional.isEmpty())
            return fail(QStringLiteral("nothing to speak: give --text TEXT, a file, or - for standard input"));
        if (!positional.isEmpty())
            o.inputFile = positional.constFirst();
    }
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
