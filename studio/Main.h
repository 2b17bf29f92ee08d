// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "about/About.h"
#include "platform/ui/Form.h"
#include "speech/SpeechEngine.h"
#include "studio/CommonDialog.h"
#include "studio/documents/DocumentText.h"

#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;

namespace bevel
{
class bvlBUTTON;
}
namespace controls
{
class UcCmd;
class UcScroll;
} // namespace controls
namespace help
{
class HTMLHelp;
}
namespace multibutton
{
class zqButtons_H;
}
namespace skin
{
class ClsSkin;
}
namespace ui
{
class Timer;
}

namespace studio
{

class BackgroundImport;
struct ControlEntry;
class FollowAlong;
class LevelDisplay;
class MenuBar;
class ReadingRules;
class RichTextBox;

// The studio window: the editor, the voice choice, speed and tone, the speech buttons, the
// editing tool bar, the level display and the menu, built from the window definition and driving
// the speech engine.
class Main : public ui::Form
{
    Q_OBJECT
  public:
    struct Options {
        // The window definition; the program folder's one when empty.
        QString definition;
        // The folder the icons named by the definition are read from; the program folder's when empty.
        QString iconFolder;
        // The speech engine's voices and sound output; the installed ones when left empty.
        speech::SpeechEngine::Environment engine;
    };

    // Builds the window from its definition. On failure returns nullptr and fills `error`.
    static std::unique_ptr<Main> Create(const Options &options, QString *error);
    ~Main() override;

    // Window state.
    std::int16_t VState() const { return vState_; }
    bool Recording() const { return recording_; }
    int VoiceModeIndex(int voice) const { return voiceModeIndex_.at(static_cast<std::size_t>(voice)); }

    // The controls, by their names in the definition.
    RichTextBox *RichTextBox1() const { return richTextBox1_; }
    RichTextBox *RTFtemp() const { return rtfTemp_; }
    speech::SpeechEngine *DirectSS1() const { return engine_.get(); }
    QRadioButton *optVoice(int index) const { return optVoice_.at(static_cast<std::size_t>(index)); }
    controls::UcScroll *scrSpeed() const { return scrSpeed_; }
    controls::UcScroll *scrPitch() const { return scrPitch_; }
    bevel::bvlBUTTON *cmdSpkText() const { return cmdSpkText_; }
    bevel::bvlBUTTON *cmdPauseText() const { return cmdPauseText_; }
    bevel::bvlBUTTON *cmdStopText() const { return cmdStopText_; }
    bevel::bvlBUTTON *cmdClearText() const { return cmdClearText_; }
    bevel::bvlBUTTON *cmdSaveFile() const { return cmdSaveFile_; }
    bevel::bvlBUTTON *cmdRec() const { return cmdRec_; }
    QLineEdit *txtFile() const { return txtFile_; }
    multibutton::zqButtons_H *ToolButton(const QString &name) const;
    QLabel *lblStatus() const { return lblStatus_; }
    LevelDisplay *Picture1() const { return picture1_; }
    ui::Timer *Timer1() const { return timer1_; }
    CommonDialog &CommonDialog1() { return commonDialog1_; }
    MenuBar *SmartMenuXP1() const { return smartMenuXP1_; }
    controls::UcCmd *UcCmd(int number) const;
    skin::ClsSkin *Skin() const { return skin_.get(); }
    about::About *AboutWindow() const { return about_.data(); }
    // The pronunciation rules and reading filters the engine reads with.
    ReadingRules *Reading() const { return readingRules_; }
    help::HTMLHelp *Help() const { return help_.get(); }
    // The status label's text colour (0x00BBGGRR).
    std::uint32_t StatusColour() const { return statusColour_; }

    // Handlers.
    void Form_Load();
    void Form_Unload();
    void optVoice_Click(int index);
    void SmartMenuXP1_ItemClick(int index);
    void UcCmd1_Click();
    void UcCmd2_Click();
    void cmdSpkText_Click();
    void cmdPauseText_Click();
    void cmdStopText_Click();
    void DirectSS1_OutputStopped();
    void Timer1_Timer();
    void cmdSaveFile_Click();
    void cmdRec_Click();
    void cmdOpen_Click();
    void cmdAll_Click();
    void cmdCut_Click();
    void cmdCopy_Click();
    void cmdPaste_Click();
    void cmdDelete_Click();
    void cmdClear_Click();
    void cmdBold_Click();
    void cmdItalic_Click();
    void cmdFont_Click();
    void cmdForeColor_Click();
    void cmdBackColor_Click();
    void cmdClearText_Click();

    // The Open File flow from the point the open dialog has returned `path`: `filterIndex` is the
    // dialog's filter the user ended on (1-based), which decides how the file is read. The file
    // is read off the window's thread under the hourglass, the window repainting meanwhile;
    // Escape abandons the reading. A document read replaces the editor's text, in the common
    // dialog's font, size, styles and colour, caret at the start; a document that cannot be read
    // is reported and leaves the editor as it was.
    void OpenDocumentFile(const QString &path, int filterIndex);

