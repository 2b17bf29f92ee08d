// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/MouseCapture.h"

#include <QWidget>

namespace ui
{

QWidget *MouseCapture::SetCapture(QWidget *widget)
{
    QWidget *previous = QWidget::mouseGrabber();
    if (previous && previous != widget)
        previous->releaseMouse();
    if (widget && widget->isVisible())
        widget->grabMouse();
    return previous;
}

void MouseCapture::ReleaseCapture()
{
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
}

QWidget *MouseCapture::GetCapture()
{
    return QWidget::mouseGrabber();
}

} // namespace ui
