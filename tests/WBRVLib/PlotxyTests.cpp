// The pen plotter through the real graphics layer: the plot starts, origins and factors, pens,
// erase and exclusive-or modes, filled shapes, rubber bands, pixel conversions and axis copies.
#include <gtest/gtest.h>

#include <cmath>

#include "PlotterFixture.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/Lines.h"

using ToolkitLinkFake::script;

namespace {

INTEGER rgb(INTEGER r, INTEGER g, INTEGER b) { return r + 256 * g + 65536 * b; }

void expectSegment(const PageSegment& s, REAL x1, REAL y1, REAL x2, REAL y2, REAL tolerance = 0.002f)
{
    EXPECT_NEAR(s.X1, x1, tolerance);
    EXPECT_NEAR(s.Y1, y1, tolerance);
    EXPECT_NEAR(s.X2, x2, tolerance);
    EXPECT_NEAR(s.Y2, y2, tolerance);
}

}  // namespace

TEST_F(PlotterFixture, ScreenStartDefinesThePaletteOnceClearsToWhiteAndSetsThePage)
{
    plotPenState().XorMode = plotPenState().EraseMode = true;
    plotPenState().OriginX = 3.0f;
    plotPenState().FactorY = 2.0f;
    PLOTXY(1.0f, 0.0f, kPenStart, frame);

    const auto entries = opsOf(OpPaletteEntry);
    ASSERT_EQ(entries.size(), 15u);
    const INTEGER expectedIndex[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15};
    for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(entries[i].Block.Count, expectedIndex[i]);
    EXPECT_EQ(entries[0].Block.IntX1, rgb(0, 0, 0));
    EXPECT_EQ(entries[13].Block.IntX1, rgb(84, 84, 84));
    EXPECT_EQ(entries[14].Block.IntX1, rgb(255, 255, 255));
    EXPECT_EQ(defaultPalette().Entries[11], rgb(255, 0, 0));
    EXPECT_EQ(script().WindowCalls, (std::vector<std::string>{"WindowClearArea(-,-,-,-,16777215)"}));

    const GraphicsTransform& t = graphicsTransform();
    EXPECT_EQ(t.UserXMin, 0.0f);
    EXPECT_EQ(t.UserYMin, 0.0f);
    EXPECT_EQ(t.UserXMax, 10.0f);
    EXPECT_EQ(t.UserYMax, 8.0f);
    EXPECT_FLOAT_EQ(t.CharWidthFraction, 0.012f);
    EXPECT_FLOAT_EQ(t.CharHeightFraction, 0.032f);
    EXPECT_EQ(textState().DeviceFontVariant, 2);  // font 102
    EXPECT_EQ(textState().TextStyle & kTextBold, kTextBold);
    const PlotPenState& s = plotPenState();
    EXPECT_FALSE(s.XorMode || s.EraseMode);
    EXPECT_EQ(s.OriginX, 0.0f);
    EXPECT_EQ(s.FactorY, 1.0f);
    EXPECT_FALSE(s.PalettePending);

    // A second start clears again but leaves the palette alone.
    IGrPaletteEntryRGB(3, rgb(1, 2, 3));
    driver.clear();
    script().WindowCalls.clear();
    PLOTXY(5.0f, -1.0f, kPenStartAlso, frame);
    EXPECT_TRUE(opsOf(OpPaletteEntry).empty());
    EXPECT_EQ(defaultPalette().Entries[3], rgb(1, 2, 3));
    EXPECT_EQ(script().WindowCalls.size(), 1u);
}

TEST_F(PlotterFixture, PrintingStartOpensTheHardcopyWithoutClearingOrPalette)
{
    PLOTXY(0.0f, 1.0f, kPenStart, frame);
    EXPECT_EQ(script().WindowCalls, (std::vector<std::string>{"IGrHardcopyBeginEnd( ,)"}));
    EXPECT_TRUE(opsOf(OpPaletteEntry).empty());
    EXPECT_TRUE(plotPenState().PalettePending);
    EXPECT_EQ(graphicsState().DrawableActive, 0);  // the "H" of the reset: no screen output
    EXPECT_EQ(graphicsTransform().UserXMax, 10.0f);
    EXPECT_EQ(graphicsTransform().UserYMax, 8.0f);
}

