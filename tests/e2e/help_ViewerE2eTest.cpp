// SPDX-License-Identifier: GPL-3.0-or-later
// The help viewer and the About window on a real X server: the studio's "How to Use" request
// opens the viewer's window, titled by the help file's "Main" window type, showing the How to
// Use topic with its picture read from inside the help file.
#include "E2eSupport.h"

#include "about/About.h"
#include "help/ChmBrowser.h"
#include "help/ChmHelpViewer.h"
#include "help/HTMLHelp.h"
#include "help/HelpWindow.h"
#include "platform/services/MessageBox.h"
#include "platform/services/Registry.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace
{

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool viewable = false;
};

Geometry WindowGeometry(const QString &windowId)
{
    Geometry g;
    const auto info = e2e::Run("xwininfo", {"-id", windowId}, 10000);
    const QString text = QString::fromUtf8(info.out);
    const auto number = [&](const char *label) {
        const QRegularExpression re(QString::fromLatin1(label) + ":\\s+(-?\\d+)");
        return re.match(text).captured(1).toInt();
    };
    g.x = number("Absolute upper-left X");
    g.y = number("Absolute upper-left Y");
    g.width = number("Width");
    g.height = number("Height");
    g.viewable = text.contains("Map State: IsViewable");
    return g;
}

// Window ids whose title is exactly `title`.
QStringList WindowsTitled(const QString &title)
{
    const auto found =
        e2e::Run("xdotool", {"search", "--name", "^" + QRegularExpression::escape(title) + "$"}, 10000);
    return QString::fromUtf8(found.out).split('\n', Qt::SkipEmptyParts);
}

// Pixels of one colour inside a rectangle of a root-window screenshot.
int CountColour(const QString &screenshot, const QRect &area, QRgb colour)
{
    const auto shot = e2e::Run("import", {"-window", "root", screenshot}, 20000);
    if (shot.exitCode != 0)
        return -1;
    const QImage image = QImage(screenshot).convertToFormat(QImage::Format_RGB32);
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return count;
}

class HelpOnTheDesktop : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!e2e::HaveDesktop())
            GTEST_SKIP() << "needs scripts/with-desktop";
        registry = std::make_unique<services::Registry>(dir.filePath("registry.ini"));
        services::Registry::SetCurrent(registry.get());
        services::MessageBox::SetCurrent(&boxes);
        QDir().mkpath(artifacts);
    }
    void TearDown() override
    {
        services::MessageBox::SetCurrent(nullptr);
        services::Registry::SetCurrent(nullptr);
    }

    QTemporaryDir dir;
    std::unique_ptr<services::Registry> registry;
    services::RecordingMessageBox boxes;
    const QString artifacts = QStringLiteral(ORVENA_BINARY_DIR "/e2e-artifacts");
};

TEST_F(HelpOnTheDesktop, HowToUseOpensInTheMainWindowWithItsPicture)
{
    help::HTMLHelp helpObject;
    helpObject.SetCHMFile(QStringLiteral(ORVENA_BINARY_DIR "/help/Orvena.chm"));
    helpObject.SetHHTopicID(1);
    helpObject.SetHHWindow("Main");
    helpObject.HHDisplayTopicID();
    ASSERT_TRUE(boxes.calls.empty()) << qPrintable(boxes.calls.front().text);

    auto &viewer = static_cast<help::ChmHelpViewer &>(help::HelpViewer::Current());
    QPointer<help::HelpWindow> window = viewer.Window();
    ASSERT_FALSE(window.isNull());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->CurrentTopic(), "/howto.htm");

    // The X server knows the window by the title of the "Main" window type, at its size.
    QStringList ids;
    QTRY_VERIFY_WITH_TIMEOUT(!(ids = WindowsTitled("Orvena STUDIO 4 Help")).isEmpty(), 10000);
    const QString id = ids.first();
    const auto name = e2e::Run("xdotool", {"getwindowname", id});
    EXPECT_EQ(QString::fromUtf8(name.out).trimmed(), "Orvena STUDIO 4 Help");
    const Geometry g = WindowGeometry(id);
    EXPECT_TRUE(g.viewable);
    EXPECT_EQ(g.width, 840);
    EXPECT_EQ(g.height, 600);

    // The topic's picture (the level display on its amber ground, read from inside the help
    // file) is on the screen inside the window.
    const QString screenshot = artifacts + "/help-viewer.png";
    const QRect area(g.x, g.y, g.width, g.height);
    int amber = 0;
    QTRY_VERIFY_WITH_TIMEOUT((amber = CountColour(screenshot, area, qRgb(0xEC, 0xB0, 0x60))) > 2000, 15000);

    helpObject.HHClose();
    QTRY_VERIFY(window.isNull());
    QTRY_VERIFY_WITH_TIMEOUT(WindowsTitled("Orvena STUDIO 4 Help").isEmpty(), 10000);
}

TEST_F(HelpOnTheDesktop, AboutWindowShowsWithItsCaption)
{
    QPointer<about::About> window = new about::About;
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QStringList ids;
    QTRY_VERIFY_WITH_TIMEOUT(!(ids = WindowsTitled("  About Orvena STUDIO 4.0")).isEmpty(), 10000);
    const Geometry g = WindowGeometry(ids.first());
    EXPECT_TRUE(g.viewable);
    // The picture's plum panel is on the screen.
    QTRY_VERIFY_WITH_TIMEOUT(CountColour(artifacts + "/about.png", QRect(g.x, g.y, g.width, g.height),
                                         qRgb(0x9c, 0x57, 0x50)) > 1000,
                             15000);
    window->close();
    QTRY_VERIFY(window.isNull());
}

} // namespace
