// SPDX-License-Identifier: GPL-3.0-or-later
// The studio window in-process: the real window definition and controls, the real engine with the
// installed voices (or a catalogue of the test's own) and a sound device the test pulls by hand.
#include "studio/Main.h"

#include "about/About.h"
#include "studio/FontSubstitutes.h"

#include "bevel/bvlBUTTON.h"
#include "controls/UcScroll.h"
#include "multibutton/zqButtons_H.h"
#include "platform/services/MessageBox.h"
#include "platform/ui/Timer.h"
#include "speech/VoiceCatalogue.h"
#include "studio/LevelDisplay.h"
#include "studio/MenuBar.h"
#include "studio/ModCmnDlg.h"
#include "studio/RichTextBox.h"
#include "studio/StudioStrings.h"
#include "tests/speech/FakeAudioDevice.h"
#include "tests/speech/SpeechTestSupport.h"
#include "tests/studio/ScriptedDialogProvider.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <sndfile.h>

using namespace studio;
namespace strings = studio::strings;

namespace
{

class MainTest : public ::testing::Test
{
  protected:
    void SetUp() override { services::MessageBox::SetCurrent(&box); }
    void TearDown() override
    {
        window.reset();
        services::MessageBox::SetCurrent(nullptr);
    }

    void Open(std::shared_ptr<const speech::VoiceCatalogue> catalogue = speech::VoiceCatalogue::Installed())
    {
        Main::Options options;
        options.definition = QStringLiteral(ORVENA_BINARY_DIR "/resources/studio/Main.json");
        options.engine.catalogue = std::move(catalogue);
        options.engine.audioDevice = FakeAudioDevice::Factory(device);
        QString error;
        window = Main::Create(options, &error);
        ASSERT_TRUE(window) << error.toStdString();
        window->show();
    }

    // Plays whatever the engine produces until it reports the end of output.
    void PlayToEnd()
    {
        QSignalSpy stopped(window->DirectSS1(), &speech::SpeechEngine::OutputStopped);
        for (int i = 0; i < 20000 && stopped.isEmpty(); ++i) {
            device->Pull(32000);
            QTest::qWait(1);
        }
        ASSERT_FALSE(stopped.isEmpty());
        QCoreApplication::processEvents();
    }

    void WaitForStop()
    {
        QSignalSpy stopped(window->DirectSS1(), &speech::SpeechEngine::OutputStopped);
        ASSERT_TRUE(stopped.wait(60000));
        QCoreApplication::processEvents();
    }

    QString Status() const { return window->lblStatus()->text(); }

