// The suite display drawn through the real pen plotter and graphics layer onto the recording
// driver: frames and axes from the autoscale, the curve and model lines per colour, grid lines,
// what a redraw puts back, and the display before any suite.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "Quorvalent/DrawGrid.h"
#include "WBRVLib/Gngrid.h"
#include "tests/Quorvalent/SuiteFixture.h"
#include "tests/WBRVLib/PlotterFixture.h"
#include "tests/support/MessageRecorder.h"

using SuiteFixture::Suite;

namespace {

struct Box {
    REAL X1, Y1, X2, Y2;
    bool holds(const PageSegment& s) const
    {
        const auto in = [&](REAL x, REAL y) { return x >= X1 - 0.02f && x <= X2 + 0.02f && y >= Y1 - 0.02f && y <= Y2 + 0.02f; };
        return in(s.X1, s.Y1) && in(s.X2, s.Y2);
    }
};
constexpr Box kCurvePage{1.25f, 1.25f, 6.25f, 7.25f};
constexpr Box kModelPage{7.25f, 1.25f, 9.75f, 7.25f};

bool finiteFrame(const GraphFrameRecord& f)
{
    const REAL values[] = {f.OriginX, f.OriginY, f.LengthX, f.LengthY, f.FirstTickX, f.FirstTickY, f.StepX, f.StepY,
                           f.OffsetX, f.OffsetY, f.ScaleX, f.ScaleY, f.ClipLowX, f.ClipHighX, f.ClipLowY, f.ClipHighY};
    for (REAL v : values)
        if (!std::isfinite(v)) return false;
    return f.StepsX >= 1 && f.StepsY >= 1;
}

class SuiteDisplayTest : public PlotterFixture {
protected:
    void SetUp() override
    {
        PlotterFixture::SetUp();
        reset();
        MessageRecorder::clear();
    }
    // Frames and axes in pen 1 here, so that they are told apart from the curves of pens 2 to 14.
    static void reset()
    {
        SuiteFixture::resetDisplayState();
        plotSettingsState().KGRID = kFramePen;
    }
    static constexpr INTEGER kFramePen = 1;
    void TearDown() override
    {
        SuiteFixture::resetDisplayState();
        PlotterFixture::TearDown();
    }
    void redraw()
    {
        driver.clear();
        SoundingPair& pair = suiteSoundingRecord();
        REFRESHSUITE(pair.Record, pair.Companion);
    }
    // Lines of one pen inside a page box.
    std::vector<PageSegment> linesOf(INTEGER pen, const Box& box)
    {
        std::vector<PageSegment> out;
        const std::vector<RecordedOp> lines = opsOf(OpLine);
        const std::vector<PageSegment> all = segments();
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].ColourIndex == pen && box.holds(all[i])) out.push_back(all[i]);
        return out;
    }
    // Polylines: a segment that does not start where the previous one ended starts a new line.
    // The depths of a model line's boundaries (its horizontal pieces; dashes of one boundary count once).
    static std::vector<REAL> boundaryDepths(const std::vector<PageSegment>& model, const GraphFrameRecord& frame)
    {
        std::vector<REAL> out;
        for (const PageSegment& s : model)
            if (std::fabs(s.Y1 - s.Y2) < 1e-4f && std::fabs(s.X1 - s.X2) > 1e-4f) {
                const REAL depth = YOFPL(s.Y1, frame);
                if (out.empty() || std::fabs(out.back() - depth) > 0.5f) out.push_back(depth);
            }
        return out;
    }
    static int polylines(const std::vector<PageSegment>& s)
    {
        int count = 0;
        for (std::size_t i = 0; i < s.size(); ++i)
            if (i == 0 || std::fabs(s[i].X1 - s[i - 1].X2) > 1e-3f || std::fabs(s[i].Y1 - s[i - 1].Y2) > 1e-3f) ++count;
        return count;
    }
    // The pens that drew lines inside a box.
    std::set<INTEGER> pensIn(const Box& box)
    {
        std::set<INTEGER> out;
        const std::vector<RecordedOp> lines = opsOf(OpLine);
        const std::vector<PageSegment> all = segments();
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (box.holds(all[i])) out.insert(lines[i].ColourIndex);
        return out;
    }
};

// ---- frames -------------------------------------------------------------------------------

