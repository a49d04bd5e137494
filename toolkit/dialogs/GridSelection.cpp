#include "toolkit/dialogs/GridSelection.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridCellEditor.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridPainting.h"
#include "toolkit/foundation/NumberParse.h"
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

// ---- clipboard and block operations ----

namespace {

// The clipboard's text, empty when there is none or the clipboard stays busy.
bool clipboardText(std::string& text)
{
    text.clear();
    if (!IsClipboardFormatAvailable(CF_TEXT)) return false;
    ClipboardSession clipboard(nullptr);
    if (!clipboard.isOpen()) return false;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return false;
    GlobalLockGuard lock(data);
    const char* bytes = static_cast<const char*>(lock.data());
    if (!bytes) return false;
    const std::size_t size = GlobalSize(data);
    text.assign(bytes, strnlen(bytes, size));
    return true;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view start)
{
    if (start.size() > text.size()) return false;
    for (std::size_t i = 0; i < start.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(start[i])))
            return false;
    return true;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) { return a.size() == b.size() && startsWithIgnoringCase(a, b); }

bool blankText(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

// The first option of a menu column that begins with the text, ignoring case; -1 when none does.
INTEGER optionBeginningWith(HWND prototype, std::string_view text)
{
    const LRESULT count = SendMessageA(prototype, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(prototype, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) continue;
        std::string item(static_cast<std::size_t>(length) + 1, '\0');
        SendMessageA(prototype, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(length));
        if (startsWithIgnoringCase(item, text)) return static_cast<INTEGER>(i);
    }
    return -1;
}

// A pasted field read as a number of the column's kind; false when it does not read. A blank
// field reads as "no value". D and d are exponent letters only where double precision is written
// with them; an integer field with an exponent does not read.
bool pastedNumber(const GridColumnRecord& col, std::string field, DOUBLE& value, bool& present)
{
    present = !blankText(field);
    value = 0.0;
    if (!present) return true;
    if (col.kind == kCellInteger && field.find_first_of("eE") != std::string::npos) return false;
    if (col.kind != kCellDouble && field.find_first_of("dD") != std::string::npos) return false;
    INTEGER ok = 0;
    YYParseNumberChecked(value, ok, field);
    if (!ok) return false;
    if (col.kind == kCellInteger) {
        if (!YYGridFitsInteger(value)) return false;
        value = static_cast<DOUBLE>(YYGridClampInteger(value));
    } else if (col.kind == kCellReal) {
        value = static_cast<DOUBLE>(YYGridRoundReal(value));
    }
    return !YYGridRangeTest(col.prototype, value);
}

// Stores one pasted field into a cell by the column's kind; false when the cell stays.
bool pasteField(GridColumnRecord& col, INTEGER row, std::string_view field)
{
    unsigned char& flags = col.flags[static_cast<std::size_t>(row)];
    switch (col.kind) {
    case kCellText: col.setText(row, field); return true;
    case kCellInteger: case kCellReal: case kCellDouble: {
        DOUBLE value = 0.0;
        bool present = false;
        if (!pastedNumber(col, std::string(field), value, present)) return false;
        if (present) {
            col.setNumber(row, value);
            flags |= kCellValuePresent | kCellHadValue;
        } else {
            // Emptied as a cleared cell is: a ranged editor would refuse to leave an empty entry
            // that still counts as having had a value.
            flags &= static_cast<unsigned char>(~(kCellValuePresent | kCellHadValue));
        }
        return true;
    }
    case kCellCheckBox: col.setNumber(row, equalIgnoringCase(field, "Yes") ? 1.0 : 0.0); return true;
    case kCellMenu: {
        const INTEGER option = optionBeginningWith(col.prototype, field);
        if (option < 0) return false;
        col.setNumber(row, option);
        return true;
    }
    default: return false;
    }
}

bool anyProtected(GridRecord& g, INTEGER firstColumn, INTEGER lastColumn, INTEGER firstRow, INTEGER lastRow)
{
    for (INTEGER c = firstColumn; c <= lastColumn; ++c) {
        const GridColumnRecord* col = g.column(c);
        if (!col) continue;
        for (INTEGER r = firstRow; r <= lastRow; ++r)
            if (col->inside(r) && (col->flags[static_cast<std::size_t>(r)] & kCellProtected)) return true;
    }
    return false;
}

std::size_t longestOption(HWND prototype)
{
    std::size_t longest = 0;
    const LRESULT count = SendMessageA(prototype, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        longest = std::max<std::size_t>(longest, static_cast<std::size_t>(
                                                     std::max<LRESULT>(0, SendMessageA(prototype, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0))));
    return longest;
}

}  // namespace

INTEGER YYClipHasText()
{
    std::string text;
    if (!clipboardText(text) || text.empty()) return kClipEmpty;
    return text.find('\t') != std::string::npos || text.find("\r\n") != std::string::npos ? kClipCells : kClipSingle;
}

void YYClipCountCells(INTEGER& rows, INTEGER& columns)
{
    rows = columns = 1;
    std::string text;
    if (!clipboardText(text)) return;
    YYClipFields(text, [&](std::string_view, INTEGER row, INTEGER column) {
        rows = std::max(rows, row + 1);
        columns = std::max(columns, column + 1);
    });
}

INTEGER YYGridPasteUnprotected(HWND grid)
{
    GridRecord* record = YYGridRecordOf(grid);
    if (!record || record->hasStyle(kGridReadOnlyStyle)) return 0;
    GridRecord& g = *record;
    INTEGER rows = 1, columns = 1;
    YYClipCountCells(rows, columns);
    const INTEGER lastColumn = std::min(g.columns - 1, g.currentColumn + columns - 1);
    const INTEGER lastRow = std::min(g.rows - 1, g.currentRow + rows - 1);
    return anyProtected(g, g.currentColumn, lastColumn, g.currentRow, lastRow) ? 0 : 1;
}

INTEGER YYGridCopy(HWND grid)
{
    GridRecord* record = YYGridRecordOf(grid);
    if (!record || !record->hasSelection()) return 0;
    GridRecord& g = *record;
    bool copied = false;
    {
        ClipboardSession clipboard(grid);
        if (clipboard.isOpen() && EmptyClipboard()) {
            // The buffer is sized from the columns' widest texts, as the clipboard wants its size
            // before the text exists; the text itself decides what goes in.
            std::size_t perRow = 1;
            for (INTEGER c = g.selFirstColumn; c <= g.selLastColumn; ++c) {
                const GridColumnRecord* col = g.column(c);
                if (!col) continue;
                switch (col->kind) {
                case kCellText: perRow += static_cast<std::size_t>(col->textLength) + 1; break;
                case kCellInteger: perRow += 12; break;
                case kCellCheckBox: perRow += 4; break;
                case kCellMenu: perRow += longestOption(col->prototype) + 1; break;
                default: perRow += 51; break;
                }
            }
            std::string text;
            text.reserve(perRow * static_cast<std::size_t>(g.selLastRow - g.selFirstRow + 1) + 1);
            std::string cell;
            for (INTEGER r = g.selFirstRow; r <= g.selLastRow; ++r) {
                for (INTEGER c = g.selFirstColumn; c <= g.selLastColumn; ++c) {
                    if (c > g.selFirstColumn) text += '\t';
                    YYGridCellText(g, c, r, cell, 0);
                    text += cell;
                }
                text += "\r\n";
            }
            GlobalMemoryHandle memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1));
            if (memory) {
                {
                    GlobalLockGuard lock(memory.get());
                    if (lock.data()) std::memcpy(lock.data(), text.c_str(), text.size() + 1);
                }
                // The clipboard owns the memory once it has taken it.
                if (SetClipboardData(CF_TEXT, memory.get())) {
                    memory.release();
                    copied = true;
                }
            }
        }
    }
    if (!copied) {
        MessageBoxA(nullptr,
                    "Either the clipboard is in use by another application or there is\r"
                    "insufficient memory available for the amount of data being copied",
                    "Unable to Copy Data to Clipboard", MB_OK | MB_ICONERROR | MB_TASKMODAL);
        return 0;
    }
    return 1;
}

