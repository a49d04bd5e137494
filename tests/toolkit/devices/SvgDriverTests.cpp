// The SVG driver and its writers line by line: the document's start and end, stroke groups per
// attribute change, colour inversion, fill groups and their mean colour, long point lists,
// clip paths, text groups with escaping and rotation, numbers, colours and arc paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "TextDriverSession.h"
#include "tests/toolkit/foundation/ReporterGuard.h"
#include "toolkit/devices/GraphicFileProbe.h"
#include "toolkit/devices/SvgWriters.h"
#include "toolkit/graphics/ColourPalette.h"

namespace {

using Lines = std::vector<std::string>;

std::size_t countOf(const Lines& lines, std::string_view line)
{
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

std::size_t countContaining(const Lines& lines, std::string_view part)
{
    return static_cast<std::size_t>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

constexpr std::string_view kBlackGroup =
    "<g style=\"fill:none;stroke:#000000;stroke-dasharray:none;stroke-width:1;stroke-linejoin:miter;"
    "stroke-linecap:butt\">";

class SvgFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        IGrColourN(223);  // black in the default palette
        ASSERT_EQ(graphicsState().ColourIndex[1], 223);
    }
    ReporterGuard reporter;
    TextDriverSession job{3, "driver.svg"};
};

}  // namespace

TEST_F(SvgFixture, DocumentStartsWithTheNamespaceAndEndsClosed)
{
    DriverParameterBlock& b = driverParameterBlock();
    b.Count = -999;
    YYHardcopyDispatch(OpInit);
    EXPECT_EQ(b.Count, 3);
    EXPECT_EQ(hardcopyJobState().OutputFile.trimmed(), "raridevu.svg");

    job.start();
    job.send(OpLine, {0, 0, 639.99f, 479.99f});
    driverParameterBlock().Count = 0;
    YYDriverHardcopy(OpEndPage);  // nothing: one document per job
    YYDriverHardcopy(OpImage);
    job.finish();
    const Lines expected = {
        "<?xml version=\"1.0\"?>",
        "<!DOCTYPE svg SYSTEM \"\">",
        "<svg width=\"640\" height=\"480\" xmlns=\"http://www.w3.org/2000/svg\">",
        std::string(kBlackGroup),
        "<line x1=\"0\" y1=\"480\" x2=\"640\" y2=\"0\"/>",
        "</g></svg>",
    };
    EXPECT_EQ(job.lines(), expected);
    // The document type line keeps the file known to the graphics file probe.
    const std::string all = job.contents();
    const std::vector<std::uint8_t> bytes(all.begin(), all.end());
    MemoryByteSource source(bytes);
    std::array<INTEGER, 6> values{};
    INTEGER n = 1;
    YYGraphicFileProbe(source, values, n);
    EXPECT_EQ(values[0], kGraphicSvg);
}

TEST_F(SvgFixture, AttributeChangesOpenAGroupOnlyWhenSomethingChanged)
{
    job.start();
    YYDriverHardcopy(OpColour);
    YYDriverHardcopy(OpLineCap);
    EXPECT_EQ(countContaining(job.lines(), "<g style="), 1u);
    TextDriverSession::option(9, 10);
    TextDriverSession::option(10, 1);
    YYDriverHardcopy(OpLineWidth);
    graphicsState().LineType = 3;
    YYDriverHardcopy(OpLineType);
    job.finish();
    const Lines l = job.lines();
    EXPECT_EQ(countOf(l, "</g>"), 2u);
    EXPECT_EQ(countOf(l, "<g style=\"fill:none;stroke:#000000;stroke-dasharray:none;stroke-width:2;"
                         "stroke-linejoin:round;stroke-linecap:butt\">"),
              1u);
    EXPECT_EQ(countContaining(l, "stroke-dasharray:1 3 4 4;stroke-width:2"), 1u);
}

