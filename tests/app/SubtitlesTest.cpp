// SPDX-License-Identifier: GPL-3.0-or-later
// Subtitles of a recording: written by orvena-speak in each format and read back.
#include "SpeakToolRunner.h"
#include "speech/SubtitleWriter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <sndfile.h>

namespace
{

const QString kText = QStringLiteral(
    "Subtitles come one to a sentence. This one, however, goes on for rather longer than two lines of "
    "forty-two characters could ever hold, so it is cut at a word. \"Quoted,\" she said; then it ended.");

QStringList WordsOf(const QString &text)
{
    QStringList out;
    static const QRegularExpression word(QStringLiteral("[\\w']+"));
    for (auto it = word.globalMatch(text); it.hasNext();)
        out << it.next().captured();
    return out;
}

struct Cue {
    double begin = 0, end = 0;
    QStringList lines;
};

double Seconds(const QString &clock)
{
    // [hh:]mm:ss(,|.)fff
    const QStringList parts =
        QString(clock).replace(QLatin1Char(','), QLatin1Char('.')).split(QLatin1Char(':'));
    double s = 0;
    for (const QString &p : parts)
        s = s * 60 + p.toDouble();
    return s;
}

// SubRip and WebVTT: blocks of "begin --> end" and text lines.
std::vector<Cue> ParseTimedBlocks(const QString &file)
{
    std::vector<Cue> cues;
    static const QRegularExpression timing(QStringLiteral("^([\\d:.,]+) --> ([\\d:.,]+)$"));
    for (const QString &block : file.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts)) {
        QStringList lines = block.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        while (!lines.isEmpty() && !timing.match(lines.first()).hasMatch())
            lines.removeFirst(); // the cue number, the WEBVTT header
        if (lines.isEmpty())
            continue;
        const auto m = timing.match(lines.takeFirst());
        cues.push_back({Seconds(m.captured(1)), Seconds(m.captured(2)), lines});
    }
    return cues;
}

// LRC: "[mm:ss.xx]text" per cue; the last, empty one ends the one before.
std::vector<Cue> ParseLrc(const QString &file)
{
    std::vector<Cue> cues;
    static const QRegularExpression line(QStringLiteral("^\\[(\\d+:\\d+\\.\\d+)\\](.*)$"));
    for (const QString &l : file.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const auto m = line.match(l);
        if (!m.hasMatch())
            continue;
        const double at = Seconds(m.captured(1));
        if (!cues.empty())
            cues.back().end = at;
        if (!m.captured(2).isEmpty())
            cues.push_back({at, at, {m.captured(2)}});
    }
    return cues;
}

struct Sound {
    std::vector<short> samples;
    int rate = 0;
};

Sound ReadSound(const QString &path)
{
    Sound s;
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f)
        return s;
    s.rate = info.samplerate;
    s.samples.resize(static_cast<std::size_t>(info.frames));
    s.samples.resize(static_cast<std::size_t>(sf_read_short(f, s.samples.data(), info.frames)));
    sf_close(f);
    return s;
}

double Rms(const Sound &s, double from, double to)
{
    const auto a = static_cast<std::size_t>(std::max(0.0, from * s.rate));
    const auto b = std::min(s.samples.size(), static_cast<std::size_t>(to * s.rate));
    double sum = 0;
    for (std::size_t i = a; i < b; ++i)
        sum += double(s.samples[i]) * s.samples[i];
    return b > a ? std::sqrt(sum / double(b - a)) : 0;
}

double LastSound(const Sound &s)
{
    for (std::size_t i = s.samples.size(); i-- > 0;) {
        if (std::abs(s.samples[i]) > 300)
            return double(i + 1) / s.rate;
    }
    return 0;
}

} // namespace

