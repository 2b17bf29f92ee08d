// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/UcProgress.h"

#include "controls/SkinImages.h"
#include "platform/services/EventLog.h"
#include "platform/services/MessageBox.h"
#include "skin/ReportError.h"

#include <gtest/gtest.h>

#include <memory>

using controls::UcProgress;

namespace
{

class UcProgressTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        services::MessageBox::SetCurrent(&box);
        services::EventLog::SetCurrent(&log);
        skin::ResetReportErrorGuard();
    }
    void TearDown() override
    {
        skin::ResetReportErrorGuard();
        services::MessageBox::SetCurrent(nullptr);
        services::EventLog::SetCurrent(nullptr);
    }

    // A fresh bar of the given inner size in pixels, shown and composed.
    std::unique_ptr<UcProgress> Make(int width, int height, std::int16_t orientation = 0)
    {
        auto bar = std::make_unique<UcProgress>();
        bar->InitNew();
        if (orientation != 0)
            bar->SetOrientation(orientation);
        bar->resize(width, height);
        bar->show();
        bar->Refresh();
        return bar;
    }

    static bool RowsEqual(const QImage &a, const QImage &b, int x)
    {
        for (int y = 0; y < a.height(); ++y)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
        return true;
    }

    services::RecordingMessageBox box;
    services::RecordingEventLog log;
};

TEST_F(UcProgressTest, writesOutsideTheRangeAreIgnoredAndMinNeverGoesNegative)
{
    auto bar = Make(300, 14);
    bar->SetValue(60);
    bar->SetValue(150);
    EXPECT_EQ(bar->Value(), 60);
    bar->SetMin(-5);
    EXPECT_EQ(bar->Min(), 0);
    bar->SetMax(40); // Max is not checked against Value
    EXPECT_EQ(bar->Max(), 40);
    EXPECT_EQ(bar->Value(), 60);
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(UcProgressTest, horizontalFillStartsInsetWhenShortAndAtZeroWhenLong)
{
    auto bar = Make(300, 14);
    ASSERT_EQ(bar->Surface().size(), QSize(300, 14));
    const QImage trough = bar->Surface().copy(); // Value 0: no fill

    struct Case {
        int value, start, length;
    };
    for (const Case c : {Case{50, 4, 150}, Case{80, 0, 240}}) {
        SCOPED_TRACE(c.value);
        bar->SetValue(c.value);
        const QImage &shown = bar->Surface();
        for (int x = 0; x < 300; ++x) {
            const bool inFill = x >= c.start && x < c.start + c.length;
            // Inside the fill the strip covers its middle rows; outside it only trough shows.
            EXPECT_EQ(RowsEqual(shown, trough, x), !inFill) << "column " << x;
            // The strip's top and bottom rows are all key colour: the trough shows through.
            EXPECT_EQ(shown.pixel(x, 0), trough.pixel(x, 0));
            EXPECT_EQ(shown.pixel(x, 13), trough.pixel(x, 13));
        }
    }
}

TEST_F(UcProgressTest, fillShowsTheStripWhereItIsOpaqueAndTheTroughWhereItIsKeyColour)
{
    // 400 pixels at Value = Max: the strip lands one to one.
    auto bar = Make(400, 14);
    const QImage trough = bar->Surface().copy();
    bar->SetValue(100);
    const QImage strip =
        controls::LoadSkinImage(QStringLiteral("HPROGRESS")).convertToFormat(QImage::Format_RGB32);
    const QRgb key = strip.pixel(1, 1);
    EXPECT_EQ(key, qRgb(255, 0, 255));
    const QImage &shown = bar->Surface();
    int keyPixels = 0;
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool transparent = strip.pixel(x, y) == key;
            keyPixels += transparent;
            ASSERT_EQ(shown.pixel(x, y), transparent ? trough.pixel(x, y) : strip.pixel(x, y))
                << x << "," << y;
        }
    EXPECT_GT(keyPixels, 0);
}

TEST_F(UcProgressTest, verticalFillGrowsUpwardMirroredFromAboveTheBottom)
{
    // 404 pixels high: at Value = Max the fill covers rows 1..400, the strip's top row at the bottom.
    auto bar = Make(14, 404, 1);
    ASSERT_EQ(bar->Surface().size(), QSize(14, 404));
    const QImage trough = bar->Surface().copy(); // Value = Min draws no fill
    bar->SetValue(100);
    const QImage strip =
        controls::LoadSkinImage(QStringLiteral("VPROGRESS")).convertToFormat(QImage::Format_RGB32);
    const QRgb key = strip.pixel(1, 1);
    const QImage &shown = bar->Surface();
    for (int y = 0; y < 404; ++y)
        for (int x = 0; x < 14; ++x) {
            QRgb expected = trough.pixel(x, y);
            if (y >= 1 && y <= 400 && strip.pixel(x, 400 - y) != key)
                expected = strip.pixel(x, 400 - y);
            ASSERT_EQ(shown.pixel(x, y), expected) << x << "," << y;
        }
}

TEST_F(UcProgressTest, thicknessIsClampedToFourHundredTwips)
{
    auto bar = Make(300, 40);
    EXPECT_LE(bar->Height(), UcProgress::MaxThicknessTwips);
    EXPECT_GT(bar->Height(), UcProgress::MaxThicknessTwips - bar->TwipsPerPixelY());
    EXPECT_EQ(bar->Surface().height(), bar->height());
}

TEST_F(UcProgressTest, emptyRangeReportsOnceNotOnEveryPaint)
{
    auto bar = Make(300, 14);
    bar->SetMax(0);
    bar->Refresh();
    bar->Refresh();
    bar->Refresh();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].title,
              skin::ReportErrorTitle(controls::ErrDivisionByZero, QStringLiteral("GetHorizontalPos"),
                                     QString::fromLatin1(UcProgress::ModuleName)));
    EXPECT_GE(log.entries.size(), 3u); // every occurrence still reaches the log
    // A new range rearms the report.
    bar->SetMax(100);
    bar->SetValue(50);
    EXPECT_EQ(box.calls.size(), 1u);
}

TEST_F(UcProgressTest, propertiesAreSavedInOrder)
{
    auto bar = Make(300, 14);
    bar->SetMax(500);
    bar->SetMin(10);
    bar->SetValue(20);
    bar->SetOrientation(1);
    const ui::PropertyBag saved = bar->Save();
    EXPECT_EQ(saved.Keys(), (QStringList{"Orientation", "Min", "Max", "Value"}));
    UcProgress restored;
    restored.Restore(saved);
    EXPECT_EQ(restored.Save(), saved);
}

} // namespace
