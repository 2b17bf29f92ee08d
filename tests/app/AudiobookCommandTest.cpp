// SPDX-License-Identifier: GPL-3.0-or-later
// orvena-speak as an audiobook maker: sound file kinds, tags, quality and per-voice defaults.
#include "SpeakToolRunner.h"

#include "app/AudiobookParts.h"

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

TEST(AudiobookParts, chaptersStartAtLinesThatStandAloneAndBeginWithChapter)
{
    const QString text = QStringLiteral("A Book\n\nChapter 1\nIt began.\n\nCHAPTER II. The Road\nOn we went.\n"
                                        "Chapter 3 is mentioned here without a blank line before it.\n\n"
                                        "Chapters of the past were long, and this line is prose far too long to be a heading.\n\n"
                                        "Chapter 3\nThe end.\n");
    const auto parts = audiobook::ChapterParts(text);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].title, QStringLiteral("Chapter 1"));
    EXPECT_EQ(parts[0].start, 0) << "what comes before the first chapter belongs to it";
    EXPECT_EQ(parts[1].title, QStringLiteral("CHAPTER II. The Road"));
    EXPECT_TRUE(text.mid(parts[1].start).startsWith(QStringLiteral("CHAPTER II")));
    EXPECT_EQ(parts[2].title, QStringLiteral("Chapter 3"));
    EXPECT_EQ(parts[2].start + parts[2].length, text.size());
    // Together the parts are the whole text, in order.
    for (std::size_t i = 1; i < parts.size(); ++i)
        EXPECT_EQ(parts[i].start, parts[i - 1].start + parts[i - 1].length);

    const auto none = audiobook::ChapterParts(QStringLiteral("Only prose.\nNo headings."));
    ASSERT_EQ(none.size(), 1u);
    EXPECT_TRUE(none[0].title.isEmpty());
    // An importer's chapters win over headings in the text.
    const auto given = audiobook::ChapterParts(text, {{QStringLiteral("One"), 3}, {QStringLiteral("Two"), 40}});
    ASSERT_EQ(given.size(), 2u);
    EXPECT_EQ(given[0].start, 0);
    EXPECT_EQ(given[1].start, 40);
}

TEST(AudiobookParts, timedPartsCutAtTheSentenceEndNearestEachMark)
{
    // 30 sentences of 10 words; 100 words a minute and 1 minute a part: cuts after every 10th.
    QString text;
    for (int i = 0; i < 30; ++i)
        text += QStringLiteral("One two three four five six seven eight nine ten. ");
    const auto parts = audiobook::TimedParts(text, 1, 100);
    ASSERT_EQ(parts.size(), 3u);
    for (const auto &p : parts) {
        EXPECT_TRUE(text.mid(p.start, p.length).trimmed().endsWith(u'.'));
        EXPECT_EQ(text.mid(p.start, p.length).count(u'.'), 10);
    }
    // A mark just after a sentence's start cuts before it, not a whole sentence late.
    const QString uneven = QStringLiteral("Short one. ") + QStringLiteral("word ").repeated(50) + QStringLiteral("end.");
    const auto early = audiobook::TimedParts(uneven, 1, 5);
    ASSERT_GE(early.size(), 2u);
    EXPECT_EQ(uneven.mid(early[0].start, early[0].length).trimmed(), QStringLiteral("Short one."));
    EXPECT_EQ(audiobook::TimedParts(QStringLiteral("Too short to cut."), 10, 150).size(), 1u);
}

TEST(AudiobookParts, partNamesAreNumberedBesideTheOutputAndThePlaylistListsThemInOrder)
{
    EXPECT_EQ(audiobook::PartPath(QStringLiteral("/a.b/book.mp3"), 3, 12), QStringLiteral("/a.b/book-03.mp3"));
    EXPECT_EQ(audiobook::PartPath(QStringLiteral("book.mp3"), 7, 120), QStringLiteral("book-007.mp3"));
    EXPECT_EQ(audiobook::PartPath(QStringLiteral("dir/book"), 1, 2), QStringLiteral("dir/book-01"));
    EXPECT_EQ(audiobook::PlaylistPath(QStringLiteral("dir/book.opus")), QStringLiteral("dir/book.m3u"));
    EXPECT_EQ(audiobook::PlaylistText({{QStringLiteral("b-01.mp3"), QStringLiteral("One\nTwo"), 61},
                                       {QStringLiteral("b-02.mp3"), QStringLiteral("Caf\u00e9"), -1}}),
              QByteArray("#EXTM3U\n#EXTINF:61,One Two\nb-01.mp3\n#EXTINF:-1,Caf\xc3\xa9\nb-02.mp3\n"));
}

