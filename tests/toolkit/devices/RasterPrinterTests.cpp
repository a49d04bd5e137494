// The raster printer files: the command strings of each printer family byte for byte, the row
// compressors as tables, and whole pages decoded back from PCL, ESC/P 2 and dot-matrix streams
// equal to the rendered page; the resolution fallback, refused pages and failing writes.
#include <gtest/gtest.h>

#include "tests/toolkit/devices/RasterPrinterStreams.h"
#include "tests/toolkit/foundation/ReporterGuard.h"

using namespace raster_test;

namespace {

const std::string kEsc = "\x1b";

bool reported(const std::string& routine, INTEGER error)
{
    char code[16];
    std::snprintf(code, sizeof code, "Error=%4d", error);
    for (const std::string& r : ReporterGuard::records())
        if (r.find(routine + " " + code) != std::string::npos) return true;
    return false;
}

std::string chars(std::initializer_list<int> codes)
{
    std::string s;
    for (const int c : codes) s += static_cast<char>(c);
    return s;
}

bool startsWith(const Bytes& b, const std::string& s) { return text(b, 0, s.size()) == s; }
bool endsWith(const Bytes& b, const std::string& s) { return b.size() >= s.size() && text(b, b.size() - s.size()) == s; }

// A sink that keeps every write apart.
class WriteRecorder final : public ByteSink {
public:
    INTEGER write(std::span<const std::uint8_t> bytes, INTEGER&) override
    {
        writes.emplace_back(bytes.begin(), bytes.end());
        return static_cast<INTEGER>(bytes.size());
    }
    std::vector<Bytes> writes;
};

WriteRecorder*& recorder()
{
    static WriteRecorder* sink = nullptr;
    return sink;
}

// The page rebuilt from a PCL stream compared with the kept page, every plane.
void expectPclPage(const PclStream& s, const PrinterJob& job, INTEGER dots, INTEGER lines, INTEGER planes)
{
    ASSERT_EQ(static_cast<INTEGER>(s.rows.size()), lines);
    INTEGER wrong = 0;
    for (INTEGER line = 0; line < lines; ++line) {
        ASSERT_EQ(static_cast<INTEGER>(s.rows[static_cast<std::size_t>(line)].size()), planes) << line;
        for (INTEGER plane = 0; plane < planes; ++plane) {
            const Bytes& row = s.rows[static_cast<std::size_t>(line)][static_cast<std::size_t>(plane)];
            for (INTEGER d = 0; d < dots; ++d) {
                const std::size_t byte = static_cast<std::size_t>(d / 8);
                const bool got = byte < row.size() && ((row[byte] >> (7 - d % 8)) & 1) != 0;
                const bool want = ((job.printed(d, line) >> plane) & 1) != 0;
                wrong += got != want ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

void expectRebuilt(const Rebuilt& page, const PrinterJob& job, INTEGER dots, INTEGER lines)
{
    INTEGER wrong = 0;
    for (INTEGER line = 0; line < lines; ++line)
        for (INTEGER d = 0; d < dots; ++d) {
            const auto it = page.find({d, line});
            wrong += (it == page.end() ? 0 : it->second) != job.printed(d, line) ? 1 : 0;
        }
    for (const auto& [dot, value] : page) wrong += (dot.first >= dots || dot.second >= lines) ? 1 : 0;
    EXPECT_EQ(wrong, 0);
}

}  // namespace

TEST(RasterPrinter, IdentificationAndDefaults)
{
    resetState();
    YYPrinterModel(28);
    DriverParameterBlock& b = driverParameterBlock();
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    o.Options[1] = 77;
    b.Count = -999;
    XXRAST(OpInit);
    EXPECT_EQ(b.Count, 4);
    EXPECT_EQ(o.Options[1], 77);
    EXPECT_EQ(hardcopyJobState().DriverDevice, 0);
    EXPECT_EQ(hardcopyJobState().PrintByCommand, 0);

    b.Count = 0;
    XXRAST(OpInit);
    EXPECT_EQ(std::vector<INTEGER>(o.Options.begin() + 1, o.Options.begin() + 6), (std::vector<INTEGER>{576, 432, 100, 70, 1}));
    EXPECT_EQ(o.Options[13], 2);
    EXPECT_EQ(o.Options[19], 3);
    EXPECT_EQ(o.Options[24], 2);
    EXPECT_EQ(hardcopyDriverState().RasterResolutionIndex, 2);
    EXPECT_EQ(hardcopyJobState().PrintByCommand, 1);
    EXPECT_EQ(hardcopyJobState().DriverDevice, 4);
    EXPECT_EQ(hardcopyJobState().OutputFile.trimmed(), "raridevu.prn");
    EXPECT_EQ(hardcopyFillState().HardcopyColours, 2);
    EXPECT_EQ(deviceCapabilityTable().CapabilityString[1].view(), "00000111111111110010011011000");

    // A dot-matrix model starts unrotated at the page's corner.
    YYPrinterModel(25);
    XXRAST(OpInit);
    EXPECT_EQ(std::vector<INTEGER>(o.Options.begin() + 3, o.Options.begin() + 6), (std::vector<INTEGER>{0, 0, 0}));
    EXPECT_EQ(o.Options[24], 0);
    EXPECT_EQ(hardcopyFillState().HardcopyColours, 8);
}

TEST(RasterPrinter, LaserJetDefaultsByteForByte)
{
    TempFolder folder;
    struct Case {
        INTEGER setup;
        std::string start, end;
    };
    const std::string body = kEsc + "&a0700h1000V" + kEsc + "*t150R" + kEsc + "*r0904s1A" + kEsc + "*b2M";
    const std::string tail = kEsc + "&l01X" + kEsc + "*rB";
    for (const Case& c : {Case{3, kEsc + "E" + body, tail + kEsc + "E"}, Case{1, body, tail + kEsc + "E"},
                          Case{2, kEsc + "E" + body, tail}}) {
        PrinterJob job(28, folder / "laser.prn", [&](HardcopyOptionBlock& o) { o.Options[19] = c.setup; });
        ASSERT_TRUE(job.active());
        EXPECT_EQ(rasterPageBlock().PageWidth, 1200);
        EXPECT_EQ(rasterPageBlock().PageHeight, 900);
        EXPECT_EQ(rasterPrinterPage().DotsPerLine, 900);
        EXPECT_EQ(rasterPrinterPage().PrintLines, 1200);
        job.line(0, 0, 999, 999);
        const Bytes file = job.finish();
        const RasterPrinterCommands& commands = rasterPrinterCommands();
        EXPECT_EQ(commands.JobStart, c.start) << c.setup;
        if (c.setup == 3) {
            EXPECT_EQ(commands.JobStart.size(), 37u);
        }
        EXPECT_EQ(commands.JobEnd, c.end) << c.setup;
        EXPECT_TRUE(startsWith(file, c.start)) << c.setup;
        EXPECT_TRUE(endsWith(file, c.end)) << c.setup;
        EXPECT_EQ(decodePcl(file).rows.size(), 1200u);
    }

    // Uncompressed, the headers carry three digits: 113 bytes per row, 000 for a blank row.
    PrinterJob job(28, folder / "plain.prn", [](HardcopyOptionBlock& o) { o.Options[24] = 0; });
    YYRasterPixel(1, 1199, 899);  // the first dot of the first print line
    hardcopyJobState().PageOpen = -1;
    const Bytes file = job.finish();
    const std::size_t first = rasterPrinterCommands().JobStart.size();
    EXPECT_EQ(text(file, first, 8), kEsc + "*b001W" + "\x80");
    EXPECT_EQ(text(file, first + 8, 7), kEsc + "*b000W");
}

TEST(RasterPrinter, DotMatrixJobStartsAndHeaders)
{
    TempFolder folder;
    {
        // 60 dots per inch: one pass of 8 rows, line spacing 23/216 inch, ESC "K" headers.
        PrinterJob job(7, folder / "nine.prn", [](HardcopyOptionBlock& o) { o.Options[13] = 3; });
        EXPECT_EQ(rasterPageBlock().PageWidth, 480);
        EXPECT_EQ(rasterPageBlock().PageHeight, 450);  // 432 x (8 x 216 / 23) / 72
        EXPECT_NEAR(rasterPageBlock().FeedResolution, 75.13, 0.01);
        YYRasterPixel(1, 9, rasterPageBlock().LastRow);
        hardcopyJobState().PageOpen = -1;
        const Bytes file = job.finish();
        EXPECT_EQ(rasterPrinterCommands().Passes, 1);
        const std::string expected = kEsc + "U\x01" + kEsc + "3\x17" + kEsc + "K\x0a" + std::string(10, '\0') + "\x80\r\n";
        EXPECT_EQ(text(file, 0, expected.size()), expected);
        EXPECT_TRUE(endsWith(file, kEsc + "K" + std::string(2, '\0') + "\r\n" + kEsc + "2\f"));
    }
    {
        // 120 dots per inch: two passes interleave, bands of 16 rows; the pass feeds set the spacing.
        PrinterJob job(7, folder / "nine2.prn", [](HardcopyOptionBlock& o) { o.Options[19] = 2; });
        EXPECT_NEAR(rasterPageBlock().FeedResolution, 150.26, 0.01);
        EXPECT_EQ(rasterPageBlock().PageHeight, 901);
        YYRasterPixel(1, 0, rasterPageBlock().LastRow - 1);  // print line 1: the second pass
        hardcopyJobState().PageOpen = -1;
        const Bytes file = job.finish();
        EXPECT_EQ(rasterPrinterCommands().Passes, 2);
        EXPECT_EQ(rasterPrinterCommands().PassFeeds[0], kEsc + "3\x01");
        EXPECT_EQ(rasterPrinterCommands().PassFeeds[1], kEsc + "3\x16");
        const std::string expected = kEsc + "U\x01" + kEsc + "3\x01" + kEsc + "L" + std::string(2, '\0') + "\r\n" +
                                     kEsc + "3\x16" + kEsc + "L\x01" + std::string(1, '\0') + "\x80\r\n";
        EXPECT_EQ(text(file, 0, expected.size()), expected);
        EXPECT_TRUE(endsWith(file, "\r\n" + kEsc + "2"));  // no form feed with option 19 = 2
    }
}

TEST(RasterPrinter, RowCompressionTables)
{
    resetState();
    YYPrinterModel(28);
    RasterPrinterCommands& c = rasterPrinterCommands();
    struct Case {
        INTEGER method;
        Bytes row;
        Bytes packed;
        INTEGER header;
        std::string headerText;
    };
    const Bytes equal300(300, 0x5A);
    Bytes varied(1000);
    for (std::size_t k = 0; k < varied.size(); ++k) varied[k] = static_cast<std::uint8_t>(k % 251);
    Bytes variedPacked;
    for (std::size_t k = 0; k < 1000; k += 127) {
        const std::size_t n = std::min<std::size_t>(127, 1000 - k);
        variedPacked.push_back(static_cast<std::uint8_t>(n - 1));
        variedPacked.insert(variedPacked.end(), varied.begin() + static_cast<std::ptrdiff_t>(k),
                            varied.begin() + static_cast<std::ptrdiff_t>(k + n));
    }
    const std::vector<Case> cases{
        {1, {0, 0, 0, 5}, {2, 0, 0, 5}, 0, "*b4W"},
        {1, equal300, {255, 0x5A, 43, 0x5A}, 0, "*b4W"},
        {1, {7}, {0, 7}, 2, "*b2V"},
        {2, {0, 0, 0, 5}, {254, 0, 0, 5}, 0, "*b4W"},
        {2, {1, 2, 2, 3}, {3, 1, 2, 2, 3}, 1, "*b5V"},    // a pair stays in the literal
        {2, {1, 2, 2, 2, 3}, {0, 1, 254, 2, 0, 3}, 0, "*b6W"},  // three make a run
        {2, Bytes(200, 9), {129, 9, 185, 9}, 0, "*b4W"},  // runs of at most 128
        {2, varied, variedPacked, 0, "*b1008W"},            // more than three digits
        {1, varied, {}, 0, "*b2000W"},
    };
    for (const Case& t : cases) {
        c.Compression = t.method;
        Bytes row = t.row;
        INTEGER n = static_cast<INTEGER>(row.size());
        YYRowCompress(row, n, t.header);
        const std::string& header = t.header == 0 ? c.LineHeader : c.PlaneHeaders[static_cast<std::size_t>(t.header - 1)];
        EXPECT_EQ(header, kEsc + t.headerText) << t.method << " " << t.row.size();
        if (!t.packed.empty()) {
            EXPECT_EQ(Bytes(row.begin(), row.begin() + n), t.packed) << t.method << " " << t.row.size();
        }
    }
}

TEST(RasterPrinter, PackBitsAndColumnCounts)
{
    resetState();
    YYPrinterModel(36);
    YYRasterPrinterSetup(100, 1);
    struct Case {
        Bytes row;
        Bytes packed;  // empty: the row does not shrink
    };
    const std::vector<Case> cases{
        {Bytes(129, 4), {130, 4, 255, 4}},
        {Bytes(257, 4), {129, 4, 130, 4, 255, 4}},
        {{1, 2, 3, 3, 3, 3}, {1, 1, 2, 253, 3}},
        {{1, 2, 3, 4}, {}},
        {{1, 1, 2}, {}},
    };
    for (const Case& t : cases) {
        Bytes row = t.row, work;
        INTEGER n = static_cast<INTEGER>(row.size());
        YYPackBits(row, n, work);
        const Bytes expected = t.packed.empty() ? t.row : t.packed;
        EXPECT_EQ(Bytes(row.begin(), row.begin() + n), expected) << t.row.size();
        EXPECT_EQ(rasterPrinterCommands().LineHeader[6], t.packed.empty() ? 0 : 1) << t.row.size();
    }

    // IBM 24-pin: whole columns of three bytes, and the mode byte counted.
    YYPrinterModel(19);
    hardcopyDriverState().RasterResolutionIndex = 2;
    YYRasterPrinterSetup(20, 48);
    EXPECT_EQ(rasterPrinterCommands().LineHeader, kEsc + "[g" + "\x3d" + std::string(1, '\0') + "\x0b");
    INTEGER n = 7;
    YYGraphicsColumns(n);
    EXPECT_EQ(n, 9);
    EXPECT_EQ(rasterPrinterCommands().LineHeader.substr(3, 2), std::string("\x0a") + '\0');
    // Epson 24-pin counts columns; 9-pin counts bytes.
    YYPrinterModel(17);
    YYRasterPrinterSetup(20, 24);
    n = 7;
    YYGraphicsColumns(n);
    EXPECT_EQ(n, 9);
    EXPECT_EQ(rasterPrinterCommands().LineHeader.substr(3, 2), std::string("\x03") + '\0');
    YYPrinterModel(5);
    YYRasterPrinterSetup(20, 8);
    n = 7;
    YYGraphicsColumns(n);
    EXPECT_EQ(rasterPrinterCommands().LineHeader.substr(2, 2), std::string("\x07") + '\0');
}

TEST(RasterPrinter, LongTwentyFourPinLineGoesInPieces)
{
    resetState();
    YYPrinterModel(17);  // Epson LQ: 24 pins
    hardcopyDriverState().RasterResolutionIndex = 2;
    hardcopyOptionBlock().Options[19] = 3;
    YYRasterPrinterSetup(14000, 24);
    WriteRecorder sink;
    recorder() = &sink;
    outputUnitHooks().sink = [](INTEGER) -> ByteSink* { return recorder(); };
    YYDUMP(2, [](INTEGER d, INTEGER line) -> INTEGER { return (d % 7 == 0 && line % 3 == 0) ? kTrue : kFalse; });
    YYOutputUnitFallbacks();
    ASSERT_GE(sink.writes.size(), 5u);
    // Job start, the full header (14000 columns), then 40000 bytes and the last 2000 with CR LF.
    EXPECT_EQ(text(sink.writes[1]), kEsc + "*\x27" + "\xb0\x36");
    EXPECT_EQ(sink.writes[2].size(), 40000u);
    EXPECT_EQ(sink.writes[3].size(), 2000u);
    EXPECT_EQ(text(sink.writes[4]), "\r\n");
    // Column 7 holds rows 0, 3 and 6 in its first byte (bits 7, 4, 1).
    EXPECT_EQ(sink.writes[2][21], 0x92);
    EXPECT_EQ(text(sink.writes.back()), kEsc + "2\f");
}

TEST(RasterPrinter, PclPagesDecodeToTheRenderedPage)
{
    TempFolder folder;
    struct Case {
        INTEGER model;
        INTEGER rotated;
        INTEGER compression;
        INTEGER width;  // points; 0 the default
        INTEGER planes;
        INTEGER resolutionIndex;
    };
    // LaserJet III (family 7), DeskJet (8), PaintJet (9, red-green-blue planes), PaintJet XL 300
    // (10), DeskJet 550C (ink planes), LaserJet 4 (600 dpi); a row of 1200 bytes uncompressed and
    // up to twice that with run pairs.
    const std::vector<Case> cases{
        {28, 1, 2, 0, 1, 2}, {28, 0, 1, 0, 1, 2}, {14, 0, 0, 0, 1, 2}, {13, 1, 1, 0, 3, 2}, {30, 0, 0, 100, 3, 2},
        {31, 1, 2, 0, 3, 2}, {31, 0, 0, 0, 3, 2}, {29, 0, 0, 1152, 1, 1}, {29, 0, 1, 1152, 1, 1}, {29, 0, 2, 1152, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " rotated " << c.rotated << " method " << c.compression);
        PrinterJob job(c.model, folder / "pcl.prn", [&](HardcopyOptionBlock& o) {
            o.Options[5] = c.rotated;
            o.Options[24] = c.compression;
            o.Options[2] = c.width > 1000 ? 8 : 40;
            o.Options[13] = c.resolutionIndex;
            if (c.width > 0) o.Options[1] = c.width;
        });
        ASSERT_TRUE(job.active());
        EXPECT_EQ(rasterPageBlock().Planes, c.planes);
        job.paint(static_cast<unsigned>(c.model * 7 + c.compression));
        const INTEGER dots = rasterPrinterPage().DotsPerLine, lines = rasterPrinterPage().PrintLines;
        const Bytes file = job.finish();
        const PclStream s = decodePcl(file);
        expectPclPage(s, job, dots, lines, c.planes);
        if (c.planes == 3) {
            EXPECT_NE(std::find(s.commands.begin(), s.commands.end(),
                                printerModelState().PrinterColourKind == 1 ? "*rU3" : "*rU-3"),
                      s.commands.end());
        }
        if (c.width == 1152) {
            EXPECT_GT(dots / 8, 999);
        }
    }
}

TEST(RasterPrinter, EscP2ColourPassesDecodeToTheRenderedPage)
{
    TempFolder folder;
    for (const INTEGER rotated : {0, 1}) {
        PrinterJob job(37, folder / "stylus.prn", [&](HardcopyOptionBlock& o) {
            o.Options[5] = rotated;
            o.Options[13] = 3;
            o.Options[1] = 100;
            o.Options[2] = 60;
        });
        ASSERT_TRUE(job.active());
        ASSERT_EQ(rasterPageBlock().Planes, 3);
        job.paint(11U + static_cast<unsigned>(rotated));
        const INTEGER dots = rasterPrinterPage().DotsPerLine, lines = rasterPrinterPage().PrintLines;
        const Bytes file = job.finish();
        int blackInColour = -1;
        const Rebuilt page = decodeEscp2(file, job, true, blackInColour);
        expectRebuilt(page, job, dots, lines);
        EXPECT_EQ(blackInColour, 0);
        // 180 dots per inch (unit 20/3600 inch); offsets 100 and 70 points, exchanged when rotated.
        const char down = rotated != 0 ? '\xfa' : '\xaf', across = rotated != 0 ? '\xaf' : '\xfa';
        const RasterPrinterCommands& commands = rasterPrinterCommands();
        const std::string start = kEsc + "@" + kEsc + "(G" + chars({1, 0, 1}) + kEsc + "(U" + chars({1, 0, 20}) + kEsc +
                                  "(V" + chars({2, 0, down, 0});
        EXPECT_EQ(commands.JobStart, start);
        const std::string header = kEsc + "\\" + chars({across, 0}) + kEsc + "." + chars({commands.LineHeader[6], 20, 20, 1});
        EXPECT_EQ(commands.LineHeader.substr(0, 10), header);
        EXPECT_EQ(commands.LineFeed, kEsc + "(v" + chars({2, 0, 1, 0}));
        EXPECT_EQ(commands.JobEnd, kEsc + "@\f");
        // The passes in order: yellow, magenta, cyan, black.
        const std::string f = text(file);
        const std::size_t y = f.find(kEsc + "r\x04"), m = f.find(kEsc + "r\x01"), c = f.find(kEsc + "r\x02"),
                          k = f.find(kEsc + "r" + std::string(1, '\0'));
        EXPECT_TRUE(y < m && m < c && c < k) << y << " " << m << " " << c << " " << k;
    }
}

TEST(RasterPrinter, DotMatrixBandsDecodeToTheRenderedPage)
{
    TempFolder folder;
    struct Case {
        INTEGER model, resolutionIndex, pins, passes;
        bool colour;
        INTEGER offset;  // option 3, points
    };
    const std::vector<Case> cases{
        {7, 3, 8, 1, false, 0},   {7, 2, 8, 2, false, 12}, {23, 2, 8, 2, true, 0}, {9, 2, 8, 1, false, 0},
        {17, 2, 24, 1, false, 6}, {25, 3, 24, 1, true, 0}, {19, 2, 24, 2, false, 3}, {19, 4, 24, 1, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " index " << c.resolutionIndex);
        PrinterJob job(c.model, folder / "dots.prn", [&](HardcopyOptionBlock& o) {
            o.Options[13] = c.resolutionIndex;
            o.Options[1] = 60;
            o.Options[2] = 50;
            o.Options[3] = c.offset;
            o.Options[4] = 5;
        });
        ASSERT_TRUE(job.active());
        job.paint(static_cast<unsigned>(c.model + c.resolutionIndex));
        const INTEGER dots = rasterPrinterPage().DotsPerLine, lines = rasterPrinterPage().PrintLines;
        const Bytes file = job.finish();
        EXPECT_EQ(rasterPrinterCommands().Passes, c.passes);
        BandLayout layout;
        layout.pins = c.pins;
        layout.passes = c.passes;
        layout.advance = printerModelState().PrinterLineAdvance;
        layout.colour = c.colour;
        layout.marginColumns = rasterPrinterCommands().LeftMarginBytes / (c.pins == 24 ? 3 : 1);
        EXPECT_EQ(layout.marginColumns, static_cast<INTEGER>(c.offset * printerModelState().PrinterResolutions[static_cast<std::size_t>(c.resolutionIndex - 1)] / 72));
        int blackInColour = -1;
        const Rebuilt page = decodeBands(file, layout, blackInColour, job);
        expectRebuilt(page, job, dots, lines);
        EXPECT_EQ(blackInColour, 0);
    }
}

TEST(RasterPrinter, ResolutionFallsBackUntilThePageFits)
{
    ReporterGuard guard;
    libraryErrorState().ReportMode = kReportConsole;
    TempFolder folder;
    static std::int64_t limit = 0;
    const auto limited = [](std::vector<std::uint32_t>& words, std::int64_t count) {
        if (count > limit) return false;
        words.assign(static_cast<std::size_t>(count), 0U);
        return true;
    };
    // LaserJet III: 300 dpi asked for; a page of 150 dpi words fits, 300 does not.
    limit = 38 * 900 + 10;
    {
        PrinterJob job(28, folder / "fall.prn", [&](HardcopyOptionBlock& o) {
            o.Options[13] = 1;
            rasterRendererHooks().allocate = limited;
        });
        EXPECT_EQ(graphicsState().HardcopyActive, 1);
        EXPECT_EQ(hardcopyDriverState().RasterResolutionIndex, 2);
        EXPECT_EQ(rasterPageBlock().PageWidth, 1200);
        EXPECT_FLOAT_EQ(rasterPageBlock().LineResolution, 150.0f);
        EXPECT_FALSE(reported("XXRAST", 34));
        job.line(0, 0, 500, 500);
        const Bytes file = job.finish();
        EXPECT_NE(text(file).find(kEsc + "*t150R"), std::string::npos);

        // No resolution fits: error 34, no job.
        limit = 10;
        rasterRendererHooks().allocate = limited;
        hardcopyDriverState().RasterResolutionIndex = 1;
        graphicsState().HardcopyActive = 1;
        driverParameterBlock().Value = 1;
        XXRAST(OpBeginOutput);
        EXPECT_TRUE(reported("XXRAST", 34));
        EXPECT_EQ(graphicsState().HardcopyActive, 0);
        EXPECT_EQ(hardcopyDriverState().RasterResolutionIndex, 4);
        YYRasterRendererFallbacks();
    }

    // A page side shorter than one dot, and a model without graphics, are refused before any file.
    ReporterGuard::records().clear();
    {
        PrinterJob job(28, folder / "thin.prn", [](HardcopyOptionBlock& o) { o.Options[2] = 0; });
        EXPECT_FALSE(job.active());
        EXPECT_TRUE(reported("XXRAST", 22));
        EXPECT_FALSE(std::filesystem::exists(folder / "thin.prn"));
    }
    {
        PrinterJob job(28, folder / "none.prn", [](HardcopyOptionBlock& o) { o.Options[13] = 0; });
        EXPECT_FALSE(job.active());
        EXPECT_TRUE(reported("XXRAST", 5));
    }
    printerModelState().PrinterResolutionCount = 0;
    YYDUMP(2, &YYRasterBitNormal);
    EXPECT_TRUE(reported("YYDUMP", 5));
}

TEST(RasterPrinter, FailedWriteStopsTheDumpWithoutTheJobEnd)
{
    ReporterGuard guard;
    libraryErrorState().ReportMode = kReportConsole;
    static MemoryByteSink* full = nullptr;
    for (const INTEGER model : {28, 36, 7}) {
        SCOPED_TRACE(model);
        resetState();
        YYPrinterModel(model);
        driverParameterBlock().Count = 0;
        XXRAST(OpInit);
        hardcopyDriverState().RasterPlanes = 1;
        YYRasterPrinterSetup(400, 200);
        MemoryByteSink sink(rasterPrinterCommands().JobStart.size() + 30);
        full = &sink;
        outputUnitHooks().sink = [](INTEGER) -> ByteSink* { return full; };
        ReporterGuard::records().clear();
        YYDUMP(2, [](INTEGER d, INTEGER) -> INTEGER { return d % 3 == 0 ? kTrue : kFalse; });
        YYOutputUnitFallbacks();
        EXPECT_TRUE(reported("YYPRBU", 2));
        EXPECT_EQ(outputUnitHooks().status(), -1);
        // One failed write and no further attempt.
        EXPECT_EQ(std::count_if(ReporterGuard::records().begin(), ReporterGuard::records().end(),
                                [](const std::string& r) { return r.find("YYPRBU Error") != std::string::npos; }),
                  1);
        outputUnitHooks().status() = 0;
    }
}
