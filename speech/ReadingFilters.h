// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpokenText.h"

#include <QString>

#include <optional>

namespace speech
{

// Parts of a text a listener usually does not want read out: asides in brackets, and addresses
// of web pages and e-mail. Skipped text is taken out of the spoken text; the map of the spoken
// text leaves it out, so nothing of it is ever shown as being read.
class ReadingFilters
{
  public:
    enum Skip : unsigned {
        None = 0,
        // Text in (), [] and {}, brackets included, nested ones too. A bracket that is never
        // closed is read, and so is a closing one without its opener; no bracket reaches over a
        // blank line.
        Brackets = 1u << 0,
        // Addresses starting with http://, https://, ftp://, file://, www. or mailto:, and e-mail
        // addresses. Punctuation that ends the sentence after an address is kept.
        WebAddresses = 1u << 1,
    };

    // Takes the parts `skip` names out of `text`: web addresses first (a bracket inside an address
    // is part of it), then brackets.
    static void Apply(SpokenText &text, unsigned skip);

    // Reads a list such as "brackets,urls" (the words brackets and urls, comma separated).
    static std::optional<unsigned> Parse(const QString &list, QString *error);
};

} // namespace speech
