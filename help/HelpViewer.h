// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMargins>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>

class QWidget;

namespace services
{
class Registry;
}

namespace help
{

// Commands of the help viewer, numbered as the help viewer API always numbered them.
enum HelpCommand : unsigned {
    HH_DISPLAY_TOPIC = 0,
    HH_DISPLAY_TOC = 1,
    HH_DISPLAY_INDEX = 2,
    HH_DISPLAY_SEARCH = 3,
    HH_KEYWORD_LOOKUP = 13,
    HH_DISPLAY_TEXT_POPUP = 14,
    HH_HELP_CONTEXT = 15,
    HH_CLOSE_ALL = 18,
    HH_ALINK_LOOKUP = 19,
};

// Full-text query (HH_DISPLAY_SEARCH).
struct HelpFtsQuery {
    int cbStruct = 32;
    bool uniCodeStrings = false;
    QString searchQuery;
    int proximity = 0;
    bool stemmedSearch = false;
    bool titleOnly = false;
    bool execute = true;
    std::optional<QString> windowName;
};

// Keyword or associative-link lookup (HH_KEYWORD_LOOKUP, HH_ALINK_LOOKUP). A field left empty
// travels as no string at all.
struct HelpAkLink {
    int cbStruct = 28;
    bool reserved = false;
    std::optional<QString> keywords; // ";"-separated
    std::optional<QString> url;      // shown when nothing is found
    std::optional<QString> msgText;  // ... or this message
    std::optional<QString> msgTitle;
    std::optional<QString> window;
    bool indexOnFail = false;
};

// Text popup (HH_DISPLAY_TEXT_POPUP). Colours are 0x00BBGGRR; -1 asks for the viewer's default.
// Margins of -1 likewise. The font is "face, points, charset, [Bold ][Italic ][Underline]".
struct HelpPopup {
    int cbStruct = 52;
    std::uintptr_t hinst = 0;
    std::uint32_t idString = 0;
    std::optional<QString> text;
    QPoint pt;
    std::int64_t clrForeground = -1;
    std::int64_t clrBackground = -1;
    QMargins margins{-1, -1, -1, -1};
    QString font;
};

// The data a command carries: nothing (0), a topic path, a context number, or one of the records.
using HelpData = std::variant<std::monostate, QString, std::uint32_t, HelpFtsQuery, HelpAkLink, HelpPopup>;

// The help viewer the HTMLHelp class drives. The program uses the CHM viewer of this library;
// unit tests install a recording one so they can see the calls without opening windows.
class HelpViewer
{
  public:
    virtual ~HelpViewer();

    // Runs a command. `file` is the help file, optionally followed by "::/topic" and/or ">window
    // type". Returns the handle of the window that shows the result, 0 when nothing was shown.
    virtual std::uintptr_t HtmlHelp(QWidget *caller, const QString &file, unsigned command,
                                    const HelpData &data) = 0;

    // Removes the "Jump to URL" item (command 0xEFFF) from the menu of a help window.
    virtual bool DeleteJumpUrlItem(std::uintptr_t window) = 0;

    // Writes the registry keys by which the viewer and its page renderer are found and their
    // versions read, when they are missing or stale.
    virtual void RegisterComponents(services::Registry &registry) = 0;

    static HelpViewer &Current();
    // nullptr restores the CHM viewer. The caller keeps ownership of `viewer`.
    static void SetCurrent(HelpViewer *viewer);
};

} // namespace help
