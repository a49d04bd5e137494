// Hardcopy device 6, the bit-image file: the driver sizes a raster page of 1, 4, 8 or 24 bits per
// pixel, lets the raster renderer draw every operation into it, and at each page end writes the
// page as a BMP (uncompressed, or run-length encoded for 4- and 8-bit pages), PCX or PNG file
// (option 26: 1 BMP, 2 run-length BMP, 3 PNG, any other PCX). The writers read the page of
// RasterRenderer.h and write through a byte sink: the output unit's file in a job (platform-free).
//
// One image per file: the first page goes into the job's file, every later page into a file of
// its own whose name carries the page number before the extension ("raridevu-2.pcx"), so that
// each file is a valid image on its own.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/devices/ByteSink.h"
#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

struct BitImageState {
    // The file the current page goes into, kept for the size fix-up of run-length BMP files.
    FixedText<260> SavedFileName;
    // The job's own file name, from which the names of later pages are made.
    FixedText<260> JobFileName;
    // Pages written into files during this job.
    INTEGER PagesWritten = 0;
};

BitImageState& bitImageState();

// Toolkit-internal

// The driver entry of device 6: OpInit, OpBeginOutput, OpEndPage and OpEndOutput; every other
// operation goes to the raster renderer.
void XXIMAG(INTEGER op);

// Each writes the current page as one complete image; they stop at the first failed write
// (status -1 of the output unit, reported by the writer).
void YYBmpWrite(ByteSink& out);
void YYPcxWrite(ByteSink& out);
void YYPngWrite(ByteSink& out);
// Fills in the file size (offset 2) and image size (offset 34) of a complete run-length BMP file
// before it is closed; a failure is reported (error 2) and stops the unit, so that the named file
// is left as it was.
void YYBMP2(ByteFile& file);
// Encodes and writes one plane line of page row `row` (0 the bottom): the page plane of a 4-bit
// page, the component (0 red, 1 green, 2 blue) of a 24-bit page; lastByte = bytes per line - 1.
// work is the line buffer.
void YYPcxRowEncode(ByteSink& out, std::vector<std::uint8_t>& work, INTEGER row, INTEGER plane, INTEGER lastByte);
// Stores a 32-bit value into 4 bytes, most significant first.
void YYPngPutLength(INTEGER value, std::span<std::uint8_t, 4> bytes);

// The palette a page's index values are written with: 2, 16 or 256 packed RGB entries, none for
// a 24-bit page.
std::vector<INTEGER> YYBitImagePalette(INTEGER bitsPerPixel);
// The palette index a file holds for page pixel (x, y) (the packed RGB value on a 24-bit page).
INTEGER YYBitImageIndex(INTEGER x, INTEGER y);
// The name of page n (2 and up) of a job writing to name: "-n" before the extension.
std::string YYBitImagePageName(std::string_view name, INTEGER page);
