// The hardcopy dispatcher and job: selecting the hardcopy device and initialising its driver,
// starting and stopping a job (the start queries the driver, opens its output and sends the
// current attributes; the stop closes it and runs a pending print command on the finished file).
//
// The driver table is driverHooks().HardcopyDrivers of the graphics layer, indexed by device:
//   1 HP-GL, 2 PostScript/EPS, 3 SVG, 4 raster printer file, 6 bit-image file, 8 DXF, 9 CGM,
//   10 Windows printer, 11 Windows metafile, 12 HP-GL/2; 5 and 7 have no driver.
// A driver installs itself there and follows the protocol of DriverProtocol.h; of the job it
// answers the identification query (OpInit with Count -999: Count := its device number, nothing
// else), and at its full OpInit calls YYDriverReset, sets its options, its capability element,
// hardcopyJobState().DriverDevice, PrintByCommand and OutputFile (Value -998: options kept). At
// OpBeginOutput (Value > 0) it opens the file named in stringWorkBuffer() (Count 1: its default
// name, 0: the caller's), and on failure reports and sets graphicsState().HardcopyActive to 0.
#pragma once

#include <optional>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// Option 1 stores value as the hardcopy device number and initialises its driver; any other
// option does nothing. The number is not checked: a device without a driver receives nothing.
void IGrHardcopyDevice(INTEGER option, INTEGER value);

// First ends an open job. The action "S" or "s" (exactly one character) only stops; any other
// action, or none, starts a job on the selected device: a non-blank action names the output file
// (or, on a device whose output may be printed by command, is a command template holding " @ "),
// and a title becomes the document title.
void IGrHardcopyBeginEnd(std::optional<std::string_view> action = std::nullopt,
                         std::optional<std::string_view> title = std::nullopt);

// Toolkit-internal

// Runs the command through the command interpreter and waits for it, only repainting meanwhile;
// a command that cannot be run is reported as error 13.
void YYPRNCMD(std::string_view command);
