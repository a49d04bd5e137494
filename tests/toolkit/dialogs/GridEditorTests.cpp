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
using HostTools::pdfFolder;
using HostTools::removePdfs;
using HostTools::runHost;
using HostTools::waitForPdf;

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
        if (const FindHandle search(FindFirstFileA((folder_ + "\\*").c_str(), &found)); search) {
            do DeleteFileA((folder_ + "\\" + found.cFileName).c_str());
            while (FindNextFileA(search.get(), &found));
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

// Options set before anything printed stay: the defaults, filled on first use, do not overwrite
// them. (First in the program, so that the defaults are not filled yet.)
TEST(GridPrintOptions, SetBeforeFirstUseStay)
{
    YYGridSetPrintOptions(0, 1, 0, 1, 1, 55, 2);
    INTEGER rowLines = -1, columnLines = -1, everyPage = -1, textColours = -1, backColours = -1, scale = -1;
    YYGridGetPrintOptions(rowLines, columnLines, everyPage, textColours, backColours, scale, 2);
    EXPECT_EQ((std::vector<INTEGER>{rowLines, columnLines, everyPage, textColours, backColours, scale}),
              (std::vector<INTEGER>{0, 1, 0, 1, 1, 55}));
    YYGridSetPrintOptions(1, 1, 1, 0, 0, 100, 2);
}

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
        // Modeless: the close request is recorded for the program, which closes the window.
        EXPECT_EQ(currentEventState().Recorded.Type, kEventClose);
        EXPECT_TRUE(waitUntil([&] { return responder.done(); }));
        ASSERT_EQ(responder.Texts.size(), 1u);
        EXPECT_EQ(responder.Texts[0], "Do you want to save changes?");
    }
    EXPECT_TRUE(eventsBeforeSentinel().complete);
    EXPECT_TRUE(IsWindow(frame(n)));
}

TEST_F(GridEditorTest, CommandsWithoutTheirDialogsOrAPrinterSaySo)
{
    const INTEGER n = editor(0);
    const auto saved = screenOutputHooks().printerAvailable;
    screenOutputHooks().printerAvailable = [] { return true; };
    // Every dialog place taken: the Print dialog cannot be loaded, as in a program without it.
    for (INTEGER id = 9000; dialogTable().count < kMaxDialogs; ++id) WDialogLoad(7728, id);
    libraryErrorState().LastErrorNumber = 0;
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

std::size_t occurrences(const std::string& text, const std::string& word)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + word.size())) ++n;
    return n;
}

