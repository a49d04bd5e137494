#include "toolkit/devices/ImageLoading.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include "toolkit/devices/GraphicFileProbe.h"
#include "toolkit/foundation/BufferCompression.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/DriverProtocol.h"

namespace {

// Headers, colour tables, BMP rows and PNG chunks other than IDAT pass through a buffer of this
// size; PCX data streams through one.
constexpr std::size_t kReadBufferSize = 40000;

constexpr INTEGER kShortRead = 2;
constexpr INTEGER kUnusableHeader = 27;
constexpr INTEGER kBadCompressedData = 1044;

constexpr INTEGER kKindBmp = 1;
constexpr INTEGER kKindPcx = 2;
constexpr INTEGER kKindPng = 15;

INTEGER packRgb(unsigned red, unsigned green, unsigned blue)
{
    return static_cast<INTEGER>(red + 256U * green + 65536U * blue);
}

std::uint32_t le16(const std::uint8_t* p) { return p[0] | (p[1] << 8U); }
std::uint32_t le32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8U) | (p[2] << 16U) | (static_cast<std::uint32_t>(p[3]) << 24U);
}

// One decode: the source, the caller's array and a palette that starts black on every load, so
// that entries a file does not supply never show an earlier file's colours.
class ImageDecoder {
public:
    ImageDecoder(ByteSource& source, std::span<INTEGER> image) : source_(source), image_(image) {}

    INTEGER bmp(INTEGER width, INTEGER height);
    INTEGER pcx(INTEGER width, INTEGER height);
    INTEGER png(INTEGER width, INTEGER height);
    bool reported() const { return reported_; }

private:
    // Reads exactly into.size() bytes; false when fewer came (a read error is already reported).
    bool readExact(std::span<std::uint8_t> into);
    bool seekTo(std::int64_t position);
    bool fits(std::int64_t width, std::int64_t height) const
    {
        return width * height <= static_cast<std::int64_t>(image_.size());
    }
    void put(std::int64_t row, std::int64_t column, std::int64_t width, INTEGER colour)
    {
        image_[static_cast<std::size_t>(row * width + column)] = colour;
    }
    INTEGER bmpRunLength(INTEGER width, INTEGER rows, bool fourBits);

    ByteSource& source_;
    std::span<INTEGER> image_;
    std::array<INTEGER, 256> palette_{};
    std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(kReadBufferSize);
    bool reported_ = false;
};

