// The program's main window, menus, toolbar, help and settings, driven from outside.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <regex>

#include "tests/e2e/AppDriving.h"

using namespace E2e;

namespace {

TEST(MainWindow, OpensAtAQuarterOfTheScreenAtHalfItsSizeWithMenuToolbarAndStatusBar)
{
    RunningProgram run("main-window", Settings::Default);
    ASSERT_TRUE(run.frame);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    const RECT frame = windowRect(run.frame);
    EXPECT_EQ(frame.left, std::lround(0.25 * screenW));
    EXPECT_EQ(frame.top, std::lround(0.25 * screenH));
    // The drawing client with the toolbar is the half-screen size; the status bar lies below it.
    const RECT client = clientRectOf(run.frame);
    EXPECT_EQ(client.right, std::lround(0.5 * screenW));
    EXPECT_EQ(client.bottom - barHeight(run.statusBar()), std::lround(0.5 * screenH));

    // Six buttons with gaps between the groups: Print | Zoom UnZoom | Properties | Suite | Help.
    HWND toolbar = run.toolbar();
    ASSERT_TRUE(toolbar);
    EXPECT_EQ(toolbarButtonCount(toolbar), 10);
    const std::pair<int, int> buttons[] = {{40023, 0}, {40024, 2}, {40018, 3}, {40021, 5}, {40014, 7}, {40057, 9}};
    for (const auto& [command, index] : buttons) EXPECT_EQ(toolbarIndex(toolbar, command), index) << command;

    // Seven status-bar parts, every one inside the window: two of them for the pointer read-out.
    const std::vector<int> edges = statusBarEdges(run.statusBar());
    ASSERT_EQ(edges.size(), 7u);
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const int edge = edges[i] < 0 ? client.right : edges[i];
        EXPECT_LE(edge, client.right) << "part " << i + 1;
        if (i > 0) {
            EXPECT_GT(edge, edges[i - 1]) << "part " << i + 1;
        }
    }
    EXPECT_FALSE(screenshot("main-window-first-start").empty());

    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
}

TEST(MainWindow, TheCloseBoxEndsTheProgramLikeExit)
{
    RunningProgram run("close-box", Settings::Default);
    ASSERT_TRUE(run.frame);
    PostMessageA(run.frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.program.waitForExit(), 0);
}

