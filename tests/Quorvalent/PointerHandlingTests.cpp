// The main loop's pointer events inside a test process, on a main window with a computed suite:
// the rubber band's rules and the graph it zooms, the label hover, drag and right-button drag, and
// the read-out's texts and units.
#include <gtest/gtest.h>

#include <vector>

#include "Quorvalent/AppState.h"
#include "Quorvalent/DrawLabel.h"
#include "Quorvalent/PointerHandling.h"
#include "Quorvalent/Quorvalent.h"
#include "Quorvalent/Refresh1d.h"
#include "WBRVLib/Gngrid.h"
#include "tests/Quorvalent/SuiteFixture.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;

namespace {

EventRecord pointerEvent(INTEGER X, INTEGER Y, INTEGER time, INTEGER button = 1)
{
    EventRecord r{};
    r[1] = button;
    r[5] = X;
    r[6] = Y;
    r[11] = time;
    return r;
}

// The main window's drawing.
std::vector<COLORREF> drawing() { return clientPixels(windowSlotTable().Slots[0].Client); }

// The axes a zoom sets (a redraw changes the drawn extents, not these).
bool sameAxes(const GraphFrameRecord& a, const GraphFrameRecord& b)
{
    return a.FirstTickX == b.FirstTickX && a.FirstTickY == b.FirstTickY && a.StepX == b.StepX && a.StepY == b.StepY &&
           a.StepsX == b.StepsX && a.StepsY == b.StepsY && a.MinorX == b.MinorX && a.MinorY == b.MinorY &&
           a.LengthX == b.LengthX && a.LengthY == b.LengthY;
}

class PointerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WindowOpen(39, 20, 20, 500, 400, kMainMenuId);
        pumpPending();
    }
    static void TearDownTestSuite()
    {
        SuiteFixture::resetDisplayState();
        ToolkitSession::closeAllWindows();
    }
    void SetUp() override
    {
        SuiteFixture::resetDisplayState();
        SuiteFixture::computeSuite(SuiteFixture::Suite{});
        // The drawing derives the frames' mapping constants, as on the screen.
        SoundingPair& suite = suiteSoundingRecord();
        REFRESHSUITE(suite.Record, suite.Companion);
        pointerState() = PointerState{};
        labelTable() = LabelTable{};
    }
    // A drag: press, one move at the given time, release there.
    static void drag(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER moveTime, INTEGER button = 1)
    {
        pointerPress(pointerEvent(x1, y1, 1000, button));
        pointerMove(pointerEvent(x2, y2, 1000 + moveTime, button));
        pointerRelease(pointerEvent(x2, y2, 1100 + moveTime, button));
    }
};

