// The HP-GL and HP-GL/2 drivers and their command encoder line by line: the start of a plot file,
// the encoder's squeeze rules and record formats, pens, continued lines, page ends, fills drawn by
// the plotter or left to the graphics layer, labels, the compact polyline encoding, pen colours,
// raster fill patterns, line ends and joins, the PCL wrapper and titles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "TextDriverSession.h"
#include "tests/toolkit/foundation/ReporterGuard.h"
#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/GraphicFileProbe.h"
#include "toolkit/devices/Halftones.h"
#include "toolkit/devices/HpglEncoder.h"
#include "toolkit/graphics/ColourPalette.h"

namespace {

using Lines = std::vector<std::string>;

std::size_t countOf(const Lines& lines, std::string_view line)
{
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

// The index of the first line equal to text, or the line count when there is none.
std::size_t indexOf(const Lines& lines, std::string_view line)
{
    return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

// Selects the plotter type (and HP-GL/2 type) before the session's graphics reset initialises the driver.
struct ModelChoice {
    ModelChoice(INTEGER plotter, INTEGER hpgl2)
    {
        printerModelState().PlotterType = plotter;
        printerModelState().Hpgl2Type = hpgl2;
    }
};

class HpglFixture : public ::testing::Test {
protected:
    explicit HpglFixture(INTEGER plotter = 1) : model(plotter, 1), job(1, "driver.plt") {}
    void SetUp() override { IGrColourN(223); }
    // A job with the lines of the start cut off: those after "SC0 32760 0 32760" and the
    // attribute ops the start sends.
    static void emptyFill(INTEGER op, INTEGER style)
    {
        graphicsState().FillStyle = style;
        TextDriverSession::fill(op, {10, 10, 100, 100, 10, 100, 100, 10});
    }
    ReporterGuard reporter;
    ModelChoice model;
    TextDriverSession job;
};

class HpPlotterFixture : public HpglFixture {
protected:
    HpPlotterFixture() : HpglFixture(6) {}
};

}  // namespace

TEST_F(HpglFixture, Type1DefaultsStartThePlotFileExactly)
{
    DriverParameterBlock& b = driverParameterBlock();
    b.Count = -999;
    YYHardcopyDispatch(OpInit);
    EXPECT_EQ(b.Count, 1);
    EXPECT_EQ(hardcopyJobState().OutputFile.trimmed(), "raridevu.plt");
    EXPECT_EQ(hardcopyJobState().PrintByCommand, 1);
    EXPECT_EQ(hardcopyOptionBlock().value(1), 742);
    EXPECT_EQ(hardcopyOptionBlock().value(2), 530);
    EXPECT_EQ(hardcopyOptionBlock().value(3), 28);

    job.start();
    job.finish();
    const Lines lines = job.lines();
    const Lines expected = {
        "IN; IP 395 0 10865 7478", "RO0; IP 395 0 10865 7478", "DT\x04", "DI1. 0.", "SC-2 9 0 32760",
        "SC-13 1 0 32760", "SC0 32760 0 32760",
    };
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 7), expected);
}

TEST_F(HpglFixture, QuarterTurnAndRescaleOnly)
{
    job.option(5, 0);
    job.start();
    driverParameterBlock().Value = 0;
    const std::size_t before = job.lines().size();
    YYDriverHardcopy(OpBeginOutput);
    const Lines lines = job.lines();
    EXPECT_EQ(lines[1], "RO90; IP 395 0 10865 7478");
    // A rescale writes the full scaling again and nothing else.
    ASSERT_EQ(lines.size(), before + 1);
    EXPECT_EQ(lines.back(), "SC0 32760 0 32760");
}

