// Grid operations in a real dialog under Wine: blocks copied, cut, cleared and pasted through the
// clipboard from the keys and the open context menu, with protection and block events; find, sort
// and row operations; comma-separated and HTML files written, read back and compared byte for byte.
#include <gtest/gtest.h>

#include "toolkit/foundation/CommonControls.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/GuiHarness.h"
#include "tests/support/HeapPeak.h"
#include "tests/support/ToolkitSession.h"
#include "tests/toolkit/foundation/WorkFileFaults.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridCellEditor.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridFiles.h"
#include "toolkit/dialogs/GridFindSort.h"
#include "toolkit/dialogs/GridPainting.h"
#include "toolkit/dialogs/GridSelection.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowServices.h"

using namespace GuiHarness;
using namespace ToolkitSession;
namespace fs = std::filesystem;

namespace {

// Columns (1-based): 1-3 text, 4 integer (-100..100), 5 real (F8.2), 6 double (F10.4), 7 check
// box, 8 menu (Low, Mid, High); 40 rows, row labels "first" and "second".
constexpr INTEGER kGrid = 7701;
enum Column : INTEGER { kA = 1, kB, kC, kInt, kReal, kDbl, kCheck, kMenu };

INTEGER lastError() { return libraryErrorState().LastErrorNumber; }

// A text cell's text, through the cell layer as the grid files put it.
void putText(INTEGER column, INTEGER row, std::string_view text)
{
    INTEGER f = kGrid;
    YYGridPutText(f, column - 1, row - 1, 0.0, text, "");
    ASSERT_EQ(f, kGrid);
}

std::string cellString(INTEGER column, INTEGER row)
{
    std::string text(60, ' ');
    WGridGetCellString(kGrid, column, row, text);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

INTEGER cellCheck(INTEGER row)
{
    INTEGER state = -1;
    WGridGetCellCheckBox(kGrid, kCheck, row, state);
    return state;
}

INTEGER cellMenu(INTEGER row)
{
    INTEGER option = -1;
    WGridGetCellMenu(kGrid, kMenu, row, option);
    return option;
}

std::string rowLabelOf(INTEGER row)
{
    std::string text;
    INTEGER f = kGrid;
    YYGridGetRowLabel(f, row - 1, text);
    return text;
}

// The clipboard's text, or "<none>"; the clipboard is retried as the grid retries it.
std::string clipboardText()
{
    ClipboardSession clipboard(nullptr, 3000);
    if (!clipboard.isOpen()) return "<busy>";
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return "<none>";
    GlobalLockGuard lock(data);
    return lock.data() ? std::string(static_cast<const char*>(lock.data())) : "<none>";
}

void putClipboard(const std::string& text)
{
    ClipboardSession clipboard(nullptr, 3000);
    ASSERT_TRUE(clipboard.isOpen());
    EmptyClipboard();
    GlobalMemoryHandle memory(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    ASSERT_TRUE(memory);
    {
        GlobalLockGuard lock(memory.get());
        std::memcpy(lock.data(), text.c_str(), text.size() + 1);
    }
    ASSERT_TRUE(SetClipboardData(CF_TEXT, memory.get()));
    memory.release();
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

class GridOperationsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowOpen(39, 40, 40, 500, 300);
        WEventEnable(10, 1);
        libraryErrorState().LastErrorNumber = 0;
        folder_ = fs::temp_directory_path() / ("qv-grid-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder_);
    }
    void TearDown() override
    {
        EXPECT_EQ(unloadAllDialogs(), 0);
        closeAllWindows();
        EXPECT_EQ(gridState().liveGridRecords, 0);
        for (const auto& entry : fs::directory_iterator(folder_)) SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    // Shows the dialog with the focus in its grid.
    GridRecord& show()
    {
        WDialogLoad(7700);
        GridRecord* g = YYGridRecordOf(GetDlgItem(YYCurrentDialog(), kGrid));
        EXPECT_NE(g, nullptr);
        WDialogShow(-1, -1, 0, 2);
        SetForegroundWindow(YYCurrentDialog());
        SetFocus(g->window);
        EXPECT_TRUE(waitUntil([&] { return g->editor && GetFocus() == g->editor; }));
        drainEvents();
        return *g;
    }
    // Makes a cell current (1-based) with the focus in the grid.
    static void current(GridRecord& g, INTEGER column, INTEGER row)
    {
        ASSERT_TRUE(YYGridMoveCell(g.window, column - 1, row - 1, true, false));
        drainEvents();
    }
    static void select(GridRecord& g, INTEGER c1, INTEGER r1, INTEGER c2, INTEGER r2)
    {
        YYGridSetSelection(g.window, r1 - 1, r2 - 1, c1 - 1, c2 - 1);
    }
    // A character or key posted to the editor and handled through the toolkit's poll.
    static void typed(GridRecord& g, UINT message, WPARAM code)
    {
        PostMessageA(g.editor, message, code, 1);
        ASSERT_TRUE(eventsBeforeSentinel().complete);
    }
    std::string path(const char* name) const { return (folder_ / name).string(); }
    fs::path folder_;
    Watchdog watchdog_{std::chrono::milliseconds(120000)};
};

// ---- the open context menu, read from a timer while it is shown ----

struct MenuItemState {
    UINT command;
    std::string text;
    bool greyed;
};

struct OpenMenu {
    static inline std::vector<MenuItemState> items;
    static inline bool seen = false;
    static void CALLBACK tick(HWND, UINT, UINT_PTR timer, DWORD)
    {
        HWND popup = FindWindowA("#32768", nullptr);
        if (!popup) return;
        KillTimer(nullptr, timer);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
        for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
            char text[64] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
            if (state & MF_SEPARATOR) continue;
            items.push_back(MenuItemState{GetMenuItemID(menu, i), text, (state & MF_GRAYED) != 0});
        }
        seen = true;
        EndMenu();
    }
    // Opens the grid's context menu from the window and returns its items.
    static std::vector<MenuItemState> from(GridRecord& g, HWND window)
    {
        items.clear();
        seen = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, tick);
        RECT r{};
        GetWindowRect(window, &r);
        PostMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(r.left + 4, r.top + 4));
        EXPECT_TRUE(waitUntil([] { return seen; }, 5000ms));
        KillTimer(nullptr, timer);
        (void)g;
        return items;
    }
};

const MenuItemState* item(const std::vector<MenuItemState>& items, const char* text)
{
    for (const MenuItemState& i : items)
        if (i.text == text) return &i;
    return nullptr;
}

// ---- the copy-failure box, read and answered from a timer ----

struct FailureBox {
    static inline std::string title, text;
    static void CALLBACK tick(HWND, UINT, UINT_PTR timer, DWORD)
    {
        HWND box = FindWindowA("#32770", "Unable to Copy Data to Clipboard");
        if (!box) return;
        KillTimer(nullptr, timer);
        char buffer[256] = {};
        GetWindowTextA(box, buffer, sizeof buffer);
        title = buffer;
        EnumChildWindows(box, child, 0);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    static BOOL CALLBACK child(HWND window, LPARAM)
    {
        char name[16] = {}, content[256] = {};
        GetClassNameA(window, name, sizeof name);
        GetWindowTextA(window, content, sizeof content);
        if (lstrcmpiA(name, "Static") == 0 && content[0]) text = content;
        return TRUE;
    }
};

// Holds the clipboard open on its own thread until released.
struct ClipboardHolder {
    HANDLE opened, release;
    static DWORD WINAPI run(LPVOID p)
    {
        auto* h = static_cast<ClipboardHolder*>(p);
        const bool open = OpenClipboard(nullptr) != FALSE;
        SetEvent(h->opened);
        WaitForSingleObject(h->release, 20000);
        if (open) CloseClipboard();
        return open ? 0 : 1;
    }
};

}  // namespace

// Every allocation counted, so that a test can let the memory run out.
QV_HEAP_PEAK_OPERATORS

// ---- clipboard ----

TEST_F(GridOperationsTest, CopyingABlockGivesTabbedRowsAndYesNoChecks)
{
    GridRecord& g = show();
    const char* texts[2][3] = {{"a", "b", "c"}, {"d", "e", "f"}};
    for (INTEGER r = 1; r <= 2; ++r)
        for (INTEGER c = kA; c <= kC; ++c) putText(c, r, texts[r - 1][c - 1]);
    WGridPutCellCheckBox(kGrid, kCheck, 1, 1);
    current(g, kA, 1);
    select(g, kA, 1, kC, 2);
    typed(g, WM_CHAR, 3);  // Ctrl+C
    EXPECT_EQ(clipboardText(), "a\tb\tc\r\nd\te\tf\r\n");

    WGridPutCellReal(kGrid, kReal, 1, 2.5f);
    WGridPutCellOption(kGrid, kMenu, 2, 3);
    select(g, kReal, 1, kMenu, 2);
    ASSERT_EQ(YYGridCopy(g.window), 1);
    // Numbers as the column shows them, empty cells as nothing, menus by their option text.
    EXPECT_EQ(clipboardText(), "2.50\t\tYes\tLow\r\n\t\tNo\tHigh\r\n");
    EXPECT_EQ(YYClipHasText(), kClipCells);
    INTEGER rows = 0, columns = 0;
    YYClipCountCells(rows, columns);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(columns, 4);
}

TEST_F(GridOperationsTest, PastedFieldsFollowTheirColumnsKind)
{
    GridRecord& g = show();
    struct Case {
        INTEGER column;
        const char* before;  // put first as text through the cell's own kind
        const char* pasted;
        const char* after;   // the cell as WGridGetCellString (or check / menu as a number) reads it
    };
    const Case cases[] = {
        {kCheck, "0", "yes", "1"},     {kCheck, "0", "YES", "1"},   {kCheck, "0", "yEs", "1"},
        {kCheck, "1", "Y", "0"},       {kCheck, "1", "true", "0"},  {kInt, "5", "12.7", "12"},
        {kInt, "5", "1e3", "5"},       {kInt, "5", "1D1", "5"},     {kInt, "5", "500", "5"},  // outside -100..100
        {kInt, "5", "", ""},           {kReal, "1", "1D1", "1.00"}, {kDbl, "1", "1D1", "10.0000"},
        {kDbl, "1", "2.5e1", "25.0000"}, {kMenu, "1", "m", "2"},     {kMenu, "1", "HI", "3"},
        {kMenu, "2", "zz", "2"},       {kA, "x", "pasted text", "pasted text"},
    };
    const auto read = [](INTEGER column, INTEGER row) {
        if (column == kCheck) return std::to_string(cellCheck(row));
        if (column == kMenu) return std::to_string(cellMenu(row));
        return cellString(column, row);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pasted) + " into column " + std::to_string(c.column));
        {
            const INTEGER row = 3;
            current(g, c.column, row);
            const std::string before = c.before;
            switch (c.column) {
            case kCheck: WGridPutCellCheckBox(kGrid, kCheck, row, std::stoi(before)); break;
            case kMenu: WGridPutCellOption(kGrid, kMenu, row, std::stoi(before)); break;
            case kInt: WGridPutCellInteger(kGrid, kInt, row, std::stoi(before)); break;
            case kReal: WGridPutCellReal(kGrid, kReal, row, std::stof(before)); break;
            case kDbl: WGridPutCellDouble(kGrid, kDbl, row, std::stod(before)); break;
            default: putText(c.column, row, before); break;
            }
            putClipboard(std::string(c.pasted) + "\r\n");
            typed(g, WM_CHAR, 0x16);  // Ctrl+V
            EXPECT_EQ(read(c.column, row), c.after) << "in the editor";
            current(g, c.column, row + 1);
            EXPECT_EQ(read(c.column, row), c.after) << "stored";
        }
    }
    EXPECT_EQ(lastError(), 0);
}

