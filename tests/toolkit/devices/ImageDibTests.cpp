// Image files into drawable DIBs and screen DIBs into PCX and PNG files, byte by byte on small
// hand-built files: row order, colour tables, bit-field masks, the layouts that have to be
// widened, refusals, and the PCX run and PNG chunk coding.
#include <gtest/gtest.h>

#include "ImageFileBuilders.h"
#include "toolkit/devices/ImageDib.h"

using namespace image_files;

namespace {

std::uint32_t le32(const Bytes& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Byte x of the DIB row `fromTop` (rows are kept bottom first).
std::uint8_t dibByte(const ImageDib& dib, int fromTop, int x)
{
    const int bits = dib.Block[14] | (dib.Block[15] << 8);
    const int stride = YYDibStride(dib.Width, bits);
    return dib.Block[static_cast<std::size_t>(dib.BitsOffset + stride * (dib.Height - 1 - fromTop) + x)];
}

INTEGER fromBytes(const Bytes& file, ImageDib& dib, int kind)
{
    MemoryByteSource source(file);
    INTEGER code = 0;
    if (kind == 1) return YYDibFromBmp(source, dib);
    if (kind == 2) return YYDibFromPcx(source, dib);
    return YYDibFromPng(source, dib, code);
}

// A screen DIB as GetDIBits gives it: header, table entries, rows bottom first.
Bytes screenDib(int width, int height, int bits, const std::vector<std::uint32_t>& table, const Bytes& rowsTopFirst,
                std::uint32_t compression = 0)
{
    Bytes b(40, 0);
    putLe(b, 0, 40, 4);
    putLe(b, 4, static_cast<std::uint32_t>(width), 4);
    putLe(b, 8, static_cast<std::uint32_t>(height), 4);
    putLe(b, 12, 1, 2);
    putLe(b, 14, static_cast<std::uint32_t>(bits), 2);
    putLe(b, 16, compression, 4);
    putLe(b, 32, static_cast<std::uint32_t>(table.size()), 4);
    for (std::uint32_t rgb : table) {
        b.insert(b.end(), {static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(rgb >> 8),
                           static_cast<std::uint8_t>(rgb >> 16), 0});
    }
    const std::size_t stride = static_cast<std::size_t>(YYDibStride(width, bits));
    for (int r = height - 1; r >= 0; --r)
        b.insert(b.end(), rowsTopFirst.begin() + static_cast<std::ptrdiff_t>(stride * r),
                 rowsTopFirst.begin() + static_cast<std::ptrdiff_t>(stride * (r + 1)));
    return b;
}

}  // namespace

TEST(PcxRuns, LongRunsSplitAtSixtyThreeAndHighSinglesAreEscaped)
{
    struct Case {
        Bytes line;
        Bytes coded;
    };
    const Case cases[] = {
        {Bytes(100, 7), {0xFF, 7, 0xE5, 7}},      // 63 + 37
        {{0xC5}, {0xC1, 0xC5}},                   // a single byte with both top bits
        {{0xBF, 0x40}, {0xBF, 0x40}},             // singles below 0xC0 as themselves
        {{9, 9, 0xC0}, {0xC2, 9, 0xC1, 0xC0}},
    };
    for (const Case& c : cases) {
        MemoryByteSink sink;
        INTEGER code = 0;
        for (std::size_t i = 0; i < c.line.size();) {
            std::size_t n = 1;
            while (i + n < c.line.size() && n < 63 && c.line[i + n] == c.line[i]) ++n;
            ASSERT_EQ(YYPcxRunWrite(c.line[i], static_cast<INTEGER>(n), sink, code), 0);
            i += n;
        }
        EXPECT_EQ(sink.bytes(), c.coded);
        // And back.
        MemoryByteSource source(sink.bytes());
        ByteReader reader(source);
        Bytes decoded;
        INTEGER byte = 0, count = 0;
        while (YYPcxRunRead(byte, count, reader) == 0) decoded.insert(decoded.end(), static_cast<std::size_t>(count), static_cast<std::uint8_t>(byte));
        EXPECT_EQ(decoded, c.line);
    }
    MemoryByteSink full(1);
    INTEGER code = 0;
    EXPECT_EQ(YYPcxRunWrite(0xC5, 1, full, code), 2);
}

TEST(DibHelpers, ColourTableSizesAndBigEndianValues)
{
    struct Case {
        std::uint32_t size, bits, used;
        INTEGER bytes;
    };
    for (const Case& c : {Case{40, 1, 0, 8}, Case{40, 4, 0, 64}, Case{40, 8, 0, 1024}, Case{40, 8, 20, 80},
                          Case{40, 24, 0, 0}, Case{40, 32, 3, 12}, Case{12, 8, 0, 768}, Case{12, 4, 0, 48}}) {
        Bytes h(40, 0);
        putLe(h, 0, c.size, 4);
        putLe(h, c.size == 12 ? 10 : 14, c.bits, 2);
        if (c.size == 40) putLe(h, 32, c.used, 4);
        EXPECT_EQ(YYDibColourTableSize(h.data()), c.bytes) << c.size << " " << c.bits << " " << c.used;
    }
    std::uint8_t out[4]{};
    YYPutBigEndian32(0x12345678u, out);
    EXPECT_EQ(Bytes(out, out + 4), (Bytes{0x12, 0x34, 0x56, 0x78}));
}

TEST(DibFromFiles, BmpRowsTablesMasksAndRefusals)
{
    // 2 x 2, 24 bits, bottom row first in the file: the block keeps the rows as they are.
    const Bytes rows{1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    ImageDib dib;
    ASSERT_EQ(fromBytes(bmp(2, 2, 24, 0, {}, rows), dib, 1), 0);
    EXPECT_EQ(dib.BitsOffset, 40);
    EXPECT_EQ(Bytes(dib.Block.begin() + 40, dib.Block.end()), rows);

    // Top-down: the height stays negative for the platform, the size is its magnitude.
    ASSERT_EQ(fromBytes(bmp(2, -2, 24, 0, {}, rows), dib, 1), 0);
    EXPECT_EQ(dib.Height, 2);
    EXPECT_EQ(static_cast<std::int32_t>(le32(dib.Block, 8)), -2);

    // 16-bit fields: the three masks right behind the header, the rows behind them.
    Bytes fields = bmp(1, 1, 16, 3, {}, {});
    const Bytes masks{0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    fields.insert(fields.end(), masks.begin(), masks.end());
    fields.insert(fields.end(), {0x1F, 0xF8, 0, 0});
    putLe(fields, 10, 54 + 12, 4);
    ASSERT_EQ(fromBytes(fields, dib, 1), 0);
    EXPECT_EQ(dib.BitsOffset, 52);
    EXPECT_EQ(Bytes(dib.Block.begin() + 40, dib.Block.begin() + 52), masks);
    EXPECT_EQ(dib.Block[52], 0x1F);

    // A palette of the colours-used count; colours-used 0 means the full table.
    ASSERT_EQ(fromBytes(bmp(1, 1, 8, 0, std::vector<std::uint32_t>(256, 0x102030), {5, 0, 0, 0}), dib, 1), 0);
    EXPECT_EQ(dib.BitsOffset, 40 + 1024);
    EXPECT_EQ(le32(dib.Block, 32), 256u);

    Bytes core = bmp(1, 1, 24, 0, {}, {1, 2, 3, 0});
    putLe(core, 14, 12, 4);
    EXPECT_EQ(fromBytes(core, dib, 1), 27);
    EXPECT_EQ(fromBytes(bytesOf("BM"), dib, 1), 2);
    EXPECT_EQ(fromBytes(bmp(2, 2, 24, 0, {}, Bytes(10, 0)), dib, 1), 2);     // rows cut short
    EXPECT_EQ(fromBytes(bmp(2, 2, 24, 4, {}, rows), dib, 1), 27);            // a JPEG inside
    Bytes notBmp = bmp(1, 1, 24, 0, {}, {1, 2, 3, 0});
    notBmp[0] = 'X';
    EXPECT_EQ(fromBytes(notBmp, dib, 1), 27);
}

TEST(DibFromFiles, PcxLayouts)
{
    ImageDib dib;
    // 8 bits, width 3 in lines of 4 bytes: the DIB is 4 wide, 3 of it shown; the palette from the end.
    Bytes eight = pcx(3, 2, 8, 1, 4, {0xC4, 1, 0xC4, 2});
    eight.push_back(12);
    for (int i = 0; i < 256; ++i) eight.insert(eight.end(), {static_cast<std::uint8_t>(i), 0, static_cast<std::uint8_t>(255 - i)});
    ASSERT_EQ(fromBytes(eight, dib, 2), 0);
    EXPECT_EQ(dib.Width, 4);
    EXPECT_EQ(dib.DrawWidth, 3);
    EXPECT_EQ(dibByte(dib, 0, 3), 1);
    EXPECT_EQ(dibByte(dib, 1, 0), 2);
    EXPECT_EQ(dib.Block[40 + 4 * 2], 253);  // entry 2: blue 253, green 0, red 2
    EXPECT_EQ(dib.Block[40 + 4 * 2 + 2], 2);

    // 24 bits: the red, green and blue planes land in blue-green-red order.
    ASSERT_EQ(fromBytes(pcx(2, 1, 8, 3, 2, {10, 11, 20, 21, 30, 31}), dib, 2), 0);
    EXPECT_EQ((Bytes{dibByte(dib, 0, 0), dibByte(dib, 0, 1), dibByte(dib, 0, 2), dibByte(dib, 0, 3)}),
              (Bytes{30, 20, 10, 31}));

    // 1 bit: black and white whatever the header's palette says.
    Bytes mono = pcx(8, 1, 1, 1, 2, {0xA5, 0});
    mono[16] = mono[17] = mono[18] = 200;
    ASSERT_EQ(fromBytes(mono, dib, 2), 0);
    EXPECT_EQ((Bytes(dib.Block.begin() + 40, dib.Block.begin() + 48)), (Bytes{0, 0, 0, 0, 255, 255, 255, 0}));
    EXPECT_EQ(dibByte(dib, 0, 0), 0xA5);

    // Four planes, 20 pixels: 4-byte lines would give 16 DIB bytes, but a 20-pixel 4-bit row has 12
    // (a stride taken from the lines shears every row after the first).
    Bytes planes;
    planes.insert(planes.end(), {0xC1, 0xFF, 0, 0, 0});  // plane lines are run-coded: 0xFF, 0, 0, 0
    for (int p = 1; p < 4; ++p) planes.insert(planes.end(), {0, 0, 0, 0});
    for (int p = 0; p < 4; ++p) planes.insert(planes.end(), {0, 0, 0xC1, 0xF0, 0});
    ASSERT_EQ(fromBytes(pcx(20, 2, 1, 4, 4, planes), dib, 2), 0);
    EXPECT_EQ(YYDibStride(dib.Width, 4), 12);
    EXPECT_EQ((Bytes{dibByte(dib, 0, 0), dibByte(dib, 0, 3), dibByte(dib, 0, 4), dibByte(dib, 0, 8)}),
              (Bytes{0x11, 0x11, 0, 0}));
    EXPECT_EQ((Bytes{dibByte(dib, 1, 0), dibByte(dib, 1, 8), dibByte(dib, 1, 9), dibByte(dib, 1, 10)}),
              (Bytes{0, 0xFF, 0xFF, 0}));

    EXPECT_EQ(fromBytes(pcx(2, 1, 2, 1, 2, {0, 0}), dib, 2), 27);  // 2 bits per pixel
    EXPECT_EQ(fromBytes(pcx(20, 1, 8, 1, 4, {}), dib, 2), 27);      // lines shorter than the width
    EXPECT_EQ(fromBytes(pcx(2, 2, 8, 3, 2, {0xC2, 1}), dib, 2), 2); // data end early
}

TEST(DibFromFiles, PngLayouts)
{
    ImageDib dib;
    // 2 bits: 5 pixels 0 1 2 3 1 widened into 4-bit pairs, four table entries.
    const Bytes plte{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_EQ(fromBytes(png(5, 1, 2, 3, {pngChunk("PLTE", plte), pngChunk("IDAT", zlibOf({0, 0x1B, 0x40}))}), dib, 15), 0);
    EXPECT_EQ(dib.BitsOffset, 40 + 16);
    EXPECT_EQ((Bytes{dibByte(dib, 0, 0), dibByte(dib, 0, 1), dibByte(dib, 0, 2)}), (Bytes{0x01, 0x23, 0x10}));
    EXPECT_EQ(dib.Block[40 + 4 * 3 + 2], 10);  // entry 3: red 10

    // RGBA with 16-bit samples: the high bytes of red, green and blue.
    const Bytes rgba16{0, 0x11, 0x99, 0x22, 0x88, 0x33, 0x77, 0x44, 0x66};
    ASSERT_EQ(fromBytes(png(1, 1, 16, 6, {pngChunk("IDAT", zlibOf(rgba16))}), dib, 15), 0);
    EXPECT_EQ((Bytes{dibByte(dib, 0, 0), dibByte(dib, 0, 1), dibByte(dib, 0, 2)}), (Bytes{0x33, 0x22, 0x11}));

    // Rows top first in the file, bottom first in the DIB; the filter is undone (Sub).
    ASSERT_EQ(fromBytes(png(2, 2, 8, 3, {pngChunk("PLTE", Bytes(21, 0)), pngChunk("IDAT", zlibOf({0, 1, 2, 1, 5, 1}))}), dib, 15), 0);
    EXPECT_EQ((Bytes{dibByte(dib, 0, 0), dibByte(dib, 0, 1), dibByte(dib, 1, 0), dibByte(dib, 1, 1)}), (Bytes{1, 2, 5, 6}));

    INTEGER code = 0;
    const Bytes broken = png(1, 1, 8, 2, {pngChunk("IDAT", {1, 2, 3, 4, 5})});
    MemoryByteSource source(broken);
    EXPECT_EQ(YYDibFromPng(source, dib, code), 1044);
    EXPECT_NE(code, 0);
    EXPECT_EQ(fromBytes(png(1, 1, 8, 0, {}), dib, 15), 27);                 // grey
    EXPECT_EQ(fromBytes(pngHeader(1, 1, 8, 2, 1), dib, 15), 27);            // interlaced
    EXPECT_EQ(fromBytes(pngHeader(1, 1, 8, 2), dib, 15), 2);                // no IEND
    EXPECT_EQ(fromBytes(png(1, 1, 8, 2, {pngChunk("IDAT", Bytes(100, 0))}), dib, 15), 2);  // beyond the buffer
}

TEST(DibToFiles, PcxPlanesAndPaletteAndPngChunks)
{
    // 8-bit screen, 3 x 1 area in a 4-wide DIB: one plane of 4 bytes, then 12 and 768 palette bytes.
    const Bytes eight = screenDib(4, 1, 8, {0x0000FF, 0x00FF00}, {1, 1, 0, 9});
    MemoryByteSink pcxFile;
    INTEGER code = 0;
    ASSERT_EQ(YYPcxWriteDib(eight, 3, pcxFile, code), 0);
    const Bytes& p = pcxFile.bytes();
    ASSERT_EQ(p.size(), 128u + 4 + 769);
    EXPECT_EQ(p[65], 1);
    EXPECT_EQ(p[66] | (p[67] << 8), 4);
    EXPECT_EQ(p[8] | (p[9] << 8), 2);
    EXPECT_EQ((Bytes(p.begin() + 128, p.begin() + 133)), (Bytes{0xC2, 1, 0, 9, 12}));
    EXPECT_EQ((Bytes(p.begin() + 133, p.begin() + 139)), (Bytes{0, 0, 255, 0, 255, 0}));

    // 16-bit 5-6-5 fields and 32 bits: three planes red, green, blue.
    Bytes sixteen = screenDib(2, 1, 16, {}, {0x1F, 0xF8, 0xE0, 0x07}, 3);
    sixteen.insert(sixteen.begin() + 40, {0, 0xF8, 0, 0, 0xE0, 7, 0, 0, 0x1F, 0, 0, 0});
    MemoryByteSink fieldsFile;
    ASSERT_EQ(YYPcxWriteDib(sixteen, 2, fieldsFile, code), 0);
    EXPECT_EQ(fieldsFile.bytes()[65], 3);
    EXPECT_EQ((Bytes(fieldsFile.bytes().begin() + 128, fieldsFile.bytes().end())),
              (Bytes{0xC1, 0xF8, 0, 0, 0xC1, 0xFC, 0xC1, 0xF8, 0}));

    // PNG from 32 bits: signature, IHDR, one IDAT, IEND; decodes back to the same colours.
    const Bytes rgb32 = screenDib(2, 2, 32, {}, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0});
    MemoryByteSink pngFile;
    ASSERT_EQ(YYPngWriteDib(rgb32, 2, pngFile, code), 0);
    const Bytes& g = pngFile.bytes();
    EXPECT_EQ(g[25], 2);
    EXPECT_TRUE(YYPngChunkIs(&g[37], "IDAT") != 0);
    ImageDib back;
    ASSERT_EQ(fromBytes(g, back, 15), 0);
    EXPECT_EQ((Bytes{dibByte(back, 0, 0), dibByte(back, 0, 1), dibByte(back, 0, 2), dibByte(back, 1, 5)}),
              (Bytes{1, 2, 3, 12}));

    MemoryByteSink full(20);
    EXPECT_EQ(YYPngWriteDib(rgb32, 2, full, code), 2);
    EXPECT_EQ(YYPngWriteDib(screenDib(8, 1, 1, {0, 0xFFFFFF}, {0, 0, 0, 0}), 8, full, code), 1072);
}