TEST_F(HpglFixture, EncoderSqueezesAndFormatsRecords)
{
    stringWorkBuffer().assign(job.path().string());
    YYProuOpen(2);
    HardcopyDriverState& d = hardcopyDriverState();
    d.XScale = d.YScale = 1.0f;
    d.RecordMode = 2;
    job.option(18, 1);
    struct Case {
        void (*write)();
        const char* line;
    };
    const Case cases[] = {
        {[] { YYHpglCommand("PU", 395.9f, 0.0f); }, "PU395 0"},
        {[] { YYHpglCommand("PA", -12.0f, 7.0f); }, "PA-12 7"},
        {[] { YYHpglCommand("PA", 1234567.0f, 0.0f); }, "PA****** 0"},
        {[] { hpglEncoderState().HpglCommandBuffer.assign(50, ' '); YYHpglPut(1, "PD"); YYHpglFlush(); }, "PD"},
        {[] { YYHpglLiteral("SC0 32760 0 32760"); }, "SC0 32760 0 32760"},
        {[] { YYHpglLiteral("PM2;FP"); }, "PM2;FP"},
        {[] { YYHpglLiteral("IN; IP"); }, "IN; IP"},
        {[] { YYHpglLiteral("LT    "); }, "LT"},
        {[] { YYHpglLiteral("RO  0; IP      1   2"); }, "RO0; IP 1 2"},
        {[] { YYHpglRecord(1, 1, 16711935, 0, 0); }, "SC-1 16711935 0 32760 ;SC0 32760 0 32760"},
        {[] { YYHpglRecord(13, 0, 1, 0, 0); }, "SC-13 1 0 32760"},
        {[] { YYHpglRecord(8, 1, -1, 0, 0); }, "SC-8 -1 0 32760 ;SC0 32760 0 32760"},
        {[] { YYHpglRecord(9, 0, 1234567, 0, 0); }, "SC-9****** 0 32760"},  // an overflowing field touches the code
        {[] { YYHpglVertexRecord(10.0f, -20.5f); }, "SC-9 10 -20 0"},
        {[] { YYHpglRealVertexRecord(1.5f, -0.25f); }, "SC-9 1.5000 -0.2500 0"},
        {[] { YYHpglLabel("A B  C", '\x04'); }, "LBA B  C\x04"},
        // Control characters and the terminator are left out of the text.
        {[] { YYHpglLabel("a\x1b%-12345X\tb\x04" "c\x7f\x03", '\x04'); }, "LBa%-12345Xbc\x04"},
        {[] { YYHpglLabel("x!y\x04", '!'); }, "LBxy!"},
    };
    for (const Case& c : cases) c.write();
    // Record mode 1: every line, labels too, after exactly one blank; option 18 at 0 drops the records.
    d.RecordMode = 1;
    YYHpglCommand("PU", 1.0f, 2.0f);
    YYHpglLabel("x", '\x04');
    job.option(18, 0);
    YYHpglRecord(3, 1, 32, 0, 0);
    YYHpglVertexRecord(1.0f, 1.0f);
    YYHpglRealVertexRecord(1.0f, 1.0f);
    YYHpglLiteral("SC0 32760 0 32760");
    YYProuClose(2);
    const Lines lines = job.lines();
    ASSERT_EQ(lines.size(), std::size(cases) + 3);
    for (std::size_t k = 0; k < std::size(cases); ++k) EXPECT_EQ(lines[k], cases[k].line) << k;
    EXPECT_EQ(lines[std::size(cases)], " PU1 2");
    EXPECT_EQ(lines[std::size(cases) + 1], " LBx\x04");
    EXPECT_EQ(lines[std::size(cases) + 2], " SC0 32760 0 32760");
}

TEST_F(HpglFixture, PensFollowTheColourIndexAndPenCount)
{
    job.start();
    struct Case {
        INTEGER pens, index;
        char pen;
    };
    const Case cases[] = {{4, 0, '1'}, {4, 16, '3'}, {4, 48, '1'}, {4, 79, '1'}, {6, 48, '5'},
                          {8, 79, '5'}, {8, 80, '2'}, {6, 223, '2'}};
    for (const Case& c : cases) {
        hardcopyDriverState().PenCount = c.pens;
        graphicsState().ColourIndex[1] = c.index;
        const std::size_t before = job.lines().size();
        YYDriverHardcopy(OpColour);
        const Lines lines = job.lines();
        const std::string select = std::string("PU;SP") + c.pen;
        EXPECT_TRUE(hpglDriverState().CurrentPen == c.pen) << c.pens << " pens, index " << c.index;
        if (lines.size() > before + 1) {
            EXPECT_EQ(lines[before], select) << c.index;
        }
        // The colour record follows with the palette colour.
        EXPECT_EQ(lines.back().substr(0, 5), "SC-1 ");
    }
    // The pen already current is not selected again.
    const std::size_t before = job.lines().size();
    YYDriverHardcopy(OpColour);
    EXPECT_EQ(job.lines().size(), before + 1);
}

