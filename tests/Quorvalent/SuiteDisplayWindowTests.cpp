// The suite display on the main window: suites computed by direct engine runs, drawn by the
// program's own redraw and commands, read back as pixels (frame borders, curve and model colours,
// grid lines), kept as PNG screenshots; the redraw for the printer on the recording driver.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "Quorvalent/Quorvalent.h"
#include "RecordingDriver.h"
#include "WBRVLib/Gngrid.h"
#include "WBRVLib/Plotxy.h"
#include "tests/Quorvalent/SuiteFixture.h"
#include "tests/e2e/E2eDriver.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/devices/HardcopyJob.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/GraphicsState.h"

using namespace GuiHarness;
using SuiteFixture::Suite;

namespace {

using Pixels = std::vector<COLORREF>;

const COLORREF kPenColours[16] = {
    RGB(0, 0, 0),   RGB(0, 255, 255), RGB(127, 0, 127), RGB(255, 0, 255), RGB(0, 0, 255),   RGB(0, 127, 127),
    RGB(0, 0, 127), RGB(0, 127, 0),   RGB(0, 255, 0),   RGB(255, 255, 0), RGB(127, 127, 0), RGB(255, 0, 0),
    RGB(127, 0, 0), RGB(84, 84, 84),  RGB(0, 0, 0),     RGB(255, 255, 255),
};

bool closeTo(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 1 && std::abs(GetGValue(a) - GetGValue(b)) <= 1 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 1;
}

class SuiteWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        SuiteFixture::resetDisplayState();
        WindowOpen(39, 10, 10, 1000, 800, kMainMenuId);
        pumpPending();
        client = windowSlotTable().Slots[0].Client;
        ASSERT_TRUE(client);
        waitUntil([&] { return !GetUpdateRect(client, nullptr, FALSE); });
        plotPenState() = PlotPenState{};
        kPen14 = [] {
            const INTEGER rgb = defaultPalette().Entries[14];
            return RGB(rgb & 255, (rgb >> 8) & 255, (rgb >> 16) & 255);
        }();
    }
    void TearDown() override
    {
        SuiteFixture::resetDisplayState();
        ToolkitSession::closeAllWindows();
    }
    COLORREF pen(INTEGER p) const { return p == 14 ? kPen14 : kPenColours[p]; }

    void redraw()
    {
        SoundingPair& suite = suiteSoundingRecord();
        REFRESHSUITE(suite.Record, suite.Companion);
        GdiFlush();
    }
    // Every client pixel, top row first.
    Pixels pixels() const
    {
        const RECT rect = clientRect(client);
        width = rect.right;
        height = rect.bottom;
        return clientPixels(client);
    }
    COLORREF at(const Pixels& p, int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height) return RGB(255, 255, 255);
        return p[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
    // The client pixel of a page position (the page fills the client area).
    POINT pixelOf(REAL x, REAL y) const
    {
        return POINT{static_cast<LONG>(x / 10.0f * static_cast<REAL>(width - 1) + 0.5f),
                     static_cast<LONG>((1.0f - y / 8.0f) * static_cast<REAL>(height - 1) + 0.5f)};
    }
    // A pixel of the colour within `reach` pixels of a page position.
    bool colourNear(const Pixels& p, REAL x, REAL y, COLORREF colour, int reach = 2) const
    {
        const POINT c = pixelOf(x, y);
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx)
                if (closeTo(at(p, c.x + dx, c.y + dy), colour)) return true;
        return false;
    }
    // Runs of a colour down one pixel column between two page heights: one per line crossing it.
    int runsDown(const Pixels& p, REAL x, REAL yTop, REAL yBottom, COLORREF colour) const
    {
        const POINT top = pixelOf(x, yTop), bottom = pixelOf(x, yBottom);
        int runs = 0;
        bool inside = false;
        for (int y = top.y; y <= bottom.y; ++y) {
            const bool hit = closeTo(at(p, top.x, y), colour) || closeTo(at(p, top.x + 1, y), colour);
            if (hit && !inside) ++runs;
            inside = hit;
        }
        return runs;
    }
    // Colours found in a page rectangle, as pens.
    std::set<INTEGER> pensIn(const Pixels& p, REAL x1, REAL y1, REAL x2, REAL y2) const
    {
        std::set<INTEGER> found;
        const POINT a = pixelOf(x1, y2), b = pixelOf(x2, y1);
        for (int y = a.y; y <= b.y; ++y)
            for (int x = a.x; x <= b.x; ++x)
                for (INTEGER k = 0; k < 15; ++k)
                    if (k != 13 && closeTo(at(p, x, y), pen(k))) found.insert(k);
        return found;
    }
    // Both frames' borders in blue (pen 4) on all four sides.
    void expectBlueBorders(const Pixels& p) const
    {
        struct Rect {
            REAL x1, y1, x2, y2;
        };
        for (const Rect r : {Rect{1.25f, 1.25f, 6.25f, 7.25f}, Rect{7.25f, 1.25f, 9.75f, 7.25f}}) {
            // Left of the first sample time on the curve graph's top edge: curves above the value
            // axis run along that edge. The model graph's left edge lies under the 10 ohm-m line.
            for (REAL f : {0.06f, 0.11f, 0.16f}) {
                const REAL x = r.x1 + f * (r.x2 - r.x1), y = r.y1 + (3.0f * f + 0.2f) * (r.y2 - r.y1);
                if (r.x1 < 7.0f) {
                    EXPECT_TRUE(colourNear(p, r.x1, y, pen(4))) << "left " << r.x1 << "," << y;
                }
                EXPECT_TRUE(colourNear(p, r.x2, y, pen(4))) << "right " << r.x2 << "," << y;
                EXPECT_TRUE(colourNear(p, x, r.y1, pen(4))) << "bottom " << x << "," << r.y1;
                EXPECT_TRUE(colourNear(p, x, r.y2, pen(4))) << "top " << x << "," << r.y2;
            }
        }
    }
    // A PNG of the screen in the artefacts, once the window shows what was drawn.
    static void shoot(const char* name)
    {
        pumpPending();
        GdiFlush();
        E2e::screenshot(name);
    }
    static int differing(const Pixels& a, const Pixels& b)
    {
        if (a.size() != b.size()) return -1;
        int n = 0;
        for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
        return n;
    }
    // The page x of a sample time in the curve graph.
    static REAL timeX(REAL t)
    {
        const GraphFrameRecord& f = curveGraphFrames().Frames[0];
        return f.OriginX + PLOFX(t, f);
    }

    HWND client = nullptr;
    mutable int width = 0, height = 0;
    COLORREF kPen14 = 0;
};