TEST(AudiobookCommand, aBookSplitByChaptersBecomesNumberedTaggedFilesAndAPlaylist)
{
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("book.ogg"));
    ASSERT_EQ(RunTool({QStringLiteral("--split"), QStringLiteral("chapters"), QStringLiteral("-o"), output,
                       QStringLiteral(ORVENA_EPUB_FIXTURES "/spine-order.epub")})
                  .code,
              SpeakCommand::kDone);
    EXPECT_EQ(Entries(dir.path()), (QStringList{QStringLiteral("book-01.ogg"), QStringLiteral("book-02.ogg"),
                                                QStringLiteral("book-03.ogg"), QStringLiteral("book.m3u")}));
    const QStringList titles = {QStringLiteral("Chapter 1: The Opening"), QStringLiteral("Chapter 2: The Middle"),
                                QStringLiteral("Epilogue")};
    for (int i = 0; i < 3; ++i) {
        const Recording r = ReadBack(dir.filePath(QStringLiteral("book-0%1.ogg").arg(i + 1)));
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.title, titles[i]);
        EXPECT_EQ(r.track, QString::number(i + 1));
        EXPECT_EQ(r.album, QStringLiteral("spine-order"));
        EXPECT_GT(r.samples.size(), std::size_t(r.rate / 2));
    }
    QFile playlist(dir.filePath(QStringLiteral("book.m3u")));
    ASSERT_TRUE(playlist.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(playlist.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], QStringLiteral("#EXTM3U"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("#EXTINF:")) && lines[1].endsWith(QStringLiteral(",Chapter 1: The Opening")));
    EXPECT_EQ(lines[2], QStringLiteral("book-01.ogg"));
    EXPECT_EQ(lines[6], QStringLiteral("book-03.ogg"));

    // A text without chapters: one file, and a note saying so.
    const Result plain = RunTool({QStringLiteral("--split"), QStringLiteral("chapters"), QStringLiteral("-o"),
                                  dir.filePath(QStringLiteral("plain.wav")), QStringLiteral("--text"),
                                  QStringLiteral("Nothing but words.")});
    EXPECT_EQ(plain.code, SpeakCommand::kDone);
    EXPECT_TRUE(plain.err.contains(QStringLiteral("no chapters"))) << plain.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("plain-01.wav"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("plain-02.wav"))));
}

TEST(AudiobookCommand, aBatchSkipsTheBrokenDocumentNamesItAndFailsAtTheEnd)
{
    QTemporaryDir dir;
    const QString notes = dir.filePath(QStringLiteral("notes.txt"));
    {
        QFile f(notes);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("A few plain words.");
    }
    const QString out = dir.filePath(QStringLiteral("out"));
    const Result r = RunTool({QStringLiteral("--output-dir"), out, QStringLiteral("--format"), QStringLiteral("mp3"), notes,
                              QStringLiteral(ORVENA_EPUB_FIXTURES "/broken-container.epub"),
                              QStringLiteral(ORVENA_EPUB_FIXTURES "/ncx.epub"), QStringLiteral(ORVENA_EPUB_FIXTURES "/chapters.txt")});
    EXPECT_EQ(r.code, SpeakCommand::kSynthesisFailed);
    EXPECT_TRUE(r.err.contains(QStringLiteral("broken-container.epub"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("3 of 4"))) << r.err.toStdString();
    EXPECT_EQ(Entries(out), (QStringList{QStringLiteral("chapters.mp3"), QStringLiteral("ncx.mp3"), QStringLiteral("notes.mp3")}));
    EXPECT_EQ(ReadBack(QDir(out).filePath(QStringLiteral("ncx.mp3"))).format, SF_FORMAT_MPEG);

    // All well: exit 0. Two documents of one name do not record over each other.
    const QString again = dir.filePath(QStringLiteral("again"));
    EXPECT_EQ(RunTool({QStringLiteral("-q"), QStringLiteral("--output-dir"), again, QStringLiteral("--format"),
                       QStringLiteral("wav"), notes, notes})
                  .code,
              SpeakCommand::kDone);
    EXPECT_EQ(Entries(again), (QStringList{QStringLiteral("notes-2.wav"), QStringLiteral("notes.wav")}));

    // A folder that cannot be made is refused before anything is recorded.
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(RunTool({QStringLiteral("--output-dir"), dir.filePath(QStringLiteral("file/sub")), QStringLiteral("--format"),
                       QStringLiteral("wav"), notes})
                  .code,
              SpeakCommand::kOutputFailed);

    const QList<QStringList> wrong = {
        {QStringLiteral("--split"), QStringLiteral("chapters"), QStringLiteral("--text"), QStringLiteral("a")},
        {QStringLiteral("--split"), QStringLiteral("0"), QStringLiteral("-o"), QStringLiteral("x.wav"), notes},
        {QStringLiteral("--format"), QStringLiteral("mp3"), notes},
        {QStringLiteral("--output-dir"), out, notes},
        {QStringLiteral("--output-dir"), out, QStringLiteral("--format"), QStringLiteral("aac"), notes},
        {QStringLiteral("--output-dir"), out, QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("-")},
        {QStringLiteral("--output-dir"), out, QStringLiteral("--format"), QStringLiteral("mp3")},
    };
    for (const QStringList &arguments : wrong)
        EXPECT_EQ(RunTool(arguments).code, SpeakCommand::kUsage) << arguments.join(u' ').toStdString();
}