TEST_F(HpglFixture, ContinuedLinesLabelsAndPageEnds)
{
    job.start();
    graphicsState().ColourIndex[1] = 16;
    YYDriverHardcopy(OpColour);
    const std::size_t start = job.lines().size();
    job.send(OpLine, {0, 0, 100, 0});
    job.send(OpLine, {100, 0, 100, 100});  // continues: one "PD"
    job.text("", 200, 200, 200, 200);
    job.send(OpLine, {100, 100, 0, 0});    // after a label the pen goes up first
    driverParameterBlock().Value = 1;
    YYDriverHardcopy(OpEndPage);
    job.send(OpLine, {0, 0, 10, 10});
    job.finish();
    const Lines all = job.lines();
    const Lines lines(all.begin() + static_cast<std::ptrdiff_t>(start), all.end());
    const HardcopyDriverState& d = hardcopyDriverState();
    const auto at = [&](const char* letters, REAL x, REAL y) {
        return std::string(letters) + std::to_string(static_cast<INTEGER>(d.XScale * x)) + " " +
               std::to_string(static_cast<INTEGER>(d.YScale * y));
    };
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(lines[0], at("PU", 0, 0));
    EXPECT_EQ(lines[1], at("PD", 100, 0));
    EXPECT_EQ(lines[2], at("PD", 100, 100));
    EXPECT_EQ(lines[3].substr(0, 2), "SR");
    // The label: its start, then "LB" with nothing but the terminator.
    EXPECT_EQ(lines[5].substr(0, 2), "PU");
    EXPECT_EQ(lines[6], "LB\x04");
    EXPECT_EQ(lines[7], at("PU", 100, 100));
    EXPECT_EQ(lines[8], at("PD", 0, 0));
    EXPECT_EQ(lines[9], "SC-3 1 0 32760 ;SC0 32760 0 32760");
    EXPECT_EQ(lines[10], "PU;SP0 ;");
    // The next page's first drawing selects the current pen again before it draws.
    EXPECT_EQ(lines[11], "SP3");
    EXPECT_EQ(lines[12], at("PD", 10, 10));
}

TEST_F(HpglFixture, ArcFormLeavesThePenUnknown)
{
    job.start();
    GraphicsState& g = graphicsState();
    g.FillStyle = 0;
    g.HatchDensity = 3;
    job.send(OpLine, {0, 0, 320, 240});
    job.send(OpArc, {320, 240, 50, 0, 0, 0, 0, 90});
    const std::size_t afterArc = job.lines().size();
    job.send(OpLine, {370, 240, 400, 240});
    const Lines lines = job.lines();
    EXPECT_NE(indexOf(lines, "PD"), lines.size());
    EXPECT_EQ(lines[afterArc - 1], "SC0 32760 0 32760");
    EXPECT_EQ(lines[afterArc].substr(0, 2), "PU");
    EXPECT_EQ(lines[afterArc - 2].substr(0, 2), "AA");
    // With hatch density 2 the same arc is a wedge outline ("EW") and the pen is at the centre.
    g.HatchDensity = 2;
    job.send(OpArc, {320, 240, 50, 0, 0, 0, 0, 90});
    EXPECT_EQ(job.lines()[job.lines().size() - 2].substr(0, 2), "EW");
    EXPECT_EQ(hardcopyDriverState().LastPenX, 320.0f);
}

TEST_F(HpglFixture, FillsAreLeftToTheGraphicsLayerWithoutOption25)
{
    job.start();
    GraphicsState& g = graphicsState();
    g.FillStyle = 4;
    g.HatchDensity = 1;
    g.HatchDirection = 1;
    g.FillOutline = 1;
    job.fill(OpRectangleFill, {10, 10, 100, 100});
    const Lines lines = job.lines();
    EXPECT_EQ(g.LayerFillRequest[1], 2);
    EXPECT_EQ(countOf(lines, "SC-6 4 1 32771"), 1u);  // style, density, outline * 10 + direction
    EXPECT_EQ(countOf(lines, "SC-6 -1 0 32760 ;SC0 32760 0 32760"), 1u);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("RA", 0) == 0; }), 0);
}

