// The default Windows printer: its names (kept with the page set-up's), its page and colours, and
// the screen dump set up from it.
#pragma once

#include "toolkit/foundation/CoreTypes.h"

// Toolkit-internal

// Reads the WIN.INI "Device" value of section "windows" into the page set-up's device, driver and
// port names; 1 on success, 0 when the system names no printer.
INTEGER YYPrinterDefaultName();
// The printer's page in points (long and short side, a plot area one inch inside them, its
// offsets, landscape, one copy), its colour count and the status: 0, or the system's error code
// with every other output 0. Resets the page set-up's device-mode choices to "not set".
void YYPrinterQuery(INTEGER& longSide, INTEGER& shortSide, INTEGER& width, INTEGER& height, INTEGER& xOffset,
                    INTEGER& yOffset, INTEGER& orientation, INTEGER& copies, INTEGER& colours, INTEGER& status);
// Sets up the screen dump for device kind 2 (PostScript), 4 (raster printer) or, for any other
// kind, the Windows printer; for the printer returns 1 when it could be queried, else 0.
INTEGER YYScreenDumpDevice(INTEGER kind);
