#include "toolkit/devices/ImageDib.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <span>

#include "toolkit/devices/GraphicFileProbe.h"
#include "toolkit/devices/ImageLoading.h"
#include "toolkit/devices/ImageRows.h"
#include "toolkit/foundation/BufferCompression.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Pictures beyond this many bytes of pixels are refused rather than allocated: the platform makes
// a bitmap of as many again to draw them.
constexpr std::int64_t kLargestPicture = 256 * 1024 * 1024;

std::uint32_t le16(const std::uint8_t* b) { return static_cast<std::uint32_t>(b[0] | (b[1] << 8)); }
std::uint32_t le32(const std::uint8_t* b)
{
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}
void putLe(std::uint8_t* b, std::uint32_t value, int size)
{
    for (int k = 0; k < size; ++k) b[k] = static_cast<std::uint8_t>(value >> (8 * k));
}

bool readFull(ByteSource& file, std::uint8_t* into, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const INTEGER n = file.read({into + done, count - done});
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The header of a DIB of the given layout with room for the table and the rows.
void startDib(ImageDib& dib, INTEGER width, INTEGER height, INTEGER bits, INTEGER entries)
{
    const INTEGER stride = YYDibStride(width, bits);
    dib.BitsOffset = 40 + 4 * entries;
    dib.Block.assign(static_cast<std::size_t>(dib.BitsOffset) + static_cast<std::size_t>(stride) * height, 0);
    std::uint8_t* h = dib.Block.data();
    putLe(h, 40, 4);
    putLe(h + 4, static_cast<std::uint32_t>(width), 4);
    putLe(h + 8, static_cast<std::uint32_t>(height), 4);
    putLe(h + 12, 1, 2);
    putLe(h + 14, static_cast<std::uint32_t>(bits), 2);
    putLe(h + 20, static_cast<std::uint32_t>(stride * height), 4);
    putLe(h + 32, static_cast<std::uint32_t>(entries), 4);
    dib.Width = width;
    dib.Height = height;
    dib.DrawWidth = width;
}

void setEntry(ImageDib& dib, int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    std::uint8_t* e = dib.Block.data() + 40 + 4 * index;
    e[0] = blue;
    e[1] = green;
    e[2] = red;
    e[3] = 0;
}

std::uint8_t* dibRow(ImageDib& dib, INTEGER fromTop)
{
    const INTEGER bits = static_cast<INTEGER>(le16(dib.Block.data() + 14));
    const INTEGER stride = YYDibStride(dib.Width, bits);
    return dib.Block.data() + dib.BitsOffset + static_cast<std::size_t>(stride) * (dib.Height - 1 - fromTop);
}

bool tooLarge(std::int64_t width, std::int64_t height, std::int64_t bits)
{
    return ((width * bits + 31) / 32) * 4 * height > kLargestPicture;
}

}  // namespace

INTEGER YYDibStride(INTEGER width, INTEGER bits)
{
    return static_cast<INTEGER>(((static_cast<std::int64_t>(bits) * width + 31) / 32) * 4);
}

INTEGER YYPcxRunRead(INTEGER& byte, INTEGER& count, ByteReader& file)
{
    const int first = file.next();
    if (first < 0) return 2;
    if (first < 192) {
        byte = first;
        count = 1;
        return 0;
    }
    count = first & 63;
    const int value = file.next();
    if (value < 0) return 2;
    byte = value;
    return 0;
}

