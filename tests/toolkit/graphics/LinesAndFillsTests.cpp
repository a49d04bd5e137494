// Lines, the clipper, fill styles and the fill protocol, seen through a recording driver; polygon
// decomposition and shaded triangles.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

#include "RecordingDriver.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/ShadedPolygons.h"
#include "toolkit/graphics/StrokeFonts.h"

namespace {

// A 640 x 480 drawable with units 0..640 x 0..480 (one unit a little over a pixel).
class PrimitiveFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGraphicsForTest();
        IGrUnits(0, 0, 640, 480);
        libraryErrorState().LastErrorNumber = 0;
        driver.clear();
    }
    void TearDown() override { graphicsState().HardcopyActive = 0; }
    static INTEGER lastError() { return libraryErrorState().LastErrorNumber; }
    RecordingDriver driver;
};

const REAL kInf = std::numeric_limits<REAL>::infinity();

}  // namespace

TEST_F(PrimitiveFixture, ClipperCases)
{
    const REAL top = 479.99f, right = 639.99f;
    struct Case {
        const char* what;
        REAL x1, y1, x2, y2;
        bool visible;
        REAL cx1, cy1, cx2, cy2;  // checked only when visible
    };
    const Case cases[] = {
        {"inside, within the margin", -0.0005f, 0, 100, 480.0f - 0.0105f, true, -0.0005f, 0, 100, 480.0f - 0.0105f},
        {"out across the top", 100, 400, 200, 600, true, 100, 400, 140.00f, top},
        {"through left and right", -100, 100, 800, 109, true, 0, 101, right, 107.4f},
        {"beside the window", -100, 100, -10, 300, false, 0, 0, 0, 0},
        {"column clamped in y", 50.2f, -20, 50.7f, 900, true, 50.2f, 0, 50.7f, top},
        {"column left of the window", -3.2f, -20, -3.7f, 900, false, 0, 0, 0, 0},
        {"row clamped in x", -20, 30.2f, 900, 30.4f, true, 0, 30.2f, right, 30.4f},
        {"diagonal over both corners", -10, -10, 700, 700, true, 0, 0, top, top},
        {"infinite end", 100, 100, kInf, 100, true, 100, 100, right, 100},
        {"huge slope", 100, 100, 101, 3e30f, true, 100, 100, 100.0f, top},
        {"not a number", std::nanf(""), 100, 200, 200, false, 0, 0, 0, 0},
        {"both far off", -3e38f, -3e38f, 3e38f, -2e38f, false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        REAL x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
        bool visible = !c.visible;
        YYClipLine(x1, y1, x2, y2, visible);
        EXPECT_EQ(visible, c.visible) << c.what;
        if (!c.visible || !visible) continue;
        EXPECT_NEAR(x1, c.cx1, 0.01) << c.what;
        EXPECT_NEAR(y1, c.cy1, 0.01) << c.what;
        EXPECT_NEAR(x2, c.cx2, 0.2) << c.what;
        EXPECT_NEAR(y2, c.cy2, 0.01) << c.what;
    }
    EXPECT_FLOAT_EQ(YYClipIntersectX(1, 5, 9, 5, 7), 2147480064.0f);
    EXPECT_FLOAT_EQ(YYClipIntersectY(0, 0, 0, 1e30f, 7), 2147480064.0f);
    EXPECT_FLOAT_EQ(YYClipIntersectY(0, -1e38f, 1e-30f, 1e38f, -7), 2147480064.0f);  // far off, either sign
}

TEST_F(PrimitiveFixture, PenPolylineAndLineAttributes)
{
    IGrPenMove(10, 10);
    IGrPenDraw(1000, 10);  // leaves the window: drawn to the edge, current point beyond it
    ASSERT_EQ(driver.codes(1), std::vector<INTEGER>{OpLine});
    EXPECT_EQ(driver.ops()[0].Block.IntX2, 639);
    EXPECT_FLOAT_EQ(graphicsTransform().CurrentPointX, 1000);
    driver.clear();
    IGrPenDraw(2000, 10);  // wholly outside: nothing, but the point moves on
    EXPECT_TRUE(driver.ops().empty());
    EXPECT_FLOAT_EQ(graphicsTransform().CurrentPointX, 2000);

    // Leaves and re-enters: two polylines; a corner cut with both ends outside: one line; one point: nothing.
    const REAL xs[] = {10, 100, 100, 700, 700, 200, 200, 10, -5, 30};
    const REAL ys[] = {10, 10, 100, 100, 200, 200, 470, 470, 460, 495};
    YYPolylineUnits(xs, ys, 10, 0);
    const std::vector<INTEGER> expected{OpPolyline, OpPolyline, OpLine};
    EXPECT_EQ(driver.codes(1), expected);
    EXPECT_EQ(driver.ops()[0].Block.Count, 4);  // 10,10 100,10 100,100 edge
    EXPECT_EQ(driver.ops()[1].Block.Count, 5);  // edge 700..., 200,200 200,470 10,470, edge
    EXPECT_FLOAT_EQ(graphicsTransform().CurrentPointY, 495);
    driver.clear();
    YYPolylineUnits(xs, ys, 1, 0);
    EXPECT_TRUE(driver.ops().empty());

    struct Mode { const char* letter; INTEGER mode; };
    for (const Mode m : {Mode{"E", 3}, Mode{"e", 3}, Mode{"o", 1}, Mode{"A", 2}, Mode{"n", 0}, Mode{" ", 0}, Mode{"", 0}}) {
        IGrDrawMode(m.letter);
        EXPECT_EQ(graphicsState().PlotMode, m.mode) << m.letter;
    }
    IGrLineStyle(9);
    EXPECT_EQ(graphicsState().LineType, 0);
    IGrLineStyle(4);
    EXPECT_EQ(graphicsState().LineType, 4);
    driver.clear();
    IGrLineThickness(std::nullopt, 3);
    EXPECT_EQ(graphicsState().LineWidth, 1);
    EXPECT_TRUE(driver.codes(1).empty());
    IGrLineThickness(2, 0, 7);
    EXPECT_EQ(graphicsState().LineWidth, 2);
    EXPECT_EQ(graphicsState().MetafileLineWidth, 7);
    EXPECT_EQ(driver.codes(1), std::vector<INTEGER>{OpLineWidth});
}

TEST_F(PrimitiveFixture, FillStylesAndTheFillProtocol)
{
    struct Style { INTEGER style, density, direction; INTEGER fill, outline, gotDensity, gotDirection; };
    const Style styles[] = {{5, 3, 1, 0, 1, 3, 1}, {-1, 0, 7, 1, 0, 2, 3}, {-2, 6, 4, 2, 0, 2, 4}, {3, 5, 2, 3, 1, 5, 2}};
    for (const Style& s : styles) {
        IGrFillStyle(s.style, s.density, s.direction);
        EXPECT_EQ(graphicsState().FillStyle, s.fill) << s.style;
        EXPECT_EQ(graphicsState().FillOutline, s.outline) << s.style;
        EXPECT_EQ(graphicsState().HatchDensity, s.gotDensity) << s.style;
        EXPECT_EQ(graphicsState().HatchDirection, s.gotDirection) << s.style;
    }

    // Solid on the screen: one device fill, no lines; the open hardcopy gets the pair of calls.
    graphicsState().HardcopyActive = 1;
    IGrFillStyle(4);
    driver.clear();
    IGrTrapezium(100, 100, 200, 150, 40, 1);
    EXPECT_EQ(driver.codes(1), std::vector<INTEGER>{OpQuadSolid});
    ASSERT_EQ(driver.codes(2), (std::vector<INTEGER>{OpQuadFill, OpQuadFill}));
    EXPECT_EQ(driver.ops()[1].Block.Value, 1);
    EXPECT_EQ(driver.ops()[2].Block.Value, -1);

    // Outline only: the hardcopy gets the opening call, its outline, the closing call; the screen only lines.
    IGrFillStyle(0);
    driver.clear();
    const REAL px[] = {100, 300, 200};
    const REAL py[] = {100, 100, 300};
    YYPLYGON(px, py, 3, 0);
    EXPECT_EQ(driver.codes(1), (std::vector<INTEGER>{OpLine, OpLine, OpLine}));
    EXPECT_EQ(driver.codes(2), (std::vector<INTEGER>{OpPolygonFill, OpLine, OpLine, OpLine, OpPolygonFill}));

    // Half-tone of two colours on one device colour: the solid code.
    graphicsState().HardcopyActive = 0;
    IGrFillStyle(3);
    IGrColourN(31);
    IGrColourN(31);
    driver.clear();
    IGrTriangle(100, 100, 200, 100, 150, 200);
    EXPECT_EQ(driver.codes(1), std::vector<INTEGER>{OpTriangleSolid});

    // A hardcopy that asks for the half-tone by lines: current-colour lines, then previous-colour
    // lines between them, and the colours as before afterwards.
    IGrColourN(159);
    graphicsState().HardcopyActive = 1;
    hardcopyFillState().HardcopyFillSpacing = 10;
    driver.requestHardcopyFill(2);
    driver.clear();
    IGrTrapezium(100, 100, 200, 100, 50, 1);
    std::vector<RecordedOp> lines;
    for (const RecordedOp& op : driver.ops())
        if (op.Layer == 2 && op.Op == OpLine) lines.push_back(op);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines.front().ColourIndex, 159);
    EXPECT_EQ(lines.back().ColourIndex, 31);
    EXPECT_NEAR(lines[1].Block.Y1 - lines[0].Block.Y1, 10 * 480.0f / 479.99f, 0.5);
    EXPECT_EQ(graphicsState().ColourIndex, (std::array<INTEGER, 2>{31, 159}));
    EXPECT_EQ(graphicsState().LayerFillRequest, (std::array<INTEGER, 2>{0, 0}));
    for (INTEGER code : driver.codes(1)) EXPECT_NE(code, OpLine);  // the screen filled by itself
}

