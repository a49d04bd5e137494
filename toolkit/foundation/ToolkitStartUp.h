// Toolkit start-up and shut-down: display facts, the toolkit folder, "dovedo.ini", the report
// mode, temporary file names, hardcopy defaults and the order of release at the end.
#pragma once

#include <optional>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

struct ToolkitStartUpState {
    INTEGER StartUpGuard = 0;  // -9999 once start-up has run
    INTEGER ScreenWidth = 0, ScreenHeight = 0, DisplayColours = 0, DisplayFlags = 3;
    char PathSeparator = '\\';
    char DecimalCharacter = '.';
    FixedText<260> ToolkitFolder;
    FixedText<260> CharacterSetFolder;
    FixedText<260> CharacterSetFile;
    FixedText<260> SettingsFilePath;
    FixedText<260> SystemFolder;
    INTEGER LFNGEN = 40;
    INTEGER PrinterSelection = 0, PlotterSelection = 0, Hpgl2Selection = 0;
};

// The values empty numeric fields and cells read as.
struct UndefinedValueTable {
    DOUBLE DoubleValue = -999.0;
    REAL RealValue = -999.0f;
    INTEGER IntegerValue = -999;
};

ToolkitStartUpState& toolkitStartUpState();
UndefinedValueTable& undefinedValueTable();

// What start-up and shut-down ask of the graphics layer, the output devices and the editors, which
// install their routines here (toolkit/ToolkitLayers.cpp); without them each entry does nothing,
// and the plot file unit reads 0.
struct ToolkitStartUpHooks {
    // The graphics layer's start values: drawable aspect 1.32, no window switch, no hardcopy.
    void (*graphicsStartUp)() = [] {};
    // The hardcopy job to its defaults and every picture slot free.
    void (*devicesStartUp)() = [] {};
    // The hardcopy job's plot file unit, which the "LFNPLOTI" key sets and "LFNGEN" may not share.
    INTEGER (*plotFileUnit)() = [] { return INTEGER{0}; };
    void (*plotFileUnitSet)(INTEGER unit) = [](INTEGER) {};
    // The temporary plot and screen-dump file names chosen at start-up (blank: none free).
    void (*temporaryFilesSet)(std::string_view plotFile, std::string_view dumpFile) = [](std::string_view,
                                                                                       std::string_view) {};
    // The printer, plotter and HP-GL/2 models the settings chose, and screen dumps to the default device.
    void (*hardcopyDefaults)(INTEGER printer, INTEGER plotter, INTEGER hpgl2) = [](INTEGER, INTEGER, INTEGER) {};
    // Shut-down of the output devices: an open hardcopy ends, every picture slot is freed.
    void (*devicesShutDown)() = [] {};
    // The editors' document table, taken at start-up and given back at shut-down.
    void (*editorsAllocate)() = [] {};
    void (*editorsRelease)() = [] {};
};
ToolkitStartUpHooks& toolkitStartUpHooks();

// Starts the toolkit once; iniFile names a settings file to read instead of "dovedo.ini".
void WToolkitStartUp(std::optional<std::string_view> iniFile = std::nullopt);
void WToolkitShutDown();
// 1 screen width, 2 screen height, 3 display colours, 4 and 5 the two flag bits.
INTEGER WInfoDisplayQuery(INTEGER code);

// Toolkit-internal

void YYToolkitFolder();
void YYTempFileNames();
// Reads the settings lines of a file into the start-up state and the report mode.
void YYSettingsFileRead(std::string_view path);
