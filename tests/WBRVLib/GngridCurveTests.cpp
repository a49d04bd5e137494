// Frame mapping, clipping, curves, dashed lines and zoom: the mapping and the clip arithmetic as
// case tables, and curves drawn through the real graphics layer and read back from the recording
// driver as page segments.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "PlotterFixture.h"

namespace {

constexpr REAL kMissing = 1.0E20f;
constexpr REAL kNaN = std::numeric_limits<REAL>::quiet_NaN();
constexpr REAL kInf = std::numeric_limits<REAL>::infinity();

// A linear axis pair: x from firstX by stepX over stepsX steps of lengthX inches, y likewise.
GraphFrameRecord linearFrame(REAL firstX, REAL stepX, INTEGER stepsX, REAL lengthX, REAL firstY, REAL stepY,
                             INTEGER stepsY, REAL lengthY)
{
    GraphFrameRecord f;
    f.FirstTickX = firstX;
    f.StepX = stepX;
    f.StepsX = stepsX;
    f.LengthX = lengthX;
    f.FirstTickY = firstY;
    f.StepY = stepY;
    f.StepsY = stepsY;
    f.LengthY = lengthY;
    f.MinorX = f.MinorY = 5;
    f.SymbolKind = kSymbolSquare;
    FINDAS(f);
    return f;
}

// Logarithmic axes: decades from 10^firstExponent.
GraphFrameRecord logFrame(INTEGER firstX, INTEGER decadesX, REAL lengthX, INTEGER firstY, INTEGER decadesY, REAL lengthY)
{
    GraphFrameRecord f;
    f.setLogarithmic(FrameAxis::X, true);
    f.setLogarithmic(FrameAxis::Y, true);
    f.MinorX = firstX;
    f.StepsX = decadesX;
    f.LengthX = lengthX;
    f.MinorY = firstY;
    f.StepsY = decadesY;
    f.LengthY = lengthY;
    FINDAS(f);
    return f;
}

bool closeTo(REAL a, REAL b, REAL tolerance = 0.002f) { return std::fabs(a - b) <= tolerance; }

}  // namespace

TEST(FrameMapping, PageAndDataPositionsRoundTrip)
{
    struct Case {
        const char* what;
        GraphFrameRecord frame;
        bool logX, logY;
        REAL lowX, highX, lowY, highY;  // data ranges drawn from (logarithmic: exponents)
    };
    GraphFrameRecord reversed = linearFrame(10.0f, -2.0f, 5, 1.0f, 500.0f, -100.0f, 5, 1.2f);
    GraphFrameRecord leftDown = linearFrame(0.0f, 0.5f, 4, -1.5f, -3.0f, 1.0f, 6, -1.0f);
    const Case cases[] = {
        {"linear", linearFrame(0.0f, 2.0f, 5, 1.5f, -50.0f, 25.0f, 4, 1.25f), false, false, 0, 10, -50, 50},
        {"reversed steps", reversed, false, false, 0, 10, 0, 500},
        {"axes running left and down", leftDown, false, false, 0, 2, -3, 3},
        {"logarithmic", logFrame(-3, 6, 1.0f, -12, 5, 1.2f), true, true, -3, 3, -12, -7},
        {"logarithmic depth downwards", logFrame(-5, 4, 0.8f, 0, 3, -2.0f), true, true, -5, -1, 0, 3},
    };
    std::mt19937 random(26);
    for (Case c : cases) {
        SCOPED_TRACE(c.what);
        c.frame.OriginX = 1.25f;
        c.frame.OriginY = 1.5f;
        std::uniform_real_distribution<float> xs(c.lowX, c.highX), ys(c.lowY, c.highY);
        for (int i = 0; i < 200; ++i) {
            const REAL x = c.logX ? std::pow(10.0f, xs(random)) : xs(random);
            const REAL y = c.logY ? std::pow(10.0f, ys(random)) : ys(random);
            const REAL backX = XOFPL(PLOFX(x, c.frame) + c.frame.OriginX, c.frame);
            const REAL backY = YOFPL(PLOFY(y, c.frame) + c.frame.OriginY, c.frame);
            EXPECT_NEAR(backX, x, 2e-5f * std::max(1.0f, std::fabs(x))) << x;
            EXPECT_NEAR(backY, y, 2e-5f * std::max(1.0f, std::fabs(y))) << y;
            REAL px = 0, py = 0;
            PLOF_XY(x, y, px, py, c.frame);
            EXPECT_EQ(px, PLOFX(x, c.frame));
            EXPECT_EQ(py, PLOFY(y, c.frame));
        }
    }
    // The axis ends land on the frame's corners; a NaN maps to 0.0.
    const GraphFrameRecord f = linearFrame(0.0f, 2.0f, 5, 1.5f, 10.0f, -2.0f, 4, 1.0f);
    EXPECT_FLOAT_EQ(PLOFX(10.0f, f), 7.5f);
    EXPECT_FLOAT_EQ(PLOFY(10.0f, f), 0.0f);
    EXPECT_FLOAT_EQ(PLOFY(2.0f, f), 4.0f);
    EXPECT_EQ(PLOFX(kNaN, f), 0.0f);
    const GraphFrameRecord g = logFrame(-3, 6, 1.0f, 0, 2, 2.0f);
    EXPECT_NEAR(PLOFX(1e-3f, g), 0.0f, 1e-5f);
    EXPECT_NEAR(PLOFX(1e3f, g), 6.0f, 1e-5f);
    EXPECT_NEAR(PLOFY(100.0f, g), 4.0f, 1e-5f);
}

