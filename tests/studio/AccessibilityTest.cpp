// SPDX-License-Identifier: GPL-3.0-or-later
// The studio as a screen reader and a keyboard user find it: every control's role, name, states
// and value through Qt's accessibility interfaces, their actions, and the keys.
#include "studio/Main.h"

#include "bevel/bvlBUTTON.h"
#include "controls/UcCmd.h"
#include "controls/UcScroll.h"
#include "multibutton/zqButtons_H.h"
#include "platform/services/MessageBox.h"
#include "studio/LevelDisplay.h"
#include "studio/MenuBar.h"
#include "studio/RichTextBox.h"
#include "studio/StudioStrings.h"
#include "tests/speech/FakeAudioDevice.h"
#include "tests/speech/WordBackend.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

using namespace studio;
namespace strings = studio::strings;

namespace
{

// Every accessibility event of the test, as (object, type).
std::vector<std::pair<QObject *, QAccessible::Event>> g_events;
void RecordEvent(QAccessibleEvent *event)
{
    g_events.emplace_back(event->object(), event->type());
}

class StudioAccessibilityTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        g_events.clear();
        QAccessible::installUpdateHandler(&RecordEvent);
        QAccessible::setActive(true);
        if (!EventsObservable())
            std::printf("note: no screen reader bridge; the accessibility events go unchecked here\n");
        services::MessageBox::SetCurrent(&box);
        Main::Options options;
        options.definition = QStringLiteral(ORVENA_BINARY_DIR "/resources/studio/Main.json");
        options.engine.catalogue = WordBackend::Catalogue(QStringLiteral("Mary"));
        options.engine.audioDevice = FakeAudioDevice::Factory(device);
        QString error;
        window = Main::Create(options, &error);
        ASSERT_TRUE(window) << error.toStdString();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override
    {
        window.reset();
        services::MessageBox::SetCurrent(nullptr);
        QAccessible::setActive(false);
        QAccessible::installUpdateHandler(nullptr);
    }

    static QAccessibleInterface *Of(QObject *object)
    {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
        EXPECT_NE(iface, nullptr);
        return iface;
    }
    static QString Name(QObject *object) { return Of(object)->text(QAccessible::Name); }
    static QString Description(QObject *object) { return Of(object)->text(QAccessible::Description); }
    static void Press(QObject *object)
    {
        QAccessibleActionInterface *action = Of(object)->actionInterface();
        ASSERT_NE(action, nullptr);
        ASSERT_TRUE(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
        action->doAction(QAccessibleActionInterface::pressAction());
    }
    static QStringList Keys(QObject *object)
    {
        return Of(object)->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction());
    }
    // Events reach the update handler only while a screen reader bridge is active (the offscreen
    // platform has none, the end-to-end test listens for them there).
    static bool EventsObservable() { return QAccessible::isActive(); }
    int EventsFor(QObject *object, QAccessible::Event type) const
    {
        int n = 0;
        for (const auto &[o, t] : g_events)
            n += (o == object && t == type) ? 1 : 0;
        return n;
    }
    QString Status() const { return window->lblStatus()->text(); }
    multibutton::zqButtons_H *Tool(const char *name) const
    {
        return window->ToolButton(QString::fromLatin1(name));
    }

    services::RecordingMessageBox box;
    std::shared_ptr<FakeAudioDevice::State> device = std::make_shared<FakeAudioDevice::State>();
    std::unique_ptr<Main> window;
};

} // namespace