TEST_F(GridOperationsTest, APasteFillsFromTheCurrentCellAndDropsWhatFallsOutside)
{
    GridRecord& g = show();
    WGridPutCellCheckBox(kGrid, kCheck, 1, 1);
    WGridPutCellOption(kGrid, kMenu, 2, 1);
    current(g, kMenu, 1);
    putClipboard("high\tx\ty\r\nmid\tz\r\n");
    typed(g, WM_KEYDOWN, VK_INSERT);  // without Shift the editor's own
    EXPECT_EQ(cellMenu(1), 1);
    {
        HeldKeys shift({VK_SHIFT});
        typed(g, WM_KEYDOWN, VK_INSERT);
    }
    EXPECT_EQ(cellMenu(1), 3);
    EXPECT_EQ(cellMenu(2), 2);
    EXPECT_EQ(cellCheck(1), 1);  // the column left of the paste is untouched

    // Blocks of text fill rows and columns; lines past the last row are dropped.
    WGridRows(kGrid, 3);
    current(g, kB, 2);
    putClipboard("p\tq\r\nr\ts\r\nt\tu\r\n");
    typed(g, WM_CHAR, 0x16);
    EXPECT_EQ(cellString(kB, 2), "p");
    EXPECT_EQ(cellString(kC, 3), "s");
    EXPECT_EQ(cellString(kA, 3), "");

    // A single value is the editor's own paste into its text, not the grid's.
    putText(kA, 1, "");
    current(g, kA, 1);
    putClipboard("single");
    EXPECT_EQ(YYClipHasText(), kClipSingle);
    typed(g, WM_CHAR, 0x16);
    EXPECT_EQ(windowText(g.editor), "single");
    EXPECT_EQ(cellString(kB, 1), "");
}