    services::RecordingMessageBox box;
    std::shared_ptr<FakeAudioDevice::State> device = std::make_shared<FakeAudioDevice::State>();
    std::unique_ptr<Main> window;
};

speech::VoiceMode Mode(const char *speaker)
{
    speech::VoiceMode m;
    m.speaker = QString::fromLatin1(speaker);
    return m;
}

TEST_F(MainTest, LoadSetsUpWindowInOrder)
{
    Open();
    EXPECT_EQ(Status(), strings::Stopped);
    EXPECT_FALSE(window->cmdPauseText()->Enabled());
    EXPECT_TRUE(window->cmdSpkText()->Enabled());
    EXPECT_FALSE(window->Timer1()->Enabled());
    EXPECT_EQ(window->Timer1()->Interval(), 1);
    EXPECT_EQ(window->scrSpeed()->Value(), 150);
    EXPECT_EQ(window->scrPitch()->Value(), 170);
    EXPECT_EQ(window->scrSpeed()->Min(), 50);
    EXPECT_EQ(window->scrPitch()->Max(), 300);
    EXPECT_EQ(window->scrPitch()->SmallChange(), 10);
    EXPECT_TRUE(window->optVoice(0)->isChecked());
    EXPECT_EQ(window->optVoice(1)->text(), QStringLiteral("MALE VOICE 1 "));
    EXPECT_EQ(window->CommonDialog1().Color(), strings::StartTextColour);
    EXPECT_EQ(window->CommonDialog1().FontName(), QStringLiteral("Verdana"));
    EXPECT_EQ(window->CommonDialog1().FontSize(), 10);
    EXPECT_EQ(window->Picture1()->BarCount(), 20);
    EXPECT_DOUBLE_EQ(window->Picture1()->BarWidth(), window->Picture1()->W() / 20);
    EXPECT_TRUE(window->Skin() != nullptr);
    // The installed catalogue lists the studio's three speakers first.
    EXPECT_EQ(window->VoiceModeIndex(0), 1);
    EXPECT_EQ(window->VoiceModeIndex(1), 2);
    EXPECT_EQ(window->VoiceModeIndex(2), 3);
    MenuBar *menu = window->SmartMenuXP1();
    ASSERT_EQ(menu->Count(), 6);
    EXPECT_EQ(menu->Key(1), strings::KeyExit);
    EXPECT_EQ(menu->Key(3), strings::KeyHelpFile);
    EXPECT_TRUE(menu->Action(4)->isSeparator());
    EXPECT_EQ(menu->Key(5), strings::KeyAbout);
    EXPECT_EQ(window->cmdSpkText()->Caption(), QStringLiteral("SPEAK"));
    EXPECT_EQ(window->ToolButton(QStringLiteral("cmdBold"))->Caption(), QStringLiteral("B"));
    EXPECT_EQ(window->size(), QSize(793, 508));
}

TEST_F(MainTest, DiscoveryTakesLastOfDuplicatesAndLeavesMissingAtZero)
{
    Open(std::make_shared<speech::VoiceCatalogue>(
        std::vector<speech::VoiceMode>{Mode("Sam"), Mode("mary"), Mode("Mary"), Mode("Mary")}));
    EXPECT_EQ(window->VoiceModeIndex(0), 4);
    EXPECT_EQ(window->VoiceModeIndex(1), 0);
    EXPECT_EQ(window->VoiceModeIndex(2), 1);
}

TEST_F(MainTest, VoiceChoiceSetsSliders)
{
    Open();
    window->optVoice(1)->click();
    EXPECT_EQ(window->scrSpeed()->Value(), 170);
    EXPECT_EQ(window->scrPitch()->Value(), 90);
    window->optVoice(2)->click();
    EXPECT_EQ(window->scrSpeed()->Value(), 150);
    EXPECT_EQ(window->scrPitch()->Value(), 120);
    window->optVoice(0)->click();
    EXPECT_EQ(window->scrSpeed()->Value(), 150);
    EXPECT_EQ(window->scrPitch()->Value(), 170);
    window->optVoice_Click(7);
    EXPECT_EQ(window->scrSpeed()->Value(), 150);
}

TEST_F(MainTest, SpeakWithEmptyEditorWarns)
{
    Open();
    window->cmdSpkText_Click();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, strings::EnterText);
    EXPECT_EQ(box.calls[0].flags, services::MB_OK | services::MB_ICONEXCLAMATION);
    EXPECT_EQ(Status(), strings::Stopped);
    EXPECT_FALSE(window->Timer1()->Enabled());
}

TEST_F(MainTest, SpeakPauseResumeToTheEndThenStop)
{
    Open();
    window->RichTextBox1()->SetText(QStringLiteral("Hello there."));
    window->cmdSpkText_Click();
    EXPECT_EQ(Status(), strings::Speaking);
    EXPECT_EQ(window->StatusColour(), strings::SpeakingColour);
    EXPECT_TRUE(window->cmdPauseText()->Enabled());
    EXPECT_FALSE(window->cmdClearText()->Enabled());
    EXPECT_TRUE(window->Timer1()->Enabled());

    window->cmdPauseText_Click();
    EXPECT_EQ(Status(), strings::Paused);
    EXPECT_EQ(window->cmdPauseText()->Caption(), strings::Resume);
    EXPECT_FALSE(window->cmdSpkText()->Enabled());
    EXPECT_FALSE(window->Timer1()->Enabled());
    EXPECT_EQ(window->VState(), 2);
    EXPECT_TRUE(device->suspended);

    window->cmdPauseText_Click();
    EXPECT_EQ(Status(), strings::Speaking);
    EXPECT_EQ(window->cmdPauseText()->Caption(), strings::Pause);
    EXPECT_TRUE(window->cmdSpkText()->Enabled());
    EXPECT_TRUE(window->Timer1()->Enabled());

    PlayToEnd();
    // Ended: clear stays disabled until STOP.
    EXPECT_EQ(Status(), strings::Stopped);
    EXPECT_EQ(window->StatusColour(), strings::StoppedColour);
    EXPECT_FALSE(window->cmdPauseText()->Enabled());
    EXPECT_FALSE(window->cmdClearText()->Enabled());
    EXPECT_FALSE(window->Timer1()->Enabled());
    EXPECT_TRUE(window->Picture1()->IsBlank());
    EXPECT_GT(device->played.size(), 1000u);

    window->cmdStopText_Click();
    EXPECT_TRUE(window->cmdClearText()->Enabled());
    EXPECT_EQ(Status(), strings::Stopped);
}

