// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/Main.h"

#include "about/About.h"
#include "bevel/bvlBUTTON.h"
#include "controls/UcCmd.h"
#include "controls/UcScroll.h"
#include "help/HTMLHelp.h"
#include "multibutton/zqButtons_H.h"
#include "platform/gdi/Colour.h"
#include "platform/services/AppPaths.h"
#include "platform/services/Clipboard.h"
#include "platform/services/MessageBox.h"
#include "platform/ui/PropertyBag.h"
#include "platform/ui/Timer.h"
#include "platform/ui/Twips.h"
#include "skin/ClsSkin.h"
#include "skin/HostControls.h"
#include "speech/SoundFormat.h"
#include "speech/SpeechStatus.h"
#include "studio/BackgroundImport.h"
#include "studio/ControlFactory.h"
#include "studio/FollowAlong.h"
#include "studio/FontSubstitutes.h"
#include "studio/LevelDisplay.h"
#include "studio/MenuBar.h"
#include "studio/ModCmnDlg.h"
#include "studio/PronunciationDialog.h"
#include "studio/ReadingRules.h"
#include "studio/RichTextBox.h"
#include "studio/StudioAccessibility.h"
#include "studio/StudioShortcuts.h"
#include "studio/StudioStrings.h"
#include "studio/VoiceOption.h"
#include "studio/WindowDefinition.h"
#include "studio/documents/BusyPointer.h"
#include "studio/documents/ChildProcess.h"
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/RtfReader.h"
#include "studio/documents/TextForEditor.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <memory>

namespace studio
{

namespace
{

// The tool bar buttons by name, with their handlers.
struct ToolCommand {
    const char *name;
    void (Main::*handler)();
};
const ToolCommand kToolCommands[] = {
    {"cmdOpen", &Main::cmdOpen_Click},
    {"cmdAll", &Main::cmdAll_Click},
    {"cmdCut", &Main::cmdCut_Click},
    {"cmdCopy", &Main::cmdCopy_Click},
    {"cmdPaste", &Main::cmdPaste_Click},
    {"cmdDelete", &Main::cmdDelete_Click},
    {"cmdClear", &Main::cmdClear_Click},
    {"cmdBold", &Main::cmdBold_Click},
    {"cmdItalic", &Main::cmdItalic_Click},
    {"cmdFont", &Main::cmdFont_Click},
    {"cmdForeColor", &Main::cmdForeColor_Click},
    {"cmdBackColor", &Main::cmdBackColor_Click},
};

QString Title()
{
    return strings::WindowTitle;
}

} // namespace

Main::Main(const Options &options)
    : options_(options), commonDialog1_(this), import_(std::make_unique<BackgroundImport>())
{
    setObjectName(QStringLiteral("Main"));
}

Main::~Main()
{
    // A document still being read is of no further use.
    import_.reset();
    // The skin watches the window's events: it goes while the window is still whole.
    skin_.reset();
    if (engine_) {
        disconnect(engine_.get(), nullptr, this, nullptr);
        engine_->StopAudio();
    }
}

std::unique_ptr<Main> Main::Create(const Options &options, QString *error)
{
    std::unique_ptr<Main> window(new Main(options));
    if (!window->Build(error))
        return nullptr;
    window->Connect();
    InstallAccessibility();
    SetUpKeyboard(*window);
    return window;
}

bool Main::Build(QString *error)
{
    const QString folder = services::AppPaths::ProgramFolder();
    const QString path =
        options_.definition.isEmpty() ? folder + strings::WindowDefinition : options_.definition;
    const QString iconFolder =
        options_.iconFolder.isEmpty() ? folder + strings::IconFolder : options_.iconFolder;
    const auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("The window definition %1 cannot be used: %2").arg(path, why);
        return false;
    };
    QString why;
    const std::optional<WindowDefinition> definition = WindowDefinition::Read(path, &why);
    if (!definition)
        return fail(why);
    const auto icon = [&](const QString &name) -> QImage {
        return name.isEmpty() ? QImage() : QImage(iconFolder + name);
    };

