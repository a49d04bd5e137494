// The bit-image files byte for byte where their layout is fixed (BMP sizes and offsets, the
// run-length rows, PCX runs and palette, the smallest PNG), and the driver's jobs: every depth and
// file type read back by the toolkit's own decoders, one image per file over several pages, the
// page that shrinks until it fits, and failing writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/toolkit/devices/RasterFixture.h"
#include "tests/toolkit/foundation/ReporterGuard.h"
#include "toolkit/devices/ImageLoading.h"
#include "toolkit/devices/RasterDump.h"
#include "toolkit/foundation/BufferCompression.h"

using namespace raster_test;

namespace {

std::uint32_t le32(const Bytes& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint32_t le16(const Bytes& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t be32(const Bytes& b, std::size_t at)
{
    return (static_cast<std::uint32_t>(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

bool reported(const std::string& routine, INTEGER error)
{
    char text[16];
    std::snprintf(text, sizeof text, "Error=%4d", error);
    for (const std::string& r : ReporterGuard::records())
        if (r.find(routine + " " + text) != std::string::npos) return true;
    return false;
}

// Decodes a file with the toolkit's reader: packed RGB, top row first.
std::vector<INTEGER> decode(const Bytes& file, INTEGER width, INTEGER height)
{
    std::vector<INTEGER> pixels(static_cast<std::size_t>(width * height), -1);
    MemoryByteSource source(file);
    libraryErrorState().LastErrorNumber = 0;
    IGrLoadImageData(source, pixels);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    return pixels;
}

// What the page shows, top row first, as the files' palettes give it.
std::vector<INTEGER> expectedColours()
{
    const RasterPageBlock& p = rasterPageBlock();
    const std::vector<INTEGER> palette = YYBitImagePalette(p.PixelMode);
    std::vector<INTEGER> colours;
    for (INTEGER y = p.LastRow; y >= 0; --y)
        for (INTEGER x = 0; x <= p.LastColumn; ++x) {
            const INTEGER index = YYBitImageIndex(x, y);
            colours.push_back(palette.empty() ? index : palette[static_cast<std::size_t>(index)]);
        }
    return colours;
}

// A small drawing in several colours, lines and fills.
void drawSomething(INTEGER width, INTEGER height)
{
    const REAL w = static_cast<REAL>(width) - 0.01f, h = static_cast<REAL>(height) - 0.01f;
    RasterJob::colour(223);
    RasterJob::line(0, 0, w, h);
    RasterJob::colour(16 * 5 + 3);
    RasterJob::fill(OpTriangleFill, 4, {1, 1, w, 2, 3, h});
    RasterJob::colour(16 * 11 + 9);
    RasterJob::lineType(2);
    RasterJob::line(0, h / 2, w, h / 3);
    RasterJob::colour(64);
    RasterJob::fill(OpRectangleFill, 3, {w / 2, 0, w, h / 4});
    RasterJob::colour(200);
    RasterJob::point(w / 3, h / 3);
}

TEST(BitImageFiles, DriverIdentityDefaultsAndRescale)
{
    resetState();
    DriverParameterBlock& b = driverParameterBlock();
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    o.Options[1] = 77;
    b.Count = -999;
    XXIMAG(OpInit);
    EXPECT_EQ(b.Count, 6);
    EXPECT_EQ(o.Options[1], 77);  // the query changes nothing else
    EXPECT_EQ(hardcopyJobState().DriverDevice, 0);
    b.Count = 0;
    b.Value = -998;  // a reset that keeps the options
    XXIMAG(OpInit);
    EXPECT_EQ(o.Options[1], 77);
    b.Value = 0;
    XXIMAG(OpInit);
    EXPECT_EQ(o.Options[1], 640);
    EXPECT_EQ(o.Options[2], 480);
    EXPECT_EQ(o.Options[23], 8);
    EXPECT_EQ(o.Options[26], 0);
    EXPECT_EQ(o.Options[9], 5);
    EXPECT_EQ(hardcopyJobState().OutputFile.trimmed(), "raridevu.pcx");
    EXPECT_EQ(hardcopyJobState().DriverDevice, 6);
    EXPECT_EQ(hardcopyFillState().HardcopyColours, 256);
    EXPECT_EQ(deviceCapabilityTable().CapabilityString[1].view(), "00000111111111110010011111000");
    EXPECT_EQ(deviceCapabilityTable().PlatformLevel[1], 2);

    // After a drawable resize only the scales follow; the page stays.
    TempFolder folder;
    RasterJob job(100, 50, folder / "resize.pcx", {.bits = 4});
    EXPECT_EQ(hardcopyFillState().HardcopyColours, 16);
    RasterJob::point(10, 10);
    const auto words = rasterPageBlock().Words;
    graphicsState().DrawableWidth = 200;
    b.Value = -1;
    XXIMAG(OpBeginOutput);
    EXPECT_FLOAT_EQ(hardcopyDriverState().XScale, 0.5f);
    EXPECT_FLOAT_EQ(hardcopyDriverState().YScale, 1.0f);
    EXPECT_EQ(rasterPageBlock().Words, words);
    EXPECT_EQ(rasterPageBlock().PageWidth, 100);
}

TEST(BitImageFiles, BmpSizesAndOffsets)
{
    TempFolder folder;
    {
        RasterJob job(640, 480, folder / "a.bmp", {.bits = 8, .fileType = 1});
        RasterJob::colour(77);
        RasterJob::point(3, 2);
    }
    const Bytes bmp = readFile(folder / "a.bmp");
    ASSERT_EQ(bmp.size(), 54U + 1024U + 307200U);
    EXPECT_EQ(le32(bmp, 2), bmp.size());
    EXPECT_EQ(le32(bmp, 10), 1078U);
    EXPECT_EQ(le32(bmp, 18), 640U);
    EXPECT_EQ(le32(bmp, 22), 480U);
    EXPECT_EQ(le16(bmp, 28), 8U);
    EXPECT_EQ(bmp[1078 + 2 * 640 + 3], 77);  // row 2 from the bottom, column 3

    for (const INTEGER h : {1, 7}) {
        {
            RasterJob job(100, h, folder / "b.bmp", {.bits = 1, .fileType = 1});
            RasterJob::point(99, 0);
        }
        const Bytes mono = readFile(folder / "b.bmp");
        EXPECT_EQ(mono.size(), 62U + 16U * static_cast<unsigned>(h));
        EXPECT_EQ(mono[62 + 12], 0x10);  // pixel 99: byte 12, bit 3 from the left
    }
}

TEST(BitImageFiles, RunLengthRowsAndTheSizeFixUp)
{
    struct Case {
        const char* name;
        INTEGER width;
        std::vector<INTEGER> pixels;
        Bytes entries;
    };
    const Case cases[] = {
        {"eight bytes 7", 8, std::vector<INTEGER>(8, 7), {8, 7, 0, 0}},
        {"1, 2, 3, 4", 4, {1, 2, 3, 4}, {0, 4, 1, 2, 3, 4, 0, 0}},
        {"256 equal bytes", 256, std::vector<INTEGER>(256, 9), {252, 9, 4, 9, 0, 0}},
        // Past the last whole group the pixels are encoded exactly.
        {"short equal tail", 6, {5, 5, 5, 5, 6, 6}, {4, 5, 2, 6, 0, 0}},
        {"short mixed tail", 6, {5, 5, 5, 5, 6, 7}, {4, 5, 1, 6, 1, 7, 0, 0}},
        {"tail of three", 7, {1, 2, 3, 4, 5, 6, 7}, {0, 4, 1, 2, 3, 4, 0, 3, 5, 6, 7, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        {
            RasterJob job(c.width, 1, folder / "r.bmp", {.bits = 8, .fileType = 2});
            for (INTEGER x = 0; x < c.width; ++x) YYRasterPixel(c.pixels[static_cast<std::size_t>(x)], x, 0);
            hardcopyJobState().PageOpen = -1;
        }
        const Bytes bmp = readFile(folder / "r.bmp");
        ASSERT_EQ(bmp.size(), 1078U + c.entries.size() + 2);
        EXPECT_EQ(Bytes(bmp.begin() + 1078, bmp.end() - 2), c.entries);
        EXPECT_EQ(Bytes(bmp.end() - 2, bmp.end()), Bytes({0, 1}));
        EXPECT_EQ(le32(bmp, 30), 1U);
        EXPECT_EQ(le32(bmp, 2), bmp.size());
        EXPECT_EQ(le32(bmp, 34), bmp.size() - 1078);
    }
    // 1- and 24-bit pages stay uncompressed with option 26 = 2, and their sizes are the plain ones.
    for (const INTEGER bits : {1, 24}) {
        TempFolder folder;
        {
            RasterJob job(5, 3, folder / "u.bmp", {.bits = bits, .fileType = 2});
            RasterJob::point(1, 1);
        }
        const Bytes bmp = readFile(folder / "u.bmp");
        EXPECT_EQ(le32(bmp, 30), 0U);
        EXPECT_EQ(le32(bmp, 34), 0U);
        EXPECT_EQ(bmp.size(), bits == 1 ? 62U + 3 * 4 : 54U + 3 * 16);
    }
}

TEST(BitImageFiles, PcxRunsHeaderAndPalette)
{
    TempFolder folder;
    {
        RasterJob job(640, 480, folder / "d.pcx", {.bits = 8, .fileType = 0});
        for (INTEGER x = 0; x < 100; ++x) YYRasterPixel(33, x, 479);
        YYRasterPixel(200, 100, 479);
        hardcopyJobState().PageOpen = -1;
    }
    const Bytes pcx = readFile(folder / "d.pcx");
    EXPECT_EQ(pcx[0], 10);
    EXPECT_EQ(pcx[1], 5);
    EXPECT_EQ(le16(pcx, 8), 639U);
    EXPECT_EQ(le16(pcx, 10), 479U);
    EXPECT_EQ(le16(pcx, 66), 640U);
    EXPECT_EQ(pcx[65], 1);
    // The top row first: 100 bytes 33 as runs of 63 and 37, then the single 200, then 539 zeros.
    EXPECT_EQ(Bytes(pcx.begin() + 128, pcx.begin() + 134), Bytes({255, 33, 229, 33, 193, 200}));
    ASSERT_GE(pcx.size(), 769U);
    EXPECT_EQ(pcx[pcx.size() - 769], 12);
    INTEGER entry = 0;
    YYPaletteRGB(200, entry);
    const std::size_t at = pcx.size() - 768 + 3 * 200;
    EXPECT_EQ(pcx[at] + 256 * pcx[at + 1] + 65536 * pcx[at + 2], entry);

    // Odd widths get an even line: a 24-bit line of 3 pixels has 4 bytes, its pad the clear white.
    {
        RasterJob job(3, 1, folder / "o.pcx", {.bits = 24, .fileType = 0});
        RasterJob::rgb(0x030201);
        RasterJob::point(0, 0);
    }
    const Bytes odd = readFile(folder / "o.pcx");
    EXPECT_EQ(le16(odd, 66), 4U);
    EXPECT_EQ(Bytes(odd.begin() + 128, odd.end()), Bytes({1, 195, 255, 2, 195, 255, 3, 195, 255}));
}

TEST(BitImageFiles, SmallestPng)
{
    TempFolder folder;
    {
        RasterJob job(1, 1, folder / "p.png", {.bits = 24, .fileType = 3});
        RasterJob::rgb(0x332211);
        RasterJob::point(0, 0);
    }
    const Bytes png = readFile(folder / "p.png");
    ASSERT_GE(png.size(), 33U + 12U + 12U);
    EXPECT_EQ(Bytes(png.begin(), png.begin() + 8), Bytes({0x89, 'P', 'N', 'G', 13, 10, 26, 10}));
    EXPECT_EQ(be32(png, 8), 13U);
    EXPECT_EQ(png[24], 8);  // bit depth
    EXPECT_EQ(png[25], 2);  // truecolour
    EXPECT_EQ(std::string(png.begin() + 37, png.begin() + 41), "IDAT");  // no PLTE
    const std::size_t length = be32(png, 33);
    const Bytes compressed(png.begin() + 41, png.begin() + 41 + static_cast<std::ptrdiff_t>(length));
    Bytes data(16);
    INTEGER dataLength = 16;
    WUnCompress(compressed, data, static_cast<INTEGER>(compressed.size()), dataLength);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + dataLength), Bytes({0, 0x11, 0x22, 0x33}));
    EXPECT_EQ(std::string(png.end() - 8, png.end() - 4), "IEND");
    std::array<std::uint8_t, 4> bytes{};
    YYPngPutLength(0x01020304, bytes);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
}

TEST(BitImageFiles, EveryDepthAndFileTypeReadsBackAsDrawn)
{
    // 37 x 21: odd widths, padded BMP rows, PCX pad bytes, partial bytes at 1 and 4 bits.
    for (const INTEGER bits : {1, 4, 8, 24})
        for (const INTEGER type : {1, 2, 0, 3}) {
            SCOPED_TRACE(std::to_string(bits) + " bits, file type " + std::to_string(type));
            TempFolder folder;
            std::vector<INTEGER> expected;
            {
                RasterJob job(37, 21, folder / "page", {.bits = bits, .fileType = type});
                drawSomething(37, 21);
                expected = expectedColours();
            }
            EXPECT_EQ(decode(readFile(folder / "page"), 37, 21), expected);
        }
}

TEST(BitImageFiles, EachPageGoesIntoAFileOfItsOwn)
{
    TempFolder folder;
    std::vector<std::vector<INTEGER>> pages;
    {
        RasterJob job(16, 9, folder / "pages.bmp", {.bits = 4, .fileType = 2});
        for (INTEGER n = 0; n < 3; ++n) {
            RasterJob::colour(16 * (n + 2));
            RasterJob::fill(OpRectangleFill, 4, {static_cast<REAL>(n), 0, static_cast<REAL>(n + 4), 5});
            pages.push_back(expectedColours());
            job.page();
        }
        // A page end with nothing drawn writes nothing.
        job.page();
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "pages-4.bmp"));
    const char* names[] = {"pages.bmp", "pages-2.bmp", "pages-3.bmp"};
    for (std::size_t n = 0; n < 3; ++n) {
        SCOPED_TRACE(names[n]);
        const Bytes file = readFile(folder / names[n]);
        ASSERT_GT(file.size(), 118U);
        EXPECT_EQ(le32(file, 2), file.size());
        EXPECT_EQ(le32(file, 34), file.size() - 118);
        EXPECT_EQ(decode(file, 16, 9), pages[n]);
    }
    // A job that draws nothing leaves its file empty, without a report.
    libraryErrorState().LastErrorNumber = 0;
    { RasterJob job(16, 9, folder / "empty.bmp", {.bits = 8, .fileType = 2}); }
    EXPECT_EQ(readFile(folder / "empty.bmp").size(), 0U);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    EXPECT_EQ(YYBitImagePageName("C:\\out.d\\plot", 2), "C:\\out.d\\plot-2");
    EXPECT_EQ(YYBitImagePageName("plot.pcx", 12), "plot-12.pcx");
}

TEST(BitImageFiles, PageShrinksUntilItFits)
{
    ReporterGuard guard;
    libraryErrorState().ReportMode = kReportConsole;
    static int failures = 0;
    failures = 1;
    TempFolder folder;
    const auto failOnce = [](std::vector<std::uint32_t>& words, std::int64_t count) {
        if (failures-- > 0) return false;
        words.assign(static_cast<std::size_t>(count), 0U);
        return true;
    };
    resetState();
    rasterRendererHooks().allocate = failOnce;
    // RasterJob resets the hooks; start the job by hand with the failing allocation.
    graphicsState().DrawableWidth = 640;
    graphicsState().DrawableHeight = 480;
    driverParameterBlock().Count = 0;
    XXIMAG(OpInit);
    stringWorkBuffer().assign((folder / "s.pcx").string());
    graphicsState().HardcopyActive = 1;
    driverParameterBlock().Value = 1;
    XXIMAG(OpBeginOutput);
    const DOUBLE scale = std::sqrt(76800.0 / 69120.0);
    EXPECT_EQ(rasterPageBlock().PageWidth, static_cast<INTEGER>(640 / scale));
    EXPECT_EQ(rasterPageBlock().PageHeight, static_cast<INTEGER>(480 / scale));
    EXPECT_EQ(std::count_if(ReporterGuard::records().begin(), ReporterGuard::records().end(),
                            [](const std::string& r) { return r.find("XXIMAG Error=  34") != std::string::npos; }),
              1);
    EXPECT_EQ(graphicsState().HardcopyActive, 1);
    EXPECT_FLOAT_EQ(hardcopyDriverState().XScale, static_cast<REAL>(rasterPageBlock().PageWidth) / 640.0f);
    XXIMAG(OpEndOutput);

    // Memory that is never there ends the job once the page cannot shrink further.
    failures = 1000000;
    rasterRendererHooks().allocate = failOnce;
    graphicsState().HardcopyActive = 1;
    driverParameterBlock().Value = 1;
    XXIMAG(OpBeginOutput);
    EXPECT_EQ(graphicsState().HardcopyActive, 0);
    YYRasterRendererFallbacks();
}

TEST(BitImageFiles, FailuresAreReportedAndStopTheWriters)
{
    ReporterGuard guard;
    libraryErrorState().ReportMode = kReportConsole;
    TempFolder folder;
    {
        // An output file that cannot be created ends the job before it starts.
        RasterJob job(8, 8, folder / "no-such-folder" / "x.bmp");
        EXPECT_FALSE(job.active());
        EXPECT_TRUE(reported("YYPROU", 1));
    }
    for (const INTEGER type : {1, 0, 3}) {
        SCOPED_TRACE(type);
        ReporterGuard::records().clear();
        RasterJob job(64, 64, folder / "f.img", {.bits = 24, .fileType = type});
        drawSomething(64, 64);
        MemoryByteSink full(300);
        outputUnitHooks().status() = 0;
        if (type == 1) YYBmpWrite(full);
        else if (type == 0) YYPcxWrite(full);
        else YYPngWrite(full);
        EXPECT_EQ(outputUnitHooks().status(), -1);
        EXPECT_EQ(full.bytes().size(), 300U);
        EXPECT_TRUE(reported(type == 3 ? "IFileWriteChar" : "YYPRBU", 2));
        // Only the first failed write is reported: the writer stops there.
        EXPECT_EQ(ReporterGuard::records().size(), 1U);
        outputUnitHooks().status() = 0;
    }
    // The line end of the byte writer counts as part of the write.
    MemoryByteSink sink(3);
    outputUnitHooks().status() = 0;
    const Bytes three{1, 2, 3};
    YYPRBU(sink, three, 3, kTrue);
    EXPECT_EQ(outputUnitHooks().status(), -1);
    outputUnitHooks().status() = 0;
    // A PCX page wider than its 16-bit fields is refused, not wrapped.
    {
        RasterJob job(70000, 1, folder / "wide.pcx", {.bits = 1, .fileType = 0});
        RasterJob::point(1, 0);
        ReporterGuard::records().clear();
        job.end();
        EXPECT_TRUE(reported("YYPcxWrite", 34));
        EXPECT_EQ(readFile(folder / "wide.pcx").size(), 0U);
    }
}

}  // namespace
