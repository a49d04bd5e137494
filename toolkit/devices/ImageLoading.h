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
// PNG, for an unusable header or one the drawing routine would not take either (sides above
// 65535, a PNG filter type above 4, a palette image without its palette or with an index past
// it) and for memory that is not there; 2 for a file that ends early or whose data overflow their
// buffers; 1044 (under "WUnCompress", with zlib's status) for PNG data that do not inflate to the
// rows. Pixels stored before a failure stay: PNG rows are stored as they inflate. The file-name
// form lives in the Windows trees (ImageFiles.cpp).
void IGrLoadImageData(std::string_view filename, std::span<INTEGER> image);
// The same on an open source, positioned anywhere.
void IGrLoadImageData(ByteSource& source, std::span<INTEGER> image);

// Toolkit-internal

// The picture of a file driver's image op: the image file the work buffer names, read into width
// by height pixels without a report. A size of 0 or of more than `limit` pixels gives 27, as does
// memory that is not there; a file that cannot hold the picture it declares is refused before the
// pixels' memory is taken; a failed read gives the reader's error with its detail (the system's
// code, or zlib's status for 1044). On failure the op's Value and Count say why and the result is
// empty; on success Value is 0 and the last error is left as it was.
std::vector<INTEGER> YYDriverImagePixels(INTEGER width, INTEGER height, std::int64_t limit);
// Whether the named image file can hold the picture it declares (YYImageFileHolds of ImageRows on
// the file, by the kind its probe finds): 0, or the error its decode would end with, detail being
// zlib's status of a 1044. A file that cannot be opened or is of no image kind answers 0 (the load
// says why). Reports nothing. The file-name form lives in the Windows trees (ImageFiles.cpp).
INTEGER YYImageFileHolds(std::string_view filename, INTEGER& detail);
// The same on an open source, by the kind its probe finds.
INTEGER YYImageSourceHolds(ByteSource& source, INTEGER& detail);

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
// Undoes the filter of one row in place: row points at its filter type byte, followed by
// dataBytes bytes; above at the unfiltered row before it (its filter byte), nullptr for the first.
void YYPngUnfilterRow(std::uint8_t* row, const std::uint8_t* above, INTEGER dataBytes, INTEGER bpp);
void YYPngRowUnfilter(INTEGER& rowBytes, INTEGER& rows, INTEGER& bpp, std::string& buffer);

// The decoding worker: the probe's kind selects the decoder, which takes the sizes and layout
// from the file's own header as the drawing routine does. Returns 0 or the error number;
// alreadyReported is set when the failure has been reported already (a read error of the file
// routines, the 1044 of the inflate).
INTEGER YYImageDecode(ByteSource& source, std::span<const INTEGER, 5> probe, std::span<INTEGER> image,
                      bool& alreadyReported);
