// SPDX-License-Identifier: GPL-3.0-or-later
// orvena-speak's --lexicon and --skip, through the real tool. Each recording is its own process:
// the voices' output is the same from one run to the next, so a text read through rules must
// record exactly the bytes of the text the rules turn it into.
#include "app/SpeakCommand.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

struct Take {
    int code = -1;
    QString err;
    QByteArray sound;
};

class SpeakReadingOptions : public ::testing::Test
{
  protected:
    QTemporaryDir dir;
    int takes = 0;

    QString Write(const QString &name, const QByteArray &content)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }

    // Records `text` with orvena-speak and the further `arguments`. Every take has the same title:
    // otherwise it comes from the text, and the files would differ in their tags.
    Take Record(const QString &text, const QStringList &arguments = {})
    {
        Take r;
        const QString output = dir.filePath(QStringLiteral("take%1.wav").arg(++takes));
        QProcess tool;
        tool.start(QStringLiteral(ORVENA_BINARY_DIR "/bin/orvena-speak"),
                   arguments + QStringList{QStringLiteral("--output"), output, QStringLiteral("--title"),
                                           QStringLiteral("Take"), QStringLiteral("--text"), text});
        EXPECT_TRUE(tool.waitForFinished(60000)) << "the tool hung";
        r.code = tool.exitCode();
        r.err = QString::fromUtf8(tool.readAllStandardError());
        QFile f(output);
        if (f.open(QIODevice::ReadOnly))
            r.sound = f.readAll();
        return r;
    }
};

} // namespace

TEST_F(SpeakReadingOptions, aRuleRecordsExactlyTheAudioOfItsReplacementWithFliteAndEspeak)
{
    const QString rules =
        Write(QStringLiteral("rules.txt"), "# how many times\n/\\b(\\d+)x\\b/ = \\1 times\n");
    const QString more = Write(QStringLiteral("more.txt"), "orvena = Or vay na\n[Sam]\nread = red\n");
    const QStringList withRules{QStringLiteral("--lexicon"), rules, QStringLiteral("--lexicon"), more};
    for (const char *voice : {"Mary", "English (America)"}) {
        SCOPED_TRACE(voice);
        const QStringList v{QStringLiteral("--voice"), QLatin1String(voice)};
        const Take plain = Record(QStringLiteral("Or vay na runs 3 times faster. I read it."), v);
        ASSERT_EQ(plain.code, SpeakCommand::kDone) << plain.err.toStdString();
        ASSERT_GT(plain.sound.size(), 20000);
        const Take ruled = Record(QStringLiteral("Orvena runs 3x faster. I read it."), v + withRules);
        ASSERT_EQ(ruled.code, SpeakCommand::kDone) << ruled.err.toStdString();
        EXPECT_TRUE(ruled.sound == plain.sound) << "the recordings differ";
        EXPECT_FALSE(Record(QStringLiteral("Orvena runs 3x faster. I read it."), v).sound == plain.sound);
    }
    // The section for Sam changes Sam only.
    const QStringList sam{QStringLiteral("--voice"), QStringLiteral("Sam")};
    EXPECT_TRUE(Record(QStringLiteral("I read it."), sam + withRules).sound ==
                Record(QStringLiteral("I red it."), sam).sound);
}

TEST_F(SpeakReadingOptions, skippedTextIsNotRecorded)
{
    const Take plain = Record(QStringLiteral("Read this  now, then  stop."));
    const Take skipped = Record(QStringLiteral("Read this (an aside [1]) now, then www.example.org stop."),
                                {QStringLiteral("--skip"), QStringLiteral("brackets,urls")});
    ASSERT_EQ(skipped.code, SpeakCommand::kDone) << skipped.err.toStdString();
    EXPECT_TRUE(skipped.sound == plain.sound);
    const Take twice = Record(QStringLiteral("Read this (an aside [1]) now, then www.example.org stop."),
                              {QStringLiteral("--skip"), QStringLiteral("urls"), QStringLiteral("--skip"),
                               QStringLiteral("brackets")});
    EXPECT_TRUE(twice.sound == plain.sound);
    const Take onlyUrls = Record(QStringLiteral("Read this (an aside [1]) now, then www.example.org stop."),
                                 {QStringLiteral("--skip"), QStringLiteral("urls")});
    EXPECT_FALSE(onlyUrls.sound == plain.sound);
}

