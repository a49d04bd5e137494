// The view properties, the two exports and print on the main window, each run through its menu
// command with the program's own dialogs, driven as a user drives them (fields typed and left,
// buttons clicked, the save dialog answered) by a script that runs from a timer on the command's
// own thread; the results read back from the frames, the title, the files and the printer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Quorvalent/Quorvalent.h"
#include "Quorvalent/SuiteContours.h"
#include "Quorvalent/SuiteExport.h"
#include "Quorvalent/ViewAxes.h"
#include "Quorvalent/ViewProperties.h"
#include "tests/Quorvalent/SuiteFixture.h"
#include "tests/e2e/E2eDriver.h"
#include "tests/support/DialogScript.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/HostTools.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/GraphicsState.h"

using namespace DialogScript;
using namespace GuiHarness;
using namespace HostTools;
using SuiteFixture::Suite;

namespace {

constexpr char kProperties[] = "View Properties";
constexpr char kBox[] = "Brevalon Library Message";
constexpr char kKindDialog[] = "Field Output Type";
constexpr char kDataFileDialog[] = "Flat ASCII Data File";
constexpr char kModallFileDialog[] = "Quorvalent output files";
constexpr char kComment[] = "Get Character String";

// The save dialog answered: the name typed into its file-name field (an edit box, or the explorer
// style's combo box with its edit box), read back, then OK.
BOOL CALLBACK findEdit(HWND window, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "Edit") return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND fileNameField(HWND dialog)
{
    if (HWND edit = GetDlgItem(dialog, 0x480)) return edit;
    HWND edit = nullptr;
    // The explorer style nests the edit box in a combo box inside an extended combo box.
    if (HWND combo = GetDlgItem(dialog, 0x47c)) EnumChildWindows(combo, &findEdit, reinterpret_cast<LPARAM>(&edit));
    return edit;
}

std::vector<Step> saveAs(const char* caption, std::string name)
{
    return {[caption, name] {
                HWND d = shown(caption);
                HWND field = d ? fileNameField(d) : nullptr;
                if (!field) return false;
                SetWindowTextA(field, name.c_str());
                return true;
            },
            [caption, name] {
                HWND d = shown(caption);
                HWND field = d ? fileNameField(d) : nullptr;
                if (!field) return false;
                char typed[MAX_PATH] = {};
                GetWindowTextA(field, typed, sizeof typed);
                if (name != typed) {
                    SetWindowTextA(field, name.c_str());
                    return false;
                }
                PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, IDOK)));
                return true;
            }};
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Cancels whatever is up when a script gives up, so that the command returns.
void cancelEverything()
{
    for (const char* caption : {kBox, kKindDialog, kDataFileDialog, kModallFileDialog, kComment, kProperties})
        if (HWND w = shown(caption)) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
}

void run(std::vector<Step> steps, const std::function<void()>& command)
{
    Script script(std::move(steps), cancelEverything);
    command();
    EXPECT_TRUE(script.finished());
}

Step until(std::function<bool()> condition) { return condition; }

Step check(std::function<void()> f)
{
    return [f] {
        f();
        return true;
    };
}

HWND page(INTEGER id) { return YYDialogByIdentifier(id); }
bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::string text(HWND dialog, int id)
{
    char t[128] = {};
    GetDlgItemTextA(dialog, id, t, sizeof t);
    return t;
}

double number(HWND dialog, int id) { return std::atof(text(dialog, id).c_str()); }

// A field typed as a user types: the text replaced and marked as edited, then the focus moved on,
// which reads the field.
void type(HWND dialog, int id, const char* value, int next)
{
    SetFocus(GetDlgItem(dialog, id));
    SetDlgItemTextA(dialog, id, value);
    SendMessageA(GetDlgItem(dialog, id), EM_SETMODIFY, TRUE, 0);
    SetFocus(GetDlgItem(dialog, next));
}

std::string windowTitle(HWND window)
{
    char t[160] = {};
    GetWindowTextA(window, t, sizeof t);
    return t;
}

// Answers the system's page set-up dialog with the button.
Step answerSystemDialog(int button)
{
    return [button] {
        HWND dialog = shownDialogBox();
        if (!dialog) return false;
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return true;
    };
}

class SuiteCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        SuiteFixture::resetDisplayState();
        viewPropertiesState() = ViewPropertiesState{};
        flatAsciiState() = FlatAsciiState{};
        mainWindowState().DialogX = mainWindowState().DialogY = -1;
        WindowOpen(39, 10, 10, 1000, 800, kMainMenuId);
        pumpPending();
        frame = windowSlotTable().Slots[0].Frame.get();
        ASSERT_TRUE(frame);
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        base = std::string(folder) + "qv-commands-" + std::to_string(GetCurrentProcessId()) + "-";
    }
    void TearDown() override
    {
        EXPECT_EQ(ToolkitSession::unloadAllDialogs(), 0);
        SuiteFixture::resetDisplayState();
        ToolkitSession::closeAllWindows();
        for (const char* name : {"keep.DAT", "late.DAT", "suite.PRT"}) DeleteFileA((base + name).c_str());
    }
    static void computeDefaultSuite()
    {
        SuiteFixture::computeSuite(Suite{});
        suiteSoundingRecord().Record.Data.Title.assign("New Quorvalent *");
        REFRESHSUITE(suiteSoundingRecord().Record, suiteSoundingRecord().Companion);
    }
    HWND frame = nullptr;
    std::string base;
    Watchdog watchdog_{std::chrono::milliseconds(240000)};
};

TEST_F(SuiteCommands, PropertiesOfferTheDepthPageOfTheAxisAndConvertUnitsBothWays)
{
    computeDefaultSuite();
    ASSERT_FALSE(isTrue(modelGraphFrames().Frames[0].LogY));  // the linear depth axis of a fresh start
    run({onWindow(kProperties,
                  [](HWND d) {
                      HWND tab = GetDlgItem(d, kViewPropertiesTab);
                      std::vector<std::string> labels;
                      for (int k = 0; k < TabCtrl_GetItemCount(tab); ++k) {
                          char label[64] = {};
                          TCITEMA item{};
                          item.mask = TCIF_TEXT;
                          item.pszText = label;
                          item.cchTextMax = sizeof label;
                          TabCtrl_GetItem(tab, k, &item);
                          labels.emplace_back(label);
                      }
                      EXPECT_EQ(labels, (std::vector<std::string>{"Rho-A", "Time", "Log Depth", "Linear Depth", "Rho"}));
                      EXPECT_EQ(YYTabData(tab, 2).disabled, 1);  // "Log Depth"
                      EXPECT_EQ(YYTabData(tab, 3).disabled, 0);  // "Linear Depth"
                      // Centimetres at start: every inch field off, every centimetre field on.
                      EXPECT_FALSE(enabled(d, 1114));
                      EXPECT_TRUE(enabled(d, 1115));
                      EXPECT_EQ(IsDlgButtonChecked(d, 1118), static_cast<UINT>(BST_CHECKED));
                      for (const AxisPageFields* f : {&kRhoAPage, &kTimePage, &kLinearDepthPage, &kRhoPage}) {
                          EXPECT_FALSE(enabled(page(f->Page), f->SizeInch)) << f->Page;
                          EXPECT_FALSE(enabled(page(f->Page), f->OffsetInch)) << f->Page;
                          EXPECT_TRUE(enabled(page(f->Page), f->SizeCm)) << f->Page;
                          EXPECT_TRUE(enabled(page(f->Page), f->OffsetCm)) << f->Page;
                      }
                      EXPECT_NEAR(number(page(kPageRhoA), 1092), 0.15 * 2.54, 1e-3);
                      EXPECT_FALSE(enabled(d, kApplyButton));
                  }),
         // A centimetre value shows in inches as soon as its field is left.
         onWindow(kProperties, [](HWND) { type(page(kPageRhoA), 1092, "2.54", 1099); }),
         until([] { return std::abs(number(page(kPageRhoA), 1091) - 1.0) < 1e-3; }),
         until([] { return enabled(shown(kProperties), kApplyButton); }),
         click(kProperties, 1116),
         until([] {
             for (const AxisPageFields* f : {&kRhoAPage, &kTimePage, &kLogDepthPage, &kLinearDepthPage, &kRhoPage})
                 if (!enabled(page(f->Page), f->SizeInch) || enabled(page(f->Page), f->SizeCm) ||
                     !enabled(page(f->Page), f->OffsetInch) || enabled(page(f->Page), f->OffsetCm))
                     return false;
             return enabled(shown(kProperties), 1114) && !enabled(shown(kProperties), 1115);
         }),
         // And an inch value in centimetres.
         onWindow(kProperties, [](HWND) { type(page(kPageTime), 1102, "0.5", 1100); }),
         until([] { return std::abs(number(page(kPageTime), 1103) - 1.27) < 1e-3; }),
         click(kProperties, 2)},
        [] { runMenuCommand(kCmdProperties); });
    // Cancel keeps what the fields stored.
    EXPECT_NEAR(plotSettingsState().HIDATV, 1.0f, 1e-4f);
    EXPECT_NEAR(plotSettingsState().OFFDATH, 0.5f, 1e-4f);
    EXPECT_TRUE(isTrue(viewPropertiesState().Inches));
}

