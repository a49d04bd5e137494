// Grid printing: a range of a grid on the default Windows printer through a print job of its own,
// with two page set-up records (selector 1 and any other value), their options, the page set-up
// dialog and the page layout, which draws on any device context it is given.
#pragma once

#include <string_view>

#include "toolkit/dialogs/GridPrintLayout.h"
#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

struct GridRecord;

struct GridPrintSetupRecord {
    HGLOBAL printerSettings = nullptr;  // device-mode block
    HGLOBAL printerNames = nullptr;     // names block
    GridPageMargins page;
    INTEGER scale = 100;
    INTEGER rowLines = 1, columnLines = 1, everyPage = 1, textColours = 0, backColours = 0;
    bool filled = false;
};

// Records 1 and 2 by selector (1 the first, any other value the second).
GridPrintSetupRecord& gridPrintSetup(INTEGER selector);

// What one page layout run needs: the range (0-based, inclusive), the printable rectangle on the
// target in its pixels, its pixels per inch and the fonts made for it.
struct GridPrintJob {
    INTEGER firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
    RECT page{};
    INTEGER pixelsX = 96, pixelsY = 96;
    HFONT font = nullptr, symbolFont = nullptr;
    INTEGER pages = 0;  // counted by the layout
};

// Toolkit-internal

void YYGridPrintDefaults();
void YYGridGetPrintOptions(INTEGER& rowLines, INTEGER& columnLines, INTEGER& everyPage, INTEGER& textColours,
                           INTEGER& backColours, INTEGER& scale, INTEGER selector);
void YYGridSetPrintOptions(INTEGER rowLines, INTEGER columnLines, INTEGER everyPage, INTEGER textColours,
                           INTEGER backColours, INTEGER scale, INTEGER selector);
void YYGridPageSetup(INTEGER units, INTEGER selector);
void YYGridGetPage(INTEGER code, INTEGER& value, INTEGER selector);
void YYGridSetPage(INTEGER code, INTEGER value, INTEGER selector);
// Prints rows and columns (0-based, inclusive) of the grid field (0: the current grid editor's);
// result 1 when the job ran, 0 when no printer context could be made.
void YYGridPrint(INTEGER field, INTEGER& result, INTEGER firstRow, INTEGER lastRow, INTEGER firstColumn,
                 INTEGER lastColumn, INTEGER selector, std::string_view title);
// The page layout on a target context; startPage and endPage are called around each page (null on
// a context without pages, such as a metafile).
void YYGridPrintLayout(GridRecord& grid, HDC target, HDC screen, GridPrintJob& job, const GridPrintSetupRecord& setup,
                       bool (*startPage)(HDC), void (*endPage)(HDC));
// The row-label column of a page: returns the new x.
INTEGER YYGridPrintPage(GridRecord& grid, INTEGER firstRowOfRange, INTEGER firstRow, INTEGER lastRow, INTEGER x,
                        INTEGER rowHeight, INTEGER textHeight, INTEGER averageWidth, HDC target, HDC screen,
                        const GridPrintJob& job, const GridPrintSetupRecord& setup, bool headerShown);
