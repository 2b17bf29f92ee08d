// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/ClsPictureDC.h"

#include "platform/services/AppPaths.h"
#include "skin/Failure.h"
#include "skin/PictureBox.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

using namespace skin;
using gdi::RGB;

namespace
{

constexpr gdi::Colour Magenta = RGB(255, 0, 255);

QImage Sample(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 20, y * 20, 100));
    return image;
}

TEST(ClsPictureDC, newInstanceReadsZero)
{
    ClsPictureDC pict;
    EXPECT_EQ(pict.hDC(), nullptr);
    EXPECT_EQ(pict.Width(), 0);
    EXPECT_EQ(pict.Height(), 0);
    EXPECT_EQ(pict.bmType(), 0);
    EXPECT_EQ(pict.WidthBytes(), 0);
    EXPECT_EQ(pict.Planes(), 0);
    EXPECT_EQ(pict.BitsPerPixel(), 0);
    EXPECT_EQ(pict.Bits(), 0);
    EXPECT_EQ(pict.TransColor(), 0u);
}

TEST(ClsPictureDC, describes24And8BitBitmaps)
{
    gdi::Bitmap tile(Sample(57, 56));
    ClsPictureDC pict;
    pict.SetStdBitmap(&tile);
    ASSERT_NE(pict.hDC(), nullptr);
    EXPECT_EQ(pict.bmType(), 0);
    EXPECT_EQ(pict.Width(), 57);
    EXPECT_EQ(pict.Height(), 56);
    EXPECT_EQ(pict.WidthBytes(), 172);
    EXPECT_EQ(pict.Planes(), 1);
    EXPECT_EQ(pict.BitsPerPixel(), 24);
    EXPECT_EQ(pict.Bits(), 0);

    QImage indexed(13, 7, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(0, 0, 0), qRgb(0x60, 0xB0, 0xEC)});
    indexed.fill(1);
    gdi::Bitmap eight(indexed);
    pict.SetStdBitmap(&eight);
    EXPECT_EQ(pict.Width(), 13);
    EXPECT_EQ(pict.Height(), 7);
    EXPECT_EQ(pict.WidthBytes(), 14);
    EXPECT_EQ(pict.BitsPerPixel(), 8);
    EXPECT_EQ(pict.hDC()->GetPixel(12, 6), RGB(0x60, 0xB0, 0xEC));
}

TEST(ClsPictureDC, secondBitmapReplacesFirstWhichStaysUsable)
{
    gdi::Bitmap first(4, 4, 24, RGB(1, 2, 3));
    gdi::Bitmap second(6, 2, 24, RGB(9, 8, 7));
    {
        ClsPictureDC pict;
        pict.SetStdBitmap(&first);
        pict.SetStdBitmap(&second);
        EXPECT_EQ(pict.hDC()->SelectedBitmap(), &second);
        EXPECT_EQ(pict.Width(), 6);
        EXPECT_EQ(pict.Height(), 2);
        EXPECT_EQ(pict.hDC()->GetPixel(5, 1), RGB(9, 8, 7));

        // The owner of the first bitmap can still draw with it.
        gdi::Dc own;
        own.SelectObject(&first);
        EXPECT_EQ(own.GetPixel(3, 3), RGB(1, 2, 3));
        gdi::Bitmap target(4, 4);
        gdi::Dc out;
        out.SelectObject(&target);
        EXPECT_TRUE(out.BitBlt(0, 0, 4, 4, &own, 0, 0, gdi::SRCCOPY));
        EXPECT_EQ(out.GetPixel(2, 2), RGB(1, 2, 3));
    }
    // Destroying the context leaves both bitmaps intact.
    EXPECT_FALSE(first.IsNull());
    EXPECT_EQ(second.Width(), 6);
    EXPECT_EQ(second.Image().pixel(0, 0), gdi::ToQRgb(RGB(9, 8, 7)));
}

TEST(ClsPictureDC, nullBitmapKeepsTheOldDescription)
{
    gdi::Bitmap tile(5, 3);
    ClsPictureDC pict;
    pict.SetStdBitmap(&tile);
    pict.SetStdBitmap(nullptr);
    EXPECT_EQ(pict.Width(), 5);
    EXPECT_EQ(pict.Height(), 3);
    ASSERT_NE(pict.hDC(), nullptr);
    EXPECT_EQ(pict.hDC()->SelectedBitmap(), nullptr);
}

