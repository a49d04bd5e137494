// The main program's routines inside a test process: the check marks against the real menu and
// toolbar, the commands' flags, the help command and the placement rules for a saved window.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Quorvalent/AppState.h"
#include "Quorvalent/Quorvalent.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/HelpFiles.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;

namespace {

class MainMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        graphOptionsState() = GraphOptionsState{};
        WindowOpen(39, 20, 20, 500, 300, kMainMenuId);
        WMenuToolbar(kMainToolbarId, 0, 1);
        pumpPending();
    }
    void TearDown() override
    {
        graphOptionsState() = GraphOptionsState{};
        ToolkitSession::closeAllWindows();
    }
    static HMENU menu() { return windowSlotTable().Slots[0].Menu; }
    static bool checked(int id) { return (GetMenuState(menu(), static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0; }
    static HWND toolbar() { return windowSlotTable().Slots[0].Toolbars[0]; }
};

// Flags before SETMENUSTATES -> flags and check marks after: a Minor Axes flag needs its Major
// Axes flag, and brings it in when the Major one is set.
TEST_F(MainMenuTest, CheckMarksFollowTheOptionsAndMinorGridNeedsMajorGrid)
{
    struct Grid {
        bool major, minor;
    };
    struct Case {
        Grid curveBefore, modelBefore;
        Grid curveAfter, modelAfter;
    };
    const Case cases[] = {
        {{false, false}, {false, false}, {false, false}, {false, false}},
        {{false, true}, {false, true}, {false, false}, {false, false}},  // Minor with Major off stays off
        {{true, false}, {true, false}, {true, false}, {true, false}},
        {{true, true}, {false, true}, {true, true}, {false, false}},
        {{false, false}, {true, true}, {false, false}, {true, true}},
    };
    const auto flag = [](bool on) { return on ? kTrue : kFalse; };
    for (const Case& c : cases) {
        GraphOptionsState& g = graphOptionsState();
        g.CurveMajorGrid = flag(c.curveBefore.major);
        g.CurveMinorGrid = flag(c.curveBefore.minor);
        g.ModelMajorGrid = flag(c.modelBefore.major);
        g.ModelMinorGrid = flag(c.modelBefore.minor);
        SETMENUSTATES();
        EXPECT_EQ(isTrue(g.CurveMajorGrid), c.curveAfter.major);
        EXPECT_EQ(isTrue(g.CurveMinorGrid), c.curveAfter.minor);
        EXPECT_EQ(isTrue(g.ModelMajorGrid), c.modelAfter.major);
        EXPECT_EQ(isTrue(g.ModelMinorGrid), c.modelAfter.minor);
        EXPECT_EQ(checked(kCmdCurveMajorGrid), c.curveAfter.major);
        EXPECT_EQ(checked(kCmdCurveMinorGrid), c.curveAfter.minor);
        EXPECT_EQ(checked(kCmdModelMajorGrid), c.modelAfter.major);
        EXPECT_EQ(checked(kCmdModelMinorGrid), c.modelAfter.minor);
    }
}

TEST_F(MainMenuTest, ZoomLabelsAndLinearDepthMarksFollowTheirFlagsAndZoomPressesItsButton)
{
    for (const bool on : {true, false}) {
        GraphOptionsState& g = graphOptionsState();
        g.ZoomMode = g.LabelsShown = g.LinearDepth = on ? kTrue : kFalse;
        SETMENUSTATES();
        EXPECT_EQ(checked(kCmdZoom), on);
        EXPECT_EQ(checked(kCmdLabels), on);
        EXPECT_EQ(checked(kCmdLinearDepth), on);
        EXPECT_EQ(SendMessageA(toolbar(), TB_ISBUTTONCHECKED, kCmdZoom, 0) != 0, on);
    }
}

// Each toggle command inverts its own flag and nothing else; a second press restores it.
TEST_F(MainMenuTest, ToggleCommandsInvertTheirFlag)
{
    struct Case {
        int command;
        LOGICAL GraphOptionsState::*flag;
    };
    const Case cases[] = {
        {kCmdZoom, &GraphOptionsState::ZoomMode},
        {kCmdLabels, &GraphOptionsState::LabelsShown},
        {kCmdLinearDepth, &GraphOptionsState::LinearDepth},
        {kCmdCurveMajorGrid, &GraphOptionsState::CurveMajorGrid},
        {kCmdModelMajorGrid, &GraphOptionsState::ModelMajorGrid},
    };
    for (const Case& c : cases) {
        const GraphOptionsState before = graphOptionsState();
        EXPECT_TRUE(runMenuCommand(c.command));
        EXPECT_NE(isTrue(graphOptionsState().*c.flag), isTrue(before.*c.flag)) << c.command;
        EXPECT_TRUE(runMenuCommand(c.command));
        EXPECT_EQ(isTrue(graphOptionsState().*c.flag), isTrue(before.*c.flag)) << c.command;
    }
}

// (Calculate/Model Suite opens the wizard: ModelSuiteTests drives it.)
TEST_F(MainMenuTest, CommandsEndABandAndADragAndOnlyExitEndsTheLoop)
{
    // (The exports, the view properties and print open their dialogs: their band and drag are
    // checked with them, in the suite command tests.)
    for (const int command : std::initializer_list<int>{kCmdUnZoom, kCmdAbout, 40010, 40056, 39999, 40058}) {
        pointerState().BandActive = kTrue;
        pointerState().DragActive = kTrue;
        EXPECT_TRUE(runMenuCommand(command)) << command;
        EXPECT_FALSE(isTrue(pointerState().BandActive)) << command;
        EXPECT_FALSE(isTrue(pointerState().DragActive)) << command;
    }
    EXPECT_FALSE(runMenuCommand(kCmdExit));
}

// ---- help ------------------------------------------------------------------------------------

TEST(HelpContents, TheHelpFileIsTheProgramPathUpperCasedWithHlpForExe)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Programs\\Quorvalent\\quorvalent.exe", "C:\\PROGRAMS\\QUORVALENT\\QUORVALENT.HLP"},
        {"Z:\\tmp\\Run.Exe", "Z:\\TMP\\RUN.HLP"},
        {"C:\\noext\\prog", "C:\\NOEXT\\PROG"},
    };
    for (const auto& [program, help] : cases) EXPECT_EQ(helpFilePath(program), help) << program;
}

