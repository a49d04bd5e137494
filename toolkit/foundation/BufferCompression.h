// Byte groups into integers, and whole buffers compressed and uncompressed with zlib (the data
// are exactly zlib's format, with no header of the toolkit's own).
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// value := b1 + 256 b2, and for four bytes also + 65536 (b3 + 256 b4); a signed 32-bit result.
void YYBytesToIntLE(std::string_view bytes, INTEGER nbytes, INTEGER& value);
// value := 65536 (256 b1 + b2) + 256 b3 + b4.
void YYBytesToIntBE(std::string_view bytes, INTEGER& value);
// The code 0-255 of the first character (0 for an empty text).
INTEGER YYCharCode(std::string_view character);

// Toolkit-internal

// zlib's one-call functions: the status, and the new destination length in destLen.
INTEGER YYZlibCompress(std::span<std::byte> dest, INTEGER& destLen, std::span<const std::byte> source, INTEGER srcLen);
INTEGER YYZlibUncompress(std::span<std::byte> dest, INTEGER& destLen, std::span<const std::byte> source, INTEGER srcLen);

// The byte bodies of WCompress and WUnCompress.
void YYCompressBytes(std::span<const std::byte> source, std::span<std::byte> dest, INTEGER srcLen, INTEGER& destLen);
void YYUnCompressBytes(std::span<const std::byte> source, std::span<std::byte> dest, INTEGER srcLen, INTEGER& destLen);

// Compresses srcLen bytes of source into dest (default level); destLen in: the room in bytes,
// out: the compressed length. Any contiguous buffer (text, byte or integer arrays) serves. A
// failure reports error 1044 with zlib's status and gives destLen 0; a length beyond its buffer
// counts as zlib's stream error instead of reading or writing past it.
template <class Source, class Dest>
void WCompress(const Source& source, Dest& dest, INTEGER srcLen, INTEGER& destLen)
{
    YYCompressBytes(std::as_bytes(std::span(source)), std::as_writable_bytes(std::span(dest)), srcLen, destLen);
}

// Uncompresses srcLen bytes of zlib data into dest; destLen as for WCompress.
template <class Source, class Dest>
void WUnCompress(const Source& source, Dest& dest, INTEGER srcLen, INTEGER& destLen)
{
    YYUnCompressBytes(std::as_bytes(std::span(source)), std::as_writable_bytes(std::span(dest)), srcLen, destLen);
}
