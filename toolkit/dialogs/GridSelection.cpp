#include "toolkit/dialogs/GridSelection.h"

#include <algorithm>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridCellEditor.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/foundation/EventStore.h"

namespace {

// The block change as event 10, recorded by the grid itself: values 1 and 2 the grid's id, value 3
// the kind of change (2 selection, 1 paste), X and Y the packed corner cells.
void recordBlockEvent(const GridRecord& g, INTEGER kind, INTEGER first, INTEGER last, bool evenIfRecorded)
{
    INTEGER enabled = 0;
    YYEventEnableGet(10, enabled);
    if (!enabled) return;
    CurrentEventState& state = currentEventState();
    if (!evenIfRecorded && state.Recorded.Type == 10 && state.WaitState == 0) return;
    const DialogRecord* dialog = YYDialogRecordOf(GetParent(g.window));
    const INTEGER id = GetDlgCtrlID(g.window);
    state.Recorded.Type = 10;
    state.Recorded.Window = dialog ? dialog->identifier : 0;
    state.Recorded.Values = {id, id, kind, -1};
    state.Recorded.X = first;
    state.Recorded.Y = last;
    state.Recorded.Time = static_cast<INTEGER>(GetMessageTime());
    state.WaitState = 0;
}

void invalidateBlock(GridRecord& g)
{
    RECT r{};
    if (g.cellArea && YYGridSelectionRect(g.window, r)) InvalidateRect(g.cellArea, &r, TRUE);
    if (g.editor) InvalidateRect(g.editor, nullptr, TRUE);
}

}  // namespace

