// Raster printer jobs for the tests, and decoders written from the printers' command references
// that rebuild the page from a command file: PCL raster rows (planes, methods 0, 1 and 2), ESC/P 2
// rows with colour passes, and Epson / IBM dot-matrix head bands in one or two passes.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/toolkit/devices/RasterFixture.h"
#include "toolkit/devices/RasterDump.h"
#include "toolkit/devices/RasterPrinterDriver.h"

namespace raster_test {

// A job on device 4 for a printer model; options adjusts the defaults before the start.
class PrinterJob {
public:
    PrinterJob(INTEGER model, const std::filesystem::path& file,
               const std::function<void(HardcopyOptionBlock&)>& options = {})
        : file_(file)
    {
        resetState();
        YYPrinterModel(model);
        GraphicsState& g = graphicsState();
        g.DrawableWidth = 1000;
        g.DrawableHeight = 1000;
        DriverParameterBlock& b = driverParameterBlock();
        b.Count = 0;
        b.Value = 0;
        XXRAST(OpInit);
        if (options) options(hardcopyOptionBlock());
        hardcopyDriverState().RasterResolutionIndex = hardcopyOptionBlock().Options[13];
        stringWorkBuffer().assign(file.string());
        g.HardcopyActive = 1;
        b.Value = 1;
        XXRAST(OpBeginOutput);
    }
    bool active() const { return graphicsState().HardcopyActive > 0; }
    static void line(REAL x1, REAL y1, REAL x2, REAL y2)
    {
        DriverParameterBlock& b = driverParameterBlock();
        b.X1 = x1;
        b.Y1 = y1;
        b.X2 = x2;
        b.Y2 = y2;
        XXRAST(OpLine);
    }

