// Image loading: BMP, PCX and PNG files into packed RGB pixels (red + 256 green + 65536 blue), row 0
// at the top of the picture, and the small PNG routines the image readers and writers share.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/devices/ByteSource.h"
#include "toolkit/foundation/CoreTypes.h"

// Reads the image file into the caller's array, element r * width + c for row r and column c.
// The array's size bounds what is written: an image with more pixels than it holds is refused
// (error 2). Failures are reported under "IGrLoadImageData": 27 for a kind other than BMP, PCX or
// PNG and for an unusable header, 2 for a file that ends early or whose data overflow their
// buffers, 1044 for PNG data that do not inflate. Pixels stored before a failure stay. The
// file-name form lives in the Windows trees (ImageFiles.cpp).
void IGrLoadImageData(std::string_view filename, std::span<INTEGER> image);
// The same on an open source, positioned anywhere.
void IGrLoadImageData(ByteSource& source, std::span<INTEGER> image);

// Toolkit-internal

// The picture of a file driver's image op: the image file the work buffer names, read into width
// by height pixels without a report. A size of 0 or of more than `limit` pixels gives 27; a failed
// read gives the reader's error with its file detail. On failure the op's Value and Count say why
// and the result is empty; on success Value is 0 and the last error is left as it was.
std::vector<INTEGER> YYDriverImagePixels(INTEGER width, INTEGER height, std::int64_t limit);

// The unsigned 32-bit value of four bytes, first byte most significant.
std::uint32_t YYPngGetU32(const std::uint8_t* bytes);
// 1 when the four bytes of a chunk type equal the name's first four characters, else 0.
INTEGER YYPngChunkIs(const std::uint8_t* type, std::string_view name);
// The CRC-32 of PNG and zlib (reflected polynomial 0xEDB88320, initial value and result
// complemented).
std::uint32_t YYCrc32(std::span<const std::uint8_t> bytes);
// result := the CRC-32 of the first count bytes (at most the text's length); returned too.
INTEGER YYPngCrc(INTEGER& count, INTEGER& result, std::string_view bytes);
// Undoes the PNG row filters in place: rows of rowBytes bytes (the filter type byte first), bpp
// bytes per pixel for the left neighbour. Rows that would reach past the buffer are left alone.
void YYPngUnfilter(std::span<std::uint8_t> buffer, INTEGER rowBytes, INTEGER rows, INTEGER bpp);
void YYPngRowUnfilter(INTEGER& rowBytes, INTEGER& rows, INTEGER& bpp, std::string& buffer);

// The decoding worker: the kind and the values of the probe (kind, width, height, colour count,
// compression flag) select the decoder. Returns 0 or the error number; alreadyReported is set
// when a callee has reported the failure itself (a read error of the file routines, WUnCompress).
INTEGER YYImageDecode(ByteSource& source, std::span<const INTEGER, 5> probe, std::span<INTEGER> image,
                      bool& alreadyReported);
