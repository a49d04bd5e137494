// Texts and numbers on the plotter page, and the string family's drawing routines, through the
// real graphics layer.
#include <gtest/gtest.h>

#include <cmath>

#include "PlotterFixture.h"
#include "WBRVLib/Strings.h"
#include "toolkit/graphics/GraphicsText.h"

namespace {

// The page with a fixed-pitch device font, so that every text reaches the driver as one op.
class PlotTextFixture : public PlotterFixture {
protected:
    void SetUp() override
    {
        PlotterFixture::SetUp();
        startPage();
        WGrTextFont(101);
        driver.clear();
    }
    static REAL widthFraction() { return graphicsTransform().CharWidthFraction; }
    static REAL heightFraction() { return graphicsTransform().CharHeightFraction; }
};

}  // namespace

TEST_F(PlotTextFixture, AnchorsFontsAndTheHalfHeightShift)
{
    PLOTXY(1, 1, -kPenMove, frame);  // texts add the origin
    SET_FACT(2, 2);                  // but not the factors
    struct Case {
        const char* what;
        void (*draw)(REAL x, REAL y, REAL h, std::string_view text, REAL angle, INTEGER n);
        REAL angle;
        INTEGER justification;
        REAL width, height;    // toolkit font for h = 0.1
        REAL dx, dy;           // reference point from (x, y) + origin
    };
    const Case cases[] = {
        {"left", SYMBOL, 0, 0, 0.00432f, 0.016f, 0, 0.05f},
        // Rotated left-aligned text moves along its own up direction.
        {"left at 90 degrees", SYMBOL, 90, 0, 0.00432f, 0.016f, -0.05f, 0},
        {"left at 30 degrees", SYMBOL, 30, 0, 0.00432f, 0.016f, -0.025f, 0.0433f},
        {"centred", CENTSY, 0, 1, 0.00456f, 0.016f, 0, 0},
        {"right", SYMBOR, 0, 2, 0.00432f, 0.016f, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        driver.clear();
        c.draw(2, 3, 0.1f, "ABCD", c.angle, 4);
        EXPECT_FLOAT_EQ(widthFraction(), c.width);
        EXPECT_FLOAT_EQ(heightFraction(), c.height);
        EXPECT_EQ(textState().TextJustification, c.justification);
        EXPECT_FLOAT_EQ(textState().TextAngle, c.angle);
        ASSERT_EQ(texts(), (std::vector<std::string>{"ABCD"}));
        // The current point ends on the reference line of the text.
        const REAL a = c.angle / 57.29578f;
        const REAL along = (pointX() - (3 + c.dx)) * -std::sin(a) + (pointY() - (4 + c.dy)) * std::cos(a);
        EXPECT_NEAR(along, 0, 1e-3);
    }
}

TEST_F(PlotTextFixture, EmptyTextsDrawNothingAndKeepTheFont)
{
    SYMBOL(1, 1, 0.3f, "A", 0, 1);
    driver.clear();
    const REAL width = widthFraction(), height = heightFraction();
    for (INTEGER n : {0, -2}) {
        SYMBOL(1, 1, 0.1f, "ABC", 0, n);
        CENTSY(1, 1, 0.1f, "ABC", 0, n);
        SYMBOR(1, 1, 0.1f, "ABC", 0, n);
        EXPECT_EQ(STRINGWIDTH(0.1f, "ABC", 0, n), 0.0f);
    }
    EXPECT_TRUE(driver.ops().empty());
    EXPECT_EQ(widthFraction(), width);
    EXPECT_EQ(heightFraction(), height);
}

TEST_F(PlotTextFixture, CountsOutsideTheTextAndLimitedWidths)
{
    // n counts, not the text's length: a short text is padded, a long one cut.
    SYMBOL(1, 1, 0.1f, "ABCDEF", 0, 3);
    CENTSY(1, 2, 0.1f, "AB", 0, 4);
    EXPECT_EQ(texts(), (std::vector<std::string>{"ABC", "AB"}));
    // CENTSYLIMIT lowers the height so that the estimated width fits.
    struct Case {
        REAL h;
        INTEGER n;
        REAL wmax, drawnHeight;
    };
    const Case cases[] = {{0.2f, 10, 0.5f, 0.1f}, {0.2f, 4, 0.5f, 0.2f}};
    for (const Case& c : cases) {
        CENTSYLIMIT(5, 4, c.h, "ABCDEFGHIJ", 0, c.n, c.wmax);
        EXPECT_FLOAT_EQ(heightFraction(), 0.04f * 4 * c.drawnHeight) << c.n;
    }
    // The width is 0.43·h per nominal character.
    EXPECT_NEAR(STRINGWIDTH(0.1f, "ABCD", 0, 4), 0.43f * 0.1f * 4, 1e-5);
    // The pixel scale moves the text and enlarges it by the root of its product.
    SET_SCL(2, 0.5f);
    driver.clear();
    CENTSY(2, 2, 0.1f, "X", 0, 1);
    SET_SCL(0, 0);
    EXPECT_FLOAT_EQ(heightFraction(), 0.016f);
    EXPECT_NEAR(pointY(), 1, 1e-3);
}

TEST(PlotNumbers, MaknumWritesTheShortestFixedPointText)
{
    struct Case {
        REAL value;
        INTEGER m, ndec;
        const char* text;
        INTEGER count;
    };
    const Case cases[] = {
        {3.14159f, 20, 2, "3.14", 4},
        {3.14159f, 20, 0, "3.", 2},
        {3.14159f, 20, -1, "3.", 1},   // the digit alone: the point is not drawn
        {1.5f, 20, 12, "1.500000000", 11},
        {12.7f, 20, 0, "13.", 3},
        {-0.25f, 20, 1, "-0.2", 4},
        {0.0f, 20, -1, "0.", 1},
        {123456.0f, 5, 2, "12345", 5},  // cut to the buffer
        {3.0e38f, 20, 9, "********************", 20},
        {1000.0f, 20, 3, "1000.000", 8},
    };
    for (const Case& c : cases) {
        std::string text;
        INTEGER ndec = c.ndec;
        MAKNUM(c.value, text, c.m, ndec);
        EXPECT_EQ(text.size(), static_cast<std::size_t>(c.m)) << c.value;
        EXPECT_EQ(text.substr(0, text.find_last_not_of(' ') + 1), c.text) << c.value << " " << c.ndec;
        EXPECT_EQ(ndec, c.count) << c.value << " " << c.ndec;
    }
    // The format keeps its last decimal digit.
    EXPECT_EQ(plotTextState().NumberFormat, "(2H  ,F48.3)");
}

TEST_F(PlotTextFixture, NumbersAreDrawnWithTheirCountAndAnchor)
{
    NUMBER(1, 1, 0.1f, 3.14159f, 0, -1);
    CENTNM(5, 1, 0.1f, 2.5f, 0, 1);
    EXPECT_EQ(texts(), (std::vector<std::string>{"3", "2.5"}));
    EXPECT_EQ(textState().TextJustification, 1);
}

TEST_F(PlotTextFixture, StringFamilyPlacesItsTexts)
{
    IGrUnits(0, 0, 10, 8);
    const auto span = [&] {
        auto ops = opsOf(OpText);
        if (ops.empty()) ops.resize(1);  // reported by the text checks, not a crash
        REAL left = 0, right = 0, dummy = 0;
        YYDeviceToUnitsRotated(ops.front().Block.X1, 0, left, dummy);
        YYDeviceToUnitsRotated(ops.back().Block.X3, 0, right, dummy);
        return std::pair<REAL, REAL>{left, right};
    };
    LEFTSTRING(5, 4, "ABCD", 4);
    EXPECT_EQ(texts(), (std::vector<std::string>{"ABCD"}));
    const auto [l0, r0] = span();
    const REAL length = r0 - l0;
    EXPECT_NEAR(l0, 5, 1e-3);
    EXPECT_GT(length, 0.1f);
    driver.clear();
    CENTSTRING(5, 4, "ABCD", 4);
    const auto [l1, r1] = span();
    EXPECT_NEAR((l1 + r1) / 2, 5, 1e-3);
    driver.clear();
    RIGHTSTRING(5, 4, "ABCDEFG", 4);  // n counts, not the text
    EXPECT_EQ(texts(), (std::vector<std::string>{"ABCD"}));
    const auto [l2, r2] = span();
    EXPECT_NEAR(r2, 5, 1e-3);
    EXPECT_NEAR(r2 - l2, length, 1e-3);
    driver.clear();
    LEFTSTRING(5, 4, "ABCD", -1);
    EXPECT_TRUE(texts().empty());
}
