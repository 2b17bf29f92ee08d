// SPDX-License-Identifier: GPL-3.0-or-later
#include "bevel/bvlBUTTON.h"
#include "bevel/mdlSHPCLR.h"

#include "BevelTestSupport.h"
#include "platform/services/MessageBox.h"
#include "platform/ui/ManualClock.h"
#include "platform/ui/Timer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QPainter>

#include <vector>

using namespace bevel;
using namespace bevel::test;

namespace
{

// Counts what a button raised, in order.
struct Events {
    explicit Events(bvlBUTTON *b)
    {
        QObject::connect(b, &bvlBUTTON::Click, [this] { log.push_back("Click"); });
        QObject::connect(b, &bvlBUTTON::DblClick, [this] { log.push_back("DblClick"); });
        QObject::connect(b, &bvlBUTTON::KeyDown,
                         [this](std::int16_t &, std::int16_t &) { log.push_back("KeyDown"); });
        QObject::connect(b, &bvlBUTTON::KeyPress, [this](std::int16_t &) { log.push_back("KeyPress"); });
        QObject::connect(b, &bvlBUTTON::KeyUp,
                         [this](std::int16_t &, std::int16_t &) { log.push_back("KeyUp"); });
        QObject::connect(b, &bvlBUTTON::MouseDown,
                         [this](std::int16_t, std::int16_t, float, float) { log.push_back("MouseDown"); });
        QObject::connect(b, &bvlBUTTON::MouseExit, [this] { log.push_back("MouseExit"); });
        QObject::connect(b, &bvlBUTTON::MouseMove, [this](std::int16_t, std::int16_t, float x, float y) {
            log.push_back("MouseMove");
            lastMove = QPointF(x, y);
        });
        QObject::connect(b, &bvlBUTTON::MouseUp,
                         [this](std::int16_t, std::int16_t, float, float) { log.push_back("MouseUp"); });
    }
    int Count(const std::string &name) const { return int(std::count(log.begin(), log.end(), name)); }
    std::vector<std::string> log;
    QPointF lastMove;
};

// Pictures compare by their pixels: the icon encoder leaves the padding of its mask rows
// unspecified, so two encodings of one icon need not match byte for byte.
void ExpectSameProperties(const ui::PropertyBag &actual, const ui::PropertyBag &expected, const char *name)
{
    ASSERT_EQ(actual.Keys(), expected.Keys()) << name;
    for (const QString &k : expected.Keys()) {
        if (k.startsWith(QLatin1String("Picture")) || k == QLatin1String("MouseIcon"))
            EXPECT_TRUE(actual.ReadProperty(k, ui::Picture()) == expected.ReadProperty(k, ui::Picture()))
                << name;
        else
            EXPECT_EQ(actual.RawValue(k), expected.RawValue(k)) << name << " " << k.toStdString();
    }
}

class BevelButton : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ui::Timer::SetDefaultClock(&clock);
        window = std::make_unique<QWidget>();
        window->setGeometry(50, 50, 400, 300);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        CursorAway(window.get());
    }
    void TearDown() override
    {
        window.reset();
        ui::Timer::SetDefaultClock(nullptr);
    }
    bvlBUTTON *Make(QWidget *parent, std::uint8_t behaviour, QRect geometry = QRect(10, 10, 80, 24))
    {
        auto *button = new bvlBUTTON(parent);
        button->setGeometry(geometry);
        button->InitNew();
        button->SetBehaviour(behaviour);
        button->show();
        return button;
    }
    ui::ManualClock clock;
    std::unique_ptr<QWidget> window;
};

} // namespace

TEST_F(BevelButton, pushButtonStatesFollowTheMouse)
{
    bvlBUTTON *button = Make(window.get(), bvlBUTTON::PushButton);
    Events events(button);
    button->SetValue(true);
    EXPECT_FALSE(button->Value());
    EXPECT_TRUE(events.log.empty());

    CursorOver(button);
    QTest::mouseMove(button, button->rect().center());
    EXPECT_EQ(button->StateFlags(), bvlBUTTON::Hover);
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    EXPECT_EQ(button->StateFlags(), bvlBUTTON::Pressed | bvlBUTTON::Hover);
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    EXPECT_EQ(button->StateFlags(), bvlBUTTON::Hover);
    EXPECT_EQ(events.log, (std::vector<std::string>{"MouseMove", "MouseDown", "MouseUp", "Click"}));
}

