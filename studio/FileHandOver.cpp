// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/FileHandOver.h"

#include "platform/services/MessageBox.h"
#include "studio/DesktopStrings.h"
#include "studio/Main.h"
#include "studio/RichTextBox.h"
#include "studio/StudioStrings.h"
#include "studio/documents/DocumentFile.h"
#include "studio/documents/TextForEditor.h"

#include <QFileInfo>
#include <QTextDocument>

namespace studio
{

FileHandOver::FileHandOver(Main *window, QObject *parent) : QObject(parent), window_(window) {}

QString FileHandOver::Message(const QString &path)
{
    return desktop::OpenFileMessage + QFileInfo(path).absoluteFilePath();
}

std::optional<QString> FileHandOver::PathIn(const QString &message)
{
    if (!message.startsWith(desktop::OpenFileMessage))
        return std::nullopt;
    const QString path = message.mid(desktop::OpenFileMessage.size());
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

bool FileHandOver::HoldsTypedText() const
{
    const RichTextBox *editor = window_->RichTextBox1();
    return !editor->Text().isEmpty() && editor->document()->isModified();
}

void FileHandOver::Receive(const QString &message)
{
    const std::optional<QString> path = PathIn(message);
    if (!path)
        return;
    window_->setWindowState((window_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window_->show();
    window_->raise();
    window_->activateWindow();
    Open(*path);
}

void FileHandOver::Open(const QString &path)
{
    // The question runs an event loop of its own, in which further hand-overs can arrive.
    if (asking_) {
        pending_ = path;
        return;
    }
    asking_ = true;
    QString file = path;
    for (;;) {
        // A name from the command line may be mistyped: say so before the editor is touched.
        QFileInfo info(file);
        if (!documents::IsRegularFile(file) || !info.isReadable()) {
            const QString reason = !info.exists()  ? desktop::NoSuchFile
                                   : info.isDir()  ? desktop::IsAFolder
                                   : info.isFile() ? desktop::NotReadable
                                                   : desktop::NotARegularFile;
            services::MessageBox::Current().Show(documents::CannotReadMessage(file, reason),
                                                 strings::WindowTitle,
                                                 services::MB_OK | services::MB_ICONSTOP);
        } else if (!HoldsTypedText() ||
                   services::MessageBox::Current().Show(desktop::ReplaceQuestion, strings::WindowTitle,
                                                        services::MB_OKCANCEL | services::MB_ICONQUESTION) ==
                       services::IDOK) {
            window_->OpenDocumentFile(file, documents::FilterIndexForPath(file));
        }
        if (!pending_)
            break;
        file = *pending_;
        pending_.reset();
    }
    asking_ = false;
}

} // namespace studio
