// The device models of the raster printer, HP-GL plotter and HP-GL/2 drivers (constant tables,
// the selection from the toolkit settings, the values the drivers read), the names the printer
// options dialog shows, and the screen-dump settings (platform-free).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

// One raster printer model: a five-character code (family letter, colour planes, colour kind
// letter, colour option limit, "2" when it also understands HP-GL/2) and its name.
struct PrinterModelEntry {
    std::string_view Code;
    std::string_view Name;
};

// Models 2 to 38 (index 0 and 1 unused); model 27 is never selected.
extern const std::array<PrinterModelEntry, 39> PrinterModelTable;
// Plotter types 1 to 10 and HP-GL/2 device types 1 to 5 (index 0 unused).
extern const std::array<std::string_view, 11> PlotterTypeNames;
extern const std::array<std::string_view, 6> Hpgl2TypeNames;

struct PrinterModelState {
    INTEGER PrinterModel = 0;
    INTEGER PrinterFamily = 0;       // 1-10; 0 for an unknown family letter
    INTEGER PrinterPlanes = 0;
    INTEGER PrinterColourKind = 0;   // 0 mono, 1 "R", 2 "C"
    INTEGER PrinterColourLimit = 0;  // largest value of option 24
    std::array<INTEGER, 4> PrinterResolutions{};  // dots per inch, highest first
    INTEGER PrinterResolutionCount = 0;          // largest value of option 13
    INTEGER PrinterHeadPins = 0;
    INTEGER PrinterLineAdvance = 0;  // 1/216 inch per head pass (dot-matrix families)
    INTEGER PlotterType = 0;
    INTEGER Hpgl2Type = 0;
    INTEGER Hpgl2TypeGiven = 0;
};

PrinterModelState& printerModelState();

// The screen dump's settings, numbered like the hardcopy options: 1, 2 page, 3, 4 offsets,
// 5 orientation, 6, 7, 8 copies, 13, 19, 20, 24.
struct ScreenDumpRecord {
    INTEGER DeviceKind = 10;  // 2 PostScript, 4 raster printer, 10 Windows printer
    std::array<INTEGER, 25> Settings{};
    FixedText<260> FileName;
};

ScreenDumpRecord& screenDumpRecord();

// The page of a printer query: sides, plot area and offsets in points, orientation, copies,
// colours and the status (0 when the printer could be queried).
struct PrinterPage {
    INTEGER LongSide = 0, ShortSide = 0, Width = 0, Height = 0, XOffset = 0, YOffset = 0;
    INTEGER Orientation = 0, Copies = 0, Colours = 0, Status = 0;
};

// The selected model's name: kind 1 raster printer (27 characters), 2 plotter (27), 3 HP-GL/2
// device (31); any other kind a blank. Cut to name's length and blank-padded; a name shorter than
// the width gets the cut text and error 1023.
void WInfoDeviceName(INTEGER kind, std::string& name);

// Toolkit-internal

// Selects the raster printer model (2-38 but 27; anything else 28) and derives its values.
void YYPrinterModel(INTEGER model);
// Plotter type 1-10, or HP-GL/2 type 1-5 given as 11-15; anything else plotter 1.
void YYPlotterModel(INTEGER type);
// HP-GL/2 type 1-5; anything else the type that goes with the printer model.
void YYHpgl2Model(INTEGER type);
// Start-up's selection from the settings keys PRINTER, PLOTTER and HPGL2 (0 when absent); the
// screen dump is set up by the caller.
void YYDeviceModelsSelect(INTEGER printer, INTEGER plotter, INTEGER hpgl2);

// The dump settings of a file device: kind 2 PostScript, 4 raster printer; with the settings all
// kinds share. Other kinds change nothing.
void YYScreenDumpSettings(INTEGER kind);
// The dump settings of the Windows printer from a query; option 32 and the physical page
// (options 30, 31) follow it. Returns 1 when the printer could be queried, else 0.
INTEGER YYScreenDumpPrinter(const PrinterPage& page);

// Splits a WIN.INI "Device" value "name,driver,port" (blanks after the commas skipped); a missing
// part is empty.
void YYPrinterDeviceSplit(std::string_view value, std::string& device, std::string& driver, std::string& port);
