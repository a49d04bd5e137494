// Image loading on hand-built files: row order, palettes, 16-bit fields, packed PNG indices, and
// the refusals of broken, truncated and oversized files (run under the sanitizers natively, so an
// access outside a buffer or the caller's array fails the test).
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "tests/toolkit/devices/ImageFileBuilders.h"
#include "tests/toolkit/foundation/ReporterGuard.h"
#include "toolkit/devices/ImageLoading.h"

using namespace image_files;

namespace {

constexpr INTEGER kUntouched = 0x123456;

struct Loaded {
    INTEGER error;
    std::vector<INTEGER> pixels;
};

// Loads the file into an array of exactly `capacity` elements, each preset to kUntouched.
Loaded load(const Bytes& file, std::size_t capacity)
{
    libraryErrorState().LastErrorNumber = 0;
    std::vector<INTEGER> image(capacity, kUntouched);
    MemoryByteSource source(file);
    IGrLoadImageData(source, image);
    return {libraryErrorState().LastErrorNumber, image};
}

INTEGER rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

// Rows of 24-bit BMP pixels (blue, green, red), each row padded to 4 bytes.
Bytes bgrRows(std::initializer_list<std::initializer_list<INTEGER>> rows)
{
    Bytes b;
    for (const auto& row : rows) {
        for (const INTEGER c : row) {
            b.push_back(static_cast<std::uint8_t>(c >> 16));
            b.push_back(static_cast<std::uint8_t>(c >> 8));
            b.push_back(static_cast<std::uint8_t>(c));
        }
        while (b.size() % 4) b.push_back(0);
    }
    return b;
}

const INTEGER red = rgb(255, 0, 0), green = rgb(0, 255, 0), blue = rgb(0, 0, 255);
const INTEGER white = rgb(255, 255, 255), grey = rgb(128, 128, 128), black = 0;

}  // namespace

TEST(ImageLoadingBmp, RowsStoredBottomUpOrTopDownLoadTopRowFirst)
{
    ReporterGuard guard;
    const std::vector<INTEGER> expected = {red, green, blue, white, grey, black};
    // Bottom-up: the last stored row is the top of the picture.
    const Loaded bottomUp = load(bmp(3, 2, 24, 0, {}, bgrRows({{white, grey, black}, {red, green, blue}})), 6);
    EXPECT_EQ(bottomUp.error, 0);
    EXPECT_EQ(bottomUp.pixels, expected);
    // Top-down (negative height): rows in picture order.
    const Loaded topDown = load(bmp(3, -2, 24, 0, {}, bgrRows({{red, green, blue}, {white, grey, black}})), 6);
    EXPECT_EQ(topDown.error, 0);
    EXPECT_EQ(topDown.pixels, expected);
}

TEST(ImageLoadingBmp, SixteenBitFieldsFiveFiveFiveAndFiveSixFive)
{
    ReporterGuard guard;
    // Words 0xFFFF, 0x7C00, 0x001F; in 5-6-5 the first is white less the dropped low bits.
    const Bytes words = {0xFF, 0xFF, 0x00, 0x7C, 0x1F, 0x00, 0x00, 0x00};
    const Loaded plain = load(bmp(3, 1, 16, 0, {}, words), 3);
    EXPECT_EQ(plain.error, 0);
    EXPECT_EQ(plain.pixels, (std::vector<INTEGER>{rgb(248, 248, 248), rgb(248, 0, 0), rgb(0, 0, 248)}));
    // Bit fields: the three masks behind the header say which; without them the file is cut short.
    struct Case {
        Bytes masks;
        std::vector<INTEGER> pixels;
    };
    const Case cases[] = {
        {{0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0}, {rgb(248, 252, 248), rgb(120, 128, 0), rgb(0, 0, 248)}},
        {{0x00, 0x7C, 0, 0, 0xE0, 0x03, 0, 0, 0x1F, 0, 0, 0}, plain.pixels},
    };
    for (const Case& c : cases) {
        Bytes file = bmp(3, 1, 16, 3, {}, c.masks);
        append(file, words);
        putLe(file, 10, 54 + 12, 4);
        const Loaded fields = load(file, 3);
        EXPECT_EQ(fields.error, 0);
        EXPECT_EQ(fields.pixels, c.pixels);
    }
    EXPECT_EQ(load(bmp(3, 1, 16, 3, {}, Bytes(8, 0)), 3).error, 2);
}

