// The image loader and the drawing routine judge every file alike, and neither takes memory for
// a picture a file cannot hold: files that declare huge pictures are refused before the memory,
// and a large picture is read with memory for a few rows besides the caller's array. Every
// allocation of this test program is counted (a replaced operator new), so the peaks are measured,
// not assumed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/HeapPeak.h"
#include "tests/toolkit/devices/ImageFileBuilders.h"
#include "tests/toolkit/foundation/ReporterGuard.h"
#include "toolkit/devices/ImageDib.h"
#include "toolkit/devices/ImageLoading.h"
#include "toolkit/graphics/DriverProtocol.h"

using namespace image_files;

namespace {

struct Verdicts {
    INTEGER loader, drawer;
};

// What each reader says of the file; the loader into an array of the file's own size.
Verdicts judge(const Bytes& file, std::size_t pixels)
{
    libraryErrorState().LastErrorNumber = 0;
    std::vector<INTEGER> image(pixels, 0);
    MemoryByteSource forLoader(file);
    IGrLoadImageData(forLoader, image);
    const INTEGER loader = libraryErrorState().LastErrorNumber;
    MemoryByteSource forDrawer(file);
    ImageDib dib;
    INTEGER code = 0;
    const INTEGER kind = file.size() > 1 && file[0] == 'B' ? 1 : file.size() > 1 && file[0] == 10 ? 2 : 15;
    const INTEGER drawer = kind == 1 ? YYDibFromBmp(forDrawer, dib) : kind == 2 ? YYDibFromPcx(forDrawer, dib)
                                                                               : YYDibFromPng(forDrawer, dib, code);
    return {loader, drawer};
}

// The rows of an RGB PNG of one colour, filtered "None".
Bytes rgbRows(int width, int height, int filter = 0)
{
    Bytes raw;
    for (int r = 0; r < height; ++r) {
        raw.push_back(static_cast<std::uint8_t>(filter));
        for (int c = 0; c < width; ++c) raw.insert(raw.end(), {10, 20, 30});
    }
    return raw;
}

}  // namespace

QV_HEAP_PEAK_OPERATORS

