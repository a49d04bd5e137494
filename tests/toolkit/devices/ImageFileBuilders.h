// Small image and graphics files built byte by byte, for the cases no tool writes: broken headers,
// oversized tables and chunks, and the probe's rarer kinds.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/devices/ImageLoading.h"
#include "toolkit/foundation/BufferCompression.h"

namespace image_files {

using Bytes = std::vector<std::uint8_t>;

inline void putLe(Bytes& b, std::size_t at, std::uint32_t value, int size)
{
    if (b.size() < at + size) b.resize(at + size);
    for (int k = 0; k < size; ++k) b[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
}
inline void appendBe32(Bytes& b, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<std::uint8_t>(value >> shift));
}
inline void append(Bytes& b, std::string_view text) { b.insert(b.end(), text.begin(), text.end()); }
inline void append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }
inline Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

// A BMP with a 40-byte information header: the colour table entries (blue, green, red, 0) and
// the stored pixel bytes as given (rows bottom first, already padded).
inline Bytes bmp(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression,
                 const std::vector<std::uint32_t>& table, const Bytes& pixels)
{
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(table.size());
    putLe(b, 2, offset + static_cast<std::uint32_t>(pixels.size()), 4);
    putLe(b, 10, offset, 4);
    putLe(b, 14, 40, 4);
    putLe(b, 18, static_cast<std::uint32_t>(width), 4);
    putLe(b, 22, static_cast<std::uint32_t>(height), 4);
    putLe(b, 26, 1, 2);
    putLe(b, 28, static_cast<std::uint32_t>(bits), 2);
    putLe(b, 30, compression, 4);
    for (const std::uint32_t rgb : table) {
        b.push_back(static_cast<std::uint8_t>(rgb >> 16));
        b.push_back(static_cast<std::uint8_t>(rgb >> 8));
        b.push_back(static_cast<std::uint8_t>(rgb));
        b.push_back(0);
    }
    append(b, pixels);
    return b;
}

inline Bytes pngChunk(std::string_view type, const Bytes& body)
{
    Bytes c;
    appendBe32(c, static_cast<std::uint32_t>(body.size()));
    append(c, type);
    append(c, body);
    const std::uint32_t crc = YYCrc32({c.data() + 4, c.size() - 4});
    appendBe32(c, crc);
    return c;
}

inline Bytes zlibOf(const Bytes& raw)
{
    Bytes packed(raw.size() + raw.size() / 100 + 64);
    INTEGER length = static_cast<INTEGER>(packed.size());
    YYZlibCompress(std::as_writable_bytes(std::span(packed)), length, std::as_bytes(std::span(raw)),
                   static_cast<INTEGER>(raw.size()));
    packed.resize(static_cast<std::size_t>(length));
    return packed;
}

inline Bytes pngHeader(std::uint32_t width, std::uint32_t height, int depth, int colourType, int interlace = 0)
{
    Bytes b = bytesOf(std::string_view("\x89PNG\r\n\x1a\n", 8));
    Bytes ihdr;
    appendBe32(ihdr, width);
    appendBe32(ihdr, height);
    ihdr.push_back(static_cast<std::uint8_t>(depth));
    ihdr.push_back(static_cast<std::uint8_t>(colourType));
    ihdr.push_back(0);
    ihdr.push_back(0);
    ihdr.push_back(static_cast<std::uint8_t>(interlace));
    append(b, pngChunk("IHDR", ihdr));
    return b;
}

// A whole PNG: header, the chunks given, IEND.
inline Bytes png(std::uint32_t width, std::uint32_t height, int depth, int colourType, std::initializer_list<Bytes> chunks)
{
    Bytes b = pngHeader(width, height, depth, colourType);
    for (const Bytes& c : chunks) append(b, c);
    append(b, pngChunk("IEND", {}));
    return b;
}

// A PCX header (128 bytes) for the window 0..width-1 x 0..height-1, then the data as given.
inline Bytes pcx(int width, int height, int bitsPerPixel, int planes, int lineBytes, const Bytes& data)
{
    Bytes b(128, 0);
    b[0] = 10;
    b[1] = 5;
    b[2] = 1;
    b[3] = static_cast<std::uint8_t>(bitsPerPixel);
    putLe(b, 8, static_cast<std::uint32_t>(width - 1), 2);
    putLe(b, 10, static_cast<std::uint32_t>(height - 1), 2);
    b[65] = static_cast<std::uint8_t>(planes);
    putLe(b, 66, static_cast<std::uint32_t>(lineBytes), 2);
    append(b, data);
    return b;
}

}  // namespace image_files
