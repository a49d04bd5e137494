// The grid's live cell editor: a visible copy of the current column's prototype over the current
// cell, stored into its cell and made again at every move; its subclass turns keys into cell
// movement and keeps the block display right as the focus comes and goes.
#pragma once

#include "toolkit/dialogs/GridRecords.h"

// Toolkit-internal

// Makes a cell current (0-based); false when the move is refused (an entry that fails its check).
bool YYGridMoveCell(HWND grid, INTEGER column, INTEGER row, bool takeFocus, bool extend);
// Sends a scroll message to the grid and, with extend, grows the block with the movement it caused.
void YYGridForwardExtend(HWND grid, UINT message, WPARAM code, LPARAM unused, bool extend);
void YYCellEditCreate(GridRecord& grid);
void YYCellEditDestroy(GridRecord& grid, bool store);
void YYCellEditLoad(GridRecord& grid);
void YYCellEditStore(GridRecord& grid);
void YYCellEditReadOnly(HWND editor, INTEGER kind, bool readOnly, bool update);
LRESULT CALLBACK YYCellEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// An up-down subclass that hands a Shift+press to its buddy; nothing installs it.
LRESULT CALLBACK YYGridShiftClickProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Whether an editor of this kind shows text (text and number cells).
inline bool YYGridTextKind(INTEGER kind) { return kind >= kCellText && kind <= kCellDouble; }
