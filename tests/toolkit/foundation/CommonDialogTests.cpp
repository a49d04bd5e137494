// Message boxes, file selection, page set-up and help under Wine: boxes and dialogs answered from
// timers, help reaching its viewers only through the launcher seams.
#include <gtest/gtest.h>

#include "toolkit/foundation/WinApi.h"

#include <commdlg.h>
#include <winspool.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/DialogHooks.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/FileSelection.h"
#include "toolkit/foundation/HelpFiles.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/MessageBoxes.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/OsFiles.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

class CommonDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowOpen(39, 40, 40, 400, 300);
        pumpPending();
        dialogManagerState().lastDeactivated = frame();
        libraryErrorState().LastErrorNumber = 0;
    }
    void TearDown() override
    {
        closeAllWindows();
    }
    static HWND frame() { return windowSlotTable().Slots[0].Frame.get(); }
    static INTEGER lastError() { return libraryErrorState().LastErrorNumber; }
    Watchdog watchdog_{std::chrono::milliseconds(120000)};
};

// The controls of the system's file dialog that take the typed file name.
constexpr int kFileNameCombo = 0x47c, kFileNameEdit = 0x480;

// What the help seams were asked.
struct HelpRecord {
    std::vector<std::string> commands;
    std::vector<UINT> winHelpCommands;
    bool temporaryExisted = false;
};
HelpRecord& helpRecord()
{
    static HelpRecord record;
    return record;
}
void recordRun(std::string_view command, INTEGER, INTEGER, INTEGER, INTEGER& result)
{
    helpRecord().commands.emplace_back(command);
    result = 33;
}
INTEGER pretendBrowser(const std::string& document, std::string& program)
{
    helpRecord().temporaryExisted = GetFileAttributesA(document.c_str()) != INVALID_FILE_ATTRIBUTES;
    program = "C:\\Programs\\netscape.exe";
    return 42;
}
BOOL recordWinHelp(HWND, const char*, UINT command, ULONG_PTR)
{
    helpRecord().winHelpCommands.push_back(command);
    return TRUE;
}

std::string writeFile(const std::string& name)
{
    FILE* file = std::fopen(name.c_str(), "w");
    if (file) {
        std::fputs("x", file);
        std::fclose(file);
    }
    char full[MAX_PATH] = {};
    GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
    return full;
}

std::string currentFolder()
{
    char buffer[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof buffer, buffer);
    return buffer;
}

}  // namespace

TEST(MessageBoxCodes, ButtonSetsIconsDefaultsAndResults)
{
    struct Case { INTEGER set, icon, defaultButton; UINT style; };
    const Case cases[] = {
        {5, 2, 1, MB_ABORTRETRYIGNORE | MB_ICONQUESTION | MB_DEFBUTTON2},  // Retry
        {5, 2, 2, MB_ABORTRETRYIGNORE | MB_ICONQUESTION | MB_DEFBUTTON1},  // Abort
        {5, 0, 0, MB_ABORTRETRYIGNORE | MB_DEFBUTTON3},                    // Ignore
        {3, 4, 0, MB_YESNO | MB_ICONASTERISK | MB_DEFBUTTON2},             // No
        {4, 1, 7, MB_YESNOCANCEL | MB_ICONHAND | MB_DEFBUTTON3},           // Cancel
        {1, 3, 1, MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON1},
        {9, 9, 2, MB_OK | MB_DEFBUTTON1},                                  // a plain OK box
    };
    for (const Case& c : cases)
        EXPECT_EQ(YYMessageBoxStyle(c.set, c.icon, YYDefaultButtonIndex(c.set, c.defaultButton)), c.style) << c.set;
    struct Answer { int answer; INTEGER result; };
    const Answer answers[] = {{IDOK, 1}, {IDRETRY, 1}, {IDYES, 1}, {IDCANCEL, 0}, {IDIGNORE, 0}, {IDABORT, 2},
                              {IDNO, 2}, {0, -1}};
    for (const Answer& a : answers) EXPECT_EQ(YYMessageBoxResult(a.answer), a.result) << a.answer;
}

TEST_F(CommonDialogTest, MessageBoxIsAnsweredAndLeavesItsResult)
{
    dialogTable().exitFocusField = 77;
    ModalAnswer answer(IDNO);
    WMessageBox(3, 4, 0, "Overwrite the file?   ", "Question   ");
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(WDialogQuery(4), 2);
    EXPECT_EQ(WDialogQuery(2), 0);
    EXPECT_TRUE(IsWindowEnabled(frame()));
    EXPECT_FALSE(YYWindowSnapshotsInForce());
}