    // The window itself.
    const FormEntry &form = definition->Form();
    SetBorderStyle(form.borderStyle);
    SetCaption(form.caption);
    SetBackColor(form.backColor);
    const QImage windowIcon = icon(form.icon);
    if (!windowIcon.isNull())
        setWindowIcon(QIcon(QPixmap::fromImage(windowIcon)));
    resize(ui::Twips::ToPixelsX(form.clientWidth, this), ui::Twips::ToPixelsY(form.clientHeight, this));
    for (const QString &name : definition->SmallImages())
        smallImages_.push_back(icon(name));

    // The controls, in order; a container comes before what it holds.
    std::map<QString, QWidget *> byName;
    ControlContext context{this, this, icon, &smallImages_};
    for (const ControlEntry &entry : definition->Controls()) {
        context.parent = this;
        if (!entry.parent.isEmpty()) {
            const auto found = byName.find(entry.parent);
            if (found == byName.end())
                return fail(QStringLiteral("%1 is placed in %2, which comes later or does not exist")
                                .arg(entry.name, entry.parent));
            context.parent = found->second;
        }
        const ControlFactory make = FactoryFor(entry.kind);
        if (!make)
            return fail(QStringLiteral("%1 is of an unknown kind \"%2\"").arg(entry.name, entry.kind));
        QWidget *widget = make(entry, context);
        FinishControl(widget, entry, context);
        KeepNamedControl(entry, widget);
        byName.emplace(widget->objectName(), widget);
        byName.emplace(entry.name, widget);
    }
    const QStringList missing = MissingControls();
    if (!missing.isEmpty())
        return fail(QStringLiteral("it lacks %1").arg(missing.join(QStringLiteral(", "))));

    timer1_ = new ui::Timer(this);
    timer1_->SetInterval(1);
    engine_ = std::make_unique<speech::SpeechEngine>(options_.engine);
    SetUpReadingRules();
    return true;
}

// The controls the window drives, taken by name (and kind) as they are made.
void Main::KeepNamedControl(const ControlEntry &entry, QWidget *widget)
{
    const auto is = [&entry](const char *kind, const char *name) {
        return entry.kind == QLatin1String(kind) && (!name || entry.name == QLatin1String(name));
    };
    if (is("Label", "lblStatus"))
        lblStatus_ = static_cast<QLabel *>(widget);
    else if (is("PictureBox", "Picture1"))
        picture1_ = static_cast<LevelDisplay *>(widget);
    else if (is("RichTextBox", "RichTextBox1"))
        richTextBox1_ = static_cast<RichTextBox *>(widget);
    else if (is("RichTextBox", "RTFtemp"))
        rtfTemp_ = static_cast<RichTextBox *>(widget);
    else if (is("TextBox", "txtFile"))
        txtFile_ = static_cast<QLineEdit *>(widget);
    else if (is("OptionButton", "optVoice") && entry.index >= 0 && entry.index < 3)
        optVoice_[std::size_t(entry.index)] = static_cast<QRadioButton *>(widget);
    else if (is("MenuBar", nullptr))
        smartMenuXP1_ = static_cast<MenuBar *>(widget);
    else if (is("UcScroll", "scrSpeed"))
        scrSpeed_ = static_cast<controls::UcScroll *>(widget);
    else if (is("UcScroll", "scrPitch"))
        scrPitch_ = static_cast<controls::UcScroll *>(widget);
    else if (is("bvlBUTTON", nullptr)) {
        const std::pair<const char *, bevel::bvlBUTTON **> buttonSlots[] = {
            {"cmdSpkText", &cmdSpkText_},   {"cmdPauseText", &cmdPauseText_},
            {"cmdStopText", &cmdStopText_}, {"cmdClearText", &cmdClearText_},
            {"cmdSaveFile", &cmdSaveFile_}, {"cmdRec", &cmdRec_}};
        for (const auto &[slotName, slot] : buttonSlots)
            if (entry.name == QLatin1String(slotName))
                *slot = static_cast<bevel::bvlBUTTON *>(widget);
    }
}

