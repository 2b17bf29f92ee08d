// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/MprisPlayerAdaptor.h"

#include "studio/DesktopStrings.h"
#include "studio/PlayerControl.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>

namespace studio
{

MprisPlayerAdaptor::MprisPlayerAdaptor(PlayerControl *player, QObject *parent)
    : QDBusAbstractAdaptor(parent), player_(player)
{
    announced_ = ChangingProperties();
    connect(player_, &PlayerControl::Changed, this, &MprisPlayerAdaptor::AnnounceChanges);
}

QString MprisPlayerAdaptor::PlaybackStatus() const
{
    return PlayerControl::StatusName(player_->PlaybackStatus());
}

QVariantMap MprisPlayerAdaptor::Metadata() const
{
    QVariantMap metadata;
    if (player_->TrackNumber() == 0) {
        metadata.insert(QStringLiteral("mpris:trackid"),
                        QVariant::fromValue(QDBusObjectPath(desktop::NoTrack)));
        return metadata;
    }
    metadata.insert(QStringLiteral("mpris:trackid"),
                    QVariant::fromValue(
                        QDBusObjectPath(desktop::TrackIdPrefix + QString::number(player_->TrackNumber()))));
    metadata.insert(QStringLiteral("xesam:title"), player_->Title());
    return metadata;
}

bool MprisPlayerAdaptor::CanGoNext() const
{
    return player_->CanGoNext();
}

bool MprisPlayerAdaptor::CanGoPrevious() const
{
    return player_->CanGoPrevious();
}

bool MprisPlayerAdaptor::CanPlay() const
{
    return player_->CanPlay();
}

bool MprisPlayerAdaptor::CanPause() const
{
    return player_->CanPause();
}

QVariantMap MprisPlayerAdaptor::ChangingProperties() const
{
    return {
        {QStringLiteral("PlaybackStatus"), PlaybackStatus()},
        {QStringLiteral("Metadata"), Metadata()},
        {QStringLiteral("CanGoNext"), CanGoNext()},
        {QStringLiteral("CanGoPrevious"), CanGoPrevious()},
        {QStringLiteral("CanPlay"), CanPlay()},
        {QStringLiteral("CanPause"), CanPause()},
    };
}

void MprisPlayerAdaptor::AnnounceChanges()
{
    const QVariantMap now = ChangingProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (announced_.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    announced_ = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(desktop::MprisObjectPath,
                                                     QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << desktop::MprisPlayerInterface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

void MprisPlayerAdaptor::Later(void (PlayerControl::*action)())
{
    // The caller gets its reply first: a button's handler may open a message box and wait.
    QTimer::singleShot(0, player_, [player = player_, action] { (player->*action)(); });
}

void MprisPlayerAdaptor::Next()
{
    Later(&PlayerControl::Next);
}

void MprisPlayerAdaptor::Previous()
{
    Later(&PlayerControl::Previous);
}

void MprisPlayerAdaptor::Pause()
{
    Later(&PlayerControl::Pause);
}

void MprisPlayerAdaptor::PlayPause()
{
    Later(&PlayerControl::PlayPause);
}

void MprisPlayerAdaptor::Stop()
{
    Later(&PlayerControl::Stop);
}

void MprisPlayerAdaptor::Play()
{
    Later(&PlayerControl::Play);
}

// Speech has no position to seek to or open address to play: these do nothing, as CanSeek says.
void MprisPlayerAdaptor::Seek(qlonglong) {}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &, qlonglong) {}

void MprisPlayerAdaptor::OpenUri(const QString &) {}

} // namespace studio
