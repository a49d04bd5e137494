// Text labels through the real pen plotter onto the recording driver: the suite's labels (texts,
// colours, the emptiest corner, the table limit), the hit test with its grab codes, the drag edit,
// drawing with and without text, and the table maintenance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "Quorvalent/DrawLabel.h"
#include "WBRVLib/Gngrid.h"
#include "tests/Quorvalent/SuiteFixture.h"
#include "tests/WBRVLib/PlotterFixture.h"
#include "tests/support/MessageRecorder.h"

using SuiteFixture::Suite;

namespace {

class TextLabelTest : public PlotterFixture {
protected:
    void SetUp() override
    {
        PlotterFixture::SetUp();
        SuiteFixture::resetDisplayState();
        labelTable() = LabelTable{};
        suiteLabelLayout() = SuiteLabelLayout{};
        MessageRecorder::clear();
    }
    void TearDown() override
    {
        SuiteFixture::resetDisplayState();
        labelTable() = LabelTable{};
        PlotterFixture::TearDown();
    }
    // A linear frame at the curve graph's place: x 0..5 and y 0..6 data units, an inch per unit.
    static GraphFrameRecord linearFrame()
    {
        GraphFrameRecord f;
        f.OriginX = 1.25f;
        f.OriginY = 1.25f;
        f.StepsX = 5;
        f.StepsY = 6;
        f.LengthX = f.LengthY = 1.0f;
        f.FirstTickX = f.FirstTickY = 0.0f;
        f.StepX = f.StepY = 1.0f;
        FINDAS(f);
        return f;
    }
    // One label with its centre and anchor at (x, y) and a box of w by h data units.
    static void oneLabel(REAL x, REAL y, REAL w, REAL h, const std::string& text = "label")
    {
        LabelTable& t = labelTable();
        t.Count = 1;
        t.X[1] = t.AnchorX[1] = x;
        t.Y[1] = t.AnchorY[1] = y;
        t.Width[1] = w;
        t.Height[1] = h;
        t.Colour[1] = 4;
        t.Text[1] = text;
        t.Text[1].resize(kLabelTextLength, ' ');
        graphOptionsState().LabelsShown = kTrue;
    }
    // Window units of a data point of the frame.
    static INTEGER windowX(REAL x, const GraphFrameRecord& f) { return static_cast<INTEGER>(std::lround((PLOFX(x, f) + f.OriginX) * 1000.0f)); }
    static INTEGER windowY(REAL y, const GraphFrameRecord& f) { return static_cast<INTEGER>(std::lround(10000.0f - (PLOFY(y, f) + f.OriginY) * 1250.0f)); }
    static std::string trimmed(const std::string& text) { return text.substr(0, text.find_last_not_of(' ') + 1); }

    // The curve graph's frame with 6 decades of time over 5 inches and the given decades of value
    // (0: a linear value axis of 6 steps) over 6 inches, numbered as the curve graph is.
    static GraphFrameRecord curveFrame(INTEGER decades)
    {
        GraphFrameRecord f;
        f.OriginX = f.OriginY = 1.25f;
        f.StepsX = 6;
        f.LengthX = 5.0f / 6.0f;
        f.setLogarithmic(FrameAxis::X, true);
        f.MinorX = -4;
        if (decades > 0) {
            f.StepsY = decades;
            f.LengthY = 6.0f / static_cast<REAL>(decades);
            f.setLogarithmic(FrameAxis::Y, true);
            f.MinorY = -3;
        } else {
            f.StepsY = 6;
            f.LengthY = 1.0f;
            f.FirstTickY = -30.0f;
            f.StepY = 10.0f;
            f.MinorY = 5;
        }
        f.NumberBottom = f.NumberLeft = kTrue;
        FINDAS(f);
        return f;
    }
    // The suite's labels laid out for n curves in a corner of frame f.
    static void suiteLabels(const GraphFrameRecord& f, INTEGER n, INTEGER corner, const char* description)
    {
        curveGraphFrames().Frames[0] = f;
        systemRecord().NSuite = n;
        for (INTEGER k = 0; k < n; ++k) suiteState().VParam[static_cast<std::size_t>(k)] = 250.0f * static_cast<REAL>(k + 1);
        suiteState().SuiteDescription.assign(description);
        suiteLabelLayout().Corner = corner;
        appendSuiteLabels();
    }