TEST_F(CommonDialogTest, ReporterBoxModeShowsLibraryErrorAndCancelEnds)
{
    static INTEGER exits = 0;
    static INTEGER exitCode = -5;
    ErrorReportHooks& hooks = errorReportHooks();
    const ErrorReportHooks saved = hooks;
    YYErrorReportHooksInstall();
    hooks.processExit = [](INTEGER code) { ++exits, exitCode = code; };
    WErrorReportMode(4);
    {
        ModalAnswer answer(IDOK);
        YYErrorReport(1005, "WDialogShow");
        EXPECT_TRUE(answer.answered());
        EXPECT_EQ(exits, 0);
    }
    {
        ModalAnswer answer(IDCANCEL);
        YYErrorReport(1005, "WDialogShow");
        EXPECT_TRUE(answer.answered());
        EXPECT_EQ(exits, 1);
        EXPECT_EQ(exitCode, 0);
    }
    WErrorReportMode(0);
    hooks = saved;
}

TEST(FileSelection, PathsSplitIntoFolderAndName)
{
    struct Case { const char* path; const char* folder; const char* file; };
    const Case cases[] = {
        {"D:\\data\\run1.prt", "D:\\data", "run1.prt"},
        {"D:\\a.txt", "D:\\", "a.txt"},  // the drive root keeps its separator
        {"D:a.txt", "D:", "a.txt"},
        {"run1.prt", "", "run1.prt"},
        {"D:\\dir\\", "D:\\dir", ""},
        {"D:\\", "D:\\", ""},
        {"D:", "D:", ""},
        {"D:\\dir\\..", "D:\\dir\\..", ""},
        {"  D:\\x\\y.txt   ", "D:\\x", "y.txt"},
    };
    for (const Case& c : cases) {
        std::string path = c.path, file;
        YYPathSplit(path, file);
        EXPECT_EQ(path, c.folder) << c.path;
        EXPECT_EQ(file, c.file) << c.path;
    }
}

TEST(FileSelection, FiltersAndFlagsForTheSystemDialog)
{
    EXPECT_EQ(YYFilterList("Text|*.txt|All|*.*|"), std::string("Text\0*.txt\0All\0*.*\0\0", 20));
    EXPECT_EQ(YYFilterList(""), "");
    struct Case { INTEGER flags; DWORD expected; };
    const Case cases[] = {
        {47, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT},
        {43, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT},
        {2, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_CREATEPROMPT},
        {130, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST},
        {16, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_EXPLORER},
        {17, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST},  // several files: open dialogs only
    };
    for (const Case& c : cases) EXPECT_EQ(YYFileDialogFlags(c.flags, 10), c.expected) << c.flags;
}

TEST_F(CommonDialogTest, FileDialogAnsweredKeepsOrRestoresTheFolder)
{
    const std::string before = currentFolder();
    CreateDirectoryA("selectdir", nullptr);
    const std::string folder = before + "\\selectdir";
    struct Case { int button; INTEGER flags; INTEGER result; };
    const Case cases[] = {{IDCANCEL, 1 + 4, 0}, {IDOK, 1 + 4, 1}};
    for (const Case& c : cases) {
        const std::string typed = folder + "\\out.prt";
        ModalAnswer answer(c.button, {{kFileNameCombo, typed}, {kFileNameEdit, typed}});
        std::string name = folder + "\\proposed.prt";
        name.resize(300, ' ');
        INTEGER index = 2;
        WSelectFileFiltered("Output files|*.PRT|All files|*.*|   ", c.flags, name, "Save it", &index);
        EXPECT_TRUE(answer.answered());
        EXPECT_EQ(WDialogQuery(4), c.result);
        EXPECT_EQ(currentFolder(), before);  // without bit 3 the folder comes back
        if (c.result == 1) {
            EXPECT_EQ(name.size(), 300u);
            EXPECT_EQ(name.substr(0, name.find_last_not_of(' ') + 1), folder + "\\out.prt");
            EXPECT_EQ(index, 2);
        } else {
            EXPECT_EQ(name.substr(0, name.find_last_not_of(' ') + 1), folder + "\\proposed.prt");
        }
    }
    RemoveDirectoryA("selectdir");
}

TEST_F(CommonDialogTest, PageSetupWithoutAPrinterChangesNothing)
{
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed > 0) GTEST_SKIP() << "this machine has a printer";
    INTEGER values[] = {1, 2, 3, 4, 5, 6, 0, 1, 9, 7};
    INTEGER result = 5;
    YYPageSetupDialog(values[0], values[1], values[2], values[3], values[4], values[5], values[6], values[7], 1,
                      values[9], result);
    EXPECT_EQ(result, 0);
    const INTEGER expected[] = {1, 2, 3, 4, 5, 6, 0, 1, 9, 7};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(values[i], expected[i]) << i;
    EXPECT_EQ(pageSetupState().setUpDone, 0);
}