TEST_F(SuiteWindow, DefaultSuiteShowsBothFramesInBlueAndFiveCurvesOfTwoLinesBesideTheirModels)
{
    Watchdog watchdog{std::chrono::milliseconds(120000)};
    SuiteFixture::computeSuite(Suite{});
    redraw();
    const Pixels p = pixels();
    shoot("suite-display-default");
    expectBlueBorders(p);
    // Five colours in the curve graph: 2, 4, 6, 8, 10 (4 is also the frame's blue).
    const std::set<INTEGER> curvePens = pensIn(p, 1.3f, 1.3f, 6.2f, 7.2f);
    for (INTEGER k : {2, 4, 6, 8, 10}) EXPECT_EQ(curvePens.count(k), 1u) << k;
    EXPECT_EQ(curvePens.count(12), 0u);
    // Early- and late-time curve of each model cross a column at mid-time: two lines per colour (the
    // 1000 ohm-m late-time curve runs above the value axis there).
    for (INTEGER k : {2, 4, 6, 8}) EXPECT_EQ(runsDown(p, timeX(0.03f), 7.2f, 1.3f, pen(k)), 2) << k;
    // One-layer models: a vertical line per model in its colour, from the top of the depth axis down.
    const GraphFrameRecord& m = modelGraphFrames().Frames[0];
    const REAL values[] = {10.0f, 30.0f, 100.0f, 300.0f, 1000.0f};
    for (int k = 0; k < 5; ++k) {
        const REAL x = m.OriginX + PLOFX(values[k], m);
        for (REAL y : {7.0f, 4.0f, 1.5f}) EXPECT_TRUE(colourNear(p, x, y, pen(2 + 2 * k))) << k << " at " << y;
    }
}