TEST_F(GridEditorTest, PrintsOnTheRealPrinterAcrossPages)
{
    ASSERT_FALSE(pdfFolder().empty()) << "QV_PDF_DIR is not set: run the tests through scripts/test.sh";
    for (const char* stem : {"Grid_one_page", "Grid_wide"}) ASSERT_TRUE(removePdfs(stem));
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

// A typed name of an existing file asks before replacing it; No keeps the dialog, Browse fills in
// a name the file dialog chose, which needs no second question; Yes replaces.
TEST_F(GridEditorDialogTest, SaveAsHtmlAsksBeforeReplacingAndBrowses)
{
    const INTEGER n = loaded(kRows);
    const std::string old = path("old.htm"), chosen = path("chosen.htm");
    writeFile(old, "kept");
    {
        DialogResponder responder({{"Save Grid as HTML", [&](HWND d) {
                                        htmlDialog() = d;
                                        SetDlgItemTextA(d, 1002, old.c_str());
                                        DialogResponder::press(d, IDOK);
                                    }},
                                   {"Select File", [&](HWND box) {
                                        DialogResponder::press(box, IDNO);
                                        DialogResponder::press(htmlDialog(), 1003);
                                    }},
                                   {"Select File", [&](HWND files) {
                                        DialogResponder::fileName(chosen)(files);
                                        DialogResponder::press(htmlDialog(), IDOK);
                                    }}});
        INTEGER result = 0;
        YYGridEditorSaveHtml(n, -1, -1, -1, -1, result, 0, "");
        EXPECT_TRUE(responder.done());
        EXPECT_EQ(result, 1);
        ASSERT_GE(responder.Texts.size(), 2u);
        EXPECT_EQ(responder.Texts[1], old + " already exists\rDo you want to replace it?");
    }
    EXPECT_EQ(readFile(old), "kept");
    EXPECT_NE(readFile(chosen).find("Needle"), std::string::npos);
    {
        DialogResponder responder({{"Save Grid as HTML", [&](HWND d) {
                                        SetDlgItemTextA(d, 1002, old.c_str());
                                        DialogResponder::press(d, IDOK);
                                    }},
                                   {"Select File", DialogResponder::button(IDYES)}});
        INTEGER result = 0;
        YYGridEditorSaveHtml(n, -1, -1, -1, -1, result, 0, "");
        EXPECT_TRUE(responder.done());
        EXPECT_EQ(result, 1);
    }
    EXPECT_NE(readFile(old).find("Needle"), std::string::npos);
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

namespace {

// An editor on the grid of spin cells (layer counts, depths), five rows.
INTEGER spinEditor(INTEGER options = 0)
{
    WDialogLoad(7730);
    INTEGER window = 0, layout = 0;
    YYChildWindowCreate(20, 20, 500, 360, window, kCaptionedChild, 0, kNoBars, layout, 0, -1, "Spins");
    pumpPending();
    WindowSetCurrent(window);
    INTEGER status = -1, mode = 2;
    WGridEditor(status, 7731, mode, 0, options, -1, -1, "", "");
    EXPECT_EQ(status, 0);
    pumpPending();
    WindowSetCurrent(window);
    return window;
}

// A real press on the upper arrow of the live cell editor's spin control.
void pressUpArrow(const GridRecord& g)
{
    const FieldRecord* field = YYFieldRecordOf(g.editor);
    ASSERT_NE(field, nullptr);
    ASSERT_NE(field->spinControl, nullptr);
    ASSERT_TRUE(IsWindowVisible(field->spinControl));
    RECT arrows{};
    GetWindowRect(field->spinControl, &arrows);
    const POINT at{(arrows.left + arrows.right) / 2, arrows.top + (arrows.bottom - arrows.top) / 4};
    mouseTo(at, 0);
    mouseTo(at, MOUSEEVENTF_LEFTDOWN);
    mouseTo(at, MOUSEEVENTF_LEFTUP);
}

std::string windowTextOf(HWND window)
{
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST_F(GridEditorTest, SpinCellsStepInTheEditorWindow)
{
    const INTEGER n = spinEditor();
    GridRecord& g = grid(n);
    // Steps of 5 from origin 1 for the layer counts; the depths step by 1 and stop at 10.
    INTEGER field = 0;
    YYGridIntegerSpinSteps(field, 0, 5, 20, 1);
    EXPECT_EQ(field, 0);
    YYGridRealSpinSteps(field, 1, 1.0F, 2.0F);
    EXPECT_EQ(field, 0);
    WGridPutCellInteger(0, 1, 1, 8);
    WGridPutCellReal(0, 2, 1, 9.5F);
    SetForegroundWindow(frame(n));
    WGridSetCell(0, 1, 1);
    ToolkitPump pump;
    pressUpArrow(g);
    // 8 + 5 = 13 snaps to the grid of steps through 1: 11.
    EXPECT_TRUE(pump.until([&] { return windowTextOf(g.editor) == "11"; })) << windowTextOf(g.editor);
    WindowSetCurrent(n);
    WGridSetCell(0, 2, 1);
    pressUpArrow(g);
    EXPECT_TRUE(pump.until([&] { return windowTextOf(g.editor).rfind("10", 0) == 0; })) << windowTextOf(g.editor);
    WindowSetCurrent(n);
    WGridSetCell(0, 1, 2);
    INTEGER layers = 0;
    REAL depth = 0;
    WGridGetCellInteger(0, 1, 1, layers);
    WGridGetCellReal(0, 2, 1, depth);
    EXPECT_EQ(layers, 11);
    EXPECT_FLOAT_EQ(depth, 10.0F);
    EXPECT_EQ(g.changedSinceSave, 1);
}

TEST_F(GridEditorTest, FindOnNumbersOnlyHidesTheNumericSwitch)
{
    const INTEGER n = spinEditor();
    WGridPutCellInteger(0, 1, 1, 8);
    WGridPutCellInteger(0, 1, 3, 42);
    WGridPutCellReal(0, 2, 2, 4.5F);
    INTEGER matchCase = 0, numeric = 0;
    std::string text;
    bool numericVisible = true;
    {
        DialogResponder responder({{"Find in Grid", [&](HWND d) {
                                        numericVisible = IsWindowVisible(GetDlgItem(d, 1004)) != 0;
                                        SetDlgItemTextA(d, 1002, "42");
                                        DialogResponder::press(d, IDOK);
                                    }}});
        YYGridEditorFind(n, 1, matchCase, numeric, text);
        EXPECT_TRUE(responder.done());
    }
    EXPECT_FALSE(numericVisible);
    EXPECT_EQ(numeric, 1);
    EXPECT_EQ(grid(n).currentColumn, 0);
    EXPECT_EQ(grid(n).currentRow, 2);
}

// Sizing: at most the whole grid within the work area, at least one cell of the widest column.
TEST_F(GridEditorTest, SizeLimitsShowTheWholeGridAtMostAndOneCellAtLeast)
{
    const INTEGER n = spinEditor(kGridEditNoMenu | kGridEditNoToolbar);
    HWND f = frame(n);
    GridRecord& g = grid(n);
    const INTEGER cellsWidth = 1 + (g.column(0)->width - 1) + (g.column(1)->width - 1);
    const INTEGER cellsHeight = (g.rowHeight - 1) * g.rows + 1;
    const INTEGER widest = std::max(g.column(0)->width, g.column(1)->width);
    auto cellArea = [&] {
        RECT area{};
        GetClientRect(g.cellArea, &area);
        return area;
    };
    auto outerSize = [&] {
        RECT outer{};
        GetWindowRect(f, &outer);
        return SIZE{outer.right - outer.left, outer.bottom - outer.top};
    };
    // Asked to grow far beyond the grid, the window stops where every cell shows.
    SetWindowPos(f, nullptr, 0, 0, 1500, 1200, SWP_NOMOVE | SWP_NOZORDER);
    pumpPending();
    EXPECT_LT(outerSize().cx, 1500);
    EXPECT_LT(outerSize().cy, 1200);
    EXPECT_GE(cellArea().right, cellsWidth);
    EXPECT_GE(cellArea().bottom, cellsHeight);
    // (The vertical scroll bar the smaller window needed may have gone.)
    EXPECT_LE(cellArea().right, cellsWidth + GetSystemMetrics(SM_CXVSCROLL) + 2);
    EXPECT_LE(cellArea().bottom, cellsHeight + 2);
    // Asked to shrink to nothing, it keeps one whole cell of the widest column.
    SetWindowPos(f, nullptr, 0, 0, 5, 5, SWP_NOMOVE | SWP_NOZORDER);
    pumpPending();
    EXPECT_GE(cellArea().right, widest);
    EXPECT_GE(cellArea().bottom, g.rowHeight);
    EXPECT_LE(cellArea().right, widest + 2);
    EXPECT_LE(cellArea().bottom, g.rowHeight + 2);
    // A grid wider than the screen: maximised and tracked sizes end at the work area and its edges.
    for (INTEGER c = 0; c < 2; ++c) g.column(c)->width = 3000;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    MINMAXINFO limits{};
    limits.ptMaxSize = {20000, 20000};
    limits.ptMaxTrackSize = {20000, 20000};
    SendMessageA(f, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMaxSize.x, work.right - work.left + 2 * GetSystemMetrics(SM_CXEDGE));
    EXPECT_EQ(limits.ptMaxTrackSize.x, limits.ptMaxSize.x);
    EXPECT_LE(limits.ptMaxSize.y, work.bottom - work.top + 2 * GetSystemMetrics(SM_CYEDGE));
    EXPECT_LE(limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x);
}

// A press into an editor inside the main window's client area brings it forward and makes it active.
TEST_F(GridEditorTest, APressBringsAnEditorInsideAClientWindowForward)
{
    INTEGER status = -1;
    const INTEGER n = editor(0, &status, 2, kCaptionedChild | kStyleInsideParent);
    EXPECT_EQ(status, 0);
    HWND f = frame(n);
    INTEGER other = 0, layout = 0;
    YYChildWindowCreate(300, 200, 400, 300, other, kCaptionedChild | kStyleInsideParent, 0, kNoBars, layout, 0, -1, "Other");
    pumpPending();
    HWND parent = GetParent(f);
    ASSERT_NE(GetWindow(parent, GW_CHILD), f);
    GridRecord& g = grid(n);
    SetForegroundWindow(GetAncestor(f, GA_ROOT));
    pumpPending();
    RECT area{};
    GetWindowRect(g.cellArea, &area);
    const POINT at{area.left + 5, area.top + g.rowHeight / 2};
    mouseTo(at, 0);
    mouseTo(at, MOUSEEVENTF_LEFTDOWN);
    mouseTo(at, MOUSEEVENTF_LEFTUP);
    ToolkitPump pump;
    EXPECT_TRUE(pump.until([&] { return GetWindow(parent, GW_CHILD) == f; }));
    EXPECT_EQ(windowEngineState().ActiveFrame, f);
    EXPECT_TRUE(IsChild(f, GetFocus()));
}

// The status bar explains the program's own menu items beside the editor's.
TEST_F(GridEditorTest, MenuHelpForAUserMenu)
{
    WDialogLoad(7700);
    const INTEGER n = child();
    WindowSetCurrent(n);
    INTEGER status = -1, mode = 2;
    WGridEditor(status, kGrid, mode, 7740, 0, -1, -1, "", "");
    ASSERT_EQ(status, 0);
    pumpPending();
    HWND f = frame(n);
    GridEditorRecord& r = record(n);
    ASSERT_EQ(GetMenuItemCount(r.menuBar), 4);
    HMENU model = GetSubMenu(r.menuBar, 3);
    ASSERT_NE(model, nullptr);
    auto help = [&](UINT item, UINT flags, HMENU menu) {
        SendMessageA(f, WM_ENTERMENULOOP, FALSE, 0);
        SendMessageA(f, WM_MENUSELECT, MAKEWPARAM(item, flags), reinterpret_cast<LPARAM>(menu));
        const std::string shown = part(r.statusBar, 0);
        SendMessageA(f, WM_EXITMENULOOP, FALSE, 0);
        return shown;
    };
    struct Case {
        UINT item, flags;
        HMENU menu;
        const char* text;
    };
    const std::vector<Case> cases{
        {3, MF_POPUP | MF_HILITE, r.menuBar, "Commands for the layered model"},
        {40501, MF_HILITE, model, "Edits the layer thicknesses"},
        {1, MF_POPUP | MF_HILITE, r.menuBar, "Commands for Editing and Sorting cells"},
        {kGridCmdNew, MF_HILITE, r.menus[0], "Clears the grid"},
    };
    for (const Case& c : cases) EXPECT_EQ(help(c.item, c.flags, c.menu), c.text);
    // The status bar has its parts back once the menu closed.
    EXPECT_EQ(part(r.statusBar, 0), "Row");
}

HWND& printDialog()
{
    static HWND dialog = nullptr;
    return dialog;
}

// The Print dialog: the stored options shown, the page set-up reached from it, the choices kept
// for the next time, and the grid printed for real on the PDF queue under its default name.
TEST_F(GridEditorTest, PrintDialogShowsAndKeepsTheOptionsAndPrints)
{
    ASSERT_FALSE(pdfFolder().empty()) << "QV_PDF_DIR is not set: run the tests through scripts/test.sh";
    ASSERT_TRUE(removePdfs("Untitled_Grid"));
    const auto saved = screenOutputHooks().printerAvailable;
    screenOutputHooks().printerAvailable = [] { return true; };
    YYGridSetPrintOptions(1, 1, 1, 0, 0, 100, 2);
    const INTEGER n = editor(0);
    WindowSetCurrent(n);
    WGridPutCellInteger(0, 4, 1, 64);
    ASSERT_EQ(libraryErrorState().LastErrorNumber, 0);
    struct Shown {
        bool rowLines, columnLines, everyPage, textColours, noColours;
        std::string scale;
    };
    auto read = [](HWND d) {
        return Shown{IsDlgButtonChecked(d, 1002) == BST_CHECKED, IsDlgButtonChecked(d, 1003) == BST_CHECKED,
                     IsDlgButtonChecked(d, 1006) == BST_CHECKED, IsDlgButtonChecked(d, 1009) == BST_CHECKED,
                     IsDlgButtonChecked(d, 1008) == BST_CHECKED, dialogText(d, 1012)};
    };
    Shown first{}, second{};
    {
        DialogResponder responder(
            {{"Print Grid",
              [&](HWND d) {
                  printDialog() = d;
                  first = read(d);
                  CheckDlgButton(d, 1003, BST_UNCHECKED);
                  CheckRadioButton(d, 1005, 1006, 1005);
                  CheckRadioButton(d, 1008, 1010, 1009);
                  typeInto(d, 1012, "80");
                  DialogResponder::press(d, 1014);
              }},
             // The page set-up comes up from the dialog (under Wine's caption) and is left as it
             // was; then the grid prints.
             {"Setup Page", [&](HWND setup) {
                  DialogResponder::press(setup, IDCANCEL);
                  DialogResponder::press(printDialog(), IDOK);
              }}});
        INTEGER result = 0;
        YYGridEditorPrint(n, 0, 1, 0, 7, result);
        EXPECT_TRUE(responder.done());
        EXPECT_EQ(result, 1);
    }
    EXPECT_TRUE(first.rowLines && first.columnLines && first.everyPage && first.noColours);
    EXPECT_EQ(first.scale, "100");
    INTEGER rowLines = -1, columnLines = -1, everyPage = -1, textColours = -1, backColours = -1, scale = -1;
    YYGridGetPrintOptions(rowLines, columnLines, everyPage, textColours, backColours, scale, 2);
    EXPECT_EQ((std::vector<INTEGER>{rowLines, columnLines, everyPage, textColours, backColours, scale}),
              (std::vector<INTEGER>{1, 0, 0, 1, 0, 80}));
    const std::string pdf = waitForPdf("Untitled_Grid");
    ASSERT_FALSE(pdf.empty());
    const std::string printed = runHost("pdftotext -layout '" + pdf + "' -");
    EXPECT_NE(printed.find("64"), std::string::npos) << printed;
    // The next time shows the choices; cancelled, nothing prints and nothing changes.
    {
        DialogResponder responder({{"Print Grid", [&](HWND d) {
                                        second = read(d);
                                        CheckDlgButton(d, 1002, BST_UNCHECKED);
                                        DialogResponder::press(d, IDCANCEL);
                                    }}});
        INTEGER result = -1;
        YYGridEditorPrint(n, 0, 1, 0, 7, result);
        EXPECT_TRUE(responder.done());
        EXPECT_EQ(result, 0);
    }
    EXPECT_TRUE(second.rowLines && !second.columnLines && !second.everyPage && second.textColours);
    EXPECT_EQ(second.scale, "80");
    YYGridGetPrintOptions(rowLines, columnLines, everyPage, textColours, backColours, scale, 2);
    EXPECT_EQ(rowLines, 1);
    YYGridSetPrintOptions(1, 1, 1, 0, 0, 100, 2);
    screenOutputHooks().printerAvailable = saved;
}

}  // namespace
