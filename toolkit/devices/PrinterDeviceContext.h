// The printer device context with the user's page settings, and the screen print: a rectangle of
// the current drawable printed as one bitmap page (the screen driver's OpEndPage).
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"

// Toolkit-internal

// A device context on the printer of the page set-up (the default printer until the user chose
// another), landscape or portrait, with the copies and every device-mode choice the user set that
// the printer supports; empty when the printer cannot be opened.
MemoryDcHandle YYPrinterCreateDC(INTEGER landscape, INTEGER copies);

// Starts a one-page print job: width, height and offsets in points, landscape flag, copies and
// the document name. failure 1 when no context or no document (then nothing is left open).
void YYScreenPrintBegin(INTEGER width, INTEGER height, INTEGER xOffset, INTEGER yOffset, INTEGER& failure,
                        INTEGER landscape, INTEGER copies, std::string_view documentName);
// Copies the inclusive pixel rectangle of the current drawable onto the page as a DIB, stretched
// to the plot size; failure 1 when the copy or the transfer fails.
void YYScreenPrintArea(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER& failure);
// Ends the page and the document and deletes the context.
void YYScreenPrintEnd();
// The bytes of the colour table that follows a DIB header (BITMAPINFOHEADER or BITMAPCOREHEADER).
INTEGER YYDibColourCount(const BITMAPINFOHEADER& header);

// Installs the screen print in the screen driver's output hooks.
void YYScreenPrintHooksInstall();