TEST_F(GridOperationsTest, DeleteAndCutClearTheBlockToEmptyCellsAndFirstOptions)
{
    GridRecord& g = show();
    for (INTEGER r = 1; r <= 2; ++r) {
        putText(kC, r, "text");
        WGridPutCellInteger(kGrid, kInt, r, 7);
        WGridPutCellCheckBox(kGrid, kCheck, r, 1);
        WGridPutCellOption(kGrid, kMenu, r, 3);
    }
    current(g, kC, 1);
    select(g, kC, 1, kMenu, 1);
    typed(g, WM_KEYDOWN, VK_DELETE);
    EXPECT_EQ(cellString(kC, 1), "");
    EXPECT_EQ(cellString(kInt, 1), "");
    EXPECT_EQ(cellCheck(1), 0);
    EXPECT_EQ(cellMenu(1), 1);
    EXPECT_EQ(WGridQuery(kGrid, 10), 0);  // the selection went with it

    select(g, kC, 2, kInt, 2);
    typed(g, WM_CHAR, 0x18);  // Ctrl+X
    EXPECT_EQ(clipboardText(), "text\t7\r\n");
    EXPECT_EQ(cellString(kC, 2), "");
    EXPECT_EQ(cellString(kInt, 2), "");
    EXPECT_EQ(cellMenu(2), 3);
}

TEST_F(GridOperationsTest, ProtectedCellsGreyTheMenuAndStopKeysAndThePaste)
{
    GridRecord& g = show();
    putText(kB, 2, "kept");
    INTEGER f = kGrid;
    YYGridProtectCell(f, kB - 1, 1, 0);
    current(g, kA, 1);
    select(g, kA, 1, kB, 2);

    const auto states = [&](HWND window) {
        const std::vector<MenuItemState> items = OpenMenu::from(g, window);
        std::string greyed;
        for (const char* text : {"Cu&t", "&Copy", "&Paste", "&Delete"}) {
            const MenuItemState* i = item(items, text);
            greyed += i ? (i->greyed ? "g" : "e") : "-";
        }
        return greyed;
    };
    putClipboard("1\t2\r\n3\t4\r\n");
    EXPECT_EQ(states(g.cellArea), "gegg");  // block with a protected cell: only Copy
    {
        const std::vector<MenuItemState> items = OpenMenu::from(g, g.cellArea);
        ASSERT_NE(item(items, "Cu&t"), nullptr);
        EXPECT_EQ(item(items, "Cu&t")->command, 32122u);
        EXPECT_EQ(item(items, "&Paste")->command, 32124u);
        EXPECT_TRUE(item(items, "Select &All")->greyed);
    }
    typed(g, WM_KEYDOWN, VK_DELETE);
    typed(g, WM_CHAR, 0x18);
    typed(g, WM_CHAR, 0x16);
    {
        HeldKeys shift({VK_SHIFT});
        typed(g, WM_KEYDOWN, VK_INSERT);
    }
    EXPECT_EQ(cellString(kB, 2), "kept");
    EXPECT_EQ(cellString(kA, 1), "");

    // Unprotected, the same block offers everything and the paste goes in.
    YYGridProtectCell(f, kB - 1, 1, 1);
    select(g, kA, 1, kB, 2);
    EXPECT_EQ(states(g.cellArea), "eeee");
    YYGridClearSelection(g.window);
    // Without a block the editor's own commands: nothing selected in an empty text.
    EXPECT_EQ(states(g.editor), "ggeg");
    typed(g, WM_CHAR, 0x16);
    EXPECT_EQ(cellString(kB, 2), "4");

    // A read-only grid greys Paste however the clipboard looks.
    SetWindowLongA(g.window, GWL_STYLE, GetWindowLongA(g.window, GWL_STYLE) | 0x800);
    EXPECT_EQ(YYGridPasteUnprotected(g.window), 0);
}

TEST_F(GridOperationsTest, ABusyClipboardEndsTheCopyWithTheFailureBox)
{
    GridRecord& g = show();
    putText(kA, 1, "x");
    select(g, kA, 1, kA, 1);
    // Another thread holds the clipboard open for longer than the copy keeps trying.
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr), release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ClipboardHolder hold{opened, release};
    HANDLE thread = CreateThread(nullptr, 0, ClipboardHolder::run, &hold, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(opened, 5000), WAIT_OBJECT_0);
    FailureBox::title.clear();
    FailureBox::text.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, FailureBox::tick);
    EXPECT_EQ(YYGridCopy(g.window), 0);
    KillTimer(nullptr, timer);
    SetEvent(release);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    DWORD code = 9;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(thread);
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_EQ(FailureBox::title, "Unable to Copy Data to Clipboard");
    EXPECT_EQ(FailureBox::text,
              "Either the clipboard is in use by another application or there is\r"
              "insufficient memory available for the amount of data being copied");
}

// ---- block events ----