    // What reads a document for the editor: a function of the file alone, run off the window's
    // thread; `stop` is requested when the user abandons the open.
    using DocumentReader =
        std::function<documents::DocumentText(const QString &path, int filterIndex, std::stop_token stop)>;
    // Replaces the reader OpenDocumentFile uses (tests); an empty function restores ReadDocument.
    void SetDocumentReader(DocumentReader reader) { reader_ = std::move(reader); }
    // The real reader: the loader of the filter, a rich-text file's text as the hidden rich-text
    // control would give it; converter programs it runs are stopped when `stop` is requested.
    static documents::DocumentText ReadDocument(const QString &path, int filterIndex, std::stop_token stop);
    // Whether an open is waiting for its document.
    bool IsOpening() const;

    // Draws one bar of the level display.
    void Drawbox(double boxLeft, double BoxWidth, std::uint32_t boxColor, float Value, int Index);

    void DiscoverVoices();
    void BuildMenu();
    void ShowHowToUse();

    // Speaking from elsewhere than the start, each entering the Speaking state as SPEAK does and
    // doing nothing while SPEAK is disabled: from the start of the word at the caret, or the
    // selected text alone (nothing without a selection).
    void SpeakFromHere();
    void SpeakSelection();
    // While speaking (not paused, not recording): on to the next sentence, or back to the start of
    // the current one (to the one before when it has barely begun).
    void NextSentence();
    void PreviousSentence();
    bool CanSkipSentence() const;
    FollowAlong *FollowAlongDisplay() const { return followAlong_; }

  Q_SIGNALS:
    // The status label changed; the buttons have settled by the time the event loop runs again.
    void StatusChanged();
    // SPEAK handed `text` to the engine.
    void SpeakingStarted(const QString &text);
    // RECORD started writing into `path`.
    void RecordingStarted(const QString &path);
    // The recording ended; `failure` says why nothing was saved, empty otherwise.
    void RecordingEnded(const QString &failure);

  private:
    explicit Main(const Options &options);
    bool Build(QString *error);
    void KeepNamedControl(const ControlEntry &entry, QWidget *widget);
    QStringList MissingControls() const;
    void Connect();
    void EngineSetUp();
    void StatusCheck();
    void EnterSpeaking(const QString &text);
    void SetUpFollowAlong();
    // The editor's context menu gains the ways to speak from the caret and the selection.
    void AddSpeechMenuItems(QMenu *menu);
    void SpeakKey();
    void PauseKey();
    void StopKey();
    static int WordStartAt(const QString &text, int position);
    void SetStatus(const QString &caption, std::uint32_t colour);
    int SelectedVoice() const;
    void SetUpReadingRules();
    void BlankDisplay();
    static bool StudioWindowProc(ui::Form *form, int filterId, unsigned msg, ui::WPARAM wParam,
                                 ui::LPARAM lParam, ui::LRESULT &result);

    Options options_;
    std::unique_ptr<speech::SpeechEngine> engine_;
    ReadingRules *readingRules_ = nullptr;
    std::unique_ptr<skin::ClsSkin> skin_; // no Qt parent: it goes while the window is still whole
    std::unique_ptr<help::HTMLHelp> help_;
    QPointer<about::About> about_; // the About window owns itself
    CommonDialog commonDialog1_;
    int windowProcId_ = 0;

    std::int16_t vState_ = 1;
    bool recording_ = false;
    std::array<int, 3> voiceModeIndex_{};
    std::uint32_t statusColour_ = 0xEBF4B5;

    RichTextBox *richTextBox1_ = nullptr;
    RichTextBox *rtfTemp_ = nullptr;
    std::array<QRadioButton *, 3> optVoice_{};
    controls::UcScroll *scrSpeed_ = nullptr;
    controls::UcScroll *scrPitch_ = nullptr;
    bevel::bvlBUTTON *cmdSpkText_ = nullptr;
    bevel::bvlBUTTON *cmdPauseText_ = nullptr;
    bevel::bvlBUTTON *cmdStopText_ = nullptr;
    bevel::bvlBUTTON *cmdClearText_ = nullptr;
    bevel::bvlBUTTON *cmdSaveFile_ = nullptr;
    bevel::bvlBUTTON *cmdRec_ = nullptr;
    QLineEdit *txtFile_ = nullptr;
    QLabel *lblStatus_ = nullptr;
    LevelDisplay *picture1_ = nullptr;
    ui::Timer *timer1_ = nullptr;
    MenuBar *smartMenuXP1_ = nullptr;
    FollowAlong *followAlong_ = nullptr;
    std::vector<QImage> smallImages_;
    std::unique_ptr<BackgroundImport> import_;
    DocumentReader reader_;
};

} // namespace studio
