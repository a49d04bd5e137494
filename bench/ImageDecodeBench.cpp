// Decoding a 4000 x 3000 picture of 24-bit pixels from BMP, PCX (three run-length planes) and PNG
// (RGB, rows filtered and deflated): the files are built in memory once, then loaded repeatedly.
// Goal: each format well under a second a picture, on one core, and PCX and PNG at least as fast
// as an independent decoder on the same files: the Pillow rows time Pillow's decode of the same
// bytes (pillow_decode.py, run once per row with the host's Python), so that the two stand side
// by side in one report. Every row's time is the processor time of one decode (the decoding
// thread's here, the Python process's there), so that other work on a shared machine does not
// tilt the comparison; neither side pays for fresh picture memory per decode.
// QV_IMAGE_BENCH_FILES=folder also keeps the files there as bench.bmp, bench.pcx and bench.png.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

#include "toolkit/devices/ImageLoading.h"
#include "toolkit/foundation/BufferCompression.h"
#include "toolkit/foundation/ErrorReport.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

using Bytes = std::vector<std::uint8_t>;

void putLe(Bytes& b, std::size_t at, std::uint32_t value, int size)
{
    for (int k = 0; k < size; ++k) b[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
}
void putBe32(Bytes& b, std::size_t at, std::uint32_t value)
{
    for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(value >> (24 - 8 * k));
}

// A picture with smooth areas and noise, so that run lengths and deflate see realistic data.
std::uint8_t sample(int x, int y, int channel)
{
    const std::uint32_t noise = (static_cast<std::uint32_t>(x) * 2654435761U) ^ (static_cast<std::uint32_t>(y) * 40503U);
    if ((x / 64 + y / 64) % 3 == 0) return static_cast<std::uint8_t>(channel * 80);
    return static_cast<std::uint8_t>((x + 2 * y + 50 * channel) / 8 + ((noise >> (8 * channel)) & 7));
}

Bytes makeBmp()
{
    const std::size_t rowBytes = (kWidth * 3 + 3) / 4 * 4;
    Bytes b(54 + rowBytes * kHeight, 0);
    b[0] = 'B';
    b[1] = 'M';
    putLe(b, 2, static_cast<std::uint32_t>(b.size()), 4);
    putLe(b, 10, 54, 4);
    putLe(b, 14, 40, 4);
    putLe(b, 18, kWidth, 4);
    putLe(b, 22, kHeight, 4);
    putLe(b, 26, 1, 2);
    putLe(b, 28, 24, 2);
    for (int stored = 0; stored < kHeight; ++stored)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c) b[54 + stored * rowBytes + 3 * x + c] = sample(x, kHeight - 1 - stored, 2 - c);
    return b;
}

Bytes makePcx()
{
    Bytes b(128, 0);
    b[0] = 10;
    b[1] = 5;
    b[2] = 1;
    b[3] = 8;
    putLe(b, 8, kWidth - 1, 2);
    putLe(b, 10, kHeight - 1, 2);
    b[65] = 3;
    putLe(b, 66, kWidth, 2);
    for (int y = 0; y < kHeight; ++y)
        for (int c = 0; c < 3; ++c)
            for (int x = 0; x < kWidth;) {
                const std::uint8_t v = sample(x, y, c);
                int run = 1;
                while (x + run < kWidth && run < 63 && sample(x + run, y, c) == v) ++run;
                if (run > 1 || v >= 0xC0) b.push_back(static_cast<std::uint8_t>(0xC0 | run));
                b.push_back(v);
                x += run;
            }
    return b;
}

Bytes pngChunk(const char* type, const Bytes& body)
{
    Bytes c(12 + body.size());
    putBe32(c, 0, static_cast<std::uint32_t>(body.size()));
    std::copy_n(type, 4, c.begin() + 4);
    std::copy(body.begin(), body.end(), c.begin() + 8);
    putBe32(c, 8 + body.size(), YYCrc32({c.data() + 4, body.size() + 4}));
    return c;
}

