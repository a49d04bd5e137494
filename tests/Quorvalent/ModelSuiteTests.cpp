// The model-suite wizard inside a test process, with the program's own dialogs: the page rules
// as tables, and each page shown for real and driven as a user drives it (buttons clicked,
// cells typed and left, message boxes read and answered) by a script that runs on the page's own
// thread from a timer while the page waits for its events.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Quorvalent/AppState.h"
#include "Quorvalent/Dialogs.h"
#include "Quorvalent/ModelSuite.h"
#include "Quorvalent/Quorvalent.h"
#include "WBRVLib/DoveLib.h"
#include "tests/support/DialogScript.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/GridCellEditor.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridPainting.h"
#include "toolkit/dialogs/GridRecords.h"
#include "toolkit/foundation/MainWindow.h"

using namespace DialogScript;
using namespace GuiHarness;

namespace {

constexpr char kBox[] = "Brevalon Library Message";
constexpr char kTypePage[] = "Model Suite Parameters";
constexpr char kBasePage[] = "Base Resistivity Model";
constexpr char kSecondPage[] = "Fade-in Resistivity Model";
constexpr char kValuesPage[] = "Suite Parameter Variation";
constexpr char kTimePage[] = "Curve Generation Abscissa";
constexpr char kNumberPrompt[] = "Get Foating Point Number";

// ---- the script ------------------------------------------------------------------------------

// A field's text replaced as typing does (marked as edited, so that the page reads the text).
void setField(HWND page, int id, const char* text)
{
    SetDlgItemTextA(page, id, text);
    SendMessageA(GetDlgItem(page, id), EM_SETMODIFY, TRUE, 0);
}

// Cancels whatever is up when a script gives up, so that the page returns.
void cancelEverything()
{
    for (const char* caption : {kBox, kNumberPrompt, kTimePage})
        if (HWND w = shown(caption)) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    for (const char* caption : {kTypePage, kBasePage, kSecondPage, kValuesPage})
        if (HWND w = shown(caption)) SendMessageA(GetDlgItem(w, 2), BM_CLICK, 0, 0);
}

// Runs a page routine under a script and checks that the script came to its end.
void run(std::vector<Step> steps, const std::function<void()>& page)
{
    Script script(std::move(steps), cancelEverything);
    page();
    EXPECT_TRUE(script.finished());
}

std::string boxText(HWND box)
{
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

// A message box with exactly this text, answered with OK.
Step box(std::string expected)
{
    return onWindow(kBox, [expected](HWND b) {
        EXPECT_EQ(boxText(b), expected);
        PostMessageA(b, WM_COMMAND, IDOK, 0);
    });
}

// The number prompt: its prompt text checked, a value typed, OK.
Step numberPrompt(std::string prompt, std::string typed)
{
    return onWindow(kNumberPrompt, [prompt, typed](HWND d) {
        char text[128] = {};
        GetDlgItemTextA(d, 1117, text, sizeof text);
        EXPECT_EQ(std::string(text), prompt);
        setField(d, 1398, typed.c_str());
        SendMessageA(GetDlgItem(d, 1), BM_CLICK, 0, 0);
    });
}

bool checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
bool enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

// Grid access from a step: the dialog made current for the call, the one before made current again.
template <typename F>
auto inDialog(INTEGER dialog, F f)
{
    const INTEGER before = WDialogQuery(3);
    WDialogSelect(dialog);
    auto result = f();
    if (before != 0) WDialogSelect(before);
    return result;
}

// A grid column's rows 1 to n as the user reads them: the number, or nothing (-1 stands for
// an empty cell, which no test value is).
std::vector<REAL> cells(INTEGER dialog, INTEGER grid, INTEGER column, INTEGER n)
{
    return inDialog(dialog, [&] {
        std::vector<REAL> values;
        for (INTEGER row = 1; row <= n; ++row) {
            REAL v = -1.0f;
            if (WInfoGridCell(grid, column, row, 1) > 0) WGridGetCellReal(grid, column, row, v);
            values.push_back(v);
        }
        return values;
    });
}

std::pair<INTEGER, INTEGER> currentCell(INTEGER dialog, INTEGER grid)
{
    return inDialog(dialog, [&] {
        return std::make_pair(WGridQuery(grid, kGridInfoCurrentColumn), WGridQuery(grid, kGridInfoCurrentRow));
    });
}

GridRecord* gridOf(HWND page, int id) { return YYGridRecordOf(GetDlgItem(page, id)); }

// Moves to a cell as the user does (the grid reports the cell it moved to) and, once the page
// has taken that report, types into the cell's editor; the text is stored when the cell is left.
Step typeCell(const char* caption, int grid, INTEGER column, INTEGER row, std::string text)
{
    auto moved = std::make_shared<bool>(false);
    return [=] {
        HWND page = shown(caption);
        if (!page) return false;
        GridRecord* g = gridOf(page, grid);
        if (!g) return false;
        if (!*moved) {
            SetForegroundWindow(page);
            YYGridMoveCell(g->window, column - 1, row - 1, true, false);
            YYGridNotifyCell(*g, YYGridPackCell(column - 1, row - 1));
            *moved = true;
            return false;
        }
        if (!g->editor) return false;
        SetFocus(g->editor);
        SetWindowTextA(g->editor, text.c_str());
        SendMessageA(g->editor, EM_SETMODIFY, TRUE, 0);
        return true;
    };
}

// A key pressed in the grid's cell editor (leaves the cell with an arrow key).
Step gridKey(const char* caption, int grid, WPARAM key)
{
    return onWindow(caption, [=](HWND page) {
        GridRecord* g = gridOf(page, grid);
        ASSERT_NE(g, nullptr);
        HWND target = g->editor ? g->editor : g->window;
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, 0xC0000001);
    });
}

Step moveTo(const char* caption, int grid, INTEGER column, INTEGER row)
{
    return onWindow(caption, [=](HWND page) {
        GridRecord* g = gridOf(page, grid);
        ASSERT_NE(g, nullptr);
        SetForegroundWindow(page);
        YYGridMoveCell(g->window, column - 1, row - 1, true, false);
        YYGridNotifyCell(*g, YYGridPackCell(column - 1, row - 1));
        if (g->editor) SetFocus(g->editor);
    });
}

// Waits until the condition holds: a key posted to the grid is handled some messages later.
// A condition that never holds stops the script at this step, which fails the test.
Step until(std::function<bool()> condition) { return condition; }

Step check(std::function<void()> f)
{
    return [f] {
        f();
        return true;
    };
}

// ---- records -----------------------------------------------------------------------------------

void setModel(SoundingRecord& record, const std::vector<REAL>& rho, const std::vector<REAL>& thick)
{
    LayerModelRecord m;
    m.NLayer = static_cast<INTEGER>(rho.size());
    m.ValuesPerLayer = 1;
    m.ParameterCount = 2 * m.NLayer - 1;
    const INTEGER count = std::max<INTEGER>(m.ParameterCount, 1);
    m.Parameters.allocate(count);
    m.ParameterReal2.allocate(count);
    m.ParameterReal3.allocate(count);
    m.ParameterFlags1.allocate(count);
    m.ParameterFlags2.allocate(count);
    for (std::size_t j = 0; j < rho.size(); ++j) m.Parameters(static_cast<int>(j) + 1) = rho[j];
    for (std::size_t j = 0; j < thick.size(); ++j) m.Parameters(m.NLayer + static_cast<int>(j) + 1) = thick[j];
    PUTMODEL1D(record, m);
}

std::vector<REAL> parameters(const SoundingRecord& record)
{
    std::vector<REAL> p;
    for (INTEGER j = 1; j <= record.Model.ParameterCount; ++j) p.push_back(record.Model.Parameters(j));
    return p;
}

class WizardTest : public ::testing::Test {
protected:
    // One main window for the whole suite: opening and closing one costs seconds under Wine.
    static void SetUpTestSuite()
    {
        WindowOpen(39, 20, 20, 600, 400, kMainMenuId);
        pumpPending();
    }
    static void TearDownTestSuite() { ToolkitSession::closeAllWindows(); }
    void SetUp() override
    {
        systemRecord() = SystemRecord{};
        SuiteState& s = suiteState();
        s.FieldComponent = 0;
        s.ISuiteType = 1;
        s.VParam.fill(0.0f);
        s.LDifference = kFalse;
        mainWindowState().DialogX = -1;
        mainWindowState().DialogY = -1;
        setModel(suiteSoundingRecord().Record, {10.0f}, {});
        setModel(secondModelSoundingRecord().Record, {10.0f}, {});
    }
    void TearDown() override { EXPECT_EQ(ToolkitSession::unloadAllDialogs(), 0); }
    Watchdog watchdog_{std::chrono::milliseconds(240000)};
};

// ---- rules -------------------------------------------------------------------------------------

TEST(WizardRules, PageSequenceAndBackTargetsOverSuiteTypeAndCurveCount)
{
    struct Case {
        INTEGER suiteType, nSuite;
        WizardPage page;
        WizardPage next, back;
    };
    const Case cases[] = {
        {1, 1, kPageSuiteType, kPageBaseModel, kPageSuiteType},
        {1, 1, kPageBaseModel, kPageTimeWindow, kPageSuiteType},
        {1, 1, kPageTimeWindow, kPageFinished, kPageBaseModel},
        {1, 5, kPageBaseModel, kPageValues, kPageSuiteType},
        {1, 5, kPageValues, kPageTimeWindow, kPageBaseModel},
        {1, 5, kPageTimeWindow, kPageFinished, kPageValues},
        {6, 1, kPageBaseModel, kPageSecondModel, kPageSuiteType},
        {6, 1, kPageSecondModel, kPageTimeWindow, kPageBaseModel},
        {6, 1, kPageTimeWindow, kPageFinished, kPageSecondModel},
        {6, 5, kPageSecondModel, kPageValues, kPageBaseModel},
        {6, 5, kPageValues, kPageTimeWindow, kPageSecondModel},
        {6, 5, kPageTimeWindow, kPageFinished, kPageValues},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nextWizardPage(c.page, kButtonNext, c.suiteType, c.nSuite), c.next) << c.suiteType << c.nSuite << c.page;
        EXPECT_EQ(nextWizardPage(c.page, kButtonBack, c.suiteType, c.nSuite), c.back) << c.suiteType << c.nSuite << c.page;
        EXPECT_EQ(nextWizardPage(c.page, kButtonCancel, c.suiteType, c.nSuite), kPageCancelled);
        // Any other button is followed as "Next >".
        EXPECT_EQ(nextWizardPage(c.page, 1040, c.suiteType, c.nSuite), c.next);
    }
}

