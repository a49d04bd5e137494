// Graph frames and axes: nice scales as case tables, the mapping constants, and frames drawn
// through the real graphics layer and read back from the recording driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "PlotterFixture.h"
#include "toolkit/graphics/GraphicsText.h"

TEST(NiceScales, LinnxChoosesAxesCoveringTheRange)
{
    struct Case {
        REAL low, high, first, step;
        INTEGER steps;
    };
    const Case cases[] = {
        {0.0f, 7.3f, 0.0f, 2.0f, 4},
        {5.0f, 5.0f, -10.0f, 5.0f, 5},
        {-1000.0f, -900.0f, -1000.0f, 50.0f, 2},
        {2.5f, 3.0f, 2.4f, 0.2f, 3},
        {0.0f, 1.0f, 0.0f, 0.5f, 2},
        {-3.0f, 7.0f, -5.0f, 5.0f, 3},
    };
    for (const Case& c : cases) {
        REAL first = 0, step = 0;
        INTEGER steps = 0, minor = 0;
        LINNX(c.low, c.high, first, step, steps, minor);
        EXPECT_NEAR(first, c.first, 1e-5f * std::max(1.0f, std::fabs(c.first))) << c.low << ".." << c.high;
        EXPECT_FLOAT_EQ(step, c.step) << c.low << ".." << c.high;
        EXPECT_EQ(steps, c.steps) << c.low << ".." << c.high;
        EXPECT_EQ(minor, 5);
    }
}

TEST(NiceScales, LinnxEndsOnNearlyConstantRanges)
{
    // In single precision the tick search stalls once the scaled range lies near 1e9; every range
    // must still end with an axis that covers it.
    std::mt19937 random(20261210);
    std::uniform_real_distribution<float> mantissa(1.0f, 10.0f);
    std::uniform_int_distribution<int> exponent(-12, 12), ulps(0, 8), sign(0, 1);
    const auto covers = [](REAL low, REAL high, REAL first, REAL step, INTEGER steps) {
        const double slack = std::max(std::fabs(low), std::fabs(high)) * 2.0e-7;
        const double top = static_cast<double>(first) + steps * static_cast<double>(step);
        return step > 0.0f && steps >= 1 && steps <= 10 && first <= low + slack && top >= high - slack;
    };
    int failures = 0;
    for (int i = 0; i < 100000; ++i) {
        REAL low = 1.0f, high = 1.0000001f;
        if (i > 0) {
            low = mantissa(random) * std::pow(10.0f, static_cast<float>(exponent(random))) * (sign(random) ? -1.0f : 1.0f);
            high = low;
            for (int u = ulps(random); u > 0; --u) high = std::nextafter(high, 1e38f);
        }
        REAL first = 0, step = 0;
        INTEGER steps = 0, minor = 0;
        LINNX(low, high, first, step, steps, minor);
        if (!covers(low, high, first, step, steps) && ++failures <= 5)
            ADD_FAILURE() << low << ".." << high << " gave " << first << " + " << steps << " x " << step;
    }
    EXPECT_EQ(failures, 0);
}

