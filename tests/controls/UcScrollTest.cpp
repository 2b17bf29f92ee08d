// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/UcScroll.h"

#include "MouseInput.h"
#include "controls/SkinImages.h"
#include "controls/StretchImage.h"
#include "platform/services/EventLog.h"
#include "platform/services/MessageBox.h"
#include "platform/ui/ManualClock.h"
#include "platform/ui/Timer.h"
#include "skin/ReportError.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <limits>
#include <memory>

using controls::UcScroll;
using namespace controls_test;

namespace
{

QWidget *W(const controls::StretchImage &image)
{
    return const_cast<controls::StretchImage *>(&image);
}

class UcScrollTest : public ::testing::Test
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
        bar.reset();
        ui::Timer::SetDefaultClock(nullptr);
        skin::ResetReportErrorGuard();
        services::MessageBox::SetCurrent(nullptr);
        services::EventLog::SetCurrent(nullptr);
    }

    // A fresh bar (no saved properties) of the given pixel size, shown, so its layout has run.
    // The exact layout figures below are those of a 96 dpi screen (15 twips per pixel).
    UcScroll &Make(int width, int height, std::int16_t orientation = 0)
    {
        bar = std::make_unique<UcScroll>();
        if (bar->TwipsPerPixelX() != 15 || bar->TwipsPerPixelY() != 15)
            return *bar;
        bar->InitNew();
        if (orientation != 0)
            bar->SetOrientation(orientation);
        bar->resize(width, height);
        bar->show();
        return *bar;
    }
    bool At96Dpi() const { return bar->TwipsPerPixelX() == 15 && bar->TwipsPerPixelY() == 15; }

    // Drags the grabbed thumb so that the pointer sits at `x` of the inner area.
    void DragThumbTo(double x)
    {
        const QWidget *thumb = &bar->ImgThumb();
        MoveTo(W(bar->ImgThumb()), QPointF(x - thumb->x(), 8));
    }

    services::RecordingMessageBox box;
    services::RecordingEventLog log;
    std::unique_ptr<UcScroll> bar;
};

TEST_F(UcScrollTest, valueIsClampedAndEveryWriteRaisesChange)
{
    Make(300, 23);
    QSignalSpy change(bar.get(), &UcScroll::Change);
    bar->SetValue(105);
    EXPECT_EQ(bar->Value(), 100);
    bar->SetValue(105);
    EXPECT_EQ(change.count(), 2); // the same value again still tells the host
    bar->SetValue(-7);
    EXPECT_EQ(bar->Value(), 0);
    EXPECT_EQ(change.count(), 3);
}