TEST(HelpFiles, KindsFromTheName)
{
    struct Case { const char* name; INTEGER kind; };
    const Case cases[] = {
        {"run.hlp", 1}, {"manual.chm", 2}, {"set.col", 2}, {"ms-its:d:\\doc\\manual.chm::/intro.htm", 2},
        {"http://example.org/", 3}, {"page.htm", 3}, {"page.html", 3}, {"paper.pdf", 4}, {"notes.txt", -1},
        {"   ", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(YYHelpKind(c.name), c.kind) << c.name;
    struct Line { INTEGER kind, topic; const char* expected; };
    const Line lines[] = {
        {1, 0, "prog \"file://C:/d/p.htm\""},
        {1, 5, "prog \"file://C:/d/p.htm#sec\""},
        {2, 0, "prog \"file://C:/d/p.htm#sec\""},
        {3, 0, "prog http://x.org/"},
        {4, 0, "prog http://x.org/#sec"},
    };
    for (const Line& l : lines)
        EXPECT_EQ(YYBrowserCommandLine("prog", l.kind, l.topic, "C:/d/p.htm", "sec", "http://x.org/"), l.expected);
}

TEST(HelpFiles, EveryBrowserPageHasANameOfItsOwn)
{
    char folder[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    // Pages made at once, as by programs started together, never share a name or a file.
    std::set<std::string> names;
    for (int k = 0; k < 5; ++k) {
        const std::string page = YYHelpTemporaryPage(folder);
        ASSERT_FALSE(page.empty());
        EXPECT_EQ(page.substr(page.size() - 4), ".htm");
        EXPECT_NE(GetFileAttributesA(page.c_str()), INVALID_FILE_ATTRIBUTES);
        names.insert(page);
    }
    EXPECT_EQ(names.size(), 5u);
    for (const std::string& page : names) EXPECT_TRUE(DeleteFileA(page.c_str())) << page;
    EXPECT_EQ(YYHelpTemporaryPage(std::string(folder) + "no such folder\\"), "");
}

TEST_F(CommonDialogTest, HelpReachesItsViewersThroughTheSeams)
{
    HelpHooks& hooks = helpHooks();
    hooks.findExecutable = pretendBrowser;
    hooks.winHelp = recordWinHelp;
    programLaunchHooks().run = recordRun;
    helpRecord() = HelpRecord{};

    WHelpFile("MISSING.HLP", -1, "", 0, 1);
    EXPECT_EQ(lastError(), 1);
    WHelpFile("notes.txt", -1, "", 0, 1);
    EXPECT_EQ(lastError(), 1031);

    const std::string help = writeFile("HELPTEST.HLP");
    libraryErrorState().LastErrorNumber = 0;
    WHelpTopicNumber("HELPTEST.HLP");  // no contents file: the contents page
    writeFile("HELPTEST.cnt");
    WHelpTopicNumber("helptest.hlp");  // with one: the finder
    WHelpTopicNumber("HELPTEST.HLP", 12);
    const std::vector<UINT> expected = {HELP_CONTENTS, HELP_FINDER, HELP_CONTEXT};
    EXPECT_EQ(helpRecord().winHelpCommands, expected);
    EXPECT_EQ(lastError(), 0);

    const std::string page = writeFile("helppage.htm");
    WHelpFile("helppage.htm", 3, "part2", 0, 2);
    std::string slashed = page;
    for (char& c : slashed)
        if (c == '\\') c = '/';
    ASSERT_EQ(helpRecord().commands.size(), 1u);
    EXPECT_EQ(helpRecord().commands[0], "C:\\Programs\\netscape.exe \"file://" + slashed + "#part2\"");

    WHelpFile("http://example.org/a", -1, "", 0, 1);
    ASSERT_EQ(helpRecord().commands.size(), 2u);
    EXPECT_EQ(helpRecord().commands[1], "C:\\Programs\\netscape.exe http://example.org/a");
    EXPECT_TRUE(helpRecord().temporaryExisted);

    const std::string chm = writeFile("helpbook.chm");
    WHelpFile("helpbook.chm", -1, "", 0, 1);
    EXPECT_EQ(lastError(), 1081);  // the HTML help library is not part of the system
    WHelpFile(" ", -1, "", 0, 1);    // closes help
    EXPECT_EQ(helpRecord().winHelpCommands.back(), static_cast<UINT>(HELP_QUIT));

    for (const char* name : {"HELPTEST.HLP", "HELPTEST.cnt", "helppage.htm", "helpbook.chm"}) DeleteFileA(name);
    hooks = HelpHooks{};
    programLaunchHooks().run = nullptr;
}