TEST_F(BevelButton, optionGroupClickSwitchesTheOthersOffSilently)
{
    auto *frame = new QFrame(window.get());
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(0, 0, 300, 60);
    frame->show();
    auto *other = new QFrame(window.get());
    other->setObjectName(QStringLiteral("Frame2"));
    other->setGeometry(0, 100, 300, 60);
    other->show();
    bvlBUTTON *options[3];
    for (int i = 0; i < 3; ++i)
        options[i] = Make(frame, bvlBUTTON::OptionButton, QRect(10 + 90 * i, 10, 80, 24));
    bvlBUTTON *elsewhere = Make(other, bvlBUTTON::OptionButton);
    elsewhere->SetValue(true);

    Click(options[0]);
    EXPECT_TRUE(options[0]->Value());
    Events first(options[0]), second(options[1]);
    Click(options[1]);
    EXPECT_FALSE(options[0]->Value());
    EXPECT_TRUE(options[1]->Value());
    EXPECT_EQ(first.Count("Click"), 0);
    EXPECT_EQ(second.Count("Click"), 1);
    EXPECT_TRUE(elsewhere->Value());
    EXPECT_EQ(options[0]->StateFlags() & bvlBUTTON::Pressed, 0);
    // Clicking the chosen one again changes nothing but still reports the click.
    Click(options[1]);
    EXPECT_TRUE(options[1]->Value());
    EXPECT_EQ(second.Count("Click"), 2);
}

TEST_F(BevelButton, toggleClickedTwiceAndSetFromTheHost)
{
    bvlBUTTON *button = Make(window.get(), bvlBUTTON::ToggleButton);
    Events events(button);
    Click(button);
    EXPECT_TRUE(button->Value());
    EXPECT_EQ(button->StateFlags(), bvlBUTTON::Pressed | bvlBUTTON::Hover);
    Click(button);
    EXPECT_FALSE(button->Value());
    EXPECT_EQ(button->StateFlags(), bvlBUTTON::Hover);
    EXPECT_EQ(events.Count("Click"), 2);
    button->SetValue(true);
    EXPECT_EQ(events.Count("Click"), 3);
    button->SetValue(true);
    EXPECT_EQ(events.Count("Click"), 3);
}

TEST_F(BevelButton, mouseKeysFilterPressesButNotReleases)
{
    bvlBUTTON *button = Make(window.get(), bvlBUTTON::ToggleButton);
    Events events(button);
    CursorOver(button);
    QTest::mousePress(button, Qt::RightButton, Qt::NoModifier, button->rect().center());
    EXPECT_EQ(events.Count("MouseDown"), 0);
    EXPECT_EQ(button->StateFlags(), 0);
    QTest::mouseRelease(button, Qt::RightButton, Qt::NoModifier, button->rect().center());
    EXPECT_TRUE(button->Value());
    EXPECT_EQ(events.log, (std::vector<std::string>{"Click", "MouseUp"}));

    // Made a pressing button, the right one toggles through the press like the left: one Click.
    events.log.clear();
    button->SetMouseKeys(1 | 2);
    QTest::mousePress(button, Qt::RightButton, Qt::NoModifier, button->rect().center());
    QTest::mouseRelease(button, Qt::RightButton, Qt::NoModifier, button->rect().center());
    EXPECT_FALSE(button->Value());
    EXPECT_EQ(events.log, (std::vector<std::string>{"MouseDown", "MouseUp", "Click"}));
}

TEST_F(BevelButton, releaseOutsideRestoresTheStateFromValue)
{
    bvlBUTTON *toggle = Make(window.get(), bvlBUTTON::ToggleButton);
    toggle->SetValue(true);
    bvlBUTTON *push = Make(window.get(), bvlBUTTON::PushButton, QRect(10, 60, 80, 24));
    for (bvlBUTTON *button : {toggle, push}) {
        Events events(button);
        CursorOver(button);
        QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
        CursorAway(window.get());
        QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
        EXPECT_EQ(events.log, (std::vector<std::string>{"MouseDown"}));
        EXPECT_EQ(button->StateFlags(), button == toggle ? bvlBUTTON::Pressed : 0);
    }
    EXPECT_TRUE(toggle->Value());
}

