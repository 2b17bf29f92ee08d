// SPDX-License-Identifier: GPL-3.0-or-later
// What the studio's bevel buttons cost: shading both faces (on size, outline or colour changes)
// and the redraw of one hover change, which must stay far below a frame.
#include "bevel/bvlBUTTON.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace
{

ui::Picture Icon()
{
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setBrush(QColor(0, 160, 0));
    painter.drawEllipse(2, 2, 28, 28);
    return ui::Picture::FromIcon(icon);
}

// A button as the studio window stores it.
QWidget *host = nullptr; // the window the buttons sit on; lives as long as main()

QWidget &Host()
{
    return *host;
}

std::unique_ptr<bevel::bvlBUTTON> StudioButton(int width, int height, int appearance, int bevel)
{
    auto button = std::make_unique<bevel::bvlBUTTON>(&Host());
    button->resize(width, height);
    ui::PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Appearance"), appearance);
    bag.WriteProperty(QStringLiteral("BackColour"), std::uint32_t(0xE0E0E0));
    bag.WriteProperty(QStringLiteral("BevelAutoAdjust"), false);
    bag.WriteProperty(QStringLiteral("BevelHeight"), bevel);
    bag.WriteProperty(QStringLiteral("Caption"), QStringLiteral("SPEAK"));
    bag.WriteProperty(QStringLiteral("CaptionColour"), std::uint32_t(0x404040));
    bag.WriteProperty(QStringLiteral("CaptionHoverColour"), std::uint32_t(0x0040C0));
    bag.WriteProperty(QStringLiteral("CaptionOffset"), QStringLiteral("(8,0)"));
    bag.WriteProperty(QStringLiteral("Picture"), Icon());
    bag.WriteProperty(QStringLiteral("PictureOffset"), QStringLiteral("(-19,0)"));
    bag.WriteProperty(QStringLiteral("Transparency"), std::uint32_t(0x0000FF));
    button->Restore(bag);
    return button;
}

void RebuildBevels(benchmark::State &state, int width, int height, int appearance, int bevel)
{
    auto button = StudioButton(width, height, appearance, bevel);
    for (auto _ : state)
        button->RebuildBevels();
}

void BM_RebuildBevels_Circle95(benchmark::State &state)
{
    RebuildBevels(state, 95, 95, 1, 5);
}
BENCHMARK(BM_RebuildBevels_Circle95)->Unit(benchmark::kMicrosecond);

void BM_RebuildBevels_Rectangle119x19(benchmark::State &state)
{
    RebuildBevels(state, 119, 19, 0, 3);
}
BENCHMARK(BM_RebuildBevels_Rectangle119x19)->Unit(benchmark::kMicrosecond);

// The mouse enters and leaves the circle in turn: every DrawState sees a changed state.
void BM_HoverRedraw_Circle95(benchmark::State &state)
{
    auto button = StudioButton(95, 95, 1, 5);
    Host().show();
    button->show();
    const QPointF centre(47, 47);
    bool over = false;
    for (auto _ : state) {
        state.PauseTiming();
        over = !over;
        QCursor::setPos(over ? button->mapToGlobal(QPoint(47, 47)) : QPoint(5000, 5000));
        QMouseEvent move(QEvent::MouseMove, centre, button->mapToGlobal(centre), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        state.ResumeTiming();
        QApplication::sendEvent(button.get(), &move); // hover flag flips, DrawState redraws
    }
}
BENCHMARK(BM_HoverRedraw_Circle95)->Unit(benchmark::kMicrosecond);

// The redraw alone, without the event and the hit test around it.
void BM_DrawState_Circle95(benchmark::State &state)
{
    auto button = StudioButton(95, 95, 1, 5);
    for (auto _ : state)
        button->DrawState(true);
}
BENCHMARK(BM_DrawState_Circle95)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget window;
    window.resize(400, 300);
    host = &window;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
