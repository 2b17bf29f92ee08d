// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/PropertyBag.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

using ui::Picture;
using ui::PropertyBag;
using ui::StdFont;

namespace
{
QImage Sample(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, x == 0 ? qRgba(0, 0, 0, 0) : qRgba(x * 40, y * 40, 200, 255));
    return image;
}
} // namespace

TEST(PropertyBag, everyValueTypeSurvivesJsonTextInWriteOrder)
{
    StdFont font;
    font.Name = QStringLiteral("Arial");
    font.Size = 12.5;
    font.Bold = true;
    font.Strikethrough = true;
    font.Charset = 2;
    const Picture bitmap = Picture::FromBitmap(Sample(3, 2).convertToFormat(QImage::Format_RGB32));
    const Picture icon = Picture::FromIcon(Sample(4, 4));
    PropertyBag child;
    child.WriteProperty(QStringLiteral("Name"), QStringLiteral("cmdOK"));

    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Value"), 42, 0);
    bag.WriteProperty(QStringLiteral("Caption"), QStringLiteral("Speak"), QString());
    bag.WriteProperty(QStringLiteral("BackColor"), std::uint32_t(0x8000000F), std::uint32_t(0));
    bag.WriteProperty(QStringLiteral("Visible"), false, true);
    bag.WriteProperty(QStringLiteral("Ratio"), 0.25, 1.0);
    bag.WriteProperty(QStringLiteral("Items"), QStringList{QStringLiteral("a"), QStringLiteral("b")},
                      QStringList());
    bag.WriteProperty(QStringLiteral("Font"), font, StdFont());
    bag.WriteProperty(QStringLiteral("Picture"), bitmap, Picture());
    bag.WriteProperty(QStringLiteral("MouseIcon"), icon, Picture());
    bag.WriteProperty(QStringLiteral("Child"), child);
    bag.WriteProperty(QStringLiteral("Controls"), std::vector<PropertyBag>{child, PropertyBag()});

    const auto back = PropertyBag::FromJsonText(bag.ToJsonText());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->Keys(), bag.Keys());
    EXPECT_EQ(back->ReadProperty(QStringLiteral("Value"), 0), 42);
    EXPECT_EQ(back->ReadProperty(QStringLiteral("Caption"), ""), QStringLiteral("Speak"));
    EXPECT_EQ(back->ReadProperty(QStringLiteral("BackColor"), std::uint32_t(0)), 0x8000000Fu);
    EXPECT_FALSE(back->ReadProperty(QStringLiteral("Visible"), true));
    EXPECT_EQ(back->ReadProperty(QStringLiteral("Ratio"), 1.0), 0.25);
    EXPECT_EQ(back->ReadProperty(QStringLiteral("Items"), QStringList()).size(), 2);
    EXPECT_EQ(back->ReadProperty(QStringLiteral("Font"), StdFont()), font);
    const Picture bitmapBack = back->ReadProperty(QStringLiteral("Picture"), Picture());
    EXPECT_EQ(bitmapBack.Type(), Picture::Bitmap);
    EXPECT_EQ(bitmapBack.Image().convertToFormat(QImage::Format_RGB32), bitmap.Image());
    const Picture iconBack = back->ReadProperty(QStringLiteral("MouseIcon"), Picture());
    EXPECT_EQ(iconBack.Type(), Picture::Icon);
    EXPECT_EQ(iconBack.Image().convertToFormat(QImage::Format_ARGB32), icon.Image());
    EXPECT_EQ(
        back->ReadProperty(QStringLiteral("Child"), PropertyBag()).ReadProperty(QStringLiteral("Name"), ""),
        QStringLiteral("cmdOK"));
    EXPECT_EQ(back->ReadProperty(QStringLiteral("Controls"), std::vector<PropertyBag>()).size(), 2u);
}

TEST(PropertyBag, defaultsAreOmittedAndReplaceEarlierValues)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Min"), 0, 0);
    bag.WriteProperty(QStringLiteral("Max"), 100, 100);
    bag.WriteProperty(QStringLiteral("Font"), StdFont(), StdFont());
    bag.WriteProperty(QStringLiteral("Picture"), Picture(), Picture());
    EXPECT_TRUE(bag.IsEmpty());
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("Max"), 100), 100);

    bag.WriteProperty(QStringLiteral("Value"), 5, 0);
    bag.WriteProperty(QStringLiteral("Value"), 0, 0);
    EXPECT_FALSE(bag.Contains(QStringLiteral("Value")));
}

