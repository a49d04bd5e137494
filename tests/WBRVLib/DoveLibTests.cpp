// REAL grid and dialog wrappers against the scripted toolkit: the two format ladders as tables,
// exponent forms that read back, missing values as cleared cells, empty cells as 1.0E20, filled
// rows counted from either end, texts and check boxes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "WBRVLib/DoveLib.h"
#include "tests/support/ToolkitLinkFake.h"
#include "toolkit/foundation/NumberText.h"

using ToolkitLinkFake::script;

namespace {

constexpr REAL kMissing = 1.0E20f;

std::string written(REAL value, std::string_view format)
{
    std::string text;
    EXPECT_TRUE(YYFormatWrite(false, 0, value, format, text)) << format;
    return text;
}

class DoveLibTest : public ::testing::Test {
protected:
    void SetUp() override { ToolkitLinkFake::reset(); }
};

}  // namespace

TEST(RealFormatLadders, GridLadderByMagnitude)
{
    struct Case {
        REAL value;
        const char* format;
    };
    const Case cases[] = {
        {10000.0f, "(F8.1)"},  {10000.5f, "(F8.0)"},  {-20000.0f, "(F8.0)"}, {0.0f, "(F8.0)"},
        {1000.0f, "(F8.2)"},   {1000.5f, "(F8.1)"},   {100.0f, "(F8.3)"},    {-150.0f, "(F8.2)"},
        {10.0f, "(F8.4)"},     {12.5f, "(F8.3)"},     {1.0f, "(F8.5)"},      {-2.0f, "(F8.4)"},
        {0.1f, "(1PE8.1)"},    {0.1001f, "(F8.5)"},   {-0.05f, "(1PE8.1)"},  {1e-12f, "(1PE8.1)"},
        {9999999.0f, "(F8.0)"}, {-999999.0f, "(F8.0)"},
    };
    for (const Case& c : cases) EXPECT_EQ(GridRealFormatLadder(c.value), c.format) << c.value;
}

TEST(RealFormatLadders, DialogLadderByMagnitude)
{
    struct Case {
        REAL value;
        const char* format;
    };
    const Case cases[] = {
        {10000.0f, "(F8.0)"}, {99999.0f, "(F8.0)"}, {100000.0f, "(F9.0)"}, {0.0f, "(F9.0)"},
        {1000.0f, "(F8.1)"},  {100.0f, "(F8.2)"},   {10.0f, "(F8.3)"},     {1.0f, "(F8.4)"},
        {0.1f, "(F8.5)"},     {0.0999f, "(1PE8.1)"}, {-5.0f, "(F8.4)"},     {1e11f, "Unknown"},
        {kMissing, "Unknown"}, {std::numeric_limits<REAL>::quiet_NaN(), "Unknown"},
        {99999992.0f, "(F9.0)"}, {-9999999.0f, "(F9.0)"},
    };
    for (const Case& c : cases) EXPECT_EQ(DialogRealFormatLadder(c.value), c.format) << c.value;
}

TEST(RealFormatLadders, ValuesTooWideForWholeNumbersTakeAnExponentFormThatReadsBack)
{
    // "(F8.0)" holds 9999999. and -999999.; "(F9.0)" one digit more. Beyond, the fixed form would
    // be asterisks and the value lost when the grid is read back.
    const REAL gridValues[] = {1.0e7f, 2.5e7f, 123456789.0f, -1.0e6f, -7654321.0f, 3.4e38f, 1.0e10f, -1.0e30f};
    const REAL dialogValues[] = {1.0e8f, 1.23456789e9f, -1.0e7f, -3.3e9f, 9.99e9f};
    const auto check = [](REAL v, std::string_view format) {
        const std::string text = written(v, format);
        EXPECT_EQ(text.find('*'), std::string::npos) << v << " as " << text;
        const double back = std::strtod(text.c_str(), nullptr);
        EXPECT_LE(std::fabs(static_cast<REAL>(back) - v), 1e-6 * std::fabs(v)) << v << " as " << text;
    };
    for (REAL v : gridValues) {
        const std::string_view format = GridRealFormatLadder(v);
        EXPECT_NE(format, "(F8.0)") << v;
        check(v, format);
    }
    for (REAL v : dialogValues) {
        const std::string_view format = DialogRealFormatLadder(v);
        EXPECT_NE(format, "(F9.0)") << v;
        check(v, format);
    }
    // Every rung of both ladders writes its values without asterisks.
    for (REAL v : {9999999.0f, -999999.0f, 10000.5f, 5000.25f, 500.125f, 50.5f, 5.25f, 0.5f, 0.01f, -0.01f}) {
        EXPECT_EQ(written(v, GridRealFormatLadder(v)).find('*'), std::string::npos) << v;
        EXPECT_EQ(written(v, DialogRealFormatLadder(v)).find('*'), std::string::npos) << v;
    }
}

