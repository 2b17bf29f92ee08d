// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/LevelDisplay.h"

#include "platform/gdi/Colour.h"
#include "platform/gdi/Rounding.h"
#include "platform/ui/Twips.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <chrono>
#include <cmath>

namespace studio
{

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
    heightPixels_ = -1;
    barCount_ = std::clamp(barCount, 1, MaxBars);
    barWidth_ = W() / barCount_;
    levels_.fill(StartLevel);
}

std::uint32_t LevelDisplay::BarColour(int index) const
{
    const double c = 255.0 / (barCount_ + 5);
    const double v = (index + 5) * c;
    const auto channel = [](double x) { return std::min(255, gdi::RoundToInt(x)); };
    return std::uint32_t(channel(v)) | std::uint32_t(channel(v + 50)) << 8 |
           std::uint32_t(channel(v + 50)) << 16;
}

LevelDisplay::Scale LevelDisplay::CurrentScale() const
{
    return {ui::Twips::PerPixelX(this), ui::Twips::PerPixelY(this)};
}

float LevelDisplay::HeightTwips()
{
    if (heightPixels_ != height()) {
        heightPixels_ = height();
        heightTwips_ = static_cast<float>(H());
    }
    return heightTwips_;
}

void LevelDisplay::Tick()
{
    const float h = HeightTwips();
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

QPointF LevelDisplay::ToPixels(const Scale &scale, double x, double y)
{
    return {x / scale.x, y / scale.y};
}

void LevelDisplay::Drawbox(double boxLeft, double BoxWidth, std::uint32_t boxColor, float Value, int Index)
{
    Q_UNUSED(Index);
    if (picture_.isNull())
        return;
    QPainter painter(&picture_);
    DrawBar(painter, CurrentScale(), boxLeft, BoxWidth, boxColor, Value);
}

void LevelDisplay::DrawBar(QPainter &painter, const Scale &scale, double boxLeft, double BoxWidth,
                           std::uint32_t boxColor, float Value) const
{
    painter.setPen(QPen(gdi::ToQColor(boxColor), 1));
    const double h = height() * scale.y;
    const int lines = gdi::RoundToInt(BoxWidth);
    // One line per twip across the bar, as laid out; lines that land on the same pixel column
    // are drawn once. Every line of a bar runs from the same top to the same bottom.
    const QPointF top = ToPixels(scale, boxLeft + 1, h / 100 * Value);
    const QPointF bottom = ToPixels(scale, boxLeft + 1, h);
    if (lines < 1 || top.y() >= bottom.y())
        return;
    const auto columnOf = [&](int j) { return static_cast<int>(ToPixels(scale, boxLeft + j, 0).x()); };
    if (scale.x > 1.001) {
        // A twip is narrower than a pixel: the lines fill every column from the first to the
        // last, so those are drawn without visiting each twip.
        const int last = columnOf(lines);
        for (int column = columnOf(1); column <= last; ++column)
            painter.drawLine(QPointF(column, top.y()), QPointF(column, bottom.y()));
        return;
    }
    int lastColumn = -1;
    for (int j = 1; j <= lines; ++j) {
        const int column = columnOf(j);
        if (column == lastColumn)
            continue;
        lastColumn = column;
        painter.drawLine(QPointF(column, top.y()), QPointF(column, bottom.y()));
    }
}

void LevelDisplay::Render()
{
    dirty_ = false;
    ++renders_;
    sinceRender_.restart();
    const Scale scale = CurrentScale();
    heightPixels_ = height();
    heightTwips_ = static_cast<float>(height() * scale.y);
    // The picture is drawn over whole each time: the same image serves while the size holds.
    if (picture_.size() != size() || picture_.format() != QImage::Format_RGB32)
        picture_ = QImage(size(), QImage::Format_RGB32);
    picture_.fill(gdi::ToQColor(backColor_));
    QPainter painter(&picture_);
    for (int i = 0; i < barCount_; ++i)
        DrawBar(painter, scale, i * barWidth_, barWidth_, BarColour(i), levels_[static_cast<std::size_t>(i)]);
    painter.setPen(QPen(gdi::ToQColor(backColor_), 1));
    const double h = height() * scale.y;
    const double w = width() * scale.x;
    for (double y = 1; y <= gdi::RoundToInt(h); y += SegmentStep)
        painter.drawLine(ToPixels(scale, 0, y), ToPixels(scale, w, y));
}

void LevelDisplay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (blank_) {
        painter.fillRect(rect(), gdi::ToQColor(backColor_));
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