TEST_F(PlotterFixture, OriginsAndFactorsPlaceThePen)
{
    startPage();
    // A negative pen sets the origin absolutely, writes it into the frame and acts at it.
    PLOTXY(2.0f, 3.0f, -kPenMove, frame);
    EXPECT_EQ(frame.OriginX, 2.0f);
    EXPECT_EQ(frame.OriginY, 3.0f);
    EXPECT_FLOAT_EQ(pointX(), 2.0f);
    EXPECT_FLOAT_EQ(pointY(), 3.0f);
    PLOTXY(1.0f, 1.0f, kPenDraw, frame);
    ASSERT_EQ(segments().size(), 1u);
    expectSegment(segments()[0], 2, 3, 3, 4);

    // Factors multiply after the origin is added.
    PLOTXY(1.0f, 0.0f, -1, frame);
    SET_FACT(2.0f, 2.0f);
    PLOTXY(1.0f, 1.0f, kPenMove, frame);
    EXPECT_FLOAT_EQ(pointX(), 4.0f);
    EXPECT_FLOAT_EQ(pointY(), 2.0f);
    REAL x = 0, y = 0, factor = 0;
    WHERE(x, y, factor);
    EXPECT_FLOAT_EQ(x, 1.0f);
    EXPECT_FLOAT_EQ(y, 1.0f);
    EXPECT_EQ(factor, 1.0f);

    // -1 and -16 only set the origin; unknown pens do nothing.
    driver.clear();
    PLOTXY(0.5f, 0.5f, -16, frame);
    PLOTXY(7.0f, 7.0f, 5, frame);
    PLOTXY(7.0f, 7.0f, 0, frame);
    EXPECT_EQ(plotPenState().OriginX, 0.5f);
    EXPECT_EQ(plotPenState().FactorX, 2.0f);  // no plot start happened
    EXPECT_FLOAT_EQ(pointX(), 4.0f);
    EXPECT_TRUE(driver.ops().empty());
}

TEST_F(PlotterFixture, PensOutsideTheSixteenAreIgnored)
{
    startPage();
    SET_PEN(4);
    for (INTEGER pen : {16, -1, 99}) {
        SET_PEN(pen);
        INTEGER now = 0;
        GET_PEN(now);
        EXPECT_EQ(now, 4) << pen;
        EXPECT_EQ(graphicsState().ColourIndex[1], 4) << pen;
    }
    SET_PEN(0);
    EXPECT_EQ(graphicsState().ColourIndex[1], 0);
    EXPECT_EQ(defaultPalette().Entries[0], rgb(0, 0, 0));  // black once the plot palette is defined
    PLOTXY(1, 1, kPenMove, frame);
    SET_PEN(11);
    PLOTXY(2, 2, kPenDraw, frame);
    ASSERT_EQ(opsOf(OpLine).size(), 1u);
    EXPECT_EQ(opsOf(OpLine)[0].ColourIndex, 11);
}

TEST_F(PlotterFixture, EraseDrawsInWhiteAndExclusiveOrComesAndGoes)
{
    startPage();
    SET_PEN(2);
    ERASEON();
    EXPECT_TRUE(isTrue(L_ERASE()));
    PLOTXY(1, 1, kPenMove, frame);
    PLOTXY(2, 1, kPenDraw, frame);
    ASSERT_EQ(opsOf(OpLine).size(), 1u);
    EXPECT_EQ(opsOf(OpLine)[0].ColourIndex, 15);  // white, the page's colour
    EXPECT_EQ(graphicsState().PlotMode, kPlotCopy);
    ERASEOFF();
    EXPECT_EQ(graphicsState().ColourIndex[1], 2);

    XORON();
    EXPECT_EQ(graphicsState().PlotMode, kPlotXor);
    XORSAVE();
    XOROFF();
    EXPECT_FALSE(isTrue(L_XOR()));
    EXPECT_EQ(graphicsState().PlotMode, kPlotCopy);
    XORRESTORE();
    EXPECT_TRUE(isTrue(L_XOR()));
    EXPECT_EQ(graphicsState().PlotMode, kPlotXor);

    // In exclusive-or mode a draw first returns to the last pen position, so that a text drawn in
    // between cannot leave the line starting elsewhere.
    driver.clear();
    PLOTXY(1, 3, kPenMove, frame);
    IGrPenMove(8, 8);
    PLOTXY(2, 3, kPenDraw, frame);
    const auto lines = segments();
    ASSERT_EQ(lines.size(), 2u);
    expectSegment(lines[0], 8, 8, 1, 3);
    expectSegment(lines[1], 1, 3, 2, 3);
    XOROFF();
}

