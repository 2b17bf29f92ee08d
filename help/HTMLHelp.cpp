// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/HTMLHelp.h"

#include "help/FileVersion.h"
#include "help/HelpStrings.h"
#include "help/HelpViewer.h"
#include "platform/services/AppPaths.h"
#include "platform/services/MessageBox.h"
#include "platform/services/Registry.h"
#include "platform/services/Resources.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QWhatsThis>
#include <QWidget>

#include <array>
#include <utility>

namespace help
{

namespace
{

using namespace Qt::Literals::StringLiterals;

// Viewer versions and the product names they were released as.
constexpr std::array<std::pair<const char *, const char *>, 11> ViewerNames{{
    {"4.72.7290.00", "1.0"},
    {"4.72.7323.00", "1.1"},
    {"4.72.7325.00", "1.1a"},
    {"4.72.8164.00", "1.1b"},
    {"4.73.8252.00", "1.2"},
    {"4.73.8412.00", "1.21"},
    {"4.73.8474.00", "1.21a"},
    {"4.73.8561.00", "1.22"},
    {"4.74.8566.00", "1.3 Windows 2000 Beta"},
    {"4.74.8637.00", "1.3 IE 5.5 Platform Preview Beta"},
    {"4.74.8702.00", "1.3"},
}};

constexpr std::array<std::pair<const char *, const char *>, 20> BrowserNames{{
    {"4.70.1155.0000", "3.0"},
    {"4.70.1158.0000", "3.0 OSR2"},
    {"4.70.1215.0000", "3.02"},
    {"4.70.1300.0000", "3.02"},
    {"4.71.1008.3000", "4.0 PP2"},
    {"4.71.1712.5000", "4.0"},
    {"4.72.2106.7000", "4.01"},
    {"4.72.3110.0300", "4.0 SP1"},
    {"4.72.3612.1707", "4.0 SP2"},
    {"5.00.0518.5000", "5.0 beta 1"},
    {"5.00.0910.1308", "5.0 beta 2"},
    {"5.00.2014.2130", "5.0"},
    {"5.00.2314.1000", "5.0a (Office 2000)"},
    {"5.00.2614.3500", "5.0b (Windows 98 SE)"},
    {"5.00.2717.2000", "5.0c (Icon Security Issue Update)"},
    {"5.00.2721.1400", "5.0d (ImportExport Favorites Issue Update)"},
    {"5.00.2919.800", "5.x (Windows 2000 RC1, build 5.00.2072)"},
    {"5.00.2919.3800", "5.x (Windows 2000 RC2, build 5.00.2128)"},
    {"5.00.2919.6307", "5.01"},
    {"5.50.3825.1300", "5.5 Platform Preview"},
}};

// Minimum versions by code: viewer codes 16..26, browser codes 256..273.
constexpr int FirstViewerCode = 16;
constexpr std::array<const char *, 11> ViewerMinimums{"4.72.7290", "4.72.7323", "4.72.7325", "4.72.8164.0",
                                                      "4.73.8252", "4.73.8412", "4.73.8474", "4.73.8561",
                                                      "4.74.8566", "4.74.8637", "4.74.8702"};
constexpr int FirstBrowserCode = 256;
constexpr std::array<const char *, 18> BrowserMinimums{
    "4.70.1155",      "4.70.1158",     "4.70.1215",      "4.70.1300",      "4.71.1008.3",
    "4.71.1712.5",    "4.72.2106.7",   "4.72.3110.03",   "4.72.3612.1707", "5.00.0518.5",
    "5.00.0910.1308", "5.00.2014.213", "5.00.2314.1000", "5.00.2614.3500", "5.0.2717.2000",
    "5.00.2721.1400", "5.00.2919.800", "5.00.2919.3800"};

template <std::size_t N>
QString Lookup(const std::array<std::pair<const char *, const char *>, N> &table, const QString &version)
{
    for (const auto &[key, name] : table) {
        if (version.compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(name);
    }
    return QString::fromLatin1(strings::Unknown);
}

QString JoinPath(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QString BareName(const QString &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

std::optional<services::HKEY> RootByName(const QString &root)
{
    const QString r = root.trimmed().toUpper();
    if (r == "HKCR")
        return services::HKEY_CLASSES_ROOT;
    if (r == "HKCU")
        return services::HKEY_CURRENT_USER;
    if (r == "HKLM")
        return services::HKEY_LOCAL_MACHINE;
    if (r == "HKU")
        return services::HKEY_USERS;
    if (r == "HKCC")
        return services::HKEY_CURRENT_CONFIG;
    if (r == "HKDD")
        return services::HKEY_DYN_DATA;
    return std::nullopt;
}

std::int64_t PopupColour(std::uint32_t value)
{
    // The properties start at 0 and return to 0 after every popup, which is their "not set":
    // the viewer then uses its own colours (-1) rather than black.
    return value == 0 ? -1 : std::int64_t(value & 0xFFFFFFu);
}

} // namespace

HTMLHelp::HTMLHelp()
{
    HelpViewer::Current().RegisterComponents(services::Registry::Current());
}

// --- messages --------------------------------------------------------------------------------------

void HTMLHelp::ShowStopMessage(const QString &text)
{
    services::MessageBox::Current().Show(text, strings::Caption, services::MB_OK | services::MB_ICONSTOP);
}

void HTMLHelp::ShowWarningMessage(const QString &text)
{
    services::MessageBox::Warn(text, strings::Caption);
}

void HTMLHelp::ShowInfoMessage(const QString &text)
{
    services::MessageBox::Current().Show(text, strings::Caption,
                                         services::MB_OK | services::MB_ICONINFORMATION);
}

// --- display -----------------------------------------------------------------------------------

std::uintptr_t HTMLHelp::HHWndHandle()
{
    if (handle_ == 0)
        ShowWarningMessage(strings::NoWindowHandle);
    return handle_;
}

bool HTMLHelp::CheckChmExtension(const QString &file)
{
    if (file.right(3).compare("chm"_L1, Qt::CaseInsensitive) == 0)
        return true;
    ShowWarningMessage(file + strings::NotValidHelpFile);
    return false;
}

bool HTMLHelp::PrepareDisplay(QString *fileArgument, bool withWindow)
{
    if (!CheckChmExtension(chmFile_))
        return false;
    if (!EnsureFileExists(chmFile_))
        return false;
    *fileArgument = chmFile_;
    if (withWindow && !window_.trimmed().isEmpty())
        *fileArgument += '>' + window_;
    return true;
}

bool HTMLHelp::NeedsForm(const char *method, QWidget *form)
{
    if (!showOnTop_ || form)
        return false;
    ShowWarningMessage(QString::fromLatin1(strings::MethodStart) + QLatin1String(method) +
                       strings::MethodCalled + strings::WithoutForm + strings::WasTrue);
    return true;
}

void HTMLHelp::Display(const char *method, QWidget *form, unsigned command)
{
    QString file;
    if (!PrepareDisplay(&file, true))
        return;
    if (NeedsForm(method, form))
        return;
    QWidget *owner = showOnTop_ ? form : nullptr;
    HelpData data;
    switch (command) {
    case HH_DISPLAY_TOPIC:
        data = topicUrl_;
        break;
    case HH_HELP_CONTEXT:
        data = std::uint32_t(topicId_);
        break;
    case HH_DISPLAY_SEARCH:
        data = HelpFtsQuery{};
        break;
    default:
        break; // contents and index carry 0
    }
    handle_ = HelpViewer::Current().HtmlHelp(owner, file, command, data);
}

void HTMLHelp::HHDisplayTopicURL(QWidget *CallingForm)
{
    Display("HHDisplayTopicURL", CallingForm, HH_DISPLAY_TOPIC);
}

void HTMLHelp::HHDisplayTopicID(QWidget *CallingForm)
{
    Display("HHDisplayTopicID", CallingForm, HH_HELP_CONTEXT);
}

void HTMLHelp::HHDisplaySearch(QWidget *CallingForm)
{
    Display("HHDisplaySearch", CallingForm, HH_DISPLAY_SEARCH);
}

void HTMLHelp::HHDisplayIndex(QWidget *CallingForm)
{
    Display("HHDisplayIndex", CallingForm, HH_DISPLAY_INDEX);
}

void HTMLHelp::HHDisplayContents(QWidget *CallingForm)
{
    Display("HHDisplayContents", CallingForm, HH_DISPLAY_TOC);
}

void HTMLHelp::HHDisplayKeyword(QWidget *CallingForm)
{
    QString file;
    if (!PrepareDisplay(&file, false))
        return;
    if (NeedsForm("HHDisplayKeyword", CallingForm))
        return;
    QWidget *owner = showOnTop_ ? CallingForm : nullptr;
    HelpViewer::Current().HtmlHelp(owner, file, HH_DISPLAY_TOPIC, HelpData{});
    HelpAkLink link;
    const auto optional = [](const QString &s) {
        return s.isEmpty() ? std::nullopt : std::optional<QString>(s);
    };
    link.keywords = optional(keyword_);
    link.url = optional(defaultUrl_);
    link.msgText = optional(msgText_);
    link.msgTitle = optional(msgTitle_);
    if (!window_.trimmed().isEmpty())
        link.window = window_;
    handle_ = HelpViewer::Current().HtmlHelp(owner, file, HH_KEYWORD_LOOKUP, link);
}

void HTMLHelp::HHDisplayALink(QWidget *CallingForm)
{
    QString file;
    if (!PrepareDisplay(&file, false))
        return;
    if (NeedsForm("HHDisplayALink", CallingForm))
        return;
    QWidget *owner = showOnTop_ ? CallingForm : nullptr;
    HelpAkLink link;
    const auto optional = [](const QString &s) {
        return s.isEmpty() ? std::nullopt : std::optional<QString>(s);
    };
    link.keywords = optional(alink_);
    link.url = optional(defaultUrl_);
    link.msgText = optional(msgText_);
    link.msgTitle = optional(msgTitle_);
    if (!window_.trimmed().isEmpty())
        link.window = window_;
    handle_ = HelpViewer::Current().HtmlHelp(owner, file, HH_ALINK_LOOKUP, link);
}

void HTMLHelp::HHDisplayPopup(QWidget *CallingForm)
{
    if (NeedsForm("HHDisplayPopup", CallingForm))
        return;
    QString file;
    HelpPopup popup;
    switch (popupType_) {
    case PopupFromHelpFile:
        if (!CheckChmExtension(chmFile_) || !EnsureFileExists(chmFile_))
            return;
        if (popupFile_.right(3).compare("txt"_L1, Qt::CaseInsensitive) != 0) {
            ShowWarningMessage(QString::fromLatin1(strings::PopupSourceStart) + popupFile_ +
                               strings::PopupSourceEnd);
            return;
        }
        file = chmFile_ + "::/"_L1 + popupFile_;
        popup.idString = std::uint32_t(popupId_);
        break;
    case PopupFromResources:
        popup.text = services::Resources::String(popupId_);
        break;
    case PopupLiteral:
        if (popupText_.isEmpty())
            return;
        popup.text = popupText_;
        break;
    default:
        return;
    }
    popup.pt = QCursor::pos();
    popup.clrForeground = PopupColour(popupCustomColors_ ? popupCustomTextColor_ : popupTextColor_);
    popup.clrBackground = PopupColour(popupCustomColors_ ? popupCustomBackColor_ : popupBackColor_);
    popup.margins = QMargins(-1, -1, -1, -1);
    popup.font = (popupFont_.isEmpty() ? QString::fromLatin1(strings::PopupFont) : popupFont_) + ", "_L1 +
                 (popupSize_.isEmpty() ? QString::fromLatin1(strings::PopupSize) : popupSize_) +
                 ", ascii, "_L1 + (popupBold_ ? "Bold "_L1 : ""_L1) + (popupItalic_ ? "Italic "_L1 : ""_L1) +
                 (popupUnderline_ ? "Underline"_L1 : ""_L1);
    handle_ = HelpViewer::Current().HtmlHelp(CallingForm, file, HH_DISPLAY_TEXT_POPUP, popup);
    ResetPopup();
}

void HTMLHelp::ResetPopup()
{
    popupTextColor_ = popupBackColor_ = popupCustomTextColor_ = popupCustomBackColor_ = 0;
    popupFont_ = QString::fromLatin1(strings::PopupFont);
    popupSize_ = QString::fromLatin1(strings::PopupSize);
    popupBold_ = popupItalic_ = popupUnderline_ = false;
}

void HTMLHelp::HHClose()
{
    handle_ = HelpViewer::Current().HtmlHelp(nullptr, QString(), HH_CLOSE_ALL, HelpData{});
}

void HTMLHelp::HHInvokeWhatsThisHelp(QWidget *CallingForm)
{
    if (CallingForm)
        QWhatsThis::enterWhatsThisMode();
}

void HTMLHelp::HHDeleteJumpURLSysMenu(std::uintptr_t HH_hWnd)
{
    HelpViewer::Current().DeleteJumpUrlItem(HH_hWnd);
}

bool HTMLHelp::EnsureFileExists(QString &FileToFind)
{
    if (!FileToFind.contains('/')) {
        checkWarned_ = false;
        HHCheckRegistry(FileToFind);
        if (!regFileName_.isEmpty()) {
            FileToFind = JoinPath(regFilePath_, regFileName_);
            // The registry check has already said that the registered file is missing.
            if (!regFileExists_ && checkWarned_)
                return false;
        } else {
            FileToFind = services::AppPaths::ProgramFolder() + '/' + FileToFind;
        }
    }
    if (QFileInfo(FileToFind).isFile())
        return true;
    ShowWarningMessage(QString::fromLatin1(strings::FileStart) + FileToFind + strings::DoesNotExist + '\n' +
                       strings::CheckPath);
    checkWarned_ = true;
    return false;
}

// --- environment checks ------------------------------------------------------------------------

bool HTMLHelp::HHInstalled()
{
    services::Registry &registry = services::Registry::Current();
    services::HKEY key = 0;
    if (registry.OpenKey(services::HKEY_LOCAL_MACHINE, strings::ViewerTypeLibKey, &key) !=
        services::ERROR_SUCCESS)
        return false;
    registry.CloseKey(key);
    return true;
}

void HTMLHelp::ReadHelpControlVersion()
{
    QString path = FindRegistryValue("HKCR", strings::ViewerFileKey, QString()).value_or(QString());
    path = GetLongFileName(path.section(QChar(0), 0, 0));
    if (path.isEmpty()) {
        ShowStopMessage(QString::fromLatin1(strings::HhNotRegistered) + strings::InstallHh);
        return;
    }
    if (!QFileInfo::exists(path)) {
        ShowStopMessage(QString::fromLatin1(strings::HhNotInPlace) + strings::ReinstallHh);
        return;
    }
    hhVersion_ = GetFileVersionString(path);
}

void HTMLHelp::ReadBrowserVersion()
{
    QString path = FindRegistryValue("HKCR", strings::BrowserFileKey, QString()).value_or(QString());
    path = GetLongFileName(path.section(QChar(0), 0, 0));
    if (path.isEmpty()) {
        ShowStopMessage(QString::fromLatin1(strings::IeNotRegistered) + strings::InstallIe);
        return;
    }
    if (!QFileInfo::exists(path)) {
        ShowStopMessage(QString::fromLatin1(strings::IeNotInPlace) + strings::ReinstallIe);
        return;
    }
    ieVersion_ = GetFileVersionString(path);
}

QString HTMLHelp::HHVersion()
{
    ReadHelpControlVersion();
    return hhVersion_;
}

QString HTMLHelp::IEVersion()
{
    ReadBrowserVersion();
    return ieVersion_;
}

QString HTMLHelp::HHFriendlyName()
{
    if (hhVersion_.isEmpty())
        ReadHelpControlVersion();
    return FriendlyViewerName(hhVersion_);
}

QString HTMLHelp::IEFriendlyName()
{
    if (ieVersion_.isEmpty())
        ReadBrowserVersion();
    return FriendlyBrowserName(ieVersion_);
}

QString HTMLHelp::FriendlyViewerName(const QString &version)
{
    return Lookup(ViewerNames, version);
}

QString HTMLHelp::FriendlyBrowserName(const QString &version)
{
    return Lookup(BrowserNames, version);
}

bool HTMLHelp::HHVerifyMinConfig(std::int32_t MinHHVersion, std::int32_t MinIEVersion)
{
    ReadHelpControlVersion();
    ReadBrowserVersion();

    bool viewerPasses = false;
    const int viewerIndex = MinHHVersion - FirstViewerCode;
    if (viewerIndex >= 0 && viewerIndex < int(ViewerMinimums.size()))
        viewerPasses = hhVersion_.compare(QLatin1String(ViewerMinimums[std::size_t(viewerIndex)]),
                                          Qt::CaseInsensitive) >= 0;
    else
        hhVersion_ = QString::fromLatin1(strings::Unknown);

    bool browserPasses = false;
    const int browserIndex = MinIEVersion - FirstBrowserCode;
    if (browserIndex >= 0 && browserIndex < int(BrowserMinimums.size()))
        browserPasses = ieVersion_.compare(QLatin1String(BrowserMinimums[std::size_t(browserIndex)]),
                                           Qt::CaseInsensitive) >= 0;

    HHFriendlyName();
    IEFriendlyName();
    return viewerPasses && browserPasses;
}

bool HTMLHelp::HHCheckRegistry(const QString &FileToCheck)
{
    if (FileToCheck.isEmpty())
        return false;
    regFileExists_ = false;
    if (!CheckChmExtension(FileToCheck))
        return false;
    const QString name = BareName(FileToCheck);
    // Names match without regard to case, but files on this system do not: the file is looked
    // for under the name it was registered with.
    const auto entry =
        name.isEmpty() ? std::nullopt : FindRegistryEntry("HKLM", strings::HelpFileListKey, name);
    if (entry) {
        regFileName_ = entry->first;
        regFilePath_ = entry->second;
        QString full = JoinPath(regFilePath_, regFileName_);
        regFileExists_ = EnsureFileExists(full);
    } else {
        regFileName_.clear();
        regFilePath_.clear();
    }
    return false;
}

void HTMLHelp::HHRegister(const QString &FileToRegister)
{
    if (FileToRegister.isEmpty())
        return;
    if (!CheckChmExtension(FileToRegister))
        return;
    HHCheckRegistry(FileToRegister);
    if (!regFileName_.isEmpty()) {
        ShowInfoMessage(QString::fromLatin1(strings::FileStart) + regFileName_ + strings::AlreadyRegistered +
                        strings::RegisterNoAction);
        return;
    }
    QString full = FileToRegister;
    if (!EnsureFileExists(full))
        return;
    const qsizetype slash = full.lastIndexOf('/');
    if (slash < 0) {
        ShowWarningMessage(QString::fromLatin1(strings::CannotRegister) + full + strings::WithoutPath + '"');
        return;
    }
    const QString folder = full.left(slash + 1);
    const QString name = full.mid(slash + 1);
    services::Registry &registry = services::Registry::Current();
    services::HKEY key = 0;
    if (registry.CreateKey(services::HKEY_LOCAL_MACHINE, strings::HelpFileListKey, &key) !=
        services::ERROR_SUCCESS) {
        ShowWarningMessage(strings::RegisterError);
        return;
    }
    if (registry.SetString(key, name, folder) != services::ERROR_SUCCESS)
        ShowWarningMessage(strings::RegisterError);
    registry.CloseKey(key);
}

void HTMLHelp::HHUnRegister(const QString &FileToUnRegister)
{
    if (FileToUnRegister.isEmpty())
        return;
    if (!CheckChmExtension(FileToUnRegister))
        return;
    HHCheckRegistry(FileToUnRegister);
    const QString name = BareName(FileToUnRegister);
    if (regFileName_.isEmpty()) {
        ShowInfoMessage(QString::fromLatin1(strings::FileStart) + name + strings::NotRegistered +
                        strings::UnRegisterNoAction);
        return;
    }
    services::Registry &registry = services::Registry::Current();
    services::HKEY key = 0;
    if (registry.OpenKey(services::HKEY_LOCAL_MACHINE, strings::HelpFileListKey, &key) ==
        services::ERROR_SUCCESS) {
        registry.DeleteValue(key, name);
        registry.CloseKey(key);
    }
    HHCheckRegistry(FileToUnRegister);
}

QString HTMLHelp::HHSetHelpFile(std::int32_t intSelHelpFile) const
{
    if (intSelHelpFile == 1)
        return services::AppPaths::ProgramFolder() + strings::LibraryChm;
    if (intSelHelpFile == 2)
        return QString::fromLatin1(strings::LibraryTxt);
    return {};
}

// --- helpers -------------------------------------------------------------------------------------

QString HTMLHelp::FormatVersion(const FixedFileInfo &info)
{
    const auto two = [](unsigned n) { return QString::number(n).rightJustified(2, '0'); };
    QString text = QString::number(info.major) + '.' + two(info.minor) + '.';
    if (info.build < 1)
        text += QString::number(info.revision).rightJustified(4, '0');
    else
        text += two(info.build) + '.' + two(info.revision);
    return text;
}

QString HTMLHelp::GetFileVersionString(const QString &path)
{
    const auto info = FileVersion::Read(path);
    return info ? FormatVersion(*info) : QString();
}

QString HTMLHelp::GetLongFileName(const QString &path)
{
    if (!path.contains('~'))
        return path;
    QString text = path.trimmed();
    if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"'))
        text = text.mid(1, text.size() - 2);
    while (text.size() > 1 && text.endsWith('/'))
        text.chop(1);
    if (text == "~"_L1 || text.startsWith("~/"_L1))
        text = QDir::homePath() + text.mid(1);
    if (!text.startsWith('/'))
        text = QDir::currentPath() + '/' + text;

    // Rebuild the path from what the folders really hold: the exact name, else one that differs
    // only in case.
    QString built;
    for (const QString &part : text.split('/', Qt::SkipEmptyParts)) {
        const QDir dir(built.isEmpty() ? QStringLiteral("/") : built);
        QString found;
        if (QFileInfo::exists(dir.filePath(part))) {
            found = part;
        } else {
            const QStringList entries =
                dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QString &entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    found = entry;
                    break;
                }
            }
        }
        if (found.isEmpty())
            return {};
        built += '/' + found;
    }
    return built.isEmpty() ? QStringLiteral("/") : built;
}

int HTMLHelp::GetPlatformKind()
{
    return 0;
}

std::optional<QString> HTMLHelp::FindRegistryValue(const QString &root, const QString &key,
                                                   const QString &name)
{
    const auto entry = FindRegistryEntry(root, key, name);
    return entry ? std::optional<QString>(entry->second) : std::nullopt;
}

std::optional<std::pair<QString, QString>>
HTMLHelp::FindRegistryEntry(const QString &root, const QString &key, const QString &name)
{
    const auto hive = RootByName(root);
    if (!hive)
        return std::nullopt;
    services::Registry &registry = services::Registry::Current();
    services::HKEY handle = 0;
    if (registry.OpenKey(*hive, key, &handle) != services::ERROR_SUCCESS)
        return std::nullopt;
    std::optional<std::pair<QString, QString>> result;
    if (name.isEmpty()) {
        QString value;
        if (registry.QueryString(handle, QString(), &value) == services::ERROR_SUCCESS)
            result.emplace(QString(), value);
    } else {
        QString valueName;
        unsigned type = services::REG_NONE;
        for (int i = 0; registry.EnumValue(handle, i, &valueName, &type) == services::ERROR_SUCCESS; ++i) {
            if (valueName.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            if (type != services::REG_SZ && type != services::REG_EXPAND_SZ)
                continue;
            QString value;
            if (registry.QueryString(handle, valueName, &value) == services::ERROR_SUCCESS) {
                result.emplace(valueName, value);
                break;
            }
        }
    }
    registry.CloseKey(handle);
    return result;
}

} // namespace help