TEST_F(StudioAccessibilityTest, everyControlHasItsRoleNameDescriptionAndStates)
{
    const std::pair<bevel::bvlBUTTON *, const char *> speech[] = {
        {window->cmdSpkText(), "SPEAK"}, {window->cmdPauseText(), "PAUSE"},
        {window->cmdStopText(), "STOP"}, {window->cmdClearText(), "CLEAR"},
        {window->cmdRec(), "RECORD"},    {window->cmdSaveFile(), "FILENAME"}};
    for (const auto &[button, name] : speech) {
        QAccessibleInterface *iface = Of(button);
        EXPECT_EQ(iface->role(), QAccessible::Button) << name;
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromLatin1(name));
        EXPECT_EQ(iface->text(QAccessible::Description), button->toolTip()) << name;
        EXPECT_FALSE(iface->state().checkable) << name;
        EXPECT_TRUE(iface->state().focusable || button == window->cmdPauseText()) << name;
        EXPECT_EQ(bool(iface->state().disabled), button == window->cmdPauseText()) << name;
    }
    EXPECT_EQ(Description(window->cmdSpkText()), QStringLiteral("Speak Text"));

    const std::pair<const char *, const char *> tools[] = {{"cmdOpen", "Open File"},
                                                           {"cmdCut", "Cut"},
                                                           {"cmdCopy", "Copy"},
                                                           {"cmdPaste", "Paste"},
                                                           {"cmdDelete", "Delete"},
                                                           {"cmdClear", "Clear Clipboard"},
                                                           {"cmdAll", "Select All"},
                                                           {"cmdBold", "Bold"},
                                                           {"cmdItalic", "Italic"},
                                                           {"cmdFont", "Set Font"},
                                                           {"cmdForeColor", "Set Fore Color"},
                                                           {"cmdBackColor", "Set Back Color"}};
    for (const auto &[object, name] : tools) {
        QAccessibleInterface *iface = Of(Tool(object));
        EXPECT_EQ(iface->role(), QAccessible::Button) << object;
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromLatin1(name)) << object;
        const bool check = QByteArray(object) == "cmdBold" || QByteArray(object) == "cmdItalic";
        EXPECT_EQ(bool(iface->state().checkable), check) << object;
        EXPECT_FALSE(iface->state().checked) << object;
        EXPECT_FALSE(iface->state().disabled) << object;
    }

    const struct {
        controls::UcScroll *scroll;
        const char *name;
        int value, min, max, step;
    } sliders[] = {{window->scrSpeed(), "Speed", 150, 50, 270, 1},
                   {window->scrPitch(), "Tone", 170, 90, 300, 10}};
    for (const auto &s : sliders) {
        QAccessibleInterface *iface = Of(s.scroll);
        EXPECT_EQ(iface->role(), QAccessible::Slider);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromLatin1(s.name));
        QAccessibleValueInterface *value = iface->valueInterface();
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->currentValue().toInt(), s.value) << s.name;
        EXPECT_EQ(value->minimumValue().toInt(), s.min) << s.name;
        EXPECT_EQ(value->maximumValue().toInt(), s.max) << s.name;
        EXPECT_EQ(value->minimumStepSize().toInt(), s.step) << s.name;
        EXPECT_TRUE(iface->state().focusable) << s.name;
    }

    const std::pair<int, const char *> caption[] = {{1, "Close"}, {2, "Minimize Window"}};
    for (const auto &[number, name] : caption) {
        QAccessibleInterface *iface = Of(window->UcCmd(number));
        EXPECT_EQ(iface->role(), QAccessible::Button);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromLatin1(name));
        EXPECT_FALSE(iface->state().disabled);
    }
    QAccessibleInterface *restore = Of(window->UcCmd(3));
    EXPECT_EQ(restore->text(QAccessible::Name), QStringLiteral("Restore"));
    EXPECT_TRUE(restore->state().disabled);
    EXPECT_TRUE(restore->actionInterface() == nullptr || restore->actionInterface()->actionNames().isEmpty());

    EXPECT_EQ(Of(window->RichTextBox1())->role(), QAccessible::EditableText);
    EXPECT_EQ(Name(window->RichTextBox1()), QStringLiteral("Text to speak"));
    EXPECT_EQ(Of(window->Picture1())->role(), QAccessible::Graphic);
    EXPECT_TRUE(Name(window->Picture1()).isEmpty()) << "the level display is decorative";
    EXPECT_EQ(Of(window->lblStatus())->role(), QAccessible::StaticText);
    EXPECT_EQ(Name(window->lblStatus()), strings::Stopped);
    EXPECT_EQ(Of(window->SmartMenuXP1())->role(), QAccessible::MenuBar);
    EXPECT_GE(Of(window->SmartMenuXP1())->childCount(), 2);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Of(window->optVoice(i))->role(), QAccessible::RadioButton);
        EXPECT_EQ(Name(window->optVoice(i)), window->optVoice(i)->text());
    }
    EXPECT_TRUE(Of(window->optVoice(0))->state().checked);

    // Everything above hangs in the window's tree.
    QAccessibleInterface *root = Of(window.get());
    for (QObject *object :
         std::initializer_list<QObject *>{window->cmdSpkText(), Tool("cmdBold"), window->scrPitch(),
                                          window->UcCmd(1), window->RichTextBox1()}) {
        QAccessibleInterface *iface = Of(object);
        while (iface && iface != root)
            iface = iface->parent();
        EXPECT_EQ(iface, root) << object->objectName().toStdString();
    }
}

