// The hardcopy driver of device 10: every drawing operation of the graphics layer as GDI calls on
// a print job of the Windows printer, one printed page per OpEndPage.
#pragma once

#include "toolkit/foundation/CoreTypes.h"

// The driver's own facts about the printer and the job, for the toolkit and its tests.
struct WindowsPrinterDriverState {
    INTEGER Colours = 0;       // colour count of the last query or job
    INTEGER QueryStatus = 0;   // 0: a printer was found
    INTEGER PageWidth = 0, PageHeight = 0;  // plot size in printer pixels
    REAL ResolutionX = 0, ResolutionY = 0;
    INTEGER Red = 255, Green = 255, Blue = 255;
    INTEGER SavedRed = 255, SavedGreen = 255, SavedBlue = 255;
    INTEGER FillRed = 0, FillGreen = 0, FillBlue = 0;
    INTEGER FillApplied = 0;
    INTEGER Ascent = 0, CellHeight = 0;
    INTEGER StartFailed = 0, StartError = 0;
};

WindowsPrinterDriverState& windowsPrinterDriverState();

// The driver: one op of the driver protocol.
void XXWIN(INTEGER op);

// Toolkit-internal

// Installs XXWIN as the driver of device 10 and the screen print of the screen driver.
void YYWindowsPrinterInstall();
