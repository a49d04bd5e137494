// Glyph decoding, installing the sets, code mapping and the advance-width tables.
#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/StrokeAdvanceWidths.h"
#include "toolkit/graphics/StrokeFontData.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/StrokeFonts.h"

namespace {

using Strokes = std::vector<std::vector<StrokePoint>>;

Strokes decode(std::string_view glyph)
{
    StrokeGlyphStrokes strokes;
    YYStrokeGlyphDecode(glyph, strokes);
    return strokes;
}

TEST(StrokeGlyphDecoding, WorkedExamplesDecodeExactly)
{
    const struct {
        const char* glyph;
        Strokes strokes;
    } cases[] = {
        {"023B62u1555", {{{0, 2}, {3, 11}, {6, 2}}, {{1, 5}, {5, 5}}}},
        {"3233u363B", {{{3, 2}, {3, 3}}, {{3, 6}, {3, 11}}}},
        {"323B19", {{{3, 2}, {3, 11}, {1, 9}}}},
        {"PBUBUGPG", {{{25, 11}, {30, 11}, {30, 16}, {25, 16}}}},
        {"RBWBWhShQeOcKbIbIYRY",
         {{{27, 11}, {32, 11}, {32, 43}, {28, 43}, {26, 40}, {24, 38}, {20, 37}, {18, 37}, {18, 34}, {27, 34}}}},
        {"P9U9TQQQvRUSUUVVXUZSaRaPZOXPV",
         {{{25, 9}, {30, 9}, {29, 26}, {26, 26}},
          {{27, 30}, {28, 30}, {30, 31}, {31, 33}, {30, 35}, {28, 36}, {27, 36}, {25, 35}, {24, 33}, {25, 31}}}},
    };
    for (const auto& c : cases) EXPECT_EQ(decode(c.glyph), c.strokes) << c.glyph;
}

TEST(StrokeGlyphDecoding, EdgesOfTheCode)
{
    const struct {
        const char* glyph;
        Strokes strokes;
    } cases[] = {
        {"0011u", {{{0, 0}, {1, 1}}}},                      // a trailing terminator is ignored
        {"0011vv2233", {{{0, 0}, {1, 1}}}},                 // a doubled terminator spoils the next stroke
        {"0011u22", {{{0, 0}, {1, 1}}}},                    // one point after a terminator is no stroke
        {"001", {}},                                        // too short for a stroke
        {"", {}},
        {"0u11u2233", {{{2, 2}, {3, 3}}}},                  // a stroke with a terminator as coordinate is dropped
        {"0011223", {{{0, 0}, {1, 1}, {2, 2}}}},            // a lone trailing character is ignored
        {"tttt0000", {{{55, 55}, {55, 55}, {0, 0}, {0, 0}}}},  // alphabet ends at 't' = 55
    };
    for (const auto& c : cases) EXPECT_EQ(decode(c.glyph), c.strokes) << c.glyph;
}

TEST(StrokeGlyphDecoding, AStrokeKeepsAtMostItsLimitOfPoints)
{
    std::string glyph;
    for (int i = 0; i < 200; ++i) glyph += "12";
    glyph += "u3344";
    const Strokes strokes = decode(glyph);
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[0].size(), static_cast<std::size_t>(kStrokeMaxPoints));
    EXPECT_EQ(strokes[1], (std::vector<StrokePoint>{{3, 3}, {4, 4}}));
}

TEST(StrokeFontInstall, EachRoutineInstallsItsSet)
{
    const struct {
        void (*install)();
        const char* name;
        float gridWidth, gridHeight, cellWidth;
        int asLines, hasCode128, spacing;
    } cases[] = {
        {[] { YYStrokeFontStandard(); }, "standard.chr", 7.68f, 11.88f, 6, 1, 1, 0},
        {YYStrokeFontFixedData, "fixed.chr", 36.3f, 55, 55, 0, 1, 0},
        {YYStrokeFontFixedBold, "fixedbld.chr", 36.3f, 55, 55, 0, 1, 0},
        {YYStrokeFontRomanData, "roman.chr", 36.3f, 55, 55, 0, 1, 1},
        {YYStrokeFontRomanBold, "romanbld.chr", 36.3f, 55, 55, 0, 1, 1},
        {YYStrokeFontSwissData, "swiss.chr", 36.3f, 55, 55, 0, 1, 1},
        {YYStrokeFontSwissBold, "swissbld.chr", 36.3f, 55, 55, 0, 1, 1},
        {YYStrokeFontSymbol, "symbol.chr", 30.25f, 55, 55, 0, 0, 1},
    };
    for (const auto& c : cases) {
        strokeFontTable().StrokeBoldLoaded = 1;
        c.install();
        const StrokeFontTable& t = strokeFontTable();
        EXPECT_EQ(t.StrokeFontName.trimmed(), c.name);
        EXPECT_EQ(t.StrokeFontName.view().size(), 260u);
        EXPECT_FLOAT_EQ(t.StrokeGridWidth, c.gridWidth) << c.name;
        EXPECT_FLOAT_EQ(t.StrokeGridHeight, c.gridHeight) << c.name;
        EXPECT_FLOAT_EQ(t.StrokeCellWidth, c.cellWidth) << c.name;
        EXPECT_FLOAT_EQ(t.StrokeCellHeight, c.cellWidth == 6 ? 11.0f : 55.0f) << c.name;
        EXPECT_EQ(t.StrokeCodeBits, 8) << c.name;
        EXPECT_EQ(t.StrokeAsLines, c.asLines) << c.name;
        EXPECT_EQ(t.StrokeHasCode128, c.hasCode128) << c.name;
        EXPECT_EQ(t.StrokeFontSpacing, c.spacing) << c.name;
        EXPECT_EQ(t.StrokeBoldLoaded, 0) << c.name;
        EXPECT_FALSE(t.StrokeGlyphs.empty()) << c.name;
    }
}