namespace {
// Two selection changes inside one dispatch.
struct TwoChanges {
    static inline HWND grid = nullptr;
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_APP) {
            YYGridSetSelection(grid, 0, 1, 0, 1);
            YYGridSetSelection(grid, 2, 3, 2, 3);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
};
}  // namespace

TEST_F(GridOperationsTest, SelectionAndPasteRaiseBlockEventsWithTheirStyles)
{
    GridRecord& g = show();
    // Without style 0x20 a Shift+click selects without an event.
    current(g, kA, 1);
    const POINT at = [&] {
        const RECT r = YYGridCellInterior(g, 2, 2);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }();
    PostMessageA(g.cellArea, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(at.x, at.y));
    DeliveredEvents quiet = eventsBeforeSentinel();
    ASSERT_TRUE(quiet.complete);
    EXPECT_FALSE(quiet.has(10));
    EXPECT_EQ(WGridQuery(kGrid, 13), 3);

    SetWindowLongA(g.window, GWL_STYLE, GetWindowLongA(g.window, GWL_STYLE) | 0x20 | 0x40);
    YYGridClearSelection(g.window);
    drainEvents();
    PostMessageA(g.cellArea, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(at.x, at.y));
    INTEGER type = 0;
    EventRecord record = nextEvent(type, 3000);
    ASSERT_EQ(type, 10);
    EXPECT_EQ(record[1], kGrid);
    EXPECT_EQ(record[3], 2);
    EXPECT_EQ(record[5], YYGridPackCell(0, 0));
    EXPECT_EQ(record[6], YYGridPackCell(2, 2));

    // The second change of one dispatch is dropped: the program sees the first block.
    TestWindow poster(100, 100, TwoChanges::procedure);
    TwoChanges::grid = g.window;
    drainEvents();
    PostMessageA(poster.handle(), WM_APP, 0, 0);
    DeliveredEvents two = eventsBeforeSentinel();
    ASSERT_TRUE(two.complete);
    ASSERT_EQ(two.of(10).size(), 1u);
    EXPECT_EQ(two.of(10)[0][5], YYGridPackCell(0, 0));
    EXPECT_EQ(two.of(10)[0][6], YYGridPackCell(1, 1));

    // A paste reports value 3 = 1 and the filled area.
    YYGridClearSelection(g.window);
    current(g, kB, 3);
    putClipboard("1\t2\t3\r\n4\r\n");
    PostMessageA(g.editor, WM_CHAR, 0x16, 1);
    DeliveredEvents pasted = eventsBeforeSentinel();
    ASSERT_TRUE(pasted.complete);
    const std::vector<EventRecord> blocks = pasted.of(10);
    ASSERT_FALSE(blocks.empty());
    EXPECT_EQ(blocks.back()[3], 1);
    EXPECT_EQ(blocks.back()[5], YYGridPackCell(1, 2));
    EXPECT_EQ(blocks.back()[6], YYGridPackCell(3, 3));
}

// ---- find ----

TEST_F(GridOperationsTest, FindMatchesTextsAsPaddedFieldsAndStartsWhereAsked)
{
    GridRecord& g = show();
    putText(kA, 1, "xab");
    putText(kA, 2, "ab");
    for (const INTEGER r : {5, 6, 8}) putText(kB, r, "ab");
    WGridPutCellInteger(kGrid, kInt, 3, 42);
    struct Case {
        const char* text;
        INTEGER options;
        INTEGER fromColumn, fromRow;  // the current cell before the search
        LOGICAL found;
        INTEGER column, row;          // the current cell after it
    };
    const Case cases[] = {
        {"ab", 0, 3, 3, kTrue, kA, 1},  {"ab ", 0, 3, 3, kTrue, kA, 1},   {"AB", 2, 3, 3, kTrue, kA, 1},
        {"AB", 0, 3, 3, kFalse, 3, 3},  {"ab", 1, kB, 5, kTrue, kB, 6},   {"ab", 1, kB, 6, kTrue, kB, 8},
        {"ab", 1, kB, 8, kFalse, kB, 8}, {"42", 0, 1, 1, kFalse, 1, 1},   {"42", 4, 1, 1, kTrue, kInt, 3},
        {"ab", 1, 1, 40, kTrue, kB, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + std::to_string(c.options));
        current(g, c.fromColumn, c.fromRow);
        LOGICAL found = 7;
        WGridFind(kGrid, c.text, c.options, &found);
        EXPECT_EQ(found, c.found);
        EXPECT_EQ(WGridQuery(kGrid, 4), c.column);
        EXPECT_EQ(WGridQuery(kGrid, 5), c.row);
    }
    // The column and row bounds limit the search.
    LOGICAL found = 7;
    WGridFind(kGrid, "ab", 0, &found, kB, kB, 7);
    EXPECT_EQ(found, kTrue);
    EXPECT_EQ(WGridQuery(kGrid, 5), 8);
}

// ---- sort ----

TEST_F(GridOperationsTest, SortOrdersNumbersWithEmptyLastAndTextsByCode)
{
    show();
    WGridRows(kGrid, 3);
    struct Case {
        INTEGER column;
        std::vector<std::string> before;
        INTEGER options;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {kInt, {"3", "", "1"}, 0, {"1", "3", ""}},
        {kInt, {"3", "", "1"}, 1, {"3", "1", ""}},
        {kDbl, {"", "-2.5", "1"}, 0, {"-2.5000", "1.0000", ""}},
        {kA, {"b", "", "a"}, 0, {"", "a", "b"}},
        {kA, {"b", "", "a"}, 1, {"b", "a", ""}},
        {kA, {"a", "A", "b"}, 0, {"A", "a", "b"}},
        {kA, {"a", "A", "b"}, 2, {"a", "A", "b"}},  // equal keys keep their places
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column * 100 + c.options);
        for (INTEGER r = 1; r <= 3; ++r) {
            const std::string& v = c.before[static_cast<std::size_t>(r - 1)];
            if (v.empty() && c.column != kA) WGridClearCell(kGrid, c.column, r);
            else if (c.column == kInt) WGridPutCellInteger(kGrid, kInt, r, std::stoi(v));
            else if (c.column == kDbl) WGridPutCellDouble(kGrid, kDbl, r, std::stod(v));
            else putText(c.column, r, v);
        }
        WGridSort(kGrid, c.column, c.options);
        for (INTEGER r = 1; r <= 3; ++r) EXPECT_EQ(cellString(c.column, r), c.after[static_cast<std::size_t>(r - 1)]) << r;
    }
    // A range past the grid is held to its rows; a column outside it is refused.
    WGridSort(kGrid, kInt, 0, -4, 5000);
    EXPECT_EQ(cellString(kInt, 1), "1");
    WGridSort(kGrid, 9, 0);
    EXPECT_EQ(lastError(), 1017);
}

