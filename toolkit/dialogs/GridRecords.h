// The grid control's records and its window of class "DOVEGRID": a spreadsheet-like field of typed
// cells whose columns come from a template dialog, with a column header, row labels, a painted cell
// area and one live cell editor.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/dialogs/GridCells.h"
#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"

// Grid window style bits (the low 16 bits of the "DOVEGRID" style).
enum GridStyleCode : LONG {
    kGridColoursEverywhere = 0x10, kGridSelectionEvents = 0x20, kGridPasteEvents = 0x40, kGridNoLabelLines = 0x80,
    kGridKeepHeight = 0x100, kGridColumnHeader = 0x200, kGridRowLabels = 0x400, kGridReadOnlyStyle = 0x800,
    kGridEnterDown = 0x1000, kGridResizableColumns = 0x2000, kGridTabCells = 0x4000, kGridWrap = 0x8000,
};

// The grid's private messages.
enum GridMessage : UINT {
    kGridBuildColumns = WM_USER + 1, kGridMakeRowLabels = WM_USER + 2, kGridLayoutScroll = WM_USER + 3,
    kGridSetSize = WM_USER + 4, kGridFinish = WM_USER + 5, kGridLayoutHeader = WM_USER + 6,
};

// One column: its cells (GridCells.h), its pixel width including one shared grid line, and the
// hidden prototype control whose field record holds the column's format, limits and colours.
struct GridColumnRecord : GridCellStorage {
    INTEGER width = 0;
    HWND prototype = nullptr;
};

// Per grid window, attached to its first extra window word. Rows and columns count from 0. The
// column table and the row labels are shared with the grid of a dialog's modal instance.
struct GridRecord {
    HWND window = nullptr;
    INTEGER initialised = 0;
    INTEGER columns = 0;
    INTEGER maxFirstColumn = 0;
    INTEGER capacity = 0;
    INTEGER templateColumns = 0;
    INTEGER rows = 0;
    INTEGER visibleRows = 0;
    INTEGER rowSlots = 0;
    INTEGER rowSlotsMade = 0;
    INTEGER rowHeight = 0;
    INTEGER currentColumn = 0, currentRow = 0;
    INTEGER firstColumn = 0, lastColumn = 0;
    INTEGER firstRow = 0;
    INTEGER labelWidth = 0;
    INTEGER headerHeight = 0;
    INTEGER templateId = 0;
    INTEGER selFirstRow = -1, selLastRow = -1, selFirstColumn = -1, selLastColumn = -1;
    INTEGER anchorColumn = -1, anchorRow = -1;
    INTEGER scrollScale = 1;
    INTEGER pendingRow = 0;
    INTEGER wheelDelta = 0;
    INTEGER designHeight = 0;
    INTEGER frameHeight = 0;
    std::shared_ptr<std::vector<GridColumnRecord>> columnTable;
    HWND cellArea = nullptr;
    HWND editor = nullptr;
    HWND columnHeader = nullptr;
    std::vector<HWND> labelHeaders;
    HWND menuTarget = nullptr;
    std::shared_ptr<std::vector<std::string>> rowLabels;
    HWND openDropDown = nullptr;
    INTEGER changedSinceSave = 0, changedSinceLoad = 0;
    INTEGER embedded = 0;
    HFONT font = nullptr;

    LONG style() const { return GetWindowLongA(window, GWL_STYLE); }
    bool hasStyle(LONG bit) const { return (style() & bit) != 0; }
    GridColumnRecord* column(INTEGER c)
    {
        return columnTable && c >= 0 && c < static_cast<INTEGER>(columnTable->size()) ? &(*columnTable)[static_cast<std::size_t>(c)]
                                                                                      : nullptr;
    }
    bool hasSelection() const { return selFirstRow >= 0; }
    bool inSelection(INTEGER c, INTEGER r) const
    {
        return hasSelection() && r >= selFirstRow && r <= selLastRow && c >= selFirstColumn && c <= selLastColumn;
    }
    void markChanged() { changedSinceSave = changedSinceLoad = 1; }
};

// What all grid windows share: flags set around single calls, never held across a wait.
struct GridState {
    UINT cellChangeMessage = 0;
    INTEGER liveGridRecords = 0;
    INTEGER redrawOn = 1;            // off: single-cell redraws only invalidate
    INTEGER suppressNotify = 0;      // the grid gives its editor the focus on its own
    INTEGER focusFromOutside = 0;    // the editor's focus came from outside its grid
    INTEGER focusAway = 0;           // the block was painted without the focus
    INTEGER editorLoading = 0;       // the editor is being filled from its cell: no change notices
    INTEGER dragColumn = -1, dragRow = -1;
    HWND selectOnRelease = nullptr;  // the editor a click entered: its whole text is selected at the release
    INTEGER printDefaultsFetched = 0;
    GdiObjectHandle editorBrush;     // the last brush made for the editor's background
};

GridState& gridState();

// Toolkit-internal

LRESULT CALLBACK YYGridProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The record of a grid window, or null for any other window.
GridRecord* YYGridRecordOf(HWND grid);
// The grid record a cell area, header or editor belongs to (climbing to the grid window).
GridRecord* YYGridRecordAbove(HWND window);
// Sends "GM_CELLCHANGE" for a packed cell to the grid's parent.
void YYGridNotifyCell(const GridRecord& grid, INTEGER packed);
// Whether the window with the focus is the grid or lies inside it.
bool YYGridHasFocus(const GridRecord& grid);
// Whether the grid belongs to the running modal instance of its dialog.
bool YYGridInModalInstance(HWND grid);
// Scrolls so that the row is visible (first row when above, last whole row when below).
void YYGridScrollRowIntoView(GridRecord& grid, INTEGER row);
// Scrolls so that the column is visible (first visible when left, last visible when right).
void YYGridScrollColumnIntoView(GridRecord& grid, INTEGER column);
// The horizontal position of a column's left line in the cell area.
INTEGER YYGridColumnX(const GridRecord& grid, INTEGER column);
// The rows drawn: rowSlotsMade while the grid is not scrolled to its end, else min(visibleRows, rows).
INTEGER YYGridShownRows(const GridRecord& grid);
// Sets the row count (1 to capacity): clears the selection, stores and remakes the editor as needed.
void YYGridResizeRows(GridRecord& grid, INTEGER rows);
// Lays out the scroll bars, maxFirstColumn and lastColumn (message WM_USER+3).
void YYGridLayoutScroll(GridRecord& grid);
// Measures the row height of a combo box in the given font.
INTEGER YYGridMeasureRowHeight(HWND grid, HFONT font);