TEST(WizardRules, DisplayKindsAllowedPerComponent)
{
    // kinds 1 to 6 per component
    const INTEGER electric[6] = {1, 1, 3, 1, 1, 1};
    const INTEGER magnetic[6] = {1, 2, 1, 4, 5, 6};
    for (INTEGER kind = 1; kind <= 6; ++kind) {
        EXPECT_EQ(allowedDisplayKind(kFieldEx, kind), electric[kind - 1]) << kind;
        EXPECT_EQ(allowedDisplayKind(kFieldEy, kind), electric[kind - 1]) << kind;
        EXPECT_EQ(allowedDisplayKind(kFieldHz, kind), magnetic[kind - 1]) << kind;
    }
}

TEST(WizardRules, RefusalsWithTheirExactTexts)
{
    EXPECT_EQ(layerCountRefusal(2, 3, 3), "Thickness of layer     3 is varied. Must have at least     4 layers");
    EXPECT_EQ(layerCountRefusal(3, 3, 3), "Depth to bottom of layer     3 is varied. Must have at least     4 layers");
    EXPECT_EQ(layerCountRefusal(1, 4, 3), "Resistivity of layer     4 is varied. Must have at least     4 layers");
    EXPECT_EQ(layerCountRefusal(1, 3, 3), "");
    EXPECT_EQ(layerCountRefusal(4, 9, 1), "");

    // The time window: start after 0, end after start, at most 300 samples.
    EXPECT_EQ(timeWindowRefusal(0.0f, 10.0f), "Time window must start after 0 s and end after its start");
    EXPECT_EQ(timeWindowRefusal(1.0f, 1.0f), "Time window must start after 0 s and end after its start");
    EXPECT_EQ(timeWindowRefusal(1.0e-15f, 1.0e15f), "Time window too long: a curve holds at most 300 samples");
    EXPECT_EQ(timeWindowRefusal(0.001f, 10.0f), "");

    EXPECT_EQ(suiteParameterRefusal(0, 1000.0f), "Number of curves must be from 1 to 1000");
    EXPECT_EQ(suiteParameterRefusal(1001, 1000.0f), "Number of curves must be from 1 to 1000");
    EXPECT_EQ(suiteParameterRefusal(1000, 0.0f), "Source-receiver offset must be greater than 0");
    EXPECT_EQ(suiteParameterRefusal(1, 0.5f), "");

    EXPECT_EQ(suiteDescriptionText(1, 1), "Parameter to vary is Resistivity of layer           1");
    EXPECT_EQ(suiteDescriptionText(6, 1), "Parameter to vary is Fade-in of Second Model (%)");
}

