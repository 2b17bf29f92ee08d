// SPDX-License-Identifier: GPL-3.0-or-later
// The studio window's ways into speech besides its buttons: speaking from the caret or the
// selection, skipping by sentence, the speech keys and the editor's context menu; and the
// follow-along display of what is being heard.
#include "studio/Main.h"

#include "bevel/bvlBUTTON.h"
#include "platform/services/MessageBox.h"
#include "studio/FollowAlong.h"
#include "studio/RichTextBox.h"
#include "studio/StudioStrings.h"

#include <QMenu>
#include <QShortcut>

#include <algorithm>

namespace studio
{

namespace
{

bool InWord(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('\'') || c == QChar(0x2019) || c.isMark();
}

} // namespace

int Main::WordStartAt(const QString &text, int position)
{
    int at = std::clamp(position, 0, static_cast<int>(text.size()));
    while (at > 0 && InWord(text.at(at - 1)))
        --at;
    return at;
}

void Main::SetUpFollowAlong()
{
    followAlong_ = new FollowAlong(richTextBox1_, engine_.get(), this, this);

    // The speech keys act as their buttons do, enabled rules included, wherever the focus is.
    const struct {
        QKeySequence key;
        void (Main::*action)();
    } keys[] = {
        {QKeySequence(Qt::Key_F5), &Main::SpeakKey},
        {QKeySequence(Qt::SHIFT | Qt::Key_F5), &Main::SpeakFromHere},
        {QKeySequence(Qt::CTRL | Qt::Key_F5), &Main::SpeakSelection},
        {QKeySequence(Qt::Key_F6), &Main::PauseKey},
        {QKeySequence(Qt::Key_F7), &Main::StopKey},
        {QKeySequence(Qt::ALT | Qt::Key_Right), &Main::NextSentence},
        {QKeySequence(Qt::ALT | Qt::Key_Left), &Main::PreviousSentence},
    };
    for (const auto &k : keys) {
        auto *shortcut = new QShortcut(k.key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, k.action);
    }

    connect(richTextBox1_, &RichTextBox::ContextMenuAboutToShow, this, &Main::AddSpeechMenuItems);
}

void Main::AddSpeechMenuItems(QMenu *menu)
{
    menu->addSeparator();
    QAction *fromHere = menu->addAction(strings::SpeakFromHere, this, &Main::SpeakFromHere);
    fromHere->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
    fromHere->setEnabled(cmdSpkText_->Enabled());
    QAction *selection = menu->addAction(strings::SpeakSelection, this, &Main::SpeakSelection);
    selection->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F5));
    selection->setEnabled(cmdSpkText_->Enabled() && richTextBox1_->SelLength() > 0);
}

void Main::SpeakKey()
{
    if (cmdSpkText_->Enabled())
        cmdSpkText_Click();
}

void Main::PauseKey()
{
    if (cmdPauseText_->Enabled())
        cmdPauseText_Click();
}

void Main::StopKey()
{
    if (cmdStopText_->Enabled())
        cmdStopText_Click();
}

void Main::SpeakFromHere()
{
    if (!cmdSpkText_->Enabled())
        return;
    EngineSetUp();
    const QString text = richTextBox1_->Text();
    if (text.isEmpty()) {
        services::MessageBox::Warn(strings::EnterText, strings::WindowTitle);
        return;
    }
    engine_->SpeakFrom(text, WordStartAt(text, richTextBox1_->textCursor().position()));
    followAlong_->Start(text, 0, false);
    EnterSpeaking(text);
}

void Main::SpeakSelection()
{
    if (!cmdSpkText_->Enabled() || richTextBox1_->SelLength() <= 0)
        return;
    EngineSetUp();
    const QString text = richTextBox1_->SelText();
    engine_->Speak(text);
    followAlong_->Start(text, richTextBox1_->SelStart(), false);
    EnterSpeaking(text);
}

bool Main::CanSkipSentence() const
{
    return vState_ == 1 && !recording_ && engine_->CanSkipSentence();
}

void Main::NextSentence()
{
    if (CanSkipSentence())
        engine_->NextSentence();
}

void Main::PreviousSentence()
{
    if (CanSkipSentence())
        engine_->PreviousSentence();
}

} // namespace studio
