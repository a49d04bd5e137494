// The model-suite wizard in the real program, driven from outside as a user drives it: the pages
// at start-up and from Calculate/Model Suite, fields and cells typed with real keys, refusals read
// from the program's message boxes (their text checked whole on the screen), one screenshot per
// step taken from the X display.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/e2e/AppDriving.h"
#include "tests/e2e/KeyStrokes.h"
#include "tests/support/HostTools.h"

using namespace E2e;

namespace {

constexpr char kBox[] = "Brevalon Library Message";
constexpr char kTypePage[] = "Model Suite Parameters";
constexpr char kBasePage[] = "Base Resistivity Model";
constexpr char kSecondPage[] = "Fade-in Resistivity Model";
constexpr char kValuesPage[] = "Suite Parameter Variation";
constexpr char kTimePage[] = "Curve Generation Abscissa";
constexpr char kNumberPrompt[] = "Get Foating Point Number";
constexpr int kNext = 1355, kBack = 1357;

// The artefact folder as the host names it.
std::string hostArtefactFolder()
{
    std::string folder = artefactFolder();
    if (folder.size() > 2 && folder[1] == ':') folder.erase(0, 2);
    std::replace(folder.begin(), folder.end(), '\\', '/');
    return folder;
}

// A screenshot taken from the X display the program shows on, as NAME.png beside the others;
// returns the host's answer (empty when import had nothing to say).
std::string xShot(const std::string& name)
{
    return HostTools::runHost("import -window root '" + hostArtefactFolder() + "/" + name + ".png'");
}

bool isChecked(HWND page, int id) { return SendMessageA(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool isEnabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

// Waits for a page, leaves a screenshot of it.
HWND page(const Program& program, const char* caption, const char* shot)
{
    HWND p = program.waitForWindow(caption);
    if (p) settled(p);
    // Also when the page did not come: the screen then shows what stood in its way.
    xShot(p ? std::string(shot) : std::string(shot) + "-missing");
    return p;
}

// Clicks a button and waits until the page has handled it.
void press(HWND page, int id)
{
    clickButton(page, id);
    settled(page);
}

// "< Back" from a page, then "Next >" on the page before it: the page that opens again (with a
// screenshot of each), null when one did not come.
HWND backAndOnAgain(const Program& program, HWND from, const char* before, const char* shotBefore, const char* shotAgain)
{
    char caption[128] = {};
    GetWindowTextA(from, caption, sizeof caption);
    press(from, kBack);
    HWND previous = page(program, before, shotBefore);
    if (!previous) return nullptr;
    press(previous, kNext);
    return page(program, caption, shotAgain);
}

// The box that comes up next: its text, after a screenshot; answered with OK.
std::string answerBox(const Program& program, const char* shot)
{
    HWND box = program.waitForWindow(kBox);
    if (!box) return "(no box)";
    settled(box);
    xShot(shot);
    const std::string text = messageBoxText(box);
    clickButton(box, IDOK);
    program.waitWindowGone(kBox);
    return text;
}

// Replaces a text field's content as typing does: the text, marked as edited, so that the
// program reads it rather than the value it put there.
void typeField(HWND page, int id, const char* text)
{
    HWND field = GetDlgItem(page, id);
    SetWindowTextA(field, text);
    SendMessageA(field, EM_SETMODIFY, TRUE, 0);
    settled(page);
}

// Pixels of exactly this colour inside a window, read from the screen.
int pixelsOf(HWND window, COLORREF colour)
{
    RECT r{};
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    int count = 0;
    for (int y = r.top; y < r.bottom; y += 1)
        for (int x = r.left; x < r.right; x += 2)
            if (GetPixel(screen, x, y) == colour) ++count;
    ReleaseDC(nullptr, screen);
    return count;
}

// ---- real keys and the X display ---------------------------------------------------------------

// Keys as a user types them (KeyStrokes), one event at a time: real input reaches the program
// through the display server.
void typeKeys(std::string_view keys)
{
    std::string unknown;
    std::vector<INPUT> inputs = KeyStrokes::strokes(keys, unknown);
    EXPECT_EQ(unknown, "");
    for (INPUT& in : inputs) {
        SendInput(1, &in, sizeof(INPUT));
        Sleep(15);
    }
}

// A rectangle of the X display's screen (screen pixels, as the program's windows lie there).
HostTools::Pnm xPixels(const RECT& r)
{
    const std::string file = HostTools::hostScratchName("x-crop") + ".ppm";
    HostTools::runHost("import -window root -crop " + std::to_string(r.right - r.left) + "x" +
                       std::to_string(r.bottom - r.top) + "+" + std::to_string(r.left) + "+" + std::to_string(r.top) +
                       " +repage -depth 8 'ppm:" + file + "'");
    const HostTools::Pnm image = HostTools::parsePnm(HostTools::readFile("Z:" + file));
    DeleteFileA(("Z:" + file).c_str());
    return image;
}

// Whether a message box shows its whole text: the text's dark pixels on the screen stop short of
// the right edge of the control that clips it (a cut text runs into that edge).
bool boxTextWhole(HWND box)
{
    RECT r{};
    if (!GetWindowRect(GetDlgItem(box, 0xFFFF), &r)) return false;
    const HostTools::Pnm image = xPixels(r);
    if (!image.valid() || image.channels != 3) return false;
    int inked = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = image.width - 2; x < image.width; ++x)
            if (image.at(x, y, 0) < 128 && image.at(x, y, 1) < 128 && image.at(x, y, 2) < 128) ++inked;
    return inked == 0;
}

// The face Wine gives a font name (the name itself when it has the font or a substitute for it).
std::string fontFace(const char* name)
{
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, name);
    HGDIOBJ before = SelectObject(screen, font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(screen, sizeof face, face);
    SelectObject(screen, before);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return face;
}

// The box that comes up next, shot from the X display: its text, once it shows it whole.
std::string answerWholeBox(const Program& program, const char* shot)
{
    HWND box = program.waitForWindow(kBox);
    if (!box) return "(no box)";
    settled(box);
    xShot(shot);
    EXPECT_TRUE(boxTextWhole(box)) << shot;
    const std::string text = messageBoxText(box);
    clickButton(box, IDOK);
    program.waitWindowGone(kBox);
    return text;
}

// Clicks into a field, selects its text with Ctrl+A and types over it; true once the field shows
// the text expected (real keys arrive through the display server, after what is posted).
bool retypeField(HWND page, int id, std::string_view keys, const std::string& expected)
{
    RECT r{};
    GetWindowRect(GetDlgItem(page, id), &r);
    mouseMove({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    mouseDown(1);
    mouseUp(1);
    typeKeys("{^A}");
    typeKeys(keys);
    return waitFor([&] { return windowText(GetDlgItem(page, id)) == expected; }, 5000ms);
}

TEST(ModelSuiteWizard, AFirstSuiteIsDefinedPageByPageAndCommittedOnFinish)
{
    RunningProgram run("wizard-first-suite", Settings::Default, {}, StartWizard::Keep);
    ASSERT_TRUE(run.frame);

    // 1. The first page at start-up, as a fresh start fills it.
    HWND type = page(run.program, kTypePage, "wizard-01-suite-parameters");
    ASSERT_TRUE(type);
    EXPECT_TRUE(isChecked(type, 1008));
    EXPECT_TRUE(isChecked(type, 1068));
    EXPECT_TRUE(isChecked(type, 1354));
    EXPECT_EQ(windowText(GetDlgItem(type, 1351)), "5");
    EXPECT_FALSE(isEnabled(type, kBack));
    EXPECT_FALSE(isEnabled(type, 1067));

    // 2. EX: the magnetic display kinds go, Received Voltage is chosen; HZ again keeps it.
    press(type, 1006);
    EXPECT_TRUE(isChecked(type, 1381));
    EXPECT_TRUE(isEnabled(type, 1067));
    EXPECT_FALSE(isEnabled(type, 1068));
    xShot("wizard-02-ex-component");
    press(type, 1067);
    press(type, 1008);
    EXPECT_TRUE(isChecked(type, 1381));
    EXPECT_FALSE(isEnabled(type, 1067));
    press(type, 1068);
    xShot("wizard-03-hz-early-late");

    // 3. A curve count beyond 1000 is refused on the page.
    typeField(type, 1351, "1500");
    press(type, kNext);
    EXPECT_EQ(answerBox(run.program, "wizard-04-curve-count-refused"), "Number of curves must be from 1 to 1000");
    typeField(type, 1351, "5");
    press(type, kNext);

    // 4. The base model: one layer of 10 ohm-m, its cell white on blue.
    HWND base = page(run.program, kBasePage, "wizard-05-base-model");
    ASSERT_TRUE(base);
    EXPECT_GT(pixelsOf(GetDlgItem(base, 1364), RGB(0, 0, 255)), 50);
    GridCells model(base, 1364, 2, 1);
    ASSERT_GT(model.width, 4);
    EXPECT_EQ(model.read(2, 1, "10.0000"), "10.0000");
    // Three layers typed in: thicknesses 100 and 200 give depths 100 and 300.
    model.type(3, 1, "100");
    model.type(2, 2, "20");
    model.type(3, 2, "200");
    model.type(2, 3, "30");
    EXPECT_EQ(model.read(4, 2, "300.000"), "300.000");
    // Thick 250 in row 2 rewrites the depths to 100 and 350 when the cell is left.
    model.type(3, 2, "250");
    EXPECT_EQ(model.read(4, 1, "100.000"), "100.000");
    EXPECT_EQ(model.read(4, 2, "350.000"), "350.000");
    xShot("wizard-06-depths-follow-thickness");
    // Depth 500 in row 1 gives thicknesses 500 and -150, which Next refuses.
    model.type(4, 1, "500");
    EXPECT_EQ(model.read(3, 1, "500.000"), "500.000");
    EXPECT_EQ(model.read(3, 2, "-150.000"), "-150.000");
    xShot("wizard-07-negative-thickness");
    press(base, kNext);
    EXPECT_EQ(answerBox(run.program, "wizard-08-negative-thickness-refused"), "Illegal Cell Value, please re-enter");
    // A boundary at 12,500 m is kept.
    model.type(4, 1, "100");
    model.type(4, 2, "12500");
    EXPECT_EQ(model.read(3, 2, "12400.00"), "12400.00");
    xShot("wizard-09-deep-boundary");
    // The varied layer must exist.
    typeField(base, 1368, "5");
    press(base, kNext);
    EXPECT_EQ(answerBox(run.program, "wizard-10-layer-refused"),
              "Resistivity of layer     5 is varied. Must have at least     5 layers");
    typeField(base, 1368, "2");
    // Back and Next again: the page reopens with the model as it was left.
    base = backAndOnAgain(run.program, base, kTypePage, "wizard-11-back-to-parameters", "wizard-12-base-model-again");
    ASSERT_TRUE(base);
    GridCells again(base, 1364, 2, 1);
    EXPECT_EQ(again.read(4, 2, "12500.00"), "12500.00");
    EXPECT_EQ(windowText(GetDlgItem(base, 1368)), "2");
    press(base, kNext);

    // 5. The values: 1 to 5 for a fresh suite; Generate from row 3 writes 0, 5, 10; the 0 is
    // refused for a resistivity, Add To mends it.
    HWND values = page(run.program, kValuesPage, "wizard-13-values");
    ASSERT_TRUE(values);
    EXPECT_NE(windowText(GetDlgItem(values, 1367)).find("Resistivity of layer"), std::string::npos);
    GridCells rows(values, 1006, 2, 1);
    EXPECT_EQ(rows.read(2, 5, "5.000000"), "5.000000");
    rows.select(2, 3);
    press(values, 1378);
    EXPECT_EQ(rows.read(2, 3, "0.000000"), "0.000000");
    EXPECT_EQ(rows.read(2, 5, "10.00000"), "10.00000");
    xShot("wizard-14-generated");
    press(values, kNext);
    EXPECT_EQ(answerBox(run.program, "wizard-15-value-refused"), "Illegal Cell Value, please re-enter");
    press(values, 1019);
    HWND prompt = page(run.program, kNumberPrompt, "wizard-16-add-to-prompt");
    ASSERT_TRUE(prompt);
    EXPECT_EQ(windowText(GetDlgItem(prompt, 1117)), "Please enter number to add:");
    typeField(prompt, 1398, "1");
    press(prompt, IDOK);
    ASSERT_TRUE(run.program.waitWindowGone(kNumberPrompt));
    EXPECT_EQ(rows.read(2, 3, "1.000000"), "1.000000");
    press(values, kNext);

    // 6. The time window: normalised time offered for three layers; a start of 0 is refused.
    HWND time = page(run.program, kTimePage, "wizard-17-time-window");
    ASSERT_TRUE(time);
    EXPECT_TRUE(isEnabled(time, 1073));
    typeField(time, 1360, "0");
    press(time, kNext);
    EXPECT_EQ(answerBox(run.program, "wizard-18-time-refused"), "Time window must start after 0 s and end after its start");
    time = page(run.program, kTimePage, "wizard-19-time-window-again");
    ASSERT_TRUE(time);
    typeField(time, 1360, "0.001");
    press(time, kNext);
    ASSERT_TRUE(run.program.waitWindowGone(kTimePage));
    xShot("wizard-20-finished");

    // 7. Calculate/Model Suite opens the wizard again with what was committed.
    sendCommand(run.frame, 40014);
    type = page(run.program, kTypePage, "wizard-21-from-the-menu");
    ASSERT_TRUE(type);
    EXPECT_TRUE(isChecked(type, 1068));
    EXPECT_EQ(windowText(GetDlgItem(type, 1351)), "5");
    press(type, IDCANCEL);
    ASSERT_TRUE(run.program.waitWindowGone(kTypePage));

    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
    const std::string saved = run.program.readFile("QUORVALENT.INI");
    EXPECT_EQ(settingValue(saved, "NSuite="), 5);
    EXPECT_EQ(settingValue(saved, "ISuiteType="), 1);
}

TEST(ModelSuiteWizard, CancelOnALaterPageLeavesTheCommittedSuite)
{
    // A fade-in suite of three curves from the settings file.
    RunningProgram run("wizard-cancel", Settings::Seeded, settingsWith({{"NSuite=", "    3"}, {"ISuiteType=", "    6"}}),
                       StartWizard::Keep);
    ASSERT_TRUE(run.frame);

    HWND type = page(run.program, kTypePage, "wizard-cancel-01-parameters");
    ASSERT_TRUE(type);
    EXPECT_TRUE(isChecked(type, 1387));
    press(type, kNext);
    HWND base = page(run.program, kBasePage, "wizard-cancel-02-base");
    ASSERT_TRUE(base);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(base, 1368)));
    const GridCells layers(base, 1364, 2, 1);
    layers.type(3, 1, "100");
    layers.type(2, 2, "100");
    press(base, kNext);
    // The second model keeps one layer: the layer counts must agree.
    HWND second = page(run.program, kSecondPage, "wizard-cancel-03-second-model");
    ASSERT_TRUE(second);
    press(second, kNext);
    EXPECT_EQ(answerBox(run.program, "wizard-cancel-04-layer-counts"), "First and Second models must have same number of layers");
    second = page(run.program, kSecondPage, "wizard-cancel-05-second-again");
    ASSERT_TRUE(second);
    press(second, kBack);
    base = page(run.program, kBasePage, "wizard-cancel-06-back-to-base");
    ASSERT_TRUE(base);
    press(base, kBack);
    type = page(run.program, kTypePage, "wizard-cancel-07-back-to-parameters");
    ASSERT_TRUE(type);
    typeField(type, 1351, "7");
    press(type, kNext);
    base = page(run.program, kBasePage, "wizard-cancel-08-base-before-cancel");
    ASSERT_TRUE(base);
    // The user drags the page aside before cancelling.
    SetWindowPos(base, nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    settled(base);
    const RECT left = windowRect(base);
    press(base, IDCANCEL);
    ASSERT_TRUE(run.program.waitWindowGone(kBasePage));

    // The next wizard opens with the committed values, where the user left the pages.
    sendCommand(run.frame, 40014);
    type = page(run.program, kTypePage, "wizard-cancel-09-reopened");
    ASSERT_TRUE(type);
    EXPECT_EQ(windowText(GetDlgItem(type, 1351)), "3");
    EXPECT_EQ(windowRect(type).left, left.left);
    EXPECT_EQ(windowRect(type).top, left.top);
    press(type, kNext);
    base = page(run.program, kBasePage, "wizard-cancel-10-base-as-committed");
    ASSERT_TRUE(base);
    GridCells cells(base, 1364, 2, 1);
    EXPECT_EQ(cells.read(2, 2, ""), "");
    press(base, IDCANCEL);
    ASSERT_TRUE(run.program.waitWindowGone(kBasePage));

    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
    EXPECT_EQ(settingValue(run.program.readFile("QUORVALENT.INI"), "NSuite="), 3);
}

// Waits until the grid's editor lies over the cell: every key typed before the last one that moved
// it has been handled by then.
bool editorOver(const GridCells& grid, int column, int row)
{
    const POINT target = grid.at(column, row);
    return waitFor(
        [&] {
            const RECT r = grid.editorRect();
            return PtInRect(&r, target) != FALSE;
        },
        5000ms);
}

TEST(ModelSuiteWizard, TheModelGridTakesKeysAsASpreadsheetDoes)
{
    // A thickness suite on the one-layer start model: an Enter that reached "Next >" would raise
    // "Thickness of layer 1 is varied. Must have at least 2 layers".
    RunningProgram run("wizard-grid-keys", Settings::Seeded, settingsWith({{"ISuiteType=", "    2"}}), StartWizard::Keep);
    ASSERT_TRUE(run.frame);
    struct Cell {
        int column, row;
        const char* text;  // as the cell shows it ("" empty)
    };
    struct Case {
        const char* name;  // of the screenshot
        const char* keys;  // typed into "Rho" of row 1, which holds 10
        int column, row;   // the cell the keys end in
        std::vector<Cell> cells;
    };
    const Case cases[] = {
        {"digits-after-down-from-row-1", "{Down}10{Enter}", 2, 3, {{2, 1, "10.0000"}, {2, 2, "10.0000"}}},
        {"digits-after-down-from-row-2", "{Down}20{Down}1000{Enter}", 2, 4, {{2, 2, "20.0000"}, {2, 3, "1000.000"}}},
        {"digits-after-down-from-an-empty-row", "{Down}{Down}{Down}7{Down}", 2, 5, {{2, 2, ""}, {2, 4, "7.0000"}}},
        {"typing-replaces-a-filled-cell", "20{Enter}", 2, 2, {{2, 1, "20.0000"}}},
        {"tab-moves-along-the-row", "{Tab}50{Tab}", 4, 1, {{3, 1, "50.000"}, {4, 1, "50.000"}}},
        {"enter-goes-down-never-to-next", "{Enter}{Enter}{Enter}", 2, 4, {{2, 1, "10.0000"}}},
        {"escape-restores-the-cell", "99{Esc}{Down}", 2, 2, {{2, 1, "10.0000"}}},
        {"shift-tab-moves-back", "{Tab}{+Tab}30{Enter}", 2, 2, {{2, 1, "30.0000"}}},
        {"up-keeps-both-entries", "{Down}5{Up}6{Enter}", 2, 2, {{2, 1, "6.0000"}, {2, 2, "5.0000"}}},
        {"right-and-left-leave-an-entered-cell", "{Right}{Right}{Left}80{Right}", 4, 1, {{3, 1, "80.000"}, {4, 1, "80.000"}}},
        {"left-moves-the-caret-in-a-typed-text", "12{Left}3{Enter}", 2, 2, {{2, 1, "132.0000"}}},
        {"f2-edits-the-text-in-place", "{F2}{Back}{Back}{Back}{Back}5{Enter}", 2, 2, {{2, 1, "10.5000"}}},
    };
    HWND type = page(run.program, kTypePage, "wizard-grid-keys-00-parameters");
    ASSERT_TRUE(type);
    EXPECT_TRUE(isChecked(type, 1356));
    int step = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char shot[96] = {};
        std::snprintf(shot, sizeof shot, "wizard-grid-keys-%02d-%s", ++step, c.name);
        // The page as a fresh wizard opens it: the one-layer model of 10 ohm-m.
        press(type, kNext);
        HWND base = run.program.waitForWindow(kBasePage);
        ASSERT_TRUE(base);
        settled(base);
        GridCells model(base, 1364, 2, 1);
        ASSERT_TRUE(model.select(2, 1));
        typeKeys(c.keys);
        EXPECT_TRUE(editorOver(model, c.column, c.row));
        settled(base);  // the page has followed the last cell change
        xShot(shot);
        EXPECT_TRUE(IsWindowVisible(base));
        EXPECT_EQ(run.program.waitForWindow(kBox, 0ms), nullptr);
        for (const Cell& cell : c.cells)
            EXPECT_EQ(model.read(cell.column, cell.row, cell.text), cell.text) << cell.column << "," << cell.row;
        press(base, IDCANCEL);
        ASSERT_TRUE(run.program.waitWindowGone(kBasePage));
        sendCommand(run.frame, 40014);
        type = run.program.waitForWindow(kTypePage);
        ASSERT_TRUE(type);
        settled(type);
    }
    press(type, IDCANCEL);
    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
}

TEST(ModelSuiteWizard, TheKeyboardFillsThePagesAndNothingTypedIsLost)
{
    // As after a restart: the settings bring back layer 2; the model is the one-layer start model.
    RunningProgram run("wizard-keys", Settings::Seeded, settingsWith({{"ILayer=", "    2"}}), StartWizard::Keep);
    ASSERT_TRUE(run.frame);
    // The prefix has Wine's own fonts: dialogs get Tahoma, caption buttons Marlett's symbols.
    EXPECT_EQ(fontFace("Marlett"), "Marlett");
    EXPECT_EQ(fontFace("MS Shell Dlg"), "MS Shell Dlg");

    // 1. Suite parameters. A letter typed into a number field is refused there ("x4" over the
    // count gives 4); an emptied field is named; a zero offset is refused in a box showing all its
    // text.
    HWND type = page(run.program, kTypePage, "wizard-keys-01-parameters");
    ASSERT_TRUE(type);
    ASSERT_TRUE(bringToFront(type));
    EXPECT_TRUE(retypeField(type, 1351, "x4", "4")) << windowText(GetDlgItem(type, 1351));
    ASSERT_TRUE(retypeField(type, 1072, "{Del}", ""));
    press(type, kNext);
    EXPECT_EQ(answerWholeBox(run.program, "wizard-keys-02-offset-holds-no-number"),
              "\"Offset:\" holds no number, please re-enter");
    ASSERT_TRUE(retypeField(type, 1072, "0", "0"));
    press(type, kNext);
    EXPECT_EQ(answerWholeBox(run.program, "wizard-keys-03-offset-refused"), "Source-receiver offset must be greater than 0");
    ASSERT_TRUE(retypeField(type, 1072, "1000", "1000"));
    press(type, kNext);

    // 2. The base model, typed with the keys alone: typing replaces a cell, Tab and Enter move on
    // and never press "Next >", arrows move between cells, Escape restores a cell. The layer the
    // settings brought back fits the one-layer model.
    HWND base = page(run.program, kBasePage, "wizard-keys-04-base-model");
    ASSERT_TRUE(base);
    EXPECT_EQ(windowText(GetDlgItem(base, 1368)), "1");
    GridCells model(base, 1364, 2, 1);
    ASSERT_GT(model.width, 4);
    ASSERT_TRUE(model.select(2, 1));
    typeKeys("100{Tab}50{Enter}200{+Tab}10{Down}1000{Enter}");
    ASSERT_TRUE(editorOver(model, 2, 4));
    typeKeys("99{Esc}{Up}");
    ASSERT_TRUE(editorOver(model, 2, 3));
    // The page is still up, with no box: Enter went to the cells.
    EXPECT_TRUE(IsWindowVisible(base));
    EXPECT_EQ(run.program.waitForWindow(kBox, 0ms), nullptr);
    xShot("wizard-keys-05-typed-model");
    const struct {
        int column, row;
        const char* text;
    } typed[] = {{2, 1, "100.0000"}, {3, 1, "50.000"}, {4, 1, "50.000"}, {2, 2, "10.0000"},
                 {3, 2, "200.000"}, {4, 2, "250.000"}, {2, 3, "1000.000"}, {2, 4, ""}};
    for (const auto& cell : typed) EXPECT_EQ(model.read(cell.column, cell.row, cell.text), cell.text) << cell.column << "," << cell.row;
    press(base, kNext);

    // 3. The values, in the unit of the varied quantity; typed, then kept over "< Back".
    HWND values = page(run.program, kValuesPage, "wizard-keys-06-values");
    ASSERT_TRUE(values);
    EXPECT_EQ(windowText(GetDlgItem(values, 1255)), "ohm-m");
    GridCells rows(values, 1006, 2, 1);
    ASSERT_TRUE(rows.select(2, 1));
    typeKeys("15{Enter}25{Enter}35{Enter}45");
    ASSERT_TRUE(editorOver(rows, 2, 4));
    ASSERT_TRUE(waitFor([&] { return rows.text() == "45"; }, 5000ms));
    xShot("wizard-keys-07-values-typed");
    values = backAndOnAgain(run.program, values, kBasePage, "wizard-keys-08-back-to-base", "wizard-keys-09-values-kept");
    ASSERT_TRUE(values);
    GridCells kept(values, 1006, 2, 1);
    EXPECT_EQ(kept.read(2, 1, "15.00000"), "15.00000");
    EXPECT_EQ(kept.read(2, 4, "45.00000"), "45.00000");
    press(values, kNext);

    // 4. The time window typed and kept over "< Back"; Finish computes the suite.
    HWND time = page(run.program, kTimePage, "wizard-keys-10-time-window");
    ASSERT_TRUE(time);
    ASSERT_TRUE(bringToFront(time));
    ASSERT_TRUE(retypeField(time, 1360, "0.002", "0.002"));
    time = backAndOnAgain(run.program, time, kValuesPage, "wizard-keys-11-back-to-values", "wizard-keys-12-time-kept");
    ASSERT_TRUE(time);
    EXPECT_EQ(std::stof(windowText(GetDlgItem(time, 1360))), 0.002f);
    press(time, kNext);
    ASSERT_TRUE(run.program.waitWindowGone(kTimePage));
    ASSERT_TRUE(run.program.waitWindowGone("Model Suite Calculation Progress", 60000ms));
    settled(run.frame);
    xShot("wizard-keys-13-suite");

    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
    const std::string saved = run.program.readFile("QUORVALENT.INI");
    EXPECT_EQ(settingValue(saved, "ILayer="), 1);
    EXPECT_NE(saved.find("VParam=   15.0000   25.0000   35.0000   45.0000"), std::string::npos);
    EXPECT_NE(saved.find("AbStart=   2.0000E-03"), std::string::npos);
}

TEST(ModelSuiteWizard, ASuiteOfOneCurveCarriesTheValueItIsComputedWith)
{
    RunningProgram run("wizard-one-curve", Settings::Seeded, settingsWith({{"NSuite=", "    1"}}), StartWizard::Keep);
    ASSERT_TRUE(run.frame);
    HWND type = page(run.program, kTypePage, "wizard-one-curve-01-parameters");
    ASSERT_TRUE(type);
    press(type, kNext);
    // A half-space of 100 ohm-m; one curve skips the values page.
    HWND base = page(run.program, kBasePage, "wizard-one-curve-02-base");
    ASSERT_TRUE(base);
    GridCells model(base, 1364, 2, 1);
    ASSERT_TRUE(model.select(2, 1));
    typeKeys("100{Enter}");
    ASSERT_TRUE(editorOver(model, 2, 2));
    xShot("wizard-one-curve-03-half-space");
    press(base, kNext);
    HWND time = page(run.program, kTimePage, "wizard-one-curve-04-time-window");
    ASSERT_TRUE(time);
    press(time, kNext);
    ASSERT_TRUE(run.program.waitWindowGone("Model Suite Calculation Progress", 60000ms));
    settled(run.frame);
    xShot("wizard-one-curve-05-curve");
    // The flat ASCII export names the value the curve was computed with: 100 ohm-m.
    HWND kind = startFlatAsciiExport(run, "ONE.DAT");
    ASSERT_TRUE(kind);
    xShot("wizard-one-curve-06-export");
    clickButton(kind, IDOK);
    ASSERT_TRUE(run.program.waitWindowGone("Field Output Type"));
    ASSERT_TRUE(waitFor([&] { return run.program.readFile("ONE.DAT").find("Variations:") != std::string::npos; }, 10000ms));
    const std::string table = run.program.readFile("ONE.DAT");
    EXPECT_NE(table.find("   1,    Variations:   1.00000E+02, "), std::string::npos) << table.substr(0, 300);
    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
    EXPECT_NE(run.program.readFile("QUORVALENT.INI").find("VParam=  100.0000\r\n"), std::string::npos);
}

}  // namespace
