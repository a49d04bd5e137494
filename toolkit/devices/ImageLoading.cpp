#include "toolkit/devices/ImageLoading.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "toolkit/devices/GraphicFileProbe.h"
#include "toolkit/devices/ImageRows.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/DriverProtocol.h"

namespace {

constexpr INTEGER kKindBmp = 1;
constexpr INTEGER kKindPcx = 2;
constexpr INTEGER kKindPng = 15;

INTEGER packRgb(unsigned red, unsigned green, unsigned blue)
{
    return static_cast<INTEGER>(red + 256U * green + 65536U * blue);
}

// One decode: the source, the caller's array and a palette that starts black on every load, so
// that entries a file does not supply never show an earlier file's colours. The headers and rows
// are read as the drawing routine reads them (ImageRows), so both judge a file alike.
class ImageDecoder {
public:
    ImageDecoder(ByteSource& source, std::span<INTEGER> image) : source_(source), image_(image) {}

    INTEGER bmp();
    INTEGER pcx();
    INTEGER png();
    bool reported() const { return reported_; }

private:
    // Reads exactly into.size() bytes; false when fewer came (a read error is already reported).
    bool readExact(std::span<std::uint8_t> into) { return YYImageReadFull(source_, into, reported_); }
    bool seekTo(std::int64_t position)
    {
        return position >= 0 && position <= INT32_MAX && source_.seek(static_cast<INTEGER>(position), 0) == position;
    }
    bool fits(std::int64_t width, std::int64_t height) const
    {
        return width * height <= static_cast<std::int64_t>(image_.size());
    }
    INTEGER* row(std::int64_t r, std::int64_t width) { return image_.data() + r * width; }

