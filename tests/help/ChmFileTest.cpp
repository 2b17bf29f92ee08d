// SPDX-License-Identifier: GPL-3.0-or-later
// The CHM reader on the help file the build compiled, on damaged files, and the pieces that read
// the contents, index, search and popup data of a help file.
#include "HelpTestSupport.h"

#include "help/ChmFile.h"
#include "help/FullTextSearch.h"
#include "help/Sitemap.h"
#include "help/TextPopup.h"

namespace
{

using help::ChmFile;

class BuiltHelp : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(chm.Open(BuiltHelpFile())) << qPrintable(BuiltHelpFile()); }
    ChmFile chm;
};

TEST_F(BuiltHelp, ListsItsTopicsAndMapsContextOneToHowToUse)
{
    const QStringList topics = chm.Topics();
    EXPECT_EQ(topics.size(), 10);
    for (const char *page : {"/howto.htm", "/voices.htm", "/recording.htm", "/cmdline.htm"})
        EXPECT_TRUE(topics.contains(page)) << page;
    EXPECT_TRUE(chm.Objects().contains("/images/levels.gif"));

    EXPECT_EQ(chm.TopicForContext(1), "/howto.htm");
    EXPECT_EQ(chm.TopicTitle(chm.TopicForContext(1)), "How to Use");
    EXPECT_EQ(chm.ContextMap().size(), 10u);
    EXPECT_EQ(chm.TopicForContext(10), "/cmdline.htm");
    EXPECT_TRUE(chm.TopicForContext(11).isEmpty());
}

TEST_F(BuiltHelp, CarriesTheMainWindowTypeAndDefaults)
{
    EXPECT_EQ(chm.System().title, "Orvena STUDIO 4 Help");
    EXPECT_EQ(chm.System().defaultWindow, "Main");
    EXPECT_EQ(chm.ResolvePath(chm.System().defaultTopic), "/howto.htm");
    const auto main = chm.WindowType("main");
    ASSERT_TRUE(main.has_value());
    EXPECT_EQ(main->name, "Main");
    EXPECT_EQ(main->caption, "Orvena STUDIO 4 Help");
    EXPECT_EQ(main->position, QRect(60, 40, 840, 600));
    EXPECT_EQ(main->navigationWidth, 220);
    EXPECT_EQ(main->contentsFile, "Orvena.hhc");
    EXPECT_EQ(main->indexFile, "Orvena.hhk");
    EXPECT_FALSE(chm.WindowType("Other").has_value());
}

TEST_F(BuiltHelp, HoldsNoPathOfTheMachineItWasBuiltOn)
{
    for (const QString &object : chm.Objects()) {
        const auto data = chm.Read(object);
        ASSERT_TRUE(data.has_value()) << qPrintable(object);
        EXPECT_FALSE(data->contains(ORVENA_BINARY_DIR)) << qPrintable(object);
        EXPECT_FALSE(data->contains(ORVENA_SOURCE_DIR)) << qPrintable(object);
    }
    QFile raw(BuiltHelpFile());
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_FALSE(raw.readAll().contains(ORVENA_BINARY_DIR));
}

TEST_F(BuiltHelp, ResolvesReferencesByTheirPathInsideTheFile)
{
    EXPECT_EQ(chm.ResolvePath("howto.htm"), "/howto.htm");
    EXPECT_EQ(chm.ResolvePath("/HOWTO.HTM"), "/howto.htm");
    EXPECT_EQ(chm.ResolvePath("ms-its:Other.chm::/voices.htm#top"), "/voices.htm");
    EXPECT_EQ(chm.ResolvePath("/home/someone/help/src/voices.htm"), "/voices.htm");
    EXPECT_EQ(chm.ResolvePath("images/../howto.htm?x=1"), "/howto.htm");
    EXPECT_EQ(chm.ResolvePath("C:\\Help\\images\\levels.gif"), "/images/levels.gif");
    EXPECT_TRUE(chm.ResolvePath("missing.htm").isEmpty());
    EXPECT_TRUE(chm.ResolvePath("").isEmpty());
}

TEST(ChmFileDamage, MissingEmptyGarbageAndTruncatedFilesFailCleanly)
{
    QTemporaryDir dir;
    ChmFile chm;
    EXPECT_FALSE(chm.Open(dir.filePath("none.chm")));

    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    EXPECT_FALSE(chm.Open(write("empty.chm", {})));
    EXPECT_FALSE(chm.Open(write("garbage.chm", QByteArray(5000, '\x5a'))));

    QFile built(BuiltHelpFile());
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    const QByteArray whole = built.readAll();
    for (const qsizetype keep : {qsizetype(96), qsizetype(1024), whole.size() / 2, whole.size() - 200}) {
        ChmFile cut;
        if (cut.Open(write("cut.chm", whole.left(keep)))) {
            // Whatever opens must read or refuse each object without crashing.
            for (const QString &object : cut.Objects())
                (void)cut.Read(object);
            (void)cut.TopicForContext(1);
        }
    }
}

