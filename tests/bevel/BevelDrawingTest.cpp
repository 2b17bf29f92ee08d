// SPDX-License-Identifier: GPL-3.0-or-later
#include "bevel/bvlBUTTON.h"
#include "bevel/mdlSHPCLR.h"

#include "BevelTestSupport.h"
#include "platform/ui/ManualClock.h"
#include "platform/ui/Timer.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace bevel;
using namespace bevel::test;

namespace
{

gdi::Colour At(const QImage &image, int x, int y)
{
    return gdi::FromQRgb(image.pixel(x, y));
}

bool Contains(const QImage &image, const QRect &area, gdi::Colour colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (At(image, x, y) == colour)
                return true;
    return false;
}

class BevelDrawing : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ui::Timer::SetDefaultClock(&clock);
        window = std::make_unique<QWidget>();
        window->setGeometry(50, 50, 300, 200);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        CursorAway(window.get());
    }
    void TearDown() override
    {
        window.reset();
        ui::Timer::SetDefaultClock(nullptr);
    }
    bvlBUTTON *Make(QSize size, int appearance = 2)
    {
        auto *button = new bvlBUTTON(window.get());
        button->setGeometry(QRect(QPoint(10, 10), size));
        button->InitNew();
        button->SetAppearance(appearance);
        button->SetCaption(QString());
        button->SetBackColour(0xE0E0E0);
        button->show();
        return button;
    }
    // A picture of solid `colour` with its first pixel in the transparent colour.
    static ui::Picture Solid(QSize size, QColor colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        image.setPixel(0, 0, qRgb(0xC0, 0xC0, 0xC0));
        return ui::Picture::FromBitmap(image);
    }
    ui::ManualClock clock;
    std::unique_ptr<QWidget> window;
};

} // namespace

TEST_F(BevelDrawing, outlinesFollowTheAppearance)
{
    bvlBUTTON *circle = Make(QSize(80, 40), 1);
    EXPECT_EQ(circle->size(), QSize(80, 80));
    ASSERT_TRUE(circle->Outline());
    EXPECT_EQ(*circle->Outline(), gdi::CreateEllipticRgn(0, 0, 81, 81));
    EXPECT_EQ(circle->mask(), gdi::CreateEllipticRgn(0, 0, 81, 81).ToQRegion());

    bvlBUTTON *rounded = Make(QSize(100, 30), 2);
    EXPECT_EQ(*rounded->Outline(), gdi::CreateRoundRectRgn(0, 0, 101, 31, 15, 15));
    EXPECT_EQ(rounded->BevelHeight(), 4); // chosen automatically
    rounded->SetAppearance(3);
    EXPECT_EQ(*rounded->Outline(), gdi::CreateRoundRectRgn(0, 0, 101, 31, 30, 30));
    rounded->SetAppearance(9); // unknown: the outline stays
    EXPECT_EQ(*rounded->Outline(), gdi::CreateRoundRectRgn(0, 0, 101, 31, 30, 30));
}

TEST_F(BevelDrawing, facesAreShadedOnlyWhenTheirLookChanges)
{
    bvlBUTTON *button = Make(QSize(119, 19), 0);
    button->SetBevelAutoAdjust(false);
    button->SetBevelHeight(3);
    const int builds = button->BevelBuilds();
    EXPECT_EQ(button->Surface(), button->RaisedFace().Image());

    CursorOver(button);
    QTest::mouseMove(button, button->rect().center());
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    EXPECT_EQ(button->Surface(), button->SunkenFace().Image());
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    CursorAway(window.get());
    clock.Advance(bvlBUTTON::HoverInterval);
    EXPECT_EQ(button->BevelBuilds(), builds);

    button->SetBackColour(0x808080);
    EXPECT_EQ(button->BevelBuilds(), builds + 1);
    EXPECT_EQ(At(button->Surface(), 60, 9), 0x808080u);
}

TEST_F(BevelDrawing, workStripHoldsMasksAndGreyedCopies)
{
    bvlBUTTON *button = Make(QSize(60, 30));
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));     // opaque red
    image.setPixel(1, 0, qRgb(192, 192, 192)); // the transparent colour
    button->SetPicture(ui::Picture::FromBitmap(image));
    const QImage work = button->WorkPictures().Image();
    ASSERT_EQ(work.size(), QSize(8, 1));
    // Grey of red: luminance 120 + 20 = 140 -> 148.75 -> 149. Grey of 0xC0C0C0: 181 + 20 -> 213.6 -> 214.
    const gdi::Colour expected[8] = {0x000000, 0xFFFFFF, 0x0000FF, 0x000000,
                                     0x959595, 0xD6D6D6, 0x959595, 0x000000};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(At(work, x, 0), expected[x]) << x;

    QImage hover(3, 2, QImage::Format_RGB32);
    hover.fill(qRgb(192, 192, 192));
    hover.setPixel(2, 1, qRgb(0, 0, 255));
    button->SetPictureHover(ui::Picture::FromBitmap(hover));
    const QImage both = button->WorkPictures().Image();
    ASSERT_EQ(both.size(), QSize(8, 3));  // max(4 x 2, 2 x 3) wide, 1 + 2 high
    EXPECT_EQ(At(both, 0, 1), 0xFFFFFFu); // hover mask, transparent
    EXPECT_EQ(At(both, 2, 2), 0x000000u); // hover mask, opaque
    EXPECT_EQ(At(both, 3, 1), 0x000000u); // hover picture, transparent blackened
    EXPECT_EQ(At(both, 5, 2), 0xFF0000u); // hover picture, opaque blue
}

