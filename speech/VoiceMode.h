// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

namespace speech {

class SpeechBackend;

enum class Gender { Unspecified, Female, Male };

QString GenderName(Gender gender);

// Inclusive range of values a voice accepts for one setting.
struct SettingRange {
    int minimum = 0;
    int maximum = 0;
    bool Contains(int value) const { return value >= minimum && value <= maximum; }
    int Clamp(int value) const { return value < minimum ? minimum : (value > maximum ? maximum : value); }
};

// What a backend says about one of its voices.
struct BackendVoice {
    QString id;          // the backend's own name for the voice ("slt", "gmw/en", "en+f3")
    QString name;        // a readable name ("English (Great Britain)")
    QString language;    // BCP 47 style code ("en-us")
    Gender gender = Gender::Unspecified;
    int sampleRate = 16000;
    SettingRange speed;  // words per minute
    SettingRange pitch;  // base pitch in Hz
};

// One mode of the engine: a backend voice under the speaker name the engine lists it with.
struct VoiceMode {
    QString speaker;
    BackendVoice voice;
    std::shared_ptr<SpeechBackend> backend;
};

} // namespace speech