TEST_F(PrimitiveFixture, FillErrorsAndShapesOutsideTheArea)
{
    IGrFillStyle(1);
    struct Bad { REAL x1, y1, x2, y2, w1, w2; INTEGER type, error; };
    for (const Bad& b : {Bad{10, 10, 50, 50, 0, 5, 1, 21}, Bad{10, 10, 10, 50, 5, 5, 1, 22}, Bad{10, 10, 50, 10, 5, 5, 2, 22}}) {
        libraryErrorState().LastErrorNumber = 0;
        IGrPenMove(1, 1);
        IGrTrapeziumWidths(b.x1, b.y1, b.x2, b.y2, b.w1, b.w2, b.type);
        EXPECT_EQ(lastError(), b.error);
        EXPECT_FLOAT_EQ(graphicsTransform().CurrentPointX, 1);
    }
    libraryErrorState().LastErrorNumber = 0;
    IGrTriangle(5, 5, 5, 9, 5, 20);
    EXPECT_EQ(lastError(), 22);
    IGrFillStyle(-1);
    libraryErrorState().LastErrorNumber = 0;
    IGrTriangle(5, 5, 5, 9, 5, 20);
    EXPECT_EQ(lastError(), 0);
    EXPECT_TRUE(driver.ops().empty());

    IGrFillStyle(4);
    IGrTriangle(1000, 1000, 1100, 1000, 1050, 1100);
    EXPECT_TRUE(driver.ops().empty());
    EXPECT_FLOAT_EQ(graphicsTransform().CurrentPointX, 1000);

    // A comb of 60 teeth: 120 edges cross one scan line, more than the fill can pair.
    IGrFillStyle(1);
    std::vector<REAL> cx{0}, cy{0};
    for (int i = 0; i < 60; ++i) {
        cx.push_back(static_cast<REAL>(i * 10 + 5));
        cy.push_back(300);
        cx.push_back(static_cast<REAL>(i * 10 + 10));
        cy.push_back(10);
    }
    cx.push_back(600);
    cy.push_back(0);
    YYPLYGON(cx.data(), cy.data(), static_cast<INTEGER>(cx.size()), 0);
    EXPECT_EQ(lastError(), 49);
}

