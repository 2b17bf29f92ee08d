// SPDX-License-Identifier: GPL-3.0-or-later
// orvena-speak as an audiobook maker: sound file kinds, tags, quality and per-voice defaults.
#include "SpeakToolRunner.h"

#include "speech/PitchAnalysis.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sndfile.h>

#include <vector>

namespace {

struct Recording {
    bool ok = false;
    int format = 0;
    int rate = 0;
    std::vector<std::int16_t> samples;
    QString title, artist, album, track;
};

Recording ReadBack(const QString &path)
{
    Recording r;
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f)
        return r;
    r.ok = true;
    r.format = info.format & SF_FORMAT_TYPEMASK;
    r.rate = info.samplerate;
    r.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    r.samples.resize(
        static_cast<std::size_t>(sf_read_short(f, r.samples.data(), sf_count_t(r.samples.size()))));
    auto text = [f](int field) { return QString::fromUtf8(sf_get_string(f, field)); };
    r.title = text(SF_STR_TITLE);
    r.artist = text(SF_STR_ARTIST);
    r.album = text(SF_STR_ALBUM);
    r.track = text(SF_STR_TRACKNUMBER);
    sf_close(f);
    return r;
}

QStringList Entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

const QString kSentence =
    QStringLiteral("Where were you a year ago, when we were away all morning? We were all in Rome.");

} // namespace

TEST(AudiobookCommand, theOutputsExtensionPicksTheKindAndAnUnknownOneIsAUsageError)
{
    QTemporaryDir dir;
    for (const char *ext : {"mp3", "opus"}) {
        const QString path = dir.filePath(QStringLiteral("hello.") + QLatin1String(ext));
        ASSERT_EQ(
            RunTool({QStringLiteral("-o"), path, QStringLiteral("--text"), QStringLiteral("Hello there.")})
                .code,
            SpeakCommand::kDone);
        const Recording r = ReadBack(path);
        ASSERT_TRUE(r.ok) << ext;
        EXPECT_EQ(r.format, QLatin1String(ext) == QLatin1String("mp3") ? SF_FORMAT_MPEG : SF_FORMAT_OGG);
    }
    const QString before = Entries(dir.path()).join(u',');
    const Result unknown = RunTool({QStringLiteral("-o"), dir.filePath(QStringLiteral("hello.txt")),
                                    QStringLiteral("--text"), QStringLiteral("a")});
    EXPECT_EQ(unknown.code, SpeakCommand::kUsage);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("\".txt\""))) << unknown.err.toStdString();
    EXPECT_EQ(Entries(dir.path()).join(u','), before) << "nothing may be written for a refused name";
    for (const char *bad : {"1.5", "-0.1", "best"}) {
        EXPECT_EQ(
            RunTool({QStringLiteral("--quality"), QLatin1String(bad), QStringLiteral("-o"),
                     dir.filePath(QStringLiteral("q.mp3")), QStringLiteral("--text"), QStringLiteral("a")})
                .code,
            SpeakCommand::kUsage)
            << bad;
    }
}