bool ImageDecoder::readExact(std::span<std::uint8_t> into)
{
    std::size_t done = 0;
    while (done < into.size()) {
        const INTEGER count = source_.read(into.subspan(done));
        if (count < 0) reported_ = true;
        if (count <= 0) return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

bool ImageDecoder::seekTo(std::int64_t position)
{
    return position >= 0 && position <= INT32_MAX && source_.seek(static_cast<INTEGER>(position), 0) == position;
}

INTEGER ImageDecoder::bmp(INTEGER width, INTEGER height)
{
    std::uint8_t* const header = buffer_.data();
    if (!seekTo(0) || !readExact({header, 54})) return kShortRead;
    const std::uint32_t headerSize = le32(header + 14);
    const std::uint32_t bits = le16(header + 28);
    const std::uint32_t compression = le32(header + 30);
    const std::int64_t dataOffset = le32(header + 10);
    const bool topDown = height < 0;
    const std::int64_t rows = std::abs(static_cast<std::int64_t>(height));
    if (headerSize < 16 || width <= 0 || rows == 0) return kUnusableHeader;
    const bool depthKnown = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const bool runLength = (bits == 8 && compression == 1) || (bits == 4 && compression == 2);
    const bool bitFields = (bits == 16 || bits == 32) && compression == 3;
    if (!depthKnown || (compression != 0 && !runLength && !bitFields)) return kUnusableHeader;
    // Run-length data are always stored bottom row first.
    if (runLength && topDown) return kUnusableHeader;
    if (!fits(width, rows)) return kShortRead;

    if (bits <= 8) {
        // The colour table follows the information header, whatever its version.
        const std::int64_t tableStart = 14 + static_cast<std::int64_t>(headerSize);
        const std::int64_t tableBytes = dataOffset - tableStart;
        if (tableBytes < 0 || tableBytes > static_cast<std::int64_t>(kReadBufferSize)) return kUnusableHeader;
        if (!seekTo(tableStart) || !readExact({buffer_.data(), static_cast<std::size_t>(tableBytes)})) return kShortRead;
        const auto entries = std::min<std::int64_t>(tableBytes / 4, std::int64_t{1} << bits);
        for (std::int64_t k = 0; k < entries; ++k) {
            const std::uint8_t* entry = buffer_.data() + 4 * k;
            palette_[static_cast<std::size_t>(k)] = packRgb(entry[2], entry[1], entry[0]);
        }
    }
    // 16-bit fields are 5-6-5 unless the file's masks say 5-5-5.
    bool fiveFiveFive = compression == 0;
    if (bits == 16 && bitFields) {
        std::array<std::uint8_t, 12> masks{};
        if (seekTo(54) && readExact(masks))
            fiveFiveFive = le32(&masks[0]) == 0x7C00 && le32(&masks[4]) == 0x03E0 && le32(&masks[8]) == 0x001F;
    }
    if (!seekTo(dataOffset)) return kShortRead;
    if (runLength) return bmpRunLength(width, static_cast<INTEGER>(rows), bits == 4);

    const std::int64_t rowBytes = (static_cast<std::int64_t>(width) * bits + 31) / 32 * 4;
    if (rowBytes > static_cast<std::int64_t>(kReadBufferSize)) return kUnusableHeader;
    const std::span<std::uint8_t> row(buffer_.data(), static_cast<std::size_t>(rowBytes));
    for (std::int64_t stored = 0; stored < rows; ++stored) {
        if (!readExact(row)) return kShortRead;
        const std::int64_t r = topDown ? stored : rows - 1 - stored;
        for (std::int64_t c = 0; c < width; ++c) {
            INTEGER colour = 0;
            switch (bits) {
            case 1: colour = palette_[(row[static_cast<std::size_t>(c / 8)] >> (7 - c % 8)) & 1U]; break;
            case 4: colour = palette_[(row[static_cast<std::size_t>(c / 2)] >> (c % 2 == 0 ? 4 : 0)) & 15U]; break;
            case 8: colour = palette_[row[static_cast<std::size_t>(c)]]; break;
            case 16: {
                const unsigned low = row[static_cast<std::size_t>(2 * c)];
                const unsigned high = row[static_cast<std::size_t>(2 * c + 1)];
                if (fiveFiveFive)
                    colour = packRgb((high / 4 & 31U) * 8, ((high & 3U) * 8 + low / 32) * 8, (low & 31U) * 8);
                else
                    colour = packRgb(high & 0xF8U, ((high & 7U) * 8 + low / 32) * 4, (low & 31U) * 8);
                break;
            }
            default: {
                const std::uint8_t* p = row.data() + c * (bits / 8);
                colour = packRgb(p[2], p[1], p[0]);
            }
            }
            put(r, c, width, colour);
        }
    }
    return 0;
}

INTEGER ImageDecoder::bmpRunLength(INTEGER width, INTEGER rows, bool fourBits)
{
    std::int64_t row = rows - 1;
    std::int64_t x = 0;
    auto store = [&](INTEGER colour) {
        if (x < width && row >= 0 && row < rows) put(row, x, width, colour);
        ++x;
    };
    std::array<std::uint8_t, 2> pair{};
    std::array<std::uint8_t, 256> literal{};
    for (;;) {
        // A stream that ends before its end-of-bitmap mark is a truncated file.
        if (!readExact(pair)) return kShortRead;
        const unsigned first = pair[0];
        const unsigned second = pair[1];
        if (first > 0) {
            for (unsigned k = 0; k < first; ++k)
                store(palette_[fourBits ? ((k % 2 == 0) ? second >> 4 : second & 15U) : second]);
        } else if (second == 0) {
            --row;
            x = 0;
        } else if (second == 1) {
            return 0;
        } else if (second == 2) {
            if (!readExact(pair)) return kShortRead;
            x += pair[0];
            row -= pair[1];
        } else {
            std::size_t bytes = fourBits ? (second + 1) / 2 : second;
            bytes += bytes % 2;
            if (!readExact({literal.data(), bytes})) return kShortRead;
            for (unsigned k = 0; k < second; ++k)
                store(palette_[fourBits ? (literal[k / 2] >> (k % 2 == 0 ? 4 : 0)) & 15U : literal[k]]);
        }
    }
}

// The PCX run-length stream: a byte with both top bits set counts the byte after it. Runs may
// cross the end of a scan line; they carry on into the next.
class PcxStream {
public:
    explicit PcxStream(ByteReader& reader) : reader_(reader) {}
    int next()
    {
        while (count_ == 0) {
            const int b = reader_.next();
            if (b < 0xC0) return b;
            const int value = reader_.next();
            if (value < 0) return -1;
            count_ = b & 63;
            value_ = value;
        }
        --count_;
        return value_;
    }

private:
    ByteReader& reader_;
    int count_ = 0;
    int value_ = 0;
};

INTEGER ImageDecoder::pcx(INTEGER width, INTEGER height)
{
    std::uint8_t* const header = buffer_.data();
    if (!seekTo(0) || !readExact({header, 128})) return kShortRead;
    const unsigned bitsPerPixel = header[3];
    const unsigned planes = header[65];
    const std::int64_t lineBytes = le16(header + 66);
    if (width <= 0 || height <= 0) return kUnusableHeader;
    enum Layout { kMono, kPlanar16, kPacked16, kIndexed256, kTrueColour } layout;
    std::int64_t needed = 0;
    if (bitsPerPixel == 1 && planes == 1) layout = kMono, needed = (width + 7) / 8;
    else if (bitsPerPixel == 1 && planes == 4) layout = kPlanar16, needed = (width + 7) / 8;
    else if (bitsPerPixel == 4 && planes == 1) layout = kPacked16, needed = (width + 1) / 2;
    else if (bitsPerPixel == 8 && planes == 1) layout = kIndexed256, needed = width;
    else if (bitsPerPixel == 8 && planes == 3) layout = kTrueColour, needed = width;
    else return kUnusableHeader;
    if (lineBytes < needed) return kUnusableHeader;
    if (!fits(width, height)) return kShortRead;

    if (layout == kPlanar16 || layout == kPacked16) {
        for (int k = 0; k < 16; ++k) palette_[k] = packRgb(header[16 + 3 * k], header[17 + 3 * k], header[18 + 3 * k]);
    } else if (layout == kIndexed256) {
        // The 256-colour table ends the file, behind the marker byte 12.
        const INTEGER size = source_.seek(0, 2);
        std::uint8_t* const table = buffer_.data() + 128;
        if (size < 128 + 769 || !seekTo(size - 769) || !readExact({table, 769}) || table[0] != 12) return kShortRead;
        for (int k = 0; k < 256; ++k) palette_[k] = packRgb(table[1 + 3 * k], table[2 + 3 * k], table[3 + 3 * k]);
    }
    if (!seekTo(128)) return kShortRead;

    ByteReader reader(source_, kReadBufferSize);
    PcxStream stream(reader);
    const int lines = layout == kPlanar16 ? 4 : layout == kTrueColour ? 3 : 1;
    std::vector<INTEGER> row(static_cast<std::size_t>(width));
    for (std::int64_t r = 0; r < height; ++r) {
        std::fill(row.begin(), row.end(), 0);
        for (int plane = 0; plane < lines; ++plane) {
            for (std::int64_t j = 0; j < lineBytes; ++j) {
                const int b = stream.next();
                if (b < 0) {
                    if (reader.failed()) reported_ = true;
                    return kShortRead;
                }
                if (j >= needed) continue;
                const auto value = static_cast<unsigned>(b);
                switch (layout) {
                case kMono:
                case kPlanar16:
                    for (std::int64_t bit = 0; bit < 8 && 8 * j + bit < width; ++bit)
                        if ((value >> (7 - bit)) & 1U) row[static_cast<std::size_t>(8 * j + bit)] |= 1 << plane;
                    break;
                case kPacked16:
                    row[static_cast<std::size_t>(2 * j)] = static_cast<INTEGER>(value >> 4);
                    if (2 * j + 1 < width) row[static_cast<std::size_t>(2 * j + 1)] = static_cast<INTEGER>(value & 15U);
                    break;
                case kIndexed256: row[static_cast<std::size_t>(j)] = static_cast<INTEGER>(value); break;
                case kTrueColour: row[static_cast<std::size_t>(j)] += static_cast<INTEGER>(value << (8 * plane)); break;
                }
            }
        }
        for (std::int64_t c = 0; c < width; ++c) {
            const INTEGER v = row[static_cast<std::size_t>(c)];
            put(r, c, width, layout == kMono ? (v ? 0xFFFFFF : 0) : layout == kTrueColour ? v : palette_[v]);
        }
    }
    return 0;
}

INTEGER ImageDecoder::png(INTEGER width, INTEGER height)
{
    std::uint8_t* const head = buffer_.data();
    if (!seekTo(0) || !readExact({head, 33})) return kShortRead;
    if (YYPngGetU32(head + 8) != 13 || !YYPngChunkIs(head + 12, "IHDR")) return kUnusableHeader;
    const unsigned depth = head[24];
    const unsigned colourType = head[25];
    if (head[27] != 0 || head[28] != 0) return kUnusableHeader;
    const bool palette = colourType == 3;
    if (palette ? (depth != 1 && depth != 2 && depth != 4 && depth != 8)
                : ((colourType != 2 && colourType != 6) || (depth != 8 && depth != 16)))
        return kUnusableHeader;
    if (width <= 0 || height <= 0) return kUnusableHeader;
    if (!fits(width, height)) return kShortRead;

    const std::int64_t sample = depth / 8;
    const std::int64_t pixelBytes = palette ? 1 : (colourType == 2 ? 3 : 4) * sample;
    const std::int64_t rowBytes = (palette ? (static_cast<std::int64_t>(width) * depth + 7) / 8
                                           : pixelBytes * width) + 1;
    const std::int64_t raw = rowBytes * height;
    const std::int64_t idatCapacity = raw + raw / 1000 + 22;
    if (idatCapacity > INT32_MAX) return kUnusableHeader;
    // Left uninitialised: only the gathered bytes are read, and every inflated byte is checked written.
    const auto idat = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(idatCapacity));
    std::int64_t gathered = 0;

    for (;;) {
        std::array<std::uint8_t, 8> chunk{};
        if (!readExact(chunk)) return kShortRead;
        const std::int64_t length = YYPngGetU32(chunk.data());
        if (length > INT32_MAX) return kUnusableHeader;
        if (YYPngChunkIs(&chunk[4], "IDAT")) {
            if (gathered + length > idatCapacity) return kShortRead;
            if (!readExact({idat.get() + gathered, static_cast<std::size_t>(length)})) return kShortRead;
            gathered += length;
            if (!readExact({buffer_.data(), 4})) return kShortRead;
        } else if (YYPngChunkIs(&chunk[4], "PLTE")) {
            if (length + 4 > static_cast<std::int64_t>(kReadBufferSize)) return kUnusableHeader;
            if (!readExact({buffer_.data(), static_cast<std::size_t>(length + 4)})) return kShortRead;
            const auto entries = std::min<std::int64_t>(length / 3, 256);
            for (std::int64_t k = 0; k < entries; ++k) {
                const std::uint8_t* p = buffer_.data() + 3 * k;
                palette_[static_cast<std::size_t>(k)] = packRgb(p[0], p[1], p[2]);
            }
        } else if (YYPngChunkIs(&chunk[4], "IEND")) {
            break;
        } else {
            // Chunks the loader does not use may be longer than the buffer: passed over in pieces.
            for (std::int64_t left = length + 4; left > 0;) {
                const auto piece = static_cast<std::size_t>(std::min<std::int64_t>(left, kReadBufferSize));
                if (!readExact({buffer_.data(), piece})) return kShortRead;
                left -= static_cast<std::int64_t>(piece);
            }
        }
    }

    const auto pixels = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(raw));
    INTEGER inflated = static_cast<INTEGER>(raw);
    YYUnCompressBytes(std::as_bytes(std::span(idat.get(), static_cast<std::size_t>(gathered))),
                      std::as_writable_bytes(std::span(pixels.get(), static_cast<std::size_t>(raw))),
                      static_cast<INTEGER>(gathered), inflated);
    if (inflated == 0) {
        reported_ = true;
        return kBadCompressedData;
    }
    // Data that inflate to fewer bytes than the rows need are as unusable as data that do not inflate.
    if (inflated != raw) return kBadCompressedData;
    YYPngUnfilter({pixels.get(), static_cast<std::size_t>(raw)}, static_cast<INTEGER>(rowBytes), height, static_cast<INTEGER>(palette ? 1 : pixelBytes));

    for (std::int64_t r = 0; r < height; ++r) {
        const std::uint8_t* data = pixels.get() + r * rowBytes + 1;
        for (std::int64_t c = 0; c < width; ++c) {
            INTEGER colour;
            if (palette) {
                const std::int64_t bit = c * depth;
                const unsigned index = (data[bit / 8] >> (8 - depth - bit % 8)) & ((1U << depth) - 1U);
                colour = palette_[index];
            } else {
                const std::uint8_t* p = data + c * pixelBytes;
                colour = packRgb(p[0], p[sample], p[2 * sample]);
            }
            put(r, c, width, colour);
        }
    }
    return 0;
}

}  // namespace

