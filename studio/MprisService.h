// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <memory>

namespace studio
{

class Main;
class PlayerControl;

// The studio on the session bus as org.mpris.MediaPlayer2.orvena_studio, so media keys and the
// desktop's sound applet can play, pause and stop it and show what it speaks.
class MprisService : public QObject
{
    Q_OBJECT
  public:
    // Registers the service for `window`. Without a session bus, or when the name cannot be had,
    // there is no service and nothing is said: the studio works as it does without a desktop.
    static std::unique_ptr<MprisService> Register(Main *window);
    ~MprisService() override;

    PlayerControl *Player() const { return player_; }

  private:
    explicit MprisService(Main *window);

    PlayerControl *player_;
    bool registered_ = false;
};

} // namespace studio
