// SPDX-License-Identifier: GPL-3.0-or-later
// The About window and the GIF writer behind its picture.
#include "about/About.h"

#include "AboutPicture.h"
#include "GifWriter.h"
#include "platform/services/MessageBox.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <QLabel>
#include <QPointer>
#include <QRandomGenerator>
#include <QTest>
#include <QUrl>

namespace
{

using about::About;

QImage DecodeGif(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

void ExpectSamePixels(const QImage &expected, const QImage &actual)
{
    ASSERT_EQ(actual.size(), expected.size());
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < e.height(); ++y) {
        for (int x = 0; x < e.width(); ++x) {
            ASSERT_EQ(actual.pixel(x, y) | 0xFF000000u, e.pixel(x, y) | 0xFF000000u) << x << "," << y;
        }
    }
}

TEST(GifWriter, RoundTripsThroughQtsReaderExactly)
{
    // Small, single colour, and a noisy image large enough to fill the code table and reset it
    // several times with codes of every width.
    QImage single(1, 1, QImage::Format_RGB32);
    single.fill(QColor(10, 20, 30));
    QImage noisy(300, 211, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < noisy.height(); ++y)
        for (int x = 0; x < noisy.width(); ++x)
            noisy.setPixel(x, y, qRgb(int(random.bounded(200)), 40, 0));
    QImage stripes(257, 3, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x)
        for (int y = 0; y < 3; ++y)
            stripes.setPixel(x, y, qRgb(x % 3 * 100, y * 50, 7));

    for (const QImage &image : {single, noisy, stripes, tools::AboutPicture::Draw()}) {
        const auto gif = tools::GifWriter::Encode(image);
        ASSERT_TRUE(gif.has_value());
        EXPECT_TRUE(gif->startsWith("GIF89a"));
        ExpectSamePixels(image, DecodeGif(*gif));
    }
}

TEST(GifWriter, RefusesImagesItCannotHold)
{
    EXPECT_FALSE(tools::GifWriter::Encode(QImage()).has_value());
    QImage many(300, 1, QImage::Format_RGB32);
    for (int x = 0; x < 300; ++x)
        many.setPixel(x, 0, qRgb(x & 0xFF, x >> 8, 0));
    EXPECT_FALSE(tools::GifWriter::Encode(many).has_value());
}

class AboutTest : public ::testing::Test
{
  protected:
    void SetUp() override { services::MessageBox::SetCurrent(&boxes); }
    void TearDown() override
    {
        About::SetOpener(nullptr);
        services::MessageBox::SetCurrent(nullptr);
    }
    services::RecordingMessageBox boxes;
};

TEST_F(AboutTest, ShowsCaptionTitleAddressAndTheEmbeddedPicture)
{
    auto *window = new About;
    window->show();
    EXPECT_EQ(window->windowTitle(), "  About Orvena STUDIO 4.0");
    EXPECT_FALSE(window->isModal());
    EXPECT_TRUE(window->Label1()->text().startsWith(" Orvena STUDIO 4.0"));
    EXPECT_EQ(window->Label4()->text(), About::WebAddress);
    EXPECT_EQ(window->Label4()->palette().color(QPalette::WindowText), QColor(0xFF, 0xFF, 0xC0));

    // The picture is a GIF inside the program, the one the build drew.
    QImageReader reader(About::PictureResource);
    EXPECT_EQ(reader.format(), "gif");
    const QImage picture = reader.read();
    ExpectSamePixels(tools::AboutPicture::Draw(), picture.convertToFormat(QImage::Format_RGB32));
    ASSERT_FALSE(window->Image1()->pixmap().isNull());
    EXPECT_EQ(window->Image1()->pixmap().size(), picture.size());
    window->close();
}

TEST_F(AboutTest, AddressClickOpensTheMakersSiteAndAFailureIsSaid)
{
    std::vector<QUrl> opened;
    bool succeed = true;
    About::SetOpener([&](const QUrl &url) {
        opened.push_back(url);
        return succeed;
    });
    QPointer<About> window = new About;
    window->show();
    QTest::mouseClick(window->Label4(), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(About::WebAddress));
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_FALSE(window.isNull()); // the address click does not close the window

    succeed = false;
    QTest::mouseClick(window->Label4(), Qt::LeftButton);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text,
              QString("No web browser could be started to open %1.").arg(About::WebAddress));
    window->close();
}

TEST_F(AboutTest, ClickOnTheWindowUnloadsIt)
{
    QPointer<About> window = new About;
    window->show();
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(300, 190));
    QTRY_VERIFY(window.isNull());

    QPointer<About> again = new About;
    again->show();
    QTest::keyClick(again, Qt::Key_Escape);
    QTRY_VERIFY(again.isNull());
}

} // namespace