TEST_F(HpPlotterFixture, NativeFillsOnlyWithOption25And127Vertices)
{
    job.option(25, 1);
    job.start();
    graphicsState().FillStyle = 4;
    graphicsState().LayerFillRequest[1] = 0;
    const auto polygon = [](std::size_t n) {
        std::vector<REAL> xs(n), ys(n);
        for (std::size_t k = 0; k < n; ++k) {
            xs[k] = 320.0f + 100.0f * static_cast<REAL>(k % 2);
            ys[k] = static_cast<REAL>(k);
        }
        TextDriverSession::polygon(OpPolygonFill, xs, ys);
    };
    polygon(127);
    Lines lines = job.lines();
    EXPECT_EQ(countOf(lines, "FT2;PT 0.28"), 1u);
    EXPECT_EQ(countOf(lines, "PM0"), 1u);
    EXPECT_EQ(countOf(lines, "PM2;FP"), 1u);
    EXPECT_EQ(graphicsState().LayerFillRequest[1], 0);
    polygon(128);
    lines = job.lines();
    EXPECT_EQ(countOf(lines, "PM0"), 1u);
    EXPECT_EQ(countOf(lines, "SC-12 128 0 32760"), 1u);
    EXPECT_EQ(countOf(lines, "SC-11 -1 0 32760 ;SC0 32760 0 32760"), 1u);
    EXPECT_EQ(graphicsState().LayerFillRequest[1], 2);
    // A native rectangle; a two-colour half-tone is never native.
    graphicsState().LayerFillRequest[1] = 0;
    job.fill(OpRectangleFill, {10, 10, 100, 100});
    lines = job.lines();
    EXPECT_EQ(lines[lines.size() - 1].substr(0, 2), "RA");
    // The pen thickness is written once while it stays the same.
    EXPECT_EQ(countOf(lines, "FT2;PT 0.28"), 1u);
    GraphicsState& g = graphicsState();
    g.FillStyle = 3;
    g.ColourIndex[0] = 16;
    g.ColourIndex[1] = 48;
    job.fill(OpRectangleFill, {10, 10, 100, 100});
    EXPECT_EQ(job.lines().back(), "SC-6 -1 0 32760 ;SC0 32760 0 32760");
}

TEST_F(HpglFixture, LineTypesAndWidths)
{
    job.start();
    const std::size_t start = job.lines().size();
    for (INTEGER type : {0, 1, 4, 7}) {
        graphicsState().LineType = type;
        YYDriverHardcopy(OpLineType);
    }
    job.option(9, 10);
    YYDriverHardcopy(OpLineWidth);
    job.option(18, 0);
    YYDriverHardcopy(OpLineWidth);
    const Lines all = job.lines();
    // Ten tenths of a point are 0.353 mm.
    EXPECT_EQ(Lines(all.begin() + static_cast<std::ptrdiff_t>(start), all.end()),
              (Lines{"LT", "LT1 .3", "LT6 2", "LT6 4", "PW0.353"}));
}

TEST_F(HpglFixture, OpenFailureLeavesTheJobInactive)
{
    GraphicsState& g = graphicsState();
    stringWorkBuffer().assign("/nonexistent-folder/plot.plt");
    g.HardcopyActive = 1;
    driverParameterBlock().Value = 1;
    YYDriverHardcopy(OpBeginOutput);
    EXPECT_EQ(g.HardcopyActive, 0);
    EXPECT_FALSE(std::filesystem::exists("/nonexistent-folder/plot.plt"));
}

namespace {

class Hpgl2Fixture : public ::testing::Test {
protected:
    explicit Hpgl2Fixture(INTEGER type = 2) : model(1, type), job(12, "driver2.plt") {}
    ReporterGuard reporter;
    ModelChoice model;
    TextDriverSession job;
};

class LaserJet3Fixture : public Hpgl2Fixture {
protected:
    LaserJet3Fixture() : Hpgl2Fixture(1) {}
};

class DesignJetFixture : public Hpgl2Fixture {
protected:
    DesignJetFixture() : Hpgl2Fixture(4) {}
};

void polylineAtUnitScale(const std::vector<REAL>& xs, const std::vector<REAL>& ys)
{
    HardcopyDriverState& d = hardcopyDriverState();
    d.XScale = d.YScale = 1.0f;
    DriverParameterBlock& b = driverParameterBlock();
    b.PolygonX = xs;
    b.PolygonY = ys;
    b.Count = static_cast<INTEGER>(xs.size());
    YYHpgl2Encode();
}

}  // namespace

TEST_F(Hpgl2Fixture, PolylineEncodingExamples)
{
    stringWorkBuffer().assign(job.path().string());
    YYProuOpen(2);
    hardcopyDriverState().RecordMode = 2;
    polylineAtUnitScale({0, 1, 0}, {0, 0, 0});
    polylineAtUnitScale({0, 32}, {0, 0});
    polylineAtUnitScale({5}, {5});
    polylineAtUnitScale({0, 0}, {0, -40000});
    YYProuClose(2);
    const Lines lines = job.lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], std::string("PE7") + char(97) + char(95) + char(98) + char(95) + ";");
    EXPECT_EQ(lines[1], std::string("PE7") + char(63) + char(97) + char(95) + ";");
    EXPECT_EQ(lines[2], "PE7;");
    // 80001: four digits, the last from the terminating range.
    EXPECT_EQ(lines[3], std::string("PE7_") + char(63 + 80001 % 32) + char(63 + 80001 / 32 % 32) +
                            char(63 + 80001 / 1024 % 32) + char(95 + 80001 / 32768) + ";");
}

