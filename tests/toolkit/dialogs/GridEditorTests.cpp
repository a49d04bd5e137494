// The grid editor under Wine: creation codes, menus, accelerators and status parts read back from
// the real windows; the cell read-outs and events driven by real clicks; the close question
// answered by a responder; files written through the commands and compared byte for byte; a copy
// that never reaches the dialog's own grid.
#include "tests/toolkit/editor/EditorFixture.h"

#include <cstdlib>

#include "tests/e2e/E2eDriver.h"

#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridEditor.h"
#include "toolkit/dialogs/GridEditorCommands.h"
#include "toolkit/dialogs/GridPrinting.h"
#include "toolkit/dialogs/GridRecords.h"
#include "toolkit/dialogs/GridSelection.h"
#include "toolkit/foundation/CharacterRoutines.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/graphics/ScreenDriver.h"

using namespace EditorTesting;

namespace {

constexpr INTEGER kGrid = 7701;

class GridEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowOpen(39, 10, 10, 900, 700, 0);
        pumpPending();
        WEventEnable(10, 1);
        libraryErrorState().LastErrorNumber = 0;
        static const std::string name = [] {
            LARGE_INTEGER now{};
            QueryPerformanceCounter(&now);
            return "qv-grideditor-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(now.QuadPart);
        }();
        folder_ = "Z:\\tmp\\" + name;
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override
    {
        closeAllWindows();
        EXPECT_EQ(unloadAllDialogs(), 0);
        EXPECT_EQ(gridState().liveGridRecords, 0);
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((folder_ + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder_.c_str());
    }
    std::string path(const std::string& name) const { return folder_ + "\\" + name; }
    static HWND frame(INTEGER n) { return windowSlotTable().Slots[static_cast<std::size_t>(n)].Frame.get(); }
    static INTEGER child(INTEGER flags = kCaptionedChild)
    {
        INTEGER window = 0, layout = 0;
        YYChildWindowCreate(20, 20, 700, 460, window, flags, 0, kNoBars, layout, 0, -1, "Grid");
        pumpPending();
        return window;
    }
    // The dialog with its grid loaded (not shown) and a child window made an editor on it.
    static INTEGER editor(INTEGER options, INTEGER* status = nullptr, INTEGER mode = 2, INTEGER flags = kCaptionedChild)
    {
        if (!YYDialogField(YYCurrentDialog(), kGrid)) WDialogLoad(7700);
        const INTEGER window = child(flags);
        WindowSetCurrent(window);
        INTEGER s = 0;
        WGridEditor(s, kGrid, mode, 0, options, -1, -1, "", "");
        if (status) *status = s;
        pumpPending();
        return window;
    }
    static GridEditorRecord& record(INTEGER n) { return *YYGridEditorRecord(frame(n)); }
    static GridRecord& grid(INTEGER n) { return *YYGridRecordOf(record(n).grid); }
    static std::vector<std::string> items(HMENU menu)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[128] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            texts.push_back(GetMenuItemID(menu, i) == 0 ? "-" : text);
        }
        return texts;
    }
    static std::string part(HWND bar, int index)
    {
        char text[128] = {};
        SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::string folder_;
    Watchdog watchdog_{std::chrono::milliseconds(120000)};
};

TEST_F(GridEditorTest, CreationCodes)
{
    INTEGER status = -1;
    // 1: the main window.
    WDialogLoad(7700);
    WindowSetCurrent(0);
    INTEGER mode = 2;
    WGridEditor(status, kGrid, mode, 0, 0, -1, -1, "", "");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1022);
    // 11: no such grid; the window stays as it was.
    const INTEGER plain = child();
    WindowSetCurrent(plain);
    WGridEditor(status, 4242, mode, 0, 0, -1, -1, "", "");
    EXPECT_EQ(status, 11);
    EXPECT_EQ(YYGridEditorRecord(frame(plain)), nullptr);
    // 5: a window inside a parent runs modeless, and says so in the mode argument.
    const INTEGER inside = child(kCaptionedChild | kStyleInsideParent);
    WindowSetCurrent(inside);
    mode = 3;
    WGridEditor(status, kGrid, mode, 0, 0, -1, -1, "", "");
    EXPECT_EQ(status, 5);
    EXPECT_EQ(mode, 2);
    ASSERT_NE(YYGridEditorRecord(frame(inside)), nullptr);
    EXPECT_EQ(record(inside).mode, 2);
    EXPECT_EQ(GetMenu(frame(inside)), nullptr);
    // 8: already an editor.
    WGridEditor(status, kGrid, mode, 0, 0, -1, -1, "", "");
    EXPECT_EQ(status, 8);
    // 12: the drawing area holds a child window.
    const INTEGER crowded = child();
    CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, windowSlotTable().Slots[static_cast<std::size_t>(crowded)].Client,
                    nullptr, GetModuleHandleA(nullptr), nullptr);
    WindowSetCurrent(crowded);
    WGridEditor(status, kGrid, mode, 0, 0, -1, -1, "", "");
    EXPECT_EQ(status, 12);
    EXPECT_EQ(YYGridEditorRecord(frame(crowded)), nullptr);
}

