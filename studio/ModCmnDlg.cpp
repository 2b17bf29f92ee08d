// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/ModCmnDlg.h"

#include "studio/DialogProvider.h"

namespace studio {

namespace {

// The module's state for the whole run. The owner window, initial folder, title and flags of the
// dialog are never set: none, empty, empty and the defaults.
QString g_dialogFilter;
int g_dialogFilterIndex = 0;
QString g_dialogFileName;

} // namespace

QString ModCmnDlg::DialogFilter()
{
    return g_dialogFilter;
}

void ModCmnDlg::SetDialogFilter(const QString &filter)
{
    g_dialogFilter = filter;
}

int ModCmnDlg::DialogFilterIndex()
{
    return g_dialogFilterIndex;
}

void ModCmnDlg::SetDialogFilterIndex(int index)
{
    g_dialogFilterIndex = index;
}

QString ModCmnDlg::DialogFileName()
{
    return g_dialogFileName;
}

void ModCmnDlg::SetDialogFileName(const QString &fileName)
{
    g_dialogFileName = fileName;
}

bool ModCmnDlg::ShowOpenDialog()
{
    FileDialogRequest request;
    request.filters = DialogProvider::ParseFilter(g_dialogFilter);
    request.filterIndex = g_dialogFilterIndex;
    const std::optional<FileDialogAnswer> answer = DialogProvider::Current().GetOpenFileName(request);
    if (!answer)
        return false;
    // The path comes back whole (no fixed-size buffer, no code-page conversion); a NUL would end
    // it as it ended the old buffer.
    g_dialogFileName = StripAtNull(answer->fileName);
    g_dialogFilterIndex = answer->filterIndex;
    return true;
}

QString ModCmnDlg::StripAtNull(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

} // namespace studio
