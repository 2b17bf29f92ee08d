// SPDX-License-Identifier: GPL-3.0-or-later
// Input of the multi-style button: mouse, keys, access keys, focus, hover and drag and drop.
#include "multibutton/zqButtons_H.h"

#include "multibutton/modZqTimer.h"
#include "multibutton/zqStrings.h"
#include "platform/ui/InputCodes.h"
#include "platform/ui/MouseCapture.h"
#include "platform/ui/WindowProps.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMimeData>
#include <QMouseEvent>

namespace multibutton
{

namespace
{

// Arrow keys handed on to the container: Qt key and the scan code of the key data.
struct Arrow {
    std::int16_t code;
    Qt::Key key;
    quint32 scanCode;
};
constexpr Arrow Arrows[] = {
    {39, Qt::Key_Right, 0x4D}, {40, Qt::Key_Down, 0x50}, {37, Qt::Key_Left, 0x4B}, {38, Qt::Key_Up, 0x48}};

const Arrow *ArrowOf(std::int16_t code)
{
    for (const Arrow &a : Arrows)
        if (a.code == code)
            return &a;
    return nullptr;
}

// Drag-and-drop effects: 1 copy, 2 move, 4 link, as Qt numbers its drop actions.
std::int32_t EffectOf(Qt::DropActions actions)
{
    return std::int32_t(actions & (Qt::CopyAction | Qt::MoveAction | Qt::LinkAction));
}

Qt::DropAction ActionOf(std::int32_t effect, Qt::DropActions possible)
{
    for (Qt::DropAction a : {Qt::CopyAction, Qt::MoveAction, Qt::LinkAction})
        if ((effect & a) && (possible & a))
            return a;
    return Qt::IgnoreAction;
}

// Data offered by a drag from the button: a format declared with empty data is asked for from
// the host (OLESetData) the first time a target reads it.
class ButtonMimeData : public QMimeData
{
  public:
    explicit ButtonMimeData(zqButtons_H *button) : button_(button) {}

  protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override
    {
        QVariant v = QMimeData::retrieveData(mimeType, type);
        if (button_ && hasFormat(mimeType) && data(mimeType).isEmpty() && !asking_) {
            asking_ = true;
            std::int16_t format = mimeType.startsWith(QLatin1String("text/plain")) ? 1
                                  : mimeType == QLatin1String("text/uri-list")     ? 15
                                  : mimeType.startsWith(QLatin1String("image/"))   ? 2
                                                                                   : 0;
            Q_EMIT button_->OLESetData(this, format);
            asking_ = false;
            v = QMimeData::retrieveData(mimeType, type);
        }
        return v;
    }

  private:
    QPointer<zqButtons_H> button_;
    mutable bool asking_ = false;
};

} // namespace

bool zqButtons_H::CursorOverMe() const
{
    return QApplication::widgetAt(QCursor::pos()) == this;
}

// ---------------------------------------------------------------------------------------------
// Qt events to the host's notifications

void zqButtons_H::mousePressEvent(QMouseEvent *event)
{
    clickArmed_ = true;
    armedButton_ = event->button();
    UserControl_MouseDown(ui::MouseButtonCode(event->button()), ui::ShiftCode(event->modifiers()),
                          float(event->position().x()), float(event->position().y()));
    event->accept();
}

void zqButtons_H::mouseReleaseEvent(QMouseEvent *event)
{
    UserControl_MouseUp(ui::MouseButtonCode(event->button()), ui::ShiftCode(event->modifiers()),
                        float(event->position().x()), float(event->position().y()));
    // The platform's click: the release, over the button, of the button that pressed it.
    const QPoint at = event->position().toPoint();
    const bool inside = rect().contains(at) && (mask().isEmpty() || mask().contains(at));
    if (clickArmed_ && event->button() == armedButton_ && inside) {
        clickArmed_ = false;
        UserControl_Click();
    }
    clickArmed_ = false;
    event->accept();
}

void zqButtons_H::mouseMoveEvent(QMouseEvent *event)
{
    UserControl_MouseMove(ui::MouseButtonCode(event->buttons()), ui::ShiftCode(event->modifiers()),
                          float(event->position().x()), float(event->position().y()));
}

void zqButtons_H::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click is no press of its own, and its release no click.
    clickArmed_ = false;
    UserControl_DblClick();
    event->accept();
}

