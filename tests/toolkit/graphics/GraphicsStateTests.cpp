// Graphics state, drawables, the transform, the sending rule of the driver protocol and the
// presentation ranges, seen through a recording driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "RecordingDriver.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/PresentationGraphics.h"

namespace {

// A 640 x 480 window drawable after a reset, with a recording driver on both layers.
class GraphicsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGraphicsForTest();
        libraryErrorState().LastErrorNumber = 0;
        driver.clear();
    }
    void TearDown() override { graphicsState().HardcopyActive = 0; }
    static INTEGER lastError() { return libraryErrorState().LastErrorNumber; }

    RecordingDriver driver;
};

}  // namespace

TEST_F(GraphicsFixture, AreaFractionsAndTheirErrors)
{
    struct Case { REAL x1, y1, x2, y2; INTEGER error; REAL ax1, ay1, ax2, ay2; };
    const Case cases[] = {
        {0, 0, 1, 1, 0, 0, 0, 1, 1},
        {0.25f, 0.5f, 0.75f, 1, 0, 0.25f, 0.5f, 0.75f, 1},
        {0.5f, 0.2f, 0.5f, 0.8f, 44, 0, 0.2f, 1, 0.8f},   // empty x: x falls back, y kept
        {0.1f, 0.9f, 0.9f, 0.1f, 44, 0.1f, 0, 0.9f, 1},   // reversed y
        {-0.1f, 0, 1, 1.5f, 44, 0, 0, 1, 1},              // both axes outside
        {std::nanf(""), 0, 1, 1, 44, 0, 0, 1, 1},
    };
    for (const Case& c : cases) {
        libraryErrorState().LastErrorNumber = 0;
        IGrArea(c.x1, c.y1, c.x2, c.y2);
        const GraphicsTransform& t = graphicsTransform();
        EXPECT_EQ(lastError(), c.error) << c.x1 << "," << c.y1;
        EXPECT_FLOAT_EQ(t.AreaX1, c.ax1);
        EXPECT_FLOAT_EQ(t.AreaY1, c.ay1);
        EXPECT_FLOAT_EQ(t.AreaX2, c.ax2);
        EXPECT_FLOAT_EQ(t.AreaY2, c.ay2);
    }
    IGrArea(0, 0, 1, 1);
    const GraphicsTransform& t = graphicsTransform();
    EXPECT_FLOAT_EQ(t.DeviceXMax, 639.99f);
    EXPECT_FLOAT_EQ(t.DeviceYMax, 479.99f);
    EXPECT_EQ(t.PixelXMax, 639);
    EXPECT_EQ(t.PixelYMax, 479);
    EXPECT_EQ(t.PixelWidth, 640);
    EXPECT_FLOAT_EQ(t.ClipXMin, -0.001f);
    // The clip area goes to the current drawable, and to the hardcopy only while one is open.
    EXPECT_EQ(driver.codes(1).back(), OpClipArea);
    EXPECT_TRUE(driver.codes(2).empty());
}