TEST_F(SpeakReadingOptions, brokenRuleLinesAreReportedByNumberAndTheOthersStillApply)
{
    const QString rules =
        Write(QStringLiteral("rules.txt"), "one = 1\nno equals\n/(bad/ = x\nOrvena = Or vay na\n");
    const Take ruled = Record(QStringLiteral("Orvena rocks."), {QStringLiteral("--lexicon"), rules});
    EXPECT_EQ(ruled.code, SpeakCommand::kDone);
    EXPECT_TRUE(ruled.err.contains(QStringLiteral("rules.txt line 2: no \"=\""))) << ruled.err.toStdString();
    EXPECT_TRUE(ruled.err.contains(QStringLiteral("rules.txt line 3: bad pattern")))
        << ruled.err.toStdString();
    EXPECT_TRUE(ruled.sound == Record(QStringLiteral("Or vay na rocks.")).sound);
}

TEST_F(SpeakReadingOptions, anUnreadableRulesFileOrUnknownFilterFailsAndWritesNothing)
{
    const Take missing = Record(QStringLiteral("Hello."),
                                {QStringLiteral("--lexicon"), dir.filePath(QStringLiteral("none.txt"))});
    EXPECT_EQ(missing.code, SpeakCommand::kInputUnreadable);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("none.txt"))) << missing.err.toStdString();
    EXPECT_TRUE(missing.sound.isEmpty());
    const Take filter = Record(QStringLiteral("Hello."), {QStringLiteral("--skip"), QStringLiteral("links")});
    EXPECT_EQ(filter.code, SpeakCommand::kUsage);
    EXPECT_TRUE(filter.err.contains(QStringLiteral("\"links\""))) << filter.err.toStdString();
    EXPECT_EQ(
        Record(QStringLiteral("Hello."), {QStringLiteral("--lexicon="), QStringLiteral("--skip=urls")}).code,
        SpeakCommand::kUsage);
}

TEST_F(SpeakReadingOptions, subtitlesShowTheWordsAsWrittenAndNothingSkipped)
{
    const QString rules =
        Write(QStringLiteral("rules.txt"), "Dr = Doctor\n/\\b(\\d+)kg\\b/ = \\1 kilograms\n");
    const QString srt = dir.filePath(QStringLiteral("cues.srt"));
    const QString text =
        QStringLiteral("Dr Smith (an aside) took 5kg from www.example.org home. Then [1] he left for good.");
    const Take r = Record(text, {QStringLiteral("--lexicon"), rules, QStringLiteral("--skip"),
                                 QStringLiteral("brackets,urls"), QStringLiteral("--subtitles"), srt});
    ASSERT_EQ(r.code, SpeakCommand::kDone) << r.err.toStdString();
    QFile f(srt);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    // The cue lines: what is neither a cue number nor a time line nor blank.
    QStringList shown;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        const QString l = line.trimmed();
        bool number = false;
        l.toInt(&number);
        if (!l.isEmpty() && !number && !l.contains(QStringLiteral("-->")))
            shown << l;
    }
    const QString cues = shown.join(QLatin1Char(' '));
    QStringList words;
    for (const QString &w : cues.split(QRegularExpression(QStringLiteral("\\W+")), Qt::SkipEmptyParts))
        words << w;
    EXPECT_EQ(words, (QStringList{QStringLiteral("Dr"), QStringLiteral("Smith"), QStringLiteral("took"),
                                  QStringLiteral("5kg"), QStringLiteral("from"), QStringLiteral("home"),
                                  QStringLiteral("Then"), QStringLiteral("he"), QStringLiteral("left"),
                                  QStringLiteral("for"), QStringLiteral("good")}))
        << cues.toStdString();
}
