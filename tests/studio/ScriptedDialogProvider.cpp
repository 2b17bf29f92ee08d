// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/studio/ScriptedDialogProvider.h"

namespace studio::test {

namespace {

template <typename T>
std::optional<T> Next(std::deque<std::optional<T>> &script)
{
    if (script.empty())
        return std::nullopt;
    const std::optional<T> answer = script.front();
    script.pop_front();
    return answer;
}

} // namespace

std::optional<FileDialogAnswer> ScriptedDialogProvider::GetOpenFileName(const FileDialogRequest &request)
{
    openRequests.push_back(request);
    return Next(openAnswers);
}

std::optional<FileDialogAnswer> ScriptedDialogProvider::GetSaveFileName(const FileDialogRequest &request)
{
    saveRequests.push_back(request);
    return Next(saveAnswers);
}

std::optional<std::uint32_t> ScriptedDialogProvider::ChooseColour(QWidget *, std::uint32_t initial)
{
    colourRequests.push_back(initial);
    return Next(colourAnswers);
}

std::optional<FontChoice> ScriptedDialogProvider::ChooseFont(QWidget *, const FontChoice &initial)
{
    fontRequests.push_back(initial);
    return Next(fontAnswers);
}

} // namespace studio::test