TEST(ImageJudgement, LoaderAndDrawerGiveTheSameAnswerForEveryFile)
{
    ReporterGuard guard;
    const Bytes goodRows = zlibOf(rgbRows(3, 3));
    Bytes thirdShort = zlibOf(Bytes(rgbRows(3, 2)));  // a whole stream, but of two rows where three are due
    Bytes badFilter = rgbRows(3, 3);
    badFilter[10] = 5;
    const Bytes palette{255, 0, 0, 0, 255, 0};
    Bytes bigTable = bmp(2, 1, 8, 0, {0xFF0000, 0x00FF00}, {0, 1, 0, 0});
    putLe(bigTable, 46, 100000, 4);  // colours used far above what 8 bits index
    struct Case {
        const char* name;
        Bytes file;
        std::size_t pixels;
        INTEGER verdict;
    } cases[] = {
        {"good PNG", png(3, 3, 8, 2, {pngChunk("IDAT", goodRows)}), 9, 0},
        {"PNG data a third short", png(3, 3, 8, 2, {pngChunk("IDAT", thirdShort)}), 9, 1044},
        {"PNG data cut inside the stream", png(3, 3, 8, 2, {pngChunk("IDAT", Bytes(goodRows.begin(), goodRows.end() - 8))}), 9, 1044},
        {"PNG filter type 5", png(3, 3, 8, 2, {pngChunk("IDAT", zlibOf(badFilter))}), 9, 27},
        {"palette PNG without PLTE", png(2, 1, 8, 3, {pngChunk("IDAT", zlibOf({0, 1, 0}))}), 2, 27},
        {"palette PNG with an index past PLTE", png(2, 1, 8, 3, {pngChunk("PLTE", palette), pngChunk("IDAT", zlibOf({0, 1, 2}))}), 2, 27},
        {"palette PNG after its data", png(2, 1, 8, 3, {pngChunk("IDAT", zlibOf({0, 1, 0})), pngChunk("PLTE", palette)}), 2, 27},
        {"PLTE of a length no palette has", png(2, 1, 8, 3, {pngChunk("PLTE", Bytes(7, 0)), pngChunk("IDAT", zlibOf({0, 1, 0}))}), 2, 27},
        {"good palette PNG", png(2, 1, 8, 3, {pngChunk("PLTE", palette), pngChunk("IDAT", zlibOf({0, 1, 0}))}), 2, 0},
        {"BMP colours-used of 100000", bigTable, 2, 0},
        {"BMP rows cut short", bmp(2, 2, 24, 0, {}, Bytes(10, 0)), 4, 2},
        {"BMP run-length data without their end mark", bmp(2, 1, 8, 1, {0, 0}, Bytes{2, 0, 0, 0}), 2, 2},
        {"BMP core header", [] { Bytes b = bmp(1, 1, 24, 0, {}, {1, 2, 3, 0}); putLe(b, 14, 12, 4); return b; }(), 1, 27},
        {"BMP bit fields without their masks", bmp(3, 1, 16, 3, {}, Bytes(8, 0)), 3, 2},
        {"8-bit PCX without its palette marker", [] { Bytes b = pcx(2, 1, 8, 1, 2, {7, 9}); b.resize(b.size() + 769, 0); return b; }(), 2, 2},
        {"4-bit PCX of one packed plane", pcx(3, 1, 4, 1, 2, {0x12, 0x30}), 3, 0},
        {"PCX lines shorter than the width", pcx(20, 1, 8, 3, 4, Bytes(12, 0)), 20, 27},
        {"PCX data cut short", pcx(4, 4, 8, 3, 4, Bytes(20, 1)), 16, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Verdicts v = judge(c.file, c.pixels);
        EXPECT_EQ(v.loader, c.verdict);
        EXPECT_EQ(v.drawer, c.verdict);
    }
    // Data that end before the rows are zlib's data error, in both readers' details.
    const Bytes shortFile = png(3, 3, 8, 2, {pngChunk("IDAT", thirdShort)});
    MemoryByteSource source(shortFile);
    ImageDib dib;
    INTEGER code = 0;
    EXPECT_EQ(YYDibFromPng(source, dib, code), 1044);
    EXPECT_EQ(code, -3);
    libraryErrorState().ReportMode = kReportConsole;
    judge(shortFile, 9);
    EXPECT_EQ(libraryErrorState().SystemDetailCode, -3);
    EXPECT_NE(YYLastErrorMessage().trimmed().find("data error"), std::string_view::npos) << YYLastErrorMessage().trimmed();
}

// Small files that declare pictures of hundreds of megabytes: refused by what the file can hold,
// with no more than a few kilobytes taken meanwhile.
TEST(ImageJudgement, HugeDeclaredPicturesAreRefusedBeforeTheirMemoryIsTaken)
{
    ReporterGuard guard;
    Bytes bmpFile = bmp(8000, 8000, 32, 0, {}, Bytes(64, 0));  // 118 bytes for 256 MB of rows
    Bytes pcxFile = pcx(16000, 4000, 8, 3, 16000, Bytes(1000, 0xC1));
    Bytes pngFile = png(8000, 8000, 8, 6, {pngChunk("IDAT", zlibOf(Bytes(1000, 0)))});
    struct Case {
        const char* name;
        const Bytes& file;
        INTEGER verdict;
    } cases[] = {{"BMP", bmpFile, 2}, {"PCX", pcxFile, 2}, {"PNG", pngFile, 1044}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryByteSource source(c.file);
        ImageDib dib;
        INTEGER code = 0;
        const HeapPeakWatch watch;
        const INTEGER verdict = c.file[0] == 'B' ? YYDibFromBmp(source, dib) : c.file[0] == 10 ? YYDibFromPcx(source, dib)
                                                                                              : YYDibFromPng(source, dib, code);
        EXPECT_EQ(verdict, c.verdict);
        EXPECT_LT(watch.peak(), 256 * 1024);
        EXPECT_TRUE(dib.Block.empty());
    }

    // A file driver's picture: the named file is judged before the pixels' array is made.
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "qv-huge-declared.bmp";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bmpFile.data()), static_cast<std::streamsize>(bmpFile.size()));
    stringWorkBuffer().assign(file.string());
    const HeapPeakWatch watch;
    EXPECT_TRUE(YYDriverImagePixels(8000, 8000, std::int64_t{1} << 26).empty());
    EXPECT_EQ(driverParameterBlock().Value, 2);
    EXPECT_LT(watch.peak(), 256 * 1024);
    std::filesystem::remove(file);
}

// A 2000 x 2000 picture of 16-bit RGBA samples (32 MB of rows in a small file) read with memory
// for a few of its rows besides the caller's array; the drawer's picture is its DIB and no more.
TEST(ImageJudgement, LargePicturesAreReadARowAtATime)
{
    ReporterGuard guard;
    const int side = 2000;
    Bytes raw(static_cast<std::size_t>(side) * (8 * side + 1), 0);
    const Bytes file = png(side, side, 16, 6, {pngChunk("IDAT", zlibOf(raw))});
    raw = Bytes();
    std::vector<INTEGER> image(static_cast<std::size_t>(side) * side, -1);
    {
        libraryErrorState().LastErrorNumber = 0;
        MemoryByteSource source(file);
        const HeapPeakWatch watch;
        IGrLoadImageData(source, image);
        EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
        EXPECT_LT(watch.peak(), 512 * 1024);
        EXPECT_EQ(image.back(), 0);
    }
    MemoryByteSource source(file);
    ImageDib dib;
    INTEGER code = 0;
    const HeapPeakWatch watch;
    EXPECT_EQ(YYDibFromPng(source, dib, code), 0);
    EXPECT_LT(watch.peak(), static_cast<std::int64_t>(dib.Block.size()) + 512 * 1024);
}