void YYGridSetSelection(HWND grid, INTEGER firstRow, INTEGER lastRow, INTEGER firstColumn, INTEGER lastColumn)
{
    GridRecord* record = YYGridRecordOf(grid);
    if (!record) return;
    GridRecord& g = *record;
    if (g.selFirstRow == firstRow && g.selLastRow == lastRow && g.selFirstColumn == firstColumn &&
        g.selLastColumn == lastColumn)
        return;
    if (HWND focus = GetFocus(); focus && YYIsEditLike(YYControlClass(focus))) {
        DWORD start = 0, end = 0;
        SendMessageA(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        SendMessageA(focus, EM_SETSEL, end, end);
    }
    invalidateBlock(g);
    g.selFirstRow = firstRow;
    g.selLastRow = lastRow;
    g.selFirstColumn = firstColumn;
    g.selLastColumn = lastColumn;
    invalidateBlock(g);
    if (g.cellArea) UpdateWindow(g.cellArea);
    if (g.hasStyle(kGridSelectionEvents))
        recordBlockEvent(g, 2, YYGridPackCell(firstColumn, firstRow), YYGridPackCell(lastColumn, lastRow), false);
}

void YYGridClearSelection(HWND grid)
{
    GridRecord* record = YYGridRecordOf(grid);
    if (!record) return;
    GridRecord& g = *record;
    if (g.hasSelection()) {
        invalidateBlock(g);
        g.selFirstRow = g.selLastRow = g.selFirstColumn = g.selLastColumn = -1;
        if (g.cellArea) UpdateWindow(g.cellArea);
        if (g.editor) UpdateWindow(g.editor);
        if (g.hasStyle(kGridSelectionEvents)) recordBlockEvent(g, 2, 0, 0, false);
    }
    g.anchorColumn = g.anchorRow = -1;
}

INTEGER YYGridSelectionRect(HWND grid, RECT& rect)
{
    GridRecord* record = YYGridRecordOf(grid);
    if (!record || !record->hasSelection() || !record->cellArea) return 0;
    GridRecord& g = *record;
    if (g.selLastRow < g.firstRow || g.selFirstRow >= g.firstRow + g.rowSlotsMade) return 0;
    if (g.selLastColumn < g.firstColumn || g.selFirstColumn > g.lastColumn + 1) return 0;
    RECT client{};
    GetClientRect(g.cellArea, &client);
    rect.top = std::max(0, (g.selFirstRow - g.firstRow) * (g.rowHeight - 1));
    rect.bottom = std::min<LONG>((g.selLastRow - g.firstRow + 1) * (g.rowHeight - 1), client.bottom);
    rect.left = YYGridColumnX(g, std::max(g.selFirstColumn, g.firstColumn));
    rect.right = YYGridColumnX(g, g.selLastColumn + 1);
    // The shared grid lines on both sides belong to the block's look too.
    rect.right += 1;
    rect.bottom = std::min<LONG>(rect.bottom + 1, client.bottom);
    return rect.right > rect.left && rect.bottom > rect.top ? 1 : 0;
}

INTEGER YYGridSelUnprotected(HWND grid)
{
    GridRecord* record = YYGridRecordOf(grid);
    if (!record || record->hasStyle(kGridReadOnlyStyle)) return 0;
    GridRecord& g = *record;
    if (!g.hasSelection()) return 1;
    for (INTEGER c = g.selFirstColumn; c <= g.selLastColumn; ++c) {
        const GridColumnRecord* col = g.column(c);
        if (!col) continue;
        for (INTEGER r = g.selFirstRow; r <= g.selLastRow; ++r)
            if (col->inside(r) && (col->flags[static_cast<std::size_t>(r)] & kCellProtected)) return 0;
    }
    return 1;
}

void YYGridCellText(GridRecord& g, INTEGER column, INTEGER row, std::string& text, INTEGER mode)
{
    text.clear();
    GridColumnRecord* col = g.column(column);
    if (!col || !col->inside(row)) return;
    const bool symbols = mode == 1;
    const auto checkText = [&](bool checked) {
        if (symbols) text = std::string(1, static_cast<char>(checked ? 0xFC : 0xFB));
        else text = checked ? "Yes" : "No";
    };
    const auto optionText = [&](HWND list, LRESULT index) {
        if (!list || index < 0 || index >= SendMessageA(list, CB_GETCOUNT, 0, 0)) return;
        const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length <= 0) return;
        std::string item(static_cast<std::size_t>(length) + 1, '\0');
        SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.data()));
        item.resize(std::char_traits<char>::length(item.c_str()));
        text = item;
    };
    if (g.editor && column == g.currentColumn && row == g.currentRow) {
        switch (col->kind) {
        case kCellCheckBox: checkText(SendMessageA(g.editor, BM_GETCHECK, 0, 0) == BST_CHECKED); return;
        case kCellMenu: optionText(g.editor, SendMessageA(g.editor, CB_GETCURSEL, 0, 0)); return;
        default: {
            const std::size_t limit = col->kind == kCellText ? static_cast<std::size_t>(col->textLength)
                                      : col->kind == kCellInteger ? 11u : 50u;
            std::string buffer(std::max<std::size_t>(limit, 1) + 1, '\0');
            GetWindowTextA(g.editor, buffer.data(), static_cast<int>(buffer.size()));
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            text = buffer;
            return;
        }
        }
    }
    const bool present = (col->flags[static_cast<std::size_t>(row)] & kCellValuePresent) != 0;
    switch (col->kind) {
    case kCellText: text = col->text(row); return;
    case kCellInteger:
        if (present) text = YYGridIntegerText(col->integer(row));
        return;
    case kCellReal: case kCellDouble: {
        if (!present) return;
        const FieldRecord* proto = YYFieldRecordOf(col->prototype);
        const std::string format = proto && proto->format ? *proto->format : std::string(kGridDefaultFormat);
        text = YYGridNumberText(col->number(row), format);
        return;
    }
    case kCellCheckBox: checkText(col->number(row) != 0.0); return;
    case kCellMenu: optionText(col->prototype, static_cast<LRESULT>(col->integer(row))); return;
    default: return;
    }
}

void YYGridUnselect(INTEGER& field)
{
    GridRecord* g = YYGridFind(field);
    if (!g) {
        field = -1;
        return;
    }
    YYGridClearSelection(g->window);
}

void YYGridSelectBlock(INTEGER& field, INTEGER firstColumn, INTEGER firstRow, INTEGER lastColumn, INTEGER lastRow)
{
    GridRecord* g = YYGridFind(field);
    if (!g) {
        field = -1;
        return;
    }
    const auto columnOk = [&](INTEGER c) { return c >= 0 && c < g->columns; };
    const auto rowOk = [&](INTEGER r) { return r >= 0 && r < g->rows; };
    if (!columnOk(firstColumn) || !columnOk(lastColumn) || !rowOk(firstRow) || !rowOk(lastRow)) {
        field = -2;
        return;
    }
    YYGridSetSelection(g->window, firstRow, lastRow, firstColumn, lastColumn);
}
