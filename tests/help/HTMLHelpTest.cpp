// SPDX-License-Identifier: GPL-3.0-or-later
// HTMLHelp against a recording viewer: what reaches the viewer, which messages appear, and the
// registry of help files.
#include "HelpTestSupport.h"

#include "help/FileVersion.h"
#include "help/HTMLHelp.h"
#include "help/HelpStrings.h"

#include <QWidget>

namespace
{

using help::HTMLHelp;
namespace strings = help::strings;

class HTMLHelpTest : public HelpEnvironment
{
  protected:
    void SetUp() override
    {
        HelpEnvironment::SetUp();
        help::HelpViewer::SetCurrent(&viewer);
    }
    QString LastText() const { return boxes.calls.empty() ? QString() : boxes.calls.back().text; }
    unsigned LastIcon() const
    {
        return boxes.calls.empty() ? 0u : boxes.calls.back().flags & services::MB_ICONMASK;
    }

    RecordingHelpViewer viewer;
};

TEST_F(HTMLHelpTest, TextFileIsRefusedWithAWarningAndNeverReachesTheViewer)
{
    HTMLHelp help;
    help.SetCHMFile(MakeFile("guide.txt"));
    help.HHDisplayTopicID();
    help.HHDisplayContents();
    help.HHDisplayKeyword();

    EXPECT_TRUE(viewer.calls.empty());
    ASSERT_EQ(boxes.calls.size(), 3u);
    EXPECT_EQ(boxes.calls[0].text, help.CHMFile() + " is not a valid HTML Help file.");
    EXPECT_EQ(boxes.calls[0].title, "HTML Help Class");
    EXPECT_EQ(boxes.calls[0].flags, services::MB_OK | services::MB_ICONEXCLAMATION);
}

TEST_F(HTMLHelpTest, BareUnregisteredNameIsTakenFromTheProgramFolder)
{
    MakeFile("program/Orvena.chm");
    HTMLHelp help;
    help.SetCHMFile("Orvena.chm");
    help.SetHHTopicID(1);
    help.HHDisplayTopicID();

    const QString expected = programFolder + "/Orvena.chm";
    EXPECT_EQ(help.CHMFile(), expected);
    ASSERT_EQ(viewer.calls.size(), 1u);
    EXPECT_EQ(viewer.calls[0].file, expected);
    EXPECT_EQ(viewer.calls[0].command, help::HH_HELP_CONTEXT);
    EXPECT_EQ(std::get<std::uint32_t>(viewer.calls[0].data), 1u);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(HTMLHelpTest, MissingFileWarnsWithItsFullPathAndStops)
{
    HTMLHelp help;
    help.SetCHMFile("Nowhere.chm");
    help.HHDisplayIndex();

    EXPECT_TRUE(viewer.calls.empty());
    EXPECT_EQ(LastText(), "The file " + programFolder +
                              "/Nowhere.chm does not exist.\n"
                              "Please make sure the correct path and file name have been specified.");
    EXPECT_EQ(LastIcon(), unsigned(services::MB_ICONEXCLAMATION));
}

TEST_F(HTMLHelpTest, WindowNameJoinsTheFileArgumentExceptForLookups)
{
    const QString file = MakeFile("a/Orvena.chm");
    HTMLHelp help;
    help.SetCHMFile(file);
    help.SetHHWindow("Main");
    help.SetHHTopicID(1);
    help.HHDisplayTopicID();
    help.HHDisplayContents();
    help.SetHHKeyword("SPEAK");
    help.HHDisplayKeyword();

    ASSERT_EQ(viewer.calls.size(), 4u);
    EXPECT_EQ(viewer.calls[0].file, file + ">Main");
    EXPECT_EQ(viewer.calls[1].file, file + ">Main");
    EXPECT_EQ(viewer.calls[1].command, help::HH_DISPLAY_TOC);
    // The keyword lookup first shows the file's default topic, then looks up with the window in
    // its record.
    EXPECT_EQ(viewer.calls[2].file, file);
    EXPECT_EQ(viewer.calls[2].command, help::HH_DISPLAY_TOPIC);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(viewer.calls[2].data));
    EXPECT_EQ(viewer.calls[3].file, file);
    EXPECT_EQ(viewer.calls[3].command, help::HH_KEYWORD_LOOKUP);
    const auto &link = std::get<help::HelpAkLink>(viewer.calls[3].data);
    EXPECT_EQ(link.cbStruct, 28);
    EXPECT_EQ(link.keywords, QString("SPEAK"));
    EXPECT_EQ(link.window, QString("Main"));
    EXPECT_FALSE(link.url.has_value());
    EXPECT_FALSE(link.msgText.has_value());
    EXPECT_FALSE(link.indexOnFail);

    viewer.calls.clear();
    help.SetHHWindow("   ");
    help.HHDisplayContents();
    ASSERT_EQ(viewer.calls.size(), 1u);
    EXPECT_EQ(viewer.calls[0].file, file);
}

TEST_F(HTMLHelpTest, ShowOnTopWithoutAFormWarnsNamingTheMethod)
{
    HTMLHelp help;
    help.SetCHMFile(MakeFile("Orvena.chm"));
    help.SetHHShowOnTop(true);
    help.HHDisplayTopicID();

    EXPECT_TRUE(viewer.calls.empty());
    EXPECT_EQ(LastText(), "The HHDisplayTopicID method was called without a form being specified, "
                          "while HHShowOnTop was set to True.");
    EXPECT_EQ(LastIcon(), unsigned(services::MB_ICONEXCLAMATION));

    QWidget form;
    help.HHDisplaySearch(&form);
    ASSERT_EQ(viewer.calls.size(), 1u);
    EXPECT_EQ(viewer.calls[0].caller, &form);
    const auto &query = std::get<help::HelpFtsQuery>(viewer.calls[0].data);
    EXPECT_EQ(query.cbStruct, 32);
    EXPECT_TRUE(query.searchQuery.isEmpty());
    EXPECT_TRUE(query.execute);

    // Without HHShowOnTop the help window has no owner, whatever form is given.
    help.SetHHShowOnTop(false);
    help.HHDisplayIndex(&form);
    EXPECT_EQ(viewer.calls.back().caller, nullptr);
}

TEST_F(HTMLHelpTest, WindowHandleIsKeptAndItsAbsenceWarns)
{
    HTMLHelp help;
    EXPECT_EQ(help.HHWndHandle(), 0u);
    EXPECT_EQ(LastText(), "No HTML Help window handle to retrieve.");

    help.SetCHMFile(MakeFile("Orvena.chm"));
    help.SetHHTopicURL("voices.htm");
    help.HHDisplayTopicURL();
    EXPECT_EQ(std::get<QString>(viewer.calls.back().data), "voices.htm");
    boxes.calls.clear();
    EXPECT_EQ(help.HHWndHandle(), viewer.nextHandle);
    EXPECT_TRUE(boxes.calls.empty());

    help.HHDeleteJumpURLSysMenu(help.HHWndHandle());
    EXPECT_EQ(viewer.deletedJumpItems, std::vector<std::uintptr_t>{viewer.nextHandle});

    help.HHClose();
    EXPECT_EQ(viewer.calls.back().command, help::HH_CLOSE_ALL);
    EXPECT_TRUE(viewer.calls.back().file.isEmpty());
    EXPECT_EQ(help.HHWndHandle(), 0u);
}

TEST_F(HTMLHelpTest, PopupAfterACustomOneShowsInDefaultColoursAndPlainArial10)
{
    HTMLHelp help;
    help.SetHHPopupType(HTMLHelp::PopupLiteral);
    help.SetHHPopupText("First");
    help.SetHHPopupCustomColors(true);
    help.SetHHPopupCustomTextColor(0x0000FF);
    help.SetHHPopupCustomBackColor(0xC0FFFF);
    help.SetHHPopupTextFont("Courier New");
    help.SetHHPopupTextSize("14");
    help.SetHHPopupTextBold(true);
    help.SetHHPopupTextItalic(true);
    help.SetHHPopupTextUnderline(true);
    help.HHDisplayPopup();

    help.SetHHPopupText("Second");
    help.HHDisplayPopup();

    ASSERT_EQ(viewer.calls.size(), 2u);
    const auto &first = std::get<help::HelpPopup>(viewer.calls[0].data);
    EXPECT_EQ(viewer.calls[0].command, help::HH_DISPLAY_TEXT_POPUP);
    EXPECT_EQ(first.text, QString("First"));
    EXPECT_EQ(first.clrForeground, 0x0000FF);
    EXPECT_EQ(first.clrBackground, 0xC0FFFF);
    EXPECT_EQ(first.font, "Courier New, 14, ascii, Bold Italic Underline");
    EXPECT_EQ(first.margins, QMargins(-1, -1, -1, -1));

    const auto &second = std::get<help::HelpPopup>(viewer.calls[1].data);
    EXPECT_EQ(second.text, QString("Second"));
    EXPECT_EQ(second.clrForeground, -1);
    EXPECT_EQ(second.clrBackground, -1);
    EXPECT_EQ(second.font, "Arial, 10, ascii, ");
}

TEST_F(HTMLHelpTest, PopupSourcesByType)
{
    const QString file = MakeFile("Orvena.chm");
    HTMLHelp help;
    help.SetCHMFile(file);

    help.SetHHPopupType(HTMLHelp::PopupFromHelpFile);
    help.SetHHPopupFile("popups.htm");
    help.HHDisplayPopup();
    EXPECT_TRUE(viewer.calls.empty());
    EXPECT_EQ(LastText(),
              "The file specified as the text popup source, 'popups.htm', is not a valid popup file.");

    help.SetHHPopupFile("popups.txt");
    help.SetHHPopupID(3);
    help.HHDisplayPopup();
    ASSERT_EQ(viewer.calls.size(), 1u);
    EXPECT_EQ(viewer.calls[0].file, file + "::/popups.txt");
    const auto &fromFile = std::get<help::HelpPopup>(viewer.calls[0].data);
    EXPECT_EQ(fromFile.idString, 3u);
    EXPECT_FALSE(fromFile.text.has_value());

    help.SetHHPopupType(HTMLHelp::PopupFromResources);
    help.SetHHPopupID(102);
    help.HHDisplayPopup();
    EXPECT_TRUE(viewer.calls.back().file.isEmpty());
    EXPECT_EQ(std::get<help::HelpPopup>(viewer.calls.back().data).text, QString("12"));

    // An empty literal and an unknown type show nothing.
    const auto before = viewer.calls.size();
    help.SetHHPopupType(HTMLHelp::PopupLiteral);
    help.SetHHPopupText(QString());
    help.HHDisplayPopup();
    help.SetHHPopupType(3);
    help.HHDisplayPopup();
    EXPECT_EQ(viewer.calls.size(), before);
}

TEST_F(HTMLHelpTest, RegisterCheckAndUnregisterRoundTrip)
{
    const QString file = MakeFile("library/Manual.chm");
    const QString folder = QFileInfo(file).absolutePath() + "/";
    HTMLHelp help;

    help.HHRegister(file);
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_FALSE(help.HHCheckRegistry("MANUAL.CHM"));
    EXPECT_EQ(help.HHRegFileName(), "Manual.chm"); // as registered
    EXPECT_EQ(help.HHRegFilePath(), folder);
    EXPECT_TRUE(help.HHRegFileExists());

    // A bare name now resolves to the registered folder, not the program folder.
    QString bare = "Manual.chm";
    EXPECT_TRUE(help.EnsureFileExists(bare));
    EXPECT_EQ(bare, folder + "Manual.chm");

    help.HHRegister(file);
    EXPECT_EQ(LastText(), "The file Manual.chm is already registered.  "
                          "HHRegister will not be run as no action need be taken.");
    EXPECT_EQ(LastIcon(), unsigned(services::MB_ICONINFORMATION));

    boxes.calls.clear();
    help.HHUnRegister(file);
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(help.HHRegFileName().isEmpty());
    EXPECT_TRUE(help.HHRegFilePath().isEmpty());
    EXPECT_FALSE(help.HHRegFileExists());

    help.HHUnRegister(file);
    EXPECT_EQ(LastText(), "The file Manual.chm is not registered.  "
                          "HHUnRegister will not be run as no action need be taken.");
    EXPECT_EQ(LastIcon(), unsigned(services::MB_ICONINFORMATION));
}

TEST_F(HTMLHelpTest, RegisteredFileThatWentMissingIsReportedOnce)
{
    const QString file = MakeFile("library/Gone.chm");
    HTMLHelp help;
    help.HHRegister(file);
    QFile::remove(file);

    QString bare = "Gone.chm";
    EXPECT_FALSE(help.EnsureFileExists(bare));
    EXPECT_FALSE(help.HHRegFileExists());
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_TRUE(boxes.calls[0].text.startsWith("The file " + file + " does not exist."));
}

class VersionTest : public HTMLHelpTest
{
  protected:
    void RegisterViewerFile(const QString &path)
    {
        services::HKEY key = 0;
        ASSERT_EQ(registry->CreateKey(services::HKEY_CLASSES_ROOT, strings::ViewerFileKey, &key),
                  services::ERROR_SUCCESS);
        registry->SetString(key, QString(), path);
        registry->CloseKey(key);
    }
    void RegisterBrowserFile(const QString &path)
    {
        services::HKEY key = 0;
        ASSERT_EQ(registry->CreateKey(services::HKEY_CLASSES_ROOT, strings::BrowserFileKey, &key),
                  services::ERROR_SUCCESS);
        registry->SetString(key, QString(), path);
        registry->CloseKey(key);
    }
};

TEST_F(VersionTest, VersionStringsAndFriendlyNames)
{
    RegisterViewerFile(MakeFile("lib/libviewer.so.4.74.8702"));
    RegisterBrowserFile(MakeFile("lib/librender.so.5.0.2919.6307"));
    HTMLHelp help;
    EXPECT_EQ(help.HHVersion(), "4.74.8702.00");
    EXPECT_EQ(help.HHFriendlyName(), "1.3");
    EXPECT_EQ(help.IEVersion(), "5.00.2919.6307");
    EXPECT_EQ(help.IEFriendlyName(), "5.01");
    EXPECT_TRUE(boxes.calls.empty());

    RegisterViewerFile(MakeFile("lib/libviewer.so.9.1.2"));
    EXPECT_EQ(help.HHVersion(), "9.01.02.00");
    EXPECT_EQ(help.HHFriendlyName(), "unknown");
}

TEST_F(VersionTest, FormatFollowsTheBuildNumber)
{
    EXPECT_EQ(HTMLHelp::FormatVersion({4, 74, 8702, 0}), "4.74.8702.00");
    EXPECT_EQ(HTMLHelp::FormatVersion({5, 0, 0, 518}), "5.00.0518");
    EXPECT_EQ(HTMLHelp::FormatVersion({6, 4, 2, 0}), "6.04.02.00");
    EXPECT_EQ(HTMLHelp::FormatVersion({12, 123, 0, 65535}), "12.123.65535");
    EXPECT_TRUE(HTMLHelp::GetFileVersionString(dir.filePath("missing.so.1.2")).isEmpty());
    EXPECT_TRUE(HTMLHelp::GetFileVersionString(MakeFile("plain.txt")).isEmpty());
}

TEST_F(VersionTest, MissingRegistrationsGiveStopMessages)
{
    HTMLHelp help;
    EXPECT_TRUE(help.HHVersion().isEmpty());
    EXPECT_EQ(LastText(), "Hhctrl.ocx is not registered.  Please install HTML Help.");
    EXPECT_EQ(LastIcon(), unsigned(services::MB_ICONSTOP));

    RegisterViewerFile(dir.filePath("gone/libviewer.so.4.74.8702"));
    help.HHVersion();
    EXPECT_EQ(LastText(), "Hhctrl.ocx is not in its registered location.  Please reinstall HTML Help.");

    help.IEVersion();
    EXPECT_EQ(LastText(), "Shdocvw.dll is not registered.  Please install Internet Explorer.");
    RegisterBrowserFile(dir.filePath("gone/librender.so.5"));
    help.IEVersion();
    EXPECT_EQ(LastText(),
              "Internet Explorer is not in its registered location.  Please reinstall Internet Explorer.");
    EXPECT_EQ(LastIcon(), unsigned(services::MB_ICONSTOP));
    EXPECT_FALSE(help.HHInstalled());
}

TEST_F(VersionTest, MinimumConfigurationByCode)
{
    RegisterViewerFile(MakeFile("lib/libviewer.so.4.73.8412"));
    RegisterBrowserFile(MakeFile("lib/librender.so.5.0.2314.1000"));
    HTMLHelp help;
    EXPECT_TRUE(help.HHVerifyMinConfig(21, 256));  // 4.73.8412 against itself
    EXPECT_FALSE(help.HHVerifyMinConfig(22, 256)); // needs 4.73.8474
    EXPECT_TRUE(help.HHVerifyMinConfig(16, 268));  // 5.00.2314.1000 against itself
    EXPECT_FALSE(help.HHVerifyMinConfig(16, 269)); // needs 5.00.2614.3500
    EXPECT_FALSE(help.HHVerifyMinConfig(16, 274)); // no such browser code
    EXPECT_EQ(help.HHFriendlyName(), "1.21");

    // A viewer code beyond the table fails and names the viewer version "unknown", even though
    // the registered one is in the table.
    EXPECT_FALSE(help.HHVerifyMinConfig(27, 256));
    EXPECT_EQ(help.HHFriendlyName(), "unknown");
    EXPECT_EQ(help.IEFriendlyName(), "5.0a (Office 2000)");
}

TEST_F(VersionTest, TheBuiltInViewerRegistersItselfAsInstalled)
{
    help::HelpViewer::SetCurrent(nullptr); // the real viewer registers its components
    HTMLHelp help;
    EXPECT_TRUE(help.HHInstalled());
    EXPECT_EQ(help.HHVersion(), "4.74.8702.00");
    EXPECT_FALSE(help.IEVersion().isEmpty());
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(help.HHVerifyMinConfig(26, 273));
}

TEST_F(HTMLHelpTest, LongFileNamesAreRebuiltFromTheFolders)
{
    const QString file = MakeFile("Long Folder/Read~Me.CHM");
    const QString base = QFileInfo(dir.path()).canonicalFilePath();
    EXPECT_EQ(HTMLHelp::GetLongFileName("/no/tilde/here.chm"), "/no/tilde/here.chm");
    EXPECT_EQ(HTMLHelp::GetLongFileName(base + "/long folder/read~me.chm"),
              base + "/Long Folder/Read~Me.CHM");
    EXPECT_EQ(HTMLHelp::GetLongFileName('"' + base + "/Long Folder/Read~Me.CHM/\""),
              base + "/Long Folder/Read~Me.CHM");
    EXPECT_TRUE(HTMLHelp::GetLongFileName(base + "/Long Folder/Nothing~1.chm").isEmpty());
    EXPECT_EQ(HTMLHelp::GetPlatformKind(), 0);
    Q_UNUSED(file);
}

TEST_F(HTMLHelpTest, SetHelpFileChoices)
{
    HTMLHelp help;
    help.SetCHMFile("kept.chm");
    EXPECT_EQ(help.HHSetHelpFile(1), programFolder + "/Library.chm");
    EXPECT_EQ(help.HHSetHelpFile(2), "Library.txt");
    EXPECT_TRUE(help.HHSetHelpFile(3).isEmpty());
    EXPECT_EQ(help.CHMFile(), "kept.chm");
}

} // namespace
