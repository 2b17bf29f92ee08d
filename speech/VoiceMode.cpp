// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/VoiceMode.h"

#include "speech/SpeechStrings.h"

namespace speech {

QString GenderName(Gender gender)
{
    switch (gender) {
    case Gender::Female:
        return SpeechStrings::Female;
    case Gender::Male:
        return SpeechStrings::Male;
    case Gender::Unspecified:
        break;
    }
    return SpeechStrings::Unspecified;
}

} // namespace speech