TEST_F(StudioAccessibilityTest, pressActionsClickAsTheMouseDoesAndNothingWhenDisabled)
{
    window->RichTextBox1()->SetText(QStringLiteral("Alpha bravo charlie. Delta echo."));
    QSignalSpy pauseClicks(window->cmdPauseText(), &bevel::bvlBUTTON::Click);

    Press(window->cmdPauseText()); // disabled while stopped
    EXPECT_EQ(pauseClicks.count(), 0);
    EXPECT_EQ(Status(), strings::Stopped);

    Press(window->cmdSpkText());
    EXPECT_EQ(Status(), strings::Speaking);
    if (EventsObservable()) {
        EXPECT_GE(EventsFor(window->lblStatus(), QAccessible::NameChanged), 1)
            << "the status change is announced";
    }
    EXPECT_FALSE(Of(window->cmdPauseText())->state().disabled);

    const int nameChanges = EventsFor(window->cmdPauseText(), QAccessible::NameChanged);
    Press(window->cmdPauseText());
    EXPECT_EQ(pauseClicks.count(), 1);
    EXPECT_EQ(Status(), strings::Paused);
    EXPECT_EQ(Name(window->cmdPauseText()), strings::Resume);
    if (EventsObservable()) {
        EXPECT_GT(EventsFor(window->cmdPauseText(), QAccessible::NameChanged), nameChanges);
    }
    EXPECT_TRUE(Of(window->cmdSpkText())->state().disabled);
    Press(window->cmdSpkText()); // disabled while paused
    EXPECT_EQ(Status(), strings::Paused);

    Press(window->cmdStopText());
    EXPECT_EQ(Status(), strings::Stopped);
    EXPECT_EQ(Name(window->cmdPauseText()), strings::Pause);

    // A check-mode tool button turns over and clicks once per press, as a mouse click does.
    multibutton::zqButtons_H *bold = Tool("cmdBold");
    QSignalSpy boldClicks(bold, &multibutton::zqButtons_H::Click);
    window->RichTextBox1()->selectAll();
    Press(bold);
    EXPECT_EQ(boldClicks.count(), 1);
    EXPECT_TRUE(bold->Value());
    EXPECT_TRUE(Of(bold)->state().checked);
    EXPECT_EQ(window->RichTextBox1()->SelBold(), std::optional<bool>(true));
    bold->SetEnabled(false);
    Press(bold);
    EXPECT_EQ(boldClicks.count(), 1);
    EXPECT_TRUE(Of(bold)->state().disabled);

    // The caption buttons: Minimize Window minimises the window.
    Press(window->UcCmd(2));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->isMinimized() || window->windowState() & Qt::WindowMinimized; }, 2000));
}