TEST_F(GraphicsFixture, UnitsErrorsAndTheTransformAtEveryPageAngle)
{
    IGrUnits(5, 3, 5, 4);
    EXPECT_EQ(lastError(), 16);
    EXPECT_FLOAT_EQ(graphicsTransform().UserXMax, 1);
    EXPECT_FLOAT_EQ(graphicsTransform().UserYMax, 4);
    libraryErrorState().LastErrorNumber = 0;
    IGrUnits(0, std::nanf(""), 10, 8);
    EXPECT_EQ(lastError(), 16);
    EXPECT_FLOAT_EQ(graphicsTransform().UserYMin, 0);
    EXPECT_FLOAT_EQ(graphicsTransform().UserYMax, 1);

    IGrUnits(0, 0, 10, 8);
    struct Case { INTEGER angle; REAL x, y, xd, yd; };
    const Case cases[] = {
        {0, 10, 8, 639.99f, 479.99f}, {0, 0, 0, 0, 0},
        {90, 0, 0, 639.99f, 0},       {90, 10, 8, 0, 479.99f},
        {180, 0, 0, 639.99f, 479.99f}, {270, 0, 0, 0, 479.99f},
    };
    for (const Case& c : cases) {
        graphicsTransform().PageAngle = c.angle;
        REAL xd = 0, yd = 0, x = 0, y = 0;
        YYUnitsToDevice(c.x, c.y, xd, yd);
        EXPECT_NEAR(xd, c.xd, 1e-3) << c.angle;
        EXPECT_NEAR(yd, c.yd, 1e-3) << c.angle;
        YYDeviceToUnitsRotated(xd, yd, x, y);  // and back
        EXPECT_NEAR(x, c.x, 1e-4) << c.angle;
        EXPECT_NEAR(y, c.y, 1e-4) << c.angle;
    }
    graphicsTransform().PageAngle = 0;

    INTEGER ix = 0, iy = 0;
    IGrWorldToPixel(-0.5f * 10 / 639.99f, 0, ix, iy);  // device x -0.5 lies in unit -1
    EXPECT_EQ(ix, -1);
    EXPECT_EQ(iy, 0);
    IGrWorldToPixel(std::numeric_limits<REAL>::infinity(), std::nanf(""), ix, iy);  // saturates, no UB
    EXPECT_GT(ix, 2000000000);
    EXPECT_EQ(iy, 0);
    REAL x = 0, y = 0;
    IGrPixelToWorld(0, 0, x, y);
    EXPECT_NEAR(x, 0.5f * 10 / 639.99f, 1e-6);
    EXPECT_NEAR(y, 0.5f * 8 / 479.99f, 1e-6);
}

