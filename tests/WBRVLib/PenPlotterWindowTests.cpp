// The pen plotter on a real window: the application's two graph frames reach the pixels at their
// inch positions, a rubber box drawn twice leaves the window as it was, and the sixteen pens show
// the plot palette's colours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "WBRVLib/Gngrid.h"
#include "WBRVLib/Plotxy.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/GraphicsState.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

class PlotterWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        openMainWindow("Pen plotter", 820, 700, 20, 20);
        client = windowSlotTable().Slots[0].Client;
        ASSERT_TRUE(client);
        waitUntil([&] { return !GetUpdateRect(client, nullptr, FALSE); });
        plotPenState() = PlotPenState{};
        PLOTXY(1.0f, 0.0f, kPenStart, scratch);
    }
    void TearDown() override { closeAllWindows(); }

    // The client pixel (column, row) of a page position.
    POINT pixelOf(REAL x, REAL y) const
    {
        INTEGER ix = 0, iy = 0;
        IGrWorldToPixel(x, y, ix, iy);
        return POINT{ix, graphicsState().DrawableHeight - 1 - iy};
    }
    // Some pixel within one of the page position is not white: a line passes there.
    bool lineNear(REAL x, REAL y) const
    {
        const POINT p = pixelOf(x, y);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (clientPixel(client, p.x + dx, p.y + dy) != RGB(255, 255, 255)) return true;
        return false;
    }

    HWND client = nullptr;
    GraphFrameRecord scratch;
};

// The curve graph's frame: logarithmic time axis of 4 decades and value axis of 6, 5 by 6 inches.
GraphFrameRecord curveFrame()
{
    GraphFrameRecord f;
    f.OriginX = 1.25f;
    f.OriginY = 1.25f;
    f.LengthX = 1.25f;
    f.StepsX = 4;
    f.MinorX = -5;
    f.setLogarithmic(FrameAxis::X, true);
    f.LengthY = 1.0f;
    f.StepsY = 6;
    f.MinorY = -3;
    f.setLogarithmic(FrameAxis::Y, true);
    f.NumberBottom = f.NumberLeft = kTrue;
    return f;
}

// The model graph's frame, 2.5 by 6 inches: a logarithmic depth axis grows downwards from the
// top, so its origin lies at the upper-left corner and its y length is negative.
GraphFrameRecord modelFrame()
{
    GraphFrameRecord f;
    f.OriginX = 7.25f;
    f.OriginY = 7.25f;
    f.LengthX = 1.25f;
    f.StepsX = 2;
    f.MinorX = 0;
    f.setLogarithmic(FrameAxis::X, true);
    f.LengthY = -1.5f;
    f.StepsY = 4;
    f.MinorY = 0;
    f.setLogarithmic(FrameAxis::Y, true);
    f.NumberBottom = f.NumberLeft = kTrue;
    return f;
}

void drawFrame(GraphFrameRecord& f)
{
    SET_PEN(0);
    PLOTXY(f.OriginX, f.OriginY, -kPenMove, f);
    GNGRID(f);
    FINDAS(f);
}

}  // namespace

TEST_F(PlotterWindow, ApplicationFramesReachTheirInchPositions)
{
    Watchdog watchdog{std::chrono::milliseconds(60000)};
    GraphFrameRecord curves = curveFrame(), model = modelFrame();
    drawFrame(curves);
    drawFrame(model);
    ASSERT_TRUE(waitUntil([&] { return lineNear(1.25f, 4.25f); }));

    struct Border {
        const char* what;
        REAL x, y;
    };
    const Border borders[] = {
        {"curve graph, left", 1.25f, 4.25f},   {"curve graph, right", 6.25f, 4.25f},
        {"curve graph, bottom", 3.75f, 1.25f}, {"curve graph, top", 3.5f, 7.25f},
        {"model graph, left", 7.25f, 4.1f},    {"model graph, right", 9.75f, 4.1f},
        {"model graph, bottom", 8.6f, 1.25f},  {"model graph, top", 8.6f, 7.25f},
    };
    for (const Border& b : borders) EXPECT_TRUE(lineNear(b.x, b.y)) << b.what;
    // Inside the boxes, away from every tick, the page stays white.
    EXPECT_FALSE(lineNear(3.4f, 4.6f));
    EXPECT_FALSE(lineNear(8.3f, 3.4f));
    // The numbers stand outside the boxes: left of them and below them.
    EXPECT_LT(curves.LeftmostX, -0.1f);
    EXPECT_LT(curves.LowestY, -0.1f);
    EXPECT_LT(model.LeftmostX, -0.1f);
}