TEST_F(BevelButton, hoverTimerReportsMouseExitWithinItsInterval)
{
    bvlBUTTON *button = Make(window.get(), bvlBUTTON::PushButton);
    Events events(button);
    CursorOver(button);
    QTest::mouseMove(button, button->rect().center());
    clock.Advance(bvlBUTTON::HoverInterval * 3); // still over: nothing happens
    EXPECT_EQ(events.Count("MouseExit"), 0);
    CursorAway(window.get());
    clock.Advance(bvlBUTTON::HoverInterval);
    EXPECT_EQ(events.Count("MouseExit"), 1);
    EXPECT_EQ(button->StateFlags(), 0);
    clock.Advance(1000);
    EXPECT_EQ(events.Count("MouseExit"), 1);
}

TEST_F(BevelButton, movesWhilePressedReportTwoPixelsLess)
{
    bvlBUTTON *button = Make(window.get(), bvlBUTTON::PushButton);
    Events events(button);
    CursorOver(button, QPoint(20, 10));
    QTest::mouseMove(button, QPoint(20, 10));
    EXPECT_EQ(events.lastMove, QPointF(20, 10));
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 12), button->mapToGlobal(QPointF(30, 12)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &move);
    EXPECT_EQ(events.lastMove, QPointF(28, 10));
}

TEST_F(BevelButton, disabledButtonIgnoresTheMouseButNotTheKeyboard)
{
    bvlBUTTON *button = Make(window.get(), bvlBUTTON::ToggleButton);
    button->SetEnabled(false);
    EXPECT_EQ(button->StateFlags(), bvlBUTTON::Disabled);
    Events events(button);
    CursorOver(button);
    QTest::mouseMove(button, button->rect().center());
    Click(button);
    Q_EMIT button->AccessKeyPress('S');
    EXPECT_TRUE(events.log.empty());
    EXPECT_FALSE(button->Value());
    EXPECT_EQ(button->StateFlags(), bvlBUTTON::Disabled);

    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(events.log, (std::vector<std::string>{"KeyDown", "KeyPress", "KeyUp"}));
    EXPECT_FALSE(button->Value()); // no built-in keyboard operation
}

TEST_F(BevelButton, accessKeyFlashesAndClicks)
{
    bvlBUTTON *button = Make(window.get(), bvlBUTTON::PushButton);
    Events events(button);
    Q_EMIT button->AccessKeyPress('S');
    EXPECT_EQ(events.log, (std::vector<std::string>{"Click"}));
    EXPECT_EQ(button->StateFlags(), bvlBUTTON::FlashState);
    clock.Advance(bvlBUTTON::HoverInterval);
    EXPECT_EQ(button->StateFlags(), 0);
    EXPECT_EQ(events.Count("MouseExit"), 0); // a flash ends without a mouse exit
}

TEST_F(BevelButton, offsetWritesAreValidatedWithMessagesOnlyAtDesignTime)
{
    services::RecordingMessageBox box;
    services::MessageBox::SetCurrent(&box);
    bvlBUTTON *button = Make(window.get(), bvlBUTTON::PushButton);
    std::vector<QString> changed;
    QObject::connect(button, &ui::UserControl::PropertyChanged,
                     [&](const QString &k) { changed.push_back(k); });

    button->SetCaptionOffset(QStringLiteral(" ( 3 , -2 ) "));
    EXPECT_EQ(button->CaptionOffset(), QStringLiteral("(3,-2)"));
    EXPECT_EQ(changed, (std::vector<QString>{QStringLiteral("CaptionOffset")}));
    button->SetCaptionOffset(QStringLiteral("(x,1)")); // run time: refused quietly
    EXPECT_EQ(button->CaptionOffset(), QStringLiteral("(3,-2)"));
    EXPECT_TRUE(box.calls.empty());

    ui::AmbientProperties designing = button->Ambient();
    designing.UserMode = false;
    button->SetAmbient(designing);
    button->SetPictureOffset(QStringLiteral("(x,1)"));
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, bevel::mdlSHPCLR::CartesianNonNumericMessage);
    EXPECT_EQ(button->PictureOffset(), QStringLiteral("(0,0)"));
    EXPECT_EQ(changed.size(), 1u);
    services::MessageBox::SetCurrent(nullptr);
}