TEST_F(SuiteCommands, ApplyKeepsTheLengthPerDecadeOkTheTotalLengthAndCancelKeepsWhatWasApplied)
{
    computeDefaultSuite();
    GraphFrameRecord& curve = curveGraphFrames().Frames[0];
    const INTEGER decades = curve.StepsY;
    const REAL perDecade = curve.LengthY, total = decades * perDecade;
    const std::string more = std::to_string(decades + 1), evenMore = std::to_string(decades + 2);
    const AxisTitle timeTitle = axisTitleTable().row(4), valueTitle = axisTitleTable().row(37);
    run({onWindow(kProperties,
                  [&](HWND) {
                      type(page(kPageRhoA), 1081, more.c_str(), 1078);
                      type(page(kPageTime), 1086, "Time after the switch-off (s)", 1100);
                  }),
         click(kProperties, kApplyButton),
         until([&] { return curve.StepsY == decades + 1; }),
         check([&] {
             EXPECT_FLOAT_EQ(curve.LengthY, perDecade);
             EXPECT_EQ(windowTitle(frame), "Brevalon Research Quorvalent [New Quorvalent *        ]");
         }),
         // An emptied field keeps its value.
         onWindow(kProperties, [&](HWND) { type(page(kPageRhoA), 1081, "", 1078); }),
         click(kProperties, kApplyButton),
         until([] { return !enabled(shown(kProperties), kApplyButton); }),
         check([&] { EXPECT_EQ(curve.StepsY, decades + 1); }),
         onWindow(kProperties, [](HWND) {
             WDialogSelect(kViewPropertiesDialog);
             WDialogSetTab(kViewPropertiesTab, kPageTime);
         }),
         click(kProperties, 1)},
        [] { runMenuCommand(kCmdProperties); });
    EXPECT_EQ(curve.StepsY, decades + 1);
    EXPECT_NEAR(curve.StepsY * curve.LengthY, total, 1e-4f);
    EXPECT_EQ(axisTitleTable().row(4).trimmed(), "Time after the switch-off (s)");
    EXPECT_EQ(axisTitleTable().row(37), valueTitle);
    axisTitleTable().row(4) = timeTitle;
    const REAL restored = curve.LengthY;

    run({onWindow(kProperties,
                  [&](HWND d) {
                      EXPECT_EQ(TabCtrl_GetCurSel(GetDlgItem(d, kViewPropertiesTab)), 1);  // "Time" again
                      type(page(kPageRhoA), 1081, evenMore.c_str(), 1078);
                  }),
         click(kProperties, kApplyButton),
         until([&] { return curve.StepsY == decades + 2; }),
         click(kProperties, 2)},
        [] { runMenuCommand(kCmdProperties); });
    EXPECT_EQ(curve.StepsY, decades + 2);
    EXPECT_FLOAT_EQ(curve.LengthY, restored);
}

TEST_F(SuiteCommands, ExportsBeforeAnySuiteAreRefusedWithAMessage)
{
    for (INTEGER command : {kCmdExportModall, kCmdExportSynthetics}) {
        run({onWindow(kBox,
                      [](HWND box) {
                          EXPECT_EQ(E2e::messageBoxText(box), ExportMessages::kNoSuite);
                          PostMessageA(box, WM_COMMAND, IDOK, 0);
                      })},
            [command] {
                pointerState().BandActive = kTrue;
                pointerState().DragActive = kTrue;
                runMenuCommand(command);
            });
        // A command ends a rubber band and a label drag.
        EXPECT_FALSE(isTrue(pointerState().BandActive)) << command;
        EXPECT_FALSE(isTrue(pointerState().DragActive)) << command;
    }
}

