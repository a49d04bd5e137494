// The real program after its first suite, as a new user works on: the view properties (a line
// width and a decade more, Apply, OK), both exports through their save dialogs, the display
// printed on the default printer, Exit, and a restart that keeps the settings; one screenshot per
// step.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "tests/e2e/AppDriving.h"
#include "toolkit/foundation/Handles.h"

using namespace E2e;

namespace {

struct IdSearch {
    int id;
    HWND found;
};

BOOL CALLBACK matchId(HWND window, LPARAM data)
{
    auto* s = reinterpret_cast<IdSearch*>(data);
    if (GetDlgCtrlID(window) == s->id && IsWindowVisible(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible control of the dialog or of one of its pages.
HWND control(HWND dialog, int id)
{
    IdSearch search{id, nullptr};
    EnumChildWindows(dialog, matchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A field's text replaced by typing, then left with Tab.
void retype(HWND field, std::string_view text)
{
    RECT rect{};
    GetWindowRect(field, &rect);
    mouseMove({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    mouseDown(1);
    mouseUp(1);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(field, EM_SETSEL, 0, -1, SMTO_NORMAL, 5000, &result);
    typeText(text);
    pressKey(VK_TAB);
}

std::string readWindowsFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool exists(const std::string& windowsName) { return GetFileAttributesA(windowsName.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string pdfFolder()
{
    const char* dir = std::getenv("QV_PDF_DIR");
    return dir ? std::string(dir) : std::string();
}

std::vector<std::string> pdfs()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const FindHandle search(FindFirstFileA(("Z:" + pdfFolder() + "/*.pdf").c_str(), &found));
    if (!search) return names;
    do names.emplace_back(found.cFileName);
    while (FindNextFileA(search.get(), &found));
    return names;
}

// A host shell command, its output through a file renamed into place when it is done.
std::string runHost(const std::string& command)
{
    static int serial = 0;
    const std::string out = "/tmp/qv-e2e-print-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    const std::string line = "/bin/sh -c \"(" + command + ") > " + out + ".part 2>&1 </dev/null; mv " + out + ".part " + out + ".out\"";
    std::vector<char> text(line.begin(), line.end());
    text.push_back('\0');
    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA("Z:\\bin\\sh", text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
        return "cannot start the host shell";
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::string done = "Z:" + out + ".out";
    if (!waitFor([&] { return exists(done); }, 60000ms)) return "host command timed out";
    const std::string result = readWindowsFile(done);
    DeleteFileA(done.c_str());
    return result;
}

// The default suite: Next on every page, Finish on the last, until the curves are drawn.
bool calculateDefaultSuite(RunningProgram& run)
{
    for (const char* caption : {"Model Suite Parameters", "Base Resistivity Model", "Suite Parameter Variation",
                                "Curve Generation Abscissa"}) {
        HWND page = run.program.waitForWindow(caption);
        if (!page) return false;
        settled(page);
        clickButton(page, 1355);
        if (!run.program.waitWindowGone(caption)) return false;
    }
    return run.program.waitWindowGone("Model Suite Calculation Progress", 60000ms) && settled(run.frame);
}

}  // namespace

TEST(SuitePropertiesExport, ANewUserSetsThePropertiesExportsPrintsAndFindsTheSettingsAgain)
{
    RunningProgram run("suite-properties-export", Settings::Default, {}, StartWizard::Keep);
    ASSERT_TRUE(run.frame);
    ASSERT_TRUE(calculateDefaultSuite(run));
    screenshot("properties-01-suite");

    // 1. Properties: the line width typed, a decade more on the Rho-A page, Apply, then OK.
    sendCommand(run.frame, 40021);
    HWND properties = run.program.waitForWindow("View Properties");
    ASSERT_TRUE(properties);
    ASSERT_TRUE(settled(properties));
    screenshot("properties-02-dialog");
    HWND decades = control(properties, 1081);
    ASSERT_TRUE(decades);
    const int before = std::atoi(windowText(decades).c_str());
    retype(control(properties, 1256), "3");
    retype(decades, std::to_string(before + 1));
    ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(GetDlgItem(properties, 1090)) != FALSE; }, 5000ms));
    clickButton(properties, 1090);
    ASSERT_TRUE(waitFor([&] { return windowText(run.frame) == "Brevalon Research Quorvalent [New Quorvalent *        ]"; },
                        10000ms))
        << windowText(run.frame);
    screenshot("properties-03-applied");
    clickButton(properties, IDOK);
    ASSERT_TRUE(run.program.waitWindowGone("View Properties"));
    ASSERT_TRUE(settled(run.frame));
    screenshot("properties-04-ok");

    // 2. Export Synthetics: the save dialog, the kind (early time preselected), the table.
    sendCommand(run.frame, 40004);
    HWND save = run.program.waitForWindow("Flat ASCII Data File");
    ASSERT_TRUE(save);
    settled(save);
    ASSERT_TRUE(answerFileDialog(save, run.program.path("SUITE.DAT")));
    HWND kind = run.program.waitForWindow("Field Output Type");
    ASSERT_TRUE(kind);
    settled(kind);
    screenshot("properties-05-field-output-type");
    EXPECT_EQ(SendMessageA(GetDlgItem(kind, 1095), BM_GETCHECK, 0, 0), BST_CHECKED);
    clickButton(kind, IDOK);
    ASSERT_TRUE(run.program.waitWindowGone("Field Output Type"));
    ASSERT_TRUE(waitFor([&] { return run.program.readFile("SUITE.DAT").find("  Early Rho-A, ") != std::string::npos; },
                        10000ms));
    const std::string table = run.program.readFile("SUITE.DAT");
    EXPECT_EQ(table.rfind("Parameter to vary is Resistivity of layer           1\r\n", 0), 0u) << table.substr(0, 200);

    // 3. Export in MODALL format with a comment.
    sendCommand(run.frame, 40016);
    save = run.program.waitForWindow("Quorvalent output files");
    ASSERT_TRUE(save);
    settled(save);
    ASSERT_TRUE(answerFileDialog(save, run.program.path("SUITE.PRT")));
    HWND comment = run.program.waitForWindow("Get Character String");
    ASSERT_TRUE(comment);
    settled(comment);
    retype(GetDlgItem(comment, 1136), "first run");
    screenshot("properties-06-comment");
    clickButton(comment, IDOK);
    ASSERT_TRUE(run.program.waitWindowGone("Get Character String"));
    ASSERT_TRUE(waitFor([&] { return run.program.readFile("SUITE.PRT").find(" 5 Variations on H 0:") != std::string::npos; },
                        10000ms));
    const std::string modall = run.program.readFile("SUITE.PRT");
    EXPECT_NE(modall.find(" Comments: first run"), std::string::npos);
    EXPECT_NE(modall.find("42 DATA POINTS"), std::string::npos);

    // 4. Print: the page set-up, OK, one landscape page with the graphs' titles.
    if (!pdfFolder().empty()) {
        const std::vector<std::string> earlier = pdfs();
        sendCommand(run.frame, 40023);
        HWND setup = nullptr;
        ASSERT_TRUE(waitFor(
            [&] {
                for (const auto& [window, caption] : run.program.windows()) {
                    char name[16] = {};
                    GetClassNameA(window, name, sizeof name);
                    if (std::string(name) == "#32770" && caption.find("Page") != std::string::npos) setup = window;
                }
                return setup != nullptr;
            },
            20000ms));
        settled(setup);
        screenshot("properties-07-page-setup");
        clickButton(setup, IDOK);
        ASSERT_TRUE(settled(run.frame));
        std::string pdf;
        ASSERT_TRUE(waitFor(
            [&] {
                for (const std::string& name : pdfs())
                    if (std::find(earlier.begin(), earlier.end(), name) == earlier.end() &&
                        runHost("pdfinfo '" + pdfFolder() + "/" + name + "' >/dev/null && echo readable").find("readable") !=
                            std::string::npos) {
                        pdf = pdfFolder() + "/" + name;
                        return true;
                    }
                return false;
            },
            60000ms));
        const std::string info = runHost("pdfinfo '" + pdf + "'");
        EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
        const std::string words = runHost("pdftotext '" + pdf + "' -");
        // (The text tool may join "Depth (m)" into "Depth(m)".)
        for (const char* expected : {"Time (Sec)", "Depth", "Resistivity of layer 1"})
            EXPECT_NE(words.find(expected), std::string::npos) << expected << " in\n" << words;
        screenshot("properties-08-printed");
        DeleteFileA(("Z:" + pdf).c_str());
    }

    // 5. Exit, and a restart that finds the line width again.
    sendCommand(run.frame, 40001);
    ASSERT_EQ(run.program.waitForExit(), 0);
    EXPECT_EQ(settingValue(run.program.readFile("QUORVALENT.INI"), "Line Width="), 3);
    run.wizard = StartWizard::Cancel;
    ASSERT_TRUE(run.restart());
    sendCommand(run.frame, 40021);
    properties = run.program.waitForWindow("View Properties");
    ASSERT_TRUE(properties);
    settled(properties);
    EXPECT_EQ(windowText(GetDlgItem(properties, 1256)), "3");
    screenshot("properties-09-restarted");
    clickButton(properties, IDCANCEL);
    ASSERT_TRUE(run.program.waitWindowGone("View Properties"));
    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
}
