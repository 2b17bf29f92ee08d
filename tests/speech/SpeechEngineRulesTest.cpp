// SPDX-License-Identifier: GPL-3.0-or-later
// Pronunciation rules and reading filters as the engine applies them: what each voice is handed.
// (That the audio then is exactly the audio of the replacement text is checked with the real
// voices through orvena-speak, one process per recording, in the app tests.)
#include "FakeAudioDevice.h"
#include "ListeningBackend.h"

#include "platform/services/EventLog.h"
#include "speech/Lexicon.h"
#include "speech/ReadingFilters.h"
#include "speech/SoundFormat.h"
#include "speech/SpeechBackend.h"
#include "speech/SpeechEngine.h"
#include "speech/SpeechStatus.h"
#include "speech/VoiceCatalogue.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sndfile.h>

using namespace speech;

namespace
{

class SpeechEngineRulesTest : public ::testing::Test
{
  protected:
    QTemporaryDir dir;
    services::RecordingEventLog log;
    std::shared_ptr<ListeningBackend> backend = std::make_shared<ListeningBackend>();
    std::shared_ptr<FakeAudioDevice::State> device = std::make_shared<FakeAudioDevice::State>();
    SpeechEngine engine{SpeechEngine::Environment{Catalogue(), FakeAudioDevice::Factory(device), {}}};

    SpeechEngineRulesTest() { services::EventLog::SetCurrent(&log); }
    ~SpeechEngineRulesTest() override { services::EventLog::SetCurrent(nullptr); }

    std::shared_ptr<const VoiceCatalogue> Catalogue()
    {
        std::vector<VoiceMode> modes;
        for (const char *speaker : {"Mary", "Sam"})
            modes.push_back({QLatin1String(speaker), ListeningBackend::Voice(), backend});
        return std::make_shared<VoiceCatalogue>(modes);
    }

    // What the voice of mode `mode` was handed for `text`, recorded so no sound output is needed.
    QString Heard(int mode, const QString &text)
    {
        QSignalSpy stopped(&engine, &SpeechEngine::OutputStopped);
        engine.SelectVoiceMode(mode);
        engine.SetOutputWaveFile(dir.filePath(QStringLiteral("take.wav")));
        engine.Speak(text);
        EXPECT_EQ(engine.GetLastStatus(), S_OK);
        EXPECT_TRUE(QTest::qWaitFor([&] { return stopped.count() == 1; }, 20000));
        EXPECT_EQ(engine.GetLastStatus(), S_OK);
        return backend->TakeHeard();
    }

    // Speaks aloud from `offset` to the end; returns the words told, as the text they point at.
    QStringList WordsTold(const QString &text, int offset = 0, QString *firstSentence = nullptr)
    {
        QSignalSpy stopped(&engine, &SpeechEngine::OutputStopped);
        QSignalSpy words(&engine, &SpeechEngine::WordReached);
        QSignalSpy sentences(&engine, &SpeechEngine::SentenceReached);
        engine.SelectVoiceMode(1);
        engine.SetOutputWaveFile(QString());
        engine.SpeakFrom(text, offset);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                device->Pull();
                return stopped.count() == 1;
            },
            20000));
        QStringList told;
        for (const QList<QVariant> &w : words)
            told << text.mid(w.at(0).toInt(), w.at(1).toInt());
        if (firstSentence && !sentences.isEmpty())
            *firstSentence = text.mid(sentences.first().at(0).toInt(), sentences.first().at(1).toInt());
        backend->TakeHeard();
        return told;
    }

    static std::shared_ptr<const Lexicon> Rules(const QString &text)
    {
        auto lexicon = std::make_shared<Lexicon>();
        EXPECT_TRUE(lexicon->Add(text, QStringLiteral("rules.txt")));
        return lexicon;
    }
};

} // namespace

TEST_F(SpeechEngineRulesTest, eachVoiceIsHandedTheTextItsRulesMakeAndNothingElse)
{
    const QString text = QStringLiteral("Dr Smith weighed 5kg. I read it.");
    EXPECT_EQ(Heard(1, text), text);
    engine.SetLexicon(
        Rules(QStringLiteral("dr = Doctor\n/\\b(\\d+)kg\\b/ = \\1 kilograms\n[Sam]\nread = red\n")));
    EXPECT_EQ(Heard(1, text), QStringLiteral("Doctor Smith weighed 5 kilograms. I read it."));
    EXPECT_EQ(Heard(2, text), QStringLiteral("Doctor Smith weighed 5 kilograms. I red it."));
    engine.SetLexicon(nullptr);
    EXPECT_EQ(Heard(2, text), text);
}

TEST_F(SpeechEngineRulesTest, aTextKeepsTheRulesItWasGivenWithWhileLaterOnesGetTheNewRules)
{
    engine.SetLexicon(Rules(QStringLiteral("one = 1\n")));
    QSignalSpy stopped(&engine, &SpeechEngine::OutputStopped);
    engine.SelectVoiceMode(1);
    engine.SetOutputWaveFile(dir.filePath(QStringLiteral("a.wav")));
    engine.Speak(QStringLiteral("one two."));
    engine.SetLexicon(Rules(QStringLiteral("two = 2\n")));
    engine.SetOutputWaveFile(dir.filePath(QStringLiteral("b.wav")));
    engine.Speak(QStringLiteral("one two."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return stopped.count() == 1; }, 20000));
    EXPECT_EQ(backend->TakeHeard(), QStringLiteral("1 two.one 2."));
}

