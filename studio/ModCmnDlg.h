// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace studio {

// The open-file dialog module. Its inputs and outputs are module-wide values that live for the
// whole run: the caller sets DialogFilter before each call; DialogFilterIndex and DialogFileName
// hold what the user chose last, so the next dialog starts on the filter used last.
class ModCmnDlg {
public:
    // Filter pairs separated by vertical bars: "Text Files (*.txt)|*.txt|All files (*.*)|*.*".
    static QString DialogFilter();
    static void SetDialogFilter(const QString &filter);

    // 1-based filter index; 0 (the value at start) makes the dialog start on the first entry.
    static int DialogFilterIndex();
    static void SetDialogFilterIndex(int index);

    // Full path chosen last; empty at start.
    static QString DialogFileName();
    static void SetDialogFileName(const QString &fileName);

    // Shows the open-file dialog (through the current DialogProvider) with DialogFilter, starting
    // on DialogFilterIndex. When the user picks a file, DialogFileName and DialogFilterIndex take
    // the choice and the result is true; on cancel nothing changes and the result is false.
    static bool ShowOpenDialog();

    // The text before the first NUL character, or the whole text when it holds none.
    static QString StripAtNull(const QString &text);
};

} // namespace studio