TEST_F(BevelDrawing, transparentPixelsLeaveTheFaceAndPressingShiftsThePicture)
{
    bvlBUTTON *button = Make(QSize(60, 30));
    QImage clear(8, 8, QImage::Format_RGB32);
    clear.fill(qRgb(192, 192, 192));
    button->SetPicture(ui::Picture::FromBitmap(clear));
    EXPECT_EQ(button->Surface(), button->RaisedFace().Image());

    button->SetPicture(Solid(QSize(8, 8), QColor(0, 200, 0)));
    const bvlBUTTON::Placement at = button->NormalPlacement();
    EXPECT_EQ(at.x, button->BevelHeight() + (60 - 2 * button->BevelHeight() - 1 - 8) / 2);
    EXPECT_EQ(At(button->Surface(), at.x + 1, at.y + 1), 0x00C800u);
    EXPECT_EQ(At(button->Surface(), at.x, at.y), At(button->RaisedFace().Image(), at.x, at.y));

    CursorOver(button);
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    EXPECT_EQ(At(button->Surface(), at.x + 8, at.y + 8), 0x00C800u); // one pixel right and down
    EXPECT_EQ(At(button->Surface(), at.x + 1, at.y + 1),
              At(button->SunkenFace().Image(), at.x + 1, at.y + 1));
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}

TEST_F(BevelDrawing, disabledLookIsGreyAndHoverChangesOnlyTheCaption)
{
    bvlBUTTON *button = Make(QSize(120, 40));
    button->SetBackColour(0x808080);
    button->SetCaptionJustify(5);
    button->SetCaption(QStringLiteral("WWWW"));
    button->SetCaptionColour(0x000000);
    button->SetCaptionHoverColour(0x0000FF);
    button->SetPicture(Solid(QSize(10, 10), QColor(0, 0, 255)));
    const bvlBUTTON::Placement at = button->NormalPlacement();
    const QRect pictureArea(at.x, at.y, at.width, at.height);
    const QRect captionArea = button->CaptionRect().ToQRect();

    const QImage normal = button->Surface();
    CursorOver(button);
    QTest::mouseMove(button, button->rect().center());
    const QImage hovered = button->Surface();
    EXPECT_EQ(hovered.copy(pictureArea), normal.copy(pictureArea));
    EXPECT_TRUE(Contains(hovered, captionArea, 0x0000FF));
    EXPECT_FALSE(Contains(normal, captionArea, 0x0000FF));

    button->SetEnabled(false);
    // Red greyed: luminance 140 -> 149; the caption is the face (luminance 121) lightened by a
    // fifth: 145 -> 154.06 -> 154.
    EXPECT_EQ(At(button->Surface(), at.x + 5, at.y + 5), 0x959595u);
    EXPECT_TRUE(Contains(button->Surface(), captionArea, 0x9A9A9A));
    const QImage disabled = button->Surface();
    QTest::mouseMove(button, button->rect().center() + QPoint(1, 0));
    EXPECT_EQ(button->Surface(), disabled);
}

TEST_F(BevelDrawing, unchangedStateIsNotRedrawnUnlessForced)
{
    bvlBUTTON *button = Make(QSize(60, 30));
    QImage &surface = const_cast<QImage &>(button->Surface()); // stand-in for foreign paint
    surface.setPixel(30, 15, qRgb(1, 2, 3));
    button->DrawState(false);
    EXPECT_EQ(surface.pixel(30, 15), qRgb(1, 2, 3));
    button->DrawState(true);
    EXPECT_EQ(surface, button->RaisedFace().Image());
}

TEST_F(BevelDrawing, oversizedPictureIsLeftOut)
{
    bvlBUTTON *button = Make(QSize(60, 30));
    QImage huge(5000, 2, QImage::Format_RGB32);
    huge.fill(Qt::red);
    button->SetPicture(ui::Picture::FromBitmap(huge));
    EXPECT_EQ(button->NormalPlacement(), bvlBUTTON::Placement());
    EXPECT_EQ(button->Surface(), button->RaisedFace().Image());
}
