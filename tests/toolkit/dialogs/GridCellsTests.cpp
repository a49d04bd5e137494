// The grid's cell layer without windows: packed cells, conversions into cells, the arithmetic of
// rows, scroll units and the wheel, number text that fits its column, and typed cell storage.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "toolkit/dialogs/GridCells.h"

TEST(GridCells, PackedCellsRoundTripAndDecodeOnlyTheirBits)
{
    EXPECT_EQ(YYGridPackCell(0, 0), 0x40001);
    struct Case {
        INTEGER packed, column, row;
    };
    for (const Case c : {Case{0x40001, 1, 1}, Case{((3 + 1) << 18) + (7 + 1), 4, 8}, Case{YYGridPackCell(9, 69999), 10, 70000},
                         Case{static_cast<INTEGER>(0xC0000000u | (2u << 18) | 5u), 0x3002, 5}}) {
        SCOPED_TRACE(c.packed);
        INTEGER column = -1, row = -1;
        WGridDecodeCell(c.packed, column, row);
        EXPECT_EQ(column, c.column);
        EXPECT_EQ(row, c.row);
    }
}

TEST(GridCells, DoublesBecomeIntegersOnlyInsideTheIntegerRange)
{
    struct Case {
        DOUBLE value;
        bool fits;
        INTEGER clamped;
    };
    const Case cases[] = {
        {-2.7, true, -2},          {2.7, true, 2},          {1e10, false, INT_MAX},
        {-1e10, false, INT_MIN},   {2147483647.9, true, INT_MAX}, {-2147483648.0, true, INT_MIN},
        {std::nan(""), false, 0},  {2147483648.0, false, INT_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(YYGridFitsInteger(c.value), c.fits);
        EXPECT_EQ(YYGridClampInteger(c.value), c.clamped);
    }
    EXPECT_EQ(YYGridRoundReal(1e39), FLT_MAX);
    EXPECT_EQ(YYGridRoundReal(-1e39), -FLT_MAX);
    EXPECT_EQ(YYGridRoundReal(0.1), 0.1f);
}

TEST(GridCells, ScrollUnitsRowsAndWheelNotches)
{
    struct Scale {
        INTEGER rows, scale;
    };
    for (const Scale s : {Scale{1000, 1}, Scale{65536, 1}, Scale{65537, 2}, Scale{70000, 2}, Scale{140000, 4}}) {
        SCOPED_TRACE(s.rows);
        EXPECT_EQ(YYGridScrollScale(s.rows), s.scale);
        EXPECT_LE(s.rows / s.scale, 65536);
    }
    // Rows share their dividing lines: n rows take n * (height - 1) + 1 pixels.
    EXPECT_EQ(YYGridWholeRows(10 * 20 + 1, 21), 10);
    EXPECT_EQ(YYGridWholeRows(10 * 20, 21), 9);
    EXPECT_EQ(YYGridWholeRows(100, 1), 0);

    struct Wheel {
        std::vector<INTEGER> deltas;
        INTEGER rows, left;
    };
    const Wheel wheels[] = {{{240}, -2, 0}, {{60, 60}, -1, 0}, {{60}, 0, 60}, {{-120}, 1, 0}, {{-130, -110}, 2, 0},
                            {{119, -119}, 0, 0}};
    for (const Wheel& w : wheels) {
        INTEGER accumulated = 0, rows = 0;
        for (INTEGER d : w.deltas) rows += YYGridWheelRows(accumulated, d);
        EXPECT_EQ(rows, w.rows);
        EXPECT_EQ(accumulated, w.left);
    }
}

TEST(GridCells, NumbersTooWideForTheirFormatStillShowAsNumbersThatFit)
{
    struct Case {
        DOUBLE value;
        const char* format;
        const char* shown;  // null: only the fit is checked
    };
    const Case cases[] = {
        {12.5, "(F8.3)", "12.500"},       {9999.5, "(F8.3)", "9999.500"}, {10000.0, "(F8.3)", "10000.00"},
        {12345.678, "(F8.3)", "12345.68"}, {-12345.678, "(F8.3)", "-12345.7"}, {123456789.0, "(F8.3)", nullptr},
        {-1.5e20, "(F8.3)", nullptr},     {42.0, "", nullptr},            {0.25, "(F8.3)", "0.250"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " " + c.format);
        const std::string text = YYGridNumberText(c.value, c.format);
        EXPECT_EQ(text.find('*'), std::string::npos) << text;
        if (c.shown) {
            EXPECT_EQ(text, c.shown);
        }
        if (*c.format) {
            EXPECT_LE(text.size(), 8u) << text;
        }
        const DOUBLE back = std::strtod(text.c_str(), nullptr);
        EXPECT_NEAR(back, c.value, std::fabs(c.value) * 1e-2 + 1e-3) << text;
    }
}

TEST(GridCells, StorageKeepsEachKindInItsOwnForm)
{
    GridCellStorage text;
    ASSERT_TRUE(text.allocate(kCellText, 5, 3));
    text.setText(1, "abcdefgh");
    EXPECT_EQ(text.text(1), "abcde");
    EXPECT_EQ(text.text(0), "");
    text.setText(7, "outside");  // past the capacity: nothing written
    EXPECT_EQ(text.text(7), "");

    struct Case {
        INTEGER kind;
        DOUBLE put, read;
    };
    const Case cases[] = {
        {kCellInteger, -2.7, -2.0}, {kCellInteger, 1e10, 2147483647.0}, {kCellReal, 0.1, static_cast<DOUBLE>(0.1f)},
        {kCellDouble, 0.1, 0.1},    {kCellCheckBox, 1.0, 1.0},          {kCellMenu, -1.0, -1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        GridCellStorage cells;
        ASSERT_TRUE(cells.allocate(c.kind, c.kind == kCellInteger ? 11 : 0, 4));
        cells.setNumber(2, c.put);
        EXPECT_EQ(cells.number(2), c.read);
        cells.flags[2] = kCellValuePresent | kCellHadValue | kCellProtected;
        cells.clear(2, 0);
        EXPECT_EQ(cells.number(2), 0.0);
        EXPECT_EQ(cells.flags[2], kCellProtected);  // clearing keeps the protection
    }
}

TEST(GridCells, CellColoursStartFromTheColumnAndChangePerPart)
{
    GridCellStorage cells;
    ASSERT_TRUE(cells.allocate(kCellDouble, 0, 3));
    EXPECT_EQ(cells.textColour(0), -1);
    ASSERT_TRUE(cells.makeColourBlock(-1, YYGridPackRgb(255, 0, 0)));
    EXPECT_EQ(cells.textColour(1), -1);
    EXPECT_EQ(cells.backColour(1), 0x0000FF);
    cells.setColour(1, false, 0, 128, 0);
    EXPECT_EQ(cells.textColour(1), 0x008000);
    cells.setColour(1, false, -1, 0, 0);  // -1 leaves the colour
    EXPECT_EQ(cells.textColour(1), 0x008000);
    cells.setColour(1, true, 256, 0, 0);  // 256 returns it to no colour
    EXPECT_EQ(cells.backColour(1), -1);
    EXPECT_EQ(cells.backColour(2), 0x0000FF);
}