INTEGER YYDibFromBmp(ByteSource& file, ImageDib& dib)
{
    try {
        BmpLayout layout;
        if (const INTEGER code = YYBmpLayoutRead(file, layout)) return code;
        if (layout.ImageBytes > kLargestPicture) return 27;
        // The memory is taken only for a picture the file can hold.
        if (const INTEGER code = YYImageFileHolds(file, kGraphicBmp)) return code;
        const INTEGER tableBytes = layout.BitFields ? 12 : 4 * layout.Entries;
        dib.BitsOffset = 40 + tableBytes;
        dib.Block.assign(static_cast<std::size_t>(dib.BitsOffset + layout.ImageBytes), 0);
        std::uint8_t* const header = dib.Block.data();
        std::copy(layout.Info.begin(), layout.Info.end(), header);
        putLe(header, 40, 4);
        putLe(header + 20, static_cast<std::uint32_t>(layout.ImageBytes), 4);
        putLe(header + 32, static_cast<std::uint32_t>(layout.BitFields ? 0 : layout.Entries), 4);
        if (layout.BitFields) {
            std::copy(layout.Masks.begin(), layout.Masks.end(), header + 40);
        } else if (tableBytes > 0 && (file.seek(static_cast<INTEGER>(layout.TableStart), 0) < 0 ||
                                      !readFull(file, header + 40, static_cast<std::size_t>(tableBytes)))) {
            return 2;
        }
        if (file.seek(static_cast<INTEGER>(layout.DataOffset), 0) < 0 ||
            !readFull(file, header + dib.BitsOffset, static_cast<std::size_t>(layout.ImageBytes)))
            return 2;
        if (layout.RunLength) {
            // The platform draws the runs as they are; they are walked here only to judge the file
            // as the loader does (data that end before the end-of-bitmap mark are cut short).
            MemoryByteSource runs({header + dib.BitsOffset, static_cast<std::size_t>(layout.ImageBytes)});
            ByteReader data(runs);
            if (YYBmpRunsWalk(data, layout.Width, layout.Rows, layout.Bits == 4, [](INTEGER, INTEGER, unsigned) {}) != 0) return 2;
        }
        dib.Width = layout.Width;
        dib.Height = layout.Rows;
        dib.DrawWidth = layout.Width;
        return 0;
    } catch (const std::bad_alloc&) {
        dib = ImageDib{};
        return 27;
    }
}

INTEGER YYDibFromPcx(ByteSource& file, ImageDib& dib)
{
    try {
        PcxLayout layout;
        if (const INTEGER code = YYPcxLayoutRead(file, layout)) return code;
        if (const INTEGER code = YYImageFileHolds(file, kGraphicPcx)) return code;
        const INTEGER bits = layout.Bits, perLine = layout.LineBytes;
        const INTEGER dibWidth = bits == 1 || bits == 4 ? layout.Width : perLine;
        if (tooLarge(dibWidth, layout.Height, bits)) return 27;
        const INTEGER entries = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
        std::array<std::uint8_t, 768> palette{};
        if (bits == 4 && (file.seek(16, 0) != 16 || !readFull(file, palette.data(), 48))) return 2;
        if (bits == 8)
            if (const INTEGER code = YYPcxPaletteRead(file, palette)) return code;
        if (file.seek(128, 0) != 128) return 2;
        startDib(dib, dibWidth, layout.Height, bits, entries);
        dib.DrawWidth = layout.Width;
        if (bits == 1) {
            // Black and white whatever the header's palette says.
            setEntry(dib, 0, 0, 0, 0);
            setEntry(dib, 1, 255, 255, 255);
        } else {
            for (INTEGER i = 0; i < entries; ++i) setEntry(dib, i, palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]);
        }

        const INTEGER stride = YYDibStride(dibWidth, bits);
        const INTEGER planes = bits == 24 ? 3 : bits == 4 && !layout.Packed ? 4 : 1;
        PcxLines lines(file);
        Bytes line(static_cast<std::size_t>(perLine));
        for (INTEGER row = 0; row < layout.Height; ++row) {
            std::uint8_t* out = dibRow(dib, row);
            for (INTEGER p = 0; p < planes; ++p) {
                if (!lines.next(line)) return 2;
                if (planes == 4) {
                    // Plane p is bit p of each 4-bit index: one plane byte covers four DIB bytes.
                    for (INTEGER i = 0; i < perLine; ++i)
                        for (INTEGER k = 0; k < 4 && 4 * i + k < stride; ++k) {
                            std::uint8_t& d = out[4 * i + k];
                            if (line[static_cast<std::size_t>(i)] & (0x80 >> (2 * k))) d |= static_cast<std::uint8_t>(1 << (4 + p));
                            if (line[static_cast<std::size_t>(i)] & (0x40 >> (2 * k))) d |= static_cast<std::uint8_t>(1 << p);
                        }
                } else if (planes == 3) {
                    // The red, green and blue lines land in the DIB's blue-green-red order.
                    for (INTEGER i = 0; i < perLine && 3 * i + 2 - p < stride; ++i) out[3 * i + 2 - p] = line[static_cast<std::size_t>(i)];
                } else {
                    std::copy_n(line.begin(), std::min(perLine, stride), out);
                }
            }
        }
        return 0;
    } catch (const std::bad_alloc&) {
        dib = ImageDib{};
        return 27;
    }
}