void YYGridPaste(HWND grid)
{
    GridRecord* record = YYGridRecordOf(grid);
    if (!record) return;
    GridRecord& g = *record;
    std::string text;
    if (!clipboardText(text) || text.empty()) return;
    YYGridClearSelection(grid);
    const INTEGER c0 = g.currentColumn, r0 = g.currentRow;
    INTEGER lastColumn = c0, lastRow = r0;
    bool editorCell = false;
    YYClipFields(text, [&](std::string_view field, INTEGER rowOffset, INTEGER columnOffset) {
        const INTEGER c = c0 + columnOffset, r = r0 + rowOffset;
        if (c >= g.columns || r >= g.rows) return;
        GridColumnRecord* col = g.column(c);
        if (!col || !col->inside(r)) return;
        if (!pasteField(*col, r, field)) return;
        lastColumn = std::max(lastColumn, c);
        lastRow = std::max(lastRow, r);
        if (g.editor && c == g.currentColumn && r == g.currentRow) editorCell = true;
        YYGridRedrawCell(g, c, r, gridState().redrawOn != 0);
    });
    // The editor shows what its cell now holds.
    if (editorCell) YYCellEditLoad(g);
    if (gridState().redrawOn && g.cellArea) UpdateWindow(g.cellArea);
    if (g.hasStyle(kGridPasteEvents))
        recordBlockEvent(g, 1, YYGridPackCell(c0, r0), YYGridPackCell(lastColumn, lastRow), true);
    g.markChanged();
}

void YYGridClearSelected(HWND grid)
{
    GridRecord* record = YYGridRecordOf(grid);
    if (!record || !record->hasSelection()) return;
    GridRecord& g = *record;
    const INTEGER firstColumn = g.selFirstColumn, lastColumn = g.selLastColumn;
    const INTEGER firstRow = g.selFirstRow, lastRow = g.selLastRow;
    for (INTEGER c = firstColumn; c <= lastColumn; ++c) {
        GridColumnRecord* col = g.column(c);
        if (!col) continue;
        for (INTEGER r = firstRow; r <= lastRow; ++r) {
            if (!col->inside(r)) continue;
            col->clear(r, 0);
            YYGridRedrawCell(g, c, r, false);
        }
    }
    YYGridClearSelection(grid);
    if (g.editor && g.currentColumn >= firstColumn && g.currentColumn <= lastColumn && g.currentRow >= firstRow &&
        g.currentRow <= lastRow)
        YYCellEditLoad(g);
    if (g.cellArea) UpdateWindow(g.cellArea);
    if (g.hasStyle(kGridPasteEvents))
        recordBlockEvent(g, 1, YYGridPackCell(firstColumn, firstRow), YYGridPackCell(lastColumn, lastRow), true);
    g.markChanged();
}

void YYGridBlockCommand(HWND grid, INTEGER command)
{
    switch (command) {
    case 32122:
        if (YYGridSelUnprotected(grid) && YYGridCopy(grid)) YYGridClearSelected(grid);
        return;
    case 32123: YYGridCopy(grid); return;
    case 32124:
        if (YYGridPasteUnprotected(grid)) YYGridPaste(grid);
        return;
    case 32125:
        if (YYGridSelUnprotected(grid)) YYGridClearSelected(grid);
        return;
    default: return;
    }
}
