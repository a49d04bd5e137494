#include "toolkit/dialogs/GridFindSort.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cstring>
#include <string>

#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridCellEditor.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridPainting.h"
#include "toolkit/dialogs/GridSelection.h"
#include "toolkit/foundation/ErrorReport.h"

namespace {

// The grid a public routine addresses, after the errors 1005 and 1006.
GridRecord* addressed(INTEGER field, const char* routine, bool dialogEvenForZero = false)
{
    if ((field != 0 || dialogEvenForZero) && !YYCurrentDialog()) {
        YYErrorReport(1005, routine);
        return nullptr;
    }
    GridRecord* g = YYGridFind(field);
    if (!g) YYErrorReport(1006, routine);
    return g;
}

bool isNumber(INTEGER kind) { return kind == kCellInteger || kind == kCellReal || kind == kCellDouble; }

// Copies what the program sees of a cell from one row to another in the same column: texts,
// values with their value flags (protection stays where it is), check states and options.
void copyCell(GridColumnRecord& col, INTEGER from, INTEGER to)
{
    const std::size_t size = col.cellSize();
    std::memcpy(&col.values[static_cast<std::size_t>(to) * size], &col.values[static_cast<std::size_t>(from) * size], size);
    if (isNumber(col.kind)) {
        const unsigned char source = col.flags[static_cast<std::size_t>(from)];
        unsigned char& target = col.flags[static_cast<std::size_t>(to)];
        target = static_cast<unsigned char>(target & kCellProtected);
        if (source & kCellValuePresent) target |= kCellValuePresent | kCellHadValue;
    }
}

// Emptied rows: menu cells show their first item, all others are cleared.
void emptyRow(GridRecord& g, INTEGER row, bool labels)
{
    for (INTEGER c = 0; c < g.columns; ++c)
        if (GridColumnRecord* col = g.column(c); col && col->inside(row)) col->clear(row, 0);
    if (labels && g.rowLabels && row < static_cast<INTEGER>(g.rowLabels->size())) (*g.rowLabels)[static_cast<std::size_t>(row)].clear();
}

// A row operation changes storage only: the editor is stored before and shows its cell after.
class StorageChange {
public:
    explicit StorageChange(GridRecord& g) : g_(g)
    {
        YYGridClearSelection(g.window);
        YYCellEditStore(g);
        YYGridHoldRedraw();
    }
    ~StorageChange()
    {
        if (g_.editor) YYCellEditLoad(g_);
        YYGridRefreshRowLabels(g_);
        if (g_.cellArea) InvalidateRect(g_.cellArea, nullptr, TRUE);
        g_.markChanged();
        gridState().redrawOn = 1;
        if (g_.cellArea) UpdateWindow(g_.cellArea);
    }
    StorageChange(const StorageChange&) = delete;
    StorageChange& operator=(const StorageChange&) = delete;

private:
    GridRecord& g_;
};

}  // namespace

INTEGER YYGridFindMatch(GridRecord& g, INTEGER column, INTEGER firstRow, INTEGER lastRow, std::string_view text,
                        INTEGER options)
{
    GridColumnRecord* col = g.column(column);
    if (!col) return -1;
    const bool searched = col->kind == kCellText || ((options & kFindNumbers) && isNumber(col->kind));
    if (!searched) return -1;
    // The cell is read into a field of the column's width, blank-padded, so that a search text
    // with trailing blanks matches a shorter cell text too.
    const std::size_t width = col->kind == kCellText ? static_cast<std::size_t>(col->textLength)
                              : col->kind == kCellInteger ? 11u : 50u;
    std::string cell;
    for (INTEGER r = std::max(firstRow, 0); r <= lastRow && r < g.rows; ++r) {
        YYGridCellText(g, column, r, cell, 0);
        cell.resize(width, ' ');
        if (YYGridTextHas(cell, text, (options & kFindIgnoreCase) != 0)) return r;
    }
    return -1;
}

