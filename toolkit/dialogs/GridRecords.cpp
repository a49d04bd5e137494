#include "toolkit/dialogs/GridRecords.h"

#include "toolkit/foundation/CommonControls.h"

#include <algorithm>
#include <cstring>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogHooks.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridCellEditor.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridPainting.h"
#include "toolkit/dialogs/GridSelection.h"
#include "toolkit/dialogs/GridSetUp.h"
#include "toolkit/dialogs/NumericEdits.h"

namespace {

HINSTANCE instance() { return GetModuleHandleA(nullptr); }

// Holds the numeric check of the editor off while the grid rearranges it.
class ValidationSuspended {
public:
    ValidationSuspended() : saved_(numericEditState().validationSuspended) { numericEditState().validationSuspended = 1; }
    ~ValidationSuspended() { numericEditState().validationSuspended = saved_; }
    ValidationSuspended(const ValidationSuspended&) = delete;
    ValidationSuspended& operator=(const ValidationSuspended&) = delete;

private:
    INTEGER saved_;
};

INTEGER clientWidth(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return r.right;
}

INTEGER clientHeight(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return r.bottom;
}

// The editor refuses to let go of an entry that fails its check: no scroll then.
bool editorRefuses(GridRecord& g)
{
    if (!g.editor || GetFocus() != g.editor || !YYIsNumericClass(YYControlClass(g.editor))) return false;
    return YYNumericValidate(g.editor, g.editor, 1) != 0;
}

// Makes a cell current without the focus; the editor moves with it, and gets the focus back
// when the focus was in the grid.
void moveQuietly(GridRecord& g, INTEGER column, INTEGER row)
{
    if (column == g.currentColumn && row == g.currentRow) return;
    const bool focused = YYGridHasFocus(g);
    YYCellEditDestroy(g, true);
    g.currentColumn = column;
    g.currentRow = row;
    YYCellEditCreate(g);
    if (focused && g.editor) {
        gridState().suppressNotify = 1;
        SetFocus(g.editor);
        gridState().suppressNotify = 0;
    }
}

void placeEditor(GridRecord& g)
{
    if (!g.editor) return;
    RECT r{};
    GetWindowRect(g.editor, &r);
    MapWindowPoints(nullptr, g.cellArea, reinterpret_cast<POINT*>(&r), 2);
    const INTEGER x = YYGridColumnX(g, g.currentColumn), y = (g.currentRow - g.firstRow) * (g.rowHeight - 1);
    SetWindowPos(g.editor, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (FieldRecord* f = YYFieldRecordOf(g.editor); f && f->spinControl) {
        RECT s{};
        GetWindowRect(f->spinControl, &s);
        SetWindowPos(f->spinControl, nullptr, x + (r.right - r.left), y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void scrollRowsBy(GridRecord& g, INTEGER delta)
{
    if (delta < 0) delta = std::max(delta, -g.firstRow);
    else if (delta > 0) {
        const INTEGER room = g.rows - g.visibleRows - g.firstRow;
        delta = room < 1 ? 0 : std::min(delta, room);
    }
    if (delta == 0) return;
    const INTEGER savedSave = g.changedSinceSave, savedLoad = g.changedSinceLoad;
    const bool focused = YYGridHasFocus(g);
    YYGridClearSelection(g.window);
    YYCellEditStore(g);
    g.firstRow += delta;
    SetScrollPos(g.window, SB_VERT, g.firstRow / g.scrollScale, TRUE);
    InvalidateRect(g.cellArea, nullptr, TRUE);
    const INTEGER lastVisible = g.firstRow + std::max(g.visibleRows, 1) - 1;
    const INTEGER row = std::clamp(g.currentRow, g.firstRow, std::min(lastVisible, g.rows - 1));
    if (row != g.currentRow) moveQuietly(g, g.currentColumn, row);
    else placeEditor(g);
    if (focused && g.editor && GetFocus() != g.editor) {
        gridState().suppressNotify = 1;
        SetFocus(g.editor);
        gridState().suppressNotify = 0;
    }
    YYGridRefreshRowLabels(g);
    g.changedSinceSave = savedSave;
    g.changedSinceLoad = savedLoad;
}

INTEGER columnsFittingLeftOf(const GridRecord& g, INTEGER column)
{
    const INTEGER area = clientWidth(g.cellArea);
    INTEGER sum = 1, n = 0;
    for (INTEGER c = column - 1; c >= 0; --c) {
        const GridColumnRecord* col = const_cast<GridRecord&>(g).column(c);
        if (!col || sum + col->width - 1 > area) break;
        sum += col->width - 1;
        ++n;
    }
    return n;
}

void scrollColumnsBy(GridRecord& g, INTEGER delta)
{
    delta = std::clamp(delta, -g.firstColumn, std::max(0, g.maxFirstColumn - g.firstColumn));
    if (delta == 0) return;
    const bool focused = YYGridHasFocus(g);
    YYGridClearSelection(g.window);
    g.firstColumn += delta;
    SetScrollPos(g.window, SB_HORZ, g.firstColumn, TRUE);
    YYGridLayoutScroll(g);
    InvalidateRect(g.cellArea, nullptr, TRUE);
    SendMessageA(g.window, kGridLayoutHeader, 0, 0);
    const INTEGER column = std::clamp(g.currentColumn, g.firstColumn, std::max(g.firstColumn, g.lastColumn));
    if (column != g.currentColumn) moveQuietly(g, column, g.currentRow);
    else placeEditor(g);
    if (focused && g.editor && GetFocus() != g.editor) {
        gridState().suppressNotify = 1;
        SetFocus(g.editor);
        gridState().suppressNotify = 0;
    }
    if (g.columnHeader) InvalidateRect(g.columnHeader, nullptr, TRUE);
}

// Keeps the current column visible and leaves no empty space right of the last column.
void fitColumns(GridRecord& g)
{
    ValidationSuspended suspended;
    if (g.columns == 0) return;
    if (g.currentColumn > g.lastColumn && g.lastColumn >= g.firstColumn) {
        while (g.currentColumn > g.lastColumn && g.firstColumn < g.maxFirstColumn) scrollColumnsBy(g, 1);
    } else if (g.firstColumn > g.maxFirstColumn) {
        scrollColumnsBy(g, g.maxFirstColumn - g.firstColumn);
    }
}

void snapHeight(GridRecord& g)
{
    if (g.hasStyle(kGridKeepHeight) || g.embedded) return;
    RECT r{};
    GetWindowRect(g.window, &r);
    INTEGER height = (g.rowHeight - 1) * g.visibleRows + g.frameHeight + 1;
    if (g.hasStyle(kGridColumnHeader)) height += 2;
    SetWindowPos(g.window, nullptr, 0, 0, r.right - r.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT create(HWND window, const CREATESTRUCTA& create)
{
    auto record = std::make_unique<GridRecord>();
    GridRecord& g = *record;
    g.window = window;
    g.font = reinterpret_cast<HFONT>(SendMessageA(create.hwndParent, WM_GETFONT, 0, 0));
    g.rowHeight = YYGridMeasureRowHeight(window, g.font);
    RECT client{}, frame{};
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    g.visibleRows = YYGridWholeRows(client.bottom, g.rowHeight);
    g.designHeight = client.bottom;
    g.frameHeight = (frame.bottom - frame.top) - client.bottom;
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(record.release()));
    ++gridState().liveGridRecords;
    snapHeight(g);
    if (create.style & kGridColumnHeader) {
        g.columnHeader = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 0, 0, clientWidth(window),
                                         g.rowHeight + 1, window, nullptr, instance(), nullptr);
        if (!g.columnHeader) return -1;
        SetWindowLongPtrA(g.columnHeader, GWLP_USERDATA, GetWindowLongPtrA(g.columnHeader, GWLP_WNDPROC));
        SetWindowLongPtrA(g.columnHeader, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(YYGridHeaderProc));
        SendMessageA(g.columnHeader, WM_SETFONT, reinterpret_cast<WPARAM>(g.font), FALSE);
        g.headerHeight = g.rowHeight + 1;
        --g.visibleRows;
    }
    return 0;
}

void setFont(GridRecord& g, HFONT font)
{
    g.font = font;
    g.rowHeight = YYGridMeasureRowHeight(g.window, font);
    g.visibleRows = YYGridWholeRows(g.designHeight, g.rowHeight);
    snapHeight(g);
    if (g.columnHeader) {
        SendMessageA(g.columnHeader, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(g.columnHeader, nullptr, 0, 0, clientWidth(g.window), g.rowHeight + 1,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        g.headerHeight = g.rowHeight + 1;
        --g.visibleRows;
    }
}

void sized(GridRecord& g)
{
    ValidationSuspended suspended;
    const INTEGER width = clientWidth(g.window), height = clientHeight(g.window);
    if (g.columnHeader)
        SetWindowPos(g.columnHeader, nullptr, 0, 0, width, g.headerHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (g.cellArea) {
        INTEGER widest = 0;
        if (g.columnTable)
            for (const GridColumnRecord& c : *g.columnTable) widest = std::max(widest, c.width);
        SetWindowPos(g.cellArea, nullptr, g.labelWidth, g.headerHeight, std::max(width - g.labelWidth, widest),
                     std::max(height - g.headerHeight, g.rowHeight), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const INTEGER lastBefore = g.lastColumn;
    YYGridLayoutScroll(g);
    if (g.lastColumn != lastBefore && g.cellArea) InvalidateRect(g.cellArea, nullptr, TRUE);
    fitColumns(g);
}

INTEGER verticalDelta(GridRecord& g, WORD code)
{
    switch (code) {
    case SB_LINEUP: return -1;
    case SB_LINEDOWN: return 1;
    case SB_PAGEUP: return -g.visibleRows;
    case SB_PAGEDOWN: return g.visibleRows;
    case SB_THUMBTRACK: {
        if (g.pendingRow) return std::exchange(g.pendingRow, 0) - g.firstRow;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(g.window, SB_VERT, &info);
        return info.nTrackPos * g.scrollScale - g.firstRow;
    }
    default: return 0;
    }
}

INTEGER horizontalDelta(GridRecord& g, WORD code)
{
    switch (code) {
    case SB_LINELEFT: return -1;
    case SB_LINERIGHT: return 1;
    case SB_PAGELEFT: return -std::max(1, columnsFittingLeftOf(g, g.firstColumn));
    case SB_PAGERIGHT: return std::max(1, g.lastColumn - g.firstColumn);
    case SB_THUMBTRACK: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(g.window, SB_HORZ, &info);
        return info.nTrackPos - g.firstColumn;
    }
    default: return 0;
    }
}

void gotFocus(GridRecord& g)
{
    // Without an editor the grid only holds the focus while its editor is being remade.
    if (!g.initialised || !g.editor) return;
    YYGridScrollRowIntoView(g, g.currentRow);
    YYGridScrollColumnIntoView(g, g.currentColumn);
    if (!g.editor) return;
    SetFocus(g.editor);
    // The cell is entered with its whole text selected, so that typing replaces it.
    if (YYGridTextKind(g.column(g.currentColumn)->kind)) SendMessageA(g.editor, EM_SETSEL, 0, -1);
}

LRESULT headerNotify(GridRecord& g, const NMHEADERA& note)
{
    const bool columnHeader = note.hdr.hwndFrom == g.columnHeader;
    switch (note.hdr.code) {
    case HDN_BEGINTRACKA: case HDN_BEGINTRACKW:
        if (!columnHeader || !g.hasStyle(kGridResizableColumns)) return TRUE;
        return note.iItem == 0 || note.iItem - 1 < g.firstColumn ? TRUE : FALSE;
    case HDN_TRACKA: case HDN_TRACKW: case HDN_ITEMCHANGINGA: case HDN_ITEMCHANGINGW: {
        const bool tracking = note.hdr.code == HDN_TRACKA || note.hdr.code == HDN_TRACKW;
        // Texts and the program's own width changes of other items go through untouched.
        if (!columnHeader || note.iItem == 0) return tracking ? TRUE : FALSE;
        if (!note.pitem || !(note.pitem->mask & HDI_WIDTH)) return FALSE;
        GridColumnRecord* col = g.column(note.iItem - 1);
        if (!col || note.iItem - 1 < g.firstColumn) return FALSE;
        INTEGER minimum = 14;
        const FieldRecord* proto = YYFieldRecordOf(col->prototype);
        if (col->kind == kCellMenu || (proto && proto->spinControl)) minimum += GetSystemMetrics(SM_CXVSCROLL);
        const INTEGER width = std::clamp<INTEGER>(note.pitem->cxy + 1, minimum, std::max(minimum, clientWidth(g.cellArea)));
        if (width != note.pitem->cxy + 1) note.pitem->cxy = width - 1;
        if (width != col->width) {
            const INTEGER change = width - col->width;
            col->width = width;
            YYGridLayoutScroll(g);
            RECT p{};
            GetWindowRect(col->prototype, &p);
            SetWindowPos(col->prototype, nullptr, 0, 0, width, p.bottom - p.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            if (g.editor) {
                const INTEGER c = note.iItem - 1;
                RECT e{};
                GetWindowRect(g.editor, &e);
                MapWindowPoints(nullptr, g.cellArea, reinterpret_cast<POINT*>(&e), 2);
                if (g.currentColumn == c)
                    SetWindowPos(g.editor, nullptr, 0, 0, width, e.bottom - e.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                else if (g.currentColumn > c)
                    SetWindowPos(g.editor, nullptr, e.left + change, e.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            InvalidateRect(g.cellArea, nullptr, TRUE);
        }
        return FALSE;
    }
    case HDN_ENDTRACKA: case HDN_ENDTRACKW:
        if (!columnHeader) return FALSE;
        fitColumns(g);
        PostMessageA(g.window, kGridLayoutHeader, 0, 0);
        return FALSE;
    case HDN_ITEMCLICKA: case HDN_ITEMCLICKW: {
        const bool shift = GetKeyState(VK_SHIFT) < 0;
        if (g.columns == 0 || g.rows == 0) return FALSE;
        if (columnHeader) {
            if (note.iItem == 0) {
                SetFocus(g.window);
                YYGridSetSelection(g.window, 0, g.rows - 1, 0, g.columns - 1);
                return FALSE;
            }
            const INTEGER c = note.iItem - 1;
            if (shift) {
                gridState().suppressNotify = 1;
                SetFocus(g.window);
                gridState().suppressNotify = 0;
                YYGridSetSelection(g.window, 0, g.rows - 1, std::min(c, g.currentColumn), std::max(c, g.currentColumn));
            } else {
                YYGridMoveCell(g.window, c, g.firstRow, true, false);
                YYGridSetSelection(g.window, 0, g.rows - 1, c, c);
            }
            return FALSE;
        }
        const INTEGER row = g.firstRow + static_cast<INTEGER>(GetDlgCtrlID(note.hdr.hwndFrom));
        if (row >= g.rows) return FALSE;
        if (shift) {
            gridState().suppressNotify = 1;
            SetFocus(g.window);
            gridState().suppressNotify = 0;
            YYGridSetSelection(g.window, std::min(row, g.currentRow), std::max(row, g.currentRow), 0, g.columns - 1);
        } else {
            YYGridMoveCell(g.window, g.firstColumn, row, true, false);
            YYGridSetSelection(g.window, row, row, 0, g.columns - 1);
        }
        return FALSE;
    }
    default: return FALSE;
    }
}

void editCommand(GridRecord& g, WORD command)
{
    HWND target = g.menuTarget;
    if (command >= 32122 && command <= 32125) {
        YYGridBlockCommand(g.window, command);
        return;
    }
    if (!target || !IsWindow(target)) return;
    switch (command) {
    case 32221: SendMessageA(target, EM_UNDO, 0, 0); break;
    case 32222: SendMessageA(target, WM_CUT, 0, 0); break;
    case 32223: SendMessageA(target, WM_COPY, 0, 0); break;
    case 32224: SendMessageA(target, WM_PASTE, 0, 0); break;
    case 32225: SendMessageA(target, WM_CLEAR, 0, 0); break;
    case 32226:
        SendMessageA(target, EM_SETSEL, 0, -1);
        SendMessageA(target, EM_SCROLLCARET, 0, 0);
        break;
    default: YYGridBlockCommand(g.window, command); break;
    }
}

void destroyed(GridRecord& g)
{
    YYCellEditDestroy(g, true);
    g.labelHeaders.clear();
    if (g.columnTable) {
        // The prototypes' own records go with the grid that built them (the copy in a modal
        // instance only borrows them); the numeric classes free theirs.
        for (GridColumnRecord& c : *g.columnTable)
            if (c.prototype && IsChild(g.window, c.prototype) && !YYIsNumericClass(YYControlClass(c.prototype)))
                YYFieldRecordFree(c.prototype);
    }
    g.columnTable.reset();
    g.rowLabels.reset();
}

}  // namespace

GridState& gridState()
{
    static GridState state;
    return state;
}

void YYGridRegister()
{
    GridState& s = gridState();
    WNDCLASSA existing{};
    if (GetClassInfoA(instance(), "DOVEGRID", &existing)) return;
    WNDCLASSA grid{};
    grid.style = CS_PARENTDC;
    grid.lpfnWndProc = YYGridProc;
    grid.cbWndExtra = sizeof(LONG_PTR);
    grid.hInstance = instance();
    grid.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    grid.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    grid.lpszClassName = "DOVEGRID";
    RegisterClassA(&grid);
    WNDCLASSA client = grid;
    client.cbWndExtra = 0;
    client.lpfnWndProc = YYGridClientProc;
    client.lpszClassName = "DOVEGRIDCLIENT";
    RegisterClassA(&client);
    s.cellChangeMessage = RegisterWindowMessageA("GM_CELLCHANGE");
    s.printDefaultsFetched = 0;
}

GridRecord* YYGridRecordOf(HWND grid)
{
    if (!grid || !IsWindow(grid)) return nullptr;
    char name[16] = {};
    GetClassNameA(grid, name, sizeof name);
    if (std::strcmp(name, "DOVEGRID") != 0) return nullptr;
    return reinterpret_cast<GridRecord*>(GetWindowLongPtrA(grid, 0));
}

GridRecord* YYGridRecordAbove(HWND window)
{
    for (HWND w = window; w; w = GetParent(w))
        if (GridRecord* g = YYGridRecordOf(w)) return g;
    return nullptr;
}

void YYGridNotifyCell(const GridRecord& grid, INTEGER packed)
{
    if (!gridState().cellChangeMessage) gridState().cellChangeMessage = RegisterWindowMessageA("GM_CELLCHANGE");
    SendMessageA(GetParent(grid.window), gridState().cellChangeMessage, static_cast<WPARAM>(GetDlgCtrlID(grid.window)),
                 static_cast<LPARAM>(packed));
}

bool YYGridHasFocus(const GridRecord& grid)
{
    HWND focus = GetFocus();
    return focus && (focus == grid.window || IsChild(grid.window, focus));
}

bool YYGridInModalInstance(HWND grid)
{
    HWND modal = dialogTable().handles[0];
    return modal && GetParent(grid) == modal;
}

INTEGER YYGridColumnX(const GridRecord& grid, INTEGER column)
{
    auto& g = const_cast<GridRecord&>(grid);
    INTEGER x = 0;
    if (column >= g.firstColumn) {
        for (INTEGER c = g.firstColumn; c < column; ++c)
            if (const GridColumnRecord* col = g.column(c)) x += col->width - 1;
    } else {
        for (INTEGER c = column; c < g.firstColumn; ++c)
            if (const GridColumnRecord* col = g.column(c)) x -= col->width - 1;
    }
    return x;
}

INTEGER YYGridShownRows(const GridRecord& grid)
{
    if (grid.firstRow + grid.visibleRows < grid.rows) return grid.rowSlotsMade;
    return std::min(grid.visibleRows, grid.rows - grid.firstRow);
}

void YYGridScrollRowIntoView(GridRecord& g, INTEGER row)
{
    if (row < g.firstRow) scrollRowsBy(g, row - g.firstRow);
    else if (row > g.firstRow + g.visibleRows - 1) scrollRowsBy(g, row - (g.firstRow + g.visibleRows - 1));
}

void YYGridScrollColumnIntoView(GridRecord& g, INTEGER column)
{
    if (column < g.firstColumn) {
        scrollColumnsBy(g, column - g.firstColumn);
    } else {
        while (column > g.lastColumn && g.firstColumn < g.maxFirstColumn) {
            const INTEGER before = g.firstColumn;
            scrollColumnsBy(g, 1);
            if (g.firstColumn == before) break;
        }
    }
}

void YYGridLayoutScroll(GridRecord& g)
{
    g.scrollScale = YYGridScrollScale(g.rows);
    const INTEGER units = std::max(1, g.rows / g.scrollScale);
    const LONG style = g.style();
    if (style & WS_VSCROLL) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        info.nMin = 0;
        info.nMax = units - 1;
        info.nPage = static_cast<UINT>(std::max(0, g.visibleRows / g.scrollScale));
        info.nPos = g.firstRow / g.scrollScale;
        SetScrollInfo(g.window, SB_VERT, &info, TRUE);
    }
    const INTEGER area = g.cellArea ? clientWidth(g.cellArea) : clientWidth(g.window);
    g.maxFirstColumn = 0;
    INTEGER sum = 1;
    for (INTEGER c = g.columns - 1; c >= 0; --c) {
        const GridColumnRecord* col = g.column(c);
        if (!col) break;
        if (sum + col->width - 1 > area) {
            g.maxFirstColumn = c + 1;
            break;
        }
        sum += col->width - 1;
    }
    if (g.maxFirstColumn >= g.columns) g.maxFirstColumn = std::max(0, g.columns - 1);
    INTEGER last = g.firstColumn;
    sum = 1;
    for (INTEGER c = g.firstColumn; c < g.columns; ++c) {
        const GridColumnRecord* col = g.column(c);
        if (!col || sum + col->width - 1 > area) break;
        sum += col->width - 1;
        last = c;
    }
    g.lastColumn = last;
    if (style & WS_HSCROLL) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        info.nMin = 0;
        info.nMax = std::max(0, g.columns - 1);
        info.nPage = static_cast<UINT>(std::max(1, g.columns - g.maxFirstColumn));
        info.nPos = g.firstColumn;
        SetScrollInfo(g.window, SB_HORZ, &info, TRUE);
    }
}

INTEGER YYGridMeasureRowHeight(HWND grid, HFONT font)
{
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 50, 100, grid, nullptr,
                                 instance(), nullptr);
    if (!combo) return 20;
    if (font) SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    RECT r{};
    GetWindowRect(combo, &r);
    DestroyWindow(combo);
    return std::max<INTEGER>(3, (r.bottom - r.top) - 1);
}

void YYGridResizeRows(GridRecord& g, INTEGER rows)
{
    rows = std::clamp(rows, 1, std::max(1, g.capacity));
    YYGridClearSelection(g.window);
    YYCellEditStore(g);
    const INTEGER before = g.rows;
    g.rows = rows;
    if (g.hasStyle(kGridRowLabels)) {
        for (INTEGER slot = 0; slot < static_cast<INTEGER>(g.labelHeaders.size()); ++slot)
            ShowWindow(g.labelHeaders[static_cast<std::size_t>(slot)], g.firstRow + slot < rows ? SW_SHOWNA : SW_HIDE);
    }
    const INTEGER lastVisible = g.firstRow + g.visibleRows - 1;
    if (g.currentRow >= rows || lastVisible >= rows || before < rows) {
        const bool focused = YYGridHasFocus(g);
        YYCellEditDestroy(g, false);
        if (g.currentRow >= rows) {
            g.currentRow = rows - 1;
            const INTEGER packed = YYGridPackCell(g.currentColumn, g.currentRow);
            HWND dialog = GetParent(g.window);
            if (DialogRecord* d = YYDialogRecordOf(dialog); d && d->currentField == GetDlgCtrlID(g.window))
                d->lastCellValue = packed;
        }
        g.firstRow = std::max(0, std::min(g.firstRow, rows - g.visibleRows));
        g.firstRow = std::max(0, std::min(g.firstRow, g.currentRow));
        YYGridRefreshRowLabels(g);
        YYCellEditCreate(g);
        if (focused && g.editor) {
            gridState().suppressNotify = 1;
            SetFocus(g.editor);
            gridState().suppressNotify = 0;
        }
    }
    g.rowSlots = std::min(rows, g.visibleRows + 1);
    YYGridLayoutScroll(g);
    if (g.cellArea) {
        InvalidateRect(g.cellArea, nullptr, TRUE);
        UpdateWindow(g.cellArea);
    }
}

LRESULT CALLBACK YYGridProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) return create(window, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
    if (message == WM_NCDESTROY) {
        std::unique_ptr<GridRecord> record(reinterpret_cast<GridRecord*>(GetWindowLongPtrA(window, 0)));
        SetWindowLongPtrA(window, 0, 0);
        if (record) --gridState().liveGridRecords;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    GridRecord* record = reinterpret_cast<GridRecord*>(GetWindowLongPtrA(window, 0));
    if (!record) return DefWindowProcA(window, message, wParam, lParam);
    GridRecord& g = *record;
    switch (message) {
    case WM_SETFONT:
        setFont(g, reinterpret_cast<HFONT>(wParam));
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(g.font);
    case kGridBuildColumns:
        return YYGridBuildColumns(window, reinterpret_cast<HWND>(wParam), reinterpret_cast<const INTEGER*>(lParam));
    case kGridMakeRowLabels:
        return YYGridMakeRowLabels(window, static_cast<INTEGER>(wParam), reinterpret_cast<const char*>(lParam));
    case kGridLayoutScroll:
        YYGridLayoutScroll(g);
        return 0;
    case kGridSetSize: {
        g.rows = static_cast<INTEGER>(wParam);
        g.columns = static_cast<INTEGER>(lParam);
        g.capacity = g.rows;
        g.rowSlots = g.rowSlotsMade = std::min(g.rows, g.visibleRows + 1);
        return 0;
    }
    case kGridFinish:
        g.initialised = 1;
        g.embedded = 1;
        return 0;
    case kGridLayoutHeader: {
        if (!g.columnHeader) return 0;
        for (INTEGER c = 0; c < g.columns; ++c) {
            const GridColumnRecord* col = g.column(c);
            if (!col) break;
            HDITEMA item{};
            item.mask = HDI_WIDTH;
            item.cxy = c < g.firstColumn ? 0 : col->width - 1;
            SendMessageA(g.columnHeader, HDM_SETITEMA, static_cast<WPARAM>(c + 1), reinterpret_cast<LPARAM>(&item));
        }
        return 0;
    }
    case WM_SIZE:
        if (g.initialised) sized(g);
        return 0;
    case WM_VSCROLL:
        if (lParam) break;  // scroll-bar controls keep their default handling
        if (editorRefuses(g)) return 0;
        scrollRowsBy(g, verticalDelta(g, LOWORD(wParam)));
        if (g.hasStyle(kGridRowLabels) && !g.labelHeaders.empty())
            ShowWindow(g.labelHeaders.back(), g.firstRow + g.visibleRows < g.rows ? SW_SHOWNA : SW_HIDE);
        return 0;
    case WM_HSCROLL:
        if (lParam) break;
        if (editorRefuses(g)) return 0;
        scrollColumnsBy(g, horizontalDelta(g, LOWORD(wParam)));
        return 0;
    case WM_MOUSEWHEEL: {
        const INTEGER rows = YYGridWheelRows(g.wheelDelta, static_cast<short>(HIWORD(wParam)));
        for (INTEGER i = 0; i < rows; ++i) SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
        for (INTEGER i = 0; i > rows; --i) SendMessageA(window, WM_VSCROLL, SB_LINEUP, 0);
        return 0;
    }
    case WM_SETFOCUS:
        gotFocus(g);
        return 0;
    case WM_ENABLE:
        if (wParam) YYCellEditCreate(g);
        else YYCellEditDestroy(g, true);
        if (g.columnTable)
            for (GridColumnRecord& c : *g.columnTable)
                if (c.prototype) EnableWindow(c.prototype, wParam ? TRUE : FALSE);
        if (g.cellArea) InvalidateRect(g.cellArea, nullptr, TRUE);
        return 0;
    case WM_STYLECHANGED:
        if (wParam == static_cast<WPARAM>(GWL_STYLE) && g.editor) {
            const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
            if ((change->styleOld ^ change->styleNew) & kGridReadOnlyStyle) {
                const INTEGER kind = g.column(g.currentColumn)->kind;
                const bool readOnly = (change->styleNew & kGridReadOnlyStyle) != 0;
                // Writable again only when the cell itself is not protected.
                const bool cellProtected =
                    (g.column(g.currentColumn)->flags[static_cast<std::size_t>(g.currentRow)] & kCellProtected) != 0;
                YYCellEditReadOnly(g.editor, kind, readOnly || cellProtected, true);
            }
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && YYControlClass(header->hwndFrom) == kClassHeader)
            return headerNotify(g, *reinterpret_cast<const NMHEADERA*>(lParam));
        break;
    }
    case WM_COMMAND:
        if (lParam == 0) editCommand(g, LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        destroyed(g);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