    // What the screen received, in page inches from the frame's origin: one character (where it
    // starts on its centre line, its cell's width and height), one label's white ground and the
    // characters drawn on it.
    struct Glyph {
        REAL X, Y, W, H;
    };
    struct Rect {
        REAL Left, Bottom, Right, Top;
        REAL centreX() const { return 0.5f * (Left + Right); }
        REAL centreY() const { return 0.5f * (Bottom + Top); }
    };
    struct DrawnLabel {
        Rect Ground{};
        std::vector<Glyph> Text;
    };
    Glyph glyphOf(const RecordedOp& r, const GraphFrameRecord& f)
    {
        REAL x = 0, y = 0, x2 = 0, y2 = 0;
        YYDeviceToUnitsRotated(r.Block.X1, r.Block.Y1, x, y);
        YYDeviceToUnitsRotated(r.Block.X1 + r.Block.X2, r.Block.Y1 + r.Block.Y2, x2, y2);
        return {x - f.OriginX, y - f.OriginY, x2 - x, y2 - y};
    }
    // Draws the labels of plot 0 as the display refresh does and reads them back.
    std::vector<DrawnLabel> drawnLabels(GraphFrameRecord f)
    {
        startPage();
        PLOTXY(f.OriginX, f.OriginY, -kPenMove, frame);
        DRAWLABELS(0, f);
        std::vector<DrawnLabel> out;
        for (const RecordedOp& r : driver.ops()) {
            if (r.Layer != 1) continue;
            if (r.Op == OpQuadSolid || r.Op == OpRectangleSolid) {
                REAL xs[4], ys[4];
                const REAL dx[4] = {r.Block.X1, r.Block.X2, r.Block.X3, r.Block.X4};
                const REAL dy[4] = {r.Block.Y1, r.Block.Y2, r.Block.Y3, r.Block.Y4};
                for (int k = 0; k < 4; ++k) YYDeviceToUnitsRotated(dx[k], dy[k], xs[k], ys[k]);
                out.push_back({{*std::min_element(xs, xs + 4) - f.OriginX, *std::min_element(ys, ys + 4) - f.OriginY,
                                *std::max_element(xs, xs + 4) - f.OriginX, *std::max_element(ys, ys + 4) - f.OriginY},
                               {}});
            } else if (r.Op == OpText && !out.empty()) {
                out.back().Text.push_back(glyphOf(r, f));
            }
        }
        return out;
    }
    // The tallest character cell of the numbers the frame's axes carry.
    REAL tallestAxisNumber(GraphFrameRecord f)
    {
        startPage();
        PLOTXY(f.OriginX, f.OriginY, -kPenMove, frame);
        GNGRID(f);
        REAL tallest = 0.0f;
        for (const RecordedOp& r : opsOf(OpText)) tallest = std::max(tallest, glyphOf(r, f).H);
        return tallest;
    }
};

TEST_F(TextLabelTest, TheSuiteGetsADescriptionLabelAndOneLabelPerCurveInTheCurvesColours)
{
    Suite d;
    d.Values = {100.0f, 150.5f, 12.5f, 2.125f, 0.0f};
    SuiteFixture::computeSuite(d);
    suiteState().SuiteDescription.assign("Parameter to vary is Resistivity of layer           1");
    placeSuiteLabels();
    appendSuiteLabels();

    const LabelTable& t = labelTable();
    ASSERT_EQ(t.Count, 6);
    const char* texts[] = {"Resistivity of layer 1", "100", "150.5", "12.5", "2.125", "0"};
    const INTEGER colours[] = {3, 2, 4, 6, 8, 10};
    for (INTEGER i = 1; i <= 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(trimmed(t.Text[static_cast<std::size_t>(i)]), texts[i - 1]);
        EXPECT_EQ(t.Colour[static_cast<std::size_t>(i)], colours[i - 1]);
        EXPECT_EQ(t.CurveNumber[static_cast<std::size_t>(i)], i - 1);
        EXPECT_EQ(t.X[static_cast<std::size_t>(i)], t.AnchorX[static_cast<std::size_t>(i)]);
    }
    EXPECT_TRUE(isTrue(graphOptionsState().LabelsShown));
    // Stacked downwards, each label below the one before, all inside the value range drawn.
    const GraphFrameRecord& f = curveGraphFrames().Frames[0];
    for (INTEGER i = 2; i <= 6; ++i) EXPECT_LT(t.Y[static_cast<std::size_t>(i)], t.Y[static_cast<std::size_t>(i - 1)]);
    for (INTEGER i = 1; i <= 6; ++i) {
        const REAL y = PLOFY(t.Y[static_cast<std::size_t>(i)], f);
        EXPECT_GT(y, 0.0f);
        EXPECT_LT(y, static_cast<REAL>(f.StepsY) * f.LengthY);
    }
    // A new calculation replaces the labels of the last one.
    appendSuiteLabels();
    EXPECT_EQ(labelTable().Count, 6);
}

TEST_F(TextLabelTest, LabelsGoIntoTheCornerFarthestFromTheCurves)
{
    struct Case {
        REAL X, Y;  // where the one curve point lies (data units of the 5 x 6 frame)
        INTEGER Corner;
    };
    const Case cases[] = {{4.8f, 5.8f, 1}, {0.2f, 0.2f, 3}, {4.8f, 0.2f, 2}, {0.2f, 5.8f, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Corner);
        SuiteFixture::resetDisplayState();
        suiteLabelLayout() = SuiteLabelLayout{};
        systemRecord().NSuite = 2;
        SuiteState& suite = suiteState();
        suite.KindCount = 1;
        suite.SuitePointCount = 1;
        suite.CurvesComputed = 2;
        suite.SuiteCurves.allocate(1, 2);
        suite.SuiteCurves(1, 1) = c.Y;
        suite.SuiteCurves(1, 2) = 1.0e20f;  // a curve that was never computed takes no part
        suite.CurvesComputed = 1;
        SoundingRecord& s = suiteSoundingRecord().Record;
        s.Data.SampleTimes.allocate(1, 1);
        s.Data.SampleTimes(1, 1) = c.X;
        curveGraphFrames().Frames[0] = linearFrame();
        placeSuiteLabels();
        EXPECT_EQ(suiteLabelLayout().Corner, c.Corner);
    }
    // No curve point at all: every corner is equally far, and the first, lower left, is taken.
    suiteState().CurvesComputed = 0;
    placeSuiteLabels();
    EXPECT_EQ(suiteLabelLayout().Corner, 1);
}

TEST_F(TextLabelTest, SuiteLabelsStandInsideTheFrameOnTheirGroundAsTallAsTheAxisNumbers)
{
    struct Case {
        const char* Name;
        INTEGER Decades;  // of the value axis; 0 linear
        INTEGER Curves, Corner;
    };
    // Value axes of 1 to 20 decades (an Ex voltage suite has one, a wide time window a dozen),
    // a linear one, every corner, and a full table that needs more than one column.
    const Case cases[] = {
        {"7 decades, lower left", 7, 5, 1},   {"12 decades, lower left", 12, 5, 1}, {"1 decade, lower right", 1, 5, 4},
        {"20 decades, upper left", 20, 5, 2}, {"linear, upper right", 0, 5, 3},     {"full table", 7, 49, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const GraphFrameRecord f = curveFrame(c.Decades);
        suiteLabels(f, c.Curves, c.Corner, "Parameter to vary is Offset");
        const REAL numbers = tallestAxisNumber(f);
        ASSERT_GT(numbers, 0.1f);
        const std::vector<DrawnLabel> labels = drawnLabels(f);
        ASSERT_EQ(labels.size(), static_cast<std::size_t>(c.Curves + 1));
        for (std::size_t i = 0; i < labels.size(); ++i) {
            SCOPED_TRACE(i);
            const DrawnLabel& l = labels[i];
            // The ground inside the frame, clear of every other label's.
            EXPECT_GE(l.Ground.Left, 0.0f);
            EXPECT_GE(l.Ground.Bottom, 0.0f);
            EXPECT_LE(l.Ground.Right, 5.0f);
            EXPECT_LE(l.Ground.Top, 6.0f);
            for (std::size_t j = 0; j < i; ++j) {
                const Rect& o = labels[j].Ground;
                EXPECT_TRUE(l.Ground.Right <= o.Left || o.Right <= l.Ground.Left || l.Ground.Top <= o.Bottom ||
                            o.Top <= l.Ground.Bottom)
                    << "overlaps label " << j;
            }
            // The text on its ground: centred on it, within it, and as tall as the axis numbers.
            ASSERT_FALSE(l.Text.empty());
            for (const Glyph& g : l.Text) {
                EXPECT_GE(g.H, numbers - 1e-4f);
                EXPECT_NEAR(g.Y, l.Ground.centreY(), 0.02f * (l.Ground.Top - l.Ground.Bottom));
                EXPECT_LE(g.H, l.Ground.Top - l.Ground.Bottom);
            }
            EXPECT_GE(l.Text.front().X, l.Ground.Left);
            EXPECT_LE(l.Text.back().X + 0.5f * l.Text.back().W, l.Ground.Right);
        }
        // The description on top of the first column, the curves' labels below it.
        EXPECT_GT(labels[0].Ground.Bottom, labels[1].Ground.Top - 1e-4f);
    }
}

TEST_F(TextLabelTest, AFullTableRefusesTheFiftyFirstLabelWithOneMessage)
{
    systemRecord().NSuite = 60;
    curveGraphFrames().Frames[0] = linearFrame();
    appendSuiteLabels();
    EXPECT_EQ(labelTable().Count, kLabelLimit);
    EXPECT_EQ(MessageRecorder::shown(), std::vector<std::string>{kTooManyLabels});

    MessageRecorder::clear();
    MANDLABL(0, 5000, 5000, 1.0f, curveGraphFrames().Frames[0]);
    EXPECT_EQ(labelTable().Count, kLabelLimit);
    EXPECT_EQ(MessageRecorder::shown(), std::vector<std::string>{kTooManyLabels});
}

TEST_F(TextLabelTest, TheHitTestReportsBodyEdgesCornersAndAnchorWithTheirGrabCodes)
{
    const GraphFrameRecord f = linearFrame();
    oneLabel(2.0f, 3.0f, 1.0f, 0.5f);
    struct Case {
        const char* Name;
        REAL X, Y;
        INTEGER Grab;
        bool Anchor;
    };
    const Case cases[] = {
        {"body", 2.3f, 3.1f, 0, false},
        {"left edge", 1.5f, 3.0f, 2, false},
        {"top edge", 2.0f, 3.25f, -2, false},
        {"lower-left corner", 1.5f, 2.75f, 1, false},
        {"upper-left corner", 1.5f, 3.25f, -1, false},
        {"upper-right corner", 2.5f, 3.25f, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        INTEGER current = 0, grab = 99;
        REAL tolerance = 0.05f;
        LOGICAL anchor = kTrue;
        GraphFrameRecord found;
        TESTLABEL(current, tolerance, windowX(c.X, f), windowY(c.Y, f), f, found, anchor, grab, 0);
        EXPECT_EQ(current, 1);
        EXPECT_EQ(grab, c.Grab);
        EXPECT_EQ(isTrue(anchor), c.Anchor);
        EXPECT_EQ(found.OriginX, f.OriginX);
    }
    // A negative y step turns the corners' codes.
    GraphFrameRecord down = f;
    down.StepY = -1.0f;
    down.FirstTickY = 6.0f;
    FINDAS(down);
    INTEGER current = 0, grab = 0;
    REAL tolerance = 0.05f;
    LOGICAL anchor = kFalse;
    GraphFrameRecord found;
    TESTLABEL(current, tolerance, windowX(1.5f, down), windowY(2.75f, down), down, found, anchor, grab, 0);
    EXPECT_EQ(current, 1);
    EXPECT_EQ(grab, -1);

    // The anchor of a label with a leader line.
    labelTable().AnchorX[1] = 4.0f;
    labelTable().AnchorY[1] = 1.0f;
    current = 0;
    tolerance = 0.05f;
    TESTLABEL(current, tolerance, windowX(4.0f, f), windowY(1.0f, f), f, found, anchor, grab, 0);
    EXPECT_EQ(current, 1);
    EXPECT_TRUE(isTrue(anchor));
    EXPECT_EQ(grab, 0);

    // Far away, another plot's label, and labels switched off: nothing is found or written.
    for (int variant = 0; variant < 3; ++variant) {
        SCOPED_TRACE(variant);
        current = 0;
        grab = 77;
        graphOptionsState().LabelsShown = toLogical(variant != 2);
        const REAL x = variant == 0 ? 0.2f : 2.3f;
        TESTLABEL(current, tolerance = 0.05f, windowX(x, f), windowY(3.1f, f), f, found, anchor, grab, variant == 1 ? 1 : 0);
        EXPECT_EQ(current, 0);
        EXPECT_EQ(grab, 77);
    }
}

TEST_F(TextLabelTest, ThePointerOnALabelsTextHoldsItsBodyAndOnlyTheBoxEdgesResizeIt)
{
    const GraphFrameRecord f = curveFrame(7);
    suiteLabels(f, 5, 1, "Parameter to vary is Resistivity of layer           1");
    const std::vector<DrawnLabel> labels = drawnLabels(f);
    ASSERT_EQ(labels.size(), 6u);
    const auto test = [&](REAL x, REAL y, INTEGER& grab) {
        INTEGER current = 0;
        REAL tolerance = 0.05f;
        LOGICAL anchor = kFalse;
        GraphFrameRecord found;
        grab = 99;
        TESTLABEL(current, tolerance, static_cast<INTEGER>(std::lround((x + f.OriginX) * 1000.0f)),
                  static_cast<INTEGER>(std::lround(10000.0f - (y + f.OriginY) * 1250.0f)), f, found, anchor, grab, 0);
        return current;
    };
    for (std::size_t i = 0; i < labels.size(); ++i) {
        SCOPED_TRACE(i);
        const DrawnLabel& l = labels[i];
        const INTEGER label = static_cast<INTEGER>(i) + 1;
        const Glyph& first = l.Text.front();
        const Glyph& last = l.Text.back();
        const REAL textTop = first.Y + 0.35f * first.H, textBottom = first.Y - 0.35f * first.H;
        // Anywhere on the text: the body, also next to the box's edges and its neighbours' boxes.
        const std::array<std::array<REAL, 2>, 5> onText{{{first.X + 0.05f * first.W, first.Y},
                                                         {l.Ground.centreX(), first.Y},
                                                         {last.X + 0.3f * last.W, first.Y},
                                                         {l.Ground.centreX(), textTop},
                                                         {l.Ground.centreX(), textBottom}}};
        for (const auto& p : onText) {
            INTEGER grab = 0;
            EXPECT_EQ(test(p[0], p[1], grab), label) << p[0] << ", " << p[1];
            EXPECT_EQ(grab, 0) << p[0] << ", " << p[1];
        }
        // The box's edges, just outside it: a resize.
        INTEGER grab = 0;
        EXPECT_EQ(test(l.Ground.Right + 0.01f, l.Ground.centreY(), grab), label);
        EXPECT_EQ(grab, 2);
        EXPECT_EQ(test(l.Ground.Left - 0.01f, l.Ground.centreY(), grab), label);
        EXPECT_EQ(grab, 2);
        EXPECT_EQ(test(l.Ground.Right + 0.01f, l.Ground.Top + 0.01f, grab), label);
        EXPECT_EQ(std::abs(grab), 1);
    }
    // Right of the stack, where the old test box (twice the drawn one) reached: nothing.
    INTEGER grab = 0;
    const Rect& g = labels[3].Ground;
    EXPECT_EQ(test(g.Right + 0.3f * (g.Right - g.Left), g.centreY(), grab), 0);
}

TEST_F(TextLabelTest, ANotANumberPositionIsReportedOncePerLabel)
{
    const GraphFrameRecord f = linearFrame();
    oneLabel(std::nanf(""), 3.0f, 1.0f, 0.5f);
    for (int move = 0; move < 3; ++move) {
        INTEGER current = 0, grab = 0;
        REAL tolerance = 0.05f;
        LOGICAL anchor = kFalse;
        GraphFrameRecord found;
        TESTLABEL(current, tolerance, 3000, 5000, f, found, anchor, grab, 0);
        EXPECT_EQ(current, 0);
    }
    EXPECT_EQ(MessageRecorder::shown(), std::vector<std::string>{"nan in testlab 1"});
}

TEST_F(TextLabelTest, TheDragEditMovesTheBoxTheAnchorOrBothAndResizesFromCorners)
{
    const GraphFrameRecord f = linearFrame();
    LabelTable& t = labelTable();
    // Body of a label on its anchor: both move.
    oneLabel(2.0f, 3.0f, 1.0f, 0.5f);
    dragLabelTo(1, windowX(3.0f, f), windowY(4.0f, f), f, kFalse, 0, kTrue);
    EXPECT_NEAR(t.X[1], 3.0f, 0.01f);
    EXPECT_NEAR(t.AnchorY[1], 4.0f, 0.01f);
    // Held right of its centre, the label keeps that hold: its centre follows the pointer's move.
    REAL offsetX = 0, offsetY = 0;
    labelGrabOffset(1, windowX(3.3f, f), windowY(4.1f, f), f, offsetX, offsetY);
    dragLabelTo(1, windowX(4.3f, f), windowY(4.6f, f), f, kFalse, 0, kTrue, offsetX, offsetY);
    EXPECT_NEAR(t.X[1], 4.0f, 0.01f);
    EXPECT_NEAR(t.Y[1], 4.5f, 0.01f);
    EXPECT_NEAR(t.AnchorX[1], 4.0f, 0.01f);
    dragLabelTo(1, windowX(3.0f, f), windowY(4.0f, f), f, kFalse, 0, kTrue);
    // Body of a label with a leader line: the anchor stays.
    t.AnchorX[1] = 1.0f;
    t.AnchorY[1] = 1.0f;
    dragLabelTo(1, windowX(2.0f, f), windowY(2.0f, f), f, kFalse, 0, kFalse);
    EXPECT_NEAR(t.X[1], 2.0f, 0.01f);
    EXPECT_EQ(t.AnchorX[1], 1.0f);
    // The anchor alone.
    dragLabelTo(1, windowX(4.0f, f), windowY(5.0f, f), f, kTrue, 0, kFalse);
    EXPECT_NEAR(t.AnchorX[1], 4.0f, 0.01f);
    EXPECT_NEAR(t.X[1], 2.0f, 0.01f);
    // Edges change one size, a corner both, the edge held staying under the pointer; a corner at
    // the centre leaves no size.
    dragLabelTo(1, windowX(2.5f, f), windowY(2.0f, f), f, kFalse, 2, kFalse);
    EXPECT_NEAR(t.Width[1], 1.0f, 0.01f);
    EXPECT_EQ(t.Height[1], 0.5f);
    dragLabelTo(1, windowX(2.0f, f), windowY(2.0f, f), f, kFalse, 1, kFalse);
    EXPECT_NEAR(t.Width[1], 0.0f, 0.01f);
    EXPECT_NEAR(t.Height[1], 0.0f, 0.01f);
    // On logarithmic axes the sizes are ratios: 1 at the centre.
    GraphFrameRecord lg = f;
    lg.setLogarithmic(FrameAxis::X, true);
    lg.setLogarithmic(FrameAxis::Y, true);
    lg.MinorX = -3;
    lg.MinorY = 0;
    FINDAS(lg);
    t.X[1] = 0.01f;
    t.Y[1] = 10.0f;
    dragLabelTo(1, windowX(0.01f, lg), windowY(10.0f, lg), lg, kFalse, -1, kFalse);
    EXPECT_NEAR(t.Width[1], 1.0f, 0.01f);
    EXPECT_NEAR(t.Height[1], 1.0f, 0.01f);
    // A corner a decade away on both axes: the box spans a decade each side of its centre.
    dragLabelTo(1, windowX(0.1f, lg), windowY(100.0f, lg), lg, kFalse, 1, kFalse);
    EXPECT_NEAR(t.Width[1], 100.0f, 1.0f);
    EXPECT_NEAR(t.Height[1], 100.0f, 1.0f);
}

TEST_F(TextLabelTest, ALabelIsDrawnOnAWhiteBackgroundWithItsLeaderAndABlankOneDrawsNothingButTheLeader)
{
    GraphFrameRecord f = linearFrame();
    startPage();
    oneLabel(2.0f, 3.0f, 1.0f, 0.5f, "150.5");
    labelTable().AnchorX[1] = 4.0f;
    labelTable().AnchorY[1] = 1.0f;
    GraphFrameRecord origin = f;
    PLOTXY(f.OriginX, f.OriginY, -kPenMove, origin);
    DRAWLABELS(0, f);
    std::string drawnText;
    for (const std::string& piece : texts()) drawnText += piece;
    EXPECT_EQ(drawnText, "150.5");
    EXPECT_FALSE(driver.ops().empty());
    std::size_t fills = 0;
    for (const RecordedOp& r : driver.ops())
        if (r.Op == OpQuadSolid || r.Op == OpRectangleSolid || r.Op == OpQuadFill || r.Op == OpRectangleFill) ++fills;
    EXPECT_GE(fills, 1u);
    // The leader line ends at the anchor.
    const std::vector<PageSegment> lines = segments();
    ASSERT_FALSE(lines.empty());
    EXPECT_NEAR(lines.back().X2, f.OriginX + 4.0f, 0.02f);
    EXPECT_NEAR(lines.back().Y2, f.OriginY + 1.0f, 0.02f);

    // A blank text: no background, no text, and no number that is not finite anywhere.
    driver.clear();
    labelTable().Text[1].assign(kLabelTextLength, ' ');
    DRAWLABELS(0, f);
    EXPECT_TRUE(texts().empty());
    for (const RecordedOp& r : driver.ops()) {
        EXPECT_NE(r.Op, OpQuadSolid);
        EXPECT_NE(r.Op, OpRectangleSolid);
    }
    for (const PageSegment& s : segments()) {
        EXPECT_TRUE(std::isfinite(s.X1) && std::isfinite(s.Y1) && std::isfinite(s.X2) && std::isfinite(s.Y2));
    }
}

TEST_F(TextLabelTest, TheHighlightIsTheBoxOutlineAloneAndLeavesExclusiveOrOff)
{
    GraphFrameRecord f = linearFrame();
    startPage();
    oneLabel(2.0f, 3.0f, 1.0f, 0.5f, "12.5");
    DRAWLABEL(1, -1, f);
    const std::vector<PageSegment> first = segments();
    // The box outline only: its sides within the drawn box around the centre, nothing else.
    ASSERT_GE(first.size(), 4u);
    for (const PageSegment& s : first) {
        for (const REAL x : {s.X1, s.X2}) {
            EXPECT_GE(x, f.OriginX + 1.5f - 0.02f);
            EXPECT_LE(x, f.OriginX + 2.5f + 0.02f);
        }
        for (const REAL y : {s.Y1, s.Y2}) {
            EXPECT_GE(y, f.OriginY + 2.75f - 0.02f);
            EXPECT_LE(y, f.OriginY + 3.25f + 0.02f);
        }
    }
    EXPECT_TRUE(texts().empty());
    EXPECT_FALSE(plotPenState().XorMode);
}

TEST_F(TextLabelTest, TheMaintenanceRoutinesAppendDeleteClearAndScaleLabels)
{
    const GraphFrameRecord f = linearFrame();
    graphOptionsState().LabelsShown = kTrue;
    MANVLABEL(0, 1234.4f, windowX(1.0f, f), windowY(2.0f, f), f, "(ft)    ");
    MANVLABEL(1, 987.6f, windowX(3.0f, f), windowY(4.0f, f), f, "(m)     ");
    MANDLABL(0, windowX(2.0f, f), windowY(5.0f, f), 12.34f, f);
    LabelTable& t = labelTable();
    ASSERT_EQ(t.Count, 3);
    EXPECT_EQ(trimmed(t.Text[1]), "1234 ft/S");
    EXPECT_EQ(trimmed(t.Text[2]), "988 m/S");
    EXPECT_EQ(trimmed(t.Text[3]), "12.3");
    EXPECT_EQ(t.Kind[1], 1);
    EXPECT_EQ(t.Kind[3], 2);
    EXPECT_NEAR(t.X[1], 1.0f, 0.01f);
    EXPECT_NEAR(t.Y[2], 4.0f, 0.01f);
    EXPECT_FLOAT_EQ(t.Width[1], 0.75f);
    EXPECT_FLOAT_EQ(t.Height[1], 0.2f);
    EXPECT_FLOAT_EQ(t.Width[3], 0.75f);

    SCALELABELSIZE(t.Width, 2.0f);
    INCLABELSIZE(t.Height, 0.1f);
    EXPECT_FLOAT_EQ(t.Width[2], 1.5f);
    EXPECT_FLOAT_EQ(t.Height[3], 0.3f);

    INTEGER i = 2;
    DELETELABEL(i);
    EXPECT_EQ(i, 0);
    ASSERT_EQ(t.Count, 2);
    EXPECT_EQ(trimmed(t.Text[2]), "12.3");
    i = 5;
    DELETELABEL(i);
    EXPECT_EQ(i, 5);
    EXPECT_EQ(t.Count, 2);

    MANVLABEL(1, 5.0f, 100, 100, f, "(m)     ");
    CLEARLABELS(0);
    ASSERT_EQ(t.Count, 1);
    EXPECT_EQ(t.Owner[1], 1);
    EXPECT_EQ(trimmed(t.Text[1]), "5 m/S");
}

}  // namespace