QStringList Main::MissingControls() const
{
    QStringList missing;
    const std::pair<const char *, const void *> required[] = {{"RichTextBox1", richTextBox1_},
                                                              {"RTFtemp", rtfTemp_},
                                                              {"optVoice(0)", optVoice_[0]},
                                                              {"optVoice(1)", optVoice_[1]},
                                                              {"optVoice(2)", optVoice_[2]},
                                                              {"scrSpeed", scrSpeed_},
                                                              {"scrPitch", scrPitch_},
                                                              {"cmdSpkText", cmdSpkText_},
                                                              {"cmdPauseText", cmdPauseText_},
                                                              {"cmdStopText", cmdStopText_},
                                                              {"cmdClearText", cmdClearText_},
                                                              {"cmdSaveFile", cmdSaveFile_},
                                                              {"cmdRec", cmdRec_},
                                                              {"txtFile", txtFile_},
                                                              {"lblStatus", lblStatus_},
                                                              {"Picture1", picture1_},
                                                              {"SmartMenuXP1", smartMenuXP1_}};
    for (const auto &[controlName, pointer] : required)
        if (!pointer)
            missing << QString::fromLatin1(controlName);
    for (const ToolCommand &command : kToolCommands)
        if (!ToolButton(QString::fromLatin1(command.name)))
            missing << QString::fromLatin1(command.name);
    for (int i = 1; i <= 3; ++i)
        if (!UcCmd(i))
            missing << QStringLiteral("UcCmd%1").arg(i);
    return missing;
}

multibutton::zqButtons_H *Main::ToolButton(const QString &name) const
{
    return qobject_cast<multibutton::zqButtons_H *>(Control(name));
}

controls::UcCmd *Main::UcCmd(int number) const
{
    return qobject_cast<controls::UcCmd *>(Control(QStringLiteral("UcCmd%1").arg(number)));
}

void Main::Connect()
{
    connect(this, &ui::Form::Load, this, &Main::Form_Load);
    connect(this, &ui::Form::Unload, this, [this](int &) { Form_Unload(); });
    for (int i = 0; i < 3; ++i)
        connect(optVoice_[std::size_t(i)], &QRadioButton::clicked, this, [this, i] { optVoice_Click(i); });
    connect(smartMenuXP1_, &MenuBar::ItemClick, this, &Main::SmartMenuXP1_ItemClick);
    connect(UcCmd(1), &controls::UcCmd::Click, this, &Main::UcCmd1_Click);
    connect(UcCmd(2), &controls::UcCmd::Click, this, &Main::UcCmd2_Click);
    connect(cmdSpkText_, &bevel::bvlBUTTON::Click, this, &Main::cmdSpkText_Click);
    connect(cmdPauseText_, &bevel::bvlBUTTON::Click, this, &Main::cmdPauseText_Click);
    connect(cmdStopText_, &bevel::bvlBUTTON::Click, this, &Main::cmdStopText_Click);
    connect(cmdClearText_, &bevel::bvlBUTTON::Click, this, &Main::cmdClearText_Click);
    connect(cmdSaveFile_, &bevel::bvlBUTTON::Click, this, &Main::cmdSaveFile_Click);
    connect(cmdRec_, &bevel::bvlBUTTON::Click, this, &Main::cmdRec_Click);
    for (const ToolCommand &command : kToolCommands)
        connect(ToolButton(QString::fromLatin1(command.name)), &multibutton::zqButtons_H::Click, this,
                command.handler);
    connect(engine_.get(), &speech::SpeechEngine::OutputStopped, this, &Main::DirectSS1_OutputStopped);
    connect(richTextBox1_, &RichTextBox::ContextMenuAboutToShow, readingRules_, &ReadingRules::AddMenuItems);
    connect(timer1_, &ui::Timer::Tick, this, &Main::Timer1_Timer);
    SetUpFollowAlong();
}

// ---- Start-up, voices, menu, shutdown ----------------------------------------------------------

void Main::Form_Load()
{
    skin_ = std::make_unique<skin::ClsSkin>();
    skin_->SetTheForm(this);
    skin_->SetFrmPict();

    BuildMenu();

    picture1_->Prepare(20);

    timer1_->SetEnabled(false);
    cmdPauseText_->SetEnabled(false);

    // The filter reaches the window only through its Form part: it still runs on WM_NCDESTROY,
    // which the form sends from its own destructor after this class's members are gone.
    auto id = std::make_shared<int>(0);
    ui::Form *form = this;
    *id =
        AddMessageFilter([form, id](unsigned msg, ui::WPARAM wParam, ui::LPARAM lParam, ui::LRESULT &result) {
            return StudioWindowProc(form, *id, msg, wParam, lParam, result);
        });
    windowProcId_ = *id;

    vState_ = 1;
    recording_ = false;

    DiscoverVoices();

    scrSpeed_->SetValue(strings::Voices[0].speed);
    scrPitch_->SetValue(strings::Voices[0].tone);

    richTextBox1_->SetSelColor(strings::StartTextColour);
    commonDialog1_.SetColor(strings::StartTextColour);
    richTextBox1_->SetSelFontName(strings::StartFontName);
    commonDialog1_.SetFontName(strings::StartFontName);
    richTextBox1_->SetSelFontSize(strings::StartFontSize);
    commonDialog1_.SetFontSize(strings::StartFontSize);
}