TEST(ImageLoadingPalettes, EntriesTheFileDoesNotSupplyAreBlackNotAnEarlierFilesColours)
{
    ReporterGuard guard;
    const std::vector<std::uint32_t> allWhite(256, 0xFFFFFF);
    const Bytes indices = {0, 5, 200, 0};
    ASSERT_EQ(load(bmp(3, 1, 8, 0, allWhite, indices), 3).pixels, (std::vector<INTEGER>(3, white)));
    // A later file with a two-entry table: indices 5 and 200 have no colour of their own.
    const Loaded bmpShort = load(bmp(3, 1, 8, 0, {0x00FF00, 0xFF0000}, indices), 3);
    EXPECT_EQ(bmpShort.error, 0);
    EXPECT_EQ(bmpShort.pixels, (std::vector<INTEGER>{rgb(0, 255, 0), black, black}));
    // A palette PNG after a file with colours: its two entries, none of the earlier ones.
    const Loaded pngShort = load(png(2, 1, 8, 3, {pngChunk("PLTE", {0, 0, 9, 0, 8, 0}), pngChunk("IDAT", zlibOf({0, 1, 0}))}), 2);
    EXPECT_EQ(pngShort.error, 0);
    EXPECT_EQ(pngShort.pixels, (std::vector<INTEGER>{rgb(0, 8, 0), rgb(0, 0, 9)}));
}

TEST(ImageLoadingPng, PackedIndicesGiveExactlyWidthPixelsAndSixteenBitSamplesTheirHighByte)
{
    ReporterGuard guard;
    // 1 bit, width 10: two bytes a row, the last six bits padding (set, so that using them shows).
    const Bytes plte = {0, 0, 0, 255, 255, 255};
    const Bytes raw = {0, 0b10110011, 0b01111111, 0, 0b00000000, 0b11111111};
    const Loaded oneBit = load(png(10, 2, 1, 3, {pngChunk("PLTE", plte), pngChunk("IDAT", zlibOf(raw))}), 20);
    EXPECT_EQ(oneBit.error, 0);
    const int bits[20] = {1, 0, 1, 1, 0, 0, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1};
    for (int k = 0; k < 20; ++k) EXPECT_EQ(oneBit.pixels[k], bits[k] ? white : black) << "pixel " << k;

    // RGBA, 16 bits a sample: the high bytes of red, green and blue; alpha is dropped.
    const Bytes rgba16 = {0, 0x12, 0xFF, 0x34, 0x01, 0x56, 0x77, 0x00, 0x00};
    const Loaded wide = load(png(1, 1, 16, 6, {pngChunk("IDAT", zlibOf(rgba16))}), 1);
    EXPECT_EQ(wide.error, 0);
    EXPECT_EQ(wide.pixels[0], rgb(0x12, 0x34, 0x56));
}

TEST(ImageLoadingPng, SeveralIdatChunksGatherInFileOrderAndNothingAfterIendIsRead)
{
    ReporterGuard guard;
    const Bytes raw = {0, 10, 20, 30, 40, 50, 60};
    const Bytes packed = zlibOf(raw);
    const std::size_t cut = packed.size() / 2;
    Bytes file = png(2, 1, 8, 2,
                     {pngChunk("IDAT", Bytes(packed.begin(), packed.begin() + cut)), pngChunk("tEXt", bytesOf("a\0b")),
                      pngChunk("IDAT", Bytes(packed.begin() + cut, packed.end()))});
    // Garbage after IEND would be a broken chunk header if it were read.
    append(file, bytesOf("\xFF\xFF\xFF\xFF junk"));
    const Loaded loaded = load(file, 2);
    EXPECT_EQ(loaded.error, 0);
    EXPECT_EQ(loaded.pixels, (std::vector<INTEGER>{rgb(10, 20, 30), rgb(40, 50, 60)}));
}