TEST_F(DoveLibTest, ColumnsWithMissingValuesLeaveTheirCellsEmpty)
{
    const REAL values[] = {1.0f, kMissing, 3.0f};
    QFGRIDPUTREALG(7, 2, values, 3);
    EXPECT_EQ(script().GridCalls, (std::vector<std::string>{"WGridPutCellReal(7,2,1,(F8.5))", "WGridClearCell(7,2,2)",
                                                            "WGridPutCellReal(7,2,3,(F8.4))"}));
    REAL back[4] = {0, 0, 0, -1};
    QFGRIDGETREAL(7, 2, back, 3);
    EXPECT_EQ(back[0], 1.0f);
    EXPECT_EQ(back[1], kMissing);  // not the toolkit's undefined -999.0
    EXPECT_EQ(back[2], 3.0f);
    EXPECT_EQ(back[3], -1.0f);     // nothing beyond n
    REAL cell = 0;
    QFGRIDGETCELLREAL(7, 2, 2, cell);
    EXPECT_EQ(cell, kMissing);
    QFGRIDGETCELLREAL(7, 2, 3, cell);
    EXPECT_EQ(cell, 3.0f);

    // A NaN counts as missing too.
    script().GridCalls.clear();
    const REAL withNaN[] = {std::numeric_limits<REAL>::quiet_NaN()};
    QFGRIDPUTREALG(7, 2, withNaN, 1);
    EXPECT_EQ(script().GridCalls, (std::vector<std::string>{"WGridClearCell(7,2,1)"}));
}

TEST_F(DoveLibTest, ColumnsInTheCallersFormat)
{
    // Without missing values: the whole column in one call, which clears the rows below.
    script().GridRows = 5;
    const REAL full[] = {1.5f, 2.5f, 3.5f, 4.5f, 5.5f};
    QFGRIDPUTREALF(3, 1, full, 5, "(F6.2)");
    const REAL some[] = {10.0f, 20.0f};
    QFGRIDPUTREALF(3, 1, some, 2, "(F6.2)");
    EXPECT_EQ(script().GridCalls,
              (std::vector<std::string>{"WGridPutReal(3,1,5,(F6.2))", "WGridPutReal(3,1,2,(F6.2))"}));
    EXPECT_EQ(script().GridCells.size(), 2u);
    // With one missing: row by row, the caller's format kept; a blank format means the column's.
    script().GridCalls.clear();
    const REAL gap[] = {1.0f, kMissing, 2.0f};
    QFGRIDPUTREALF(3, 1, gap, 3, "(F6.2)");
    QFGRIDPUTREAL(3, 2, gap, 3);
    QFGRIDPUTREAL(3, 3, some, 2);
    EXPECT_EQ(script().GridCalls,
              (std::vector<std::string>{"WGridPutCellReal(3,1,1,(F6.2))", "WGridClearCell(3,1,2)",
                                        "WGridPutCellReal(3,1,3,(F6.2))", "WGridPutCellReal(3,2,1,-)",
                                        "WGridClearCell(3,2,2)", "WGridPutCellReal(3,2,3,-)", "WGridPutReal(3,3,2,-)"}));
    // One cell with the ladder.
    script().GridCalls.clear();
    QFGRIDPUTCELLREAL(3, 4, 9, 2.5e7f);
    EXPECT_EQ(script().GridCalls, (std::vector<std::string>{"WGridPutCellReal(3,4,9,(1PE14.6))"}));
}

TEST_F(DoveLibTest, FilledRowsCountedFromEitherEnd)
{
    struct Case {
        std::vector<INTEGER> filled;
        INTEGER n, fromStart, fromEnd;
    };
    const Case cases[] = {
        {{1, 2, 3}, 5, 3, 3},
        {{2, 5}, 5, 0, 5},
        {{}, 5, 0, 0},
        {{1, 2, 3, 4, 5, 6}, 5, 5, 5},   // rows beyond n are not looked at
        {{1, 2, 3}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ToolkitLinkFake::reset();
        for (INTEGER row : c.filled) script().GridCells[{4, 1, row}] = {1.0f, "-"};
        EXPECT_EQ(QFINFOGRIDCELLS(4, 1, c.n, kFalse), c.fromStart) << c.filled.size();
        EXPECT_EQ(QFINFOGRIDCELLS(4, 1, c.n, kTrue), c.fromEnd) << c.filled.size();
    }
}

TEST_F(DoveLibTest, DialogValuesTextsAndCheckBoxes)
{
    QFPUTREAL(1001, 100000.0f);
    QFPUTREAL(1002, kMissing);
    QFPUTREAL(1003, 10000.0f);
    ASSERT_EQ(script().PutReals.size(), 2u);
    EXPECT_EQ(script().PutReals[0].Field, 1001);
    EXPECT_EQ(script().PutReals[0].Format, "(F9.0)");
    EXPECT_EQ(script().PutReals[1].Format, "(F8.0)");
    // Texts: the missing value, then text(1:n), a single blank for n < 1.
    PUTDLGSTRING(1004, "abcdef", 3);
    PUTDLGSTRING(1005, "abcdef", 0);
    PUTDLGSTRING(1006, "ab", 5);
    using Put = std::pair<INTEGER, std::string>;
    EXPECT_EQ(script().PutStrings,
              (std::vector<Put>{{1002, "Unknown"}, {1004, "abc"}, {1005, " "}, {1006, "ab"}}));

    WDIALOGPUTCHECKBOXL(1007, kTrue);
    WDIALOGPUTCHECKBOXL(1008, kFalse);
    WDIALOGPUTCHECKBOXL(1009, 1);  // a logical written elsewhere as 1
    EXPECT_EQ(script().CheckBoxes[1007], 1);
    EXPECT_EQ(script().CheckBoxes[1008], 0);
    EXPECT_EQ(script().CheckBoxes[1009], 1);
    script().CheckBoxes[1010] = 2;
    struct Case {
        INTEGER field;
        LOGICAL state;
    };
    for (const Case c : {Case{1007, kTrue}, Case{1008, kFalse}, Case{1010, kTrue}, Case{1099, kFalse}}) {
        LOGICAL state = 123;
        WDIALOGGETCHECKBOXL(c.field, state);
        EXPECT_EQ(state, c.state) << c.field;
    }
}