TEST_F(SvgFixture, InversionSwapsOnlyNearWhiteAndNearBlack)
{
    TextDriverSession::option(6, 2);
    job.start();
    for (const INTEGER colour : {0xFFFFFF, 0x000000, 0x808080}) job.rgb(colour);
    job.finish();
    const Lines l = job.lines();
    EXPECT_EQ(countContaining(l, "stroke:#000000;"), 1u);  // white, written as black
    EXPECT_EQ(countContaining(l, "stroke:#ffffff;"), 2u);  // the start's black, then black again after white
    EXPECT_EQ(countContaining(l, "stroke:#808080;"), 1u);
}

TEST_F(SvgFixture, FillGroupsMeanColourAndLongPointLists)
{
    job.start();
    GraphicsState& g = graphicsState();
    g.ColourModel = kRgbMode;
    g.ColourRGB = {0x0000FF, 0xFF0000};
    g.FillStyle = 3;
    job.fill(OpTriangleFill, {0, 0, 100, 0, 50, 50});
    g.FillStyle = 4;
    std::vector<REAL> xs, ys;
    for (int k = 0; k < 100; ++k) {
        xs.push_back(320.0f + 200.0f * std::cos(k * 0.0628f));
        ys.push_back(240.0f + 200.0f * std::sin(k * 0.0628f));
    }
    job.polygon(OpPolygonFill, xs, ys);
    job.polygon(OpPolyline, xs, ys);
    g.FillStyle = 1;
    job.fill(OpQuadFill, {0, 0, 100, 0, 100, 100, 0, 100});  // style 1: only the primitive's lines
    job.finish();
    const Lines l = job.lines();
    EXPECT_EQ(countOf(l, "<g style=\"stroke:none;fill:#7f007f\">"), 1u);
    EXPECT_EQ(countOf(l, "<polygon points=\"0,480 100,480 50,430\"/>"), 1u);
    for (const char* element : {"<polygon points=", "<polyline points="}) {
        SCOPED_TRACE(element);
        auto first = std::find_if(l.begin(), l.end(), [&](const std::string& s) { return s.starts_with(element) && !s.ends_with("/>"); });
        ASSERT_NE(first, l.end());
        auto last = first;
        while (!last->ends_with("/>")) ++last;
        EXPECT_GE(last - first, 2);  // a hundred points take several lines
        std::string joined;
        for (auto it = first; it <= last; ++it) {
            EXPECT_LE(it->size(), 256u);
            EXPECT_FALSE(it->ends_with(" "));
            joined += *it + " ";
        }
        EXPECT_EQ(std::count(joined.begin(), joined.end(), ','), 100);
    }
    EXPECT_EQ(countContaining(l, "<g style=\"stroke:none"), 2u);
    EXPECT_EQ(countOf(l, "</g>"), 2u);
}

TEST_F(SvgFixture, ClipPathOnlyAfterAPartialArea)
{
    job.start();
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    graphicsState().FillStyle = 4;
    job.fill(OpRectangleFill, {10, 10, 20, 20});
    EXPECT_EQ(countContaining(job.lines(), "clip"), 0u);
    IGrArea(0.0f, 0.0f, 0.5f, 1.0f);
    job.fill(OpRectangleFill, {10, 10, 20, 20});
    IGrArea(0.5f, 0.5f, 1.0f, 1.0f);
    job.finish();
    const Lines l = job.lines();
    EXPECT_EQ(countOf(l, "<defs><clipPath id=\"clip1\"><rect width=\"320.01\" height=\"480\" x=\"0\" y=\"0\"/>"
                         "</clipPath></defs>"),
              1u);
    EXPECT_EQ(countContaining(l, "fill:#000000;clip-path:url(#clip1)\">"), 1u);
    // The upper right quarter: its top edge is the top of the page.
    EXPECT_EQ(countContaining(l, "<defs><clipPath id=\"clip2\"><rect width=\"319.99\" height=\"239.99\" x=\"320.01\" y=\"0\""),
              1u);
}