TEST_F(SuiteCommands, FlatExportAsksTheKindBeforeItTouchesTheFileAndRemembersTheChoice)
{
    computeDefaultSuite();
    const std::string keep = base + "keep.DAT", late = base + "late.DAT";
    { std::ofstream(keep, std::ios::binary) << "a good file\r\n"; }
    const auto answerQuestion = [] {
        // The system's overwrite question: the dialog box with a Yes button.
        HWND question = shownDialogBox(IDYES);
        if (!question) return false;
        PostMessageA(question, WM_COMMAND, IDYES, 0);
        return true;
    };
    // Cancel at the kind: the existing file stays as it was.
    run(saveAs(kDataFileDialog, keep) + std::vector<Step>{answerQuestion,
         onWindow(kKindDialog,
                  [](HWND d) {
                      EXPECT_EQ(IsDlgButtonChecked(d, 1095), static_cast<UINT>(BST_CHECKED));
                      EXPECT_FALSE(enabled(d, 1069));
                      SendMessageA(GetDlgItem(d, 2), BM_CLICK, 0, 0);
                  })},
        [] { runMenuCommand(kCmdExportSynthetics); });
    EXPECT_EQ(readFile(keep), "a good file\r\n");

    run(saveAs(kDataFileDialog, late) + std::vector<Step>{
         onWindow(kKindDialog,
                  [](HWND d) {
                      SendMessageA(GetDlgItem(d, 1077), BM_CLICK, 0, 0);
                      SendMessageA(GetDlgItem(d, 1), BM_CLICK, 0, 0);
                  })},
        [] { runMenuCommand(kCmdExportSynthetics); });
    const std::string table = readFile(late);
    EXPECT_NE(table.find("       NUMBER,          TIME,    Late Rho-A,    Late Rho-A, "), std::string::npos) << table;

    run(saveAs(kDataFileDialog, late) + std::vector<Step>{answerQuestion,
         onWindow(kKindDialog,
                  [](HWND d) {
                      EXPECT_EQ(IsDlgButtonChecked(d, 1077), static_cast<UINT>(BST_CHECKED));
                      SendMessageA(GetDlgItem(d, 2), BM_CLICK, 0, 0);
                  })},
        [] { runMenuCommand(kCmdExportSynthetics); });
    EXPECT_EQ(readFile(late), table);
}

TEST_F(SuiteCommands, ModallExportWritesTheCommentAndLeavesTheOffset)
{
    Suite offsets;
    offsets.Varied = kVaryOffset;
    offsets.Values = {500.0f, 1000.0f, 2000.0f};
    SuiteFixture::computeSuite(offsets);
    systemRecord().Offset = 1234.0f;
    const std::string prt = base + "suite.PRT";
    run(saveAs(kModallFileDialog, prt) + std::vector<Step>{
         onWindow(kComment,
                  [](HWND d) {
                      char prompt[64] = {};
                      GetDlgItemTextA(d, 1117, prompt, sizeof prompt);
                      EXPECT_EQ(std::string(prompt), "Enter Optional Comment:");
                      SetDlgItemTextA(d, 1136, "first run");
                      SendMessageA(GetDlgItem(d, 1), BM_CLICK, 0, 0);
                  })},
        [] { runMenuCommand(kCmdExportModall); });
    EXPECT_EQ(systemRecord().Offset, 1234.0f);
    const std::string file = readFile(prt);
    EXPECT_NE(file.find(" Comments: first run" + std::string(51, ' ') + "\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\r\n  Offset is variation parameter\r\n"), std::string::npos);
}

TEST_F(SuiteCommands, PrintCancelledOrWithoutPrinterPrintsNothingAndLeavesTheDisplay)
{
    computeDefaultSuite();
    run({answerSystemDialog(IDCANCEL)}, [] {
        pointerState().BandActive = kTrue;
        pointerState().DragActive = kTrue;
        runMenuCommand(kCmdPrint);
    });
    EXPECT_FALSE(isTrue(pointerState().BandActive));
    EXPECT_FALSE(isTrue(pointerState().DragActive));
    EXPECT_FALSE(isTrue(graphOptionsState().Printing));
    EXPECT_EQ(graphicsState().HardcopyActive, 0);

    {
        const ToolkitSession::NoPrinter none;
        runMenuCommand(kCmdPrint);
    }
    EXPECT_FALSE(isTrue(graphOptionsState().Printing));
    EXPECT_EQ(graphicsState().HardcopyActive, 0);
    // Still answering: a command after it runs.
    EXPECT_TRUE(runMenuCommand(kCmdLabels));
}

