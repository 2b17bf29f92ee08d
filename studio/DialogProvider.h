// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QWidget;

namespace studio {

// One entry of a file dialog's filter: the text the user sees and the patterns it stands for
// ("*.htm;*.html" or "*.htm *.html").
struct FileFilter {
    QString description;
    QString pattern;
};

struct FileDialogRequest {
    QWidget *owner = nullptr;
    QString title;
    QString initialFolder;
    std::vector<FileFilter> filters;
    int filterIndex = 0; // 1-based; 0 starts on the first entry
};

struct FileDialogAnswer {
    QString fileName;    // full path
    int filterIndex = 1; // 1-based index of the entry the user ended on
};

// The font dialog's values, kept between dialogs.
struct FontChoice {
    QString name;
    double size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
};

// The platform's common dialogs. Each call returns when the dialog closes: the user's choice, or
// nothing when it was cancelled. The shipped program shows Qt's dialogs (QtDialogProvider);
// tests install a scripted provider with SetCurrent.
class DialogProvider {
public:
    virtual ~DialogProvider();

    virtual std::optional<FileDialogAnswer> GetOpenFileName(const FileDialogRequest &request) = 0;
    // Never asks about overwriting an existing file: the caller asks its own question.
    virtual std::optional<FileDialogAnswer> GetSaveFileName(const FileDialogRequest &request) = 0;
    // Colours are 0x00BBGGRR.
    virtual std::optional<std::uint32_t> ChooseColour(QWidget *owner, std::uint32_t initial) = 0;
    virtual std::optional<FontChoice> ChooseFont(QWidget *owner, const FontChoice &initial) = 0;

    static DialogProvider &Current();
    // nullptr restores the Qt dialogs. The caller keeps ownership of `provider`.
    static void SetCurrent(DialogProvider *provider);

    // "Text Files (*.txt)|*.txt|All files (*.*)|*.*" as filter entries; a trailing odd part
    // (a description without patterns) is dropped.
    static std::vector<FileFilter> ParseFilter(const QString &filter);
};

// The real dialogs: QFileDialog, QColorDialog, QFontDialog.
class QtDialogProvider : public DialogProvider {
public:
    std::optional<FileDialogAnswer> GetOpenFileName(const FileDialogRequest &request) override;
    std::optional<FileDialogAnswer> GetSaveFileName(const FileDialogRequest &request) override;
    std::optional<std::uint32_t> ChooseColour(QWidget *owner, std::uint32_t initial) override;
    std::optional<FontChoice> ChooseFont(QWidget *owner, const FontChoice &initial) override;

    // The Qt name filter for an entry: the description as it is when it already shows the
    // patterns in parentheses, else with them appended; ';' separators become spaces.
    static QString NameFilter(const FileFilter &filter);
};

} // namespace studio
