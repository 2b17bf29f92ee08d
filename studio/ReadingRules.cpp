// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/ReadingRules.h"

#include "platform/services/EventLog.h"
#include "speech/Lexicon.h"
#include "speech/ReadingFilters.h"
#include "studio/ReadingStrings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>

namespace studio
{

namespace texts = studio::strings::reading;

ReadingRules::ReadingRules(speech::SpeechEngine *engine, speech::SpeechEngine::Environment dialogEnvironment,
                           QWidget *window)
    : QObject(window), engine_(engine), dialogEnvironment_(std::move(dialogEnvironment)), window_(window)
{
    Reload();
}

ReadingRules::~ReadingRules()
{
    delete dialog_.data();
}

QString ReadingRules::RulesFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/orvena-studio/lexicon.txt");
}

void ReadingRules::Reload()
{
    const QString path = RulesFile();
    rules_.reset();
    if (QFileInfo::exists(path)) {
        auto lexicon = std::make_shared<speech::Lexicon>();
        const bool clean = lexicon->AddFile(path);
        if (!clean) {
            for (const QString &line : lexicon->ProblemLines())
                services::EventLog::Current().Write(services::EVENTLOG_WARNING_TYPE,
                                                    QStringLiteral("Pronunciation rules: ") + line);
        }
        // A file that could not be read at all has left no rules: read as without one.
        if (!lexicon->IsEmpty())
            rules_ = std::move(lexicon);
    }
    engine_->SetLexicon(rules_);
}

void ReadingRules::SetSkip(unsigned skip)
{
    skip_ = skip;
    engine_->SetReadingFilters(skip_);
}

void ReadingRules::AddMenuItems(QMenu *menu)
{
    menu->addSeparator();
    connect(menu->addAction(texts::RulesItem), &QAction::triggered, this, [this] { OpenDialog(); });
    const std::pair<const QString *, unsigned> filters[] = {
        {&texts::SkipBracketsItem, speech::ReadingFilters::Brackets},
        {&texts::SkipAddressesItem, speech::ReadingFilters::WebAddresses}};
    for (const auto &[caption, flag] : filters) {
        QAction *item = menu->addAction(*caption);
        item->setCheckable(true);
        item->setChecked(skip_ & flag);
        connect(item, &QAction::toggled, this,
                [this, flag = flag](bool on) { SetSkip(on ? (skip_ | flag) : (skip_ & ~flag)); });
    }
}

PronunciationDialog *ReadingRules::OpenDialog()
{
    if (dialog_) {
        dialog_->raise();
        dialog_->activateWindow();
        return dialog_;
    }
    PronunciationDialog::Voice voice = voice_ ? voice_() : PronunciationDialog::Voice{};
    voice.skip = skip_;
    dialog_ = new PronunciationDialog(RulesFile(), sample_ ? sample_() : QString(), voice, dialogEnvironment_,
                                      window_);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog_, &PronunciationDialog::Saved, this, &ReadingRules::Reload);
    dialog_->open();
    return dialog_;
}

} // namespace studio