TEST(StrokeFontInstall, BuiltInSetsCarryTheWorkedExamples)
{
    const struct {
        void (*install)();
        int code;
        const char* glyph;
    } cases[] = {
        {[] { YYStrokeFontStandard(); }, 'A', "023B62u1555"},
        {[] { YYStrokeFontStandard(); }, '!', "3233u363B"},
        {[] { YYStrokeFontStandard(); }, '1', "323B19"},
        {YYStrokeFontSwissData, '.', "PBUBUGPG"},
        {YYStrokeFontSwissData, '1', "RBWBWhShQeOcKbIbIYRY"},
        {YYStrokeFontFixedData, 161, "P9U9TQQQvRUSUUVVXUZSaRaPZOXPV"},
    };
    for (const auto& c : cases) {
        c.install();
        EXPECT_EQ(YYStrokeGlyphText(c.code), c.glyph) << c.code;
    }
}

TEST(StrokeFontInstall, FamilyLoadersPickTheVariantByTheBoldBit)
{
    const struct {
        void (*load)();
        INTEGER style;
        const char* name;
        INTEGER boldLoaded;
    } cases[] = {
        {YYStrokeFontFixed, 0, "fixed.chr", 0},     {YYStrokeFontFixed, 1, "fixedbld.chr", 1},
        {YYStrokeFontRoman, 2, "roman.chr", 0},     {YYStrokeFontRoman, 7, "romanbld.chr", 1},
        {YYStrokeFontSwiss, 4, "swiss.chr", 0},     {YYStrokeFontSwiss, 9, "swissbld.chr", 1},
    };
    for (const auto& c : cases) {
        textState().TextStyle = c.style;
        c.load();
        EXPECT_EQ(strokeFontTable().StrokeFontName.trimmed(), c.name) << c.style;
        EXPECT_EQ(strokeFontTable().StrokeBoldLoaded, c.boldLoaded) << c.name;
    }
    textState().TextStyle = 0;
}

TEST(StrokeFontInstall, WithoutCode128TheEndOfSlot127KeepsItsOldValue)
{
    std::array<INTEGER, 96> low{}, high{};
    for (int i = 0; i < 96; ++i) low[static_cast<std::size_t>(i)] = high[static_cast<std::size_t>(i)] = 1;
    low[95] = 777;
    YYStrokeFontInstall(10, 10, 10, 10, 8, 3, 0, 0, "a", "x", low, high);
    low[95] = 5;
    YYStrokeFontInstall(10, 10, 10, 10, 8, 1, 0, 0, "b", "x", low, high);
    EXPECT_EQ(strokeFontTable().StrokeLowStarts[95], 777);
    EXPECT_EQ(strokeFontTable().StrokeHasCode128, 0);
    EXPECT_EQ(strokeFontTable().StrokeAsLines, 1);
}

TEST(StrokeFontInstall, OtherTargetsChangeNothingAndOverlongTextIsCut)
{
    YYStrokeFontStandard();
    YYStrokeFontStandard(1);
    std::array<INTEGER, 96> starts{};
    YYStrokeFontInstall(1, 1, 1, 1, 8, 0, 0, 2, "other", "x", starts, starts);
    EXPECT_EQ(strokeFontTable().StrokeFontName.trimmed(), "standard.chr");

    // Start positions past the kept text draw nothing instead of reading beyond it.
    std::array<INTEGER, 96> low{};
    low.fill(1);
    low[0] = 17001;
    low[1] = 17005;
    YYStrokeFontInstall(10, 10, 10, 10, 8, 2, 0, 0, "long", std::string(18000, '1'), low, low);
    EXPECT_EQ(strokeFontTable().StrokeGlyphs.size(), static_cast<std::size_t>(kStrokeGlyphsCapacity));
    EXPECT_TRUE(YYStrokeGlyphText(33).empty());
    EXPECT_TRUE(YYStrokeGlyphText(34).empty());  // end before start
    YYStrokeFontStandard();
}