TEST(ImageLoadingRefusals, BrokenTruncatedAndOversizedFilesGiveTheirErrorAndStayInBounds)
{
    ReporterGuard guard;
    const Bytes rgbRow = {0, 1, 2, 3};
    const Bytes goodIdat = pngChunk("IDAT", zlibOf(rgbRow));
    Bytes badZlib = zlibOf(rgbRow);
    badZlib[badZlib.size() - 1] ^= 0x01;  // the Adler checksum no longer matches
    Bytes flippedLength = pngChunk("IDAT", zlibOf(rgbRow));
    flippedLength[0] ^= 0x80;  // chunk length above 2^31
    Bytes pngNoIend = pngHeader(1, 1, 8, 2);
    append(pngNoIend, goodIdat);
    Bytes hugeAncillary = pngHeader(1, 1, 8, 2);
    appendBe32(hugeAncillary, 0x7FFFFFF0);
    append(hugeAncillary, "zTXtshort");
    Bytes ihdrTooLong = pngHeader(1, 1, 8, 2);
    ihdrTooLong[11] = 14;
    Bytes pcx8NoMarker = pcx(2, 1, 8, 1, 2, Bytes{7, 9});
    pcx8NoMarker.resize(pcx8NoMarker.size() + 769, 0);
    Bytes flippedDepth = bmp(1, 1, 24, 0, {}, bgrRows({{red}}));
    flippedDepth[29] ^= 0x80;
    Bytes flippedPcx = pcx(2, 1, 8, 3, 2, Bytes(6, 1));
    flippedPcx[3] ^= 0x01;
    Bytes flippedColourType = png(1, 1, 8, 2, {goodIdat});
    flippedColourType[25] ^= 0x02;

    struct Case { const char* name; Bytes file; std::size_t capacity; INTEGER error; } cases[] = {
        {"interlaced PNG", Bytes(pngHeader(1, 1, 8, 2, 1)), 1, 27},
        {"greyscale PNG", png(1, 1, 8, 0, {goodIdat}), 1, 27},
        {"grey with alpha PNG", png(1, 1, 8, 4, {goodIdat}), 1, 27},
        {"16-bit palette PNG", png(1, 1, 16, 3, {goodIdat}), 1, 27},
        {"IHDR of the wrong length", ihdrTooLong, 1, 27},
        {"colour type bit flipped to greyscale", flippedColourType, 1, 27},
        {"data that do not inflate", png(1, 1, 8, 2, {pngChunk("IDAT", badZlib)}), 1, 1044},
        {"data that inflate short", png(2, 1, 8, 2, {goodIdat}), 2, 1044},
        {"no IDAT at all", png(1, 1, 8, 2, {}), 1, 1044},
        {"IDAT overflow", png(1, 1, 8, 2, {pngChunk("IDAT", Bytes(100, 0))}), 1, 2},
        {"IDAT length bit flipped", [&] { Bytes b = pngHeader(1, 1, 8, 2); append(b, flippedLength); return b; }(), 1, 27},
        {"huge ancillary chunk length", hugeAncillary, 1, 2},
        {"PLTE longer than the read buffer", png(1, 1, 8, 3, {pngChunk("PLTE", Bytes(50001, 0))}), 1, 27},
        {"PNG ends before IEND", pngNoIend, 1, 2},
        {"PNG huge width", png(0x7FFFFFFF, 1, 8, 2, {goodIdat}), 100, 27},
        {"PNG sides above 65535", png(0x10000, 0x10000, 8, 6, {goodIdat}), 100, 27},
        {"PNG larger than the array", png(300, 300, 8, 6, {goodIdat}), 100, 2},
        {"PNG zero width", png(0, 1, 8, 2, {goodIdat}), 1, 27},
        {"PNG width above 2^31", png(0x80000001U, 1, 8, 2, {goodIdat}), 1, 27},
        {"BMP colour table and pixels past the end of the file",
         [] { Bytes b = bmp(1, 1, 8, 0, {}, Bytes(4, 0)); putLe(b, 10, 54 + 100000, 4); return b; }(), 1, 2},
        {"BMP row of 60000 bytes", bmp(20000, 1, 24, 0, {}, Bytes(60000, 0)), 20000, 0},
        {"BMP larger than the array", bmp(4, 4, 24, 0, {}, Bytes(64, 0)), 15, 2},
        {"BMP huge width and height", bmp(0x7FFFFFFF, 0x7FFFFFFF, 8, 0, {0}, Bytes(4, 0)), 10, 27},
        {"BMP zero width", bmp(0, 1, 24, 0, {}, Bytes(4, 0)), 1, 27},
        {"BMP of 2 bits a pixel", bmp(1, 1, 2, 0, {0, 0, 0, 0}, Bytes(4, 0)), 1, 27},
        {"BMP depth bit flipped", flippedDepth, 1, 27},
        {"BMP with JPEG compression", bmp(1, 1, 24, 4, {}, Bytes(4, 0)), 1, 27},
        {"BMP run-length top-down", bmp(1, -1, 8, 1, {0}, Bytes{1, 0, 0, 1}), 1, 27},
        {"BMP run-length without end mark", bmp(2, 1, 8, 1, {0}, Bytes{2, 0, 0, 0}), 2, 2},
        {"BMP headers cut short", bytesOf(std::string_view("BM\0\0\0\0\0\0\0\0\0\0\x28\0\0\0", 16)), 1, 2},
        {"BMP pixel rows cut short", bmp(2, 2, 24, 0, {}, Bytes(10, 0)), 4, 2},
        {"8-bit PCX without its palette marker", pcx8NoMarker, 2, 2},
        {"PCX of 2 bits a pixel", pcx(4, 1, 2, 1, 2, Bytes(2, 0)), 4, 27},
        {"PCX bits per pixel flipped", flippedPcx, 2, 27},
        {"PCX lines shorter than the width", pcx(20, 1, 8, 3, 4, Bytes(12, 0)), 20, 27},
        {"PCX window upside down", [] { Bytes b = pcx(4, 4, 8, 3, 4, {}); putLe(b, 8, 0, 2); putLe(b, 4, 5, 2); return b; }(), 16, 27},
        {"PCX data cut short", pcx(4, 4, 8, 3, 4, Bytes(20, 1)), 16, 2},
        {"PCX run cut short", pcx(4, 1, 8, 3, 4, Bytes{0xC5}), 4, 2},
        {"PCX larger than the array", pcx(4, 4, 8, 3, 4, Bytes(48, 1)), 15, 2},
        {"JPEG", bytesOf("\xFF\xD8\xFF\xE0\0\x10JFIF\0"), 1, 27},
        {"three bytes", bytesOf("BM\0"), 1, 27},
        {"empty", {}, 1, 27},
        {"text", bytesOf("hello, world"), 1, 27},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(load(c.file, c.capacity).error, c.error);
    }
}

