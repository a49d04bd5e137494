// The grid control in real dialogs under Wine: set-up from [Grids] lines and template dialogs,
// geometry from measured metrics, the public grid routines per cell kind with their errors, the
// cell editor moved by posted mouse presses and keys and filled by keys typed through the input
// queue, painted cells read back as pixels, and grids in modal and resizable dialogs.
#include <gtest/gtest.h>

#include "toolkit/foundation/CommonControls.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/KeyStrokes.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/DialogChoiceFields.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridCellEditor.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridPainting.h"
#include "toolkit/dialogs/GridSelection.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowServices.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

constexpr INTEGER kModel = 7601, kKinds = 7611, kLabelsOff = 7621, kNoTemplate = 7631, kShortTemplate = 7641,
                  kNarrow = 7651, kMany = 7671, kStretch = 7681;

INTEGER lastError() { return libraryErrorState().LastErrorNumber; }

class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowOpen(39, 40, 40, 400, 300);
        WEventEnable(10, 1);
        cursorState().BeepSwitch = 1;
        libraryErrorState().LastErrorNumber = 0;
    }
    void TearDown() override
    {
        EXPECT_EQ(unloadAllDialogs(), 0);
        closeAllWindows();
        EXPECT_EQ(dialogManagerState().liveFieldRecords, 0);
        EXPECT_EQ(gridState().liveGridRecords, 0);
    }
    // Loads a dialog and returns the record of its grid (null when the grid is gone).
    GridRecord* load(INTEGER dialog, INTEGER grid)
    {
        WDialogLoad(dialog);
        return YYGridRecordOf(GetDlgItem(YYCurrentDialog(), grid));
    }
    GridRecord* show(INTEGER dialog, INTEGER grid)
    {
        GridRecord* g = load(dialog, grid);
        WDialogShow(-1, -1, 0, 2);
        SetForegroundWindow(YYCurrentDialog());
        if (g) {
            SetFocus(g->window);
            waitUntil([&] { return g->editor && GetFocus() == g->editor; });
        }
        drainEvents();
        return g;
    }
    static std::string header(GridRecord& g, INTEGER item)
    {
        INTEGER f = GetDlgCtrlID(g.window);
        std::string text;
        YYGridGetColumnLabel(f, item, text);
        return text;
    }
    Watchdog watchdog_{std::chrono::milliseconds(120000)};
};