TEST_F(StudioAccessibilityTest, sliderValueInterfaceMovesTheThumbAsADragWould)
{
    controls::UcScroll *speed = window->scrSpeed();
    QSignalSpy change(speed, &controls::UcScroll::Change);
    QSignalSpy scroll(speed, &controls::UcScroll::Scroll);
    QAccessibleValueInterface *value = Of(speed)->valueInterface();

    value->setCurrentValue(200);
    EXPECT_EQ(speed->Value(), 200);
    EXPECT_EQ(change.count(), 1);
    EXPECT_EQ(scroll.count(), 1);
    if (EventsObservable()) {
        EXPECT_GE(EventsFor(speed, QAccessible::ValueChanged), 1);
    }

    value->setCurrentValue(100000); // clamped to Max
    EXPECT_EQ(speed->Value(), 270);
    value->setCurrentValue(-5.0e12); // clamped to Min, without overflow
    EXPECT_EQ(speed->Value(), 50);
    value->setCurrentValue(QStringLiteral("fast")); // not a number: nothing
    EXPECT_EQ(speed->Value(), 50);
    EXPECT_EQ(change.count(), 3);

    // The keys move it by SmallChange and LargeChange, and to its ends.
    controls::UcScroll *tone = window->scrPitch();
    tone->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tone->hasFocus(); }, 2000));
    QTest::keyClick(tone, Qt::Key_Right);
    EXPECT_EQ(tone->Value(), 180);
    QTest::keyClick(tone, Qt::Key_Left);
    QTest::keyClick(tone, Qt::Key_Left);
    EXPECT_EQ(tone->Value(), 160);
    QTest::keyClick(tone, Qt::Key_End);
    EXPECT_EQ(tone->Value(), 300);
    QTest::keyClick(tone, Qt::Key_Right);
    EXPECT_EQ(tone->Value(), 300);
    QTest::keyClick(tone, Qt::Key_Home);
    EXPECT_EQ(tone->Value(), 90);
}

TEST_F(StudioAccessibilityTest, keysPressTheirControlsAndActionsReportThem)
{
    EXPECT_EQ(Keys(window->cmdSpkText()), QStringList{QStringLiteral("F5")});
    EXPECT_EQ(Keys(window->cmdPauseText()), QStringList{QStringLiteral("F6")});
    EXPECT_EQ(Keys(window->cmdStopText()), QStringList{QStringLiteral("F7")});
    EXPECT_EQ(Keys(window->cmdRec()), QStringList{QStringLiteral("Ctrl+R")});
    EXPECT_EQ(Keys(window->cmdSaveFile()), QStringList{QStringLiteral("Ctrl+Shift+S")});
    EXPECT_EQ(Keys(Tool("cmdOpen")), QStringList{QStringLiteral("Ctrl+O")});
    EXPECT_EQ(Keys(Tool("cmdBold")), QStringList{QStringLiteral("Ctrl+B")});
    EXPECT_EQ(Keys(Tool("cmdItalic")), QStringList{QStringLiteral("Ctrl+I")});
    MenuBar *menu = window->SmartMenuXP1();
    for (int i = 0; i < menu->Count(); ++i) {
        if (menu->Key(i) == strings::KeyExit) {
            EXPECT_EQ(menu->Action(i)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        } else if (menu->Key(i) == strings::KeyHelpFile) {
            EXPECT_EQ(menu->Action(i)->shortcut(), QKeySequence(Qt::Key_F1));
        }
    }

    // Space and Enter on a focused bevel button press it; not while it is disabled.
    RichTextBox *editor = window->RichTextBox1();
    editor->SetText(QStringLiteral("Alpha bravo charlie."));
    window->cmdSpkText()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->cmdSpkText()->hasFocus(); }, 2000));
    QTest::keyClick(window->cmdSpkText(), Qt::Key_Space);
    EXPECT_EQ(Status(), strings::Speaking);
    window->cmdPauseText()->setFocus();
    QTest::keyClick(window->cmdPauseText(), Qt::Key_Return);
    EXPECT_EQ(Status(), strings::Paused);
    QTest::keyClick(window->cmdSpkText(), Qt::Key_Space); // SPEAK is disabled while paused
    EXPECT_EQ(Status(), strings::Paused);
    QTest::keyClick(window->cmdStopText(), Qt::Key_Space);
    EXPECT_EQ(Status(), strings::Stopped);

    // Ctrl+B and Ctrl+I in the editor act as the Bold and Italic buttons, nothing when disabled.
    editor->setFocus();
    editor->selectAll();
    QSignalSpy boldClicks(Tool("cmdBold"), &multibutton::zqButtons_H::Click);
    QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(boldClicks.count(), 1);
    EXPECT_TRUE(Tool("cmdBold")->Value());
    EXPECT_EQ(editor->SelBold(), std::optional<bool>(true));
    QTest::keyClick(editor, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(editor->SelItalic(), std::optional<bool>(true));
    Tool("cmdItalic")->SetEnabled(false);
    QTest::keyClick(editor, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(editor->SelItalic(), std::optional<bool>(true));
    EXPECT_EQ(editor->Text(), QStringLiteral("Alpha bravo charlie.")) << "the keys type nothing";

    // Ctrl+R does nothing while RECORD is disabled.
    window->cmdRec()->SetEnabled(false);
    QTest::keyClick(editor, Qt::Key_R, Qt::ControlModifier);
    EXPECT_FALSE(window->Recording());
}

TEST_F(StudioAccessibilityTest, tabVisitsTheControlsInLayoutOrderAndCtrlTabLeavesTheEditor)
{
    window->cmdSpkText()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->cmdSpkText()->hasFocus(); }, 2000));
    std::vector<QWidget *> visited;
    for (int i = 0; i < 40 && !window->RichTextBox1()->hasFocus(); ++i) {
        visited.push_back(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    ASSERT_TRUE(window->RichTextBox1()->hasFocus());
    const std::vector<QWidget *> expected = {
        window->cmdSpkText(), window->cmdStopText(), window->cmdClearText(),
        window->cmdRec(),     window->cmdSaveFile(), window->txtFile(),
        window->scrSpeed(),   window->scrPitch(),    window->optVoice(0)};
    // PAUSE is disabled while stopped; the menu bar takes no focus from Tab.
    const auto names = [](const std::vector<QWidget *> &widgets) {
        QStringList list;
        for (QWidget *w : widgets)
            list << (w ? w->objectName() : QStringLiteral("-"));
        return list.join(QLatin1Char(' ')).toStdString();
    };
    EXPECT_EQ(names(visited), names(expected));

    QTest::keyClick(window->RichTextBox1(), Qt::Key_Tab);
    EXPECT_TRUE(window->RichTextBox1()->hasFocus());
    EXPECT_EQ(window->RichTextBox1()->Text(), QStringLiteral("\t"));
    QTest::keyClick(window->RichTextBox1(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), Tool("cmdOpen"));
    QTest::keyClick(Tool("cmdOpen"), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), window->RichTextBox1());
}

