// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

namespace controls
{

// An image element inside a skinned control: it stretches its picture to whatever box the owner's
// layout gives it. The box is kept in fractional pixels, as the layout computes it, relative to
// the owner's inner area; the widget itself sits on the nearest whole pixels.
//
// Mouse events are handed on to the owner with the position in twips relative to the element,
// the way the owner's handlers expect them. Click follows a release of the left button over the
// element, after MouseUp.
class StretchImage : public QWidget
{
    Q_OBJECT
  public:
    explicit StretchImage(QWidget *parent);

    const QImage &Picture() const { return picture_; }
    void SetPicture(const QImage &picture);

    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void SetLeft(double pixels);
    void SetTop(double pixels);
    void SetSize(double width, double height);
    // Offset of the owner's inner area inside the owner widget (its border width).
    void SetOrigin(int origin);

  Q_SIGNALS:
    void MouseDown(int button, int shift, double x, double y);
    void MouseMove(int button, int shift, double x, double y);
    void MouseUp(int button, int shift, double x, double y);
    void Click();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    void Place();
    void Emit(QMouseEvent *event, void (StretchImage::*signal)(int, int, double, double));

    QImage picture_;
    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
    int origin_ = 0;
};

} // namespace controls