void zqButtons_H::keyPressEvent(QKeyEvent *event)
{
    std::int16_t keyCode = ui::VirtualKeyCode(event);
    UserControl_KeyDown(keyCode, ui::ShiftCode(event->modifiers()));
    const QString text = event->text();
    if (!text.isEmpty() && (text.at(0).unicode() >= 0x20 || text.at(0) == QLatin1Char('\r') ||
                            text.at(0) == QLatin1Char('\b') || text.at(0) == QLatin1Char('\x1b'))) {
        std::int16_t keyAscii = std::int16_t(text.at(0).unicode());
        Q_EMIT KeyPress(keyAscii);
    }
    event->accept();
}

void zqButtons_H::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    std::int16_t keyCode = ui::VirtualKeyCode(event);
    UserControl_KeyUp(keyCode, ui::ShiftCode(event->modifiers()));
    event->accept();
}

void zqButtons_H::focusInEvent(QFocusEvent *event)
{
    UserControl::focusInEvent(event);
    // Tabbing into a group where nothing is selected selects the button that got the focus.
    if (mode_ == OptionMode && !value_ && !OptionToggle(OptionQuery)) {
        lastMouseButton_ = 1;
        UserControl_Click();
    }
}

// ---------------------------------------------------------------------------------------------
// Handlers

void zqButtons_H::UserControl_MouseMove(std::int16_t button, std::int16_t shift, float x, float y)
{
    if (!hovering_ && CursorOverMe()) {
        flags_ |= HoverFlag;
        Q_EMIT MouseOnButton(true);
        ui::WindowProps::SetProp(this, strings::ClassID, reinterpret_cast<qintptr>(this));
        ui::WindowProps::SetProp(this, strings::TimerID, HoverTimerId);
        modZqTimer::SetTimer(this, HoverTimerId, HoverInterval);
        hovering_ = true;
        delayDrawing_ = false;
        if (button & 1)
            showPressed_ = true;
        RedrawButton();
    }
    Q_EMIT MouseMove(button, shift, x, y);
}

void zqButtons_H::HoverCheck(int timerId)
{
    if (CursorOverMe())
        return;
    modZqTimer::KillTimer(this, timerId);
    flags_ &= ~HoverFlag;
    hovering_ = false;
    delayDrawing_ = false;
    Q_EMIT MouseOnButton(false);
    showPressed_ = false;
    RedrawButton();
}

void zqButtons_H::UserControl_MouseDown(std::int16_t button, std::int16_t shift, float x, float y)
{
    lastMouseButton_ = button;
    if (button == 1) {
        flags_ |= PressedFlag;
        showPressed_ = true;
        delayDrawing_ = false;
        RedrawButton();
        ui::MouseCapture::SetCapture(this);
    }
    Q_EMIT MouseDown(button, shift, x, y);
}

void zqButtons_H::UserControl_MouseUp(std::int16_t button, std::int16_t shift, float x, float y)
{
    showPressed_ = false;
    if (button == 1) {
        if (ui::MouseCapture::GetCapture() == this)
            ui::MouseCapture::ReleaseCapture();
        flags_ &= ~PressedFlag;
        delayDrawing_ = false;
        // Check and option buttons are redrawn by the Value change of the click that follows.
        if (mode_ == CommandMode)
            RedrawButton();
    }
    Q_EMIT MouseUp(button, shift, x, y);
    lastMouseButton_ = button;
}

void zqButtons_H::UserControl_Click()
{
    if (lastMouseButton_ != 1)
        return;
    if (mode_ != CommandMode) {
        if (mode_ == OptionMode && value_)
            return;
        SetValue(!value_);
    }
    Q_EMIT Click();
}

void zqButtons_H::UserControl_DblClick()
{
    const QPointF at = mapFromGlobal(QCursor::pos());
    Q_EMIT DoubleClick(lastMouseButton_);
    if (lastMouseButton_ == 1) {
        UserControl_MouseDown(1, 0, float(at.x()), float(at.y()));
        lastMouseButton_ = -1;
    } else {
        Q_EMIT MouseDown(1, 0, float(at.x()), float(at.y()));
    }
}

void zqButtons_H::UserControl_KeyDown(std::int16_t &keyCode, std::int16_t shift)
{
    if (const Arrow *arrow = ArrowOf(keyCode)) {
        // Arrows belong to the container (moving between controls), not to the button.
        if (QWidget *container = Container()) {
            QCoreApplication::postEvent(container, new QKeyEvent(QEvent::KeyPress, arrow->key, Qt::NoModifier,
                                                                 arrow->scanCode, quint32(arrow->code), 0));
        }
        keyCode = 0;
    } else if (keyCode == 32) {
        if (!(flags_ & PressedFlag)) {
            flags_ |= HoverFlag | PressedFlag;
            showPressed_ = true;
            RedrawButton();
            if (!hovering_)
                flags_ &= ~HoverFlag;
        }
    }
    if (keyCode != 0)
        Q_EMIT KeyDown(keyCode, shift);
}