TEST(NiceScales, DecadesDecimalsAndExtremes)
{
    struct DecadeCase {
        REAL low, high;
        INTEGER first, last;
    };
    const DecadeCase decades[] = {
        {0.002f, 350.0f, -3, 3},
        {1.0f, 1.0f, 0, 1},
        {0.01f, 0.5f, -3, 0},   // an exact power below 1 starts a decade lower
        {10.0f, 100.0f, 1, 3},  // one at or above 1 ends a decade higher
        {-50.0f, -2.0f, 1, 1 + 1},
    };
    for (const DecadeCase& c : decades) {
        INTEGER first = 0, last = 0;
        LOGNX(c.low, c.high, first, last);
        EXPECT_EQ(first, c.first) << c.low;
        EXPECT_EQ(last, c.last) << c.high;
    }
    INTEGER first = 0, last = 0;
    LOG2NX(3.0f, 20.0f, first, last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 5);
    LOG2NX(0.0f, -1.0f, first, last);  // no power of 2: defined, not undefined behaviour
    EXPECT_GT(last, first);

    struct SignificanceCase {
        REAL value;
        INTEGER decimals;
    };
    const SignificanceCase significance[] = {
        {0.0f, -1}, {25.0f, -1}, {25.5f, 1}, {0.25f, 3}, {-7.0f, -1}, {150.5f, 0}, {2.5f, 2}, {1.0e12f, -1},
    };
    for (const SignificanceCase& c : significance) EXPECT_EQ(JSIG(c.value), c.decimals) << c.value;

    const REAL a[] = {0.0f, -5.0f, std::nanf(""), 1.0e-16f, 2.0e15f, 0.5f, 3.0f};
    REAL amin = 1.0e30f, amax = 0.0f;
    GETNX(a, 7, amin, amax);
    EXPECT_EQ(amin, 0.5f);
    EXPECT_EQ(amax, 5.0f);
    GETNX(a, 0, amin, amax);
    EXPECT_EQ(amin, 0.5f);
    const INTEGER ia[] = {4, -2, 9};
    INTEGER imin = 0, imax = 0;
    IFNDNX(ia, 3, imin, imax);
    EXPECT_EQ(imin, -2);
    EXPECT_EQ(imax, 9);

    REAL figFirst = 0, figStep = 0;
    INTEGER figMinor = 0;
    FIGLIM(0.0f, 7.3f, figFirst, figStep, figMinor, 4);
    EXPECT_EQ(figFirst, 0.0f);
    EXPECT_FLOAT_EQ(figStep, 2.0f);
    EXPECT_EQ(figMinor, 4);
    FIGLIM(12.0f, 13.0f, figFirst, figStep, figMinor, 1);  // at least two divisions
    EXPECT_LE(figFirst, 12.0f);
    EXPECT_GE(figFirst + 2 * figStep, 13.0f);
}

TEST(FrameMapping, AxisLimitsAndMappingConstants)
{
    GraphFrameRecord f;
    f.LengthX = 1.25f;
    f.LengthY = 1.0f;
    f.setLogarithmic(FrameAxis::X, true);
    X_AXIS(0.002f, 350.0f, f);
    EXPECT_EQ(f.MinorX, -3);
    EXPECT_EQ(f.StepsX, 6);
    EXPECT_EQ(f.StepX, 0.0f);
    Y_AYIS(0.0f, 7.3f, f);
    EXPECT_EQ(f.StepY, 2.0f);
    EXPECT_EQ(f.StepsY, 4);
    FINDAS(f);
    EXPECT_FLOAT_EQ(f.ScaleX, 1.0f);
    EXPECT_FLOAT_EQ(f.OffsetX, 3.75f);  // the first exponent's position
    EXPECT_FLOAT_EQ(f.ClipLowX, -0.001f);
    EXPECT_FLOAT_EQ(f.ClipHighX, 7.501f);
    EXPECT_FLOAT_EQ(f.ScaleY, 0.5f);
    EXPECT_FLOAT_EQ(f.OffsetY, 0.0f);
    EXPECT_FLOAT_EQ(f.ClipHighY, 4.001f);

    // Axes running left and down.
    f.LengthX = -1.0f;
    f.LengthY = -1.5f;
    f.StepsY = 4;
    f.setLogarithmic(FrameAxis::Y, true);
    f.MinorY = 1;
    FINDAS(f);
    // A leftward x axis is clipped with the margin of a rightward one, its origin end included.
    EXPECT_FLOAT_EQ(f.ClipLowX, -6.0f - 0.001f);
    EXPECT_FLOAT_EQ(f.ClipHighX, 0.001f);
    EXPECT_FLOAT_EQ(f.ClipLowY, -6.0f + 0.001f);
    EXPECT_FLOAT_EQ(f.ClipHighY, -0.001f);
    EXPECT_FLOAT_EQ(f.OffsetY, 1.5f);
}

