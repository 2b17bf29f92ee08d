// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace services
{

// The system clipboard, plain text only. Without a GUI application every call is a harmless
// no-op (reads give an empty string).
class Clipboard
{
  public:
    static QString GetText();
    // Replaces everything on the clipboard with `text`.
    static void SetText(const QString &text);
    // Empties the clipboard of every format, not only text.
    static void Clear();
    static bool HasText();
};

} // namespace services
