#include "toolkit/devices/BitImageDriver.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "toolkit/devices/DriverSetup.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/ImageLoading.h"
#include "toolkit/devices/RasterDump.h"
#include "toolkit/devices/RasterRenderer.h"
#include "toolkit/foundation/BufferCompression.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"

BitImageState& bitImageState()
{
    static BitImageState state;
    return state;
}

namespace {

using Bytes = std::vector<std::uint8_t>;

INTEGER& outputStatus() { return outputUnitHooks().status(); }
bool failed() { return outputStatus() == -1; }

void putLittle(Bytes& bytes, std::size_t offset, std::uint32_t value, int size)
{
    for (int k = 0; k < size; ++k) bytes[offset + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(value >> (8 * k));
}

void splitColour(INTEGER colour, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue)
{
    INTEGER r = 0, g = 0, b = 0;
    YYSplitRGB(colour, &r, &g, &b);
    red = static_cast<std::uint8_t>(r);
    green = static_cast<std::uint8_t>(g);
    blue = static_cast<std::uint8_t>(b);
}

INTEGER bitsPerPixel() { return rasterPageBlock().PixelMode; }

// The run-length row of a BMP: groups of g pixels (four bytes) each, as runs or absolute entries.
// The pixels past the last whole group are encoded exactly, never padded to a group: readers
// either refuse an entry that reaches past the row's end or carry its pixels into the next row.
void runLengthRow(const Bytes& row, INTEGER width, INTEGER pixelsPerGroup, INTEGER limit, Bytes& out)
{
    out.clear();
    bool lastIsRun = false;
    std::size_t lastRun = 0;
    const std::size_t groups = static_cast<std::size_t>(width / pixelsPerGroup);
    for (std::size_t k = 0; k < 4 * groups; k += 4) {
        const std::uint8_t v = row[k];
        if (row[k + 1] == v && row[k + 2] == v && row[k + 3] == v) {
            if (lastIsRun && out[lastRun] < limit && out[lastRun + 1] == v) {
                out[lastRun] = static_cast<std::uint8_t>(out[lastRun] + pixelsPerGroup);
            } else {
                lastRun = out.size();
                out.push_back(static_cast<std::uint8_t>(pixelsPerGroup));
                out.push_back(v);
                lastIsRun = true;
            }
        } else {
            out.insert(out.end(), {0, static_cast<std::uint8_t>(pixelsPerGroup), row[k], row[k + 1], row[k + 2], row[k + 3]});
            lastIsRun = false;
        }
    }
    const INTEGER tail = width % pixelsPerGroup;
    if (tail > 0) {
        const bool nibbles = pixelsPerGroup == 8;
        const std::size_t first = 4 * groups;
        const auto pixel = [&](INTEGER i) -> std::uint8_t {
            if (!nibbles) return row[first + static_cast<std::size_t>(i)];
            const std::uint8_t byte = row[first + static_cast<std::size_t>(i / 2)];
            return static_cast<std::uint8_t>(i % 2 == 0 ? byte >> 4 : byte & 0x0F);
        };
        bool equal = true;
        for (INTEGER i = 1; i < tail; ++i) equal = equal && pixel(i) == pixel(0);
        if (equal) {
            out.push_back(static_cast<std::uint8_t>(tail));
            out.push_back(nibbles ? static_cast<std::uint8_t>(pixel(0) * 17) : pixel(0));
        } else if (nibbles) {
            // Two pixels per run entry: its byte's nibbles alternate. (Absolute entries of an
            // odd count are misread by some readers.)
            for (INTEGER i = 0; i < tail; i += 2) {
                out.push_back(static_cast<std::uint8_t>(std::min(2, tail - i)));
                out.push_back(row[first + static_cast<std::size_t>(i / 2)]);
            }
        } else if (tail == 3) {
            // Counts 1 and 2 of an absolute entry are escapes, so only three pixels go this way.
            out.insert(out.end(), {0, 3, row[first], row[first + 1], row[first + 2], 0});
        } else {
            out.insert(out.end(), {1, pixel(0), 1, pixel(1)});
        }
    }
    out.push_back(0);
    out.push_back(0);
}

void writeOrFail(ByteSink& out, const std::uint8_t* data, std::size_t size)
{
    INTEGER code = 0;
    if (out.write({data, size}, code) == static_cast<INTEGER>(size)) return;
    LibraryErrorState& errors = libraryErrorState();
    errors.FileDetailKind = code != 0 ? 2 : 0;
    errors.FileDetailCode = code;
    YYErrorReport(2, "IFileWriteChar");
    outputStatus() = -1;
}

void pngChunk(ByteSink& out, std::string_view type, const Bytes& data)
{
    Bytes chunk(12 + data.size());
    YYPngPutLength(static_cast<INTEGER>(data.size()), std::span<std::uint8_t, 4>(chunk.data(), 4));
    std::copy(type.begin(), type.end(), chunk.begin() + 4);
    std::copy(data.begin(), data.end(), chunk.begin() + 8);
    INTEGER count = static_cast<INTEGER>(4 + data.size()), crc = 0;
    YYPngCrc(count, crc, {reinterpret_cast<const char*>(chunk.data() + 4), static_cast<std::size_t>(count)});
    YYPngPutLength(crc, std::span<std::uint8_t, 4>(chunk.data() + 8 + data.size(), 4));
    writeOrFail(out, chunk.data(), chunk.size());
}

// Opens the file of the next page: the job's name with the page number.
void openNextPageFile()
{
    BitImageState& state = bitImageState();
    FixedText<260>& work = stringWorkBuffer();
    const FixedText<260> kept = work;
    work.assign(YYBitImagePageName(state.JobFileName.trimmed(), state.PagesWritten + 1));
    state.SavedFileName = work;
    outputUnitHooks().open(2);
    work = kept;
}

bool runLengthFile()
{
    const INTEGER bits = bitsPerPixel();
    return hardcopyOptionBlock().Options[26] == 2 && (bits == 4 || bits == 8);
}

// The file about to be closed: a run-length BMP learns its sizes now, before it takes the named
// file's place (a job that wrote no page leaves its file empty).
void finishFile()
{
    if (!runLengthFile() || outputStatus() != 0 || bitImageState().PagesWritten <= 0) return;
    if (ByteFile* file = outputUnitHooks().file(2)) YYBMP2(*file);
}

void beginOutput()
{
    DriverParameterBlock& block = driverParameterBlock();
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    if (block.Value > 0) {
        INTEGER mode = o.Options[23];
        if (mode != 1 && mode != 4 && mode != 8 && mode != 24) mode = 8;
        o.Options[6] = 0;
        HardcopyDriverState& driver = hardcopyDriverState();
        driver.RasterPlanes = mode == 4 ? 4 : 1;
        if (mode < 24) deviceCapabilityTable().TrueColour[1] = 0;
        RasterPageBlock& page = rasterPageBlock();
        page.LineResolution = page.FeedResolution = 150.0f;
        page.ClearValue = mode == 24 ? -1 : 0;
        INTEGER w = std::max(o.Options[1], 1), h = std::max(o.Options[2], 1);
        while (!YYRasterPageAllocate(w, h, mode, driver.RasterPlanes)) {
            YYErrorReport(34, "XXIMAG");
            // Each attempt asks for about a tenth less, both sides shrinking alike.
            const std::int64_t perWord = mode == 24 ? 1 : mode == 8 ? 4 : 32;
            const std::int64_t total = ((std::int64_t{w} + perWord - 1) / perWord) * h * driver.RasterPlanes;
            const std::int64_t smaller = 9 * total / 10;
            const DOUBLE scale = smaller > 0 ? std::sqrt(static_cast<DOUBLE>(total) / static_cast<DOUBLE>(smaller)) : 0.0;
            const INTEGER nw = scale > 0.0 ? static_cast<INTEGER>(w / scale) : 0;
            const INTEGER nh = scale > 0.0 ? static_cast<INTEGER>(h / scale) : 0;
            // A page that cannot shrink further cannot be drawn: the job ends here.
            if (nw < 1 || nh < 1 || (nw == w && nh == h)) {
                graphicsState().HardcopyActive = 0;
                return;
            }
            w = nw;
            h = nh;
        }
        page.ClearableWords = page.TotalWords;
        BitImageState& state = bitImageState();
        state.SavedFileName = stringWorkBuffer();
        state.JobFileName = stringWorkBuffer();
        state.PagesWritten = 0;
    }
    YYRasterDriver(OpBeginOutput);
    if (block.Value > 0 && graphicsState().HardcopyActive > 0) YYRasterDriver(OpClear);
}

void endPage()
{
    HardcopyJobState& job = hardcopyJobState();
    if ((job.PageOpen & 1) == 0) return;
    BitImageState& state = bitImageState();
    if (state.PagesWritten > 0) {
        finishFile();
        outputUnitHooks().close(2);
        openNextPageFile();
    }
    if (ByteSink* out = outputUnitHooks().sink(2); out && !failed()) {
        switch (hardcopyOptionBlock().Options[26]) {
        case 3: YYPngWrite(*out); break;
        case 1:
        case 2: YYBmpWrite(*out); break;
        default: YYPcxWrite(*out); break;
        }
    }
    ++state.PagesWritten;
    job.PageOpen = 0;
    YYRasterDriver(OpClear);
}

void initialise()
{
    if (YYDriverIdentify(6)) return;
    const DriverParameterBlock& block = driverParameterBlock();
    YYRasterDriver(OpInit);
    if (block.Value != -998) {
        HardcopyOptionBlock& o = hardcopyOptionBlock();
        o.Options[1] = 640;
        o.Options[2] = 480;
        o.Options[5] = 0;
        o.Options[23] = 8;
        o.Options[26] = 0;
    }
    HardcopyJobState& job = hardcopyJobState();
    job.PrintByCommand = 0;
    hardcopyFillState().HardcopyColours = 256;
    deviceCapabilityTable().CapabilityString[1].assign("00000111111111110010011111000");
    job.OutputFile.assign("raridevu.pcx");
    job.DriverDevice = 6;
}

}  // namespace

void XXIMAG(INTEGER op)
{
    switch (op) {
    case OpInit: initialise(); break;
    case OpBeginOutput: beginOutput(); break;
    case OpEndPage: endPage(); break;
    case OpEndOutput:
        finishFile();
        YYRasterDriver(OpEndOutput);
        break;
    default: YYRasterDriver(op); break;
    }
}

std::vector<INTEGER> YYBitImagePalette(INTEGER bitsPerPixel)
{
    std::vector<INTEGER> palette;
    switch (bitsPerPixel) {
    case 1: palette = {0xFFFFFF, 0}; break;
    case 4:
        palette.resize(16);
        for (INTEGER i = 0; i < 16; ++i) YYPalette16(i, palette[static_cast<std::size_t>(i)]);
        break;
    case 8:
        palette.resize(256);
        for (INTEGER i = 0; i < 256; ++i) YYPaletteRGB(i, palette[static_cast<std::size_t>(i)]);
        break;
    default: break;
    }
    return palette;
}

INTEGER YYBitImageIndex(INTEGER x, INTEGER y)
{
    const INTEGER v = YYRasterPixelValue(x, y);
    if (bitsPerPixel() != 4) return v;
    // Plane k holds bit k of the page value; the files' palette index has bits 0 and 2 exchanged.
    return (v & 0b1010) | ((v & 1) << 2) | ((v >> 2) & 1);
}

std::string YYBitImagePageName(std::string_view name, INTEGER page)
{
    const std::size_t dot = name.rfind('.');
    const std::size_t separator = name.find_last_of("\\/");
    const std::size_t at =
        (dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator)) ? dot : name.size();
    std::string result(name.substr(0, at));
    result += '-';
    result += std::to_string(page);
    result += name.substr(at);
    return result;
}