namespace {

// Frames drawn at the origin (1, 1) of the page.
class FrameFixture : public PlotterFixture {
protected:
    void SetUp() override
    {
        PlotterFixture::SetUp();
        startPage();
        WGrTextFont(101);  // fixed pitch: one text op per number
        PLOTXY(1, 1, -kPenMove, frame);
        driver.clear();
    }
    static GraphFrameRecord linearFrame(INTEGER xSteps, REAL xLength, INTEGER ySteps, REAL yLength)
    {
        GraphFrameRecord f;
        f.StepsX = xSteps;
        f.LengthX = xLength;
        f.StepsY = ySteps;
        f.LengthY = yLength;
        f.StepX = f.StepY = 1.0f;
        f.MinorX = f.MinorY = 5;
        return f;
    }
    // The length of the first tick hanging from the top border.
    REAL hangingTick(const GraphFrameRecord& f)
    {
        const REAL x = plotPenState().OriginX + f.LengthX;
        const REAL top = plotPenState().OriginY + static_cast<REAL>(f.StepsY) * f.LengthY;
        for (const PageSegment& s : segments())
            if (s.X1 == s.X2 && std::fabs(s.X1 - x) < 0.002f && std::fabs(s.Y2 - top) < 0.002f) return s.Y2 - s.Y1;
        return -1;
    }
};

}  // namespace

TEST_F(FrameFixture, TickLengthAndBorderDoubling)
{
    struct Case {
        const char* what;
        GraphFrameRecord frame;
        bool singleBorder;
        REAL tick;
        bool doubled;
    };
    const Case cases[] = {
        {"8 by 5, capped by the y length", linearFrame(4, 2.0f, 5, 1.0f), false, 0.2f, false},
        {"15 by 7.5", linearFrame(10, 1.5f, 6, 1.25f), false, 0.25f, true},
        {"15 by 7.5, single border", linearFrame(10, 1.5f, 6, 1.25f), true, 0.25f, false},
        {"2 by 2, too short a tick", linearFrame(2, 1.0f, 2, 1.0f), false, 0.12f, false},
    };
    // Near the page's lower-left corner, so that the 7.5 inch high frame fits the page.
    PLOTXY(0.2f, 0.2f, -kPenMove, frame);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        driver.clear();
        GraphFrameRecord f = c.frame;
        f.SingleBorder = toLogical(c.singleBorder);
        GNGRID(f);
        EXPECT_NEAR(hangingTick(f), c.tick, 0.002f);
        const auto lines = segments();
        const bool doubled = std::any_of(lines.begin(), lines.end(), [](const PageSegment& s) {
            return s.X1 == s.X2 && std::fabs(s.X1 - 0.21f) < 0.002f;
        });
        EXPECT_EQ(doubled, c.doubled);
    }
}

TEST_F(FrameFixture, TwoByTwoFrameSegments)
{
    GraphFrameRecord f = linearFrame(2, 1.0f, 2, 1.0f);
    GNGRID(f);
    const PageSegment expected[] = {
        {1, 1, 1, 3},          // left border
        {2, 2.88f, 2, 3},      // tick hanging from the top
        {3, 3, 3, 1},          // right border
        {1, 1, 3, 1},          // bottom border
        {2.88f, 2, 3, 2},      // tick pointing in from the right
        {3, 3, 1, 3},          // top border
    };
    const auto lines = segments();
    ASSERT_EQ(lines.size(), std::size(expected));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NEAR(lines[i].X1, expected[i].X1, 0.002f) << i;
        EXPECT_NEAR(lines[i].Y1, expected[i].Y1, 0.002f) << i;
        EXPECT_NEAR(lines[i].X2, expected[i].X2, 0.002f) << i;
        EXPECT_NEAR(lines[i].Y2, expected[i].Y2, 0.002f) << i;
    }
    EXPECT_TRUE(texts().empty());
    // Negative y steps drop the inner horizontal ticks; negative x steps the whole horizontal pass.
    driver.clear();
    f = linearFrame(2, 1.0f, -2, 1.0f);
    GNGRID(f);
    EXPECT_EQ(f.StepsY, 2);
    EXPECT_EQ(segments().size(), 5u);
    driver.clear();
    f = linearFrame(-2, 1.0f, 2, 1.0f);
    GNGRID(f);
    EXPECT_EQ(segments().size(), 3u);
    // Nothing at all for an empty frame.
    driver.clear();
    f = linearFrame(0, 1.0f, 2, 1.0f);
    GNGRID(f);
    EXPECT_TRUE(driver.ops().empty());
}

