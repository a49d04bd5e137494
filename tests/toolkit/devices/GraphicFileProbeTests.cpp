// The graphics file probe, one hand-built file per kind with the values it must give, and its
// companions' counts.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/toolkit/devices/ImageFileBuilders.h"
#include "tests/toolkit/foundation/ReporterGuard.h"
#include "toolkit/devices/GraphicFileProbe.h"

using namespace image_files;

namespace {

constexpr INTEGER kUnset = 77;  // what the probe must leave alone

std::vector<INTEGER> probe(const Bytes& file, INTEGER n)
{
    std::vector<INTEGER> values(6, kUnset);
    MemoryByteSource source(file);
    YYGraphicFileProbe(source, values, n);
    return values;
}

Bytes header(std::size_t size, std::initializer_list<std::pair<std::size_t, std::uint32_t>> words32)
{
    Bytes b(size, 0);
    for (const auto& [at, value] : words32) putLe(b, at, value, 4);
    return b;
}

// Big-endian 16-bit CGM words.
Bytes cgm(std::initializer_list<std::uint16_t> words)
{
    Bytes b;
    for (const std::uint16_t w : words) {
        b.push_back(static_cast<std::uint8_t>(w >> 8));
        b.push_back(static_cast<std::uint8_t>(w));
    }
    return b;
}
constexpr std::uint16_t element(int cls, int id, int length) { return static_cast<std::uint16_t>(cls * 4096 + id * 32 + length); }
constexpr std::uint16_t kBeginMetafile = element(0, 1, 0), kBeginPicture = element(0, 5, 0), kEndMetafile = element(0, 2, 0);

Bytes pic(std::initializer_list<std::uint8_t> ops)
{
    Bytes b(17, 0);
    b[0] = 1;
    b[4] = 1;
    b[6] = 8;
    b[8] = 0x44;
    b[13] = 12;
    for (const std::uint8_t op : ops) b.push_back(op);
    return b;
}

Bytes placeable(std::uint16_t right, std::uint16_t bottom, std::uint16_t unitsPerInch)
{
    Bytes b = header(64, {{0, 0x9AC6CDD7}});
    putLe(b, 10, right, 2);
    putLe(b, 12, bottom, 2);
    putLe(b, 14, unitsPerInch, 2);
    return b;
}

const char* const kDxf =
    "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$EXTMIN\r\n 10\r\n0.0\r\n 20\r\n0.0\r\n  9\r\n$EXTMAX\r\n"
    " 10\r\n10.5\r\n 20\r\n7.25\r\n  0\r\nENDSEC\r\n";
const char* const kHpgl = "IN; SC -13 1\r\nIP 0 0 1015 2031\r\nPU;PA 0 0;\r\nSC -3\r\nPD;\r\nSC -3\r\n";

}  // namespace

