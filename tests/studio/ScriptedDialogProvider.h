// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "studio/DialogProvider.h"

#include <deque>
#include <vector>

namespace studio::test {

// Test double for the common dialogs: records every request and answers from the scripts, front
// first; an empty script (or a std::nullopt in it) answers as a cancelled dialog. Install it for
// the life of a test with Scope.
class ScriptedDialogProvider : public DialogProvider {
public:
    std::deque<std::optional<FileDialogAnswer>> openAnswers;
    std::deque<std::optional<FileDialogAnswer>> saveAnswers;
    std::deque<std::optional<std::uint32_t>> colourAnswers;
    std::deque<std::optional<FontChoice>> fontAnswers;

    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    std::vector<std::uint32_t> colourRequests;
    std::vector<FontChoice> fontRequests;

    std::optional<FileDialogAnswer> GetOpenFileName(const FileDialogRequest &request) override;
    std::optional<FileDialogAnswer> GetSaveFileName(const FileDialogRequest &request) override;
    std::optional<std::uint32_t> ChooseColour(QWidget *owner, std::uint32_t initial) override;
    std::optional<FontChoice> ChooseFont(QWidget *owner, const FontChoice &initial) override;

    class Scope {
    public:
        explicit Scope(ScriptedDialogProvider &provider) { DialogProvider::SetCurrent(&provider); }
        ~Scope() { DialogProvider::SetCurrent(nullptr); }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
    };
};

} // namespace studio::test