TEST(FrameMapping, LingraphAtAndJustBeyondEachLimit)
{
    const GraphFrameRecord linear = linearFrame(0.0f, 2.0f, 5, 1.0f, -1.0f, 0.5f, 4, 1.0f);   // 0..10, -1..1
    const GraphFrameRecord reversed = linearFrame(10.0f, -2.0f, 5, 1.0f, 1.0f, -0.5f, 4, 1.0f);  // 10..0, 1..-1
    const GraphFrameRecord logarithmic = logFrame(-3, 6, 1.0f, -1, 2, 1.0f);                    // 1e-3..1e3, 0.1..10
    struct Case {
        const GraphFrameRecord* frame;
        REAL x, y;
        bool inside;
    };
    const Case cases[] = {
        {&linear, 0.0f, 0.0f, true},       {&linear, 10.0f, 0.0f, true},     {&linear, 5.0f, -1.0f, true},
        {&linear, 5.0f, 1.0f, true},       {&linear, -0.001f, 0.0f, false},  {&linear, 10.001f, 0.0f, false},
        {&linear, 5.0f, -1.001f, false},   {&linear, 5.0f, 1.001f, false},   {&reversed, 0.0f, -1.0f, true},
        {&reversed, 10.0f, 1.0f, true},    {&reversed, 10.001f, 0.0f, false}, {&reversed, -0.001f, 0.0f, false},
        {&reversed, 5.0f, 1.001f, false},  {&logarithmic, 1e-3f, 0.1f, true}, {&logarithmic, 1e3f, 10.0f, true},
        {&logarithmic, 0.99e-3f, 1.0f, false}, {&logarithmic, 1.01e3f, 1.0f, false},
        {&logarithmic, 1.0f, 10.1f, false},    {&logarithmic, 1.0f, 0.099f, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isTrue(LINGRAPH(c.x, c.y, *c.frame)), c.inside) << c.x << ", " << c.y;
}

TEST(Clipping, Clip2KeepsOneSideOfABound)
{
    struct Case {
        REAL x1, y1, x2, y2, bound;
        bool lowSide, visible;
        REAL ex1, ey1, ex2, ey2;
    };
    const Case cases[] = {
        {0, 0, 4, 4, 1, true, true, 1, 1, 4, 4},     // start below the bound moves up to it
        {4, 4, 0, 0, 1, true, true, 4, 4, 1, 1},     // end below moves
        {0, 0, 0.5f, 2, 1, true, false, 0, 0, 0.5f, 2},
        {2, 0, 3, 1, 1, true, true, 2, 0, 3, 1},     // wholly above: unchanged
        {0, 0, 4, 4, 3, false, true, 0, 0, 3, 3},    // end beyond the high bound moves back
        {4, 0, 0, 4, 3, false, true, 3, 1, 0, 4},    // start beyond
        {3, 0, 5, 1, 3, false, false, 3, 0, 5, 1},   // on the bound counts as beyond for the high side
        {1, 1, 2, 2, 3, false, true, 1, 1, 2, 2},
    };
    for (const Case& c : cases) {
        REAL x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
        LOGICAL visible = kFalse;
        CLIP2(x1, y1, x2, y2, c.bound, toLogical(c.lowSide), visible);
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2 << " at " << c.bound);
        EXPECT_EQ(isTrue(visible), c.visible);
        if (!c.visible) continue;
        EXPECT_FLOAT_EQ(x1, c.ex1);
        EXPECT_FLOAT_EQ(y1, c.ey1);
        EXPECT_FLOAT_EQ(x2, c.ex2);
        EXPECT_FLOAT_EQ(y2, c.ey2);
    }
}

