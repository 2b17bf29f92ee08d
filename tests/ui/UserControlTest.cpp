// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/UserControl.h"
#include "platform/ui/Form.h"
#include "platform/ui/Twips.h"
#include "platform/ui/WindowProps.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

using namespace ui;

namespace
{
// A control that saves one property and notes what it saw while being restored.
class Probe : public UserControl
{
  public:
    using UserControl::UserControl;
    int value = 0;
    bool restoringSeen = false;
    void InitProperties() override { value = 7; }
    void ReadProperties(const PropertyBag &bag) override
    {
        restoringSeen = Restoring();
        value = bag.ReadProperty(QStringLiteral("Value"), 7);
    }
    void WriteProperties(PropertyBag &bag) const override
    {
        bag.WriteProperty(QStringLiteral("Value"), value, 7);
    }
};
} // namespace

TEST(UserControl, twipsFollowTheScreensOwnFactors)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const double fx = 1440.0 / screen->logicalDotsPerInchX();
    const double fy = 1440.0 / screen->logicalDotsPerInchY();
    Probe control;
    EXPECT_DOUBLE_EQ(control.TwipsPerPixelX(), fx);
    EXPECT_DOUBLE_EQ(control.TwipsPerPixelY(), fy);
    control.Move(1440, 720, 2880, 1440); // one inch in, two inches wide
    EXPECT_EQ(control.x(), std::nearbyint(1440 / fx));
    EXPECT_EQ(control.y(), std::nearbyint(720 / fy));
    EXPECT_EQ(control.width(), std::nearbyint(2880 / fx));
    EXPECT_EQ(control.height(), std::nearbyint(1440 / fy));
    EXPECT_DOUBLE_EQ(control.Width(), control.width() * fx);
    EXPECT_EQ(control.ScaleWidth(), control.width());
    control.SetBorderStyle(1);
    EXPECT_EQ(control.ScaleWidth(), control.width() - 2);
    control.SetWidth(-100);
    EXPECT_EQ(control.width(), 0);
    EXPECT_EQ(Twips::ToPixelsY(Twips::FromPixelsY(37)), 37);
    // Half-pixel positions round to the even pixel.
    EXPECT_EQ(Twips::ToPixelsX(1.5 * fx), 2);
    EXPECT_EQ(Twips::ToPixelsX(2.5 * fx), 2);
    EXPECT_EQ(Twips::ToPixelsY(-0.5 * fy), 0);
}

TEST(UserControl, mousePointerNumbersMapToCursors)
{
    const std::pair<int, Qt::CursorShape> table[] = {
        {vbArrow, Qt::ArrowCursor},         {vbCrosshair, Qt::CrossCursor},
        {vbIbeam, Qt::IBeamCursor},         {vbIconPointer, Qt::ArrowCursor},
        {vbSizePointer, Qt::SizeAllCursor}, {vbSizeNESW, Qt::SizeBDiagCursor},
        {vbSizeNS, Qt::SizeVerCursor},      {vbSizeNWSE, Qt::SizeFDiagCursor},
        {vbSizeWE, Qt::SizeHorCursor},      {vbUpArrow, Qt::UpArrowCursor},
        {vbHourglass, Qt::WaitCursor},      {vbNoDrop, Qt::ForbiddenCursor},
        {vbArrowHourglass, Qt::BusyCursor}, {vbArrowQuestion, Qt::WhatsThisCursor},
        {vbSizeAll, Qt::SizeAllCursor},
    };
    QWidget parent; // a child, so an unset pointer inherits the parent's
    Probe control(&parent);
    for (const auto &[pointer, shape] : table) {
        ASSERT_TRUE(control.SetMousePointer(pointer)) << pointer;
        EXPECT_EQ(control.cursor().shape(), shape) << pointer;
    }
    // Default inherits; invalid numbers are refused and change nothing.
    EXPECT_TRUE(control.SetMousePointer(vbDefault));
    EXPECT_FALSE(control.testAttribute(Qt::WA_SetCursor));
    control.SetMousePointer(vbIbeam);
    for (int bad : {-1, 16, 98, 100})
        EXPECT_FALSE(control.SetMousePointer(bad)) << bad;
    EXPECT_EQ(control.MousePointer(), vbIbeam);
    // Custom needs a MouseIcon; without one the pointer is the inherited one.
    EXPECT_TRUE(control.SetMousePointer(vbCustom));
    EXPECT_FALSE(control.testAttribute(Qt::WA_SetCursor));
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    control.SetMouseIcon(Picture::FromIcon(icon));
    EXPECT_EQ(control.cursor().shape(), Qt::BitmapCursor);
}

TEST(UserControl, restoringIsFlaggedAndPropertiesRoundTrip)
{
    Probe control;
    control.InitNew();
    EXPECT_EQ(control.value, 7);
    EXPECT_TRUE(control.Save().IsEmpty()); // everything at its default
    control.value = 3;
    const PropertyBag saved = control.Save();
    Probe other;
    other.Restore(saved);
    EXPECT_TRUE(other.restoringSeen);
    EXPECT_FALSE(other.Restoring());
    EXPECT_EQ(other.value, 3);
}

TEST(UserControl, ambientChangesAreAnnouncedByName)
{
    Probe control;
    QSignalSpy changed(&control, &UserControl::AmbientChanged);
    AmbientProperties ambient = control.Ambient();
    ambient.UserMode = false;
    ambient.DisplayName = QStringLiteral("Scroll1");
    control.SetAmbient(ambient);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("UserMode"));
    EXPECT_FALSE(control.Ambient().UserMode);
    control.SetAmbient(ambient);
    EXPECT_EQ(changed.count(), 2);
}

TEST(UserControl, accessKeyPressReachesTheControl)
{
    Form form;
    auto *control = new Probe(&form);
    control->setGeometry(0, 0, 50, 20);
    control->SetAccessKeys(QStringLiteral("s"));
    QSignalSpy pressed(control, &UserControl::AccessKeyPress);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_S, Qt::AltModifier);
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed.at(0).at(0).toInt(), int('s'));
    control->SetEnabled(false);
    QTest::keyClick(&form, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(pressed.count(), 1);
}

TEST(UserControl, windowPropertiesLiveOnTheWidget)
{
    QWidget widget;
    EXPECT_TRUE(WindowProps::SetProp(&widget, QStringLiteral("OptGroup"), 12));
    EXPECT_EQ(WindowProps::GetProp(&widget, QStringLiteral("optgroup")), 12);
    EXPECT_EQ(WindowProps::PropNames(&widget), QStringList{QStringLiteral("optgroup")});
    EXPECT_EQ(WindowProps::RemoveProp(&widget, QStringLiteral("OPTGROUP")), 12);
    EXPECT_EQ(WindowProps::GetProp(&widget, QStringLiteral("OptGroup")), 0);
    EXPECT_TRUE(WindowProps::PropNames(&widget).isEmpty());
    EXPECT_FALSE(WindowProps::SetProp(nullptr, QStringLiteral("x"), 1));
    EXPECT_EQ(WindowProps::GetProp(nullptr, QStringLiteral("x")), 0);
}