TEST(WizardRules, VariedValuesAgainstTheFourLayerModel)
{
    // Thicknesses 100, 200, 300: boundaries at 100, 300 and 600 m.
    const std::vector<REAL> depths = {100.0f, 300.0f, 600.0f};
    struct Case {
        INTEGER suiteType, layer;
        REAL value;
        const char* refusal;
    };
    const Case cases[] = {
        {3, 2, 100.0f, SuiteMessages::kEncroachesAbove},
        {3, 2, 600.0f, SuiteMessages::kEncroachesBelow},
        {3, 2, 350.0f, ""},
        {3, 3, 300.0f, SuiteMessages::kEncroachesAbove},
        {3, 3, 5000.0f, ""},
        {1, 1, 0.0f, SuiteMessages::kIllegalValue},
        {2, 1, -1.0f, SuiteMessages::kIllegalValue},
        {4, 1, 0.0f, SuiteMessages::kIllegalValue},  // an offset of 0 gives no curve
        {5, 1, 0.0f, ""},
        {6, 1, 0.0f, ""},
        {6, 1, -0.5f, SuiteMessages::kIllegalValue},
        {6, 1, 100.0f, ""},
        {6, 1, 100.5f, SuiteMessages::kIllegalValue},  // beyond the second model
    };
    for (const Case& c : cases)
        EXPECT_EQ(variedValueRefusal(c.value, c.suiteType, 8, c.layer, 4, depths), c.refusal)
            << c.suiteType << " " << c.layer << " " << c.value;
}

TEST(WizardRules, UnitsLayersAndBaseValuesOfTheVariedQuantity)
{
    // Three layers of 10, 20, 30 ohm-m, 100 and 200 m thick; offset 500 m at 30 degrees.
    SoundingRecord record;
    setModel(record, {10.0f, 20.0f, 30.0f}, {100.0f, 200.0f});
    SystemRecord system;
    system.Offset = 500.0f;
    system.TxRxAngle = 30.0f;
    struct Case {
        INTEGER suiteType, layer;
        const char* unit;
        INTEGER allowed;  // the layer as the wizard opens with it on this model
        REAL base;        // the value of a one-curve suite (-1: none, the layer is not in the model)
    };
    const Case cases[] = {
        {1, 3, "ohm-m", 3, 30.0f}, {1, 4, "ohm-m", 3, -1.0f}, {1, 0, "ohm-m", 1, -1.0f},
        {2, 2, "m", 2, 200.0f},    {2, 3, "m", 2, -1.0f},     {3, 2, "m", 2, 300.0f},
        {3, 1, "m", 1, 100.0f},    {4, 7, "m", 3, 500.0f},    {5, 1, "deg", 1, 30.0f},
        {6, 1, "%", 1, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.suiteType) + " layer " + std::to_string(c.layer));
        EXPECT_EQ(variedQuantityUnit(c.suiteType), c.unit);
        EXPECT_EQ(allowedLayer(c.suiteType, c.layer, 3), c.allowed);
        const REAL base = suiteBaseValue(c.suiteType, c.layer, record.Model, system);
        EXPECT_EQ(isMissingReal(base) ? -1.0f : base, c.base);
    }
    // A half-space: a restored layer 2 is layer 1, also where a thickness varies (which Next then
    // refuses, asking for two layers).
    EXPECT_EQ(allowedLayer(1, 2, 1), 1);
    EXPECT_EQ(allowedLayer(2, 2, 1), 1);
}

TEST(WizardRules, DeepBoundariesGetAFormatThatKeepsThem)
{
    EXPECT_EQ(modelCellFormat(9999.0f), "(F8.3)");
    EXPECT_EQ(modelCellFormat(-150.0f), "(F8.3)");
    EXPECT_NE(modelCellFormat(12500.0f), "(F8.3)");
    EXPECT_NE(modelCellFormat(-1000.0f), "(F8.3)");
}

// ---- the suite-parameters page -----------------------------------------------------------------

TEST_F(WizardTest, AFreshStartOpensWithHzEarlyLateRhoAFiveCurvesAndResistivity)
{
    INTEGER button = 0;
    LOGICAL cancel = kFalse;
    run({onWindow(kTypePage,
                [](HWND page) {
                    EXPECT_TRUE(checked(page, 1008));
                    EXPECT_TRUE(checked(page, 1068));
                    EXPECT_TRUE(checked(page, 1354));
                    EXPECT_EQ(GetDlgItemInt(page, 1351, nullptr, TRUE), 5u);
                    EXPECT_FALSE(enabled(page, 1357));
                    EXPECT_FALSE(enabled(page, 1067));
                    EXPECT_FALSE(enabled(page, 1413));
                    EXPECT_TRUE(enabled(page, 1066));
                }),
         click(kTypePage, kButtonNext)},
        [&] { MODELSUITETYPE(button, cancel); });
    EXPECT_EQ(button, kButtonNext);
    EXPECT_FALSE(isTrue(cancel));
    EXPECT_EQ(suiteState().FieldComponent, kFieldHz);
    EXPECT_EQ(systemRecord().DisplayKind, 4);
    EXPECT_EQ(systemRecord().NSuite, 5);
    EXPECT_EQ(suiteState().ISuiteType, 1);
    EXPECT_EQ(suiteSoundingRecord().Record.Data.Waveform.trimmed(), "STEP OFF");
    EXPECT_EQ(secondModelSoundingRecord().Record.Data.Waveform.trimmed(), "STEP OFF");
}

TEST_F(WizardTest, TheDisplayKindFollowsTheComponent)
{
    struct Case {
        INTEGER component, kind;
        int clicked;  // 0: none
        INTEGER shownButtonKind, stored;
    };
    const Case cases[] = {
        {kFieldEx, 4, 0, 1, 1},       // Ex with kind 4 shows and stores Received Voltage
        {kFieldHz, 3, 0, 1, 1},       // Hz with Electric Field gives Received Voltage
        {kFieldEx, 3, 1008, 1, 1},    // HZ clicked while Electric Field is chosen
        {kFieldHz, 5, 1006, 1, 1},    // EX clicked with All-Time Rho-A
        {kFieldEy, 3, 0, 3, 3},       // Ey keeps Electric Field
        {kFieldHz, 6, 0, 6, 6},
    };
    constexpr int kindButtons[6] = {1381, 1066, 1067, 1068, 1069, 1070};
    for (const Case& c : cases) {
        suiteState().FieldComponent = c.component;
        systemRecord().DisplayKind = c.kind;
        INTEGER button = 0;
        LOGICAL cancel = kFalse;
        std::vector<Step> steps;
        if (c.clicked) steps.push_back(click(kTypePage, c.clicked));
        steps.push_back(onWindow(kTypePage, [&](HWND page) {
            EXPECT_TRUE(checked(page, kindButtons[c.shownButtonKind - 1])) << c.component << " " << c.kind;
            const bool electric = c.clicked ? c.clicked != 1008 : c.component != kFieldHz;
            EXPECT_EQ(enabled(page, 1067), electric);
            EXPECT_EQ(enabled(page, 1068), !electric);
        }));
        steps.push_back(click(kTypePage, kButtonNext));
        run(steps, [&] { MODELSUITETYPE(button, cancel); });
        EXPECT_EQ(systemRecord().DisplayKind, c.stored) << c.component << " " << c.kind;
    }
}

