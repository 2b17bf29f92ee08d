// SPDX-License-Identifier: GPL-3.0-or-later
// One drag step of the skinned scroll bar: a thumb move that changes the rounded position, so the
// whole step runs (pin to the travel, move the thumb, write Value, snap the thumb, Change, Scroll).
#include "controls/StretchImage.h"
#include "controls/UcScroll.h"

#include <QApplication>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

namespace
{

void Send(QWidget *widget, QEvent::Type type, QPointF position)
{
    QMouseEvent event(type, position, widget->mapToGlobal(position),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void ScrollDragStep(benchmark::State &state)
{
    controls::UcScroll bar;
    bar.InitNew();
    bar.resize(300, 23);
    bar.show();
    int changes = 0;
    QObject::connect(&bar, &controls::UcScroll::Change, [&] { ++changes; });
    auto *thumb = const_cast<controls::StretchImage *>(&bar.ImgThumb());
    Send(thumb, QEvent::MouseButtonPress, QPointF(10, 8));
    bool right = true;
    for (auto _ : state) {
        // Alternate between two places on the track, pointer relative to where the thumb is now.
        const double target = right ? 200 : 80;
        Send(thumb, QEvent::MouseMove, QPointF(target - thumb->x(), 8));
        right = !right;
    }
    Send(thumb, QEvent::MouseButtonRelease, QPointF(10, 8));
    state.counters["changes"] = changes;
}
BENCHMARK(ScrollDragStep);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