void zqButtons_H::UserControl_KeyUp(std::int16_t &keyCode, std::int16_t shift)
{
    showPressed_ = false;
    if (keyCode == 32 && (flags_ & PressedFlag)) {
        flags_ &= ~PressedFlag;
        lastMouseButton_ = 1;
        if (mode_ == CommandMode) {
            RedrawButton();
        } else {
            Q_EMIT KeyUp(keyCode, shift);
            keyCode = 0;
        }
        UserControl_Click();
    } else if (ArrowOf(keyCode)) {
        keyCode = 0;
        // An arrow key selects an unselected option button.
        if (mode_ == OptionMode && !value_) {
            lastMouseButton_ = 1;
            UserControl_Click();
        }
    } else if (keyCode == 16) {
        keyCode = 0;
    }
    if (keyCode != 0)
        Q_EMIT KeyUp(keyCode, shift);
}

void zqButtons_H::UserControl_AccessKeyPress(int keyAscii)
{
    const bool enterOrEscape = keyAscii == 13 || keyAscii == 27;
    if (enterOrEscape && mode_ != CommandMode)
        return;
    if (!enterOrEscape && !(flags_ & DefaultFrame))
        RedrawButton();
    lastMouseButton_ = 1;
    UserControl_Click();
}

// ---------------------------------------------------------------------------------------------
// Drag and drop, passed through to the host

void zqButtons_H::dragEnterEvent(QDragEnterEvent *event)
{
    // Without a host listening for drops the button takes none.
    if (!isSignalConnected(QMetaMethod::fromSignal(&zqButtons_H::OLEDragDrop))) {
        event->ignore();
        return;
    }
    std::int32_t effect = EffectOf(event->possibleActions());
    Q_EMIT OLEDragOver(event->mimeData(), effect, ui::MouseButtonCode(event->buttons()),
                       ui::ShiftCode(event->modifiers()), float(event->position().x()),
                       float(event->position().y()), 0);
    const Qt::DropAction action = ActionOf(effect, event->possibleActions());
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void zqButtons_H::dragMoveEvent(QDragMoveEvent *event)
{
    std::int32_t effect = EffectOf(event->possibleActions());
    Q_EMIT OLEDragOver(event->mimeData(), effect, ui::MouseButtonCode(event->buttons()),
                       ui::ShiftCode(event->modifiers()), float(event->position().x()),
                       float(event->position().y()), 2);
    const Qt::DropAction action = ActionOf(effect, event->possibleActions());
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void zqButtons_H::dragLeaveEvent(QDragLeaveEvent *event)
{
    std::int32_t effect = 0;
    Q_EMIT OLEDragOver(nullptr, effect, 0, 0, 0.0f, 0.0f, 1);
    event->accept();
}

void zqButtons_H::dropEvent(QDropEvent *event)
{
    std::int32_t effect = EffectOf(event->dropAction());
    Q_EMIT OLEDragDrop(event->mimeData(), effect, ui::MouseButtonCode(event->buttons()),
                       ui::ShiftCode(event->modifiers()), float(event->position().x()),
                       float(event->position().y()));
    const Qt::DropAction action = ActionOf(effect, event->possibleActions());
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void zqButtons_H::OLEDrag()
{
    auto *data = new ButtonMimeData(this);
    std::int32_t allowed = Qt::CopyAction | Qt::MoveAction;
    Q_EMIT OLEStartDrag(data, allowed);
    allowed &= Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    if (allowed == 0 || data->formats().isEmpty()) {
        delete data;
        return;
    }
    QDrag drag(this);
    drag.setMimeData(data);
    connect(&drag, &QDrag::actionChanged, this, [this](Qt::DropAction action) {
        std::int32_t effect = EffectOf(action);
        bool defaultCursors = true;
        Q_EMIT OLEGiveFeedback(effect, defaultCursors);
    });
    const Qt::DropAction result = drag.exec(Qt::DropActions(allowed));
    std::int32_t effect = EffectOf(result);
    Q_EMIT OLECompleteDrag(effect);
}

} // namespace multibutton