TEST(ImageLoadingRefusals, PixelsStoredBeforeAFailureStayAndAFailedInflateTouchesNothing)
{
    ReporterGuard guard;
    WErrorReportMode(kReportConsole);
    // Three rows stored bottom first, cut in the middle of the second.
    Bytes file = bmp(2, 3, 24, 0, {}, bgrRows({{red, green}, {blue, white}, {grey, black}}));
    file.resize(file.size() - 12);
    const Loaded cut = load(file, 6);
    EXPECT_EQ(cut.error, 2);
    EXPECT_EQ(cut.pixels, (std::vector<INTEGER>{kUntouched, kUntouched, kUntouched, kUntouched, red, green}));

    Bytes badZlib = zlibOf({0, 1, 2, 3});
    badZlib[2] ^= 0xFF;
    ReporterGuard::records().clear();
    const Loaded notInflated = load(png(1, 1, 8, 2, {pngChunk("IDAT", badZlib)}), 1);
    EXPECT_EQ(notInflated.error, 1044);
    EXPECT_EQ(notInflated.pixels[0], kUntouched);
    // Reported once, by the routine that inflates.
    ASSERT_EQ(ReporterGuard::records().size(), 1U);
    EXPECT_NE(ReporterGuard::records()[0].find("WUnCompress"), std::string::npos);

    ReporterGuard::records().clear();
    load(bytesOf("GIF89a......"), 1);
    ASSERT_EQ(ReporterGuard::records().size(), 1U);
    EXPECT_NE(ReporterGuard::records()[0].find("IGrLoadImageData Error=  27"), std::string::npos);
}