TEST_F(PlotterWindow, RubberBoxDrawnTwiceRestoresEveryPixel)
{
    Watchdog watchdog{std::chrono::milliseconds(60000)};
    GraphFrameRecord curves = curveFrame();
    drawFrame(curves);
    ASSERT_TRUE(waitUntil([&] { return lineNear(1.25f, 4.25f); }));
    const std::vector<COLORREF> before = clientPixels(client);

    // Corners in window units: the box crosses the frame's lines and the white page. Exclusive-or
    // with the current pen: red turns white into cyan.
    SET_PEN(11);
    RUBBERBOX(500, 2000, 6000, 8000);
    const POINT corner = pixelOf(0.5f, 6.4f);
    ASSERT_TRUE(waitUntil([&] { return clientPixel(client, corner.x, corner.y) != RGB(255, 255, 255); }));
    const std::vector<COLORREF> outlined = clientPixels(client);
    ASSERT_EQ(outlined.size(), before.size());
    std::size_t changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) changed += outlined[i] != before[i];
    EXPECT_GT(changed, 400u);
    EXPECT_FALSE(isTrue(L_XOR()));

    RUBBERBOX(500, 2000, 6000, 8000);
    EXPECT_TRUE(waitUntil([&] { return clientPixels(client) == before; }));
}

TEST_F(PlotterWindow, SixteenPensShowThePlotPalette)
{
    Watchdog watchdog{std::chrono::milliseconds(60000)};
    // Pen 14 is not part of the plot palette and keeps the toolkit's colour.
    const INTEGER rgb14 = defaultPalette().Entries[14];
    const COLORREF expected[16] = {
        RGB(0, 0, 0),       RGB(0, 255, 255), RGB(127, 0, 127), RGB(255, 0, 255),
        RGB(0, 0, 255),     RGB(0, 127, 127), RGB(0, 0, 127),   RGB(0, 127, 0),
        RGB(0, 255, 0),     RGB(255, 255, 0), RGB(127, 127, 0), RGB(255, 0, 0),
        RGB(127, 0, 0),     RGB(84, 84, 84),
        RGB(rgb14 & 255, (rgb14 >> 8) & 255, (rgb14 >> 16) & 255),
        RGB(255, 255, 255),
    };
    for (INTEGER pen = 0; pen < 16; ++pen) {
        const REAL x = 0.5f + 0.55f * static_cast<REAL>(pen);
        FILLBOX(x, 3.0f, x + 0.4f, 5.0f, 0.4f, pen);
    }
    const POINT last = pixelOf(0.7f + 0.55f * 13, 4.0f);
    ASSERT_TRUE(waitUntil([&] { return clientPixel(client, last.x, last.y) == expected[13]; }));
    const auto close = [](COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= 1 && std::abs(GetGValue(a) - GetGValue(b)) <= 1 &&
               std::abs(GetBValue(a) - GetBValue(b)) <= 1;
    };
    for (INTEGER pen = 0; pen < 16; ++pen) {
        const POINT p = pixelOf(0.7f + 0.55f * static_cast<REAL>(pen), 4.0f);
        const COLORREF seen = clientPixel(client, p.x, p.y);
        EXPECT_TRUE(close(seen, expected[pen])) << "pen " << pen << ": " << std::hex << seen;
    }
}