TEST_F(SuiteCommands, PrintSendsTheDisplayAsOneLandscapePageWithItsTitlesAndNumbers)
{
    if (pdfFolder().empty()) GTEST_SKIP() << "QV_PDF_DIR is not set: no PDF printer queue in this run";
    computeDefaultSuite();
    const std::vector<std::string> before = pdfsNamed();
    run({answerSystemDialog(IDOK)}, [] { runMenuCommand(kCmdPrint); });
    EXPECT_FALSE(isTrue(graphOptionsState().Printing));
    EXPECT_EQ(graphicsState().HardcopyActive, 0);
    const std::string pdf = waitForNewPdf(before);
    ASSERT_FALSE(pdf.empty()) << "no new PDF in " << pdfFolder();
    const std::string info = runHost("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
    const PdfPageShape shape = pdfPageShape(info);
    ASSERT_TRUE(shape.found) << info;
    EXPECT_EQ(shape.width > shape.height, shape.rotation % 180 == 0) << info;  // landscape as it is seen
    const std::string words = runHost("pdftotext '" + pdf + "' -");
    // (The text tool may join "Depth (m)" and turns the hyphen of "Ohm-m" into a soft one.)
    for (const char* expected : {"New Quorvalent *", "Time (Sec)", "Apparent Resistivity (Ohm", "Depth", "0.001", "1000"})
        EXPECT_NE(words.find(expected), std::string::npos) << expected << " in\n" << words;
    DeleteFileA(("Z:" + pdf).c_str());
}

TEST_F(SuiteCommands, PropertiesBeforeAnySuiteDrawNoFramesButSetTheTitle)
{
    suiteSoundingRecord().Record.Data.Title.assign("New Quorvalent *");
    run({onWindow(kProperties, [](HWND d) { type(d, 1256, "3", 1115); }),
         until([] { return enabled(shown(kProperties), kApplyButton); }), click(kProperties, kApplyButton),
         until([&] { return windowTitle(frame).find('[') != std::string::npos; }),
         click(kProperties, 2)},
        [] {
            pointerState().BandActive = kTrue;
            pointerState().DragActive = kTrue;
            runMenuCommand(kCmdProperties);
        });
    EXPECT_FALSE(isTrue(pointerState().BandActive));
    EXPECT_FALSE(isTrue(pointerState().DragActive));
    EXPECT_EQ(windowTitle(frame), "Brevalon Research Quorvalent [New Quorvalent *        ]");
    HWND client = windowSlotTable().Slots[0].Client;
    const RECT r = clientRect(client);
    WindowDc dc(client);
    int coloured = 0;
    for (int y = 0; y < r.bottom; y += 4)
        for (int x = 0; x < r.right; x += 4)
            if ((GetPixel(dc.get(), x, y) & 0xFFFFFF) != 0xFFFFFF) ++coloured;
    EXPECT_EQ(coloured, 0);
}

TEST_F(SuiteCommands, ContourParametersOpenWithKindFourAndTheCurveRangeAndStoreOnNext)
{
    constexpr char kContours[] = "Suite Contour Parameters";
    contourSettingsState() = ContourSettingsState{};
    suiteState().CurveValueMin = 2.0f;
    suiteState().CurveValueMax = 300.0f;
    systemRecord().ContourSetting = 7;
    run({onWindow(kContours,
                  [](HWND d) {
                      EXPECT_EQ(IsDlgButtonChecked(d, 2804), static_cast<UINT>(BST_CHECKED));
                      EXPECT_EQ(IsDlgButtonChecked(d, 2831), static_cast<UINT>(BST_CHECKED));
                      EXPECT_EQ(IsDlgButtonChecked(d, 2822), static_cast<UINT>(BST_CHECKED));
                      EXPECT_NEAR(number(d, 2843), 2.0, 1e-4);
                      EXPECT_NEAR(number(d, 2844), 300.0, 1e-3);
                      SendMessageA(GetDlgItem(d, 2802), BM_CLICK, 0, 0);
                      SendMessageA(GetDlgItem(d, 2832), BM_CLICK, 0, 0);
                      SendMessageA(GetDlgItem(d, 2821), BM_CLICK, 0, 0);
                      type(d, 2844, "100", 2843);
                      SendMessageA(GetDlgItem(d, 1355), BM_CLICK, 0, 0);
                  })},
        [] { SUITECONTOURPARAMS(); });
    const ContourSettingsState& c = contourSettingsState();
    EXPECT_EQ(c.Kind, 2);
    EXPECT_EQ(systemRecord().ContourSetting, 2);
    EXPECT_TRUE(isTrue(c.Contours));
    EXPECT_FLOAT_EQ(c.Lower, 2.0f);
    EXPECT_FLOAT_EQ(c.Upper, 100.0f);

    run({click(kContours, 2)}, [] { SUITECONTOURPARAMS(); });
    EXPECT_EQ(c.Kind, 2);
}

}  // namespace