struct HelpCall {
    std::string file;
    UINT command = 0;
    ULONG_PTR data = 0;
    int calls = 0;
};
HelpCall& helpCall()
{
    static HelpCall call;
    return call;
}

TEST(HelpContents, WithAHelpFileTheHelpRoutineGetsItsPathAndNoTopic)
{
    std::string program(255, ' ');
    IOsCommandWord(0, program);
    program.erase(program.find_last_not_of(' ') + 1);
    const std::string helpFile = helpFilePath(program);
    {
        std::FILE* f = std::fopen(helpFile.c_str(), "wb");
        ASSERT_NE(f, nullptr) << helpFile;
        std::fclose(f);
    }
    helpCall() = HelpCall{};
    helpHooks().winHelp = [](HWND, const char* file, UINT command, ULONG_PTR data) -> BOOL {
        HelpCall& c = helpCall();
        if (command == HELP_QUIT) return TRUE;
        c.file = file ? file : "";
        c.command = command;
        c.data = data;
        ++c.calls;
        return TRUE;
    };
    showHelpContents();
    helpHooks() = HelpHooks{};
    std::remove(helpFile.c_str());
    EXPECT_EQ(helpCall().calls, 1);
    EXPECT_EQ(helpCall().file.size() >= 4 ? helpCall().file.substr(helpCall().file.size() - 4) : "", ".HLP");
    EXPECT_NE(helpCall().command, static_cast<UINT>(HELP_CONTEXT)) << "no topic: the file opens at its contents";
    EXPECT_NE(helpCall().command, static_cast<UINT>(HELP_CONTEXTPOPUP));
}

// ---- the saved placement ---------------------------------------------------------------------

bool onTheScreen(INTEGER x, INTEGER y, INTEGER width, INTEGER height)
{
    return x < 1280 && y < 1024 && x + width > 0 && y + height > 0;
}

TEST(SavedPlacement, AnUnusablePlacementGivesWayToTheDefaultInTheNormalState)
{
    MainWindowState defaults;
    setMainWindowDefaults(defaults, 1280, 1024);
    struct Case {
        const char* what;
        MainWindowState saved;
        bool keeps;
        INTEGER state;
    };
    const auto placed = [](INTEGER x, INTEGER y, INTEGER w, INTEGER h, INTEGER state) {
        MainWindowState s;
        s.X = x, s.Y = y, s.Width = w, s.Height = h, s.State = state;
        return s;
    };
    const Case cases[] = {
        {"normal", placed(10, 20, 600, 400, 1), true, 1},
        {"maximised", placed(10, 20, 600, 400, 2), true, 2},
        {"partly off the screen", placed(-100, -50, 600, 400, 1), true, 1},
        {"unknown state", placed(10, 20, 600, 400, 7), true, 1},
        {"minimised", placed(10, 20, 600, 400, 0), false, 1},
        {"no width", placed(10, 20, 0, 400, 1), false, 1},
        {"negative height", placed(10, 20, 600, -5, 2), false, 1},
        {"right of every screen", placed(5000, 20, 600, 400, 1), false, 1},
        {"above every screen", placed(10, -900, 600, 400, 2), false, 1},
    };
    for (const Case& c : cases) {
        MainWindowState s = c.saved;
        settleMainWindowPlacement(s, defaults, &onTheScreen);
        const MainWindowState& expected = c.keeps ? c.saved : defaults;
        EXPECT_EQ(s.X, expected.X) << c.what;
        EXPECT_EQ(s.Y, expected.Y) << c.what;
        EXPECT_EQ(s.Width, expected.Width) << c.what;
        EXPECT_EQ(s.Height, expected.Height) << c.what;
        EXPECT_EQ(s.State, c.state) << c.what;
    }
}

}  // namespace
