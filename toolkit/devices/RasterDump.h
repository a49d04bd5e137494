// The raster page dump: a finished raster printer page turned into the printer's byte stream (job
// start, graphics rows or head bands with their headers, colour passes and compression, job end),
// the row readers that give the dump the page's dots in print order, the row compressors, and the
// byte writer the image file writers share (platform-free).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "toolkit/devices/ByteSink.h"
#include "toolkit/foundation/CoreTypes.h"

// The printer's command strings for one page, built by YYRasterPrinterSetup for the selected
// model and read by YYDUMP. Strings hold bytes (ESC is 27); an empty string sends nothing.
struct RasterPrinterCommands {
    INTEGER DotsPerLine = 0, LineCount = 0;
    // Print-head passes per band (two-pass dot-matrix printing interleaves the rows).
    INTEGER Passes = 1;
    INTEGER DumpPlanes = 1;
    // Option 24: 0 none, 1 PCL run pairs, 2 PackBits.
    INTEGER Compression = 0;
    // Zero bytes that start every dot-matrix graphics line (the left offset), at most 39999.
    INTEGER LeftMarginBytes = 0;
    std::string JobStart, JobEnd;
    // Sent before each row; the dump writes the row's byte or column count into it.
    std::string LineHeader;
    // PCL: the line header with "V" (more planes of the same row follow) for the planes but the last.
    std::array<std::string, 2> PlaneHeaders;
    // Yellow, magenta, cyan and black selects (ESC "r" 4, 1, 2, 0).
    std::array<std::string, 4> ColourSelects;
    // Two-pass dot-matrix printing: line spacing 1 after the first pass, advance - 1 after the second.
    std::array<std::string, 2> PassFeeds;
    // ESC/P 2: the paper advance after each row.
    std::string LineFeed;
};

RasterPrinterCommands& rasterPrinterCommands();

// Whether the dot at position d of print line `line` is printed. The dump sets the plane counter
// the readers test: a plane 0, 1 or 2, or for the colour passes 2, 1, 0 and -1 (composite black).
using RasterRowReader = INTEGER (*)(INTEGER d, INTEGER line);
INTEGER& rasterPlaneCounter();

// Toolkit-internal

// Writes the first n bytes (at most all of them), then carriage return and line feed when
// lineEnd is true (bit 0). A short write keeps the system's code as the error detail, reports
// error 2 under "YYPRBU" and sets the output unit's status to -1.
void YYPRBU(ByteSink& sink, std::span<const std::uint8_t> bytes, INTEGER n, LOGICAL lineEnd);

// Writes the page to the output unit's file with the commands of rasterPrinterCommands() and the
// reader: PCL rows with planes and compression, ESC/P 2 rows with colour passes and PackBits,
// dot-matrix bands of 8 or 24 rows in one or two passes. A failed write stops it (no job end).
void YYDUMP(INTEGER unit, RasterRowReader reader);

// The readers. Unrotated pages print from the top row down, each line from the left; rotated
// pages from the rightmost column leftwards, each line from the top.
INTEGER YYRasterBitNormal(INTEGER d, INTEGER line);
INTEGER YYRasterBitRotated(INTEGER d, INTEGER line);
INTEGER YYRasterBitTest(INTEGER d, INTEGER line);
INTEGER YYRasterBitColourNormal(INTEGER d, INTEGER line);
INTEGER YYRasterBitColourRotated(INTEGER d, INTEGER line);
INTEGER YYRasterBitSeqNormal(INTEGER d, INTEGER line);
INTEGER YYRasterBitSeqRotated(INTEGER d, INTEGER line);
INTEGER YYRasterBitPlaneNormal(INTEGER d, INTEGER line);
INTEGER YYRasterBitPlaneRotated(INTEGER d, INTEGER line);

// PCL row compression by option 24 (1 run pairs, 2 PackBits) of the first n bytes of row, in
// place: n becomes the compressed count, and the header (0 the line header, 1 and 2 the plane
// headers) carries it as ESC "*b" count "W" or "V", with as many digits as the count needs.
void YYRowCompress(std::vector<std::uint8_t>& row, INTEGER& n, INTEGER header);
// ESC/P 2 PackBits of the first n bytes of row through work: when packing shrinks the row, the
// packed bytes replace it, n becomes their count and the line header's compression byte 1;
// otherwise the row stays and the byte is 0.
void YYPackBits(std::vector<std::uint8_t>& row, INTEGER& n, std::vector<std::uint8_t>& work);
// n bytes of a dot-matrix line will be sent: stores the header's count (24-pin heads raise n to
// whole columns of three bytes; the IBM header also counts its mode byte).
void YYGraphicsColumns(INTEGER& n);