TEST(Clipping, ClipLnCutsASegmentToTheRectangle)
{
    struct Case {
        const char* what;
        REAL x1, y1, x2, y2;
        bool visible;
        REAL ex1, ey1, ex2, ey2;
    };
    // The rectangle 0..4 by 0..2.
    const Case cases[] = {
        {"inside", 1, 1, 3, 1.5f, true, 1, 1, 3, 1.5f},
        {"across both x bounds", -2, 1, 6, 1, true, 0, 1, 4, 1},
        {"across both y bounds", 2, -1, 2, 3, true, 2, 0, 2, 2},
        {"corner to corner beyond", -1, -0.5f, 5, 2.5f, true, 0, 0, 4, 2},
        {"out through the top", 1, 1, 3, 3, true, 1, 1, 2, 2},
        {"wholly left", -3, 0, -1, 2, false, -3, 0, -1, 2},
        {"wholly above", 0, 3, 4, 5, false, 0, 3, 4, 5},
        {"missing the corner", 3, 3, 5, 1, false, 3, 3, 5, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        REAL x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
        LOGICAL visible = kFalse;
        CLIPLN(x1, y1, x2, y2, 0, 4, 0, 2, visible);
        EXPECT_EQ(isTrue(visible), c.visible);
        EXPECT_NEAR(x1, c.ex1, 1e-6f);
        EXPECT_NEAR(y1, c.ey1, 1e-6f);
        EXPECT_NEAR(x2, c.ex2, 1e-6f);
        EXPECT_NEAR(y2, c.ey2, 1e-6f);
    }
}

namespace {

// Curves on a frame whose origin is (1, 1): 1 inch per data unit on both axes, 0..5 by 0..6, so
// that data values and frame page positions agree.
class CurveFixture : public PlotterFixture {
protected:
    void SetUp() override
    {
        PlotterFixture::SetUp();
        clipWindowState() = ClipWindowState{};
        curvePlotState() = CurvePlotState{};
        startPage();
        frame = linearFrame(0.0f, 1.0f, 5, 1.0f, 0.0f, 1.0f, 6, 1.0f);
        PLOTXY(1, 1, -kPenMove, frame);
        driver.clear();
    }
    // The drawn lines relative to the frame origin, zero-length ones left out.
    std::vector<PageSegment> lines()
    {
        std::vector<PageSegment> out;
        for (PageSegment s : segments()) {
            s.X1 -= 1;
            s.X2 -= 1;
            s.Y1 -= 1;
            s.Y2 -= 1;
            if (!(closeTo(s.X1, s.X2, 1e-4f) && closeTo(s.Y1, s.Y2, 1e-4f))) out.push_back(s);
        }
        return out;
    }
    // The lines joined into polylines wherever one starts where the previous ended.
    std::vector<std::vector<PageSegment>> polylines()
    {
        std::vector<std::vector<PageSegment>> out;
        for (const PageSegment& s : lines()) {
            if (out.empty() || !closeTo(out.back().back().X2, s.X1) || !closeTo(out.back().back().Y2, s.Y1)) out.emplace_back();
            out.back().push_back(s);
        }
        return out;
    }
    static bool same(const PageSegment& s, REAL x1, REAL y1, REAL x2, REAL y2, REAL tolerance = 0.002f)
    {
        return closeTo(s.X1, x1, tolerance) && closeTo(s.Y1, y1, tolerance) && closeTo(s.X2, x2, tolerance) &&
               closeTo(s.Y2, y2, tolerance);
    }
};

}  // namespace

TEST_F(CurveFixture, PlotcpDrawsToTheEdgeAndMovesBackFromIt)
{
    EXPECT_TRUE(isTrue(PCLIP(0.0f, 4.0f, 0.0f, 3.0f)));
    PLOTCP(1.0f, 1.0f, kPenMove, frame);
    PLOTCP(3.0f, 2.0f, kPenDraw, frame);   // inside to inside
    PLOTCP(5.0f, 3.0f, kPenDraw, frame);   // out through x = 4 at y 2.5
    PLOTCP(3.0f, 5.0f, kPenDraw, frame);   // wholly outside: nothing
    PLOTCP(3.0f, 1.0f, kPenDraw, frame);   // back in through y = 3 at x 3
    auto drawn = lines();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_TRUE(same(drawn[0], 1, 1, 3, 2));
    EXPECT_TRUE(same(drawn[1], 3, 2, 4, 2.5f));
    EXPECT_TRUE(same(drawn[2], 3, 3, 3, 1));   // starts with a move to the edge

    // A move outside draws nothing and leaves the next draw to start at the edge; pen 1 ends clipping.
    driver.clear();
    PLOTCP(-1.0f, 1.0f, kPenMove, frame);
    PLOTCP(1.0f, 1.0f, kPenDraw, frame);
    drawn = lines();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_TRUE(same(drawn[0], 0, 1, 1, 1));
    PLOTCP(1.0f, 0.0f, kPenStart, frame);
    EXPECT_FALSE(isTrue(clipWindowState().ClippingOn));
    PLOTXY(1, 1, -kPenMove, frame);
    driver.clear();
    PLOTCP(6.0f, 6.0f, kPenDraw, frame);
    ASSERT_EQ(lines().size(), 1u);
    EXPECT_TRUE(isTrue(PCLIPOFF()));
    EXPECT_TRUE(isTrue(clipWindowState().NoBounds));
    PCLIP(0, 1, 0, 1);
    EXPECT_FALSE(isTrue(clipWindowState().NoBounds));
}

TEST_F(CurveFixture, GnplotLiftsThePenAtMissingValuesReversalsAndRepeatedX)
{
    struct Case {
        const char* what;
        std::vector<REAL> x, y;
        std::vector<std::vector<INTEGER>> runs;  // the points of each drawn polyline (0-based)
    };
    const Case cases[] = {
        {"missing mark", {1, 2, 3}, {1, kMissing, 3}, {}},
        {"NaN", {1, 2, 3, 4}, {1, 2, kNaN, 3}, {{0, 1}}},
        {"infinity", {1, 2, 3, 4}, {1, 2, kInf, 3}, {{0, 1}}},
        {"minus infinity", {1, 2, 3, 4}, {1, 2, -kInf, 3}, {{0, 1}}},
        {"NaN in x", {1, 2, kNaN, 4, 4.5f}, {1, 2, 2, 3, 3}, {{0, 1}, {3, 4}}},
        {"x turns back in a rising series", {1, 2, 3, 2, 4}, {1, 2, 3, 4, 5}, {{0, 1, 2}, {3, 4}}},
        {"first and last x equal", {1, 2, 3, 2, 1}, {1, 2, 3, 4, 5}, {{0, 1, 2, 3, 4}}},
        {"x turns back in a falling series", {4, 3, 2, 3, 1}, {1, 2, 3, 4, 5}, {{0, 1, 2}, {3, 4}}},
        {"repeated x", {1, 2, 2, 3}, {1, 2, 3, 4}, {{0, 1}, {2, 3}}},
        {"repeated last x", {1, 2, 3, 3}, {1, 2, 3, 4}, {{0, 1, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        driver.clear();
        GNPLOT(c.x.data(), c.y.data(), static_cast<INTEGER>(c.x.size()), kFalse, frame);
        auto drawn = polylines();
        std::vector<std::vector<INTEGER>> runs = c.runs;
        if (c.runs.empty()) {
            EXPECT_TRUE(drawn.empty());
            continue;
        }
        ASSERT_EQ(drawn.size(), runs.size());
        for (std::size_t r = 0; r < runs.size(); ++r) {
            ASSERT_EQ(drawn[r].size() + 1, runs[r].size()) << "run " << r;
            for (std::size_t k = 0; k + 1 < runs[r].size(); ++k) {
                const auto a = static_cast<std::size_t>(runs[r][k]), b = static_cast<std::size_t>(runs[r][k + 1]);
                EXPECT_TRUE(same(drawn[r][k], c.x[a], c.y[a], c.x[b], c.y[b])) << "run " << r << " piece " << k;
            }
        }
    }
    // The gap at 1.0E20 leaves the first and the third point unjoined (each alone draws nothing).
    driver.clear();
    const REAL x[] = {1, 2, 3, 4}, y[] = {1, kMissing, 3, 4};
    GNPLOT(x, y, 4, kFalse, frame);
    const auto drawn = lines();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_TRUE(same(drawn[0], 3, 3, 4, 4));
    // The frame's connect-reversals flag keeps the folded curve in one line.
    driver.clear();
    frame.ConnectReversals = kTrue;
    const REAL fx[] = {1, 2, 3, 2, 4}, fy[] = {1, 2, 3, 4, 5};
    GNPLOT(fx, fy, 5, kFalse, frame);
    EXPECT_EQ(polylines().size(), 1u);
    // GNPLOTNOLIFT joins reversals and repeated x alike.
    driver.clear();
    frame.ConnectReversals = kFalse;
    const REAL rx[] = {1, 2, 2, 3, 1}, ry[] = {1, 2, 3, 4, 5};
    GNPLOTNOLIFT(rx, ry, 5, kFalse, frame);
    EXPECT_EQ(polylines().size(), 1u);
    EXPECT_EQ(lines().size(), 4u);
}

TEST_F(CurveFixture, GnplotClipsLinesAndKeepsSymbolsWithinTheTolerance)
{
    // A line leaving the frame is cut at its clip limit (5.001) and resumes there.
    const REAL x[] = {4, 7, 4}, y[] = {1, 1, 2};
    GNPLOT(x, y, 3, kFalse, frame);
    auto drawn = lines();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_TRUE(same(drawn[0], 4, 1, 5.001f, 1));
    EXPECT_TRUE(same(drawn[1], 5.001f, 1 + 2.001f / 3, 4, 2, 0.003f));

    // Symbols: 0.5 % beyond the clip limit still counts as inside, 2 % does not.
    struct Case {
        REAL x, y;
        bool drawn;
    };
    const REAL high = frame.ClipHighX;
    const Case cases[] = {
        {2.5f, 3.0f, true},
        {high * 1.005f, 3.0f, true},
        {high * 1.02f, 3.0f, false},
        {2.5f, frame.ClipHighY * 1.005f, true},
        {2.5f, frame.ClipHighY * 1.02f, false},
        {2.5f, kMissing, false},
        {kNaN, 3.0f, false},
    };
    for (const Case& c : cases) {
        driver.clear();
        GN_BOX(c.x, c.y, frame);
        EXPECT_EQ(lines().size(), c.drawn ? 4u : 0u) << c.x << ", " << c.y;
    }
    // The symbol's half-size: 1 % of the square root of the clip area (about 5.5 inches wide)
    // ... at most 0.03 inch; the stored symbol size factor scales it.
    driver.clear();
    SET_BOX(0.001f);
    GN_BOX(2.5f, 3.0f, frame);
    drawn = lines();
    ASSERT_EQ(drawn.size(), 4u);
    const REAL w = std::sqrt((frame.ClipHighX - frame.ClipLowX) * (frame.ClipHighY - frame.ClipLowY)) * 0.001f;
    EXPECT_TRUE(same(drawn[0], 2.5f - w, 3.0f - w, 2.5f + w, 3.0f - w, 0.006f));
    driver.clear();
    SET_BOX(0.0f);
    GN_BOX(2.5f, 3.0f, frame);
    drawn = lines();
    ASSERT_EQ(drawn.size(), 4u);
    EXPECT_TRUE(same(drawn[0], 2.47f, 2.97f, 2.53f, 2.97f, 0.006f));
}

TEST_F(CurveFixture, BoxKindsAsSegmentLists)
{
    // Around (2, 2) with w = 0.2 and h = 0.1; every figure ends with the pen on the point.
    const REAL l = 1.8f, r = 2.2f, b = 1.9f, t = 2.1f;
    const std::vector<PageSegment> square = {{l, b, r, b}, {r, b, r, t}, {r, t, l, t}, {l, t, l, b}};
    const std::vector<PageSegment> diamond = {{l, 2, 2, b}, {2, b, r, 2}, {r, 2, 2, t}, {2, t, l, 2}};
    const std::vector<PageSegment> plus = {{l, 2, r, 2}, {2, b, 2, t}};
    const std::vector<PageSegment> cross = {{l, t, r, b}, {l, b, r, t}};
    const auto join = [](std::vector<PageSegment> a, const std::vector<PageSegment>& c) {
        a.insert(a.end(), c.begin(), c.end());
        return a;
    };
    struct Case {
        INTEGER kind;
        bool flag;
        std::vector<PageSegment> figure;
    };
    const Case cases[] = {
        {1, false, square},
        {2, false, diamond},
        {3, false, plus},
        {4, false, cross},
        {5, false, join(square, cross)},
        {6, false, join(diamond, square)},
        {7, false, join(plus, diamond)},
        {8, false, join(cross, plus)},
        {9, false, {{l, b, r, b}, {r, b, 2, t}, {2, t, l, b}}},
        {10, false, {{l, 2.2f, r, 2.2f}, {r, 2.2f, 2, 2}, {2, 2, l, 2.2f}}},
        {11, false, {{1.6f, t, 2, 2}, {2, 2, 1.6f, b}, {1.6f, b, 1.6f, t}}},
        {0, false, square},
        {12, true, diamond},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        driver.clear();
        SET_SYMB(c.kind, frame);
        EXPECT_EQ(frame.SymbolKind, c.kind);
        BOX(2.0f, 2.0f, 0.2f, 0.1f, toLogical(c.flag), frame);
        const auto drawn = lines();
        ASSERT_EQ(drawn.size(), c.figure.size());
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            const PageSegment& e = c.figure[i];
            EXPECT_TRUE(same(drawn[i], e.X1, e.Y1, e.X2, e.Y2)) << "piece " << i;
        }
        EXPECT_NEAR(pointX(), 3.0f, 0.002f);
        EXPECT_NEAR(pointY(), 3.0f, 0.002f);
    }
    // Clipped: a square straddling the clip window's right edge loses what lies beyond it.
    driver.clear();
    SET_SYMB(1, frame);
    PCLIP(0.0f, 2.1f, 0.0f, 5.0f);
    BOX_CP(2.0f, 2.0f, 0.2f, 0.1f, kFalse, frame);
    for (const PageSegment& s : lines()) EXPECT_LE(std::max(s.X1, s.X2), 2.1f + 0.002f);
    EXPECT_EQ(lines().size(), 3u);
}

TEST_F(CurveFixture, DashedLinesFollowTheirPattern)
{
    // One straight segment 0.35 inch long, dash 0.1 and gap 0.05.
    const REAL x[] = {1.0f, 1.35f}, y[] = {2.0f, 2.0f};
    DS_PLOT(x, y, 2, 0.1f, 0.05f, frame);
    auto drawn = lines();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_TRUE(same(drawn[0], 1.0f, 2, 1.1f, 2));
    EXPECT_TRUE(same(drawn[1], 1.15f, 2, 1.25f, 2));
    EXPECT_TRUE(same(drawn[2], 1.3f, 2, 1.35f, 2));

    // A polyline of 0.06 inch segments is drawn whole: each segment ends inside a dash that the
    // next one starts afresh.
    driver.clear();
    std::vector<REAL> px, py;
    for (int i = 0; i <= 10; ++i) {
        px.push_back(1.0f + 0.06f * static_cast<REAL>(i));
        py.push_back(3.0f);
    }
    DS_PLOT(px.data(), py.data(), 11, 0.1f, 0.05f, frame);
    drawn = lines();
    ASSERT_EQ(drawn.size(), 10u);
    for (std::size_t i = 0; i < drawn.size(); ++i)
        EXPECT_TRUE(same(drawn[i], px[i], 3, px[i + 1], 3)) << i;

    // DS_PLOTP takes page positions as they are.
    driver.clear();
    GraphFrameRecord scaled = linearFrame(0.0f, 10.0f, 5, 1.0f, 0.0f, 10.0f, 6, 1.0f);
    DS_PLOTP(x, y, 2, 0.1f, 0.05f, scaled);
    EXPECT_EQ(lines().size(), 3u);
}

TEST_F(CurveFixture, ModelStepLineWithEqualLayersIsDrawnWhole)
{
    // A layered model as a step line (resistivity across, depth down): the second layer repeats
    // the first one's value, and the last boundary is clamped to the axis bottom, so that two
    // points repeat. The whole line must be drawn, with a solid pattern longer than any segment.
    const REAL rho[] = {1, 1, 1, 1, 3, 3, 3, 3};
    const REAL depth[] = {6, 5, 5, 4, 4, 0, 0, 0};
    DS_PLOT(rho, depth, 8, 10.0f, 0.0f, frame);
    const auto drawn = lines();
    REAL length = 0;
    for (const PageSegment& s : drawn) length += std::hypot(s.X2 - s.X1, s.Y2 - s.Y1);
    EXPECT_NEAR(length, 2 + 2 + 4, 0.01f);
    ASSERT_FALSE(drawn.empty());
    EXPECT_TRUE(closeTo(drawn.back().X2, 3) && closeTo(drawn.back().Y2, 0));
    // With dashes the pattern runs on past the repeated points to the end.
    driver.clear();
    DS_PLOT(rho, depth, 8, 0.1f, 0.05f, frame);
    const auto dashes = lines();
    ASSERT_FALSE(dashes.empty());
    EXPECT_NEAR(dashes.back().X2, 3.0f, 0.002f);
    EXPECT_LT(dashes.back().Y2, 0.2f);
}

TEST_F(CurveFixture, DashedLinesEndOnDegenerateInput)
{
    // No pattern at all, a position far off the page and missing samples: each call ends, and
    // what lies on the frame is drawn.
    const REAL x[] = {1.0f, 2.0f, 2.0f, kMissing, 3.0f, 4.0f};
    const REAL y[] = {1.0f, 1.0f, 1e9f, 2.0f, 2.0f, 2.0f};
    DS_PLOT(x, y, 2, 0.0f, 0.0f, frame);
    auto drawn = lines();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_TRUE(same(drawn[0], 1, 1, 2, 1));
    driver.clear();
    DS_PLOT(x, y, 6, 0.1f, 0.05f, frame);
    drawn = lines();
    ASSERT_FALSE(drawn.empty());
    // Nothing joins the far point and the sample after the missing one; dashes along 3..4 resume.
    for (const PageSegment& s : drawn) EXPECT_LE(std::max(s.Y1, s.Y2), frame.ClipHighY + 0.002f);
    EXPECT_TRUE(closeTo(drawn.back().X2, 4.0f) && closeTo(drawn.back().Y2, 2.0f));
    // Dash ends outside the bounds become moves; with no bounds they are drawn.
    driver.clear();
    const REAL ox[] = {4.0f, 6.0f}, oy[] = {3.0f, 3.0f};
    DS_PLOT(ox, oy, 2, 0.1f, 0.05f, frame);
    for (const PageSegment& s : lines()) EXPECT_LE(std::max(s.X1, s.X2), frame.ClipHighX + 0.002f);
    driver.clear();
    PCLIPOFF();
    DS_PLOT(ox, oy, 2, 0.1f, 0.05f, frame);
    EXPECT_GT(lines().back().X2, 5.5f);
}

TEST(FrameZoom, ZoomboxChoosesNiceLimitsAndKeepsTheFrame)
{
    // The curve graph: origin (1.25, 1.25), 5 by 6 inches.
    const auto curveGraph = [] {
        GraphFrameRecord f = linearFrame(0.0f, 20.0f, 5, 1.0f, 0.0f, 100.0f, 6, 1.0f);
        f.OriginX = 1.25f;
        f.OriginY = 1.25f;
        return f;
    };
    // Window units of a page position: x = page·1000, y = 10000 - page·1250.
    const auto wx = [](REAL page) { return static_cast<INTEGER>(std::lround(page * 1000.0f)); };
    const auto wy = [](REAL page) { return static_cast<INTEGER>(std::lround(10000.0f - page * 1250.0f)); };
    GraphFrameRecord a = curveGraph(), b = curveGraph();
    ZOOMBOX(wx(2.25f), wy(2.25f), wx(3.25f), wy(4.25f), a);   // data 20..40 by 100..300
    ZOOMBOX(wx(3.25f), wy(4.25f), wx(2.25f), wy(2.25f), b);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
    EXPECT_LE(a.FirstTickX, 20.0f);
    EXPECT_GE(a.FirstTickX + a.StepX * static_cast<REAL>(a.StepsX), 40.0f);
    EXPECT_LE(a.FirstTickY, 100.0f);
    EXPECT_GE(a.FirstTickY + a.StepY * static_cast<REAL>(a.StepsY), 300.0f);
    EXPECT_FLOAT_EQ(a.LengthX * static_cast<REAL>(a.StepsX), 5.0f);
    EXPECT_FLOAT_EQ(a.LengthY * static_cast<REAL>(a.StepsY), 6.0f);
    EXPECT_FLOAT_EQ(a.ScaleX, a.LengthX / a.StepX);  // mapping constants derived anew
    EXPECT_NEAR(a.ClipHighX, 5.001f, 1e-5f);

    // A reversed axis stays reversed: its first tick is the top of the new range.
    GraphFrameRecord r = linearFrame(500.0f, -100.0f, 5, 1.2f, 0.0f, 1.0f, 6, 1.0f);
    r.OriginX = 1.25f;
    r.OriginY = 1.25f;
    ZOOMBOX(wx(1.25f + 1.2f), wy(2.25f), wx(1.25f + 3.6f), wy(3.25f), r);  // x from 400 down to 200
    EXPECT_LT(r.StepX, 0.0f);
    EXPECT_GE(r.FirstTickX, 400.0f);
    EXPECT_LE(r.FirstTickX + r.StepX * static_cast<REAL>(r.StepsX), 200.0f);
    EXPECT_FLOAT_EQ(r.LengthX * static_cast<REAL>(r.StepsX), 6.0f);
    EXPECT_GT(PLOFX(200.0f, r), PLOFX(400.0f, r));

    // A logarithmic axis keeps at least one decade, and its page length.
    GraphFrameRecord g = logFrame(-6, 5, 1.0f, -3, 6, 1.0f);
    g.OriginX = 1.25f;
    g.OriginY = 1.25f;
    ZOOMBOX(wx(1.25f + 2.1f), wy(1.25f + 1.1f), wx(1.25f + 2.3f), wy(1.25f + 4.5f), g);
    EXPECT_EQ(g.MinorX, -4);
    EXPECT_EQ(g.StepsX, 1);
    EXPECT_FLOAT_EQ(g.LengthX, 5.0f);
    EXPECT_EQ(g.MinorY, -2);
    EXPECT_EQ(g.StepsY, 4);
    EXPECT_FLOAT_EQ(g.LengthY, 1.5f);
    EXPECT_EQ(g.StepX, 0.0f);

    // One axis at a time, without the reversed-axis handling.
    GraphFrameRecord x = curveGraph();
    ZOOMBOXX(wx(2.25f), wx(3.25f), x);
    EXPECT_FLOAT_EQ(x.LengthX * static_cast<REAL>(x.StepsX), 5.0f);
    EXPECT_EQ(x.StepsY, 6);
    GraphFrameRecord z = linearFrame(500.0f, -100.0f, 5, 1.2f, 0.0f, 100.0f, 6, 1.0f);
    z.OriginX = z.OriginY = 1.25f;
    ZOOMBOXZ(wy(2.25f), wy(4.25f), z);
    EXPECT_GT(z.StepY, 0.0f);
    EXPECT_EQ(z.StepX, -100.0f);
}

TEST(FrameZoom, WindowPositionsAxisFieldsAndScales)
{
    GraphFrameRecord f = linearFrame(0.0f, 20.0f, 5, 1.0f, 0.0f, 100.0f, 6, 1.0f);
    f.OriginX = 1.25f;
    f.OriginY = 1.2f;
    REAL x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    // Page (2.25, 2.2) and (3.25, 4.2): one and two inches into the frame across, one and three up.
    LINEBACK(2250, 7250, 3250, 4750, x1, y1, x2, y2, f);
    EXPECT_NEAR(x1, 20.0f, 1e-3f);
    EXPECT_NEAR(x2, 40.0f, 1e-3f);
    EXPECT_NEAR(y1, 100.0f, 1e-2f);
    EXPECT_NEAR(y2, 300.0f, 1e-2f);
    REAL sx = 0, sy = 0;
    GET_WSCL(sx, sy, f);
    EXPECT_FLOAT_EQ(sx, 20.0f);
    EXPECT_FLOAT_EQ(sy, 100.0f);
    GraphFrameRecord g = logFrame(-3, 6, 1.0f, 0, 2, 2.0f);
    GET_WSCL(sx, sy, g);
    EXPECT_EQ(sx, 1.0f);
    EXPECT_EQ(sy, 1.0f);

    // Saved axis fields come back after a zoom; the origin and flags are not part of them.
    curvePlotState() = CurvePlotState{};
    const GraphFrameRecord before = f;
    GTODPL(f);
    ZOOMBOX(2250, 7000, 3250, 4000, f);
    f.OriginX = 2.0f;
    DPLTOG(f);
    EXPECT_EQ(f.LengthX, before.LengthX);
    EXPECT_EQ(f.StepY, before.StepY);
    EXPECT_EQ(f.StepsX, before.StepsX);
    EXPECT_EQ(f.OffsetY, before.OffsetY);
    EXPECT_EQ(f.MinorY, before.MinorY);
    EXPECT_EQ(f.OriginX, 2.0f);
}

TEST_F(CurveFixture, FillsAndCrossHair)
{
    // A fill is limited to the clip limits and dropped when nothing is left of it.
    GNFILL(-1.0f, 1.0f, 2.0f, 9.0f, 3.0f, 4, frame);
    const auto fills = opsOf(OpQuadSolid);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].ColourIndex, 4);
    // Its corners: x from the clip limit -0.001 to 2, y from 1 to the clip limit 6.001, all shifted
    // by the origin (1, 1).
    REAL xmin = 1e9f, xmax = -1e9f, ymin = 1e9f, ymax = -1e9f;
    const REAL corners[] = {fills[0].Block.X1, fills[0].Block.Y1, fills[0].Block.X2, fills[0].Block.Y2,
                            fills[0].Block.X3, fills[0].Block.Y3, fills[0].Block.X4, fills[0].Block.Y4};
    for (int i = 0; i < 8; i += 2) {
        REAL pageX = 0, pageY = 0;
        YYDeviceToUnitsRotated(corners[i], corners[i + 1], pageX, pageY);
        xmin = std::min(xmin, pageX);
        xmax = std::max(xmax, pageX);
        ymin = std::min(ymin, pageY);
        ymax = std::max(ymax, pageY);
    }
    EXPECT_NEAR(xmin, 1.0f, 0.005f);
    EXPECT_NEAR(xmax, 3.0f, 0.005f);
    EXPECT_NEAR(ymin, 2.0f, 0.005f);
    EXPECT_NEAR(ymax, 7.001f, 0.005f);
    driver.clear();
    GNFILL(6.0f, 1.0f, 7.0f, 2.0f, 1.0f, 4, frame);
    EXPECT_TRUE(opsOf(OpQuadSolid).empty());

    // The cross-hair: two lines in exclusive-or in the cursor colour, the pen colour kept.
    driver.clear();
    SET_PEN(3);
    SETCURSIZE(0.2f, 0.0f);
    SETCURMODE(11);
    GRFCUR(2.0f, 3.0f, frame);
    const auto drawn = lines();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_TRUE(same(drawn[0], 2, 2.7f, 2, 3.3f));
    EXPECT_TRUE(same(drawn[1], 1.8f, 3, 2.2f, 3));
    for (const RecordedOp& op : opsOf(OpLine)) EXPECT_EQ(op.ColourIndex, 11);
    EXPECT_FALSE(plotPenState().XorMode);
    INTEGER pen = 0;
    GET_PEN(pen);
    EXPECT_EQ(pen, 3);
}

TEST_F(CurveFixture, CurveEntriesColourBranchesSignsAndLiftOutside)
{
    const REAL x[] = {1, 2, 3, 2, 4}, y[] = {1, 2, 3, 4, 5};
    const auto colours = [&] {
        std::vector<INTEGER> out;
        for (const RecordedOp& op : opsOf(OpLine)) {
            REAL x1 = 0, y1 = 0, x2 = 0, y2 = 0;
            YYDeviceToUnitsRotated(op.Block.X1, op.Block.Y1, x1, y1);
            YYDeviceToUnitsRotated(op.Block.X2, op.Block.Y2, x2, y2);
            if (!(closeTo(x1, x2, 1e-4f) && closeTo(y1, y2, 1e-4f))) out.push_back(op.ColourIndex);
        }
        return out;
    };
    // Exclusive-or: the branch after the reversal in the alternate colour, a pixel higher.
    SET_PEN(3);
    XORON();
    GNPLOTXOR(x, y, 5, kFalse, frame);
    XOROFF();
    auto drawn = lines();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_TRUE(same(drawn[2], 2, 4.01f, 4, 5.01f));
    EXPECT_EQ(colours(), (std::vector<INTEGER>{3, 3, 4}));
    INTEGER pen = 0;
    GET_PEN(pen);
    EXPECT_EQ(pen, 3);
    // Pens 11 and up alternate with the pen below.
    driver.clear();
    SET_PEN(12);
    XORON();
    GNPLOTXOR(x, y, 5, kFalse, frame);
    XOROFF();
    EXPECT_EQ(colours(), (std::vector<INTEGER>{12, 12, 11}));

    // Signs: lines into negative values in the alternate colour.
    driver.clear();
    SET_PEN(3);
    GraphFrameRecord signed_ = linearFrame(0.0f, 1.0f, 5, 1.0f, -3.0f, 1.0f, 6, 1.0f);
    const REAL sx[] = {1, 2, 3, 4, 5}, sy[] = {1, 2, -1, -2, 1};
    GNPLOTSIGN(sx, sy, 5, kFalse, signed_);
    EXPECT_EQ(colours(), (std::vector<INTEGER>{3, 4, 4, 3}));
    GET_PEN(pen);
    EXPECT_EQ(pen, 3);

    // Direct: no clipping, the pen lifted at every point outside the clip limits.
    driver.clear();
    const REAL dx[] = {1, 2, 7, 3, 4}, dy[] = {1, 1, 1, 2, 2};
    GNPLOTDIRECT(dx, dy, 5, kFalse, frame);
    drawn = lines();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_TRUE(same(drawn[0], 1, 1, 2, 1));
    EXPECT_TRUE(same(drawn[1], 3, 2, 4, 2));
}

TEST_F(CurveFixture, DsplotStartsTheDashPatternAfreshWhereXTurnsBack)
{
    // The first segment (0.9 inch) ends inside a gap; where x turns back a new run starts with a
    // dash at once, where one call would first finish the gap.
    const REAL x[] = {1.0f, 1.9f, 1.5f}, y[] = {1.0f, 1.0f, 1.3f};
    DSPLOT(x, y, 3, 0.3f, 0.2f, frame);
    auto drawn = lines();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_TRUE(same(drawn[2], 1.9f, 1.0f, 1.66f, 1.18f, 0.003f));
    driver.clear();
    DS_PLOT(x, y, 3, 0.3f, 0.2f, frame);
    drawn = lines();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_TRUE(same(drawn[2], 1.82f, 1.06f, 1.58f, 1.24f, 0.003f));
}

TEST_F(CurveFixture, SymbolPlottersFillsAndSlopeLine)
{
    // Small symbols: a cross where flagged, else a square, none outside the clip limits.
    const REAL x[] = {1, 2, 9}, y[] = {1, 2, 1};
    const LOGICAL flags[] = {kTrue, kFalse, kFalse};
    GNPLTM(x, y, 3, flags, frame);
    auto drawn = lines();
    ASSERT_EQ(drawn.size(), 6u);
    EXPECT_TRUE(same(drawn[0], 0.97f, 1.03f, 1.03f, 0.97f));
    EXPECT_TRUE(same(drawn[2], 1.97f, 1.97f, 2.03f, 1.97f));
    // Sized symbols: the size in y units, at least 0.025.
    driver.clear();
    const REAL sizes[] = {0.1f, 0.01f, 0.1f};
    GNPLTS(x, y, sizes, flags, 3, frame);
    drawn = lines();
    ASSERT_EQ(drawn.size(), 6u);
    EXPECT_TRUE(same(drawn[0], 0.9f, 1.1f, 1.1f, 0.9f));
    EXPECT_TRUE(same(drawn[2], 1.975f, 1.975f, 2.025f, 1.975f));
    // Coloured by code: a line in the code's pen.
    driver.clear();
    const INTEGER codes[] = {0, 4, 1}, pens[] = {5, 6, 7, 8, 9};
    GNPLTL(x, y, 3, codes, pens, kFalse, frame);
    const auto coloured = opsOf(OpLine);
    ASSERT_FALSE(coloured.empty());
    EXPECT_EQ(coloured.back().ColourIndex, 9);
    EXPECT_EQ(lines().size(), 1u);

    // A slope-1 line through the frame's centre, cut at the clip limits.
    driver.clear();
    DRAWANGLINE(frame, 1.0f);
    drawn = lines();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_TRUE(same(drawn[0], -0.001f, 0.499f, 5.001f, 5.501f));

    // A polygon kept 0.01 inch inside the clip limits; the page cleared in white.
    driver.clear();
    const REAL px[] = {-2, 3, 3}, py[] = {1, 1, 9};
    GNPOLYFILL(px, py, 3, 6, frame);
    const auto triangles = opsOf(OpTriangleSolid);
    ASSERT_EQ(triangles.size(), 1u);
    EXPECT_EQ(triangles[0].ColourIndex, 6);
    const DriverParameterBlock& t = triangles[0].Block;
    REAL minX = 1e9f, maxY = -1e9f;
    for (const auto& [dx, dy] : {std::pair{t.X1, t.Y1}, std::pair{t.X2, t.Y2}, std::pair{t.X3, t.Y3}}) {
        REAL ux = 0, uy = 0;
        YYDeviceToUnitsRotated(dx, dy, ux, uy);
        minX = std::min(minX, ux - 1);
        maxY = std::max(maxY, uy - 1);
    }
    EXPECT_NEAR(minX, 0.009f, 0.005f);
    EXPECT_NEAR(maxY, 5.991f, 0.005f);
    driver.clear();
    PAGECLEAR();
    ASSERT_EQ(opsOf(OpQuadSolid).size(), 1u);
    EXPECT_EQ(opsOf(OpQuadSolid)[0].ColourIndex, 15);
}
