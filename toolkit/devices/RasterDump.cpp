#include "toolkit/devices/RasterDump.h"

#include <algorithm>
#include <array>

#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/RasterRenderer.h"
#include "toolkit/foundation/ErrorReport.h"

RasterPrinterCommands& rasterPrinterCommands()
{
    static RasterPrinterCommands commands;
    return commands;
}

INTEGER& rasterPlaneCounter()
{
    static INTEGER plane = 0;
    return plane;
}

void YYPRBU(ByteSink& sink, std::span<const std::uint8_t> bytes, INTEGER n, LOGICAL lineEnd)
{
    const std::size_t count = static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, static_cast<std::int64_t>(bytes.size())));
    INTEGER code = 0;
    bool complete = sink.write(bytes.first(count), code) == static_cast<INTEGER>(count);
    if (complete && isTrue(lineEnd)) {
        static constexpr std::array<std::uint8_t, 2> kLineEnd{13, 10};
        complete = sink.write(kLineEnd, code) == 2;
    }
    if (complete) return;
    LibraryErrorState& errors = libraryErrorState();
    errors.FileDetailKind = code != 0 ? 2 : 0;
    errors.FileDetailCode = code;
    YYErrorReport(2, "YYPRBU");
    outputUnitHooks().status() = -1;
}