TEST(PngRoutines, UnfilterUndoesEveryFilterTypeAgainstAnIndependentEncoder)
{
    // Three rows of 7 data bytes with 3 bytes per pixel, filtered by the textbook definitions.
    const int rowBytes = 8, rows = 3, bpp = 3;
    std::vector<std::uint8_t> plain(rowBytes * rows);
    for (std::size_t k = 0; k < plain.size(); ++k) plain[k] = static_cast<std::uint8_t>(k * 37 + 11);
    auto at = [&](int r, int j) { return (r < 0 || j < 0) ? 0 : int{plain[r * rowBytes + 1 + j]}; };
    for (int type = 0; type <= 5; ++type) {
        SCOPED_TRACE(type);
        std::vector<std::uint8_t> filtered(plain.size());
        for (int r = 0; r < rows; ++r) {
            filtered[r * rowBytes] = static_cast<std::uint8_t>(type);
            for (int j = 0; j < rowBytes - 1; ++j) {
                const int a = at(r, j - bpp), b = at(r - 1, j), c = at(r - 1, j - bpp);
                const int p = a + b - c;
                const int predictor[] = {0, a, b, (a + b) / 2,
                                         (std::abs(p - a) <= std::abs(p - b) && std::abs(p - a) <= std::abs(p - c)) ? a
                                         : std::abs(p - b) <= std::abs(p - c)                                   ? b
                                                                                                                : c,
                                         0};
                filtered[r * rowBytes + 1 + j] = static_cast<std::uint8_t>(at(r, j) - predictor[type]);
            }
        }
        YYPngUnfilter(filtered, rowBytes, rows, bpp);
        for (int r = 0; r < rows; ++r) filtered[r * rowBytes] = plain[r * rowBytes];
        // Type 5 is unknown: its rows stay as they are, which equals the plain data here.
        EXPECT_EQ(filtered, plain);
    }
    // More rows than the buffer holds: only the whole rows inside it are touched.
    std::string shortBuffer = {'\x01', '\x05', '\x05'};
    INTEGER rb = 3, n = 1000, one = 1;
    YYPngRowUnfilter(rb, n, one, shortBuffer);
    EXPECT_EQ(shortBuffer, std::string("\x01\x05\x0a"));
}

TEST(PngRoutines, CrcAndBigEndianReaders)
{
    const std::string check = "123456789";
    INTEGER count = 9, result = 0;
    EXPECT_EQ(static_cast<std::uint32_t>(YYPngCrc(count, result, check)), 0xCBF43926U);
    EXPECT_EQ(static_cast<std::uint32_t>(result), 0xCBF43926U);
    // A count past the text is cut to it; the IEND chunk's CRC is the one every PNG ends with.
    count = 100;
    EXPECT_EQ(static_cast<std::uint32_t>(YYPngCrc(count, result, "IEND")), 0xAE426082U);
    const std::uint8_t bytes[] = {0xFF, 0xFF, 0xFF, 0xFE, 'I', 'D', 'A', 'T'};
    EXPECT_EQ(YYPngGetU32(bytes), 0xFFFFFFFEU);
    EXPECT_EQ(YYPngChunkIs(bytes + 4, "IDAT"), 1);
    EXPECT_EQ(YYPngChunkIs(bytes + 4, "IDAt"), 0);
    EXPECT_EQ(YYPngChunkIs(bytes + 4, "ID"), 0);
}