TEST_F(SuiteDisplayTest, AutoscaleLaysTheGraphsOutSideBySideWithDepthGrowingDownwards)
{
    SuiteFixture::computeSuite(Suite{});
    const GraphFrameRecord& c = curveGraphFrames().Frames[0];
    EXPECT_FLOAT_EQ(c.OriginX, 1.25f);
    EXPECT_FLOAT_EQ(c.OriginY, 1.25f);
    EXPECT_NEAR(c.StepsX * c.LengthX, 5.0f, 1e-5f);
    EXPECT_NEAR(c.StepsY * c.LengthY, 6.0f, 1e-5f);
    EXPECT_TRUE(isTrue(c.LogX));
    const SoundingRecord& s = suiteSoundingRecord().Record;
    INTEGER first = 0, last = 0;
    LOGNX(s.Data.SampleTimes(1), s.Data.SampleTimes(s.Data.PointCount), first, last);
    EXPECT_EQ(c.MinorX, first);
    EXPECT_EQ(c.MinorX + c.StepsX, last);
    EXPECT_TRUE(isTrue(c.NumberBottom) && isTrue(c.NumberLeft) && !isTrue(c.NumberRight) && !isTrue(c.NumberTop));

    const GraphFrameRecord& m = modelGraphFrames().Frames[0];
    EXPECT_FLOAT_EQ(m.OriginX, 7.25f);
    EXPECT_FLOAT_EQ(m.OriginY, 1.25f);
    EXPECT_NEAR(m.StepsX * m.LengthX, 2.5f, 1e-5f);
    EXPECT_NEAR(m.StepsY * m.LengthY, 6.0f, 1e-5f);
    LOGNX(10.0f, 1000.0f, first, last);  // the resistivities of the suite
    EXPECT_EQ(m.MinorX, first);
    EXPECT_EQ(m.MinorX + m.StepsX, last);
    // Linear depth (the default): the largest depth at the bottom, the values falling upwards from it.
    EXPECT_FALSE(isTrue(m.LogY));
    EXPECT_LT(m.StepY, 0.0f);
    EXPECT_FLOAT_EQ(m.FirstTickY + m.StepsY * m.StepY, 0.0f);
    // One-layer models give no depth: the fallback 125 to 500 m, written back.
    EXPECT_FLOAT_EQ(suiteState().ModelDepthMin, 125.0f);
    EXPECT_FLOAT_EQ(suiteState().ModelDepthMax, 500.0f);
    EXPECT_GE(m.FirstTickY, 550.0f);
}

TEST_F(SuiteDisplayTest, EarlyAndLateKindsMoveTheValueAxisUpOneDecadeFromTheEarlyTimeColumnAlone)
{
    struct Case {
        INTEGER kind;
        INTEGER shift;
    };
    for (const Case c : {Case{kDisplayEarlyRho, 0}, Case{kDisplayEarlyLateRho, 1}, Case{kDisplayEarlyLateAllTimeRho, 1}}) {
        reset();
        Suite d;
        d.Kind = c.kind;
        SuiteFixture::computeSuite(d);
        const SuiteState& suite = suiteState();
        // Only column 1 entered the value range.
        REAL low = 1.0e20f, high = -1.0e20f;
        for (INTEGER k = 1; k <= 5; ++k)
            GETNX(&suite.SuiteCurves(1, (k - 1) * suite.KindCount + 1), suite.SuitePointCount, low, high);
        EXPECT_FLOAT_EQ(suite.CurveValueMin, low) << c.kind;
        EXPECT_FLOAT_EQ(suite.CurveValueMax, high) << c.kind;
        INTEGER first = 0, last = 0;
        LOGNX(low, high, first, last);
        const GraphFrameRecord& f = curveGraphFrames().Frames[0];
        EXPECT_EQ(f.MinorY, first + c.shift) << c.kind;
        EXPECT_EQ(f.StepsY, last - first) << c.kind;
    }
}

