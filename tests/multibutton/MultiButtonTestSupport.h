// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "multibutton/zqButtons_H.h"
#include "platform/services/MessageBox.h"

#include <QCursor>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <memory>

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

} // namespace multibutton::test