std::uint32_t YYPngGetU32(const std::uint8_t* bytes)
{
    return (static_cast<std::uint32_t>(bytes[0]) << 24U) | (bytes[1] << 16U) | (bytes[2] << 8U) | bytes[3];
}

INTEGER YYPngChunkIs(const std::uint8_t* type, std::string_view name)
{
    if (name.size() < 4) return 0;
    for (std::size_t k = 0; k < 4; ++k)
        if (type[k] != static_cast<std::uint8_t>(name[k])) return 0;
    return 1;
}

std::uint32_t YYCrc32(std::span<const std::uint8_t> bytes)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1U) ? 0xEDB88320U ^ (c >> 1U) : c >> 1U;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFU;
    for (const std::uint8_t b : bytes) crc = table[(crc ^ b) & 0xFFU] ^ (crc >> 8U);
    return crc ^ 0xFFFFFFFFU;
}

INTEGER YYPngCrc(INTEGER& count, INTEGER& result, std::string_view bytes)
{
    const auto n = static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, static_cast<std::int64_t>(bytes.size())));
    result = static_cast<INTEGER>(YYCrc32({reinterpret_cast<const std::uint8_t*>(bytes.data()), n}));
    return result;
}

void YYPngUnfilter(std::span<std::uint8_t> buffer, INTEGER rowBytes, INTEGER rows, INTEGER bpp)
{
    if (rowBytes < 1 || rows < 1 || bpp < 1) return;
    const auto width = static_cast<std::size_t>(rowBytes);
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(rows), buffer.size() / width);
    const std::size_t n = width - 1;
    const std::size_t left = std::min<std::size_t>(static_cast<std::size_t>(bpp), n);
    // The row above the first one is all zeros.
    const std::vector<std::uint8_t> zeros(n);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* const row = buffer.data() + i * width;
        std::uint8_t* const v = row + 1;
        const std::uint8_t* const b = i > 0 ? v - width : zeros.data();
        // One loop per type, the pixels without a left neighbour first.
        switch (row[0]) {
        case 1:
            for (std::size_t j = left; j < n; ++j) v[j] = static_cast<std::uint8_t>(v[j] + v[j - left]);
            break;
        case 2:
            for (std::size_t j = 0; j < n; ++j) v[j] = static_cast<std::uint8_t>(v[j] + b[j]);
            break;
        case 3:
            for (std::size_t j = 0; j < left; ++j) v[j] = static_cast<std::uint8_t>(v[j] + b[j] / 2);
            for (std::size_t j = left; j < n; ++j) v[j] = static_cast<std::uint8_t>(v[j] + (v[j - left] + b[j]) / 2);
            break;
        case 4:
            // With no left neighbour the predictor is the byte above.
            for (std::size_t j = 0; j < left; ++j) v[j] = static_cast<std::uint8_t>(v[j] + b[j]);
            for (std::size_t j = left; j < n; ++j) {
                const int a = v[j - left], up = b[j], c = b[j - left];
                const int p = a + up - c;
                const int pa = std::abs(p - a), pb = std::abs(p - up), pc = std::abs(p - c);
                v[j] = static_cast<std::uint8_t>(v[j] + ((pa <= pb && pa <= pc) ? a : (pb <= pc ? up : c)));
            }
            break;
        default:  // 0 None and unknown types leave the row as it is
            break;
        }
    }
}