TEST_F(MainTest, PauseThenStopThenSpeakEndsStopped)
{
    Open();
    window->RichTextBox1()->SetText(QStringLiteral("One. Two."));
    window->cmdSpkText_Click();
    window->cmdPauseText_Click();
    window->cmdStopText_Click();
    EXPECT_EQ(Status(), strings::Stopped);
    EXPECT_EQ(window->cmdPauseText()->Caption(), strings::Pause);
    EXPECT_EQ(window->VState(), 1);
    EXPECT_TRUE(window->cmdSpkText()->Enabled());
    EXPECT_FALSE(window->cmdPauseText()->Enabled());
    QCoreApplication::processEvents(); // the stop's own OutputStopped
    window->cmdSpkText_Click();
    PlayToEnd();
    EXPECT_EQ(Status(), strings::Stopped);
}

TEST_F(MainTest, SpeakTwiceKeepsSpeaking)
{
    Open();
    window->RichTextBox1()->SetText(QStringLiteral("Again."));
    window->cmdSpkText_Click();
    window->cmdSpkText_Click();
    EXPECT_EQ(Status(), strings::Speaking);
    EXPECT_TRUE(box.calls.empty());
    window->cmdStopText_Click();
}

TEST_F(MainTest, LevelDisplayRunsAndFreezes)
{
    Open();
    window->RichTextBox1()->SetText(QStringLiteral("Levels."));
    window->cmdSpkText_Click();
    window->Timer1()->Fire();
    EXPECT_FALSE(window->Picture1()->IsBlank());
    window->cmdPauseText_Click();
    window->Picture1()->Flush();
    const QImage frozen = window->Picture1()->Picture();
    window->Timer1()->Fire(); // not running: no tick
    window->Picture1()->Flush();
    EXPECT_EQ(window->Picture1()->Picture(), frozen);
    window->cmdStopText_Click();
    EXPECT_TRUE(window->Picture1()->IsBlank());
}

TEST_F(MainTest, UnacceptedVoiceWarnsAndResetsSliders)
{
    // No mode is called "Mary": voice 0 passes index 0, which the engine refuses.
    Open(std::make_shared<speech::VoiceCatalogue>(std::vector<speech::VoiceMode>{Mode("Other")}));
    window->scrSpeed()->SetValue(222);
    window->scrPitch()->SetValue(250);
    window->RichTextBox1()->SetText(QStringLiteral("Hello."));
    window->cmdSpkText_Click();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, strings::NotCompatible);
    EXPECT_EQ(window->scrSpeed()->Value(), 150);
    EXPECT_EQ(window->scrPitch()->Value(), 170);
}

class RecordTest : public MainTest
{
  protected:
    QTemporaryDir dir;
    QString Path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(RecordTest, RefusalsInOrder)
{
    Open();
    window->cmdRec_Click();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, strings::EnterText);
    window->RichTextBox1()->SetText(QStringLiteral("Some words."));
    window->cmdRec_Click();
    ASSERT_EQ(box.calls.size(), 2u);
    EXPECT_EQ(box.calls[1].text, strings::EnterFileName);
    EXPECT_EQ(Status(), strings::Stopped);
    EXPECT_FALSE(window->Recording());
}

TEST_F(RecordTest, ExistingFileCancelLeavesItAlone)
{
    Open();
    const QString path = Path("kept.wav");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();
    window->RichTextBox1()->SetText(QStringLiteral("Some words."));
    window->txtFile()->setText(path);
    box.answers.push_back(services::IDCANCEL);
    window->cmdRec_Click();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, strings::FileExists);
    EXPECT_EQ(box.calls[0].flags, unsigned(services::MB_OKCANCEL));
    EXPECT_EQ(Status(), strings::Stopped);
    EXPECT_FALSE(window->Recording());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("keep me"));
}