TEST_F(BevelButton, studioButtonsSurviveASaveAndRestore)
{
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    {
        QPainter painter(&icon);
        painter.fillRect(3, 3, 10, 10, QColor(0, 128, 0));
    }
    struct Stored {
        const char *name;
        int width, height, appearance, bevelHeight;
        const char *caption, *captionOffset, *pictureOffset;
        std::uint32_t transparency;
    } stored[] = {{"cmdSpkText", 95, 95, 1, 5, "SPEAK", "(8,0)", "(-19,0)", 0x0000FF},
                  {"cmdPauseText", 119, 19, 0, 3, "PAUSE", "(8,0)", "(-23,0)", 0x0000FF},
                  {"cmdStopText", 107, 19, 0, 3, "STOP", "(10,0)", "(-14,0)", 0x0000FF},
                  {"cmdClearText", 119, 19, 0, 3, "CLEAR", "(9,0)", "(-21,0)", 0x0000FF},
                  {"cmdSaveFile", 103, 19, 0, 3, "FILENAME", "(7,0)", "(-30,0)", 0x0000FF},
                  {"cmdRec", 103, 19, 0, 3, "RECORD", "(8,0)", "(-25,0)", 0xFFFFFF}};
    const QStringList order = {
        "AccessKeys",     "Appearance",   "BackColour",     "Behaviour",     "BevelAutoAdjust",
        "BevelHeight",    "Caption",      "CaptionJustify", "CaptionColour", "CaptionHoverColour",
        "CaptionOffset",  "Enabled",      "Font",           "MouseKeys",     "Picture",
        "PictureJustify", "PictureHover", "PictureOffset",  "Transparency",  "UseTransparency",
        "Value",          "MouseIcon",    "MousePointer"};
    for (const Stored &s : stored) {
        ui::PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Appearance"), s.appearance);
        bag.WriteProperty(QStringLiteral("BackColour"), std::uint32_t(0xE0E0E0));
        bag.WriteProperty(QStringLiteral("BevelAutoAdjust"), false);
        bag.WriteProperty(QStringLiteral("BevelHeight"), s.bevelHeight);
        bag.WriteProperty(QStringLiteral("Caption"), QString::fromLatin1(s.caption));
        bag.WriteProperty(QStringLiteral("CaptionColour"), std::uint32_t(0x404040));
        bag.WriteProperty(QStringLiteral("CaptionHoverColour"), std::uint32_t(0x0040C0));
        bag.WriteProperty(QStringLiteral("CaptionOffset"), QString::fromLatin1(s.captionOffset));
        bag.WriteProperty(QStringLiteral("Picture"), ui::Picture::FromIcon(icon));
        bag.WriteProperty(QStringLiteral("PictureOffset"), QString::fromLatin1(s.pictureOffset));
        bag.WriteProperty(QStringLiteral("Transparency"), s.transparency);

        auto *button = new bvlBUTTON(window.get());
        ui::AmbientProperties ambient;
        ambient.DisplayName = QString::fromLatin1(s.name);
        button->SetAmbient(ambient);
        button->setGeometry(0, 0, s.width, s.height);
        button->Restore(bag);
        EXPECT_EQ(button->BevelHeight(), s.bevelHeight) << s.name;
        EXPECT_EQ(button->Caption(), QString::fromLatin1(s.caption));
        EXPECT_EQ(button->size(), QSize(s.width, s.height)) << s.name;
        EXPECT_EQ(button->NormalPlacement().width, 16);

        const ui::PropertyBag saved = button->Save();
        // The stored keys come back in the order the button writes them, which the bag above follows.
        const QStringList keys = saved.Keys();
        for (int i = 1; i < keys.size(); ++i)
            EXPECT_LT(order.indexOf(keys[i - 1]), order.indexOf(keys[i])) << s.name;
        ExpectSameProperties(saved, bag, s.name);

        auto *again = new bvlBUTTON(window.get());
        again->SetAmbient(ambient);
        again->setGeometry(0, 0, s.width, s.height);
        again->Restore(saved);
        ExpectSameProperties(again->Save(), saved, s.name);
        EXPECT_EQ(again->RaisedFace().Image(), button->RaisedFace().Image()) << s.name;
    }
}