TEST_F(WizardTest, CurveCountsOutsideOneToAThousandAndAZeroOffsetAreRefusedOnThePage)
{
    INTEGER button = 0;
    LOGICAL cancel = kFalse;
    run({onWindow(kTypePage, [](HWND page) { setField(page, 1351, "1001"); }),
         click(kTypePage, kButtonNext), box(SuiteMessages::kCurveCount),
         onWindow(kTypePage, [](HWND page) { setField(page, 1351, "0"); }),
         click(kTypePage, kButtonNext), box(SuiteMessages::kCurveCount),
         onWindow(kTypePage,
                [](HWND page) {
                    setField(page, 1351, "1000");
                    setField(page, 1072, "0");
                }),
         click(kTypePage, kButtonNext), box("Source-receiver offset must be greater than 0"),
         onWindow(kTypePage, [](HWND page) { setField(page, 1072, "250"); }),
         click(kTypePage, kButtonNext)},
        [&] { MODELSUITETYPE(button, cancel); });
    EXPECT_EQ(systemRecord().NSuite, 1000);
    EXPECT_EQ(systemRecord().Offset, 250.0f);
}

TEST_F(WizardTest, CancelOnTheFirstPageStoresNothing)
{
    INTEGER button = 0;
    LOGICAL cancel = kFalse;
    run({click(kTypePage, 1006), onWindow(kTypePage, [](HWND page) { setField(page, 1351, "7"); }),
         click(kTypePage, kButtonCancel)},
        [&] { MODELSUITETYPE(button, cancel); });
    EXPECT_EQ(button, kButtonCancel);
    EXPECT_TRUE(isTrue(cancel));
    EXPECT_EQ(systemRecord().NSuite, 5);
}

// ---- the model page ------------------------------------------------------------------------------

constexpr INTEGER kModel = kModelGrid;

std::vector<REAL> column(INTEGER c, INTEGER n) { return cells(kModelDialog, kModel, c, n); }

TEST_F(WizardTest, TheBaseModelOpensWithItsLayersAndTheCurrentCellMarked)
{
    INTEGER button = 0;
    LOGICAL cancel = kFalse;
    run({onWindow(kBasePage,
                [](HWND page) {
                    EXPECT_EQ(column(2, 2), (std::vector<REAL>{10.0f, -1.0f}));
                    EXPECT_EQ(column(3, 1), (std::vector<REAL>{-1.0f}));
                    EXPECT_EQ(cells(kModelDialog, kModel, 1, 3), (std::vector<REAL>{1.0f, 2.0f, 3.0f}));
                    EXPECT_EQ(currentCell(kModelDialog, kModel), std::make_pair(2, 1));
                    // The current cell is white on blue while the page waits.
                    INTEGER field = kModel, tr = 0, tg = 0, tb = 0, br = 0, bg = 0, bb = 0;
                    inDialog(kModelDialog, [&] {
                        YYGridGetCellColours(field, 1, 0, tr, tg, tb, br, bg, bb);
                        return 0;
                    });
                    EXPECT_EQ((std::vector<INTEGER>{tr, tg, tb, br, bg, bb}), (std::vector<INTEGER>{255, 255, 255, 0, 0, 255}));
                    EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, 1368)));
                    EXPECT_EQ(GetDlgItemInt(page, 1368, nullptr, TRUE), 1u);
                }),
         click(kBasePage, kButtonNext)},
        [&] { SUITEMODELEDIT(suiteSoundingRecord().Record, cancel, button, 1); });
    EXPECT_EQ(button, kButtonNext);
    EXPECT_FALSE(isTrue(cancel));
    EXPECT_EQ(parameters(suiteSoundingRecord().Record), (std::vector<REAL>{10.0f}));
}

TEST_F(WizardTest, ThicknessesAndDepthsFollowEachOtherAndANegativeThicknessIsRefused)
{
    setModel(suiteSoundingRecord().Record, {10.0f, 20.0f, 30.0f}, {100.0f, 200.0f});
    INTEGER button = 0;
    LOGICAL cancel = kFalse;
    run({onWindow(kBasePage, [](HWND) { EXPECT_EQ(column(4, 3), (std::vector<REAL>{100.0f, 300.0f, -1.0f})); }),
         typeCell(kBasePage, kModel, 3, 2, "250"), gridKey(kBasePage, kModel, VK_DOWN),
         until([] { return column(4, 3) == (std::vector<REAL>{100.0f, 350.0f, -1.0f}); }),
         typeCell(kBasePage, kModel, 4, 1, "500"), gridKey(kBasePage, kModel, VK_DOWN),
         until([] { return column(3, 3) == (std::vector<REAL>{500.0f, -150.0f, -1.0f}); }),
         click(kBasePage, kButtonNext), box(SuiteMessages::kIllegalValue),
         until([] { return currentCell(kModelDialog, kModel) == std::make_pair(3, 2); }),
         // A boundary deeper than the column's format holds keeps its value.
         typeCell(kBasePage, kModel, 4, 2, "12500"), gridKey(kBasePage, kModel, VK_UP),
         until([] { return column(3, 2) == (std::vector<REAL>{500.0f, 12000.0f}); }),
         click(kBasePage, kButtonNext)},
        [&] { SUITEMODELEDIT(suiteSoundingRecord().Record, cancel, button, 1); });
    EXPECT_EQ(parameters(suiteSoundingRecord().Record), (std::vector<REAL>{10.0f, 20.0f, 30.0f, 500.0f, 12000.0f}));
    // Opened again, the deep boundary is still 12,500 m.
    run({onWindow(kBasePage, [](HWND) { EXPECT_EQ(column(4, 2), (std::vector<REAL>{500.0f, 12500.0f})); }),
         click(kBasePage, kButtonBack)},
        [&] { SUITEMODELEDIT(suiteSoundingRecord().Record, cancel, button, 1); });
    EXPECT_EQ(button, kButtonBack);
    EXPECT_EQ(parameters(suiteSoundingRecord().Record), (std::vector<REAL>{10.0f, 20.0f, 30.0f, 500.0f, 12000.0f}));
}

