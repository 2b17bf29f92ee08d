// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <utility>

class QWidget;

namespace help
{

struct FixedFileInfo;

// The program's access to help: opens help files in the help viewer at a topic, a context number,
// the contents, the index, a search, a keyword or an associative link; shows text popups; checks
// the installed viewer and its page renderer; keeps the machine's list of help files (bare file
// name → folder) in the registry so help files can be named without their folder.
//
// Every message goes to a message box captioned "HTML Help Class". Paths use "/".
class HTMLHelp
{
  public:
    HTMLHelp();

    // --- display properties -------------------------------------------------------------------
    QString CHMFile() const { return chmFile_; }
    void SetCHMFile(const QString &value) { chmFile_ = value; }
    QString HHWindow() const { return window_; }
    void SetHHWindow(const QString &value) { window_ = value; }
    std::int32_t HHTopicID() const { return topicId_; }
    void SetHHTopicID(std::int32_t value) { topicId_ = value; }
    QString HHTopicURL() const { return topicUrl_; }
    void SetHHTopicURL(const QString &value) { topicUrl_ = value; }
    QString HHKeyword() const { return keyword_; }
    void SetHHKeyword(const QString &value) { keyword_ = value; }
    QString HHALink() const { return alink_; }
    void SetHHALink(const QString &value) { alink_ = value; }
    QString HHDefaultURL() const { return defaultUrl_; }
    void SetHHDefaultURL(const QString &value) { defaultUrl_ = value; }
    QString HHMsgText() const { return msgText_; }
    void SetHHMsgText(const QString &value) { msgText_ = value; }
    QString HHMsgTitle() const { return msgTitle_; }
    void SetHHMsgTitle(const QString &value) { msgTitle_ = value; }
    bool HHShowOnTop() const { return showOnTop_; }
    void SetHHShowOnTop(bool value) { showOnTop_ = value; }
    // The window of the last display call; with none held, a warning and 0.
    std::uintptr_t HHWndHandle();

    // --- popup properties (write only, as they always were) -------------------------------------
    enum : std::int32_t { PopupFromHelpFile = 1, PopupFromResources = 2, PopupLiteral = 4 };
    void SetHHPopupType(std::int32_t value) { popupType_ = value; }
    void SetHHPopupFile(const QString &value) { popupFile_ = value; }
    void SetHHPopupID(std::int32_t value) { popupId_ = value; }
    void SetHHPopupText(const QString &value) { popupText_ = value; }
    void SetHHPopupTextColor(std::uint32_t value) { popupTextColor_ = value; }
    void SetHHPopupBackColor(std::uint32_t value) { popupBackColor_ = value; }
    void SetHHPopupCustomTextColor(std::uint32_t value) { popupCustomTextColor_ = value; }
    void SetHHPopupCustomBackColor(std::uint32_t value) { popupCustomBackColor_ = value; }
    bool HHPopupCustomColors() const { return popupCustomColors_; }
    void SetHHPopupCustomColors(bool value) { popupCustomColors_ = value; }
    void SetHHPopupTextFont(const QString &value) { popupFont_ = value; }
    void SetHHPopupTextSize(const QString &value) { popupSize_ = value; }
    void SetHHPopupTextBold(bool value) { popupBold_ = value; }
    void SetHHPopupTextItalic(bool value) { popupItalic_ = value; }
    void SetHHPopupTextUnderline(bool value) { popupUnderline_ = value; }

    // --- display methods ------------------------------------------------------------------------
    void HHDisplayTopicURL(QWidget *CallingForm = nullptr);
    void HHDisplayTopicID(QWidget *CallingForm = nullptr);
    void HHDisplaySearch(QWidget *CallingForm = nullptr);
    void HHDisplayIndex(QWidget *CallingForm = nullptr);
    void HHDisplayContents(QWidget *CallingForm = nullptr);
    void HHDisplayKeyword(QWidget *CallingForm = nullptr);
    void HHDisplayALink(QWidget *CallingForm = nullptr);
    void HHDisplayPopup(QWidget *CallingForm = nullptr);
    // Closes every help window of the process.
    void HHClose();
    // Puts the form into "What's This?" mode.
    void HHInvokeWhatsThisHelp(QWidget *CallingForm);
    // Removes the "Jump to URL" item from a help window's menu.
    void HHDeleteJumpURLSysMenu(std::uintptr_t HH_hWnd);
    // A bare name is looked up in the registered help files, else in the program folder; the
    // argument then holds the full path. False (after a warning) when the file does not exist.
    bool EnsureFileExists(QString &FileToFind);

