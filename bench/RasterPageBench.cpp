// Rendering the test drawing into a 3000 x 2000 page of 24-bit pixels, and writing that page as a
// PNG file (rows built, deflated in one call, chunked) into memory.
// Goal: a page drawn in well under a second, and written in about a second, on one core.
#include <benchmark/benchmark.h>

#include "tests/toolkit/devices/RasterTestDrawing.h"

using namespace raster_test;

namespace {

constexpr INTEGER kWidth = 3000;
constexpr INTEGER kHeight = 2000;

void RenderPage(benchmark::State& state)
{
    TempFolder folder;
    RasterJob job(kWidth, kHeight, folder / "bench.png", {.bits = 24, .fileType = 3});
    for (auto _ : state) {
        XXIMAG(OpClear);
        drawTestPage(kWidth, kHeight);
        benchmark::DoNotOptimize(rasterPageBlock().Words.data());
    }
    hardcopyJobState().PageOpen = 0;
}
BENCHMARK(RenderPage)->Unit(benchmark::kMillisecond);

void WritePagePng(benchmark::State& state)
{
    TempFolder folder;
    RasterJob job(kWidth, kHeight, folder / "bench.png", {.bits = 24, .fileType = 3});
    drawTestPage(kWidth, kHeight);
    for (auto _ : state) {
        MemoryByteSink sink;
        outputUnitHooks().status() = 0;
        YYPngWrite(sink);
        benchmark::DoNotOptimize(sink.bytes().data());
        state.counters["bytes"] = static_cast<double>(sink.bytes().size());
    }
    hardcopyJobState().PageOpen = 0;
}
BENCHMARK(WritePagePng)->Unit(benchmark::kMillisecond);

}  // namespace