void WGridFind(INTEGER field, std::string_view text, INTEGER options, LOGICAL* found, std::optional<INTEGER> firstColumn,
               std::optional<INTEGER> lastColumn, std::optional<INTEGER> firstRow, std::optional<INTEGER> lastRow)
{
    if (found) *found = kFalse;
    GridRecord* g = addressed(field, "WGridFind");
    if (!g) return;
    const INTEGER c1 = std::max(firstColumn.value_or(1), 1) - 1, c2 = std::min(lastColumn.value_or(g->columns), g->columns) - 1;
    const INTEGER r1 = std::max(firstRow.value_or(1), 1) - 1, r2 = std::min(lastRow.value_or(g->rows), g->rows) - 1;
    INTEGER startColumn = c1, startRow = r1;
    if ((options & kFindAfterCurrent) && g->currentColumn >= c1) {
        startColumn = g->currentColumn;
        startRow = std::max(g->currentRow + 1, r1);
    }
    for (INTEGER c = startColumn; c <= c2; ++c) {
        const INTEGER row = YYGridFindMatch(*g, c, c == startColumn ? startRow : r1, r2, text, options);
        if (row < 0) continue;
        INTEGER f = field;
        YYGridSetCurrent(f, c, row, -1);
        if (found) *found = kTrue;
        return;
    }
}

GridSortKey YYGridSortKey(GridRecord& g, INTEGER column, INTEGER row, INTEGER options)
{
    GridSortKey key;
    GridColumnRecord* col = g.column(column);
    const bool descending = (options & kSortDescending) != 0;
    if (!col || !col->inside(row)) return key;
    if (col->kind == kCellText) {
        key.isText = true;
        key.text = col->text(row);
        if (options & kSortIgnoreCase)
            for (char& ch : key.text)
                if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        return key;
    }
    const bool present = (col->flags[static_cast<std::size_t>(row)] & kCellValuePresent) != 0;
    switch (col->kind) {
    case kCellInteger:
        key.number = present ? col->integer(row) : (descending ? -2147483647.0 : 2147483647.0);
        break;
    case kCellReal:
        key.number = present ? col->number(row) : (descending ? -FLT_MAX : FLT_MAX);
        break;
    case kCellDouble:
        key.number = present ? col->number(row) : (descending ? -DBL_MAX : DBL_MAX);
        break;
    case kCellCheckBox: key.number = col->number(row) != 0.0 ? 1.0 : 0.0; break;
    case kCellMenu: key.number = col->integer(row) + 1; break;  // item number, 0 for none
    default: break;
    }
    return key;
}

void YYGridSwapRowsOf(GridRecord& g, INTEGER a, INTEGER b, bool labels)
{
    YYGridClearSelection(g.window);
    g.markChanged();
    if (a == b || a < 0 || b < 0 || a >= g.capacity || b >= g.capacity) return;
    const bool live = g.editor && (g.currentRow == a || g.currentRow == b);
    if (live) YYCellEditStore(g);
    if (labels && g.hasStyle(kGridRowLabels) && g.rowLabels && std::max(a, b) < static_cast<INTEGER>(g.rowLabels->size())) {
        std::swap((*g.rowLabels)[static_cast<std::size_t>(a)], (*g.rowLabels)[static_cast<std::size_t>(b)]);
        YYGridRefreshRowLabels(g);
    }
    for (INTEGER c = 0; c < g.columns; ++c) {
        GridColumnRecord* col = g.column(c);
        if (!col) continue;
        const std::size_t size = col->cellSize();
        std::swap_ranges(col->values.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(a) * size),
                         col->values.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(a + 1) * size),
                         col->values.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(b) * size));
        // A number's flags go with it (a protected number moves); other cells keep theirs in place.
        if (isNumber(col->kind)) std::swap(col->flags[static_cast<std::size_t>(a)], col->flags[static_cast<std::size_t>(b)]);
        YYGridRedrawCell(g, c, a, false);
        YYGridRedrawCell(g, c, b, false);
    }
    if (live) YYCellEditLoad(g);
    if (gridState().redrawOn && g.cellArea) UpdateWindow(g.cellArea);
}

