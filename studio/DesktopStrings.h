// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The texts and names of the studio's place on the desktop: files handed over from the command
// line, the media-player interface on the session bus and the notification of a long recording.
namespace studio::desktop
{

// Asked before a file from the command line replaces text the user typed or pasted.
inline const QString ReplaceQuestion = QStringLiteral("Replace the text in the editor?");
// Standard-error notes of the command line; %1 is a list of files or a path.
inline const QString ExtraFilesIgnored = QStringLiteral("orvena-studio: one file at a time; not opened: %1");
inline const QString HandOverFailed =
    QStringLiteral("orvena-studio: the running studio could not be reached; %1 was not opened");

// Why a file named on the command line cannot be opened at all.
inline const QString NoSuchFile = QStringLiteral("there is no such file");
inline const QString IsAFolder = QStringLiteral("it is a folder");
inline const QString NotReadable = QStringLiteral("permission denied");
inline const QString NotARegularFile = QStringLiteral("it is not a regular file");

// What a later start sends to the running one over the single-instance socket: this prefix,
// then the file's absolute path.
inline const QString OpenFileMessage = QStringLiteral("open-file\n");

// The media-player interface.
inline const QString MprisServiceName = QStringLiteral("org.mpris.MediaPlayer2.orvena_studio");
inline const QString MprisObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
inline const QString MprisRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
inline const QString MprisPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
inline const QString MprisIdentity = QStringLiteral("Orvena STUDIO 4");
inline const QString DesktopEntry = QStringLiteral("orvena-studio");
// Track ids name the texts handed to the engine, one per SPEAK.
inline const QString TrackIdPrefix = QStringLiteral("/org/orvena/studio/speech/");
inline const QString NoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

// The notification at the end of a long recording.
inline const QString NotificationApp = QStringLiteral("Orvena STUDIO 4");
inline const QString NotificationIcon = QStringLiteral("orvena-studio");
inline const QString RecordingSaved = QStringLiteral("Recording finished");
inline const QString RecordingSavedBody = QStringLiteral("The speech was saved in %1");
inline const QString RecordingNotSavedSummary = QStringLiteral("Recording failed");
inline const QString RecordingNotSavedBody = QStringLiteral("%1 was not saved: %2");
inline const QString RecordingStopped = QStringLiteral("Recording stopped");
inline const QString RecordingStoppedBody = QStringLiteral("%1 was not written: the recording was stopped.");

} // namespace studio::desktop
