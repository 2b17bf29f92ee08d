// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "studio/documents/DocumentStrings.h"

#include <QString>

#include <array>
#include <cstdint>

// The studio window's own texts and fixed values, kept in one place so the tests compare against
// the same constants.
namespace studio::strings
{

inline const QString AlreadyRunning = QStringLiteral("Orvena STUDIO 4 is Already Running !");
inline const QString ApplicationName = QStringLiteral("orvena-studio");
inline const QString WindowTitle = QStringLiteral("Orvena STUDIO 4");

inline const QString EnterText = QStringLiteral("Please Enter Some Text In the Text Box !");
inline const QString EnterFileName = QStringLiteral("Please Enter A File Name To Save !");
inline const QString FileExists = QStringLiteral("File already exists ! Overwrite ?");
inline const QString NotCompatible = QStringLiteral("This setting is not compatible with the selected\r\n"
                                                    "     Voice. Please try a different setting.");
// A recording the engine could not write; %1 is the file, %2 the reason.
inline const QString RecordingFailed = QStringLiteral("The wave file could not be written:\r\n%1\r\n\r\n%2");
inline const QString RecordingDenied = QStringLiteral("The file or its folder cannot be written to.");
inline const QString RecordingNotSaved =
    QStringLiteral("The recording could not be completed (the disk may be full); the file was not saved.");
inline const QString NoSoundDevice =
    QStringLiteral("There is no sound device to play on: the text cannot be spoken aloud.");
inline const QString RecordingUnknownKind = QStringLiteral(
    "The file name must end in .wav, .mp3, .opus, .flac or .ogg (or have no extension, for a wave file).");
// The FILENAME dialog's filter: the wave files first, as always, then the other kinds a recording
// can be; the extension of the chosen name picks the kind.
inline const QString WaveFilter =
    QStringLiteral("Wav Files (*.wav)|*.wav|MP3 Audio (*.mp3)|*.mp3|Ogg Opus (*.opus)|*.opus"
                   "|FLAC Audio (*.flac)|*.flac|Ogg Vorbis (*.ogg)|*.ogg");
// The Open File dialog's filter: the four historical entries first, with their indexes, then the
// newer document kinds (OpenDocument, Word 2007, PDF, web page, EPUB).
inline const QString OpenFilter = QString::fromLatin1(documents::kOpenFilter);

// Status label captions and their text colours (0x00BBGGRR).
inline const QString Stopped = QStringLiteral("STOPPED");
inline const QString Speaking = QStringLiteral("SPEAKING");
inline const QString Paused = QStringLiteral("PAUSED");
inline const QString RecordingCaption = QStringLiteral("RECORDING");
constexpr std::uint32_t StoppedColour = 0xC0E0FF;
constexpr std::uint32_t SpeakingColour = 0x00FFFF;
constexpr std::uint32_t PausedColour = 0x00FFFF;
constexpr std::uint32_t RecordingColour = 0xEBF4B5;

inline const QString Pause = QStringLiteral("PAUSE");
inline const QString Resume = QStringLiteral("RESUME");

// The voices: caption, speaker name looked up in the engine, speed and tone set on choice.
struct Voice {
    const char *caption;
    const char *speaker;
    int speed;
    int tone;
};
inline constexpr std::array<Voice, 3> Voices{{
    {"FEMALE VOICE", "Mary", 150, 170},
    {"MALE VOICE 1 ", "Mike", 170, 90},
    {"MALE VOICE 2", "Sam", 150, 120},
}};

// Menu keys and captions.
inline const QString KeyFile = QStringLiteral("keyFile");
inline const QString KeyExit = QStringLiteral("keyExit");
inline const QString KeyHelp = QStringLiteral("keyHelp");
inline const QString KeyHelpFile = QStringLiteral("keyHelpfile");
inline const QString KeyAbout = QStringLiteral("keyAbout");
inline const QString HelpFile = QStringLiteral("/help/Orvena.chm");
inline const QString HelpWindow = QStringLiteral("Main");
constexpr int HelpTopic = 1;

// The editor's and the dialogs' start values.
constexpr std::uint32_t StartTextColour = 0x404040;
inline const QString StartFontName = QStringLiteral("Verdana");
constexpr double StartFontSize = 10;

// Where the window definition and the icons live, under the program folder.
inline const QString WindowDefinition = QStringLiteral("/resources/studio/Main.json");
inline const QString IconFolder = QStringLiteral("/resources/studio/icons/");

// Following the reading: the editor's context menu, and the window title while recording
// (%1 the window's caption, %2 the share written in per cent).
inline const QString SpeakFromHere = QStringLiteral("Speak from Here");
inline const QString SpeakSelection = QStringLiteral("Speak Selection");
inline const QString RecordingTitle = QStringLiteral("%1 \u2014 recording %2 %");

} // namespace studio::strings