TEST_F(SvgFixture, TextIsEscapedGroupedAndTurnedAsOnTheOtherDevices)
{
    job.start();
    IGrTextAlign(0, 0.0f);
    hardcopyDriverState().XScale = hardcopyDriverState().YScale = 1.0f;
    textState().CharLineX = textState().CharLineY = 0.0f;
    const std::string text = std::string("x<y&z") + static_cast<char>(233) + "\x01\t\"']]>" + static_cast<char>(128);
    job.text(text, 100, 479.99f - 200.5f, 160, 279.49f);
    textState().DeviceTextAngle = 30.0f;
    job.text("w", 100, 100, 110, 100, 1);
    job.text("v", 110, 100, 120, 100, 2);
    job.finish();
    const Lines l = job.lines();
    EXPECT_EQ(countOf(l, "<text transform=\"translate(100,200.5)\">x&#60;y&#38;z&#233; \"']]&#62;&#128;</text>"), 1u);
    EXPECT_EQ(countContaining(l, "rotate(-30)\">w</text>"), 1u);
    EXPECT_EQ(countContaining(l, "<g style=\"fill:#000000;stroke:none;font-family:'Courier New',Courier;font-size:"), 2u);
    // Two text groups, the stroke group's end with the document's.
    EXPECT_EQ(countOf(l, "</g>"), 2u);
    EXPECT_EQ(l.back(), "</g></svg>");
}

TEST(SvgWriters, NumbersColoursAndArcPaths)
{
    struct NumberCase {
        REAL value;
        const char* text;
    };
    // The writer keeps the point of a whole number; the document drops it (renderers refuse "12."
    // in lengths, point lists and transforms).
    struct Case {
        REAL value;
        const char* number;
        const char* document;
    };
    for (const Case& c : {Case{12.0f, "12.", "12"}, {12.5f, "12.5", "12.5"}, {12.25f, "12.25", "12.25"},
                          {0.0f, "0.", "0"}, {-3.0f, "-3.", "-3"}, {100000.0f, "********", "********"},
                          {-10000.0f, "********", "********"}}) {
        std::string field(8, ' ');
        INTEGER first = 0, last = 0;
        YYSvgNumber(c.value, field, first, last);
        EXPECT_EQ(field.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1)), c.number);
        EXPECT_EQ(YYSvgNumberText(c.value), c.document) << c.value;
    }
    std::string field(8, ' ');
    INTEGER first = 0, last = 0;
    YYSvgNumber(12.0f, field, first, last);
    EXPECT_EQ(first, 4);  // in "   12.00"
    EXPECT_EQ(last, 6);

    std::string hex;
    YYHexColour(0, 0, 0, hex);
    EXPECT_EQ(hex, "000000");
    YYHexColour(255, 255, 255, hex);
    EXPECT_EQ(hex, "ffffff");
    YYHexColour(255, 128, 0, hex);
    EXPECT_EQ(hex, "ff8000");
}

TEST_F(SvgFixture, ArcAndSectorPaths)
{
    job.start();
    hardcopyDriverState().XScale = hardcopyDriverState().YScale = 1.0f;
    GraphicsState& g = graphicsState();
    g.FillStyle = 4;
    job.fill(OpSectorFill, {100, 379.99f, 50, 50, 0.0f, 1.5707964f});
    g.FillStyle = 0;
    g.HatchDensity = 3;
    job.send(OpArc, {100, 379.99f, 50, 50, 0.0f, std::numbers::pi_v<REAL>});
    job.finish();
    const Lines l = job.lines();
    EXPECT_EQ(countOf(l, "<path d=\"M 150,100 A 50,50 0 0 0 100,50 L 100,100 L 150,100\"/>"), 1u);
    EXPECT_EQ(countOf(l, "<path d=\"M 150,100 A 50,50 0 1 0 50,100\"/>"), 1u);
}