TEST(DeviceConversion, SaturatesEveryRealToAWholeUnit)
{
    struct Case { REAL value; INTEGER trunc, floor; };
    const REAL inf = std::numeric_limits<REAL>::infinity();
    const Case cases[] = {
        {2.7f, 2, 2}, {-2.7f, -2, -3}, {-0.5f, 0, -1}, {0.0f, 0, 0},
        {3e9f, 2147483520, 2147483520}, {-3e9f, -2147483520, -2147483520},
        {inf, 2147483520, 2147483520}, {-inf, -2147483520, -2147483520}, {std::nanf(""), 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(YYDeviceTrunc(c.value), c.trunc) << c.value;
        EXPECT_EQ(YYDeviceFloor(c.value), c.floor) << c.value;
    }
}

TEST_F(GraphicsFixture, SendingRuleBetweenScreenAndHardcopy)
{
    // Screen on, no hardcopy: attributes reach only the current drawable.
    IGrColourN(31);
    EXPECT_EQ(driver.codes(1), std::vector<INTEGER>{OpColour});
    EXPECT_TRUE(driver.codes(2).empty());

    // Screen off and a hardcopy open: only the hardcopy, in the documented order.
    driver.clear();
    graphicsState().DrawableActive = 0;
    graphicsState().HardcopyActive = 1;
    IGrColourN(159);
    IGrPaletteEntryRGB(20, 0x123456, 1);
    IGrArea(0, 0, 0.5f, 0.5f);
    EXPECT_EQ(driver.codes(2), (std::vector<INTEGER>{OpColour, OpPaletteEntry, OpClipArea}));
    // The clip area of the current drawable is still announced; the screen driver drops it while inactive.
    EXPECT_EQ(driver.codes(1), std::vector<INTEGER>{OpClipArea});
    const RecordedOp& entry = driver.ops()[1];
    EXPECT_EQ(entry.Block.Count, 20);
    EXPECT_EQ(entry.Block.IntX1, 0x123456);
    EXPECT_EQ(entry.Block.IntX4, 1);
    EXPECT_EQ(entry.Block.Value, 20);  // 256 device colours: slot = index
    INTEGER v = 0;
    YYPaletteRGB(20, v);
    EXPECT_EQ(v, 0x123456);

    // A resize of the current drawable rescales an open hardcopy.
    driver.clear();
    YYWindowResized(0, 320, 200);
    ASSERT_FALSE(driver.codes(2).empty());
    EXPECT_EQ(driver.codes(2).front(), OpBeginOutput);
    EXPECT_EQ(driver.ops().front().Block.Value, -1);
    // A resize of another window changes nothing.
    driver.clear();
    YYWindowResized(4, 10, 10);
    EXPECT_TRUE(driver.ops().empty());
    EXPECT_EQ(graphicsState().DrawableWidth, 320);
}

namespace {

// Moves every field a graphics reset restores away from its default.
void disturbGraphicsState()
{
    GraphicsState& g = graphicsState();
    GraphicsTransform& t = graphicsTransform();
    g.StrokeTextActive = 1;
    g.PlotMode = 3;
    g.ColourModel = 2;
    g.ColourIndex = {5, 6};
    g.ColourRGB = {1, 2};
    g.LineType = 5;
    g.LineWidth = 4;
    g.MetafileLineWidth = 9;
    g.FillStyle = 4;
    g.FillOutline = 0;
    g.LayerFillRequest = {2, 2};
    g.DeviceColours = 16;
    t.PageAngle = 90;
    t.CurrentPointX = t.CurrentPointY = 7;
    t.CharWidthFraction = 0.5f;
    IGrArea(0.2f, 0.2f, 0.4f, 0.4f);
    IGrUnits(-5, -5, 5, 5);
    presentationState().GraphType = 2;
}

}  // namespace

TEST_F(GraphicsFixture, ResetRestoresEveryStateField)
{
    disturbGraphicsState();
    IGrResetGraphics("p");
    const GraphicsState& g = graphicsState();
    const GraphicsTransform& t = graphicsTransform();
    struct Whole { const char* name; INTEGER value, expected; };
    const Whole wholes[] = {
        {"StrokeTextActive", g.StrokeTextActive, 0},   {"PlotMode", g.PlotMode, 0},
        {"ColourModel", g.ColourModel, 1},             {"previous colour", g.ColourIndex[0], 0},
        {"current colour", g.ColourIndex[1], 223},     {"previous RGB", g.ColourRGB[0], 16777215},
        {"current RGB", g.ColourRGB[1], 0},            {"LineType", g.LineType, 0},
        {"LineWidth", g.LineWidth, 1},                 {"MetafileLineWidth", g.MetafileLineWidth, 5},
        {"FillStyle", g.FillStyle, 0},                 {"FillOutline", g.FillOutline, 1},
        {"drawable fill request", g.LayerFillRequest[0], 0},
        {"hardcopy fill request", g.LayerFillRequest[1], 0},
        {"DrawableActive", g.DrawableActive, 1},       {"DeviceColours", g.DeviceColours, g.PaletteSlots},
        {"PageAngle", t.PageAngle, 0},                 {"GraphType", presentationState().GraphType, 4},
    };
    for (const Whole& w : wholes) EXPECT_EQ(w.value, w.expected) << w.name;
    struct Real { const char* name; REAL value, expected; };
    const Real reals[] = {
        {"CurrentPointX", t.CurrentPointX, 0.0f}, {"CurrentPointY", t.CurrentPointY, 0.0f},
        {"CharWidthFraction", t.CharWidthFraction, 0.01333333f}, {"AreaX1", t.AreaX1, 0.0f},
        {"AreaWidth", t.AreaWidth, 1.0f}, {"UserXMin", t.UserXMin, 0.0f}, {"UserYMax", t.UserYMax, 1.0f},
        {"DeviceXMax", t.DeviceXMax, 639.99f},
    };
    for (const Real& r : reals) EXPECT_FLOAT_EQ(r.value, r.expected) << r.name;
}

TEST_F(GraphicsFixture, ResetInitialisesTheScreenThenTheHardcopyDevice)
{
    IGrResetGraphics("p");
    // The screen: begin, init, both colours, then the attributes.
    const std::vector<INTEGER> expected{OpBeginOutput, OpClipArea, OpInit,      OpColour, OpColour,
                                        OpPlotMode,    OpLineType, OpLineWidth, OpCharSize};
    EXPECT_EQ(driver.codes(1), expected);
    // The hardcopy device: OpInit alone, with Value 0 because no hardcopy driver was kept.
    std::vector<RecordedOp> hardcopy;
    for (const RecordedOp& op : driver.ops())
        if (op.Layer == 2) hardcopy.push_back(op);
    ASSERT_EQ(hardcopy.size(), 1u);
    EXPECT_EQ(hardcopy[0].Op, OpInit);
    EXPECT_EQ(hardcopy[0].Block.Value, 0);
}

TEST_F(GraphicsFixture, ResetEndsARunningHardcopyWithoutClosingItsPage)
{
    graphicsState().HardcopyActive = 1;
    IGrResetGraphics(" ");
    const std::vector<INTEGER> hardcopy = driver.codes(2);
    EXPECT_EQ(std::count(hardcopy.begin(), hardcopy.end(), OpEndOutput), 1);
    EXPECT_EQ(std::count(hardcopy.begin(), hardcopy.end(), OpEndPage), 0);
    EXPECT_EQ(graphicsState().HardcopyActive, 0);
}

TEST_F(GraphicsFixture, ResetOptionsSwitchTheScreenOffAndKeepTheHardcopyOptions)
{
    struct Case {
        const char* options;
        bool optionsSaved;     // what the hook that saves a set-up driver's options answers
        INTEGER screenOn;      // "H" or "h" switch the screen off
        INTEGER hardcopyValue; // -998: the hardcopy driver keeps its options ("P" or "p" once saved)
    };
    const Case cases[] = {
        {"", false, 1, 0}, {"h", false, 0, 0}, {"H", false, 0, 0}, {"P", false, 1, 0},
        {"P", true, 1, -998}, {"hP", true, 0, -998},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.options + "\"" + (c.optionsSaved ? " saved" : ""));
        drawableHooks().hardcopyOptionsSave = c.optionsSaved ? +[] { return true; } : +[] { return false; };
        driver.clear();
        IGrResetGraphics(c.options);
        EXPECT_EQ(graphicsState().DrawableActive, c.screenOn);
        const std::vector<INTEGER> screen = driver.codes(1);
        EXPECT_EQ(std::count(screen.begin(), screen.end(), OpBeginOutput), c.screenOn);
        std::vector<INTEGER> values;
        for (const RecordedOp& op : driver.ops())
            if (op.Layer == 2 && op.Op == OpInit) values.push_back(op.Block.Value);
        EXPECT_EQ(values, std::vector<INTEGER>{c.hardcopyValue});
        EXPECT_EQ(driverParameterBlock().Value, 0);  // the block is left clean for the next op
    }
    drawableHooks().hardcopyOptionsSave = nullptr;
}