INTEGER YYDibFromPng(ByteSource& file, ImageDib& dib, INTEGER& systemCode)
{
    try {
        PngLayout layout;
        if (const INTEGER code = YYPngLayoutRead(file, layout)) return code;
        if (const INTEGER code = YYImageFileHolds(file, kGraphicPng)) {
            if (code == kImageBadData) systemCode = kImageDataEndedStatus;
            return code;
        }
        if (file.seek(33, 0) != 33) return 2;
        const INTEGER width = layout.Width, height = layout.Height;
        const INTEGER b = layout.palette() ? layout.Depth : 24;
        const INTEGER s = layout.SampleBytes, c = layout.PixelBytes / std::max(s, 1);
        const INTEGER dibBits = b == 2 ? 4 : b;
        if (tooLarge(width, height, dibBits)) return 27;
        const INTEGER entries = b == 24 ? 0 : 1 << b;
        startDib(dib, width, height, dibBits, entries);
        const INTEGER stride = YYDibStride(width, dibBits);
        const auto bytes = static_cast<INTEGER>(layout.RowBytes);
        PngRows rows(file, layout);
        const auto failed = [&](INTEGER code) {
            if (code == kImageBadData) systemCode = rows.zlibStatus();
            return code;
        };
        for (INTEGER row = 0; row < height; ++row) {
            std::span<const std::uint8_t> data;
            if (const INTEGER code = rows.next(data)) return failed(code);
            const std::uint8_t* in = data.data();
            std::uint8_t* out = dibRow(dib, row);
            if (b == 24) {
                for (INTEGER x = 0; x < width; ++x) {
                    out[3 * x] = in[(x * c + 2) * s];
                    out[3 * x + 1] = in[(x * c + 1) * s];
                    out[3 * x + 2] = in[x * c * s];
                }
            } else if (b == 2) {
                for (INTEGER i = 0; i < bytes; ++i) {
                    const std::uint8_t v = in[i];
                    if (2 * i < stride) out[2 * i] = static_cast<std::uint8_t>(((v >> 6) & 3) << 4 | ((v >> 4) & 3));
                    if (2 * i + 1 < stride) out[2 * i + 1] = static_cast<std::uint8_t>(((v >> 2) & 3) << 4 | (v & 3));
                }
            } else {
                std::copy_n(in, std::min(bytes, stride), out);
            }
        }
        if (const INTEGER code = rows.finish()) return failed(code);
        const auto& palette = rows.palette();
        for (INTEGER i = 0; i < entries; ++i) setEntry(dib, i, palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]);
        return 0;
    } catch (const std::bad_alloc&) {
        dib = ImageDib{};
        return 27;
    }
}

INTEGER YYPcxRunWrite(INTEGER value, INTEGER count, ByteSink& file, INTEGER& systemCode)
{
    std::array<std::uint8_t, 2> run{static_cast<std::uint8_t>(count | 0xC0), static_cast<std::uint8_t>(value)};
    std::span<const std::uint8_t> bytes(run);
    if (count == 1 && (value & 0xC0) != 0xC0) bytes = bytes.subspan(1);
    return file.write(bytes, systemCode) == static_cast<INTEGER>(bytes.size()) ? 0 : 2;
}

INTEGER YYDibColourTableSize(const std::uint8_t* header)
{
    const std::uint32_t size = le32(header);
    INTEGER entries = 0;
    INTEGER bits = 0;
    if (size == 12) {
        bits = static_cast<INTEGER>(le16(header + 10));
    } else {
        bits = static_cast<INTEGER>(le16(header + 14));
        entries = static_cast<INTEGER>(le32(header + 32) & 0xFFFF);
    }
    if (entries == 0) entries = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
    return size == 12 ? 3 * entries : 4 * entries;
}

void YYPutBigEndian32(std::uint32_t value, std::uint8_t* destination)
{
    for (int k = 0; k < 4; ++k) destination[k] = static_cast<std::uint8_t>(value >> (24 - 8 * k));
}