bool Main::StudioWindowProc(ui::Form *form, int filterId, unsigned msg, ui::WPARAM wParam, ui::LPARAM,
                            ui::LRESULT &result)
{
    // The window keeps its size: the system's size command (an edge drag turns into one) is
    // dropped; moving goes on as usual.
    if (msg == ui::WM_SYSCOMMAND && wParam >= ui::SC_SIZE && wParam <= ui::SC_SIZE + 0xF) {
        result = 0;
        return true;
    }
    // The last message: the window goes back to its own handling, and this one is passed on.
    if (msg == ui::WM_NCDESTROY)
        form->RemoveMessageFilter(filterId);
    return false;
}

void Main::Form_Unload()
{
    if (about_)
        about_->close(); // it deletes itself on closing
    if (help_)
        help_->HHClose();
    timer1_->SetEnabled(false);
    // Speech still playing ends with the window; an unfinished recording is not kept.
    engine_->StopAudio();
    engine_->SetOutputWaveFile(QString());
}

void Main::DiscoverVoices()
{
    const auto n = static_cast<std::int16_t>(engine_->GetModeCount());
    for (int i = 1; i <= n; ++i) {
        const QString speaker = engine_->GetModeSpeaker(i);
        for (std::size_t v = 0; v < strings::Voices.size(); ++v)
            if (speaker == QLatin1String(strings::Voices[v].speaker)) {
                voiceModeIndex_[v] = i;
                break;
            }
    }
}

void Main::optVoice_Click(int index)
{
    if (index < 0 || index >= static_cast<int>(strings::Voices.size()))
        return;
    scrSpeed_->SetValue(strings::Voices[std::size_t(index)].speed);
    scrPitch_->SetValue(strings::Voices[std::size_t(index)].tone);
}

void Main::BuildMenu()
{
    smartMenuXP1_->AddItem(QString(), strings::KeyFile, MenuBar::Normal, QStringLiteral("File"));
    smartMenuXP1_->AddItem(strings::KeyFile, strings::KeyExit, MenuBar::Normal, QStringLiteral("Exit"), 3);
    smartMenuXP1_->AddItem(QString(), strings::KeyHelp, MenuBar::Normal, QStringLiteral("Help"));
    smartMenuXP1_->AddItem(strings::KeyHelp, strings::KeyHelpFile, MenuBar::Normal,
                           QStringLiteral("How to Use"), 8);
    smartMenuXP1_->AddItem(strings::KeyHelp, QString(), MenuBar::Separator, QString());
    smartMenuXP1_->AddItem(strings::KeyHelp, strings::KeyAbout, MenuBar::Normal, QStringLiteral("About"), 7);
    smartMenuXP1_->SetFontName(QStringLiteral("Ms Sans Serif"));
    smartMenuXP1_->SetFontSize(9);
}

void Main::SmartMenuXP1_ItemClick(int index)
{
    const QString key = smartMenuXP1_->Key(index);
    if (key == strings::KeyExit) {
        if (about_)
            about_->close();
        CloseFromCode();
    } else if (key == strings::KeyHelpFile) {
        ShowHowToUse();
    } else if (key == strings::KeyAbout) {
        if (!about_) {
            about_ = new about::About(); // it deletes itself on closing
        }
        about_->show();
        about_->raise();
    }
}

void Main::ShowHowToUse()
{
    if (!help_)
        help_ = std::make_unique<help::HTMLHelp>();
    help_->SetCHMFile(services::AppPaths::ProgramFolder() + strings::HelpFile);
    help_->SetHHTopicID(strings::HelpTopic);
    help_->SetHHWindow(strings::HelpWindow);
    help_->HHDisplayTopicID(this);
}

void Main::UcCmd1_Click()
{
    CloseFromCode();
}

void Main::UcCmd2_Click()
{
    SetWindowState(ui::vbMinimized);
}