TEST_F(SuiteDisplayTest, LogarithmicDepthAxisStartsAtTheTopAndModinchTwiceTurnsALinearAxisBack)
{
    Suite d;
    d.Layers = 3;
    d.Model = {100.0f, 10.0f, 100.0f, 200.0f, 300.0f};  // boundaries at 200 and 500 m
    SuiteFixture::computeSuite(d);
    GraphFrameRecord& m = modelGraphFrames().Frames[0];
    const REAL first = m.FirstTickY, step = m.StepY;

    graphOptionsState().LinearDepth = kFalse;
    modelGraphAutoscale();
    EXPECT_TRUE(isTrue(m.LogY));
    EXPECT_FLOAT_EQ(m.OriginY, 7.25f);
    EXPECT_NEAR(m.StepsY * m.LengthY, -6.0f, 1e-5f);
    INTEGER first10 = 0, last10 = 0;
    LOGNX(0.9f * 200.0f, 1.1f * 500.0f, first10, last10);
    EXPECT_EQ(m.MinorY, first10);
    EXPECT_EQ(m.StepsY, last10 - first10);

    graphOptionsState().LinearDepth = kTrue;
    modelGraphAutoscale();
    EXPECT_FLOAT_EQ(m.FirstTickY, first);
    EXPECT_FLOAT_EQ(m.StepY, step);
    MODINCH(modelGraphFrames().Frames, 1);
    EXPECT_FLOAT_EQ(m.StepY, -step);
    EXPECT_FLOAT_EQ(m.FirstTickY + m.StepsY * m.StepY, first);
    EXPECT_FLOAT_EQ(m.FirstTickY, 0.0f);
}

TEST_F(SuiteDisplayTest, DepthsInFeetPutTheAxisInFeetLikeTheModelLines)
{
    Suite d;
    d.Layers = 3;
    d.Model = {100.0f, 10.0f, 100.0f, 100.0f, 200.0f};  // boundaries at 100 and 300 m
    d.Values = {100.0f};
    SuiteFixture::computeSuite(d);
    const GraphFrameRecord metres = modelGraphFrames().Frames[0];
    graphOptionsState().DepthInFeet = kTrue;
    modelGraphAutoscale();
    const GraphFrameRecord& feet = modelGraphFrames().Frames[0];
    // 1.1 x 300 m = 330 m lies within the metre axis, 1083 ft within the foot axis.
    EXPECT_GE(metres.FirstTickY, 330.0f);
    EXPECT_LT(metres.FirstTickY, 1000.0f);
    EXPECT_GE(feet.FirstTickY, 330.0f / 0.3048f);
    EXPECT_FLOAT_EQ(suiteState().ModelDepthMax, 300.0f);  // the ranges stay in metres

    // The boundaries are drawn where the axis says 328 ft and 984 ft, inside the frame.
    plotPenState() = PlotPenState{};
    redraw();
    const std::vector<REAL> boundaries = boundaryDepths(linesOf(2, kModelPage), feet);
    ASSERT_EQ(boundaries.size(), 2u);
    EXPECT_NEAR(boundaries[0], 100.0f / 0.3048f, 1.0f);
    EXPECT_NEAR(boundaries[1], 300.0f / 0.3048f, 1.0f);
    const std::vector<RecordedOp> texts = opsOf(OpText);
    std::string drawn;
    for (const RecordedOp& t : texts) drawn += t.Text;
    EXPECT_NE(drawn.find("Depth(ft)"), std::string::npos);  // device text: one character per op, blanks unsent
}

TEST_F(SuiteDisplayTest, BeforeAnySuiteTheAutoscaleLeavesFiniteFramesAndTheRedrawOnlyClears)
{
    suiteDisplayAutoscale();
    for (const GraphFrameRecord& f : {curveGraphFrames().Frames[0], modelGraphFrames().Frames[0]}) {
        GraphFrameRecord g = f;
        FINDAS(g);
        EXPECT_TRUE(finiteFrame(g));
    }
    graphOptionsState().CurveMajorGrid = graphOptionsState().CurveMinorGrid = kTrue;
    graphOptionsState().ModelMajorGrid = graphOptionsState().LabelsShown = kTrue;
    ToolkitLinkFake::script().WindowCalls.clear();
    redraw();
    EXPECT_TRUE(opsOf(OpLine).empty());
    EXPECT_TRUE(opsOf(OpText).empty());
    ASSERT_FALSE(ToolkitLinkFake::script().WindowCalls.empty());
    EXPECT_EQ(ToolkitLinkFake::script().WindowCalls[0], "WindowClearArea(-,-,-,-,-)");
}