namespace {

// The DIB read back from the screen: its layout and row access, rows counted from the top.
struct SavedDib {
    const std::vector<std::uint8_t>& block;
    INTEGER width = 0, height = 0, bits = 0, compression = 0, stride = 0, table = 0;
    explicit SavedDib(const std::vector<std::uint8_t>& b) : block(b)
    {
        if (b.size() < 40) return;
        width = static_cast<INTEGER>(le32(b.data() + 4));
        height = std::abs(static_cast<INTEGER>(le32(b.data() + 8)));
        bits = static_cast<INTEGER>(le16(b.data() + 14));
        compression = static_cast<INTEGER>(le32(b.data() + 16));
        stride = YYDibStride(width, bits);
        table = YYDibColourTableSize(b.data());
        if (compression == 3) table = std::max(table, 12);
    }
    bool complete() const
    {
        return width > 0 && height > 0 &&
               block.size() >= static_cast<std::size_t>(40 + table) + static_cast<std::size_t>(stride) * height;
    }
    const std::uint8_t* row(INTEGER fromTop) const
    {
        return block.data() + 40 + table + static_cast<std::size_t>(stride) * (height - 1 - fromTop);
    }
    // Red, green and blue of pixel x of a 16-, 24- or 32-bit row.
    void rgb(const std::uint8_t* r, INTEGER x, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) const
    {
        if (bits == 16) {
            const unsigned low = r[2 * x], high = r[2 * x + 1];
            if (compression == 3) {
                red = static_cast<std::uint8_t>(high & 0xF8);
                green = static_cast<std::uint8_t>((high * 32 + (low & 0xE0) / 8) % 256);
            } else {
                red = static_cast<std::uint8_t>((high / 4 * 8) % 256);
                green = static_cast<std::uint8_t>((high * 64 + (low & 0xE0) / 4) % 256);
            }
            blue = static_cast<std::uint8_t>((low * 8) % 256);
            return;
        }
        const INTEGER step = bits / 8;
        blue = r[step * x];
        green = r[step * x + 1];
        red = r[step * x + 2];
    }
    // The colour table as RGB triples, entries of it (those beyond the table black).
    Bytes paletteTriples(INTEGER entries) const
    {
        Bytes triples(static_cast<std::size_t>(3 * entries), 0);
        const INTEGER present = compression == 3 ? 0 : table / 4;
        for (INTEGER i = 0; i < std::min(entries, present); ++i) {
            const std::uint8_t* e = block.data() + 40 + 4 * i;
            triples[static_cast<std::size_t>(3 * i)] = e[2];
            triples[static_cast<std::size_t>(3 * i + 1)] = e[1];
            triples[static_cast<std::size_t>(3 * i + 2)] = e[0];
        }
        return triples;
    }
};

INTEGER writeAll(ByteSink& file, std::span<const std::uint8_t> bytes, INTEGER& systemCode)
{
    return file.write(bytes, systemCode) == static_cast<INTEGER>(bytes.size()) ? 0 : 2;
}

INTEGER writeChunk(ByteSink& file, std::string_view type, std::span<const std::uint8_t> body, INTEGER& systemCode)
{
    Bytes chunk(8 + body.size() + 4);
    YYPutBigEndian32(static_cast<std::uint32_t>(body.size()), chunk.data());
    std::copy(type.begin(), type.end(), chunk.begin() + 4);
    std::copy(body.begin(), body.end(), chunk.begin() + 8);
    YYPutBigEndian32(YYCrc32({chunk.data() + 4, body.size() + 4}), chunk.data() + 8 + body.size());
    return writeAll(file, chunk, systemCode);
}

}  // namespace

INTEGER YYPcxWriteDib(const std::vector<std::uint8_t>& block, INTEGER width, ByteSink& file, INTEGER& systemCode)
{
    const SavedDib dib(block);
    if (!dib.complete() || !(dib.bits == 4 || dib.bits == 8 || dib.bits == 16 || dib.bits == 24 || dib.bits == 32))
        return 1072;
    const INTEGER planes = dib.bits <= 8 ? 1 : 3;
    const INTEGER perLine = dib.width;
    std::array<std::uint8_t, 128> h{};
    h[0] = 10;
    h[1] = 5;
    h[2] = 1;
    h[3] = 8;
    putLe(&h[8], static_cast<std::uint32_t>(width - 1), 2);
    putLe(&h[10], static_cast<std::uint32_t>(dib.height - 1), 2);
    putLe(&h[12], 75, 2);
    putLe(&h[14], 75, 2);
    h[65] = static_cast<std::uint8_t>(planes);
    putLe(&h[66], static_cast<std::uint32_t>(perLine), 2);
    putLe(&h[68], 1, 2);
    putLe(&h[70], static_cast<std::uint32_t>(perLine), 2);
    putLe(&h[72], static_cast<std::uint32_t>(dib.height), 2);
    if (writeAll(file, h, systemCode) != 0) return 2;

    std::array<Bytes, 3> lines;
    for (Bytes& line : lines) line.assign(static_cast<std::size_t>(perLine), 0);
    for (INTEGER row = 0; row < dib.height; ++row) {
        const std::uint8_t* r = dib.row(row);
        for (INTEGER x = 0; x < perLine; ++x) {
            const auto ux = static_cast<std::size_t>(x);
            if (dib.bits == 4) lines[0][ux] = static_cast<std::uint8_t>(x % 2 == 0 ? r[x / 2] >> 4 : r[x / 2] & 15);
            else if (dib.bits == 8) lines[0][ux] = r[x];
            else dib.rgb(r, x, lines[0][ux], lines[1][ux], lines[2][ux]);
        }
        for (INTEGER p = 0; p < planes; ++p) {
            const Bytes& line = lines[static_cast<std::size_t>(p)];
            for (std::size_t i = 0; i < line.size();) {
                std::size_t n = 1;
                while (i + n < line.size() && n < 63 && line[i + n] == line[i]) ++n;
                if (YYPcxRunWrite(line[i], static_cast<INTEGER>(n), file, systemCode) != 0) return 2;
                i += n;
            }
        }
    }
    if (planes == 1) {
        Bytes tail(1, 12);
        const Bytes triples = dib.paletteTriples(256);
        tail.insert(tail.end(), triples.begin(), triples.end());
        if (writeAll(file, tail, systemCode) != 0) return 2;
    }
    return 0;
}