namespace {

using Bytes = std::vector<std::uint8_t>;

// One bit of a page plane; nothing outside the page.
bool pageBit(INTEGER x, INTEGER y, INTEGER plane)
{
    const RasterPageBlock& p = rasterPageBlock();
    if (x < 0 || y < 0 || x > p.LastColumn || y > p.LastRow || plane < 0 || plane >= std::max(p.Planes, 1)) return false;
    const std::int64_t index = std::int64_t{plane} * p.PlaneStride + std::int64_t{y} * p.RowStride + x / 32;
    if (index < 0 || static_cast<std::uint64_t>(index) >= p.Words.size()) return false;
    return ((p.Words[static_cast<std::size_t>(index)] >> (x % 32)) & 1U) != 0;
}

INTEGER planeValue(INTEGER x, INTEGER y)
{
    return (pageBit(x, y, 0) ? 1 : 0) | (pageBit(x, y, 1) ? 2 : 0) | (pageBit(x, y, 2) ? 4 : 0);
}

struct Dot {
    INTEGER x, y;
};
Dot normalDot(INTEGER d, INTEGER line) { return {d, rasterPageBlock().LastRow - line}; }
Dot rotatedDot(INTEGER d, INTEGER line) { return {rasterPageBlock().LastColumn - line, rasterPageBlock().LastRow - d}; }

// A colour pass prints the dots of its plane that are not composite black; the black pass (-1)
// prints only those with all three planes set.
INTEGER colourPass(Dot dot)
{
    const INTEGER value = planeValue(dot.x, dot.y);
    const INTEGER plane = rasterPlaneCounter();
    if (plane < 0) return value == 7 ? kTrue : kFalse;
    return (((value >> plane) & 1) != 0 && value != 7) ? kTrue : kFalse;
}

INTEGER onlyPlane(Dot dot) { return pageBit(dot.x, dot.y, 0) ? kTrue : kFalse; }
INTEGER counterPlane(Dot dot) { return pageBit(dot.x, dot.y, rasterPlaneCounter()) ? kTrue : kFalse; }

bool failed() { return outputUnitHooks().status() == -1; }

void send(ByteSink& sink, std::string_view bytes, bool lineEnd = false)
{
    if (bytes.empty() && !lineEnd) return;
    YYPRBU(sink, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, static_cast<INTEGER>(bytes.size()),
           lineEnd ? kTrue : kFalse);
}

void sendBytes(ByteSink& sink, const Bytes& bytes, std::size_t first, std::size_t count, bool lineEnd = false)
{
    YYPRBU(sink, std::span<const std::uint8_t>(bytes).subspan(first, count), static_cast<INTEGER>(count),
           lineEnd ? kTrue : kFalse);
}

// The position (from 1) of the last non-zero byte among the first count; 0 for a blank row.
INTEGER lastNonZero(const Bytes& row, std::size_t count)
{
    for (std::size_t k = count; k > 0; --k)
        if (row[k - 1] != 0) return static_cast<INTEGER>(k);
    return 0;
}

// Dots 0 to D - 1 of a print line, the first dot in the most significant bit.
void buildRow(Bytes& row, std::size_t bytes, INTEGER dots, INTEGER line, RasterRowReader reader)
{
    std::fill_n(row.begin(), bytes, std::uint8_t{0});
    for (INTEGER d = 0; d < dots; ++d)
        if (reader(d, line) != 0) row[static_cast<std::size_t>(d / 8)] |= static_cast<std::uint8_t>(0x80 >> (d % 8));
}

// ESC "*b" count letter: at least three digits with leading zeros for an uncompressed row, the
// bare digits for a compressed one. A count beyond 999 keeps all its digits.
std::string pclHeader(INTEGER count, char letter, bool leadingZeros)
{
    std::string digits = std::to_string(std::max(count, 0));
    if (leadingZeros && digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return std::string("\x1b*b") + digits + letter;
}

std::string& pclHeaderAt(INTEGER index)
{
    RasterPrinterCommands& c = rasterPrinterCommands();
    return index <= 0 ? c.LineHeader : c.PlaneHeaders[static_cast<std::size_t>(std::min(index, 2) - 1)];
}

constexpr std::array<INTEGER, 4> kColourPassPlanes{2, 1, 0, -1};

void dumpPcl(ByteSink& sink, RasterRowReader reader)
{
    const RasterPrinterCommands& c = rasterPrinterCommands();
    const INTEGER dots = std::max(c.DotsPerLine, 0), planes = std::max(c.DumpPlanes, 1);
    const std::size_t bytes = static_cast<std::size_t>((dots + 7) / 8);
    Bytes row(std::max<std::size_t>(40000, bytes));
    const bool padBits = printerModelState().PrinterColourKind == 1 && planes > 1 && dots % 8 != 0;
    for (INTEGER line = 0; line < c.LineCount; ++line) {
        for (INTEGER plane = 0; plane < planes; ++plane) {
            rasterPlaneCounter() = plane;
            buildRow(row, bytes, dots, line, reader);
            INTEGER n = lastNonZero(row, bytes);
            // Red-green-blue planes: the dots past the line's end are white.
            if (padBits) row[bytes - 1] |= static_cast<std::uint8_t>((1 << (8 - dots % 8)) - 1);
            const INTEGER index = planes - 1 - plane;
            std::string& header = pclHeaderAt(index);
            if (c.Compression == 0) {
                header = pclHeader(n, index == 0 ? 'W' : 'V', true);
            } else {
                n = static_cast<INTEGER>(bytes);
                YYRowCompress(row, n, index);
            }
            send(sink, header);
            if (!failed()) sendBytes(sink, row, 0, static_cast<std::size_t>(n));
            if (failed()) return;
        }
    }
}

void dumpEscp2(ByteSink& sink, RasterRowReader reader)
{
    RasterPrinterCommands& c = rasterPrinterCommands();
    const INTEGER dots = std::max(c.DotsPerLine, 0);
    const bool colour = c.DumpPlanes > 1;
    const std::size_t bytes = static_cast<std::size_t>((dots + 7) / 8);
    Bytes row(std::max<std::size_t>(40000, bytes)), work;
    c.LineHeader.resize(12, '\0');
    for (INTEGER line = 0; line < c.LineCount; ++line) {
        for (std::size_t pass = 0; pass < (colour ? kColourPassPlanes.size() : 1); ++pass) {
            rasterPlaneCounter() = colour ? kColourPassPlanes[pass] : 0;
            buildRow(row, bytes, dots, line, reader);
            INTEGER n = lastNonZero(row, bytes);
            // A pass with no dot is left out: a stripe of no columns is not a valid raster
            // command, and the line feed below moves the paper all the same.
            if (n == 0) continue;
            if (colour) send(sink, c.ColourSelects[pass]);
            const INTEGER columns = 8 * n;
            c.LineHeader[10] = static_cast<char>(columns & 0xFF);
            c.LineHeader[11] = static_cast<char>((columns >> 8) & 0xFF);
            YYPackBits(row, n, work);
            send(sink, c.LineHeader);
            if (!failed()) sendBytes(sink, row, 0, static_cast<std::size_t>(n));
            if (!failed()) send(sink, "\r");
            if (failed()) return;
        }
        send(sink, c.LineFeed);
        if (failed()) return;
    }
}

void dumpDotMatrix(ByteSink& sink, RasterRowReader reader)
{
    const RasterPrinterCommands& c = rasterPrinterCommands();
    const INTEGER pins = std::max(printerModelState().PrinterHeadPins, 1), passes = std::max(c.Passes, 1);
    const INTEGER dots = std::max(c.DotsPerLine, 0), lines = std::max(c.LineCount, 0);
    const INTEGER bandHeight = pins * passes, step = 8 * passes;
    const INTEGER bands = (lines + bandHeight - 1) / bandHeight;
    const std::size_t margin = static_cast<std::size_t>(std::clamp(c.LeftMarginBytes, 0, 39999));
    const bool fits = (std::int64_t{dots} - 1) * pins / 8 + static_cast<std::int64_t>(margin) <= 40000;
    const bool colour = c.DumpPlanes > 1;
    const std::size_t colourPasses = colour ? kColourPassPlanes.size() : 1;
    constexpr std::size_t kPiece = 40000;
    Bytes buffer;
    for (INTEGER band = 0; band < bands; ++band) {
        const INTEGER first = band * bandHeight;
        for (INTEGER q = 0; q < passes; ++q) {
            if (passes == 2) send(sink, c.PassFeeds[static_cast<std::size_t>(q)]);
            const INTEGER perColumn = (bandHeight - 1 - q + step) / step;
            for (std::size_t pass = 0; pass < colourPasses && !failed(); ++pass) {
                if (colour) send(sink, c.ColourSelects[pass]);
                rasterPlaneCounter() = colour ? kColourPassPlanes[pass] : 0;
                if (!fits) send(sink, c.LineHeader);
                buffer.assign(margin + static_cast<std::size_t>(dots) * static_cast<std::size_t>(perColumn), 0);
                std::size_t at = margin;
                for (INTEGER d = 0; d < dots; ++d) {
                    for (INTEGER k = 0; k < perColumn; ++k, ++at) {
                        std::uint8_t byte = 0;
                        for (INTEGER j = 0; j < 8; ++j) {
                            const INTEGER line = first + q + k * step + j * passes;
                            if (line >= lines) break;
                            if (reader(d, line) != 0) byte |= static_cast<std::uint8_t>(0x80 >> j);
                        }
                        buffer[at] = byte;
                    }
                }
                const bool last = pass + 1 == colourPasses;
                if (fits) {
                    INTEGER n = lastNonZero(buffer, buffer.size());
                    YYGraphicsColumns(n);
                    n = std::min<INTEGER>(n, static_cast<INTEGER>(buffer.size()));
                    send(sink, rasterPrinterCommands().LineHeader);
                    if (!failed()) sendBytes(sink, buffer, 0, static_cast<std::size_t>(n), last);
                } else {
                    for (std::size_t from = 0; from < buffer.size() && !failed(); from += kPiece) {
                        const std::size_t count = std::min(kPiece, buffer.size() - from);
                        sendBytes(sink, buffer, from, count, last && from + count == buffer.size());
                    }
                }
                if (!last && !failed()) send(sink, "\r");
            }
            if (failed()) return;
        }
    }
}

// PackBits runs and literals in the TIFF form: a run (1 - count, byte), a literal (count - 1, bytes).
void packRun(Bytes& out, std::size_t count, std::uint8_t value)
{
    out.push_back(static_cast<std::uint8_t>(257 - count));
    out.push_back(value);
}
void packLiteral(Bytes& out, const std::uint8_t* first, std::size_t count)
{
    out.push_back(static_cast<std::uint8_t>(count - 1));
    out.insert(out.end(), first, first + count);
}

}  // namespace

INTEGER YYRasterBitNormal(INTEGER d, INTEGER line) { return onlyPlane(normalDot(d, line)); }
INTEGER YYRasterBitRotated(INTEGER d, INTEGER line) { return onlyPlane(rotatedDot(d, line)); }
INTEGER YYRasterBitTest(INTEGER d, INTEGER line)
{
    return colourPass(hardcopyOptionBlock().Options[5] != 0 ? rotatedDot(d, line) : normalDot(d, line));
}
INTEGER YYRasterBitColourNormal(INTEGER d, INTEGER line) { return colourPass(normalDot(d, line)); }
INTEGER YYRasterBitColourRotated(INTEGER d, INTEGER line) { return colourPass(rotatedDot(d, line)); }
INTEGER YYRasterBitSeqNormal(INTEGER d, INTEGER line) { return onlyPlane(normalDot(d, line)); }
INTEGER YYRasterBitSeqRotated(INTEGER d, INTEGER line) { return onlyPlane(rotatedDot(d, line)); }
INTEGER YYRasterBitPlaneNormal(INTEGER d, INTEGER line) { return counterPlane(normalDot(d, line)); }
INTEGER YYRasterBitPlaneRotated(INTEGER d, INTEGER line) { return counterPlane(rotatedDot(d, line)); }

void YYDUMP(INTEGER unit, RasterRowReader reader)
{
    const PrinterModelState& model = printerModelState();
    if (model.PrinterResolutionCount == 0) {
        YYErrorReport(5, "YYDUMP");
        return;
    }
    ByteSink* sink = outputUnitHooks().sink(unit);
    if (sink == nullptr || reader == nullptr) return;
    send(*sink, rasterPrinterCommands().JobStart);
    if (failed()) return;
    if (model.PrinterFamily >= 7) {
        dumpPcl(*sink, reader);
    } else if (model.PrinterFamily == 6) {
        dumpEscp2(*sink, reader);
    } else {
        dumpDotMatrix(*sink, reader);
    }
    if (!failed()) send(*sink, rasterPrinterCommands().JobEnd);
}

void YYRowCompress(std::vector<std::uint8_t>& row, INTEGER& n, INTEGER header)
{
    const std::size_t count = static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, static_cast<std::int64_t>(row.size())));
    Bytes out;
    out.reserve(2 * count + 2);
    if (rasterPrinterCommands().Compression == 1) {
        // Pairs (repeats, byte): a run holds at most 256 equal bytes.
        std::size_t k = 0;
        while (k < count) {
            std::size_t repeats = 0;
            while (k + repeats + 1 < count && row[k + repeats + 1] == row[k] && repeats < 255) ++repeats;
            out.push_back(static_cast<std::uint8_t>(repeats));
            out.push_back(row[k]);
            k += repeats + 1;
        }
    } else {
        std::size_t k = 0;
        while (k < count) {
            std::size_t equal = 1;
            while (k + equal < count && row[k + equal] == row[k] && equal < 128) ++equal;
            if (equal >= 2) {
                packRun(out, equal, row[k]);
                k += equal;
                continue;
            }
            // A literal takes in a pair of equal bytes, but stops before three.
            std::size_t length = 1;
            while (k + length < count && length < 127) {
                const std::size_t next = k + length;
                if (row[next] != row[next - 1]) {
                    ++length;
                } else if (next + 1 < count && row[next + 1] == row[next]) {
                    --length;
                    break;
                } else {
                    ++length;
                }
            }
            packLiteral(out, row.data() + k, length);
            k += length;
        }
    }
    if (row.size() < out.size()) row.resize(out.size());
    std::copy(out.begin(), out.end(), row.begin());
    n = static_cast<INTEGER>(out.size());
    pclHeaderAt(header) = pclHeader(n, header <= 0 ? 'W' : 'V', false);
}

