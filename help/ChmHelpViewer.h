// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "help/HelpViewer.h"

#include <QPointer>

#include <map>
#include <memory>

namespace help
{

class ChmFile;
class HelpWindow;
class TextPopup;

// The program's help viewer: compiled HTML help files read with chmlib and shown in one help
// window per process.
class ChmHelpViewer : public HelpViewer
{
  public:
    // What the file argument of a command names: "<file>[::/<topic>][><window type>]".
    struct Target {
        QString file;
        QString topic;
        QString window;
    };
    static Target ParseTarget(const QString &argument);

    ChmHelpViewer();
    ~ChmHelpViewer() override;

    std::uintptr_t HtmlHelp(QWidget *caller, const QString &file, unsigned command,
                            const HelpData &data) override;
    bool DeleteJumpUrlItem(std::uintptr_t window) override;
    void RegisterComponents(services::Registry &registry) override;

    // The one help window, when it is open.
    HelpWindow *Window() const;
    TextPopup *Popup() const;

  private:
    HelpWindow *OpenWindow(QWidget *caller, const Target &target);
    std::shared_ptr<const ChmFile> LoadFile(const QString &fileName);
    std::uintptr_t ShowWindow(HelpWindow *window);
    std::uintptr_t ShowPopup(QWidget *caller, const QString &file, const HelpPopup &popup);
    std::uintptr_t Lookup(QWidget *caller, const Target &target, unsigned command, const HelpAkLink &link);

    QPointer<HelpWindow> window_;
    QPointer<TextPopup> popup_;
    std::map<QString, std::shared_ptr<const ChmFile>> files_;
};

} // namespace help