TEST_F(GridEditorTest, StatusPartsAndReadOutsFollowAClick)
{
    const INTEGER n = editor(0);
    HWND bar = record(n).statusBar;
    ASSERT_NE(bar, nullptr);
    int edges[5] = {};
    EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 5, reinterpret_cast<LPARAM>(edges)), 4);
    EXPECT_EQ((std::vector<int>(edges, edges + 4)), (std::vector<int>{30, 90, 140, 200}));
    EXPECT_EQ(part(bar, 0), "Row");
    EXPECT_EQ(part(bar, 2), "\tColumn");
    EXPECT_EQ(part(bar, 1), "\t\t1");
    EXPECT_EQ(part(bar, 3), "\t\t1");
    // A real click on the cell of column 3, row 4.
    GridRecord& g = grid(n);
    SetForegroundWindow(frame(n));
    drainEvents();
    RECT area{};
    GetWindowRect(g.cellArea, &area);
    POINT at{area.left + YYGridColumnX(g, 2) + 5, area.top + 3 * (g.rowHeight - 1) + g.rowHeight / 2};
    mouseTo(at, 0);
    mouseTo(at, MOUSEEVENTF_LEFTDOWN);
    mouseTo(at, MOUSEEVENTF_LEFTUP);
    ToolkitPump pump;
    EXPECT_TRUE(pump.until([&] { return g.currentRow == 3 && g.currentColumn == 2; }));
    EXPECT_EQ(part(bar, 1), "\t\t4");
    EXPECT_EQ(part(bar, 3), "\t\t3");
    // The modeless editor raised the cell change with the packed cell.
    bool seen = false;
    for (std::size_t k = 0; k < pump.Types.size(); ++k)
        if (pump.Types[k] == kEventFieldChanged && pump.Records[k][6] == (3 << 18) + 4) seen = true;
    EXPECT_TRUE(seen);
    EXPECT_EQ(record(n).lastCell, (3 << 18) + 4);
}

TEST_F(GridEditorTest, MenusAndAcceleratorsFollowTheCommandSwitches)
{
    const INTEGER full = editor(0);
    GridEditorRecord& r = record(full);
    // The bar: the three pop-ups with their identifiers, on the frame.
    ASSERT_EQ(GetMenu(frame(full)), r.menuBar);
    ASSERT_EQ(GetMenuItemCount(r.menuBar), 3);
    for (int k = 0; k < 3; ++k) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU;
        GetMenuItemInfoA(r.menuBar, static_cast<UINT>(k), TRUE, &info);
        EXPECT_EQ(info.wID, static_cast<UINT>(kGridCmdFile + 20 * k));
        EXPECT_EQ(info.hSubMenu, r.menus[static_cast<std::size_t>(k)]);
    }
    EXPECT_EQ(items(r.menus[1]), (std::vector<std::string>{"Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V",
                                                           "&Delete\tDel", "-", "Select &All", "-", "&Sort",
                                                           "&Insert Row Before Current\tCtrl+I",
                                                           "&Insert Row After Current\tCtrl+Shift+I", "D&elete Row\tCtrl+E"}));
    ASSERT_NE(r.builtAccelerators, nullptr);
    ACCEL keys[16] = {};
    const int count = CopyAcceleratorTableA(r.builtAccelerators, keys, 16);
    std::set<std::pair<int, int>> got;
    for (int k = 0; k < count; ++k) got.insert({keys[k].cmd, keys[k].key});
    const std::set<std::pair<int, int>> expected{{kGridCmdNew, 'N'}, {kGridCmdOpen, 'O'}, {kGridCmdSave, 'S'},
                                                 {kGridCmdSaveAs, VK_F12}, {kGridCmdPrint, 'P'}, {kGridCmdFind, 'F'},
                                                 {kGridCmdFindNext, VK_F3}, {kGridCmdInsertBefore, 'I'},
                                                 {kGridCmdInsertAfter, 'I'}, {kGridCmdDeleteRow, 'E'}};
    EXPECT_EQ(got, expected);
    // With every shortcut command off there is no table.
    const INTEGER bare = editor(kGridEditNoNewOpen | kGridEditNoSave | kGridEditNoPrint | kGridEditNoFind |
                                kGridEditNoRowCommands | kGridEditNoToolbar);
    EXPECT_EQ(record(bare).builtAccelerators, nullptr);
    EXPECT_EQ(record(bare).toolbar, nullptr);
    // Without Save the saving commands go too; the search pop-up keeps only the Goto commands.
    EXPECT_EQ(items(record(bare).menus[0]), (std::vector<std::string>{"E&xit"}));
    EXPECT_EQ(items(record(bare).menus[2]), (std::vector<std::string>{"&Goto Cell", "Goto Ro&w", "Goto &Column"}));
}