TEST(PolygonDecomposition, ConvexConcaveAndCrossedOutlines)
{
    INTEGER tri[30] = {}, count = -1;
    const REAL sx[] = {0, 1, 1, 0}, sy[] = {0, 0, 1, 1};
    YYPolygonDecompose(sx, sy, 4, tri, count);
    ASSERT_EQ(count, 2);
    EXPECT_EQ((std::vector<INTEGER>(tri, tri + 6)), (std::vector<INTEGER>{3, 4, 1, 3, 1, 2}));

    // Triangles of a simple polygon cover its area exactly.
    const auto area = [](const REAL* x, const REAL* y, const INTEGER* t, INTEGER m) {
        double a = 0;
        for (INTEGER k = 0; k < m; ++k) {
            const INTEGER i = t[3 * k] - 1, j = t[3 * k + 1] - 1, l = t[3 * k + 2] - 1;
            a += std::fabs((x[j] - x[i]) * (y[l] - y[i]) - (x[l] - x[i]) * (y[j] - y[i])) / 2;
        }
        return a;
    };
    struct Shape { std::vector<REAL> x, y; double area; };
    const Shape shapes[] = {
        {{0, 2, 3, 2, 0, -1}, {0, 0, 1, 2, 2, 1}, 6},                           // convex hexagon
        {{0, 4, 4, 2, 0}, {0, 0, 4, 1, 4}, 10},                                 // concave notch at the top
        {{0, 3, 3, 1, 1, 3, 3, 0}, {0, 0, 1, 1, 2, 2, 3, 3}, 7},                // a C shape
    };
    for (const Shape& s : shapes) {
        const INTEGER n = static_cast<INTEGER>(s.x.size());
        libraryErrorState().LastErrorNumber = 0;
        YYPolygonDecompose(s.x.data(), s.y.data(), n, tri, count);
        EXPECT_EQ(count, n - 2);
        EXPECT_NEAR(area(s.x.data(), s.y.data(), tri, count), s.area, 1e-4);
        EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    }

    const REAL bx[] = {0, 2, 2, 0}, by[] = {0, 2, 0, 2};  // bow tie
    libraryErrorState().LastErrorNumber = 0;
    YYPolygonDecompose(bx, by, 4, tri, count);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 28);
    YYPolygonDecompose(bx, by, 2, tri, count);
    EXPECT_EQ(count, 0);
}

