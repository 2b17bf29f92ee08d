// SPDX-License-Identifier: GPL-3.0-or-later
// The multi-style button's drawing costs: one redraw of each look at the studio's tool-bar
// size, and the outline of a custom shape made from a 64 x 64 picture.
#include "multibutton/zqButtons_H.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace
{

QApplication *App()
{
    static int argc = 1;
    static char name[] = "bench_multibutton";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return app;
}

void RedrawButton(benchmark::State &state)
{
    App();
    QWidget host;
    auto *button = new multibutton::zqButtons_H(&host);
    button->resize(39, 29);
    button->InitNew();
    button->DelayDrawing(true);
    button->SetButtonStyle(int(state.range(0)));
    button->SetCaption(QString());
    button->SetBackColor(0x898F8B);
    button->SetGradientColor(0xC0C0C0);
    button->SetGradientMode(4);
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(0xC02060A0);
    button->SetPicture(ui::Picture::FromIcon(icon));
    button->SetPictureAlign(4);
    button->DelayDrawing(false);
    for (auto _ : state)
        button->RedrawButton();
    state.SetLabel("39 x 29, gradient 4, icon above");
}
BENCHMARK(RedrawButton)->DenseRange(0, 7);

void BuildButtonRegionCustomShape(benchmark::State &state)
{
    App();
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(qRgb(255, 0, 255));
    // A ring with a notch: many transparent runs per row.
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int dx = x - 32, dy = y - 32, d = dx * dx + dy * dy;
            if (d < 30 * 30 && d > 12 * 12 && !(x > 28 && x < 36 && y < 20))
                picture.setPixel(x, y, qRgb(40 + x, 90, 160 + y));
        }
    QWidget host;
    auto *button = new multibutton::zqButtons_H(&host);
    button->resize(64, 64);
    button->InitNew();
    button->SetPicture(ui::Picture::FromBitmap(picture));
    button->SetButtonShape(7);
    for (auto _ : state)
        button->BuildButtonRegion();
    state.SetLabel("64 x 64 picture");
}
BENCHMARK(BuildButtonRegionCustomShape);

} // namespace

BENCHMARK_MAIN();