TEST(GraphicFileProbe, EveryKindWithItsValues)
{
    ReporterGuard guard;
    const std::vector<INTEGER> none = {-1, -1, -1, -1, -1};
    Bytes bmpTopDown = bmp(5, -3, 24, 0, {}, Bytes(48, 0));
    Bytes bmpCore = header(40, {{14, 12}});
    bmpCore[0] = 'B';
    bmpCore[1] = 'M';
    Bytes pcx8 = pcx(7, 3, 8, 1, 8, {});
    Bytes emf = header(88, {{24, 0}, {28, 0}, {32, 2540}, {36, 1270}, {40, 0x464D4520}});
    Bytes draw = header(64, {{32, 6400}, {36, 12800}});
    std::memcpy(draw.data(), "Draw", 4);
    Bytes pcl = bytesOf("\x1b" "E\x1b*t300R\x1b*r3U\x1b*v6W");
    append(pcl, std::string_view("\x00\x03\x00\x08\x08\x08", 6));
    append(pcl, "\x1b*r1A s3u1A");
    Bytes pclEnd(128, ' ');
    std::memcpy(pclEnd.data(), "\x1b&a", 3);
    std::memcpy(pclEnd.data() + 126, "\x1b*", 2);  // its "t" and digits would lie past the header
    Bytes epson = bytesOf(std::string_view("\x1b@\x1br\x04\x1b(U\x01\x00\x0a", 12));
    Bytes epsonUnitZero = bytesOf(std::string_view("\x1b@\x1b(U\x01\x00\x00", 8));

    struct Case { const char* name; Bytes file; INTEGER n; std::vector<INTEGER> values; INTEGER error = 0; } cases[] = {
        {"3 bytes", bytesOf("BM\0"), 6, {-1, kUnset, kUnset, kUnset, kUnset, kUnset}},
        {"unknown", bytesOf("just some text"), 6, {0, -1, -1, -1, -1, -1}},
        {"BMP top-down", bmpTopDown, 6, {1, 5, -3, 16777216, 0, 24}},
        {"BMP run-length 8", bmp(4, 2, 8, 1, {0}, {}), 6, {1, 4, 2, 256, 1, 8}},
        {"BMP 32 bits with fields", bmp(4, 2, 32, 3, {}, {}), 6, {1, 4, 2, 16777216, 0, 32}},
        {"BMP core header", bmpCore, 6, {0, -1, -1, -1, -1, -1}},
        {"PCX 8 bits", pcx8, 6, {2, 7, 3, 256, 5, 8}},
        {"PCX 24 bits", pcx(9, 4, 8, 3, 10, {}), 6, {2, 9, 4, 16777216, 5, 24}},
        {"placeable metafile", placeable(1440, 720, 1440), 6, {3, 72, 36, 1, -1, -1}},
        {"placeable metafile, zero units per inch", placeable(1440, 720, 0), 6, {3, -1, -1, 1, -1, -1}},
        {"plain metafile", bytesOf(std::string_view("\x01\x00\x09\x00\x00\x03\x10\x00", 8)), 6, {3, -1, -1, 0, -1, -1}},
        {"disk metafile (type 2)", bytesOf(std::string_view("\x02\x00\x09\x00\x00\x03\x10\x00", 8)), 6, {0, -1, -1, -1, -1, -1}},
        {"enhanced metafile", emf, 6, {3, 72, 36, 2, -1, -1}},
        {"HP-GL, n = 6", bytesOf(kHpgl), 6, {4, 72, 144, 4, 1, 2}},
        {"HP-GL, n = 5", bytesOf(kHpgl), 5, {4, 72, 144, 4, 1, kUnset}},
        {"HP-GL, n = 1", bytesOf(kHpgl), 1, {4, kUnset, kUnset, kUnset, kUnset, kUnset}},
        {"HP-GL/2 in PCL", bytesOf("\x1b%0BIN;CO\"13 4\";\r\nIP 0 0 1015 2031\r\nCO\"3\"\r\nCO:\"3\"\r\nCO\"3\"\r\n"), 6,
         {5, 72, 144, 256, 4, 2}},
        {"CGM with VDC extent",
         cgm({kBeginMetafile, kBeginPicture, element(2, 6, 8), 0, 0, 400, 200, kBeginPicture, kEndMetafile}), 6,
         {6, 1000, 500, 2, -1, -1}},
        {"CGM with real VDC and a maximum extent",
         cgm({kBeginMetafile, element(1, 3, 2), 1, element(1, 17, 16), 0, 0, 0, 0, 0x4396, 0, 0x42C8, 0,
              element(2, 6, 16), 0, 0, 0, 0, 0x4000, 0, 0x3F80, 0, kEndMetafile}),
         6, {6, 1000, 333, 1, -1, -1}},
        {"CGM without VDC extent", cgm({kBeginMetafile, element(0, 5, 4), 0x0341, 0x4200, kEndMetafile}), 6,
         {6, 1000, 1000, 1, -1, -1}},
        {"CGM with a degenerate extent", cgm({kBeginMetafile, kBeginPicture, element(2, 6, 8), 0, 5, 400, 5, kEndMetafile}), 6,
         {6, 1000, 1000, 1, -1, -1}},
        {"CGM without END METAFILE", cgm({kBeginMetafile, kBeginPicture}), 6, {6, 1000, 1000, 1, -1, -1}, 2},
        {"PIC", pic({0x60, 0xA0, 1, 2, 3, 4, 0x61, 0xA8, 9, 'a', 'b', 0, 0x30, 1, 1, 2, 3, 4, 5, 6, 7, 8, 0x6F, 0x00}),
         6, {7, 3201, 2312, 3, -1, -1}},
        {"PIC, n = 3", pic({0x60, 0x61}), 3, {7, 3201, 2312, kUnset, kUnset, kUnset}},
        {"PIC cut in an operand", pic({0x60, 0xA0, 1}), 6, {7, 3201, 2312, 1, -1, -1}, 2},
        {"Draw", draw, 6, {8, 10, 20, -1, -1, -1}},
        {"terminal stream", bytesOf("\x1b[?38h\x1b\x0c"), 6, {9, -1, -1, -1, -1, -1}},
        {"PostScript with bounding box",
         bytesOf("%!PS-Adobe-3.0 EPSF-3.0\r\n%%BoundingBox: 0 0 540 756\r\n"), 6, {10, 540, 756, 1, -1, -1}},
        {"EPS with its bounding box on line 3",
         bytesOf("%!PS-Adobe-3.0 EPSF-3.0\n%%Creator: hand\n%%BoundingBox: 0 0 540 756\n"), 6, {10, -1, -1, 0, -1, -1}},
        {"PCL in colour at 300 dpi", pcl, 6, {11, -1, -1, 8, 300, -1}},
        {"PCL with the resolution past the header", pclEnd, 6, {11, -1, -1, 2, -1, -1}},
        {"Epson in colour at 360 dpi", epson, 6, {12, -1, -1, 8, 360, -1}},
        {"Epson with unit byte 0", epsonUnitZero, 6, {12, -1, -1, 0, -1, -1}},
        {"ESC U 1 stream", bytesOf(std::string_view("\x1bU\x01\x1br\x04", 6)), 6, {13, -1, -1, 8, -1, -1}},
        {"DXF", bytesOf(kDxf), 6, {14, 756, 522, -1, -1, -1}},
        {"DXF after 999 comments", bytesOf(std::string("999\r\nmade by hand\r\n999\r\nsecond\r\n") + kDxf), 1,
         {14, kUnset, kUnset, kUnset, kUnset, kUnset}},
        {"999 comments before something else", bytesOf("999\r\nnote\r\n  2\r\nHEADER\r\n"), 1,
         {0, kUnset, kUnset, kUnset, kUnset, kUnset}},
        {"PNG RGB", pngHeader(640, 480, 8, 2), 6, {15, 640, 480, 16777216, 0, 24}},
        {"PNG 4-bit palette, interlaced", pngHeader(3, 2, 4, 3, 1), 6, {15, 3, 2, 16, 1, 4}},
        {"PNG greyscale", pngHeader(3, 2, 16, 0), 6, {15, 3, 2, -1, 0, -1}},
        {"SVG",
         bytesOf("<?xml version=\"1.0\"?>\n<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\">\n<SVG WIDTH=\"640\" "
                 "height=\"480.5\">\n</svg>\n"),
         6, {16, 640, 480, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        libraryErrorState().LastErrorNumber = 0;
        EXPECT_EQ(probe(c.file, c.n), c.values);
        EXPECT_EQ(libraryErrorState().LastErrorNumber, c.error);
    }
}

TEST(GraphicFileProbe, AShortFileIsJudgedOnZerosNotOnAnEarlierFilesHeader)
{
    ReporterGuard guard;
    ASSERT_EQ(probe(pngHeader(9, 9, 8, 6), 6)[3], 16777216);
    // Signature and width only: depth, colour type and interlace lie past the end of the file.
    Bytes cut = pngHeader(9, 9, 8, 6);
    cut.resize(20);
    EXPECT_EQ(probe(cut, 6), (std::vector<INTEGER>{15, 9, 0, -1, 0, -1}));
    // A header blank throughout has no text start to match.
    EXPECT_EQ(probe(Bytes(200, ' '), 2), (std::vector<INTEGER>{0, -1, kUnset, kUnset, kUnset, kUnset}));
}

TEST(GraphicFileProbe, CompanionsCountPagesAndPicturesAtLeastOne)
{
    ReporterGuard guard;
    struct Case { const char* name; Bytes file; INTEGER pages; } hpgl[] = {
        {"SC -3 page ends", bytesOf(kHpgl), 2},
        {"CO \"3\" page ends, not after a colon", bytesOf("CO\"3 x\"\nCO:\"3\"\n  CO\"3\"\nCO\"4\"\n"), 2},
        {"no page ends", bytesOf("IN;PU;PD;\n"), 1},
        {"empty", {}, 1},
    };
    for (const Case& c : hpgl) {
        SCOPED_TRACE(c.name);
        MemoryByteSource source(c.file);
        INTEGER count = -5;
        YYCNTHPG(source, count);
        EXPECT_EQ(count, c.pages);
    }
    // A PIC file whose header is short leaves the count as it was.
    const Bytes shortHeader(10, 1);
    MemoryByteSource shortPic(shortHeader);
    INTEGER count = -5;
    YYCNTPIC(shortPic, count);
    EXPECT_EQ(count, -5);
    // A CGM with a long-form, partitioned element before its pictures.
    const Bytes partitioned = cgm({kBeginMetafile, element(4, 4, 31), 0x8002, 0, 0x0002, 0, kBeginPicture, kBeginPicture,
                                   kBeginPicture, kEndMetafile});
    MemoryByteSource cgmSource(partitioned);
    INTEGER pictures = 0;
    REAL ratio = 0;
    YYINFOCGM(cgmSource, pictures, ratio);
    EXPECT_EQ(pictures, 3);
    EXPECT_EQ(ratio, 1.0F);
}