TEST(StrokeCodeMapping, CodesStandForThemselvesOrForTheBlank)
{
    std::array<INTEGER, 96> starts{};
    starts.fill(1);
    const struct {
        INTEGER codeBits, flags, code, mapped;
    } cases[] = {
        {8, 3, 32, 32},  {8, 3, 65, 65},   {8, 3, 126, 126}, {8, 3, 127, 32},  {8, 3, 128, 127},
        {8, 1, 128, 32}, {8, 3, 129, 32},  {8, 3, 160, 32},  {8, 3, 161, 161}, {8, 3, 255, 255},
        {7, 3, 161, 32}, {7, 3, 255, 32},  {8, 3, 0, 32},    {8, 3, 31, 32},   {8, 3, -1, 32},
        {8, 3, 256, 32},
    };
    for (const auto& c : cases) {
        YYStrokeFontInstall(7.68f, 11.88f, 6, 11, c.codeBits, c.flags, 0, 0, "t", "", starts, starts);
        EXPECT_EQ(YYStrokeCodeMap(c.code), c.mapped) << c.code << " bits " << c.codeBits << " flags " << c.flags;
    }
    YYStrokeFontStandard();
}

class AdvanceWidths : public ::testing::Test {
protected:
    void TearDown() override { YYCHSPACE(0); }
};

TEST_F(AdvanceWidths, DefaultsAreTheTablesValues)
{
    YYCHSPACE(0);
    const struct {
        INTEGER code;
        REAL width;
    } cases[] = {{32, 0.7f}, {'%', 1.39f}, {'@', 1.54f}, {'W', 1.5f}, {'i', 0.46f}, {'|', 0.33f},
                 {127, 0.74f}, {161, 0.55f}, {198, 1.49f}, {222, 0.93f}, {223, 0.83f}, {247, 0.94f}, {255, 0.83f}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(YYAdvanceWidth(c.code), c.width) << c.code;
}

TEST_F(AdvanceWidths, ResetRestoresOneCodeOrAll)
{
    AdvanceWidthTable& w = advanceWidthTable();
    const struct {
        INTEGER code;
        REAL* entry;
        REAL expected;
    } cases[] = {{32, &w.Low[0], 0.7f},      {'A', &w.Low['A' - 32], 1.11f}, {126, &w.Low[94], 0.9f},
                 {128, &w.Low[95], 0.74f},   {161, &w.High[0], 0.55f},       {255, &w.High[94], 0.83f}};
    for (const auto& c : cases) {
        *c.entry = 9;
        w.Low[1] = 9;  // another entry, which this code leaves alone
        YYCHSPACE(c.code);
        EXPECT_FLOAT_EQ(*c.entry, c.expected) << c.code;
        EXPECT_FLOAT_EQ(w.Low[1], 9.0f) << c.code;
    }
    for (REAL& v : w.Low) v = 2;
    for (REAL& v : w.High) v = 2;
    YYCHSPACE(0);
    for (int i = 0; i < 96; ++i) EXPECT_FLOAT_EQ(w.Low[i], kAdvanceWidthDefaultLow[i]);
    for (int i = 0; i < 95; ++i) EXPECT_FLOAT_EQ(w.High[i], kAdvanceWidthDefaultHigh[i]);
}

TEST_F(AdvanceWidths, CodesOutsideTheTablesReportError66AndChangeNothing)
{
    AdvanceWidthTable& w = advanceWidthTable();
    for (INTEGER code : {127, -1, 1, 31, 129, 160, 256}) {
        for (REAL& v : w.Low) v = 3;
        for (REAL& v : w.High) v = 3;
        libraryErrorState().LastErrorNumber = 0;
        YYCHSPACE(code);
        EXPECT_EQ(libraryErrorState().LastErrorNumber, 66) << code;
        for (REAL v : w.Low) EXPECT_EQ(v, 3.0f) << code;
        for (REAL v : w.High) EXPECT_EQ(v, 3.0f) << code;
    }
}

TEST_F(AdvanceWidths, TableLengthMapsEachCodeFirst)
{
    YYCHSPACE(0);
    YYStrokeFontStandard();
    const struct {
        std::string text;
        INTEGER count;
        REAL length;
    } cases[] = {
        {"", 0, 0},
        {"Wi", 2, 1.5f + 0.46f},
        {"Wi", 1, 1.5f},
        {"Wi", 0, 0},
        {"Wi", -3, 0},
        {"Wi", 9, 1.96f},                 // never past the text
        {"\x01\x7f\x81", 3, 3 * 0.7f},    // controls, 127 and 129 measure as blanks
        {"\x80", 1, 0.74f},               // 128 takes 127's entry while the set has its glyph
        {"\xC6", 1, 1.49f},
    };
    for (const auto& c : cases) EXPECT_FLOAT_EQ(YYAdvanceTableLength(c.text, c.count), c.length) << c.text;
    YYStrokeFontSymbol();
    EXPECT_FLOAT_EQ(YYAdvanceTableLength("\x80", 1), 0.7f);
    YYStrokeFontStandard();
}

}  // namespace