// ---- curves and models --------------------------------------------------------------------

TEST_F(SuiteDisplayTest, EachCurveTakesTheNextColourWithALinePerDisplayColumnAndItsModelBeside)
{
    struct Case {
        INTEGER kind;
        int linesPerCurve;
    };
    for (const Case c : {Case{kDisplayEarlyRho, 1}, Case{kDisplayEarlyLateRho, 2}, Case{kDisplayEarlyLateAllTimeRho, 3}}) {
        reset();
        Suite d;
        d.Kind = c.kind;
        SuiteFixture::computeSuite(d);
        redraw();
        for (INTEGER pen : {2, 4, 6, 8, 10}) {
            EXPECT_EQ(polylines(linesOf(pen, kCurvePage)), c.linesPerCurve) << "kind " << c.kind << " pen " << pen;
            EXPECT_EQ(polylines(linesOf(pen, kModelPage)), 1) << "kind " << c.kind << " pen " << pen;
        }
        EXPECT_EQ(pensIn(kCurvePage), (std::set<INTEGER>{kFramePen, 2, 4, 6, 8, 10}));
    }
}

TEST_F(SuiteDisplayTest, EightCurvesReuseTheFirstColourAndAStoppedSuiteDrawsOnlyItsComputedCurves)
{
    Suite d;
    d.Kind = kDisplayEarlyRho;
    d.Values = {10, 20, 40, 80, 160, 320, 640, 1280};
    SuiteFixture::computeSuite(d);
    redraw();
    EXPECT_EQ(polylines(linesOf(2, kCurvePage)), 2);
    EXPECT_EQ(pensIn(kCurvePage), (std::set<INTEGER>{kFramePen, 2, 4, 6, 8, 10, 12, 14}));

    reset();
    d.Computed = 3;
    SuiteFixture::computeSuite(d);
    redraw();
    EXPECT_EQ(pensIn(kCurvePage), (std::set<INTEGER>{kFramePen, 2, 4, 6}));
    EXPECT_EQ(pensIn(kModelPage), (std::set<INTEGER>{kFramePen, 2, 4, 6}));
}

TEST_F(SuiteDisplayTest, ModelLinesRunDownwardsAndADepthSuiteMovesTheBoundaryBelowWithTheVariedOne)
{
    Suite d;
    d.Kind = kDisplayEarlyRho;
    d.Varied = kVaryDepth;
    d.Layer = 1;
    d.Layers = 3;
    d.DepthEntry = false;
    d.Model = {100.0f, 10.0f, 1000.0f, 100.0f, 200.0f};  // boundaries at 100 and 300 m
    d.Values = {50.0f, 150.0f};
    SuiteFixture::computeSuite(d);
    redraw();
    const GraphFrameRecord& m = modelGraphFrames().Frames[0];
    for (const auto& [pen, top] : std::map<INTEGER, REAL>{{2, 50.0f}, {4, 150.0f}}) {
        REAL previousY = 1e9f;
        const std::vector<PageSegment> line = linesOf(pen, kModelPage);
        for (const PageSegment& s : line) {
            // Depth grows downwards: every vertical run goes down the page.
            EXPECT_LE(s.Y2, s.Y1 + 1e-4f);
            EXPECT_LE(s.Y2, previousY + 1e-4f);
            previousY = s.Y2;
        }
        const std::vector<REAL> boundaries = boundaryDepths(line, m);
        ASSERT_EQ(boundaries.size(), 2u) << pen;
        EXPECT_NEAR(boundaries[0], top, 1.0f);
        EXPECT_NEAR(boundaries[1], top + 200.0f, 1.0f);  // the layer below keeps 200 m
    }
    // The base model is back, in thicknesses, and the response marked as not computed.
    const SoundingRecord& s = suiteSoundingRecord().Record;
    EXPECT_FLOAT_EQ(s.Model.Parameters(4), 100.0f);
    EXPECT_FLOAT_EQ(s.Model.Parameters(5), 200.0f);
    EXPECT_FALSE(isTrue(s.Model.DepthEntry));
    EXPECT_FALSE(isTrue(s.ResponseComputed));
}

