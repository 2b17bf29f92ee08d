// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

namespace speech {

// Cuts text into the pieces the engine synthesises one at a time: sentences, ended by . ! ? ; :
// before white space, or by a line break; a sentence longer than a limit is cut further at a comma
// or a space, so that no piece keeps the listener waiting for its first sound.
class SentenceSplitter {
public:
    struct Piece {
        qsizetype start = 0;
        qsizetype length = 0;
    };
    static constexpr qsizetype kMaximumLength = 300;

    // Pieces that hold nothing but white space are left out.
    static std::vector<Piece> Split(const QString &text, qsizetype maximumLength = kMaximumLength);
};

} // namespace speech
