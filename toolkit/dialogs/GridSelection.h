// The grid's selected block: set, cleared, located on screen and checked for protection, and the
// text of one cell as painting and copying show it.
#pragma once

#include <string>

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
