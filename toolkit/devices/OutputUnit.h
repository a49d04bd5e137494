// The one output unit of the file drivers: opening the file named in the work buffer, raw and
// line writes, closing, and the handle for writers that call the operating system themselves.
// A unit writes into a work file beside the named file (the toolkit's WorkFile), which replaces
// the named file at the close only when every write, the flush and the close succeeded: a failed
// job leaves the old file as it was. The first failure is reported under "YYPROU" and stops the
// unit: later writes write nothing and report nothing, the status stays -1 and the close removes
// the work file. Platform-free: the work file is the system's part, so the drivers above it (the
// text drivers directly, the raster and bit-image writers through their byte sink) build and run
// in every tree.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WorkFiles.h"
#if defined(_WIN32)
#include "toolkit/foundation/WinApi.h"
#endif

// One unit's file: the work file being written, the file it is to replace, and whether a write
// failed (the unit then writes no more) with the system's code.
struct OutputUnitFile {
    WorkFile Work;
    std::string Target;
    bool Failed = false;
    INTEGER FailedCode = 0;
};

struct OutputUnitState {
    // 0 after a successful open, -1 after a failed open or write, until the next open.
    INTEGER OutputStatus = 0;
    // One file per unit number 1-4; the drivers use unit 2.
    std::array<OutputUnitFile, 5> Units;
};

OutputUnitState& outputUnitState();

// Toolkit-internal

// Opens a work file for the file named by the work buffer's text, leading blanks included; a
// blank name fails. The named file itself is replaced at the close. Error 1 on failure.
void YYProuOpen(INTEGER unit);
// Writes the bytes as they are; error 2 when fewer were written (reported once: the unit stops).
void YYPROU(INTEGER unit, std::string_view bytes);
// Writes the text followed by carriage return and line feed; error 2 as YYPROU.
void YYProuLine(INTEGER unit, std::string_view text);
// Puts the complete file in place of the named one (error 3 when that fails, the old file stays),
// or after a failed write removes the work file without a further report. A file that was not
// written (nor could be created) is told to the user as well (YYUserFileFailure).
void YYProuClose(INTEGER unit);
// Writes the bytes without a report and returns how many were written; when fewer, systemCode
// holds the reason and the unit stops. For the writers that report their own failures (the byte
// sinks).
INTEGER YYProuWrite(INTEGER unit, std::span<const std::uint8_t> bytes, INTEGER& systemCode);
// Moves the unit's write position (0 start, 1 current, 2 end) without a report: the new position,
// or -1, which stops the unit. For the writers that fill in a header at the end.
INTEGER YYProuSeek(INTEGER unit, INTEGER offset, INTEGER origin);
// Whether the unit has an open file.
bool YYProuIsOpen(INTEGER unit);
#if defined(_WIN32)
// The unit's file handle (INVALID_HANDLE_VALUE when none is open): the work file's.
void YYProuUnit(INTEGER unit, HANDLE& handle);
#endif