TEST(Sitemap, ReadsNestedContentsAndMultiTopicKeywords)
{
    const QByteArray html = R"(<ul>
      <li><object type="text/sitemap"><param name="Name" value="Top &amp; Tail"><param name="Local" value="a.htm"></object>
      <ul>
        <li><OBJECT TYPE='text/sitemap'><PARAM NAME=Name VALUE=Child><PARAM NAME=Local VALUE=b.htm></OBJECT>
      </ul>
      <li><object type="text/sitemap"><param name="Name" value="Key"><param name="Name" value="First"><param name="Local" value="c.htm"><param name="Name" value="Second"><param name="Local" value="d.htm"></object>
      <li><object type="text/site properties"><param name="Name" value="ignored"></object>
    </ul>)";
    const auto tree = help::Sitemap::Parse(html);
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].name, "Top & Tail");
    ASSERT_EQ(tree[0].children.size(), 1u);
    EXPECT_EQ(tree[0].children[0].name, "Child");
    EXPECT_EQ(tree[0].children[0].links.front().second, "b.htm");
    ASSERT_EQ(tree[1].links.size(), 2u);
    EXPECT_EQ(tree[1].links[0], std::make_pair(QString("First"), QString("c.htm")));
    EXPECT_EQ(tree[1].links[1], std::make_pair(QString("Second"), QString("d.htm")));
    EXPECT_EQ(help::Sitemap::Flatten(tree).size(), 3u);
}

TEST(Sitemap, DeepOrBrokenNestingStaysBounded)
{
    QByteArray html = "<ul>";
    for (int i = 0; i < 5000; ++i)
        html += "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"n\"></object><ul>";
    const auto tree = help::Sitemap::Parse(html);
    int deepest = 0;
    for (const auto &[entry, depth] : help::Sitemap::Flatten(tree))
        deepest = std::max(deepest, depth);
    EXPECT_LE(deepest, help::Sitemap::MaxDepth);
    EXPECT_EQ(help::Sitemap::Flatten(tree).size(), 5000u);
    EXPECT_TRUE(help::Sitemap::Parse("</ul></ul><object type=\"text/sitemap\">").empty());
}

TEST(Sitemap, HostileNestingAndUnclosedTagsAreReadInOnePass)
{
    // 100,000 nested lists: one level per <ul>, none of them costs a level of recursion.
    QByteArray deep = "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"top\"></object>";
    for (int i = 0; i < 100000; ++i)
        deep += "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"n\"></object>";
    const auto tree = help::Sitemap::Parse(deep);
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_EQ(help::Sitemap::Flatten(tree).size(), 100001u);

    // A megabyte of tags that never close: every '<' used to rescan the rest of the text.
    QByteArray unclosed;
    for (int i = 0; i < 350000; ++i)
        unclosed += "<ul";
    EXPECT_TRUE(help::Sitemap::Parse(unclosed).empty());
    // A '<' that starts no tag is passed over; the tag after it is read.
    EXPECT_EQ(
        help::Sitemap::Parse("< <1 <object type=\"text/sitemap\"><param name=Name value=x></object>").size(),
        1u);
}

TEST_F(BuiltHelp, FullTextSearchFindsPagesHoldingEveryWord)
{
    help::FullTextSearch search;
    search.Build(chm);
    const auto hits = search.Search("wave FILE");
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits.front().path, "/recording.htm");
    for (const auto &hit : hits)
        EXPECT_NE(hit.path, "/keyboard.htm");
    EXPECT_TRUE(search.Search("xylophone").empty());
    EXPECT_TRUE(search.Search("  ,; ").empty());
    const auto titles = search.Search("keyboard", true);
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles.front().title, "Using the Keyboard");
}

TEST(TextPopupSource, FindsTopicsAndReadsFontSpecifications)
{
    const QString file = "; comment\n.topic 1\nOne line.\n.topic 0x2\r\nTwo\r\nlines.\r\n.topic 3\n";
    EXPECT_EQ(help::TextPopup::FindTopic(file, 1), QString("One line."));
    EXPECT_EQ(help::TextPopup::FindTopic(file, 2), QString("Two\nlines."));
    EXPECT_EQ(help::TextPopup::FindTopic(file, 3), QString(""));
    EXPECT_FALSE(help::TextPopup::FindTopic(file, 4).has_value());

    const QFont plain = help::TextPopup::ParseFont("Arial, 10, ascii, ");
    EXPECT_EQ(plain.family(), "Arial");
    EXPECT_EQ(plain.pointSizeF(), 10.0);
    EXPECT_FALSE(plain.bold() || plain.italic() || plain.underline());
    const QFont styled = help::TextPopup::ParseFont("Courier New, 14, ascii, Bold Italic Underline");
    EXPECT_EQ(styled.pointSizeF(), 14.0);
    EXPECT_TRUE(styled.bold() && styled.italic() && styled.underline());
    EXPECT_EQ(help::TextPopup::ParseFont(", huge").pointSizeF(), 10.0);
}

} // namespace
