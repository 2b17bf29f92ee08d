// SPDX-License-Identifier: GPL-3.0-or-later
// Block transfers as the skin uses them: tiling a 57 x 56 background tile, stretching a frame
// edge, and the generic raster-operation path (mask and sprite, greyed picture).
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Dc.h"

#include <benchmark/benchmark.h>

namespace
{

struct Surface {
    gdi::Bitmap bitmap;
    gdi::Dc dc;
    Surface(int width, int height) : bitmap(width, height)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.Pixels().setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, (x ^ y) & 255));
        dc.SelectObject(&bitmap);
    }
};

void BitBltTileSrcCopy(benchmark::State &state)
{
    Surface tile(57, 56), back(800, 600);
    for (auto _ : state) {
        back.dc.BitBlt(100, 100, 57, 56, &tile.dc, 0, 0, gdi::SRCCOPY);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 57 * 56);
}
BENCHMARK(BitBltTileSrcCopy);

void BitBltTileWholeWindow(benchmark::State &state)
{
    // The window background: the tile repeated over a 600 x 450 client area.
    Surface tile(57, 56), back(600, 450);
    for (auto _ : state) {
        for (int i = 0; i <= 600 / 57; ++i)
            for (int j = 0; j <= 450 / 56; ++j)
                back.dc.BitBlt(i * 57, j * 56, 57, 56, &tile.dc, 0, 0, gdi::SRCCOPY);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BitBltTileWholeWindow);

void StretchBltEdge(benchmark::State &state)
{
    // A frame edge 8 pixels wide stretched along a 600-pixel side.
    Surface edge(8, 30), back(800, 600);
    for (auto _ : state) {
        back.dc.StretchBlt(0, 0, 8, 600, &edge.dc, 0, 0, 8, 30, gdi::SRCCOPY);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 8 * 600);
}
BENCHMARK(StretchBltEdge);

void GenericRopMergePaint(benchmark::State &state)
{
    Surface tile(57, 56), back(800, 600);
    for (auto _ : state) {
        back.dc.BitBlt(100, 100, 57, 56, &tile.dc, 0, 0, gdi::MERGEPAINT);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 57 * 56);
}
BENCHMARK(GenericRopMergePaint);

void GenericRopGreyedPicture(benchmark::State &state)
{
    Surface picture(32, 32), face(120, 40);
    face.dc.SelectObject(gdi::Brush(0x808080));
    for (auto _ : state) {
        face.dc.BitBlt(4, 4, 32, 32, &picture.dc, 0, 0, gdi::DSPDxax);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 32 * 32);
}
BENCHMARK(GenericRopGreyedPicture);

void ProgressFillMaskAndSprite(benchmark::State &state)
{
    // The progress bar's fill: mask and sprite stretched over a 300 x 20 trough.
    Surface mask(20, 16), sprite(20, 16), trough(300, 20);
    for (auto _ : state) {
        trough.dc.StretchBlt(4, 0, 200, 20, &mask.dc, 0, 0, 20, 16, gdi::MERGEPAINT);
        trough.dc.StretchBlt(4, 0, 200, 20, &sprite.dc, 0, 0, 20, 16, gdi::SRCAND);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ProgressFillMaskAndSprite);

} // namespace

BENCHMARK_MAIN();