TEST_F(GridOperationsTest, PartitionSortAgreesWithAReferenceSortForEveryKind)
{
    GridRecord& g = show();
    std::mt19937 random(99);
    const INTEGER rows = 37;
    for (const INTEGER column : {kA, kInt, kReal, kDbl, kCheck, kMenu}) {
        for (const INTEGER options : {0, 1, 2}) {
            SCOPED_TRACE(column * 100 + options);
            for (INTEGER r = 1; r <= rows; ++r) {
                const int v = static_cast<int>(random() % 9);
                // Row r's mark in column C says where each row went.
                putText(kC, r, std::to_string(r));
                if (v == 8 && column != kA && column != kCheck && column != kMenu) WGridClearCell(kGrid, column, r);
                else if (column == kA) putText(kA, r, std::string(1, "aAbBc"[v % 5]) + (v > 4 ? "x" : ""));
                else if (column == kInt) WGridPutCellInteger(kGrid, kInt, r, v - 4);
                else if (column == kReal) WGridPutCellReal(kGrid, kReal, r, 0.5f * static_cast<REAL>(v));
                else if (column == kDbl) WGridPutCellDouble(kGrid, kDbl, r, 0.25 * v - 1);
                else if (column == kCheck) WGridPutCellCheckBox(kGrid, kCheck, r, v % 2);
                else WGridPutCellOption(kGrid, kMenu, r, v % 4);
            }
            std::vector<GridSortKey> keys;
            for (INTEGER r = 0; r < rows; ++r) keys.push_back(YYGridSortKey(g, column - 1, r, options));
            const std::vector<GridSortKey> unsorted = keys;
            std::stable_sort(keys.begin(), keys.end(), [&](const GridSortKey& a, const GridSortKey& b) {
                return (options & 1) ? YYGridCompareKeys(b, a) < 0 : YYGridCompareKeys(a, b) < 0;
            });
            WGridSort(kGrid, column, options, 1, rows);
            for (INTEGER r = 0; r < rows; ++r) {
                const GridSortKey key = YYGridSortKey(g, column - 1, r, options);
                EXPECT_EQ(YYGridCompareKeys(key, keys[static_cast<std::size_t>(r)]), 0) << r;
                // The row's other cells came along.
                const INTEGER from = std::stoi(cellString(kC, r + 1)) - 1;
                EXPECT_EQ(YYGridCompareKeys(unsorted[static_cast<std::size_t>(from)], key), 0) << r;
            }
        }
    }
}

// ---- row operations ----

TEST_F(GridOperationsTest, RowLabelsMoveWithTheSortOnlyWhenAsked)
{
    show();
    WGridRows(kGrid, 3);
    for (INTEGER r = 1; r <= 3; ++r) {
        WGridPutCellInteger(kGrid, kInt, r, 4 - r);
        WGridLabelRow(kGrid, r, "row " + std::to_string(r) + "   ");
    }
    WGridSort(kGrid, kInt, 0);
    EXPECT_EQ(rowLabelOf(1), "row 1");
    WGridSort(kGrid, kInt, 1 | 4);
    EXPECT_EQ(cellString(kInt, 1), "3");
    EXPECT_EQ(rowLabelOf(1), "row 3");
    EXPECT_EQ(rowLabelOf(3), "row 1");
    WGridLabelRow(kGrid, 41, "x");
    EXPECT_EQ(lastError(), 1017);
}

TEST_F(GridOperationsTest, DeletingAndInsertingRowsMoveCellsAndEmptyTheRest)
{
    show();
    WGridRows(kGrid, 10);
    for (INTEGER r = 1; r <= 10; ++r) {
        WGridPutCellInteger(kGrid, kInt, r, r);
        WGridPutCellOption(kGrid, kMenu, r, 3);
        WGridLabelRow(kGrid, r, "L" + std::to_string(r));
    }
    // Three rows from row 9 of 10 delete rows 9 and 10 only.
    WGridDeleteRows(kGrid, 9, 3);
    EXPECT_EQ(cellString(kInt, 8), "8");
    EXPECT_EQ(cellString(kInt, 9), "");
    EXPECT_EQ(cellMenu(10), 1);
    EXPECT_EQ(WGridQuery(kGrid, 3), 10);
    WGridDeleteRows(kGrid, 2, 2, 1, 1);
    EXPECT_EQ(cellString(kInt, 2), "4");
    EXPECT_EQ(rowLabelOf(2), "L4");
    EXPECT_EQ(WGridQuery(kGrid, 3), 8);

    // Inserting with growth into a full grid loses the last rows; new menu cells show item 1.
    WGridRows(kGrid, 40);
    for (INTEGER r = 1; r <= 40; ++r) WGridPutCellInteger(kGrid, kInt, r, r);
    WGridInsertRows(kGrid, 1, 2, 1, 1);
    EXPECT_EQ(WGridQuery(kGrid, 3), 40);
    EXPECT_EQ(cellString(kInt, 1), "");
    EXPECT_EQ(cellMenu(1), 1);
    EXPECT_EQ(rowLabelOf(1), "");
    EXPECT_EQ(cellString(kInt, 3), "1");
    EXPECT_EQ(cellString(kInt, 40), "38");

    for (const INTEGER row : {0, 41}) {
        libraryErrorState().LastErrorNumber = 0;
        WGridDeleteRows(kGrid, row);
        EXPECT_EQ(lastError(), 1017);
        libraryErrorState().LastErrorNumber = 0;
        WGridInsertRows(kGrid, row);
        EXPECT_EQ(lastError(), 1017);
    }
    libraryErrorState().LastErrorNumber = 0;
    WGridDeleteRows(7799, 1);
    EXPECT_EQ(lastError(), 1006);
}