TEST_F(GraphicsFixture, SelectionFailuresFallBackToTheCurrentWindow)
{
    struct Case { INTEGER kind; INTEGER id; };
    const Case cases[] = {{kDrawableDialogField, 0}, {kDrawableBitmap, 1}, {kDrawablePicture, 21}, {kDrawablePicture, 3}};
    for (const Case& c : cases) {
        driver.clear();
        libraryErrorState().LastErrorNumber = 0;
        IGrSelect(c.kind, c.id);
        EXPECT_EQ(lastError(), 1019) << c.kind;
        EXPECT_EQ(graphicsState().DrawableKind, kDrawableWindow);
        EXPECT_EQ(graphicsState().DrawableId, 0);
        for (INTEGER code : driver.codes(1)) EXPECT_NE(code, OpInit);
    }

    // A picture slot being recorded: the recorder gets the ops, with the restore sequence.
    drawableHooks().metafileSlot = [](INTEGER, INTEGER& kind, INTEGER& w, INTEGER& h, INTEGER&) {
        kind = 6;
        w = 100;
        h = 50;
    };
    static std::vector<INTEGER> recorder;
    recorder.clear();
    driverHooks().MetafileDriver = [](INTEGER op) { recorder.push_back(op); };
    IGrSelect(kDrawablePicture, 2);
    EXPECT_EQ(graphicsState().MetafileRecording, 1);
    EXPECT_EQ(graphicsState().DrawableWidth, 100);
    EXPECT_EQ(recorder, (std::vector<INTEGER>{OpClipArea, OpInit, OpBeginOutput, OpLineWidth, OpLineType,
                                              OpColourRestore, OpClipArea}));
    IGrSelect(kDrawableWindow);
    EXPECT_EQ(graphicsState().MetafileRecording, 0);
}

