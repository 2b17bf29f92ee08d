// SPDX-License-Identifier: GPL-3.0-or-later
// Recordings of every kind written through WaveWriter and read back, by libsndfile as the studio's
// own tests do and by the tools a listener would use (sox decodes, mediainfo shows the tags).
#include "SpeechTestSupport.h"

#include "speech/SoundFormat.h"
#include "speech/WaveWriter.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>

using namespace speech;

namespace {

// A second of a gliding tone: enough voiced-like signal that a lossy encoder keeps its energy.
std::vector<std::int16_t> Glide(int rate, double seconds = 1.0)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(rate * seconds));
    double phase = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        phase += 2 * M_PI * (150.0 + 100.0 * double(i) / double(out.size())) / rate;
        out[i] = static_cast<std::int16_t>(8000 * std::sin(phase));
    }
    return out;
}

bool WriteFile(const QString &path, int rate, const RecordingOptions &options,
               const std::vector<std::int16_t> &pcm)
{
    QString error;
    auto writer = WaveWriter::Create(path, rate, options, &error);
    if (!writer) {
        ADD_FAILURE() << error.toStdString();
        return false;
    }
    return writer->Write(pcm.data(), pcm.size()) && writer->Commit(&error);
}

QString RunTool(const QString &program, const QStringList &arguments)
{
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty()) {
        ADD_FAILURE() << program.toStdString() << " is missing (scripts/setup installs it)";
        return {};
    }
    QProcess p;
    p.start(found, arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// mediainfo's general track as a map of its JSON fields.
QJsonObject MediaInfoGeneral(const QString &path)
{
    const QJsonDocument doc = QJsonDocument::fromJson(
        RunTool(QStringLiteral("mediainfo"), {QStringLiteral("--Output=JSON"), path}).toUtf8());
    for (const QJsonValue &track :
         doc.object().value(QStringLiteral("media")).toObject().value(QStringLiteral("track")).toArray()) {
        if (track.toObject().value(QStringLiteral("@type")).toString() == QLatin1String("General"))
            return track.toObject();
    }
    return {};
}

} // namespace

TEST(SoundFormat, theExtensionPicksTheKindAndAnUnknownOneNone)
{
    const struct {
        const char *name;
        std::optional<SoundContainer> kind;
    } rows[] = {
        {"book.wav", SoundContainer::Wav},       {"BOOK.MP3", SoundContainer::Mp3},
        {"a.b/book.opus", SoundContainer::Opus}, {"book.flac", SoundContainer::Flac},
        {"book.ogg", SoundContainer::OggVorbis}, {"book.oga", SoundContainer::OggVorbis},
        {"no-extension", SoundContainer::Wav},   {"trailing-dot.", SoundContainer::Wav},
        {".hidden", SoundContainer::Wav},        {"notes.txt", std::nullopt},
        {"book.mp3.part", std::nullopt},         {"book.m4a", std::nullopt},
    };
    for (const auto &row : rows) {
        const auto format = SoundFormat::ForPath(QString::fromUtf8(row.name));
        EXPECT_EQ(format.has_value(), row.kind.has_value()) << row.name;
        if (format && row.kind) {
            EXPECT_EQ(format->container, *row.kind) << row.name;
        }
    }
    EXPECT_EQ(SoundFormat::UnknownExtensionMessage(QStringLiteral("x.txt")),
              QStringLiteral("unknown sound file kind \".txt\" (use .wav, .flac, .ogg, .opus or .mp3)"));
}

TEST(SoundFormat, titlesFromTextTakeTheFirstWordsWithoutPunctuation)
{
    EXPECT_EQ(
        SoundTags::TitleFromText(QStringLiteral("  \"Hello,\" she said. It was a long day in the city.")),
        QStringLiteral("Hello she said It was a long day"));
    EXPECT_EQ(SoundTags::TitleFromText(QStringLiteral("...")), QString());
    const QString longWord = QString(70, QLatin1Char('x'));
    EXPECT_EQ(SoundTags::TitleFromText(QStringLiteral("Short ") + longWord), QStringLiteral("Short"));
}