Bytes makePng()
{
    const std::size_t rowBytes = 3 * kWidth + 1;
    Bytes raw(rowBytes * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        // Sub, Up, Average and Paeth rows in turn, each filtered from the plain samples.
        const int type = 1 + y % 4;
        raw[y * rowBytes] = static_cast<std::uint8_t>(type);
        for (int j = 0; j < 3 * kWidth; ++j) {
            const int v = sample(j / 3, y, j % 3);
            const int a = j >= 3 ? sample((j - 3) / 3, y, j % 3) : 0;
            const int up = y > 0 ? sample(j / 3, y - 1, j % 3) : 0;
            const int c = (j >= 3 && y > 0) ? sample((j - 3) / 3, y - 1, j % 3) : 0;
            const int p = a + up - c;
            const int pa = std::abs(p - a), pb = std::abs(p - up), pc = std::abs(p - c);
            const int predictor = type == 1 ? a : type == 2 ? up : type == 3 ? (a + up) / 2
                                  : (pa <= pb && pa <= pc) ? a : (pb <= pc ? up : c);
            raw[y * rowBytes + 1 + j] = static_cast<std::uint8_t>(v - predictor);
        }
    }
    Bytes packed(raw.size() + raw.size() / 1000 + 64);
    INTEGER length = static_cast<INTEGER>(packed.size());
    YYZlibCompress(std::as_writable_bytes(std::span(packed)), length, std::as_bytes(std::span(raw)),
                   static_cast<INTEGER>(raw.size()));
    packed.resize(static_cast<std::size_t>(length));

    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr(13, 0);
    putBe32(ihdr, 0, kWidth);
    putBe32(ihdr, 4, kHeight);
    ihdr[8] = 8;
    ihdr[9] = 2;
    for (const Bytes& chunk : {pngChunk("IHDR", ihdr), pngChunk("IDAT", packed), pngChunk("IEND", {})})
        b.insert(b.end(), chunk.begin(), chunk.end());
    return b;
}

// The file for the comparison with another decoder, when a folder is named.
void keep(const Bytes& file, const char* name)
{
    const char* folder = std::getenv("QV_IMAGE_BENCH_FILES");
    if (!folder) return;
    std::ofstream(std::string(folder) + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

// Pillow's decode of the same bytes: the seconds of each of `count` decodes in one Python run.
std::vector<double> pillowTimes(const Bytes& file, const char* name, int count)
{
    namespace fs = std::filesystem;
    const fs::path path = fs::temp_directory_path() / ("qv-bench-" + std::to_string(::getpid()) + "-" + name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    const std::string command = "/usr/bin/python3 '" QV_PILLOW_DECODE_SCRIPT "' '" + path.string() + "' " +
                                std::to_string(count) + " 2>/dev/null";
    std::vector<double> times;
    {
        const std::unique_ptr<FILE, int (*)(FILE*)> out(::popen(command.c_str(), "r"), &::pclose);
        double seconds = 0;
        while (out && std::fscanf(out.get(), "%lf", &seconds) == 1) times.push_back(seconds);
    }
    fs::remove(path);
    return times;
}

constexpr int kPillowDecodes = 20;

void pillowDecode(benchmark::State& state, const Bytes& file, const char* name)
{
    const std::vector<double> times = pillowTimes(file, name, kPillowDecodes);
    if (times.size() != kPillowDecodes) {
        state.SkipWithError("Pillow did not decode the file (python3 with PIL is needed)");
        return;
    }
    std::size_t k = 0;
    for (auto _ : state) state.SetIterationTime(times[k++ % times.size()]);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight * 3);
}

// The processor time of the calling thread, in seconds.
double threadSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

void decode(benchmark::State& state, const Bytes& file)
{
    std::vector<INTEGER> image(static_cast<std::size_t>(kWidth) * kHeight);
    for (auto _ : state) {
        const double start = threadSeconds();
        libraryErrorState().LastErrorNumber = 0;
        MemoryByteSource source(file);
        IGrLoadImageData(source, image);
        state.SetIterationTime(threadSeconds() - start);
        if (libraryErrorState().LastErrorNumber != 0) state.SkipWithError("the picture did not load");
        benchmark::DoNotOptimize(image.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight * 3);
}

void BM_DecodeBmp24(benchmark::State& state)
{
    static const Bytes file = makeBmp();
    keep(file, "bench.bmp");
    decode(state, file);
}
void BM_DecodePcx24(benchmark::State& state)
{
    static const Bytes file = makePcx();
    keep(file, "bench.pcx");
    decode(state, file);
}
void BM_DecodePngRgb8(benchmark::State& state)
{
    static const Bytes file = makePng();
    keep(file, "bench.png");
    decode(state, file);
}

void BM_PillowDecodePcx24(benchmark::State& state)
{
    static const Bytes file = makePcx();
    pillowDecode(state, file, "bench.pcx");
}
void BM_PillowDecodePngRgb8(benchmark::State& state)
{
    static const Bytes file = makePng();
    pillowDecode(state, file, "bench.png");
}

}  // namespace

BENCHMARK(BM_DecodeBmp24)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePcx24)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PillowDecodePcx24)->UseManualTime()->Iterations(kPillowDecodes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePngRgb8)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PillowDecodePngRgb8)->UseManualTime()->Iterations(kPillowDecodes)->Unit(benchmark::kMillisecond);
