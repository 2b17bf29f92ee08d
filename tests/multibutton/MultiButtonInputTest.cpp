// SPDX-License-Identifier: GPL-3.0-or-later
#include "MultiButtonTestSupport.h"

#include "multibutton/modZqTimer.h"
#include "multibutton/zqStrings.h"
#include "platform/ui/ManualClock.h"
#include "platform/ui/Timer.h"
#include "platform/ui/WindowProps.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace multibutton
{
namespace
{

using test::Host;

void Send(QWidget *w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    const QPointF at = QPointF(w->rect().center());
    QMouseEvent event(type, at, w->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Hover first, as a real pointer would, then the platform's press/release sequence.
void Hover(QWidget *w)
{
    test::CursorOver(w);
    Send(w, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
}

class MultiButtonInput : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ui::Timer::SetDefaultClock(&clock);
        host.Show();
        button = host.Add(60, 30);
        button->show();
        button->setFocus();
    }
    void TearDown() override { ui::Timer::SetDefaultClock(nullptr); }

    ui::ManualClock clock;
    Host host;
    zqButtons_H *button = nullptr;
};

TEST_F(MultiButtonInput, DoubleClickTogglesOnce)
{
    button->SetMode(zqButtons_H::CheckMode);
    QSignalSpy clicks(button, &zqButtons_H::Click);
    QSignalSpy doubles(button, &zqButtons_H::DoubleClick);
    Hover(button);
    Send(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    Send(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    Send(button, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
    Send(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(button->Value());
    EXPECT_EQ(clicks.count(), 1);
    ASSERT_EQ(doubles.count(), 1);
    EXPECT_EQ(doubles[0][0].value<std::int16_t>(), 1);
}

TEST_F(MultiButtonInput, LeftClickWithCaptureAndEvents)
{
    QStringList order;
    QObject::connect(button, &zqButtons_H::MouseDown, [&] { order << "MouseDown"; });
    QObject::connect(button, &zqButtons_H::MouseUp, [&] { order << "MouseUp"; });
    QObject::connect(button, &zqButtons_H::Click, [&] { order << "Click"; });
    Hover(button);
    Send(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(button->StateFlags() & (zqButtons_H::PressedFlag | zqButtons_H::HoverFlag),
              zqButtons_H::PressedFlag | zqButtons_H::HoverFlag);
    EXPECT_TRUE(button->ShowPressed());
    Send(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(order, (QStringList{"MouseDown", "MouseUp", "Click"}));
    EXPECT_FALSE(button->StateFlags() & zqButtons_H::PressedFlag);
}

TEST_F(MultiButtonInput, RightClickRaisesNoClick)
{
    button->SetMode(zqButtons_H::CheckMode);
    QSignalSpy clicks(button, &zqButtons_H::Click);
    QSignalSpy downs(button, &zqButtons_H::MouseDown);
    QSignalSpy ups(button, &zqButtons_H::MouseUp);
    Hover(button);
    Send(button, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    Send(button, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(downs.count(), 1);
    EXPECT_EQ(ups.count(), 1);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(button->Value());
    EXPECT_EQ(button->LastMouseButton(), 2);
}

TEST_F(MultiButtonInput, SpaceTogglesOnceWithOneClick)
{
    button->SetMode(zqButtons_H::CheckMode);
    QStringList order;
    QObject::connect(button, &zqButtons_H::KeyDown,
                     [&](std::int16_t &code, std::int16_t) { order << QString::number(code) + "down"; });
    QObject::connect(button, &zqButtons_H::KeyUp,
                     [&](std::int16_t &code, std::int16_t) { order << QString::number(code) + "up"; });
    QObject::connect(button, &zqButtons_H::Click, [&] { order << "Click"; });
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_TRUE(button->StateFlags() & zqButtons_H::PressedFlag);
    EXPECT_FALSE(button->StateFlags() & zqButtons_H::HoverFlag); // the pointer is elsewhere
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(order, (QStringList{"32down", "32up", "Click"}));
    EXPECT_TRUE(button->Value());
}

TEST_F(MultiButtonInput, ArrowsGoToTheContainer)
{
    struct Catcher : QObject {
        std::vector<std::pair<int, quint32>> keys;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::KeyPress) {
                auto *k = static_cast<QKeyEvent *>(e);
                keys.emplace_back(k->key(), k->nativeScanCode());
            }
            return false;
        }
    } catcher;
    host.window->installEventFilter(&catcher);
    QSignalSpy downs(button, &zqButtons_H::KeyDown);
    for (Qt::Key k : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up})
        QTest::keyPress(button, k);
    QCoreApplication::processEvents();
    EXPECT_EQ(downs.count(), 0);
    const std::vector<std::pair<int, quint32>> expected = {
        {Qt::Key_Right, 0x4D}, {Qt::Key_Down, 0x50}, {Qt::Key_Left, 0x4B}, {Qt::Key_Up, 0x48}};
    EXPECT_EQ(catcher.keys, expected);
    host.window->removeEventFilter(&catcher);
}

TEST_F(MultiButtonInput, ArrowReleaseSelectsAnOptionButton)
{
    button->SetMode(zqButtons_H::OptionMode);
    button->SetValue(false);
    QSignalSpy ups(button, &zqButtons_H::KeyUp);
    QTest::keyRelease(button, Qt::Key_Down);
    EXPECT_TRUE(button->Value());
    EXPECT_EQ(ups.count(), 0);
}

TEST_F(MultiButtonInput, HoverEndsWithinOneTick)
{
    QSignalSpy hover(button, &zqButtons_H::MouseOnButton);
    Hover(button);
    ASSERT_EQ(hover.count(), 1);
    EXPECT_TRUE(hover[0][0].toBool());
    EXPECT_TRUE(button->Hovering());
    EXPECT_EQ(ui::WindowProps::GetProp(button, strings::TimerID), zqButtons_H::HoverTimerId);
    EXPECT_EQ(ui::WindowProps::GetProp(button, strings::ClassID), reinterpret_cast<qintptr>(button));
    EXPECT_TRUE(modZqTimer::TimerRunning(button, zqButtons_H::HoverTimerId));

    clock.Advance(200); // still over it: nothing changes
    EXPECT_EQ(hover.count(), 1);

    test::CursorAway(host.window.get());
    clock.Advance(zqButtons_H::HoverInterval);
    ASSERT_EQ(hover.count(), 2);
    EXPECT_FALSE(hover[1][0].toBool());
    EXPECT_FALSE(button->Hovering());
    EXPECT_FALSE(button->StateFlags() & zqButtons_H::HoverFlag);
    EXPECT_FALSE(modZqTimer::TimerRunning(button, zqButtons_H::HoverTimerId));
}

TEST_F(MultiButtonInput, LeavingWhilePressedShowsRaised)
{
    Hover(button);
    Send(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    const QImage pressed = button->BackBuffer().Image();
    test::CursorAway(host.window.get());
    clock.Advance(zqButtons_H::HoverInterval);
    EXPECT_FALSE(button->ShowPressed());
    EXPECT_NE(button->BackBuffer().Image(), pressed);
    Send(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
}

TEST_F(MultiButtonInput, CancelAndDefaultKeys)
{
    QSignalSpy clicks(button, &zqButtons_H::Click);
    button->SetCancel(true);
    QTest::keyClick(host.window.get(), Qt::Key_Escape);
    EXPECT_EQ(clicks.count(), 1);
    button->SetMode(zqButtons_H::CheckMode);
    QTest::keyClick(host.window.get(), Qt::Key_Escape);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(button->Value());
    // An access key clicks any mode.
    Q_EMIT button->AccessKeyPress('x');
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_TRUE(button->Value());
}

TEST_F(MultiButtonInput, FocusSelectsInEmptyOptionGroup)
{
    zqButtons_H *a = host.Add(40, 20), *b = host.Add(40, 20);
    a->SetMode(zqButtons_H::OptionMode);
    b->SetMode(zqButtons_H::OptionMode);
    a->show();
    b->show();
    a->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(a->Value());
    b->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(b->Value()); // the group already has a selection
}

TEST_F(MultiButtonInput, CustomClickMovesWhilePressed)
{
    button->SetCustomClick(4);
    const QPoint start = button->pos();
    Hover(button);
    Send(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(button->pos(), start + QPoint(1, 1));
    EXPECT_TRUE(button->StateFlags() & zqButtons_H::MovedFlag);
    Send(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(button->pos(), start);
    EXPECT_FALSE(button->StateFlags() & zqButtons_H::MovedFlag);
}

} // namespace
} // namespace multibutton
