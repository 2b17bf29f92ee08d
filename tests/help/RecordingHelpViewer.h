// SPDX-License-Identifier: GPL-3.0-or-later
// Test double of the help viewer: keeps every call and answers with a made-up window handle.
#pragma once

#include "help/HelpViewer.h"

#include <QString>

#include <vector>

class RecordingHelpViewer : public help::HelpViewer
{
  public:
    struct Call {
        QWidget *caller;
        QString file;
        unsigned command;
        help::HelpData data;
    };
    std::vector<Call> calls;
    std::vector<std::uintptr_t> deletedJumpItems;
    std::uintptr_t nextHandle = 0x5150;

    std::uintptr_t HtmlHelp(QWidget *caller, const QString &file, unsigned command,
                            const help::HelpData &data) override
    {
        calls.push_back({caller, file, command, data});
        return command == help::HH_CLOSE_ALL ? 0 : nextHandle;
    }
    bool DeleteJumpUrlItem(std::uintptr_t window) override
    {
        deletedJumpItems.push_back(window);
        return true;
    }
    void RegisterComponents(services::Registry &) override {}
};
