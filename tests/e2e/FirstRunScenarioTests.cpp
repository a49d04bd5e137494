// A geophysicist's first run: the program as a new user meets it, one screenshot per step.
// Each part of the program that comes later adds its step here.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/e2e/AppDriving.h"

using namespace E2e;

namespace {

TEST(FirstRun, AGeophysicistsFirstRun)
{
    // 1. The program starts beside the settings file the build placed there, with the wizard.
    RunningProgram run("first-run", Settings::Default, {}, StartWizard::Keep);
    ASSERT_TRUE(run.frame);
    // The model-suite wizard opens at once; this run leaves it with Cancel.
    HWND wizard = run.program.waitForWindow(kWizardFirstPage);
    ASSERT_TRUE(wizard);
    settled(wizard);
    EXPECT_FALSE(screenshot("first-run-01-started").empty());
    clickButton(wizard, IDCANCEL);
    ASSERT_TRUE(run.program.waitWindowGone(kWizardFirstPage));
    ASSERT_TRUE(settled(run.frame));

    // 2. Help > Contents: no help file comes with the program yet; the box says where it looked.
    sendCommand(run.frame, 40057);
    HWND box = run.program.waitForWindow("Brevalon Library Message");
    ASSERT_TRUE(box);
    EXPECT_EQ(messageBoxText(box).rfind("HELP FILE NOT FOUND:\r\n", 0), 0u);
    screenshot("first-run-02-help-not-found");
    clickButton(box, IDOK);
    ASSERT_TRUE(run.program.waitWindowGone("Brevalon Library Message"));

    // 3. The pointer rests on the toolbar's buttons: each names its command.
    ASSERT_TRUE(bringToFront(run.frame));
    HWND toolbar = run.toolbar();
    struct Tip {
        int command;
        const char* text;
    };
    const Tip tips[] = {{40023, "Print Graphic Display"}, {40018, "Autoscale Graph"}, {40021, "View Properties"},
                        {40014, "Create new suite of model curves"}, {40057, "Brevalon QF1D Help"}};
    for (const Tip& tip : tips) {
        EXPECT_EQ(hoverToolbarButton(run.program, toolbar, tip.command), tip.text) << tip.command;
        if (tip.command == 40014) screenshot("first-run-03-toolbar-tip");
    }
    mouseMove({0, 0});

    // 4. The View menu, with the check marks of the display options.
    const CheckMarks marks = MenuChecks(run.frame).read("first-run-04-view-menu");
    EXPECT_TRUE(marks.at(40024));
    EXPECT_TRUE(marks.at(40020));
    EXPECT_FALSE(marks.at(40019));

    // 5. Zoom mode off from the toolbar: its button comes up.
    sendCommand(run.frame, 40024);
    EXPECT_TRUE(waitFor([&] { return !toolbarChecked(toolbar, 40024); }, 5000ms));
    screenshot("first-run-05-zoom-off");

    // 6. Exit: the process ends with 0 and the settings keep the window where it was.
    const RECT frame = windowRect(run.frame);
    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
    const std::string saved = run.program.readFile("QUORVALENT.INI");
    EXPECT_EQ(settingValue(saved, "Window X="), frame.left);
    EXPECT_EQ(settingValue(saved, "Window Y="), frame.top);
    EXPECT_NE(saved.find("LZOOM=F"), std::string::npos);
}

}  // namespace