TEST_F(WizardTest, AHalfSpaceThicknessIsPointedOutOnceAndAnEmptyCellKeepsThePage)
{
    setModel(suiteSoundingRecord().Record, {10.0f, 20.0f, 30.0f}, {100.0f, 200.0f});
    INTEGER button = 0;
    LOGICAL cancel = kFalse;
    run({typeCell(kBasePage, kModel, 2, 2, ""), gridKey(kBasePage, kModel, VK_DOWN),
         click(kBasePage, kButtonNext), box(SuiteMessages::kNotAllCells),
         until([] { return currentCell(kModelDialog, kModel) == std::make_pair(2, 2); }),
         moveTo(kBasePage, kModel, 3, 3), click(kBasePage, kButtonBack), box(SuiteMessages::kNotAllCells),
         until([] { return currentCell(kModelDialog, kModel) == std::make_pair(2, 2); }),
         typeCell(kBasePage, kModel, 2, 2, "15"), typeCell(kBasePage, kModel, 3, 3, "400"),
         gridKey(kBasePage, kModel, VK_DOWN), click(kBasePage, kButtonNext), box(SuiteMessages::kNotAllCells)},
        [&] { SUITEMODELEDIT(suiteSoundingRecord().Record, cancel, button, 1); });
    EXPECT_EQ(button, kButtonNext);
    EXPECT_EQ(parameters(suiteSoundingRecord().Record), (std::vector<REAL>{10.0f, 15.0f, 30.0f, 100.0f, 200.0f}));
}

TEST_F(WizardTest, RowsAndCellsAreInsertedAndDeleted)
{
    setModel(suiteSoundingRecord().Record, {10.0f, 20.0f, 30.0f}, {100.0f, 200.0f});
    INTEGER button = 0;
    LOGICAL cancel = kFalse;
    run({// Insert Row on row 2 repeats it.
         moveTo(kBasePage, kModel, 2, 2), click(kBasePage, 1039),
         check([] {
             EXPECT_EQ(column(2, 5), (std::vector<REAL>{10.0f, 20.0f, 20.0f, 30.0f, -1.0f}));
             EXPECT_EQ(column(3, 4), (std::vector<REAL>{100.0f, 200.0f, 200.0f, -1.0f}));
             EXPECT_EQ(column(4, 4), (std::vector<REAL>{100.0f, 300.0f, 500.0f, -1.0f}));
         }),
         // Delete Row on row 1 takes it out.
         moveTo(kBasePage, kModel, 3, 1), click(kBasePage, 1040),
         check([] {
             EXPECT_EQ(column(2, 4), (std::vector<REAL>{20.0f, 20.0f, 30.0f, -1.0f}));
             EXPECT_EQ(column(4, 3), (std::vector<REAL>{200.0f, 400.0f, -1.0f}));
         }),
         // Below the last used row, Delete Row takes the last value of each column.
         moveTo(kBasePage, kModel, 2, 9), click(kBasePage, 1040),
         check([] {
             EXPECT_EQ(column(2, 3), (std::vector<REAL>{20.0f, 20.0f, -1.0f}));
             EXPECT_EQ(column(3, 2), (std::vector<REAL>{200.0f, -1.0f}));
             EXPECT_EQ(column(4, 2), (std::vector<REAL>{200.0f, -1.0f}));
         }),
         // On row 1000 the row buttons do nothing.
         moveTo(kBasePage, kModel, 2, 1000), click(kBasePage, 1040), click(kBasePage, 1039),
         until([] { return column(2, 3) == (std::vector<REAL>{20.0f, 20.0f, -1.0f}); }),
         // Cells: only inside the data columns.
         moveTo(kBasePage, kModel, 1, 1), click(kBasePage, 1037), box(SuiteMessages::kInsideGridInsert),
         click(kBasePage, 1038), box(SuiteMessages::kInsideGridInsert),
         click(kBasePage, 1019), box(SuiteMessages::kInsideGridMath),
         click(kBasePage, 1020), box(SuiteMessages::kInsideGridMath),
         moveTo(kBasePage, kModel, 2, 1), click(kBasePage, 1037),
         until([] { return column(2, 4) == (std::vector<REAL>{20.0f, 20.0f, 20.0f, -1.0f}); }),
         click(kBasePage, 1038),
         until([] { return column(2, 3) == (std::vector<REAL>{20.0f, 20.0f, -1.0f}); }),
         // Column math from the current row down, through the number prompt.
         moveTo(kBasePage, kModel, 2, 2), click(kBasePage, 1020), numberPrompt("Please enter number to multiply:", "3"),
         until([] { return column(2, 2) == (std::vector<REAL>{20.0f, 60.0f}); }),
         moveTo(kBasePage, kModel, 3, 1), click(kBasePage, 1019), numberPrompt("Please enter number to add:", "50"),
         check([] {
             EXPECT_EQ(column(3, 2), (std::vector<REAL>{250.0f, -1.0f}));
             EXPECT_EQ(column(4, 1), (std::vector<REAL>{250.0f}));
         }),
         click(kBasePage, kButtonNext)},
        [&] { SUITEMODELEDIT(suiteSoundingRecord().Record, cancel, button, 1); });
    EXPECT_EQ(parameters(suiteSoundingRecord().Record), (std::vector<REAL>{20.0f, 60.0f, 250.0f}));
}

TEST_F(WizardTest, TheLayerOfTheVariedQuantityMustExist)
{
    setModel(suiteSoundingRecord().Record, {10.0f, 20.0f, 30.0f}, {100.0f, 200.0f});
    suiteState().ISuiteType = 2;
    INTEGER button = 0;
    LOGICAL cancel = kFalse;
    run({onWindow(kBasePage, [](HWND page) { setField(page, 1368, "3"); }), click(kBasePage, kButtonNext),
         box("Thickness of layer     3 is varied. Must have at least     4 layers"),
         onWindow(kBasePage, [](HWND page) { setField(page, 1368, "2"); }), click(kBasePage, kButtonNext)},
        [&] { SUITEMODELEDIT(suiteSoundingRecord().Record, cancel, button, 1); });
    EXPECT_EQ(systemRecord().ILayer, 2);
    // The second model's page has no layer field.
    run({onWindow(kSecondPage, [](HWND page) { EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, 1368))); }),
         click(kSecondPage, kButtonNext)},
        [&] { SUITEMODELEDIT(secondModelSoundingRecord().Record, cancel, button, 2); });
}