TEST(ShadedPolygons, CornerAndMidSideColoursAndCollapsedVertices)
{
    static std::map<std::pair<int, int>, INTEGER> pixels;
    pixels.clear();
    const ShadePixelRoutine record = [](INTEGER x, INTEGER y, INTEGER rgb) { pixels[{x, y}] = rgb; };
    ShadedPolygonBlock& p = shadedPolygonBlock();
    const auto set = [&](std::vector<std::array<INTEGER, 3>> v) {
        p.VertexCount = static_cast<INTEGER>(v.size());
        for (std::size_t i = 0; i < v.size(); ++i) {
            p.PixelX[i] = v[i][0];
            p.PixelY[i] = v[i][1];
            p.VertexColour[i] = v[i][2];
        }
    };
    // Red at (0,0), green at (0,20), blue at (20,20), rows downwards; no gradient routine.
    set({{0, 0, 0x0000FF}, {0, 20, 0x00FF00}, {20, 20, 0xFF0000}});
    YYShadedPolygonFill(1, 0, 0, 100, 100, record, nullptr);
    EXPECT_EQ(pixels[(std::pair{0, 0})], 0x0000FF);
    EXPECT_EQ(pixels[(std::pair{0, 20})], 0x00FF00);
    EXPECT_EQ(pixels[(std::pair{20, 20})], 0xFF0000);
    EXPECT_EQ(pixels[(std::pair{0, 10})], 127 + 256 * 127);  // half way between red and green

    // A gradient routine that succeeds draws everything; one that fails hands over to pixels.
    pixels.clear();
    set({{0, 0, 0x0000FF}, {0, 20, 0x00FF00}, {20, 20, 0xFF0000}});
    YYShadedPolygonFill(2, 0, 0, 100, 100, record,
                        [](const INTEGER*, const INTEGER*, const INTEGER*, const INTEGER*, INTEGER, INTEGER, INTEGER& s) { s = 0; });
    EXPECT_TRUE(pixels.empty());
    set({{0, 0, 0x0000FF}, {0, 20, 0x00FF00}, {20, 20, 0xFF0000}});
    YYShadedPolygonFill(2, 0, 0, 100, 100, record,
                        [](const INTEGER*, const INTEGER*, const INTEGER*, const INTEGER*, INTEGER, INTEGER, INTEGER& s) { s = 1; });
    EXPECT_FALSE(pixels.empty());

    // Above the clip rows: nothing.
    pixels.clear();
    set({{0, 0, 1}, {0, 20, 2}, {20, 20, 3}});
    YYShadedPolygonFill(1, 0, 50, 100, 100, record, nullptr);
    EXPECT_TRUE(pixels.empty());

    // A closing vertex that repeats the first: a triangle whose first vertex carries the average.
    set({{0, 0, 0x000000}, {0, 20, 0x00FF00}, {20, 20, 0x0000FF}, {0, 0, 0x0000FE}});
    YYShadedPolygonFill(1, 0, 0, 100, 100, record, nullptr);
    EXPECT_EQ(p.VertexCount, 3);
    EXPECT_EQ(p.VertexColour[0], 0x7F);
    // A repeated vertex collapses into one carrying the run's average.
    set({{0, 0, 0}, {0, 20, 0x000010}, {0, 20, 0x000030}, {20, 20, 5}});
    YYShadedPolygonFill(1, 0, 0, 100, 100, record, nullptr);
    EXPECT_EQ(p.VertexCount, 3);
    EXPECT_EQ(p.VertexColour[1], 0x20);
}

