// SPDX-License-Identifier: GPL-3.0-or-later
// The real help viewer on the built help file (offscreen): window type, topics, links, images,
// contents, index, search, popups, and its one window per process.
#include "HelpTestSupport.h"

#include "help/ChmBrowser.h"
#include "help/ChmFile.h"
#include "help/ChmHelpViewer.h"
#include "help/HTMLHelp.h"
#include "help/HelpWindow.h"
#include "help/TextPopup.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTextDocument>
#include <QTreeWidget>

namespace
{

using help::ChmHelpViewer;
using help::HelpWindow;

class ViewerTest : public HelpEnvironment
{
  protected:
    void TearDown() override
    {
        viewer.HtmlHelp(nullptr, QString(), help::HH_CLOSE_ALL, {});
        help::ChmBrowser::SetExternalOpener(nullptr);
        HelpEnvironment::TearDown();
    }
    HelpWindow *Show(const QString &argument, unsigned command, const help::HelpData &data)
    {
        handle = viewer.HtmlHelp(nullptr, argument, command, data);
        return viewer.Window();
    }

    ChmHelpViewer viewer;
    std::uintptr_t handle = 0;
};

TEST_F(ViewerTest, ContextOneOpensHowToUseInTheMainWindowType)
{
    HelpWindow *window = Show(BuiltHelpFile() + ">Main", help::HH_HELP_CONTEXT, std::uint32_t(1));
    ASSERT_NE(window, nullptr);
    EXPECT_NE(handle, 0u);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Orvena STUDIO 4 Help");
    EXPECT_EQ(window->size(), QSize(840, 600));
    EXPECT_EQ(window->CurrentTopic(), "/howto.htm");
    EXPECT_TRUE(window->Browser()->toPlainText().startsWith("How to Use"));

    // The picture and the style sheet come from inside the help file.
    const QVariant image =
        window->Browser()->loadResource(QTextDocument::ImageResource, QUrl("images/levels.gif"));
    EXPECT_TRUE(QImage::fromData(image.toByteArray()).size() == QSize(242, 94));
    EXPECT_FALSE(window->Browser()
                     ->loadResource(QTextDocument::StyleSheetResource, QUrl("help.css"))
                     .toString()
                     .isEmpty());

    // Contents and index are filled from the file.
    EXPECT_EQ(window->ContentsTree()->topLevelItemCount(), 4);
    EXPECT_EQ(window->ContentsTree()->currentItem()->text(0), "How to Use");
    EXPECT_GT(window->IndexList()->count(), 20);
}

TEST_F(ViewerTest, UnknownContextShowsTheDefaultTopic)
{
    HelpWindow *window = Show(BuiltHelpFile(), help::HH_HELP_CONTEXT, std::uint32_t(999));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->CurrentTopic(), "/howto.htm");
}

TEST_F(ViewerTest, OneWindowPerProcessUntilCloseAll)
{
    HelpWindow *first = Show(BuiltHelpFile(), help::HH_DISPLAY_TOPIC, QString("voices.htm"));
    const std::uintptr_t firstHandle = handle;
    HelpWindow *second = Show(BuiltHelpFile() + ">Main", help::HH_DISPLAY_TOC, {});
    EXPECT_EQ(first, second);
    EXPECT_EQ(handle, firstHandle);
    EXPECT_EQ(second->CurrentPane(), HelpWindow::Pane::Contents);

    QPointer<HelpWindow> watched(second);
    EXPECT_EQ(viewer.HtmlHelp(nullptr, QString(), help::HH_CLOSE_ALL, {}), 0u);
    QTRY_VERIFY(watched.isNull());
    EXPECT_EQ(viewer.Window(), nullptr);
}

TEST_F(ViewerTest, InternalLinksStayInsideExternalOnesGoToTheDesktop)
{
    std::vector<QUrl> opened;
    help::ChmBrowser::SetExternalOpener([&](const QUrl &url) { opened.push_back(url); });
    HelpWindow *window = Show(BuiltHelpFile(), help::HH_DISPLAY_TOPIC, QString("howto.htm"));
    ASSERT_NE(window, nullptr);

    Q_EMIT window->Browser()->anchorClicked(QUrl("voices.htm"));
    EXPECT_EQ(window->CurrentTopic(), "/voices.htm");
    Q_EMIT window->Browser()->anchorClicked(QUrl("https://www.example.org/orvena"));
    EXPECT_EQ(window->CurrentTopic(), "/voices.htm");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl("https://www.example.org/orvena"));

    EXPECT_TRUE(window->Browser()->isBackwardAvailable()) << window->Browser()->backwardHistoryCount();
    window->Browser()->backward();
    EXPECT_EQ(window->CurrentTopic(), "/howto.htm");
}

TEST_F(ViewerTest, KeywordAndAssociativeLookups)
{
    help::HelpAkLink link;
    link.keywords = "record";
    HelpWindow *window = Show(BuiltHelpFile(), help::HH_KEYWORD_LOOKUP, link);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->CurrentTopic(), "/recording.htm");

    link.keywords = "no such keyword";
    link.url = "display.htm";
    Show(BuiltHelpFile(), help::HH_KEYWORD_LOOKUP, link);
    EXPECT_EQ(window->CurrentTopic(), "/display.htm");

    link.url.reset();
    link.msgText = "Nothing found";
    link.msgTitle = "Lookup";
    Show(BuiltHelpFile(), help::HH_KEYWORD_LOOKUP, link);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Nothing found");
    EXPECT_EQ(boxes.calls[0].title, "Lookup");

    help::HelpAkLink alink;
    alink.keywords = "Speaking";
    Show(BuiltHelpFile(), help::HH_ALINK_LOOKUP, alink);
    EXPECT_EQ(window->CurrentTopic(), "/speaking.htm");
}