    // --- environment checks ---------------------------------------------------------------------
    bool HHInstalled();
    QString HHVersion();
    QString IEVersion();
    QString HHFriendlyName();
    QString IEFriendlyName();
    QString HHRegFileName() const { return regFileName_; }
    QString HHRegFilePath() const { return regFilePath_; }
    bool HHRegFileExists() const { return regFileExists_; }

    // MinHHVersion: 16..26, MinIEVersion: 256..273 (see the version tables in the source).
    bool HHVerifyMinConfig(std::int32_t MinHHVersion, std::int32_t MinIEVersion);
    void HHRegister(const QString &FileToRegister);
    void HHUnRegister(const QString &FileToUnRegister);
    // Always false; the outcome is in HHRegFileName, HHRegFilePath and HHRegFileExists.
    bool HHCheckRegistry(const QString &FileToCheck);
    // 1: "<program folder>/Library.chm", 2: "Library.txt", otherwise "". CHMFile is not changed.
    QString HHSetHelpFile(std::int32_t intSelHelpFile) const;

    // "major.mm.bb.rr", or "major.mm.rrrr" when the build number is 0; "" without a version.
    static QString GetFileVersionString(const QString &path);
    static QString FormatVersion(const FixedFileInfo &info);
    // Paths holding "~" are rebuilt from the folders they name ("~/" is the home folder), with
    // quotes and a trailing "/" removed; a path that names nothing gives "". Others are returned
    // unchanged.
    static QString GetLongFileName(const QString &path);
    // 1 NT 3.x, 2 Windows 95, 3 NT 4, 4 Windows 98, 5 Windows 2000, 0 any other system (this one).
    static int GetPlatformKind();
    // A string value (expandable ones expanded) of root ("HKCR", "HKCU", "HKLM", "HKU", "HKCC",
    // "HKDD") \ key; value names match without regard to case; "" is the default value.
    static std::optional<QString> FindRegistryValue(const QString &root, const QString &key,
                                                    const QString &name);
    // The same, with the value's name as stored.
    static std::optional<std::pair<QString, QString>>
    FindRegistryEntry(const QString &root, const QString &key, const QString &name);
    static QString FriendlyViewerName(const QString &version);
    static QString FriendlyBrowserName(const QString &version);

  private:
    bool CheckChmExtension(const QString &file);
    bool PrepareDisplay(QString *fileArgument, bool withWindow);
    bool NeedsForm(const char *method, QWidget *form);
    void Display(const char *method, QWidget *form, unsigned command);
    void ReadHelpControlVersion();
    void ReadBrowserVersion();
    void ResetPopup();
    static void ShowStopMessage(const QString &text);
    static void ShowWarningMessage(const QString &text);
    static void ShowInfoMessage(const QString &text);

    QString chmFile_;
    QString window_;
    std::int32_t topicId_ = 0;
    QString topicUrl_;
    QString keyword_;
    QString alink_;
    QString defaultUrl_;
    QString msgText_;
    QString msgTitle_;
    bool showOnTop_ = false;
    std::uintptr_t handle_ = 0;

    std::int32_t popupType_ = 0;
    QString popupFile_;
    std::int32_t popupId_ = 0;
    QString popupText_;
    std::uint32_t popupTextColor_ = 0;
    std::uint32_t popupBackColor_ = 0;
    std::uint32_t popupCustomTextColor_ = 0;
    std::uint32_t popupCustomBackColor_ = 0;
    bool popupCustomColors_ = false;
    QString popupFont_;
    QString popupSize_;
    bool popupBold_ = false;
    bool popupItalic_ = false;
    bool popupUnderline_ = false;

    QString hhVersion_;
    QString ieVersion_;
    QString regFileName_;
    QString regFilePath_;
    bool regFileExists_ = false;
    bool checkWarned_ = false;
};

} // namespace help