TEST_F(GridEditorTest, TopLevelEditorMenusForAReadOnlyGrid)
{
    WDialogLoad(7700);
    SetWindowLongA(YYDialogField(YYCurrentDialog(), kGrid), GWL_STYLE,
                   GetWindowLongA(YYDialogField(YYCurrentDialog(), kGrid), GWL_STYLE) | kGridReadOnlyStyle);
    const INTEGER n = editor(0);
    GridEditorRecord& r = record(n);
    ASSERT_NE(r.menus[0], nullptr);
    EXPECT_EQ(items(r.menus[0]), (std::vector<std::string>{"&Open\tCtrl+O", "Save &As\tF12", "Save S&election",
                                                           "Save As &HTML", "-", "&Print\tCtrl+P", "Prin&t Selection",
                                                           "-", "E&xit"}));
    EXPECT_EQ(items(r.menus[1]), (std::vector<std::string>{"&Copy\tCtrl+C", "-", "Select &All"}));
    EXPECT_EQ(items(r.menus[2]), (std::vector<std::string>{"&Find\tCtrl+F", "Find &Next\tF3", "-", "&Goto Cell",
                                                           "Goto Ro&w", "Goto &Column"}));
    ACCEL keys[16] = {};
    const int count = CopyAcceleratorTableA(r.builtAccelerators, keys, 16);
    for (int k = 0; k < count; ++k) {
        EXPECT_NE(keys[k].cmd, kGridCmdNew);
        EXPECT_NE(keys[k].cmd, kGridCmdSave);
        EXPECT_NE(keys[k].cmd, kGridCmdDeleteRow);
    }
    // Find Next stays grey until something was searched for.
    SendMessageA(frame(n), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(r.menus[2]), 2);
    EXPECT_TRUE(GetMenuState(r.menus[2], kGridCmdFindNext, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(GridEditorTest, SavesCsvWithABackupAndLeavesTheDialogGridAlone)
{
    const INTEGER n = editor(kGridEditBackup);
    WindowSetCurrent(n);
    WGridPutCellInteger(0, 4, 2, 17);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    std::string name = path("grid.csv");
    INTEGER result = 0, index = 1;
    // The first save has nothing to copy and makes no noise about it.
    YYGridEditorSaveCsv(n, 0, result, index, 1, 0, -1, -1, -1, -1, name, "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    EXPECT_EQ(GetFileAttributesA((name + ".bak").c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string first = readFile(name);
    EXPECT_NE(first.find("17"), std::string::npos);
    WGridPutCellInteger(0, 4, 2, 23);
    YYGridEditorSaveCsv(n, 0, result, index, 1, 0, -1, -1, -1, -1, name, "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(readFile(name + ".bak"), first);
    EXPECT_NE(readFile(name), first);
    // Loaded back into a fresh editor, the file reads the same cells.
    const INTEGER other = editor(0);
    WindowSetCurrent(other);
    std::string again = name;
    YYGridEditorLoadCsv(other, 0, 0, result, index, 0, again, "");
    EXPECT_EQ(result, 1);
    INTEGER value = 0;
    WGridGetCellInteger(0, 4, 2, value);
    EXPECT_EQ(value, 23);
    // The dialog's grid never saw any of it.
    WindowSetCurrent(0);
    WGridGetCellInteger(kGrid, 4, 2, value);
    EXPECT_NE(value, 23);
    EXPECT_NE(value, 17);
}

TEST_F(GridEditorTest, ClosingAChangedEditorAsksAndDeletingTheOnlyRowClearsIt)
{
    const INTEGER n = editor(kGridEditRowCountChanges);
    WindowSetCurrent(n);
    WGridRows(0, 1);
    WGridPutCellInteger(0, 4, 1, 5);
    YYGridEditorDeleteRow(n, 0, 1);
    INTEGER rows = 0, value = -1;
    rows = WGridQuery(0, 3);
    EXPECT_EQ(rows, 1);
    WGridGetCellInteger(0, 4, 1, value);
    EXPECT_EQ(libraryErrorState().LastErrorNumber == 0 ? value : 0, 0);
    grid(n).markChanged();
    {
        DialogResponder responder({{"Devivozivuz Grid Editor", DialogResponder::button(IDNO)}});
        SendMessageA(frame(n), WM_CLOSE, 0, 0);
        EXPECT_TRUE(waitUntil([&] { return responder.done(); }));
        ASSERT_EQ(responder.Texts.size(), 1u);
        EXPECT_EQ(responder.Texts[0], "Do you want to save changes?");
    }
    // Modeless: the program closes the window; the close request came as event 9.
    ToolkitPump pump;
    pump.until([] { return true; }, 200ms);
    EXPECT_TRUE(IsWindow(frame(n)));
}

TEST_F(GridEditorTest, CommandsWithoutTheirDialogsOrAPrinterSaySo)
{
    const INTEGER n = editor(0);
    const auto saved = screenOutputHooks().printerAvailable;
    screenOutputHooks().printerAvailable = [] { return true; };
    {
        DialogResponder responder({{"Error", DialogResponder::button(IDOK)}});
        INTEGER result = -1;
        YYGridEditorPrint(n, 0, 1, 0, 1, result);
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(responder.done());
        ASSERT_EQ(responder.Texts.size(), 1u);
        EXPECT_EQ(responder.Texts[0], "Unable to load required dialog");
    }
    screenOutputHooks().printerAvailable = [] { return false; };
    {
        DialogResponder responder({{"Error", DialogResponder::button(IDOK)}});
        INTEGER result = -1;
        YYGridEditorPrint(n, 0, 1, 0, 1, result);
        EXPECT_EQ(result, 0);
        ASSERT_EQ(responder.Texts.size(), 1u);
        EXPECT_EQ(responder.Texts[0], "No printer installed");
    }
    screenOutputHooks().printerAvailable = saved;
}

HWND& closeTarget()
{
    static HWND target = nullptr;
    return target;
}

void CALLBACK changeAndClose(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (GridEditorRecord* r = YYGridEditorRecord(closeTarget())) {
        YYGridRecordOf(r->grid)->markChanged();
        PostMessageA(closeTarget(), WM_CLOSE, 0, 0);
    }
}

TEST_F(GridEditorTest, ModalEditorLoopReturnsAfterTheCloseAndKeepsItsResults)
{
    WDialogLoad(7700);
    const INTEGER n = child();
    WindowSetCurrent(n);
    HWND f = frame(n);
    // The loop runs inside the call: a timer changes a cell and closes the window, answering Yes
    // would save; No lets it go.
    closeTarget() = f;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &changeAndClose);
    DialogResponder responder({{"Devivozivuz Grid Editor", DialogResponder::button(IDNO)}});
    INTEGER status = 0, mode = 1;
    WGridEditor(status, kGrid, mode, 0, 0, -1, -1, "", "");
    KillTimer(nullptr, timer);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(responder.done());
    EXPECT_FALSE(IsWindow(f));
    INTEGER field = -2, value = 0;
    YYGridInfo(field, kGridInfoUnchangedSinceSave, value);
    EXPECT_EQ(value, 0);
    std::string name;
    YYGridWindowTitles(-1, 3, name, 8);
    EXPECT_EQ(name, std::string(8, ' '));
}

}  // namespace

namespace {

// Runs a shell command line of the host and returns its output (Wine starts Unix programs but
// cannot wait for them: the output lands in a file renamed into place when the command is done).
std::string runHost(const std::string& command, DWORD deadlineMs = 60000)
{
    static int serial = 0;
    const std::string base = "/tmp/qv-grideditor-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    const std::string line = "/bin/sh -c \"(" + command + ") > " + base + ".part 2>&1 </dev/null; mv " + base + ".part " +
                             base + ".out\"";
    std::vector<char> text(line.begin(), line.end());
    text.push_back('\0');
    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA("Z:\\bin\\sh", text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
        return "cannot start the host shell";
    KernelHandle thread(process.hThread), child(process.hProcess);
    const std::string done = "Z:" + base + ".out";
    if (!waitUntil([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                   std::chrono::milliseconds(deadlineMs)))
        return "host command timed out";
    std::string out = readFile(done);
    DeleteFileA(done.c_str());
    return out;
}

struct MetafileText {
    std::vector<std::string> faces;
    std::vector<std::pair<std::string, std::u16string>> texts;  // the face selected, the text
    std::string face;
    std::vector<std::string> objectFaces = std::vector<std::string>(64);
    static int CALLBACK visit(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data)
    {
        auto& self = *reinterpret_cast<MetafileText*>(data);
        if (record->iType == EMR_EXTCREATEFONTINDIRECTW) {
            const auto* font = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record);
            std::string face;
            for (const WCHAR* c = font->elfw.elfLogFont.lfFaceName; *c; ++c) face.push_back(static_cast<char>(*c));
            self.faces.push_back(face);
            if (font->ihFont < self.objectFaces.size()) self.objectFaces[font->ihFont] = face;
        } else if (record->iType == EMR_SELECTOBJECT) {
            const DWORD object = reinterpret_cast<const EMRSELECTOBJECT*>(record)->ihObject;
            if (object < self.objectFaces.size() && !self.objectFaces[object].empty()) self.face = self.objectFaces[object];
        } else if (record->iType == EMR_EXTTEXTOUTW) {
            const auto* out = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
            const auto* chars = reinterpret_cast<const char16_t*>(reinterpret_cast<const BYTE*>(record) + out->emrtext.offString);
            self.texts.emplace_back(self.face, std::u16string(chars, out->emrtext.nChars));
        } else if (record->iType == EMR_EXTTEXTOUTA) {
            const auto* out = reinterpret_cast<const EMREXTTEXTOUTA*>(record);
            const auto* chars = reinterpret_cast<const unsigned char*>(record) + out->emrtext.offString;
            std::u16string text;
            for (DWORD k = 0; k < out->emrtext.nChars; ++k) text.push_back(chars[k]);
            self.texts.emplace_back(self.face, text);
        }
        return 1;
    }
};

TEST_F(GridEditorTest, PageLayoutPrintsCheckBoxesInTheSymbolFont)
{
    WDialogLoad(7700);
    WGridPutCellCheckBox(kGrid, 7, 1, 1);
    WGridPutCellCheckBox(kGrid, 7, 2, 0);
    GridRecord* g = YYGridFind(kGrid);
    ASSERT_NE(g, nullptr);
    const std::string file = path("layout.emf");
    WindowDc screen(g->window);
    EnhMetafileRecordingHandle recording(CreateEnhMetaFileA(screen.get(), file.c_str(), nullptr, "grid"));
    ASSERT_TRUE(recording);
    GridPrintJob job;
    job.firstRow = 0;
    job.lastRow = 1;
    job.firstColumn = 0;
    job.lastColumn = 7;
    job.page = RECT{20, 20, 2000, 1000};
    LOGFONTA text{};
    text.lfHeight = -13;
    lstrcpynA(text.lfFaceName, "Arial", LF_FACESIZE);
    GdiObjectHandle font(CreateFontIndirectA(&text));
    LOGFONTA symbol = text;
    symbol.lfCharSet = SYMBOL_CHARSET;
    lstrcpynA(symbol.lfFaceName, "Wingdings", LF_FACESIZE);
    GdiObjectHandle symbolFont(CreateFontIndirectA(&symbol));
    job.font = static_cast<HFONT>(font.get());
    job.symbolFont = static_cast<HFONT>(symbolFont.get());
    GridPrintSetupRecord setup;
    YYGridPrintLayout(*g, recording.get(), screen.get(), job, setup, nullptr, nullptr);
    EXPECT_EQ(job.pages, 1);
    EnhMetafileHandle metafile(CloseEnhMetaFile(recording.release()));
    ASSERT_TRUE(metafile);
    MetafileText seen;
    EnumEnhMetaFile(nullptr, metafile.get(), &MetafileText::visit, &seen, nullptr);
    EXPECT_NE(std::find(seen.faces.begin(), seen.faces.end(), "Wingdings"), seen.faces.end());
    auto drawn = [&](char16_t mark) {
        for (const auto& [face, chars] : seen.texts)
            if (face == "Wingdings" && (chars == std::u16string(1, mark) || chars == std::u16string(1, char16_t(0xF000 + mark))))
                return true;
        return false;
    };
    EXPECT_TRUE(drawn(0xFC));
    EXPECT_TRUE(drawn(0xFB));
    // An independent reader takes the file.
    std::string unixFile = "/tmp/" + file.substr(std::string("Z:\\tmp\\").size());
    std::replace(unixFile.begin(), unixFile.end(), '\\', '/');
    const std::string out = runHost("emf2svg-conv -i '" + unixFile + "' -o '" + unixFile + ".svg' && grep -c '<svg' '" +
                                    unixFile + ".svg'");
    EXPECT_EQ(out.substr(0, 1), "1") << out;
}

}  // namespace

namespace {

std::string pdfFolder()
{
    const char* dir = std::getenv("QV_PDF_DIR");
    return dir ? std::string(dir) : std::string();
}

std::vector<std::string> pdfsNamed(const std::string& stem)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const FindHandle search(FindFirstFileA(("Z:" + pdfFolder() + "/*" + stem + "*.pdf").c_str(), &found));
    if (!search) return names;
    do names.emplace_back(found.cFileName);
    while (FindNextFileA(search.get(), &found));
    return names;
}

std::string waitForPdf(const std::string& stem)
{
    std::string found;
    waitUntil(
        [&] {
            const std::vector<std::string> names = pdfsNamed(stem);
            if (names.size() != 1) return false;
            const std::string file = pdfFolder() + "/" + names.front();
            if (runHost("pdfinfo '" + file + "' >/dev/null && echo readable").find("readable") == std::string::npos) return false;
            found = file;
            return true;
        },
        std::chrono::milliseconds(60000));
    return found;
}

std::size_t occurrences(const std::string& text, const std::string& word)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + word.size())) ++n;
    return n;
}

TEST_F(GridEditorTest, PrintsOnTheRealPrinterAcrossPages)
{
    ASSERT_FALSE(pdfFolder().empty()) << "QV_PDF_DIR is not set: run the tests through scripts/test.sh";
    for (const char* stem : {"Grid_one_page", "Grid_wide"})
        for (const std::string& name : pdfsNamed(stem)) DeleteFileA(("Z:" + pdfFolder() + "/" + name).c_str());
    WDialogLoad(7700);
    WGridPutCellInteger(kGrid, 4, 1, 42);
    WGridPutCellInteger(kGrid, 4, 2, 87);
    INTEGER result = 0;
    YYGridSetPrintOptions(1, 1, 1, 0, 0, 100, 1);
    YYGridPrint(kGrid, result, 0, 1, 0, 7, 1, "Grid_one_page");
    ASSERT_EQ(result, 1);
    const std::string one = waitForPdf("Grid_one_page");
    ASSERT_FALSE(one.empty());
    EXPECT_NE(runHost("pdfinfo '" + one + "'").find("Pages:           1\n"), std::string::npos);
    const std::string text = runHost("pdftotext -layout '" + one + "' -");
    for (const char* word : {"Int", "Real", "Pick", "first", "second", "42", "87"}) EXPECT_EQ(occurrences(text, word), 1u) << word << "\n" << text;
    // Three times as wide: the columns go on over further pages, each with the row labels and the
    // header again, and every cell once.
    YYGridSetPrintOptions(1, 1, 1, 0, 0, 300, 1);
    YYGridPrint(kGrid, result, 0, 1, 0, 7, 1, "Grid_wide");
    ASSERT_EQ(result, 1);
    const std::string wide = waitForPdf("Grid_wide");
    ASSERT_FALSE(wide.empty());
    const std::string info = runHost("pdfinfo '" + wide + "'");
    const std::size_t at = info.find("Pages:");
    ASSERT_NE(at, std::string::npos);
    const int pages = std::atoi(info.c_str() + at + 6);
    EXPECT_GT(pages, 1);
    const std::string wideText = runHost("pdftotext -layout '" + wide + "' -");
    EXPECT_EQ(occurrences(wideText, "first"), static_cast<std::size_t>(pages)) << wideText;
    EXPECT_EQ(occurrences(wideText, "42"), 1u);
    EXPECT_EQ(occurrences(wideText, "87"), 1u);
    YYGridSetPrintOptions(1, 1, 1, 0, 0, 100, 1);
}

}  // namespace