// ---- Speaking ----------------------------------------------------------------------------------

int Main::SelectedVoice() const
{
    for (int i = 0; i < 3; ++i)
        if (optVoice_[std::size_t(i)]->isChecked())
            return i;
    return -1;
}

void Main::SetStatus(const QString &caption, std::uint32_t colour)
{
    lblStatus_->setText(caption);
    statusColour_ = colour;
    QPalette p = lblStatus_->palette();
    p.setColor(QPalette::WindowText, gdi::ToQColor(colour));
    lblStatus_->setPalette(p);
    Q_EMIT StatusChanged();
}

// The rules file is read now, before anything is spoken; the rules dialog's Try speaks with the
// voice, speed and pitch chosen in the window at the time it opens.
void Main::SetUpReadingRules()
{
    readingRules_ = new ReadingRules(engine_.get(), options_.engine, this);
    readingRules_->SetVoiceSource([this] {
        PronunciationDialog::Voice voice;
        const int chosen = SelectedVoice();
        voice.mode = chosen >= 0 ? voiceModeIndex_[std::size_t(chosen)] : 0;
        voice.speed = scrSpeed_->Value();
        voice.pitch = scrPitch_->Value();
        return voice;
    });
    readingRules_->SetSampleSource([this] { return richTextBox1_->SelText(); });
}

void Main::EngineSetUp()
{
    const int voice = SelectedVoice();
    if (voice >= 0)
        engine_->SelectVoiceMode(voiceModeIndex_[std::size_t(voice)]);
    engine_->SetSpeed(scrSpeed_->Value());
    engine_->SetPitch(scrPitch_->Value());
}

void Main::StatusCheck()
{
    if (engine_->GetLastStatus() != speech::E_UNEXPECTED)
        return;
    services::MessageBox::Warn(strings::NotCompatible, Title());
    const int voice = SelectedVoice();
    if (voice < 0)
        return;
    scrSpeed_->SetValue(strings::Voices[std::size_t(voice)].speed);
    scrPitch_->SetValue(strings::Voices[std::size_t(voice)].tone);
}

void Main::cmdSpkText_Click()
{
    EngineSetUp();
    const QString text = richTextBox1_->Text();
    if (text.isEmpty()) {
        services::MessageBox::Warn(strings::EnterText, Title());
        return;
    }
    engine_->Speak(text);
    followAlong_->Start(text, 0, false);
    EnterSpeaking(text);
}

void Main::EnterSpeaking(const QString &text)
{
    const std::uint32_t status = engine_->GetLastStatus();
    Q_EMIT SpeakingStarted(text);
    timer1_->SetEnabled(true);
    cmdPauseText_->SetEnabled(true);
    SetStatus(strings::Speaking, strings::SpeakingColour);
    cmdClearText_->SetEnabled(false);
    if (status == speech::E_UNEXPECTED)
        StatusCheck();
}

void Main::cmdPauseText_Click()
{
    const QString caption = cmdPauseText_->Caption();
    if (caption == strings::Pause) {
        engine_->PauseAudio();
        cmdPauseText_->SetCaption(strings::Resume);
        cmdSpkText_->SetEnabled(false);
        timer1_->SetEnabled(false);
        vState_ = 2;
        SetStatus(strings::Paused, strings::PausedColour);
    } else if (caption == strings::Resume) {
        engine_->ResumeAudio();
        cmdPauseText_->SetCaption(strings::Pause);
        cmdSpkText_->SetEnabled(true);
        timer1_->SetEnabled(true);
        vState_ = 1;
        SetStatus(strings::Speaking, strings::SpeakingColour);
    }
}

void Main::BlankDisplay()
{
    picture1_->Blank();
}

void Main::cmdStopText_Click()
{
    engine_->StopAudio();
    if (!recording_)
        engine_->SetOutputWaveFile(QString());
    timer1_->SetEnabled(false);
    cmdSpkText_->SetEnabled(true);
    cmdPauseText_->SetEnabled(false);
    cmdClearText_->SetEnabled(true);
    cmdPauseText_->SetCaption(strings::Pause);
    vState_ = 1;
    BlankDisplay();
    SetStatus(strings::Stopped, strings::StoppedColour);
}

