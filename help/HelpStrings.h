// SPDX-License-Identifier: GPL-3.0-or-later
// The help library's own texts and registry places, kept in one spot so the tests compare
// against the very same strings.
#pragma once

namespace help::strings
{

inline constexpr const char *Caption = "HTML Help Class";

inline constexpr const char *NotValidHelpFile = " is not a valid HTML Help file.";
inline constexpr const char *FileStart = "The file ";
inline constexpr const char *DoesNotExist = " does not exist.";
inline constexpr const char *CheckPath =
    "Please make sure the correct path and file name have been specified.";
inline constexpr const char *NoWindowHandle = "No HTML Help window handle to retrieve.";
inline constexpr const char *PopupSourceStart = "The file specified as the text popup source, '";
inline constexpr const char *PopupSourceEnd = "', is not a valid popup file.";
inline constexpr const char *MethodStart = "The ";
inline constexpr const char *MethodCalled = " method was called ";
inline constexpr const char *WithoutForm = "without a form being specified, while HHShowOnTop ";
inline constexpr const char *WasTrue = "was set to True.";

inline constexpr const char *HhNotRegistered = "Hhctrl.ocx is not registered.  ";
inline constexpr const char *InstallHh = "Please install HTML Help.";
inline constexpr const char *HhNotInPlace = "Hhctrl.ocx is not in its registered location.  ";
inline constexpr const char *ReinstallHh = "Please reinstall HTML Help.";
inline constexpr const char *IeNotRegistered = "Shdocvw.dll is not registered.  ";
inline constexpr const char *InstallIe = "Please install Internet Explorer.";
inline constexpr const char *IeNotInPlace = "Internet Explorer is not in its registered location.  ";
inline constexpr const char *ReinstallIe = "Please reinstall Internet Explorer.";

inline constexpr const char *AlreadyRegistered = " is already registered.  ";
inline constexpr const char *RegisterNoAction = "HHRegister will not be run as no action need be taken.";
inline constexpr const char *NotRegistered = " is not registered.  ";
inline constexpr const char *UnRegisterNoAction = "HHUnRegister will not be run as no action need be taken.";
inline constexpr const char *RegisterError = "HTML Help Class: HHRegister Error";
inline constexpr const char *CannotRegister = "Cannot register ";
inline constexpr const char *WithoutPath = " without having a supplied path.";

inline constexpr const char *Unknown = "unknown";
inline constexpr const char *PopupFont = "Arial";
inline constexpr const char *PopupSize = "10";
inline constexpr const char *LibraryChm = "/Library.chm";
inline constexpr const char *LibraryTxt = "Library.txt";

// Registry places.
inline constexpr const char *HelpFileListKey = "Software\\Microsoft\\Windows\\HTML Help";
inline constexpr const char *ViewerTypeLibKey =
    "SOFTWARE\\Classes\\TypeLib\\{ADB880A2-D8FF-11CF-9377-00AA003B7A11}";
inline constexpr const char *ViewerFileKey = "CLSID\\{4662DAB0-D393-11D0-9A56-00C04FB68B66}\\InprocServer32";
inline constexpr const char *BrowserFileKey = "CLSID\\{0A89A860-D7B1-11CE-8350-444553540000}\\InProcServer32";

// Messages of the viewer itself (not of the HTMLHelp class).
inline constexpr const char *ViewerCaption = "Orvena Help";
inline constexpr const char *CannotOpenHelpFile =
    "The help file %1 could not be opened: it is missing or is not a "
    "compiled HTML Help file.";
inline constexpr const char *NoPopupTopic = "No Help topic is associated with this item.";
inline constexpr const char *NoContext = "Context number %1 is not in this help file.";

} // namespace help::strings