TEST_F(UcScrollTest, minAndMaxPushEachOtherAwayWithoutReclampingValue)
{
    Make(300, 23);
    bar->SetValue(40);
    bar->SetMin(150);
    EXPECT_EQ(bar->Min(), 150);
    EXPECT_EQ(bar->Max(), 250);
    EXPECT_EQ(bar->Value(), 40); // not re-clamped

    UcScroll other;
    other.SetMax(-10);
    EXPECT_EQ(other.Min(), -110);
    EXPECT_EQ(other.Max(), -10);

    // At the ends of the 32-bit range the partner saturates instead of wrapping round.
    UcScroll edge;
    edge.SetMin(std::numeric_limits<std::int32_t>::max() - 10);
    EXPECT_EQ(edge.Max(), std::numeric_limits<std::int32_t>::max());
    edge.SetMax(std::numeric_limits<std::int32_t>::min() + 5);
    EXPECT_EQ(edge.Min(), std::numeric_limits<std::int32_t>::min());

    // Steps outside 1..32767 are ignored without a report.
    edge.SetSmallChange(0);
    edge.SetSmallChange(40000);
    edge.SetLargeChange(-1);
    EXPECT_EQ(edge.SmallChange(), 1);
    EXPECT_EQ(edge.LargeChange(), 10);
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(UcScrollTest, thicknessIsClampedAndArrowsFollowIt)
{
    Make(300, 40); // 600 twips high
    if (!At96Dpi())
        GTEST_SKIP() << "layout figures are for 15 twips per pixel";
    EXPECT_LE(bar->Height(), UcScroll::MaxThicknessTwips);
    EXPECT_EQ(bar->height(), 23); // 345 twips: k = 7
    EXPECT_DOUBLE_EQ(bar->ImgLeft().Height(), 23 - 7);
    EXPECT_DOUBLE_EQ(bar->ImgLeft().Width(), 16 * 4 / 3.2);
    EXPECT_DOUBLE_EQ(bar->ImgLeft().Left(), 2);
    EXPECT_DOUBLE_EQ(bar->ImgLeft().Top(), 3.5);
    EXPECT_DOUBLE_EQ(bar->ImgRight().Left(), 300 - (20 + 2));
    EXPECT_DOUBLE_EQ(bar->ImgThumb().Width(), 20);
    EXPECT_DOUBLE_EQ(bar->ImgThumb().Left(), 22); // Value 0 sits at the start of the travel

    // Vertical: the width is clamped, and the arrows are 4 : 3.5 long.
    Make(40, 300, 1);
    EXPECT_EQ(bar->width(), 23);
    EXPECT_DOUBLE_EQ(bar->ImgLeft().Width(), 16);
    EXPECT_DOUBLE_EQ(bar->ImgLeft().Height(), 16 * 4 / 3.5);
    EXPECT_DOUBLE_EQ(bar->ImgLeft().Top(), 2);
    EXPECT_DOUBLE_EQ(bar->ImgRight().Top(), 300 - 16 * 4 / 3.5 - 2);
}

TEST_F(UcScrollTest, firstPaintLoadsTheTrackBitmapsAndTilesThem)
{
    Make(300, 14); // the track's own height: no vertical stretch
    if (!At96Dpi())
        GTEST_SKIP();
    bar->repaint();
    const QImage &surface = bar->Surface();
    ASSERT_EQ(surface.size(), QSize(300, 14));
    const QImage tile = controls::LoadSkinImage(QStringLiteral("MHSCROLL"));
    const QImage nearCap = controls::LoadSkinImage(QStringLiteral("HLEFT"));
    const QImage farCap = controls::LoadSkinImage(QStringLiteral("HRIGHT"));
    // Between the caps (17 pixels each: 14 x 1.2) the middle tile repeats every 13 pixels.
    for (int y = 0; y < 14; ++y) {
        for (int x = 17; x < 300 - 17; x += 7)
            ASSERT_EQ(surface.pixel(x, y), tile.pixel(x % 13, y)) << x << "," << y;
        EXPECT_EQ(surface.pixel(0, y), nearCap.pixel(0, y));
        EXPECT_EQ(surface.pixel(299, y), farCap.pixel(13, y));
    }
    EXPECT_EQ(bar->ImgRight().Picture(), controls::LoadSkinImage(QStringLiteral("HRIGHTUP")));
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(UcScrollTest, heldArrowRepeatsSlowlyFourTimesThenFastAndClickAddsOneStep)
{
    ui::ManualClock clock;
    ui::Timer::SetDefaultClock(&clock);
    Make(300, 23);
    QSignalSpy change(bar.get(), &UcScroll::Change);

    Press(W(bar->ImgRight()), QPointF(5, 5));
    EXPECT_EQ(bar->ImgRight().Picture(), controls::LoadSkinImage(QStringLiteral("HRIGHTDN")));
    clock.Advance(1000);
    EXPECT_EQ(bar->Value(), 3); // at 333, 666 and 999 ms
    EXPECT_EQ(bar->ClickTimer().Interval(), UcScroll::FirstRepeatMs);
    clock.Advance(332);
    EXPECT_EQ(bar->Value(), 4); // the fourth tick switches to the fast rate
    EXPECT_EQ(bar->ClickTimer().Interval(), UcScroll::FastRepeatMs);
    clock.Advance(30);
    EXPECT_EQ(bar->Value(), 14);
    Release(W(bar->ImgRight()), QPointF(5, 5));
    EXPECT_FALSE(bar->ClickTimer().Enabled());
    EXPECT_EQ(bar->Value(), 15); // the click after the release
    EXPECT_EQ(bar->ImgRight().Picture(), controls::LoadSkinImage(QStringLiteral("HRIGHTUP")));
    clock.Advance(1000);
    EXPECT_EQ(bar->Value(), 15);
    EXPECT_EQ(change.count(), 15);

    // A new press starts slow again; a quick click moves exactly one step.
    Press(W(bar->ImgLeft()), QPointF(5, 5));
    clock.Advance(332);
    EXPECT_EQ(bar->Value(), 15);
    clock.Advance(1);
    EXPECT_EQ(bar->Value(), 14);
    Release(W(bar->ImgLeft()), QPointF(5, 5));
    EXPECT_EQ(bar->Value(), 13);
    Press(W(bar->ImgLeft()), QPointF(5, 5));
    Release(W(bar->ImgLeft()), QPointF(500, 5)); // released off the arrow: no click
    EXPECT_EQ(bar->Value(), 13);
}

TEST_F(UcScrollTest, draggingPinsTheThumbAtBothEndsAndSkipsUnchangedPositions)
{
    Make(300, 23);
    if (!At96Dpi())
        GTEST_SKIP();
    const double lo = 22, hi = 300 - 22 - 20;
    QSignalSpy change(bar.get(), &UcScroll::Change);
    QSignalSpy scroll(bar.get(), &UcScroll::Scroll);
    // Scroll comes after the Change of its step (the spy has counted this Scroll already).
    QObject::connect(bar.get(), &UcScroll::Scroll, [&] { EXPECT_EQ(change.count(), scroll.count()); });

    Press(W(bar->ImgThumb()), QPointF(10 * 1.0, 8)); // grab 10 pixels into the thumb
    DragThumbTo(132);
    EXPECT_EQ(bar->Value(), 42);                                     // (122 - 22) / 236 * 100
    EXPECT_DOUBLE_EQ(bar->ImgThumb().Left(), lo + 0.42 * (hi - lo)); // snapped to the value
    EXPECT_EQ(scroll.count(), 1);
    DragThumbTo(132); // same rounded position: nothing happens
    EXPECT_EQ(change.count(), 1);

    DragThumbTo(5000);
    EXPECT_EQ(bar->Value(), 100);
    EXPECT_DOUBLE_EQ(bar->ImgThumb().Left(), hi);
    DragThumbTo(-5000);
    EXPECT_EQ(bar->Value(), 0);
    EXPECT_DOUBLE_EQ(bar->ImgThumb().Left(), lo);
    EXPECT_EQ(scroll.count(), 3);

    Release(W(bar->ImgThumb()), QPointF(10, 8));
    DragThumbTo(200); // moves after the release are not drags
    EXPECT_EQ(bar->Value(), 0);
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(UcScrollTest, trackPressPagesTowardsThePress)
{
    Make(300, 23);
    bar->SetValue(50);
    const double thumbLeft = bar->ImgThumb().Left();
    Press(bar.get(), QPointF(thumbLeft - 30, 10));
    EXPECT_EQ(bar->Value(), 40);
    Press(bar.get(), QPointF(bar->ImgThumb().Left() + 25, 10), Qt::RightButton);
    EXPECT_EQ(bar->Value(), 50);
    bar->SetLargeChange(80);
    Press(bar.get(), QPointF(280, 10));
    EXPECT_EQ(bar->Value(), 100); // clamped at Max
}

TEST_F(UcScrollTest, verticalBarHasMinAtTheTopAndTheDownArrowIncreases)
{
    Make(23, 300, 1);
    if (!At96Dpi())
        GTEST_SKIP();
    const double lo = 2 + 16 * 4 / 3.5;
    const double hi = bar->ImgRight().Top() - bar->ImgThumb().Height();
    EXPECT_DOUBLE_EQ(bar->ImgThumb().Top(), lo);
    Press(W(bar->ImgRight()), QPointF(5, 5));
    Release(W(bar->ImgRight()), QPointF(5, 5));
    EXPECT_EQ(bar->Value(), 1);
    EXPECT_EQ(bar->ImgRight().Picture(), controls::LoadSkinImage(QStringLiteral("VDNUP")));
    bar->SetValue(100);
    EXPECT_DOUBLE_EQ(bar->ImgThumb().Top(), hi);
    Press(bar.get(), QPointF(10, 50)); // above the thumb
    EXPECT_EQ(bar->Value(), 90);

    Press(W(bar->ImgThumb()), QPointF(5, 4));
    MoveTo(W(bar->ImgThumb()), QPointF(5, -5000));
    EXPECT_EQ(bar->Value(), 0);
    EXPECT_DOUBLE_EQ(bar->ImgThumb().Top(), lo);
}

TEST_F(UcScrollTest, dragOnATrackWithoutRoomReportsOnceAndEndsTheDrag)
{
    // 3 arrow widths + 4 pixels: the thumb's travel has no length.
    Make(64, 23);
    if (!At96Dpi())
        GTEST_SKIP();
    QSignalSpy change(bar.get(), &UcScroll::Change);
    Press(W(bar->ImgThumb()), QPointF(3, 8));
    MoveTo(W(bar->ImgThumb()), QPointF(9, 8));
    MoveTo(W(bar->ImgThumb()), QPointF(1, 8));
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].title,
              skin::ReportErrorTitle(controls::ErrDivisionByZero, QStringLiteral("ImgThumb_MouseMove"),
                                     QString::fromLatin1(UcScroll::ModuleName)));
    EXPECT_EQ(change.count(), 0);
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].type, services::EVENTLOG_ERROR_TYPE);
}