void Main::DirectSS1_OutputStopped()
{
    const std::uint32_t status = engine_->GetLastStatus();
    timer1_->SetEnabled(false);
    BlankDisplay();
    const bool wasRecording = recording_;
    if (recording_) {
        engine_->SetOutputWaveFile(QString());
        cmdSpkText_->SetEnabled(true);
        cmdPauseText_->SetEnabled(true);
        cmdClearText_->SetEnabled(true);
        recording_ = false;
    }
    if (vState_ == 1)
        cmdPauseText_->SetEnabled(false);
    if (vState_ == 2)
        SetStatus(strings::Paused, strings::PausedColour);
    else
        SetStatus(strings::Stopped, strings::StoppedColour);

    // A recording that could not be written must not end as if it had worked, and speech with no
    // sound device must not end in silence without a word.
    const bool recordingFailed =
        wasRecording && (status == speech::E_ACCESSDENIED || status == speech::STG_E_CANTSAVE);
    QString reason = !recordingFailed                   ? QString()
                     : status == speech::E_ACCESSDENIED ? strings::RecordingDenied
                                                        : strings::RecordingNotSaved;
    if (recordingFailed && status == speech::E_ACCESSDENIED && !speech::SoundFormat::ForPath(txtFile_->text().trimmed()))
        reason = strings::RecordingUnknownKind;
    if (wasRecording)
        Q_EMIT RecordingEnded(reason);
    if (recordingFailed) {
        services::MessageBox::Warn(strings::RecordingFailed.arg(txtFile_->text(), reason), Title());
    } else if (!wasRecording && status == speech::AUDCLNT_E_DEVICE_INVALIDATED) {
        services::MessageBox::Warn(strings::NoSoundDevice, Title());
    }
}

void Main::Timer1_Timer()
{
    picture1_->Tick();
}

void Main::Drawbox(double boxLeft, double BoxWidth, std::uint32_t boxColor, float Value, int Index)
{
    picture1_->Drawbox(boxLeft, BoxWidth, boxColor, Value, Index);
}

// ---- Recording ---------------------------------------------------------------------------------

void Main::cmdSaveFile_Click()
{
    commonDialog1_.SetFilter(strings::WaveFilter);
    commonDialog1_.ShowSave();
    txtFile_->setText(commonDialog1_.FileName());
}

void Main::cmdRec_Click()
{
    EngineSetUp();
    const QString text = richTextBox1_->Text();
    if (text.isEmpty()) {
        services::MessageBox::Warn(strings::EnterText, Title());
        return;
    }
    // The path in the box is the one recorded to: the save dialog fills it, and a path typed
    // by hand is honoured as well.
    const QString path = txtFile_->text().trimmed();
    if (path.isEmpty()) {
        services::MessageBox::Warn(strings::EnterFileName, Title());
        return;
    }
    if (QFileInfo::exists(path) && services::MessageBox::Current().Show(
                                       strings::FileExists, Title(), services::MB_OKCANCEL) != services::IDOK)
        return;
    // The recording's title tag: the opened document's name while the editor holds it unchanged,
    // else the engine's default (the text's first words).
    speech::RecordingOptions recording;
    if (!richTextBox1_->Tag().isEmpty() && !richTextBox1_->document()->isModified())
        recording.tags.title = QFileInfo(richTextBox1_->Tag()).completeBaseName();
    engine_->SetRecordingOptions(recording);
    engine_->SetOutputWaveFile(path);
    engine_->Speak(text);
    const std::uint32_t status = engine_->GetLastStatus();
    followAlong_->Start(text, 0, true);
    Q_EMIT RecordingStarted(path);
    timer1_->SetEnabled(true);
    SetStatus(strings::RecordingCaption, strings::RecordingColour);
    recording_ = true;
    cmdSpkText_->SetEnabled(false);
    cmdPauseText_->SetEnabled(false);
    cmdClearText_->SetEnabled(false);
    if (status == speech::E_UNEXPECTED)
        StatusCheck();
}

// ---- Opening documents -------------------------------------------------------------------------

void Main::cmdOpen_Click()
{
    ModCmnDlg::SetDialogFilter(strings::OpenFilter);
    if (!ModCmnDlg::ShowOpenDialog() || ModCmnDlg::DialogFileName().isEmpty())
        return;
    OpenDocumentFile(ModCmnDlg::DialogFileName(), ModCmnDlg::DialogFilterIndex());
}

