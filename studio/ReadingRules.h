// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechEngine.h"
#include "studio/PronunciationDialog.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QWidget;

namespace speech
{
class Lexicon;
}

namespace studio
{

// How the studio reads: the user's pronunciation rules, kept in one file under the user's
// configuration folder that the studio reads at start and after its rules dialog saves it (it
// never writes the file by itself), and the reading filters, kept for the session only. Both go
// to the engine for every text spoken after they change. Without the file the studio reads
// exactly as it would without this class.
class ReadingRules : public QObject
{
    Q_OBJECT
  public:
    // `dialogEnvironment` is what the dialog's Try speaks through.
    ReadingRules(speech::SpeechEngine *engine, speech::SpeechEngine::Environment dialogEnvironment,
                 QWidget *window);
    ~ReadingRules() override;

    // $XDG_CONFIG_HOME/orvena-studio/lexicon.txt, ~/.config when XDG_CONFIG_HOME is not set.
    static QString RulesFile();

    // Reads the rules file again; no rules when there is none or it cannot be read. Lines that are
    // not rules, and a file that cannot be read, go to the event log.
    void Reload();
    // The rules in use; none without a file.
    std::shared_ptr<const speech::Lexicon> Rules() const { return rules_; }

    unsigned Skip() const { return skip_; }
    void SetSkip(unsigned skip);

    // What the dialog's Try speaks with and the sample it starts with.
    void SetVoiceSource(std::function<PronunciationDialog::Voice()> source) { voice_ = std::move(source); }
    void SetSampleSource(std::function<QString()> source) { sample_ = std::move(source); }

    // Adds "Pronunciation Rules…" and the two filters to the editor's context menu.
    void AddMenuItems(QMenu *menu);
    // Shows the rules dialog (window-modal, without waiting for it), or brings the open one forward.
    PronunciationDialog *OpenDialog();
    PronunciationDialog *Dialog() const { return dialog_.data(); }

  private:
    speech::SpeechEngine *engine_;
    speech::SpeechEngine::Environment dialogEnvironment_;
    QWidget *window_;
    std::shared_ptr<const speech::Lexicon> rules_;
    unsigned skip_ = 0;
    std::function<PronunciationDialog::Voice()> voice_;
    std::function<QString()> sample_;
    QPointer<PronunciationDialog> dialog_;
};

} // namespace studio
