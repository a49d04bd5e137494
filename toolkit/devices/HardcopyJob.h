// The hardcopy job: device selections read at start-up, the printer-available flag, the output
// and temporary file names, and ending a running job.
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

struct HardcopyJobState {
    INTEGER Active = 0;
    INTEGER PageOpen = 0;
    INTEGER PrinterModel = 0, PrinterSet = 0;
    INTEGER PlotterType = 0, PlotterSet = 0;
    INTEGER Hpgl2Type = 0, Hpgl2Set = 0;
    INTEGER PrinterAvailableFlag = 0;
    FixedText<260> ScreenDumpFile;
    FixedText<260> OutputFile;
    FixedText<260> TempPlotFile;
    FixedText<260> TempDumpFile;
    FixedText<260> PrintCommand;  // "@" stands for the plot file; blank when none
    INTEGER LFNPLOT = 42;
};

HardcopyJobState& hardcopyJobState();

// Action "S" (or "s") ends a running job and runs a stored print command on the plot file.
void IGrHardcopyBeginEnd(std::string_view action, std::string_view title);

// Toolkit-internal

void YYPrinterModel(INTEGER model);
void YYPlotterModel(INTEGER type);
void YYHpgl2Model(INTEGER type);
void YYScreenDumpDevice(INTEGER kind);

// How a print command is started: replaceable so that tests never start programs. Returns the
// program's exit status, or -1 when it could not be started.
using PrintCommandLauncher = INTEGER (*)(std::string_view commandLine);
void YYSetPrintCommandLauncher(PrintCommandLauncher launcher);
