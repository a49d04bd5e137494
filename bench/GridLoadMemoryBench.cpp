// The memory a grid load holds for a 100 MB comma-separated file into a small grid (10 columns,
// 40 rows): the file comes in the loader's 65,000-byte pieces, and the fields the grid can take
// are gathered as WGridLoad gathers them before it changes a cell. Two files: 100 MB of short
// lines (the grid is full after 40 of them) and 100 MB in 40 long lines (every byte is read, and
// all but ten fields a line are left out). Goal: the peak stays in proportion to the grid, not to
// the file. Counters: peak_KiB, the most heap held at once during a load; read_MB, the part of the
// file read.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "tests/support/HeapPeak.h"
#include "toolkit/dialogs/GridFileText.h"

namespace {

constexpr std::int64_t kFileBytes = 100LL * 1000 * 1000;

// The file in pieces as the loader reads them: lines of `fields` numbers each, made as they are read.
class CsvFile {
public:
    explicit CsvFile(int fields) : fields_(fields) {}
    // The next piece, empty at the end of the file.
    std::string_view next()
    {
        piece_.clear();
        while (piece_.size() < kGridCsvPiece && produced_ < kFileBytes) {
            const std::string field = std::to_string(counter_++ % 100000) + (++inLine_ == fields_ ? "\r\n" : ",");
            if (inLine_ == fields_) inLine_ = 0;
            const std::size_t room = std::min<std::size_t>(kGridCsvPiece - piece_.size(), static_cast<std::size_t>(kFileBytes - produced_));
            const std::size_t n = std::min(room, field.size());
            piece_.append(field, 0, n);
            produced_ += static_cast<std::int64_t>(n);
        }
        return piece_;
    }
    std::int64_t produced() const { return produced_; }

private:
    int fields_;
    int inLine_ = 0;
    std::int64_t counter_ = 0;
    std::int64_t produced_ = 0;
    std::string piece_;
};

void load(benchmark::State& state, int fieldsPerLine)
{
    std::int64_t peak = 0, read = 0;
    for (auto _ : state) {
        const HeapPeakWatch watch;
        CsvFile file(fieldsPerLine);
        GridCsvCollector collected(10, 40, false, false);
        for (std::string_view piece = file.next(); !piece.empty(); piece = file.next())
            if (!collected.feed(piece)) break;
        collected.finish();
        benchmark::DoNotOptimize(collected.items().data());
        if (collected.overflowed()) state.SkipWithError("a field outgrew the buffer");
        peak = std::max(peak, watch.peak());
        read = file.produced();
    }
    state.counters["peak_KiB"] = static_cast<double>(peak) / 1024.0;
    state.counters["read_MB"] = static_cast<double>(read) / 1e6;
}

void BM_GridLoad100MBShortLines(benchmark::State& state) { load(state, 12); }
void BM_GridLoad100MBInFortyLines(benchmark::State& state) { load(state, 416000); }

}  // namespace

QV_HEAP_PEAK_OPERATORS

BENCHMARK(BM_GridLoad100MBShortLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridLoad100MBInFortyLines)->Unit(benchmark::kMillisecond);