TEST_F(GridOperationsTest, SwappedRowsKeepProtectedTextsInPlaceAndTheEditorWithItsRow)
{
    GridRecord& g = show();
    putText(kA, 1, "one");
    putText(kA, 2, "two");
    WGridPutCellInteger(kGrid, kInt, 1, 11);
    WGridPutCellInteger(kGrid, kInt, 2, 22);
    INTEGER f = kGrid;
    YYGridProtectCell(f, kA - 1, 0, 0);
    YYGridProtectCell(f, kInt - 1, 0, 0);
    INTEGER same = kGrid;
    YYGridSwapRows(same, 1, 1, 0);
    EXPECT_EQ(cellString(kA, 2), "two");
    EXPECT_EQ(cellString(kInt, 2), "22");

    // The text being edited goes with its row.
    current(g, kA, 2);
    SetWindowTextA(g.editor, "edited");
    SendMessageA(g.editor, EM_SETMODIFY, TRUE, 0);
    f = kGrid;
    YYGridSwapRows(f, 0, 1, 0);
    EXPECT_EQ(cellString(kA, 1), "edited");
    EXPECT_EQ(windowText(g.editor), "one");
    EXPECT_EQ(cellString(kInt, 1), "22");
    // Protection of texts stays in place; of numbers it moves with the value.
    EXPECT_NE(g.column(kA - 1)->flags[0] & kCellProtected, 0);
    EXPECT_EQ(g.column(kInt - 1)->flags[0] & kCellProtected, 0);
    EXPECT_NE(g.column(kInt - 1)->flags[1] & kCellProtected, 0);
    EXPECT_EQ(WGridQuery(kGrid, 7), 1);
}

// ---- files ----

TEST_F(GridOperationsTest, ASavedGridLoadsBackWithEveryKindAndItsLabels)
{
    GridRecord& g = show();
    WGridRows(kGrid, 4);
    WGridLabelColumn(kGrid, 0, "corner");
    WGridLabelColumn(kGrid, kA, "Name, \"quoted\"");
    const std::vector<std::vector<std::string>> rows = {
        {"plain", "with \"quote\"", "a,b", "-7", "1.25", "3.1416", "1", "2"},
        {"", " lead", "x", "", "", "", "0", "0"},
        {"ab\"c", "z", "", "100", "-0.50", "-1.0000", "1", "3"},
    };
    for (INTEGER r = 1; r <= 3; ++r) {
        const auto& v = rows[static_cast<std::size_t>(r - 1)];
        for (INTEGER c = kA; c <= kC; ++c) putText(c, r, v[static_cast<std::size_t>(c - 1)]);
        if (!v[3].empty()) WGridPutCellInteger(kGrid, kInt, r, std::stoi(v[3]));
        if (!v[4].empty()) WGridPutCellReal(kGrid, kReal, r, std::stof(v[4]));
        if (!v[5].empty()) WGridPutCellDouble(kGrid, kDbl, r, std::stod(v[5]) + 0.00001);  // shown to 4 places
        WGridPutCellCheckBox(kGrid, kCheck, r, std::stoi(v[6]));
        WGridPutCellOption(kGrid, kMenu, r, std::stoi(v[7]));
        WGridLabelRow(kGrid, r, "row " + std::to_string(r));
    }
    const std::string file = path("grid.csv");
    WGridSave(kGrid, file, {}, {}, {}, {}, 2);
    ASSERT_EQ(lastError(), 0);
    EXPECT_EQ(readFile(file).rfind("\"corner\",\"Name, \"\"quoted\"\"\",\"B\",\"C\",\"Int\",\"Real\",", 0), 0u);

    INTEGER f = kGrid;
    YYGridClearAll(g.window, false);
    WGridLabelColumn(kGrid, kA, "gone");
    WGridLoad(kGrid, file, 0, 2);
    EXPECT_EQ(lastError(), 0);
    std::string label;
    f = kGrid;
    YYGridGetColumnLabel(f, kA, label);
    EXPECT_EQ(label, "Name, \"quoted\"");
    for (INTEGER r = 1; r <= 3; ++r) {
        SCOPED_TRACE(r);
        const auto& v = rows[static_cast<std::size_t>(r - 1)];
        for (INTEGER c = kA; c <= kDbl; ++c) EXPECT_EQ(cellString(c, r), v[static_cast<std::size_t>(c - 1)]) << c;
        EXPECT_EQ(cellCheck(r), std::stoi(v[6]));
        EXPECT_EQ(cellMenu(r), std::stoi(v[7]));
        EXPECT_EQ(rowLabelOf(r), "row " + std::to_string(r));
    }
    // The fourth row was saved as a new grid shows it: empty, with the menu's first option.
    EXPECT_EQ(cellString(kInt, 4), "");
    EXPECT_EQ(cellMenu(4), 1);
}

TEST_F(GridOperationsTest, QuotingIsWrittenByteForByte)
{
    show();
    putText(kA, 1, "ab");
    putText(kB, 1, "say \"hi\"");
    const std::string file = path("quoted.csv");
    WGridSave(kGrid, file, kA, kB, 1, 1);
    EXPECT_EQ(readFile(file), "\"ab\",\"say \"\"hi\"\"\"\r\n");
    WGridSave(kGrid, file, kA, kB, 1, 1, 1);
    EXPECT_EQ(readFile(file), "ab,say \"hi\"\r\n");
    // Numbers are never quoted, check boxes are Yes and No, an empty menu is an empty field.
    WGridPutCellInteger(kGrid, kInt, 1, 5);
    WGridPutCellOption(kGrid, kMenu, 2, 0);
    WGridSave(kGrid, file, kC, kMenu, 1, 2);
    EXPECT_EQ(readFile(file), "\"\",5,,,No,\"Low\"\r\n\"\",,,,No,\r\n");
    // An empty range writes nothing.
    WGridSave(kGrid, file, 3, 2);
    EXPECT_EQ(readFile(file), "");
}

