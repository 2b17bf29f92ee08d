// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

namespace studio
{

class PlayerControl;

// org.mpris.MediaPlayer2.Player of the studio, over its PlayerControl. Every change of a property
// is announced with org.freedesktop.DBus.Properties.PropertiesChanged.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ MinimumRate)
    Q_PROPERTY(double MaximumRate READ MaximumRate)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPause)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)
  public:
    MprisPlayerAdaptor(PlayerControl *player, QObject *parent);

    QString PlaybackStatus() const;
    // Speed is the studio's slider, not a playback rate: fixed at 1, writes ignored.
    double Rate() const { return 1.0; }
    void SetRate(double) {}
    QVariantMap Metadata() const;
    // The level is the sound server's: fixed at 1, writes ignored.
    double Volume() const { return 1.0; }
    void SetVolume(double) {}
    qlonglong Position() const { return 0; }
    double MinimumRate() const { return 1.0; }
    double MaximumRate() const { return 1.0; }
    bool CanGoNext() const;
    bool CanGoPrevious() const;
    bool CanPlay() const;
    bool CanPause() const;
    bool CanSeek() const { return false; }
    bool CanControl() const { return true; }

    // The properties that can change, by name, as they are now.
    QVariantMap ChangingProperties() const;

  public Q_SLOTS:
    void Next();
    void Previous();
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    void Seek(qlonglong offset);
    void SetPosition(const QDBusObjectPath &trackId, qlonglong position);
    void OpenUri(const QString &uri);

  Q_SIGNALS:
    void Seeked(qlonglong position);

  private:
    void AnnounceChanges();
    void Later(void (PlayerControl::*action)());

    PlayerControl *player_;
    QVariantMap announced_;
};

} // namespace studio
