// SPDX-License-Identifier: GPL-3.0-or-later
#include "MultiButtonTestSupport.h"

#include "platform/ui/ManualClock.h"
#include "platform/ui/Timer.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace multibutton
{
namespace
{

using test::BackPixel;
using test::Host;

// A 100-pixel-wide button, style 4 (only an outer ring), red to blue.
zqButtons_H *GradientButton(Host &host, int mode)
{
    zqButtons_H *button = host.Add(100, 30);
    button->DelayDrawing(true);
    button->SetButtonStyle(4);
    button->SetCaption(QString());
    button->SetBackColor(0x0000FF);
    button->SetGradientColor(0xFF0000);
    button->SetGradientMode(mode);
    button->DelayDrawing(false);
    return button;
}

TEST(MultiButtonDrawing, GradientModeOneRunsRedToBlueColumnByColumn)
{
    Host host;
    zqButtons_H *button = GradientButton(host, 1);
    const auto table = zqButtons_H::GradientTable(0x0000FF, 0xFF0000, 100); // 1-pixel bands
    for (int x = 1; x < 99; ++x) {
        const gdi::Colour c = BackPixel(*button, x, 15);
        EXPECT_EQ(c, table[std::size_t(x)]) << x;
        EXPECT_EQ(gdi::GetGValue(c), 0);
    }
    EXPECT_GT(gdi::GetRValue(BackPixel(*button, 1, 15)), gdi::GetRValue(BackPixel(*button, 50, 15)));
    EXPECT_LT(gdi::GetBValue(BackPixel(*button, 1, 15)), gdi::GetBValue(BackPixel(*button, 50, 15)));
}

TEST(MultiButtonDrawing, GradientModeTwoStartsWithTheSecondColour)
{
    Host host;
    zqButtons_H *button = GradientButton(host, 2);
    const auto table = zqButtons_H::GradientTable(0x0000FF, 0xFF0000, 100);
    for (int x = 1; x < 99; ++x)
        EXPECT_EQ(BackPixel(*button, x, 15), table[std::size_t(99 - x)]) << x;
}

TEST(MultiButtonRegion, SlantWidensNarrowButton)
{
    Host host;
    zqButtons_H *button = host.Add(22, 20);
    button->SetButtonShape(1);
    EXPECT_EQ(button->width(), 27); // 22 - 21 = 1 is not above 4; 27 - 21 = 6 is
    EXPECT_EQ(button->LeftSlantInset(), 21);
    EXPECT_EQ(button->RightSlantEdge(), 27);

    // Shape 3: a parallelogram from 0 to W - slant + 1 at the top and slant to W + 1 below.
    zqButtons_H *both = host.Add(60, 20);
    both->SetButtonShape(3);
    EXPECT_EQ(both->width(), 60);
    EXPECT_EQ(both->RightSlantEdge(), 60 - 21);
    const gdi::Region &r = both->WindowRegion();
    EXPECT_TRUE(r.Contains(1, 0));
    EXPECT_FALSE(r.Contains(45, 0));
    EXPECT_FALSE(r.Contains(5, 19));
    EXPECT_TRUE(r.Contains(58, 19));
}

TEST(MultiButtonRegion, StyleThreeCornersOnlyWhileEnabled)
{
    Host host;
    zqButtons_H *button = host.Add(40, 20);
    button->SetButtonStyle(3);
    const gdi::Region &r = button->WindowRegion();
    EXPECT_FALSE(r.Contains(0, 19));
    EXPECT_FALSE(r.Contains(39, 0));
    EXPECT_TRUE(r.Contains(0, 0));
    EXPECT_TRUE(r.Contains(39, 19));
    button->SetEnabled(false);
    EXPECT_TRUE(button->WindowRegion().Contains(0, 19));
    EXPECT_TRUE(button->WindowRegion().Contains(39, 0));
    button->SetEnabled(true);
    EXPECT_FALSE(button->WindowRegion().Contains(0, 19));
}

TEST(MultiButtonRegion, CustomShapeHolesWithinThreeOfTheCornerColour)
{
    Host host;
    QImage picture = test::Square(64, qRgb(255, 0, 255));
    for (int y = 16; y < 48; ++y)
        for (int x = 16; x < 48; ++x)
            picture.setPixel(x, y, qRgb(10, 120, 30));
    picture.setPixel(5, 5, qRgb(252, 3, 255)); // within 3: a hole
    for (int y = 16; y < 48; ++y)
        picture.setPixel(15, y, qRgb(251, 0, 255)); // 4 away in red: opaque
    zqButtons_H *button = host.Add(64, 64);
    button->SetPicture(ui::Picture::FromBitmap(picture));
    button->SetButtonShape(7);
    ASSERT_EQ(button->ButtonShape(), 7);
    const gdi::Region &region = button->WindowRegion();
    EXPECT_FALSE(region.Contains(0, 0));
    EXPECT_FALSE(region.Contains(5, 5));
    EXPECT_TRUE(region.Contains(15, 20));
    EXPECT_FALSE(region.Contains(14, 20));
    EXPECT_TRUE(region.Contains(16, 16));
    EXPECT_TRUE(region.Contains(47, 47));
    EXPECT_FALSE(region.Contains(48, 48));
    // The inner regions keep 1 and 2 pixels away from every hole.
    EXPECT_FALSE(button->InnerRegion1().Contains(15, 20));
    EXPECT_FALSE(button->InnerRegion1().Contains(16, 16));
    EXPECT_TRUE(button->InnerRegion1().Contains(16, 17));
    EXPECT_FALSE(button->InnerRegion2().Contains(16, 17));
    EXPECT_TRUE(button->InnerRegion2().Contains(17, 18));
    EXPECT_FALSE(button->InnerRegion1().Contains(47, 47));
    EXPECT_TRUE(button->InnerRegion1().Contains(46, 46));
    // The near-transparent pixel now holds the exact transparent colour.
    EXPECT_EQ(button->CustomShapeBitmap().Image().pixel(5, 5) | 0xFF000000u, qRgb(255, 0, 255));
}

TEST(MultiButtonRegion, CustomShapeFitsThePictureProportions)
{
    Host host;
    zqButtons_H *button = host.Add(100, 40);
    button->SetPicture(ui::Picture::FromBitmap(QImage(64, 32, QImage::Format_RGB32)));
    button->SetButtonShape(8);
    EXPECT_EQ(button->size(), QSize(80, 40));
    EXPECT_EQ(zqButtons_H::FitPictureSize(64, 64, 39, 29), QSize(29, 29));
}

TEST(MultiButtonDrawing, OvalShowsNoCaptionUnlessChecked)
{
    Host host;
    const auto render = [&host](const QString &caption, bool value) {
        zqButtons_H *button = host.Add(60, 30);
        button->DelayDrawing(true);
        button->SetMode(zqButtons_H::CheckMode);
        button->SetForeColor(0x000000);
        button->SetBackColor(0xFFFFFF);
        button->SetCaption(caption);
        button->SetValue(value);
        button->DelayDrawing(false);
        button->SetButtonShape(5);
        return button->BackBuffer().Image();
    };
    EXPECT_EQ(render(QStringLiteral("WWWW"), false), render(QString(), false));
    EXPECT_NE(render(QStringLiteral("WWWW"), true), render(QString(), true));
}

TEST(MultiButtonDrawing, CaptionLineBreakAndOneCopyPerRedraw)
{
    Host host;
    zqButtons_H *button = host.Add(120, 60);
    button->SetCaption(QStringLiteral("One"));
    const int oneLine = button->CaptionRect().Height();
    button->SetCaption(QStringLiteral("One||Two"));
    EXPECT_GE(button->CaptionRect().Height(), 2 * oneLine - 1);
    const int copies = button->Copies();
    button->RedrawButton();
    EXPECT_EQ(button->Copies(), copies + 1);
    button->DelayDrawing(true);
    button->SetBackColor(0x00FF00);
    button->SetCaption(QStringLiteral("Three"));
    button->SetButtonStyle(2);
    EXPECT_EQ(button->Copies(), copies + 1);
    button->DelayDrawing(false);
    EXPECT_EQ(button->Copies(), copies + 2);
    // A ForeColor write ends any deferral and draws at once.
    button->DelayDrawing(true);
    button->SetForeColor(0x0000FF);
    EXPECT_EQ(button->Copies(), copies + 3);
}

TEST(MultiButtonDrawing, StylePixels)
{
    Host host;
    zqButtons_H *button = host.Add(40, 20);
    button->SetCaption(QString());
    button->SetBackColor(0xC0C0C0);
    button->SetButtonStyle(1);
    EXPECT_EQ(BackPixel(*button, 0, 10), 0x000000u);  // outer ring black
    EXPECT_EQ(BackPixel(*button, 1, 10), 0xFFFFFFu);  // middle left white
    EXPECT_EQ(BackPixel(*button, 38, 10), 0x808080u); // middle right grey
    EXPECT_EQ(BackPixel(*button, 20, 10), 0xC0C0C0u); // face
    button->SetButtonStyle(7);
    EXPECT_EQ(BackPixel(*button, 1, 1), 0x000000u);
    EXPECT_EQ(BackPixel(*button, 3, 3), 0xFFFFFFu);
    EXPECT_EQ(BackPixel(*button, 20, 10), zqButtons_H::ShadeColor(0xC0C0C0, 31));
    button->SetButtonStyle(3);
    EXPECT_EQ(BackPixel(*button, 0, 10), 0x666666u);
    EXPECT_EQ(BackPixel(*button, 39, 10), 0xFFFFFFu);
    button->SetMode(zqButtons_H::CheckMode);
    button->SetValue(true);
    EXPECT_EQ(BackPixel(*button, 20, 10), 0xABABABu); // checked face of this look
}

TEST(MultiButtonDrawing, DisabledPictureTurnsBlackToGrey)
{
    Host host;
    QImage picture = test::Square(16, qRgb(255, 255, 255));
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 0));
    zqButtons_H *button = host.Add(60, 40);
    button->SetCaption(QString());
    button->SetBackColor(0x00C000);
    button->SetPicture(ui::Picture::FromBitmap(picture));
    button->SetPictureAlign(4);
    const gdi::Rect r = button->PictureRect();
    EXPECT_EQ(BackPixel(*button, r.left + 8, r.top + 8), 0x000000u);
    EXPECT_EQ(BackPixel(*button, r.left + 1, r.top + 1), 0x00C000u); // transparent corner colour
    button->SetEnabled(false);
    EXPECT_EQ(BackPixel(*button, r.left + 8, r.top + 8), 0x808080u);
    EXPECT_EQ(BackPixel(*button, r.left + 1, r.top + 1), 0x00C000u);
}

TEST(MultiButtonDrawing, DrawEverything)
{
    const test::ManualTime time;
    Host host;
    host.Show();
    int drawn = 0;
    for (const test::Look &look : test::EveryLook()) {
        zqButtons_H *button = test::DrawLook(host, look, QStringLiteral("A&b||c"));
        ASSERT_FALSE(button->Surface().isNull());
        ++drawn;
        delete button;
    }
    EXPECT_EQ(drawn, 8 * 9 * 3 * 6);
}

} // namespace
} // namespace multibutton