TEST_F(Hpgl2Fixture, LongPolylinesSplitIntoLinesOfAtMost255)
{
    job.start();
    std::vector<REAL> xs, ys;
    for (int k = 0; k < 400; ++k) {
        xs.push_back(static_cast<REAL>(k % 2 == 0 ? 10 : 630));
        ys.push_back(static_cast<REAL>(k % 2 == 0 ? 10 : 470));
    }
    job.polygon(OpPolyline, xs, ys);
    std::size_t peLines = 0;
    for (const std::string& line : job.lines()) {
        if (line.rfind("PE7", 0) != 0) continue;
        ++peLines;
        EXPECT_LE(line.size(), 255u);
        EXPECT_EQ(line.back(), ';');
    }
    EXPECT_GT(peLines, 1u);
}

TEST_F(Hpgl2Fixture, ColourDeviceStartPensAndPageEnd)
{
    job.option(8, 2);
    job.option(10, 1);
    job.option(11, 2);
    job.start("A title that is considerably longer than forty-six characters");
    const Lines start = job.lines();
    EXPECT_EQ(start[0], "\x1b%0B");
    EXPECT_EQ(start[1], "CO\": A title that is considerably longer than forty\";");
    EXPECT_EQ(countOf(start, "NP256"), 1u);
    EXPECT_EQ(countOf(start, "AD1,14;SA"), 1u);
    EXPECT_EQ(countOf(start, "CO\"13 2 1.2 9\";"), 1u);
    EXPECT_EQ(countOf(start, "CO\"2 0\";"), 1u);
    EXPECT_EQ(countOf(start, "LA2 4"), 1u);
    EXPECT_EQ(countOf(start, "LA1 2"), 1u);
    // First use of colour index 5: its pen colour, then the pen.
    graphicsState().ColourIndex[1] = 5;
    const std::size_t before = job.lines().size();
    YYDriverHardcopy(OpColour);
    YYDriverHardcopy(OpColour);
    INTEGER rgb = 0, r = 0, g = 0, b = 0;
    YYPaletteRGB(5, rgb);
    YYSplitRGB(rgb, &r, &g, &b);
    const Lines lines = job.lines();
    ASSERT_GE(lines.size(), before + 3);
    EXPECT_EQ(lines[before], "PC5 " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b));
    EXPECT_EQ(lines[before + 1], "PU;SP 5");
    EXPECT_EQ(countOf(lines, "PU;SP 5"), 1u);
    // The page end: the comment, then 15 bytes back to PCL with the copies and on into HP-GL/2.
    job.send(OpLine, {0, 0, 10, 10});
    job.finish();
    const Lines all = job.lines();
    const std::size_t end = indexOf(all, "CO\"3 32\";");
    ASSERT_LT(end + 2, all.size());
    EXPECT_EQ(all[end + 1], "\x1b%1A\x1b&l02X\f\x1b%0B");
    EXPECT_EQ(all[end + 1].size(), 15u);
    EXPECT_EQ(all.back(), "\x1b%0A");
}

TEST_F(Hpgl2Fixture, BlendedPenForTwoColourFills)
{
    job.start();
    GraphicsState& g = graphicsState();
    g.ColourModel = kPaletteMode;
    g.ColourIndex[1] = 16;
    YYDriverHardcopy(OpColour);
    g.ColourIndex[0] = 16;
    g.ColourIndex[1] = 48;
    YYDriverHardcopy(OpColour);
    g.FillStyle = 3;
    g.HatchDensity = g.HatchDirection = g.FillOutline = 1;
    const std::size_t before = job.lines().size();
    job.fill(OpRectangleFill, {10, 10, 100, 100});
    INTEGER a = 0, b = 0;
    YYPaletteRGB(16, a);
    YYPaletteRGB(48, b);
    const auto mean = [&](int shift) { return std::to_string((((a >> shift) & 255) + ((b >> shift) & 255)) / 2); };
    const Lines all = job.lines();
    const Lines lines(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    const Lines expected = {"PC207 " + mean(0) + " " + mean(8) + " " + mean(16), "PU;SP207", "CO\" 6 3 1 1 1\";"};
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 3), expected);
    EXPECT_EQ(lines[4].substr(0, 2), "RA");
    EXPECT_EQ(lines[5], "CO\" 6 -1\";");
    EXPECT_EQ(lines[6], "PU;SP 48");
}