TEST(WaveWriter, everyKindRoundTripsWithItsTagsThroughLibsndfileSoxAndMediainfo)
{
    QTemporaryDir dir;
    RecordingOptions options;
    options.tags = {QStringLiteral("Chapter One"), QStringLiteral("Mary"), QStringLiteral("The Book"), 3, 12};
    const struct {
        const char *ext;
        int rate;     // the speech's rate
        int fileRate; // what libsndfile reads back
        int majorFormat;
    } rows[] = {
        {"wav", 16000, 16000, SF_FORMAT_WAV},  {"flac", 22050, 22050, SF_FORMAT_FLAC},
        {"ogg", 16000, 16000, SF_FORMAT_OGG},  {"opus", 16000, 16000, SF_FORMAT_OGG},
        {"opus", 22050, 24000, SF_FORMAT_OGG}, {"mp3", 16000, 16000, SF_FORMAT_MPEG},
        {"mp3", 22050, 22050, SF_FORMAT_MPEG},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.ext) + " at " + std::to_string(row.rate));
        const QString path =
            dir.filePath(QStringLiteral("take%1.%2").arg(row.rate).arg(QLatin1String(row.ext)));
        const auto pcm = Glide(row.rate);
        ASSERT_TRUE(WriteFile(path, row.rate, options, pcm));
        EXPECT_TRUE(
            QDir(dir.path()).entryList({QStringLiteral(".*.part")}, QDir::Hidden | QDir::Files).isEmpty());

        const SoundFile back = SoundFile::Read(path);
        ASSERT_TRUE(back.ok);
        EXPECT_EQ(back.format & SF_FORMAT_TYPEMASK, row.majorFormat);
        EXPECT_EQ(back.sampleRate, row.fileRate);
        EXPECT_EQ(back.channels, 1);
        // Encoders pad and trim a little; a second of sound stays about a second, and audible.
        EXPECT_NEAR(back.Seconds(), 1.0, 0.08);
        EXPECT_GT(back.Rms(), 2000.0);

        const QJsonObject general = MediaInfoGeneral(path);
        // sox decodes it and finds the same length (Debian's sox has no Opus reader: there
        // mediainfo's reading of the Ogg pages stands in). MP3 frames round it up a little.
        const bool opus = QLatin1String(row.ext) == QLatin1String("opus");
        const double toolSeconds =
            opus ? general.value(QStringLiteral("Duration")).toString().toDouble()
                 : RunTool(QStringLiteral("soxi"), {QStringLiteral("-D"), path}).trimmed().toDouble();
        EXPECT_NEAR(toolSeconds, 1.0, 0.1);

        // mediainfo shows a wave file's INFO chunk under names of its own.
        const bool wave = QLatin1String(row.ext) == QLatin1String("wav");
        EXPECT_EQ(general.value(QStringLiteral("Title")).toString(), QStringLiteral("Chapter One"));
        EXPECT_EQ(general.value(wave ? QStringLiteral("Director") : QStringLiteral("Performer")).toString(),
                  QStringLiteral("Mary"));
        EXPECT_EQ(general.value(wave ? QStringLiteral("OriginalSourceForm_Name") : QStringLiteral("Album"))
                      .toString(),
                  QStringLiteral("The Book"));
        if (!wave) {
            EXPECT_EQ(general.value(QStringLiteral("Track_Position")).toString(), QStringLiteral("3"));
        }
    }
}

TEST(WaveWriter, accentedTagsReadBackAsWrittenInEveryTaggedKind)
{
    QTemporaryDir dir;
    RecordingOptions options;
    options.tags.title = QStringLiteral("Les Misérables");
    for (const char *ext : {"mp3", "flac", "ogg", "opus"}) {
        const QString path = dir.filePath(QStringLiteral("accent.") + QLatin1String(ext));
        ASSERT_TRUE(WriteFile(path, 16000, options, Glide(16000, 0.3)));
        EXPECT_EQ(MediaInfoGeneral(path).value(QStringLiteral("Title")).toString(), options.tags.title)
            << ext;
    }
}

TEST(WaveWriter, lowerQualityMakesSmallerLossyFiles)
{
    QTemporaryDir dir;
    const auto pcm = Glide(16000, 3.0);
    for (const char *ext : {"mp3", "ogg", "opus"}) {
        qint64 sizes[2];
        for (int i = 0; i < 2; ++i) {
            RecordingOptions options;
            options.quality = i == 0 ? 0.1 : 0.9;
            const QString path = dir.filePath(QStringLiteral("q%1.%2").arg(i).arg(QLatin1String(ext)));
            ASSERT_TRUE(WriteFile(path, 16000, options, pcm));
            sizes[i] = QFile(path).size();
        }
        EXPECT_LT(sizes[0] * 5 / 4, sizes[1]) << ext << ": the quality setting made no difference";
    }
}

TEST(WaveWriter, anUnknownExtensionIsRefusedAndLeavesNothing)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_EQ(WaveWriter::Create(dir.filePath(QStringLiteral("speech.txt")), 16000, &error), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("\".txt\""))) << error.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

TEST(WaveWriter, anAbortedResampledRecordingLeavesNothing)
{
    QTemporaryDir dir;
    QString error;
    {
        auto writer = WaveWriter::Create(dir.filePath(QStringLiteral("gone.opus")), 22050, &error);
        ASSERT_NE(writer, nullptr) << error.toStdString();
        EXPECT_EQ(writer->FileRate(), 24000);
        const auto pcm = Glide(22050, 0.5);
        ASSERT_TRUE(writer->Write(pcm.data(), pcm.size()));
        writer->Abort();
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}
