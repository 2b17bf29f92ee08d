// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "multibutton/zqButtons_H.h"
#include "platform/services/MessageBox.h"
#include "platform/ui/ManualClock.h"
#include "platform/ui/Timer.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <memory>
#include <vector>

namespace multibutton::test
{

// A container window with buttons on it; design mode shows the design-time messages, which a
// recording message box catches.
struct Host {
    explicit Host(bool designMode = false)
    {
        services::MessageBox::SetCurrent(&messages);
        window->resize(400, 300);
        this->designMode = designMode;
    }
    ~Host() { services::MessageBox::SetCurrent(nullptr); }

    zqButtons_H *Add(int w = 60, int h = 30, QWidget *container = nullptr)
    {
        auto *button = new zqButtons_H(container ? container : window.get());
        ui::AmbientProperties ambient = button->Ambient();
        ambient.UserMode = !designMode;
        ambient.DisplayName = QStringLiteral("zqButton");
        button->SetAmbient(ambient);
        button->resize(w, h);
        button->InitNew();
        return button;
    }
    void Show()
    {
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("window not exposed");
    }

    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    services::RecordingMessageBox messages;
    bool designMode = false;
};

// Timers created while it lives tick on a manual clock; the default clock comes back however
// the test ends (a failed ASSERT returns early).
struct ManualTime {
    ManualTime() { ui::Timer::SetDefaultClock(&clock); }
    ~ManualTime() { ui::Timer::SetDefaultClock(nullptr); }
    ManualTime(const ManualTime &) = delete;
    ManualTime &operator=(const ManualTime &) = delete;
    ui::ManualClock clock;
};

inline QImage Square(int size, QRgb colour)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

inline gdi::Colour BackPixel(const zqButtons_H &button, int x, int y)
{
    return gdi::FromQRgb(button.BackBuffer().Image().pixel(x, y));
}

inline void CursorOver(QWidget *widget)
{
    QCursor::setPos(widget->mapToGlobal(widget->rect().center()));
}

inline void CursorAway(QWidget *window)
{
    QCursor::setPos(window->mapToGlobal(QPoint(window->width() + 300, window->height() + 300)));
}

inline void SendMouse(QWidget *w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    const QPointF at = QPointF(w->rect().center());
    QMouseEvent event(type, at, w->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// One look of the button: ButtonStyle 0..7, ButtonShape 0..8, Mode 0..2 and one of six states
// (0 plain, 1 disabled, 2 checked, 3 default, 4 hovered, 5 pressed), which also pick the caption
// style, gradient mode, click movement, picture alignment and picture size.
struct Look {
    int style = 0, shape = 0, mode = 0, state = 0;
};

inline std::vector<Look> EveryLook()
{
    std::vector<Look> looks;
    for (int style = 0; style < 8; ++style)
        for (int shape = 0; shape < 9; ++shape)
            for (int mode = 0; mode < 3; ++mode)
                for (int state = 0; state < 6; ++state)
                    looks.push_back({style, shape, mode, state});
    return looks;
}

// Adds a 48 x 30 button to the shown host in the given look, with an icon (a picture for the
// custom shapes 7 and 8), and draws it.
inline zqButtons_H *DrawLook(Host &host, const Look &look, const QString &caption)
{
    QImage shape = Square(24, qRgb(255, 0, 255));
    for (int y = 4; y < 20; ++y)
        for (int x = 2; x < 22; ++x)
            shape.setPixel(x, y, qRgb(200, 40, 40));
    QImage iconImage(16, 16, QImage::Format_ARGB32);
    iconImage.fill(0x800000FF);
    const int state = look.state;
    zqButtons_H *button = host.Add(48, 30);
    button->show();
    button->DelayDrawing(true);
    button->SetButtonStyle(look.style);
    button->SetMode(look.mode);
    button->SetCaption(caption);
    button->SetCaptionStyle(state % 3);
    button->SetGradientMode(state % 5);
    button->SetGradientColor(0x3060C0);
    button->SetCustomClick(state);
    button->SetPictureAlign(state);
    button->SetPicture(look.shape >= 7 ? ui::Picture::FromBitmap(shape) : ui::Picture::FromIcon(iconImage));
    if (look.shape < 7)
        button->SetPictureSize(state % 5);
    button->DelayDrawing(false);
    button->SetButtonShape(look.shape);
    switch (state) {
    case 1:
        button->SetEnabled(false);
        break;
    case 2:
        if (look.mode > 0)
            button->SetValue(true);
        break;
    case 3:
        button->SetDefault(true);
        break;
    case 4:
    case 5:
        CursorOver(button);
        SendMouse(button, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
        if (state == 5)
            SendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
        button->RedrawButton();
        if (state == 5)
            SendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
        break;
    default:
        break;
    }
    button->RedrawButton();
    return button;
}

} // namespace multibutton::test