TEST(ClsPictureDC, pictBitmapCopiesThePersistentDrawingAndTakesPixelOneOne)
{
    QImage picture = Sample(8, 5);
    picture.setPixel(0, 0, qRgb(10, 10, 10));
    picture.setPixel(1, 1, gdi::ToQRgb(Magenta));
    PictureBox box(picture);
    box.hDC()->SetPixelV(7, 4, RGB(0, 255, 0)); // drawn onto the box afterwards

    ClsPictureDC pict;
    pict.SetPictBitmap(box);
    EXPECT_EQ(pict.TransColor(), Magenta); // (1, 1), not (0, 0)
    EXPECT_EQ(pict.Width(), 8);
    EXPECT_EQ(pict.Height(), 5);
    EXPECT_EQ(pict.BitsPerPixel(), 24);
    EXPECT_EQ(pict.WidthBytes(), 24);
    EXPECT_EQ(pict.Planes(), 1);
    // The copy is now the box's picture and what the context holds, drawing included.
    ASSERT_NE(box.Picture(), nullptr);
    EXPECT_EQ(pict.hDC()->SelectedBitmap(), box.Picture().get());
    EXPECT_EQ(pict.hDC()->GetPixel(7, 4), RGB(0, 255, 0));
    EXPECT_EQ(pict.hDC()->GetPixel(2, 3), gdi::FromQRgb(picture.pixel(2, 3)));
    // Drawing into the context changes the copy, not the picture the box was given first.
    pict.hDC()->SetPixelV(2, 3, 0);
    EXPECT_EQ(picture.pixel(2, 3), qRgb(40, 60, 100));
}

TEST(ClsPictureDC, twoCopiesOfOneBoxStayIndependent)
{
    // The progress bar makes a sprite and a mask from one picture box, one after the other.
    QImage strip = Sample(6, 3);
    strip.setPixel(1, 1, gdi::ToQRgb(Magenta));
    PictureBox bar(strip);
    ClsPictureDC sprite, mask;
    sprite.SetPictBitmap(bar);
    mask.SetPictBitmap(bar);
    EXPECT_NE(sprite.hDC()->SelectedBitmap(), mask.hDC()->SelectedBitmap());
    EXPECT_EQ(mask.hDC()->SelectedBitmap(), bar.Picture().get());
    // The first copy is no longer the box's picture but is still alive and selected.
    mask.hDC()->SetPixelV(0, 0, 0xFFFFFF);
    EXPECT_EQ(sprite.hDC()->GetPixel(0, 0), gdi::FromQRgb(strip.pixel(0, 0)));
    EXPECT_EQ(sprite.TransColor(), Magenta);
    EXPECT_EQ(mask.TransColor(), Magenta);
    bar.SetPicture(QImage()); // the box lets its picture go
    EXPECT_EQ(sprite.hDC()->GetPixel(5, 2), gdi::FromQRgb(strip.pixel(5, 2)));
    EXPECT_EQ(mask.hDC()->GetPixel(0, 0), 0xFFFFFFu);
}

TEST(ClsPictureDC, pictBitmapWritesNoFile)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    qputenv(services::AppPaths::OverrideVariable, folder.path().toUtf8());
    const QString cwd = QDir::currentPath();
    const bool tempBefore = QFileInfo::exists(cwd + QStringLiteral("/temp.bmp"));
    {
        PictureBox box(Sample(4, 4));
        ClsPictureDC pict;
        pict.SetPictBitmap(box);
        EXPECT_EQ(pict.Width(), 4);
    }
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(services::AppPaths::ProgramFolder() + QStringLiteral("/temp.bmp")));
    EXPECT_EQ(QFileInfo::exists(cwd + QStringLiteral("/temp.bmp")), tempBefore);
    qunsetenv(services::AppPaths::OverrideVariable);
}

TEST(ClsPictureDC, emptyPictureBoxFailsAndChangesNothing)
{
    gdi::Bitmap tile(3, 3, 24, RGB(4, 5, 6));
    ClsPictureDC pict;
    pict.SetStdBitmap(&tile);
    pict.SetTransColor(RGB(7, 7, 7));
    gdi::Dc *before = pict.hDC();
    PictureBox empty;
    try {
        pict.SetPictBitmap(empty);
        FAIL() << "an empty picture box must be refused";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.Number(), Failure::InvalidPicture);
        EXPECT_FALSE(failure.Description().isEmpty());
    }
    EXPECT_EQ(pict.hDC(), before);
    EXPECT_EQ(pict.hDC()->SelectedBitmap(), &tile);
    EXPECT_EQ(pict.Width(), 3);
    EXPECT_EQ(pict.TransColor(), RGB(7, 7, 7));
}

TEST(PictureBox, fixedSizeShowsBackColourAroundThePicture)
{
    PictureBox box(Sample(2, 2));
    box.SetBackColor(RGB(0x60, 0xB0, 0xEC));
    box.SetClientSize(QSize(4, 3));
    const QImage image = box.Image();
    EXPECT_EQ(image.size(), QSize(4, 3));
    EXPECT_EQ(image.pixel(1, 1), Sample(2, 2).pixel(1, 1));
    EXPECT_EQ(image.pixel(3, 2), gdi::ToQRgb(RGB(0x60, 0xB0, 0xEC)));
}

} // namespace