    // Fills the page with a fixed scatter of dots (values 1 to 7 on a three-plane page), frames it
    // when asked, and keeps what it holds for the comparison.
    void paint(unsigned seed, bool frame = false)
    {
        const RasterPageBlock& p = rasterPageBlock();
        const INTEGER top = p.PixelMode == kRasterThreePlanes ? 8 : 2;
        unsigned state = seed;
        for (INTEGER y = 0; y <= p.LastRow; ++y)
            for (INTEGER x = 0; x <= p.LastColumn; ++x) {
                state = state * 1103515245U + 12345U;
                const INTEGER value = static_cast<INTEGER>((state >> 16) % static_cast<unsigned>(top));
                // Rows of blank dots here and there, so that rows end early and runs form.
                const bool blank = (y / 3) % 4 == 1 || (x / 11) % 5 == 2;
                YYRasterPixel(blank ? 0 : value, x, y);
            }
        if (frame) {
            for (INTEGER y = 0; y <= p.LastRow; ++y)
                for (INTEGER x : {INTEGER{0}, p.LastColumn}) YYRasterPixel(top - 1, x, y);
            for (INTEGER x = 0; x <= p.LastColumn; ++x)
                for (INTEGER y : {INTEGER{0}, p.LastRow}) YYRasterPixel(top - 1, x, y);
        }
        hardcopyJobState().PageOpen = -1;
        snapshot();
    }
    void snapshot()
    {
        const RasterPageBlock& p = rasterPageBlock();
        width_ = p.PageWidth;
        height_ = p.PageHeight;
        values_.clear();
        for (INTEGER y = 0; y < height_; ++y)
            for (INTEGER x = 0; x < width_; ++x) values_.push_back(YYRasterPixelValue(x, y));
    }
    // The kept page value at dot d of print line `line`, in the order the printer prints.
    INTEGER printed(INTEGER d, INTEGER line) const
    {
        const bool rotated = hardcopyOptionBlock().Options[5] != 0;
        const INTEGER x = rotated ? width_ - 1 - line : d, y = rotated ? height_ - 1 - d : height_ - 1 - line;
        return values_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
    }
    // Ends the page and the job; the file's bytes.
    Bytes finish()
    {
        DriverParameterBlock& b = driverParameterBlock();
        b.Count = 1;
        b.Value = 32;
        XXRAST(OpEndPage);
        XXRAST(OpEndOutput);
        graphicsState().HardcopyActive = 0;
        return readFile(file_);
    }

private:
    std::filesystem::path file_;
    INTEGER width_ = 0, height_ = 0;
    std::vector<INTEGER> values_;
};

inline std::string text(const Bytes& bytes, std::size_t from = 0, std::size_t count = std::string::npos)
{
    const std::size_t end = count == std::string::npos ? bytes.size() : std::min(bytes.size(), from + count);
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(std::min(from, bytes.size())),
                       bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

// PackBits as TIFF and PCL method 2 define it: n below 128 copies n + 1 bytes, above 128 repeats
// the next byte 257 - n times, 128 is nothing.
inline Bytes unpackBits(const Bytes& data, std::size_t& at, std::size_t produce)
{
    Bytes out;
    while (out.size() < produce && at < data.size()) {
        const std::uint8_t n = data[at++];
        if (n < 128) {
            for (int k = 0; k <= n && at < data.size(); ++k) out.push_back(data[at++]);
        } else if (n > 128 && at < data.size()) {
            out.insert(out.end(), static_cast<std::size_t>(257 - n), data[at++]);
        }
    }
    return out;
}

// A PCL raster stream: the parameterised commands in order and the rows, each with its planes.
struct PclStream {
    std::vector<std::string> commands;  // "&aH700", "*rA1", ...
    std::vector<std::vector<Bytes>> rows;
    bool reset = false;
};

inline PclStream decodePcl(const Bytes& f)
{
    PclStream s;
    std::vector<Bytes> planes;
    long method = 0;
    std::size_t at = 0;
    while (at < f.size()) {
        if (f[at] != 27 || at + 1 >= f.size()) {
            ADD_FAILURE() << "not a command at byte " << at;
            break;
        }
        const char kind = static_cast<char>(f[at + 1]);
        at += 2;
        if (kind == 'E') {
            s.reset = true;
            s.commands.push_back("E");
            continue;
        }
        if (kind < '!' || kind > '/' || at >= f.size()) {
            ADD_FAILURE() << "unknown command at byte " << at;
            break;
        }
        const char group = static_cast<char>(f[at++]);
        for (bool last = false; !last && at < f.size();) {
            std::string number;
            while (at < f.size() && (std::isdigit(f[at]) || f[at] == '-' || f[at] == '+')) number += static_cast<char>(f[at++]);
            if (at >= f.size()) break;
            const char letter = static_cast<char>(f[at++]);
            last = std::isupper(static_cast<unsigned char>(letter)) != 0;
            const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
            const long value = number.empty() ? 0 : std::stol(number);
            s.commands.push_back(std::string{kind, group, upper} + number);
            if (kind == '*' && group == 'b' && upper == 'M') method = value;
            if (kind == '*' && group == 'b' && (upper == 'W' || upper == 'V')) {
                const Bytes data(f.begin() + static_cast<std::ptrdiff_t>(at),
                                 f.begin() + static_cast<std::ptrdiff_t>(std::min(f.size(), at + static_cast<std::size_t>(value))));
                at += data.size();
                s.commands.pop_back();
                Bytes row;
                if (method == 1) {
                    for (std::size_t k = 0; k + 1 < data.size(); k += 2) row.insert(row.end(), data[k] + 1U, data[k + 1]);
                } else if (method == 2) {
                    std::size_t from = 0;
                    row = unpackBits(data, from, SIZE_MAX);
                } else {
                    row = data;
                }
                planes.push_back(row);
                if (upper == 'W') {
                    s.rows.push_back(planes);
                    planes.clear();
                }
            }
        }
    }
    return s;
}

// Pixel values of a page rebuilt from colour passes: plane p sets bit p, black sets all three.
using Rebuilt = std::map<std::pair<INTEGER, INTEGER>, INTEGER>;  // (d, line) -> value

inline INTEGER colourPlane(int select) { return select == 4 ? 2 : select == 1 ? 1 : select == 2 ? 0 : -1; }

// An ESC/P 2 stream: rows placed by the vertical moves, the colour of each pass by ESC "r".
// Counts every dot a colour pass printed where the page is composite black.
inline Rebuilt decodeEscp2(const Bytes& f, const PrinterJob& job, bool colour, int& blackInColourPass)
{
    Rebuilt page;
    std::size_t at = 0;
    long y = 0, top = 0;
    int select = 0;
    blackInColourPass = 0;
    while (at < f.size()) {
        const std::uint8_t c = f[at++];
        if (c == '\r' || c == '\f') continue;
        if (c != 27 || at >= f.size()) {
            ADD_FAILURE() << "not a command at byte " << at - 1;
            break;
        }
        const char kind = static_cast<char>(f[at++]);
        if (kind == '@') continue;
        if (kind == 'r') {
            select = f[at++];
        } else if (kind == '\\') {
            at += 2;
        } else if (kind == '(') {
            const char what = static_cast<char>(f[at]);
            const std::size_t n = f[at + 1] | (f[at + 2] << 8);
            const std::size_t data = at + 3;
            if (what == 'V') top = y = f[data] | (f[data + 1] << 8);
            if (what == 'v') y += f[data] | (f[data + 1] << 8);
            at = data + n;
        } else if (kind == '.') {
            const int compression = f[at], bandHeight = f[at + 3];
            const std::size_t columns = f[at + 4] | (f[at + 5] << 8);
            at += 6;
            const std::size_t bytes = (columns + 7) / 8 * static_cast<std::size_t>(bandHeight);
            Bytes row;
            if (compression == 1) {
                row = unpackBits(f, at, bytes);
            } else {
                row.assign(f.begin() + static_cast<std::ptrdiff_t>(at), f.begin() + static_cast<std::ptrdiff_t>(at + bytes));
                at += bytes;
            }
            EXPECT_EQ(row.size(), bytes);
            const INTEGER line = static_cast<INTEGER>(y - top);
            for (std::size_t d = 0; d < columns && d / 8 < row.size(); ++d) {
                if (((row[d / 8] >> (7 - d % 8)) & 1) == 0) continue;
                const INTEGER plane = colour ? colourPlane(select) : 0;
                INTEGER& v = page[{static_cast<INTEGER>(d), line}];
                v |= plane < 0 ? 7 : (1 << plane);
                if (plane >= 0 && colour && job.printed(static_cast<INTEGER>(d), line) == 7) ++blackInColourPass;
            }
        } else {
            ADD_FAILURE() << "unknown command ESC " << kind;
            break;
        }
    }
    return page;
}

// A dot-matrix stream: the vertical position in the units of ESC "3" and ESC "J" (a line feed
// moves by the line spacing), the band and pass from it, the columns from each graphics command.
struct BandLayout {
    INTEGER pins = 8, passes = 1, advance = 23, marginColumns = 0;
    bool colour = false;
};

inline Rebuilt decodeBands(const Bytes& f, const BandLayout& layout, int& blackInColourPass, const PrinterJob& job)
{
    Rebuilt page;
    std::size_t at = 0;
    long y = 0, top = 0, spacing = 36;
    bool started = false;
    int select = 0;
    blackInColourPass = 0;
    const INTEGER bandHeight = layout.pins * layout.passes, step = 8 * layout.passes;
    while (at < f.size()) {
        const std::uint8_t c = f[at++];
        if (c == '\r' || c == '\f') continue;
        if (c == '\n') {
            y += spacing;
            continue;
        }
        if (c != 27 || at >= f.size()) {
            ADD_FAILURE() << "not a command at byte " << at - 1;
            break;
        }
        const char kind = static_cast<char>(f[at++]);
        std::size_t perColumn = 1, columns = 0;
        bool graphics = false, ibm = false;
        switch (kind) {
        case 'U': ++at; continue;
        case '2': spacing = 36; continue;
        case '3': spacing = f[at++]; continue;
        case 'J': y += f[at++]; continue;
        case 'r': select = f[at++]; continue;
        case 'K': case 'L': case 'Z':
            columns = f[at] | (f[at + 1] << 8);
            at += 2;
            graphics = true;
            break;
        case '*':
            perColumn = f[at] >= 32 ? 3 : 1;
            columns = f[at + 1] | (f[at + 2] << 8);
            at += 3;
            graphics = true;
            break;
        case '[':
            // ESC "[g" count mode: the count holds the mode byte and three bytes per column.
            columns = ((f[at + 1] | (f[at + 2] << 8)) - 1) / 3;
            perColumn = 3;
            at += 4;
            graphics = ibm = true;
            break;
        default: ADD_FAILURE() << "unknown command ESC " << kind; return page;
        }
        (void)ibm;
        if (!graphics) continue;
        if (!started) {
            started = true;
            top = y;
        }
        const long offset = y - top;
        const INTEGER band = static_cast<INTEGER>(offset / layout.advance);
        const INTEGER q = static_cast<INTEGER>(offset % layout.advance);
        EXPECT_LT(q, layout.passes) << "a head pass between the bands' positions";
        for (std::size_t column = 0; column < columns; ++column) {
            for (std::size_t k = 0; k < perColumn; ++k, ++at) {
                const std::uint8_t byte = at < f.size() ? f[at] : 0;
                const INTEGER d = static_cast<INTEGER>(column) - layout.marginColumns;
                for (INTEGER j = 0; j < 8; ++j) {
                    if (((byte >> (7 - j)) & 1) == 0) continue;
                    EXPECT_GE(d, 0) << "a dot in the left margin";
                    const INTEGER line = band * bandHeight + q + static_cast<INTEGER>(k) * step + j * layout.passes;
                    const INTEGER plane = layout.colour ? colourPlane(select) : 0;
                    page[{d, line}] |= plane < 0 ? 7 : (1 << plane);
                    if (plane >= 0 && layout.colour && job.printed(d, line) == 7) ++blackInColourPass;
                }
            }
        }
    }
    return page;
}

}  // namespace raster_test