TEST_F(GridOperationsTest, LoadingChecksEveryFieldAgainstItsColumn)
{
    show();
    WGridRows(kGrid, 3);
    const std::string file = path("load.csv");
    struct Case {
        const char* bytes;
        INTEGER error;
        std::vector<std::string> firstRow;  // A, Int, check, menu
        std::string secondA;
    };
    const Case cases[] = {
        {"a,,,1,,,yes,mid\r\nb\r\n", 0, {"a", "1", "1", "2"}, "b"},
        {"a,,,1,,,Y,low\nlast", 0, {"a", "1", "0", "1"}, "last"},        // the last line without a line feed
        {"ab\"c,,,x\r\n", 1, {"ab\"c", "", "0", "0"}, ""},               // a quote inside stays; x is no integer
        {"a,,,500\r\n", 1009, {"a", "", "0", "0"}, ""},                  // outside the column's range
        {"a,,,,,,,none\r\n", 1055, {"a", "", "0", "0"}, ""},
        {"a,,,,,,,,surplus\r\nb\r\n", 1054, {"a", "", "0", "0"}, "b"},
        {"1\n2\n3\n4\n5\n", 1054, {"1", "", "0", "0"}, "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        for (INTEGER r = 1; r <= 3; ++r) putText(kA, r, "old");
        writeFile(file, c.bytes);
        libraryErrorState().LastErrorNumber = 0;
        WGridLoad(kGrid, file);
        if (c.error == 1) EXPECT_NE(lastError(), 0);
        else EXPECT_EQ(lastError(), c.error);
        EXPECT_EQ(cellString(kA, 1), c.firstRow[0]);
        EXPECT_EQ(cellString(kInt, 1), c.firstRow[1]);
        EXPECT_EQ(std::to_string(cellCheck(1)), c.firstRow[2]);
        EXPECT_EQ(std::to_string(cellMenu(1)), c.firstRow[3]);
        EXPECT_EQ(cellString(kA, 2), c.secondA);
        EXPECT_EQ(cellString(kA, 3), c.bytes[0] == '1' ? "3" : "");  // a short file empties the rest
        EXPECT_EQ(WGridQuery(kGrid, 3), 3);
    }
    // With growth the grid gains the rows the file has.
    writeFile(file, "1\n2\n3\n4\n5\n");
    libraryErrorState().LastErrorNumber = 0;
    WGridLoad(kGrid, file, 1);
    EXPECT_EQ(lastError(), 0);
    EXPECT_EQ(WGridQuery(kGrid, 3), 5);
    EXPECT_EQ(cellString(kA, 5), "5");
}

TEST_F(GridOperationsTest, AFailedLoadOrSaveLeavesGridAndFileAsTheyWere)
{
    show();
    putText(kA, 1, "kept");
    // A field longer than the read buffer ends the load before any cell changes.
    const std::string file = path("long.csv");
    writeFile(file, "new\r\n" + std::string(70000, 'x') + "\r\n");
    libraryErrorState().LastErrorNumber = 0;
    WGridLoad(kGrid, file);
    EXPECT_EQ(lastError(), 2);
    EXPECT_EQ(cellString(kA, 1), "kept");
    libraryErrorState().LastErrorNumber = 0;
    WGridLoad(kGrid, path("missing.csv"));
    EXPECT_EQ(lastError(), 1);
    EXPECT_EQ(cellString(kA, 1), "kept");

    // A read-only target stays byte for byte; nothing is left beside it.
    const std::string target = path("locked.csv");
    writeFile(target, "old contents\r\n");
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    for (const bool html : {false, true}) {
        libraryErrorState().LastErrorNumber = 0;
        if (html) WGridSaveHTML(kGrid, target);
        else WGridSave(kGrid, target);
        EXPECT_NE(lastError(), 0);
        EXPECT_EQ(readFile(target), "old contents\r\n");
    }
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_)) ++files;
    EXPECT_EQ(files, 2u);
    // A save over a writable file replaces it.
    WGridSave(kGrid, target, 1, 1, 1, 1);
    EXPECT_EQ(readFile(target), "\"kept\"\r\n");
    // Without a dialog, or for a field that is no grid, nothing is written.
    libraryErrorState().LastErrorNumber = 0;
    WGridSave(7702, path("none.csv"));
    EXPECT_EQ(lastError(), 1006);
    EXPECT_FALSE(fs::exists(folder_ / "none.csv"));
}

// Both saves failed at their write, flush and replace (the work files' fault hook stands in for
// the system): one report each, the old file byte for byte and nothing left beside it.
TEST_F(GridOperationsTest, EveryFailedStepOfASaveKeepsTheOldFile)
{
    show();
    putText(kA, 1, "new");
    const std::string target = path("kept.csv");
    for (const bool html : {false, true})
        for (const WorkFileStep step : {WorkFileStep::Create, WorkFileStep::Write, WorkFileStep::Flush, WorkFileStep::Replace}) {
            SCOPED_TRACE(::testing::Message() << html << " " << static_cast<int>(step));
            writeFile(target, "old contents\r\n");
            libraryErrorState().LastErrorNumber = 0;
            {
                const WorkFileFault fault(step, 0, YYWorkFileDiskFullCode(), 5);
                if (html) WGridSaveHTML(kGrid, target);
                else WGridSave(kGrid, target);
                EXPECT_TRUE(WorkFileFault::struck());
            }
            EXPECT_EQ(lastError(), step == WorkFileStep::Create ? 1 : 2);
            EXPECT_EQ(readFile(target), "old contents\r\n");
            EXPECT_EQ(folderNames(folder_), std::set<std::string>{"kept.csv"});
        }
}