namespace {

// As a new user meets it: a program opens a modeless editor on a sample file; the screen is kept.
TEST_F(GridEditorTest, DemoOpensASampleFileModeless)
{
    const std::string sample = path("sample.csv");
    writeFile(sample, "alpha,beta,gamma,12,1.5,2.25,Yes,Mid\r\ndelta,epsilon,zeta,-7,3.25,4.5,No,High\r\n");
    WDialogLoad(7700);
    INTEGER window = 0, layout = 0;
    YYChildWindowCreate(30, 30, 760, 420, window, kCaptionedChild, 0, kNoBars, layout, 0, -1, "Sample grid");
    WindowSetCurrent(window);
    INTEGER status = -1, mode = 2;
    WGridEditor(status, kGrid, mode, 0, 0, -1, -1, sample, "");
    EXPECT_EQ(status, 0);
    HWND f = frame(window);
    char title[256] = {};
    GetWindowTextA(f, title, sizeof title);
    EXPECT_EQ(std::string(title), "Sample grid - [" + sample + "]");
    WindowSetCurrent(window);
    std::string cell(20, ' ');
    WGridGetCellString(0, 2, 2, cell);
    EXPECT_EQ(cell.substr(0, 7), "epsilon");
    SetForegroundWindow(f);
    RedrawWindow(f, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpPending();
    EXPECT_FALSE(E2e::screenshot("grid-editor-sample").empty());
}

}  // namespace

namespace {

// The command dialogs, with the test program's own layouts: the answers type into the fields and
// press the buttons as a user would.
std::string dialogText(HWND dialog, int field)
{
    char text[512] = {};
    GetDlgItemTextA(dialog, field, text, sizeof text);
    std::string s(text);
    s.erase(0, s.find_first_not_of(' '));
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

// Text typed into a field: the edit control counts it as the user's change.
void typeInto(HWND dialog, int field, const char* text)
{
    SetDlgItemTextA(dialog, field, text);
    SendDlgItemMessageA(dialog, field, EM_SETMODIFY, TRUE, 0);
}

std::string unixPath(const std::string& windowsPath)
{
    std::string unix = windowsPath.substr(2);
    std::replace(unix.begin(), unix.end(), '\\', '/');
    return unix;
}

class GridEditorDialogTest : public GridEditorTest {
protected:
    // An editor on the operations grid holding the given comma-separated rows (its row count follows them).
    INTEGER loaded(const std::string& rows)
    {
        const INTEGER n = editor(kGridEditRowCountChanges);
        const std::string file = path("rows.csv");
        writeFile(file, rows);
        std::string name = file;
        INTEGER result = 0, index = 1;
        YYGridEditorLoadCsv(n, 0, 1, result, index, 0, name, "");
        EXPECT_EQ(result, 1);
        return n;
    }
    static constexpr const char* kRows = "alpha,one,x,5,1.5,2.25,Yes,Mid\r\n"
                                         "Needle,two,y,9,3.25,4.5,No,High\r\n"
                                         "gamma,three,z,1,0.5,1.25,Yes,Low\r\n";
};

TEST_F(GridEditorDialogTest, GotoMovesTheCurrentCell)
{
    const INTEGER n = editor(0);
    GridRecord& g = grid(n);
    {
        DialogResponder responder({{"Goto Cell", [](HWND d) {
                                        typeInto(d, 1002, "3");
                                        typeInto(d, 1004, "7");
                                        DialogResponder::press(d, IDOK);
                                    }}});
        YYGridEditorGoto(n, 1);
        EXPECT_TRUE(responder.done());
    }
    EXPECT_EQ(g.currentColumn, 2);
    EXPECT_EQ(g.currentRow, 6);
    // Goto Row proposes the current row and keeps the column.
    std::string label, proposed;
    {
        DialogResponder responder({{"Goto Row", [&](HWND d) {
                                        label = dialogText(d, 1001);
                                        proposed = dialogText(d, 1002);
                                        typeInto(d, 1002, "12");
                                        DialogResponder::press(d, IDOK);
                                    }}});
        YYGridEditorGoto(n, 2);
        EXPECT_TRUE(responder.done());
    }
    EXPECT_EQ(label, "&Row");
    EXPECT_EQ(proposed, "7");
    EXPECT_EQ(g.currentColumn, 2);
    EXPECT_EQ(g.currentRow, 11);
    // Goto Column cancelled leaves the cell.
    {
        DialogResponder responder({{"Goto Column", [&](HWND d) {
                                        label = dialogText(d, 1001);
                                        typeInto(d, 1002, "1");
                                        DialogResponder::press(d, IDCANCEL);
                                    }}});
        YYGridEditorGoto(n, 3);
        EXPECT_TRUE(responder.done());
    }
    EXPECT_EQ(label, "&Column");
    EXPECT_EQ(g.currentColumn, 2);
    EXPECT_EQ(g.currentRow, 11);
}

HWND& findDialog()
{
    static HWND dialog = nullptr;
    return dialog;
}

int& beeps()
{
    static int count = 0;
    return count;
}

TEST_F(GridEditorDialogTest, FindBeepsOnAnEmptyTextThenSearchesAndSaysWhereItStops)
{
    const INTEGER n = loaded(kRows);
    GridRecord& g = grid(n);
    const BeepControlHooks saved = beepControlHooks();
    beeps() = 0;
    // The empty text beeps and keeps the dialog: the beep types the text and presses Find again.
    beepControlHooks().beep = [] {
        ++beeps();
        SetDlgItemTextA(findDialog(), 1002, "needle");
        DialogResponder::press(findDialog(), IDOK);
    };
    INTEGER matchCase = 0, numeric = 0;
    std::string text;
    bool numericShown = false;
    {
        DialogResponder responder({{"Find in Grid", [&](HWND d) {
                                        findDialog() = d;
                                        numericShown = IsWindowVisible(GetDlgItem(d, 1004)) && IsWindowEnabled(GetDlgItem(d, 1004));
                                        SetDlgItemTextA(d, 1002, "");
                                        DialogResponder::press(d, IDOK);
                                    }}});
        YYGridEditorFind(n, 1, matchCase, numeric, text);
        EXPECT_TRUE(responder.done());
    }
    beepControlHooks() = saved;
    EXPECT_EQ(beeps(), 1);
    EXPECT_TRUE(numericShown);
    EXPECT_EQ(text.substr(0, text.find('\0')), "needle");
    EXPECT_EQ(g.currentColumn, 0);
    EXPECT_EQ(g.currentRow, 1);
    // Find Next, with nothing further down, says so and stays.
    {
        DialogResponder responder({{"Find", DialogResponder::button(IDOK)}});
        YYGridEditorFind(n, 2, matchCase, numeric, text);
        EXPECT_TRUE(responder.done());
        ASSERT_EQ(responder.Texts.size(), 1u);
        EXPECT_EQ(responder.Texts[0], "End of grid reached");
    }
    EXPECT_EQ(g.currentRow, 1);
    // Matching case, the search misses the capital.
    {
        WindowSetCurrent(n);
        WGridSetCell(0, 1, 1);
        matchCase = 1;
        DialogResponder responder({{"Find", DialogResponder::button(IDOK)}});
        YYGridEditorFind(n, 2, matchCase, numeric, text);
        EXPECT_TRUE(responder.done());
        EXPECT_EQ(g.currentRow, 0);
    }
    // A grid of check boxes and menus only: a message and no dialog.
    WDialogLoad(7720);
    const INTEGER plain = child();
    WindowSetCurrent(plain);
    INTEGER status = -1, mode = 2;
    WGridEditor(status, 7721, mode, 0, 0, -1, -1, "", "");
    ASSERT_EQ(status, 0);
    {
        DialogResponder responder({{"Find", DialogResponder::button(IDOK)}});
        YYGridEditorFind(plain, 1, matchCase, numeric, text);
        EXPECT_TRUE(responder.done());
        ASSERT_EQ(responder.Texts.size(), 1u);
        EXPECT_EQ(responder.Texts[0], "Grid contains no searchable columns");
    }
}

TEST_F(GridEditorDialogTest, SortListsUnnamedColumnsAndRemembersTheOrder)
{
    const INTEGER n = loaded(kRows);
    WindowSetCurrent(n);
    for (INTEGER c = 1; c <= 8; ++c) WGridLabelColumn(0, c, "");
    std::vector<std::string> names;
    {
        DialogResponder responder({{"Sort Grid", [&](HWND d) {
                                        HWND list = GetDlgItem(d, 1002);
                                        for (int k = 0; k < SendMessageA(list, CB_GETCOUNT, 0, 0); ++k) {
                                            char item[64] = {};
                                            SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(item));
                                            names.emplace_back(item);
                                        }
                                        SendMessageA(list, CB_SETCURSEL, 3, 0);
                                        SendMessageA(d, WM_COMMAND, MAKEWPARAM(1002, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
                                        CheckRadioButton(d, 1004, 1005, 1005);
                                        SendDlgItemMessageA(d, IDOK, BM_CLICK, 0, 0);
                                    }}});
        INTEGER result = 0;
        YYGridEditorSort(n, 0, result);
        EXPECT_TRUE(responder.done());
        EXPECT_EQ(result, 1);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Column 1", "Column 2", "Column 3", "Column 4", "Column 5", "Column 6",
                                               "Column 7", "Column 8"}));
    WindowSetCurrent(n);
    std::vector<INTEGER> values;
    std::vector<std::string> words;
    for (INTEGER r = 1; r <= 3; ++r) {
        INTEGER v = 0;
        WGridGetCellInteger(0, 4, r, v);
        values.push_back(v);
        std::string w(10, ' ');
        WGridGetCellString(0, 2, r, w);
        words.push_back(w.substr(0, w.find_first_of(" \0", 0, 2)));
    }
    EXPECT_EQ(values, (std::vector<INTEGER>{9, 5, 1}));
    EXPECT_EQ(words, (std::vector<std::string>{"two", "one", "three"}));
    // The next Sort offers descending again; cancelled, it sorts nothing.
    bool descending = false;
    {
        DialogResponder responder({{"Sort Grid", [&](HWND d) {
                                        descending = IsDlgButtonChecked(d, 1005) == BST_CHECKED;
                                        CheckRadioButton(d, 1004, 1005, 1004);
                                        DialogResponder::press(d, IDCANCEL);
                                    }}});
        INTEGER result = -1;
        YYGridEditorSort(n, 0, result);
        EXPECT_TRUE(responder.done());
        EXPECT_EQ(result, 0);
    }
    EXPECT_TRUE(descending);
    WindowSetCurrent(n);
    INTEGER first = 0;
    WGridGetCellInteger(0, 4, 1, first);
    EXPECT_EQ(first, 9);
    gridEditorSettings().sortOrder = 1;
}

HWND& htmlDialog()
{
    static HWND dialog = nullptr;
    return dialog;
}

TEST_F(GridEditorDialogTest, SaveAsHtmlProposesTheNameAndWritesValidHtml)
{
    const INTEGER n = loaded("a<b & c,\"quoted\",x,5,1.5,2.25,Yes,Mid\r\nplain,two,y,9,3.25,4.5,No,High\r\n");
    const std::string csv = path("layers.csv");
    std::string proposed;
    bool selectionEnabled = true, wholeChecked = false;
    {
        DialogResponder responder(
            {{"Save Grid as HTML",
              [&](HWND d) {
                  htmlDialog() = d;
                  proposed = dialogText(d, 1002);
                  selectionEnabled = IsWindowEnabled(GetDlgItem(d, 1018)) != 0;
                  wholeChecked = IsDlgButtonChecked(d, 1017) == BST_CHECKED;
                  SetDlgItemTextA(d, 1002, "");
                  SetDlgItemTextA(d, 1013, "Layers & more");
                  DialogResponder::press(d, IDOK);
              }},
             // A blank name is refused; the proposal typed back is taken without a question.
             {"Select File", [&](HWND box) {
                  DialogResponder::press(box, IDOK);
                  SetDlgItemTextA(htmlDialog(), 1002, proposed.c_str());
                  DialogResponder::press(htmlDialog(), IDOK);
              }}});
        INTEGER result = 0;
        YYGridEditorSaveHtml(n, -1, -1, -1, -1, result, 0, csv);
        EXPECT_TRUE(responder.done());
        EXPECT_EQ(result, 1);
        ASSERT_EQ(responder.Texts.size(), 2u);
        EXPECT_EQ(responder.Texts[1], "You must enter a filename");
    }
    EXPECT_EQ(proposed, path("layers.htm"));
    EXPECT_FALSE(selectionEnabled);
    EXPECT_TRUE(wholeChecked);
    const std::string html = readFile(path("layers.htm"));
    EXPECT_NE(html.find("plain"), std::string::npos) << html;
    EXPECT_EQ(html.find("a<b"), std::string::npos) << html;
    const std::string file = unixPath(path("layers.htm"));
    EXPECT_EQ(runHost("xmllint --html --noout '" + file + "' && echo valid"), "valid\n");
    gridEditorSettings().htmlTitle.clear();
}

TEST_F(GridEditorDialogTest, SaveSelectionProposesOnlyTheFolder)
{
    const INTEGER n = loaded(kRows);
    std::string name = path("grid.csv");
    std::string offered = "unread";
    {
        DialogResponder responder({{"Select File", [&](HWND d) {
                                        for (int field : {1148, 1152})
                                            if (GetDlgItem(d, field)) offered = dialogText(d, field);
                                        DialogResponder::fileName(path("part.csv"))(d);
                                    }}});
        INTEGER result = 0, index = 1;
        // Rows 2 and 3, columns 2 and 4 (0-based first and last).
        YYGridEditorSaveCsv(n, 1, result, index, 0, 0, 1, 2, 1, 3, name, "");
        EXPECT_TRUE(responder.done());
        EXPECT_EQ(result, 1);
    }
    EXPECT_EQ(offered.find("grid"), std::string::npos) << offered;
    EXPECT_NE(offered, "unread");
    EXPECT_EQ(name, path("grid.csv"));
    const std::string part = readFile(path("part.csv"));
    EXPECT_NE(part.find("two"), std::string::npos) << part;
    EXPECT_NE(part.find("three"), std::string::npos) << part;
    EXPECT_EQ(part.find("one"), std::string::npos) << part;
    EXPECT_EQ(part.find("alpha"), std::string::npos) << part;
}

}  // namespace

namespace {

// The Edit and File pop-ups greyed as each opens, over selections, protected cells and the row-count option.
TEST_F(GridEditorTest, MenuGreyingFollowsSelectionsAndProtectedCells)
{
    enum Item { SaveSel, PrintSel, Cut, Copy, Paste, Delete, Sort, InsBefore, InsAfter, DeleteRow };
    const std::vector<std::pair<Item, INTEGER>> ids{
        {SaveSel, kGridCmdSaveSelection}, {PrintSel, kGridCmdPrintSelection}, {Cut, kGridCmdCut},
        {Copy, kGridCmdCopy},             {Paste, kGridCmdPaste},             {Delete, kGridCmdDelete},
        {Sort, kGridCmdSort},             {InsBefore, kGridCmdInsertBefore},  {InsAfter, kGridCmdInsertAfter},
        {DeleteRow, kGridCmdDeleteRow}};
    struct Case {
        const char* name;
        INTEGER options;
        INTEGER row;                // current row, 0-based, of three
        INTEGER protectColumn, protectRow;  // -1: nothing protected
        bool block;                 // columns 1-2, rows 1-2 selected
        std::set<Item> grey;
    };
    const std::vector<Case> cases{
        {"nothing selected", kGridEditRowCountChanges, 0, -1, -1, false, {SaveSel, PrintSel, Cut, Copy, Paste, Delete}},
        {"a free block", kGridEditRowCountChanges, 0, -1, -1, true, {Paste}},
        {"a protected cell in the block, below the current row", kGridEditRowCountChanges, 0, 1, 1, true,
         {Cut, Delete, Paste, Sort, InsAfter}},
        {"the current row protected", kGridEditRowCountChanges, 1, 0, 1, false,
         {SaveSel, PrintSel, Cut, Copy, Paste, Delete, Sort, InsBefore, DeleteRow}},
        {"the last row, the count may grow", kGridEditRowCountChanges, 2, -1, -1, false,
         {SaveSel, PrintSel, Cut, Copy, Paste, Delete}},
        {"the last row, a fixed count", 0, 2, -1, -1, false, {SaveSel, PrintSel, Cut, Copy, Paste, Delete, InsAfter}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const INTEGER n = editor(c.options);
        WindowSetCurrent(n);
        WGridRows(0, 3);
        if (c.protectColumn >= 0) {
            INTEGER field = 0;
            YYGridProtectCell(field, c.protectColumn, c.protectRow, 0);
        }
        WGridSetCell(0, 1, c.row + 1);
        if (c.block) {
            INTEGER field = 0;
            YYGridSelectBlock(field, 0, 0, 1, 1);
        }
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        GridEditorRecord& r = record(n);
        std::set<Item> grey;
        for (int k : {0, 1}) SendMessageA(frame(n), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(r.menus[k]), k);
        for (const auto& [item, id] : ids) {
            HMENU menu = item == SaveSel || item == PrintSel ? r.menus[0] : r.menus[1];
            if (GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) grey.insert(item);
        }
        EXPECT_EQ(grey, c.grey);
    }
}

// The row shortcuts, typed on the keyboard while the editor has the focus.
TEST_F(GridEditorTest, RowShortcutsByKeyboard)
{
    const INTEGER n = editor(kGridEditRowCountChanges);
    WindowSetCurrent(n);
    WGridRows(0, 3);
    for (INTEGER row = 1; row <= 3; ++row) WGridPutCellInteger(0, 4, row, row * 10);
    WGridSetCell(0, 1, 2);
    GridRecord& g = grid(n);
    SetForegroundWindow(frame(n));
    SetFocus(g.window);
    drainEvents();
    auto column4 = [&] {
        std::vector<INTEGER> values;
        WindowSetCurrent(n);
        for (INTEGER row = 1; row <= g.rows; ++row) {
            INTEGER v = -1;
            libraryErrorState().LastErrorNumber = 0;
            WGridGetCellInteger(0, 4, row, v);
            values.push_back(libraryErrorState().LastErrorNumber == 0 ? v : 0);
        }
        libraryErrorState().LastErrorNumber = 0;
        return values;
    };
    ToolkitPump pump;
    sendKeys({VK_CONTROL}, 'I');
    ASSERT_TRUE(pump.until([&] { return g.rows == 4; }));
    EXPECT_EQ(column4(), (std::vector<INTEGER>{10, 0, 20, 30}));
    sendKeys({VK_CONTROL, VK_SHIFT}, 'I');
    ASSERT_TRUE(pump.until([&] { return g.rows == 5; }));
    EXPECT_EQ(column4(), (std::vector<INTEGER>{10, 0, 0, 20, 30}));
    sendKeys({VK_CONTROL}, 'E');
    ASSERT_TRUE(pump.until([&] { return g.rows == 4; }));
    EXPECT_EQ(column4(), (std::vector<INTEGER>{10, 0, 20, 30}));
}

}  // namespace
