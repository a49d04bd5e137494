// Placement of stroke glyphs along a text, read back from a recording sink.
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/graphics/StrokeFontData.h"
#include "toolkit/graphics/StrokeFonts.h"

namespace {

struct Recorded {
    StrokeOutputKind kind;
    std::vector<REAL> xs, ys;
};

struct Text {
    REAL angle = 0;
    REAL width = 10, height = 20;
    INTEGER spacing = 0, style = 0, stacked = 0;
    REAL slant = 0;
};

std::vector<Recorded> draw(const std::string& text, const Text& t = {}, REAL x = 100, REAL y = 200)
{
    const double a = t.angle * 3.14159265358979 / 180;
    StrokeTextGeometry g;
    g.TextDirCos = static_cast<REAL>(std::cos(a));
    g.TextDirSin = static_cast<REAL>(std::sin(a));
    g.TextUpSin = g.TextDirSin;
    g.CharAdvanceX = t.width * g.TextDirCos;
    g.CharAdvanceY = t.width * g.TextDirSin;
    g.CharLineX = t.height * g.TextUpSin;
    g.CharLineY = t.height * g.TextDirCos;
    g.TextSlant = t.slant;
    g.CharacterSpacing = t.spacing;
    g.TextStyle = t.style;
    g.TextStacked = t.stacked;
    std::vector<Recorded> out;
    YYStrokeTextStrokes(g, x, y, text, static_cast<INTEGER>(text.size()), t.width, t.height,
                        [&](StrokeOutputKind kind, std::span<const REAL> xs, std::span<const REAL> ys) {
                            out.push_back({kind, {xs.begin(), xs.end()}, {ys.begin(), ys.end()}});
                        });
    return out;
}

// The standard set's bar '|' is one line from grid (3, 0) to (3, 11): its x is the middle of the
// glyph cell, its lower end the cell's bottom.
constexpr REAL kYs = 20 / 11.88f;  // grid height unit at H = 20

class StrokeText : public ::testing::Test {
protected:
    void SetUp() override
    {
        YYStrokeFontStandard();
        YYCHSPACE(0);
    }
    void TearDown() override { YYStrokeFontStandard(); }
};

TEST_F(StrokeText, GlyphCellsAreCentredOnTheirAdvanceAndHangHalfAHeightBelowTheLine)
{
    const struct {
        const char* text;
        INTEGER spacing;
        REAL barX;  // x of the bar, the last character
    } cases[] = {
        {"||", 0, 115},                               // fixed pitch: 100 + 1.5 W
        {"W|", 0, 115},
        {"W|", 1, 100 + (1.5f + 0.33f / 2) * 10},     // proportional: after W's 1.5 widths
        {"i|", 1, 100 + (0.46f + 0.33f / 2) * 10},
        {"\x01|", 0, 115},                            // a control code advances as a blank
        {"\x01|", 1, 100 + (0.7f + 0.33f / 2) * 10},
        {"\x7f|", 1, 100 + (0.7f + 0.33f / 2) * 10},
    };
    for (const auto& c : cases) {
        const auto out = draw(c.text, {.spacing = c.spacing});
        ASSERT_FALSE(out.empty()) << c.text;
        const Recorded& bar = out.back();
        ASSERT_EQ(bar.kind, StrokeOutputKind::Line) << c.text;
        EXPECT_NEAR(bar.xs[0], c.barX, 1e-3) << c.text;
        EXPECT_NEAR(bar.xs[1], c.barX, 1e-3) << c.text;
        EXPECT_NEAR(bar.ys[0], 190, 1e-3) << c.text;  // y - H / 2
        EXPECT_NEAR(bar.ys[1], 190 + 11 * kYs, 1e-3) << c.text;
    }
}

TEST_F(StrokeText, ProportionalTextNarrowsTheStandardSetToThreeQuarters)
{
    // W: 0,11 1,2 3,7 5,2 6,11, one polyline; its middle point stays on the advance's middle.
    const REAL xs = 10 / 7.68f;
    for (INTEGER spacing : {0, 1, 2}) {
        const auto out = draw("W", {.spacing = spacing});
        ASSERT_EQ(out.size(), 1u);
        ASSERT_EQ(out[0].kind, StrokeOutputKind::Polyline);
        const REAL advance = spacing == 0 ? 10 : 15;
        const REAL narrowing = spacing == 0 ? 1 : 0.75f;
        EXPECT_NEAR(out[0].xs[2], 100 + advance / 2, 1e-3) << spacing;
        EXPECT_NEAR(out[0].xs[4] - out[0].xs[0], 6 * xs * narrowing, 1e-3) << spacing;
    }
}

TEST_F(StrokeText, LineSetsSendTwoPointStrokesAsLinesAndOutlineSetsPolygons)
{
    auto kinds = [](const std::vector<Recorded>& out) {
        std::vector<StrokeOutputKind> k;
        for (const auto& r : out) k.push_back(r.kind);
        return k;
    };
    EXPECT_EQ(kinds(draw("A")), (std::vector{StrokeOutputKind::Polyline, StrokeOutputKind::Line}));
    YYStrokeFontSwissData();
    const auto outline = draw("A.");
    ASSERT_FALSE(outline.empty());
    for (const auto& r : outline) EXPECT_EQ(r.kind, StrokeOutputKind::Polygon);
    // The hand-written full stop: a square 5 grid units wide on the base line at y 11.
    const Recorded& stop = outline.back();
    ASSERT_EQ(stop.xs.size(), 4u);
    EXPECT_NEAR(stop.xs[1] - stop.xs[0], 5 * 10 / 36.3f, 1e-3);
    EXPECT_NEAR(stop.ys[0], 190 + 11 * 20 / 55.0f, 1e-3);
}

TEST_F(StrokeText, ItalicShearsEachGlyph)
{
    const auto out = draw("|", {.slant = 0.4663f});
    ASSERT_EQ(out.size(), 1u);
    // 0.4663 x W / H grid units per unit of y: the top moves right by 0.4663 x 11 x W / 11.88.
    EXPECT_NEAR(out[0].xs[1] - out[0].xs[0], 0.4663f * 11 * 10 / 11.88f, 1e-3);
    EXPECT_NEAR(out[0].xs[0], 105, 1e-3);
}

TEST_F(StrokeText, TextAt90DegreesRunsUpwards)
{
    const auto out = draw("||", {.angle = 90});
    ASSERT_EQ(out.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        const Recorded& bar = out[static_cast<std::size_t>(i)];
        // Along the text the bar sits on its advance's middle; the glyph's up points to -x.
        EXPECT_NEAR(bar.ys[0], 205 + 10 * i, 1e-3);
        EXPECT_NEAR(bar.ys[1], 205 + 10 * i, 1e-3);
        EXPECT_NEAR(bar.xs[0], 110, 1e-3);
        EXPECT_NEAR(bar.xs[1], 110 - 11 * kYs, 1e-3);
    }
}

TEST_F(StrokeText, StackedCharactersGoOneLineDownEach)
{
    const auto out = draw("||", {.style = 4, .stacked = 1});
    ASSERT_EQ(out.size(), 2u);  // no underline for stacked text
    for (int i = 0; i < 2; ++i) {
        const Recorded& bar = out[static_cast<std::size_t>(i)];
        EXPECT_NEAR(bar.xs[0], 100, 1e-3);
        EXPECT_NEAR(bar.ys[0], 200 - (20 + 11 * kYs) / 2 - 20 * i, 1e-3);
    }
}

TEST_F(StrokeText, CellsStayCentredAtAnAngleOnADistortedArea)
{
    // Area aspect factor 2 at 36.87 degrees: direction (0.8, 0.6 x 2), up sine 0.6 / 2. The bar
    // runs up the middle of its cell from the cell's bottom. Along a line the bottom lies half an
    // advance along the text and half a line below the reference; a stacked cell is centred half a
    // line below its column reference.
    StrokeTextGeometry g;
    g.TextDirCos = 0.8f;
    g.TextDirSin = 1.2f;
    g.TextUpSin = 0.3f;
    g.CharAdvanceX = 10 * g.TextDirCos;
    g.CharAdvanceY = 10 * g.TextDirSin;
    g.CharLineX = 20 * g.TextUpSin;
    g.CharLineY = 20 * g.TextDirCos;
    const REAL upX = -g.TextUpSin, upY = g.TextDirCos;
    const REAL lineDownX = g.CharLineX / 2, lineDownY = -g.CharLineY / 2;
    const struct {
        INTEGER stacked;
        REAL bottomX, bottomY, topX, topY;
    } cases[] = {
        {0, 100 + g.CharAdvanceX / 2 + lineDownX, 200 + g.CharAdvanceY / 2 + lineDownY,
         100 + g.CharAdvanceX / 2 + lineDownX + 11 * kYs * upX, 200 + g.CharAdvanceY / 2 + lineDownY + 11 * kYs * upY},
        {1, 100 + lineDownX - 5.5f * kYs * upX, 200 + lineDownY - 5.5f * kYs * upY,
         100 + lineDownX + 5.5f * kYs * upX, 200 + lineDownY + 5.5f * kYs * upY},
    };
    for (const auto& c : cases) {
        g.TextStacked = c.stacked;
        std::vector<Recorded> out;
        YYStrokeTextStrokes(g, 100, 200, "|", 1, 10, 20,
                            [&](StrokeOutputKind kind, std::span<const REAL> xs, std::span<const REAL> ys) {
                                out.push_back({kind, {xs.begin(), xs.end()}, {ys.begin(), ys.end()}});
                            });
        ASSERT_EQ(out.size(), 1u);
        EXPECT_NEAR(out[0].xs[0], c.bottomX, 1e-3) << c.stacked;
        EXPECT_NEAR(out[0].ys[0], c.bottomY, 1e-3) << c.stacked;
        EXPECT_NEAR(out[0].xs[1], c.topX, 1e-3) << c.stacked;
        EXPECT_NEAR(out[0].ys[1], c.topY, 1e-3) << c.stacked;
    }
}

TEST_F(StrokeText, UnderlineRunsTheMeasuredLengthBelowTheLine)
{
    const struct {
        const char* text;
        INTEGER spacing;
        REAL length;
    } cases[] = {{"ab", 0, 20}, {"Wi", 1, (1.5f + 0.46f) * 10}, {"Wi", 2, (1.5f + 0.46f) * 10}, {"", 0, 0}};
    for (const auto& c : cases) {
        const auto out = draw(c.text, {.spacing = c.spacing, .style = 4});
        ASSERT_FALSE(out.empty());
        const Recorded& line = out.back();
        ASSERT_EQ(line.kind, StrokeOutputKind::Line);
        EXPECT_NEAR(line.xs[0], 100, 1e-3) << c.text;
        EXPECT_NEAR(line.ys[0], 200 - 0.45f * 20, 1e-3) << c.text;
        EXPECT_NEAR(line.xs[1] - line.xs[0], c.length, 1e-3) << c.text;
        EXPECT_NEAR(line.ys[1], line.ys[0], 1e-3) << c.text;
    }
    EXPECT_EQ(draw("ab").size(), draw("ab", {.style = 1}).size());  // bold alone adds nothing here
}

TEST_F(StrokeText, CodesWithoutAGlyphDrawNothing)
{
    EXPECT_TRUE(draw(std::string("\x01\x1f\x7f\x81\xa0 ", 6)).empty());
    EXPECT_FALSE(draw("\x80").empty());  // code 128: the glyph kept in the slot of 127
    EXPECT_EQ(draw("\xC0").size(), 3u);  // A grave from the high table: A and its accent
    YYStrokeFontSymbol();
    EXPECT_TRUE(draw("\x80").empty());   // the symbol set has no glyph for 128
    EXPECT_FALSE(draw("\xC5").empty());

    // A set without the high codes draws them as blanks.
    const BuiltInStrokeSet& s = kBuiltInStrokeSets[kStrokeSetStandard];
    YYStrokeFontInstall(s.gridWidth, s.gridHeight, s.cellWidth, s.cellHeight, 7, s.flags, s.spacing, 0, s.name,
                        std::string_view(s.glyphs, static_cast<std::size_t>(s.glyphLength)),
                        std::span<const INTEGER, 96>(s.lowStarts, 96), std::span<const INTEGER, 96>(s.highStarts, 96));
    EXPECT_TRUE(draw("\xC0").empty());
}

TEST_F(StrokeText, CountLimitsTheCharactersDrawn)
{
    StrokeTextGeometry g;
    g.CharAdvanceX = 10;
    g.CharLineY = 20;
    int calls = 0;
    auto count = [&](StrokeOutputKind, std::span<const REAL>, std::span<const REAL>) { ++calls; };
    YYStrokeTextStrokes(g, 0, 0, "||||", 2, 10, 20, count);
    EXPECT_EQ(calls, 2);
    calls = 0;
    YYStrokeTextStrokes(g, 0, 0, "||", 50, 10, 20, count);
    EXPECT_EQ(calls, 2);
    calls = 0;
    YYStrokeTextStrokes(g, 0, 0, "||", -1, 10, 20, count);
    YYStrokeTextStrokes(g, 0, 0, "||", 2, 10, 0, count);  // zero height: flat, but no division by zero
    EXPECT_EQ(calls, 2);
}

}  // namespace
