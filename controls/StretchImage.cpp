// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/StretchImage.h"

#include "platform/ui/InputCodes.h"
#include "platform/ui/Twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace controls
{

StretchImage::StretchImage(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void StretchImage::SetPicture(const QImage &picture)
{
    picture_ = picture;
    update();
}

void StretchImage::SetLeft(double pixels)
{
    left_ = pixels;
    Place();
}

void StretchImage::SetTop(double pixels)
{
    top_ = pixels;
    Place();
}

void StretchImage::SetSize(double width, double height)
{
    width_ = width;
    height_ = height;
    Place();
}

void StretchImage::SetOrigin(int origin)
{
    origin_ = origin;
    Place();
}

// Edges are rounded rather than left and size apart, so neighbouring elements never gap or overlap
// by a stray pixel. A box that is not a finite number (a layout on a degenerate size) hides.
void StretchImage::Place()
{
    if (!std::isfinite(left_) || !std::isfinite(top_) || !std::isfinite(width_) || !std::isfinite(height_) ||
        std::abs(left_) > 1e6 || std::abs(top_) > 1e6 || std::abs(width_) > 1e6 || std::abs(height_) > 1e6) {
        setGeometry(0, 0, 0, 0);
        return;
    }
    const long x0 = std::lround(left_);
    const long y0 = std::lround(top_);
    const long x1 = std::lround(left_ + std::max(0.0, width_));
    const long y1 = std::lround(top_ + std::max(0.0, height_));
    setGeometry(int(x0) + origin_, int(y0) + origin_, int(x1 - x0), int(y1 - y0));
}

void StretchImage::paintEvent(QPaintEvent *)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(rect(), picture_);
}

void StretchImage::Emit(QMouseEvent *event, void (StretchImage::*signal)(int, int, double, double))
{
    const QPointF p = event->position();
    const int buttons =
        ui::MouseButtonCode(event->type() == QEvent::MouseMove ? event->buttons() : event->button());
    Q_EMIT(this->*signal)
    (buttons, ui::ShiftCode(event->modifiers()), p.x() * ui::Twips::PerPixelX(this),
     p.y() * ui::Twips::PerPixelY(this));
}

void StretchImage::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    Emit(event, &StretchImage::MouseDown);
}

void StretchImage::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    Emit(event, &StretchImage::MouseMove);
}

void StretchImage::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    // The element may be deleted by a handler (a host reacting to the release); keep a guard.
    QPointer<StretchImage> self(this);
    Emit(event, &StretchImage::MouseUp);
    if (self && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT Click();
}

} // namespace controls