TEST_F(RecordTest, OverwriteRecordsThenSpeakPlaysToDevice)
{
    Open();
    const QString path = Path("out.wav");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old");
    file.close();
    test::ScriptedDialogProvider dialogs;
    test::ScriptedDialogProvider::Scope scope(dialogs);
    dialogs.saveAnswers.push_back(FileDialogAnswer{path, 1});
    window->cmdSaveFile_Click();
    EXPECT_EQ(window->txtFile()->text(), path);
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].filters[0].pattern, QStringLiteral("*.wav"));

    window->RichTextBox1()->SetText(QStringLiteral("Recorded words."));
    box.answers.push_back(services::IDOK);
    window->cmdRec_Click();
    EXPECT_EQ(Status(), strings::RecordingCaption);
    EXPECT_EQ(window->StatusColour(), strings::RecordingColour);
    EXPECT_TRUE(window->Recording());
    EXPECT_FALSE(window->cmdSpkText()->Enabled());
    EXPECT_FALSE(window->cmdPauseText()->Enabled());
    EXPECT_FALSE(window->cmdClearText()->Enabled());
    EXPECT_TRUE(window->cmdStopText()->Enabled());
    EXPECT_TRUE(window->Timer1()->Enabled());
    WaitForStop();
    EXPECT_FALSE(window->Recording());
    EXPECT_EQ(Status(), strings::Stopped);
    EXPECT_TRUE(window->cmdSpkText()->Enabled());
    EXPECT_TRUE(window->cmdClearText()->Enabled());
    EXPECT_FALSE(window->cmdPauseText()->Enabled());
    const SoundFile sound = SoundFile::Read(path);
    ASSERT_TRUE(sound.ok);
    EXPECT_GT(sound.Seconds(), 0.3);
    EXPECT_EQ(box.calls.size(), 1u);

    // The next SPEAK goes to the sound device, not into the file.
    const qint64 size = QFileInfo(path).size();
    window->cmdSpkText_Click();
    PlayToEnd();
    EXPECT_GT(device->played.size(), 1000u);
    EXPECT_EQ(QFileInfo(path).size(), size);
}

TEST_F(RecordTest, StopWhileRecording)
{
    Open();
    window->RichTextBox1()->SetText(QStringLiteral("A long text to record. ").repeated(30));
    window->txtFile()->setText(Path("stopped.wav"));
    window->cmdRec_Click();
    window->cmdStopText_Click();
    EXPECT_EQ(Status(), strings::Stopped);
    EXPECT_TRUE(window->cmdSpkText()->Enabled());
    EXPECT_TRUE(window->cmdClearText()->Enabled());
    // The file is closed only when the engine reports the end.
    EXPECT_TRUE(window->Recording());
    WaitForStop();
    EXPECT_FALSE(window->Recording());
    EXPECT_EQ(Status(), strings::Stopped);
}

TEST_F(RecordTest, UnwritableTargetIsReported)
{
    Open();
    window->RichTextBox1()->SetText(QStringLiteral("Words."));
    const QString path = Path("no/such/folder/out.wav");
    window->txtFile()->setText(path);
    window->cmdRec_Click();
    WaitForStop();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_TRUE(box.calls[0].text.contains(path));
    EXPECT_TRUE(box.calls[0].text.contains(strings::RecordingDenied));
    EXPECT_EQ(Status(), strings::Stopped);
    EXPECT_TRUE(window->cmdSpkText()->Enabled());
}

TEST_F(RecordTest, FileNameOffersTheSoundKindsWaveFirstAndTheExtensionPicksTheKind)
{
    Open();
    const QString path = Path("chapter.mp3");
    test::ScriptedDialogProvider dialogs;
    test::ScriptedDialogProvider::Scope scope(dialogs);
    dialogs.saveAnswers.push_back(FileDialogAnswer{path, 2});
    window->cmdSaveFile_Click();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    QStringList offered;
    for (const auto &filter : dialogs.saveRequests[0].filters)
        offered << filter.description + u'|' + filter.pattern;
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Wav Files (*.wav)|*.wav"), QStringLiteral("MP3 Audio (*.mp3)|*.mp3"),
                                    QStringLiteral("Ogg Opus (*.opus)|*.opus"), QStringLiteral("FLAC Audio (*.flac)|*.flac"),
                                    QStringLiteral("Ogg Vorbis (*.ogg)|*.ogg")}));

    window->RichTextBox1()->SetText(QStringLiteral("Recorded words."));
    window->cmdRec_Click();
    WaitForStop();
    EXPECT_TRUE(box.calls.empty());
    const SoundFile sound = SoundFile::Read(path);
    ASSERT_TRUE(sound.ok);
    EXPECT_EQ(sound.format & 0x0FFF0000, 0x230000) << "an MPEG file";
}

