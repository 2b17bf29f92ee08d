// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace speech {

// Texts of the engine that other code compares against: the speaker names of the studio's three
// voices, and the words used for genders in the voice list.
struct SpeechStrings {
    static inline const QString FemaleSpeaker = QStringLiteral("Mary");
    static inline const QString FirstMaleSpeaker = QStringLiteral("Mike");
    static inline const QString SecondMaleSpeaker = QStringLiteral("Sam");

    static inline const QString Female = QStringLiteral("female");
    static inline const QString Male = QStringLiteral("male");
    static inline const QString Unspecified = QStringLiteral("unspecified");

    static inline const QString FliteBackend = QStringLiteral("flite");
    static inline const QString EspeakBackend = QStringLiteral("espeak-ng");
};

} // namespace speech
