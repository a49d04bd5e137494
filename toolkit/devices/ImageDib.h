// Device-independent bitmaps in memory for image drawing and saving: BMP, PCX and PNG files turned
// into a DIB block (40-byte information header, colour table, rows bottom first), and a DIB read
// back from the screen written as a PCX or PNG file. Platform-free: the Windows side hands the
// block to the platform's blits.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/devices/ByteSink.h"
#include "toolkit/devices/ByteSource.h"
#include "toolkit/foundation/CoreTypes.h"

// A picture ready for the platform: Block holds the information header (whose height is negative
// for a top-down BMP), the colour table (or the three bit-field masks) and the rows from
// BitsOffset. DrawWidth is the part of a row that is shown (a PCX of 8 or 24 bits keeps its whole
// bytes-per-line in the DIB).
struct ImageDib {
    std::vector<std::uint8_t> Block;
    INTEGER BitsOffset = 0;
    INTEGER Width = 0, Height = 0;
    INTEGER DrawWidth = 0;
};

// Toolkit-internal

// Bytes of one DIB row: bits x width rounded up to whole 32-bit words.
INTEGER YYDibStride(INTEGER width, INTEGER bits);
// One PCX run: byte and count; 0, or 2 when the data ended.
INTEGER YYPcxRunRead(INTEGER& byte, INTEGER& count, ByteReader& file);
// The image file into the DIB, each file judged as the loader judges it (ImageRows): 0, 2 (cut
// short), 27 (not a picture this routine draws, or one too large to hold), and for PNG 1044 with
// zlib's status in systemCode. A file that cannot hold the picture it declares is refused before
// the DIB's memory is taken.
INTEGER YYDibFromBmp(ByteSource& file, ImageDib& dib);
INTEGER YYDibFromPcx(ByteSource& file, ImageDib& dib);
INTEGER YYDibFromPng(ByteSource& file, ImageDib& dib, INTEGER& systemCode);

// One PCX run: a single byte below 0xC0 as itself, else count | 0xC0 and the value; 0, or 2 on a
// short write (the sink's reason in systemCode).
INTEGER YYPcxRunWrite(INTEGER value, INTEGER count, ByteSink& file, INTEGER& systemCode);
// Bytes of the colour table behind a DIB header (12-byte core or 40-byte information header).
INTEGER YYDibColourTableSize(const std::uint8_t* header);
// The value, most significant byte first.
void YYPutBigEndian32(std::uint32_t value, std::uint8_t* destination);

// A DIB read back from the screen (header, colour table, rows bottom first, at the display's
// depth) whose first `width` columns are the saved area. Written as a PCX (one plane for 4 and 8
// bits, three for 16, 24 and 32) or a PNG (4- or 8-bit palette, 8-bit RGB). 0, 2 on a short write,
// 1044 when zlib refuses (its status in systemCode), 1072 for a depth they do not take.
INTEGER YYPcxWriteDib(const std::vector<std::uint8_t>& dib, INTEGER width, ByteSink& file, INTEGER& systemCode);
INTEGER YYPngWriteDib(const std::vector<std::uint8_t>& dib, INTEGER width, ByteSink& file, INTEGER& systemCode);

// Pixels (one word each, rows top first, width x height) turned by 90 (a quarter turn
// anticlockwise: pixel (x, y) goes to (y, width - 1 - x)), 180 or 270 degrees (then (x, y) goes to
// (height - 1 - y, x)); the result is height x width for 90 and 270.
std::vector<std::uint32_t> YYTurnPixels(const std::vector<std::uint32_t>& pixels, INTEGER width, INTEGER height,
                                        INTEGER angle);
