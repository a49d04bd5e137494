// A grid's set-up from the [Grids] line of its dialog's field table and the template dialog named
// there, and the copy of a grid into the modal instance of its dialog and back.
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// Toolkit-internal

// text: the [Grids] line after the field id ("columns rows template"), then, for a grid with row
// labels, the width line and the label lines. consumed := the characters taken. A set-up that
// fails destroys the grid window.
void YYGridFromTemplate(HWND grid, std::string_view text, INTEGER& consumed);
INT_PTR CALLBACK YYGridTemplateProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Copies a grid into the grid of another instance of the same dialog (both directions of a modal show).
void YYGridRebuild(HWND target, HWND source);
// A rectangle in dialog units into pixels with the window's font.
void YYDialogRectToPixels(HWND window, RECT& rect);
// Builds the columns from a template dialog (message WM_USER+1); 1 on success.
LRESULT YYGridBuildColumns(HWND grid, HWND templateDialog, const INTEGER* positions);
// Makes the row-label headers and reads the labels (message WM_USER+2); characters consumed or -1.
LRESULT YYGridMakeRowLabels(HWND grid, INTEGER widthUnits, const char* text);
