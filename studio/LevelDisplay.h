// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <random>

class QPainter;
class QTimer;

namespace studio
{

// The level display: a row of bars that wander up and down while speech plays, cut into
// segments by lines of the background colour. Coordinates are twips, as the display was laid
// out; each tick moves every bar by a fresh random step, and the picture is drawn and shown at
// most once per screen frame however fast the ticks come.
class LevelDisplay : public QWidget
{
    Q_OBJECT
  public:
    static constexpr int MaxBars = 100;
    static constexpr float StartLevel = 50.0f;
    static constexpr double SegmentStep = 75; // twips between the segment lines

    explicit LevelDisplay(QWidget *parent = nullptr);

    std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t colour);

    // Sets BarCount and BarWidth (the display's width over the count) and every level to 50.
    void Prepare(int barCount);
    int BarCount() const { return barCount_; }
    double BarWidth() const { return barWidth_; }
    float Level(int index) const { return levels_.at(static_cast<std::size_t>(index)); }
    void SetLevel(int index, float value) { levels_.at(static_cast<std::size_t>(index)) = value; }

    // Width and height in twips.
    double W() const;
    double H() const;

    // One step of every bar; the picture follows at the next frame.
    void Tick();
    // No picture: the display shows its background colour until the next tick.
    void Blank();
    bool IsBlank() const { return blank_; }

    // Draws one bar into the picture: vertical lines over BoxWidth from H/100 x Value down to
    // the bottom, in boxColor.
    void Drawbox(double boxLeft, double BoxWidth, std::uint32_t boxColor, float Value, int Index);

    // The colour of bar i: (i + 5) x 255 / (BarCount + 5) in red, 50 more in green and blue.
    std::uint32_t BarColour(int index) const;

    // The random step source, 1..10 (tests put a sequence of their own here).
    void SetStepSource(std::function<int()> source) { stepSource_ = std::move(source); }

    // The picture as shown (for tests and screenshots).
    const QImage &Picture() const { return picture_; }
    // Pictures drawn so far; stays below the tick count when ticks outrun the screen.
    int RenderCount() const { return renders_; }
    // Draws pending ticks now rather than at the next frame.
    void Flush();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    // Twips per pixel across and down, looked up once per picture (the lookup goes through the
    // screen, far dearer than the drawing itself at a thousand ticks a second).
    struct Scale {
        double x = 15;
        double y = 15;
    };
    Scale CurrentScale() const;
    // The height in twips the levels are clamped to, kept from the last look-up; refreshed when
    // the height in pixels differs and with every picture.
    float HeightTwips();
    void DrawBar(QPainter &painter, const Scale &scale, double boxLeft, double BoxWidth,
                 std::uint32_t boxColor, float Value) const;
    void Render();
    void ScheduleFrame();
    int FrameIntervalMs() const;
    static QPointF ToPixels(const Scale &scale, double x, double y);

    std::uint32_t backColor_ = 0x60B0EC;
    int barCount_ = 20;
    double barWidth_ = 0;
    std::array<float, MaxBars> levels_{};
    bool blank_ = true;
    bool dirty_ = false;
    QImage picture_;
    int renders_ = 0;
    std::function<int()> stepSource_;
    std::mt19937 random_;
    QTimer *frameTimer_;
    QElapsedTimer sinceRender_;
    int heightPixels_ = -1; // the height HeightTwips was worked out for
    float heightTwips_ = 0;
};

} // namespace studio