// The help text each menu entry shows in the status bar while the keyboard highlights it, in the
// order the arrow keys walk the menus ("" = the entry has none; no text where the key returns to
// an entry that is highlighted already and nothing new is shown).
TEST(MainWindow, MenuEntriesShowTheirHelpTextWhileHighlighted)
{
    RunningProgram run("menu-help", Settings::Default);
    ASSERT_TRUE(run.frame);
    ASSERT_TRUE(bringToFront(run.frame));
    HWND bar = run.statusBar();
    struct Step {
        WORD key;
        const char* highlighted;
        const char* help;
    };
    const Step steps[] = {
        {VK_MENU, "File", ""},
        {VK_DOWN, "Export Synthetics to ASCII File", "Export Synthetics to ASCII File"},
        {VK_DOWN, "Export Model to ASCII File", "Export Model to ASCII File"},
        {VK_DOWN, "Export in MODALL format", "Export Results to ASCII file in MODALL format"},
        {VK_DOWN, "Print", ""},
        {VK_DOWN, "Exit", ""},
        {VK_RIGHT, "Zoom", "Autoscale Graphs"},
        {VK_DOWN, "UnZoom", "Autoscale Graphs"},
        {VK_DOWN, "Linear Depth Axis", "Toggle betweek Linear and Log Depth Axis"},
        {VK_DOWN, "Labels", "Toggle View of Labels"},
        {VK_DOWN, "Grid on Curve Graph", ""},
        {VK_RIGHT, "Major Axes (curve graph)", "Toggle Major Axes on Curve Graph"},
        {VK_DOWN, "Minor Axes (curve graph)", "Toggle Minor Axes on Curve Graph"},
        {VK_LEFT, "Grid on Curve Graph", nullptr},  // back to a highlight already made: no new text
        {VK_DOWN, "Grid on Model Graph", "Toggle Major Axes on Model Graph"},
        {VK_RIGHT, "Major Axes (model graph)", ""},
        {VK_DOWN, "Minor Axes (model graph)", "Toggle Minor Axes on Model Graph"},
        {VK_LEFT, "Grid on Model Graph", nullptr},
        {VK_DOWN, "Properties", "Edit graph properties"},
        {VK_RIGHT, "Calculate/Model Suite", ""},
        {VK_RIGHT, "Contents", ""},
        {VK_DOWN, "About Quorvalent", ""},
    };
    // A text different from every help text, so that each step's text is known to be new.
    const std::string marker = "-";
    for (const Step& step : steps) {
        if (!step.help) {
            pressKey(step.key);
            continue;
        }
        setStatusSimpleText(bar, marker);
        pressKey(step.key);
        std::string shown;
        const bool changed = waitFor([&] { return (shown = statusBarText(bar, 255)) != marker; }, 5000ms);
        EXPECT_TRUE(changed) << step.highlighted;
        // The highlight may pass through an entry without a text on its way (the bar entry above a
        // pop-up): the entry's own text is the one that stays.
        waitFor([&] { return (shown = statusBarText(bar, 255)) == step.help; }, 2000ms);
        EXPECT_EQ(shown, step.help) << step.highlighted;
        if (std::string_view(step.highlighted) == "Minor Axes (curve graph)") screenshot("menu-help-grid-popup");
    }
    pressKeys({VK_ESCAPE, VK_ESCAPE, VK_ESCAPE});
    EXPECT_TRUE(waitFor([&] { return !statusBarSimple(bar); }, 5000ms)) << "the parts come back after the menu";
    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
}

TEST(MainWindow, TogglesSwitchCheckMarksAndZoomPressesAndReleasesItsButton)
{
    RunningProgram run("toggles", Settings::Default);
    ASSERT_TRUE(run.frame);
    HWND toolbar = run.toolbar();
    MenuChecks checks(run.frame);
    // The defaults: Zoom and Linear Depth Axis checked, everything else not.
    EXPECT_TRUE(toolbarChecked(toolbar, 40024));
    EXPECT_EQ(checks.read(), (CheckMarks{{40024, true}, {40019, false}, {40020, true}, {40008, false},
                                          {40011, false}, {40012, false}, {40013, false}}));
    struct Case {
        int command;
        CheckMarks after;
    };
    const Case cases[] = {
        {40024, {{40024, false}}},
        {40024, {{40024, true}}},
        {40019, {{40019, true}}},
        {40020, {{40020, false}}},
        {40011, {{40008, false}, {40011, false}}},  // Minor with Major off stays off
        {40008, {{40008, true}, {40011, false}}},
        {40011, {{40008, true}, {40011, true}}},
        {40008, {{40008, false}, {40011, false}}},  // Major off clears Minor
        {40012, {{40012, true}, {40013, false}}},
        {40013, {{40012, true}, {40013, true}}},
        {40012, {{40012, false}, {40013, false}}},
    };
    for (const Case& c : cases) {
        sendCommand(run.frame, c.command);
        ASSERT_TRUE(settled(run.frame));
        const CheckMarks now = checks.read();
        for (const auto& [id, checked] : c.after) EXPECT_EQ(now.at(id), checked) << "after " << c.command << ": " << id;
        if (c.command == 40024) {
            EXPECT_EQ(toolbarChecked(toolbar, 40024), c.after.at(40024));
        }
    }
    screenshot("toggles-after");
    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
}

