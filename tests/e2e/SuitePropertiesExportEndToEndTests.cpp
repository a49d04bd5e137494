// The real program after its first suite, as a new user works on: the view properties (a line
// width and a decade more, Apply, OK), both exports through their save dialogs, the display
// printed on the default printer, Exit, and a restart that keeps the settings; one screenshot per
// step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "tests/e2e/AppDriving.h"
#include "tests/support/HostTools.h"
#include "toolkit/foundation/Handles.h"

using namespace E2e;
using HostTools::pdfFolder;
using HostTools::pdfsNamed;
using HostTools::runHost;
using HostTools::waitForNewPdf;

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

// The columns of a picture that hold ink: the first and the last, and the widest band without
// ink between them (where one graph ends and the next begins), as fractions of that span.
struct InkColumns {
    int first = -1, last = -1;
    double gapStart = 0, gapEnd = 0;
};

template <class Ink>
InkColumns inkColumns(int width, int height, Ink ink)
{
    std::vector<bool> inked(static_cast<std::size_t>(width), false);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height && !inked[static_cast<std::size_t>(x)]; ++y) inked[static_cast<std::size_t>(x)] = ink(x, y);
    InkColumns c;
    for (int x = 0; x < width; ++x)
        if (inked[static_cast<std::size_t>(x)]) {
            if (c.first < 0) c.first = x;
            c.last = x;
        }
    int bestStart = 0, bestLength = 0;
    for (int x = c.first, run = 0; c.first >= 0 && x <= c.last; ++x) {
        run = inked[static_cast<std::size_t>(x)] ? 0 : run + 1;
        if (run > bestLength) bestLength = run, bestStart = x - run + 1;
    }
    const double span = std::max(c.last - c.first, 1);
    c.gapStart = (bestStart - c.first) / span;
    c.gapEnd = (bestStart + bestLength - c.first) / span;
    return c;
}

// The host's name of a file in the artefact folder (Wine maps the Unix root to Z:).
std::string hostArtefact(const std::string& name)
{
    std::string path = artefactFolder() + "/" + name;
    if (path.rfind("Z:", 0) == 0) path.erase(0, 2);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
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
    HWND kind = startFlatAsciiExport(run, "SUITE.DAT");
    ASSERT_TRUE(kind);
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
    HWND save = run.program.waitForWindow("Quorvalent output files");
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
        const std::vector<std::string> earlier = pdfsNamed();
        // The display as the screen shows it, to lay the printed page beside, once it has
        // repainted where the comment box was: two graphs with paper between them.
        const auto screenInk = [](const Capture& shown) {
            return inkColumns(shown.width, shown.height, [&](int x, int y) {
                const COLORREF c = shown.at(x, y);
                return std::min({GetRValue(c), GetGValue(c), GetBValue(c)}) < 200;
            });
        };
        InkColumns onScreen;
        ASSERT_TRUE(waitFor(
            [&] {
                onScreen = screenInk(screenPixels(childByClass(run.frame, "DOVECLIENT")));
                return onScreen.gapEnd - onScreen.gapStart > 0.02;
            },
            10000ms))
            << "the two graphs on the screen";
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
        const std::string pdf = waitForNewPdf(earlier);
        ASSERT_FALSE(pdf.empty()) << "no new PDF in " << pdfFolder();
        const std::string info = runHost("pdfinfo '" + pdf + "'");
        EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
        const std::string words = runHost("pdftotext '" + pdf + "' -");
        // (The text tool may join "Depth (m)" into "Depth(m)".)
        for (const char* expected : {"Time (Sec)", "Depth", "Resistivity of layer 1"})
            EXPECT_NE(words.find(expected), std::string::npos) << expected << " in\n" << words;
        screenshot("properties-08-printed");
        // The printed page, kept beside the screenshots: the whole display on the paper, its two
        // graphs side by side as the screen shows them.
        runHost("pdftoppm -r 50 -png -singlefile '" + pdf + "' '" + hostArtefact("properties-08-printed-page") + "'");
        const HostTools::Pnm page = HostTools::renderPdfPage(pdf, 1, 50, true);
        ASSERT_TRUE(page.valid());
        const InkColumns onPaper = inkColumns(page.width, page.height, [&](int x, int y) { return page.at(x, y) < 200; });
        ASSERT_GE(onPaper.first, 0) << "ink on the page";
        EXPECT_GT(onPaper.first, 0) << "the drawing starts inside the paper";
        EXPECT_LT(onPaper.last, page.width - 1) << "the drawing ends inside the paper";
        EXPECT_GT(onPaper.last - onPaper.first, page.width / 2);
        EXPECT_NEAR(onPaper.gapStart, onScreen.gapStart, 0.03) << "where the first graph ends";
        EXPECT_NEAR(onPaper.gapEnd, onScreen.gapEnd, 0.03) << "where the second graph begins";
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

// An export over a file another program holds open: the user says to replace it, the program says
// it could not and that the earlier file was left as it was, and that file is byte for byte as
// before, with nothing left beside it.
TEST(SuitePropertiesExport, AnExportOverAFileInUseKeepsThatFileAndSaysSo)
{
    RunningProgram run("suite-export-in-use", Settings::Default, {}, StartWizard::Keep);
    ASSERT_TRUE(run.frame);
    ASSERT_TRUE(calculateDefaultSuite(run));
    const std::string target = run.program.path("KEEP.DAT");
    const std::string old = "the user's earlier table\r\n";
    std::ofstream(target, std::ios::binary) << old;
    const FileHandle holder(CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);

    sendCommand(run.frame, 40004);
    HWND save = run.program.waitForWindow("Flat ASCII Data File");
    ASSERT_TRUE(save);
    settled(save);
    ASSERT_TRUE(answerFileDialog(save, target));
    // The dialog asks before it names a file that exists.
    HWND replace = nullptr;
    ASSERT_TRUE(waitFor(
        [&] {
            for (const auto& [window, caption] : run.program.windows())
                if (caption == "Flat ASCII Data File" && GetDlgItem(window, IDYES)) replace = window;
            return replace != nullptr;
        },
        20000ms));
    settled(replace);
    screenshot("export-in-use-01-replace");
    clickButton(replace, IDYES);
    HWND kind = run.program.waitForWindow("Field Output Type");
    ASSERT_TRUE(kind);
    settled(kind);
    clickButton(kind, IDOK);

    HWND box = run.program.waitForWindow("Brevalon Library Message", 30000ms);
    ASSERT_TRUE(box);
    settled(box);
    screenshot("export-in-use-02-message");
    const std::string text = messageBoxText(box);
    EXPECT_EQ(text.rfind("Error writing the data file; the export was stopped and the file left as it was:\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("KEEP.DAT"), std::string::npos) << text;
    EXPECT_NE(text.find("(another program is using the file)"), std::string::npos) << text;
    clickButton(box, IDOK);
    ASSERT_TRUE(run.program.waitWindowGone("Brevalon Library Message"));

    char bytes[256] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(holder.get(), bytes, sizeof bytes, &read, nullptr));
    EXPECT_EQ(std::string(bytes, read), old);
    WIN32_FIND_DATAA found{};
    const FindHandle work(FindFirstFileA(run.program.path("~qv*.tmp").c_str(), &found));
    EXPECT_FALSE(work) << found.cFileName;
    screenshot("export-in-use-03-after");
    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
}