documents::DocumentText Main::ReadDocument(const QString &path, int filterIndex, std::stop_token stop)
{
    const documents::ChildProcess::StopScope converters(std::move(stop));
    if (filterIndex == documents::kFilterRichText) {
        // The rich text goes through the hidden rich-text control, whose plain text the editor
        // takes: the same text, without a second document to hold it.
        documents::DocumentText loaded = documents::RtfReader::LoadFile(path);
        if (loaded.ok)
            loaded.text = RichTextBox::PlainTextRoundTrip(std::move(loaded.text));
        return loaded;
    }
    return documents::TextForEditor(path, filterIndex);
}

bool Main::IsOpening() const
{
    return import_->Waiting();
}

void Main::OpenDocumentFile(const QString &path, int filterIndex)
{
    repaint();
    std::optional<documents::DocumentText> loaded;
    {
        const documents::BusyPointer busy;
        const DocumentReader reader = reader_ ? reader_ : DocumentReader(&Main::ReadDocument);
        loaded = import_->Run([reader, path, filterIndex](std::stop_token stop) {
            return reader(path, filterIndex, std::move(stop));
        });
    }
    // Abandoned: the editor is left as it was.
    if (!loaded)
        return;
    // A document that cannot be read never costs the user the text already in the editor.
    if (!loaded->ok) {
        services::MessageBox::Current().Show(loaded->error, Title(), services::MB_OK | services::MB_ICONSTOP);
        return;
    }
    {
        const documents::BusyPointer busy;
        richTextBox1_->ReplaceText(loaded->text, {commonDialog1_.FontName(), commonDialog1_.FontSize(),
                                                  commonDialog1_.FontBold(), commonDialog1_.FontItalic(),
                                                  commonDialog1_.FontUnderline(),
                                                  commonDialog1_.FontStrikethru(), commonDialog1_.Color()});
        richTextBox1_->SetTag(path);
    }
    // What is in the editor now came from a document; typing or pasting marks it as the user's.
    richTextBox1_->document()->setModified(false);
}

// ---- Editing -----------------------------------------------------------------------------------

void Main::cmdAll_Click()
{
    richTextBox1_->SetSelStart(0);
    richTextBox1_->SetSelLength(richTextBox1_->TextLength());
    richTextBox1_->SetFocus();
}

void Main::cmdCut_Click()
{
    services::Clipboard::SetText(richTextBox1_->SelText());
    richTextBox1_->SetSelText(QString());
}

void Main::cmdCopy_Click()
{
    services::Clipboard::SetText(richTextBox1_->SelText());
}

void Main::cmdPaste_Click()
{
    const QString text = services::Clipboard::GetText();
    if (!text.isEmpty())
        richTextBox1_->SetSelText(text);
}

void Main::cmdDelete_Click()
{
    richTextBox1_->SetSelText(QString());
}

void Main::cmdClear_Click()
{
    services::Clipboard::Clear();
}

void Main::cmdBold_Click()
{
    const std::optional<bool> bold = richTextBox1_->SelBold();
    richTextBox1_->SetSelBold(bold.has_value() && !*bold);
}

void Main::cmdItalic_Click()
{
    const std::optional<bool> italic = richTextBox1_->SelItalic();
    richTextBox1_->SetSelItalic(italic.has_value() && !*italic);
}

void Main::cmdFont_Click()
{
    commonDialog1_.SetFlags(3);
    commonDialog1_.ShowFont();
    richTextBox1_->SetSelFontName(commonDialog1_.FontName());
    richTextBox1_->SetSelFontSize(commonDialog1_.FontSize());
    richTextBox1_->SetSelStrikethru(commonDialog1_.FontStrikethru());
    richTextBox1_->SetSelUnderline(commonDialog1_.FontUnderline());
    richTextBox1_->SetSelBold(commonDialog1_.FontBold());
    richTextBox1_->SetSelItalic(commonDialog1_.FontItalic());
}

void Main::cmdForeColor_Click()
{
    commonDialog1_.ShowColor();
    richTextBox1_->SetSelColor(commonDialog1_.Color());
}

void Main::cmdBackColor_Click()
{
    commonDialog1_.ShowColor();
    richTextBox1_->SetBackColor(commonDialog1_.Color());
}

void Main::cmdClearText_Click()
{
    richTextBox1_->SetText(QString());
}

} // namespace studio
