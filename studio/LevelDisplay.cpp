// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/LevelDisplay.h"

#include "platform/gdi/Colour.h"
#include "platform/ui/Twips.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <chrono>
#include <cmath>

namespace studio
{

namespace
{

QColor ToQColor(std::uint32_t colour)
{
    const std::uint32_t rgb = gdi::TranslateColour(colour);
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

int RoundHalfEven(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

} // namespace

LevelDisplay::LevelDisplay(QWidget *parent)
    : QWidget(parent), random_(static_cast<std::mt19937::result_type>(
                           std::chrono::system_clock::now().time_since_epoch().count())),
      frameTimer_(new QTimer(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    levels_.fill(StartLevel);
    frameTimer_->setSingleShot(true);
    connect(frameTimer_, &QTimer::timeout, this, [this] { update(); });
    sinceRender_.start();
}

void LevelDisplay::SetBackColor(std::uint32_t colour)
{
    backColor_ = colour;
    update();
}

double LevelDisplay::W() const
{
    return ui::Twips::FromPixelsX(width(), this);
}

double LevelDisplay::H() const
{
    return ui::Twips::FromPixelsY(height(), this);
}

void LevelDisplay::Prepare(int barCount)
{
    barCount_ = std::clamp(barCount, 1, MaxBars);
    barWidth_ = W() / barCount_;
    levels_.fill(StartLevel);
}

std::uint32_t LevelDisplay::BarColour(int index) const
{
    const double c = 255.0 / (barCount_ + 5);
    const double v = (index + 5) * c;
    const auto channel = [](double x) { return std::min(255, RoundHalfEven(x)); };
    return std::uint32_t(channel(v)) | std::uint32_t(channel(v + 50)) << 8 |
           std::uint32_t(channel(v + 50)) << 16;
}

void LevelDisplay::Tick()
{
    const float h = static_cast<float>(H());
    for (int i = 0; i < barCount_; ++i) {
        const int r = stepSource_ ? stepSource_() : std::uniform_int_distribution<int>(1, 10)(random_);
        float &level = levels_[static_cast<std::size_t>(i)];
        if (r % 2 == 0)
            level = level - r < 0 ? 0 : level - r;
        else
            level = level + r > h ? h : level + r;
    }
    blank_ = false;
    dirty_ = true;
    ScheduleFrame();
}

void LevelDisplay::Blank()
{
    blank_ = true;
    dirty_ = false;
    frameTimer_->stop();
    update();
}

int LevelDisplay::FrameIntervalMs() const
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    const double rate = s && s->refreshRate() >= 1 ? s->refreshRate() : 60.0;
    return std::max(1, static_cast<int>(std::ceil(1000.0 / rate)));
}

void LevelDisplay::ScheduleFrame()
{
    if (frameTimer_->isActive())
        return;
    const qint64 wait = FrameIntervalMs() - sinceRender_.elapsed();
    frameTimer_->start(static_cast<int>(std::max<qint64>(0, wait)));
}

void LevelDisplay::Flush()
{
    if (dirty_)
        Render();
}

QPointF LevelDisplay::ToPixels(double x, double y) const
{
    return {x / ui::Twips::PerPixelX(this), y / ui::Twips::PerPixelY(this)};
}

void LevelDisplay::Drawbox(double boxLeft, double BoxWidth, std::uint32_t boxColor, float Value, int Index)
{
    Q_UNUSED(Index);
    if (picture_.isNull())
        return;
    QPainter painter(&picture_);
    painter.setPen(QPen(ToQColor(boxColor), 1));
    const double h = H();
    const int lines = RoundHalfEven(BoxWidth);
    // One line per twip across the bar, as laid out; lines that land on the same pixel column
    // are drawn once.
    int lastColumn = -1;
    for (int j = 1; j <= lines; ++j) {
        const QPointF top = ToPixels(boxLeft + j, h / 100 * Value);
        const QPointF bottom = ToPixels(boxLeft + j, h);
        const int column = static_cast<int>(top.x());
        if (column == lastColumn)
            continue;
        lastColumn = column;
        if (top.y() >= bottom.y())
            continue;
        painter.drawLine(QPointF(column, top.y()), QPointF(column, bottom.y()));
    }
}

void LevelDisplay::Render()
{
    dirty_ = false;
    ++renders_;
    sinceRender_.restart();
    picture_ = QImage(size(), QImage::Format_RGB32);
    picture_.fill(ToQColor(backColor_));
    for (int i = 0; i < barCount_; ++i)
        Drawbox(i * barWidth_, barWidth_, BarColour(i), levels_[static_cast<std::size_t>(i)], i);
    QPainter painter(&picture_);
    painter.setPen(QPen(ToQColor(backColor_), 1));
    const double h = H();
    const double w = W();
    for (double y = 1; y <= RoundHalfEven(h); y += SegmentStep)
        painter.drawLine(ToPixels(0, y), ToPixels(w, y));
}

void LevelDisplay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (blank_) {
        painter.fillRect(rect(), ToQColor(backColor_));
        return;
    }
    if (dirty_)
        Render();
    painter.drawImage(0, 0, picture_);
}

void LevelDisplay::resizeEvent(QResizeEvent *)
{
    barWidth_ = W() / barCount_;
    if (!blank_)
        dirty_ = true;
}

} // namespace studio