TEST_F(SpeechEngineRulesTest, filtersTakeOutWhatTheySkipBeforeTheRulesSeeIt)
{
    engine.SetReadingFilters(ReadingFilters::Brackets | ReadingFilters::WebAddresses);
    engine.SetLexicon(Rules(QStringLiteral("/\\(/ = open\n")));
    EXPECT_EQ(Heard(1, QStringLiteral("Read this (an aside [1]) now, see www.example.org/x.")),
              QStringLiteral("Read this  now, see ."));
    // A text that is nothing but skipped parts is handed to no voice and ends as usual.
    EXPECT_EQ(Heard(1, QStringLiteral("(nothing to read)")), QString());
    engine.SetReadingFilters(ReadingFilters::None);
    EXPECT_EQ(Heard(1, QStringLiteral("a (b)")), QStringLiteral("a openb)"));
}

TEST_F(SpeechEngineRulesTest, aRuleLeftOutForTheTextIsLoggedAndSpeakingStillSucceeds)
{
    engine.SetLexicon(Rules(QStringLiteral("hello = hi\n/(a+)+[bc]/ = x\n")));
    const QString as(60, QLatin1Char('a'));
    EXPECT_EQ(Heard(1, as + QStringLiteral(" hello.")), as + QStringLiteral(" hi."));
    bool logged = false;
    for (const auto &e : log.entries) {
        if (e.type == services::EVENTLOG_WARNING_TYPE && e.text.contains(QStringLiteral("rules.txt line 2")))
            logged = true;
    }
    EXPECT_TRUE(logged);
}

TEST_F(SpeechEngineRulesTest, wordsAndSentencesAreToldAsTheGivenTextHasThemAndSkippedTextNotAtAll)
{
    const QString text =
        QStringLiteral("Dr Smith (an aside) saw 5kg at www.example.org today. Then [1] he left.");
    engine.SetLexicon(Rules(QStringLiteral("dr = Doctor\n/\\b(\\d+)kg\\b/ = \\1 kilograms\nleft = went\n")));
    engine.SetReadingFilters(ReadingFilters::Brackets | ReadingFilters::WebAddresses);
    QString sentence;
    EXPECT_EQ(WordsTold(text, 0, &sentence),
              (QStringList{QStringLiteral("Dr"), QStringLiteral("Smith"), QStringLiteral("saw"),
                           QStringLiteral("5kg"), QStringLiteral("at"), QStringLiteral("today"),
                           QStringLiteral("Then"), QStringLiteral("he"), QStringLiteral("left")}));
    EXPECT_EQ(sentence, QStringLiteral("Dr Smith (an aside) saw 5kg at www.example.org today."));
    // Speaking from a word, or from inside skipped text, starts at that word or the next one read.
    EXPECT_EQ(WordsTold(text, int(text.indexOf(QStringLiteral("saw")))).value(0), QStringLiteral("saw"));
    EXPECT_EQ(WordsTold(text, int(text.indexOf(QStringLiteral("aside")))).value(0), QStringLiteral("saw"));
    EXPECT_EQ(WordsTold(text, int(text.indexOf(QStringLiteral("kg")))).value(0), QStringLiteral("5kg"));
    // Inserted words stand for nothing in the text and are not told.
    engine.SetReadingFilters(ReadingFilters::None);
    engine.SetLexicon(Rules(QStringLiteral("/^/ = Chapter one. \n")));
    EXPECT_EQ(WordsTold(QStringLiteral("It began.")),
              (QStringList{QStringLiteral("It"), QStringLiteral("began")}));
}

TEST_F(SpeechEngineRulesTest, aRecordingsMarksPointAtTheGivenText)
{
    const QString text = QStringLiteral("Dr Smith (an aside) left.");
    engine.SetLexicon(Rules(QStringLiteral("dr = Doctor\n")));
    engine.SetReadingFilters(ReadingFilters::Brackets);
    EXPECT_EQ(Heard(1, text), QStringLiteral("Doctor Smith  left."));
    QStringList words;
    int sentences = 0;
    for (const SpeechMark &m : engine.RecordedMarks()) {
        if (m.kind == SpeechMark::Kind::Sentence) {
            ++sentences;
            EXPECT_EQ(text.mid(m.start, m.length), text);
        } else {
            words << text.mid(m.start, m.length);
        }
    }
    EXPECT_EQ(words, (QStringList{QStringLiteral("Dr"), QStringLiteral("Smith"), QStringLiteral("left")}));
    EXPECT_EQ(sentences, 1);
    // The recording's title is taken from the text as given, too.
    SF_INFO info{};
    SNDFILE *file =
        sf_open(QFile::encodeName(dir.filePath(QStringLiteral("take.wav"))).constData(), SFM_READ, &info);
    ASSERT_TRUE(file);
    const char *title = sf_get_string(file, SF_STR_TITLE);
    EXPECT_EQ(QString::fromUtf8(title ? title : ""), SoundTags::TitleFromText(text));
    sf_close(file);
}
