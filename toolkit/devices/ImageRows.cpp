#include "toolkit/devices/ImageRows.h"

#include <algorithm>
#include <cstring>

#include <zlib.h>

#include "toolkit/devices/GraphicFileProbe.h"
#include "toolkit/devices/ImageLoading.h"

namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature{137, 'P', 'N', 'G', 13, 10, 26, 10};
// Data read at a time from an IDAT chunk.
constexpr std::int64_t kInputPiece = 65536;
// Deflate's largest ratio of output to input: no data can inflate to more.
constexpr std::int64_t kDeflateRatio = 1032;

std::uint32_t le16(const std::uint8_t* p) { return p[0] | (p[1] << 8U); }
std::uint32_t le32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8U) | (p[2] << 16U) | (static_cast<std::uint32_t>(p[3]) << 24U);
}

std::int64_t fileSize(ByteSource& file) { return file.seek(0, 2); }

bool readFull(ByteSource& file, std::span<std::uint8_t> into, bool& failed) { return YYImageReadFull(file, into, failed); }

}  // namespace

bool YYImageReadFull(ByteSource& file, std::span<std::uint8_t> into, bool& readError)
{
    std::size_t done = 0;
    while (done < into.size()) {
        const INTEGER count = file.read(into.subspan(done));
        if (count < 0) readError = true;
        if (count <= 0) return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

// ---- PNG ------------------------------------------------------------------------------------

struct PngRows::Inflater {
    z_stream stream{};
    bool ready = false;
    Inflater() { ready = inflateInit(&stream) == Z_OK; }
    ~Inflater()
    {
        if (ready) inflateEnd(&stream);
    }
};

INTEGER YYPngLayoutRead(ByteSource& file, PngLayout& layout)
{
    std::array<std::uint8_t, 33> h{};
    bool failed = false;
    if (file.seek(0, 0) != 0 || !readFull(file, h, failed)) return kImageShort;
    if (!std::equal(kPngSignature.begin(), kPngSignature.end(), h.begin()) || YYPngGetU32(&h[8]) != 13 ||
        YYPngChunkIs(&h[12], "IHDR") == 0)
        return kImageUnusable;
    const std::uint32_t width = YYPngGetU32(&h[16]), height = YYPngGetU32(&h[20]);
    const INTEGER depth = h[24], type = h[25];
    if (h[26] != 0 || h[27] != 0 || h[28] != 0) return kImageUnusable;
    const bool palette = type == 3;
    if (palette ? (depth != 1 && depth != 2 && depth != 4 && depth != 8)
                : ((type != 2 && type != 6) || (depth != 8 && depth != 16)))
        return kImageUnusable;
    if (width == 0 || height == 0 || width > kImageLongestSide || height > kImageLongestSide) return kImageUnusable;
    layout.Width = static_cast<INTEGER>(width);
    layout.Height = static_cast<INTEGER>(height);
    layout.Depth = depth;
    layout.ColourType = type;
    layout.SampleBytes = palette ? 1 : depth / 8;
    layout.PixelBytes = palette ? 1 : (type == 2 ? 3 : 4) * layout.SampleBytes;
    layout.RowBytes = palette ? (std::int64_t{layout.Width} * depth + 7) / 8 : std::int64_t{layout.PixelBytes} * layout.Width;
    return 0;
}

PngRows::PngRows(ByteSource& file, const PngLayout& layout)
    : file_(file), layout_(layout), inflater_(std::make_unique<Inflater>()),
      rows_(static_cast<std::size_t>(2 * (layout.RowBytes + 1)), 0), input_(static_cast<std::size_t>(kInputPiece))
{
    const std::int64_t raw = (layout.RowBytes + 1) * layout.Height;
    capacity_ = raw + raw / 1000 + 22;
}

PngRows::~PngRows() = default;

bool PngRows::readExact(std::span<std::uint8_t> into)
{
    if (readFull(file_, into, readFailed_)) return true;
    return false;
}

bool PngRows::skip(std::int64_t count)
{
    // Passed over by reading, so that a source that cannot move still reads right.
    std::array<std::uint8_t, 4096> scratch{};
    while (count > 0) {
        const auto piece = static_cast<std::size_t>(std::min<std::int64_t>(count, scratch.size()));
        if (!readExact({scratch.data(), piece})) return false;
        count -= static_cast<std::int64_t>(piece);
    }
    return true;
}

// Reads chunks until IDAT data are at hand or IEND has come; the CRC of a finished IDAT first.
INTEGER PngRows::nextChunk()
{
    for (;;) {
        if (sawData_ && chunkLeft_ == 0 && !skip(4)) return kImageShort;
        std::array<std::uint8_t, 8> head{};
        if (!readExact(head)) return kImageShort;
        const std::int64_t length = YYPngGetU32(head.data());
        if (length > 0x7FFFFFFF) return kImageUnusable;
        const std::uint8_t* type = head.data() + 4;
        if (YYPngChunkIs(type, "IDAT") != 0) {
            // The colours must be known before the first index.
            if (layout_.palette() && entries_ == 0) return kImageUnusable;
            gathered_ += length;
            if (gathered_ > capacity_) return kImageShort;
            sawData_ = true;
            chunkLeft_ = length;
            if (length > 0) return 0;
            continue;
        }
        sawData_ = false;
        if (YYPngChunkIs(type, "IEND") != 0) {
            sawEnd_ = true;
            return 0;
        }
        if (YYPngChunkIs(type, "PLTE") != 0) {
            // At most 256 entries of three bytes: any other length is no palette.
            if (length == 0 || length > 768 || length % 3 != 0) return kImageUnusable;
            if (!readExact({palette_.data(), static_cast<std::size_t>(length)}) || !skip(4)) return kImageShort;
            entries_ = static_cast<INTEGER>(length / 3);
            continue;
        }
        // Chunks the readers do not use, however long, are passed over.
        if (!skip(length + 4)) return kImageShort;
    }
}

// Makes sure data wait to be inflated (none after IEND).
INTEGER PngRows::fill()
{
    z_stream& z = inflater_->stream;
    if (z.avail_in > 0 || sawEnd_) return 0;
    if (chunkLeft_ == 0)
        if (const INTEGER code = nextChunk(); code != 0 || sawEnd_) return code;
    const auto piece = static_cast<std::size_t>(std::min(chunkLeft_, kInputPiece));
    if (!readExact({input_.data(), piece})) return kImageShort;
    chunkLeft_ -= static_cast<std::int64_t>(piece);
    z.next_in = input_.data();
    z.avail_in = static_cast<uInt>(piece);
    return 0;
}

INTEGER PngRows::next(std::span<const std::uint8_t>& row)
{
    z_stream& z = inflater_->stream;
    if (!inflater_->ready) {
        zlibStatus_ = Z_MEM_ERROR;
        return kImageBadData;
    }
    const std::size_t width = static_cast<std::size_t>(layout_.RowBytes + 1);
    std::uint8_t* const current = rows_.data() + (rowsDone_ % 2 == 0 ? 0 : width);
    const std::uint8_t* const above = rowsDone_ == 0 ? nullptr : rows_.data() + (rowsDone_ % 2 == 0 ? width : 0);
    z.next_out = current;
    z.avail_out = static_cast<uInt>(width);
    while (z.avail_out > 0) {
        if (const INTEGER code = fill()) return code;
        // The data end, or the stream ends, before the picture's rows do.
        if (streamEnded_ || (z.avail_in == 0 && sawEnd_)) {
            zlibStatus_ = kImageDataEndedStatus;
            return kImageBadData;
        }
        const int status = inflate(&z, Z_NO_FLUSH);
        if (status == Z_STREAM_END) streamEnded_ = true;
        else if (status == Z_NEED_DICT) return zlibStatus_ = kImageDataEndedStatus, kImageBadData;
        else if (status != Z_OK && status != Z_BUF_ERROR) return zlibStatus_ = status, kImageBadData;
    }
    // Filter types above 4 have no meaning: the rows could not be drawn right.
    if (current[0] > 4) return kImageUnusable;
    YYPngUnfilterRow(current, above, static_cast<INTEGER>(layout_.RowBytes), layout_.PixelBytes);
    row = std::span<const std::uint8_t>(current + 1, width - 1);
    if (layout_.palette()) {
        // Every index must name a colour of the palette.
        const INTEGER depth = layout_.Depth;
        for (std::int64_t c = 0; c < layout_.Width; ++c) {
            const std::int64_t bit = c * depth;
            const unsigned index = (row[static_cast<std::size_t>(bit / 8)] >> (8 - depth - bit % 8)) & ((1U << depth) - 1U);
            if (static_cast<INTEGER>(index) >= entries_) return kImageUnusable;
        }
    }
    ++rowsDone_;
    return 0;
}

INTEGER PngRows::finish()
{
    z_stream& z = inflater_->stream;
    // The rest of the stream: its end and checksum, and no byte of picture beyond the rows.
    std::array<std::uint8_t, 256> beyond{};
    while (!streamEnded_) {
        if (const INTEGER code = fill()) return code;
        if (z.avail_in == 0 && sawEnd_) return zlibStatus_ = Z_BUF_ERROR, kImageBadData;
        z.next_out = beyond.data();
        z.avail_out = static_cast<uInt>(beyond.size());
        const int status = inflate(&z, Z_NO_FLUSH);
        if (z.avail_out < beyond.size()) return zlibStatus_ = Z_BUF_ERROR, kImageBadData;
        if (status == Z_STREAM_END) streamEnded_ = true;
        else if (status != Z_OK && status != Z_BUF_ERROR) return zlibStatus_ = status, kImageBadData;
    }
    while (!sawEnd_) {
        if (chunkLeft_ > 0 && !skip(chunkLeft_)) return kImageShort;
        chunkLeft_ = 0;
        if (const INTEGER code = nextChunk()) return code;
    }
    return 0;
}

// ---- BMP ------------------------------------------------------------------------------------

INTEGER YYBmpLayoutRead(ByteSource& file, BmpLayout& layout)
{
    std::array<std::uint8_t, 54> h{};
    bool failed = false;
    // Another signature is no BMP, however short the file; a BMP cut inside its headers is short.
    if (file.seek(0, 0) != 0 || !readFull(file, {h.data(), 2}, failed)) return kImageShort;
    if (h[0] != 'B' || h[1] != 'M') return kImageUnusable;
    if (!readFull(file, {h.data() + 2, h.size() - 2}, failed)) return kImageShort;
    std::copy(h.begin() + 14, h.end(), layout.Info.begin());
    const std::uint32_t headerSize = le32(&h[14]);
    const std::int64_t width = static_cast<std::int32_t>(le32(&h[18]));
    const std::int64_t height = static_cast<std::int32_t>(le32(&h[22]));
    const INTEGER bits = static_cast<INTEGER>(le16(&h[28]));
    const std::uint32_t compression = le32(&h[30]);
    const std::uint32_t coloursUsed = le32(&h[46]);
    if (headerSize < 40 || headerSize > 1024) return kImageUnusable;
    const bool plain = compression == 0 && (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
    layout.RunLength = (compression == 1 && bits == 8) || (compression == 2 && bits == 4);
    layout.BitFields = compression == 3 && (bits == 16 || bits == 32);
    if (!plain && !layout.RunLength && !layout.BitFields) return kImageUnusable;
    // Run-length data are always stored bottom row first.
    layout.TopDown = height < 0;
    if (layout.TopDown && layout.RunLength) return kImageUnusable;
    const std::int64_t rows = height < 0 ? -height : height;
    if (width <= 0 || rows == 0 || width > kImageLongestSide || rows > kImageLongestSide) return kImageUnusable;
    layout.Width = static_cast<INTEGER>(width);
    layout.Rows = static_cast<INTEGER>(rows);
    layout.Bits = bits;
    layout.TableStart = 14 + std::int64_t{headerSize};
    std::int64_t table = 0;
    layout.FiveFiveFive = bits == 16 && compression == 0;
    if (layout.BitFields) {
        // The masks follow a 40-byte header and lie inside the longer ones, at the same place.
        if (!readFull(file, layout.Masks, failed)) return kImageShort;
        layout.FiveFiveFive = bits == 16 && le32(&layout.Masks[0]) == 0x7C00 && le32(&layout.Masks[4]) == 0x03E0 &&
                              le32(&layout.Masks[8]) == 0x001F;
        if (headerSize == 40) table = 12;
    } else if (bits <= 8) {
        const std::int64_t most = std::int64_t{1} << bits;
        layout.Entries = static_cast<INTEGER>(coloursUsed == 0 ? most : std::min<std::int64_t>(coloursUsed, most));
        table = 4 * std::int64_t{layout.Entries};
    }
    layout.DataOffset = le32(&h[10]);
    // No offset: the pixels follow the table.
    if (layout.DataOffset == 0) layout.DataOffset = layout.TableStart + table;
    if (layout.DataOffset < layout.TableStart) return kImageUnusable;
    if (bits <= 8 && !layout.BitFields)
        layout.Entries = static_cast<INTEGER>(std::min<std::int64_t>(layout.Entries, (layout.DataOffset - layout.TableStart) / 4));
    const std::int64_t stride = (width * bits + 31) / 32 * 4;
    layout.ImageBytes = stride * rows;
    if (layout.RunLength) layout.ImageBytes = std::max<std::int64_t>(fileSize(file) - layout.DataOffset, 0);
    return 0;
}

// ---- PCX ------------------------------------------------------------------------------------

INTEGER YYPcxLayoutRead(ByteSource& file, PcxLayout& layout)
{
    std::array<std::uint8_t, 128> h{};
    bool failed = false;
    if (file.seek(0, 0) != 0 || !readFull(file, h, failed)) return kImageShort;
    if (h[0] != 10 || h[2] != 1) return kImageUnusable;
    const INTEGER depth = h[3], planes = h[65];
    layout.Width = static_cast<INTEGER>(le16(&h[8])) - static_cast<INTEGER>(le16(&h[4])) + 1;
    layout.Height = static_cast<INTEGER>(le16(&h[10])) - static_cast<INTEGER>(le16(&h[6])) + 1;
    layout.LineBytes = static_cast<INTEGER>(le16(&h[66]));
    layout.Planes = planes;
    layout.Packed = depth == 4 && planes == 1;
    if (depth == 1 && planes == 1) layout.Bits = 1;
    else if ((depth == 1 && planes == 4) || layout.Packed) layout.Bits = 4;
    else if (depth == 8 && planes == 1) layout.Bits = 8;
    else if (depth == 8 && planes == 3) layout.Bits = 24;
    else return kImageUnusable;
    if (layout.Width <= 0 || layout.Height <= 0) return kImageUnusable;
    // A line must hold the width's pixels.
    if (std::int64_t{layout.LineBytes} * 8 < std::int64_t{layout.Width} * depth) return kImageUnusable;
    return 0;
}

INTEGER YYPcxPaletteRead(ByteSource& file, std::array<std::uint8_t, 768>& palette)
{
    std::array<std::uint8_t, 769> tail{};
    bool failed = false;
    const std::int64_t size = fileSize(file);
    if (size < 128 + 769 || file.seek(static_cast<INTEGER>(size - 769), 0) < 0 || !readFull(file, tail, failed) || tail[0] != 12)
        return kImageShort;
    std::copy(tail.begin() + 1, tail.end(), palette.begin());
    return file.seek(128, 0) == 128 ? 0 : kImageShort;
}

bool PcxLines::next(std::span<std::uint8_t> line)
{
    std::size_t filled = 0;
    while (filled < line.size()) {
        const int first = reader_.next();
        if (first < 0) return false;
        if (first < 0xC0) {
            line[filled++] = static_cast<std::uint8_t>(first);
            continue;
        }
        const int value = reader_.next();
        if (value < 0) return false;
        const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(first & 63), line.size() - filled);
        std::memset(line.data() + filled, value, count);
        filled += count;
    }
    return true;
}

// ---- the declared size ----------------------------------------------------------------------

INTEGER YYImageFileHolds(ByteSource& file, INTEGER kind)
{
    INTEGER verdict = 0;
    const std::int64_t size = fileSize(file);
    if (kind == kGraphicBmp) {
        BmpLayout layout;
        verdict = YYBmpLayoutRead(file, layout);
        if (verdict == 0 && !layout.RunLength && layout.DataOffset + layout.ImageBytes > size) verdict = kImageShort;
    } else if (kind == kGraphicPcx) {
        PcxLayout layout;
        verdict = YYPcxLayoutRead(file, layout);
        // Each run of two bytes gives at most 63 bytes of a line.
        const std::int64_t lines = std::int64_t{layout.LineBytes} * layout.Planes * layout.Height;
        if (verdict == 0 && (size - 128) * 63 / 2 < lines) verdict = kImageShort;
    } else if (kind == kGraphicPng) {
        PngLayout layout;
        verdict = YYPngLayoutRead(file, layout);
        // The data chunks' lengths, passed over up to IEND: the file moves, it is not read.
        std::int64_t data = 0, at = 33;
        while (verdict == 0) {
            std::array<std::uint8_t, 8> head{};
            bool failed = false;
            if (file.seek(static_cast<INTEGER>(at), 0) != at || !readFull(file, head, failed)) break;
            const std::int64_t length = YYPngGetU32(head.data());
            if (YYPngChunkIs(&head[4], "IDAT") != 0) data += length;
            if (YYPngChunkIs(&head[4], "IEND") != 0) {
                if (data * kDeflateRatio < (layout.RowBytes + 1) * layout.Height) verdict = kImageBadData;
                break;
            }
            at += 12 + length;
            if (at > size || at > 0x7FFFFFFF) break;
        }
    }
    file.seek(0, 0);
    return verdict;
}