TEST_F(PointerTest, ABandZoomsTheGraphUnderItsMiddleOnlyWhenHeldLongEnoughAndLargeEnough)
{
    struct Case {
        const char* Name;
        INTEGER X1, X2, Time;
        bool ZoomOn;
        bool CurveZoomed, ModelZoomed;
    };
    const Case cases[] = {
        {"released within 300 ms", 2000, 4000, 250, true, false, false},
        {"zoom mode off", 2000, 4000, 400, false, false, false},
        {"50 units wide", 3000, 3050, 400, true, false, false},
        {"51 units wide", 3000, 3051, 400, true, true, false},
        {"middle exactly at the model graph's origin", 6750, 7750, 400, true, false, true},
        {"middle in the curve graph", 2000, 4000, 400, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        graphOptionsState().ZoomMode = toLogical(c.ZoomOn);
        ASSERT_EQ(modelGraphFrames().Frames[0].OriginX, 7.25f);
        const GraphFrameRecord curve = curveGraphFrames().Frames[0], model = modelGraphFrames().Frames[0];
        drag(c.X1, 3000, c.X2, 6000, c.Time);
        EXPECT_EQ(!sameAxes(curve, curveGraphFrames().Frames[0]), c.CurveZoomed);
        EXPECT_EQ(!sameAxes(model, modelGraphFrames().Frames[0]), c.ModelZoomed);
        EXPECT_FALSE(isTrue(pointerState().BandActive));
    }
}

TEST_F(PointerTest, HoverFindsALabelAndADragMovesItWhileARightDragMovesItOnlyAtTheRelease)
{
    const GraphFrameRecord& f = curveGraphFrames().Frames[0];
    graphOptionsState().LabelsShown = kTrue;
    LabelTable& t = labelTable();
    t.Count = 1;
    // A label in the middle of the curve graph, on its anchor, 2 x 0.5 inches.
    const REAL x = XOFPL(3.75f, f), y = YOFPL(4.25f, f);
    t.X[1] = t.AnchorX[1] = x;
    t.Y[1] = t.AnchorY[1] = y;
    t.Width[1] = isTrue(f.LogX) ? 10.0f : 2.0f;
    t.Height[1] = isTrue(f.LogY) ? 2.0f : 0.5f;
    t.Text[1] = std::string("label").append(45, ' ');
    const INTEGER X = 3750, Y = 10000 - 4250 * 10000 / 8000;

    pointerMove(pointerEvent(X + 20, Y + 20, 10, 0));
    EXPECT_EQ(pointerState().CurrentLabel, 1);
    EXPECT_EQ(pointerState().Grab, 0);
    // Pressed 0.02 inch right of its centre and dragged after 300 ms: the label and its anchor
    // follow the pointer, held where the press held them.
    drag(X + 20, Y + 20, X + 1000, Y + 1000, 400);
    EXPECT_NEAR(PLOFX(t.X[1], f) + f.OriginX, 4.73f, 0.005f);
    EXPECT_EQ(t.X[1], t.AnchorX[1]);
    EXPECT_EQ(pointerState().CurrentLabel, 0);
    EXPECT_FALSE(isTrue(pointerState().DragActive));

    // The right button: moves change nothing until the release.
    pointerMove(pointerEvent(X + 1000, Y + 1000, 2000, 0));
    ASSERT_EQ(pointerState().CurrentLabel, 1);
    const REAL before = t.X[1];
    pointerPress(pointerEvent(X + 1000, Y + 1000, 3000, 3));
    pointerMove(pointerEvent(X, Y, 3500, 3));
    EXPECT_EQ(t.X[1], before);
    pointerRelease(pointerEvent(X, Y, 3600, 3));
    EXPECT_NEAR(PLOFX(t.X[1], f) + f.OriginX, 3.73f, 0.005f);

    // With the labels off nothing is hit.
    graphOptionsState().LabelsShown = kFalse;
    pointerMove(pointerEvent(X, Y, 4000, 0));
    EXPECT_EQ(pointerState().CurrentLabel, 0);
}

TEST_F(PointerTest, ACommandsRedrawKeepsTheHoveredLabelHighlightedAndTheMoveAwayTakesItOff)
{
    const GraphFrameRecord& f = curveGraphFrames().Frames[0];
    graphOptionsState().LabelsShown = kTrue;
    LabelTable& t = labelTable();
    t.Count = 1;
    t.X[1] = t.AnchorX[1] = XOFPL(3.75f, f);
    t.Y[1] = t.AnchorY[1] = YOFPL(4.25f, f);
    t.Width[1] = isTrue(f.LogX) ? 10.0f : 2.0f;
    t.Height[1] = isTrue(f.LogY) ? 2.0f : 0.5f;
    t.Text[1] = std::string("label").append(45, ' ');
    const INTEGER X = 3750, Y = 10000 - 4250 * 10000 / 8000;

    // Un-zoom on an un-zoomed display redraws the same picture.
    ASSERT_TRUE(runMenuCommand(kCmdUnZoom));
    const std::vector<COLORREF> plain = drawing();
    ASSERT_FALSE(plain.empty());
    pointerMove(pointerEvent(X + 20, Y + 20, 10, 0));
    ASSERT_EQ(pointerState().CurrentLabel, 1);
    const std::vector<COLORREF> highlighted = drawing();
    ASSERT_NE(highlighted, plain);

    // The redraw paints the label plainly; the hovered one gets its highlight back at once.
    ASSERT_TRUE(runMenuCommand(kCmdUnZoom));
    EXPECT_EQ(drawing(), highlighted);
    pointerMove(pointerEvent(X + 3000, Y + 3000, 20, 0));
    EXPECT_EQ(pointerState().CurrentLabel, 0);
    EXPECT_EQ(drawing(), plain);

    // Labels switched off under the pointer: nothing stays hovered, and the move after them draws nothing.
    pointerMove(pointerEvent(X + 20, Y + 20, 30, 0));
    ASSERT_EQ(pointerState().CurrentLabel, 1);
    ASSERT_TRUE(runMenuCommand(kCmdLabels));
    EXPECT_EQ(pointerState().CurrentLabel, 0);
    const std::vector<COLORREF> hidden = drawing();
    pointerMove(pointerEvent(X + 3000, Y + 3000, 40, 0));
    EXPECT_EQ(drawing(), hidden);
}

TEST_F(PointerTest, TheReadOutNamesTimeAndValueOrResistivityAndDepthAndNothingOutsideTheGraphs)
{
    const SoundingRecord& s = currentSoundingRecord().Record;
    const GraphFrameRecord& curve = curveGraphFrames().Frames[0];
    const GraphFrameRecord& model = modelGraphFrames().Frames[0];
    PointerReadout r;
    ASSERT_TRUE(pointerReadout(3.75f, 4.25f, s, curve, model, r));
    EXPECT_TRUE(r.XFirst);
    EXPECT_EQ(r.XText, fixedReadout(XOFPL(3.75f, curve), 10, 5) + " S");
    EXPECT_EQ(r.YText.substr(r.YText.size() - 4), " o-m");
    EXPECT_EQ(r.YText.size() - r.YText.find('.') - 1, 3u + 4u);

    ASSERT_TRUE(pointerReadout(8.5f, 4.25f, s, curve, model, r));
    EXPECT_FALSE(r.XFirst);
    EXPECT_EQ(r.XText.substr(r.XText.size() - 4), " o-m");
    EXPECT_EQ(r.XText.size() - r.XText.find('.') - 1, 2u + 4u);
    EXPECT_EQ(r.YText.substr(r.YText.size() - 2), " m");
    EXPECT_EQ(r.YText.size() - r.YText.find('.') - 1, 1u + 2u);
    graphOptionsState().DepthInFeet = kTrue;
    ASSERT_TRUE(pointerReadout(8.5f, 4.25f, s, curve, model, r));
    EXPECT_EQ(r.YText.substr(r.YText.size() - 3), " ft");
    graphOptionsState().VoltageReadout = kTrue;
    ASSERT_TRUE(pointerReadout(3.75f, 4.25f, s, curve, model, r));
    EXPECT_EQ(r.YText.substr(r.YText.size() - 6), " nV/m2");

    EXPECT_FALSE(pointerReadout(0.5f, 0.5f, s, curve, model, r));
    EXPECT_FALSE(pointerReadout(6.75f, 4.0f, s, curve, model, r));

    // Fixed fields: left-justified, asterisks when the value does not fit.
    EXPECT_EQ(fixedReadout(0.0316228f, 10, 5), "0.03162");
    EXPECT_EQ(fixedReadout(-12.5f, 10, 1), "-12.5");
    EXPECT_EQ(fixedReadout(123456789.0f, 10, 3), "**********");
}

}  // namespace