INTEGER YYPngWriteDib(const std::vector<std::uint8_t>& block, INTEGER width, ByteSink& file, INTEGER& systemCode)
{
    const SavedDib dib(block);
    if (!dib.complete() || !(dib.bits == 4 || dib.bits == 8 || dib.bits == 16 || dib.bits == 24 || dib.bits == 32))
        return 1072;
    const bool indexed = dib.bits <= 8;
    const std::size_t rowBytes = dib.bits == 4 ? static_cast<std::size_t>((width + 1) / 2)
                                 : dib.bits == 8 ? static_cast<std::size_t>(width)
                                                 : static_cast<std::size_t>(3 * width);
    Bytes raw;
    raw.reserve((rowBytes + 1) * static_cast<std::size_t>(dib.height));
    for (INTEGER row = 0; row < dib.height; ++row) {
        const std::uint8_t* r = dib.row(row);
        raw.push_back(0);
        if (indexed) {
            raw.insert(raw.end(), r, r + rowBytes);
        } else {
            for (INTEGER x = 0; x < width; ++x) {
                std::uint8_t red = 0, green = 0, blue = 0;
                dib.rgb(r, x, red, green, blue);
                raw.insert(raw.end(), {red, green, blue});
            }
        }
    }
    Bytes packed(raw.size() + raw.size() / 1000 + 14);
    INTEGER packedLength = static_cast<INTEGER>(packed.size());
    const INTEGER z = YYZlibCompress(std::as_writable_bytes(std::span(packed)), packedLength,
                                     std::as_bytes(std::span(raw)), static_cast<INTEGER>(raw.size()));
    if (z != 0) {
        systemCode = z;
        return 1044;
    }
    packed.resize(static_cast<std::size_t>(packedLength));

    static constexpr std::array<std::uint8_t, 8> kSignature{137, 'P', 'N', 'G', 13, 10, 26, 10};
    if (writeAll(file, kSignature, systemCode) != 0) return 2;
    std::array<std::uint8_t, 13> header{};
    YYPutBigEndian32(static_cast<std::uint32_t>(width), header.data());
    YYPutBigEndian32(static_cast<std::uint32_t>(dib.height), header.data() + 4);
    header[8] = static_cast<std::uint8_t>(indexed ? dib.bits : 8);
    header[9] = indexed ? 3 : 2;
    if (writeChunk(file, "IHDR", header, systemCode) != 0) return 2;
    if (indexed && writeChunk(file, "PLTE", dib.paletteTriples(dib.bits == 4 ? 16 : 256), systemCode) != 0) return 2;
    if (writeChunk(file, "IDAT", packed, systemCode) != 0) return 2;
    if (writeChunk(file, "IEND", {}, systemCode) != 0) return 2;
    return 0;
}

std::vector<std::uint32_t> YYTurnPixels(const std::vector<std::uint32_t>& pixels, INTEGER width, INTEGER height,
                                        INTEGER angle)
{
    std::vector<std::uint32_t> turned(pixels.size(), 0);
    if (pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) return turned;
    const INTEGER turnedWidth = angle == 180 ? width : height;
    for (INTEGER y = 0; y < height; ++y)
        for (INTEGER x = 0; x < width; ++x) {
            INTEGER tx = 0, ty = 0;
            if (angle == 90) tx = y, ty = width - 1 - x;
            else if (angle == 180) tx = width - 1 - x, ty = height - 1 - y;
            else tx = height - 1 - y, ty = x;
            turned[static_cast<std::size_t>(ty) * turnedWidth + tx] = pixels[static_cast<std::size_t>(y) * width + x];
        }
    return turned;
}