TEST_F(PlotterFixture, FilledShapesTransformTheirCorners)
{
    startPage();
    const auto quads = [&] {
        std::vector<std::array<REAL, 8>> out;
        for (const RecordedOp& r : driver.ops())
            if (r.Layer == 1 && (r.Op == OpQuadFill || r.Op == OpQuadSolid))
                out.push_back({r.Block.X1, r.Block.Y1, r.Block.X2, r.Block.Y2, r.Block.X3, r.Block.Y3, r.Block.X4, r.Block.Y4});
        return out;
    };
    FILLBOX(1, 1, 5, 5, 4, 3);
    const auto forward = quads();
    ASSERT_FALSE(forward.empty());
    EXPECT_EQ(opsOf(OpQuadSolid).front().ColourIndex, 3);
    EXPECT_EQ(graphicsState().FillStyle, 4);
    driver.clear();
    FILLBOX(5, 5, 1, 1, 4, 3);
    EXPECT_EQ(quads(), forward);
    // The corners of the box, in device units of 100 per inch.
    REAL xmin = 1e9f, xmax = -1e9f, ymin = 1e9f, ymax = -1e9f;
    for (int i = 0; i < 8; i += 2) {
        xmin = std::min(xmin, forward[0][i]);
        xmax = std::max(xmax, forward[0][i]);
        ymin = std::min(ymin, forward[0][i + 1]);
        ymax = std::max(ymax, forward[0][i + 1]);
    }
    EXPECT_NEAR(xmin, 100, 0.5);
    EXPECT_NEAR(xmax, 500, 0.5);
    EXPECT_NEAR(ymin, 100, 0.5);
    EXPECT_NEAR(ymax, 500, 0.5);

    // A polygon's arrays come back transformed; the triangle goes through its transformed points.
    PLOTXY(1, 1, -kPenMove, frame);
    REAL px[] = {0, 2, 2}, py[] = {0, 0, 1};
    FILLPOLY(px, py, 3, 5);
    EXPECT_EQ(px[1], 3.0f);
    EXPECT_EQ(py[2], 2.0f);
    driver.clear();
    FILLTRI(0, 0, 2, 0, 2, 1, 6);
    ASSERT_FALSE(opsOf(OpTriangleSolid).empty());
    EXPECT_EQ(opsOf(OpTriangleSolid).front().ColourIndex, 6);
    // The clearing box adds the origin but not the factors.
    SET_FACT(3, 3);
    driver.clear();
    CLEARBOX(0, 0, 1, 1, 1);
    ASSERT_FALSE(quads().empty());
    EXPECT_NEAR(std::max({quads()[0][0], quads()[0][2], quads()[0][4], quads()[0][6]}), 200, 0.5);
    EXPECT_EQ(graphicsState().ColourIndex[1], 15);
}

TEST_F(PlotterFixture, RubberBoxSpansWindowUnitsInExclusiveOrAndLeavesThePen)
{
    startPage();
    PLOTXY(1, 1, -kPenMove, frame);
    SET_FACT(2, 2);
    PLOTXY(1, 1, kPenMove, frame);
    RUBBERBOX(0, 0, 9999, 9999);
    const auto lines = segments();
    ASSERT_EQ(lines.size(), 4u);
    // From (0, 8) down to (0, 0.0008), across to 9.999 and back round; the top edge of the page
    // is clipped to the last device row.
    expectSegment(lines[0], 0, 8, 0, 0.0008f, 0.0002f);
    expectSegment(lines[1], 0, 0.0008f, 9.999f, 0.0008f, 0.0002f);
    expectSegment(lines[2], 9.999f, 0.0008f, 9.999f, 8, 0.0002f);
    expectSegment(lines[3], 9.999f, 8, 0, 8, 0.0002f);
    const auto modes = opsOf(OpPlotMode);
    ASSERT_EQ(modes.size(), 2u);
    EXPECT_FALSE(isTrue(L_XOR()));
    EXPECT_EQ(graphicsState().PlotMode, kPlotCopy);
    EXPECT_EQ(plotPenState().LastX, 4.0f);

    struct Case {
        const char* what;
        void (*draw)();
        std::vector<PageSegment> expected;
    };
    const Case cases[] = {
        {"line", [] { RUBBERLINE(1000, 5000, 3000, 2500); }, {{1, 4, 3, 6}}},
        {"vertical line", [] { RUBBERVLINE(2000, 0, 5000); }, {{2, 8, 2, 4}}},
        {"polyline", [] { RUBBERPOLY(0, 5000, 5000, 5000, 5000, 7500); }, {{0, 4, 5, 4}, {5, 4, 5, 2}}},
    };
    for (const Case& c : cases) {
        driver.clear();
        c.draw();
        const auto drawn = segments();
        ASSERT_EQ(drawn.size(), c.expected.size()) << c.what;
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            SCOPED_TRACE(c.what);
            const PageSegment& e = c.expected[i];
            expectSegment(drawn[i], e.X1, e.Y1, e.X2, e.Y2, 0.011f);
        }
    }
}

