// The raster page dump's byte writer, which the image file writers share: graphics data go to the
// output file in one write per row (platform-free).
#pragma once

#include <cstdint>
#include <span>

#include "toolkit/devices/ByteSink.h"
#include "toolkit/foundation/CoreTypes.h"

// Toolkit-internal

// Writes the first n bytes (at most all of them), then carriage return and line feed when
// lineEnd is true (bit 0). A short write keeps the system's code as the error detail, reports
// error 2 under "YYPRBU" and sets the output unit's status to -1.
void YYPRBU(ByteSink& sink, std::span<const std::uint8_t> bytes, INTEGER n, LOGICAL lineEnd);
