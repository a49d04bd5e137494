// The PostScript driver line by line: header, prolog and font re-encoding, EPS, path joining and
// its limit, colour lines, black lines, fills, number texts, text literals and rotation, pages,
// the end of the job, and the writers' blank and record rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TextDriverSession.h"
#include "tests/toolkit/foundation/ReporterGuard.h"
#include "toolkit/devices/GraphicFileProbe.h"
#include "toolkit/devices/PostScriptWriters.h"
#include "toolkit/foundation/NumberText.h"
#include "toolkit/graphics/ColourPalette.h"

namespace {

using Lines = std::vector<std::string>;

// The lines from the first one equal to marker (exclusive) to the end.
Lines after(const Lines& lines, std::string_view marker)
{
    const auto at = std::find(lines.begin(), lines.end(), marker);
    return at == lines.end() ? Lines{} : Lines(at + 1, lines.end());
}

std::size_t countOf(const Lines& lines, std::string_view line)
{
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

class PostScriptFixture : public ::testing::Test {
protected:
    ReporterGuard reporter;
    TextDriverSession job{2, "driver.ps"};
    // What the drawing wrote after the job's set-up, which ends with the clip of the whole page.
    Lines drawn()
    {
        Lines l = after(job.lines(), "clip");
        if (!l.empty() && l.front() == "newpath") l.erase(l.begin());
        return l;
    }
};

}  // namespace

TEST_F(PostScriptFixture, HeaderPrologFontsAndPageSetUp)
{
    DriverParameterBlock& b = driverParameterBlock();
    b.Count = -999;
    YYHardcopyDispatch(OpInit);
    EXPECT_EQ(b.Count, 2);
    EXPECT_EQ(hardcopyJobState().OutputFile.trimmed(), "raridevu.ps");
    EXPECT_EQ(hardcopyJobState().PrintByCommand, 1);

    job.start("Survey 7");
    job.finish();
    const Lines l = job.lines();
    const Lines head = {
        "%!PS-Adobe-3.0",
        "%%Title: Survey 7",
        "%%Creator: Z.I.D. PostScript driver",
        "%%EndComments",
        "/l {lineto} def/m {moveto} def/g {setrgbcolor} def/w {setlinewidth} def",
        "/d {setdash} def/cf {closepath fill} def/s {stroke} def/ff {findfont} def",
        "/ms {makefont setfont} def/ro {rotate} def/cs {closepath stroke} def",
        "/lsh {show} def/rsh {dup stringwidth pop 0 exch sub 0 rmoveto show} def",
        "/csh {dup stringwidth pop 2 div 0 exch sub 0 rmoveto show} def",
        "%%EndProlog",
        "/Courier ff",
        "dup length dict begin",
        "{1 index /FID ne {def} {pop pop} ifelse} forall",
        "/Encoding ISOLatin1Encoding def",
        "currentdict end /Courier-1 exch definefont pop",
    };
    ASSERT_GE(l.size(), head.size() + 60);
    EXPECT_EQ(Lines(l.begin(), l.begin() + static_cast<long>(head.size())), head);
    // Twelve re-encoded fonts in family and variant order, then the symbol font copied.
    EXPECT_EQ(l[10 + 5 * 3], "/Courier-BoldOblique ff");
    EXPECT_EQ(l[10 + 5 * 4], "/Helvetica ff");
    EXPECT_EQ(l[10 + 5 * 8 + 4], "currentdict end /Times-1 exch definefont pop");
    EXPECT_EQ(l[10 + 5 * 10], "/Times-Italic ff");
    const Lines tail = {"/Symbol ff", "dup length dict begin", "{1 index /FID ne {def} {pop pop} ifelse} forall",
                        "currentdict end /Symbol exch definefont pop", "90.0 ro", "42.0 -560.0 translate", "newpath",
                        "%%Page: 1 1", "0.50 w", "0 setlinejoin", "5.0 setmiterlimit", "0 setlinecap", "initclip"};
    EXPECT_EQ(Lines(l.begin() + 70, l.begin() + 70 + static_cast<long>(tail.size())), tail);
    EXPECT_EQ(countOf(l, "%%Page: 1 1"), 1u);
    // Nothing was drawn, so no page was ended; the end of the job follows the clip directly.
    const Lines end = {"clip", "newpath", "%%EOF", "initgraphics", std::string(" \x04", 2)};
    EXPECT_EQ(Lines(l.end() - 5, l.end()), end);
    EXPECT_EQ(job.contents().substr(job.contents().size() - 2), std::string(" \x04", 2));
}

TEST_F(PostScriptFixture, OffsetsCountIntoThePaperInBothOrientations)
{
    EXPECT_EQ(hardcopyOptionBlock().value(4), 20);
    struct Case {
        INTEGER landscape, height, yOffset;
        const char* translation;
    };
    // Turned, the plot's top edge lies option 4 from the paper's edge, whatever the page height.
    for (const Case c : {Case{1, 540, 20, "42.0 -560.0 translate"}, Case{1, 600, 20, "42.0 -620.0 translate"},
                         Case{1, 540, 50, "42.0 -590.0 translate"}, Case{0, 540, 20, "42.0 20.0 translate"},
                         Case{0, 540, 50, "42.0 50.0 translate"}}) {
        TextDriverSession::option(5, c.landscape);
        TextDriverSession::option(2, c.height);
        TextDriverSession::option(4, c.yOffset);
        job.start();
        job.finish();
        EXPECT_EQ(countOf(job.lines(), c.translation), 1u) << c.translation;
    }
}

TEST_F(PostScriptFixture, EncapsulatedLandscapePage)
{
    TextDriverSession::option(22, 1);
    job.start();
    job.send(OpLine, {10, 10, 100, 100});
    job.finish();
    const Lines l = job.lines();
    ASSERT_GE(l.size(), 4u);
    EXPECT_EQ(l[0], "%!PS-Adobe-3.0 EPSF-3.0");
    EXPECT_EQ(l[1], "%%BoundingBox: 0 0 540 756");
    EXPECT_EQ(countOf(l, "90.0 ro"), 1u);
    EXPECT_EQ(countOf(l, "0.0 -540.0 translate"), 1u);
    const std::string all = job.contents();
    for (const char* absent : {"initclip", "showpage", "#copies", "initgraphics", "\x04"})
        EXPECT_EQ(all.find(absent), std::string::npos) << absent;
    EXPECT_EQ(l.back(), "%%EOF");
    // The graphics file probe knows the file and reads its box.
    const std::vector<std::uint8_t> bytes(all.begin(), all.end());
    MemoryByteSource source(bytes);
    std::array<INTEGER, 6> values{};
    INTEGER n = 6;
    YYGraphicFileProbe(source, values, n);
    EXPECT_EQ(values[0], kGraphicPostScript);
    EXPECT_EQ(values[1], 540);
    EXPECT_EQ(values[2], 756);
    EXPECT_EQ(values[3], 1);
}

TEST_F(PostScriptFixture, LinesSharingAnEndJoinAndTheSegmentLimitStrokes)
{
    job.start();
    job.send(OpLine, {0, 0, 100, 0});
    job.send(OpLine, {100, 0, 100, 50});
    job.send(OpLine, {200, 200, 300, 200});  // starts elsewhere: a new "m", same path
    Lines l = drawn();
    EXPECT_EQ(std::count_if(l.begin(), l.end(), [](const std::string& s) { return s.ends_with(" m"); }), 2);
    EXPECT_EQ(std::count_if(l.begin(), l.end(), [](const std::string& s) { return s.ends_with(" l"); }), 3);
    EXPECT_EQ(countOf(l, "s"), 0u);

    // 255 segments fill the path; the 256th strokes it first and opens a new one.
    for (int k = 3; k < 255; ++k) job.send(OpLine, {0, 0, 1, 1});
    EXPECT_EQ(countOf(drawn(), "s"), 0u);
    job.send(OpLine, {0, 0, 1, 1});
    l = drawn();
    EXPECT_EQ(countOf(l, "s"), 1u);
    // The first stroke writes the path's colour; the line after it starts anew.
    const Lines tail = {"0.0 0.0 0.0 g", "s", "0.0 0.0 m", "1.18 1.13 l"};
    EXPECT_EQ(Lines(l.end() - 4, l.end()), tail);
}

TEST_F(PostScriptFixture, ColourLinesOnlyOnAChangeAndForTheFirstPath)
{
    job.start();
    job.rgb(0x0000FF);  // red; no path is open, so nothing is written yet
    EXPECT_TRUE(drawn().empty());
    job.send(OpLine, {0, 0, 10, 10});
    job.rgb(0x0000FF);  // unchanged: the path stays open
    job.send(OpLine, {10, 10, 20, 20});
    job.rgb(0x00FF00);  // a change strokes the path in its own colour
    job.send(OpLine, {0, 0, 10, 10});
    job.finish();
    const Lines l = drawn();
    EXPECT_EQ(countOf(l, "1.0 0.0 0.0 g"), 1u);
    EXPECT_EQ(countOf(l, "0.0 1.0 0.0 g"), 1u);
    EXPECT_EQ(countOf(l, "s"), 2u);
    const auto red = std::find(l.begin(), l.end(), "1.0 0.0 0.0 g");
    EXPECT_EQ(std::find(l.begin(), red, "s"), red);  // the colour line precedes the first stroke
}

TEST_F(PostScriptFixture, BlackLinesKeepWhiteAndFillColours)
{
    struct Case {
        const char* name;
        INTEGER model, colour;
        const char* expected;
    };
    const Case cases[] = {
        {"palette colour 3", kPaletteMode, 3, "0.0 0.0 0.0 g"},
        {"palette white", kPaletteMode, 0, "1.0 1.0 1.0 g"},
        {"RGB white", kRgbMode, 0xFFFFFF, "1.0 1.0 1.0 g"},
        {"RGB red", kRgbMode, 0x0000FF, "0.0 0.0 0.0 g"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextDriverSession session(2, "black-lines.ps");
        TextDriverSession::option(7, 1);
        session.start();
        GraphicsState& g = graphicsState();
        g.ColourModel = c.model;
        (c.model == kRgbMode ? g.ColourRGB[1] : g.ColourIndex[1]) = c.colour;
        YYDriverHardcopy(OpColour);
        session.send(OpLine, {0, 0, 10, 10});
        session.finish();
        EXPECT_EQ(countOf(session.lines(), c.expected), 1u);
    }
    // A style-4 fill in palette colour 3 keeps its colour under black lines.
    TextDriverSession session(2, "black-fill.ps");
    TextDriverSession::option(7, 1);
    session.start();
    IGrColourN(3);
    IGrFillStyle(4);
    session.fill(OpTriangleFill, {0, 0, 100, 0, 50, 50});
    session.finish();
    INTEGER r = 0, g = 0, bl = 0;
    YYColourToRGB(3, r, g, bl);
    ASSERT_FALSE(r == 0 && g == 0 && bl == 0);
    const Lines l = session.lines();
    EXPECT_EQ(countOf(l, "cf"), 1u);
    EXPECT_EQ(countOf(l, "0.0 0.0 0.0 g"), 0u);
}

TEST_F(PostScriptFixture, FillStylesAndTheMeanColourOfStyleThree)
{
    job.start();
    GraphicsState& g = graphicsState();
    g.ColourModel = kRgbMode;
    g.ColourRGB = {0xFFFFFF, 0x000000};
    YYDriverHardcopy(OpColour);
    g.FillStyle = 3;
    job.fill(OpQuadFill, {0, 0, 100, 0, 100, 100, 0, 100});
    Lines l = drawn();
    EXPECT_EQ(countOf(l, "0.50 0.50 0.50 g"), 1u);
    EXPECT_EQ(countOf(l, "cf"), 1u);
    // Styles 0 to 2 draw only the primitive's lines: no shape, except the ellipse, outlined.
    for (const INTEGER style : {0, 1, 2}) {
        g.FillStyle = style;
        for (const INTEGER op : {OpQuadFill, OpTriangleFill, OpRectangleFill, OpSectorFill, OpPolygonFill})
            job.fill(op, {0, 0, 100, 0, 100, 100, 0, 100});
    }
    EXPECT_EQ(drawn(), l);
    g.FillStyle = 0;
    job.fill(OpEllipseFill, {320, 240, 50, 0, 1});
    l = drawn();
    const Lines ellipse = {"gsave 1.0 1.0000 scale newpath", "378.01 270.01 59.06 90. 450. arc", "0.0 0.0 0.0 g", "s",
                           "grestore"};
    EXPECT_EQ(Lines(l.end() - 5, l.end()), ellipse);
}

TEST_F(PostScriptFixture, NumberTextsTrimAndOverflow)
{
    job.start();
    hardcopyDriverState().XScale = hardcopyDriverState().YScale = 1.0f;
    YYPostNumber(12.0f, "x");
    YYPostNumber(12.5f, "x");
    YYPostNumber(1.0e6f, "x");
    YYPostNumber(-100000.0f, "x");
    YYPostPoint(100.0f, 50.0f, "m");
    YYPostPoint(0.5f, -0.25f, "l");
    YYPostLine("  a   b  ");
    YYPostLine("   ");
    job.finish();
    const Lines expected = {"12.0 x", "12.50 x", "********* x", "********* x", "100.0 50.0 m", "0.50 -0.25 l", "a b", ""};
    const Lines l = drawn();
    ASSERT_GE(l.size(), expected.size());
    EXPECT_EQ(Lines(l.begin(), l.begin() + static_cast<long>(expected.size())), expected);
}

TEST_F(PostScriptFixture, TextLiteralsFontsAndRotation)
{
    job.start();
    IGrTextAlign(0, 0.0f);
    job.text("a(b)\\c", 100, 100, 160, 100);
    IGrTextAlign(0, 30.0f);
    job.text("turned", 100, 200, 160, 200);
    Lines l = drawn();
    ASSERT_GE(l.size(), 4u);
    EXPECT_EQ(l[0], "0.0 0.0 0.0 g");  // the text's colour before its font
    EXPECT_TRUE(l[1].starts_with("/Courier-1 ff [")) << l[1];
    EXPECT_TRUE(l[1].ends_with(" 0 0] ms")) << l[1];
    EXPECT_EQ(countOf(l, "(a\\(b\\)\\\\c) lsh"), 1u);
    const auto turned = std::find(l.begin(), l.end(), "(turned) lsh");
    ASSERT_NE(turned, l.end());
    EXPECT_EQ(*(turned - 1), "30.0 ro");
    EXPECT_EQ(*(turned + 1), "330.0 ro");

    // Device-font mode 1 ignores the justification: "lsh" at the start point the primitive gave.
    IGrTextAlign(2, 0.0f);
    textState().CharacterSpacing = 1;
    job.text("right", 100, 300, 160, 300);
    l = drawn();
    EXPECT_EQ(l.back(), "(right) lsh");
    const REAL y = (300.0f - 0.27f * textState().CharLineY) * hardcopyDriverState().YScale;
    std::string yText(9, ' ');
    IRealToString(y, yText, "(F9.2)");
    EXPECT_EQ(l[l.size() - 2], "118.13 " + yText.substr(yText.find_first_not_of(' ')) + " m");
}

TEST_F(PostScriptFixture, LongTextIsCutBetweenWholeCharacters)
{
    job.start();
    IGrTextAlign(0, 0.0f);
    for (const char* fill : {"(", "\\", ")"}) {
        SCOPED_TRACE(fill);
        // 249 positions: an escape that would start at the last one must not be split.
        const std::string text = std::string(248, 'x') + fill + "tail";
        job.text(text, 10, 10, 20, 10);
        const std::string line = drawn().back();
        EXPECT_LE(line.size(), 255u);
        EXPECT_TRUE(line.ends_with(") lsh")) << line;
        const std::string body = line.substr(1, line.size() - 6);
        std::size_t slashes = 0;
        for (auto it = body.rbegin(); it != body.rend() && *it == '\\'; ++it) ++slashes;
        EXPECT_EQ(slashes % 2, 0u) << "the closing bracket must not be escaped";
    }
}

TEST_F(PostScriptFixture, PagesAreNumberedAndEndWithCopies)
{
    TextDriverSession::option(8, 3);
    TextDriverSession::option(15, 0);
    job.start();
    job.send(OpLine, {0, 0, 10, 10});
    driverParameterBlock().Count = 0;
    YYDriverHardcopy(OpEndPage);
    job.send(OpLine, {0, 0, 10, 10});
    job.finish();
    const Lines l = job.lines();
    EXPECT_EQ(countOf(l, "/#copies 3 def"), 2u);
    EXPECT_EQ(countOf(l, "gsave showpage grestore"), 2u);
    EXPECT_EQ(countOf(l, "%%Page: 2 2"), 1u);
    EXPECT_EQ(countOf(l, "%%Page: 3 3"), 0u);
    EXPECT_EQ(l.back(), "initgraphics");  // option 15 = 0: no end-of-job byte
}

TEST_F(PostScriptFixture, RecordModePrefixesEveryLineButNotTheEndOfJob)
{
    TextDriverSession::option(17, 1);
    job.start();
    job.finish();
    const std::string all = job.contents();
    const Lines l = job.lines();
    for (std::size_t k = 0; k + 1 < l.size(); ++k) EXPECT_EQ(l[k].front(), ' ') << l[k];
    EXPECT_EQ(l.back(), std::string(" \x04", 2));
    EXPECT_EQ(l[l.size() - 2], " initgraphics");
}

TEST_F(PostScriptFixture, ResizeOnlyRescalesAndMissingImageWritesNothing)
{
    DriverParameterBlock& b = driverParameterBlock();
    graphicsState().HardcopyActive = 1;
    b.Value = -1;
    YYDriverHardcopy(OpBeginOutput);
    EXPECT_FALSE(std::filesystem::exists(job.path()));
    EXPECT_NEAR(hardcopyDriverState().XScale, 756.0f / 639.99f, 1e-5f);
    graphicsState().HardcopyActive = 0;

    job.start();
    stringWorkBuffer().assign("no-such-image.png");
    b.IntX2 = 4;
    b.IntY2 = 4;
    YYDriverHardcopy(OpImage);
    EXPECT_EQ(b.Value, 27);
    job.finish();
    EXPECT_EQ(countOf(job.lines(), "gsave"), 0u);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 27);
}