TEST_F(PlotterFixture, PixelConversionsRoundTrip)
{
    startPage();
    PLOTXY(1, 0.5f, -kPenMove, frame);
    SET_FACT(0.5f, 0.5f);
    // Each conversion against the pixel of the page position it should reach.
    const auto pixelOf = [](REAL x, REAL y) {
        INTEGER ix = 0, iy = 0;
        IGrWorldToPixel(x, y, ix, iy);
        return std::pair<INTEGER, INTEGER>{ix, iy};
    };
    INTEGER ix = 0, iy = 0;
    IPIXXY(3, 4, ix, iy);
    EXPECT_EQ(std::make_pair(ix, iy), pixelOf(2, 2.25f));  // (3 + 1)·0.5, (4 + 0.5)·0.5
    REAL x = 0, y = 0;
    XYIPIX(x, y, ix, iy);
    EXPECT_NEAR(x, 3, 0.02);
    EXPECT_NEAR(y, 4, 0.02);
    // The second form does not scale the origin.
    IPIXXY2(3, 4, ix, iy);
    EXPECT_EQ(std::make_pair(ix, iy), pixelOf(2.5f, 2.5f));
    // An active pixel scale multiplies the position first.
    SET_SCL(2, 2);
    IPIXXY(1, 1, ix, iy);
    EXPECT_EQ(std::make_pair(ix, iy), pixelOf(1.5f, 1.25f));
    XYIPIX(x, y, ix, iy);
    EXPECT_NEAR(x, 1, 0.01);
    EXPECT_NEAR(y, 1, 0.01);
    SET_SCL(2, 0);
    EXPECT_FALSE(plotPenState().PixelScaleActive);
    IPIXXY(1, 1, ix, iy);
    EXPECT_EQ(std::make_pair(ix, iy), pixelOf(1.0f, 0.75f));

    EXPECT_FALSE(isTrue(LRASTR()));
    EXPECT_FALSE(isTrue(LINTERACTER()));
    EXPECT_EQ(PENWTH(), 0.0f);
    SET_BOX(1.5f);
    EXPECT_EQ(GET_BOX(), 1.5f);
}

TEST_F(PlotterFixture, AxisCopiesMoveTheirFields)
{
    GraphFrameRecord from;
    from.OriginX = 1; from.LengthX = 2; from.FirstTickX = 3; from.StepX = 4; from.OffsetX = 5; from.ScaleX = 6;
    from.StepsX = 7; from.MinorX = 8; from.LogX = kTrue;
    from.OriginY = 11; from.LengthY = 12; from.FirstTickY = 13; from.StepY = 14; from.OffsetY = 15; from.ScaleY = 16;
    from.StepsY = 17; from.MinorY = 18; from.LogY = kFalse; from.SpareY1 = 19; from.SpareY2 = 20;
    from.MaxTick = 99;

    GraphFrameRecord to;
    COPYXAXIS(to, from);
    EXPECT_EQ(to.OriginX, 1); EXPECT_EQ(to.LengthX, 2); EXPECT_EQ(to.FirstTickX, 3); EXPECT_EQ(to.StepX, 4);
    EXPECT_EQ(to.OffsetX, 5); EXPECT_EQ(to.ScaleX, 6); EXPECT_EQ(to.StepsX, 7); EXPECT_EQ(to.MinorX, 8);
    EXPECT_EQ(to.LogX, kTrue);
    EXPECT_EQ(to.OriginY, 0); EXPECT_EQ(to.MaxTick, 0);

    to = GraphFrameRecord{};
    COPYYAXIS(to, from);
    EXPECT_EQ(to.OriginY, 11); EXPECT_EQ(to.ScaleY, 16); EXPECT_EQ(to.MinorY, 18);
    EXPECT_EQ(to.SpareY1, 19); EXPECT_EQ(to.SpareY2, 20);
    EXPECT_EQ(to.LengthX, 0);

    to = GraphFrameRecord{};
    COPYXAXISY(to, from);
    EXPECT_EQ(to.OriginX, 11); EXPECT_EQ(to.StepX, 14); EXPECT_EQ(to.StepsX, 17); EXPECT_EQ(to.LogX, kFalse);
    EXPECT_EQ(to.SpareY1, 0);

    to = GraphFrameRecord{};
    COPYYAXISX(to, from);
    EXPECT_EQ(to.OriginY, 1); EXPECT_EQ(to.FirstTickY, 3); EXPECT_EQ(to.MinorY, 8); EXPECT_EQ(to.LogY, kTrue);

    // The frame drawing and the mapping read the same axis kind.
    GraphFrameRecord f;
    f.StepY = 2.5f;
    f.setLogarithmic(FrameAxis::Y, true);
    EXPECT_EQ(f.StepY, 0.0f);
    EXPECT_TRUE(isTrue(f.LogY));
    f.setLogarithmic(FrameAxis::Y, false);
    EXPECT_NE(f.StepY, 0.0f);
    EXPECT_FALSE(isTrue(f.LogY));
    EXPECT_FALSE(isTrue(f.LogX));
}