TEST_F(GraphicsFixture, InquiryCodes)
{
    driver.answerInit(1, "11111111111111111110111011110");
    IGrSelect(kDrawableWindow);
    IGrColourN(31);
    graphicsState().LineType = 3;
    struct Case { INTEGER code, value; };
    const Case cases[] = {
        {0, 0}, {1, 1}, {20, 0}, {24, 0}, {27, 1}, {29, 0}, {30, 256}, {31, 256}, {32, 132}, {33, 5},
        {34, 223}, {35, 31}, {36, 3}, {37, 0}, {38, 8}, {43, 1}, {44, 0}, {47, 0}, {48, 0}, {50, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(IGrInquire(c.code), c.value) << c.code;
}

TEST(PresentationRanges, AreasAxesAndGraphs)
{
    IPgArea(10, 0, 1, 5);
    PresentationState& p = presentationState();
    EXPECT_FLOAT_EQ(p.DataX1, 10);
    EXPECT_FLOAT_EQ(p.DataXRange, -9);
    EXPECT_FLOAT_EQ(p.DataXMin, 1);
    EXPECT_FLOAT_EQ(p.DataXMax, 10);

    libraryErrorState().LastErrorNumber = 0;
    IPgArea(2, 3, 2, 4);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 16);
    EXPECT_FLOAT_EQ(p.DataX2, 1);
    EXPECT_FLOAT_EQ(p.DataY2, 4);

    IPgNewGraph(4, 500, {1});
    IPgArea(1, 10, 100, 1000);
    IPgLogAxes("log", "Lin");
    EXPECT_TRUE(isTrue(p.XLogActive));
    EXPECT_FALSE(isTrue(p.YLogActive));
    EXPECT_FLOAT_EQ(p.LogXRange, 2);
    IPgNewGraph(1, 1, {1});
    EXPECT_FALSE(isTrue(p.XLogActive));  // graph type 1 keeps x linear
    EXPECT_FLOAT_EQ(YYLog10Clamped(0), -38);

    struct Graph { INTEGER type, sets, points; INTEGER gotType, gotSets, gotPoints; };
    const Graph graphs[] = {{0, 900, 0, 4, 500, 1}, {12, 1, 1, 4, 1, 1}, {8, 3, 1, 8, 3, 2}, {3, 7, 9, 3, 7, 9}};
    for (const Graph& g : graphs) {
        IPgNewGraph(g.type, g.sets, {g.points});
        EXPECT_EQ(p.GraphType, g.gotType);
        EXPECT_EQ(p.DataSets, g.gotSets);
        EXPECT_EQ(p.Points, g.gotPoints);
    }
    EXPECT_EQ(p.SetRecords.size(), 7u);

    struct Step { INTEGER points, step; };
    for (const Step s : {Step{12, 1}, Step{13, 2}, Step{50, 5}, Step{100, 10}}) {
        IPgNewGraph(4, 1, {s.points}, 0, 1);
        EXPECT_EQ(p.StepValue, s.step) << s.points;
    }

    IPgSubArea(1, 0.2f, 0, 0.8f);
    EXPECT_FLOAT_EQ(p.SubAreaX1, 0.1f);
    EXPECT_FLOAT_EQ(p.SubAreaY1, 0.2f);
    EXPECT_FLOAT_EQ(p.SubAreaX2, 0.9f);
    EXPECT_FLOAT_EQ(p.SubAreaY2, 0.8f);
    libraryErrorState().LastErrorNumber = 0;
    IPgUnitsPolar(0);
    IPgUnitsZ(3, 3);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 16);
    EXPECT_FLOAT_EQ(p.PolarScale, 1);
    EXPECT_FLOAT_EQ(p.ZMax, 1);
}

TEST_F(GraphicsFixture, ResetSeedsTheSlotColoursOfAWideDeviceBuiltBeforeItsCountWasKnown)
{
    GraphicsState& g = graphicsState();
    g.DeviceColours = 0;
    g.PaletteSlots = 32;
    defaultPalette().SlotColourTableN.fill(0);
    YYPaletteDefault();  // as the window opening does, before the reset
    EXPECT_EQ(defaultPalette().SlotColourTableN[2], 0);
    IGrResetGraphics(" ");
    EXPECT_EQ(g.DeviceColours, 32);
    EXPECT_EQ(defaultPalette().SlotColourTableN[2], defaultPalette().Entries[23]);
    g.PaletteSlots = 256;
    g.DeviceColours = 256;
}
