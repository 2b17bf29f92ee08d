// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/StudioShortcuts.h"

#include "bevel/BevelButtonAccessible.h"
#include "bevel/bvlBUTTON.h"
#include "controls/ScrollAccessible.h"
#include "controls/UcCmd.h"
#include "controls/UcScroll.h"
#include "multibutton/MultiButtonAccessible.h"
#include "multibutton/zqButtons_H.h"
#include "studio/Main.h"
#include "studio/MenuBar.h"
#include "studio/RichTextBox.h"
#include "studio/StudioStrings.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

namespace studio
{

namespace
{

// Virtual key codes the bevel buttons report.
constexpr std::int16_t KeySpace = 32;
constexpr std::int16_t KeyEnter = 13;

// Arrow, page, Home and End keys on a focused scroll bar move it as its arrows, track and ends
// would; the first arrow (left / up) lowers the value.
class ScrollKeys : public QObject
{
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *scroll = qobject_cast<controls::UcScroll *>(watched);
        if (!scroll || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & ~(Qt::KeypadModifier))
            return false;
        const std::int64_t value = scroll->Value();
        std::int64_t target = 0;
        switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            target = value - scroll->SmallChange();
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            target = value + scroll->SmallChange();
            break;
        case Qt::Key_PageUp:
            target = value - scroll->LargeChange();
            break;
        case Qt::Key_PageDown:
            target = value + scroll->LargeChange();
            break;
        case Qt::Key_Home:
            target = scroll->Min();
            break;
        case Qt::Key_End:
            target = scroll->Max();
            break;
        default:
            return false;
        }
        controls::ScrollAccessible::MoveTo(scroll, target);
        return true;
    }
};

// Ctrl+Tab and Ctrl+Shift+Tab leave the editor, which keeps Tab for tab characters.
class LeaveEditor : public QObject
{
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *editor = qobject_cast<QWidget *>(watched);
        if (!editor || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (!tab || !(key->modifiers() & Qt::ControlModifier))
            return false;
        const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
        QWidget *next = editor;
        do {
            next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
        } while (next != editor &&
                 !((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(editor->window()) &&
                   next->isEnabled() && next->window() == editor->window()));
        if (next != editor)
            next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
};

// The focused tool bar button is the window's default one, as a form makes its focused button:
// it draws its focus frame unless its stored ShowFocusRect says not to.
class FocusedIsDefault : public QObject
{
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *button = qobject_cast<multibutton::zqButtons_H *>(watched);
        if (button && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
            ui::AmbientProperties ambient = button->Ambient();
            ambient.DisplayAsDefault = event->type() == QEvent::FocusIn;
            button->SetAmbient(ambient);
        }
        return false;
    }
};

void Bind(QWidget *widget, const QKeySequence &key)
{
    widget->setProperty("keyBinding", key.toString(QKeySequence::PortableText));
}

// The menu items' keys, once the menu is built.
void BindMenu(MenuBar *menu)
{
    for (int i = 0; i < menu->Count(); ++i) {
        QAction *action = menu->Action(i);
        if (!action)
            continue;
        if (menu->Key(i) == strings::KeyExit)
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
        else if (menu->Key(i) == strings::KeyHelpFile)
            action->setShortcut(QKeySequence(Qt::Key_F1));
    }
}

} // namespace

void SetUpKeyboard(Main &window)
{
    // Names a screen reader reads where the control itself has none worth reading.
    window.scrSpeed()->setAccessibleName(QStringLiteral("Speed"));
    window.scrPitch()->setAccessibleName(QStringLiteral("Tone"));
    window.RichTextBox1()->setAccessibleName(QStringLiteral("Text to speak"));
    window.txtFile()->setAccessibleName(QStringLiteral("Wave file"));
    if (controls::UcCmd *restore = window.UcCmd(3)) {
        // The restore button of the window's frame does nothing.
        restore->setAccessibleName(QStringLiteral("Restore"));
        restore->setProperty("inert", true);
    }

    // The scroll bars take the focus from Tab and move with the keys.
    auto *scrollKeys = new ScrollKeys(&window);
    for (controls::UcScroll *scroll : {window.scrSpeed(), window.scrPitch()}) {
        scroll->setFocusPolicy(Qt::StrongFocus);
        scroll->installEventFilter(scrollKeys);
    }

    window.RichTextBox1()->installEventFilter(new LeaveEditor(&window));

    auto *focusedIsDefault = new FocusedIsDefault(&window);
    for (multibutton::zqButtons_H *button : window.findChildren<multibutton::zqButtons_H *>())
        button->installEventFilter(focusedIsDefault);

    // Space and Enter released on a focused bevel button press it (the button itself only
    // reports the keys).
    for (bevel::bvlBUTTON *button : {window.cmdSpkText(), window.cmdPauseText(), window.cmdStopText(),
                                     window.cmdClearText(), window.cmdSaveFile(), window.cmdRec()}) {
        QObject::connect(button, &bevel::bvlBUTTON::KeyUp, button,
                         [button](std::int16_t &code, std::int16_t &shift) {
                             if ((code == KeySpace || code == KeyEnter) && shift == 0)
                                 bevel::BevelButtonAccessible::Press(button);
                         });
        // A disabled button leaves the Tab order (a mouse cannot press it either).
        const auto followEnabled = [button] {
            button->setFocusPolicy(button->Enabled() ? Qt::StrongFocus : Qt::NoFocus);
        };
        QObject::connect(button, &ui::UserControl::PropertyChanged, button,
                         [followEnabled](const QString &key) {
                             if (key == QLatin1String("Enabled"))
                                 followEnabled();
                         });
        followEnabled();
    }

    // The speech keys are the window's own; the buttons' actions report them.
    Bind(window.cmdSpkText(), QKeySequence(Qt::Key_F5));
    Bind(window.cmdPauseText(), QKeySequence(Qt::Key_F6));
    Bind(window.cmdStopText(), QKeySequence(Qt::Key_F7));

    // Keys that act as their buttons, disabled buttons included (then nothing happens).
    const auto bevelKey = [&window](const QKeySequence &key, bevel::bvlBUTTON *button) {
        Bind(button, key);
        auto *shortcut = new QShortcut(key, &window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, button,
                         [button] { bevel::BevelButtonAccessible::Press(button); });
    };
    bevelKey(QKeySequence(Qt::CTRL | Qt::Key_R), window.cmdRec());
    bevelKey(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), window.cmdSaveFile());

    const auto toolKey = [&window](const QKeySequence &key, const char *name, QWidget *scope) {
        multibutton::zqButtons_H *button = window.ToolButton(QString::fromLatin1(name));
        if (!button)
            return;
        Bind(button, key);
        auto *shortcut = new QShortcut(key, scope);
        shortcut->setContext(scope == &window ? Qt::WindowShortcut : Qt::WidgetShortcut);
        QObject::connect(shortcut, &QShortcut::activated, button,
                         [button] { multibutton::MultiButtonAccessible::Press(button); });
    };
    toolKey(QKeySequence(Qt::CTRL | Qt::Key_O), "cmdOpen", &window);
    toolKey(QKeySequence(Qt::CTRL | Qt::Key_B), "cmdBold", window.RichTextBox1());
    toolKey(QKeySequence(Qt::CTRL | Qt::Key_I), "cmdItalic", window.RichTextBox1());

    // Exit and How to Use are menu items; the menu is built when the window loads.
    MenuBar *menu = window.SmartMenuXP1();
    QObject::connect(&window, &ui::Form::Load, menu, [menu] { BindMenu(menu); });
    if (menu->Count() > 0)
        BindMenu(menu);
}

} // namespace studio
