// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/ChmHelpViewer.h"

#include "help/ChmBrowser.h"
#include "help/ChmFile.h"
#include "help/FileVersion.h"
#include "help/HelpStrings.h"
#include "help/HelpWindow.h"
#include "help/TextPopup.h"
#include "platform/services/MessageBox.h"
#include "platform/services/Registry.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>

namespace help
{

namespace
{

HelpViewer *&Installed()
{
    static HelpViewer *viewer = nullptr;
    return viewer;
}

std::uintptr_t Handle(QWidget *widget)
{
    return widget ? std::uintptr_t(widget->winId()) : 0;
}

void WriteDefault(services::Registry &registry, services::HKEY root, const QString &key, const QString &value)
{
    QString current;
    if (registry.ReadString(root, key, QString(), &current) == services::ERROR_SUCCESS && current == value)
        return;
    services::HKEY handle = 0;
    if (registry.CreateKey(root, key, &handle) != services::ERROR_SUCCESS)
        return;
    registry.SetString(handle, QString(), value);
    registry.CloseKey(handle);
}

} // namespace

HelpViewer::~HelpViewer() = default;

HelpViewer &HelpViewer::Current()
{
    if (Installed())
        return *Installed();
    static ChmHelpViewer viewer;
    return viewer;
}

void HelpViewer::SetCurrent(HelpViewer *viewer)
{
    Installed() = viewer;
}

ChmHelpViewer::ChmHelpViewer() = default;

ChmHelpViewer::~ChmHelpViewer()
{
    // The process-wide viewer outlives the application object; its windows are gone by then.
    if (QCoreApplication::instance()) {
        delete popup_.data();
        delete window_.data();
    }
}

HelpWindow *ChmHelpViewer::Window() const
{
    return window_;
}

TextPopup *ChmHelpViewer::Popup() const
{
    return popup_;
}

ChmHelpViewer::Target ChmHelpViewer::ParseTarget(const QString &argument)
{
    Target target;
    QString rest = argument.trimmed();
    const qsizetype window = rest.lastIndexOf('>');
    if (window >= 0) {
        target.window = rest.mid(window + 1).trimmed();
        rest.truncate(window);
    }
    const qsizetype inside = rest.indexOf("::");
    if (inside >= 0) {
        target.topic = rest.mid(inside + 2);
        rest.truncate(inside);
    }
    target.file = rest.trimmed();
    return target;
}

std::shared_ptr<const ChmFile> ChmHelpViewer::LoadFile(const QString &fileName)
{
    const QFileInfo info(fileName);
    const QString key = info.absoluteFilePath();
    const auto cached = files_.find(key);
    if (cached != files_.end() && info.exists())
        return cached->second;
    auto file = std::make_shared<ChmFile>();
    if (!info.isFile() || !file->Open(key)) {
        services::MessageBox::Warn(QString::fromUtf8(strings::CannotOpenHelpFile).arg(fileName),
                                   strings::ViewerCaption);
        return nullptr;
    }
    files_[key] = file;
    return file;
}

HelpWindow *ChmHelpViewer::OpenWindow(QWidget *caller, const Target &target)
{
    std::shared_ptr<const ChmFile> file = LoadFile(target.file);
    if (!file)
        return nullptr;
    std::optional<ChmWindowType> type;
    if (!target.window.isEmpty())
        type = file->WindowType(target.window);
    if (!type && !file->System().defaultWindow.isEmpty())
        type = file->WindowType(file->System().defaultWindow);

    if (!window_)
        window_ = new HelpWindow;
    QWidget *owner = caller ? caller->window() : nullptr;
    if (window_->parentWidget() != owner) {
        // The owner keeps the help window above itself; without one it stands alone.
        window_->setParent(owner, window_->windowFlags() | Qt::Window);
    }
    if (window_->File() != file || window_->TypeName() != (type ? type->name : QString())) {
        window_->SetFile(file, type);
        window_->ShowTopic(window_->DefaultTopic());
    }
    if (!target.topic.isEmpty() && !window_->ShowTopic(target.topic))
        window_->ShowStatus(QObject::tr("%1 is not in this help file").arg(target.topic));
    if (window_->CurrentTopic().isEmpty())
        window_->ShowTopic(window_->DefaultTopic());
    return window_;
}

std::uintptr_t ChmHelpViewer::ShowWindow(HelpWindow *window)
{
    if (!window)
        return 0;
    window->show();
    window->raise();
    window->activateWindow();
    return Handle(window);
}

std::uintptr_t ChmHelpViewer::HtmlHelp(QWidget *caller, const QString &file, unsigned command,
                                       const HelpData &data)
{
    const Target target = ParseTarget(file);
    switch (command) {
    case HH_CLOSE_ALL:
        if (popup_)
            popup_->close();
        if (window_)
            window_->close();
        files_.clear();
        return 0;
    case HH_DISPLAY_TEXT_POPUP:
        if (const auto *popup = std::get_if<HelpPopup>(&data))
            return ShowPopup(caller, file, *popup);
        return 0;
    case HH_DISPLAY_TOPIC: {
        HelpWindow *window = OpenWindow(caller, target);
        if (!window)
            return 0;
        if (const auto *url = std::get_if<QString>(&data); url && !url->isEmpty()) {
            if (!window->ShowTopic(*url))
                window->ShowStatus(QObject::tr("%1 is not in this help file").arg(*url));
        }
        return ShowWindow(window);
    }
    case HH_HELP_CONTEXT: {
        HelpWindow *window = OpenWindow(caller, target);
        if (!window)
            return 0;
        const auto *id = std::get_if<std::uint32_t>(&data);
        const QString topic = id ? window->File()->TopicForContext(*id) : QString();
        if (!topic.isEmpty())
            window->ShowTopic(topic);
        else
            window->ShowStatus(QString::fromUtf8(strings::NoContext).arg(id ? *id : 0));
        return ShowWindow(window);
    }
    case HH_DISPLAY_TOC:
    case HH_DISPLAY_INDEX:
    case HH_DISPLAY_SEARCH: {
        HelpWindow *window = OpenWindow(caller, target);
        if (!window)
            return 0;
        if (command == HH_DISPLAY_TOC) {
            window->ShowPane(HelpWindow::Pane::Contents);
        } else if (command == HH_DISPLAY_INDEX) {
            window->ShowPane(HelpWindow::Pane::Index);
            if (const auto *keyword = std::get_if<QString>(&data); keyword && !keyword->isEmpty())
                window->SetIndexText(*keyword);
        } else {
            window->ShowPane(HelpWindow::Pane::Search);
            if (const auto *query = std::get_if<HelpFtsQuery>(&data);
                query && !query->searchQuery.isEmpty()) {
                window->SearchText()->setText(query->searchQuery);
                if (query->execute)
                    window->RunSearch(query->searchQuery, query->titleOnly);
            }
        }
        return ShowWindow(window);
    }
    case HH_KEYWORD_LOOKUP:
    case HH_ALINK_LOOKUP:
        if (const auto *link = std::get_if<HelpAkLink>(&data))
            return Lookup(caller, target, command, *link);
        return 0;
    default:
        return 0;
    }
}

std::uintptr_t ChmHelpViewer::Lookup(QWidget *caller, const Target &target, unsigned command,
                                     const HelpAkLink &link)
{
    Target where = target;
    if (link.window && !link.window->trimmed().isEmpty())
        where.window = link.window->trimmed();
    HelpWindow *window = OpenWindow(caller, where);
    if (!window)
        return 0;
    const QString names = link.keywords.value_or(QString());
    const HelpWindow::Links links =
        command == HH_KEYWORD_LOOKUP ? window->KeywordLinks(names) : window->ALinkLinks(names);
    if (!links.empty()) {
        window->ShowLinks(links);
        return ShowWindow(window);
    }
    if (link.url && window->ShowTopic(*link.url))
        return ShowWindow(window);
    if (link.msgText) {
        services::MessageBox::Current().Show(*link.msgText, link.msgTitle.value_or(QString()),
                                             services::MB_OK | services::MB_ICONINFORMATION);
        return Handle(window->isVisible() ? window : nullptr);
    }
    if (link.indexOnFail) {
        window->ShowPane(HelpWindow::Pane::Index);
        window->SetIndexText(names.section(';', 0, 0));
    }
    return ShowWindow(window);
}

std::uintptr_t ChmHelpViewer::ShowPopup(QWidget *caller, const QString &file, const HelpPopup &popup)
{
    QString text;
    if (popup.text) {
        text = *popup.text;
    } else if (!file.isEmpty()) {
        const Target target = ParseTarget(file);
        std::shared_ptr<const ChmFile> help = LoadFile(target.file);
        if (!help)
            return 0;
        const auto data = help->Read(help->ResolvePath(target.topic));
        const auto topic =
            data ? TextPopup::FindTopic(ChmFile::DecodeText(*data), popup.idString) : std::nullopt;
        text = topic.value_or(QString::fromUtf8(strings::NoPopupTopic));
    }
    if (text.isEmpty())
        return 0;
    if (popup_)
        popup_->close();
    popup_ = new TextPopup(caller ? caller->window() : nullptr);
    popup_->ShowText(text, popup);
    return Handle(popup_);
}

bool ChmHelpViewer::DeleteJumpUrlItem(std::uintptr_t window)
{
    if (!window_ || window == 0 || Handle(window_) != window)
        return false;
    return window_->RemoveJumpUrlItem();
}

void ChmHelpViewer::RegisterComponents(services::Registry &registry)
{
    WriteDefault(registry, services::HKEY_LOCAL_MACHINE, strings::ViewerTypeLibKey,
                 QStringLiteral("Orvena help viewer"));
    const QString viewer = FileVersion::ViewerFile();
    if (!viewer.isEmpty())
        WriteDefault(registry, services::HKEY_CLASSES_ROOT, strings::ViewerFileKey, viewer);
    const QString renderer = FileVersion::RendererFile();
    if (!renderer.isEmpty())
        WriteDefault(registry, services::HKEY_CLASSES_ROOT, strings::BrowserFileKey, renderer);
}

} // namespace help
