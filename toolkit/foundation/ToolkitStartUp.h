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