TEST_F(SuiteWindow, KindSixDrawsThreeLinesAndEightCurvesReuseTheFirstColour)
{
    Watchdog watchdog{std::chrono::milliseconds(120000)};
    Suite six;
    six.Kind = kDisplayEarlyLateAllTimeRho;
    six.Values = {30.0f, 300.0f};
    SuiteFixture::computeSuite(six);
    redraw();
    Pixels p = pixels();
    shoot("suite-display-kind6");
    EXPECT_EQ(runsDown(p, timeX(0.03f), 7.2f, 1.3f, pen(2)), 3);

    SuiteFixture::resetDisplayState();
    Suite eight;
    eight.Kind = kDisplayEarlyRho;
    eight.Values = {3, 10, 30, 100, 300, 1000, 3000, 10000};
    SuiteFixture::computeSuite(eight);
    redraw();
    p = pixels();
    shoot("suite-display-eight-curves");
    EXPECT_EQ(runsDown(p, timeX(0.01f), 7.2f, 1.3f, pen(2)), 2);  // curves 1 and 8
    const std::set<INTEGER> pens = pensIn(p, 1.3f, 1.3f, 6.2f, 7.2f);
    for (INTEGER k : {2, 4, 6, 8, 10, 12, 14}) EXPECT_EQ(pens.count(k), 1u) << k;
}

TEST_F(SuiteWindow, DepthSuiteMovesTheBoundaryBelowWithTheVariedOneAndLinearDepthTurnsTheAxis)
{
    Watchdog watchdog{std::chrono::milliseconds(120000)};
    Suite d;
    d.Kind = kDisplayEarlyRho;
    d.Varied = kVaryDepth;
    d.Layer = 1;
    d.Layers = 3;
    d.Model = {100.0f, 10.0f, 1000.0f, 100.0f, 200.0f};  // boundaries at 100 and 300 m
    d.Values = {50.0f, 150.0f, 250.0f};
    SuiteFixture::computeSuite(d);
    redraw();
    Pixels p = pixels();
    shoot("suite-display-depth-suite");
    expectBlueBorders(p);
    const auto boundaryAt = [&](const Pixels& px, INTEGER penNumber, REAL depth) {
        const GraphFrameRecord& m = modelGraphFrames().Frames[0];
        // Across the second boundary the line runs from 10 to 1000 ohm-m: look at 100 ohm-m.
        return colourNear(px, m.OriginX + PLOFX(100.0f, m), m.OriginY + PLOFY(depth, m), pen(penNumber));
    };
    const REAL tops[] = {50.0f, 150.0f, 250.0f};
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(boundaryAt(p, 2 + 2 * k, tops[k] + 200.0f)) << k;  // the layer below keeps 200 m
        EXPECT_FALSE(boundaryAt(p, 2 + 2 * k, 300.0f)) << k;           // not at the base model's boundary
    }
    // Deeper boundaries lie lower on the page.
    const GraphFrameRecord& m = modelGraphFrames().Frames[0];
    EXPECT_GT(PLOFY(50.0f, m), PLOFY(450.0f, m));

    // Logarithmic depth: the same boundaries, depth still downwards.
    ASSERT_TRUE(runMenuCommand(kCmdLinearDepth));
    GdiFlush();
    EXPECT_FALSE(isTrue(graphOptionsState().LinearDepth));
    p = pixels();
    shoot("suite-display-depth-suite-log-depth");
    EXPECT_TRUE(isTrue(m.LogY));
    EXPECT_GT(PLOFY(50.0f, m), PLOFY(450.0f, m));
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(boundaryAt(p, 2 + 2 * k, tops[k] + 200.0f)) << k;
}