// ---- the values page ---------------------------------------------------------------------------

std::vector<REAL> values(INTEGER n) { return cells(kValuesDialog, kValuesGrid, 2, n); }

void vary(INTEGER& button, LOGICAL& cancel) { MODELSUITEVARY(0.0f, 5.0f, 100.0f, 8, kFalse, 20, button, cancel); }

TEST_F(WizardTest, ValuesOpenRepairedAndAreGeneratedAddedAndMultiplied)
{
    suiteState().ISuiteType = 6;
    systemRecord().NSuite = 3;
    suiteState().VParam[0] = -5.0f;
    suiteState().VParam[1] = 50.0f;
    suiteState().VParam[2] = 150.0f;
    INTEGER button = 0;
    LOGICAL cancel = kFalse;
    run({onWindow(kValuesPage,
                [](HWND page) {
                    EXPECT_EQ(values(3), (std::vector<REAL>{1.0f, 50.0f, 3.0f}));
                    char text[256] = {};
                    GetDlgItemTextA(page, 1367, text, sizeof text);
                    EXPECT_EQ(std::string(text), "Parameter to vary is Fade-in of Second Model (%)");
                    GetDlgItemTextA(page, 1255, text, sizeof text);
                    EXPECT_EQ(std::string(text), "%");
                }),
         click(kValuesPage, kButtonNext)},
        [&] { vary(button, cancel); });
    EXPECT_EQ(suiteState().VParam[2], 3.0f);
    // An angle of 0 is a value the page accepts: it opens as it was.
    suiteState().ISuiteType = 5;
    suiteState().VParam[0] = 0.0f;
    suiteState().VParam[1] = -1.0f;
    run({onWindow(kValuesPage, [](HWND) { EXPECT_EQ(values(3), (std::vector<REAL>{0.0f, 2.0f, 3.0f})); }),
         click(kValuesPage, kButtonCancel)},
        [&] { vary(button, cancel); });

    suiteState().ISuiteType = 5;
    systemRecord().NSuite = 10;
    for (int i = 0; i < 10; ++i) suiteState().VParam[static_cast<std::size_t>(i)] = 100.0f + i;
    run({onWindow(kValuesPage,
                [](HWND page) {
                    char unit[16] = {};
                    GetDlgItemTextA(page, 1255, unit, sizeof unit);
                    EXPECT_EQ(std::string(unit), "deg");
                }),
         moveTo(kValuesPage, kValuesGrid, 2, 3), click(kValuesPage, 1378),
         check([] {
             EXPECT_EQ(values(10), (std::vector<REAL>{100.0f, 101.0f, 0.0f, 5.0f, 10.0f, 15.0f, 20.0f, 25.0f, 30.0f, 35.0f}));
         }),
         moveTo(kValuesPage, kValuesGrid, 2, 9), click(kValuesPage, 1019), numberPrompt("Please enter number to add:", "1"),
         click(kValuesPage, 1020), numberPrompt("Please enter number to multiply by:", "2"),
         check([] { EXPECT_EQ(values(10)[9], 72.0f); }), click(kValuesPage, kButtonNext)},
        [&] { vary(button, cancel); });
    EXPECT_EQ(suiteState().VParam[8], 62.0f);
    EXPECT_EQ(suiteState().VParam[9], 72.0f);
}

TEST_F(WizardTest, ValuesAreRefusedWithTheCursorOnTheFailingRow)
{
    // Four layers with thicknesses 100, 200, 300; the depth of boundary 2 varies.
    setModel(suiteSoundingRecord().Record, {10.0f, 20.0f, 30.0f, 40.0f}, {100.0f, 200.0f, 300.0f});
    suiteState().ISuiteType = 3;
    systemRecord().ILayer = 2;
    systemRecord().NSuite = 3;
    suiteState().VParam[0] = 150.0f;
    suiteState().VParam[1] = 100.0f;
    suiteState().VParam[2] = 600.0f;
    INTEGER button = 0;
    LOGICAL cancel = kFalse;
    run({click(kValuesPage, kButtonNext), box(SuiteMessages::kEncroachesAbove),
         until([] { return currentCell(kValuesDialog, kValuesGrid) == std::make_pair(2, 2); }),
         typeCell(kValuesPage, kValuesGrid, 2, 2, "200"), gridKey(kValuesPage, kValuesGrid, VK_DOWN),
         click(kValuesPage, kButtonNext), box(SuiteMessages::kEncroachesBelow),
         until([] { return currentCell(kValuesDialog, kValuesGrid) == std::make_pair(2, 3); }),
         typeCell(kValuesPage, kValuesGrid, 2, 3, ""), gridKey(kValuesPage, kValuesGrid, VK_UP),
         click(kValuesPage, kButtonNext), box(SuiteMessages::kUndefinedCell),
         typeCell(kValuesPage, kValuesGrid, 2, 3, "-4"), gridKey(kValuesPage, kValuesGrid, VK_UP),
         click(kValuesPage, kButtonNext), box(SuiteMessages::kIllegalValue),
         typeCell(kValuesPage, kValuesGrid, 2, 3, "350"), gridKey(kValuesPage, kValuesGrid, VK_UP),
         click(kValuesPage, kButtonNext)},
        [&] { vary(button, cancel); });
    EXPECT_EQ(button, kButtonNext);
    EXPECT_EQ(suiteState().VParam[1], 200.0f);
    EXPECT_EQ(suiteState().VParam[2], 350.0f);
}

// ---- the time-window page ----------------------------------------------------------------------

TEST_F(WizardTest, TheTimeWindowIsCheckedBeforeItIsStored)
{
    systemRecord().IAbscissa = 2;
    INTEGER button = 0;
    LOGICAL cancel = kFalse;
    const auto window = [](const char* start, const char* end) {
        return onWindow(kTimePage, [=](HWND page) {
            setField(page, 1360, start);
            setField(page, 1362, end);
        });
    };
    run({onWindow(kTimePage,
                [](HWND page) {
                    EXPECT_FALSE(enabled(page, 1073));
                    EXPECT_TRUE(checked(page, 1074));
                }),
         window("0", "10"), click(kTimePage, kButtonNext), box("Time window must start after 0 s and end after its start"),
         window("0.01", "0.001"), click(kTimePage, kButtonNext),
         box("Time window must start after 0 s and end after its start"), window("1e-15", "1e15"),
         click(kTimePage, kButtonNext), box("Time window too long: a curve holds at most 300 samples"),
         window("0.01", "100"), click(kTimePage, kButtonNext)},
        [&] { MODELSUITEABS(button, cancel); });
    EXPECT_EQ(button, kButtonNext);
    EXPECT_EQ(systemRecord().IAbscissa, 1);
    EXPECT_EQ(systemRecord().AbStart, 0.01f);
    EXPECT_EQ(systemRecord().AbEnd, 100.0f);

    // With two layers the normalised time is offered and kept.
    setModel(suiteSoundingRecord().Record, {10.0f, 20.0f}, {100.0f});
    run({onWindow(kTimePage, [](HWND page) { EXPECT_TRUE(enabled(page, 1073)); }), click(kTimePage, 1073),
         click(kTimePage, kButtonNext)},
        [&] { MODELSUITEABS(button, cancel); });
    EXPECT_EQ(systemRecord().IAbscissa, 2);
}

