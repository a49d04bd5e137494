// What the end-to-end tests of this program share: a started program with its main window, the
// settings files it starts with, and reading its window, bars and check marks.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/e2e/E2eDriver.h"

namespace E2e {

inline constexpr char kMainTitle[] = "Brevalon Research Quorvalent";

// Polls a condition every 20 ms until it holds or the deadline passes.
inline bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

inline constexpr char kWizardFirstPage[] = "Model Suite Parameters";

enum class Settings { None, Default, Seeded };
// The model-suite wizard opens at start-up: cancelled at once, or left for the test to drive.
enum class StartWizard { Cancel, Keep };

// The program started in a fresh folder, with its main window found.
struct RunningProgram {
    Program program;
    HWND frame = nullptr;
    StartWizard wizard = StartWizard::Cancel;

    RunningProgram(const std::string& label, Settings settings, const std::string& seeded = {},
                   StartWizard startWizard = StartWizard::Cancel)
        : program(label), wizard(startWizard)
    {
        if (settings == Settings::Default) program.placeDefaultSettings();
        if (settings == Settings::Seeded) program.placeSettings(seeded);
        restart();
    }
    // Starts (again) in the same folder and waits for the main window (and, unless kept, for the
    // start-up wizard's first page, which it cancels).
    bool restart()
    {
        frame = program.start() ? program.waitForWindow(kMainTitle) : nullptr;
        if (!frame) return false;
        if (wizard == StartWizard::Cancel) {
            HWND page = program.waitForWindow(kWizardFirstPage);
            if (!page || !clickButton(page, IDCANCEL) || !program.waitWindowGone(kWizardFirstPage)) return false;
        }
        return settled(frame);
    }
    HWND statusBar() const { return childByClass(frame, "msctls_statusbar32"); }
    HWND toolbar() const { return childByClass(frame, "ToolbarWindow32"); }
};

inline RECT windowRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

inline RECT clientRectOf(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

inline int barHeight(HWND bar)
{
    const RECT r = windowRect(bar);
    return r.bottom - r.top;
}

// The default settings file the build places beside the program.
inline std::string defaultSettingsText()
{
    Program probe("settings-probe");
    probe.placeDefaultSettings();
    return probe.readFile("QUORVALENT.INI");
}

// The default settings file with the values of some keys replaced (each key must be there).
std::string settingsWith(const std::vector<std::pair<std::string, std::string>>& values);

// The default settings with a saved main-window placement, where the program's writer puts it
// (after the dialog position in "[Windows]").
inline std::string seededSettings(int x, int y, int width, int height, int state)
{
    std::string text = defaultSettingsText();
    const std::size_t at = text.find("Dialog Y=");
    const std::size_t lineEnd = text.find("\r\n", at);
    char lines[200];
    std::snprintf(lines, sizeof lines, "Window X=%5d\r\nWindow Y=%5d\r\nWindow W=%5d\r\nWindow H=%5d\r\nWindow State=%5d\r\n",
                  x, y, width, height, state);
    text.insert(lineEnd + 2, lines);
    return text;
}

// The integer after a key in a settings text; -999999 when the key is not there.
inline int settingValue(const std::string& text, const std::string& key)
{
    const std::size_t at = text.find("\n" + key);
    if (at == std::string::npos) return -999999;
    return std::atoi(text.c_str() + at + 1 + key.size());
}

// The pixels of a window's rectangle on the screen, row by row (COLORREF values).
struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
Capture screenPixels(HWND window);

// The grid control's cell editor, which lies over the current cell (null when none shows).
HWND cellEditor(HWND grid);

// Cell geometry of a model or values grid, taken from the editor over the current cell at
// opening (column0, row0); cells are clicked and typed with real input.
struct GridCells {
    HWND grid = nullptr;
    POINT origin{};  // centre of that cell, in the grid's client area
    int width = 0, height = 0;
    int column0 = 2, row0 = 1;

    GridCells(HWND page, int id, int column, int row);
    RECT editorRect() const;
    POINT at(int column, int row) const { return {origin.x + (column - column0) * width, origin.y + (row - row0) * height}; }
    // Clicks a cell and waits until its editor lies over it.
    bool select(int column, int row) const;
    std::string text() const;
    // Types a new value over a cell's old one and leaves it with Tab.
    void type(int column, int row, const char* value) const;
    // The text a cell shows once the program has had the time to write it ("" empty); the last
    // text seen when it never becomes the expected one.
    std::string read(int column, int row, const std::string& expected) const;
};

// Export Synthetics (the flat ASCII export): the command, its save dialog answered with the file
// name; the dialog that then asks for the kind of output, shown (null when a dialog did not come).
HWND startFlatAsciiExport(const RunningProgram& run, std::string_view fileName);

// Rests the pointer on a toolbar button and returns the tip that appears ("" when none shows
// within the deadline).
std::string hoverToolbarButton(const Program& program, HWND toolbar, int command);

// The View menu's check marks by command.
using CheckMarks = std::map<int, bool>;

// Reads the View menu's check marks the way a user sees them: opens the menu with the keyboard,
// walks to each item and looks for the check mark's pixels left of the highlighted item's text.
// (Another process cannot ask for a menu item's state.)
class MenuChecks {
public:
    explicit MenuChecks(HWND frame) : frame_(frame) {}
    CheckMarks read(const char* screenshotName = nullptr) const;

private:
    HWND frame_;
};

}  // namespace E2e