TEST(PropertyBag, caseInsensitiveBagsKeepTheFirstSpelling)
{
    PropertyBag bag(true);
    bag.WriteProperty(QStringLiteral("ForeColor"), std::uint32_t(0xFF), std::uint32_t(0));
    bag.WriteProperty(QStringLiteral("FORECOLOR"), std::uint32_t(0xFF00), std::uint32_t(0));
    EXPECT_EQ(bag.Keys(), QStringList{QStringLiteral("ForeColor")});
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("forecolor"), std::uint32_t(0)), 0xFF00u);

    PropertyBag exact;
    exact.WriteProperty(QStringLiteral("ForeColor"), 1);
    EXPECT_EQ(exact.ReadProperty(QStringLiteral("forecolor"), 7), 7);
}

TEST(PropertyBag, malformedValuesReadAsTheDefault)
{
    const QByteArray text = R"([
        ["Int", "twelve"], ["Big", 1e12], ["Frac", 1.5], ["Hex", "&HFF&"], ["BadHex", "&H-1"],
        ["Colour", -2147483633], ["Text", 12], ["Flag", "yes"], ["Num", null],
        ["Font", {"Name": "", "Size": 8}], ["Font2", {"Name": "Arial", "Size": -3}], ["Font3", "Arial"],
        ["Pic", {"Type": "Bitmap", "Data": "!!!not base64"}], ["Pic2", {"Type": "Bitmap", "Data": "AAAA"}],
        ["Pic3", {"Type": "Metaphor", "Data": ""}], ["List", ["a", 3]], ["Child", 4],
        "stray", [1, 2], ["onlykey"]
    ])";
    const auto bag = PropertyBag::FromJsonText(text);
    ASSERT_TRUE(bag.has_value());
    EXPECT_EQ(bag->ReadProperty(QStringLiteral("Int"), 3), 3);
    EXPECT_EQ(bag->ReadProperty(QStringLiteral("Big"), 3), 3);
    EXPECT_EQ(bag->ReadProperty(QStringLiteral("Frac"), 3), 3);
    EXPECT_EQ(bag->ReadProperty(QStringLiteral("Hex"), 3), 255);
    EXPECT_EQ(bag->ReadProperty(QStringLiteral("BadHex"), 3), 3);
    EXPECT_EQ(bag->ReadProperty(QStringLiteral("Colour"), std::uint32_t(0)), 0x8000000Fu);
    EXPECT_EQ(bag->ReadProperty(QStringLiteral("Text"), "d"), QStringLiteral("d"));
    EXPECT_TRUE(bag->ReadProperty(QStringLiteral("Flag"), true));
    EXPECT_EQ(bag->ReadProperty(QStringLiteral("Num"), 2.5), 2.5);
    StdFont fallback;
    fallback.Name = QStringLiteral("Fallback");
    for (const char *key : {"Font", "Font2", "Font3"})
        EXPECT_EQ(bag->ReadProperty(QString::fromLatin1(key), fallback), fallback) << key;
    for (const char *key : {"Pic", "Pic2", "Pic3"})
        EXPECT_TRUE(bag->ReadProperty(QString::fromLatin1(key), Picture()).IsNull()) << key;
    EXPECT_TRUE(bag->ReadProperty(QStringLiteral("List"), QStringList()).isEmpty());
    EXPECT_TRUE(bag->ReadProperty(QStringLiteral("Child"), PropertyBag()).IsEmpty());
    EXPECT_EQ(bag->Keys().size(), 17);
}

TEST(PropertyBag, unreadableTextAndFilesAreReported)
{
    QString error;
    EXPECT_FALSE(PropertyBag::FromJsonText("[[\"a\", 1", false, &error).has_value());
    EXPECT_FALSE(error.isEmpty());

    QTemporaryDir dir;
    error.clear();
    EXPECT_FALSE(PropertyBag::Load(dir.filePath(QStringLiteral("missing.json")), false, &error).has_value());
    EXPECT_FALSE(error.isEmpty());

    // A plain object is accepted too (a hand-written file).
    QFile f(dir.filePath(QStringLiteral("form.json")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"({"Caption": "Main", "Width": 9000})");
    f.close();
    const auto bag = PropertyBag::Load(f.fileName());
    ASSERT_TRUE(bag.has_value());
    EXPECT_EQ(bag->ReadProperty(QStringLiteral("Width"), 0), 9000);
}