void YYPngPutLength(INTEGER value, std::span<std::uint8_t, 4> bytes)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (std::size_t k = 0; k < 4; ++k) bytes[k] = static_cast<std::uint8_t>(v >> (8 * (3 - k)));
}

void YYBmpWrite(ByteSink& out)
{
    const RasterPageBlock& page = rasterPageBlock();
    const INTEGER w = page.PageWidth, h = page.PageHeight, bits = bitsPerPixel();
    const std::int64_t rowBytes = bits == 1 ? (w + 7) / 8 : bits == 4 ? (w + 1) / 2 : bits == 8 ? w : 3 * std::int64_t{w};
    const std::int64_t padded = (rowBytes + 3) / 4 * 4;
    const std::vector<INTEGER> palette = YYBitImagePalette(bits);
    const std::uint32_t paletteBytes = static_cast<std::uint32_t>(4 * palette.size());
    const bool rle = runLengthFile();

    Bytes header(54, 0);
    header[0] = 'B';
    header[1] = 'M';
    putLittle(header, 2, static_cast<std::uint32_t>(54 + paletteBytes + h * padded), 4);
    putLittle(header, 10, 54 + paletteBytes, 4);
    putLittle(header, 14, 40, 4);
    putLittle(header, 18, static_cast<std::uint32_t>(w), 4);
    putLittle(header, 22, static_cast<std::uint32_t>(h), 4);
    putLittle(header, 26, 1, 2);
    putLittle(header, 28, static_cast<std::uint32_t>(bits), 2);
    putLittle(header, 30, rle ? (bits == 4 ? 2U : 1U) : 0U, 4);
    YYPRBU(out, header, 54, kFalse);
    if (failed()) return;

    if (!palette.empty()) {
        Bytes entries(paletteBytes, 0);
        for (std::size_t i = 0; i < palette.size(); ++i) splitColour(palette[i], entries[4 * i + 2], entries[4 * i + 1], entries[4 * i]);
        YYPRBU(out, entries, static_cast<INTEGER>(entries.size()), kFalse);
        if (failed()) return;
    }

    // 4-bit rows cover whole groups of eight pixels; the pixels past the last column carry the
    // clear value.
    const std::int64_t bufferBytes = bits == 4 ? 4 * ((std::int64_t{w} + 7) / 8) : padded;
    Bytes row(static_cast<std::size_t>(std::max(bufferBytes, padded)), 0), encoded;
    for (INTEGER y = 0; y < h; ++y) {
        std::fill(row.begin(), row.end(), 0);
        switch (bits) {
        case 1:
            for (INTEGER x = 0; x < w; ++x)
                if (YYRasterPixelValue(x, y) != 0) row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80U >> (x % 8));
            break;
        case 4:
            for (INTEGER x = 0; x < 8 * static_cast<INTEGER>(bufferBytes / 4); ++x)
                row[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(YYBitImageIndex(x, y) << (x % 2 == 0 ? 4 : 0));
            break;
        case 8:
            for (INTEGER x = 0; x < static_cast<INTEGER>(bufferBytes); ++x)
                row[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(x < w ? YYBitImageIndex(x, y) : page.ClearValue);
            break;
        default:
            for (INTEGER x = 0; x < w; ++x) {
                const std::size_t at = 3 * static_cast<std::size_t>(x);
                splitColour(YYRasterPixelValue(x, y), row[at + 2], row[at + 1], row[at]);
            }
            break;
        }
        if (rle) {
            runLengthRow(row, w, bits == 4 ? 8 : 4, bits == 4 ? 247 : 251, encoded);
            YYPRBU(out, encoded, static_cast<INTEGER>(encoded.size()), kFalse);
        } else {
            YYPRBU(out, row, static_cast<INTEGER>(padded), kFalse);
        }
        if (failed()) return;
    }
    if (rle) {
        static constexpr std::array<std::uint8_t, 2> kEndOfBitmap{0, 1};
        YYPRBU(out, kEndOfBitmap, 2, kFalse);
    }
}

void YYBMP2(ByteFile& file)
{
    const INTEGER size = file.seek(0, 2);
    const INTEGER paletteBytes = 4 * static_cast<INTEGER>(YYBitImagePalette(bitsPerPixel()).size());
    Bytes field(4);
    bool complete = size >= 54;
    INTEGER code = 0;
    for (const auto& [offset, value] : {std::pair{2, size}, std::pair{34, size - paletteBytes - 54}}) {
        if (!complete) break;
        putLittle(field, 0, static_cast<std::uint32_t>(value), 4);
        complete = file.seek(offset, 0) == offset && file.write(field, code) == 4;
    }
    if (complete && file.seek(0, 2) == size) return;
    outputStatus() = -1;
    LibraryErrorState& errors = libraryErrorState();
    errors.FileDetailKind = code != 0 ? 2 : 0;
    errors.FileDetailCode = code;
    YYErrorReport(2, "YYBMP2");
}

void YYPcxRowEncode(ByteSink& out, std::vector<std::uint8_t>& work, INTEGER row, INTEGER plane, INTEGER lastByte)
{
    const RasterPageBlock& page = rasterPageBlock();
    const INTEGER w = page.PageWidth, bits = bitsPerPixel();
    const std::size_t length = static_cast<std::size_t>(std::max(lastByte + 1, 0));
    Bytes line(length, 0);
    for (std::size_t k = 0; k < length; ++k) {
        const INTEGER x0 = static_cast<INTEGER>(k);
        switch (bits) {
        case 1:
        case 4: {
            std::uint8_t byte = 0;
            for (INTEGER j = 0; j < 8; ++j) {
                const INTEGER x = 8 * x0 + j;
                // A one-bit PCX shows a set bit white: the drawing's pixels are the clear bits.
                const bool set = bits == 1 ? YYRasterPixelValue(x, row) == 0 : ((YYBitImageIndex(x, row) >> plane) & 1) != 0;
                if (set) byte |= static_cast<std::uint8_t>(0x80U >> j);
            }
            line[k] = byte;
            break;
        }
        case 8: line[k] = static_cast<std::uint8_t>(x0 < w ? YYBitImageIndex(x0, row) : page.ClearValue); break;
        default:
            // Past the last column (the pad byte of odd widths) the clear colour, white.
            line[k] = static_cast<std::uint8_t>((YYRasterPixelValue(x0, row) >> (8 * plane)) & 0xFF);
            break;
        }
    }
    work.clear();
    for (std::size_t k = 0; k < length;) {
        std::size_t n = 1;
        while (k + n < length && n < 63 && line[k + n] == line[k]) ++n;
        if (n >= 2 || line[k] >= 192) work.push_back(static_cast<std::uint8_t>(192 + n));
        work.push_back(line[k]);
        k += n;
    }
    YYPRBU(out, work, static_cast<INTEGER>(work.size()), kFalse);
}

void YYPcxWrite(ByteSink& out)
{
    const RasterPageBlock& page = rasterPageBlock();
    const INTEGER w = page.PageWidth, h = page.PageHeight, bits = bitsPerPixel();
    INTEGER lineBytes = (bits == 1 || bits == 4) ? (w + 7) / 8 : w;
    if (lineBytes % 2 != 0) ++lineBytes;
    // The header keeps the sides and the line length in 16-bit fields.
    if (w > 65535 || h > 65535 || lineBytes > 65535) {
        YYErrorReport(34, "YYPcxWrite");
        outputStatus() = -1;
        return;
    }
    Bytes header(128, 0);
    header[0] = 10;
    header[1] = bits == 1 ? 3 : 5;
    header[2] = 1;
    header[3] = (bits == 1 || bits == 4) ? 1 : 8;
    putLittle(header, 8, static_cast<std::uint32_t>(w - 1), 2);
    putLittle(header, 10, static_cast<std::uint32_t>(h - 1), 2);
    putLittle(header, 12, 75, 2);
    putLittle(header, 14, 75, 2);
    if (bits == 4) {
        const std::vector<INTEGER> palette = YYBitImagePalette(4);
        for (std::size_t i = 0; i < 16; ++i) splitColour(palette[i], header[16 + 3 * i], header[17 + 3 * i], header[18 + 3 * i]);
    }
    header[65] = bits == 4 ? 4 : bits == 24 ? 3 : 1;
    putLittle(header, 66, static_cast<std::uint32_t>(lineBytes), 2);
    putLittle(header, 70, static_cast<std::uint32_t>(lineBytes), 2);
    putLittle(header, 72, static_cast<std::uint32_t>(h), 2);
    YYPRBU(out, header, 128, kFalse);
    if (failed()) return;

    Bytes work;
    // A 4-bit page has four lines a row (line j holds bit j of the palette index), a 24-bit page
    // one a component; the writing stops at the first line that fails.
    const INTEGER lines = bits == 4 ? 4 : bits == 24 ? 3 : 1;
    for (INTEGER y = h - 1; y >= 0; --y) {
        for (INTEGER line = 0; line < lines; ++line) {
            YYPcxRowEncode(out, work, y, line, lineBytes - 1);
            if (failed()) return;
        }
    }
    if (bits == 8) {
        const std::vector<INTEGER> palette = YYBitImagePalette(8);
        Bytes table(769, 0);
        table[0] = 12;
        for (std::size_t i = 0; i < 256; ++i) splitColour(palette[i], table[1 + 3 * i], table[2 + 3 * i], table[3 + 3 * i]);
        YYPRBU(out, table, 769, kFalse);
    }
}

void YYPngWrite(ByteSink& out)
{
    const RasterPageBlock& page = rasterPageBlock();
    const INTEGER w = page.PageWidth, h = page.PageHeight, bits = bitsPerPixel();

    Bytes head{0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    Bytes ihdr(13, 0);
    YYPngPutLength(w, std::span<std::uint8_t, 4>(ihdr.data(), 4));
    YYPngPutLength(h, std::span<std::uint8_t, 4>(ihdr.data() + 4, 4));
    ihdr[8] = static_cast<std::uint8_t>(bits == 24 ? 8 : bits);
    ihdr[9] = bits == 24 ? 2 : 3;
    {
        Bytes signatureAndHeader;
        MemoryByteSink chunk;
        pngChunk(chunk, "IHDR", ihdr);
        signatureAndHeader = head;
        signatureAndHeader.insert(signatureAndHeader.end(), chunk.bytes().begin(), chunk.bytes().end());
        writeOrFail(out, signatureAndHeader.data(), signatureAndHeader.size());
        if (failed()) return;
    }
    if (bits != 24) {
        const std::vector<INTEGER> palette = YYBitImagePalette(bits);
        Bytes entries(3 * palette.size());
        for (std::size_t i = 0; i < palette.size(); ++i) splitColour(palette[i], entries[3 * i], entries[3 * i + 1], entries[3 * i + 2]);
        pngChunk(out, "PLTE", entries);
        if (failed()) return;
    }

    const std::int64_t rowBytes = bits == 1 ? (w + 7) / 8 : bits == 4 ? (w + 1) / 2 : bits == 8 ? w : 3 * std::int64_t{w};
    const std::int64_t length = h * (1 + rowBytes);
    // The data and its compressed form must each be addressable by an INTEGER length.
    if (length + length / 1000 + 14 > std::numeric_limits<INTEGER>::max()) {
        YYErrorReport(34, "YYPngWrite");
        outputStatus() = -1;
        return;
    }
    Bytes data(static_cast<std::size_t>(length), 0);
    std::size_t at = 0;
    for (INTEGER y = h - 1; y >= 0; --y) {
        data[at++] = 0;
        std::uint8_t* const row = data.data() + at;
        switch (bits) {
        case 1:
            for (INTEGER x = 0; x < w; ++x)
                if (YYRasterPixelValue(x, y) != 0) row[x / 8] |= static_cast<std::uint8_t>(0x80U >> (x % 8));
            break;
        case 4:
            for (INTEGER x = 0; x < w; ++x) row[x / 2] |= static_cast<std::uint8_t>(YYBitImageIndex(x, y) << (x % 2 == 0 ? 4 : 0));
            break;
        case 8:
            for (INTEGER x = 0; x < w; ++x) row[x] = static_cast<std::uint8_t>(YYBitImageIndex(x, y));
            break;
        default:
            for (INTEGER x = 0; x < w; ++x) splitColour(YYRasterPixelValue(x, y), row[3 * x], row[3 * x + 1], row[3 * x + 2]);
            break;
        }
        at += static_cast<std::size_t>(rowBytes);
    }
    Bytes compressed(static_cast<std::size_t>(length + length / 1000 + 14));
    INTEGER compressedLength = static_cast<INTEGER>(compressed.size());
    WCompress(data, compressed, static_cast<INTEGER>(length), compressedLength);
    if (compressedLength <= 0) {
        outputStatus() = -1;
        return;
    }
    compressed.resize(static_cast<std::size_t>(compressedLength));
    // The length first, then type, data and CRC in one write.
    MemoryByteSink chunk;
    pngChunk(chunk, "IDAT", compressed);
    writeOrFail(out, chunk.bytes().data(), 4);
    if (failed()) return;
    writeOrFail(out, chunk.bytes().data() + 4, chunk.bytes().size() - 4);
    if (failed()) return;
    pngChunk(out, "IEND", {});
}