TEST_F(SuiteWindow, GridTogglesDrawGreyMinorAndBlueMajorLinesOverTheCurves)
{
    Watchdog watchdog{std::chrono::milliseconds(120000)};
    SuiteFixture::computeSuite(Suite{});
    const GraphFrameRecord& c = curveGraphFrames().Frames[0];
    const auto minorX = [&] { return c.OriginX + std::log10(2.0f) * c.LengthX; };
    const auto majorX = [&] { return c.OriginX + c.LengthX; };
    const REAL y = c.OriginY + 0.37f * c.StepsY * c.LengthY;
    const COLORREF grey = pen(13);

    // Minor Axes while Major Axes is off: no grid.
    ASSERT_TRUE(runMenuCommand(kCmdCurveMinorGrid));
    Pixels p = pixels();
    EXPECT_FALSE(colourNear(p, minorX(), y, grey, 0));
    ASSERT_TRUE(runMenuCommand(kCmdCurveMajorGrid));
    ASSERT_TRUE(runMenuCommand(kCmdCurveMinorGrid));
    p = pixels();
    shoot("suite-display-curve-grid");
    EXPECT_TRUE(colourNear(p, minorX(), y, grey, 0));
    EXPECT_TRUE(colourNear(p, majorX(), y, pen(4), 0));
    EXPECT_FALSE(colourNear(p, 8.5f, 4.0f, grey, 4));  // the model graph has none yet

    ASSERT_TRUE(runMenuCommand(kCmdModelMajorGrid));
    ASSERT_TRUE(runMenuCommand(kCmdModelMinorGrid));
    p = pixels();
    const GraphFrameRecord& m = modelGraphFrames().Frames[0];
    EXPECT_TRUE(colourNear(p, m.OriginX + std::log10(2.0f) * m.LengthX, 4.0f, grey, 0));
    // Major Axes off takes the minor lines away too.
    ASSERT_TRUE(runMenuCommand(kCmdCurveMajorGrid));
    p = pixels();
    EXPECT_FALSE(colourNear(p, minorX(), y, grey, 0));
    EXPECT_FALSE(colourNear(p, majorX(), y, pen(4), 0));
}

TEST_F(SuiteWindow, RedrawsAreIdenticalAndUnZoomRestoresTheAutoscaledPicture)
{
    Watchdog watchdog{std::chrono::milliseconds(120000)};
    SuiteFixture::computeSuite(Suite{});
    redraw();
    const Pixels first = pixels();
    redraw();
    EXPECT_TRUE(pixels() == first);

    // Zoomed in on both graphs: a different picture.
    ZOOMBOX(2000, 3000, 5000, 6000, curveGraphFrames().Frames[0]);
    ZOOMBOX(7600, 2500, 9000, 6000, modelGraphFrames().Frames[0]);
    redraw();
    EXPECT_FALSE(pixels() == first);
    ASSERT_TRUE(runMenuCommand(kCmdUnZoom));
    GdiFlush();
    EXPECT_TRUE(pixels() == first);
}

TEST_F(SuiteWindow, PrintingSendsTheWholeRedrawToTheHardcopyWithFiveTimesTheLineWidth)
{
    Watchdog watchdog{std::chrono::milliseconds(120000)};
    SuiteFixture::computeSuite(Suite{});
    redraw();
    const Pixels screen = pixels();
    // The ops one redraw sends to the screen.
    std::map<INTEGER, int> screenOps;
    {
        RecordingDriver recorder(true, false);
        redraw();
        for (const RecordedOp& op : recorder.ops()) ++screenOps[op.Op];
    }
    {
        // The recording driver stands in for the printer while the job lasts.
        RecordingDriver printer(false, true);
        IGrHardcopyDevice(1, 10);
        printer.clear();
        graphOptionsState().Printing = kTrue;
        redraw();
        std::map<INTEGER, int> printed;
        for (const RecordedOp& op : printer.ops())
            if (op.Layer == 2) ++printed[op.Op];
        EXPECT_EQ(graphicsState().HardcopyActive, 1);
        ASSERT_TRUE(drawableHooks().hardcopyLineThicknessQuery);
        EXPECT_EQ(drawableHooks().hardcopyLineThicknessQuery(), 5 * plotSettingsState().LineWidth);
        EXPECT_EQ(graphicsState().LineWidth, plotSettingsState().LineWidth);
        for (INTEGER op : {static_cast<INTEGER>(OpLine), static_cast<INTEGER>(OpText)}) {
            EXPECT_GT(screenOps[op], 100) << op;
            EXPECT_EQ(printed[op], screenOps[op]) << op;
        }
        IGrHardcopyBeginEnd("S");
        IGrResetGraphics(" ");
        graphOptionsState().Printing = kFalse;
    }
    // The clears while the screen output was off left an expose behind (the program's loop redraws
    // on it): handled first here.
    pumpPending();
    redraw();
    shoot("suite-display-after-printing");
    EXPECT_EQ(differing(pixels(), screen), 0);
}

}  // namespace