TEST_F(FrameFixture, LinearAxisNumbers)
{
    struct Case {
        const char* what;
        REAL first, step;
        INTEGER steps;
        std::vector<std::string> numbers;
    };
    const Case cases[] = {
        {"thousandths in milli", 0.001f, 0.001f, 4, {"1m", "2m", "3m", "4m", "5m"}},
        {"whole numbers", 0.0f, 2.0f, 4, {"0", "2", "4", "6", "8"}},
        {"decimals kept, zeros dropped", 2.4f, 0.2f, 3, {"2.4", "2.6", "2.8", "3"}},
    };
    for (const Case& c : cases) {
        driver.clear();
        LNHAX(0, 0, 0.1f, c.first, c.step, 1.0f, 0.1f, 5, c.steps, frame);
        EXPECT_EQ(texts(), c.numbers) << c.what;
    }
    // Wide numbers go on every k-th tick, whichever way the axis runs.
    for (REAL length : {0.3f, -0.3f}) {
        driver.clear();
        LNHAX(5, 0, 0.1f, 1000, 1000, length, 0.1f, 5, 6, frame);
        EXPECT_EQ(texts(), (std::vector<std::string>{"1000", "4000", "7000"})) << length;
    }
    driver.clear();
    LNVAX(0, 0, 0.1f, -1.5f, 0.5f, 1.0f, 0.1f, 1, 3, frame);
    EXPECT_EQ(texts(), (std::vector<std::string>{"-1.5", "-1", "-0.5", "0"}));
}

TEST_F(FrameFixture, LogarithmicLabelsPlainInsideMinusThreeToThree)
{
    LGHAX(0, 0, 0.1f, 0.5f, 0.1f, -4, 8);
    EXPECT_EQ(texts(), (std::vector<std::string>{"10", "-4", "0.001", "0.01", "0.1", "1", "10", "100", "1000", "10", "4"}));
    driver.clear();
    GraphFrameRecord f;
    LGVAX(0, 0, 0.1f, 1.0f, 0.1f, 2, 2, f);
    EXPECT_EQ(texts(), (std::vector<std::string>{"100", "1000", "10", "4"}));
}

