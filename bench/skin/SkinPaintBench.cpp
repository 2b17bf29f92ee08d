// SPDX-License-Identifier: GPL-3.0-or-later
// A full paint of a skinned borderless window the size of the studio window (793 x 508 pixels):
// every background tile and the eight frame copies, then the window's buffer to the screen.
#include "platform/ui/Form.h"
#include "skin/ClsSkin.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

#include <memory>

namespace {

std::unique_ptr<ui::Form> SkinnedWindow(int width, int height, skin::ClsSkin &skinObject)
{
    auto form = std::make_unique<ui::Form>();
    form->SetBorderStyle(ui::vbBSNone);
    form->setGeometry(0, 0, width, height);
    skinObject.SetTheForm(form.get());
    skinObject.SetFrmPict();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        return nullptr;
    return form;
}

void BM_FullPaint(benchmark::State &state)
{
    skin::ClsSkin skinObject;
    auto form = SkinnedWindow(int(state.range(0)), int(state.range(1)), skinObject);
    if (!form) {
        state.SkipWithError("the window was never exposed");
        return;
    }
    for (auto _ : state)
        form->repaint();
    state.SetItemsProcessed(state.iterations());
    form.reset();
}
BENCHMARK(BM_FullPaint)->Args({793, 508})->Unit(benchmark::kMicrosecond);

// A resize: the skin repaints and lays the caption controls out again.
void BM_ResizeRepaint(benchmark::State &state)
{
    skin::ClsSkin skinObject;
    auto form = SkinnedWindow(793, 508, skinObject);
    if (!form) {
        state.SkipWithError("the window was never exposed");
        return;
    }
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        form->resize(wide ? 800 : 793, 508);
        form->repaint();
    }
    form.reset();
}
BENCHMARK(BM_ResizeRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    // Drawing is measured offscreen, independent of any display or compositor.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
