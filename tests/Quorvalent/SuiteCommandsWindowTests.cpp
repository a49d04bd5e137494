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
#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/GraphicsState.h"

using namespace GuiHarness;
using SuiteFixture::Suite;

namespace {

constexpr char kProperties[] = "View Properties";
constexpr char kBox[] = "Brevalon Library Message";
constexpr char kKindDialog[] = "Field Output Type";
constexpr char kDataFileDialog[] = "Flat ASCII Data File";
constexpr char kModallFileDialog[] = "Quorvalent output files";
constexpr char kComment[] = "Get Character String";

struct CaptionSearch {
    std::string caption;
    HWND found;
};

BOOL CALLBACK matchCaption(HWND window, LPARAM data)
{
    auto* s = reinterpret_cast<CaptionSearch*>(data);
    char text[160] = {};
    GetWindowTextA(window, text, sizeof text);
    if (IsWindowVisible(window) && s->caption == text) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND shown(const std::string& caption)
{
    CaptionSearch search{caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &matchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The system's overwrite question: a visible system dialog with a Yes button.
BOOL CALLBACK findQuestion(HWND window, LPARAM data)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && std::string(name) == "#32770" && GetDlgItem(window, IDYES)) {
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
    }
    return TRUE;
}

// The visible windows of this thread, for a failure message.
BOOL CALLBACK listWindow(HWND window, LPARAM data)
{
    char name[64] = {}, text[160] = {};
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, text, sizeof text);
    if (IsWindowVisible(window)) *reinterpret_cast<std::string*>(data) += std::string(" [") + name + " \"" + text + "\" " + std::to_string(GetDlgCtrlID(window)) + "]";
    return TRUE;
}

std::string windowList()
{
    std::string list;
    EnumThreadWindows(GetCurrentThreadId(), &listWindow, reinterpret_cast<LPARAM>(&list));
    return list;
}

using Step = std::function<bool()>;

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

// Steps run one after the other from a thread timer while the command waits in its dialogs; a
// step returns false until it could act. At the deadline everything that is up is cancelled, so
// that the command returns and the test fails instead of hanging.
class Script {
public:
    explicit Script(std::vector<Step> steps, DWORD deadlineMs = 30000)
        : steps_(std::move(steps)), end_(GetTickCount() + deadlineMs)
    {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 25, &Script::tick);
    }
    ~Script()
    {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;
    bool finished() const { return next_ == steps_.size() && !gaveUp_; }

private:
    static VOID CALLBACK tick(HWND, UINT, UINT_PTR, DWORD)
    {
        Script* s = current_;
        if (!s || s->busy_) return;
        s->busy_ = true;
        if (s->next_ < s->steps_.size() && !s->gaveUp_ && s->steps_[s->next_]()) ++s->next_;
        if (static_cast<LONG>(GetTickCount() - s->end_) > 0 && s->next_ < s->steps_.size()) {
            if (!s->gaveUp_) ADD_FAILURE() << "script stopped at step " << s->next_ << " with the windows" << windowList();
            s->gaveUp_ = true;
            for (const char* caption : {kBox, kKindDialog, kDataFileDialog, kModallFileDialog, kComment, kProperties})
                if (HWND w = shown(caption)) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        }
        s->busy_ = false;
    }
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    DWORD end_;
    UINT_PTR timer_ = 0;
    bool busy_ = false;
    bool gaveUp_ = false;
    static inline Script* current_ = nullptr;
};

void run(std::vector<Step> steps, const std::function<void()>& command)
{
    Script script(std::move(steps));
    command();
    EXPECT_TRUE(script.finished());
}

Step onDialog(const char* caption, std::function<void(HWND)> action)
{
    return [caption, action] {
        HWND d = shown(caption);
        if (!d) return false;
        action(d);
        return true;
    };
}

Step click(const char* caption, int id)
{
    return onDialog(caption, [id](HWND d) { SendMessageA(GetDlgItem(d, id), BM_CLICK, 0, 0); });
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

std::string readFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}


// Answers the system's page set-up dialog (a visible "#32770" of this thread) with the button.
BOOL CALLBACK findSystemDialog(HWND window, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && std::string(name) == "#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

Step answerSystemDialog(int button)
{
    return [button] {
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), findSystemDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) return false;
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return true;
    };
}

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