TEST_F(FrameFixture, APowerOfTenReadsAsOneNumberBesideItsTick)
{
    // Characters as the screen receives them (one op each), in page inches from the plot origin:
    // where each starts on its centre line, and its cell's width and height.
    constexpr REAL kOriginX = 2.0f, kOriginY = 1.0f;
    struct Glyph {
        char C;
        REAL X, Y, W, H;
    };
    const auto glyphs = [&] {
        std::vector<Glyph> out;
        for (const RecordedOp& r : opsOf(OpText)) {
            REAL x = 0, y = 0, x2 = 0, y2 = 0;
            YYDeviceToUnitsRotated(r.Block.X1, r.Block.Y1, x, y);
            YYDeviceToUnitsRotated(r.Block.X1 + r.Block.X2, r.Block.Y1 + r.Block.Y2, x2, y2);
            out.push_back({r.Text.at(0), x - kOriginX, y - kOriginY, x2 - x, y2 - y});
        }
        return out;
    };
    // The power "10" followed by the exponent's characters, from position at in the glyphs.
    struct Power {
        Glyph One, Zero;
        std::vector<Glyph> Exponent;
        REAL left() const { return One.X; }
        REAL right() const { return Exponent.back().X + 0.5f * Exponent.back().W; }
    };
    const auto powerAt = [](const std::vector<Glyph>& g, std::size_t at, std::size_t digits) {
        Power p{g.at(at), g.at(at + 1), {}};
        for (std::size_t k = 0; k < digits; ++k) p.Exponent.push_back(g.at(at + 2 + k));
        return p;
    };
    const auto readsAsOne = [](const Power& p, const char* where) {
        SCOPED_TRACE(where);
        ASSERT_EQ(p.One.C, '1');
        ASSERT_EQ(p.Zero.C, '0');
        // The exponent starts right after the "0" (within one character of the "10") ...
        const REAL after = p.Exponent.front().X - p.Zero.X;
        EXPECT_GT(after, 0.0f);
        EXPECT_LT(after, p.Zero.W);
        // ... smaller, its centre line raised by about half the "10"'s height, so that its lower
        // part lies beside the upper part of the "10".
        EXPECT_LT(p.Exponent.front().H, p.Zero.H);
        const REAL raise = p.Exponent.front().Y - p.Zero.Y;
        EXPECT_GT(raise, 0.3f * p.Zero.H);
        EXPECT_LT(raise, 0.8f * p.Zero.H);
        for (const Glyph& e : p.Exponent) EXPECT_FLOAT_EQ(e.Y, p.Exponent.front().Y);
    };
    startPage();
    PLOTXY(kOriginX, kOriginY, -kPenMove, frame);

    // Along the time axis: 1e-4 at its start, 1e5 inside, 1e6 at its end; decades of 0.6 inch.
    const REAL length = 0.6f, h = 0.15f;
    LGHAX(0, 0, h, length, h, -4, 10);
    std::vector<Glyph> g = glyphs();
    ASSERT_EQ(g.size(), 35u);  // 10-4, seven plain numbers (22 characters), 104, 105, 106
    const Power start = powerAt(g, 0, 2), inside = powerAt(g, 29, 1), end = powerAt(g, 32, 1);
    readsAsOne(start, "axis start");
    readsAsOne(inside, "inside");
    readsAsOne(end, "axis end");
    // Centred on its tick inside the axis, kept within the axis at its ends.
    EXPECT_NEAR(0.5f * (inside.left() + inside.right()), 9 * length, 0.5f * h);
    EXPECT_GE(start.left(), 0.0f);
    EXPECT_LE(end.right(), 10 * length + 0.01f);
    // On the row of the plain numbers, below the ticks.
    EXPECT_NEAR(inside.Zero.Y, g.at(4).Y, 0.01f);
    EXPECT_LT(inside.Exponent.front().Y + 0.5f * inside.Exponent.front().H, -h);

    // Along the value axis, left of its ticks: 1e-4 at the bottom, 1e4 and 1e5 above.
    driver.clear();
    GraphFrameRecord f;
    LGVAX(0, 0, h, length, h, -4, 9, f);
    g = glyphs();
    ASSERT_EQ(g.size(), 32u);  // 10-4, seven plain numbers (22 characters), 104, 105
    const Power bottom = powerAt(g, 0, 2), middle = powerAt(g, 26, 1), top = powerAt(g, 29, 1);
    readsAsOne(bottom, "axis bottom");
    readsAsOne(middle, "value axis");
    EXPECT_LE(middle.right(), -h);
    EXPECT_NEAR(middle.Zero.Y, 8 * length, 0.01f);
    EXPECT_LT(top.Exponent.front().Y, 9 * length);
}

TEST_F(FrameFixture, ExtentsWidenByLinesAndNumbers)
{
    GraphFrameRecord f = linearFrame(2, 1.0f, 2, 1.0f);
    f.LeftmostX = 0.5f;
    f.RightmostX = 0.5f;
    f.LowestY = 0.0f;
    GNGRID(f);
    EXPECT_FLOAT_EQ(f.LeftmostX, 0.0f);
    EXPECT_FLOAT_EQ(f.RightmostX, 2.0f);
    EXPECT_FLOAT_EQ(f.LowestY, 0.0f);

    f = linearFrame(2, 1.0f, 2, 1.0f);
    f.FirstTickX = 100;
    f.StepX = 100;
    f.NumberBottom = f.NumberLeft = f.NumberRight = kTrue;
    GNGRID(f);
    EXPECT_LT(f.LeftmostX, -0.12f);
    EXPECT_GT(f.RightmostX, 2.12f);
    EXPECT_LT(f.LowestY, -0.12f);
    const auto numbers = texts();
    EXPECT_EQ(std::count(numbers.begin(), numbers.end(), "200"), 1);
    EXPECT_EQ(std::count(numbers.begin(), numbers.end(), "2"), 2);  // left and right

    // A logarithmic axis draws with step 0.0 and widens the extents by its exponents.
    f = linearFrame(2, 1.0f, 3, 1.0f);
    f.setLogarithmic(FrameAxis::Y, true);
    f.MinorY = 4;
    f.NumberLeft = kTrue;
    driver.clear();
    GNGRID(f);
    EXPECT_LT(f.LeftmostX, -0.12f);
    EXPECT_EQ(texts().front(), "10");
}