TEST_F(PrimitiveFixture, StrokeTextGoesOutAsLinesOrFilledOutlines)
{
    StrokeTextGeometry geometry;
    geometry.CharAdvanceX = 20;
    geometry.CharLineY = 30;
    YYStrokeFontStandard();
    YYStrokeText(geometry, 100, 100, "AB", 2, 20, 30);
    std::vector<INTEGER> codes = driver.codes(1);
    ASSERT_FALSE(codes.empty());
    for (INTEGER code : codes) EXPECT_TRUE(code == OpLine || code == OpPolyline) << code;

    // Bold text of a line set: widths doubled around the glyphs, then restored.
    geometry.TextStyle = 1;
    driver.clear();
    YYStrokeText(geometry, 100, 100, "A", 1, 20, 30);
    codes = driver.codes(1);
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes.front(), OpLineWidth);
    EXPECT_EQ(codes.back(), OpLineWidth);
    EXPECT_EQ(graphicsState().LineWidth, 1);

    // An outline set: filled polygons in the solid style, the fill style restored afterwards.
    geometry.TextStyle = 0;
    IGrFillStyle(1);
    YYStrokeFontSwiss();
    driver.clear();
    YYStrokeText(geometry, 100, 100, "O", 1, 20, 30);
    int fills = 0;
    for (const RecordedOp& op : driver.ops()) {
        if (op.Op == OpPolygonSolid) ++fills;
        EXPECT_NE(op.Op, OpLine);
    }
    EXPECT_GT(fills, 0);
    EXPECT_EQ(graphicsState().FillStyle, 1);
    EXPECT_EQ(graphicsState().StrokeTextActive, 0);
    YYStrokeFontStandard();
}

TEST_F(PrimitiveFixture, HatchSpacingAndPolygonScanLines)
{
    IGrFillStyle(1);
    struct Spacing { INTEGER density, gridY, gridX; };
    // 480 / (20 + 10 x 2^(d-1)) and 640 / (10 + 10 x 2^d) on the screen, at least 2.
    for (const Spacing s : {Spacing{1, 16, 21}, Spacing{2, 12, 12}, Spacing{3, 8, 7}, Spacing{4, 4, 3}, Spacing{5, 2, 2}}) {
        REAL sx = 0, sy = 0, inset = -1;
        INTEGER gx = 0, gy = 0;
        bool serpentine = true;
        YYHatchSpacing(1, s.density, sx, sy, gx, gy, inset, serpentine);
        EXPECT_EQ(gy, s.gridY) << s.density;
        EXPECT_EQ(gx, s.gridX) << s.density;
        EXPECT_FLOAT_EQ(inset, 0);
        EXPECT_FALSE(serpentine);
    }

    // A closed outline is sent without its repeated last point; horizontal hatch lines lie on
    // pixel centres and between the sides.
    graphicsState().HardcopyActive = 1;
    IGrFillStyle(1, 5, 3);
    const REAL x[] = {100, 300, 300, 100, 100}, y[] = {100, 100, 140, 140, 100};
    driver.clear();
    YYPLYGON(x, y, 5, 0);
    ASSERT_FALSE(driver.ops().empty());
    EXPECT_EQ(driver.ops().front().Layer, 2);
    EXPECT_EQ(driver.ops().front().Block.Count, 4);
    int hatch = 0, sides = 0;
    for (const RecordedOp& op : driver.ops()) {
        if (op.Layer != 1 || op.Op != OpLine || op.Block.Y1 != op.Block.Y2) continue;
        if (op.Block.Y1 - std::floor(op.Block.Y1) != 0.5f) {
            ++sides;
            continue;
        }
        ++hatch;
        EXPECT_GE(std::min(op.Block.X1, op.Block.X2), 99.0f);
        EXPECT_LE(std::max(op.Block.X1, op.Block.X2), 301.0f);
    }
    EXPECT_EQ(sides, 2);
    EXPECT_GE(hatch, 15);  // 40 pixels at steps of 2
}
