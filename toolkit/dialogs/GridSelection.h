// The grid's selected block: set, cleared, located on screen and checked for protection; blocks
// copied to the clipboard as text (TAB between cells, CR LF after each row), cleared and cut, and
// clipboard text pasted from the current cell on; and the text of one cell as painting and
// copying show it.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/dialogs/GridRecords.h"

// Toolkit-internal

// Sets the block (0-based bounds); equal bounds change nothing. With grid style 0x20 the change
// is recorded as event 10.
void YYGridSetSelection(HWND grid, INTEGER firstRow, INTEGER lastRow, INTEGER firstColumn, INTEGER lastColumn);
// Clears the block (and the anchor in any case).
void YYGridClearSelection(HWND grid);
// The block's rectangle in the cell area; 0 when there is no block or it is not on screen.
INTEGER YYGridSelectionRect(HWND grid, RECT& rect);
// 1 when the grid is not read-only and no cell of the block is protected, else 0.
INTEGER YYGridSelUnprotected(HWND grid);
// One cell as text; mode 1 (painting) writes a check box as the symbol-font characters 0xFC
// (checked) and 0xFB, any other mode as "Yes" and "No".
void YYGridCellText(GridRecord& grid, INTEGER column, INTEGER row, std::string& text, INTEGER mode);
// The cell layer's entries: clear the block, or set it after checking the bounds (field := -2).
void YYGridUnselect(INTEGER& field);
void YYGridSelectBlock(INTEGER& field, INTEGER firstColumn, INTEGER firstRow, INTEGER lastColumn, INTEGER lastRow);

// The clipboard as the grid sees it: 0 no text, 1 a single value (no TAB, no CR LF), 2 multi-cell
// text.
enum GridClipState : INTEGER { kClipEmpty = 0, kClipSingle = 1, kClipCells = 2 };
INTEGER YYClipHasText();
// The size of the clipboard text: rows = 1 + the CR LFs followed by more text, columns = the most
// TAB-separated fields of a row; 1 and 1 without text.
void YYClipCountCells(INTEGER& rows, INTEGER& columns);
// 1 when the grid is not read-only and no protected cell lies where a paste at the current cell
// would write, else 0.
INTEGER YYGridPasteUnprotected(HWND grid);
// Copies the block as text; 1 on success, else 0 after the copy-failure box.
INTEGER YYGridCopy(HWND grid);
// Pastes the clipboard text from the current cell on (protection is the caller's check).
void YYGridPaste(HWND grid);
// Empties every cell of the block and clears the selection.
void YYGridClearSelected(HWND grid);
// The block commands of the keys and the context menu: 32122 cut, 32123 copy, 32124 paste,
// 32125 delete; cut, paste and delete only when no protected cell is touched.
void YYGridBlockCommand(HWND grid, INTEGER command);
// Splits clipboard text into fields as a paste does: a field ends at a TAB, a CR (with the line
// feed after it) or the end; calls sink(text, rowOffset, columnOffset) for each.
template <class Sink>
void YYClipFields(std::string_view text, Sink&& sink)
{
    INTEGER row = 0, column = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\t' && text[i] != '\r') continue;
        if (i == text.size() && start == i && column == 0) break;  // nothing after the last row end
        sink(text.substr(start, i - start), row, column);
        if (i == text.size()) break;
        if (text[i] == '\t') {
            ++column;
        } else {
            ++row;
            column = 0;
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
        start = i + 1;
    }
}