void YYPackBits(std::vector<std::uint8_t>& row, INTEGER& n, std::vector<std::uint8_t>& work)
{
    const std::size_t count = static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, static_cast<std::int64_t>(row.size())));
    work.clear();
    work.reserve(2 * count + 2);
    // Pieces of at most 128; when exactly 129 remain they go as 127 and 2, so that no run is
    // left with a single byte.
    const auto pieces = [](std::size_t length, auto&& emit) {
        std::size_t from = 0;
        while (length - from > 0) {
            const std::size_t left = length - from;
            const std::size_t piece = left == 129 ? 127 : std::min<std::size_t>(left, 128);
            emit(from, piece);
            from += piece;
        }
    };
    std::size_t k = 0;
    while (k < count) {
        std::size_t equal = 1;
        while (k + equal < count && row[k + equal] == row[k]) ++equal;
        if (equal >= 2) {
            pieces(equal, [&](std::size_t, std::size_t piece) { packRun(work, piece, row[k]); });
            k += equal;
            continue;
        }
        // A literal ends where two equal bytes meet.
        std::size_t length = 1;
        while (k + length < count && !(k + length + 1 < count && row[k + length + 1] == row[k + length])) ++length;
        pieces(length, [&](std::size_t from, std::size_t piece) { packLiteral(work, row.data() + k + from, piece); });
        k += length;
    }
    std::string& header = rasterPrinterCommands().LineHeader;
    if (header.size() < 12) header.resize(12, '\0');
    if (work.size() < count) {
        std::copy(work.begin(), work.end(), row.begin());
        n = static_cast<INTEGER>(work.size());
        header[6] = 1;
    } else {
        header[6] = 0;
    }
}

void YYGraphicsColumns(INTEGER& n)
{
    const PrinterModelState& model = printerModelState();
    std::string& header = rasterPrinterCommands().LineHeader;
    const auto store = [&header](std::size_t at, INTEGER count) {
        if (header.size() < at + 2) header.resize(at + 2, '\0');
        header[at] = static_cast<char>(count & 0xFF);
        header[at + 1] = static_cast<char>((count >> 8) & 0xFF);
    };
    if (model.PrinterFamily == 4) {
        n = (std::max(n, 0) + 2) / 3 * 3;
        store(3, n + 1);
        return;
    }
    if (model.PrinterHeadPins == 24) {
        n = (std::max(n, 0) + 2) / 3 * 3;
        store(header.size() >= 2 ? header.size() - 2 : 0, n / 3);
    } else {
        store(header.size() >= 2 ? header.size() - 2 : 0, n);
    }
}