TEST_F(UcScrollTest, propertiesAreSavedInOrderAndRestoredWithoutChecks)
{
    Make(300, 23);
    bar->SetBorderStyle(1);
    bar->SetMin(-20);
    bar->SetMax(300);
    bar->SetValue(7);
    bar->SetSmallChange(3);
    bar->SetLargeChange(30);
    bar->SetOrientation(1);
    const ui::PropertyBag saved = bar->Save();
    EXPECT_EQ(saved.Keys(), (QStringList{"BorderStyle", "Orientation", "Min", "Max", "Value", "SmallChange",
                                         "LargeChange"}));

    UcScroll restored;
    restored.Restore(saved);
    EXPECT_EQ(restored.Save(), saved);
    EXPECT_EQ(restored.ImgThumb().Picture(), controls::LoadSkinImage(QStringLiteral("VTHUMB")));

    // Reading trusts the definition: a Value outside Min..Max stays as written.
    ui::PropertyBag odd;
    odd.WriteProperty(QStringLiteral("Value"), 500);
    odd.WriteProperty(QStringLiteral("Orientation"), 70000); // not a 16-bit value: the default
    UcScroll fromOdd;
    fromOdd.Restore(odd);
    EXPECT_EQ(fromOdd.Value(), 500);
    EXPECT_EQ(fromOdd.Orientation(), 0);
    EXPECT_TRUE(box.calls.empty());
}

} // namespace