TEST_F(SuiteDisplayTest, ARedrawPutsBackWhatItChangesAndTwoRedrawsDrawTheSame)
{
    Suite d;
    d.Layers = 2;
    d.Varied = kVaryThickness;
    d.Model = {100.0f, 10.0f, 250.0f};
    d.Values = {100.0f, 200.0f, 400.0f};
    SuiteFixture::computeSuite(d);
    graphOptionsState().CurveMajorGrid = graphOptionsState().CurveMinorGrid = kTrue;
    graphOptionsState().ModelMajorGrid = kTrue;
    PlotSettingsState& settings = plotSettingsState();
    settings.KCALC[0] = 6;
    settings.KBEST = 9;
    suiteState().LDataPct = suiteState().LDifference = kTrue;  // the percent title for this redraw only

    redraw();  // the first screen start also defines the plot palette
    redraw();
    const std::vector<RecordedOp> first = driver.ops();
    EXPECT_EQ(pensIn(kCurvePage).count(6), 1u);  // the first curve in the first KCALC colour
    redraw();
    const std::vector<RecordedOp> second = driver.ops();
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        ASSERT_EQ(first[i].Op, second[i].Op) << i;
        EXPECT_EQ(first[i].ColourIndex, second[i].ColourIndex) << i;
        EXPECT_FLOAT_EQ(first[i].Block.X1, second[i].Block.X1) << i;
        EXPECT_FLOAT_EQ(first[i].Block.Y1, second[i].Block.Y1) << i;
    }
    EXPECT_EQ(settings.KCALC[0], 6);
    EXPECT_EQ(settings.KBEST, 9);
    EXPECT_EQ(axisTitleTable().row(32).trimmed(), "Received Voltage (nV)");
    EXPECT_FLOAT_EQ(suiteSoundingRecord().Record.Model.Parameters(3), 250.0f);

    // Ended early: nothing computed to draw.
    suiteState().CurvesComputed = 0;
    redraw();
    EXPECT_TRUE(opsOf(OpLine).empty());
    EXPECT_EQ(settings.KCALC[0], 6);
    EXPECT_EQ(settings.KBEST, 9);
    EXPECT_EQ(axisTitleTable().row(32).trimmed(), "Received Voltage (nV)");
}

TEST_F(SuiteDisplayTest, TitlesNameTheSoundingTheKindAndTheAxes)
{
    struct Case {
        INTEGER component, kind;
        const char* valueTitle;
    };
    for (const Case c : {Case{kFieldHz, kDisplayReceivedVoltage, "Received Voltage (nV)"},
                         Case{kFieldEx, kDisplayElectricField, "Electric Field (nV/m)"},
                         Case{kFieldHz, kDisplayEarlyLateRho, "Apparent Resistivity (Ohm-m)"}}) {
        reset();
        Suite d;
        d.Component = c.component;
        d.Kind = c.kind;
        d.Values = {100.0f};
        SuiteFixture::computeSuite(d);
        redraw();
        std::string drawn;
        for (const RecordedOp& t : opsOf(OpText)) drawn += t.Text;
        for (std::string title : {std::string("Suite test"), std::string(c.valueTitle), std::string("Time (Sec)"),
                                  std::string("Resistivity (Ohm-m)"), std::string("Depth (m)")}) {
            // Device text arrives one character per op, and blanks are not sent.
            std::erase(title, ' ');
            EXPECT_NE(drawn.find(title), std::string::npos) << title;
        }
        EXPECT_FALSE(isTrue(graphOptionsState().VoltageReadout));
    }
}

// ---- grid lines ---------------------------------------------------------------------------

