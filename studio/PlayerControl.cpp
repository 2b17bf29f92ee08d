// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/PlayerControl.h"

#include "bevel/bvlBUTTON.h"
#include "studio/Main.h"
#include "studio/StudioStrings.h"

#include <QLabel>
#include <QRegularExpression>
#include <QTimer>

namespace studio
{

namespace
{
// A title names the text without repeating it: a few words, never a paragraph.
constexpr int TitleWords = 8;
constexpr int TitleCharacters = 60;
} // namespace

PlayerControl::PlayerControl(Main *window, QObject *parent) : QObject(parent), window_(window)
{
    connect(window_, &Main::StatusChanged, this, &PlayerControl::ScheduleChanged);
    connect(window_, &Main::SpeakingStarted, this, [this](const QString &text) {
        title_ = FirstWords(text);
        ++track_;
        ScheduleChanged();
    });
    // Skipping becomes possible once the engine knows where the sentences are.
    connect(window_->DirectSS1(), &speech::SpeechEngine::SentenceReached, this,
            &PlayerControl::ScheduleChanged);
}

PlayerControl::Status PlayerControl::PlaybackStatus() const
{
    const QString caption = window_->lblStatus()->text();
    if (caption == strings::Speaking)
        return Status::Playing;
    if (caption == strings::Paused)
        return Status::Paused;
    return Status::Stopped;
}

QString PlayerControl::StatusName(Status status)
{
    switch (status) {
    case Status::Playing:
        return QStringLiteral("Playing");
    case Status::Paused:
        return QStringLiteral("Paused");
    case Status::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

bool PlayerControl::CanPlay() const
{
    const bevel::bvlBUTTON *pause = window_->cmdPauseText();
    return window_->cmdSpkText()->Enabled() || (pause->Enabled() && pause->Caption() == strings::Resume);
}

bool PlayerControl::CanPause() const
{
    return window_->cmdPauseText()->Enabled();
}

bool PlayerControl::CanGoNext() const
{
    return window_->CanSkipSentence();
}

bool PlayerControl::CanGoPrevious() const
{
    return window_->CanSkipSentence();
}

QString PlayerControl::FirstWords(const QString &text)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    const QStringList words = text.simplified().split(space, Qt::SkipEmptyParts);
    QString title;
    int taken = 0;
    for (const QString &word : words) {
        if (taken == TitleWords || title.size() + 1 + word.size() > TitleCharacters)
            break;
        if (taken > 0)
            title += QLatin1Char(' ');
        title += word;
        ++taken;
    }
    // A first word longer than a whole title is cut rather than left out.
    if (taken == 0 && !words.isEmpty())
        title = words.front().left(TitleCharacters);
    if (taken < words.size())
        title += QChar(0x2026);
    return title;
}

void PlayerControl::Press(bevel::bvlBUTTON *button)
{
    // The same signal a mouse click raises, so every handler of the button runs; a disabled
    // button cannot be clicked.
    if (button->Enabled())
        Q_EMIT button->Click();
}

void PlayerControl::Play()
{
    switch (PlaybackStatus()) {
    case Status::Paused:
        if (window_->cmdPauseText()->Caption() == strings::Resume)
            Press(window_->cmdPauseText());
        break;
    case Status::Stopped:
        Press(window_->cmdSpkText());
        break;
    case Status::Playing:
        break;
    }
}

void PlayerControl::Pause()
{
    if (PlaybackStatus() == Status::Playing && window_->cmdPauseText()->Caption() == strings::Pause)
        Press(window_->cmdPauseText());
}

void PlayerControl::PlayPause()
{
    if (PlaybackStatus() == Status::Playing)
        Pause();
    else
        Play();
}

void PlayerControl::Stop()
{
    Press(window_->cmdStopText());
}

void PlayerControl::Next()
{
    window_->NextSentence();
}

void PlayerControl::Previous()
{
    window_->PreviousSentence();
}

void PlayerControl::ScheduleChanged()
{
    if (changePending_)
        return;
    changePending_ = true;
    QTimer::singleShot(0, this, [this] {
        changePending_ = false;
        Q_EMIT Changed();
    });
}

} // namespace studio
