// The suite display of the real program before any suite: expose, resize, every display toggle and
// UnZoom redraw it, the window stays blank and the program keeps answering.
#include <gtest/gtest.h>

#include <vector>

#include "tests/e2e/AppDriving.h"
#include "tests/support/GuiHarness.h"
#include "toolkit/foundation/Handles.h"

using namespace E2e;

namespace {

// Client pixels that are not white, read from the screen where the program drew them (another
// process's window DC gives back no pixels).
int nonWhitePixels(HWND client)
{
    const std::vector<COLORREF> pixels = GuiHarness::clientPixels(client);
    int count = 0;
    for (COLORREF p : pixels)
        if (p != RGB(255, 255, 255)) ++count;
    return count;
}

}  // namespace

TEST(SuiteDisplay, BeforeAnySuiteExposeResizeTogglesAndUnZoomLeaveABlankWindowAndAResponsiveProgram)
{
    RunningProgram run("blank-display", Settings::Default);
    ASSERT_TRUE(run.frame);
    HWND client = childByClass(run.frame, "DOVECLIENT");
    ASSERT_TRUE(client);
    ASSERT_TRUE(settled(run.frame));
    EXPECT_EQ(nonWhitePixels(client), 0);

    // Expose.
    InvalidateRect(client, nullptr, TRUE);
    ASSERT_TRUE(settled(run.frame));
    EXPECT_EQ(nonWhitePixels(client), 0);
    // Resize.
    const RECT before = windowRect(run.frame);
    SetWindowPos(run.frame, nullptr, 0, 0, before.right - before.left - 120, before.bottom - before.top - 90,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(settled(run.frame));
    EXPECT_EQ(nonWhitePixels(client), 0);
    screenshot("blank-display-resized");

    for (const int command : {40008, 40011, 40012, 40013, 40019, 40020, 40018, 40020, 40019, 40011, 40008, 40018}) {
        sendCommand(run.frame, command);
        ASSERT_TRUE(settled(run.frame)) << command;
        EXPECT_EQ(nonWhitePixels(client), 0) << "after " << command;
    }
    screenshot("blank-display-after-toggles");
    EXPECT_TRUE(run.program.running());
    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
}