TEST(MainWindow, HelpWithoutAHelpFileSaysSoAndTheProgramGoesOn)
{
    RunningProgram run("help-missing", Settings::Default);
    ASSERT_TRUE(run.frame);
    sendCommand(run.frame, 40057);
    HWND box = run.program.waitForWindow("Brevalon Library Message");
    ASSERT_TRUE(box);
    std::string expectedPath = run.program.path("QUORVALENT.HLP");
    for (char& c : expectedPath) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(messageBoxText(box), "HELP FILE NOT FOUND:\r\n" + expectedPath);
    screenshot("help-file-not-found");
    clickButton(box, IDOK);
    EXPECT_TRUE(run.program.waitWindowGone("Brevalon Library Message"));
    // The loop goes on: the next command is carried out.
    sendCommand(run.frame, 40024);
    EXPECT_TRUE(waitFor([&] { return !toolbarChecked(run.toolbar(), 40024); }, 5000ms));
    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
}

// ---- settings at start and exit --------------------------------------------------------------

TEST(Settings, AMovedAndResizedWindowComesBackAtTheNextStart)
{
    RunningProgram run("settings-moved", Settings::Default);
    ASSERT_TRUE(run.frame);
    SetWindowPos(run.frame, nullptr, 100, 80, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(settled(run.frame));
    const RECT moved = windowRect(run.frame);
    const RECT movedClient = clientRectOf(run.frame);
    sendCommand(run.frame, 40001);
    ASSERT_EQ(run.program.waitForExit(), 0);
    EXPECT_FALSE(run.program.fileExists("QUORVALENT.INW"));
    const std::string saved = run.program.readFile("QUORVALENT.INI");
    EXPECT_EQ(settingValue(saved, "Window X="), moved.left);
    EXPECT_EQ(settingValue(saved, "Window Y="), moved.top);
    EXPECT_EQ(settingValue(saved, "Window State="), 1);

    ASSERT_TRUE(run.restart());
    EXPECT_EQ(windowRect(run.frame).left, moved.left);
    EXPECT_EQ(windowRect(run.frame).top, moved.top);
    EXPECT_EQ(clientRectOf(run.frame).right, movedClient.right);
    EXPECT_EQ(clientRectOf(run.frame).bottom, movedClient.bottom);
    screenshot("settings-window-came-back");
    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
}

TEST(Settings, ExitWhileMaximisedKeepsThePositionsReadAtStart)
{
    RunningProgram run("settings-maximised", Settings::Seeded, seededSettings(200, 150, 600, 400, 1));
    ASSERT_TRUE(run.frame);
    ShowWindowAsync(run.frame, SW_MAXIMIZE);
    ASSERT_TRUE(waitFor([&] { return IsZoomed(run.frame) != 0; }, 5000ms));
    ASSERT_TRUE(settled(run.frame));
    sendCommand(run.frame, 40001);
    ASSERT_EQ(run.program.waitForExit(), 0);
    const std::string saved = run.program.readFile("QUORVALENT.INI");
    EXPECT_EQ(settingValue(saved, "Window X="), 200);
    EXPECT_EQ(settingValue(saved, "Window Y="), 150);
    EXPECT_EQ(settingValue(saved, "Window W="), 600);
    EXPECT_EQ(settingValue(saved, "Window H="), 400);
    EXPECT_EQ(settingValue(saved, "Window State="), 2);
    EXPECT_FALSE(run.program.fileExists("QUORVALENT.INW"));
}

TEST(Settings, WithoutASettingsFileNothingIsWritten)
{
    RunningProgram run("settings-none", Settings::None);
    ASSERT_TRUE(run.frame);
    sendCommand(run.frame, 40001);
    ASSERT_EQ(run.program.waitForExit(), 0);
    EXPECT_FALSE(run.program.fileExists("QUORVALENT.INI"));
    EXPECT_FALSE(run.program.fileExists("QUORVALENT.INW"));
}

// The settings file as the user keeps it: a hidden one is saved at exit and stays hidden; a
// read-only one is left byte for byte, and the program says so before it ends.
TEST(Settings, AHiddenSettingsFileStaysHiddenAndAReadOnlyOneIsLeftAsItWas)
{
    struct Case {
        const char* label;
        DWORD attribute;
    };
    for (const Case& c : {Case{"settings-hidden", FILE_ATTRIBUTE_HIDDEN}, Case{"settings-read-only", FILE_ATTRIBUTE_READONLY}}) {
        SCOPED_TRACE(c.label);
        RunningProgram run(c.label, Settings::Default);
        ASSERT_TRUE(run.frame);
        const std::string ini = run.program.path("QUORVALENT.INI");
        const std::string before = run.program.readFile("QUORVALENT.INI");
        ASSERT_TRUE(SetFileAttributesA(ini.c_str(), c.attribute));
        ASSERT_NE(GetFileAttributesA(ini.c_str()) & c.attribute, 0u);
        SetWindowPos(run.frame, nullptr, 120, 90, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(settled(run.frame));
        const RECT moved = windowRect(run.frame);
        screenshot(std::string(c.label) + "-01-moved");
        sendCommand(run.frame, 40001);
        if (c.attribute == FILE_ATTRIBUTE_READONLY) {
            HWND box = run.program.waitForWindow("Brevalon Library Message", 30000ms);
            ASSERT_TRUE(box);
            settled(box);
            screenshot(std::string(c.label) + "-02-message");
            const std::string text = messageBoxText(box);
            EXPECT_EQ(text.rfind("The settings could not be saved (the settings file is read-only); the settings file was left "
                                 "unchanged:",
                                 0),
                      0u)
                << text;
            // The file by its full name (the program's own name, as the system spells it).
            std::string lower = text;
            for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            EXPECT_NE(lower.find(std::string(c.label) + "-"), std::string::npos) << text;
            EXPECT_NE(lower.find("\\quorvalent.ini"), std::string::npos) << text;
            clickButton(box, IDOK);
        }
        ASSERT_EQ(run.program.waitForExit(), 0);
        const DWORD attributes = GetFileAttributesA(ini.c_str());
        EXPECT_NE(attributes & c.attribute, 0u) << attributes;
        SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
        const std::string after = run.program.readFile("QUORVALENT.INI");
        if (c.attribute == FILE_ATTRIBUTE_READONLY) {
            EXPECT_EQ(after, before);
        } else {
            EXPECT_EQ(settingValue(after, "Window X="), moved.left);
            EXPECT_EQ(settingValue(after, "Window Y="), moved.top);
        }
        EXPECT_FALSE(run.program.fileExists("QUORVALENT.INW"));
    }
}

// A saved placement the window cannot be shown at starts a normal window at the default place.
TEST(Settings, AnUnusableSavedPlacementStartsANormalWindowAtTheDefaultPlace)
{
    struct Case {
        const char* what;
        int x, y, width, height, state;
    };
    const Case cases[] = {
        {"minimised", 200, 150, 600, 400, 0},
        {"without size", 200, 150, 0, 400, 1},
        {"off every screen", 20000, 15000, 600, 400, 1},
    };
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    for (const Case& c : cases) {
        RunningProgram run(std::string("settings-") + (c.state == 0 ? "minimised" : c.width == 0 ? "sizeless" : "offscreen"),
                           Settings::Seeded, seededSettings(c.x, c.y, c.width, c.height, c.state));
        ASSERT_TRUE(run.frame) << c.what;
        EXPECT_FALSE(IsIconic(run.frame)) << c.what;
        EXPECT_FALSE(IsZoomed(run.frame)) << c.what;
        EXPECT_EQ(windowRect(run.frame).left, std::lround(0.25 * screenW)) << c.what;
        EXPECT_EQ(windowRect(run.frame).top, std::lround(0.25 * screenH)) << c.what;
        EXPECT_EQ(clientRectOf(run.frame).right, std::lround(0.5 * screenW)) << c.what;
        sendCommand(run.frame, 40001);
        EXPECT_EQ(run.program.waitForExit(), 0) << c.what;
        const std::string saved = run.program.readFile("QUORVALENT.INI");
        EXPECT_EQ(settingValue(saved, "Window State="), 1) << c.what;
    }
}

}  // namespace