TEST(Subtitles, eachFormatReadsBackAsTheTextsWordsInOrderTimedOnTheirSound)
{
    QTemporaryDir dir;
    const QString audio = dir.filePath(QStringLiteral("speech.wav"));
    for (const char *name : {"speech.srt", "speech.vtt", "speech.lrc"}) {
        const QString path = dir.filePath(QLatin1String(name));
        const Result r = RunTool({QStringLiteral("--output"), audio, QStringLiteral("--subtitles"), path,
                                  QStringLiteral("--text"), kText});
        ASSERT_EQ(r.code, SpeakCommand::kDone) << name << ": " << r.err.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QString content = QString::fromUtf8(file.readAll());
        const bool lrc = path.endsWith(QLatin1String(".lrc"));
        if (path.endsWith(QLatin1String(".vtt"))) {
            EXPECT_TRUE(content.startsWith(QStringLiteral("WEBVTT\n\n")));
        }
        const std::vector<Cue> cues = lrc ? ParseLrc(content) : ParseTimedBlocks(content);
        ASSERT_GE(cues.size(), 4u) << name << ": a sentence too long for two lines is cut";

        const Sound sound = ReadSound(audio);
        ASSERT_GT(sound.rate, 0);
        QStringList words;
        double last = 0;
        for (const Cue &c : cues) {
            EXPECT_GE(c.begin, last) << name;
            EXPECT_GT(c.end, c.begin) << name;
            last = c.end;
            if (!lrc) {
                EXPECT_LE(c.lines.size(), speech::SubtitleWriter::kLinesPerCue) << name;
                for (const QString &l : c.lines)
                    EXPECT_LE(l.size(), speech::SubtitleWriter::kLineLength)
                        << name << ": " << l.toStdString();
            }
            EXPECT_GT(Rms(sound, c.begin, c.end), 300)
                << name << ": silent cue " << c.lines.join(' ').toStdString();
            words << WordsOf(c.lines.join(QLatin1Char(' ')));
        }
        EXPECT_EQ(words, WordsOf(kText)) << name;
        EXPECT_NEAR(cues.back().end, LastSound(sound), 0.05)
            << name << ": the last cue ends where the speech does";
    }
}

TEST(Subtitles, subtitlesThatCannotBeWrittenFailTheCommandAndLeaveNeitherFile)
{
    QTemporaryDir dir;
    const QString audio = dir.filePath(QStringLiteral("speech.wav"));
    const Result missing = RunTool({QStringLiteral("--output"), audio, QStringLiteral("--subtitles"),
                                    dir.filePath(QStringLiteral("no/such/folder/speech.srt")),
                                    QStringLiteral("--text"), QStringLiteral("Hello.")});
    EXPECT_EQ(missing.code, SpeakCommand::kOutputFailed);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("subtitles")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.srt")));
    const Result folder = RunTool({QStringLiteral("--output"), audio, QStringLiteral("--subtitles"),
                                   dir.filePath(QStringLiteral("folder.srt")), QStringLiteral("--text"),
                                   QStringLiteral("Hello.")});
    EXPECT_EQ(folder.code, SpeakCommand::kOutputFailed);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0) << "neither file is left";

    // Command lines that cannot work are usage errors.
    EXPECT_EQ(RunTool({QStringLiteral("--subtitles"), dir.filePath(QStringLiteral("a.srt")),
                       QStringLiteral("--text"), QStringLiteral("Hello.")})
                  .code,
              SpeakCommand::kUsage);
    EXPECT_EQ(
        RunTool({QStringLiteral("--output"), audio, QStringLiteral("--subtitles"),
                 dir.filePath(QStringLiteral("a.txt")), QStringLiteral("--text"), QStringLiteral("Hello.")})
            .code,
        SpeakCommand::kUsage);
}

TEST(Subtitles, aWordLongerThanALineGetsALineOfItsOwn)
{
    const QString text =
        QStringLiteral("Short words then Pneumonoultramicroscopicsilicovolcanoconiosisisaverylongword here.");
    std::vector<speech::SpeechMark> marks{{speech::SpeechMark::Kind::Sentence, 0, text.size(), 0, 700}};
    qint64 at = 0;
    static const QRegularExpression word(QStringLiteral("[\\w']+"));
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        marks.push_back({speech::SpeechMark::Kind::Word, m.capturedStart(), m.capturedLength(), at, at + 90});
        at += 100;
    }
    const auto cues = speech::SubtitleWriter::Cues(text, marks, 1000);
    QStringList lines;
    for (const auto &c : cues)
        lines << c.lines;
    EXPECT_TRUE(
        lines.contains(QStringLiteral("Pneumonoultramicroscopicsilicovolcanoconiosisisaverylongword")));
    EXPECT_EQ(WordsOf(lines.join(QLatin1Char(' '))), WordsOf(text));
}