TEST_F(LaserJet3Fixture, MonochromePensPatternsAndRoman8Labels)
{
    job.start();
    EXPECT_EQ(countOf(job.lines(), "NP256"), 0u);
    EXPECT_EQ(countOf(job.lines(), "AD1,14;SA"), 0u);
    GraphicsState& g = graphicsState();
    const std::size_t before = job.lines().size();
    for (INTEGER index : {0, 5, 223, 0}) {
        g.ColourIndex[1] = index;
        YYDriverHardcopy(OpColour);
    }
    Lines lines = job.lines();
    Lines pens;
    for (std::size_t k = before; k < lines.size(); ++k)
        if (lines[k].rfind("PU;SP", 0) == 0) pens.push_back(lines[k]);
    EXPECT_EQ(pens, (Lines{"PU;SP0", "PU;SP1", "PU;SP0"}));
    // A solid fill: the pattern of the colour's halftone cell, set where the cell is clear.
    g.ColourIndex[1] = 16;
    g.FillStyle = 4;
    std::uint32_t c0 = 0, c1 = 0, c2 = 0;
    YYHalftonePattern(1, c0, c1, c2);
    job.fill(OpTriangleFill, {10, 10, 100, 10, 50, 80});
    job.fill(OpTriangleFill, {10, 10, 100, 10, 50, 80});
    lines = job.lines();
    const std::size_t rf = indexOf(lines, "RF1,8,4,");
    ASSERT_LT(rf + 3, lines.size());
    std::uint32_t decoded = 0;
    for (int row = 0; row < 2; ++row)
        for (int j = 0; j < 16; ++j)
            if (lines[rf + 1 + static_cast<std::size_t>(row)][static_cast<std::size_t>(2 * j)] == '1')
                decoded |= 1u << (16 * row + j);
    EXPECT_EQ(decoded, ~c0);
    EXPECT_EQ(lines[rf + 2].back(), ';');
    EXPECT_EQ(lines[rf + 3], "FT11 1");
    EXPECT_EQ(countOf(lines, "RF1,8,4,"), 1u);  // same colour: the pattern stands
    // Latin-1 letters become the printer's own codes.
    job.text("\xe9\xfc", 100, 100, 120, 100);
    lines = job.lines();
    EXPECT_EQ(lines.back(), "LB\xc5\xcf\x04");
}

TEST_F(DesignJetFixture, NoEscapesAndPageEndsWithPG)
{
    job.start("plot");
    job.send(OpLine, {0, 0, 100, 100});
    job.finish();
    const std::string all = job.contents();
    EXPECT_EQ(all.find('\x1b'), std::string::npos);
    const Lines lines = job.lines();
    EXPECT_EQ(lines[0], "CO\": plot\";");
    // The page is whole points: 1122 by 769, so P2 falls a few units short of the extents.
    EXPECT_EQ(lines[1], "IN; IP 0 0 15832 10851");
    EXPECT_EQ(lines[2], "RO0; IP 0 0 15832 10851");
    EXPECT_EQ(countOf(lines, "PG"), 1u);
    EXPECT_EQ(countOf(lines, "CO\"13 4 1.2 9\";"), 1u);
}

TEST_F(Hpgl2Fixture, GraphicFileProbeReadsTypeAndPagesPastTheTitle)
{
    // A title of numbers must not pass for the type or a page end.
    job.start("3 13 5");
    job.send(OpLine, {0, 0, 10, 10});
    driverParameterBlock().Value = 1;
    YYDriverHardcopy(OpEndPage);
    job.send(OpLine, {0, 0, 10, 10});
    job.finish();
    const std::string all = job.contents();
    const std::vector<std::uint8_t> bytes(all.begin(), all.end());
    MemoryByteSource source(bytes);
    std::array<INTEGER, 6> values{};
    INTEGER n = 6;
    YYGraphicFileProbe(source, values, n);
    EXPECT_EQ(values[0], kGraphicHpgl2);
    EXPECT_EQ(values[5], 2);
    MemoryByteSource again(bytes);
    INTEGER pages = 0;
    YYCNTHPG(again, pages);
    EXPECT_EQ(pages, 2);
}