TEST_F(SuiteDisplayTest, GridLinesFallOnInnerStepsWithMinorLinesOnlyBesideMajorOnes)
{
    struct Case {
        const char* name;
        bool logarithmic;
        INTEGER steps, minor;
        bool major;
        INTEGER minorPen;
        size_t majorLines, minorLines;
    };
    const Case cases[] = {
        {"3 decades, both", true, 3, -3, true, 13, 2 * 2, 2 * 24},
        {"3 decades, major", true, 3, -3, true, 0, 2 * 2, 0},
        {"3 decades, minor alone", true, 3, -3, false, 13, 0, 0},
        {"4 linear steps of 5", false, 4, 5, true, 13, 2 * 3, 2 * 16},
    };
    for (const Case& c : cases) {
        GraphFramePair frames{};
        GraphFrameRecord& f = frames[0];
        f.OriginX = 1.0f;
        f.OriginY = 7.0f;
        f.StepsX = f.StepsY = c.steps;
        f.LengthX = 1.0f;
        f.LengthY = -1.5f;  // downwards, as a logarithmic depth axis
        f.MinorX = f.MinorY = c.minor;
        f.setLogarithmic(FrameAxis::X, c.logarithmic);
        f.setLogarithmic(FrameAxis::Y, c.logarithmic);
        startPage();
        DRAWGRID(frames, toLogical(c.major), c.minorPen, c.minorPen, kFalse, 1);
        const std::vector<RecordedOp> lines = opsOf(OpLine);
        const std::vector<PageSegment> s = segments();
        size_t major = 0, minor = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            (lines[i].ColourIndex == 13 ? minor : major)++;
            // Inside the frame, which lies below its origin.
            EXPECT_LE(std::max(s[i].Y1, s[i].Y2), 7.001f) << c.name;
            EXPECT_GE(std::min(s[i].Y1, s[i].Y2), 7.0f + c.steps * -1.5f - 0.001f) << c.name;
            EXPECT_GE(std::min(s[i].X1, s[i].X2), 0.999f) << c.name;
            EXPECT_LE(std::max(s[i].X1, s[i].X2), 1.0f + c.steps + 0.001f) << c.name;
        }
        EXPECT_EQ(major, c.majorLines) << c.name;
        EXPECT_EQ(minor, c.minorLines) << c.name;
        if (c.logarithmic && c.major && c.minorPen > 0) {
            // The first minor line of a decade at log10(2).
            EXPECT_NEAR(s[0].X1, 1.0f + std::log10(2.0f), 1e-3f) << c.name;
        }
    }
}

TEST_F(SuiteDisplayTest, TheGridTogglesDrawGridLinesOverBothGraphs)
{
    SuiteFixture::computeSuite(Suite{});
    redraw();
    EXPECT_TRUE(linesOf(13, kCurvePage).empty());
    graphOptionsState().CurveMajorGrid = graphOptionsState().CurveMinorGrid = kTrue;
    redraw();
    const GraphFrameRecord& c = curveGraphFrames().Frames[0];
    // Minor lines: 8 per decade across the time axis and across the value axis.
    EXPECT_EQ(linesOf(13, kCurvePage).size(), static_cast<size_t>(8 * (c.StepsX + c.StepsY)));
    EXPECT_TRUE(linesOf(13, kModelPage).empty());
    graphOptionsState().ModelMajorGrid = graphOptionsState().ModelMinorGrid = kTrue;
    redraw();
    EXPECT_FALSE(linesOf(13, kModelPage).empty());
}

// ---- routines no command uses -------------------------------------------------------------

TEST_F(SuiteDisplayTest, StepPolylineHasTwoPointsPerLayerLimitedToTheAxis)
{
    const REAL values[] = {10.0f, 100.0f, 30.0f};
    struct Case {
        const char* name;
        REAL top, bottom;
        REAL boundaries[2];
        bool depthEntry;
        std::vector<REAL> y;
    };
    const Case cases[] = {
        {"thicknesses", 0.0f, 1000.0f, {100.0f, 200.0f}, false, {0, 100, 100, 300, 300, 1000}},
        {"depths", 0.0f, 1000.0f, {100.0f, 300.0f}, true, {0, 100, 100, 300, 300, 1000}},
        {"log axis from 10 m to 200 m", 10.0f, 200.0f, {5.0f, 500.0f}, false, {10, 10, 10, 200, 200, 200}},
    };
    for (const Case& c : cases) {
        REAL x[6], y[6];
        INTEGER n = 0;
        MDL2LIN(c.top, c.bottom, x, y, n, values, c.boundaries, 3, toLogical(c.depthEntry));
        ASSERT_EQ(n, 6) << c.name;
        for (int i = 0; i < 6; ++i) {
            EXPECT_FLOAT_EQ(x[i], values[i / 2]) << c.name << i;
            EXPECT_FLOAT_EQ(y[i], c.y[static_cast<std::size_t>(i)]) << c.name << i;
        }
    }
    REAL x[5], y[5];
    INTEGER n = 0;
    const REAL depths[] = {100.0f, 400.0f};
    MDL2SML(0.0f, 1000.0f, x, y, n, values, depths, 3, kTrue);
    ASSERT_EQ(n, 5);
    const REAL expected[] = {0.0f, 50.0f, 200.0f, 400.0f, 1000.0f};  // the middle of 100..400 m is geometric
    for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(y[i], expected[i]) << i;
}