void YYPngRowUnfilter(INTEGER& rowBytes, INTEGER& rows, INTEGER& bpp, std::string& buffer)
{
    YYPngUnfilter({reinterpret_cast<std::uint8_t*>(buffer.data()), buffer.size()}, rowBytes, rows, bpp);
}

INTEGER YYImageDecode(ByteSource& source, std::span<const INTEGER, 5> probe, std::span<INTEGER> image,
                      bool& alreadyReported)
{
    ImageDecoder decoder(source, image);
    INTEGER status = kUnusableHeader;
    switch (probe[0]) {
    case kKindBmp: status = decoder.bmp(probe[1], probe[2]); break;
    case kKindPcx: status = decoder.pcx(probe[1], probe[2]); break;
    case kKindPng: status = decoder.png(probe[1], probe[2]); break;
    default: break;
    }
    alreadyReported = status != 0 && decoder.reported();
    return status;
}

void IGrLoadImageData(ByteSource& source, std::span<INTEGER> image)
{
    std::array<INTEGER, 5> probe{};
    INTEGER n = 5;
    YYGraphicFileProbe(source, probe, n);
    if (probe[0] != kKindBmp && probe[0] != kKindPcx && probe[0] != kKindPng) {
        YYErrorReport(kUnusableHeader, "IGrLoadImageData");
        return;
    }
    bool alreadyReported = false;
    const INTEGER status = YYImageDecode(source, probe, image, alreadyReported);
    if (status != 0 && !alreadyReported) YYErrorReport(status, "IGrLoadImageData");
}

std::vector<INTEGER> YYDriverImagePixels(INTEGER width, INTEGER height, std::int64_t limit)
{
    DriverParameterBlock& b = driverParameterBlock();
    if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > limit) {
        b.Value = 27;
        b.Count = 0;
        return {};
    }
    std::vector<INTEGER> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    LibraryErrorState& errors = libraryErrorState();
    const INTEGER previous = errors.LastErrorNumber, mode = errors.ReportMode;
    errors.ReportMode = kReportSilent;
    errors.LastErrorNumber = 0;
    IGrLoadImageData(stringWorkBuffer().trimmed(), pixels);
    errors.ReportMode = mode;
    if (errors.LastErrorNumber != 0) {
        b.Value = errors.LastErrorNumber;
        b.Count = errors.FileDetailCode;
        return {};
    }
    errors.LastErrorNumber = previous;
    b.Value = 0;
    return pixels;
}
