// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace speech
{

// A word or a sentence of a spoken text: where it is in the text and which samples carry its sound.
struct SpeechMark {
    enum class Kind { Word, Sentence };
    Kind kind = Kind::Word;
    qsizetype start = 0;  // UTF-16 offset into the text handed to the engine
    qsizetype length = 0; // UTF-16 code units
    qint64 begin = 0;     // first sample of its sound
    qint64 end = 0;       // one past its last sample (for a sentence: its last word's end)
};

} // namespace speech
