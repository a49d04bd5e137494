// Hardcopy device 4, the raster printer file: the driver sizes a raster page for the selected
// printer model (Epson 9- and 24-pin, IBM 24-pin, ESC/P 2 ink-jet, HP PCL), falling back to a
// lower resolution when the page does not fit in memory, lets the raster renderer draw into it,
// and at each page end builds the model's command strings and dumps the page as a printer
// command file, which a print command may take afterwards (platform-free).
#pragma once

#include "toolkit/foundation/CoreTypes.h"

// The print geometry of the current page: dots along a print line and print lines (page width and
// height on an unrotated page, exchanged on a rotated one, option 5 not 0).
struct RasterPrinterPage {
    INTEGER DotsPerLine = 0;
    INTEGER PrintLines = 0;
};

RasterPrinterPage& rasterPrinterPage();

// Toolkit-internal

// The driver entry of device 4: OpInit, OpBeginOutput and OpEndPage; every other operation goes
// to the raster renderer.
void XXRAST(INTEGER op);
// Fills rasterPrinterCommands() for the selected model, a page of dotsPerLine x lineCount.
void YYRasterPrinterSetup(INTEGER dotsPerLine, INTEGER lineCount);
