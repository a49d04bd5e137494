// The hardcopy job and the state every hardcopy driver shares: the job record (flags, driver
// device number, names, title, print command), the drivers' common variables, and how a print
// command is recognised and built (platform-free).
//
// Where the job's facts live:
//   - the selected device number is driverHooks().HardcopyDevice (graphics layer, initial 10);
//   - the one hardcopy-active flag is graphicsState().HardcopyActive (> 0 while a job is open);
//   - the drivers' colour count and fill-line spacing are hardcopyFillState() (graphics layer);
//   - the page aspect and the text scale pair are hardcopyTextScaling() (graphics layer);
//   - the drivers' capabilities are element 1 of deviceCapabilityTable().
#pragma once

#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

struct HardcopyJobState {
    // Bit 0 set (drivers store -1) once a driver has drawn on the current page.
    INTEGER PageOpen = 0;
    // Set by each driver at OpInit: 1 when its output file may be handed to a print command.
    INTEGER PrintByCommand = 0;
    // The device number the initialised driver stored at OpInit; 0 while none has been initialised.
    INTEGER DriverDevice = 0;
    // The driver's default output file name ("raridevu.ps" and the like).
    FixedText<260> OutputFile;
    // The document title of the current job.
    FixedText<200> Title;
    // A command line in which the first "@" stands for the output file; blank when none is pending.
    FixedText<260> PrintCommand;
    // The file that receives the output while a print command is pending, and the dump's temporary file.
    FixedText<260> TempPlotFile;
    FixedText<260> TempDumpFile;
    // The plot file unit of the settings key "LFNPLOTI".
    INTEGER LFNPLOT = 42;
};

HardcopyJobState& hardcopyJobState();

// The variables the drivers share beside those the graphics layer keeps (see above).
struct HardcopyDriverState {
    // Record layout of HP-GL, HP-GL/2 and PostScript output: 1 when option 17 is set, else 2.
    INTEGER RecordMode = 2;
    INTEGER PenCount = 0;
    INTEGER RasterPlanes = 0;
    // Index into the raster printer model's resolution list (option 13).
    INTEGER RasterResolutionIndex = 1;
    // Output units per device unit, set by each driver at OpBeginOutput.
    REAL YScale = 1.0f, XScale = 1.0f;
    // Last pen position written by a pen-plotting driver; -9999 after every start.
    REAL LastPenY = -9999.0f, LastPenX = -9999.0f;
    // Output resolution in dots per inch.
    INTEGER ResolutionY = 0, ResolutionX = 0;
};

HardcopyDriverState& hardcopyDriverState();

// Toolkit-internal

// True when an output name is a print-command template: it holds " @ " (blank, at sign, blank),
// the blanks that fill the 260-character name after its text counting.
bool YYPrintCommandTemplate(const FixedText<260>& name);
// The command of a template: its characters before the first "@", the temporary file's name,
// then the rest of the template to its full length. Built whole, however long the result.
std::string YYPrintCommandBuild(const FixedText<260>& commandTemplate, std::string_view temporaryFile);
// The command line that runs a command through the command interpreter of the platform code
// (4 the Windows NT family: "cmd.exe /c ", else "command.com /c "), ending in one NUL.
std::string YYPrintCommandLine(INTEGER platform, std::string_view command);