TEST_F(ViewerTest, SearchAndIndexPanes)
{
    help::HelpFtsQuery query;
    query.searchQuery = "overwrite";
    HelpWindow *window = Show(BuiltHelpFile(), help::HH_DISPLAY_SEARCH, query);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->CurrentPane(), HelpWindow::Pane::Search);
    ASSERT_EQ(window->SearchResults()->count(), 1);
    EXPECT_EQ(window->SearchResults()->item(0)->text(), "Recording to a Wave File");
    Q_EMIT window->SearchResults()->itemActivated(window->SearchResults()->item(0));
    EXPECT_EQ(window->CurrentTopic(), "/recording.htm");

    Show(BuiltHelpFile(), help::HH_DISPLAY_INDEX, QString("tone"));
    EXPECT_EQ(window->CurrentPane(), HelpWindow::Pane::Index);
    ASSERT_NE(window->IndexList()->currentItem(), nullptr);
    EXPECT_EQ(window->IndexList()->currentItem()->text(), "Tone");
    // "Tone" lists two topics: the first is shown, the other offered.
    Q_EMIT window->IndexList()->itemActivated(window->IndexList()->currentItem());
    EXPECT_EQ(window->CurrentTopic(), "/speedtone.htm");
}

TEST_F(ViewerTest, TextPopupsFromTheHelpFileAndFromText)
{
    help::HelpPopup popup;
    popup.idString = 2;
    popup.pt = QPoint(100, 100);
    const std::uintptr_t fromFile =
        viewer.HtmlHelp(nullptr, BuiltHelpFile() + "::/popups.txt", help::HH_DISPLAY_TEXT_POPUP, popup);
    EXPECT_NE(fromFile, 0u);
    ASSERT_NE(viewer.Popup(), nullptr);
    EXPECT_TRUE(viewer.Popup()->Text().startsWith("SPEED sets the speaking rate"));

    popup.idString = 77;
    viewer.HtmlHelp(nullptr, BuiltHelpFile() + "::/popups.txt", help::HH_DISPLAY_TEXT_POPUP, popup);
    QTRY_VERIFY(viewer.Popup() != nullptr);
    EXPECT_EQ(viewer.Popup()->Text(), "No Help topic is associated with this item.");

    popup.text = "Literal";
    popup.clrForeground = 0x0000FF; // red
    popup.clrBackground = 0xFFFFFF;
    viewer.HtmlHelp(nullptr, QString(), help::HH_DISPLAY_TEXT_POPUP, popup);
    ASSERT_NE(viewer.Popup(), nullptr);
    EXPECT_EQ(viewer.Popup()->Text(), "Literal");
    EXPECT_EQ(viewer.Popup()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(ViewerTest, UnreadableFileIsReportedAndShowsNothing)
{
    const QString bad = MakeFile("Broken.chm", QByteArray(4096, '\x01'));
    EXPECT_EQ(viewer.HtmlHelp(nullptr, bad, help::HH_HELP_CONTEXT, std::uint32_t(1)), 0u);
    EXPECT_EQ(viewer.Window(), nullptr);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_TRUE(boxes.calls[0].text.contains("Broken.chm"));
}

TEST_F(ViewerTest, JumpUrlItemIsRemovedFromTheRightWindowOnly)
{
    Show(BuiltHelpFile(), help::HH_DISPLAY_TOPIC, {});
    EXPECT_FALSE(viewer.DeleteJumpUrlItem(handle + 1));
    EXPECT_TRUE(viewer.DeleteJumpUrlItem(handle));
    EXPECT_FALSE(viewer.DeleteJumpUrlItem(handle));
}

TEST(ViewerTarget, FileTopicAndWindowAreSplit)
{
    const auto t = ChmHelpViewer::ParseTarget("/a/b.chm::/popups.txt>Main");
    EXPECT_EQ(t.file, "/a/b.chm");
    EXPECT_EQ(t.topic, "/popups.txt");
    EXPECT_EQ(t.window, "Main");
    const auto plain = ChmHelpViewer::ParseTarget("/a/b.chm");
    EXPECT_EQ(plain.file, "/a/b.chm");
    EXPECT_TRUE(plain.topic.isEmpty() && plain.window.isEmpty());
}

TEST_F(ViewerTest, HowToUseFromTheMenuPathOpensTopicOne)
{
    // What the studio's "How to Use" item does, through the real viewer.
    help::HTMLHelp helpObject;
    helpObject.SetCHMFile(BuiltHelpFile());
    helpObject.SetHHTopicID(1);
    helpObject.SetHHWindow("Main");
    helpObject.HHDisplayTopicID();
    auto &real = static_cast<ChmHelpViewer &>(help::HelpViewer::Current());
    ASSERT_NE(real.Window(), nullptr);
    EXPECT_EQ(real.Window()->CurrentTopic(), "/howto.htm");
    EXPECT_EQ(helpObject.HHWndHandle(), std::uintptr_t(real.Window()->winId()));
    helpObject.HHClose();
    QTRY_VERIFY(real.Window() == nullptr);
    EXPECT_TRUE(boxes.calls.empty());
}

} // namespace