POINT centreOf(const GridRecord& g, INTEGER column, INTEGER row)
{
    const RECT r = YYGridCellInterior(g, column, row);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A posted click on a cell: the press goes to the cell area, the release to the editor that
// took the press (it holds the capture in real use).
void click(GridRecord& g, INTEGER column, INTEGER row, WPARAM keys = 0)
{
    const POINT p = centreOf(g, column, row);
    PostMessageA(g.cellArea, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(p.x, p.y));
    pumpPending();
    if (g.editor) {
        POINT inside = p;
        MapWindowPoints(g.cellArea, g.editor, &inside, 1);
        PostMessageA(g.editor, WM_LBUTTONUP, keys, MAKELPARAM(inside.x, inside.y));
    }
    pumpPending();
    ReleaseCapture();
}

void pressKey(GridRecord& g, WPARAM key)
{
    HWND target = g.editor ? g.editor : g.window;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
    drainEvents();
}

// Key strokes through the system's input queue, as a user types them (KeyStrokes), taken through
// the toolkit's poll (where the dialog manager sees them first) until none is left; returns the
// types of the events the poll delivered meanwhile.
std::vector<INTEGER> typeKeys(std::string_view keys)
{
    std::string unknown;
    std::vector<INPUT> inputs = KeyStrokes::strokes(keys, unknown);
    EXPECT_EQ(unknown, "");
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    std::vector<INTEGER> delivered;
    const auto take = [&] {
        INTEGER type = 0;
        EventRecord record{};
        for (int i = 0; i < 100; ++i) {
            WEventPeek(type, record);
            if (type == -1) return;
            delivered.push_back(type);
        }
    };
    // Posted messages come before input: the sentinel follows the keys only once none is queued.
    // (Only the toolkit's poll may take the keys: a plain pump would pass them by the dialog manager.)
    const DWORD end = GetTickCount() + 5000;
    for (;;) {
        take();
        if (HIWORD(GetQueueStatus(QS_KEY)) == 0) break;
        if (static_cast<LONG>(end - GetTickCount()) <= 0) {
            ADD_FAILURE() << "keys still queued: " << keys;
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    const DeliveredEvents rest = eventsBeforeSentinel();
    EXPECT_TRUE(rest.complete);
    delivered.insert(delivered.end(), rest.types.begin(), rest.types.end());
    return delivered;
}

// A cell's text as the grid shows it, without its blanks.
std::string cellText(INTEGER grid, INTEGER column, INTEGER row)
{
    std::string text(20, ' ');
    WGridGetCellString(grid, column, row, text);
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

}  // namespace

// ---- set-up ----

TEST_F(GridTest, ModelGridIsBuiltFromItsTemplate)
{
    GridRecord* g = load(7600, kModel);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(WGridQuery(kModel, 1), 4);
    EXPECT_EQ(WGridQuery(kModel, 2), 1000);
    EXPECT_EQ(WGridQuery(kModel, 3), 1000);
    EXPECT_EQ(WGridQuery(kModel, 102), 4);
    const char* titles[] = {"", "#", "Rho", "Thick", "Depth"};
    for (INTEGER item = 0; item <= 4; ++item) EXPECT_EQ(header(*g, item), titles[item]) << item;
    const INTEGER kinds[] = {kFieldInteger, kFieldReal, kFieldReal, kFieldReal};
    for (INTEGER c = 0; c < 4; ++c) {
        SCOPED_TRACE(c);
        INTEGER f = kModel, kind = 0;
        YYGridColumnKind(f, c, kind);
        EXPECT_EQ(kind, kinds[c]);
        std::string format;
        YYGridColumnFormat(f, c, format);
        EXPECT_EQ(format, c == 0 ? "(G15.5E2)" : "(F8.3)");
        EXPECT_EQ((g->column(c)->flags[999] & kCellProtected) != 0, c == 0);
    }
}

TEST_F(GridTest, TemplatesGiveKindsOptionsLabelsAndWidths)
{
    GridRecord* g = load(7610, kKinds);
    ASSERT_NE(g, nullptr);
    const INTEGER kinds[] = {kFieldString, kFieldDouble, kFieldCheckBox, kFieldMenu, kFieldInteger};
    for (INTEGER c = 0; c < 5; ++c) EXPECT_EQ(WInfoGridCell(kKinds, c + 1, 1, 2), kinds[c]) << c;
    INTEGER f = kKinds, length = 0;
    YYGridTextLength(f, 0, length);
    EXPECT_EQ(length, 1025);  // a template edit without a length holds 1,024 characters
    // The first item of a template's list is not an option.
    EXPECT_EQ(SendMessageA(g->column(3)->prototype, CB_GETCOUNT, 0, 0), 2);
    std::string item;
    YYGridGetMenuItem(f, 3, 1, item);
    EXPECT_EQ(item, "B");
    YYGridGetMenuItem(f, 3, 2, item);
    EXPECT_EQ(item, "C");
    struct Label {
        INTEGER row;
        const char* text;
    };
    for (const Label l : {Label{0, "first"}, Label{1, "second"}, Label{2, ""}, Label{5, ""}}) {
        std::string label;
        YYGridGetRowLabel(f, l.row, label);
        EXPECT_EQ(label, l.text) << l.row;
    }
    ASSERT_FALSE(g->labelHeaders.empty());
    char shown[64] = {};
    HDITEMA headerItem{};
    headerItem.mask = HDI_TEXT;
    headerItem.pszText = shown;
    headerItem.cchTextMax = sizeof shown;
    SendMessageA(g->labelHeaders[1], HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&headerItem));
    EXPECT_STREQ(shown, "second");
    EXPECT_GT(g->labelWidth, 0);

    GridRecord* empty = load(7620, kLabelsOff);
    ASSERT_NE(empty, nullptr);
    f = kLabelsOff;
    std::string label = "x";
    YYGridGetRowLabel(f, 0, label);
    EXPECT_EQ(label, "");  // with 0x80 no label line is taken
    EXPECT_EQ(empty->rows, 4);

    GridRecord* narrow = load(7650, kNarrow);
    ASSERT_NE(narrow, nullptr);
    RECT area{};
    GetClientRect(narrow->cellArea, &area);
    EXPECT_EQ(narrow->column(0)->width, area.right);  // cut to the cell area
    EXPECT_LT(narrow->column(1)->width, area.right);
}

TEST_F(GridTest, ABadTemplateDestroysTheGridAndLaterCallsReport1006)
{
    struct Case {
        INTEGER dialog, grid;
    };
    for (const Case c : {Case{7630, kNoTemplate}, Case{7640, kShortTemplate}}) {
        SCOPED_TRACE(c.dialog);
        EXPECT_EQ(load(c.dialog, c.grid), nullptr);
        EXPECT_EQ(GetDlgItem(YYCurrentDialog(), c.grid), nullptr);
        libraryErrorState().LastErrorNumber = 0;
        WGridRows(c.grid, 5);
        EXPECT_EQ(lastError(), 1006);
        libraryErrorState().LastErrorNumber = 0;
        WGridPutCellInteger(c.grid, 1, 1, 3);
        EXPECT_EQ(lastError(), 1006);
    }
}

// ---- geometry ----

TEST_F(GridTest, GridHeightFollowsMeasuredRowsAndSnaps)
{
    WDialogLoad(7600);
    HWND dialog = YYCurrentDialog();
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    const INTEGER rowHeight = YYGridMeasureRowHeight(dialog, font);
    struct Case {
        LONG style;
        INTEGER visible;
        bool snapped;
    };
    for (const Case c : {Case{0x200, 9, true}, Case{0, 10, true}, Case{0x300, 9, false}}) {
        SCOPED_TRACE(c.style);
        // A design 10 rows high (plus half a row that the snap takes off again).
        RECT want{0, 0, 150, 10 * (rowHeight - 1) + 1 + rowHeight / 2};
        AdjustWindowRectEx(&want, WS_CHILD | WS_BORDER, FALSE, 0);
        HWND grid = CreateWindowExA(0, "DOVEGRID", "", WS_CHILD | WS_BORDER | c.style, 0, 0, want.right - want.left,
                                    want.bottom - want.top, dialog, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(grid, nullptr);
        GridRecord* g = YYGridRecordOf(grid);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->rowHeight, rowHeight);
        EXPECT_EQ(g->visibleRows, c.visible);
        RECT client{};
        GetClientRect(grid, &client);
        const INTEGER snappedHeight = 10 * (rowHeight - 1) + 1 + ((c.style & 0x200) ? 2 : 0);
        if (c.snapped) EXPECT_EQ(client.bottom, snappedHeight);
        else EXPECT_EQ(client.bottom, 10 * (rowHeight - 1) + 1 + rowHeight / 2);
        DestroyWindow(grid);
    }
}

TEST_F(GridTest, ManyRowsScrollInUnitsAndTheWheelCountsNotches)
{
    GridRecord* g = show(7670, kMany);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->scrollScale, 2);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    GetScrollInfo(g->window, SB_VERT, &info);
    EXPECT_EQ(info.nMax, 70000 / 2 - 1);
    // A thumb track lands on a multiple of the unit.
    g->pendingRow = 0;
    SendMessageA(g->window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
    SendMessageA(g->window, WM_VSCROLL, SB_PAGEDOWN, 0);
    SendMessageA(g->window, WM_VSCROLL, SB_PAGEDOWN, 0);
    const INTEGER start = g->firstRow;
    EXPECT_EQ(start, 2 * g->visibleRows);
    struct Case {
        std::vector<short> deltas;
        INTEGER moved;
    };
    for (const Case& c : {Case{{240}, -2}, Case{{60, 60}, -1}, Case{{-120}, 1}}) {
        const INTEGER before = g->firstRow;
        for (short d : c.deltas) SendMessageA(g->window, WM_MOUSEWHEEL, MAKEWPARAM(0, d), 0);
        EXPECT_EQ(g->firstRow - before, c.moved);
    }
    // The current row follows the scroll into the visible rows.
    EXPECT_GE(g->currentRow, g->firstRow);
    EXPECT_LT(g->currentRow, g->firstRow + g->visibleRows);
}

// ---- public routines ----

TEST_F(GridTest, RowCountStaysWithinTheCapacity)
{
    ASSERT_NE(load(7600, kModel), nullptr);
    struct Case {
        INTEGER rows, error, after;
    };
    for (const Case c : {Case{20, 0, 20}, Case{1200, 1018, 1000}, Case{0, 1018, 1000}, Case{-3, 1018, 1000}, Case{1, 0, 1}}) {
        SCOPED_TRACE(c.rows);
        libraryErrorState().LastErrorNumber = 0;
        WGridRows(kModel, c.rows);
        EXPECT_EQ(lastError(), c.error);
        EXPECT_EQ(WGridQuery(kModel, 3), c.after);
    }
}

TEST_F(GridTest, NumberCellsPutAndGetWithTheirErrors)
{
    ASSERT_NE(load(7600, kModel), nullptr);
    WGridRows(kModel, 20);
    WGridPutReal(kModel, 2, {1.5f, 2.5f, 3.5f, 4.5f, 5.5f}, 5);
    REAL real = 0.0f;
    WGridGetCellReal(kModel, 2, 5, real);
    EXPECT_EQ(real, 5.5f);
    libraryErrorState().LastErrorNumber = 0;
    WGridGetCellReal(kModel, 2, 6, real);
    EXPECT_EQ(lastError(), 1010);
    EXPECT_EQ(real, -999.0f);

    WGridPutCellDouble(kModel, 3, 1, -2.7);
    INTEGER integer = 0;
    WGridGetCellInteger(kModel, 3, 1, integer);
    EXPECT_EQ(integer, -2);

    struct Put {
        const char* what;
        INTEGER column, row;
        DOUBLE value;
        INTEGER error;
        bool stored;
    };
    const Put puts[] = {
        {"integer in range", 1, 2, 7, 0, true},
        {"too large for an integer cell", 1, 3, 1e10, 1009, false},
        {"row past the count", 2, 21, 1.0, 1017, false},
        {"column past the grid", 5, 1, 1.0, 1017, false},
    };
    for (const Put& p : puts) {
        SCOPED_TRACE(p.what);
        libraryErrorState().LastErrorNumber = 0;
        WGridPutCellDouble(kModel, p.column, p.row, p.value);
        EXPECT_EQ(lastError(), p.error);
        if (p.column <= 4 && p.row <= 20) {
            DOUBLE back = 0.0;
            WGridGetCellDouble(kModel, p.column, p.row, back);
            EXPECT_EQ(back == p.value, p.stored);
        }
    }
    // WGridPutInteger stores the rows that exist and says that it dropped the others.
    std::vector<INTEGER> many(1000);
    for (INTEGER i = 0; i < 1000; ++i) many[static_cast<std::size_t>(i)] = i + 1;
    WGridRows(kModel, 10);
    libraryErrorState().LastErrorNumber = 0;
    WGridPutInteger(kModel, 1, many, 1000);
    EXPECT_EQ(lastError(), 1018);
    WGridGetCellInteger(kModel, 1, 10, integer);
    EXPECT_EQ(integer, 10);
    GridRecord* g = YYGridRecordOf(GetDlgItem(YYCurrentDialog(), kModel));
    EXPECT_EQ(g->column(0)->flags[500] & kCellValuePresent, 0);

    // A format put on one cell is the whole column's.
    WGridPutCellReal(kModel, 4, 1, 1.0f, "(F8.1)");
    std::string text(10, ' ');
    WGridPutCellReal(kModel, 4, 2, 2.25f);
    WGridGetCellString(kModel, 4, 2, text);
    EXPECT_EQ(text, "2.3       ");
    // A number too wide for its format keeps its value and shows a form that fits.
    WGridPutCellReal(kModel, 2, 1, 12345.678f);
    WGridGetCellString(kModel, 2, 1, text);
    EXPECT_EQ(text.find('*'), std::string::npos) << text;
    WGridGetCellReal(kModel, 2, 1, real);
    EXPECT_EQ(real, 12345.678f);
}

TEST_F(GridTest, ChoiceAndTextCellsAnswerByKind)
{
    ASSERT_NE(load(7610, kKinds), nullptr);
    WGridPutCellCheckBox(kKinds, 3, 2, 1);
    WGridPutCellOption(kKinds, 4, 2, 2);
    struct Case {
        const char* what;
        std::function<void()> call;
        INTEGER error;
    };
    std::string text(8, ' ');
    INTEGER value = 0;
    const Case cases[] = {
        {"string of a check box", [&] { WGridGetCellString(kKinds, 3, 2, text); }, 1017},
        {"clear of a menu cell", [&] { WGridClearCell(kKinds, 4, 2); }, 1017},
        {"check box of a text column", [&] { WGridPutCellCheckBox(kKinds, 1, 2, 1); }, 1017},
        {"option of a row past the count", [&] { WGridPutCellOption(kKinds, 4, 7, 1); }, 1017},
        {"label past the last column", [&] { WGridLabelColumn(kKinds, 6, "x"); }, 1017},
        {"label of the corner", [&] { WGridLabelColumn(kKinds, 0, "Row  "); }, 0},
        {"integer above its range", [&] { WGridPutCellInteger(kKinds, 5, 1, 101); }, 1009},
        {"no such grid", [&] { WGridGetCellMenu(9999, 4, 1, value); }, 1006},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        libraryErrorState().LastErrorNumber = 0;
        c.call();
        EXPECT_EQ(lastError(), c.error);
    }
    WGridGetCellMenu(kKinds, 4, 2, value);
    EXPECT_EQ(value, 2);  // the refused clear left the option
    EXPECT_EQ(WInfoGridCell(kKinds, 3, 2, 1), 1);
    EXPECT_EQ(WInfoGridCell(kKinds, 3, 3, 1), 0);
    GridRecord* g = YYGridRecordOf(GetDlgItem(YYCurrentDialog(), kKinds));
    EXPECT_EQ(header(*g, 0), "Row");

    INTEGER f = kKinds;
    YYGridPutText(f, 0, 1, 0.0, "hello", "");
    WGridGetCellString(kKinds, 1, 2, text);
    EXPECT_EQ(text, "hello   ");
    DOUBLE number = 0.0;
    YYGridPutText(f, 0, 2, 0.0, " 4,5", "");
    WGridGetCellDouble(kKinds, 1, 3, number);
    EXPECT_EQ(number, 4.5);  // a text cell reads as a number too

    // Colours: -1 returns to the column's default, an absent colour stays.
    WGridColourCell(kKinds, 2, 1, 0x0000FF, 0x00FF00);
    WGridColourCell(kKinds, 2, 1, -1);
    INTEGER tr, tg, tb, br, bg, bb;
    YYGridGetCellColours(f, 1, 0, tr, tg, tb, br, bg, bb);
    EXPECT_EQ(tr, -1);
    EXPECT_EQ(bg, 255);
}

TEST_F(GridTest, CallsWithoutADialogReport1005)
{
    libraryErrorState().LastErrorNumber = 0;
    INTEGER value = 5;
    WGridGetCellInteger(kModel, 1, 1, value);
    EXPECT_EQ(lastError(), 1005);
    EXPECT_EQ(value, 5);
    libraryErrorState().LastErrorNumber = 0;
    WGridRows(kModel, 3);
    EXPECT_EQ(lastError(), 1005);
    EXPECT_EQ(WGridQuery(kModel, 1), 0);
}

TEST_F(GridTest, ClearingTheFieldEmptiesEveryCellAndTheOptions)
{
    ASSERT_NE(load(7610, kKinds), nullptr);
    WGridPutCellDouble(kKinds, 2, 4, 3.0);
    WGridPutCellCheckBox(kKinds, 3, 4, 1);
    INTEGER cleared = kKinds;
    YYFieldClear(cleared);
    DOUBLE value = 0.0;
    libraryErrorState().LastErrorNumber = 0;
    WGridGetCellDouble(kKinds, 2, 4, value);
    EXPECT_EQ(lastError(), 1010);
    INTEGER state = 1;
    WGridGetCellCheckBox(kKinds, 3, 4, state);
    EXPECT_EQ(state, 0);
    GridRecord* g = YYGridRecordOf(GetDlgItem(YYCurrentDialog(), kKinds));
    EXPECT_EQ(SendMessageA(g->column(3)->prototype, CB_GETCOUNT, 0, 0), 0);
}

// ---- the editor, the mouse and the keys ----

TEST_F(GridTest, AClickMakesTheCellCurrentAndRaisesTheCellChange)
{
    GridRecord* g = show(7600, kModel);
    ASSERT_NE(g, nullptr);
    // The press is posted and taken inside the toolkit's poll, where events are recorded.
    const POINT p = centreOf(*g, 2, 3);
    PostMessageA(g->cellArea, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    INTEGER type = 0;
    EventRecord record{};
    bool found = false;
    for (int i = 0; i < 5 && !found; ++i) {
        record = nextEvent(type, 2000);
        found = type == 10;
    }
    ReleaseCapture();
    ASSERT_TRUE(found);
    EXPECT_EQ(record[2], kModel);
    EXPECT_EQ(record[5], YYGridPackCell(0, 0));
    EXPECT_EQ(record[6], YYGridPackCell(2, 3));
    EXPECT_EQ(WGridQuery(kModel, 4), 3);
    EXPECT_EQ(WGridQuery(kModel, 5), 4);
    INTEGER column = 0, row = 0;
    WGridDecodeCell(record[6], column, row);
    EXPECT_EQ(column, 3);
    EXPECT_EQ(row, 4);
}

TEST_F(GridTest, KeysMoveTheCurrentCell)
{
    GridRecord* g = show(7600, kModel);
    ASSERT_NE(g, nullptr);
    WGridRows(kModel, 30);
    const LONG base = GetWindowLongA(g->window, GWL_STYLE) & ~(0x1000 | 0x4000 | 0x8000);
    struct Case {
        const char* what;
        LONG style;
        INTEGER fromColumn, fromRow;
        WPARAM key;
        int held;  // a modifier held down, or 0
        INTEGER toColumn, toRow;
        INTEGER beeps;
    };
    const Case cases[] = {
        {"Tab moves right", 0x4000, 1, 0, VK_TAB, 0, 2, 0, 0},
        {"Tab at the end beeps", 0x4000, 3, 0, VK_TAB, 0, 3, 0, 1},
        {"Tab at the end wraps", 0xC000, 3, 0, VK_TAB, 0, 0, 1, 0},
        {"Shift+Tab at the start wraps back", 0xC000, 0, 2, VK_TAB, VK_SHIFT, 3, 1, 0},
        {"Enter moves down", 0x1000, 2, 4, VK_RETURN, 0, 2, 5, 0},
        {"Up at the first row beeps", 0, 2, 0, VK_UP, 0, 2, 0, 1},
        {"Down at the last row beeps", 0, 1, 29, VK_DOWN, 0, 1, 29, 1},
        {"Ctrl+Page Up goes to the first row", 0, 1, 17, VK_PRIOR, VK_CONTROL, 1, 0, 0},
        {"Ctrl+Page Down goes to the last row", 0, 1, 3, VK_NEXT, VK_CONTROL, 1, 29, 0},
        {"Ctrl+Home goes to the first column", 0, 3, 3, VK_HOME, VK_CONTROL, 0, 3, 0},
        {"Right in an empty cell moves", 0, 1, 3, VK_RIGHT, 0, 2, 3, 0},
        {"Left at the caret start moves", 0, 2, 3, VK_LEFT, 0, 1, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetWindowLongA(g->window, GWL_STYLE, base | c.style);
        ASSERT_TRUE(YYGridMoveCell(g->window, c.fromColumn, c.fromRow, true, false));
        pumpPending();
        if (g->editor) SendMessageA(g->editor, EM_SETSEL, 0, 0);
        const INTEGER beeps = cursorState().Beeps;
        {
            HeldKeys held(c.held ? std::initializer_list<int>{c.held} : std::initializer_list<int>{});
            pressKey(*g, c.key);
        }
        EXPECT_EQ(g->currentColumn, c.toColumn);
        EXPECT_EQ(g->currentRow, c.toRow);
        EXPECT_EQ(cursorState().Beeps - beeps, c.beeps);
    }
    // Page Up with the first row shown changes nothing.
    ASSERT_TRUE(YYGridMoveCell(g->window, 1, 0, true, false));
    pressKey(*g, VK_PRIOR);
    EXPECT_EQ(g->firstRow, 0);
    EXPECT_EQ(g->currentRow, 0);
    // Left with the caret inside the text moves the caret, not the cell.
    WGridPutCellReal(kModel, 3, 1, 12.5f);
    ASSERT_TRUE(YYGridMoveCell(g->window, 2, 0, true, false));
    SendMessageA(g->editor, EM_SETSEL, 2, 2);
    pressKey(*g, VK_LEFT);
    EXPECT_EQ(g->currentColumn, 2);
}

TEST_F(GridTest, ShiftArrowsAndADragSelectABlock)
{
    GridRecord* g = show(7600, kModel);
    ASSERT_NE(g, nullptr);
    ASSERT_TRUE(YYGridMoveCell(g->window, 1, 1, true, false));
    {
        HeldKeys shift({VK_SHIFT});
        pressKey(*g, VK_DOWN);
        pressKey(*g, VK_DOWN);
        pressKey(*g, VK_RIGHT);
    }
    EXPECT_EQ(WGridQuery(kModel, 10), 2);
    EXPECT_EQ(WGridQuery(kModel, 11), 2);
    EXPECT_EQ(WGridQuery(kModel, 12), 3);
    EXPECT_EQ(WGridQuery(kModel, 13), 4);
    pressKey(*g, VK_UP);  // a move without Shift clears the block
    EXPECT_EQ(WGridQuery(kModel, 10), 0);

    click(*g, 1, 1);
    const POINT to = centreOf(*g, 3, 4);
    POINT inside = to;
    MapWindowPoints(g->cellArea, g->editor, &inside, 1);
    SendMessageA(g->editor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(inside.x, inside.y));
    EXPECT_EQ(WGridQuery(kModel, 10), 2);
    EXPECT_EQ(WGridQuery(kModel, 13), 5);
    // Shift+click spans the block from the current cell.
    click(*g, 2, 6, MK_SHIFT);
    EXPECT_EQ(WGridQuery(kModel, 12), 3);
    EXPECT_EQ(WGridQuery(kModel, 13), 7);
}

TEST_F(GridTest, EditorEntriesAreStoredCheckedAndKept)
{
    GridRecord* g = show(7600, kModel);
    ASSERT_NE(g, nullptr);
    WGridRows(kModel, 10);
    // An invalid number refuses the move.
    ASSERT_TRUE(YYGridMoveCell(g->window, 1, 0, true, false));
    SetWindowTextA(g->editor, "1x2");
    SendMessageA(g->editor, EM_SETMODIFY, TRUE, 0);
    pressKey(*g, VK_DOWN);
    EXPECT_EQ(g->currentRow, 0);
    SetWindowTextA(g->editor, "");  // a blanked number cell reads as empty
    SendMessageA(g->editor, EM_SETMODIFY, TRUE, 0);
    pressKey(*g, VK_DOWN);
    EXPECT_EQ(g->currentRow, 1);
    REAL real = 0.0f;
    libraryErrorState().LastErrorNumber = 0;
    WGridGetCellReal(kModel, 2, 1, real);
    EXPECT_EQ(lastError(), 1010);

    // A double with more digits than its format shows keeps them when the editor passes through.
    GridRecord* kinds = show(7610, kKinds);
    ASSERT_NE(kinds, nullptr);
    WGridPutCellDouble(kKinds, 2, 2, 1.23456789012);
    ASSERT_TRUE(YYGridMoveCell(kinds->window, 1, 1, true, false));
    ASSERT_TRUE(YYGridMoveCell(kinds->window, 1, 2, true, false));
    DOUBLE value = 0.0;
    WGridGetCellDouble(kKinds, 2, 2, value);
    EXPECT_EQ(value, 1.23456789012);
    std::string text(12, ' ');
    WGridGetCellString(kKinds, 2, 2, text);
    EXPECT_EQ(text, "1.2346      ");
}

TEST_F(GridTest, TheUsersKeysFillTheGridCellByCell)
{
    // The wizard's model grid keys: Tab between cells, Enter down, no wrap at the row's end.
    GridRecord* g = show(7600, kModel);
    ASSERT_NE(g, nullptr);
    SetWindowLongA(g->window, GWL_STYLE, (GetWindowLongA(g->window, GWL_STYLE) & ~0x8000) | 0x5000);
    struct Cell {
        INTEGER column, row;
        const char* text;
    };
    struct Case {
        const char* what;
        const char* keys;  // typed in cell (2, 1) of a grid holding 10 and 100 in column 2
        std::vector<Cell> cells;
        INTEGER column, row;  // the current cell afterwards (1-based)
    };
    const Case cases[] = {
        {"digits after Down reach the cell", "{Down}10{Enter}", {{2, 2, "10.000"}, {2, 1, "10.000"}}, 2, 3},
        {"digits after Down from an empty row", "{Down}{Down}7{Down}", {{2, 3, "7.000"}}, 2, 4},
        {"typing replaces a filled cell", "77{Tab}", {{2, 1, "77.000"}}, 3, 1},
        {"Tab moves from cell to cell", "5{Tab}6{Tab}7{Enter}", {{2, 1, "5.000"}, {3, 1, "6.000"}, {4, 1, "7.000"}}, 4,
         2},
        {"Enter commits and moves down", "1{Enter}2{Enter}3{Enter}", {{2, 1, "1.000"}, {2, 2, "2.000"}, {2, 3, "3.000"}},
         2, 4},
        {"Escape restores the cell", "99{Esc}{Down}", {{2, 1, "10.000"}}, 2, 2},
        {"Escape after leaving keeps the stored entry", "4{Down}{Up}{Esc}{Enter}", {{2, 1, "4.000"}}, 2, 2},
        {"Up moves back and keeps both entries", "{Down}{Down}3{Up}4{Enter}", {{2, 3, "3.000"}, {2, 2, "4.000"}}, 2, 3},
        {"Shift+Tab moves back", "{Tab}{+Tab}8{Enter}", {{2, 1, "8.000"}}, 2, 2},
        {"Left and Right leave an entered cell", "{Right}{Left}9{Right}", {{2, 1, "9.000"}, {3, 1, ""}}, 3, 1},
        {"Left inside an edited text moves the caret", "12{Left}3{Enter}", {{2, 1, "132.000"}}, 2, 2},
        {"Backspace edits the entry", "25{Back}6{Enter}", {{2, 1, "26.000"}}, 2, 2},
        {"F2 edits the text in place", "{F2}{Back}{Back}{Back}{Back}7{Enter}", {{2, 1, "107.000"}}, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WGridRows(kModel, 6);
        for (INTEGER column = 2; column <= 4; ++column)
            for (INTEGER row = 1; row <= 6; ++row) WGridClearCell(kModel, column, row);
        WGridPutCellReal(kModel, 2, 1, 10.0f);
        WGridPutCellReal(kModel, 2, 2, 100.0f);
        WGridSetCell(kModel, 2, 1);
        drainEvents();
        ASSERT_EQ(GetFocus(), g->editor);
        const std::vector<INTEGER> events = typeKeys(c.keys);
        // Enter never reaches the dialog's default button.
        EXPECT_EQ(std::count(events.begin(), events.end(), 3), 0);
        for (const Cell& cell : c.cells) EXPECT_EQ(cellText(kModel, cell.column, cell.row), cell.text) << cell.column << "," << cell.row;
        EXPECT_EQ(WGridQuery(kModel, 4), c.column);
        EXPECT_EQ(WGridQuery(kModel, 5), c.row);
        EXPECT_EQ(GetFocus(), g->editor);
    }

    // A click enters a cell with its text selected, so that typing replaces it; so does a click
    // into the current cell while its text is not being typed.
    const auto clickAndType = [&](INTEGER column, INTEGER row, const char* keys) {
        click(*g, column - 1, row - 1);
        typeKeys(keys);
    };
    clickAndType(2, 2, "5{Tab}");
    EXPECT_EQ(cellText(kModel, 2, 2), "5.000");
    clickAndType(2, 1, "");
    clickAndType(2, 1, "6{Enter}");
    EXPECT_EQ(cellText(kModel, 2, 1), "6.000");
    // A double click places the caret where it falls (here right of the text): typing edits there.
    WGridPutCellReal(kModel, 2, 1, 10.0f);
    click(*g, 1, 0);
    {
        const RECT interior = YYGridCellInterior(*g, 1, 0);
        POINT p{interior.right - 2, (interior.top + interior.bottom) / 2};
        MapWindowPoints(g->cellArea, g->editor, &p, 1);
        PostMessageA(g->editor, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        PostMessageA(g->editor, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        pumpPending();
        ReleaseCapture();
    }
    typeKeys("{Back}{Back}{Back}{Back}7{Enter}");
    EXPECT_EQ(cellText(kModel, 2, 1), "107.000");

    // Enter in the last row stores the entry where it is and reports the cell as changed.
    WGridSetCell(kModel, 2, 6);
    drainEvents();
    const std::vector<INTEGER> events = typeKeys("42{Enter}");
    EXPECT_EQ(cellText(kModel, 2, 6), "42.000");
    EXPECT_EQ(WGridQuery(kModel, 5), 6);
    EXPECT_EQ(std::count(events.begin(), events.end(), 3), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), 10), 1);
    // The entry is selected again, so the next digits replace it.
    typeKeys("43{Tab}");
    EXPECT_EQ(cellText(kModel, 2, 6), "43.000");
}

TEST_F(GridTest, AProtectedMenuCellIsSetBackWithoutAnEvent)
{
    GridRecord* g = show(7610, kKinds);
    ASSERT_NE(g, nullptr);
    WGridPutCellOption(kKinds, 4, 1, 1);
    INTEGER f = kKinds;
    YYGridProtectCell(f, 3, 0, 0);
    ASSERT_TRUE(YYGridMoveCell(g->window, 3, 0, true, false));
    drainEvents();
    SendMessageA(g->editor, CB_SETCURSEL, 1, 0);
    SendMessageA(g->cellArea, WM_COMMAND, MAKEWPARAM(0xFFFF, CBN_SELCHANGE), reinterpret_cast<LPARAM>(g->editor));
    EXPECT_EQ(SendMessageA(g->editor, CB_GETCURSEL, 0, 0), 0);
    const DeliveredEvents delivered = eventsBeforeSentinel();
    ASSERT_TRUE(delivered.complete);
    EXPECT_TRUE(delivered.types.empty());

    // Unprotected, the change is reported.
    YYGridProtectCell(f, 3, 0, 1);
    SendMessageA(g->editor, CB_SETCURSEL, 1, 0);
    PostMessageA(g->cellArea, WM_COMMAND, MAKEWPARAM(0xFFFF, CBN_SELCHANGE), reinterpret_cast<LPARAM>(g->editor));
    INTEGER type = 0;
    const EventRecord record = nextEvent(type, 2000);
    EXPECT_EQ(type, 10);
    EXPECT_EQ(record[6], YYGridPackCell(3, 0));

    // Escape in a menu cell closes the dialog as a close request (the editor takes every key here).
    SetWindowLongA(g->window, GWL_STYLE, GetWindowLongA(g->window, GWL_STYLE) | 0x1000);
    drainEvents();
    pressKey(*g, VK_ESCAPE);
}

TEST_F(GridTest, EscapeInAMenuCellIsTheDialogsCloseRequest)
{
    GridRecord* g = show(7610, kKinds);
    ASSERT_NE(g, nullptr);
    SetWindowLongA(g->window, GWL_STYLE, GetWindowLongA(g->window, GWL_STYLE) | 0x1000);
    ASSERT_TRUE(YYGridMoveCell(g->window, 3, 0, true, false));
    drainEvents();
    PostMessageA(g->editor, WM_KEYDOWN, VK_ESCAPE, 1);
    INTEGER type = 0;
    EventRecord record{};
    for (int i = 0; i < 5 && type != 3; ++i) record = nextEvent(type, 2000);
    EXPECT_EQ(type, 3);
    EXPECT_EQ(record[1], 2);
}

// ---- pixels ----

TEST_F(GridTest, CellsArePaintedWithTheirColoursAndTheBlock)
{
    GridRecord* g = show(7600, kModel);
    ASSERT_NE(g, nullptr);
    WGridPutCellReal(kModel, 3, 3, 12.5f);
    WGridColourCell(kModel, 3, 3, 0x000000, 0x00FFFF);  // yellow background
    WGridColourCell(kModel, 1, 3, 0x000000, 0xFF0000);  // on a protected cell
    ASSERT_TRUE(YYGridMoveCell(g->window, 1, 6, true, false));
    RedrawWindow(g->cellArea, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    pumpPending();
    const auto cornerPixel = [&](INTEGER c, INTEGER r) {
        const RECT i = YYGridCellInterior(*g, c, r);
        return clientPixel(g->cellArea, i.left + 1, i.bottom - 2);
    };
    // The screen catches up with a paint a moment later.
    const auto shows = [&](INTEGER c, INTEGER r, COLORREF colour) {
        GdiFlush();
        return waitUntil([&] { return cornerPixel(c, r) == colour; }, 2000ms);
    };
    EXPECT_TRUE(shows(2, 2, RGB(255, 255, 0))) << std::hex << cornerPixel(2, 2);
    EXPECT_TRUE(shows(2, 1, GetSysColor(COLOR_WINDOW))) << std::hex << cornerPixel(2, 1);
    EXPECT_TRUE(shows(0, 2, GetSysColor(COLOR_BTNFACE))) << std::hex << cornerPixel(0, 2);  // protected: no colour without 0x10
    SetWindowLongA(g->window, GWL_STYLE, GetWindowLongA(g->window, GWL_STYLE) | 0x10);
    RedrawWindow(g->cellArea, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    EXPECT_TRUE(shows(0, 2, RGB(0, 0, 255))) << std::hex << cornerPixel(0, 2);

    // The right-aligned number is painted where the editor shows it: its last dark pixel column
    // is the same in the painted cell and in the editor over the same cell.
    const auto lastInkColumn = [&](HWND window, RECT r) {
        int found = -1;
        for (int x = r.left; x < r.right; ++x)
            for (int y = r.top; y < r.bottom; ++y)
                if (GetRValue(clientPixel(window, x, y)) < 100) found = x;
        return found;
    };
    const RECT cell = YYGridCellInterior(*g, 2, 2);
    const int painted = lastInkColumn(g->cellArea, RECT{cell.left + 2, cell.top + 2, cell.right - 2, cell.bottom - 2}) - cell.left;
    ASSERT_TRUE(YYGridMoveCell(g->window, 2, 2, true, false));
    SendMessageA(g->editor, EM_SETSEL, 0, 0);  // the caret before the text: no selection to count as ink
    pumpPending();
    RECT editorClient{};
    GetClientRect(g->editor, &editorClient);
    POINT origin{0, 0};
    MapWindowPoints(g->editor, g->cellArea, &origin, 1);
    const int edited = lastInkColumn(g->editor, RECT{1, 1, editorClient.right - 1, editorClient.bottom - 1}) + origin.x - cell.left;
    EXPECT_GT(painted, 0);
    EXPECT_EQ(painted, edited);

    // The selected block is highlighted while the grid has the focus.
    YYGridSetSelection(g->window, 3, 4, 1, 2);
    RedrawWindow(g->cellArea, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    EXPECT_TRUE(shows(1, 4, GetSysColor(COLOR_HIGHLIGHT))) << std::hex << cornerPixel(1, 4);
    // A disabled grid paints every cell grey on the button face.
    WDialogFieldState(kModel, 0);
    RedrawWindow(g->cellArea, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    EXPECT_TRUE(shows(2, 2, GetSysColor(COLOR_BTNFACE))) << std::hex << cornerPixel(2, 2);
    EXPECT_TRUE(shows(1, 4, GetSysColor(COLOR_BTNFACE))) << std::hex << cornerPixel(1, 4);
}

// ---- modal and resizable dialogs ----

namespace {
struct ModalScript {
    static inline int step = 0;
    static inline INTEGER width = 0;
    static void CALLBACK tick(HWND, UINT, UINT_PTR timer, DWORD)
    {
        HWND modal = dialogTable().handles[0];
        if (!modal) return;
        GridRecord* g = YYGridRecordOf(GetDlgItem(modal, kModel));
        if (!g || !g->editor) return;
        KillTimer(nullptr, timer);
        YYGridMoveCell(g->window, 2, 0, false, false);
        SetWindowTextA(g->editor, "3.5");
        SendMessageA(g->editor, EM_SETMODIFY, TRUE, 0);
        HDITEMA item{};
        item.mask = HDI_WIDTH;
        item.cxy = width;
        SendMessageA(g->columnHeader, HDM_SETITEMA, 2, reinterpret_cast<LPARAM>(&item));
        PostMessageA(modal, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ++step;
    }
};
}  // namespace

TEST_F(GridTest, AModalGridKeepsItsEditsAfterCancelAndFreesItsRecords)
{
    GridRecord* g = load(7600, kModel);
    ASSERT_NE(g, nullptr);
    // Widths dragged in the modal copy come back only where columns can be dragged.
    SetWindowLongA(g->window, GWL_STYLE, GetWindowLongA(g->window, GWL_STYLE) | 0x2000);
    for (int show = 1; show <= 3; ++show) {
        SCOPED_TRACE(show);
        ModalScript::step = 0;
        ModalScript::width = 60 + show;
        SetTimer(nullptr, 0, 50, ModalScript::tick);
        WDialogShow(-1, -1, 0, 1);
        EXPECT_EQ(ModalScript::step, 1);
        REAL value = 0.0f;
        WGridGetCellReal(kModel, 3, 1, value);
        EXPECT_EQ(value, 3.5f);
        HDITEMA item{};
        item.mask = HDI_WIDTH;
        SendMessageA(g->columnHeader, HDM_GETITEMA, 2, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(item.cxy, 60 + show);
        WGridPutCellReal(kModel, 3, 1, 0.0f);
    }
    WDialogUnload();
    EXPECT_EQ(gridState().liveGridRecords, 0);
    EXPECT_EQ(dialogManagerState().liveFieldRecords, 0);
}

TEST_F(GridTest, AnAnchoredGridStretchesWithItsDialog)
{
    GridRecord* g = show(7680, kStretch);
    ASSERT_NE(g, nullptr);
    HWND dialog = YYCurrentDialog();
    RECT before{}, grid{};
    GetWindowRect(dialog, &before);
    GetWindowRect(g->window, &grid);
    SetWindowPos(dialog, nullptr, 0, 0, before.right - before.left + 40, before.bottom - before.top + 60,
                 SWP_NOMOVE | SWP_NOZORDER);
    pumpPending();
    RECT after{};
    GetWindowRect(g->window, &after);
    EXPECT_EQ((after.right - after.left) - (grid.right - grid.left), 40);
    EXPECT_GT(after.bottom - after.top, grid.bottom - grid.top);
    RECT area{};
    GetClientRect(g->cellArea, &area);
    RECT client{};
    GetClientRect(g->window, &client);
    EXPECT_EQ(area.right, client.right - g->labelWidth);
}