TEST(AudiobookCommand, tagsDefaultToTheFileNameAndTheSpeakerAndCanBeGiven)
{
    QTemporaryDir dir;
    const QString textFile = dir.filePath(QStringLiteral("The Long Walk.txt"));
    {
        QFile f(textFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("It was a long walk home.");
    }
    const QString fromFile = dir.filePath(QStringLiteral("walk.ogg"));
    ASSERT_EQ(
        RunTool({QStringLiteral("--voice"), QStringLiteral("Mike"), QStringLiteral("-o"), fromFile, textFile})
            .code,
        SpeakCommand::kDone);
    Recording r = ReadBack(fromFile);
    EXPECT_EQ(r.title, QStringLiteral("The Long Walk"));
    EXPECT_EQ(r.artist, QStringLiteral("Mike"));
    EXPECT_EQ(r.album, QString());

    const QString fromText = dir.filePath(QStringLiteral("text.flac"));
    ASSERT_EQ(RunTool({QStringLiteral("-o"), fromText, QStringLiteral("--text"),
                       QStringLiteral("Once upon a time, there was a king.")})
                  .code,
              SpeakCommand::kDone);
    r = ReadBack(fromText);
    EXPECT_EQ(r.title, QStringLiteral("Once upon a time there was a king"));
    EXPECT_EQ(r.artist, QStringLiteral("Mary"));

    const QString given = dir.filePath(QStringLiteral("given.flac"));
    ASSERT_EQ(RunTool({QStringLiteral("-o"), given, QStringLiteral("--title"), QStringLiteral("Prologue"),
                       QStringLiteral("--artist"), QStringLiteral("A. Reader"), QStringLiteral("--album"),
                       QStringLiteral("Tales"), textFile})
                  .code,
              SpeakCommand::kDone);
    r = ReadBack(given);
    EXPECT_EQ(r.title, QStringLiteral("Prologue"));
    EXPECT_EQ(r.artist, QStringLiteral("A. Reader"));
    EXPECT_EQ(r.album, QStringLiteral("Tales"));
}

// The studio's voices speak at its own settings without --speed and --pitch; Mike used to come
// out at 170 Hz, a woman's pitch.
TEST(AudiobookCommand, eachVoiceSpeaksAtItsOwnDefaultPitch)
{
    QTemporaryDir dir;
    const struct {
        const char *voice;
        double hz;
    } rows[] = {{"Mary", 170}, {"Mike", 90}, {"Sam", 120}};
    for (const auto &row : rows) {
        const QString path = dir.filePath(QStringLiteral("%1.wav").arg(QLatin1String(row.voice)));
        ASSERT_EQ(RunTool({QStringLiteral("--voice"), QLatin1String(row.voice), QStringLiteral("-o"), path,
                           QStringLiteral("--text"), kSentence})
                      .code,
                  SpeakCommand::kDone);
        const Recording r = ReadBack(path);
        const auto hz = speech::PitchAnalysis::MedianPitchHz(r.samples.data(), r.samples.size(), r.rate);
        ASSERT_TRUE(hz) << row.voice;
        EXPECT_NEAR(*hz, row.hz, row.hz * 0.15) << row.voice;
    }
    // A voice outside the studio speaks at its natural pitch, which --list-voices --with-defaults shows.
    const Result list = RunTool({QStringLiteral("--list-voices"), QStringLiteral("--with-defaults")});
    ASSERT_EQ(list.code, SpeakCommand::kDone);
    const QStringList lines = list.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("\t150\t170")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("\t170\t90")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("\t150\t120")));
    for (const QString &line : lines) {
        const QStringList fields = line.split(u'\t');
        ASSERT_EQ(fields.size(), 9) << line.toStdString();
        if (fields[1] != QLatin1String("English (America)"))
            continue;
        const QString path = dir.filePath(QStringLiteral("natural.wav"));
        ASSERT_EQ(RunTool({QStringLiteral("--voice"), fields[1], QStringLiteral("-o"), path,
                           QStringLiteral("--text"), kSentence})
                      .code,
                  SpeakCommand::kDone);
        const Recording r = ReadBack(path);
        const auto hz = speech::PitchAnalysis::MedianPitchHz(r.samples.data(), r.samples.size(), r.rate);
        ASSERT_TRUE(hz);
        EXPECT_NEAR(*hz, fields[8].toDouble(), fields[8].toDouble() * 0.15);
        EXPECT_EQ(fields[7], QStringLiteral("175"));
    }
    // Given settings still win.
    const QString high = dir.filePath(QStringLiteral("high.wav"));
    ASSERT_EQ(
        RunTool({QStringLiteral("--voice"), QStringLiteral("Mike"), QStringLiteral("--pitch"),
                 QStringLiteral("200"), QStringLiteral("-o"), high, QStringLiteral("--text"), kSentence})
            .code,
        SpeakCommand::kDone);
    const Recording r = ReadBack(high);
    EXPECT_NEAR(speech::PitchAnalysis::MedianPitchHz(r.samples.data(), r.samples.size(), r.rate).value_or(0),
                200, 30);
}

TEST(AudiobookCommand, voiceNamesMatchWithoutTheBlanksAroundThem)
{
    QTemporaryDir dir;
    // One espeak-ng voice's name ends in a blank ("Cherokee "); typed names carry stray ones too.
    for (const char *name : {" mike ", "Cherokee", "cherokee  "}) {
        const QString path = dir.filePath(QStringLiteral("v.wav"));
        EXPECT_EQ(RunTool({QStringLiteral("--voice"), QLatin1String(name), QStringLiteral("-o"), path,
                           QStringLiteral("--text"), QStringLiteral("Hello.")})
                      .code,
                  SpeakCommand::kDone)
            << "[" << name << "]";
    }
}