TEST_F(StudioAccessibilityTest, theFocusShowsOnOwnerDrawnControlsUnlessTheirSettingsHideIt)
{
    const auto focusChangesLook = [](QWidget *widget, QWidget *elsewhere) {
        elsewhere->setFocus();
        EXPECT_TRUE(QTest::qWaitFor([&] { return elsewhere->hasFocus(); }, 2000));
        const QImage unfocused = widget->grab().toImage();
        widget->setFocus();
        EXPECT_TRUE(QTest::qWaitFor([&] { return widget->hasFocus(); }, 2000));
        const QImage focused = widget->grab().toImage();
        return unfocused != focused;
    };
    QWidget *editor = window->RichTextBox1();
    EXPECT_TRUE(focusChangesLook(window->cmdSpkText(), editor));
    EXPECT_TRUE(focusChangesLook(window->cmdStopText(), editor));
    EXPECT_TRUE(focusChangesLook(window->scrSpeed(), editor));

    // Select All keeps the focus frame of its settings; the other tool bar buttons hide it.
    EXPECT_TRUE(focusChangesLook(Tool("cmdAll"), editor));
    EXPECT_TRUE(Tool("cmdAll")->StateFlags() & multibutton::zqButtons_H::DefaultFrame);
    EXPECT_FALSE(focusChangesLook(Tool("cmdCut"), editor));
    EXPECT_FALSE(Tool("cmdCut")->StateFlags() & multibutton::zqButtons_H::DefaultFrame);
    editor->setFocus();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !(Tool("cmdAll")->StateFlags() & multibutton::zqButtons_H::DefaultFrame); }, 2000))
        << "the frame goes with the focus";
}
