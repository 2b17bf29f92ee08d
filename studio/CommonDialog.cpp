// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/CommonDialog.h"

#include "studio/DialogProvider.h"

#include <QFileInfo>

namespace studio
{

bool CommonDialog::ShowSave()
{
    FileDialogRequest request;
    request.owner = owner_;
    request.filters = DialogProvider::ParseFilter(filter_);
    request.filterIndex = filterIndex_;
    if (!fileName_.isEmpty())
        request.initialFolder = QFileInfo(fileName_).absolutePath();
    const std::optional<FileDialogAnswer> answer = DialogProvider::Current().GetSaveFileName(request);
    if (!answer || answer->fileName.isEmpty())
        return false;
    fileName_ = answer->fileName;
    filterIndex_ = answer->filterIndex;
    return true;
}

bool CommonDialog::ShowColor()
{
    const std::optional<std::uint32_t> chosen = DialogProvider::Current().ChooseColour(owner_, color_);
    if (!chosen)
        return false;
    color_ = *chosen & 0x00FFFFFFu;
    return true;
}

bool CommonDialog::ShowFont()
{
    FontChoice initial;
    initial.name = fontName_;
    initial.size = fontSize_;
    initial.bold = fontBold_;
    initial.italic = fontItalic_;
    initial.underline = fontUnderline_;
    initial.strikethrough = fontStrikethru_;
    const std::optional<FontChoice> chosen = DialogProvider::Current().ChooseFont(owner_, initial);
    if (!chosen)
        return false;
    if (!chosen->name.isEmpty())
        fontName_ = chosen->name;
    if (chosen->size > 0)
        fontSize_ = chosen->size;
    fontBold_ = chosen->bold;
    fontItalic_ = chosen->italic;
    fontUnderline_ = chosen->underline;
    fontStrikethru_ = chosen->strikethrough;
    return true;
}

} // namespace studio
