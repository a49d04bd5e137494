// The arithmetic of grid printing: margin units switched there and back, page geometry in points
// for every code and orientation, and the rows a page holds.
#include <gtest/gtest.h>

#include "toolkit/dialogs/GridPrintLayout.h"

namespace {

TEST(GridPrintLayout, MarginUnitsConvertExactlyThereAndBack)
{
    struct Case { INTEGER inches, millimetres; };
    for (const Case c : {Case{1000, 2540}, Case{999, 2537}, Case{1, 3}, Case{0, 0}, Case{-1000, -2540}, Case{8500, 21590}}) {
        EXPECT_EQ(YYGridConvertMargin(c.inches, kMarginInches, kMarginMillimetres), c.millimetres) << c.inches;
        const INTEGER back = YYGridConvertMargin(YYGridConvertMargin(c.inches, kMarginInches, kMarginMillimetres),
                                                 kMarginMillimetres, kMarginInches);
        EXPECT_EQ(back, c.inches) << c.inches;
    }
    GridPageMargins page;
    YYGridMarginsToUnits(page, kMarginMillimetres);
    EXPECT_EQ(page.left, 2540);
    EXPECT_EQ(page.paperWidth, 21590);
    YYGridMarginsToUnits(page, kMarginInches);
    EXPECT_EQ(page.left, 1000);
    EXPECT_EQ(page.paperHeight, 11000);
}

TEST(GridPrintLayout, PageGeometryInPoints)
{
    GridPageMargins page;  // 1 inch margins as a rectangle 1000..1000 in thousandths
    page.left = 1000;
    page.top = 500;
    page.right = 7500;
    page.bottom = 10500;
    struct Case { INTEGER code, points; };
    for (const Case c : {Case{1, 468}, Case{2, 720}, Case{3, 72}, Case{4, 36}, Case{5, 0}, Case{6, 0}, Case{0, 0}})
        EXPECT_EQ(YYGridPageGet(page, c.code), c.points) << c.code;
    GridPageMargins mm = page;
    YYGridMarginsToUnits(mm, kMarginMillimetres);
    EXPECT_EQ(YYGridPageGet(mm, 3), 72);
    YYGridPageSet(page, 3, 144);
    EXPECT_EQ(page.left, 2000);
    YYGridPageSet(page, 1, 72);
    EXPECT_EQ(page.right, 3000);
    YYGridPageSet(page, 4, 72);
    YYGridPageSet(page, 2, 144);
    EXPECT_EQ(page.top, 1000);
    EXPECT_EQ(page.bottom, 3000);
}

TEST(GridPrintLayout, OrientationsExchangePaperAndExtents)
{
    struct Case { INTEGER value, landscape, width, height, paperWidth; };
    // Start: portrait, margin rectangle 1000 wide and 3000 high, paper 8500 x 11000.
    for (const Case c : {Case{0, 0, 1000, 3000, 8500}, Case{1, 1, 1000, 3000, 11000}, Case{2, 0, 1000, 3000, 8500},
                         Case{3, 1, 3000, 1000, 11000}}) {
        GridPageMargins page;
        page.left = 0;
        page.top = 0;
        page.right = 1000;
        page.bottom = 3000;
        YYGridPageSet(page, 5, c.value);
        EXPECT_EQ(page.landscape, c.landscape) << c.value;
        EXPECT_EQ(YYGridPageGet(page, 5), c.landscape) << c.value;
        EXPECT_EQ(page.right - page.left, c.width) << c.value;
        EXPECT_EQ(page.bottom - page.top, c.height) << c.value;
        EXPECT_EQ(page.paperWidth, c.paperWidth) << c.value;
    }
    GridPageMargins wide;
    wide.right = wide.left + 3000;
    wide.bottom = wide.top + 1000;
    YYGridPageSet(wide, 5, 2);
    EXPECT_EQ(wide.right - wide.left, 1000);
    GridPageMargins unchanged;
    YYGridPageSet(unchanged, 5, 4);
    EXPECT_EQ(unchanged.landscape, 0);
}

TEST(GridPrintLayout, EveryPageHoldsAtLeastOneRow)
{
    struct Case { INTEGER height, row; bool header; INTEGER rows; };
    for (const Case c : {Case{1000, 30, false, 33}, Case{1000, 30, true, 32}, Case{20, 30, false, 1}, Case{40, 30, true, 1},
                         Case{0, 30, false, 1}, Case{100, 0, false, 1}})
        EXPECT_EQ(YYGridRowsPerPage(c.height, c.row, c.header), c.rows) << c.height << " " << c.row;
}

}  // namespace
