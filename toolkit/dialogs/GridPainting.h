// The grid's cell area ("DOVEGRIDCLIENT"): painting of cells, lines and the selected block, mouse
// presses handed to the cell editor, the editor's colours and notifications, the row-label slots
// that follow its height; and the header controls' subclass and the cell redraw routines.
#pragma once

#include "toolkit/dialogs/GridRecords.h"

// Toolkit-internal

LRESULT CALLBACK YYGridClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYGridHeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Invalidates a cell when it is on screen and, with update, repaints it at once.
void YYGridRedrawCell(GridRecord& grid, INTEGER column, INTEGER row, bool update);
// Single-cell redraws only invalidate until YYGridResumeRedraw, which updates the addressed grid
// (field 0: the current grid window's grid).
void YYGridHoldRedraw();
void YYGridResumeRedraw(INTEGER field);
// Writes each shown row-label header's label and shows it when its row exists.
void YYGridRefreshRowLabels(GridRecord& grid);
// Draws the source into the target with the button-face pixels turned into the highlight colour.
void YYDrawMaskedCheck(HBITMAP source, HBITMAP target, HBITMAP work);
// The window itself when it is an "EDIT" or a numeric edit, else null.
HWND YYFindEditChild(HWND window);
// The cell at a point of the cell area among the shown cells; false outside them.
bool YYGridHitTest(const GridRecord& grid, POINT point, INTEGER& column, INTEGER& row);
// A cell's interior in cell-area pixels (also for cells off screen).
RECT YYGridCellInterior(const GridRecord& grid, INTEGER column, INTEGER row);
