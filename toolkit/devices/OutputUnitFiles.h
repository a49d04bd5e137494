// The platform's half of the output unit (OutputUnit.h): creating, writing and closing one file,
// and the system codes its failures report. OutputUnitWindows.cpp holds the Windows body over the
// toolkit's file routines, OutputUnitNative.cpp the C-library body of the native tree.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "toolkit/devices/OutputUnit.h"

// The system codes of the failures the output unit finds itself.
struct OutputUnitSystemCodes {
    INTEGER BadName = 0;  // a blank file name
    INTEGER BadUnit = 0;  // a unit number out of range, or a unit without a file
};

// Toolkit-internal

OutputUnitSystemCodes YYProuSystemCodes();
// Creates (or empties) the named file for writing; an empty file and the system code on failure.
OutputUnitFile YYProuFileCreate(const std::string& name, INTEGER& systemCode);
// Writes the bytes and returns how many were written; when fewer, systemCode holds the reason.
INTEGER YYProuFileWrite(OutputUnitFile& file, std::span<const std::uint8_t> bytes, INTEGER& systemCode);
// Closes the file; false with the system code when the close lost data.
bool YYProuFileClose(OutputUnitFile& file, INTEGER& systemCode);