bool fileExists(const std::string& windowsName) { return GetFileAttributesA(windowsName.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A shell command line of the host, its output through a file renamed into place when it is done
// (Wine starts Unix programs but cannot wait for them).
std::string runHost(const std::string& command)
{
    static int serial = 0;
    const std::string out = "/tmp/qv-suite-print-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
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
    if (!waitUntil([&] { return fileExists(done); }, std::chrono::milliseconds(60000))) return "host command timed out";
    const std::string result = readFile(done);
    DeleteFileA(done.c_str());
    return result;
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
    run({onDialog(kProperties,
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
         onDialog(kProperties, [](HWND) { type(page(kPageRhoA), 1092, "2.54", 1099); }),
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
         onDialog(kProperties, [](HWND) { type(page(kPageTime), 1102, "0.5", 1100); }),
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
    run({onDialog(kProperties,
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
         onDialog(kProperties, [&](HWND) { type(page(kPageRhoA), 1081, "", 1078); }),
         click(kProperties, kApplyButton),
         until([] { return !enabled(shown(kProperties), kApplyButton); }),
         check([&] { EXPECT_EQ(curve.StepsY, decades + 1); }),
         onDialog(kProperties, [](HWND) {
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

    run({onDialog(kProperties,
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
        run({onDialog(kBox,
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
        HWND question = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), findQuestion, reinterpret_cast<LPARAM>(&question));
        if (!question) return false;
        PostMessageA(question, WM_COMMAND, IDYES, 0);
        return true;
    };
    // Cancel at the kind: the existing file stays as it was.
    run(saveAs(kDataFileDialog, keep) + std::vector<Step>{answerQuestion,
         onDialog(kKindDialog,
                  [](HWND d) {
                      EXPECT_EQ(IsDlgButtonChecked(d, 1095), static_cast<UINT>(BST_CHECKED));
                      EXPECT_FALSE(enabled(d, 1069));
                      SendMessageA(GetDlgItem(d, 2), BM_CLICK, 0, 0);
                  })},
        [] { runMenuCommand(kCmdExportSynthetics); });
    EXPECT_EQ(readFile(keep), "a good file\r\n");

    run(saveAs(kDataFileDialog, late) + std::vector<Step>{
         onDialog(kKindDialog,
                  [](HWND d) {
                      SendMessageA(GetDlgItem(d, 1077), BM_CLICK, 0, 0);
                      SendMessageA(GetDlgItem(d, 1), BM_CLICK, 0, 0);
                  })},
        [] { runMenuCommand(kCmdExportSynthetics); });
    const std::string table = readFile(late);
    EXPECT_NE(table.find("       NUMBER,          TIME,    Late Rho-A,    Late Rho-A, "), std::string::npos) << table;

    run(saveAs(kDataFileDialog, late) + std::vector<Step>{answerQuestion,
         onDialog(kKindDialog,
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
         onDialog(kComment,
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

    PageSetupState& setup = pageSetupState();
    const std::string device = setup.deviceName, driver = setup.driverName, port = setup.outputPort;
    setup.deviceName = "No Such Printer";
    setup.driverName = "winspool";
    setup.outputPort = "";
    runMenuCommand(kCmdPrint);
    setup.deviceName = device;
    setup.driverName = driver;
    setup.outputPort = port;
    EXPECT_FALSE(isTrue(graphOptionsState().Printing));
    EXPECT_EQ(graphicsState().HardcopyActive, 0);
    // Still answering: a command after it runs.
    EXPECT_TRUE(runMenuCommand(kCmdLabels));
}

TEST_F(SuiteCommands, PrintSendsTheDisplayAsOneLandscapePageWithItsTitlesAndNumbers)
{
    if (pdfFolder().empty()) GTEST_SKIP() << "QV_PDF_DIR is not set: no PDF printer queue in this run";
    computeDefaultSuite();
    const std::vector<std::string> before = pdfs();
    run({answerSystemDialog(IDOK)}, [] { runMenuCommand(kCmdPrint); });
    EXPECT_FALSE(isTrue(graphOptionsState().Printing));
    EXPECT_EQ(graphicsState().HardcopyActive, 0);
    std::string pdf;
    waitUntil(
        [&] {
            for (const std::string& name : pdfs())
                if (std::find(before.begin(), before.end(), name) == before.end()) {
                    const std::string path = pdfFolder() + "/" + name;
                    if (runHost("pdfinfo '" + path + "' >/dev/null && echo readable").find("readable") == std::string::npos)
                        return false;
                    pdf = path;
                    return true;
                }
            return false;
        },
        std::chrono::milliseconds(60000));
    ASSERT_FALSE(pdf.empty()) << "no new PDF in " << pdfFolder();
    const std::string info = runHost("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
    double w = 0, h = 0;
    int rotation = 0;
    const std::size_t size = info.find("Page size:");
    ASSERT_NE(size, std::string::npos) << info;
    std::sscanf(info.c_str() + size, "Page size: %lf x %lf", &w, &h);
    const std::size_t rot = info.find("Page rot:");
    if (rot != std::string::npos) std::sscanf(info.c_str() + rot, "Page rot: %d", &rotation);
    EXPECT_EQ(w > h, rotation % 180 == 0) << info;  // landscape as it is seen
    const std::string words = runHost("pdftotext '" + pdf + "' -");
    // (The text tool may join "Depth (m)" and turns the hyphen of "Ohm-m" into a soft one.)
    for (const char* expected : {"New Quorvalent *", "Time (Sec)", "Apparent Resistivity (Ohm", "Depth", "0.001", "1000"})
        EXPECT_NE(words.find(expected), std::string::npos) << expected << " in\n" << words;
    DeleteFileA(("Z:" + pdf).c_str());
}

TEST_F(SuiteCommands, PropertiesBeforeAnySuiteDrawNoFramesButSetTheTitle)
{
    suiteSoundingRecord().Record.Data.Title.assign("New Quorvalent *");
    run({onDialog(kProperties, [](HWND d) { type(d, 1256, "3", 1115); }),
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
    run({onDialog(kContours,
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