TEST_F(RecordTest, TheTitleTagIsTheOpenedDocumentsNameUntilTheTextIsChanged)
{
    Open();
    const QString document = Path("Morning Walk.txt");
    QFile file(document);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("We walked at dawn.");
    file.close();
    test::ScriptedDialogProvider dialogs;
    test::ScriptedDialogProvider::Scope scope(dialogs);
    dialogs.openAnswers.push_back(FileDialogAnswer{document, 1});
    window->cmdOpen_Click();
    auto titleOf = [](const QString &path) {
        SF_INFO info{};
        SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
        const QString title = f ? QString::fromUtf8(sf_get_string(f, SF_STR_TITLE)) : QString();
        if (f)
            sf_close(f);
        return title;
    };
    const QString opened = Path("opened.flac");
    window->txtFile()->setText(opened);
    window->cmdRec_Click();
    WaitForStop();
    EXPECT_EQ(titleOf(opened), QStringLiteral("Morning Walk"));

    window->RichTextBox1()->SetText(QStringLiteral("Typed words of my own."));
    window->RichTextBox1()->document()->setModified(true); // as typing does
    const QString typed = Path("typed.flac");
    window->txtFile()->setText(typed);
    window->cmdRec_Click();
    WaitForStop();
    EXPECT_EQ(titleOf(typed), QStringLiteral("Typed words of my own"));
}

TEST_F(RecordTest, ANameOfNoSoundKindIsRefusedWithTheKindsItCouldBe)
{
    Open();
    window->RichTextBox1()->SetText(QStringLiteral("Words."));
    const QString path = Path("notes.txt");
    window->txtFile()->setText(path);
    window->cmdRec_Click();
    WaitForStop();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_TRUE(box.calls[0].text.contains(strings::RecordingUnknownKind));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(Status(), strings::Stopped);
}

TEST_F(MainTest, SizingRefusedMovingAndMinimisingPass)
{
    Open();
    const QRect before = window->geometry();
    EXPECT_EQ(window->SendMessage(ui::WM_SYSCOMMAND, unsigned(ui::SC_SIZE) + unsigned(ui::WMSZ_BOTTOMRIGHT)),
              0);
    EXPECT_EQ(window->SendMessage(ui::WM_SYSCOMMAND, ui::SC_SIZE), 0);
    EXPECT_FALSE(window->ManualDragActive());
    EXPECT_EQ(window->geometry(), before);
    window->SendMessage(ui::WM_SYSCOMMAND, unsigned(ui::SC_MOVE) | unsigned(ui::HTCAPTION));
    EXPECT_TRUE(window->ManualDragActive());
    QTest::mouseRelease(window.get(), Qt::LeftButton);
}

TEST_F(MainTest, AboutShowsAndExitUnloadsItFirst)
{
    Open();
    window->SmartMenuXP1()->Action(5)->trigger();
    QPointer<about::About> about = window->AboutWindow();
    ASSERT_TRUE(about);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    QSignalSpy unloaded(window.get(), &ui::Form::Unload);
    window->SmartMenuXP1()->Action(1)->trigger();
    EXPECT_EQ(unloaded.size(), 1);
    EXPECT_FALSE(window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull() || !about->isVisible());
}

TEST_F(MainTest, UnloadEndsSpeech)
{
    Open();
    window->RichTextBox1()->SetText(QStringLiteral("Still talking when the window goes."));
    window->cmdSpkText_Click();
    window->UcCmd1_Click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->Timer1()->Enabled());
    EXPECT_EQ(device->source, nullptr);
}

TEST(FontSubstitutesTest, DesignNamesDrawWithInstalledLookAlikes)
{
    FontSubstitutes::Install();
    EXPECT_EQ(FontSubstitutes::Installed(QStringLiteral("ms sans serif")), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(QFont::substitute(QStringLiteral("Times New Roman")).toLower(),
              QStringLiteral("liberation serif"));
    ui::StdFont impact;
    impact.Name = QStringLiteral("Impact");
    impact.Size = 12;
    const QFont f = FontSubstitutes::ToQFont(impact);
    EXPECT_EQ(f.families().value(0), QStringLiteral("DejaVu Sans Condensed"));
    EXPECT_EQ(f.weight(), QFont::Bold);
    // Every look-alike is installed, so the window looks the same everywhere.
    int count = 0;
    const FontSubstitutes::Entry *entries = FontSubstitutes::Entries(&count);
    for (int i = 0; i < count; ++i)
        EXPECT_TRUE(QFontDatabase::hasFamily(QString::fromLatin1(entries[i].installed)))
            << entries[i].installed;
}

} // namespace
