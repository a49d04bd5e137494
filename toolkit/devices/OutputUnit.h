// The one output unit of the file drivers: opening the file named in the work buffer, raw and
// line writes, closing, and the handle for writers that call the operating system themselves.
// Failures report under "YYPROU" and leave the status at -1. The slots and reports are one body
// (OutputUnit.cpp); the Windows trees write through the toolkit's file routines
// (OutputUnitWindows.cpp), the native tree through the C library (OutputUnitNative.cpp), so that
// the drivers above it (the text drivers directly, the raster and bit-image writers through their
// byte sink) build and run in both.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"

#if defined(_WIN32)
using OutputUnitFile = FileHandle;
#else
using OutputUnitFile = StdioFile;
#endif

struct OutputUnitState {
    // 0 after a successful open, -1 after a failed open or write, until the next open.
    INTEGER OutputStatus = 0;
    // One file per unit number 1-4; the drivers use unit 2.
    std::array<OutputUnitFile, 5> Handles;
};

OutputUnitState& outputUnitState();

// Toolkit-internal

// Creates (or empties) the file named by the work buffer's text, leading blanks included, for
// writing; a blank name fails. Error 1 on failure.
void YYProuOpen(INTEGER unit);
// Writes the bytes as they are; error 2 when fewer were written.
void YYPROU(INTEGER unit, std::string_view bytes);
// Writes the text followed by carriage return and line feed; error 2 when fewer were written.
void YYProuLine(INTEGER unit, std::string_view text);
void YYProuClose(INTEGER unit);
// Writes the bytes without a report and returns how many were written; when fewer, systemCode
// holds the reason. For the writers that report their own failures (the byte sinks).
INTEGER YYProuWrite(INTEGER unit, std::span<const std::uint8_t> bytes, INTEGER& systemCode);
// Whether the unit has an open file.
bool YYProuIsOpen(INTEGER unit);
#if defined(_WIN32)
// The unit's file handle (INVALID_HANDLE_VALUE when none is open).
void YYProuUnit(INTEGER unit, HANDLE& handle);
#endif