TEST_F(SuiteDisplayTest, EffectiveDepthResidualsOfTheVoltageAndTheFieldForm)
{
    // b = a: r = 1.
    const REAL u = 0.367879f * (std::sqrt(5.0f) - 2.0f);
    EXPECT_NEAR(EFFDEPTH(3.0f, 3.0f, "V"), 3.0f * std::sqrt((5.0f - 0.135335f) / 0.54134f) - 3.0f, 1e-4f);
    EXPECT_NEAR(EFFDEPTH(3.0f, 3.0f, "E"), 3.0f * (1.0f - u * u) / (4.0f * u) - 3.0f, 1e-4f);
    EXPECT_NEAR(EFFDEPTH(1.0f, 0.0f, "V"), std::sqrt((1.0f - 0.135335f) / 0.54134f), 1e-5f);
    EXPECT_NEAR(EFFDEPTH(2.0f, 0.0f, "E"), 2.0f * (1.0f - 0.367879f * 0.367879f) / (4.0f * 0.367879f), 1e-5f);
}

TEST_F(SuiteDisplayTest, TimeAxisSkipsZerosAndNaNsAndTheValueRangeOnlyTheFirstColumn)
{
    SoundingRecord s;
    s.Data.PointCount = 4;
    s.Data.ColumnCount = 2;
    s.Data.SampleTimes.allocate(4, 1);
    s.ResponseValues.allocate(4, 2);
    const REAL times[] = {0.0f, std::nanf(""), 0.002f, 30.0f};
    const REAL values[] = {5.0f, 1.0e20f, 50.0f, 0.5f, 1.0e6f, 1.0e6f, 1.0e6f, 1.0e6f};
    for (int i = 0; i < 4; ++i) s.Data.SampleTimes(i + 1) = times[i];
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 4; ++i) s.ResponseValues(i + 1, j + 1) = values[j * 4 + i];
    GraphFrameRecord f;
    SCALE_X(f, s, s);
    EXPECT_EQ(f.MinorX, -3);
    EXPECT_EQ(f.StepsX, 5);  // 0.001 .. 100 s
    REAL low = 1.0e20f, high = -1.0e20f;
    SCALE_Y_MINMAX(s, low, high, 1, 2, 1, kTrue, 0);
    EXPECT_EQ(high, -1.0e20f);  // not computed: nothing
    s.ResponseComputed = kTrue;
    SCALE_Y_MINMAX(s, low, high, 1, 2, 1, kTrue, 1);
    EXPECT_EQ(high, -1.0e20f);  // skipped
    SCALE_Y_MINMAX(s, low, high, 1, 2, 1, kTrue, 0);
    EXPECT_FLOAT_EQ(low, 0.5f);
    EXPECT_FLOAT_EQ(high, 50.0f);  // 1.0E20 is no value, column 2 is not read
}

TEST_F(SuiteDisplayTest, OneSoundingScalesItsOwnModelAndAHalfSpaceGetsADepthOfATenthOfAMetre)
{
    SoundingRecord s;
    s.Model.NLayer = 1;
    s.Model.ValuesPerLayer = 1;
    s.Model.ParameterCount = 1;
    s.Model.Parameters.allocate(1);
    s.Model.Parameters(1) = 50.0f;
    SCALE_MDL(modelGraphFrames().Frames, s, kFalse);
    EXPECT_FLOAT_EQ(suiteState().ModelDepthMin, 0.1f);
    EXPECT_FLOAT_EQ(suiteState().ModelDepthMax, 0.2f);
    EXPECT_FLOAT_EQ(suiteState().ModelValueMin[0], 50.0f);
    const GraphFrameRecord& m = modelGraphFrames().Frames[0];
    EXPECT_FLOAT_EQ(m.OriginX, 7.25f);
    EXPECT_LT(m.StepY, 0.0f);  // linear depth, turned to grow downwards
}