TEST_F(WizardTest, BackFromTheValuesAndTimePagesKeepsWhatWasTyped)
{
    systemRecord().NSuite = 3;
    for (int i = 0; i < 3; ++i) suiteState().VParam[static_cast<std::size_t>(i)] = 10.0f * (i + 1);
    INTEGER button = 0;
    LOGICAL cancel = kFalse;
    // A value typed and left, one typed and not left, one cell emptied.
    run({typeCell(kValuesPage, kValuesGrid, 2, 1, "15"), gridKey(kValuesPage, kValuesGrid, VK_DOWN),
         until([] { return currentCell(kValuesDialog, kValuesGrid) == std::make_pair(2, 2); }),
         typeCell(kValuesPage, kValuesGrid, 2, 3, ""), gridKey(kValuesPage, kValuesGrid, VK_UP),
         typeCell(kValuesPage, kValuesGrid, 2, 2, "25"), click(kValuesPage, kButtonBack)},
        [&] { vary(button, cancel); });
    EXPECT_EQ(button, kButtonBack);
    EXPECT_EQ(suiteState().VParam[0], 15.0f);
    EXPECT_EQ(suiteState().VParam[1], 25.0f);
    EXPECT_EQ(suiteState().VParam[2], 30.0f);
    // A typed value no curve can be computed with is said so, and the page stays.
    run({typeCell(kValuesPage, kValuesGrid, 2, 3, "-4"), click(kValuesPage, kButtonBack),
         box(SuiteMessages::kIllegalValue),
         until([] { return currentCell(kValuesDialog, kValuesGrid) == std::make_pair(2, 3); }),
         typeCell(kValuesPage, kValuesGrid, 2, 3, "35"), click(kValuesPage, kButtonBack)},
        [&] { vary(button, cancel); });
    EXPECT_EQ(button, kButtonBack);
    EXPECT_EQ(suiteState().VParam[2], 35.0f);
    // The page opens with them again.
    run({onWindow(kValuesPage, [](HWND) { EXPECT_EQ(values(3), (std::vector<REAL>{15.0f, 25.0f, 35.0f})); }),
         click(kValuesPage, kButtonCancel)},
        [&] { vary(button, cancel); });

    // The time window typed before "< Back" is kept, also one "Finish" would refuse; a field left
    // empty is named and keeps the page.
    run({onWindow(kTimePage,
                [](HWND page) {
                    setField(page, 1360, "0.002");
                    setField(page, 1362, "");
                }),
         click(kTimePage, kButtonBack), box(noNumberMessage("Log spaced, ending at:")),
         onWindow(kTimePage, [](HWND page) { setField(page, 1362, "0.001"); }), click(kTimePage, kButtonBack)},
        [&] { MODELSUITEABS(button, cancel); });
    EXPECT_EQ(button, kButtonBack);
    EXPECT_FALSE(isTrue(cancel));
    EXPECT_EQ(systemRecord().AbStart, 0.002f);
    EXPECT_EQ(systemRecord().AbEnd, 0.001f);
    run({onWindow(kTimePage,
                [](HWND page) {
                    char text[32] = {};
                    GetDlgItemTextA(page, 1362, text, sizeof text);
                    EXPECT_EQ(std::stof(text), 0.001f);
                }),
         click(kTimePage, kButtonNext), box("Time window must start after 0 s and end after its start"),
         click(kTimePage, kButtonCancel)},
        [&] { MODELSUITEABS(button, cancel); });
}

TEST_F(WizardTest, AFieldThatHoldsNoNumberIsNamedAndKeepsThePage)
{
    INTEGER button = 0;
    LOGICAL cancel = kFalse;
    // Text that is no number reaches a field by pasting (typing lets no letter in).
    run({onWindow(kTypePage, [](HWND page) { setField(page, 1383, ""); }), click(kTypePage, kButtonNext),
         box("\"Current (A):\" holds no number, please re-enter"),
         onWindow(kTypePage,
                  [](HWND page) {
                      EXPECT_EQ(GetFocus(), GetDlgItem(page, 1383));
                      setField(page, 1383, "2");
                      setField(page, 1351, "x");
                  }),
         click(kTypePage, kButtonNext), box("\"Generate\" holds no number, please re-enter"),
         onWindow(kTypePage, [](HWND page) { setField(page, 1351, "3"); }), click(kTypePage, kButtonNext)},
        [&] { MODELSUITETYPE(button, cancel); });
    EXPECT_EQ(button, kButtonNext);
    EXPECT_EQ(systemRecord().TxAmps, 2.0f);
    EXPECT_EQ(systemRecord().NSuite, 3);

    // The layer field of the base model, and the number prompt, which asks again.
    run({onWindow(kBasePage, [](HWND page) { setField(page, 1368, ""); }), click(kBasePage, kButtonNext),
         box(noNumberMessage("Layer for resistivity/thickness/depth:")), moveTo(kBasePage, kModel, 2, 1),
         click(kBasePage, 1020), numberPrompt("Please enter number to multiply:", ""),
         box(noNumberMessage("Please enter number to multiply:")), numberPrompt("Please enter number to multiply:", "4"),
         until([] { return column(2, 1) == (std::vector<REAL>{40.0f}); }),
         onWindow(kBasePage, [](HWND page) { setField(page, 1368, "1"); }), click(kBasePage, kButtonNext)},
        [&] { SUITEMODELEDIT(suiteSoundingRecord().Record, cancel, button, 1); });
    EXPECT_EQ(button, kButtonNext);
    EXPECT_EQ(parameters(suiteSoundingRecord().Record), (std::vector<REAL>{40.0f}));
}

// ---- the whole wizard --------------------------------------------------------------------------