    ByteSource& source_;
    std::span<INTEGER> image_;
    std::array<INTEGER, 256> palette_{};
    bool reported_ = false;
};

INTEGER ImageDecoder::bmp()
{
    BmpLayout layout;
    if (const INTEGER code = YYBmpLayoutRead(source_, layout)) return code;
    const INTEGER width = layout.Width, rows = layout.Rows, bits = layout.Bits;
    if (!fits(width, rows)) return kImageShort;
    if (layout.Entries > 0) {
        std::array<std::uint8_t, 1024> table{};
        if (!seekTo(layout.TableStart) || !readExact({table.data(), static_cast<std::size_t>(4 * layout.Entries)}))
            return kImageShort;
        for (INTEGER k = 0; k < layout.Entries; ++k) {
            const std::uint8_t* entry = table.data() + 4 * k;
            palette_[static_cast<std::size_t>(k)] = packRgb(entry[2], entry[1], entry[0]);
        }
    }
    if (!seekTo(layout.DataOffset)) return kImageShort;
    if (layout.RunLength) {
        ByteReader data(source_);
        const INTEGER code = YYBmpRunsWalk(data, width, rows, bits == 4, [&](INTEGER r, INTEGER c, unsigned index) {
            row(r, width)[c] = palette_[index];
        });
        if (code != 0 && data.failed()) reported_ = true;
        return code;
    }
    std::vector<std::uint8_t> stored(static_cast<std::size_t>(layout.ImageBytes / rows));
    for (std::int64_t k = 0; k < rows; ++k) {
        if (!readExact(stored)) return kImageShort;
        INTEGER* out = row(layout.TopDown ? k : rows - 1 - k, width);
        const std::uint8_t* in = stored.data();
        for (std::int64_t c = 0; c < width; ++c) {
            switch (bits) {
            case 1: out[c] = palette_[(in[c / 8] >> (7 - c % 8)) & 1U]; break;
            case 4: out[c] = palette_[(in[c / 2] >> (c % 2 == 0 ? 4 : 0)) & 15U]; break;
            case 8: out[c] = palette_[in[c]]; break;
            case 16: {
                const unsigned low = in[2 * c], high = in[2 * c + 1];
                out[c] = layout.FiveFiveFive ? packRgb((high / 4 & 31U) * 8, ((high & 3U) * 8 + low / 32) * 8, (low & 31U) * 8)
                                             : packRgb(high & 0xF8U, ((high & 7U) * 8 + low / 32) * 4, (low & 31U) * 8);
                break;
            }
            default: {
                const std::uint8_t* p = in + c * (bits / 8);
                out[c] = packRgb(p[2], p[1], p[0]);
            }
            }
        }
    }
    return 0;
}

INTEGER ImageDecoder::pcx()
{
    PcxLayout layout;
    if (const INTEGER code = YYPcxLayoutRead(source_, layout)) return code;
    const INTEGER width = layout.Width, height = layout.Height;
    if (!fits(width, height)) return kImageShort;
    std::array<std::uint8_t, 768> triples{};
    if (layout.Bits == 4) {
        if (!seekTo(16) || !readExact({triples.data(), 48})) return kImageShort;
    } else if (layout.Bits == 8) {
        if (const INTEGER code = YYPcxPaletteRead(source_, triples)) return code;
    }
    for (std::size_t k = 0; k < palette_.size(); ++k) palette_[k] = packRgb(triples[3 * k], triples[3 * k + 1], triples[3 * k + 2]);
    if (!seekTo(128)) return kImageShort;

    PcxLines lines(source_);
    const auto lineBytes = static_cast<std::size_t>(layout.LineBytes);
    std::vector<std::uint8_t> line(3 * lineBytes);
    const std::span<std::uint8_t> first(line.data(), lineBytes);
    std::vector<std::uint8_t> indices(layout.Bits == 4 && !layout.Packed ? static_cast<std::size_t>(width) : 0);
    for (std::int64_t r = 0; r < height; ++r) {
        INTEGER* out = row(r, width);
        bool whole = true;
        switch (layout.Bits) {
        case 1:
            whole = lines.next(first);
            for (std::int64_t c = 0; whole && c < width; ++c) out[c] = (line[c / 8] >> (7 - c % 8)) & 1U ? 0xFFFFFF : 0;
            break;
        case 4:
            if (layout.Packed) {
                whole = lines.next(first);
                for (std::int64_t c = 0; whole && c < width; ++c) out[c] = palette_[(line[c / 2] >> (c % 2 == 0 ? 4 : 0)) & 15U];
                break;
            }
            // Line p holds bit p of each pixel's index.
            std::fill(indices.begin(), indices.end(), 0);
            for (int p = 0; p < 4 && whole; ++p) {
                whole = lines.next(first);
                for (std::int64_t c = 0; whole && c < width; ++c)
                    if ((line[c / 8] >> (7 - c % 8)) & 1U) indices[static_cast<std::size_t>(c)] |= static_cast<std::uint8_t>(1 << p);
            }
            for (std::int64_t c = 0; whole && c < width; ++c) out[c] = palette_[indices[static_cast<std::size_t>(c)]];
            break;
        case 8:
            whole = lines.next(first);
            for (std::int64_t c = 0; whole && c < width; ++c) out[c] = palette_[line[c]];
            break;
        default: {
            // Red, green and blue lines one after the other.
            whole = lines.next(first) && lines.next({line.data() + lineBytes, lineBytes}) &&
                    lines.next({line.data() + 2 * lineBytes, lineBytes});
            const std::uint8_t *red = line.data(), *green = red + lineBytes, *blue = green + lineBytes;
            for (std::int64_t c = 0; whole && c < width; ++c) out[c] = packRgb(red[c], green[c], blue[c]);
        }
        }
        if (!whole) {
            if (lines.failed()) reported_ = true;
            return kImageShort;
        }
    }
    return 0;
}

INTEGER ImageDecoder::png()
{
    PngLayout layout;
    if (const INTEGER code = YYPngLayoutRead(source_, layout)) return code;
    const INTEGER width = layout.Width, height = layout.Height;
    if (!fits(width, height)) return kImageShort;
    PngRows rows(source_, layout);
    const auto failed = [&](INTEGER code) {
        if (code == kImageBadData) {
            // Reported as the inflating routine reports it, with zlib's status.
            libraryErrorState().SystemDetailCode = rows.zlibStatus();
            YYErrorReport(kImageBadData, "WUnCompress");
            reported_ = true;
        }
        if (code == kImageShort && rows.readFailed()) reported_ = true;
        return code;
    };
    const INTEGER depth = layout.Depth, sample = layout.SampleBytes, pixelBytes = layout.PixelBytes;
    for (std::int64_t r = 0; r < height; ++r) {
        std::span<const std::uint8_t> data;
        if (const INTEGER code = rows.next(data)) return failed(code);
        if (r == 0) {
            const auto& triples = rows.palette();
            for (std::size_t k = 0; k < palette_.size(); ++k) palette_[k] = packRgb(triples[3 * k], triples[3 * k + 1], triples[3 * k + 2]);
        }
        INTEGER* out = row(r, width);
        if (layout.palette()) {
            // Packed indices, the most significant bits first; the bits that pad a row are dropped.
            const unsigned mask = (1U << depth) - 1U;
            for (std::int64_t c = 0; c < width; ++c) {
                const std::int64_t bit = c * depth;
                out[c] = palette_[(data[static_cast<std::size_t>(bit / 8)] >> (8 - depth - bit % 8)) & mask];
            }
        } else {
            // The most significant byte of each sample; alpha is not drawn.
            const std::uint8_t* p = data.data();
            for (std::int64_t c = 0; c < width; ++c, p += pixelBytes) out[c] = packRgb(p[0], p[sample], p[2 * sample]);
        }
    }
    return failed(rows.finish());
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

namespace {

// The Paeth predictor of a byte from its left (a), upper (b) and upper-left (c) neighbours: the
// one nearest to a + b - c, the distances formed without forming the sum.
inline int paeth(int a, int b, int c)
{
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

// Paeth from the second pixel of a row on (the first one done). Pixels of 3 and 4 bytes keep their
// left and upper-left neighbours at hand, a sample at a time (Bpp 0: any other size, bpp given).
template <int Bpp>
void paethRow(std::uint8_t* v, const std::uint8_t* b, std::size_t n, std::size_t bpp = Bpp)
{
    if constexpr (Bpp == 0) {
        for (std::size_t j = bpp; j < n; ++j) v[j] = static_cast<std::uint8_t>(v[j] + paeth(v[j - bpp], b[j], b[j - bpp]));
    } else {
        int a[Bpp], c[Bpp];
        for (int k = 0; k < Bpp; ++k) {
            a[k] = v[k];
            c[k] = b[k];
        }
        for (std::size_t j = Bpp; j < n; j += Bpp)
            for (int k = 0; k < Bpp; ++k) {
                const int up = b[j + static_cast<std::size_t>(k)];
                const auto value = static_cast<std::uint8_t>(v[j + static_cast<std::size_t>(k)] + paeth(a[k], up, c[k]));
                v[j + static_cast<std::size_t>(k)] = value;
                a[k] = value;
                c[k] = up;
            }
    }
}

}  // namespace

void YYPngUnfilterRow(std::uint8_t* row, const std::uint8_t* above, INTEGER dataBytes, INTEGER bpp)
{
    if (dataBytes < 1 || bpp < 1) return;
    const auto n = static_cast<std::size_t>(dataBytes);
    const std::size_t left = std::min<std::size_t>(static_cast<std::size_t>(bpp), n);
    std::uint8_t* const v = row + 1;
    // The row above the first one is all zeros: Up adds nothing, Average and Paeth see only the left.
    const std::uint8_t* const b = above ? above + 1 : nullptr;
    // One loop per type, the pixels without a left neighbour first.
    switch (row[0]) {
    case 1:
        for (std::size_t j = left; j < n; ++j) v[j] = static_cast<std::uint8_t>(v[j] + v[j - left]);
        break;
    case 2:
        if (b)
            for (std::size_t j = 0; j < n; ++j) v[j] = static_cast<std::uint8_t>(v[j] + b[j]);
        break;
    case 3:
        if (!b) {
            for (std::size_t j = left; j < n; ++j) v[j] = static_cast<std::uint8_t>(v[j] + v[j - left] / 2);
            break;
        }
        for (std::size_t j = 0; j < left; ++j) v[j] = static_cast<std::uint8_t>(v[j] + b[j] / 2);
        for (std::size_t j = left; j < n; ++j) v[j] = static_cast<std::uint8_t>(v[j] + (v[j - left] + b[j]) / 2);
        break;
    case 4:
        // Without the row above the predictor is the left byte, as Sub.
        if (!b) {
            for (std::size_t j = left; j < n; ++j) v[j] = static_cast<std::uint8_t>(v[j] + v[j - left]);
            break;
        }
        // With no left neighbour the predictor is the byte above.
        for (std::size_t j = 0; j < left; ++j) v[j] = static_cast<std::uint8_t>(v[j] + b[j]);
        if (left == 3 && n % 3 == 0) paethRow<3>(v, b, n);
        else if (left == 4 && n % 4 == 0) paethRow<4>(v, b, n);
        else paethRow<0>(v, b, n, left);
        break;
    default:  // 0 None and unknown types leave the row as it is
        break;
    }
}

void YYPngUnfilter(std::span<std::uint8_t> buffer, INTEGER rowBytes, INTEGER rows, INTEGER bpp)
{
    if (rowBytes < 1 || rows < 1 || bpp < 1) return;
    const auto width = static_cast<std::size_t>(rowBytes);
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(rows), buffer.size() / width);
    for (std::size_t i = 0; i < count; ++i)
        YYPngUnfilterRow(buffer.data() + i * width, i > 0 ? buffer.data() + (i - 1) * width : nullptr, rowBytes - 1, bpp);
}

void YYPngRowUnfilter(INTEGER& rowBytes, INTEGER& rows, INTEGER& bpp, std::string& buffer)
{
    YYPngUnfilter({reinterpret_cast<std::uint8_t*>(buffer.data()), buffer.size()}, rowBytes, rows, bpp);
}

INTEGER YYImageDecode(ByteSource& source, std::span<const INTEGER, 5> probe, std::span<INTEGER> image,
                      bool& alreadyReported)
{
    ImageDecoder decoder(source, image);
    INTEGER status = kImageUnusable;
    // Memory that is not there ends the decode as a picture the toolkit cannot take.
    try {
        switch (probe[0]) {
        case kKindBmp: status = decoder.bmp(); break;
        case kKindPcx: status = decoder.pcx(); break;
        case kKindPng: status = decoder.png(); break;
        default: break;
        }
    } catch (const std::bad_alloc&) {
        status = kImageUnusable;
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
        YYErrorReport(kImageUnusable, "IGrLoadImageData");
        return;
    }
    bool alreadyReported = false;
    const INTEGER status = YYImageDecode(source, probe, image, alreadyReported);
    if (status != 0 && !alreadyReported) YYErrorReport(status, "IGrLoadImageData");
}

INTEGER YYImageSourceHolds(ByteSource& source, INTEGER& detail)
{
    std::array<INTEGER, 5> probe{};
    INTEGER n = 1;
    YYGraphicFileProbe(source, probe, n);
    const INTEGER verdict = YYImageFileHolds(source, probe[0]);
    detail = verdict == kImageBadData ? kImageDataEndedStatus : 0;
    return verdict;
}

std::vector<INTEGER> YYDriverImagePixels(INTEGER width, INTEGER height, std::int64_t limit)
{
    DriverParameterBlock& b = driverParameterBlock();
    LibraryErrorState& errors = libraryErrorState();
    const auto refuse = [&](INTEGER error, INTEGER detail) {
        b.Value = error;
        b.Count = detail;
        return std::vector<INTEGER>{};
    };
    if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > limit) return refuse(kImageUnusable, 0);
    const std::string name(stringWorkBuffer().trimmed());
    // A file that cannot hold the picture it declares is refused before its memory is taken.
    INTEGER detail = 0;
    if (const INTEGER verdict = YYImageFileHolds(name, detail)) return refuse(verdict, detail);
    std::vector<INTEGER> pixels;
    try {
        pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return refuse(kImageUnusable, 0);
    }
    const INTEGER previous = errors.LastErrorNumber, mode = errors.ReportMode;
    errors.ReportMode = kReportSilent;
    errors.LastErrorNumber = 0;
    IGrLoadImageData(name, pixels);
    errors.ReportMode = mode;
    if (errors.LastErrorNumber != 0) {
        const INTEGER error = errors.LastErrorNumber;
        return refuse(error, error == kImageBadData ? errors.SystemDetailCode : errors.FileDetailCode);
    }
    errors.LastErrorNumber = previous;
    b.Value = 0;
    return pixels;
}