TEST_F(SuiteDisplayTest, ZoomSuitePicksTheGraphUnderTheBoxMiddle)
{
    SuiteFixture::computeSuite(Suite{});
    const GraphFrameRecord curve = curveGraphFrames().Frames[0], model = modelGraphFrames().Frames[0];
    // Middle at x = 7.25 inches, the model graph's origin: the model graph zooms.
    ZOOMSUITE(7000, 3000, 7500, 6000);
    EXPECT_EQ(curveGraphFrames().Frames[0].MinorY, curve.MinorY);
    EXPECT_NE(modelGraphFrames().Frames[0].FirstTickY, model.FirstTickY);
    ZOOMSUITE(2500, 3000, 4000, 6000);
    EXPECT_NE(curveGraphFrames().Frames[0].MinorX, curve.MinorX);
    // The page keeps the frame's size.
    const GraphFrameRecord& c = curveGraphFrames().Frames[0];
    EXPECT_NEAR(c.StepsX * c.LengthX, 5.0f, 1e-4f);
}

TEST_F(SuiteDisplayTest, NearModelFindsTheBoundaryOrTheLayerUnderThePointer)
{
    Suite d;
    d.Layers = 2;
    d.Model = {100.0f, 10.0f, 200.0f};
    d.Values = {100.0f};
    SuiteFixture::computeSuite(d);
    GraphFrameRecord& m = modelGraphFrames().Frames[0];
    const SoundingRecord& s = suiteSoundingRecord().Record;
    const auto window = [&](REAL value, REAL depth, INTEGER& ix, INTEGER& iy) {
        ix = static_cast<INTEGER>((m.OriginX + PLOFX(value, m)) * 1000.0f + 0.5f);
        iy = static_cast<INTEGER>(10000.0f - (m.OriginY + PLOFY(depth, m)) * 1250.0f + 0.5f);
    };
    INTEGER ix = 0, iy = 0;
    window(30.0f, 200.0f, ix, iy);  // on the boundary between the two values
    ModelGrip grip = NEARMODEL(ix, iy, m, s);
    EXPECT_EQ(grip.Layer, 1);
    EXPECT_TRUE(isTrue(grip.Boundary));
    window(100.0f, 100.0f, ix, iy);  // on the first layer's value line
    grip = NEARMODEL(ix, iy, m, s);
    EXPECT_EQ(grip.Layer, 1);
    EXPECT_FALSE(isTrue(grip.Boundary));
    window(1000.0f, 100.0f, ix, iy);  // far from every line
    EXPECT_EQ(NEARMODEL(ix, iy, m, s).Layer, 0);
    EXPECT_EQ(ToolkitLinkFake::script().WindowCalls.back(), "WCursorShape(0)");
}

}  // namespace

// The wizard copies the program's first sounding, made without time columns, into the suite: the
// display commands scale and redraw it before any calculation without reading a time.
TEST_F(SuiteDisplayTest, TheFirstSoundingCopiedByTheWizardHasNoTimesAndTheTogglesAndUnZoomStillScaleIt)
{
    SoundingPair current;
    LayerModelRecord& model = current.Record.Model;
    model.NLayer = 1;
    model.ValuesPerLayer = 1;
    model.ParameterCount = 1;
    current.Record.Data.ColumnCount = 1;
    current.Record.Data.PointCount = 1;
    current.Record.Data.GraphCount = 1;
    ALLOCSOUND(current.Record, current.Companion);
    model.Parameters(1) = 10.0f;
    COPYSOUND(suiteSoundingRecord().Record, suiteSoundingRecord().Companion, current.Record, current.Companion);
    COPYSOUND(secondModelSoundingRecord().Record, secondModelSoundingRecord().Companion, current.Record, current.Companion);
    for (int i = 0; i < 3; ++i) {
        graphOptionsState().LinearDepth = graphOptionsState().LinearDepth ? kFalse : kTrue;
        modelGraphAutoscale();
        redraw();
        suiteDisplayAutoscale();
        redraw();
        EXPECT_TRUE(opsOf(OpLine).empty());
    }
    for (const GraphFrameRecord& f : {curveGraphFrames().Frames[0], modelGraphFrames().Frames[0]}) {
        GraphFrameRecord g = f;
        FINDAS(g);
        EXPECT_TRUE(finiteFrame(g));
    }
}