void YYGridSwapRows(INTEGER& field, INTEGER rowA, INTEGER rowB, INTEGER labels)
{
    GridRecord* g = YYGridFind(field);
    if (!g) {
        field = -1;
        return;
    }
    YYGridSwapRowsOf(*g, rowA, rowB, labels != 0);
}

void WGridSort(INTEGER field, INTEGER column, INTEGER options, std::optional<INTEGER> firstRow, std::optional<INTEGER> lastRow)
{
    GridRecord* g = addressed(field, "WGridSort", true);
    if (!g) return;
    if (column < 1 || column > g->columns) {
        YYErrorReport(1017, "WGridSort");
        return;
    }
    // Rows outside the grid would be read and written past its cells: the range is held to them.
    const INTEGER first = std::clamp(firstRow.value_or(1), 1, g->rows) - 1;
    const INTEGER last = std::clamp(lastRow.value_or(g->rows), 1, g->rows) - 1;
    if (first >= last) return;
    StorageChange change(*g);
    const bool labels = (options & kSortMoveLabels) != 0;
    YYGridSortRows(
        first, last, (options & kSortDescending) != 0,
        [&](INTEGER row) { return YYGridSortKey(*g, column - 1, row, options); },
        [&](INTEGER a, INTEGER b) { YYGridSwapRowsOf(*g, a, b, labels); });
}

void WGridDeleteRows(INTEGER field, INTEGER row, INTEGER count, INTEGER shrink, INTEGER labels)
{
    GridRecord* g = addressed(field, "WGridDeleteRows");
    if (!g) return;
    if (row < 1 || row > g->rows) {
        YYErrorReport(1017, "WGridDeleteRows");
        return;
    }
    const INTEGER rows = g->rows;
    count = std::min(count, rows - row + 1);
    if (count < 1) return;
    const bool moveLabels = labels == 1 && g->rowLabels;
    {
        StorageChange change(*g);
        for (INTEGER r = row - 1; r < rows - count; ++r) {
            for (INTEGER c = 0; c < g->columns; ++c)
                if (GridColumnRecord* col = g->column(c)) copyCell(*col, r + count, r);
            if (moveLabels) (*g->rowLabels)[static_cast<std::size_t>(r)] = (*g->rowLabels)[static_cast<std::size_t>(r + count)];
        }
        for (INTEGER r = rows - count; r < rows; ++r) emptyRow(*g, r, moveLabels);
    }
    if (shrink == 1) YYGridResizeRows(*g, rows - count);
}

void WGridInsertRows(INTEGER field, INTEGER row, INTEGER count, INTEGER grow, INTEGER labels)
{
    GridRecord* g = addressed(field, "WGridInsertRows");
    if (!g) return;
    if (row < 1 || row > g->rows) {
        YYErrorReport(1017, "WGridInsertRows");
        return;
    }
    if (count < 1) return;
    if (grow == 1) YYGridResizeRows(*g, std::min(g->rows + std::min(count, g->capacity), g->capacity));
    const INTEGER rows = g->rows;
    const bool moveLabels = labels == 1 && g->rowLabels;
    StorageChange change(*g);
    // Rows pushed past the last row are lost; so are new rows that would lie past it.
    for (INTEGER r = rows - 1; r >= row - 1 + count; --r) {
        for (INTEGER c = 0; c < g->columns; ++c)
            if (GridColumnRecord* col = g->column(c)) copyCell(*col, r - count, r);
        if (moveLabels) (*g->rowLabels)[static_cast<std::size_t>(r)] = (*g->rowLabels)[static_cast<std::size_t>(r - count)];
    }
    for (INTEGER r = row - 1; r < std::min(rows, row - 1 + count); ++r) emptyRow(*g, r, moveLabels);
}

void WGridLabelRow(INTEGER field, INTEGER row, std::string_view text)
{
    GridRecord* g = addressed(field, "WGridLabelRow");
    if (!g) return;
    if (row < 1 || row > g->capacity) {
        YYErrorReport(1017, "WGridLabelRow");
        return;
    }
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    INTEGER f = field;
    YYGridSetRowLabel(f, row - 1, text);
}
