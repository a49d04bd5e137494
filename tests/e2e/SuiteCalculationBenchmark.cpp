// Time from "Finish" to the program idle with the suite drawn, for a suite of 10 curves over a
// three-layer model (Hz, early and late apparent resistivity, the default time window), over
// several runs (median, fastest, slowest). Run by scripts/bench.sh under Wine; not a test.
//     SuiteCalculationBenchmark [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/AppDriving.h"

using namespace E2e;

namespace {

BOOL CALLBACK matchEditor(HWND window, LPARAM data)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && std::string(name).find("EDIT") != std::string::npos) {
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
    }
    return TRUE;
}

// Types a value into a cell of the model grid, counted from the current cell (2, 1).
void typeCell(HWND grid, POINT first, int width, int height, int column, int row, const char* value)
{
    POINT p{first.x + (column - 2) * width, first.y + (row - 1) * height};
    ClientToScreen(grid, &p);
    mouseMove(p);
    mouseDown(1);
    mouseUp(1);
    settled(grid);
    pressKey(VK_END);
    for (int i = 0; i < 16; ++i) pressKey(VK_BACK);
    typeText(value);
    pressKey(VK_TAB);
    settled(grid);
}

bool next(const Program& program, const char* caption, int button)
{
    HWND page = program.waitForWindow(caption);
    if (!page) return false;
    settled(page);
    clickButton(page, button);
    return program.waitWindowGone(caption);
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::string settings = defaultSettingsText();
    const std::size_t at = settings.find("NSuite=");
    settings.replace(at, settings.find("\r\n", at) - at, "NSuite=   10");
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        RunningProgram run("bench-suite", Settings::Seeded, settings, StartWizard::Keep);
        if (!run.frame || !next(run.program, kWizardFirstPage, 1355)) {
            std::fprintf(stderr, "the wizard did not open\n");
            return 1;
        }
        HWND base = run.program.waitForWindow("Base Resistivity Model");
        HWND grid = base ? GetDlgItem(base, 1364) : nullptr;
        HWND editor = nullptr;
        if (grid) {
            settled(base);
            EnumChildWindows(grid, &matchEditor, reinterpret_cast<LPARAM>(&editor));
        }
        if (!editor) {
            std::fprintf(stderr, "no model grid\n");
            return 1;
        }
        RECT r{};
        GetWindowRect(editor, &r);
        MapWindowPoints(nullptr, grid, reinterpret_cast<POINT*>(&r), 2);
        const POINT first{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        const int w = r.right - r.left + 1, h = r.bottom - r.top + 1;
        typeCell(grid, first, w, h, 3, 1, "100");
        typeCell(grid, first, w, h, 2, 2, "100");
        typeCell(grid, first, w, h, 3, 2, "200");
        typeCell(grid, first, w, h, 2, 3, "1000");
        typeCell(grid, first, w, h, 2, 1, "10");
        if (!next(run.program, "Base Resistivity Model", 1355) || !next(run.program, "Suite Parameter Variation", 1355)) {
            std::fprintf(stderr, "the model or the values were refused\n");
            return 1;
        }
        HWND time = run.program.waitForWindow("Curve Generation Abscissa");
        if (!time) return 1;
        settled(time);
        const auto begin = std::chrono::steady_clock::now();
        clickButton(time, 1355);
        run.program.waitForWindow("Model Suite Calculation Progress", 30000ms);
        if (!run.program.waitWindowGone("Model Suite Calculation Progress", 120000ms) || !settled(run.frame)) {
            std::fprintf(stderr, "the calculation did not end\n");
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
        sendCommand(run.frame, 40001);
        run.program.waitForExit();
    }
    std::sort(times.begin(), times.end());
    std::printf("10-curve suite over 3 layers, Finish to idle with the display drawn, %d runs: median %.0f ms, fastest %.0f ms, "
                "slowest %.0f ms\n",
                runs, times[times.size() / 2], times.front(), times.back());
    return 0;
}
