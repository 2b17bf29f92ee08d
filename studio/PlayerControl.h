// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

namespace bevel
{
class bvlBUTTON;
}

namespace studio
{

class Main;

// The studio window seen as a media player, for remote controls such as the desktop's media keys:
// a playback status from the state of the speech buttons, the first words of the text being
// spoken as the title, and play, pause and stop that press the window's own buttons, so they do
// exactly (and only) what a click on an enabled button does.
class PlayerControl : public QObject
{
    Q_OBJECT
  public:
    enum class Status { Playing, Paused, Stopped };

    explicit PlayerControl(Main *window, QObject *parent = nullptr);

    // Speaking is Playing, Paused is Paused; Idle, Ended and Recording are Stopped.
    Status PlaybackStatus() const;
    static QString StatusName(Status status);
    // Play (or PlayPause) would speak or resume: SPEAK is enabled, or PAUSE-RESUME can resume.
    bool CanPlay() const;
    // PAUSE-RESUME is enabled.
    bool CanPause() const;
    // SPEAK's speech can move on to the next sentence or back (the window's sentence skipping).
    bool CanGoNext() const;
    bool CanGoPrevious() const;

    // The first words of the text SPEAK last handed to the engine, and how many texts it has
    // handed so far (0: none yet).
    QString Title() const { return title_; }
    int TrackNumber() const { return track_; }
    static QString FirstWords(const QString &text);

    // Idle or Ended: SPEAK; Paused: RESUME; Speaking: nothing.
    void Play();
    // Speaking: PAUSE; otherwise nothing.
    void Pause();
    // Speaking: PAUSE; otherwise as Play.
    void PlayPause();
    // STOP.
    void Stop();
    // The next sentence, or back to the start of this one, while that is possible.
    void Next();
    void Previous();

  Q_SIGNALS:
    // Some of the above may have changed. Sent once per burst of changes, after the window's
    // handlers have finished with the buttons.
    void Changed();

  private:
    void Press(bevel::bvlBUTTON *button);
    void ScheduleChanged();

    Main *window_;
    QString title_;
    int track_ = 0;
    bool changePending_ = false;
};

} // namespace studio
