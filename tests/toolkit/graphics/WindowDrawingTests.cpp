// Graphics on the main window as the program draws: the window opening resets graphics onto the
// window, lines in user units reach its pixels, and a window area is cleared.
#include <gtest/gtest.h>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GdiDrawingState.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/ScreenDriver.h"

using namespace GuiHarness;
using namespace ToolkitSession;

TEST(WindowDrawing, OpeningResetsGraphicsOntoTheWindowAndLinesReachItsPixels)
{
    Watchdog watchdog{std::chrono::milliseconds(60000)};
    openMainWindow("Graphics test", 300, 200, 30, 30);
    HWND client = windowSlotTable().Slots[0].Client;
    ASSERT_TRUE(client);
    const RECT rect = clientRect(client);
    const GraphicsState& g = graphicsState();
    EXPECT_EQ(g.DrawableActive, 1);
    EXPECT_EQ(g.DrawableKind, kDrawableWindow);
    EXPECT_EQ(g.DrawableWidth, rect.right);
    EXPECT_EQ(g.DrawableHeight, rect.bottom);
    EXPECT_EQ(IGrInquire(27), 1);
    EXPECT_EQ(IGrInquire(35), 223);

    ASSERT_TRUE(waitUntil([&] { return !GetUpdateRect(client, nullptr, FALSE); }));
    WindowClearArea(std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0xFFFFFF);
    IGrUnits(0, 0, 10, 10);
    IGrColourN(31);
    IGrPenMove(1, 5);
    IGrPenDraw(9, 5);
    INTEGER ix = 0, iy = 0;
    IGrWorldToPixel(5, 5, ix, iy);
    const int row = g.DrawableHeight - 1 - iy;
    EXPECT_TRUE(waitUntil([&] { return clientPixel(client, ix, row) == RGB(255, 0, 0); }));
    EXPECT_EQ(clientPixel(client, ix, row - 3), RGB(255, 255, 255));

    // A window that is not open cannot be selected: the main window stays the drawable.
    libraryErrorState().LastErrorNumber = 0;
    IGrSelect(kDrawableWindow, 7);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1019);
    EXPECT_EQ(g.DrawableKind, kDrawableWindow);
    EXPECT_EQ(g.DrawableId, 0);
    EXPECT_EQ(g.DrawableWidth, rect.right);

    // Clearing without arguments paints the window's background over the line.
    WindowClearArea();
    EXPECT_TRUE(waitUntil([&] { return clientPixel(client, ix, row) != RGB(255, 0, 0); }));

    closeAllWindows();
}