// Memory that runs out while a file's fields are gathered, or a save's text is made, is the
// routine's file error, with the system's words for it; no exception leaves the routine, the grid
// and the old file stay as they were, and a save tells the user.
TEST_F(GridOperationsTest, MemoryRunningOutIsTheRoutinesFileError)
{
    show();
    WGridRows(kGrid, 40);
    for (INTEGER r = 1; r <= 40; ++r) putText(kA, r, "kept " + std::to_string(r));
    std::string wide;
    for (int line = 0; line < 40; ++line)
        for (int k = 0; k < 8; ++k) wide += std::string(1000, 'w') + (k == 7 ? "\r\n" : ",");
    writeFile(path("wide.csv"), wide);
    libraryErrorState().LastErrorNumber = 0;
    {
        const HeapLimit limit(200 * 1024);  // the file's fields take 320 KB
        WGridLoad(kGrid, path("wide.csv"));
    }
    EXPECT_EQ(lastError(), 2);
    EXPECT_EQ(libraryErrorState().FileDetailCode, static_cast<INTEGER>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(cellString(kA, 1), "kept 1");
    EXPECT_EQ(cellString(kA, 40), "kept 40");

    static std::vector<std::string> told;
    const auto savedTell = errorReportHooks().userFileFailure;
    errorReportHooks().userFileFailure = [](std::string_view file, std::string_view) { told.emplace_back(file); };
    const std::string target = path("kept.csv");
    for (const bool html : {false, true}) {
        SCOPED_TRACE(html);
        writeFile(target, "old contents\r\n");
        told.clear();
        libraryErrorState().LastErrorNumber = 0;
        {
            const HeapLimit limit(2 * 1024);  // the grid's text is several times this
            if (html) WGridSaveHTML(kGrid, target);
            else WGridSave(kGrid, target);
        }
        EXPECT_EQ(lastError(), 2);
        EXPECT_EQ(readFile(target), "old contents\r\n");
        EXPECT_EQ(folderNames(folder_), (std::set<std::string>{"kept.csv", "wide.csv"}));
        EXPECT_EQ(told, std::vector<std::string>{target});
    }
    errorReportHooks().userFileFailure = savedTell;
}

TEST_F(GridOperationsTest, HtmlTablesMatchTheGoldenFileAndTheirOptions)
{
    show();
    WGridRows(kGrid, 2);
    putText(kA, 1, "<b> & \"q\"");
    WGridPutCellInteger(kGrid, kInt, 1, 42);
    WGridPutCellDouble(kGrid, kDbl, 2, 2.5);
    WGridPutCellCheckBox(kGrid, kCheck, 1, 1);
    WGridPutCellOption(kGrid, kMenu, 1, 2);
    WGridPutCellOption(kGrid, kMenu, 2, 0);
    WGridColourCell(kGrid, kA, 1, 0x0000FF, 0x00FFFF);
    WGridColourCell(kGrid, kInt, 2, {}, 0x808000);
    WGridLabelRow(kGrid, 1, "R<1>");
    const std::string file = path("table.html");
    WGridSaveHTML(kGrid, file, {}, {}, {}, {}, 2, "Model  ", 1, 0xE0F0FF);
    ASSERT_EQ(lastError(), 0);
    const std::string golden = readFile(fs::path(QV_SOURCE_DIR) / "tests/toolkit/dialogs/golden/GridTable.html");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(readFile(file), golden);

    // Table only: after the heading the table, and nothing after it; letters for checks; no colours.
    WGridSaveHTML(kGrid, file, kCheck, kCheck, 1, 2, 1 | 4 | 8, "T", 0);
    EXPECT_EQ(readFile(file),
              "<h2>T</h2>\r\n<table border=0 cellpadding=5>\r\n<tr>\r\n<td></td>\r\n<td align=center>\r\nOn\r\n</td>\r\n</tr>\r\n"
              "<tr>\r\n<td align=left>\r\nR&lt;1&gt;\r\n</td>\r\n<td align=center>\r\nY\r\n</td>\r\n</tr>\r\n"
              "<tr>\r\n<td align=left>\r\nsecond\r\n</td>\r\n<td align=center>\r\nN\r\n</td>\r\n</tr>\r\n</table>\r\n");
}

// ---- the editor in an open list, text colours and the check box in the block ----

TEST_F(GridOperationsTest, DownInAnOpenMenuListMovesInTheListNotToTheNextRow)
{
    GridRecord& g = show();
    WGridPutCellOption(kGrid, kMenu, 1, 1);
    current(g, kMenu, 1);
    SendMessageA(g.editor, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(waitUntil([&] { return SendMessageA(g.editor, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
    typed(g, WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(WGridQuery(kGrid, 5), 1);
    EXPECT_EQ(SendMessageA(g.editor, CB_GETCURSEL, 0, 0), 1);
    SendMessageA(g.editor, CB_SHOWDROPDOWN, FALSE, 0);
    typed(g, WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(WGridQuery(kGrid, 5), 2);
}

TEST_F(GridOperationsTest, CellTextTakesItsColourAndACheckBoxEditorInTheBlockIsHighlighted)
{
    GridRecord& g = show();
    putText(kA, 2, "MMMMMMMM");
    WGridColourCell(kGrid, kA, 2, 0x0000FF);  // red text
    current(g, kB, 1);
    RedrawWindow(g.cellArea, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    const RECT cell = YYGridCellInterior(g, kA - 1, 1);
    const auto redInk = [&] {
        GdiFlush();
        for (int x = cell.left; x < cell.right; ++x)
            for (int y = cell.top; y < cell.bottom; ++y) {
                const COLORREF p = clientPixel(g.cellArea, x, y);
                if (GetRValue(p) > 180 && GetGValue(p) < 80 && GetBValue(p) < 80) return true;
            }
        return false;
    };
    EXPECT_TRUE(waitUntil(redInk, 3000ms));

    // The check-box editor inside the selected block shows the highlight like the cells beside it.
    current(g, kCheck, 2);
    select(g, kInt, 1, kMenu, 3);
    RedrawWindow(g.editor, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    RECT client{};
    GetClientRect(g.editor, &client);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_TRUE(waitUntil([&] {
        GdiFlush();
        return clientPixel(g.editor, client.right - 3, client.bottom / 2) == highlight;
    }, 3000ms)) << std::hex << clientPixel(g.editor, client.right - 3, client.bottom / 2);
    // Outside the block it is painted as a plain check box again.
    YYGridClearSelection(g.window);
    RedrawWindow(g.editor, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    EXPECT_TRUE(waitUntil([&] {
        GdiFlush();
        return clientPixel(g.editor, client.right - 3, client.bottom / 2) != highlight;
    }, 3000ms));
}