// A wizard run from the first page with edits on every page, cancelled on the given page; then
// the next wizard opens with what was committed before.
TEST_F(WizardTest, CancelOnAnyPageLeavesTheCommittedSuite)
{
    setModel(currentSoundingRecord().Record, {10.0f}, {});
    LOGICAL first = kTrue, cancel = kFalse;
    // Commit a first suite: 3 curves of a two-layer model, fade-in.
    run({onWindow(kTypePage, [](HWND page) { setField(page, 1351, "3"); }), click(kTypePage, 1387),
         click(kTypePage, kButtonNext), typeCell(kBasePage, kModel, 3, 1, "12500"), typeCell(kBasePage, kModel, 2, 2, "100"),
         gridKey(kBasePage, kModel, VK_DOWN), click(kBasePage, kButtonNext),
         // The second model must have the base model's layers.
         click(kSecondPage, kButtonNext), box(SuiteMessages::kSameLayerCount),
         typeCell(kSecondPage, kModel, 3, 1, "300"), typeCell(kSecondPage, kModel, 2, 2, "5"),
         gridKey(kSecondPage, kModel, VK_DOWN), click(kSecondPage, kButtonNext),
         // Back from the values page to the second model, and on again.
         click(kValuesPage, kButtonBack), click(kSecondPage, kButtonNext), click(kValuesPage, kButtonNext),
         click(kTimePage, kButtonBack), click(kValuesPage, kButtonNext), click(kTimePage, kButtonNext)},
        [&] { MODELSUITE(currentSoundingRecord().Record, currentSoundingRecord().Companion, cancel, first); });
    EXPECT_FALSE(isTrue(cancel));
    EXPECT_FALSE(isTrue(first));
    EXPECT_EQ(systemRecord().NSuite, 3);
    EXPECT_EQ(suiteState().ISuiteType, 6);
    EXPECT_EQ(parameters(suiteSoundingRecord().Record), (std::vector<REAL>{10.0f, 100.0f, 12500.0f}));
    EXPECT_EQ(parameters(secondModelSoundingRecord().Record), (std::vector<REAL>{10.0f, 5.0f, 300.0f}));
    const SystemRecord committedSystem = systemRecord();
    const std::array<REAL, 1000> committedValues = suiteState().VParam;

    // Edits on every page, then Cancel on each page in turn.
    const char* pages[] = {kTypePage, kBasePage, kSecondPage, kValuesPage, kTimePage};
    for (int cancelOn = 0; cancelOn < 5; ++cancelOn) {
        std::vector<Step> steps = {onWindow(kTypePage, [](HWND page) { setField(page, 1351, "4"); }),
                                   click(kTypePage, 1006)};
        if (cancelOn > 0) {
            steps.push_back(click(kTypePage, kButtonNext));
            steps.push_back(until([] { return column(3, 1) == (std::vector<REAL>{12500.0f}); }));
            steps.push_back(typeCell(kBasePage, kModel, 2, 1, "77"));
            steps.push_back(gridKey(kBasePage, kModel, VK_DOWN));
        }
        if (cancelOn > 1) {
            steps.push_back(click(kBasePage, kButtonNext));
            steps.push_back(typeCell(kSecondPage, kModel, 2, 1, "88"));
            steps.push_back(gridKey(kSecondPage, kModel, VK_DOWN));
        }
        if (cancelOn > 2) {
            steps.push_back(click(kSecondPage, kButtonNext));
            steps.push_back(moveTo(kValuesPage, kValuesGrid, 2, 1));
            steps.push_back(click(kValuesPage, 1378));
        }
        if (cancelOn > 3) steps.push_back(click(kValuesPage, kButtonNext));  // a fade-in of 0 passes
        steps.push_back(click(pages[cancelOn], kButtonCancel));
        run(steps, [&] { MODELSUITE(currentSoundingRecord().Record, currentSoundingRecord().Companion, cancel, first); });
        EXPECT_TRUE(isTrue(cancel)) << cancelOn;
        EXPECT_EQ(systemRecord().NSuite, committedSystem.NSuite) << cancelOn;
        EXPECT_EQ(suiteState().FieldComponent, kFieldHz) << cancelOn;
        EXPECT_EQ(suiteState().VParam, committedValues) << cancelOn;
        EXPECT_EQ(parameters(suiteSoundingRecord().Record), (std::vector<REAL>{10.0f, 100.0f, 12500.0f})) << cancelOn;
        EXPECT_EQ(parameters(secondModelSoundingRecord().Record), (std::vector<REAL>{10.0f, 5.0f, 300.0f})) << cancelOn;
    }
}

TEST_F(WizardTest, ARestoredLayerFitsTheModelAndASuiteOfOneCurveCarriesItsBaseValue)
{
    // As after a restart: the settings brought back layer 2 and five values, the model is the
    // one-layer start model (100 ohm-m here).
    setModel(currentSoundingRecord().Record, {100.0f}, {});
    systemRecord().ILayer = 2;
    systemRecord().NSuite = 5;
    suiteState().VParam[0] = 1.0f;
    SuiteCalculationHooks saved = suiteCalculationHooks();
    std::vector<REAL> calculatedWith;
    suiteCalculationHooks().calculate = [&](LOGICAL& stopped) {
        calculatedWith.assign(suiteState().VParam.begin(), suiteState().VParam.begin() + systemRecord().NSuite);
        stopped = kFalse;
    };
    LOGICAL first = kTrue, cancel = kFalse;
    run({onWindow(kTypePage, [](HWND page) { setField(page, 1351, "1"); }), click(kTypePage, kButtonNext),
         onWindow(kBasePage, [](HWND page) { EXPECT_EQ(GetDlgItemInt(page, 1368, nullptr, TRUE), 1u); }),
         click(kBasePage, kButtonNext), click(kTimePage, kButtonNext)},
        [&] { MODELSUITE(currentSoundingRecord().Record, currentSoundingRecord().Companion, cancel, first); });
    suiteCalculationHooks() = saved;
    EXPECT_FALSE(isTrue(cancel));
    EXPECT_EQ(systemRecord().ILayer, 1);
    EXPECT_EQ(calculatedWith, (std::vector<REAL>{100.0f}));
}

TEST_F(WizardTest, TheModelSuiteCommandRunsTheWizardAndEndsABand)
{
    pointerState().BandActive = kTrue;
    pointerState().DragActive = kTrue;
    bool result = false;
    run({click(kTypePage, kButtonCancel)}, [&] { result = runMenuCommand(kCmdModelSuite); });
    EXPECT_TRUE(result);
    EXPECT_FALSE(isTrue(pointerState().BandActive));
    EXPECT_FALSE(isTrue(pointerState().DragActive));
}

}  // namespace
